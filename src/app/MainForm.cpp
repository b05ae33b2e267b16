#include "MainForm.h"
#include "ui/Controls.h"

#include "Assets.h"
#include "WebPages.h"
#include "app/frmAbout.h"
#include "core/data/AssessmentDb.h"
#include "core/data/Records.h"
#include "core/data/Schema.h"
#include "platform/AddressOpener.h"
#include "ui/AppInfo.h"
#include "ui/CurrentValues.h"
#include "ui/Fonts.h"
#include "ui/ModalWindow.h"
#include "windows/assessment/TestForm.h"
#include "windows/profiles/BrowForm.h"
#include "windows/profiles/InputForm.h"
#include "windows/reports/OutForm.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace {

constexpr double kMottoPointSize = 24;
constexpr double kEnglishMottoPointSize = 15.75;
constexpr double kValuesPointSize = 14.25;

// A label whose lines share its height evenly. The free Hei fonts have taller
// lines than the classic face the layout was drawn for; spread this way, two
// lines still fit the 41-pixel box.
class LinesLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.setFont(font());
        const QStringList lines = text().split(QLatin1Char('\n'));
        const QFontMetrics metrics(font());
        const int pitch = std::min(metrics.lineSpacing(), height() / std::max(1, int(lines.size())));
        for (int i = 0; i < lines.size(); ++i)
            painter.drawText(QPoint(0, metrics.ascent() + i * pitch), lines.at(i));
    }
};

} // namespace

MainForm::MainForm(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(appinfo::kTitle);
    setFont(fonts::font(fonts::kSimSun, fonts::kLargeWindowPointSize));
    assets::init();
    buildControls();
    buildMenus();

    // Load step: hold the database for the window's life; the first row's name
    // is the current child (only that row is read, however many children the
    // file holds). A new family has no child yet (no row, or a first row
    // without a name): the current child stays empty.
    m_db = assessmentdb::open();
    m_users = records::firstChild(m_db);
    current::userName = m_users.AtEOF() ? QString() : dao::textOr(m_users.Fields(schema::user::kName).Value(), {});

    setFixedSize(sizeHint());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

MainForm::~MainForm() = default;

void MainForm::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(461, 366);
    setCentralWidget(client);

    auto *logo = controls::label(client, "I1", QString(), QRect(8, 0, 94, 77));
    logo->setPixmap(QPixmap(QStringLiteral(":/assets/logo.bmp")));
    logo->setScaledContents(true);
    logo->setCursor(Qt::PointingHandCursor);
    logo->installEventFilter(this);

    auto *motto = controls::label(client, "Label1", QStringLiteral("一切为了孩子"), QRect(128, 8, 233, 49));
    motto->setFont(fonts::forFixedText(fonts::font(fonts::kLiSu, kMottoPointSize, true), motto->text()));
    controls::setTextColour(motto, QColor(255, 0, 0));

    auto *english = controls::label(client, "Label2", QStringLiteral("ALL FOR KIDS"), QRect(256, 40, 273, 33));
    english->setFont(fonts::forFixedText(
        fonts::font(QStringLiteral("Verdana"), kEnglishMottoPointSize, true, true), english->text()));
    controls::setTextColour(english, QColor(192, 64, 0));

    auto *picture = controls::label(client, "Picture1", QString(), QRect(48, 72, 361, 241));
    picture->setPixmap(QPixmap(QStringLiteral(":/assets/picture.bmp")));

    // The three main commands, reached from the menu only.
    const struct {
        const char *name;
        QString caption;
        QRect geometry;
        void (MainForm::*command)();
    } buttons[] = {
        {"OutCmd", QStringLiteral("出报告"), QRect(264, 160, 89, 33), &MainForm::reportCommand},
        {"TestCmd", QStringLiteral("测试"), QRect(152, 192, 81, 33), &MainForm::testCommand},
        {"InputCmd", QStringLiteral("输入"), QRect(80, 224, 81, 33), &MainForm::inputCommand},
    };
    for (const auto &b : buttons) {
        QPushButton *button = controls::button(client, b.name, b.caption, b.geometry);
        button->hide();
        connect(button, &QPushButton::clicked, this, b.command);
    }

    auto *values = new LinesLabel(
        QStringLiteral("智能(Intelligence)    诚实(Integrity) \n创新(Innovation)      进步(Improvement)"), client);
    values->setObjectName(QStringLiteral("Label3"));
    values->setGeometry(24, 320, 425, 41);
    values->setFont(fonts::forFixedText(fonts::font(fonts::kSimHei, kValuesPointSize, true), values->text()));
    controls::setTextColour(values, QColor(192, 0, 0));
}

void MainForm::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    // Menus use the desktop's menu font, not the window's large text font.
    bar->setFont(QApplication::font(bar));
    auto addMenu = [bar](const char *name, const QString &caption) {
        QMenu *menu = bar->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Action"));
        return menu;
    };
    auto addItem = [this](QMenu *menu, const char *name, const QString &caption, auto slot) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    auto addWebItem = [this, addItem](QMenu *menu, const char *name, const QString &caption) {
        const QString command = QString::fromLatin1(name);
        addItem(menu, name, caption, [this, command] { openWebPage(command); });
    };

    QMenu *useradmi = addMenu("useradmi", QStringLiteral("用户管理"));
    addItem(useradmi, "dispuser", QStringLiteral("修改用户"), [this] {
        modal::open<BrowForm>(this);
        inputCommand();
    });
    addItem(useradmi, "exit", QStringLiteral("退出"), [] { QApplication::exit(0); });

    QMenu *multi = addMenu("multi", QStringLiteral("多元测试"));
    addItem(multi, "test", QStringLiteral("进行测试"), &MainForm::testCommand);
    addItem(multi, "outputreport", QStringLiteral("活动方案"), &MainForm::reportCommand);

    QMenu *home = addMenu("home", QStringLiteral("家庭教育"));
    addWebItem(home, "net", QStringLiteral("网络启智"));
    addItem(home, "no", QStringLiteral("---------"), [] {});
    addWebItem(home, "deve", QStringLiteral("智力开发"));
    addWebItem(home, "eq", QStringLiteral("情商教育"));
    addWebItem(home, "phsy", QStringLiteral("健康安全"));
    addWebItem(home, "lilun", QStringLiteral("行为习惯"));
    addWebItem(home, "qita", QStringLiteral("其他"));

    QMenu *shop = addMenu("shop", QStringLiteral("网络购物"));
    addWebItem(shop, "zhili", QStringLiteral("智力开发"));
    addWebItem(shop, "train", QStringLiteral("培训招生"));
    addWebItem(shop, "toy", QStringLiteral("儿童玩具"));

    QMenu *vesk = addMenu("Vesk", QStringLiteral("禾岚教育"));
    addWebItem(vesk, "mi", QStringLiteral("多元智能"));
    addItem(vesk, "about", QStringLiteral("关于我们"), [this] { modal::open<frmAbout>(this); });
}

void MainForm::openWebPage(const QString &command)
{
    platform::openAddress(webpages::address(webpages::pathFor(command)));
}

// The logo is clicked like a button: a press and a release of the left button,
// both over the logo. The second press of a double click arrives as a double
// click event, not as a press, so a double click opens the site once; a press
// that leaves the logo before its release opens nothing.
bool MainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched->objectName() != QStringLiteral("I1"))
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            m_logoPressed = true;
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            const bool click = m_logoPressed
                && static_cast<QWidget *>(watched)->rect().contains(
                    static_cast<QMouseEvent *>(event)->position().toPoint());
            m_logoPressed = false;
            if (click)
                openWebPage(QStringLiteral("I1"));
            return true;
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainForm::inputCommand()
{
    modal::open<InputForm>(this);
}

void MainForm::testCommand()
{
    modal::open<BrowForm>(this);
    modal::open<TestForm>(this);
}

void MainForm::reportCommand()
{
    modal::open<OutForm>(this);
}
