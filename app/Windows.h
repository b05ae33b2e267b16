#pragma once

#include <QWidget>

namespace windows {

// Opens a window as every command does: the window is created, which runs its
// load step, then shown as a modal dialog owned by the opener. Returns when it
// has closed; it is discarded then, so each opening loads it afresh.
template <class Form> void openModal(QWidget *owner)
{
    Form form(owner);
    form.exec();
}

} // namespace windows
