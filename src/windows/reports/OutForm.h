#pragma once

#include "core/data/Dao.h"

#include "ui/FixedDialog.h"

class QComboBox;
class QPushButton;

// Chooses one of the current child's recorded months and requests the
// following month's education plan from the web site.
class OutForm : public FixedDialog {
    Q_OBJECT
public:
    // Loads the current child's month ages, the last one selected.
    explicit OutForm(QWidget *parent = nullptr);

private:
    void listMonths();
    void requestReport();

    QComboBox *m_comboMon = nullptr;
    QPushButton *m_okCmd = nullptr;
    dao::Database m_db;
    dao::Recordset m_months;
    dao::Recordset m_row;
};
