#include "AssessmentDb.h"

#include <QCoreApplication>
#include <QDir>

namespace assessmentdb {

namespace {
QString &overridePath()
{
    static QString p;
    return p;
}
} // namespace

QString path()
{
    if (!overridePath().isEmpty())
        return overridePath();
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + QLatin1Char('/') + kFileName);
}

void setPathForTesting(const QString &p)
{
    overridePath() = p;
}

dao::Database open()
{
    return dao::DBEngine::OpenDatabase(path(), true, false, kConnect);
}

dao::Database openShared()
{
    return dao::DBEngine::OpenDatabase(path());
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
    db.Execute(QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion));
    tx.Commit();
    return db;
}

} // namespace assessmentdb
