#pragma once

#include <QDialog>

// A window of the application that has neither a default nor a cancel
// button: Enter and Escape pressed in a text box, a list or an option do
// nothing. A command button that has the focus takes Enter itself (see
// controls::button). The window closes by its own buttons or its close box.
class FixedDialog : public QDialog {
public:
    using QDialog::QDialog;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
