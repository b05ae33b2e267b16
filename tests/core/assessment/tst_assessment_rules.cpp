#include "core/assessment/MonthCheck.h"
#include "core/assessment/Scoring.h"

#include <QtTest>

#include <limits>

class TestAssessmentRules : public QObject {
    Q_OBJECT
private slots:
    void factorsAndDomains();
    void totalRoundsAfterEachAddition_data();
    void totalRoundsAfterEachAddition();
    void totalBeyondSixteenBits();
    void monthChecks_data();
    void monthChecks();
    void lookupRunsBeforeRangeTest();
    void proposals();
};

void TestAssessmentRules::factorsAndDomains()
{
    const double factors[] = {0, 1.25, 1.0, 0.8, 0.5, 0.2};
    for (int rating = 0; rating <= 5; ++rating)
        QCOMPARE(scoring::optionFactor(rating), factors[rating]);
    QCOMPARE(scoring::optionFactor(6), 0.0);

    const QStringList names = {QStringLiteral("生理"), QStringLiteral("运动"), QStringLiteral("认知"),
        QStringLiteral("言语"), QStringLiteral("人际")};
    for (int k = 1; k <= 5; ++k)
        QCOMPARE(scoring::domainNumber(names.at(k - 1)), k);
    QCOMPARE(scoring::domainNumber(QStringLiteral("运动 ")), 0);
    QCOMPARE(scoring::domainNumber(QStringLiteral(" 运动")), 0);
    QCOMPARE(scoring::domainNumber(QString()), 0);
}

void TestAssessmentRules::totalRoundsAfterEachAddition_data()
{
    QTest::addColumn<double>("each");
    QTest::addColumn<int>("expected");
    QTest::newRow("0.5 each, not round(2.5)") << 0.5 << 0;
    QTest::newRow("1.5 each, not round(7.5)") << 1.5 << 10;
    QTest::newRow("-0.5 each") << -0.5 << 0;
    QTest::newRow("0.6 each") << 0.6 << 5;
}

void TestAssessmentRules::totalRoundsAfterEachAddition()
{
    QFETCH(double, each);
    QFETCH(int, expected);
    QCOMPARE(int(scoring::total({each, each, each, each, each})), expected);
    QCOMPARE(
        scoring::totalMessage(std::int16_t(expected)), QStringLiteral("您孩子的分数是:") + QString::number(expected));
}

void TestAssessmentRules::totalBeyondSixteenBits()
{
    QCOMPARE(scoring::total({40000, 0, 0, 0, 0}), std::numeric_limits<std::int16_t>::max());
    QCOMPARE(scoring::total({-40000, 0, 0, 0, 0}), std::numeric_limits<std::int16_t>::min());
    // Only the total is held to the range, not the sums on the way.
    QCOMPARE(scoring::total({30000, 30000, -50000, 0, 0}), std::int16_t(10000));
}

void TestAssessmentRules::monthChecks_data()
{
    QTest::addColumn<QString>("child");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<int>("accepted"); // -1: refused
    QTest::addColumn<QString>("message");
    const QString child = QStringLiteral("小明");
    const QString notNumbers = QStringLiteral("所有项目要填数字");
    const QString outOfRange = QStringLiteral("月龄必须在1-36区间");
    auto boxes = [](const QString &month, const QString &breath = QStringLiteral("30")) {
        return QStringList {month, QStringLiteral("75.5"), QStringLiteral("9.8"), QStringLiteral("120"), breath};
    };
    // Months 7 and 37 are recorded (37 only to show the range test wins).
    QTest::newRow("no child first") << QString() << boxes(QStringLiteral("x")) << -1 << QStringLiteral("请选择用户");
    QTest::newRow("last box empty, month recorded")
        << child << boxes(QStringLiteral("7"), QString()) << -1 << notNumbers;
    QTest::newRow("blank box, month out of range")
        << child << boxes(QStringLiteral("40"), QStringLiteral(" ")) << -1 << notNumbers;
    QTest::newRow("too large for a double") << child << boxes(QStringLiteral("1e999")) << -1 << notNumbers;
    QTest::newRow("37 recorded: range first") << child << boxes(QStringLiteral("37")) << -1 << outOfRange;
    QTest::newRow("0.5 rounds to 0") << child << boxes(QStringLiteral("0.5")) << -1 << outOfRange;
    QTest::newRow("beyond 16 bits") << child << boxes(QStringLiteral("32767.5")) << -1 << outOfRange;
    QTest::newRow("7.0 as typed") << child << boxes(QStringLiteral("7.0")) << -1
                                  << QStringLiteral("7.0月已经测试过了，不能再作测试");
    QTest::newRow("6.5 rounds to 6") << child << boxes(QStringLiteral("6.5")) << 6 << QString();
    QTest::newRow("36.5 rounds to 36") << child << boxes(QStringLiteral("36.5")) << 36 << QString();
    QTest::newRow("blanks and sign") << child << boxes(QStringLiteral(" +1 ")) << 1 << QString();
}

void TestAssessmentRules::monthChecks()
{
    QFETCH(QString, child);
    QFETCH(QStringList, boxes);
    QFETCH(int, accepted);
    QFETCH(QString, message);
    const monthcheck::Entries entries {boxes[0], boxes[1], boxes[2], boxes[3], boxes[4]};
    const auto outcome = monthcheck::check(child, entries, [](std::int16_t m) { return m == 7 || m == 37; });
    QCOMPARE(outcome.message, message);
    QCOMPARE(outcome.monthAge, accepted < 0 ? std::nullopt : std::optional<std::int16_t>(accepted));
}

void TestAssessmentRules::lookupRunsBeforeRangeTest()
{
    QList<int> asked;
    const auto lookup = [&asked](std::int16_t m) {
        asked.append(m);
        return false;
    };
    for (const QString &month :
        {QStringLiteral("0"), QStringLiteral("36.6"), QStringLiteral("x"), QStringLiteral("1e9")})
        monthcheck::check(QStringLiteral("小明"),
            {month, QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1")}, lookup);
    QCOMPARE(asked, (QList<int> {0, 37}));
}

void TestAssessmentRules::proposals()
{
    QCOMPARE(monthcheck::proposal(false, QVariant()), QStringLiteral("1"));
    QCOMPARE(monthcheck::proposal(true, QVariant()), QStringLiteral("1"));
    QCOMPARE(monthcheck::proposal(true, 7), QStringLiteral("8"));
    QCOMPARE(monthcheck::proposal(true, 36), QStringLiteral("37"));
}

QTEST_GUILESS_MAIN(TestAssessmentRules)
#include "tst_assessment_rules.moc"
