#pragma once

#include "Dao.h"
#include "platform/Files.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

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
    int scored = 0; // months whose questionnaire is scored
    int schema = 0;
    bool operator==(const Contents &) const = default;
};

// A copy in the backups' folder, automatic or kept on a restore, and the
// moment its name gives.
struct Entry {
    QString path;
    QDateTime made;
    int number = 1; // 2, 3, … for further copies named in the same second
    bool keptOnRestore = false;
};

// The folder of automatic backups beside a database file.
QString folderOf(const QString &database);

// The automatic backups in a folder, the latest name first; with kept, the
// copies kept on a restore as well (rotation never removes those).
QList<Entry> list(const QString &folder, bool withKept = false);

// A copy and what its check found: no contents when it failed.
struct Checked {
    Entry entry;
    std::optional<Contents> contents;
};

// Whether the copy a was made after b, as far as the copies can tell: the
// program never removes a child or a month, so the later copy holds more
// months, then more children, then more scored months; only between copies
// holding as much does the moment in the name decide. A clock that was
// wrong when a copy was named cannot make it the later one.
bool madeLater(const Checked &a, const Checked &b);

// Of the automatic backups, those rotation removes. Of the copies that
// passed the check it keeps the ten with the latest names and the ten made
// last, and of the others the newest of each of the twelve latest months
// they were named in. Today's date plays no part, and a copy that failed
// the check is neither counted nor removed.
QList<Entry> surplus(const QList<Checked> &copies);

// Opens a copy with the application's key, reads it whole, checks its
// tables and columns and counts its rows; a journal beside the copy is
// played back first, on a private copy of both. A file the key does not
// open, a damaged one or one without the tables raises dao::DbError as the
// family's file would.
Contents inspect(const QString &file);

// Writes a checked copy of the open database to target, never over an
// existing file unless replace is true, nor at a guarded name; on failure
// nothing is left at target, and the database file is never touched.
platform::Outcome writeCopy(dao::Database &db, const QString &target, bool replace, const QStringList &guarded = {});

// Writes an automatic backup of the open database into its folder, named by
// the moment, then removes the backups rotation leaves out. Each copy is
// checked once: what it held is recorded in the folder, and a copy unchanged
// since is not opened again. Returns the file written, or an empty text with
// the reason.
QString writeAutomatic(dao::Database &db, const QDateTime &when, QString *reason);

// The sound copy of the database made last (madeLater()), among the
// automatic backups and the copies kept on a restore; null when there is
// none.
std::optional<Entry> newestSound(const QString &database);

// Removes what a restore or a backup that was killed left beside the
// database and among its backups, unless another process holds the database.
void clearLeftovers(const QString &database);

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

// Replaces the database file at assessmentdb::path() with a copy, holding
// the file meanwhile: raises dao::DbError 3045 while the application uses it.
// The copy (and a journal beside it) is written beside the family's file,
// opened as the application opens that file at start (the same checks: key,
// every page, a schema it knows, every table and column, or the error it
// raises) and brought up to date, all before anything is replaced. A journal
// beside the family's file is played back first, as the next start would.
// The replaced file is kept in the backups' folder under a name of its own.
// The copy then takes the family file's name in one step: a restore that
// ends at any moment leaves the old file or the restored one. Should the
// restored file still not open, the old one is put back and the error says
// so.
struct Restored {
    Contents contents;
    QString kept; // empty when there was no file to replace
};
Restored restore(const QString &copy, const QDateTime &when);

} // namespace backup
