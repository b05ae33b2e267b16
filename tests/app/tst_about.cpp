#include "app/MainForm.h"
#include "app/frmAbout.h"
#include "platform/SystemInfo.h"
#include "support/FakeRegistry.h"
#include "support/TempDatabase.h"
#include "support/TestSupport.h"
#include "ui/AppInfo.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using testsupport::child;
using testsupport::MessageRecorder;
using testsupport::ModalWatcher;
using testsupport::TempDatabase;

namespace {
const QString kUnavailable = QStringLiteral("系统信息暂时不能使用！");

// Installs a fake registry and captures the programs started.
struct SysInfoSetup {
    SysInfoSetup()
    {
        platform::setRegistry(&registry);
        sysinfo::setProgramStarter([this](const QString &program, const QStringList &) {
            started << program;
            return startSucceeds;
        });
    }
    ~SysInfoSetup()
    {
        platform::setRegistry(nullptr);
        sysinfo::setProgramStarter({});
    }
    FakeRegistry registry;
    QStringList started;
    bool startSucceeds = true;
};

// Opens the dialog from the main window's menu, runs the handler while it is
// shown and returns whether it closed on its own (not by the watcher).
bool runFromMenu(const std::function<void(frmAbout *)> &handler)
{
    TempDatabase db;
    MainForm main;
    ModalWatcher::resetTimedOut();
    ModalWatcher::when<frmAbout>([&](frmAbout *dialog) { handler(dialog); }, 3000);
    child<QAction>(&main, QStringLiteral("about"))->trigger();
    return !ModalWatcher::timedOut();
}
} // namespace

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void layoutAndTexts();
    void closes_data();
    void closes();
    void startsTheTool();
    void enterOnTheToolButtonStartsTheTool();
    void unavailable_data();
    void unavailable();
};

void TestAbout::layoutAndTexts()
{
    frmAbout dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("关于") + appinfo::kProductTitle);
    QCOMPARE(dialog.size(), QSize(382, 237));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QCOMPARE(dialog.pos(), QPoint(156, 129));
    QCOMPARE(dialog.palette().color(QPalette::Window), QColor(Qt::white));
    QVERIFY(dialog.autoFillBackground());

    auto label = [&](const char *name) { return child<QLabel>(&dialog, QString::fromLatin1(name)); };
    QCOMPARE(label("Image1")->geometry(), QRect(8, 8, 92, 85));
    QVERIFY(label("Image1")->hasScaledContents());
    QVERIFY(!label("Image1")->pixmap().isNull());

    QCOMPARE(label("lblTitle")->text(), appinfo::kProductTitle);
    QCOMPARE(label("lblTitle")->geometry(), QRect(104, 8, 259, 40));
    const QFont title = label("lblTitle")->font();
    QCOMPARE(title.family(), QStringLiteral("Times New Roman"));
    QVERIFY(title.bold() && title.italic());
    // 21.75 points, or as much as lets the whole title fit its box.
    QVERIFY(title.pointSizeF() <= 21.75 && title.pointSizeF() >= 16);
    QVERIFY(QFontMetrics(title).horizontalAdvance(appinfo::kProductTitle) <= 259);

    QCOMPARE(label("lblVersion")->text(), QStringLiteral("版本 ver1.0"));
    QCOMPARE(label("lblVersion")->geometry(), QRect(104, 52, 259, 15));
    QVERIFY(label("lblVersion")->font().italic());
    QCOMPARE(label("lblVersion")->font().pointSizeF(), 12.0);

    QCOMPARE(label("lblDescription")->geometry(), QRect(120, 80, 259, 94));
    QVERIFY(label("lblDescription")->wordWrap());
    QCOMPARE(label("lblDescription")->text().split(QLatin1Char('\n')),
        (QStringList {
            QStringLiteral("    宝宝在0-3岁阶段发育较快，很难做出客观准确地评价。测评结果主要供家长教育时作参考。"),
            QStringLiteral("    这个版本为简版，供家庭使用，不提供亲子教育方案。本中心为会员提供分月份的活动指导，"
                           "让家长把家变成亲子中心，比去亲子中心会有更好的效果。")}));

    auto *grey = child<QFrame>(&dialog, QStringLiteral("Line1_1"));
    auto *white = child<QFrame>(&dialog, QStringLiteral("Line1_0"));
    QCOMPARE(grey->geometry(), QRect(8, 168, 372, 1));
    QCOMPARE(grey->palette().color(QPalette::Window), QColor(128, 128, 128));
    QCOMPARE(white->geometry(), QRect(8, 168, 371, 2));

    auto *ok = child<QPushButton>(&dialog, QStringLiteral("cmdOK"));
    auto *sysInfo = child<QPushButton>(&dialog, QStringLiteral("cmdSysInfo"));
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QCOMPARE(ok->geometry(), QRect(283, 176, 84, 23));
    QVERIFY(ok->isDefault());
    QCOMPARE(sysInfo->text(), QStringLiteral("系统信息"));
    QCOMPARE(sysInfo->geometry(), QRect(284, 205, 83, 23));
}

void TestAbout::closes_data()
{
    QTest::addColumn<int>("key"); // 0: a click on OK
    QTest::newRow("OK") << 0;
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
}

void TestAbout::closes()
{
    QFETCH(int, key);
    QPoint shownAt;
    QString focusName;
    const bool closed = runFromMenu([&](frmAbout *dialog) {
        shownAt = dialog->pos();
        // The window system hands the focus over a moment after the dialog shows.
        const bool focusArrived = QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }, 5000);
        Q_UNUSED(focusArrived); // the comparison below tells which widget has it
        QWidget *focus = QApplication::focusWidget();
        focusName = focus ? focus->objectName() : QString();
        if (key == 0)
            child<QPushButton>(dialog, QStringLiteral("cmdOK"))->click();
        else
            QTest::keyClick(focus ? focus : dialog, Qt::Key(key));
    });
    QVERIFY(closed);
    QCOMPARE(shownAt, QPoint(156, 129));
    QCOMPARE(focusName, QStringLiteral("cmdOK"));
}

void TestAbout::startsTheTool()
{
    SysInfoSetup setup;
    setup.registry.setText("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", "/usr/bin/sysinfo-tool");
    MessageRecorder messages;
    bool stayedOpen = false;
    const bool closed = runFromMenu([&](frmAbout *dialog) {
        child<QPushButton>(dialog, QStringLiteral("cmdSysInfo"))->click();
        stayedOpen = dialog->isVisible();
        child<QPushButton>(dialog, QStringLiteral("cmdOK"))->click();
    });
    QVERIFY(closed);
    QVERIFY(stayedOpen);
    QCOMPARE(setup.started, QStringList {QStringLiteral("/usr/bin/sysinfo-tool")});
    QVERIFY(messages.messages.isEmpty());
}

void TestAbout::enterOnTheToolButtonStartsTheTool()
{
    SysInfoSetup setup;
    setup.registry.setText("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", "/usr/bin/sysinfo-tool");
    MessageRecorder messages;
    bool typed = false;
    bool stayedOpen = false;
    bool okWasDefault = true;
    const bool closed = runFromMenu([&](frmAbout *dialog) {
        auto *sysInfo = child<QPushButton>(dialog, QStringLiteral("cmdSysInfo"));
        typed = testsupport::typeOnFocused(sysInfo, Qt::Key_Return);
        stayedOpen = dialog->isVisible();
        okWasDefault = child<QPushButton>(dialog, QStringLiteral("cmdOK"))->isDefault();
        child<QPushButton>(dialog, QStringLiteral("cmdOK"))->click();
    });
    QVERIFY(closed);
    QVERIFY(typed);
    QVERIFY(stayedOpen);
    QVERIFY(!okWasDefault); // not while another button has the focus
    QCOMPARE(setup.started, QStringList {QStringLiteral("/usr/bin/sysinfo-tool")});
    QVERIFY(messages.messages.isEmpty());
}

void TestAbout::unavailable_data()
{
    QTest::addColumn<int>("setup");
    QTest::newRow("nothing registered") << 0;
    QTest::newRow("second value, file missing") << 1;
    QTest::newRow("access refused") << 2;
    QTest::newRow("tool does not start") << 3;
}

void TestAbout::unavailable()
{
    QFETCH(int, setup);
    SysInfoSetup sys;
    switch (setup) {
    case 1:
        sys.registry.setText("SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", "/nonexistent/MSInfo");
        break;
    case 2:
        sys.registry.setText("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", "/usr/bin/sysinfo-tool");
        sys.registry.refuseEverything();
        break;
    case 3:
        sys.registry.setText("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", "/usr/bin/sysinfo-tool");
        sys.startSucceeds = false;
        break;
    }
    MessageRecorder messages;
    bool openAtMessage = false;
    frmAbout *shown = nullptr;
    messages.onMessage = [&](const QString &) { openAtMessage = shown && shown->isVisible(); };
    bool stayedOpen = false;
    const bool closed = runFromMenu([&](frmAbout *dialog) {
        shown = dialog;
        child<QPushButton>(dialog, QStringLiteral("cmdSysInfo"))->click();
        stayedOpen = dialog->isVisible();
        child<QPushButton>(dialog, QStringLiteral("cmdOK"))->click();
    });
    QVERIFY(closed);
    QCOMPARE(messages.messages, QStringList {kUnavailable});
    QVERIFY(openAtMessage);
    QVERIFY(stayedOpen);
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
