#include "ModalWindow.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

namespace modal {

namespace {

class ModalKeeper : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::WindowStateChange || !watched->isWidgetType())
            return false;
        auto *window = static_cast<QWidget *>(watched);
        if (window->isWindow() && window->isModal() && window->parentWidget() && window->isMinimized()) {
            QTimer::singleShot(0, window, [window] {
                window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
                window->activateWindow();
            });
        }
        return false;
    }
};

} // namespace

void returnFocus(QWidget *owner)
{
    if (!owner || !owner->isVisible())
        return;
    owner->window()->raise();
    owner->window()->activateWindow();
}

void keepModalWindowsShown(QApplication &app)
{
    app.installEventFilter(new ModalKeeper(&app));
}

} // namespace modal
