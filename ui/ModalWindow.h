#pragma once

#include <QWidget>

namespace modal {

// Opens a window as every command does: the window is created, which runs its
// load step, then shown as a modal dialog owned by the opener. Returns when it
// has closed; it is discarded then, so each opening loads it afresh.
template <class Form> void open(QWidget *owner)
{
    Form form(owner);
    form.exec();
}

} // namespace modal
