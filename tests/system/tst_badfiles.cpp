#include "AppRun.h"
#include "core/data/AssessmentDb.h"
#include "core/data/Dao.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

#include <sqlite3.h>
#include <sys/mount.h>
#include <unistd.h>

// A file the application cannot use, as "0-3.mdb": one message with the
// error's number and description (also on standard error), a non-zero exit,
// and the file exactly as it was.
class TestBadFiles : public QObject {
    Q_OBJECT
private slots:
    void refusedAtStart_data();
    void refusedAtStart();
    void readOnlyFile();
    void fullDisk();

private:
    static QByteArray installedBytes();
    static void writeFile(const QString &path, const QByteArray &bytes);
    static void checkRefused(const apprun::Outcome &run, int number, const QString &description);
};

QByteArray TestBadFiles::installedBytes()
{
    QFile f(apprun::installedDatabase());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void TestBadFiles::writeFile(const QString &path, const QByteArray &bytes)
{
    QFile::remove(path);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void TestBadFiles::checkRefused(const apprun::Outcome &run, int number, const QString &description)
{
    QVERIFY2(run.failures.isEmpty(), qPrintable(run.failures.join(QLatin1Char('\n'))));
    QVERIFY(run.finished);
    QVERIFY(run.exitCode > 0);
    QVERIFY2(run.messages.size() == 1, qPrintable(run.messages.join(QLatin1Char('\n')) + run.errorOutput));
    const QString message = run.messages.first();
    QVERIFY2(message.contains(QStringLiteral("'%1'").arg(number)), qPrintable(message));
    QVERIFY2(message.contains(description), qPrintable(message));
    QVERIFY2(run.errorOutput.contains(QString::number(number)) && run.errorOutput.contains(description),
        qPrintable(run.errorOutput));
}

void TestBadFiles::refusedAtStart_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("description");
    const QString notRecognised = QStringLiteral("无法识别的数据库格式");
    const QString isDamaged = QStringLiteral("已损坏");
    QTest::newRow("empty file") << "empty" << int(dao::kUnrecognizedFormat) << notRecognised;
    QTest::newRow("first 1000 bytes") << "head" << int(dao::kUnrecognizedFormat) << notRecognised;
    QTest::newRow("first half") << "half" << int(dao::kDamagedFile) << isDamaged;
    QTest::newRow("random bytes") << "random" << int(dao::kInvalidPassword) << QStringLiteral("密码无效");
    QTest::newRow("one byte flipped") << "flipped" << int(dao::kDamagedFile) << isDamaged;
    QTest::newRow("not encrypted") << "plain" << int(dao::kUnrecognizedFormat) << notRecognised;
    QTest::newRow("another key") << "key" << int(dao::kInvalidPassword) << QStringLiteral("密码无效");
    QTest::newRow("no testrecord") << "notable" << int(dao::kTableNotFound) << QStringLiteral("'testrecord'");
    QTest::newRow("user without telphone") << "nocolumn" << int(dao::kItemNotFound) << QStringLiteral("'telphone'");
    QTest::newRow("a directory") << "directory" << int(dao::kCannotOpenFile) << QStringLiteral("文件夹");
    QTest::newRow("missing") << "missing" << int(dao::kFileNotFound) << QStringLiteral("找不到文件");
}

void TestBadFiles::refusedAtStart()
{
    QFETCH(QString, kind);
    QFETCH(int, number);
    QFETCH(QString, description);
    apprun::Installation app(false);
    const QString file = app.database();
    const QByteArray real = installedBytes();
    QVERIFY(real.size() > 4096);
    const quint32 seed = QRandomGenerator::global()->generate();

    if (kind == QStringLiteral("empty")) {
        writeFile(file, {});
    } else if (kind == QStringLiteral("head")) {
        writeFile(file, real.left(1000));
    } else if (kind == QStringLiteral("half")) {
        writeFile(file, real.left(real.size() / 2));
    } else if (kind == QStringLiteral("random")) {
        qInfo("random bytes, seed %u", seed);
        QByteArray bytes(real.size(), Qt::Uninitialized);
        QRandomGenerator generator(seed);
        for (char &c : bytes)
            c = static_cast<char>(generator.bounded(256));
        writeFile(file, bytes);
    } else if (kind == QStringLiteral("flipped")) {
        QByteArray bytes = real;
        bytes[bytes.size() / 2] = static_cast<char>(bytes.at(bytes.size() / 2) ^ 0x10);
        writeFile(file, bytes);
    } else if (kind == QStringLiteral("plain")) {
        sqlite3 *db = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(file).constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db,
                     "CREATE TABLE user (id INTEGER PRIMARY KEY, name, sex, birth, pname, telphone, email, addr);"
                     "CREATE TABLE testrecord (user, monthage, height, weight, heartrate, breath, a1, a2, a3, a4, a5,"
                     " a1fen, a2fen, a3fen, a4fen, a5fen);"
                     "CREATE TABLE test (age, item, howto, disp, opt1, opt2, opt3, opt4, clas, fen);",
                     nullptr, nullptr, nullptr),
            SQLITE_OK);
        sqlite3_close(db);
    } else if (kind == QStringLiteral("key")) {
        dao::Database db = dao::DBEngine::CreateDatabase(file, QStringLiteral(";pwd=1234"));
        db.Execute(QStringLiteral("CREATE TABLE user (id INTEGER PRIMARY KEY, name TEXT)"));
    } else if (kind == QStringLiteral("notable") || kind == QStringLiteral("nocolumn")) {
        dao::Database db = assessmentdb::create(file);
        if (kind == QStringLiteral("notable")) {
            db.Execute(QStringLiteral("DROP TABLE testrecord"));
        } else {
            db.Execute(QStringLiteral("DROP TABLE user"));
            db.Execute(QStringLiteral("CREATE TABLE user (id INTEGER PRIMARY KEY, name TEXT, sex TEXT, birth TEXT, "
                                      "pname TEXT, email TEXT, addr TEXT)"));
        }
    } else if (kind == QStringLiteral("directory")) {
        QVERIFY(QDir().mkdir(file));
    }

    QFile before(file);
    const QByteArray bytes = before.open(QIODevice::ReadOnly) ? before.readAll() : QByteArray();
    before.close();
    checkRefused(app.run(), number, description);
    if (kind == QStringLiteral("missing")) {
        QVERIFY(!QFileInfo::exists(file));
    } else if (kind == QStringLiteral("directory")) {
        QVERIFY(QFileInfo(file).isDir());
        QVERIFY(QDir(file).isEmpty());
    } else {
        QFile after(file);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QVERIFY(after.readAll() == bytes);
        // Nothing left beside it either (no journal).
        QCOMPARE(QDir(app.dir()).entryList({QStringLiteral("0-3.mdb*")}, QDir::Files),
            QStringList {QStringLiteral("0-3.mdb")});
    }
}

void TestBadFiles::readOnlyFile()
{
    // The user's own copy (the program cannot write beside itself), made
    // read-only. As an ordinary user: root may write to any file.
    apprun::Installation app;
    const QString own = app.userDatabase();
    QVERIFY(QDir().mkpath(QFileInfo(own).path()));
    QVERIFY(QFile::copy(apprun::installedDatabase(), own));
    QProcess::execute(QStringLiteral("chown"),
        {QStringLiteral("-R"), QStringLiteral("65534:65534"), QFileInfo(own).path() + QStringLiteral("/../../..")});
    QVERIFY(QFile::setPermissions(own, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const QByteArray bytes = installedBytes();
    checkRefused(app.run({}, true), dao::kCannotOpenFile, QStringLiteral("只读"));
    for (const QString &file : {own, app.database()}) {
        QFile after(file);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QVERIFY(after.readAll() == bytes);
    }
}

void TestBadFiles::fullDisk()
{
    // A small file system of its own, filled up: the application starts, and
    // the first change it stores fails as a full disk, leaving the file as it was.
    QTemporaryDir mountPoint;
    const QByteArray target = QFile::encodeName(mountPoint.path());
    const qint64 needed = QFileInfo(QStringLiteral(CG_APP_EXE)).size() + 4 * 1024 * 1024;
    const QByteArray options = "size=" + QByteArray::number(needed);
    if (::mount("tmpfs", target.constData(), "tmpfs", 0, options.constData()) != 0)
        QSKIP("cannot mount a small file system here (needs root): the full disk is not tried");
    struct Unmount {
        QByteArray path;
        ~Unmount() { ::umount2(path.constData(), MNT_DETACH); }
    } unmount {target};
    apprun::Installation app(true, mountPoint.path());
    QVERIFY(app.dir().startsWith(mountPoint.path()));
    {
        QFile filler(mountPoint.filePath(QStringLiteral("filler")));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) { }
    }
    QFile before(app.database());
    QVERIFY(before.open(QIODevice::ReadOnly));
    const QByteArray bytes = before.readAll();
    before.close();
    const apprun::Outcome run = app.run({
        QStringLiteral("window MainForm"),
        QStringLiteral("trigger dispuser"),
        QStringLiteral("window BrowForm"),
        QStringLiteral("close BrowForm"),
        QStringLiteral("window InputForm"),
        QStringLiteral("set TextName 小明"),
        QStringLiteral("set TextPname 王芳"),
        QStringLiteral("set TextPhone 13800000000"),
        QStringLiteral("set TextEmail a@b.cn"),
        QStringLiteral("set TextAddr 北京"),
        QStringLiteral("click ConfirmCmd"),
        QStringLiteral("message"),
    });
    checkRefused(run, dao::kDiskFull, QStringLiteral("磁盘"));
    QFile after(app.database());
    QVERIFY(after.open(QIODevice::ReadOnly));
    QVERIFY(after.readAll() == bytes);
}

QTEST_GUILESS_MAIN(TestBadFiles)
#include "tst_badfiles.moc"
