#include "QuesForm.h"
#include "ui/Controls.h"

#include "core/data/AssessmentDb.h"
#include "core/data/ContentFile.h"
#include "core/data/Conversions.h"
#include "core/data/Records.h"
#include "core/data/Schema.h"
#include "ui/CurrentValues.h"
#include "ui/Fonts.h"
#include "ui/Messages.h"

#include <QButtonGroup>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString kNoItems = QStringLiteral("本月龄没有测试题");
const QString kNextCaption = QStringLiteral("继续测试");
const QString kResultsCaption = QStringLiteral("测试结果");

} // namespace

QuesForm::QuesForm(QWidget *parent)
    : FixedDialog(parent)
{
    setObjectName(QStringLiteral("QuesForm"));
    setFont(fonts::font(fonts::kSimSun, fonts::kWindowPointSize));
    setFixedSize(479, 401);
    buildControls();

    // Load step. The month's row is found by month age alone: a month age is
    // recorded once, whichever child it belongs to.
    const QString month = conv::decimalText(current::monthAge);
    m_db = assessmentdb::openShared();
    m_items = records::itemsOfMonth(m_db, current::monthAge);
    m_month = records::recordOfMonth(m_db, current::monthAge);
    m_sheet = scoring::ScoreSheet();
    setWindowTitle(month + QStringLiteral("月测试题"));
    m_hasItems = !m_items.AtEOF();
    if (m_hasItems)
        showItem();
    else
        m_next->setEnabled(false);
}

void QuesForm::buildControls()
{
    auto addLabel = [this](const char *name, const QString &text, const QRect &geometry) {
        return controls::paragraph(this, name, text, geometry);
    };
    addLabel("Label4", QStringLiteral("测试项目"), QRect(16, 32, 65, 41));
    m_item = addLabel("Label1", QString(), QRect(96, 32, 345, 57));
    addLabel("Label5", QStringLiteral("测试操作"), QRect(16, 112, 65, 25));
    m_howto = addLabel("Label2", QString(), QRect(96, 112, 337, 73));
    addLabel("Label6", QStringLiteral("完成目标"), QRect(16, 200, 65, 33));
    m_goal = addLabel("Label3", QString(), QRect(96, 200, 345, 81));
    addLabel("Label7", QStringLiteral("完成情况"), QRect(16, 304, 73, 25));

    // One exclusive group; the id of a button is its rating.
    m_ratings = new QButtonGroup(this);
    m_ratings->setExclusive(true);
    const struct {
        const char *name;
        QRect geometry;
    } options[scoring::kRatingCount] = {
        {"Option1", QRect(88, 304, 81, 49)},
        {"Option2", QRect(152, 304, 57, 49)},
        {"Option3", QRect(216, 304, 65, 49)},
        {"Option4", QRect(288, 304, 97, 49)},
        {"Option5", QRect(384, 304, 97, 49)},
    };
    for (int i = 0; i < scoring::kRatingCount; ++i) {
        auto *option = new QRadioButton(scoring::kRatingCaptions.at(static_cast<std::size_t>(i)), this);
        option->setObjectName(QString::fromLatin1(options[i].name));
        option->setGeometry(options[i].geometry);
        m_ratings->addButton(option, i + 1);
        m_options[i] = option;
    }

    m_next = controls::button(this, "NextCmd", kNextCaption, QRect(336, 360, 97, 33));
    connect(m_next, &QPushButton::clicked, this, &QuesForm::next);

    setTabOrder(m_options[0], m_options[1]);
    setTabOrder(m_options[1], m_options[2]);
    setTabOrder(m_options[2], m_options[3]);
    setTabOrder(m_options[3], m_next);
    setTabOrder(m_next, m_options[4]);
    m_options[0]->setFocus();
}

int QuesForm::exec()
{
    if (!m_hasItems) {
        // The month's row keeps its measurements, as after an abandoned
        // questionnaire.
        messages::show(parentWidget(), kNoItems);
        setResult(QDialog::Rejected);
        return QDialog::Rejected;
    }
    return QDialog::exec();
}

void QuesForm::showItem()
{
    // Texts only: the option chosen for the previous item stays chosen.
    m_item->setText(dao::textOr(m_items.Fields(schema::test::kItem).Value(), QString()));
    m_howto->setText(dao::textOr(m_items.Fields(schema::test::kHowTo).Value(), QString()));
    m_goal->setText(dao::textOr(m_items.Fields(schema::test::kGoal).Value(), QString()));
    for (int i = 0; i < scoring::kRatingCount; ++i) {
        const QString &common = scoring::kRatingCaptions.at(static_cast<std::size_t>(i));
        m_options[i]->setText(i < content::kOptionCount
                ? dao::textOr(m_items.Fields(schema::test::option(i + 1)).Value(), common)
                : common);
    }
}

int QuesForm::chosenRating() const
{
    const int id = m_ratings->checkedId();
    return id < 0 ? scoring::kNoRating : id;
}

void QuesForm::next()
{
    if (!m_hasItems)
        return;
    if (m_items.AtEOF()) {
        finish();
        return;
    }
    m_sheet.record(
        m_items.Fields(schema::test::kClass).Value(), m_items.Fields(schema::test::kPoints).Value(), chosenRating());
    m_items.MoveNext();
    if (m_items.AtEOF())
        m_next->setText(kResultsCaption);
    else
        showItem();
}

void QuesForm::finish()
{
    // The results are stored before the total is shown, in one update, so a
    // month whose total the parent has seen always has its results.
    if (!m_month.AtEOF()) {
        m_month.Edit();
        for (int k = scoring::kFirstDomain; k <= scoring::kLastDomain; ++k) {
            m_month.Fields(schema::testrecord::answers(k)).setValue(m_sheet.answers(k));
            m_month.Fields(schema::testrecord::score(k)).setValue(m_sheet.score(k));
        }
        m_month.Update();
    }
    messages::show(this, scoring::totalMessage(m_sheet.total()));
    accept();
}
