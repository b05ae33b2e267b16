#pragma once

#include <QDialog>

// A window of the application that has neither a default nor a cancel
// button: Enter and Escape do nothing of their own. It closes by its own
// buttons or its close box.
class FixedDialog : public QDialog {
public:
    using QDialog::QDialog;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
