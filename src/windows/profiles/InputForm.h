#pragma once

#include "core/data/Dao.h"

#include "ui/FixedDialog.h"

class QComboBox;
class QLineEdit;
class QPushButton;

// The profile of the current child: shown and changed when a `user` row
// carries the current child's name (profile mode), entered afresh otherwise
// (new-profile mode).
class InputForm : public FixedDialog {
    Q_OBJECT
public:
    // The load step: fills the lists and decides the mode.
    explicit InputForm(QWidget *parent = nullptr);
    ~InputForm() override;

    bool isNewProfile() const { return m_newProfile; }

    // Sets the lists from the hidden birthday and sex fields. Runs once, the
    // first time the form is shown.
    void activate();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void load();
    void fitDayList();
    void confirm();
    bool nameTaken(const QString &name);

    dao::Database m_db;
    dao::Recordset m_profile; // the row found by name (profile mode) or the table (new-profile mode)
    bool m_newProfile = false;
    bool m_activated = false;
    QString m_loadedName;

    QLineEdit *m_name = nullptr;
    QComboBox *m_sexList = nullptr;
    QLineEdit *m_sex = nullptr;
    QComboBox *m_year = nullptr;
    QComboBox *m_month = nullptr;
    QComboBox *m_day = nullptr;
    QLineEdit *m_birth = nullptr;
    QLineEdit *m_pname = nullptr;
    QLineEdit *m_phone = nullptr;
    QLineEdit *m_email = nullptr;
    QLineEdit *m_addr = nullptr;
    QPushButton *m_confirm = nullptr;
};
