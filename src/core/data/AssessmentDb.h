#pragma once

#include "Dao.h"

#include <QString>

// The assessment database: where the file lives, its password, its tables and
// the version it carries.
namespace assessmentdb {

inline const QString kFileName = QStringLiteral("0-3.mdb");
inline const QString kConnect = QStringLiteral(";pwd=5820719364");
// 1: the tables `user`, `testrecord` and `test`; 2: the table `version`;
// 3: the measurement date of each month; 4: the questionnaire each month was
// answered with.
inline constexpr int kSchemaVersion = 4;

// The file the application uses. An installed program (the install step
// marks every install, installedMarkPath()) keeps a user's records in one
// place whichever way it was installed: the user's own copy (ownPath()),
// made from the installed file when it is first asked for. A program that
// no install marked (the build folder, a portable folder) uses the file
// beside the executable when it may write it and its folder, else the
// user's own copy too. The user's copy and its folder are kept private.
// Resolved once.
QString path();

// The user's own copy: <data home>/helan-edu/childgrowth/0-3.mdb.
QString ownPath();

// The installed file the user's own copy was made from; empty when the
// application uses the file beside the executable.
QString installedPath();

// Tests point the application at a database of their own; with installed,
// as a user's own copy of that installed file.
void setPathForTesting(const QString &path, const QString &installed = {});

// Opens the database as every window does: exclusive, writable, with password.
dao::Database open();

// Opens by path alone, as the questionnaire does while the main window holds
// the database open.
dao::Database openShared();

// Opens the database when the application starts. A user's own copy whose
// version differs from the installed file's is brought up to date first
// (update() below). Finding out costs no second opening: the build writes the
// installed file's version beside it (versionFilePath()).
dao::Database openAtStart();

// The same for another file, as if the application were to use it: a copy
// about to replace the family's file is checked and brought up to date so.
dao::Database openAtStart(const QString &file);

// Every table and column the windows use, as the opening checks them;
// raises dao::DbError naming what is missing.
void requireTables(dao::Database &db);

// Creates the three tables, their indexes and the schema version in a new file.
dao::Database create(const QString &path);

// The version a file carries: the schema it was made with and a fingerprint
// of its questionnaire.
struct Version {
    int schema = 0;
    QString content;
    QString toString() const;
    bool operator==(const Version &) const = default;
};
Version versionOf(dao::Database &db);

// Stores the current schema and the fingerprint of the questionnaire as the
// file's version; returns it.
Version writeVersion(dao::Database &db);

// The text file beside an installed database that holds its version.
QString versionFilePath(const QString &database);

// The file beside an installed database that marks it as installed: the
// file there is only what a user's own copy starts from.
QString installedMarkPath(const QString &database);

// Brings a family's file up to date with an installed one in one transaction:
// an older schema is migrated, the answered months are marked with the
// questionnaire they were answered with (ItemSets.h), the questionnaire rows
// become the installed ones, every other value of `user` and `testrecord`
// stays, and the version is written last. A file of a newer schema than this program's is refused
// (error 3343). On any failure the file is left as it was.
void update(dao::Database &file, dao::Database &installed);

} // namespace assessmentdb
