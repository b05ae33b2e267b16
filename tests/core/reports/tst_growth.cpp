#include "core/data/Schema.h"
#include "core/reports/Growth.h"
#include "core/reports/GrowthReport.h"
#include "support/TempDatabase.h"

#include <QFile>
#include <QtTest>

using growth::Indicator;
using growth::Sex;

class TestGrowth : public QObject {
    Q_OBJECT
private slots:
    void percentiles_data();
    void percentiles();
    void weightBeyondThreeSd();
    void standing();
    void ageOfARecord_data();
    void ageOfARecord();
};

// WHO's months are at 30.4375 days; its by-day tables have the whole days.
static int dayOfMonth(int month)
{
    return static_cast<int>(std::lround(month * growth::kDaysPerMonth));
}

void TestGrowth::percentiles_data()
{
    // P3, P50 and P97 as WHO's monthly percentile tables for these
    // indicators print them (one decimal), entered by hand: the by-day tables
    // give them at the month's day. Ages where the unrounded value ends in 5
    // at the second decimal were left out.
    QTest::addColumn<int>("indicator");
    QTest::addColumn<int>("sex");
    QTest::addColumn<int>("month");
    QTest::addColumn<double>("p3");
    QTest::addColumn<double>("p50");
    QTest::addColumn<double>("p97");
    const int w = static_cast<int>(Indicator::WeightForAge);
    const int h = static_cast<int>(Indicator::LengthHeightForAge);
    const int b = static_cast<int>(Sex::Boy);
    const int g = static_cast<int>(Sex::Girl);
    QTest::newRow("weight boys 6") << w << b << 6 << 6.4 << 7.9 << 9.7;
    QTest::newRow("weight boys 12") << w << b << 12 << 7.8 << 9.6 << 11.8;
    QTest::newRow("weight boys 24") << w << b << 24 << 9.8 << 12.2 << 15.1;
    QTest::newRow("weight girls 6") << w << g << 6 << 5.8 << 7.3 << 9.2;
    QTest::newRow("weight girls 12") << w << g << 12 << 7.1 << 8.9 << 11.3;
    QTest::newRow("weight girls 24") << w << g << 24 << 9.2 << 11.5 << 14.6;
    QTest::newRow("length boys 0") << h << b << 0 << 46.3 << 49.9 << 53.4;
    QTest::newRow("length boys 12") << h << b << 12 << 71.3 << 75.7 << 80.2;
    QTest::newRow("height boys 24") << h << b << 24 << 81.4 << 87.1 << 92.9;
    QTest::newRow("height boys 36") << h << b << 36 << 89.1 << 96.1 << 103.1;
    QTest::newRow("length girls 0") << h << g << 0 << 45.6 << 49.1 << 52.7;
    QTest::newRow("length girls 12") << h << g << 12 << 69.2 << 74.0 << 78.9;
    QTest::newRow("height girls 24") << h << g << 24 << 79.6 << 85.7 << 91.8;
    QTest::newRow("height girls 36") << h << g << 36 << 87.9 << 95.1 << 102.2;
}

void TestGrowth::percentiles()
{
    QFETCH(int, indicator);
    QFETCH(int, sex);
    QFETCH(int, month);
    QFETCH(double, p3);
    QFETCH(double, p50);
    QFETCH(double, p97);
    const auto ind = static_cast<Indicator>(indicator);
    const auto s = static_cast<Sex>(sex);
    const int day = dayOfMonth(month);
    const growth::Lms lms = *growth::lms(ind, s, day);
    const QList<std::pair<double, double>> expected {{3, p3}, {50, p50}, {97, p97}};
    for (const auto &[percent, printed] : expected) {
        const double value = growth::valueAt(lms, growth::zOfPercentile(percent));
        // The monthly tables are at fractional days: up to half a day's
        // growth (under 0.02) apart from the whole day's row.
        QVERIFY2(std::abs(value - printed) <= 0.07, qPrintable(QString::number(percent)));
        // And back: the printed value lies at that percentile, to the print's precision.
        const auto standing = growth::assess(ind, s, day, printed);
        QVERIFY(standing);
        const double atPlus = growth::percentile(growth::zScore(ind, lms, printed + 0.07));
        const double atMinus = growth::percentile(growth::zScore(ind, lms, printed - 0.07));
        QVERIFY(atMinus <= percent && percent <= atPlus);
    }
}

// WHO's restricted application for weight: beyond ±3 SD the distance from the
// 3 SD value counts in units of the gap between the 2 and 3 SD values, not by
// the LMS curve. Boys, 12 months, 15 kg (SD2 12.0 and SD3 13.3 as printed):
// WHO's z is 4.22, the plain LMS formula would give 4.10. Girls, 24 months,
// 7 kg (SD3neg 8.1, SD2neg 9.0): -4.10, plain LMS -4.30.
void TestGrowth::weightBeyondThreeSd()
{
    const auto boy = growth::assess(Indicator::WeightForAge, Sex::Boy, dayOfMonth(12), 15.0);
    QVERIFY(boy);
    QCOMPARE(std::round(boy->z * 100) / 100, 4.22);
    QVERIFY(boy->outsideP3P97 && !boy->implausible);
    const auto girl = growth::assess(Indicator::WeightForAge, Sex::Girl, dayOfMonth(24), 7.0);
    QCOMPARE(std::round(girl->z * 100) / 100, -4.10);
    // Length is never restricted.
    const growth::Lms len = *growth::lms(Indicator::LengthHeightForAge, Sex::Boy, dayOfMonth(12));
    QCOMPARE(growth::zScore(Indicator::LengthHeightForAge, len, 95.0), growth::lmsZ(len, 95.0));
}

void TestGrowth::standing()
{
    QCOMPARE(growth::sexOf(QStringLiteral(" 男 ")), Sex::Boy);
    QCOMPARE(growth::sexOf(QStringLiteral("女")), Sex::Girl);
    QVERIFY(!growth::sexOf(QStringLiteral("保密")));
    QVERIFY(!growth::sexOf(QString()));

    // WHO's implausibility cut-offs: weight above +5 or below -6, length
    // and height beyond ±6.
    const int day = dayOfMonth(12);
    auto at = [&](Indicator indicator, double z) {
        const growth::Lms row = *growth::lms(indicator, Sex::Girl, day);
        return *growth::assess(indicator, Sex::Girl, day, growth::valueAt(row, z));
    };
    QVERIFY(at(Indicator::WeightForAge, 5.1).implausible);
    QVERIFY(!at(Indicator::WeightForAge, 4.5).implausible && at(Indicator::WeightForAge, 4.5).outsideP3P97);
    QVERIFY(!at(Indicator::LengthHeightForAge, 5.9).implausible);
    QVERIFY(at(Indicator::LengthHeightForAge, 6.1).implausible);
    QVERIFY(at(Indicator::LengthHeightForAge, -6.1).implausible);
    QVERIFY(!at(Indicator::LengthHeightForAge, -1.8).outsideP3P97);
    QVERIFY(!growth::assess(Indicator::WeightForAge, Sex::Boy, 4000, 15.0));
    QVERIFY(!growth::assess(Indicator::WeightForAge, Sex::Boy, day, 0.0));
    QVERIFY(!growth::assess(Indicator::WeightForAge, Sex::Boy, day, -3.0));
}

// WHO's median weight of a day of age, as WHO's by-day table prints it.
static double whoMedianWeight(growth::Sex sex, int day)
{
    QFile table(QStringLiteral(CG_SOURCE_DIR "/src/core/reports/who/weianthro.txt"));
    if (!table.open(QIODevice::ReadOnly))
        return 0;
    const QString row = QStringLiteral("%1\t%2\t").arg(sex == Sex::Boy ? 1 : 2).arg(day);
    for (const QByteArray &line : table.readAll().split('\n')) {
        if (line.startsWith(row.toLatin1()))
            return line.split('\t').at(3).toDouble();
    }
    return 0;
}

// A month is compared at the day it was entered when that day lies between
// the birth and the end of the month after (entered early, on time or a month
// late), at the middle of the month otherwise; a birth date is read in every
// form the profile form reads. Each child weighs WHO's median of the day it
// must be compared at, so the report puts it on the 50th percentile.
void TestGrowth::ageOfARecord_data()
{
    QTest::addColumn<QString>("birth");
    QTest::addColumn<int>("month");
    QTest::addColumn<QString>("measured");
    QTest::addColumn<bool>("boy");
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("shown");
    QTest::newRow("early, a birth with a time") << "2023-01-05 00:00:00" << 1 << "2023-2-3" << false << 29 << "0月29天";
    QTest::newRow("on time, a birth with slashes") << "2023/1/5" << 2 << "2023-3-20" << true << 74 << "2月15天";
    QTest::newRow("a month late, a padded birth") << "2023-01-05" << 3 << "2023-5-20" << false << 135 << "4月15天";
    QTest::newRow("long after") << "2023-1-5" << 4 << "2023-9-1" << true << 137 << "约4.5月";
    QTest::newRow("no day") << "2023-1-5" << 5 << "" << false << 167 << "约5.5月";
    QTest::newRow("a day before the birth") << "2023-1-5" << 1 << "2023-1-1" << false << 46 << "约1.5月";
    QTest::newRow("a birth that is no date") << "去年" << 1 << "2023-2-3" << true << 46 << "约1.5月";
    // The month from Jan 31 ends with February's last day.
    QTest::newRow("born on the 31st") << "2024-1-31" << 1 << "2024-2-29" << true << 29 << "1月0天";
}

void TestGrowth::ageOfARecord()
{
    QFETCH(QString, birth);
    QFETCH(int, month);
    QFETCH(QString, measured);
    QFETCH(bool, boy);
    QFETCH(int, day);
    QFETCH(QString, shown);
    const Sex sex = boy ? Sex::Boy : Sex::Girl;
    const double weight = whoMedianWeight(sex, day);
    QVERIFY(weight > 0);
    testsupport::TempDatabase db;
    db.addRow(schema::user::kTable,
        {{schema::user::kName, QStringLiteral("孩子")},
            {schema::user::kSex, boy ? QStringLiteral("男") : QStringLiteral("女")}, {schema::user::kBirth, birth}});
    db.addRow(schema::testrecord::kTable,
        {{schema::testrecord::kUser, QStringLiteral("孩子")}, {schema::testrecord::kMonthAge, month},
            {schema::testrecord::kWeight, weight}, {schema::testrecord::kMeasured, measured}});
    dao::Database handle = db.open();
    const QList<growthreport::ChildRecord> children = growthreport::readChildren(handle);
    QCOMPARE(children.size(), 1);
    const growthreport::MonthRecord &record = children.first().months.first();
    QVERIFY(record.age && children.first().sex == sex);
    QCOMPARE(record.age->days, day);
    QCOMPARE(growth::ageText(*record.age), shown);
    const auto standing = growth::assess(Indicator::WeightForAge, sex, record.age->days, weight);
    QVERIFY(standing && std::abs(standing->percentile - 50) < 0.05);
}

QTEST_GUILESS_MAIN(TestGrowth)
#include "tst_growth.moc"
