#pragma once

#include "platform/Files.h"

#include <QString>
#include <QStringList>

// Files the program writes where the user said (an export, a report, a
// backup on another disk): never over the family's own files, and a failure
// told in the user's words.
namespace userfiles {

// What no such file may be: the family's database, its journal or a file in
// its backups' folder (of the file in use and of the user's own copy), or
// the installed database.
QStringList guarded();

// Places the bytes at target as platform::placeFile does, with guarded()
// guarded.
platform::Outcome write(const QString &target, const QByteArray &bytes, bool replace);

// Why a file was not placed, as a phrase ("磁盘空间不足").
QString why(const platform::Outcome &outcome);

// The sentence that says a file was not placed at target, ending in
// notDone ("没有导出"); existsHint follows "“…”已经存在" (how to replace it).
QString failure(
    const platform::Outcome &outcome, const QString &target, const QString &notDone, const QString &existsHint);

} // namespace userfiles
