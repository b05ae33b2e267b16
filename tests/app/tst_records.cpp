#include "app/RecordsCommands.h"
#include "app/ReportCommand.h"
#include "app/RestoreList.h"
#include "core/data/Backup.h"
#include "core/data/Schema.h"
#include "support/TempDatabase.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include <sys/stat.h>

// Backing up to a file, restoring one and exporting the month records, as
// the commands do them: what they leave on disk and what they say.
class TestRecords : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void backupThenRestoreGivesBackEveryRow();
    void restoreRefusesWhatItCannotUse_data();
    void restoreRefusesWhatItCannotUse();
    void restoreMigratesAnOlderFile();
    void restoreListShowsEveryBackupNewestFirst();
    void desktopActionsRefuseBeforeAnyDialogWhileInUse();
    void nothingWritesOverTheFamilysFiles();
    void exportReadsBackInPython();

private:
    QByteArray familyBytes() const;
    // Needs a message recorder.
    QString backupOfFamily();
    std::unique_ptr<testsupport::TempDatabase> m_db;
    std::unique_ptr<QTemporaryDir> m_out;
};

namespace {

int modeOf(const QString &path)
{
    struct stat st { };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

} // namespace

void TestRecords::init()
{
    m_db = testsupport::TempDatabase::copyOfInstalled();
    m_out = std::make_unique<QTemporaryDir>();
    m_db->addRow(schema::user::kTable, {{schema::user::kName, QStringLiteral("小明")}});
    for (int month = 1; month <= 2; ++month)
        m_db->addRow(schema::testrecord::kTable,
            {{schema::testrecord::kUser, QStringLiteral("小明")}, {schema::testrecord::kMonthAge, month}});
    m_db->release();
}

void TestRecords::cleanup()
{
    m_db.reset();
    m_out.reset();
}

QByteArray TestRecords::familyBytes() const
{
    QFile f(m_db->path());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString TestRecords::backupOfFamily()
{
    const QString file = m_out->filePath(QStringLiteral("备份.mdb"));
    if (recordscommands::backupTo(file, false) != 0)
        return QString();
    return file;
}

void TestRecords::backupThenRestoreGivesBackEveryRow()
{
    // Every file written is the user's alone, whatever the umask.
    const auto restoreUmask = qScopeGuard([umask = ::umask(0)] { ::umask(umask); });
    testsupport::MessageRecorder messages;
    const QString file = backupOfFamily();
    QVERIFY(!file.isEmpty());
    QFile copy(file);
    QVERIFY(copy.open(QIODevice::ReadOnly));
    const QByteArray copied = copy.readAll();
    copy.close();
    // Never over an existing file unless told.
    QVERIFY(recordscommands::backupTo(file, false) != 0);
    QVERIFY2(messages.messages.last().contains(QStringLiteral("--force")), qPrintable(messages.messages.last()));
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QVERIFY(copy.readAll() == copied);
    copy.close();

    // Later the family adds a child, then restores the backup.
    m_db->addRow(schema::user::kTable, {{schema::user::kName, QStringLiteral("小红")}});
    m_db->release();
    const QByteArray replaced = familyBytes();
    QCOMPARE(recordscommands::restoreFrom(file), 0);
    QVERIFY2(
        messages.messages.last().contains(QStringLiteral("1 个孩子、2 个月")), qPrintable(messages.messages.last()));
    QCOMPARE(m_db->rows(schema::user::kTable).size(), 1);
    QCOMPARE(m_db->rows(schema::testrecord::kTable).size(), 2);
    m_db->release();
    // The replaced file is kept whole.
    const QString folder = backup::folderOf(m_db->path());
    const QStringList kept = QDir(folder).entryList({QStringLiteral("*恢复前.mdb*")});
    QCOMPARE(kept.size(), 1);
    QFile keptFile(QDir(folder).filePath(kept.first()));
    QVERIFY(keptFile.open(QIODevice::ReadOnly));
    QVERIFY(keptFile.readAll() == replaced);
    QVERIFY2(messages.messages.last().contains(kept.first()), qPrintable(messages.messages.last()));
    for (const QString &path : {m_db->path(), keptFile.fileName(), file})
        QCOMPARE(modeOf(path), 0600);
    QCOMPARE(modeOf(folder), 0700);
}

// Neither an export, a report nor a backup is ever written over the family's
// file or one of its backups, not even when told to replace what is there
// (and a refusal never suggests it), nor through a link.
void TestRecords::nothingWritesOverTheFamilysFiles()
{
    testsupport::MessageRecorder messages;
    QString reason;
    dao::Database db = m_db->open();
    const QString automatic = backup::writeAutomatic(db, QDateTime::currentDateTime(), &reason);
    QVERIFY2(!automatic.isEmpty(), qPrintable(reason));
    const QString link = m_out->filePath(QStringLiteral("link.csv"));
    QVERIFY(QFile::link(automatic, link));
    for (const QString &target : {m_db->path(), automatic, link}) {
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        reportcommand::Options report;
        report.output = target;
        report.force = true;
        report.today = QDate::currentDate();
        QVERIFY(recordscommands::exportTo(target, std::nullopt, false) != 0);
        QVERIFY(recordscommands::backupTo(target, true) != 0);
        QVERIFY(reportcommand::run(report) != 0);
        for (const QString &said : messages.messages.mid(messages.messages.size() - 3))
            QVERIFY2(said.contains(target == link ? QStringLiteral("链接") : QStringLiteral("数据库或它的备份")),
                qPrintable(said));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll() == before);
    }
}

void TestRecords::restoreRefusesWhatItCannotUse_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("said");
    QTest::newRow("application running") << "held" << QStringLiteral("数据库正被");
    QTest::newRow("another key") << "key" << QStringLiteral("不是本程序的备份");
    QTest::newRow("damaged") << "damaged" << QStringLiteral("已损坏");
    QTest::newRow("newer schema") << "newer" << QStringLiteral("较新版本");
    QTest::newRow("without a table") << "table" << QStringLiteral("缺少本程序需要的表");
    QTest::newRow("cut short") << "short" << QStringLiteral("不完整");
    QTest::newRow("a folder") << "folder" << QStringLiteral("是文件夹");
    QTest::newRow("a pipe") << "pipe" << QStringLiteral("不是普通的文件");
}

void TestRecords::restoreRefusesWhatItCannotUse()
{
    QFETCH(QString, kind);
    QFETCH(QString, said);
    testsupport::MessageRecorder messages;
    QString file = backupOfFamily();
    QVERIFY(!file.isEmpty());
    if (kind == QStringLiteral("key")) {
        file = m_out->filePath(QStringLiteral("other.mdb"));
        dao::DBEngine::CreateDatabase(file, QStringLiteral(";pwd=1234"))
            .Execute(QStringLiteral("create table user (x)"));
    } else if (kind == QStringLiteral("damaged")) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray bytes = f.readAll();
        bytes[bytes.size() / 2] = static_cast<char>(bytes.at(bytes.size() / 2) ^ 0x10);
        f.seek(0);
        f.write(bytes);
    } else if (kind == QStringLiteral("newer")) {
        dao::DBEngine::OpenDatabase(file, true, false, assessmentdb::kConnect)
            .Execute(QStringLiteral("PRAGMA user_version = 99"));
    } else if (kind == QStringLiteral("table")) {
        dao::DBEngine::OpenDatabase(file, true, false, assessmentdb::kConnect)
            .Execute(QStringLiteral("DROP TABLE %1").arg(schema::test::kTable));
    } else if (kind == QStringLiteral("short")) {
        QVERIFY(QFile::resize(file, QFileInfo(file).size() / 2 + 100));
    } else if (kind == QStringLiteral("folder")) {
        file = m_out->path();
    } else if (kind == QStringLiteral("pipe")) {
        file = m_out->filePath(QStringLiteral("pipe.mdb"));
        QCOMPARE(QProcess::execute(QStringLiteral("mkfifo"), {file}), 0);
    }
    const QByteArray before = familyBytes();
    QProcess holder;
    if (kind == QStringLiteral("held")) {
        holder.start(QStringLiteral(CG_BINARY_DIR "/tests/dbholder"), {QStringLiteral("hold"), m_db->path()});
        QVERIFY(holder.waitForReadyRead(20000));
    }
    const int status = recordscommands::restoreFrom(file);
    holder.kill();
    holder.waitForFinished();
    QVERIFY(status != 0);
    QCOMPARE(messages.messages.size(), 2);
    QVERIFY2(messages.messages.last().contains(said), qPrintable(messages.messages.last()));
    QVERIFY(familyBytes() == before);
    QVERIFY(!QFileInfo::exists(backup::folderOf(m_db->path())));
}

void TestRecords::restoreMigratesAnOlderFile()
{
    testsupport::MessageRecorder messages;
    const QString file = backupOfFamily();
    {
        dao::Database old = dao::DBEngine::OpenDatabase(file, true, false, assessmentdb::kConnect);
        old.Execute(QStringLiteral("DROP TABLE %1").arg(schema::version::kTable));
        old.Execute(QStringLiteral("PRAGMA user_version = 1"));
    }
    QCOMPARE(recordscommands::restoreFrom(file), 0);
    dao::Database db = m_db->open();
    QCOMPARE(assessmentdb::versionOf(db).schema, assessmentdb::kSchemaVersion);
    QCOMPARE(m_db->rows(schema::testrecord::kTable).size(), 2);
}

void TestRecords::restoreListShowsEveryBackupNewestFirst()
{
    testsupport::MessageRecorder messages;
    const QDir backups(backup::folderOf(m_db->path()));
    QVERIFY(backups.mkpath(QStringLiteral(".")));
    // The family's file at three moments: one child and two months, then a
    // second child (what a restore replaced and kept), then a third month.
    const QString kept = backups.filePath(QStringLiteral("2026-12-10_06-50-02-恢复前.mdb"));
    // The commands write no file into the backups' folder: each copy is made
    // beside it and moved in, as the program's own backups arrive there.
    const auto backUpAs = [&](const QString &name) {
        const QString made = QDir(m_out->path()).filePath(QFileInfo(name).fileName());
        return recordscommands::backupTo(made, false) == 0 && QFile::rename(made, name);
    };
    QVERIFY(backUpAs(backups.filePath(QStringLiteral("2026-11-20_19-02-11.mdb"))));
    m_db->addRow(schema::user::kTable, {{schema::user::kName, QStringLiteral("小红")}});
    m_db->release();
    QVERIFY(backUpAs(kept));
    m_db->addRow(schema::testrecord::kTable,
        {{schema::testrecord::kUser, QStringLiteral("小红")}, {schema::testrecord::kMonthAge, 3}});
    m_db->release();
    QVERIFY(backUpAs(backups.filePath(QStringLiteral("2026-12-10_06-44-07.mdb"))));

    RestoreList list(backups.path(), QDir::homePath());
    auto *rows = testsupport::child<QTreeWidget>(&list, QStringLiteral("backupList"));
    QStringList shown;
    for (int r = 0; r < rows->topLevelItemCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < rows->columnCount(); ++c)
            cells << rows->topLevelItem(r)->text(c);
        shown << cells.join(QLatin1Char('|'));
    }
    QCOMPARE(shown,
        (QStringList {QStringLiteral("2026年12月10日 06:50|2 个孩子|2 个月|恢复前的原记录"),
            QStringLiteral("2026年12月10日 06:44|2 个孩子|3 个月|"),
            QStringLiteral("2026年11月20日 19:02|1 个孩子|2 个月|")}));
    // The newest is chosen when the list opens.
    testsupport::child<QPushButton>(&list, QStringLiteral("restoreCmd"))->click();
    QCOMPARE(list.chosenFile(), kept);
}

void TestRecords::desktopActionsRefuseBeforeAnyDialogWhileInUse()
{
    testsupport::MessageRecorder messages;
    QProcess holder;
    holder.start(QStringLiteral(CG_BINARY_DIR "/tests/dbholder"), {QStringLiteral("hold"), m_db->path()});
    QVERIFY(holder.waitForReadyRead(20000));
    // Said first: not even the question whether a desktop can show a dialog
    // comes before it.
    const int backedUp = recordscommands::backupWithDialog();
    const int restored = recordscommands::restoreWithDialog();
    holder.kill();
    holder.waitForFinished();
    QVERIFY(backedUp != 0 && restored != 0);
    QCOMPARE(messages.messages.size(), 2);
    for (const QString &message : messages.messages)
        QVERIFY2(message.contains(QStringLiteral("请先退出程序")), qPrintable(message));
}

void TestRecords::exportReadsBackInPython()
{
    const QString odd = QStringLiteral("=王\"大,宝");
    m_db->addRow(schema::user::kTable,
        {{schema::user::kName, odd}, {schema::user::kSex, QStringLiteral("女")},
            {schema::user::kBirth, QStringLiteral("2025-1-31")}});
    QVariantMap month {{schema::testrecord::kUser, odd}, {schema::testrecord::kMonthAge, 3},
        {schema::testrecord::kHeight, 61.5}, {schema::testrecord::kWeight, 6.25}, {schema::testrecord::kHeartRate, 120},
        {schema::testrecord::kBreath, -40}};
    for (int d = 1; d <= 5; ++d)
        month.insert(schema::testrecord::score(d), 10.5 * d);
    m_db->addRow(schema::testrecord::kTable, month);
    m_db->release();

    testsupport::MessageRecorder messages;
    const QString file = m_out->filePath(QStringLiteral("记录.csv"));
    const mode_t umask = ::umask(0);
    QCOMPARE(recordscommands::exportTo(file, odd, false), 0);
    ::umask(umask);
    QCOMPARE(modeOf(file), 0600);
    QProcess python;
    python.start(QStringLiteral("python3"),
        {QStringLiteral("-c"),
            QStringLiteral("import csv, json, sys\n"
                           "rows = list(csv.reader(open(sys.argv[1], encoding='utf-8-sig', newline='')))\n"
                           "print(json.dumps(rows))"),
            file});
    QVERIFY(python.waitForFinished(30000));
    const QJsonArray rows = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).toArray().size(), 15);
    QCOMPARE(rows.at(1).toArray().toVariantList(),
        (QVariantList {QLatin1Char('\'') + odd, QStringLiteral("女"), QStringLiteral("2025-1-31"), QStringLiteral("3"),
            QString(), QStringLiteral("61.5"), QStringLiteral("6.25"), QStringLiteral("120"), QStringLiteral("-40"),
            QStringLiteral("10.5"), QStringLiteral("21"), QStringLiteral("31.5"), QStringLiteral("42"),
            QStringLiteral("52.5"), QStringLiteral("156")}));

    // Every child: the months of both, and a name nobody has is refused.
    QCOMPARE(recordscommands::exportTo(file, std::nullopt, true), 0);
    QVERIFY(messages.messages.last().contains(QStringLiteral("3 个月")));
    QVERIFY(recordscommands::exportTo(m_out->filePath(QStringLiteral("x.csv")), QStringLiteral("无名"), false) != 0);
    QVERIFY(!QFileInfo::exists(m_out->filePath(QStringLiteral("x.csv"))));
}

QTEST_MAIN(TestRecords)
#include "tst_records.moc"
