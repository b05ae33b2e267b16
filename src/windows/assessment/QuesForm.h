#pragma once

#include "core/assessment/Scoring.h"
#include "core/data/Dao.h"

#include "ui/FixedDialog.h"

class QButtonGroup;
class QLabel;
class QPushButton;
class QRadioButton;

// The month's questionnaire: one item at a time, rated with one of five
// options; after the last item the total is shown and the results are stored
// in the month's row.
class QuesForm : public FixedDialog {
    Q_OBJECT
public:
    explicit QuesForm(QWidget *parent = nullptr);

    // A month age without items has nothing to ask: the parent is told so and
    // the window is not shown.
    int exec() override;

private:
    void buildControls();
    void showItem();
    void next();
    void finish();
    int chosenRating() const;

    QLabel *m_item = nullptr;
    QLabel *m_howto = nullptr;
    QLabel *m_goal = nullptr;
    QRadioButton *m_options[scoring::kRatingCount] = {};
    QButtonGroup *m_ratings = nullptr;
    QPushButton *m_next = nullptr;

    dao::Database m_db;
    dao::Recordset m_items;
    dao::Recordset m_month;
    scoring::ScoreSheet m_sheet;
    bool m_hasItems = false;
};
