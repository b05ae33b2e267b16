#include "AppRun.h"
#include "app/RecordsCommands.h"
#include "core/data/AssessmentDb.h"
#include "core/data/Backup.h"
#include "core/data/Schema.h"

#include <QDir>
#include <QFile>
#include <QtTest>

// The automatic backups of the real program across runs: after a run that
// changed the file, none after one that did not, one at the next start after
// a killed run, and the newest named when the file is found damaged. A
// restore killed at any of its file steps.
class TestBackups : public QObject {
    Q_OBJECT
private slots:
    void backupsAcrossRuns();
    void restoreKilledAtEveryStep();
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

QStringList namesIn(dao::Database db)
{
    QStringList names;
    for (dao::Recordset rs = db.OpenRecordset(schema::user::kTable); !rs.AtEOF(); rs.MoveNext())
        names << dao::text(rs.Fields(schema::user::kName).Value());
    return names;
}

void addChild(const QString &file, const QString &name, int months)
{
    dao::Database db = dao::DBEngine::OpenDatabase(file, true, false, assessmentdb::kConnect);
    db.Execute(QStringLiteral("INSERT INTO user (name) VALUES (?)"), {name});
    for (int month = 1; month <= months; ++month)
        db.Execute(QStringLiteral("INSERT INTO testrecord (user, monthage) VALUES (?, ?)"), {name, month});
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

// Killed before each rename, removal and flush of its own and of the engine
// in turn, with a journal a killed run left beside the family's file: the
// next start clears what the restore left and opens the old records or the
// restored ones, never a damaged file; the file it replaced is kept whole.
void TestBackups::restoreKilledAtEveryStep()
{
    apprun::Installation app;
    const QString database = app.database();
    const QString journal = database + QStringLiteral("-journal");
    addChild(database, QStringLiteral("旧"), 2);
    QCOMPARE(
        QProcess::execute(QStringLiteral(CG_BINARY_DIR "/tests/dbholder"), {QStringLiteral("crash"), database}), 0);
    QTemporaryDir out;
    const QString saved = out.filePath(QStringLiteral("saved"));
    QVERIFY(QFile::copy(database, saved) && QFile::copy(journal, saved + QStringLiteral("-journal")));
    const QString copy = out.filePath(QStringLiteral("备份.mdb"));
    QVERIFY(QFile::copy(apprun::installedDatabase(), copy));
    addChild(copy, QStringLiteral("新"), 1);

    for (int step = 1;; ++step) {
        QVERIFY(QDir(backup::folderOf(database)).removeRecursively());
        for (const QString &suffix : {QString(), QStringLiteral("-journal")}) {
            QFile::remove(database + suffix);
            QVERIFY(QFile::copy(saved + suffix, database + suffix));
        }
        QProcess restore;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(CG_FAULTS));
        env.insert(QStringLiteral("CG_FAULT_AT"), QString::number(step));
        env.insert(QStringLiteral("ASAN_OPTIONS"),
            qEnvironmentVariable("ASAN_OPTIONS") + QStringLiteral(":verify_asan_link_order=0"));
        restore.setProcessEnvironment(env);
        restore.start(QDir(app.dir()).filePath(QStringLiteral("childgrowth")), {QStringLiteral("--restore"), copy});
        QVERIFY(restore.waitForFinished(60000));
        const bool killed = restore.exitStatus() == QProcess::CrashExit;
        const QString context
            = QStringLiteral("killed at step %1: %2").arg(step).arg(QString::fromUtf8(restore.readAllStandardError()));

        assessmentdb::setPathForTesting(database);
        backup::clearLeftovers(database);
        QStringList names;
        try {
            names = namesIn(assessmentdb::openAtStart());
        } catch (const dao::DbError &e) {
            QFAIL(qPrintable(context + e.description()));
        }
        QVERIFY2(names == QStringList {QStringLiteral("旧")} || names == QStringList {QStringLiteral("新")},
            qPrintable(context + names.join(QLatin1Char(','))));
        for (const QString &folder : {app.dir(), backup::folderOf(database)})
            QCOMPARE(QDir(folder).entryList({QStringLiteral(".*part*")}, QDir::Files | QDir::Hidden), QStringList());
        if (!killed) {
            QVERIFY2(restore.exitCode() == 0 && names == QStringList {QStringLiteral("新")}, qPrintable(context));
            qInfo("a restore takes %d file steps", step - 1);
            break;
        }
        QVERIFY2(step < 500, qPrintable(context));
    }
    // The file it replaced, with its journal played back, is a backup that
    // restores.
    const QList<backup::Entry> kept = backup::list(backup::folderOf(database), true);
    QCOMPARE(kept.size(), 1);
    QCOMPARE(recordscommands::restoreFrom(kept.first().path), 0);
    QCOMPARE(namesIn(assessmentdb::openAtStart()), QStringList {QStringLiteral("旧")});
    assessmentdb::setPathForTesting(QString());
}

QTEST_GUILESS_MAIN(TestBackups)
#include "tst_backups.moc"
