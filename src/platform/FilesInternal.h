#pragma once

// What placing a file needs from each system; Files.cpp puts the steps
// together, FilesLinux.cpp and FilesWin.cpp take them.

#include <QByteArray>
#include <QString>

namespace platform::internal {

// What a name is, without following a link there.
enum class Kind { None, File, Folder, Link, Other };
Kind kindOf(const QString &path);

// Both names exist and reach one file (hard links too).
bool sameFile(const QString &a, const QString &b);

// The system's word on a failed step: empty when it went well.
struct Failure {
    bool full = false; // the disk, or the user's share of it, has no room
    QString reason;
    bool failed() const { return !reason.isEmpty(); }
};

// Writes bytes to a new file at path, readable and writable by the user
// alone, never through a link at that name (whatever is at the name is
// removed first), and flushes them to the disk. Nothing is left on failure.
Failure writeNew(const QString &path, const QByteArray &bytes);

// Renames from to target in one step and makes the new name durable; over a
// file already at target only when replace is true (existed tells that one
// was in the way).
Failure moveOver(const QString &from, const QString &target, bool replace, bool *existed);

} // namespace platform::internal
