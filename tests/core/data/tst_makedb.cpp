#include "core/data/AssessmentDb.h"
#include "core/data/Dao.h"
#include "core/data/Schema.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

// The build step that makes the installed database.
class TestMakeDb : public QObject {
    Q_OBJECT
private slots:
    void rebuildKeepsTheFamilysData();
    void badContentLeavesTheDatabaseAlone();
    void rebuildWhileAnotherProcessWrites();
    void sameContentMakesTheSameFile();
    void handOverTakesTheBackupsAlong();

private:
    static int makedb(const QString &output, const QString &contentDir)
    {
        QProcess p;
        p.start(QStringLiteral(CG_BINARY_DIR "/tools/makedb"), {output, contentDir});
        p.waitForFinished(60000);
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    static void writeContent(const QString &dir, const QByteArray &rows)
    {
        QFile f(dir + QStringLiteral("/items-01.tsv"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("age\tclas\tfen\titem\thowto\tdisp\topt1\topt2\topt3\topt4\tsource\tskill\n" + rows);
    }
    static QStringList column(const QString &file, const QString &table, const QString &name)
    {
        dao::Database db = dao::DBEngine::OpenDatabase(file, true, false, assessmentdb::kConnect);
        QStringList values;
        for (dao::Recordset rs = db.OpenRecordset(table); !rs.AtEOF(); rs.MoveNext())
            values << dao::textOr(rs.Fields(name).Value(), QStringLiteral("<null>"));
        return values;
    }
};

void TestMakeDb::rebuildKeepsTheFamilysData()
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("0-3.mdb"));
    writeContent(dir.path(), "1\t生理\t16\t抬头\t\t能抬头\t\t\t\t\tC2\t\n");
    QCOMPARE(makedb(db, dir.path()), 0);
    QCOMPARE(column(db, schema::test::kTable, schema::test::kHowTo), QStringList {QStringLiteral("<null>")});
    {
        dao::Database handle = dao::DBEngine::OpenDatabase(db, true, false, assessmentdb::kConnect);
        for (const QString &name : {QStringLiteral("小明"), QStringLiteral("小红")}) {
            dao::Recordset rs = handle.OpenRecordset(schema::user::kTable);
            rs.AddNew();
            rs.Fields(schema::user::kName).setValue(name);
            rs.Update();
        }
        dao::Recordset rs = handle.OpenRecordset(schema::testrecord::kTable);
        rs.AddNew();
        rs.Fields(schema::testrecord::kUser).setValue(QStringLiteral("小红"));
        rs.Fields(schema::testrecord::score(2)).setValue(3 * 0.8);
        rs.Update();
    }
    writeContent(dir.path(),
        "1\t生理\t16\t抬头片刻\t俯卧时逗引\t能抬头\t\t\t\t\tC2\t\n2\t运动\t16\t翻身\t\t能翻身\t\t\t\t\tC4\t\n");
    QCOMPARE(makedb(db, dir.path()), 0);
    QCOMPARE(column(db, schema::test::kTable, schema::test::kItem),
        (QStringList {QStringLiteral("抬头片刻"), QStringLiteral("翻身")}));
    // The records are the user's alone, as the build leaves them too.
    QCOMPARE(QFileInfo(db).permissions() & (QFile::ReadOther | QFile::ReadGroup), QFileDevice::Permissions());
    QCOMPARE(column(db, schema::user::kTable, schema::user::kName),
        (QStringList {QStringLiteral("小明"), QStringLiteral("小红")}));
    dao::Database handle = dao::DBEngine::OpenDatabase(db, true, false, assessmentdb::kConnect);
    dao::Recordset rs = handle.OpenRecordset(schema::testrecord::kTable);
    QVERIFY(rs.Fields(schema::testrecord::score(2)).Value().toDouble() == 3 * 0.8);
}

void TestMakeDb::badContentLeavesTheDatabaseAlone()
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("0-3.mdb"));
    writeContent(dir.path(), "1\t生理\t16\t抬头\t\t能抬头\t\t\t\t\tC2\t\n");
    QCOMPARE(makedb(db, dir.path()), 0);
    // A line short of fields, a month age with a blank, a mislabelled column.
    writeContent(dir.path(), "1\t生理\t16\t缺少字段\n");
    QVERIFY(makedb(db, dir.path()) != 0);
    writeContent(dir.path(), " 1\t生理\t16\t抬头\t\t能抬头\t\t\t\t\tC2\t\n");
    QVERIFY(makedb(db, dir.path()) != 0);
    QFile f(dir.filePath(QStringLiteral("items-01.tsv")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("age\tclas\tpoints\titem\thowto\tdisp\topt1\topt2\topt3\topt4\tsource\tskill\n1\t生理\t16\t抬头\t\t能抬头\t"
            "\t\t\t"
            "\tC2\t\n");
    f.close();
    QVERIFY(makedb(db, dir.path()) != 0);
    QCOMPARE(column(db, schema::test::kTable, schema::test::kItem), QStringList {QStringLiteral("抬头")});
    QVERIFY(!QFile::exists(db + QStringLiteral(".new")));
}

void TestMakeDb::rebuildWhileAnotherProcessWrites()
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("0-3.mdb"));
    writeContent(dir.path(), "1\t生理\t16\t抬头\t\t能抬头\t\t\t\t\tC2\t\n");
    QCOMPARE(makedb(db, dir.path()), 0);
    // What a rebuild killed half-way leaves behind is dropped by the next.
    QFile left(db + QStringLiteral(".new"));
    QVERIFY(left.open(QIODevice::WriteOnly));
    left.write("half a database");
    left.close();

    QProcess writer;
    writer.start(QStringLiteral(CG_BINARY_DIR "/tests/dbholder"), {QStringLiteral("write"), db});
    QVERIFY(writer.waitForReadyRead(20000));
    // A rebuild refused because the writer holds the file at that moment is
    // tried again; each one that runs must keep every change made before it.
    int rebuilt = 0;
    for (int attempt = 0; attempt < 100 && rebuilt < 4; ++attempt) {
        if (makedb(db, dir.path()) == 0)
            ++rebuilt;
    }
    writer.kill();
    writer.waitForFinished();
    QCOMPARE(rebuilt, 4);
    QStringList written;
    for (const QString &line : QString::fromLatin1(writer.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        QVERIFY2(!line.startsWith(QStringLiteral("error")), qPrintable(line));
        if (line.startsWith(QStringLiteral("wrote ")))
            written << QStringLiteral("w") + line.mid(6);
    }
    QVERIFY(written.size() > 4);
    const QStringList stored = column(db, schema::user::kTable, schema::user::kName);
    for (const QString &name : written)
        QVERIFY2(stored.contains(name), qPrintable(name + QStringLiteral(" was lost")));
    QVERIFY(!QFile::exists(db + QStringLiteral(".new")));
}

void TestMakeDb::sameContentMakesTheSameFile()
{
    // The package is reproducible only if its database is: the cipher's salt
    // and initialisation vectors must not differ between two builds.
    QTemporaryDir dir;
    writeContent(dir.path(), "1\t生理\t16\t抬头\t\t能抬头\t\t\t\t\tC2\t\n");
    const QString first = dir.filePath(QStringLiteral("a.mdb"));
    const QString second = dir.filePath(QStringLiteral("b.mdb"));
    QCOMPARE(makedb(first, dir.path()), 0);
    QCOMPARE(makedb(second, dir.path()), 0);
    QFile a(first);
    QFile b(second);
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    QVERIFY(a.readAll() == b.readAll());
    QCOMPARE(column(second, schema::test::kTable, schema::test::kItem), QStringList {QStringLiteral("抬头")});
}

// An earlier install's records become the user's own copy with their
// backups; everything left or made is the user's alone, whatever the umask.
void TestMakeDb::handOverTakesTheBackupsAlong()
{
    const auto restoreUmask = qScopeGuard([umask = ::umask(0)] { ::umask(umask); });
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("lib/0-3.mdb"));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("lib/backups"))));
    QVERIFY(QFile::copy(QStringLiteral(CG_BINARY_DIR "/bin/0-3.mdb"), old));
    QVERIFY(QFile::setPermissions(old, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    dao::DBEngine::OpenDatabase(old, true, false, assessmentdb::kConnect)
        .Execute(QStringLiteral("INSERT INTO user (name) VALUES ('小明')"));
    const QString backup = QStringLiteral("backups/2026-01-01_08-00-00.mdb");
    QVERIFY(QFile::copy(old, dir.filePath(QStringLiteral("lib/")) + backup));

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(CG_BINARY_DIR "/tools/makedb"), {QStringLiteral("--hand-over"), old});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    const QString own = dir.filePath(QStringLiteral("data/helan-edu/childgrowth/"));
    QCOMPARE(column(own + assessmentdb::kFileName, schema::user::kTable, schema::user::kName),
        QStringList {QStringLiteral("小明")});
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("lib/backups"))));
    const QFileDevice::Permissions mine = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
    for (const QString &file : {own + assessmentdb::kFileName, own + backup, old + QStringLiteral(".moved")})
        QCOMPARE(QFileInfo(file).permissions(), mine);
    for (const QString &folder : {own, own + QStringLiteral("backups")})
        QCOMPARE(QFileInfo(folder).permissions(), mine | QFile::ExeOwner | QFile::ExeUser);
}

QTEST_GUILESS_MAIN(TestMakeDb)
#include "tst_makedb.moc"
