#include "core/data/AssessmentDb.h"
#include "core/data/Dao.h"
#include "core/data/Schema.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// A database failure while the main window loads: one message with the
// error's number and description, then the application ends non-zero.
class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void failureEndsTheApplication_data();
    void failureEndsTheApplication();
    void fileHeldByAnotherProcess();
    void goodDatabaseStarts();

private:
    struct Run {
        int exitCode = -1;
        QStringList messages;
    };
    Run start(const QString &file) const;
};

TestStartup::Run TestStartup::start(const QString &file) const
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(CG_BINARY_DIR "/tests/startup_probe"), {file});
    Run run;
    if (!p.waitForFinished(30000)) {
        p.kill();
        return run;
    }
    if (p.exitStatus() != QProcess::NormalExit)
        return run; // a crash with a signal
    run.exitCode = p.exitCode();
    for (const QString &line : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("MESSAGE ")))
            run.messages << line.mid(8);
    }
    return run;
}

void TestStartup::failureEndsTheApplication_data()
{
    QTest::addColumn<QByteArray>("contents"); // "missing", "wrong key" or the file's bytes
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("description");
    QTest::newRow("missing file") << QByteArray("missing") << int(dao::kFileNotFound) << QStringLiteral("找不到文件");
    QTest::newRow("wrong password") << QByteArray("wrong key") << int(dao::kInvalidPassword)
                                    << QStringLiteral("密码无效");
    QTest::newRow("not a database") << QByteArray("hello\n") << int(dao::kUnrecognizedFormat)
                                    << QStringLiteral("无法识别的数据库格式");
    QTest::newRow("no tables") << QByteArray("no tables") << int(dao::kTableNotFound) << schema::user::kTable;
}

void TestStartup::failureEndsTheApplication()
{
    QFETCH(QByteArray, contents);
    QFETCH(int, number);
    QFETCH(QString, description);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("0-3.mdb"));
    if (contents == "wrong key") {
        dao::DBEngine::CreateDatabase(file, QStringLiteral(";pwd=1234"))
            .Execute(QStringLiteral("create table user (x)"));
    } else if (contents == "no tables") {
        dao::DBEngine::CreateDatabase(file, assessmentdb::kConnect).Execute(QStringLiteral("create table t (x)"));
    } else if (contents != "missing") {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(contents);
    }
    const Run run = start(file);
    QCOMPARE(run.messages.size(), 1);
    QVERIFY2(run.messages.first().contains(QString::number(number)), qPrintable(run.messages.first()));
    QVERIFY2(run.messages.first().contains(description), qPrintable(run.messages.first()));
    QVERIFY(run.exitCode > 0);
}

void TestStartup::fileHeldByAnotherProcess()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("0-3.mdb"));
    assessmentdb::create(file);
    QProcess holder;
    holder.start(QStringLiteral(CG_BINARY_DIR "/tests/dbholder"), {QStringLiteral("hold"), file});
    QVERIFY(holder.waitForReadyRead(20000));
    const Run run = start(file);
    holder.kill();
    holder.waitForFinished();
    QCOMPARE(run.messages.size(), 1);
    QVERIFY(run.messages.first().contains(QString::number(dao::kFileInUse)));
    QVERIFY(run.exitCode > 0);
}

void TestStartup::goodDatabaseStarts()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("0-3.mdb"));
    assessmentdb::create(file);
    const Run run = start(file);
    QCOMPARE(run.messages, QStringList());
    QCOMPARE(run.exitCode, 0);
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
