#include "Messages.h"

#include "AppInfo.h"
#include "FixedDialog.h"
#include "ParagraphLabel.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>

#include <algorithm>

namespace messages {

namespace {

// The widest a message's text is set before it wraps, as Qt's own boxes do.
constexpr int kWidestText = 500;

Hook &currentHook()
{
    static Hook hook;
    return hook;
}

// The least width of a window with this title, so that the window manager can
// show the whole title beside its buttons.
int widthForTitle(const QString &title)
{
    // The window manager draws the title in its own font, which Qt knows only
    // approximately: the platform's title font, or the font Qt uses for its
    // own title bars. Take the wider of the two, in bold, as many window
    // managers draw titles bold.
    int text = 0;
    int lineHeight = 0;
    for (QFont font :
        {QFontDatabase::systemFont(QFontDatabase::TitleFont), QApplication::font("QMdiSubWindowTitleBar")}) {
        font.setBold(true);
        const QFontMetrics metrics(font);
        text = std::max(text, metrics.horizontalAdvance(title));
        lineHeight = std::max(lineHeight, metrics.height());
    }
    // Room for the frame's own parts: a title bar is about twice as high as
    // its text, and the window icon and up to three buttons (minimise,
    // maximise, close) are each about as wide as the bar is high. One more
    // bar height keeps the text clear of them.
    const int barHeight = 2 * lineHeight;
    int width = text + 5 * barHeight;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        width = std::min(width, screen->availableGeometry().width());
    return width;
}

// A box as every message of the program is shown: the application's title,
// no icon, a frame with only a title and a close button, the text set for
// reading.
void prepare(QMessageBox &box)
{
    FixedDialog::titleAndCloseOnly(&box);
    // Some styles put an icon on dialog buttons; the box shows none at all.
    for (QAbstractButton *button : box.buttons())
        button->setIcon(QIcon());
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    if (!grid)
        return;
    // The box's own label keeps the text, which text() reads; a paragraph
    // label shows it, as wide as a message box makes its text at most.
    if (auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"))) {
        auto *text = new ParagraphLabel(box.text(), &box);
        text->setObjectName(QStringLiteral("messageText"));
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            text->setPreferredWidth(std::min(screen->availableGeometry().width() / 2, kWidestText));
        delete grid->replaceWidget(label, text);
        label->hide();
    }
    // A short message would make a box narrower than its title, and the window
    // manager would cut the title off. A spacer across the box's grid holds
    // the width: the box sizes itself from its layout each time it is shown.
    grid->addItem(new QSpacerItem(widthForTitle(box.windowTitle()) - grid->contentsMargins().left()
                          - grid->contentsMargins().right(),
                      0, QSizePolicy::Minimum, QSizePolicy::Minimum),
        grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace

void setHook(Hook hook)
{
    currentHook() = std::move(hook);
}

bool hasHook()
{
    return static_cast<bool>(currentHook());
}

void show(QWidget *parent, const QString &text)
{
    if (currentHook()) {
        currentHook()(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, appinfo::kTitle, text, QMessageBox::Ok, parent);
    prepare(box);
    box.exec();
}

bool ask(QWidget *parent, const QString &question)
{
    if (currentHook()) {
        currentHook()(question);
        return false;
    }
    QMessageBox box(QMessageBox::NoIcon, appinfo::kTitle, question, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    prepare(box);
    return box.exec() == QMessageBox::Yes;
}

} // namespace messages
