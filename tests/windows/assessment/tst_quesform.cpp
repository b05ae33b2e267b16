#include "core/data/Schema.h"
#include "support/TempDatabase.h"
#include "support/TestSupport.h"
#include "ui/CurrentValues.h"
#include "windows/assessment/QuesForm.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using testsupport::child;
using testsupport::TempDatabase;

namespace {

QVariantMap item(int age, const QString &title, const QVariant &clas, const QVariant &fen)
{
    return {{schema::test::kAge, age}, {schema::test::kItem, title},
        {schema::test::kHowTo, title + QStringLiteral("的做法")},
        {schema::test::kGoal, title + QStringLiteral("的目标")}, {schema::test::kClass, clas},
        {schema::test::kPoints, fen}};
}

void addMonth(const TempDatabase &db, int month)
{
    db.addRow(schema::testrecord::kTable,
        {{schema::testrecord::kUser, QStringLiteral("小明")}, {schema::testrecord::kMonthAge, month},
            {schema::testrecord::kHeight, 75.5}});
}

QVariantMap monthRow(const TempDatabase &db, int month)
{
    for (const QVariantMap &row : db.rows(schema::testrecord::kTable)) {
        if (row.value(schema::testrecord::kMonthAge).toInt() == month)
            return row;
    }
    return {};
}

QPushButton *nextCmd(QuesForm &form)
{
    return child<QPushButton>(&form, QStringLiteral("NextCmd"));
}

QRadioButton *option(QuesForm &form, int rating)
{
    return child<QRadioButton>(&form, QStringLiteral("Option%1").arg(rating));
}

QString label(QuesForm &form, int n)
{
    return child<QLabel>(&form, QStringLiteral("Label%1").arg(n))->text();
}

// Chooses a rating (0: leave the choice as it is) and presses the button.
void answer(QuesForm &form, int rating)
{
    if (rating > 0)
        option(form, rating)->click();
    nextCmd(form)->click();
}

} // namespace

class TestQuesForm : public QObject {
    Q_OBJECT
private slots:
    void layoutAndItemTexts();
    void threeItemExampleIsStored();
    void optionCarriesOver();
    void singleItemMonth();
    void monthWithoutItems();
    void closingAbandonsTheResults();
};

void TestQuesForm::layoutAndItemTexts()
{
    TempDatabase db;
    db.addRow(schema::test::kTable, {{schema::test::kAge, 12}}); // every text Null
    QVariantMap own = item(12, QStringLiteral("抬头"), QStringLiteral("运动"), 2);
    own.insert(schema::test::option(1), QStringLiteral("能"));
    own.insert(schema::test::option(4), QStringLiteral(""));
    db.addRow(schema::test::kTable, own);
    addMonth(db, 12);
    current::monthAge = 12;
    QuesForm form;

    QCOMPARE(form.windowTitle(), QStringLiteral("12月测试题"));
    QCOMPARE(form.size(), QSize(479, 401));
    const QStringList fixed = {
        QStringLiteral("测试项目"), QStringLiteral("测试操作"), QStringLiteral("完成目标"), QStringLiteral("完成情况")};
    for (int n = 4; n <= 7; ++n)
        QCOMPARE(label(form, n), fixed.at(n - 4));
    QCOMPARE(nextCmd(form)->text(), QStringLiteral("继续测试"));

    // Null texts show empty, Null captions their defaults; nothing is chosen.
    for (int n = 1; n <= 3; ++n)
        QCOMPARE(label(form, n), QString());
    const QStringList defaults = {QStringLiteral("优秀"), QStringLiteral("良好"), QStringLiteral("一般"),
        QStringLiteral("几乎不行"), QStringLiteral("完全不行")};
    for (int r = 1; r <= 5; ++r) {
        QCOMPARE(option(form, r)->text(), defaults.at(r - 1));
        QVERIFY(!option(form, r)->isChecked());
    }

    // An item's own captions replace the defaults, an empty one included.
    answer(form, 0);
    QCOMPARE(label(form, 1), QStringLiteral("抬头"));
    QCOMPARE(label(form, 2), QStringLiteral("抬头的做法"));
    QCOMPARE(label(form, 3), QStringLiteral("抬头的目标"));
    QCOMPARE(option(form, 1)->text(), QStringLiteral("能"));
    QCOMPARE(option(form, 2)->text(), QStringLiteral("良好"));
    QCOMPARE(option(form, 4)->text(), QString());
    QCOMPARE(option(form, 5)->text(), QStringLiteral("完全不行"));

    const QStringList order = {QStringLiteral("Option2"), QStringLiteral("Option3"), QStringLiteral("Option4"),
        QStringLiteral("NextCmd"), QStringLiteral("Option5")};
    QWidget *w = option(form, 1);
    for (const QString &next : order) {
        do
            w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus);
        QCOMPARE(w->objectName(), next);
    }
}

void TestQuesForm::threeItemExampleIsStored()
{
    TempDatabase db;
    db.addRow(schema::test::kTable, item(3, QStringLiteral("别月"), QStringLiteral("生理"), 9));
    db.addRow(schema::test::kTable, item(4, QStringLiteral("一"), QStringLiteral("生理"), 2));
    db.addRow(schema::test::kTable, item(4, QStringLiteral("二"), QStringLiteral("运动"), 3));
    db.addRow(schema::test::kTable, item(4, QStringLiteral("带空格"), QStringLiteral("运动 "), 8));
    db.addRow(schema::test::kTable, item(4, QStringLiteral("三"), QStringLiteral("生理"), 1));
    addMonth(db, 3);
    addMonth(db, 4);
    current::monthAge = 4;
    testsupport::MessageRecorder recorder;
    QVariantMap rowWhenShown;
    recorder.onMessage = [&](const QString &) { rowWhenShown = monthRow(db, 4); };

    QuesForm form;
    form.show();
    QCOMPARE(label(form, 1), QStringLiteral("一"));
    answer(form, 1);
    answer(form, 3);
    answer(form, 1); // "运动 " counts nowhere
    answer(form, 5);
    QVERIFY(recorder.messages.isEmpty());
    nextCmd(form)->click();

    QCOMPARE(recorder.messages, QStringList {QStringLiteral("您孩子的分数是:5")});
    QVERIFY(!form.isVisible());
    const QVariantMap row = monthRow(db, 4);
    QCOMPARE(row.value(schema::testrecord::answers(1)).toString(), QStringLiteral("15"));
    QCOMPARE(row.value(schema::testrecord::score(1)).toDouble(), 2.7);
    QCOMPARE(row.value(schema::testrecord::answers(2)).toString(), QStringLiteral("3"));
    QVERIFY(row.value(schema::testrecord::score(2)).toDouble() == 3 * 0.8); // 2.4000000000000004, unrounded
    for (int k = 3; k <= 5; ++k) {
        const QVariant answers = row.value(QStringLiteral("a%1").arg(k));
        QVERIFY2(!answers.isNull() && answers.toString().isEmpty(), "a domain without items stores the empty text");
        QCOMPARE(row.value(QStringLiteral("a%1fen").arg(k)).toDouble(), 0.0);
    }
    QCOMPARE(row.value(schema::testrecord::kHeight).toDouble(), 75.5);
    QVERIFY(monthRow(db, 3).value(schema::testrecord::answers(1)).isNull());
    // The results are stored by the time the total is shown.
    QCOMPARE(rowWhenShown.value(schema::testrecord::answers(1)).toString(), QStringLiteral("15"));
}

void TestQuesForm::optionCarriesOver()
{
    TempDatabase db;
    for (int i = 0; i < 3; ++i)
        db.addRow(schema::test::kTable, item(2, QString::number(i), QStringLiteral("言语"), 1));
    // Null clas and Null fen: the digit goes nowhere / nothing is added.
    db.addRow(schema::test::kTable, item(2, QStringLiteral("无类"), QVariant(), 5));
    db.addRow(schema::test::kTable, item(2, QStringLiteral("无分"), QStringLiteral("人际"), QVariant()));
    db.addRow(schema::test::kTable, item(2, QStringLiteral("二分"), QStringLiteral("人际"), 2));
    addMonth(db, 2);
    current::monthAge = 2;
    testsupport::MessageRecorder recorder;

    QuesForm form;
    answer(form, 0); // nothing chosen: rating 0
    answer(form, 4);
    QVERIFY(option(form, 4)->isChecked());
    answer(form, 0); // the 4 is still chosen
    answer(form, 0);
    answer(form, 1);
    answer(form, 0);
    nextCmd(form)->click();

    const QVariantMap row = monthRow(db, 2);
    QCOMPARE(row.value(schema::testrecord::answers(4)).toString(), QStringLiteral("044"));
    QCOMPARE(row.value(schema::testrecord::score(4)).toDouble(), 1.0);
    QCOMPARE(row.value(schema::testrecord::answers(5)).toString(), QStringLiteral("11"));
    QCOMPARE(row.value(schema::testrecord::score(5)).toDouble(), 2.5);
    QCOMPARE(recorder.messages, QStringList {QStringLiteral("您孩子的分数是:4")});
}

void TestQuesForm::singleItemMonth()
{
    TempDatabase db;
    db.addRow(schema::test::kTable, item(9, QStringLiteral("唯一"), QStringLiteral("人际"), 4));
    addMonth(db, 9);
    current::monthAge = 9;
    testsupport::MessageRecorder recorder;

    QuesForm form;
    form.show();
    QCOMPARE(nextCmd(form)->text(), QStringLiteral("继续测试"));
    answer(form, 1);
    QCOMPARE(nextCmd(form)->text(), QStringLiteral("测试结果"));
    QVERIFY(form.isVisible());
    QCOMPARE(label(form, 1), QStringLiteral("唯一"));
    QVERIFY(recorder.messages.isEmpty());
    answer(form, 5); // too late: changes nothing
    QCOMPARE(recorder.messages, QStringList {QStringLiteral("您孩子的分数是:5")});
    QVERIFY(!form.isVisible());
    QCOMPARE(monthRow(db, 9).value(schema::testrecord::answers(5)).toString(), QStringLiteral("1"));
}

void TestQuesForm::monthWithoutItems()
{
    TempDatabase db;
    db.addRow(schema::test::kTable, item(1, QStringLiteral("一"), QStringLiteral("生理"), 2));
    addMonth(db, 30);
    current::monthAge = 30;
    testsupport::MessageRecorder recorder;

    QuesForm form;
    QVERIFY(!nextCmd(form)->isEnabled());
    QCOMPARE(form.exec(), int(QDialog::Rejected)); // returns at once, never shown
    QCOMPARE(recorder.messages, QStringList {QStringLiteral("本月龄没有测试题")});
    const QVariantMap row = monthRow(db, 30);
    QCOMPARE(row.value(schema::testrecord::kHeight).toDouble(), 75.5);
    QVERIFY(row.value(schema::testrecord::answers(1)).isNull());
}

void TestQuesForm::closingAbandonsTheResults()
{
    TempDatabase db;
    db.addRow(schema::test::kTable, item(10, QStringLiteral("一"), QStringLiteral("生理"), 2));
    db.addRow(schema::test::kTable, item(10, QStringLiteral("二"), QStringLiteral("生理"), 2));
    addMonth(db, 10);
    current::monthAge = 10;
    testsupport::MessageRecorder recorder;

    QuesForm form;
    form.show();
    answer(form, 1);
    form.close();
    QVERIFY(recorder.messages.isEmpty());
    QVERIFY(monthRow(db, 10).value(schema::testrecord::score(1)).isNull());
}

QTEST_MAIN(TestQuesForm)
#include "tst_quesform.moc"
