#include "core/reports/ReportRequest.h"

#include <QtTest>

class TestReportRequest : public QObject {
    Q_OBJECT
private slots:
    void address_data();
    void address();
    void announcement_data();
    void announcement();
    void monthOfEntry_data();
    void monthOfEntry();
    void nullScoreMeansIncomplete();
};

void TestReportRequest::address_data()
{
    QTest::addColumn<int>("month");
    QTest::addColumn<double>("a2");
    QTest::addColumn<double>("a3");
    QTest::addColumn<double>("a4");
    QTest::addColumn<double>("a5");
    QTest::addColumn<QString>("expected");

    QTest::newRow("month 3") << 3 << 10.0 << 12.5 << 8.0 << 9.0
                             << QStringLiteral("Http:\\\\host\\03\\report.asp?month=4&a2=10&a3=12.5&a4=8&a5=9");
    QTest::newRow("month 36 asks for 37")
        << 36 << 0.0 << 0.0 << 0.0 << 0.0
        << QStringLiteral("Http:\\\\host\\03\\report.asp?month=37&a2=0&a3=0&a4=0&a5=0");
    QTest::newRow("binary fraction written short")
        << 1 << 3 * 0.8 << 0.1 + 0.2 << 16.0 << 15.999999999999998
        << QStringLiteral("Http:\\\\host\\03\\report.asp?month=2&a2=2.4&a3=0.3&a4=16&a5=16");
}

void TestReportRequest::address()
{
    QFETCH(int, month);
    QFETCH(double, a2);
    QFETCH(double, a3);
    QFETCH(double, a4);
    QFETCH(double, a5);
    QFETCH(QString, expected);
    QCOMPARE(
        report::address(QStringLiteral("Http:\\\\host"), static_cast<std::int16_t>(month), {a2, a3, a4, a5}), expected);
}

void TestReportRequest::announcement_data()
{
    QTest::addColumn<int>("month");
    QTest::addColumn<QString>("expected");
    QTest::newRow("3") << 3 << QStringLiteral("4月的教育方案需要联网获取!");
    QTest::newRow("36") << 36 << QStringLiteral("37月的教育方案需要联网获取!");
    QTest::newRow("1") << 1 << QStringLiteral("2月的教育方案需要联网获取!");
}

void TestReportRequest::announcement()
{
    QFETCH(int, month);
    QFETCH(QString, expected);
    QCOMPARE(report::announcement(static_cast<std::int16_t>(month)), expected);
}

void TestReportRequest::monthOfEntry_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<int>("expected"); // -1: no month
    QTest::newRow("plain") << QStringLiteral("3") << 3;
    QTest::newRow("36") << QStringLiteral("36") << 36;
    QTest::newRow("empty (nothing selected)") << QString() << -1;
    QTest::newRow("too large") << QStringLiteral("40000") << -1;
}

void TestReportRequest::monthOfEntry()
{
    QFETCH(QString, entry);
    QFETCH(int, expected);
    const auto month = report::monthOf(entry);
    if (expected < 0)
        QVERIFY(!month);
    else
        QCOMPARE(month.value_or(-1), expected);
}

void TestReportRequest::nullScoreMeansIncomplete()
{
    const QVariant null;
    QVERIFY(!report::scoresOf(null, 1.0, 2.0, 3.0));
    QVERIFY(!report::scoresOf(1.0, 2.0, 3.0, null));
    const auto scores = report::scoresOf(10.0, 12.5, 0.0, 9.0);
    QVERIFY(scores);
    QCOMPARE(scores->a2, 10.0);
    QCOMPARE(scores->a3, 12.5);
    QCOMPARE(scores->a4, 0.0);
    QCOMPARE(scores->a5, 9.0);
}

QTEST_GUILESS_MAIN(TestReportRequest)
#include "tst_reportrequest.moc"
