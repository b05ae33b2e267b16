#include "Runner.h"
#include "core/data/Schema.h"

#include <QThread>
#include <QtTest>

#include <memory>

// Where the installed program keeps a family's records, and how an update of
// the program brings a user's own copy up to date.
class TestLocation : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (!runner::canSwitch())
            QSKIP("cannot start a program as another account (nobody) here: setpriv is refused");
    }
    void writableFolderUsesTheFileBesideTheProgram();
    void sharedInstallGivesEveryUserAnOwnCopy();
    void interruptedFirstStartLeavesNoBrokenFile();
    void updateKeepsEveryRecord();
    void failedUpdateLeavesTheFileAsItWas();

private:
    // A copy of the built program beside the database an installation starts from.
    struct Install {
        QTemporaryDir dir;
        QString program() const { return dir.filePath(QStringLiteral("childgrowth")); }
        QString database() const { return dir.filePath(assessmentdb::kFileName); }
        ~Install()
        {
            QProcess::execute(QStringLiteral("chmod"), {QStringLiteral("-R"), QStringLiteral("u+w"), dir.path()});
        }
    };
    // shared: installed by another account (read-only for the user), else the user's own.
    std::unique_ptr<Install> install(bool shared, const std::function<void(const QString &)> &prepare = {});
    QString newHome();
    // A user's copy from an earlier release: schema 1, an older
    // questionnaire, two children and three months.
    static void makeEarlierCopy(const QString &installed, const QString &home);

    std::vector<std::unique_ptr<QTemporaryDir>> m_homes;
};

std::unique_ptr<TestLocation::Install> TestLocation::install(
    bool shared, const std::function<void(const QString &)> &prepare)
{
    auto in = std::make_unique<Install>();
    const QString built = QStringLiteral(CG_BINARY_DIR "/template/0-3.mdb");
    if (!QFile::copy(QStringLiteral(CG_BINARY_DIR "/bin/childgrowth"), in->program())
        || !QFile::copy(built, in->database())
        || !QFile::copy(assessmentdb::versionFilePath(built), assessmentdb::versionFilePath(in->database())))
        return nullptr;
    if (prepare)
        prepare(in->database());
    runner::openUp(in->dir.path(), shared && !runner::asRoot());
    if (!shared)
        runner::giveToOther(in->dir.path());
    return in;
}

QString TestLocation::newHome()
{
    m_homes.push_back(std::make_unique<QTemporaryDir>());
    const QString home = m_homes.back()->path();
    runner::openUp(home);
    runner::giveToOther(home);
    return home;
}

void TestLocation::makeEarlierCopy(const QString &installed, const QString &home)
{
    const QString own = runner::ownDatabase(home);
    QDir().mkpath(QFileInfo(own).path());
    QVERIFY(QFile::copy(installed, own));
    QFile::setPermissions(own, QFile::ReadOwner | QFile::WriteOwner);
    dao::Database db = dao::DBEngine::OpenDatabase(own, true, false, assessmentdb::kConnect);
    db.Execute(QStringLiteral("DROP TABLE version"));
    db.Execute(QStringLiteral("PRAGMA user_version = 1"));
    db.Execute(QStringLiteral("DELETE FROM test"));
    db.Execute(
        QStringLiteral("INSERT INTO test (age, item, disp, clas, fen) VALUES (1, '旧题目', '旧目标', '生理', 4)"));
    for (const QString &name : {QStringLiteral("小明"), QStringLiteral("小红")})
        db.Execute(QStringLiteral("INSERT INTO user (name, sex, birth, pname, telphone, email, addr) "
                                  "VALUES (?, '男', '2025-1-2', '父母', '123', 'a@b.c', '地址')"),
            {name});
    for (int month = 1; month <= 3; ++month)
        db.Execute(
            QStringLiteral("INSERT INTO testrecord (user, monthage, height, weight, heartrate, breath, a1, a1fen, "
                           "a5fen) VALUES ('小红', ?, ?, 4.25, 120, 40, '12', ?, 0.1)"),
            {month, 50 + month, month * 2.4});
}

void TestLocation::writableFolderUsesTheFileBesideTheProgram()
{
    auto in = install(false);
    QVERIFY(in);
    const QString home = newHome();
    const runner::Run run = runner::run(in->program(), home, QStringLiteral("profile:小明"));
    QVERIFY2(run.said(QStringLiteral("SAVED")), qPrintable(run.lines.join(QLatin1Char('\n'))));
    QCOMPARE(
        runner::rows(in->database(), schema::user::kTable, schema::user::kName), QStringList {QStringLiteral("小明")});
    QVERIFY(!QFile::exists(runner::ownDatabase(home)));
}

void TestLocation::sharedInstallGivesEveryUserAnOwnCopy()
{
    auto in = install(true);
    QVERIFY(in);
    const QByteArray installed = runner::digest(in->database());
    const QString first = newHome();
    const QString second = newHome();

    // The first start makes the copy, later starts use it.
    runner::Run run = runner::run(in->program(), first, QStringLiteral("profile:小明"));
    QVERIFY2(run.said(QStringLiteral("SAVED")), qPrintable(run.lines.join(QLatin1Char('\n'))));
    run = runner::run(in->program(), first);
    QVERIFY2(run.said(QStringLiteral("WINDOW MainForm")), qPrintable(run.lines.join(QLatin1Char('\n'))));
    run = runner::run(in->program(), second, QStringLiteral("profile:小刚"));
    QVERIFY2(run.said(QStringLiteral("SAVED")), qPrintable(run.lines.join(QLatin1Char('\n'))));

    QCOMPARE(runner::rows(runner::ownDatabase(first), schema::user::kTable, schema::user::kName),
        QStringList {QStringLiteral("小明")});
    QCOMPARE(runner::rows(runner::ownDatabase(second), schema::user::kTable, schema::user::kName),
        QStringList {QStringLiteral("小刚")});
    QCOMPARE(runner::rows(runner::ownDatabase(first), schema::test::kTable).size(),
        runner::rows(in->database(), schema::test::kTable).size());
    QCOMPARE(runner::digest(in->database()), installed);
}

void TestLocation::interruptedFirstStartLeavesNoBrokenFile()
{
    auto in = install(true);
    QVERIFY(in);
    const QByteArray installed = runner::digest(in->database());
    // Killed at any moment of its first start: no file, or the whole copy.
    const QString home = newHome();
    for (int delay = 0; delay <= 300; delay += 20) {
        QProcess p;
        runner::start(in->program(), home, QStringLiteral("show"), &p);
        QVERIFY(p.waitForStarted());
        QThread::msleep(static_cast<unsigned long>(delay));
        p.kill();
        p.waitForFinished();
        const QString own = runner::ownDatabase(home);
        QVERIFY2(!QFile::exists(own) || runner::digest(own) == installed, qPrintable(QString::number(delay)));
    }
    // A part left by a start that was killed while copying is cleared away.
    const QString other = newHome();
    const QString own = runner::ownDatabase(other);
    QDir().mkpath(QFileInfo(own).path());
    QFile part(own + QStringLiteral(".4000000.part"));
    QVERIFY(part.open(QIODevice::WriteOnly));
    part.write(QByteArray(5000, 'x'));
    part.close();
    runner::giveToOther(other);
    const runner::Run run = runner::run(in->program(), other);
    QVERIFY2(run.said(QStringLiteral("WINDOW MainForm")), qPrintable(run.lines.join(QLatin1Char('\n'))));
    QCOMPARE(runner::digest(own), installed);
    QVERIFY(!part.exists());
}

void TestLocation::updateKeepsEveryRecord()
{
    auto in = install(true);
    QVERIFY(in);
    const QString home = newHome();
    makeEarlierCopy(in->database(), home);
    // Left open to every account by an earlier version: closed at the start.
    const QString own = runner::ownDatabase(home);
    QFile::setPermissions(own, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(QFileInfo(own).path(),
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther
            | QFile::ExeOther);
    runner::giveToOther(home);
    const QStringList users = runner::rows(own, schema::user::kTable);
    const QStringList months = runner::rows(own, schema::testrecord::kTable);
    QCOMPARE(months.size(), 3);

    const runner::Run run = runner::run(in->program(), home);
    QVERIFY2(run.said(QStringLiteral("WINDOW MainForm")), qPrintable(run.lines.join(QLatin1Char('\n'))));
    QCOMPARE(runner::rows(own, schema::user::kTable), users);
    // Every value kept; the months answered before the file kept track of
    // its questionnaires are marked as answered with one it cannot name.
    const auto keptAndMarked = [&](const QString &file) {
        QStringList rows = runner::rows(file, schema::testrecord::kTable);
        for (QString &row : rows) {
            if (!row.endsWith(QStringLiteral("|?")))
                return QStringList {row};
            row = row.chopped(1) + QStringLiteral("<null>");
        }
        return rows;
    };
    QCOMPARE(keptAndMarked(own), months);
    QCOMPARE(runner::rows(own, schema::test::kTable), runner::rows(in->database(), schema::test::kTable));
    QCOMPARE(runner::version(own), runner::version(in->database()));
    const QFileDevice::Permissions others = QFile::ReadGroup | QFile::ReadOther | QFile::ExeGroup | QFile::ExeOther;
    QCOMPARE(QFileInfo(own).permissions() & others, QFileDevice::Permissions());
    QCOMPARE(QFileInfo(QFileInfo(own).path()).permissions() & others, QFileDevice::Permissions());

    // The same through the install step's tool, from the questionnaire content.
    QTemporaryDir dir;
    const QString used = dir.filePath(QStringLiteral("0-3.mdb"));
    const QString built = QStringLiteral(CG_BINARY_DIR "/template/0-3.mdb");
    makeEarlierCopy(built, dir.path());
    QVERIFY(QFile::rename(runner::ownDatabase(dir.path()), used));
    QCOMPARE(QProcess::execute(
                 QStringLiteral(CG_BINARY_DIR "/tools/makedb"), {used, QStringLiteral(CG_SOURCE_DIR "/content")}),
        0);
    QCOMPARE(runner::rows(used, schema::user::kTable), users);
    QCOMPARE(keptAndMarked(used), months);
    QCOMPARE(runner::rows(used, schema::test::kTable), runner::rows(built, schema::test::kTable));
}

void TestLocation::failedUpdateLeavesTheFileAsItWas()
{
    // An installed file whose questionnaire the user's file cannot take.
    auto in = install(true, [](const QString &database) {
        dao::Database db = dao::DBEngine::OpenDatabase(database, true, false, assessmentdb::kConnect);
        db.Execute(QStringLiteral("ALTER TABLE test ADD COLUMN extra TEXT"));
        db.Execute(QStringLiteral("UPDATE test SET item = item || '（新）'"));
        QFile stamp(assessmentdb::versionFilePath(database));
        QVERIFY(stamp.open(QIODevice::WriteOnly));
        stamp.write(assessmentdb::writeVersion(db).toString().toUtf8());
    });
    QVERIFY(in);
    const QString home = newHome();
    makeEarlierCopy(QStringLiteral(CG_BINARY_DIR "/template/0-3.mdb"), home);
    runner::giveToOther(home);
    const QByteArray before = runner::digest(runner::ownDatabase(home));

    const runner::Run run = runner::run(in->program(), home);
    QVERIFY(run.exitCode != 0);
    QVERIFY2(run.lines.size() == 1 && run.lines.first().startsWith(QStringLiteral("MESSAGE 运行时错误 '3265'")),
        qPrintable(run.lines.join(QLatin1Char('\n'))));
    QCOMPARE(runner::digest(runner::ownDatabase(home)), before);
}

QTEST_GUILESS_MAIN(TestLocation)
#include "tst_location.moc"
