#include "app/MainForm.h"
#include "core/data/Schema.h"
#include "support/TestSupport.h"
#include "ui/CurrentValues.h"
#include "windows/assessment/QuesForm.h"
#include "windows/assessment/TestForm.h"
#include "windows/profiles/BrowForm.h"

#include <QAction>
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
    void wholeChainFromTheMenu();
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

void TestTestForm::wholeChainFromTheMenu()
{
    TempDatabase db;
    db.addRow(schema::user::kTable, {{schema::user::kName, kChild}});
    db.addRow(schema::user::kTable, {{schema::user::kName, kOtherChild}});
    addMonth(db, kChild, 1);
    addItem(db, 2, QStringLiteral("一"), QStringLiteral("生理"), 2);
    addItem(db, 2, QStringLiteral("二"), QStringLiteral("运动"), 3);
    addItem(db, 2, QStringLiteral("三"), QStringLiteral("生理"), 1);
    testsupport::MessageRecorder recorder;

    MainForm mainForm;
    mainForm.show();
    QCOMPARE(current::userName, kChild);
    // The selection window chooses the second child where it offers a list;
    // otherwise it is closed and the current child stays.
    QString expectedChild = kChild;
    bool questionnaireDone = false;

    ModalWatcher::when<BrowForm>([&](BrowForm *brow) {
        ModalWatcher::when<TestForm>([&](TestForm *test) {
            QCOMPARE(box(*test, 1)->text(), QStringLiteral("2"));
            fill(*test, QStringLiteral("2"), QStringLiteral("58"), QStringLiteral("5.6"));
            ModalWatcher::when<QuesForm>([&](QuesForm *ques) {
                QCOMPARE(ques->windowTitle(), QStringLiteral("2月测试题"));
                auto *next = child<QPushButton>(ques, QStringLiteral("NextCmd"));
                const int ratings[] = {1, 3, 5};
                for (int rating : ratings) {
                    child<QRadioButton>(ques, QStringLiteral("Option%1").arg(rating))->click();
                    next->click();
                }
                QCOMPARE(next->text(), QStringLiteral("测试结果"));
                next->click();
                questionnaireDone = true;
            });
            startCmd(*test)->click();
        });
        auto *list = child<QListWidget>(brow, QStringLiteral("List1"));
        auto *ok = child<QPushButton>(brow, QStringLiteral("cmdOK"));
        const QList<QListWidgetItem *> found = list->findItems(kOtherChild, Qt::MatchExactly);
        if (!found.isEmpty()) {
            list->setCurrentItem(found.first());
            expectedChild = kOtherChild;
            ok->click();
        } else {
            brow->reject();
        }
    });
    child<QAction>(&mainForm, QStringLiteral("test"))->trigger();

    QVERIFY(!ModalWatcher::timedOut());
    QVERIFY(questionnaireDone);
    QCOMPARE(recorder.messages, QStringList {QStringLiteral("您孩子的分数是:5")});
    // Every window of the chain is closed; the main window has control again.
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY2(w == &mainForm || !w->isVisible(), qPrintable(w->objectName()));
    QVERIFY(mainForm.isVisible());

    const QList<QVariantMap> rows = db.rows(schema::testrecord::kTable);
    QCOMPARE(rows.size(), 2);
    const QVariantMap &row = rows.last();
    QCOMPARE(row.value(schema::testrecord::kUser).toString(), expectedChild);
    QCOMPARE(row.value(schema::testrecord::kMonthAge).toInt(), 2);
    QCOMPARE(row.value(schema::testrecord::kHeight).toDouble(), 58.0);
    QCOMPARE(row.value(schema::testrecord::kWeight).toDouble(), 5.6);
    QCOMPARE(row.value(schema::testrecord::answers(1)).toString(), QStringLiteral("15"));
    QCOMPARE(row.value(schema::testrecord::score(1)).toDouble(), 2.7);
    QCOMPARE(row.value(schema::testrecord::answers(2)).toString(), QStringLiteral("3"));
    QVERIFY(row.value(schema::testrecord::score(2)).toDouble() == 3 * 0.8);
    QCOMPARE(current::monthAge, std::int16_t(2));
}

QTEST_MAIN(TestTestForm)
#include "tst_testform.moc"
