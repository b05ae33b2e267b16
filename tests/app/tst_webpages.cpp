#include "app/MainForm.h"
#include "app/WebPages.h"
#include "support/TempDatabase.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QLabel>
#include <QWindow>
#include <QtTest>

using testsupport::AddressRecorder;
using testsupport::child;
using testsupport::TempDatabase;

// The web page commands of the main window: ten menu items and the logo.
class TestWebPages : public QObject {
    Q_OBJECT
private slots:
    void menuItemOpensItsPage_data();
    void menuItemOpensItsPage();
    void logoOpensTheSiteItself();
    void logoIsClickedLikeAButton();
    void eachChoiceIsOneRequest();
    void separatorOpensNothing();
};

void TestWebPages::menuItemOpensItsPage_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("path");
    QTest::newRow("网络启智") << QStringLiteral("net") << QStringLiteral("\\online");
    QTest::newRow("家庭教育 智力开发") << QStringLiteral("deve") << QStringLiteral("\\fedu\\study.asp");
    QTest::newRow("情商教育") << QStringLiteral("eq") << QStringLiteral("\\fedu\\relate.asp");
    QTest::newRow("健康安全") << QStringLiteral("phsy") << QStringLiteral("\\fedu\\safe.asp");
    QTest::newRow("行为习惯") << QStringLiteral("lilun") << QStringLiteral("\\fedu\\custom.asp");
    QTest::newRow("其他") << QStringLiteral("qita") << QStringLiteral("\\fedu\\other.asp");
    QTest::newRow("网络购物 智力开发") << QStringLiteral("zhili") << QStringLiteral("\\shop\\");
    QTest::newRow("培训招生") << QStringLiteral("train") << QStringLiteral("\\multi\\");
    QTest::newRow("儿童玩具") << QStringLiteral("toy") << QStringLiteral("\\shop\\toy.asp");
    QTest::newRow("多元智能") << QStringLiteral("mi") << QStringLiteral("\\");
}

void TestWebPages::menuItemOpensItsPage()
{
    QFETCH(QString, item);
    QFETCH(QString, path);
    TempDatabase db;
    MainForm main;
    AddressRecorder recorder;
    auto *action = child<QAction>(&main, item);
    action->trigger();
    QCOMPARE(recorder.addresses, QStringList {webpages::baseUrl() + path});
}

void TestWebPages::logoOpensTheSiteItself()
{
    TempDatabase db;
    MainForm main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    AddressRecorder recorder;
    auto *logo = child<QLabel>(&main, QStringLiteral("I1"));
    QTest::mouseClick(logo, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseClick(logo, Qt::LeftButton, {}, QPoint(logo->width() - 3, logo->height() - 3));
    QCOMPARE(recorder.addresses, (QStringList {webpages::baseUrl(), webpages::baseUrl()}));
    // Other buttons do nothing.
    QTest::mouseClick(logo, Qt::RightButton);
    QCOMPARE(recorder.addresses.size(), 2);
}

void TestWebPages::logoIsClickedLikeAButton()
{
    TempDatabase db;
    MainForm main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    AddressRecorder recorder;
    auto *logo = child<QLabel>(&main, QStringLiteral("I1"));
    // Through the window, as the window system delivers the mouse.
    QWindow *window = main.windowHandle();
    const QPoint onLogo = logo->mapTo(&main, QPoint(10, 10));
    const QPoint offLogo = logo->mapTo(&main, QPoint(logo->width() + 40, 10));

    // The second press of a double click is no click: the site opens once.
    QTest::mouseDClick(window, Qt::LeftButton, {}, onLogo);
    QCOMPARE(recorder.addresses, QStringList {webpages::baseUrl()});

    // Pressed on the logo and released beside it: no click.
    QTest::mousePress(window, Qt::LeftButton, {}, onLogo);
    QTest::mouseMove(window, offLogo);
    QTest::mouseRelease(window, Qt::LeftButton, {}, offLogo);
    QCOMPARE(recorder.addresses.size(), 1);

    // Moved off and back before the release: still a click.
    QTest::mousePress(window, Qt::LeftButton, {}, onLogo);
    QTest::mouseMove(window, offLogo);
    QTest::mouseMove(window, onLogo);
    QTest::mouseRelease(window, Qt::LeftButton, {}, onLogo);
    QCOMPARE(recorder.addresses.size(), 2);
}

void TestWebPages::eachChoiceIsOneRequest()
{
    TempDatabase db;
    MainForm main;
    AddressRecorder recorder;
    auto *deve = child<QAction>(&main, QStringLiteral("deve"));
    auto *zhili = child<QAction>(&main, QStringLiteral("zhili"));
    deve->trigger();
    deve->trigger();
    zhili->trigger();
    const QString study = webpages::baseUrl() + QStringLiteral("\\fedu\\study.asp");
    const QString shop = webpages::baseUrl() + QStringLiteral("\\shop\\");
    QCOMPARE(recorder.addresses, (QStringList {study, study, shop}));
    QCOMPARE(deve->text(), zhili->text()); // same caption, different pages
}

void TestWebPages::separatorOpensNothing()
{
    TempDatabase db;
    MainForm main;
    AddressRecorder recorder;
    child<QAction>(&main, QStringLiteral("no"))->trigger();
    QVERIFY(recorder.addresses.isEmpty());
}

QTEST_MAIN(TestWebPages)
#include "tst_webpages.moc"
