#include "app/ReportCommand.h"
#include "core/data/Schema.h"
#include "core/reports/Growth.h"
#include "support/TempDatabase.h"
#include "support/TestSupport.h"
#include "windows/reports/GrowthChart.h"
#include "windows/reports/GrowthReportPdf.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStorageInfo>
#include <QtTest>

#include <filesystem>
#include <tuple>
#include <unistd.h>

using namespace testsupport;

class TestGrowthReport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void reportReadsBack();
    void sexOutsideTheStandard();
    void chartsNeverHideAPoint();
    void newFilesNeverReplaceOld();
    void failuresWriteNothing();
    void help();
    void fileSafety();
    void nearlyFullDisk();
    void commandWithoutDisplay();
    void damagedValues();

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
    auto month = [this](const QString &name, const QVariant &m, const QVariant &h, const QVariant &w,
                     const QVariantList &scores, const QString &date = QString()) {
        QVariantMap row {{schema::testrecord::kUser, name}, {schema::testrecord::kMonthAge, m},
            {schema::testrecord::kHeight, h}, {schema::testrecord::kWeight, w}, {schema::testrecord::kHeartRate, 118},
            {schema::testrecord::kBreath, 33}, {schema::testrecord::kMeasured, date}};
        for (qsizetype d = 0; d < scores.size(); ++d)
            row.insert(QStringLiteral("a%1fen").arg(d + 1), scores.at(d));
        m_db->addRow(schema::testrecord::kTable, row);
    };
    // A girl's length and weight at a z on a day of age, as WHO's by-day
    // tables give them.
    auto at = [](growth::Indicator indicator, int day, double z, growth::Sex sex = growth::Sex::Girl) {
        return growth::valueAt(*growth::lms(indicator, sex, day), z);
    };
    const auto L = growth::Indicator::LengthHeightForAge;
    const auto W = growth::Indicator::WeightForAge;
    // Stored out of order. Month 1 measured on its 15th day (day 44 of life)
    // exactly at the median; months 2 and 4 at the median of the middle of
    // the month (days 76 and 137), 2 without a date, 4 entered months later.
    month(QStringLiteral("李小红"), 12, 68.0, 8.9, {});
    month(QStringLiteral("李小红"), 1, at(L, 44, 0), at(W, 44, 0), {10, 12.5, 8, 9, 11}, QStringLiteral("2024-3-18"));
    month(QStringLiteral("李小红"), 4, at(L, 137, 0), at(W, 137, 0), {}, QStringLiteral("2025-1-1"));
    month(QStringLiteral("李小红"), 2, at(L, 76, 0), at(W, 76, 0), {});
    // At the cut-offs: a length a hair below the median, a weight just below
    // the 3rd percentile; a length at z +5.5 (beyond P97, plausible) and a
    // weight at LMS z +5.2 (beyond +5 by WHO's restricted z: implausible); a weight that is no number, no length.
    month(QStringLiteral("李小红"), 5, at(L, 167, -0.001), at(W, 167, growth::zOfPercentile(2.97)), {});
    month(QStringLiteral("李小红"), 7, at(L, 228, 5.5), at(W, 228, 5.2), {9, 9, 9, 9, 9});
    month(QStringLiteral("李小红"), 8, 0, 8.5, {});
    m_db->open().Execute(QStringLiteral("UPDATE testrecord SET weight = '8,5' WHERE monthage = 8"));
    month(QStringLiteral("阿福"), 6, 67.0, 7.8, {});
    // Lying length before 731 days, standing height from then on.
    m_db->addRow(schema::user::kTable,
        {{schema::user::kName, QStringLiteral("小刚")}, {schema::user::kSex, QStringLiteral("男")},
            {schema::user::kBirth, QStringLiteral("2022-1-1")}});
    const double height731 = at(L, 731, 0, growth::Sex::Boy);
    month(QStringLiteral("小刚"), 24, height731, 12.0, {}, QStringLiteral("2024-1-1"));
    month(QStringLiteral("小刚"), 24, height731, 12.0, {}, QStringLiteral("2024-1-2"));
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
    const QString text = pdfText(pdf);
    // The table and the charts, then the page for the coming month.
    QVERIFY(
        text.indexOf(QStringLiteral("的生长曲线和发育得分")) < text.indexOf(QStringLiteral("这些情况请咨询儿保医生")));
    for (const char *s : {"李小红", "出生日期：2024-2-3", "现在年龄：23月17天", "报告日期：2026-1-20",
             "WHO Child Growth Standards", "不作诊断", "37 周", "矫正年龄"})
        QVERIFY2(text.contains(QString::fromUtf8(s)), s);
    // The rows in month order: month, age used, length, z, percentile,
    // weight, z, percentile, heart rate, breathing rate, the five scores and
    // the total.
    auto row = [&](const QString &pattern) {
        const QRegularExpressionMatch m = QRegularExpression(
            QStringLiteral("^\\s*") + pattern + QStringLiteral("\\s*$"), QRegularExpression::MultilineOption)
                                              .match(text);
        return m.hasMatch() ? m.capturedStart() : qsizetype(-1);
    };
    const QString median
        = QStringLiteral("\\d+\\.\\d\\s+0\\.00\\s+50\\.0\\s+\\d+\\.\\d\\d\\s+0\\.00\\s+50\\.0\\s+118\\s+33");
    const QList<qsizetype> rows {
        row(QStringLiteral("1\\s+1月15天\\s+") + median + QStringLiteral("\\s+10\\s+12\\.5\\s+8\\s+9\\s+11\\s+50")),
        row(QStringLiteral("2\\s+约2\\.5月\\s+") + median), row(QStringLiteral("4\\s+约4\\.5月\\s+") + median),
        // Never "-0.00"; just below P3 is "<3", not "3.0", with its mark.
        row(QStringLiteral(
            "5\\s+约5\\.5月\\s+\\d+\\.\\d\\s+0\\.00\\s+50\\.0\\s+\\d+\\.\\d\\d\\s+-1\\.8\\d\\s+<3 \\*\\s+118\\s+33")),
        row(QStringLiteral("7\\s+约7\\.5月\\s+\\d+\\.\\d\\s+\\+5\\.50\\s+>99\\.9 "
                           "\\*\\s+\\d+\\.\\d\\d\\s+\\+5\\.\\d\\d\\s+>99\\.9 !\\s+118\\s+33"
                           "\\s+9\\s+9\\s+9\\s+9\\s+9\\s+45")),
        row(QStringLiteral("8\\s+约8\\.5月\\s+未测\\s+无法识别\\s+—\\s+—\\s+118\\s+33")),
        row(QStringLiteral("12\\s+约12\\.5月\\s+68\\.0\\s+-2\\.\\d\\d\\s+\\d\\.\\d "
                           "\\*\\s+8\\.90\\s+-0\\.\\d\\d\\s+\\d\\d\\.\\d\\s+118\\s+33"))};
    for (qsizetype i = 0; i < rows.size(); ++i)
        QVERIFY2(
            rows.at(i) > (i == 0 ? -1 : rows.at(i - 1)), qPrintable(QString::number(i) + QLatin1Char('\n') + text));

    // Day 730 is compared with the length row (0.7 cm longer than the height
    // row at 731): the same height is below its median there.
    const QString boy = m_out->filePath(QStringLiteral("gang.pdf"));
    QCOMPARE(reportcommand::run(options(QStringLiteral("小刚"), boy)), 0);
    const QString boyText = pdfText(boy);
    QVERIFY2(boyText.contains(QRegularExpression(QStringLiteral("24\\s+24月0天\\s+\\d+\\.\\d\\s+-0\\.[12]\\d\\s"))),
        qPrintable(boyText));
    QVERIFY(boyText.contains(QRegularExpression(QStringLiteral("24\\s+24月1天\\s+\\d+\\.\\d\\s+0\\.00\\s+50\\.0\\s"))));
}

void TestGrowthReport::sexOutsideTheStandard()
{
    AddressRecorder opened;
    const QString pdf = m_out->filePath(QStringLiteral("fu.pdf"));
    QCOMPARE(reportcommand::run(options(QStringLiteral("阿福"), pdf)), 0);
    const QString text = pdfText(pdf);
    QVERIFY(text.contains(QStringLiteral("“保密”，不是“男”或“女”")));
    QVERIFY2(text.contains(QRegularExpression(
                 QStringLiteral("\\n\\s*6\\s+约6\\.5月\\s+67\\.0\\s+—\\s+—\\s+7\\.80\\s+—\\s+—\\s+118\\s+33\\s*\\n"))),
        qPrintable(text));
}

// A girl far below the 3rd percentile from 21 to 36 months: the legend
// stands clear of every point. A weight typed in grams leaves the axes as
// they were and is drawn on the edge with its value.
void TestGrowthReport::chartsNeverHideAPoint()
{
    using growthreport::Reading;
    growthreport::ChildRecord child;
    child.sex = growth::Sex::Girl;
    for (int m = 21; m <= 36; ++m) {
        const int day = static_cast<int>(std::lround((m + 0.5) * growth::kDaysPerMonth));
        auto at = [&](growth::Indicator indicator, double z) {
            return Reading {
                Reading::Kind::Number, growth::valueAt(*growth::lms(indicator, growth::Sex::Girl, day), z), {}};
        };
        growthreport::MonthRecord record;
        record.monthAge = {Reading::Kind::Number, double(m), {}};
        record.age = growth::ageOf(m, QDate(), QDate());
        record.height = at(growth::Indicator::LengthHeightForAge, -4);
        record.weight = at(growth::Indicator::WeightForAge, -4.5);
        child.months.append(record);
    }
    for (const auto indicator : {growth::Indicator::LengthHeightForAge, growth::Indicator::WeightForAge}) {
        const growthreport::GrowthChartLayout layout = growthreport::growthChartLayout(indicator, child, 25, 83);
        QCOMPARE(layout.points.size(), 16);
        for (const growthreport::ChartPoint &pt : layout.points) {
            QVERIFY(layout.plot.contains(pt.at) && !pt.onEdge);
            QVERIFY(!layout.legend.adjusted(-1, -1, 1, 1).contains(pt.at));
        }
    }
    const auto before = growthreport::growthChartLayout(growth::Indicator::WeightForAge, child, 25, 83);
    child.months[3].weight.value = 8900;
    const auto after = growthreport::growthChartLayout(growth::Indicator::WeightForAge, child, 25, 83);
    QCOMPARE(after.lo, before.lo);
    QCOMPARE(after.hi, before.hi);
    const growthreport::ChartPoint &wrong = after.points.at(3);
    QVERIFY(wrong.onEdge && wrong.mark == growthreport::ChartPoint::Mark::Implausible);
    QCOMPARE(wrong.at.y(), after.plot.top());
    QCOMPARE(wrong.value, QStringLiteral("8900.00"));
}

// Month ages and values no window writes, from a damaged or hand-edited file:
// shown as unreadable, and the report written (the set {1, 2e9} once hung it).
void TestGrowthReport::damagedValues()
{
    m_db->addRow(schema::user::kTable,
        {{schema::user::kName, QStringLiteral("坏")}, {schema::user::kSex, QStringLiteral("男")},
            {schema::user::kBirth, QStringLiteral("2024-1-1")}});
    dao::Database db = m_db->open();
    for (const char *values : {"1e20, 80, 9", "2147483648, 80, 9", "2e9, 80, 9", "1, 1e300, 'x'", "-40000, 9e999, 9"})
        db.Execute(QStringLiteral("INSERT INTO testrecord (user, monthage, height, weight, a1fen) VALUES ('坏', %1, 1)")
                       .arg(QLatin1String(values)));
    AddressRecorder opened;
    const QString pdf = m_out->filePath(QStringLiteral("bad.pdf"));
    QCOMPARE(reportcommand::run(options(QStringLiteral("坏"), pdf)), 0);
    const QString text = pdfText(pdf);
    QCOMPARE(text.count(QRegularExpression(
                 QStringLiteral("^\\s*无法识别\\s+—\\s+80\\.0"), QRegularExpression::MultilineOption)),
        3);
    QVERIFY2(
        text.contains(QRegularExpression(QStringLiteral("\\n\\s*1\\s+约1\\.5月\\s+无法识别\\s+—\\s+—\\s+无法识别"))),
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
    // Every child's pages in the one report, each ending with the page for
    // the coming month.
    QCOMPARE(pdfText(opened.addresses.last()).count(QStringLiteral("这些情况请咨询儿保医生")), 3);
    // The page alone, named as such, beside them.
    QCOMPARE(reportcommand::runPlan(options(QStringLiteral("李小红"))), 0);
    QVERIFY(outFiles().contains(QStringLiteral("下月陪玩建议-李小红-2026-01-20.pdf")));
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
    QVERIFY2(messages.messages.last().contains(QStringLiteral("另一个副本")), qPrintable(messages.messages.last()));

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

// Where a report may go: a name without ".pdf" gets it, the file is the
// owner's alone, a device or pipe is refused, a link to nothing at the
// default name is passed over, and a long name is shortened to fit.
void TestGrowthReport::fileSafety()
{
    MessageRecorder messages;
    AddressRecorder opened;
    QCOMPARE(reportcommand::run(options(QStringLiteral("李小红"), m_out->filePath(QStringLiteral("报告")))), 0);
    const QString pdf = m_out->filePath(QStringLiteral("报告.pdf"));
    QCOMPARE(opened.addresses, QStringList {pdf});
    QCOMPARE(std::filesystem::status(pdf.toStdString()).permissions(),
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    const QString fifo = m_out->filePath(QStringLiteral("pipe.pdf"));
    QCOMPARE(QProcess::execute(QStringLiteral("mkfifo"), {fifo}), 0);
    for (const QString &device : {fifo, QStringLiteral("/dev/full")}) {
        QVERIFY(reportcommand::run(options(QStringLiteral("李小红"), device)) != 0);
        QVERIFY2(
            messages.messages.last().contains(QStringLiteral("不是普通的文件")), qPrintable(messages.messages.last()));
    }
    QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());

    const QString documents = m_out->filePath(QStringLiteral("Documents"));
    QDir().mkpath(documents);
    QVERIFY(QFile::link(QStringLiteral("/nonexistent/target"),
        documents + QStringLiteral("/") + reportcommand::fileName(QStringLiteral("李小红"), QDate(2026, 1, 20))));
    QCOMPARE(reportcommand::run(options(QStringLiteral("李小红"))), 0);
    QVERIFY(opened.addresses.last().endsWith(QStringLiteral("2026-01-20-2.pdf")));

    const QString longName = reportcommand::fileName(QString(200, QChar(0x957f)), QDate(2026, 1, 20));
    QVERIFY(QFile::encodeName(longName + QStringLiteral("-99")).size() <= 255);
    QVERIFY(
        longName.startsWith(QStringLiteral("成长报告-长长")) && longName.endsWith(QStringLiteral("-2026-01-20.pdf")));
}

// A file system with too little room for the report: the command fails, the
// earlier report of that name stays byte for byte, and nothing else is left.
void TestGrowthReport::nearlyFullDisk()
{
    if (::geteuid() != 0)
        QSKIP("mounting a small file system needs root");
    const QString mount = m_out->filePath(QStringLiteral("small"));
    QDir().mkpath(mount);
    if (QProcess::execute(QStringLiteral("mount"),
            {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), QStringLiteral("size=512k"),
                QStringLiteral("tmpfs"), mount})
        != 0)
        QSKIP("this system does not let the test mount a small file system");
    auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {mount}); });
    const QString earlier = mount + QStringLiteral("/r.pdf");
    QFile file(earlier);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("%PDF-1.4 an earlier report");
    file.close();
    QFile filler(mount + QStringLiteral("/filler"));
    QVERIFY(filler.open(QIODevice::WriteOnly));
    filler.write(QByteArray(static_cast<int>(QStorageInfo(mount).bytesAvailable()) - 8192, 'x'));
    filler.close();

    MessageRecorder messages;
    AddressRecorder opened;
    reportcommand::Options over = options(QStringLiteral("李小红"), earlier);
    over.force = true;
    QVERIFY(reportcommand::run(over) != 0);
    QVERIFY2(messages.messages.last().startsWith(QStringLiteral("磁盘空间不足")), qPrintable(messages.messages.last()));
    QVERIFY(reportcommand::run(options(QStringLiteral("李小红"), mount)) != 0);
    QVERIFY(opened.addresses.isEmpty());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("%PDF-1.4 an earlier report"));
    QCOMPARE(QDir(mount).entryList(QDir::Files | QDir::Hidden),
        (QStringList {QStringLiteral("filler"), QStringLiteral("r.pdf")}));
}

// The program as a script or cron starts it: no display, no terminal, its
// output read by the caller. A report is written, and when nothing can open
// it the command still succeeds and says where it is; without a Chinese font
// it fails, naming the fonts to install. Nothing waits on a box.
void TestGrowthReport::commandWithoutDisplay()
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("childgrowth"));
    QVERIFY(QFile::copy(QStringLiteral(CG_BINARY_DIR "/bin/childgrowth"), program));
    m_db->release();
    QVERIFY(QFile::copy(m_db->path(), dir.filePath(assessmentdb::kFileName)));
    const QString opener = dir.filePath(QStringLiteral("xdg-open"));
    QFile script(opener);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nexit 3\n");
    script.close();
    QFile::setPermissions(opener, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("HOME"), dir.path());
    env.insert(QStringLiteral("PATH"), dir.path() + QStringLiteral(":/usr/bin:/bin"));
    auto run = [&](const QProcessEnvironment &environment) {
        QProcess p;
        p.setProcessEnvironment(environment);
        p.setStandardInputFile(QProcess::nullDevice());
        p.start(program,
            {QStringLiteral("--report"), QStringLiteral("--child"), QStringLiteral("李小红"),
                QStringLiteral("--output"), dir.filePath(QStringLiteral("r"))});
        if (!p.waitForFinished(60000))
            p.kill();
        return std::tuple {
            p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    };
    const auto [status, out, err] = run(env);
    QCOMPARE(status, 0);
    QVERIFY2(out.contains(dir.filePath(QStringLiteral("r.pdf"))) && out.contains(QStringLiteral("保存")),
        qPrintable(out + err));
    QVERIFY(pdfText(dir.filePath(QStringLiteral("r.pdf"))).contains(QStringLiteral("李小红")));

    // Fonts without a Chinese character among them.
    QFile conf(dir.filePath(QStringLiteral("fonts.conf")));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write(QStringLiteral("<?xml version=\"1.0\"?><fontconfig><dir>/usr/share/fonts/truetype/dejavu</dir>"
                              "<cachedir>%1</cachedir></fontconfig>")
                   .arg(dir.filePath(QStringLiteral("cache")))
                   .toUtf8());
    conf.close();
    env.insert(QStringLiteral("FONTCONFIG_FILE"), conf.fileName());
    QFile::remove(dir.filePath(QStringLiteral("r.pdf")));
    const auto [noFont, noFontOut, noFontErr] = run(env);
    QCOMPARE(noFont, 1);
    QVERIFY2(noFontErr.contains(QStringLiteral("fonts-wqy-microhei")), qPrintable(noFontErr));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("r.pdf"))));
}

QTEST_MAIN(TestGrowthReport)
#include "tst_growthreport.moc"
