#pragma once

#include "Backup.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace backup {

// A copy the family's file can be restored from: an automatic backup, or the
// file a restore replaced and kept.
struct RestorePoint {
    QString path;
    QDateTime made;
    bool keptBeforeRestore = false;
    std::optional<Contents> contents; // none when the copy cannot be read
};

// Every such copy in a backups' folder, newest first, each opened and
// counted: what a parent chooses a restore from.
QList<RestorePoint> restorePoints(const QString &folder);

} // namespace backup
