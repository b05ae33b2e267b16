#include "data/Schema.h"
#include "reports/ReportCommand.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

using namespace testsupport;

class TestGrowthReport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void reportReadsBack();
    void sexOutsideTheStandard();
    void newFilesNeverReplaceOld();
    void failuresWriteNothing();
    void help();

private:
    reportcommand::Options options(const std::optional<QString> &child, const QString &output = QString()) const;
    static QString pdfText(const QString &pdf);
    static QString pdfInfo(const QString &pdf);
    QStringList outFiles() const;

    std::unique_ptr<TempDatabase> m_db;
    std::unique_ptr<QTemporaryDir> m_out;
};

void TestGrowthReport::initTestCase()
{
    m_db = std::make_unique<TempDatabase>();
    m_db->addRow(schema::user::kTable,
        {{schema::user::kName, QStringLiteral("李小红")}, {schema::user::kSex, QStringLiteral("女")},
            {schema::user::kBirth, QStringLiteral("2024-2-3")}});
    m_db->addRow(schema::user::kTable,
        {{schema::user::kName, QStringLiteral("阿福")}, {schema::user::kSex, QStringLiteral("保密")},
            {schema::user::kBirth, QStringLiteral("2024-5-1")}});
    auto month = [this](const QString &name, int m, double h, double w, const QVariantList &scores) {
        QVariantMap row {{schema::testrecord::kUser, name}, {schema::testrecord::kMonthAge, m},
            {schema::testrecord::kHeight, h}, {schema::testrecord::kWeight, w}, {schema::testrecord::kHeartRate, 118},
            {schema::testrecord::kBreath, 33}};
        for (qsizetype d = 0; d < scores.size(); ++d)
            row.insert(QStringLiteral("a%1fen").arg(d + 1), scores.at(d));
        m_db->addRow(schema::testrecord::kTable, row);
    };
    // Stored out of order; month 12 without a finished questionnaire.
    month(QStringLiteral("李小红"), 12, 68.0, 8.9, {});
    month(QStringLiteral("李小红"), 6, 68.0, 7.3, {10, 12.5, 8, 9, 11});
    month(QStringLiteral("李小红"), 3, 61.0, 30.0, {9, 9, 9, 9, 9});
    month(QStringLiteral("阿福"), 6, 67.0, 7.8, {});
}

void TestGrowthReport::init()
{
    m_out = std::make_unique<QTemporaryDir>();
}

reportcommand::Options TestGrowthReport::options(const std::optional<QString> &child, const QString &output) const
{
    reportcommand::Options o;
    o.child = child;
    o.output = output;
    o.documentsDir = m_out->filePath(QStringLiteral("Documents"));
    o.today = QDate(2026, 1, 20);
    return o;
}

QString TestGrowthReport::pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString TestGrowthReport::pdfInfo(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QStringList TestGrowthReport::outFiles() const
{
    QStringList files;
    QDirIterator it(m_out->path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QFileInfo(it.next()).fileName());
    files.sort();
    return files;
}

void TestGrowthReport::reportReadsBack()
{
    AddressRecorder opened;
    const QString pdf = m_out->filePath(QStringLiteral("红.pdf"));
    QCOMPARE(reportcommand::run(options(QStringLiteral("李小红"), pdf)), 0);
    QCOMPARE(opened.addresses, QStringList {pdf});

    const QString info = pdfInfo(pdf);
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Title:\\s+成长报告 – 李小红\\n"))), qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))), qPrintable(info));

    const QString text = pdfText(pdf);
    for (const char *s : {"李小红", "2024-2-3", "2026-01-20", "WHO Child Growth Standards", "不作诊断", "满月"})
        QVERIFY2(text.contains(QString::fromUtf8(s)), s);
    // The rows in month order: month, height, z, percentile, weight, z,
    // percentile, heart rate, breathing rate, the five scores and the total.
    auto row = [&](const QString &pattern) {
        const QRegularExpressionMatch m = QRegularExpression(
            QStringLiteral("^\\s*") + pattern + QStringLiteral("\\s*$"), QRegularExpression::MultilineOption)
                                              .match(text);
        return m.hasMatch() ? m.capturedStart() : -1;
    };
    // 30 kg at 3 months is far beyond the standard: shown and flagged "!".
    const int m3 = row(
        QStringLiteral("3\\s+61\\s+\\+0\\.\\d\\d\\s+\\d+\\.\\d\\s+30\\s+\\+2\\d\\.\\d\\d\\s+>99\\.9 !\\s+118\\s+33"
                       "\\s+9\\s+9\\s+9\\s+9\\s+9\\s+45"));
    // 68 cm at 6 months: z +1.00, the 84th percentile; 7.3 kg the median.
    const int m6 = row(QStringLiteral("6\\s+68\\s+\\+1\\.00\\s+84\\.2\\s+7\\.3\\s+\\+0\\.00\\s+50\\.1\\s+118\\s+33\\s+"
                                      "10\\s+12\\.5\\s+8\\s+9\\s+11\\s+50"));
    // 68 cm at 12 months is below the 3rd percentile; no scores yet.
    const int m12 = row(QStringLiteral("12\\s+68\\s+-2\\.34\\s+1\\.0 \\*\\s+8\\.9\\s+-0\\.04\\s+48\\.2\\s+118\\s+33"));
    QVERIFY2(m3 >= 0 && m6 > m3 && m12 > m6, qPrintable(text));
}

void TestGrowthReport::sexOutsideTheStandard()
{
    AddressRecorder opened;
    const QString pdf = m_out->filePath(QStringLiteral("fu.pdf"));
    QCOMPARE(reportcommand::run(options(QStringLiteral("阿福"), pdf)), 0);
    const QString text = pdfText(pdf);
    QVERIFY(text.contains(QStringLiteral("“保密”，不是“男”或“女”")));
    QVERIFY2(text.contains(
                 QRegularExpression(QStringLiteral("\\n\\s*6\\s+67\\s+—\\s+—\\s+7\\.8\\s+—\\s+—\\s+118\\s+33\\s*\\n"))),
        qPrintable(text));
}

void TestGrowthReport::newFilesNeverReplaceOld()
{
    AddressRecorder opened;
    QCOMPARE(reportcommand::run(options(QStringLiteral("李小红"))), 0);
    const QString first = m_out->filePath(QStringLiteral("Documents/成长报告-李小红-2026-01-20.pdf"));
    QFile f(first);
    QVERIFY(f.open(QIODevice::ReadWrite));
    f.write("kept");
    f.close();
    QCOMPARE(reportcommand::run(options(QStringLiteral("李小红"))), 0);
    QCOMPARE(reportcommand::run(options(std::nullopt)), 0);
    QCOMPARE(outFiles(),
        (QStringList {QStringLiteral("成长报告-全部-2026-01-20.pdf"),
            QStringLiteral("成长报告-李小红-2026-01-20-2.pdf"), QStringLiteral("成长报告-李小红-2026-01-20.pdf")}));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().startsWith("kept"));
    QCOMPARE(opened.addresses.last(), m_out->filePath(QStringLiteral("Documents/成长报告-全部-2026-01-20.pdf")));
    // Every child's pages in the one report: two each.
    QVERIFY(pdfInfo(opened.addresses.last()).contains(QRegularExpression(QStringLiteral("Pages:\\s+4\\n"))));
    // A child's name never leaves the folder.
    QCOMPARE(reportcommand::fileName(QStringLiteral("../a/b"), QDate(2026, 1, 20)),
        QStringLiteral("成长报告-.._a_b-2026-01-20.pdf"));
}

void TestGrowthReport::failuresWriteNothing()
{
    MessageRecorder messages;
    AddressRecorder opened;

    QVERIFY(reportcommand::run(options(QStringLiteral("小王"))) != 0);
    QCOMPARE(messages.messages, QStringList {QStringLiteral("没有名叫“小王”的孩子，没有生成成长报告。")});

    // The application holds the database in another process.
    m_db->release();
    QProcess holder;
    holder.start(QStringLiteral(CG_BINARY_DIR "/tests/dbholder"), {QStringLiteral("hold"), m_db->path()});
    QVERIFY(holder.waitForReadyRead(20000));
    const int held = reportcommand::run(options(std::nullopt));
    holder.kill();
    holder.waitForFinished();
    QVERIFY(held != 0);
    QVERIFY2(messages.messages.last().startsWith(QStringLiteral("数据库正被")), qPrintable(messages.messages.last()));

    // Any other engine failure: a file that is not the database.
    const QString notADatabase = m_out->filePath(QStringLiteral("other.mdb"));
    QFile bad(notADatabase);
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray(4096, 'x'));
    bad.close();
    assessmentdb::setPathForTesting(notADatabase);
    const int broken = reportcommand::run(options(std::nullopt, m_out->filePath(QStringLiteral("r.pdf"))));
    assessmentdb::setPathForTesting(m_db->path());
    QVERIFY(broken != 0);
    QVERIFY2(messages.messages.last().startsWith(QStringLiteral("读取数据库时出错（错误 ")),
        qPrintable(messages.messages.last()));

    // A folder that cannot take the file.
    const QString blocked = m_out->filePath(QStringLiteral("blocked"));
    QFile(blocked).open(QIODevice::WriteOnly);
    QVERIFY(reportcommand::run(options(std::nullopt, blocked + QStringLiteral("/r.pdf"))) != 0);
    QVERIFY(messages.messages.last().startsWith(QStringLiteral("无法写入")));

    QCOMPARE(messages.messages.size(), 4);
    QCOMPARE(outFiles(), (QStringList {QStringLiteral("blocked"), QStringLiteral("other.mdb")}));
    QVERIFY(opened.addresses.isEmpty());
}

void TestGrowthReport::help()
{
    QProcess p;
    p.start(QStringLiteral(CG_BINARY_DIR "/bin/childgrowth"), {QStringLiteral("--help")});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitCode(), 0);
    const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
    for (const char *s : {"--report", "--child", "--output", "成长报告", "growth report"})
        QVERIFY2(out.contains(QString::fromUtf8(s)), qPrintable(out));
}

QTEST_MAIN(TestGrowthReport)
#include "tst_growthreport.moc"
