#include "assessment/MonthCheck.h"
#include "assessment/Scoring.h"
#include "data/DbError.h"

#include <QtTest>

#include <limits>

using monthcheck::Entries;

namespace {

const QString kChild = QStringLiteral("小明");

Entries entries(const QString &monthAge)
{
    return {monthAge, QStringLiteral("75.5"), QStringLiteral("9.8"), QStringLiteral("120"), QStringLiteral("30")};
}

// A look-up that knows a fixed set of recorded month ages and remembers what
// it was asked.
struct Recorded
{
    QList<int> months;
    QList<int> asked;
    monthcheck::IsRecorded lookup()
    {
        return [this](std::int16_t month) {
            asked.append(month);
            return months.contains(month);
        };
    }
};

} // namespace

class TestAssessmentRules : public QObject
{
    Q_OBJECT
private slots:
    void factorsWeighTheRatings();
    void domainsMatchExactly();
    void threeItemExample();
    void ratingZeroRecordsDigitOnly();
    void unknownOrNullDomainCountsNowhere();
    void nullOrTextPoints();
    void totalRoundsAfterEachAddition_data();
    void totalRoundsAfterEachAddition();
    void totalBeyondSixteenBits();

    void numericTestComesFirst();
    void rangeBeforeDuplicate();
    void monthAgeRoundsHalfToEven();
    void duplicateRepeatsTypedText();
    void noCurrentChild();
    void monthAgeBeyondSixteenBits();
    void proposals();
};

void TestAssessmentRules::factorsWeighTheRatings()
{
    QCOMPARE(scoring::optionFactor(0), 0.0);
    QCOMPARE(scoring::optionFactor(1), 1.25);
    QCOMPARE(scoring::optionFactor(2), 1.0);
    QCOMPARE(scoring::optionFactor(3), 0.8);
    QCOMPARE(scoring::optionFactor(4), 0.5);
    QCOMPARE(scoring::optionFactor(5), 0.2);
    QCOMPARE(scoring::optionFactor(6), 0.0);
    QCOMPARE(scoring::optionFactor(-1), 0.0);
}

void TestAssessmentRules::domainsMatchExactly()
{
    QCOMPARE(scoring::domainNumber(QStringLiteral("生理")), 1);
    QCOMPARE(scoring::domainNumber(QStringLiteral("运动")), 2);
    QCOMPARE(scoring::domainNumber(QStringLiteral("认知")), 3);
    QCOMPARE(scoring::domainNumber(QStringLiteral("言语")), 4);
    QCOMPARE(scoring::domainNumber(QStringLiteral("人际")), 5);
    QCOMPARE(scoring::domainNumber(QStringLiteral("运动 ")), 0);
    QCOMPARE(scoring::domainNumber(QStringLiteral(" 运动")), 0);
    QCOMPARE(scoring::domainNumber(QString()), 0);
    QCOMPARE(scoring::domainNumber(QStringLiteral("语言")), 0);
}

void TestAssessmentRules::threeItemExample()
{
    scoring::ScoreSheet sheet;
    sheet.record(QStringLiteral("生理"), 2.0, 1);
    sheet.record(QStringLiteral("运动"), 3.0, 3);
    sheet.record(QStringLiteral("生理"), 1.0, 5);

    QCOMPARE(sheet.answers(1), QStringLiteral("15"));
    QCOMPARE(sheet.score(1), 2.7);
    QCOMPARE(sheet.answers(2), QStringLiteral("3"));
    // The product as computed, not the decimal 2.4.
    QVERIFY(sheet.score(2) == 3 * 0.8);
    QVERIFY(sheet.score(2) != 2.4);
    for (int k = 3; k <= 5; ++k) {
        QVERIFY(sheet.answers(k).isEmpty());
        QCOMPARE(sheet.score(k), 0.0);
    }
    QCOMPARE(sheet.total(), std::int16_t(5));
    QCOMPARE(scoring::totalMessage(sheet.total()), QStringLiteral("您孩子的分数是:5"));
}

void TestAssessmentRules::ratingZeroRecordsDigitOnly()
{
    scoring::ScoreSheet sheet;
    sheet.record(QStringLiteral("认知"), 4.0, 0);
    sheet.record(QStringLiteral("认知"), 4.0, 2);
    QCOMPARE(sheet.answers(3), QStringLiteral("02"));
    QCOMPARE(sheet.score(3), 4.0);
}

void TestAssessmentRules::unknownOrNullDomainCountsNowhere()
{
    scoring::ScoreSheet sheet;
    sheet.record(QStringLiteral("运动 "), 10.0, 1);
    sheet.record(QVariant(), 10.0, 1);
    for (int k = 1; k <= 5; ++k) {
        QVERIFY(sheet.answers(k).isEmpty());
        QCOMPARE(sheet.score(k), 0.0);
    }
    QCOMPARE(sheet.answers(0), QStringLiteral("11"));
    QCOMPARE(sheet.total(), std::int16_t(0));
}

void TestAssessmentRules::nullOrTextPoints()
{
    scoring::ScoreSheet sheet;
    sheet.record(QStringLiteral("言语"), QVariant(), 1);
    sheet.record(QStringLiteral("言语"), QStringLiteral("4"), 4);
    QCOMPARE(sheet.answers(4), QStringLiteral("14"));
    QCOMPARE(sheet.score(4), 2.0);

    // Points that are no number are a fault of the database content.
    bool raised = false;
    try {
        sheet.record(QStringLiteral("言语"), QStringLiteral("abc"), 1);
    } catch (const dao::DbError &) {
        raised = true;
    }
    QVERIFY(raised);
}

void TestAssessmentRules::totalRoundsAfterEachAddition_data()
{
    QTest::addColumn<double>("each");
    QTest::addColumn<int>("expected");
    QTest::newRow("0.5 each") << 0.5 << 0;
    QTest::newRow("1.5 each") << 1.5 << 10;
    QTest::newRow("2.5 each") << 2.5 << 10;
    QTest::newRow("-0.5 each") << -0.5 << 0;
    QTest::newRow("0.4 each") << 0.4 << 0;
    QTest::newRow("0.6 each") << 0.6 << 5;
}

void TestAssessmentRules::totalRoundsAfterEachAddition()
{
    QFETCH(double, each);
    QFETCH(int, expected);
    QCOMPARE(int(scoring::total({each, each, each, each, each})), expected);
}

void TestAssessmentRules::totalBeyondSixteenBits()
{
    QCOMPARE(scoring::total({40000, 0, 0, 0, 0}), std::numeric_limits<std::int16_t>::max());
    QCOMPARE(scoring::total({-40000, 0, 0, 0, 0}), std::numeric_limits<std::int16_t>::min());
    // Only the total is held to the range, not the sums on the way.
    QCOMPARE(scoring::total({30000, 30000, -50000, 0, 0}), std::int16_t(10000));
    const double inf = std::numeric_limits<double>::infinity();
    QCOMPARE(scoring::total({inf, 0, 0, 0, 0}), std::numeric_limits<std::int16_t>::max());
    QCOMPARE(scoring::total({inf, -inf, 0, 0, 0}), std::int16_t(0));
}

void TestAssessmentRules::numericTestComesFirst()
{
    // Every box is tested; a bad one is reported even when the month age is
    // out of range or already recorded.
    Recorded recorded{{5}, {}};
    const QString notNumbers[] = {QString(), QStringLiteral("   "), QStringLiteral("abc"), QStringLiteral("1.2.3"),
                                  QStringLiteral("1e999")};
    for (int box = 0; box < 5; ++box) {
        for (const QString &bad : notNumbers) {
            for (const QString &month : {QStringLiteral("5"), QStringLiteral("40"), QStringLiteral("0")}) {
                Entries e = entries(month);
                QString *boxes[] = {&e.monthAge, &e.height, &e.weight, &e.heartRate, &e.breath};
                *boxes[box] = bad;
                const auto outcome = monthcheck::check(kChild, e, recorded.lookup());
                QVERIFY(!outcome.accepted());
                QCOMPARE(outcome.message, QStringLiteral("所有项目要填数字"));
            }
        }
    }
    QVERIFY(recorded.asked.isEmpty());

    const auto blanksAround = monthcheck::check(kChild, entries(QStringLiteral(" +6 ")), recorded.lookup());
    QCOMPARE(blanksAround.monthAge, std::optional<std::int16_t>(6));
}

void TestAssessmentRules::rangeBeforeDuplicate()
{
    Recorded recorded{{0, 37}, {}};
    for (const QString &month : {QStringLiteral("0"), QStringLiteral("37"), QStringLiteral("-3")}) {
        const auto outcome = monthcheck::check(kChild, entries(month), recorded.lookup());
        QVERIFY(!outcome.accepted());
        QCOMPARE(outcome.message, QStringLiteral("月龄必须在1-36区间"));
    }
    // The look-up runs before the range test, whatever the month age.
    QCOMPARE(recorded.asked, (QList<int>{0, 37, -3}));

    QCOMPARE(monthcheck::check(kChild, entries(QStringLiteral("1")), recorded.lookup()).monthAge,
             std::optional<std::int16_t>(1));
    QCOMPARE(monthcheck::check(kChild, entries(QStringLiteral("36")), recorded.lookup()).monthAge,
             std::optional<std::int16_t>(36));
}

void TestAssessmentRules::monthAgeRoundsHalfToEven()
{
    Recorded recorded{{}, {}};
    QCOMPARE(monthcheck::check(kChild, entries(QStringLiteral("0.5")), recorded.lookup()).message,
             QStringLiteral("月龄必须在1-36区间"));
    QCOMPARE(monthcheck::check(kChild, entries(QStringLiteral("36.5")), recorded.lookup()).monthAge,
             std::optional<std::int16_t>(36));
    QCOMPARE(monthcheck::check(kChild, entries(QStringLiteral("5.5")), recorded.lookup()).monthAge,
             std::optional<std::int16_t>(6));
    QCOMPARE(monthcheck::check(kChild, entries(QStringLiteral("6.5")), recorded.lookup()).monthAge,
             std::optional<std::int16_t>(6));
    QCOMPARE(monthcheck::check(kChild, entries(QStringLiteral("36.6")), recorded.lookup()).message,
             QStringLiteral("月龄必须在1-36区间"));
    QCOMPARE(recorded.asked, (QList<int>{0, 36, 6, 6, 37}));
}

void TestAssessmentRules::duplicateRepeatsTypedText()
{
    Recorded recorded{{7}, {}};
    QCOMPARE(monthcheck::check(kChild, entries(QStringLiteral("7")), recorded.lookup()).message,
             QStringLiteral("7月已经测试过了，不能再作测试"));
    QCOMPARE(monthcheck::check(kChild, entries(QStringLiteral("7.0")), recorded.lookup()).message,
             QStringLiteral("7.0月已经测试过了，不能再作测试"));
    QCOMPARE(monthcheck::check(kChild, entries(QStringLiteral(" 6.9")), recorded.lookup()).message,
             QStringLiteral(" 6.9月已经测试过了，不能再作测试"));
    QVERIFY(monthcheck::check(kChild, entries(QStringLiteral("8")), recorded.lookup()).accepted());
}

void TestAssessmentRules::noCurrentChild()
{
    Recorded recorded{{}, {}};
    const auto outcome = monthcheck::check(QString(), entries(QStringLiteral("abc")), recorded.lookup());
    QCOMPARE(outcome.message, QStringLiteral("请选择用户"));
    QVERIFY(recorded.asked.isEmpty());
}

void TestAssessmentRules::monthAgeBeyondSixteenBits()
{
    Recorded recorded{{}, {}};
    for (const QString &month : {QStringLiteral("32767.5"), QStringLiteral("-32768.6"), QStringLiteral("1e300")}) {
        QCOMPARE(monthcheck::check(kChild, entries(month), recorded.lookup()).message,
                 QStringLiteral("月龄必须在1-36区间"));
    }
    QVERIFY(recorded.asked.isEmpty());
    QCOMPARE(monthcheck::check(kChild, entries(QStringLiteral("32767.4")), recorded.lookup()).message,
             QStringLiteral("月龄必须在1-36区间"));
    QCOMPARE(recorded.asked, QList<int>{32767});
}

void TestAssessmentRules::proposals()
{
    QCOMPARE(monthcheck::proposal(false, QVariant()), QStringLiteral("1"));
    QCOMPARE(monthcheck::proposal(true, QVariant()), QStringLiteral("1"));
    QCOMPARE(monthcheck::proposal(true, 7), QStringLiteral("8"));
    QCOMPARE(monthcheck::proposal(true, 36), QStringLiteral("37"));
    QCOMPARE(monthcheck::proposal(true, 32767), QStringLiteral("32768"));
}

QTEST_GUILESS_MAIN(TestAssessmentRules)
#include "tst_assessment_rules.moc"
