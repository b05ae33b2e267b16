#include "AssessmentDb.h"

#include "ItemSets.h"

#include "Schema.h"
#include "UserFiles.h"
#include "platform/Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace assessmentdb {

namespace {

struct Place {
    QString file;
    QString installed; // empty: the file beside the executable
};

Place &overridePlace()
{
    static Place p;
    return p;
}

[[noreturn]] void cannotMake(const QString &file, const QString &reason)
{
    throw dao::DbError(dao::kCannotOpenFile, QStringLiteral("无法创建数据库文件 '%1'：%2").arg(file, reason));
}

// Removes the partial copies that starts killed while copying left behind;
// a copy that a running start is still writing is left to it.
void removeStaleCopies(const QDir &dir)
{
    const QString prefix = kFileName + QLatin1Char('.');
    for (const QString &name : dir.entryList({prefix + QStringLiteral("*.part")}, QDir::Files | QDir::Hidden)) {
        bool number = false;
        const qint64 pid = name.mid(prefix.size()).chopped(5).toLongLong(&number);
        if (number && pid != QCoreApplication::applicationPid() && platform::processGone(pid))
            QFile::remove(dir.filePath(name));
    }
}

// Copies the installed file to the user's file: written under a name of its
// own, made durable, then moved into place in one step and never over a file
// that another start put there meanwhile. An interrupted copy leaves no user
// file, or a complete one.
void copyInstalled(const QString &installed, const QString &target)
{
    const QDir dir = QFileInfo(target).absoluteDir();
    removeStaleCopies(dir);

    QFile source(installed);
    if (!source.open(QIODevice::ReadOnly))
        throw dao::DbError(
            dao::kCannotOpenFile, QStringLiteral("无法打开文件 '%1'：%2").arg(installed, source.errorString()));
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError)
        throw dao::DbError(
            dao::kCannotOpenFile, QStringLiteral("无法读取文件 '%1'：%2").arg(installed, source.errorString()));

    // The family's records are the user's alone; another start that made the
    // copy first has made a complete one.
    platform::Placing how;
    how.part = QStringLiteral("%1.%2.part").arg(target).arg(QCoreApplication::applicationPid());
    const platform::Outcome placed = platform::placeFile(target, bytes, how);
    if (!placed.done() && placed.placed != platform::Placed::Exists)
        cannotMake(target, userfiles::why(placed));
}

Place locate()
{
    if (!overridePlace().file.isEmpty())
        return overridePlace();
    const QString dir = QCoreApplication::applicationDirPath();
    const QString beside = QDir::toNativeSeparators(dir + QLatin1Char('/') + kFileName);
    const QFileInfo besideInfo(beside);
    // An installed file is never written, not even by the administrator,
    // whose children would otherwise reach every new user's copy. A missing
    // installed file is reported as such, by its own name.
    const bool installed = QFileInfo::exists(installedMarkPath(beside));
    if (!besideInfo.exists() || (!installed && QFileInfo(dir).isWritable() && besideInfo.isWritable())) {
        // The family's records are the user's alone here too; a disk that
        // keeps no modes (a portable folder on a memory stick) is used as it is.
        platform::makePrivateFile(beside);
        return {beside, {}};
    }
    const QString own = ownPath();
    // The family's records are the user's alone: the folder is made private
    // before the copy is put in it, and an older install's open modes are
    // closed.
    const QString folder = QFileInfo(own).absolutePath();
    if (const QString reason = platform::makePrivateFolder(folder); !reason.isEmpty())
        cannotMake(own, QStringLiteral("不能建立文件夹 '%1'：%2").arg(folder, reason));
    if (!QFileInfo::exists(own))
        copyInstalled(beside, own);
    else if (const QString reason = platform::makePrivateFile(own); !reason.isEmpty())
        cannotMake(own, reason);
    return {own, beside};
}

const Place &place()
{
    static std::optional<Place> resolved;
    static Place resolvedFor;
    if (!resolved || resolvedFor.file != overridePlace().file || resolvedFor.installed != overridePlace().installed) {
        resolved = locate();
        resolvedFor = overridePlace();
    }
    return *resolved;
}

// A fingerprint of the questionnaire rows in stored order.
QString contentFingerprint(dao::Database &db)
{
    return itemsets::fingerprint(db.OpenRecordset(schema::test::kTable));
}

void storeVersion(dao::Database &db, const QString &content)
{
    db.Execute(QStringLiteral("DELETE FROM %1").arg(schema::version::kTable));
    db.Execute(QStringLiteral("INSERT INTO %1 (%2) VALUES (?)").arg(schema::version::kTable, schema::version::kContent),
        {content});
}

// The schema changes from each older version to the current one; called
// inside the transaction that carries the rest of the update.
void migrate(dao::Database &db, int from)
{
    if (from < 2)
        db.Execute(QStringLiteral("CREATE TABLE %1 (%2 TEXT)").arg(schema::version::kTable, schema::version::kContent));
    // Columns added since: appended to their table, empty in every old row.
    for (const schema::Table &table : schema::tables()) {
        const QStringList present = db.TableColumns(table.name);
        for (const schema::Column &column : table.columns) {
            if (column.since > from && !present.contains(column.name, Qt::CaseInsensitive))
                db.Execute(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3").arg(table.name, column.name, column.type));
        }
    }
    db.Execute(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion));
}

int schemaOf(dao::Database &db)
{
    return db.OpenRecordset(QStringLiteral("PRAGMA user_version")).Fields(0).Value().toInt();
}

// A file written by a newer program may hold what this one would lose.
void refuseNewer(dao::Database &db, int schema)
{
    if (schema > kSchemaVersion)
        throw dao::DbError(dao::kUnrecognizedFormat,
            QStringLiteral("数据库 '%1' 由较新版本的程序写入（版本 %2），本程序只能使用版本 %3 及以前的文件。")
                .arg(db.path())
                .arg(schema)
                .arg(kSchemaVersion));
}

} // namespace

QString path()
{
    return place().file;
}

QString ownPath()
{
    return QDir::toNativeSeparators(platform::userDataHome() + QStringLiteral("/helan-edu/childgrowth/") + kFileName);
}

QString installedPath()
{
    return place().installed;
}

void setPathForTesting(const QString &p, const QString &installed)
{
    overridePlace() = {p, installed};
}

namespace {

// Every table and column the windows use. A file without one of them is
// refused when it is opened, naming what is missing, rather than failing
// later in whichever window first reads it; columns newer than the file's
// schema come with its migration.
void requireSchema(dao::Database &db, int fileSchema)
{
    for (const schema::Table &table : schema::tables()) {
        const QStringList present = db.TableColumns(table.name);
        for (const schema::Column &column : table.columns) {
            if (column.name != schema::user::kId && column.since <= fileSchema
                && !present.contains(column.name, Qt::CaseInsensitive))
                throw dao::DbError(dao::kItemNotFound,
                    QStringLiteral("在此集合中找不到项目 '%1'：表 '%2' 没有这个字段。").arg(column.name, table.name));
        }
    }
    // The child selection reads `name` by position: it is the second column.
    const QStringList user = db.TableColumns(schema::user::kTable);
    if (user.value(1).compare(schema::user::kName, Qt::CaseInsensitive) != 0)
        throw dao::DbError(
            dao::kItemNotFound, QStringLiteral("在此集合中找不到项目 1：表 'user' 的第二个字段不是 'name'。"));
}

// Opens the file for writing and checks it: a newer schema is refused, and
// every table and column must be there. An older schema is left to migrate.
dao::Database openChecked(const QString &file)
{
    dao::Database db = dao::DBEngine::OpenDatabase(file, true, false, kConnect);
    const int schema = schemaOf(db);
    refuseNewer(db, schema);
    requireSchema(db, std::max(schema, 1));
    return db;
}

dao::Database openMigrated(const QString &file)
{
    dao::Database db = openChecked(file);
    if (const int schema = schemaOf(db); schema < kSchemaVersion) {
        dao::Transaction tx(db);
        migrate(db, schema);
        tx.Commit();
    }
    return db;
}

} // namespace

void requireTables(dao::Database &db)
{
    requireSchema(db, std::max(schemaOf(db), 1));
}

dao::Database open()
{
    return openMigrated(path());
}

dao::Database openShared()
{
    return dao::DBEngine::OpenDatabase(path());
}

dao::Database openAtStart()
{
    return openAtStart(path());
}

dao::Database openAtStart(const QString &file)
{
    const Place &where = place();
    if (where.installed.isEmpty())
        return openMigrated(file);
    // A user's own copy: an older schema is migrated together with the new
    // questionnaire, in one step, below.
    dao::Database db = openChecked(file);
    const Version own = versionOf(db);
    QFile stamp(versionFilePath(where.installed));
    if (stamp.open(QIODevice::ReadOnly) && QString::fromUtf8(stamp.readAll()).trimmed() == own.toString())
        return db;
    dao::Database installed = dao::DBEngine::OpenDatabase(where.installed, true, true, kConnect);
    if (!(versionOf(installed) == own))
        update(db, installed);
    return db;
}

dao::Database create(const QString &file)
{
    dao::Database db = dao::DBEngine::CreateDatabase(file, kConnect);
    dao::Transaction tx(db);
    for (const schema::Table &table : schema::tables()) {
        QStringList columns;
        for (const schema::Column &column : table.columns)
            columns.append(column.name + QLatin1Char(' ') + column.type);
        db.Execute(QStringLiteral("CREATE TABLE %1 (%2)").arg(table.name, columns.join(QStringLiteral(", "))));
        for (const QStringList &index : table.indexes)
            db.Execute(QStringLiteral("CREATE INDEX %1_%2 ON %1 (%3)")
                           .arg(table.name, index.first(), index.join(QStringLiteral(", "))));
    }
    migrate(db, 1);
    storeVersion(db, contentFingerprint(db));
    tx.Commit();
    return db;
}

QString Version::toString() const
{
    return QStringLiteral("%1 %2").arg(schema).arg(content);
}

Version versionOf(dao::Database &db)
{
    Version v;
    v.schema = schemaOf(db);
    if (v.schema >= 2) {
        dao::Recordset rs = db.OpenRecordset(schema::version::kTable);
        if (!rs.AtEOF())
            v.content = dao::textOr(rs.Fields(0).Value(), QString());
    }
    return v;
}

Version writeVersion(dao::Database &db)
{
    dao::Transaction tx(db);
    storeVersion(db, contentFingerprint(db));
    tx.Commit();
    return versionOf(db);
}

QString installedMarkPath(const QString &database)
{
    return database + QStringLiteral(".installed");
}

QString versionFilePath(const QString &database)
{
    return database + QStringLiteral(".version");
}

void update(dao::Database &file, dao::Database &installed)
{
    const Version from = versionOf(file);
    const Version to = versionOf(installed);
    refuseNewer(file, from.schema);
    if (to.schema != kSchemaVersion)
        throw dao::DbError(dao::kUnrecognizedFormat,
            QStringLiteral("安装的数据库 '%1' 与本程序的版本不符（版本 %2）。").arg(installed.path()).arg(to.schema));

    dao::Transaction tx(file);
    migrate(file, from.schema);
    itemsets::markAnswered(file, from.schema);
    file.Execute(QStringLiteral("DELETE FROM %1").arg(schema::test::kTable));
    dao::Recordset source = installed.OpenRecordset(schema::test::kTable);
    dao::Recordset target = file.OpenRecordset(schema::test::kTable);
    for (; !source.AtEOF(); source.MoveNext()) {
        target.AddNew();
        for (const QString &column : source.columnNames())
            target.Fields(column).setValue(source.Fields(column).Value());
        target.Update();
    }
    storeVersion(file, to.content);
    tx.Commit();
}

} // namespace assessmentdb
