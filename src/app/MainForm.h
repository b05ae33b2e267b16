#pragma once

#include "core/data/Dao.h"

#include <QMainWindow>

class QLabel;
class QPushButton;

// The application's hub: its menus lead to every other window.
class MainForm : public QMainWindow {
    Q_OBJECT
public:
    // Runs the load step: opens the database and makes the first child of
    // `user` the current child. Database failures propagate to the caller.
    explicit MainForm(QWidget *parent = nullptr);
    ~MainForm() override;

public slots:
    void inputCommand(); // the child profile form
    void testCommand(); // child selection, then the month's measurements
    void reportCommand(); // the report month chooser

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void openWebPage(const QString &command);

    dao::Database m_db;
    dao::Recordset m_users;
    // The left button went down on the logo and has not been released yet.
    bool m_logoPressed = false;
};
