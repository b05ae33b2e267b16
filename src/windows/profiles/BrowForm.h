#pragma once

#include "ui/FixedDialog.h"

class QListWidget;

// Chooses the current child from the names in `user`.
class BrowForm : public FixedDialog {
    Q_OBJECT
public:
    // The load step: fills the list from `user`, holding no database handle
    // afterwards.
    explicit BrowForm(QWidget *parent = nullptr);

private:
    void fillList();
    void confirm();

    QListWidget *m_list = nullptr;
};
