#include "core/data/Schema.h"
#include "support/TempDatabase.h"
#include "support/TestSupport.h"
#include "ui/CurrentValues.h"
#include "windows/assessment/QuesForm.h"
#include "windows/assessment/TestForm.h"
#include "windows/profiles/BrowForm.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using testsupport::child;
using testsupport::ModalWatcher;
using testsupport::TempDatabase;

namespace {

const QString kChild = QStringLiteral("小明");
const QString kOtherChild = QStringLiteral("小红");

QLineEdit *box(QWidget &form, int n)
{
    return child<QLineEdit>(&form, QStringLiteral("Text%1").arg(n));
}

QPushButton *startCmd(QWidget &form)
{
    return child<QPushButton>(&form, QStringLiteral("Command1"));
}

void fill(QWidget &form, const QString &month, const QString &height = QStringLiteral("75.5"),
    const QString &weight = QStringLiteral("9.8"))
{
    box(form, 1)->setText(month);
    box(form, 2)->setText(height);
    box(form, 3)->setText(weight);
    box(form, 4)->setText(QStringLiteral("120"));
    box(form, 5)->setText(QStringLiteral("30"));
}

QStringList texts(QWidget &form)
{
    QStringList result;
    for (int n = 1; n <= 5; ++n)
        result.append(box(form, n)->text());
    return result;
}

void addMonth(const TempDatabase &db, const QString &child, const QVariant &month)
{
    db.addRow(schema::testrecord::kTable,
        {{schema::testrecord::kUser, child}, {schema::testrecord::kMonthAge, month},
            {schema::testrecord::kHeight, 70}});
}

void addItem(const TempDatabase &db, int age, const QString &title, const QString &clas, double fen)
{
    db.addRow(schema::test::kTable,
        {{schema::test::kAge, age}, {schema::test::kItem, title}, {schema::test::kGoal, title},
            {schema::test::kClass, clas}, {schema::test::kPoints, fen}});
}

} // namespace

class TestTestForm : public QObject {
    Q_OBJECT
private slots:
    void init();
    void layout();
    void proposals_data();
    void proposals();
    void refusalsKeepTheWindowAndEntries_data();
    void refusalsKeepTheWindowAndEntries();
    void noCurrentChild();
    void startCreatesRowAndOpensQuestionnaire();
};

void TestTestForm::init()
{
    current::userName = kChild;
    current::monthAge = 0;
    ModalWatcher::resetTimedOut();
}

void TestTestForm::layout()
{
    TempDatabase db;
    TestForm form;
    QCOMPARE(form.windowTitle(), QStringLiteral("每月生理资料"));
    QCOMPARE(form.size(), QSize(265, 313));
    const QStringList captions = {QStringLiteral("月龄"), QStringLiteral("身高(cm)"), QStringLiteral("体重(kg)"),
        QStringLiteral("心率(次/分)"), QStringLiteral("呼吸(次/分)")};
    for (int n = 1; n <= 5; ++n) {
        QCOMPARE(child<QLabel>(&form, QStringLiteral("Label%1").arg(n))->text(), captions.at(n - 1));
        if (n > 1)
            QVERIFY(box(form, n)->text().isEmpty());
    }
    QCOMPARE(startCmd(form)->text(), QStringLiteral("开始测试"));
    QVERIFY(!startCmd(form)->isDefault() && !startCmd(form)->autoDefault());

    QWidget *w = box(form, 1);
    for (const QString &next : {QStringLiteral("Text2"), QStringLiteral("Text3"), QStringLiteral("Text4"),
             QStringLiteral("Text5"), QStringLiteral("Command1")}) {
        do
            w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus);
        QCOMPARE(w->objectName(), next);
    }
}

void TestTestForm::proposals_data()
{
    QTest::addColumn<QVariantList>("recorded");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("none recorded") << QVariantList {} << QStringLiteral("1");
    QTest::newRow("3 and 7 of two children") << QVariantList {3, 7} << QStringLiteral("8");
    QTest::newRow("only a row without month age") << QVariantList {QVariant()} << QStringLiteral("1");
    QTest::newRow("month age and an empty row") << QVariantList {4, QVariant()} << QStringLiteral("5");
    QTest::newRow("36") << QVariantList {36} << QStringLiteral("37");
}

void TestTestForm::proposals()
{
    QFETCH(QVariantList, recorded);
    QFETCH(QString, proposed);
    TempDatabase db;
    for (int i = 0; i < recorded.size(); ++i)
        addMonth(db, i % 2 ? kOtherChild : kChild, recorded.at(i));
    TestForm form;
    QCOMPARE(box(form, 1)->text(), proposed);
}

void TestTestForm::refusalsKeepTheWindowAndEntries_data()
{
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("message");
    const QString notNumbers = QStringLiteral("所有项目要填数字");
    const QString outOfRange = QStringLiteral("月龄必须在1-36区间");
    // Months 5 (another child's) and 36 are recorded.
    QTest::newRow("proposal 37 unchanged") << QString() << QStringLiteral("75.5") << outOfRange;
    QTest::newRow("empty box before duplicate") << QStringLiteral("5") << QStringLiteral(" ") << notNumbers;
    QTest::newRow("0.5 rounds to 0") << QStringLiteral("0.5") << QStringLiteral("75.5") << outOfRange;
    QTest::newRow("beyond 16 bits") << QStringLiteral("99999") << QStringLiteral("75.5") << outOfRange;
    QTest::newRow("another child's month")
        << QStringLiteral("5") << QStringLiteral("75.5") << QStringLiteral("5月已经测试过了，不能再作测试");
    QTest::newRow("typed text repeated") << QStringLiteral("5.0") << QStringLiteral("75.5")
                                         << QStringLiteral("5.0月已经测试过了，不能再作测试");
    QTest::newRow("35.5 rounds to 36") << QStringLiteral("35.5") << QStringLiteral("75.5")
                                       << QStringLiteral("35.5月已经测试过了，不能再作测试");
}

void TestTestForm::refusalsKeepTheWindowAndEntries()
{
    QFETCH(QString, month);
    QFETCH(QString, height);
    QFETCH(QString, message);
    TempDatabase db;
    addMonth(db, kOtherChild, 5);
    addMonth(db, kChild, 36);
    testsupport::MessageRecorder recorder;

    TestForm form;
    form.show();
    QCOMPARE(box(form, 1)->text(), QStringLiteral("37"));
    fill(form, month.isEmpty() ? box(form, 1)->text() : month, height);
    const QStringList typed = texts(form);
    startCmd(form)->click();

    QCOMPARE(recorder.messages, QStringList {message});
    QVERIFY(form.isVisible());
    QCOMPARE(texts(form), typed);
    QCOMPARE(db.rows(schema::testrecord::kTable).size(), 2);
    QCOMPARE(current::monthAge, std::int16_t(0));
}

void TestTestForm::noCurrentChild()
{
    TempDatabase db;
    current::userName.clear();
    testsupport::MessageRecorder recorder;
    TestForm form;
    form.show();
    fill(form, QStringLiteral("1"));
    startCmd(form)->click();
    QCOMPARE(recorder.messages, QStringList {QStringLiteral("请选择用户")});
    QVERIFY(form.isVisible());
    QVERIFY(db.rows(schema::testrecord::kTable).isEmpty());
}

void TestTestForm::startCreatesRowAndOpensQuestionnaire()
{
    TempDatabase db;
    addMonth(db, kOtherChild, 35);
    addItem(db, 36, QStringLiteral("跳"), QStringLiteral("运动"), 2);
    testsupport::MessageRecorder recorder;
    QWidget mainWindow;
    mainWindow.show();

    TestForm form(&mainWindow);
    form.show();
    fill(form, QStringLiteral("36.5"), QStringLiteral("95.5"), QStringLiteral(" 14 "));

    bool seen = false;
    ModalWatcher::when<QuesForm>([&](QuesForm *q) {
        seen = true;
        QCOMPARE(q->parentWidget(), &mainWindow);
        QCOMPARE(q->windowTitle(), QStringLiteral("36月测试题"));
        QVERIFY(!form.isVisible());
        QCOMPARE(current::monthAge, std::int16_t(36));
        // The row exists before the questionnaire is answered.
        QCOMPARE(db.rows(schema::testrecord::kTable).size(), 2);
        q->reject();
    });
    startCmd(form)->click();

    QVERIFY(seen);
    QVERIFY(!ModalWatcher::timedOut());
    QVERIFY(recorder.messages.isEmpty());
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Accepted));

    // The new row is the last in table order.
    const QList<QVariantMap> rows = db.rows(schema::testrecord::kTable);
    QCOMPARE(rows.size(), 2);
    const QVariantMap &row = rows.last();
    QCOMPARE(row.value(schema::testrecord::kUser).toString(), kChild);
    QCOMPARE(row.value(schema::testrecord::kMonthAge).toInt(), 36);
    QCOMPARE(row.value(schema::testrecord::kHeight).toDouble(), 95.5);
    QCOMPARE(row.value(schema::testrecord::kWeight).toDouble(), 14.0);
    QCOMPARE(row.value(schema::testrecord::kHeartRate).toDouble(), 120.0);
    QCOMPARE(row.value(schema::testrecord::kBreath).toDouble(), 30.0);
    QCOMPARE(QDate::fromString(row.value(schema::testrecord::kMeasured).toString(), QStringLiteral("yyyy-M-d")),
        QDate::currentDate());
    for (int k = 1; k <= 5; ++k)
        QVERIFY(row.value(QStringLiteral("a%1").arg(k)).isNull());

    // Abandoned questionnaire: that month age is refused from now on.
    TestForm again(&mainWindow);
    QCOMPARE(box(again, 1)->text(), QStringLiteral("37"));
    fill(again, QStringLiteral("36"));
    startCmd(again)->click();
    QCOMPARE(recorder.messages, QStringList {QStringLiteral("36月已经测试过了，不能再作测试")});
}

QTEST_MAIN(TestTestForm)
#include "tst_testform.moc"
