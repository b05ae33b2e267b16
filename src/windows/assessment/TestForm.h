#pragma once

#include "core/data/Dao.h"

#include "ui/FixedDialog.h"

class QLineEdit;
class QPushButton;

// The month's measurements: proposes a month age, takes the month age and
// four measurements, creates the month's row and hands over to the
// questionnaire.
class TestForm : public FixedDialog {
    Q_OBJECT
public:
    explicit TestForm(QWidget *parent = nullptr);

private:
    void buildControls();
    void startTest();

    QLineEdit *m_monthAge = nullptr;
    QLineEdit *m_height = nullptr;
    QLineEdit *m_weight = nullptr;
    QLineEdit *m_heartRate = nullptr;
    QLineEdit *m_breath = nullptr;
    QPushButton *m_start = nullptr;

    dao::Database m_db;
    dao::Recordset m_rs;
};
