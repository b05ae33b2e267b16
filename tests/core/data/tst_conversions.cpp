#include "core/data/Conversions.h"

#include <QtTest>

#include <cmath>
#include <limits>

class TestConversions : public QObject {
    Q_OBJECT
private slots:
    void roundsHalfToEven_data();
    void roundsHalfToEven();
    void int16RangeIsEnforcedAfterRounding();
    void numericTest_data();
    void numericTest();
    void numberText_data();
    void numberText();
    void numberTextReadsBack();
};

void TestConversions::roundsHalfToEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");
    QTest::newRow("0.5") << 0.5 << 0.0;
    QTest::newRow("1.5") << 1.5 << 2.0;
    QTest::newRow("2.5") << 2.5 << 2.0;
    QTest::newRow("-2.5") << -2.5 << -2.0;
    QTest::newRow("-0.5") << -0.5 << 0.0;
    QTest::newRow("5.5") << 5.5 << 6.0;
    QTest::newRow("6.5") << 6.5 << 6.0;
    QTest::newRow("36.5") << 36.5 << 36.0;
    QTest::newRow("2.5000001") << 2.5000001 << 3.0;
    QTest::newRow("-7.49") << -7.49 << -7.0;
}

void TestConversions::roundsHalfToEven()
{
    QFETCH(double, value);
    QFETCH(double, expected);
    QCOMPARE(conv::roundHalfEven(value), expected);
}

void TestConversions::int16RangeIsEnforcedAfterRounding()
{
    QCOMPARE(conv::toInt16(32767.4).value(), 32767);
    QCOMPARE(conv::toInt16(-32768.5).value(), -32768); // ties to the even -32768
    QVERIFY(!conv::toInt16(32767.5)); // rounds to 32768
    QVERIFY(!conv::toInt16(-32769));
    QVERIFY(!conv::toInt16(1e300));
    QVERIFY(!conv::toInt16(std::numeric_limits<double>::quiet_NaN()));
    QCOMPARE(conv::toInt16(-0.4).value(), 0);
}

void TestConversions::numericTest_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<double>("value");
    QTest::newRow("integer") << QStringLiteral("12") << true << 12.0;
    QTest::newRow("blanks around") << QStringLiteral("  7.5 ") << true << 7.5;
    QTest::newRow("sign") << QStringLiteral("-3") << true << -3.0;
    QTest::newRow("plus sign") << QStringLiteral("+3") << true << 3.0;
    QTest::newRow("leading point") << QStringLiteral(".5") << true << 0.5;
    QTest::newRow("trailing point") << QStringLiteral("5.") << true << 5.0;
    QTest::newRow("exponent") << QStringLiteral("1.2e2") << true << 120.0;
    QTest::newRow("negative exponent") << QStringLiteral("5E-1") << true << 0.5;
    QTest::newRow("7.0") << QStringLiteral("7.0") << true << 7.0;
    QTest::newRow("empty") << QString() << false << 0.0;
    QTest::newRow("blanks only") << QStringLiteral("   ") << false << 0.0;
    QTest::newRow("two points") << QStringLiteral("1.2.3") << false << 0.0;
    QTest::newRow("letters") << QStringLiteral("abc") << false << 0.0;
    QTest::newRow("unit") << QStringLiteral("75cm") << false << 0.0;
    QTest::newRow("blank inside") << QStringLiteral("7 5") << false << 0.0;
    QTest::newRow("sign alone") << QStringLiteral("-") << false << 0.0;
    QTest::newRow("exponent alone") << QStringLiteral("e5") << false << 0.0;
    QTest::newRow("beyond a double") << QStringLiteral("1e400") << false << 0.0;
    QTest::newRow("below a double") << QStringLiteral("-1e-400") << true << 0.0;
    QTest::newRow("line feed after") << QStringLiteral("1\n") << false << 0.0;
    QTest::newRow("return after") << QStringLiteral("1\r") << false << 0.0;
    QTest::newRow("huge digits") << QString(400, QLatin1Char('9')) << false << 0.0;
    QTest::newRow("full-width digits") << QStringLiteral("１２") << false << 0.0;
    QTest::newRow("hex") << QStringLiteral("0x1A") << false << 0.0;
}

void TestConversions::numericTest()
{
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QFETCH(double, value);
    QCOMPARE(conv::isNumeric(text), numeric);
    if (numeric)
        QCOMPARE(conv::parseNumber(text).value(), value);
}

void TestConversions::numberText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 3.0 << QStringLiteral("3");
    QTest::newRow("zero") << 0.0 << QStringLiteral("0");
    QTest::newRow("negative zero") << -0.0 << QStringLiteral("0");
    QTest::newRow("negative whole") << -12.0 << QStringLiteral("-12");
    QTest::newRow("half") << 12.5 << QStringLiteral("12.5");
    QTest::newRow("3 x 0.8") << 3 * 0.8 << QStringLiteral("2.4");
    QTest::newRow("2.7") << 2 * 1.25 + 1 * 0.2 << QStringLiteral("2.7");
    QTest::newRow("small") << 0.001 << QStringLiteral("0.001");
    QTest::newRow("fifteen digits") << 1.0 / 3.0 << QStringLiteral("0.333333333333333");
}

void TestConversions::numberText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(conv::numberText(value), text);
    QCOMPARE(conv::decimalText(-42), QStringLiteral("-42"));
}

void TestConversions::numberTextReadsBack()
{
    const double max = std::numeric_limits<double>::max();
    for (double value : {max, -max, std::nextafter(max, 0.0), 1.797693134862315e308, 1e300 / 3,
             std::numeric_limits<double>::denorm_min(), 1e15 + 0.5, -2.0 / 3}) {
        const QString text = conv::numberText(value);
        const std::optional<double> back = conv::parseNumber(text);
        QVERIFY2(back, qPrintable(text));
        // Within one unit of the 15th significant digit.
        const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(value))) - 14);
        QVERIFY2(std::fabs(*back - value) <= unit, qPrintable(text));
    }
    QCOMPARE(conv::numberText(-max), QStringLiteral("-1.79769313486231e+308"));
}

QTEST_APPLESS_MAIN(TestConversions)
#include "tst_conversions.moc"
