#pragma once

#include <QByteArray>
#include <QString>

// The few file operations the database layer needs that the standard
// library and Qt do not offer: a lock the system drops with the process,
// creating a file only where none is, and placing a new file durably.
namespace platform {

// A lock held on a file for as long as this object lives, or until the
// process ends, however it ends.
class FileLock {
public:
    enum class Result { Locked, InUse, Failed };

    FileLock() = default;
    ~FileLock();
    FileLock(FileLock &&other) noexcept;
    FileLock &operator=(FileLock &&other) noexcept;
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    // Locks the file at path without waiting: exclusively, or shared with
    // other shared holders. InUse when another holder stands in the way.
    Result lock(const QString &path, bool shared);

    // True while the file at path is still the one this lock holds: false
    // when another file has been renamed over it since it was locked.
    bool holds(const QString &path) const;

    void release();

private:
    qintptr m_handle = -1;
};

enum class PlaceResult { Placed, AlreadyThere, Failed };

// Writes bytes to a new file at path (readable by the user alone, replacing
// whatever was there, never written through a symbolic link at that name)
// and makes them durable. Returns the system's reason on
// failure, when nothing is left behind; an empty text on success.
QString writeDurably(const QString &path, const QByteArray &bytes);

// Moves the file from to target in one step and makes the new name durable;
// over a file already at target only when replace is true. On Failed, reason
// holds the system's reason and the file stays where it was.
PlaceResult moveIntoPlace(const QString &from, const QString &target, bool replace, QString *reason);

// Writes bytes to a file of their own beside target (readable by the user
// alone), makes them durable, then moves that file to target in one step and
// never over a file that is already there. On Failed, reason holds the
// system's reason and nothing is left behind.
PlaceResult placeNewFile(const QString &target, const QString &partName, const QByteArray &bytes, QString *reason);

// The folder under which programs keep a user's own data: $XDG_DATA_HOME
// when it is an absolute path (a relative one is ignored, as the XDG base
// directory rules require), else ~/.local/share; the local application data
// folder on Windows.
QString userDataHome();

// Makes the folder, and every missing folder above it, readable by the user
// alone; a folder that is already there and open to others is closed to
// them. Returns the system's reason on failure, an empty text on success.
QString makePrivateFolder(const QString &path);

// Closes a file that others may read or write to everyone but its owner.
// Returns the system's reason on failure, an empty text on success.
QString makePrivateFile(const QString &path);

// True when no process with this identifier runs any more.
bool processGone(qint64 pid);

} // namespace platform
