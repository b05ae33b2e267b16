#include "Messages.h"

#include "AppInfo.h"

#include <QMessageBox>
#include <QPushButton>

namespace messages {

namespace {
Hook &currentHook()
{
    static Hook hook;
    return hook;
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
    // Some styles put an icon on dialog buttons; the box shows none at all.
    if (QAbstractButton *ok = box.button(QMessageBox::Ok))
        ok->setIcon(QIcon());
    box.exec();
}

} // namespace messages
