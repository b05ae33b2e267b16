#pragma once

#include <QDialog>

class QPushButton;

// The About dialog: logo, title, version, a short description, and a button
// that starts the system's information tool.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void StartSysInfo();

    QPushButton *m_cmdOK = nullptr;
};
