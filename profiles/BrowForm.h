#pragma once

#include <QDialog>

class QListWidget;

// Chooses the current child from the names in `user`.
class BrowForm : public QDialog {
    Q_OBJECT
public:
    // The load step: fills the list from `user`, holding no database handle
    // afterwards.
    explicit BrowForm(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fillList();
    void confirm();

    QListWidget *m_list = nullptr;
};
