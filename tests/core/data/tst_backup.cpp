#include "core/data/Backup.h"
#include "core/data/Schema.h"
#include "core/data/UserFiles.h"
#include "core/reports/RecordsTable.h"
#include "support/TempDatabase.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <sys/mount.h>

// Automatic backups: which ones rotation keeps, whatever the clock said when
// they were named, and a backup that cannot be written leaves every older
// one and the database as they were.
class TestBackup : public QObject {
    Q_OBJECT
private slots:
    void rotationKeepsNewestAndOnePerMonth();
    void wrongClockCostsNoBackup();
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

backup::Checked copy(const QDateTime &made, int months, bool sound = true)
{
    backup::Checked c {{made.toString(kStamp), made}, std::nullopt};
    if (sound)
        c.contents = backup::Contents {1, months, months, assessmentdb::kSchemaVersion};
    return c;
}

} // namespace

void TestBackup::rotationKeepsNewestAndOnePerMonth()
{
    // Twelve made this June, two in May, then one a month back to March
    // 2025, each holding a month more than the one before; one that failed
    // its check, named the latest.
    QList<backup::Checked> copies;
    int months = 0;
    for (QDate d(2025, 3, 20); d <= QDate(2026, 5, 20); d = d.addMonths(1))
        copies << copy(QDateTime(d, QTime(8, 0)), ++months);
    copies << copy(QDateTime(QDate(2026, 5, 25), QTime(8, 0)), ++months);
    for (int day = 1; day <= 12; ++day)
        copies << copy(QDateTime(QDate(2026, 6, day), QTime(8, 0)), ++months);
    copies << copy(QDateTime(QDate(2027, 1, 1), QTime(8, 0)), 0, false);

    QStringList removed;
    for (const backup::Entry &entry : backup::surplus(copies))
        removed << entry.path;
    // Kept: the ten newest (June 3 to 12), then of the others the newest of
    // June, May and each month back to July 2025; the failed one is left be.
    QStringList expected {QStringLiteral("2026-06-01_08-00-00"), QStringLiteral("2026-05-20_08-00-00")};
    for (QDate d(2025, 6, 20); d >= QDate(2025, 3, 20); d = d.addMonths(-1))
        expected << QDateTime(d, QTime(8, 0)).toString(kStamp);
    QCOMPARE(removed, expected);
}

// Twelve monthly backups; then one named a year ahead that holds the least,
// and one written with the clock a year behind that holds the most: none is
// removed, and the one written last is the newest sound backup, unless a
// copy kept on a restore holds more.
void TestBackup::wrongClockCostsNoBackup()
{
    testsupport::TempDatabase db;
    const QString folder = backup::folderOf(db.path());
    dao::Database handle = db.open();
    QString reason;
    QString first;
    for (QDate d(2025, 7, 1); d <= QDate(2026, 6, 1); d = d.addMonths(1)) {
        handle.Execute(QStringLiteral("INSERT INTO testrecord (user, monthage) VALUES ('小明', ?)"), {d.month()});
        const QString written = backup::writeAutomatic(handle, QDateTime(d, QTime(8, 0)), &reason);
        QVERIFY2(!written.isEmpty(), qPrintable(reason));
        first = first.isEmpty() ? written : first;
    }
    QVERIFY(QFile::copy(first, QDir(folder).filePath(QStringLiteral("2027-06-01_08-00-00.mdb"))));
    handle.Execute(QStringLiteral("INSERT INTO testrecord (user, monthage) VALUES ('小明', 13)"));
    const QString behind = backup::writeAutomatic(handle, QDateTime(QDate(2025, 6, 15), QTime(8, 0)), &reason);
    QCOMPARE(names(folder).size(), 14);
    QCOMPARE(backup::newestSound(db.path())->path, behind);

    handle.Execute(QStringLiteral("INSERT INTO user (name) VALUES ('小红')"));
    const QString kept = QDir(folder).filePath(QStringLiteral("2024-01-01_08-00-00-恢复前.mdb"));
    QVERIFY(QFile::copy(db.path(), kept));
    QCOMPARE(backup::newestSound(db.path())->path, kept);
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
    QCOMPARE(reason, QStringLiteral("磁盘空间不足"));
    // Nor does the table of the records an export writes.
    const platform::Outcome table = userfiles::write(
        mountPoint.filePath(QStringLiteral("记录.csv")), recordstable::read(db, std::nullopt).csv, false);
    QCOMPARE(userfiles::why(table), QStringLiteral("磁盘空间不足"));
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
