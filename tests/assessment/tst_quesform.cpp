#include "app/CurrentValues.h"
#include "assessment/QuesForm.h"
#include "support/TestSupport.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using testsupport::TempDatabase;

namespace {

const QString kChild = QStringLiteral("小明");

QVariantMap item(int age, const QString &title, const QVariant &clas, const QVariant &fen)
{
    return {{QStringLiteral("age"), age},
            {QStringLiteral("item"), title},
            {QStringLiteral("howto"), title + QStringLiteral("的做法")},
            {QStringLiteral("disp"), title + QStringLiteral("的目标")},
            {QStringLiteral("clas"), clas},
            {QStringLiteral("fen"), fen}};
}

void addMonth(const TempDatabase &db, int month)
{
    db.addRow(QStringLiteral("testrecord"), {{QStringLiteral("user"), kChild},
                                             {QStringLiteral("monthage"), month},
                                             {QStringLiteral("height"), 75.5},
                                             {QStringLiteral("weight"), 9.8},
                                             {QStringLiteral("heartrate"), 120},
                                             {QStringLiteral("breath"), 30}});
}

QVariantMap monthRow(const TempDatabase &db, int month)
{
    for (const QVariantMap &row : db.rows(QStringLiteral("testrecord"))) {
        if (row.value(QStringLiteral("monthage")).toInt() == month)
            return row;
    }
    return {};
}

QPushButton *nextCmd(QuesForm &form)
{
    return form.findChild<QPushButton *>(QStringLiteral("NextCmd"));
}

QRadioButton *option(QuesForm &form, int rating)
{
    return form.findChild<QRadioButton *>(QStringLiteral("Option%1").arg(rating));
}

QString label(QuesForm &form, const char *name)
{
    return form.findChild<QLabel *>(QString::fromLatin1(name))->text();
}

// Chooses a rating (0: none) and presses the button.
void answer(QuesForm &form, int rating)
{
    if (rating > 0)
        option(form, rating)->click();
    nextCmd(form)->click();
}

} // namespace

class TestQuesForm : public QObject
{
    Q_OBJECT
private slots:
    void layoutAndFirstItem();
    void threeItemExampleIsStored();
    void onlyTheMonthsItemsAreAsked();
    void optionStaysChosenAndNoneIsPreset();
    void singleItemMonth();
    void choiceAfterLastItemChangesNothing();
    void nullColumnsOfAnItem();
    void monthWithoutItems();
    void closingAbandonsTheResults();
};

void TestQuesForm::layoutAndFirstItem()
{
    TempDatabase db;
    db.addRow(QStringLiteral("test"), item(12, QStringLiteral("抬头"), QStringLiteral("运动"), 2));
    addMonth(db, 12);
    current::monthAge = 12;
    QuesForm form;

    QCOMPARE(form.windowTitle(), QStringLiteral("12月测试题"));
    QCOMPARE(form.size(), QSize(479, 401));
    QCOMPARE(label(form, "Label4"), QStringLiteral("测试项目"));
    QCOMPARE(label(form, "Label5"), QStringLiteral("测试操作"));
    QCOMPARE(label(form, "Label6"), QStringLiteral("完成目标"));
    QCOMPARE(label(form, "Label7"), QStringLiteral("完成情况"));
    QCOMPARE(label(form, "Label1"), QStringLiteral("抬头"));
    QCOMPARE(label(form, "Label2"), QStringLiteral("抬头的做法"));
    QCOMPARE(label(form, "Label3"), QStringLiteral("抬头的目标"));
    const QStringList defaults = {QStringLiteral("优秀"), QStringLiteral("良好"), QStringLiteral("一般"),
                                  QStringLiteral("几乎不行"), QStringLiteral("完全不行")};
    for (int r = 1; r <= 5; ++r) {
        QCOMPARE(option(form, r)->text(), defaults.at(r - 1));
        QVERIFY(!option(form, r)->isChecked());
    }
    QCOMPARE(nextCmd(form)->text(), QStringLiteral("继续测试"));

    // Tab order: Option1..Option4, NextCmd, Option5.
    const QStringList order = {QStringLiteral("Option1"), QStringLiteral("Option2"), QStringLiteral("Option3"),
                               QStringLiteral("Option4"), QStringLiteral("NextCmd"), QStringLiteral("Option5")};
    QWidget *w = option(form, 1);
    for (int i = 1; i < order.size(); ++i) {
        do
            w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus);
        QCOMPARE(w->objectName(), order.at(i));
    }
}

void TestQuesForm::threeItemExampleIsStored()
{
    TempDatabase db;
    db.addRow(QStringLiteral("test"), item(4, QStringLiteral("一"), QStringLiteral("生理"), 2));
    db.addRow(QStringLiteral("test"), item(4, QStringLiteral("二"), QStringLiteral("运动"), 3));
    db.addRow(QStringLiteral("test"), item(4, QStringLiteral("三"), QStringLiteral("生理"), 1));
    addMonth(db, 4);
    current::monthAge = 4;
    testsupport::MessageRecorder recorder;
    QVariantMap rowWhenShown;
    recorder.onMessage = [&](const QString &) { rowWhenShown = monthRow(db, 4); };

    QuesForm form;
    form.show();
    answer(form, 1);
    QCOMPARE(label(form, "Label1"), QStringLiteral("二"));
    answer(form, 3);
    answer(form, 5);
    QCOMPARE(nextCmd(form)->text(), QStringLiteral("测试结果"));
    QCOMPARE(label(form, "Label1"), QStringLiteral("三"));
    QVERIFY(recorder.messages.isEmpty());
    nextCmd(form)->click();

    QCOMPARE(recorder.messages, QStringList{QStringLiteral("您孩子的分数是:5")});
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Accepted));

    const QVariantMap row = monthRow(db, 4);
    QCOMPARE(row.value(QStringLiteral("a1")).toString(), QStringLiteral("15"));
    QCOMPARE(row.value(QStringLiteral("a1fen")).toDouble(), 2.7);
    QCOMPARE(row.value(QStringLiteral("a2")).toString(), QStringLiteral("3"));
    QVERIFY(row.value(QStringLiteral("a2fen")).toDouble() == 3 * 0.8);
    for (int k = 3; k <= 5; ++k) {
        const QVariant answers = row.value(QStringLiteral("a%1").arg(k));
        QVERIFY2(!answers.isNull() && answers.toString().isEmpty(), "an unused domain stores the empty text");
        QCOMPARE(row.value(QStringLiteral("a%1fen").arg(k)).toDouble(), 0.0);
    }
    // Measurements untouched, and the results were stored by the time the
    // total was shown.
    QCOMPARE(row.value(QStringLiteral("height")).toDouble(), 75.5);
    QCOMPARE(row.value(QStringLiteral("user")).toString(), kChild);
    QCOMPARE(rowWhenShown.value(QStringLiteral("a1")).toString(), QStringLiteral("15"));
}

void TestQuesForm::onlyTheMonthsItemsAreAsked()
{
    TempDatabase db;
    db.addRow(QStringLiteral("test"), item(3, QStringLiteral("三月"), QStringLiteral("认知"), 5));
    db.addRow(QStringLiteral("test"), item(5, QStringLiteral("五月甲"), QStringLiteral("认知"), 4));
    db.addRow(QStringLiteral("test"), item(6, QStringLiteral("六月"), QStringLiteral("认知"), 5));
    db.addRow(QStringLiteral("test"), item(5, QStringLiteral("五月乙"), QStringLiteral("运动 "), 8));
    addMonth(db, 3);
    addMonth(db, 5);
    current::monthAge = 5;
    testsupport::MessageRecorder recorder;

    QuesForm form;
    QCOMPARE(label(form, "Label1"), QStringLiteral("五月甲"));
    answer(form, 2);
    QCOMPARE(label(form, "Label1"), QStringLiteral("五月乙"));
    answer(form, 1);
    QCOMPARE(nextCmd(form)->text(), QStringLiteral("测试结果"));
    nextCmd(form)->click();

    // "运动 " with its trailing blank counts in no stored domain.
    QCOMPARE(recorder.messages, QStringList{QStringLiteral("您孩子的分数是:4")});
    const QVariantMap row = monthRow(db, 5);
    QCOMPARE(row.value(QStringLiteral("a3")).toString(), QStringLiteral("2"));
    QCOMPARE(row.value(QStringLiteral("a3fen")).toDouble(), 4.0);
    QCOMPARE(row.value(QStringLiteral("a2")).toString(), QString());
    QCOMPARE(row.value(QStringLiteral("a2fen")).toDouble(), 0.0);
    // The other month's row is left alone.
    QVERIFY(monthRow(db, 3).value(QStringLiteral("a3")).isNull());
}

void TestQuesForm::optionStaysChosenAndNoneIsPreset()
{
    TempDatabase db;
    db.addRow(QStringLiteral("test"), item(2, QStringLiteral("一"), QStringLiteral("言语"), 1));
    db.addRow(QStringLiteral("test"), item(2, QStringLiteral("二"), QStringLiteral("言语"), 1));
    db.addRow(QStringLiteral("test"), item(2, QStringLiteral("三"), QStringLiteral("言语"), 1));
    db.addRow(QStringLiteral("test"), item(2, QStringLiteral("四"), QStringLiteral("人际"), 2));
    addMonth(db, 2);
    current::monthAge = 2;
    testsupport::MessageRecorder recorder;

    QuesForm form;
    answer(form, 0); // nothing chosen: rating 0
    answer(form, 4);
    QVERIFY(option(form, 4)->isChecked());
    answer(form, 0); // the 4 carries over
    answer(form, 2);
    nextCmd(form)->click();

    const QVariantMap row = monthRow(db, 2);
    QCOMPARE(row.value(QStringLiteral("a4")).toString(), QStringLiteral("044"));
    QCOMPARE(row.value(QStringLiteral("a4fen")).toDouble(), 1.0);
    QCOMPARE(row.value(QStringLiteral("a5")).toString(), QStringLiteral("2"));
    QCOMPARE(row.value(QStringLiteral("a5fen")).toDouble(), 2.0);
    QCOMPARE(recorder.messages, QStringList{QStringLiteral("您孩子的分数是:3")});
}

void TestQuesForm::singleItemMonth()
{
    TempDatabase db;
    db.addRow(QStringLiteral("test"), item(9, QStringLiteral("唯一"), QStringLiteral("人际"), 4));
    addMonth(db, 9);
    current::monthAge = 9;
    testsupport::MessageRecorder recorder;

    QuesForm form;
    form.show();
    answer(form, 1);
    QCOMPARE(nextCmd(form)->text(), QStringLiteral("测试结果"));
    QVERIFY(form.isVisible());
    QCOMPARE(label(form, "Label1"), QStringLiteral("唯一"));
    QVERIFY(option(form, 1)->isChecked());
    QVERIFY(recorder.messages.isEmpty());
    nextCmd(form)->click();
    QCOMPARE(recorder.messages, QStringList{QStringLiteral("您孩子的分数是:5")});
    QVERIFY(!form.isVisible());
    QCOMPARE(monthRow(db, 9).value(QStringLiteral("a5")).toString(), QStringLiteral("1"));
}

void TestQuesForm::choiceAfterLastItemChangesNothing()
{
    TempDatabase db;
    db.addRow(QStringLiteral("test"), item(8, QStringLiteral("唯一"), QStringLiteral("生理"), 10));
    addMonth(db, 8);
    current::monthAge = 8;
    testsupport::MessageRecorder recorder;

    QuesForm form;
    answer(form, 3);
    option(form, 1)->click();
    nextCmd(form)->click();
    QCOMPARE(monthRow(db, 8).value(QStringLiteral("a1")).toString(), QStringLiteral("3"));
    QCOMPARE(monthRow(db, 8).value(QStringLiteral("a1fen")).toDouble(), 8.0);
    QCOMPARE(recorder.messages, QStringList{QStringLiteral("您孩子的分数是:8")});
}

void TestQuesForm::nullColumnsOfAnItem()
{
    TempDatabase db;
    // Only age: every text Null, no domain, no points.
    db.addRow(QStringLiteral("test"), {{QStringLiteral("age"), 6}});
    QVariantMap own = item(6, QStringLiteral("二"), QStringLiteral("认知"), QVariant());
    own.insert(QStringLiteral("opt1"), QStringLiteral("能"));
    own.insert(QStringLiteral("opt4"), QString(QLatin1String("")));
    db.addRow(QStringLiteral("test"), own);
    db.addRow(QStringLiteral("test"), item(6, QStringLiteral("三"), QStringLiteral("认知"), 2));
    addMonth(db, 6);
    current::monthAge = 6;
    testsupport::MessageRecorder recorder;

    QuesForm form;
    QCOMPARE(label(form, "Label1"), QString());
    QCOMPARE(label(form, "Label2"), QString());
    QCOMPARE(label(form, "Label3"), QString());
    QCOMPARE(option(form, 1)->text(), QStringLiteral("优秀"));
    answer(form, 1);
    // Item-specific captions replace the defaults, an empty one included.
    QCOMPARE(option(form, 1)->text(), QStringLiteral("能"));
    QCOMPARE(option(form, 2)->text(), QStringLiteral("良好"));
    QCOMPARE(option(form, 4)->text(), QString());
    QCOMPARE(option(form, 5)->text(), QStringLiteral("完全不行"));
    answer(form, 1);
    QCOMPARE(option(form, 1)->text(), QStringLiteral("优秀"));
    answer(form, 2);
    nextCmd(form)->click();

    const QVariantMap row = monthRow(db, 6);
    QCOMPARE(row.value(QStringLiteral("a3")).toString(), QStringLiteral("12"));
    QCOMPARE(row.value(QStringLiteral("a3fen")).toDouble(), 2.0);
    QCOMPARE(recorder.messages, QStringList{QStringLiteral("您孩子的分数是:2")});
}

void TestQuesForm::monthWithoutItems()
{
    TempDatabase db;
    db.addRow(QStringLiteral("test"), item(1, QStringLiteral("一"), QStringLiteral("生理"), 2));
    addMonth(db, 30);
    current::monthAge = 30;
    testsupport::MessageRecorder recorder;
    QWidget owner;

    QuesForm form(&owner);
    QCOMPARE(form.windowTitle(), QStringLiteral("30月测试题"));
    QVERIFY(!nextCmd(form)->isEnabled());
    // Returns at once, without showing the window.
    QCOMPARE(form.exec(), int(QDialog::Rejected));
    QVERIFY(!form.isVisible());
    QCOMPARE(recorder.messages, QStringList{QStringLiteral("本月龄没有测试题")});
    const QVariantMap row = monthRow(db, 30);
    QCOMPARE(row.value(QStringLiteral("height")).toDouble(), 75.5);
    QVERIFY(row.value(QStringLiteral("a1")).isNull());
}

void TestQuesForm::closingAbandonsTheResults()
{
    TempDatabase db;
    db.addRow(QStringLiteral("test"), item(10, QStringLiteral("一"), QStringLiteral("生理"), 2));
    db.addRow(QStringLiteral("test"), item(10, QStringLiteral("二"), QStringLiteral("生理"), 2));
    addMonth(db, 10);
    current::monthAge = 10;
    testsupport::MessageRecorder recorder;

    QuesForm form;
    form.show();
    answer(form, 1);
    QTest::keyClick(&form, Qt::Key_Escape);
    QVERIFY(form.isVisible());
    form.close();
    QVERIFY(!form.isVisible());
    QVERIFY(recorder.messages.isEmpty());
    for (int k = 1; k <= 5; ++k)
        QVERIFY(monthRow(db, 10).value(QStringLiteral("a%1fen").arg(k)).isNull());
}

QTEST_MAIN(TestQuesForm)
#include "tst_quesform.moc"
