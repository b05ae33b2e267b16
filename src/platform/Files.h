#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// The few file operations the database layer needs that the standard
// library and Qt do not offer: a lock the system drops with the process,
// and placing a file durably and privately.
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

// What became of a file placed for the user.
enum class Placed {
    Done,
    Exists, // a file has the name already, and replacing it was not asked for
    Folder, // the name is a folder's
    NotAFile, // the name is a device's, a pipe's or a socket's
    Link, // the name is a link's: nothing is written through one, nor over one
    Guarded, // the name is one of the guarded files, or lies in a guarded folder
    DiskFull, // no room on the disk (or in the user's share of it)
    Refused, // the check before placing refused the written file
    Failed, // anything else; the reason gives the system's words
};

struct Outcome {
    Placed placed = Placed::Done;
    QString reason; // the system's words (Failed, DiskFull) or the check's (Refused)
    bool done() const { return placed == Placed::Done; }
};

struct Placing {
    // Over a file already at the name; never over a folder, a link or
    // anything that is not a file.
    bool replace = false;
    // Files never written or replaced, and folders none of whose files is:
    // also when reached through another name (a link to the folder, a hard
    // link to the file).
    QStringList guarded;
    // The file the bytes are written to before they take the name; by
    // default a hidden one beside the target.
    QString part;
    // Runs on the written part before it takes the name: may check it, and
    // do what must come first; a text stops the placing (Refused) and the
    // part is removed.
    std::function<QString(const QString &part)> beforePlacing;
};

// The one way the program writes a file with a family's data (a copy, a
// backup, a restored database, a report, a table). The bytes go to a new
// file of their own, readable and writable by the user alone whatever the
// umask, never through a link at that name; they are flushed to the disk,
// checked, and only then given the target's name in one step, over an
// existing file only when asked to. On any failure nothing is left behind
// and a file that had the name is as it was.
Outcome placeFile(const QString &target, const QByteArray &bytes, const Placing &how = {});

// The folder under which programs keep a user's own data: $XDG_DATA_HOME
// when it is an absolute path (a relative one is ignored, as the XDG base
// directory rules require), else ~/.local/share; the local application data
// folder on Windows.
QString userDataHome();

// Makes the folder, and every missing folder above it, readable by the user
// alone; a folder that is already there and open to others is closed to
// them. Returns the system's reason on failure, an empty text on success.
QString makePrivateFolder(const QString &path);

// Makes every missing folder up to path, each readable by the user alone
// whatever the umask; folders already there stay as they are. Returns the
// system's reason on failure, an empty text on success.
QString makeFolders(const QString &path);

// Closes a file that others may read or write to everyone but its owner.
// Returns the system's reason on failure, an empty text on success.
QString makePrivateFile(const QString &path);

// True when no process with this identifier runs any more.
bool processGone(qint64 pid);

} // namespace platform
