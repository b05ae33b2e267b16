#pragma once

#include "Dao.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

// Copies of the family's database file: the automatic ones, kept in the
// folder "backups" beside the file, and those the user asks for. A copy is
// complete and encrypted with the same key; it is written under a name of
// its own, made durable, checked whole and only then given its name.
namespace backup {

// What a copy holds, as counted when it is checked.
struct Contents {
    int children = 0; // rows of `user`
    int months = 0; // rows of `testrecord`
    int schema = 0;
    bool operator==(const Contents &) const = default;
};

// An automatic backup: its file and when it was made (from its name).
struct Entry {
    QString path;
    QDateTime made;
};

// The folder of automatic backups beside a database file.
QString folderOf(const QString &database);

// The automatic backups in a folder, newest first. Copies kept on a restore
// are not among them: they are never removed.
QList<Entry> list(const QString &folder);

// Of backups listed newest first, those rotation removes: it keeps the ten
// newest and the newest of each of the twelve calendar months up to today.
QList<Entry> surplus(const QList<Entry> &newestFirst, const QDate &today);

// Opens a copy with the application's key, reads it whole and counts its
// rows. A file the key does not open, a damaged one or one without the
// tables raises dao::DbError as the family's file would.
Contents inspect(const QString &file);

// Writes a checked copy of the open database to target, never over an
// existing file unless replace is true. Returns an empty text on success,
// else the reason; nothing is then left at target, and the database file
// is never touched.
QString writeCopy(dao::Database &db, const QString &target, bool replace);

// Writes an automatic backup of the open database into its folder, named by
// the moment, then removes the backups rotation leaves out. Returns the
// file written, or an empty text with the reason.
QString writeAutomatic(dao::Database &db, const QDateTime &when, QString *reason);

// The newest automatic backup of the database that is sound; null when
// there is none.
std::optional<Entry> newestSound(const QString &database);

// Keeps the family's file backed up across runs of the application: a mark
// in the backups' folder is set as the first change of a run is about to be
// stored and cleared when a backup holds it, so that a run that ended
// without its backup (killed, or the disk was full) is backed up by the next.
class Keeper {
public:
    explicit Keeper(dao::Database db);
    Keeper(const Keeper &) = delete;
    Keeper &operator=(const Keeper &) = delete;

    // An earlier run's changes have no backup yet.
    bool behind() const { return m_behind; }

    // Writes a backup when the file holds changes that no backup holds yet.
    // A failure is written to standard error and leaves the mark for the next
    // run; it never stops the application.
    void backUp();

private:
    dao::Database m_db;
    QString m_mark;
    bool m_behind = false;
    std::shared_ptr<bool> m_marked; // the mark is set
    quint64 m_backedUp = 0; // changes of this run held by a backup
};

// Replaces the database file at assessmentdb::path() with a copy and brings
// it up to date, holding the file meanwhile: raises dao::DbError 3045 while
// the application uses it, and the errors of inspect() (or 3343 for a copy
// of a newer schema) for a copy it cannot use, leaving the file as it was.
// The replaced file, and a journal left beside it, are kept in the backups'
// folder under a name of their own.
struct Restored {
    Contents contents;
    QString kept; // empty when there was no file to replace
};
Restored restore(const QString &copy, const QDateTime &when);

} // namespace backup
