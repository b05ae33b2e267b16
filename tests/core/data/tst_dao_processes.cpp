#include "core/data/AssessmentDb.h"
#include "core/data/Dao.h"
#include "core/data/Schema.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The database is for one process at a time; the lock goes with the process.
class TestDaoProcesses : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void secondProcessIsRefusedWhileTheFirstHoldsTheFile();
    void killedHolderLeavesNoLock();

private:
    QString tryOpenInOtherProcess() const;
    QString holder() const { return QStringLiteral(CG_BINARY_DIR "/tests/dbholder"); }
    QTemporaryDir m_dir;
    QString m_file;
};

void TestDaoProcesses::initTestCase()
{
    m_file = m_dir.filePath(QStringLiteral("0-3.mdb"));
    assessmentdb::create(m_file);
}

QString TestDaoProcesses::tryOpenInOtherProcess() const
{
    QProcess p;
    p.start(holder(), {QStringLiteral("try"), m_file});
    if (!p.waitForFinished(20000))
        return QStringLiteral("hung");
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

void TestDaoProcesses::secondProcessIsRefusedWhileTheFirstHoldsTheFile()
{
    QCOMPARE(tryOpenInOtherProcess(), QStringLiteral("ok"));
    {
        // Several handles in this process work side by side.
        dao::Database first = dao::DBEngine::OpenDatabase(m_file, true, false, assessmentdb::kConnect);
        dao::Database second = dao::DBEngine::OpenDatabase(m_file, true, false, assessmentdb::kConnect);
        QVERIFY(first.OpenRecordset(schema::user::kTable).AtEOF());
        QVERIFY(second.OpenRecordset(schema::test::kTable).AtEOF());
        QCOMPARE(tryOpenInOtherProcess(), QStringLiteral("error %1").arg(dao::kFileInUse));
    }
    QCOMPARE(tryOpenInOtherProcess(), QStringLiteral("ok"));
}

void TestDaoProcesses::killedHolderLeavesNoLock()
{
    QProcess p;
    p.start(holder(), {QStringLiteral("hold"), m_file});
    QVERIFY(p.waitForReadyRead(20000));
    QCOMPARE(QString::fromLocal8Bit(p.readLine()).trimmed(), QStringLiteral("ready"));

    int refused = 0;
    try {
        dao::DBEngine::OpenDatabase(m_file, true, false, assessmentdb::kConnect);
    } catch (const dao::DbError &e) {
        refused = e.number();
        QVERIFY(e.description().contains(m_file));
    }
    QCOMPARE(refused, int(dao::kFileInUse));

    p.kill();
    QVERIFY(p.waitForFinished(10000));
    dao::Database db = dao::DBEngine::OpenDatabase(m_file, true, false, assessmentdb::kConnect);
    QVERIFY(db.isOpen());
}

QTEST_GUILESS_MAIN(TestDaoProcesses)
#include "tst_dao_processes.moc"
