#include "FixedDialog.h"

#include <QKeyEvent>

FixedDialog::FixedDialog(QWidget *parent)
    : QDialog(parent)
{
    titleAndCloseOnly(this);
}

void FixedDialog::titleAndCloseOnly(QWidget *window)
{
    window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
        | Qt::MSWindowsFixedSizeDialogHint);
}

void FixedDialog::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
