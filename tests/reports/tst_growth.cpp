#include "reports/Growth.h"

#include <QFile>
#include <QtTest>

using growth::Indicator;
using growth::Sex;

class TestGrowth : public QObject {
    Q_OBJECT
private slots:
    void tablesReproduceWhoSdColumns();
    void percentiles_data();
    void percentiles();
    void weightBeyondThreeSd();
    void standing();
};

// Every row of the four tables: the LMS values, taken to z = -3..+3, give
// WHO's printed z-score table columns (SD3neg..SD3, printed to one decimal,
// kept beside the LMS values in the same file).
void TestGrowth::tablesReproduceWhoSdColumns()
{
    const QStringList columns {QStringLiteral("SD3neg"), QStringLiteral("SD2neg"), QStringLiteral("SD1neg"),
        QStringLiteral("SD0"), QStringLiteral("SD1"), QStringLiteral("SD2"), QStringLiteral("SD3")};
    for (const char *name : {"wfa_boys", "wfa_girls", "lhfa_boys", "lhfa_girls"}) {
        QFile file(QStringLiteral(CG_SOURCE_DIR "/reports/who/%1.tsv").arg(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QStringList header = lines.first().split(QLatin1Char('\t'));
        const Indicator indicator = name[0] == 'w' ? Indicator::WeightForAge : Indicator::LengthHeightForAge;
        const Sex sex = QByteArray(name).endsWith("boys") ? Sex::Boy : Sex::Girl;
        int months = 0;
        for (const QString &line : lines.mid(1)) {
            const QStringList cells = line.split(QLatin1Char('\t'));
            const int month = cells.at(0).toInt();
            const growth::Lms lms {cells.at(2).toDouble(), cells.at(3).toDouble(), cells.at(4).toDouble()};
            for (int k = -3; k <= 3; ++k) {
                const double printed = cells.at(header.indexOf(columns.at(k + 3))).toDouble();
                QVERIFY2(std::abs(growth::valueAt(lms, k) - printed) <= 0.05 + 1e-9,
                    qPrintable(QStringLiteral("%1 month %2 z %3").arg(QLatin1String(name)).arg(month).arg(k)));
            }
            // The lookup answers this row for its month (height from 24 months).
            if (cells.at(1) != QStringLiteral("length") || month < growth::kFirstHeightMonth) {
                QCOMPARE(growth::lms(indicator, sex, month)->m, lms.m);
                ++months;
            }
        }
        QCOMPARE(months, 37);
    }
    QVERIFY(!growth::lms(Indicator::WeightForAge, Sex::Boy, 37));
    QVERIFY(!growth::lms(Indicator::WeightForAge, Sex::Boy, -1));
}

void TestGrowth::percentiles_data()
{
    // P3, P50 and P97 as WHO's percentile tables for these indicators print
    // them (one decimal). The percentile files themselves are not in the
    // repository; these figures were entered by hand, and P50 also equals the
    // SD0 column of the z-score tables above. Ages where the unrounded value
    // ends in 5 at the second decimal were left out.
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
    const growth::Lms lms = *growth::lms(ind, s, month);
    const QList<std::pair<double, double>> expected {{3, p3}, {50, p50}, {97, p97}};
    for (const auto &[percent, printed] : expected) {
        const double value = growth::valueAt(lms, growth::zOfPercentile(percent));
        QVERIFY2(std::abs(value - printed) <= 0.05, qPrintable(QString::number(percent)));
        // And back: the printed value lies at that percentile, to the print's precision.
        const auto standing = growth::assess(ind, s, month, printed);
        QVERIFY(standing);
        const double atPlus = growth::percentile(growth::zScore(ind, lms, printed + 0.05));
        const double atMinus = growth::percentile(growth::zScore(ind, lms, printed - 0.05));
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
    const auto boy = growth::assess(Indicator::WeightForAge, Sex::Boy, 12, 15.0);
    QVERIFY(boy);
    QCOMPARE(std::round(boy->z * 100) / 100, 4.22);
    QVERIFY(boy->outsideP3P97 && !boy->implausible);
    const auto girl = growth::assess(Indicator::WeightForAge, Sex::Girl, 24, 7.0);
    QCOMPARE(std::round(girl->z * 100) / 100, -4.10);
    // Length is never restricted.
    const growth::Lms len = *growth::lms(Indicator::LengthHeightForAge, Sex::Boy, 12);
    QCOMPARE(growth::zScore(Indicator::LengthHeightForAge, len, 95.0), growth::lmsZ(len, 95.0));
}

void TestGrowth::standing()
{
    QCOMPARE(growth::sexOf(QStringLiteral(" 男 ")), Sex::Boy);
    QCOMPARE(growth::sexOf(QStringLiteral("女")), Sex::Girl);
    QVERIFY(!growth::sexOf(QStringLiteral("保密")));
    QVERIFY(!growth::sexOf(QString()));

    // A weight far outside the standard is shown as it is, and flagged.
    const auto heavy = growth::assess(Indicator::WeightForAge, Sex::Girl, 3, 30.0);
    QVERIFY(heavy && heavy->implausible && heavy->z > 5);
    const auto median = growth::assess(Indicator::LengthHeightForAge, Sex::Girl, 12, 74.0);
    QVERIFY(median && !median->outsideP3P97 && std::abs(median->percentile - 50) < 1);
    QVERIFY(!growth::assess(Indicator::WeightForAge, Sex::Boy, 40, 15.0));
    QVERIFY(!growth::assess(Indicator::WeightForAge, Sex::Boy, 12, 0.0));
    QVERIFY(!growth::assess(Indicator::WeightForAge, Sex::Boy, 12, -3.0));
}

QTEST_GUILESS_MAIN(TestGrowth)
#include "tst_growth.moc"
