#include "core/data/Backup.h"
#include "core/data/Schema.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <sys/mount.h>

// Automatic backups: which ones rotation keeps, and a backup that cannot be
// written leaves every older one and the database as they were.
class TestBackup : public QObject {
    Q_OBJECT
private slots:
    void rotationKeepsNewestAndOnePerMonth();
    void fullDiskKeepsTheOlderBackups();
};

namespace {

const QString kStamp = QStringLiteral("yyyy-MM-dd_HH-mm-ss");

QStringList names(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.mdb")}, QDir::Files, QDir::Name | QDir::Reversed);
}

void touch(const QString &folder, const QDateTime &when, const QByteArray &bytes = {})
{
    QFile f(QDir(folder).filePath(when.toString(kStamp) + QStringLiteral(".mdb")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

void TestBackup::rotationKeepsNewestAndOnePerMonth()
{
    testsupport::TempDatabase db;
    const QString folder = backup::folderOf(db.path());
    QVERIFY(QDir().mkpath(folder));
    // Twelve in this month, two in May, then one a month back to March 2025.
    for (int day = 1; day <= 12; ++day)
        touch(folder, QDateTime(QDate(2026, 6, day), QTime(8, 0)));
    touch(folder, QDateTime(QDate(2026, 5, 10), QTime(8, 0)));
    for (QDate d(2026, 5, 20); d >= QDate(2025, 3, 20); d = d.addMonths(-1))
        touch(folder, QDateTime(d, QTime(8, 0)));
    // A copy kept by a restore is never rotated away.
    QFile(QDir(folder).filePath(QStringLiteral("2024-01-01_08-00-00-恢复前.mdb"))).open(QIODevice::WriteOnly);

    dao::Database handle = db.open();
    QString reason;
    const QString written = backup::writeAutomatic(handle, QDateTime(QDate(2026, 6, 15), QTime(12, 0)), &reason);
    QVERIFY2(reason.isEmpty(), qPrintable(reason));
    QCOMPARE(QFileInfo(written).fileName(), QStringLiteral("2026-06-15_12-00-00.mdb"));

    QStringList kept {QStringLiteral("2026-06-15_12-00-00.mdb")};
    for (int day = 12; day >= 4; --day) // the ten newest
        kept << QDateTime(QDate(2026, 6, day), QTime(8, 0)).toString(kStamp) + QStringLiteral(".mdb");
    for (QDate d(2026, 5, 20); d >= QDate(2025, 7, 20); d = d.addMonths(-1)) // the newest of each month
        kept << QDateTime(d, QTime(8, 0)).toString(kStamp) + QStringLiteral(".mdb");
    kept << QStringLiteral("2024-01-01_08-00-00-恢复前.mdb");
    QCOMPARE(names(folder), kept);
}

void TestBackup::fullDiskKeepsTheOlderBackups()
{
    QTemporaryDir mountPoint;
    const QByteArray target = QFile::encodeName(mountPoint.path());
    if (::mount("tmpfs", target.constData(), "tmpfs", 0, "size=1m") != 0)
        QSKIP("cannot mount a small file system here (needs root): the full disk is not tried");
    struct Unmount {
        QByteArray path;
        ~Unmount() { ::umount2(path.constData(), MNT_DETACH); }
    } unmount {target};

    const QString file = mountPoint.filePath(QStringLiteral("0-3.mdb"));
    {
        dao::Database created = assessmentdb::create(file);
        created.Execute(QStringLiteral("INSERT INTO user (name) VALUES ('小明')"));
    }
    assessmentdb::setPathForTesting(file);
    dao::Database db = assessmentdb::open();
    QString reason;
    const QString good = backup::writeAutomatic(db, QDateTime(QDate(2026, 6, 1), QTime(8, 0)), &reason);
    QVERIFY2(!good.isEmpty(), qPrintable(reason));
    // Older ones that a successful backup would rotate away.
    const QString folder = backup::folderOf(file);
    for (int month = 1; month <= 12; ++month)
        touch(folder, QDateTime(QDate(2024, month, 1), QTime(8, 0)), "old");
    const QStringList before = names(folder);
    {
        QFile filler(mountPoint.filePath(QStringLiteral("filler")));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) { }
    }
    QFile original(file);
    QVERIFY(original.open(QIODevice::ReadOnly));
    const QByteArray bytes = original.readAll();
    original.close();

    const QString failed = backup::writeAutomatic(db, QDateTime(QDate(2026, 6, 2), QTime(8, 0)), &reason);
    QVERIFY(failed.isEmpty());
    QVERIFY(!reason.isEmpty());
    QCOMPARE(names(folder), before);
    QCOMPARE(QDir(folder).entryList(QDir::Hidden | QDir::Files).filter(QStringLiteral(".part")), QStringList());
    QCOMPARE(backup::inspect(good).children, 1);
    QVERIFY(original.open(QIODevice::ReadOnly));
    QVERIFY(original.readAll() == bytes);
    db = dao::Database();
    assessmentdb::setPathForTesting(QString());
}

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
