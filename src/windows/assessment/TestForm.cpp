#include "TestForm.h"
#include "ui/Controls.h"

#include "QuesForm.h"
#include "core/assessment/MonthCheck.h"
#include "core/data/AssessmentDb.h"
#include "core/data/Records.h"
#include "core/data/Schema.h"
#include "ui/CurrentValues.h"
#include "ui/Fonts.h"
#include "ui/Messages.h"

#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TestForm::TestForm(QWidget *parent)
    : FixedDialog(parent)
{
    setObjectName(QStringLiteral("TestForm"));
    setWindowTitle(QStringLiteral("每月生理资料"));
    setFont(fonts::font(fonts::kSimSun, fonts::kWindowPointSize));
    setFixedSize(265, 313);
    buildControls();

    // Load step: propose one more than the highest month age of any child.
    m_db = assessmentdb::open();
    const QVariant highest = records::highestMonthAge(m_db);
    m_monthAge->setText(monthcheck::proposal(!highest.isNull(), highest));
}

void TestForm::buildControls()
{
    auto addLabel = [this](const char *name, const QString &text, const QRect &geometry) {
        controls::label(this, name, text, geometry);
    };
    auto addBox = [this](const char *name, const QRect &geometry) {
        auto *box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setGeometry(geometry);
        return box;
    };

    addLabel("Label1", QStringLiteral("月龄"), QRect(24, 32, 97, 25));
    m_monthAge = addBox("Text1", QRect(144, 24, 81, 33));
    addLabel("Label2", QStringLiteral("身高(cm)"), QRect(24, 80, 121, 33));
    m_height = addBox("Text2", QRect(144, 72, 81, 33));
    addLabel("Label3", QStringLiteral("体重(kg)"), QRect(24, 128, 121, 33));
    m_weight = addBox("Text3", QRect(144, 120, 81, 33));
    addLabel("Label4", QStringLiteral("心率(次/分)"), QRect(24, 176, 121, 33));
    m_heartRate = addBox("Text4", QRect(144, 168, 81, 33));
    addLabel("Label5", QStringLiteral("呼吸(次/分)"), QRect(24, 224, 121, 33));
    m_breath = addBox("Text5", QRect(144, 216, 81, 33));

    // No default button: Enter in a box does not start the test.
    m_start = controls::button(this, "Command1", QStringLiteral("开始测试"), QRect(88, 272, 89, 25));
    connect(m_start, &QPushButton::clicked, this, &TestForm::startTest);

    setTabOrder(m_monthAge, m_height);
    setTabOrder(m_height, m_weight);
    setTabOrder(m_weight, m_heartRate);
    setTabOrder(m_heartRate, m_breath);
    setTabOrder(m_breath, m_start);
    m_monthAge->setFocus();
}

void TestForm::startTest()
{
    const monthcheck::Entries entries {
        m_monthAge->text(), m_height->text(), m_weight->text(), m_heartRate->text(), m_breath->text()};
    const monthcheck::Outcome outcome = monthcheck::check(
        current::userName, entries, [this](std::int16_t month) { return records::monthRecorded(m_db, month); });
    if (!outcome.accepted()) {
        messages::show(this, outcome.message);
        return;
    }
    const std::int16_t monthAge = *outcome.monthAge;

    // The month's row goes in complete, in one step. The month age is the
    // rounded value that was checked, so the questionnaire finds the row.
    namespace testrecord = schema::testrecord;
    m_rs = records::monthRecords(m_db);
    m_rs.AddNew();
    m_rs.Fields(testrecord::kUser).setValue(current::userName);
    m_rs.Fields(testrecord::kMonthAge).setValue(static_cast<int>(monthAge));
    m_rs.Fields(testrecord::kHeight).setValue(entries.height);
    m_rs.Fields(testrecord::kWeight).setValue(entries.weight);
    m_rs.Fields(testrecord::kHeartRate).setValue(entries.heartRate);
    m_rs.Fields(testrecord::kBreath).setValue(entries.breath);
    // The day of the measurements, from which the child's exact age follows.
    m_rs.Fields(testrecord::kMeasured).setValue(QDate::currentDate().toString(testrecord::kMeasuredFormat));
    m_rs.Update();

    current::monthAge = monthAge;

    // The questionnaire is owned by the main window, which outlives this one:
    // it loads now, this window closes, then it is shown until it is done.
    QuesForm questionnaire(parentWidget());
    hide();
    accept();
    questionnaire.exec();
}
