#include "app/MainForm.h"
#include "core/data/Schema.h"
#include "support/TestSupport.h"
#include "ui/CurrentValues.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

using testsupport::child;
using testsupport::TempDatabase;

class TestMainForm : public QObject {
    Q_OBJECT
private slots:
    void menusInOrder();
    void layoutAndHiddenButtons();
    void currentChildAtStartUp_data();
    void currentChildAtStartUp();
    void separatorItemDoesNothing();
    void exitEndsTheApplication();
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

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
