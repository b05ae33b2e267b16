#pragma once

#include <QWidget>

class QApplication;

namespace modal {

// Gives the keyboard back to the window that opened a modal one: a window
// manager may leave it with no window at all when a chain of them closes.
void returnFocus(QWidget *owner);

// Opens a window as every command does: the window is created, which runs its
// load step, then shown as a modal dialog owned by the opener. Returns when it
// has closed, with the focus back on the opener; it is discarded then, so
// each opening loads it afresh.
template <class Form> void open(QWidget *owner)
{
    {
        Form form(owner);
        form.exec();
    }
    returnFocus(owner);
}

// Some window managers offer to minimise every window, whatever its frame
// asks for, and take the owner along: the whole program seems to vanish. A
// modal window over another is shown again at once. Installed on the
// application once.
void keepModalWindowsShown(QApplication &app);

} // namespace modal
