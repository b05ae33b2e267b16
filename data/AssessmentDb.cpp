#include "AssessmentDb.h"

#include "platform/Files.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

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
    if (!QDir().mkpath(dir.absolutePath()))
        cannotMake(target, QStringLiteral("不能建立文件夹 '%1'。").arg(dir.absolutePath()));
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
    const QString part = QStringLiteral("%1.%2.part").arg(target).arg(QCoreApplication::applicationPid());
    QString reason;
    if (platform::placeNewFile(target, part, bytes, &reason) == platform::PlaceResult::Failed)
        cannotMake(target, reason);
}

Place locate()
{
    if (!overridePlace().file.isEmpty())
        return overridePlace();
    const QString dir = QCoreApplication::applicationDirPath();
    const QString beside = QDir::toNativeSeparators(dir + QLatin1Char('/') + kFileName);
    const QFileInfo besideInfo(beside);
    // An install for every user of the computer is marked so by its install
    // step: its file is never written, not even by the administrator, whose
    // children would otherwise reach every new user's copy. A missing
    // installed file is reported as such, by its own name.
    const bool shared = QFileInfo::exists(sharedMarkPath(beside));
    if (!besideInfo.exists() || (!shared && QFileInfo(dir).isWritable() && besideInfo.isWritable()))
        return {beside, {}};
    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (dataDir.isEmpty())
        cannotMake(kFileName, QStringLiteral("找不到用户的数据文件夹。"));
    const QString own = QDir::toNativeSeparators(dataDir + QLatin1Char('/') + kFileName);
    if (!QFileInfo::exists(own))
        copyInstalled(beside, own);
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
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (dao::Recordset rs = db.OpenRecordset(QStringLiteral("test")); !rs.AtEOF(); rs.MoveNext()) {
        for (int c = 0; c < rs.FieldCount(); ++c) {
            const QVariant v = rs.Fields(c).Value();
            hash.addData(v.isNull() ? QByteArrayView("\x01") : QByteArrayView("\x02"));
            hash.addData(v.toString().toUtf8());
            hash.addData(QByteArrayView("\x1f"));
        }
        hash.addData(QByteArrayView("\x1e"));
    }
    return QString::fromLatin1(hash.result().toHex().left(32));
}

void storeVersion(dao::Database &db, const QString &content)
{
    db.Execute(QStringLiteral("DELETE FROM version"));
    db.Execute(QStringLiteral("INSERT INTO version (content) VALUES (?)"), {content});
    db.Execute(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion));
}

// The schema changes from each older version to the current one.
void migrate(dao::Database &db, int from)
{
    if (from < 2)
        db.Execute(QStringLiteral("CREATE TABLE version (content TEXT)"));
}

} // namespace

QString path()
{
    return place().file;
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
// later in whichever window first reads it.
void requireSchema(dao::Database &db)
{
    static const struct {
        const char *table;
        const char *columns;
    } used[] = {
        {"user", "name sex birth pname telphone email addr"},
        {"testrecord", "user monthage height weight heartrate breath a1 a2 a3 a4 a5 a1fen a2fen a3fen a4fen a5fen"},
        {"test", "age item howto disp opt1 opt2 opt3 opt4 clas fen"},
    };
    for (const auto &t : used) {
        const QString table = QString::fromLatin1(t.table);
        const QStringList present = db.TableColumns(table);
        for (const QString &column : QString::fromLatin1(t.columns).split(QLatin1Char(' '))) {
            if (!present.contains(column, Qt::CaseInsensitive))
                throw dao::DbError(dao::kItemNotFound,
                    QStringLiteral("在此集合中找不到项目 '%1'：表 '%2' 没有这个字段。").arg(column, table));
        }
    }
    // The child selection reads `name` by position: it is the second column.
    const QStringList user = db.TableColumns(QStringLiteral("user"));
    if (user.value(1).compare(QStringLiteral("name"), Qt::CaseInsensitive) != 0)
        throw dao::DbError(
            dao::kItemNotFound, QStringLiteral("在此集合中找不到项目 1：表 'user' 的第二个字段不是 'name'。"));
}

} // namespace

dao::Database open()
{
    dao::Database db = dao::DBEngine::OpenDatabase(path(), true, false, kConnect);
    requireSchema(db);
    return db;
}

dao::Database openShared()
{
    return dao::DBEngine::OpenDatabase(path());
}

dao::Database openAtStart()
{
    const Place &where = place();
    dao::Database db = open();
    if (where.installed.isEmpty())
        return db;
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
    // `user` keeps an integer key in front so that `name` is column 1.
    db.Execute(QStringLiteral("CREATE TABLE user (id INTEGER PRIMARY KEY, name TEXT, sex TEXT, birth TEXT, "
                              "pname TEXT, telphone TEXT, email TEXT, addr TEXT)"));
    db.Execute(QStringLiteral("CREATE TABLE testrecord (user TEXT, monthage SMALLINT, height DOUBLE, weight DOUBLE, "
                              "heartrate DOUBLE, breath DOUBLE, a1 TEXT, a2 TEXT, a3 TEXT, a4 TEXT, a5 TEXT, "
                              "a1fen DOUBLE, a2fen DOUBLE, a3fen DOUBLE, a4fen DOUBLE, a5fen DOUBLE)"));
    db.Execute(QStringLiteral("CREATE TABLE test (age SMALLINT, item TEXT, howto TEXT, disp TEXT, opt1 TEXT, "
                              "opt2 TEXT, opt3 TEXT, opt4 TEXT, clas TEXT, fen DOUBLE)"));
    db.Execute(QStringLiteral("CREATE INDEX user_name ON user (name)"));
    db.Execute(QStringLiteral("CREATE INDEX testrecord_monthage ON testrecord (monthage)"));
    db.Execute(QStringLiteral("CREATE INDEX testrecord_user ON testrecord (user, monthage)"));
    db.Execute(QStringLiteral("CREATE INDEX test_age ON test (age)"));
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
    v.schema = db.OpenRecordset(QStringLiteral("PRAGMA user_version")).Fields(0).Value().toInt();
    if (v.schema >= 2) {
        dao::Recordset rs = db.OpenRecordset(QStringLiteral("SELECT content FROM version"));
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

QString sharedMarkPath(const QString &database)
{
    return database + QStringLiteral(".shared");
}

QString versionFilePath(const QString &database)
{
    return database + QStringLiteral(".version");
}

void update(dao::Database &file, dao::Database &installed)
{
    const Version from = versionOf(file);
    const Version to = versionOf(installed);
    if (from.schema > kSchemaVersion)
        throw dao::DbError(dao::kUnrecognizedFormat,
            QStringLiteral("数据库 '%1' 由较新版本的程序写入（版本 %2），本程序只能使用版本 %3 及以前的文件。")
                .arg(file.path())
                .arg(from.schema)
                .arg(kSchemaVersion));
    if (to.schema != kSchemaVersion)
        throw dao::DbError(dao::kUnrecognizedFormat,
            QStringLiteral("安装的数据库 '%1' 与本程序的版本不符（版本 %2）。").arg(installed.path()).arg(to.schema));

    dao::Transaction tx(file);
    migrate(file, from.schema);
    file.Execute(QStringLiteral("DELETE FROM test"));
    dao::Recordset source = installed.OpenRecordset(QStringLiteral("test"));
    dao::Recordset target = file.OpenRecordset(QStringLiteral("test"));
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
