#pragma once

#include <QDialog>

// A window of the application that has neither a default nor a cancel
// button: Enter and Escape pressed in a text box, a list or an option do
// nothing. A command button that has the focus takes Enter itself (see
// controls::button). The window closes by its own buttons or its close box,
// the only button of its frame.
class FixedDialog : public QDialog {
public:
    explicit FixedDialog(QWidget *parent = nullptr);

    // The frame of a window that keeps its size: its title and a close
    // button. Nothing to maximise, and nothing to minimise: a modal window
    // minimised takes its owner, the whole program, off the screen with it.
    static void titleAndCloseOnly(QWidget *window);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
