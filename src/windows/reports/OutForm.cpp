#include "OutForm.h"
#include "ui/Controls.h"

#include "core/data/AssessmentDb.h"
#include "core/data/Conversions.h"
#include "core/data/Records.h"
#include "core/data/Schema.h"
#include "core/reports/ReportRequest.h"
#include "core/reports/WebSite.h"
#include "platform/AddressOpener.h"
#include "ui/CurrentValues.h"
#include "ui/Fonts.h"
#include "ui/Messages.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

OutForm::OutForm(QWidget *parent)
    : FixedDialog(parent)
{
    setObjectName(QStringLiteral("OutForm"));
    setWindowTitle(QStringLiteral("请您选择月份"));
    setFont(fonts::font(fonts::kSimSun, fonts::kWindowPointSize));
    setFixedSize(289, 109);

    controls::label(this, "Label1", QStringLiteral("选择月份"), QRect(40, 16, 73, 25));

    m_comboMon = new QComboBox(this);
    m_comboMon->setObjectName(QStringLiteral("ComboMon"));
    m_comboMon->setEditable(false);
    m_comboMon->setGeometry(128, 16, 97, 24);

    m_okCmd = controls::button(this, "OKCmd", QStringLiteral("确定"), QRect(88, 64, 89, 33));
    connect(m_okCmd, &QPushButton::clicked, this, &OutForm::requestReport);

    setTabOrder(m_okCmd, m_comboMon);
    m_okCmd->setFocus();

    listMonths();
}

void OutForm::listMonths()
{
    m_db = assessmentdb::open();
    m_months = records::monthsOfChild(m_db, current::userName);
    m_comboMon->clear();
    for (; !m_months.AtEOF(); m_months.MoveNext()) {
        const QVariant value = m_months.Fields(schema::testrecord::kMonthAge).Value();
        // A row without a month age cannot be asked for; leave it out.
        if (value.isNull())
            continue;
        if (const auto month = conv::toInt16(dao::number(value)))
            m_comboMon->addItem(conv::decimalText(*month));
    }
    m_comboMon->setCurrentIndex(m_comboMon->count() - 1);
}

void OutForm::requestReport()
{
    const std::optional<std::int16_t> month = report::monthOf(m_comboMon->currentText());
    if (!month) {
        messages::show(this, report::noRecordMessage());
        return;
    }

    m_db = assessmentdb::open();
    m_row = records::recordOfChildMonth(m_db, current::userName, *month);
    if (m_row.AtEOF()) {
        messages::show(this, report::rowMissingMessage(*month));
        return;
    }
    const std::optional<report::Scores> scores = report::scoresOf(m_row.Fields(schema::testrecord::score(2)).Value(),
        m_row.Fields(schema::testrecord::score(3)).Value(), m_row.Fields(schema::testrecord::score(4)).Value(),
        m_row.Fields(schema::testrecord::score(5)).Value());
    if (!scores) {
        messages::show(this, report::incompleteMessage(*month));
        return;
    }

    const QString url = report::address(webpages::baseUrl(), *month, *scores);
    messages::show(this, report::announcement(*month));
    platform::openAddress(url);
}
