#include "frmAbout.h"
#include "ui/Controls.h"

#include "platform/SystemInfo.h"
#include "ui/AppInfo.h"
#include "ui/FixedDialog.h"
#include "ui/Fonts.h"
#include "ui/Messages.h"

#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {

const QString kDescription
    = QStringLiteral("    宝宝在0-3岁阶段发育较快，很难做出客观准确地评价。测评结果主要供家长教育时作参考。\n"
                     "    这个版本为简版，供家庭使用，不提供亲子教育方案。本中心为会员提供分月份的活动指导，"
                     "让家长把家变成亲子中心，比去亲子中心会有更好的效果。");

constexpr double kTitlePointSize = 21.75;
constexpr double kVersionPointSize = 12;
// A title too wide for its box shrinks in these steps, down to this size.
constexpr double kTitleShrinkStep = 0.25;
constexpr double kSmallestTitlePointSize = 9;

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    QLabel *label = controls::label(parent, name, text, geometry);
    controls::setTextColour(label, Qt::black);
    return label;
}

// The font, made smaller when the text would not fit the width: Chinese
// glyphs at the title's size are wider than its box.
QFont fittingFont(QFont font, const QString &text, int width)
{
    while (font.pointSizeF() > kSmallestTitlePointSize && QFontMetrics(font).horizontalAdvance(text) > width)
        font.setPointSizeF(font.pointSizeF() - kTitleShrinkStep);
    return font;
}

QFrame *makeLine(QWidget *parent, const char *name, const QColor &colour, const QRect &geometry)
{
    auto *line = new QFrame(parent);
    line->setObjectName(QString::fromLatin1(name));
    line->setFrameShape(QFrame::NoFrame);
    line->setGeometry(geometry);
    line->setAutoFillBackground(true);
    QPalette p = line->palette();
    p.setColor(QPalette::Window, colour);
    line->setPalette(p);
    return line;
}

} // namespace

frmAbout::frmAbout(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("关于") + appinfo::kProductTitle);
    FixedDialog::titleAndCloseOnly(this);
    setFixedSize(382, 237);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    // Not centred over the main window: a fixed place on the screen.
    move(156, 129);

    auto *image = makeLabel(this, "Image1", QString(), QRect(8, 8, 92, 85));
    image->setPixmap(QPixmap(QStringLiteral(":/assets/about-logo.bmp")));
    image->setScaledContents(true);

    auto *title = makeLabel(this, "lblTitle", appinfo::kProductTitle, QRect(104, 8, 259, 40));
    title->setFont(fittingFont(fonts::font(QStringLiteral("Times New Roman"), kTitlePointSize, true, true),
        appinfo::kProductTitle, title->width()));

    auto *version = makeLabel(this, "lblVersion", appinfo::kVersionCaption, QRect(104, 52, 259, 15));
    version->setFont(fonts::font(fonts::kSimSun, kVersionPointSize, false, true));

    auto *description = controls::paragraph(this, "lblDescription", kDescription, QRect(120, 80, 259, 94));
    controls::setTextColour(description, Qt::black);

    // An etched rule: the white line under the grey one.
    makeLine(this, "Line1_0", Qt::white, QRect(8, 168, 371, 2));
    makeLine(this, "Line1_1", QColor(128, 128, 128), QRect(8, 168, 372, 1));

    // OK is the default button while no other button has the focus: Enter on
    // "系统信息" presses that button, and OK becomes the default again when
    // the focus leaves it.
    m_cmdOK = controls::button(this, "cmdOK", QStringLiteral("OK"), QRect(283, 176, 84, 23));
    m_cmdOK->setAutoDefault(true);
    m_cmdOK->setDefault(true);
    connect(m_cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    QPushButton *sysInfo = controls::button(this, "cmdSysInfo", QStringLiteral("系统信息"), QRect(284, 205, 83, 23));
    sysInfo->setAutoDefault(true);
    connect(sysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);

    setTabOrder(m_cmdOK, sysInfo);
    m_cmdOK->setFocus();
}

void frmAbout::keyPressEvent(QKeyEvent *event)
{
    // OK is the cancel button too: Escape presses it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_cmdOK->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmAbout::StartSysInfo()
{
    if (!sysinfo::StartSysInfo(platform::systemRegistry()))
        messages::show(this, QStringLiteral("系统信息暂时不能使用！"));
}
