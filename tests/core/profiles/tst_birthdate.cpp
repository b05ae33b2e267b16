#include "core/profiles/BirthDate.h"

#include <QtTest>

using birthdate::Date;

class TestBirthDate : public QObject {
    Q_OBJECT
private slots:
    void monthLength_data();
    void monthLength();
    void yearListRunsFrom1999ToTheGivenYear();
    void keptDay_data();
    void keptDay();
    void parse_data();
    void parse();
    void showableOnlyWithinTheYearList();
    void composeHasNoLeadingZeros();
};

void TestBirthDate::monthLength_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("length");
    QTest::newRow("2000-2, divisible by 400") << 2000 << 2 << 29;
    QTest::newRow("2003-2") << 2003 << 2 << 28;
    QTest::newRow("2004-2") << 2004 << 2 << 29;
    QTest::newRow("1900-2, century") << 1900 << 2 << 28;
    QTest::newRow("2100-2, century") << 2100 << 2 << 28;
    QTest::newRow("month 4") << 2005 << 4 << 30;
    QTest::newRow("month 12") << 2005 << 12 << 31;
    for (int month : {1, 3, 5, 7, 8, 10, 12})
        QTest::addRow("31 days: %d", month) << 2003 << month << 31;
    for (int month : {4, 6, 9, 11})
        QTest::addRow("30 days: %d", month) << 2003 << month << 30;
}

void TestBirthDate::monthLength()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, length);
    QCOMPARE(birthdate::monthLength(year, month), length);
}

void TestBirthDate::yearListRunsFrom1999ToTheGivenYear()
{
    QCOMPARE(birthdate::yearItems(1999), QStringList {QStringLiteral("1999")});
    QCOMPARE(birthdate::yearItems(2002),
        (QStringList {QStringLiteral("1999"), QStringLiteral("2000"), QStringLiteral("2001"), QStringLiteral("2002")}));

    const int thisYear = QDate::currentDate().year();
    const QStringList years = birthdate::yearItems(thisYear);
    QCOMPARE(years.size(), thisYear - 1999 + 1);
    QCOMPARE(years.first(), QStringLiteral("1999"));
    QCOMPARE(years.last(), QString::number(thisYear));

    QCOMPARE(
        birthdate::numberItems(1, 3), (QStringList {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    QVERIFY(birthdate::numberItems(29, 28).isEmpty());
}

void TestBirthDate::keptDay_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("kept");
    QTest::newRow("still exists") << 15 << 28 << 15;
    QTest::newRow("last day still exists") << 28 << 28 << 28;
    QTest::newRow("31 into April") << 31 << 30 << 30;
    QTest::newRow("30 into short February") << 30 << 28 << 28;
    QTest::newRow("grows back") << 28 << 31 << 28;
    QTest::newRow("nothing selected") << 0 << 31 << 1;
}

void TestBirthDate::keptDay()
{
    QFETCH(int, selected);
    QFETCH(int, length);
    QFETCH(int, kept);
    QCOMPARE(birthdate::keptDay(selected, length), kept);
}

void TestBirthDate::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::newRow("new-profile preset") << QStringLiteral("2003-01-01") << true << 2003 << 1 << 1;
    QTest::newRow("as stored") << QStringLiteral("2003-1-1") << true << 2003 << 1 << 1;
    QTest::newRow("leap day") << QStringLiteral("2004-2-29") << true << 2004 << 2 << 29;
    QTest::newRow("slashes") << QStringLiteral("2005/3/15") << true << 2005 << 3 << 15;
    QTest::newRow("with time of day") << QStringLiteral("2005-03-15 00:00:00") << true << 2005 << 3 << 15;
    QTest::newRow("no leap day") << QStringLiteral("2003-2-29") << false << 0 << 0 << 0;
    QTest::newRow("31 April") << QStringLiteral("2005-4-31") << false << 0 << 0 << 0;
    QTest::newRow("month 13") << QStringLiteral("2005-13-1") << false << 0 << 0 << 0;
    QTest::newRow("day 0") << QStringLiteral("2005-1-0") << false << 0 << 0 << 0;
    QTest::newRow("mixed separators") << QStringLiteral("2005-1/1") << false << 0 << 0 << 0;
    QTest::newRow("two-digit year") << QStringLiteral("05-1-1") << false << 0 << 0 << 0;
    QTest::newRow("trailing text") << QStringLiteral("2005-1-1x") << false << 0 << 0 << 0;
    QTest::newRow("blanks around") << QStringLiteral(" 2005-1-1  ") << true << 2005 << 1 << 1;
    QTest::newRow("line feed after") << QStringLiteral("2005-1-1\n") << false << 0 << 0 << 0;
    QTest::newRow("empty") << QString() << false << 0 << 0 << 0;
    QTest::newRow("words") << QStringLiteral("去年春天") << false << 0 << 0 << 0;
    QTest::newRow("full-width digits") << QStringLiteral("２００５-１-１") << false << 0 << 0 << 0;
}

void TestBirthDate::parse()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    const std::optional<Date> date = birthdate::parse(text);
    QCOMPARE(date.has_value(), valid);
    if (valid) {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, day);
        QCOMPARE(*date, (Date {year, month, day}));
    }
}

void TestBirthDate::showableOnlyWithinTheYearList()
{
    QVERIFY(!birthdate::showable(QStringLiteral("1998-12-31"), 2024));
    QCOMPARE(*birthdate::showable(QStringLiteral("1999-1-1"), 2024), (Date {1999, 1, 1}));
    QCOMPARE(*birthdate::showable(QStringLiteral("2024-12-31"), 2024), (Date {2024, 12, 31}));
    QVERIFY(!birthdate::showable(QStringLiteral("2025-1-1"), 2024));
    QVERIFY(!birthdate::showable(QStringLiteral("2005-2-31"), 2024));
}

void TestBirthDate::composeHasNoLeadingZeros()
{
    QCOMPARE(birthdate::compose(2003, 1, 1), QStringLiteral("2003-1-1"));
    QCOMPARE(birthdate::compose(2004, 2, 29), QStringLiteral("2004-2-29"));
    QCOMPARE(birthdate::compose(2010, 12, 10), QStringLiteral("2010-12-10"));
    // What is written reads back as the same date.
    QCOMPARE(*birthdate::parse(birthdate::compose(2004, 2, 29)), (Date {2004, 2, 29}));
    QCOMPARE(*birthdate::parse(birthdate::compose(999, 3, 1)), (Date {999, 3, 1}));
}

QTEST_GUILESS_MAIN(TestBirthDate)
#include "tst_birthdate.moc"
