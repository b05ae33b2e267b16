#include "app/MainForm.h"
#include "core/data/Schema.h"
#include "support/TempDatabase.h"
#include "support/TestSupport.h"
#include "ui/CurrentValues.h"
#include "windows/assessment/QuesForm.h"
#include "windows/assessment/TestForm.h"
#include "windows/profiles/BrowForm.h"
#include "windows/profiles/InputForm.h"
#include "windows/reports/OutForm.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using testsupport::child;
using testsupport::MessageRecorder;
using testsupport::ModalWatcher;
using testsupport::TempDatabase;

namespace {

QString text(QWidget *form, const QString &lineEdit)
{
    return child<QLineEdit>(form, lineEdit)->text();
}

void setText(QWidget *form, const QString &lineEdit, const QString &value)
{
    child<QLineEdit>(form, lineEdit)->setText(value);
}

QStringList names(QWidget *selection)
{
    auto *list = child<QListWidget>(selection, QStringLiteral("List1"));
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result.append(list->item(i)->text());
    return result;
}

// Three profiles, one name twice, and one without a name.
void addProfiles(const TempDatabase &db)
{
    for (const QVariant &name : {QVariant(QStringLiteral("张三")), QVariant(), QVariant(QStringLiteral("李四")),
             QVariant(QStringLiteral("张三"))})
        db.addRow(
            schema::user::kTable, {{schema::user::kName, name}, {schema::user::kBirth, QStringLiteral("2005-3-15")}});
}

} // namespace

class TestMainForm : public QObject {
    Q_OBJECT
private slots:
    void menusInOrder();
    void layoutAndHiddenButtons();
    void currentChildAtStartUp_data();
    void currentChildAtStartUp();
    void separatorItemDoesNothing();
    void exitEndsTheApplication();
    // The menu commands and the windows they open one after the other.
    void testChainFromTheMenu();
    void selectionListRebuiltOnEveryOpening();
    void profileOpensForTheChosenChild();
    void newProfileThroughTheMenu();
    void reportWindowFromTheMenu();
};

void TestMainForm::menusInOrder()
{
    TempDatabase temp;
    MainForm form;
    const QList<QPair<QString, QString>> menus {
        {QStringLiteral("useradmi"), QStringLiteral("用户管理")},
        {QStringLiteral("multi"), QStringLiteral("多元测试")},
        {QStringLiteral("home"), QStringLiteral("家庭教育")},
        {QStringLiteral("shop"), QStringLiteral("网络购物")},
        {QStringLiteral("Vesk"), QStringLiteral("禾岚教育")},
    };
    const QList<QStringList> items {
        {QStringLiteral("dispuser:修改用户"), QStringLiteral("exit:退出")},
        {QStringLiteral("test:进行测试"), QStringLiteral("outputreport:活动方案")},
        {QStringLiteral("net:网络启智"), QStringLiteral("no:---------"), QStringLiteral("deve:智力开发"),
            QStringLiteral("eq:情商教育"), QStringLiteral("phsy:健康安全"), QStringLiteral("lilun:行为习惯"),
            QStringLiteral("qita:其他")},
        {QStringLiteral("zhili:智力开发"), QStringLiteral("train:培训招生"), QStringLiteral("toy:儿童玩具")},
        {QStringLiteral("mi:多元智能"), QStringLiteral("about:关于我们")},
    };
    const QList<QAction *> bar = form.menuBar()->actions();
    QCOMPARE(bar.size(), menus.size());
    for (int m = 0; m < menus.size(); ++m) {
        QMenu *menu = bar.at(m)->menu();
        QVERIFY(menu);
        QCOMPARE(menu->objectName(), menus.at(m).first);
        QCOMPARE(menu->title(), menus.at(m).second);
        QStringList found;
        for (QAction *a : menu->actions()) {
            found << a->objectName() + QLatin1Char(':') + a->text();
            QVERIFY(a->isEnabled() && a->isVisible());
            QVERIFY(a->shortcut().isEmpty());
            QVERIFY(!a->isSeparator());
        }
        QCOMPARE(found, items.at(m));
    }
}

void TestMainForm::layoutAndHiddenButtons()
{
    TempDatabase temp;
    MainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.centralWidget()->size(), QSize(461, 366));
    QVERIFY(!form.windowTitle().isEmpty());
    QCOMPARE(child<QLabel>(&form, QStringLiteral("Label1"))->text(), QStringLiteral("一切为了孩子"));
    QCOMPARE(child<QLabel>(&form, QStringLiteral("Label2"))->text(), QStringLiteral("ALL FOR KIDS"));
    QCOMPARE(child<QLabel>(&form, QStringLiteral("Label3"))->text(),
        QStringLiteral("智能(Intelligence)    诚实(Integrity) \n创新(Innovation)      进步(Improvement)"));
    QCOMPARE(child<QLabel>(&form, QStringLiteral("I1"))->geometry(), QRect(8, 0, 94, 77));
    QVERIFY(!child<QLabel>(&form, QStringLiteral("I1"))->pixmap().isNull());
    QVERIFY(!child<QLabel>(&form, QStringLiteral("Picture1"))->pixmap().isNull());
    const QStringList buttons {QStringLiteral("InputCmd"), QStringLiteral("TestCmd"), QStringLiteral("OutCmd")};
    for (const QString &name : buttons) {
        QVERIFY(!child<QPushButton>(&form, name)->isVisible());
    }
}

void TestMainForm::currentChildAtStartUp_data()
{
    QTest::addColumn<QVariantList>("names");
    QTest::addColumn<QString>("current");
    QTest::newRow("several children") << QVariantList {QStringLiteral("小明"), QStringLiteral("小红"),
        QStringLiteral("小刚")} << QStringLiteral("小明");
    QTest::newRow("no child") << QVariantList {} << QString();
    QTest::newRow("first name Null") << QVariantList {QVariant(), QStringLiteral("小红")} << QString();
}

void TestMainForm::currentChildAtStartUp()
{
    QFETCH(QVariantList, names);
    QFETCH(QString, current);
    TempDatabase temp;
    for (const QVariant &name : names)
        temp.addRow(schema::user::kTable, {{schema::user::kName, name}});
    current::userName = QStringLiteral("left over from an earlier run");
    MainForm form;
    QCOMPARE(current::userName, current);
}

void TestMainForm::separatorItemDoesNothing()
{
    TempDatabase temp;
    testsupport::AddressRecorder addresses;
    testsupport::MessageRecorder messages;
    MainForm form;
    form.show();
    child<QAction>(&form, QStringLiteral("no"))->trigger();
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(addresses.addresses.isEmpty());
    QVERIFY(messages.messages.isEmpty());
    QVERIFY(form.isVisible());
}

void TestMainForm::exitEndsTheApplication()
{
    TempDatabase temp;
    MainForm form;
    form.show();
    QTimer::singleShot(0, &form, [&form] { child<QAction>(&form, QStringLiteral("exit"))->trigger(); });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, qApp, [] { QApplication::exit(99); });
    watchdog.start(10000);
    QCOMPARE(QApplication::exec(), 0);
}

void TestMainForm::testChainFromTheMenu()
{
    const QString kChild = QStringLiteral("小明");
    const QString kOtherChild = QStringLiteral("小红");
    TempDatabase db;
    db.addRow(schema::user::kTable, {{schema::user::kName, kChild}});
    db.addRow(schema::user::kTable, {{schema::user::kName, kOtherChild}});
    db.addRow(schema::testrecord::kTable,
        {{schema::testrecord::kUser, kChild}, {schema::testrecord::kMonthAge, 1}, {schema::testrecord::kHeight, 70}});
    const QList<std::pair<QString, int>> items {
        {QStringLiteral("生理"), 2}, {QStringLiteral("运动"), 3}, {QStringLiteral("生理"), 1}};
    for (const auto &[clas, fen] : items)
        db.addRow(schema::test::kTable,
            {{schema::test::kAge, 2}, {schema::test::kItem, clas}, {schema::test::kGoal, clas},
                {schema::test::kClass, clas}, {schema::test::kPoints, fen}});
    MessageRecorder recorder;
    ModalWatcher::resetTimedOut();

    MainForm mainForm;
    mainForm.show();
    QCOMPARE(current::userName, kChild);
    // The selection window chooses the second child where it offers a list;
    // otherwise it is closed and the current child stays.
    QString expectedChild = kChild;
    bool questionnaireDone = false;

    ModalWatcher::when<BrowForm>([&](BrowForm *brow) {
        ModalWatcher::when<TestForm>([&](TestForm *test) {
            QCOMPARE(text(test, QStringLiteral("Text1")), QStringLiteral("2"));
            const QStringList entries {QStringLiteral("2"), QStringLiteral("58"), QStringLiteral("5.6"),
                QStringLiteral("120"), QStringLiteral("30")};
            for (int n = 1; n <= 5; ++n)
                setText(test, QStringLiteral("Text%1").arg(n), entries.at(n - 1));
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
            child<QPushButton>(test, QStringLiteral("Command1"))->click();
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

void TestMainForm::selectionListRebuiltOnEveryOpening()
{
    TempDatabase db;
    addProfiles(db);
    MainForm mainForm;
    QList<QStringList> seen;
    auto closeBoth = [&] {
        ModalWatcher::when<BrowForm>([&](BrowForm *form) {
            seen.append(names(form));
            ModalWatcher::when<InputForm>([](InputForm *profile) { profile->close(); });
            form->close();
        });
        child<QAction>(&mainForm, QStringLiteral("dispuser"))->trigger();
    };
    closeBoth();
    db.addRow(schema::user::kTable, {{schema::user::kName, QStringLiteral("王五")}});
    closeBoth();
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen[0], (QStringList {QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("张三")}));
    QCOMPARE(seen[1],
        (QStringList {QStringLiteral("张三"), QStringLiteral("李四"), QStringLiteral("张三"), QStringLiteral("王五")}));
}

void TestMainForm::profileOpensForTheChosenChild()
{
    TempDatabase db;
    addProfiles(db);
    MainForm mainForm;
    QCOMPARE(current::userName, QStringLiteral("张三"));
    QString shownName;
    ModalWatcher::when<BrowForm>([&](BrowForm *form) {
        ModalWatcher::when<InputForm>([&](InputForm *profile) {
            shownName = text(profile, QStringLiteral("TextName"));
            profile->close();
        });
        child<QListWidget>(form, QStringLiteral("List1"))->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
        child<QPushButton>(form, QStringLiteral("cmdOK"))->click();
    });
    child<QAction>(&mainForm, QStringLiteral("dispuser"))->trigger();
    QCOMPARE(shownName, QStringLiteral("李四"));
    QCOMPARE(current::userName, QStringLiteral("李四"));
}

void TestMainForm::newProfileThroughTheMenu()
{
    TempDatabase db;
    MessageRecorder messages;
    ModalWatcher::resetTimedOut();
    MainForm mainForm;
    QVERIFY(current::userName.isEmpty());
    const QStringList fields {QStringLiteral("TextName"), QStringLiteral("TextPname"), QStringLiteral("TextPhone"),
        QStringLiteral("TextEmail"), QStringLiteral("TextAddr")};
    const QStringList typed {QStringLiteral("小明"), QStringLiteral("王大明 李小红"), QStringLiteral("010-12345678"),
        QStringLiteral("family@example.cn"), QStringLiteral("北京市海淀区一号")};
    bool profileShown = false;
    ModalWatcher::when<QDialog>([&](QDialog *selection) {
        QCOMPARE(selection->objectName(), QStringLiteral("BrowForm"));
        ModalWatcher::when<InputForm>([&](InputForm *form) {
            profileShown = true;
            // Nothing is appended while the form is open.
            QVERIFY(db.rows(schema::user::kTable).isEmpty());
            QCOMPARE(form->windowTitle(), QStringLiteral("填写基本信息"));
            auto *confirm = child<QPushButton>(form, QStringLiteral("ConfirmCmd"));
            QCOMPARE(confirm->text(), QStringLiteral("修改完成"));
            QStringList shown;
            for (const char *list : {"ComboYear", "ComboMonth", "ComboDay", "ComboSex"})
                shown << child<QComboBox>(form, QString::fromLatin1(list))->currentText();
            QCOMPARE(shown.join(QLatin1Char(' ')), QStringLiteral("2003 1 1 男"));
            for (qsizetype i = 0; i < fields.size(); ++i) {
                QVERIFY(text(form, fields.at(i)).isEmpty());
                setText(form, fields.at(i), typed.at(i));
            }
            confirm->click();
        });
        selection->close();
    });
    child<QAction>(&mainForm, QStringLiteral("dispuser"))->trigger();

    QVERIFY(profileShown);
    QVERIFY(!ModalWatcher::timedOut());
    QVERIFY(messages.messages.isEmpty());
    const QList<QVariantMap> rows = db.rows(schema::user::kTable);
    QCOMPARE(rows.size(), 1);
    const QStringList columns {
        schema::user::kName, schema::user::kParent, schema::user::kPhone, schema::user::kEmail, schema::user::kAddress};
    for (qsizetype i = 0; i < columns.size(); ++i)
        QCOMPARE(rows[0].value(columns.at(i)).toString(), typed.at(i));
    QCOMPARE(rows[0].value(schema::user::kSex).toString(), QStringLiteral("男"));
    QCOMPARE(rows[0].value(schema::user::kBirth).toString(), QStringLiteral("2003-1-1"));
    // Saving a new profile does not change the current child.
    QVERIFY(current::userName.isEmpty());
}

void TestMainForm::reportWindowFromTheMenu()
{
    const QString kChild = QStringLiteral("小明");
    TempDatabase db;
    db.addRow(schema::user::kTable, {{schema::user::kName, kChild}});
    for (int m : {1, 2, 3}) {
        QVariantMap month {{schema::testrecord::kUser, kChild}, {schema::testrecord::kMonthAge, m}};
        for (int d = 1; d <= 5; ++d)
            month.insert(schema::testrecord::score(d), 8.0 + d);
        db.addRow(schema::testrecord::kTable, month);
    }
    MessageRecorder messages;
    testsupport::AddressRecorder addresses;
    MainForm main;
    QCOMPARE(current::userName, kChild);

    ModalWatcher::resetTimedOut();
    bool seen = false;
    ModalWatcher::when<OutForm>([&](OutForm *form) {
        seen = true;
        QCOMPARE(form->parentWidget(), &main);
        QCOMPARE(child<QComboBox>(form, QStringLiteral("ComboMon"))->currentText(), QStringLiteral("3"));
        child<QPushButton>(form, QStringLiteral("OKCmd"))->click();
        form->close();
    });
    child<QAction>(&main, QStringLiteral("outputreport"))->trigger();
    QVERIFY(seen);
    QVERIFY(!ModalWatcher::timedOut());
    QCOMPARE(messages.messages, QStringList {QStringLiteral("4月的教育方案需要联网获取!")});
    QCOMPARE(addresses.addresses.size(), 1);
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
