#include "AppRun.h"
#include "core/data/AssessmentDb.h"
#include "core/data/Backup.h"
#include "core/data/Schema.h"

#include <QDir>
#include <QFile>
#include <QtTest>

// The automatic backups of the real program across runs: after a run that
// changed the file, none after one that did not, one at the next start after
// a killed run, and the newest named when the file is found damaged.
class TestBackups : public QObject {
    Q_OBJECT
private slots:
    void backupsAcrossRuns();
};

namespace {

QStringList newChild(const QString &name)
{
    return {QStringLiteral("trigger dispuser"), QStringLiteral("window BrowForm"), QStringLiteral("close BrowForm"),
        QStringLiteral("window InputForm"), QStringLiteral("set TextName ") + name,
        QStringLiteral("set TextPname 王芳"), QStringLiteral("set TextPhone 13800000000"),
        QStringLiteral("set TextEmail a@b.cn"), QStringLiteral("set TextAddr 北京"), QStringLiteral("click ConfirmCmd"),
        QStringLiteral("closed InputForm")};
}

QStringList childrenOf(const QString &file)
{
    dao::Database db = dao::DBEngine::OpenDatabase(file, true, true, assessmentdb::kConnect);
    QStringList names;
    for (dao::Recordset rs = db.OpenRecordset(schema::user::kTable); !rs.AtEOF(); rs.MoveNext())
        names << dao::text(rs.Fields(schema::user::kName).Value());
    return names;
}

} // namespace

void TestBackups::backupsAcrossRuns()
{
    apprun::Installation app;
    const QString folder = backup::folderOf(app.database());
    auto backups = [&] { return backup::list(folder); };
    auto check = [](const apprun::Outcome &run) {
        QVERIFY2(run.failures.isEmpty(), qPrintable(run.failures.join(QLatin1Char('\n')) + run.errorOutput));
        QVERIFY(run.done);
        QCOMPARE(run.exitCode, 0);
    };

    // Nothing changed: no backup.
    check(app.run({QStringLiteral("window MainForm"), QStringLiteral("trigger exit")}));
    QVERIFY(backups().isEmpty());

    // A child added: a backup that opens with the key and holds it.
    check(app.run(QStringList {QStringLiteral("window MainForm")} << newChild(QStringLiteral("小明"))
                                                                  << QStringLiteral("trigger exit")));
    QCOMPARE(backups().size(), 1);
    QCOMPARE(childrenOf(backups().first().path), QStringList {QStringLiteral("小明")});
    QCOMPARE(childrenOf(app.database()), QStringList {QStringLiteral("小明")});

    // Killed after a change (the child renamed): the next start backs it up
    // once its window is up.
    QProcess process;
    app.prepare(process,
        QStringList {QStringLiteral("window MainForm")}
            << newChild(QStringLiteral("小红")) << QStringLiteral("note stored") << QStringLiteral("window Never"));
    process.start();
    QTRY_VERIFY_WITH_TIMEOUT(app.outcome(process).notes.contains(QStringLiteral("stored")), 30000);
    process.kill();
    process.waitForFinished();
    QCOMPARE(backups().size(), 1);
    app.prepare(process, {QStringLiteral("window MainForm"), QStringLiteral("window Never")});
    process.start();
    QTRY_VERIFY_WITH_TIMEOUT(backups().size() == 2, 30000);
    process.kill();
    process.waitForFinished();
    QCOMPARE(childrenOf(backups().first().path), QStringList {QStringLiteral("小红")});

    // The file damaged: the message names the newest backup and how to restore it.
    QFile file(app.database());
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    bytes[bytes.size() / 2] = static_cast<char>(bytes.at(bytes.size() / 2) ^ 0x10);
    file.seek(0);
    file.write(bytes);
    file.close();
    const apprun::Outcome damaged = app.run();
    QVERIFY(damaged.exitCode > 0);
    QCOMPARE(damaged.messages.size(), 1);
    const QString message = damaged.messages.first();
    QVERIFY2(message.contains(QStringLiteral("'%1'").arg(int(dao::kDamagedFile))), qPrintable(message));
    QVERIFY2(
        message.contains(QFileInfo(backups().first().path).fileName()) && message.contains(QStringLiteral("--restore")),
        qPrintable(message));
}

QTEST_GUILESS_MAIN(TestBackups)
#include "tst_backups.moc"
