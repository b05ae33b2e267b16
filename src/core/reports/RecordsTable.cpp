#include "RecordsTable.h"

#include "GrowthReport.h"
#include "core/data/Conversions.h"

#include <QRegularExpression>
#include <QStringList>

namespace recordstable {

namespace {

// A number as a spreadsheet reads one: sign, digits, decimal point, exponent.
bool plainNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    return number.match(text).hasMatch();
}

// A field as RFC 4180 has it: quoted when it holds a separator, a quote or a
// line break, its quotes doubled. Text a spreadsheet would take for a
// formula (beginning with "=", "+", "-", "@", a tab or a carriage return)
// gets a leading apostrophe, so that it is shown as the text it is; numbers
// stay numbers.
QString field(QString text)
{
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!text.isEmpty() && formulaStarts.contains(text.front()) && !plainNumber(text))
        text.prepend(QLatin1Char('\''));
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    return QLatin1Char('"') + text.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QByteArray line(const QStringList &fields)
{
    QStringList quoted;
    for (const QString &f : fields)
        quoted.append(field(f));
    return quoted.join(QLatin1Char(',')).toUtf8() + "\r\n";
}

} // namespace

Table read(dao::Database &db, const std::optional<QString> &child)
{
    Table table;
    table.csv = QByteArray("\xEF\xBB\xBF")
        + line({QStringLiteral("孩子"), QStringLiteral("性别"), QStringLiteral("出生日期"), QStringLiteral("月龄"),
            QStringLiteral("测量日期"), QStringLiteral("身高(cm)"), QStringLiteral("体重(kg)"),
            QStringLiteral("心率(次/分)"), QStringLiteral("呼吸(次/分)"), QStringLiteral("生理"),
            QStringLiteral("运动"), QStringLiteral("认知"), QStringLiteral("言语"), QStringLiteral("人际"),
            QStringLiteral("总分")});
    for (const growthreport::ChildRecord &record : growthreport::readChildren(db, child)) {
        for (const growthreport::MonthRecord &m : record.months) {
            QStringList fields {record.name, record.sexText, record.birthText, m.monthAge.text, m.measuredText,
                m.height.text, m.weight.text, m.heartRate.text, m.breath.text};
            for (const growthreport::Reading &score : m.scores)
                fields << score.text;
            const std::optional<std::int16_t> total = m.total();
            fields << (total ? conv::decimalText(*total) : QString());
            table.csv += line(fields);
            ++table.months;
        }
    }
    return table;
}

} // namespace recordstable
