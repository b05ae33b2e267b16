#include "RecordsTable.h"

#include "core/assessment/Scoring.h"
#include "core/data/Conversions.h"
#include "core/data/Dao.h"
#include "core/data/Records.h"
#include "core/data/Schema.h"

#include <QDate>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

namespace recordstable {

namespace {

namespace user = schema::user;
namespace testrecord = schema::testrecord;

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

// A stored value as text: numbers in plain decimal, Null as nothing.
QString cell(const QVariant &value)
{
    if (value.isNull())
        return QString();
    if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime)
        return value.toDate().toString(QStringLiteral("yyyy-M-d"));
    return dao::text(value);
}

std::optional<double> number(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    const auto parsed = value.typeId() == QMetaType::QString ? conv::parseNumber(value.toString())
                                                             : std::optional<double>(value.toDouble());
    return parsed && std::isfinite(*parsed) ? parsed : std::nullopt;
}

// The lines of one child's months, in order of month age (months without
// one last).
QList<QStringList> monthsOf(dao::Database &db, const QStringList &profile)
{
    QList<std::pair<double, QStringList>> months;
    dao::Recordset rs = records::recordsOfChild(db, profile.first());
    const bool dated = rs.columnNames().contains(testrecord::kMeasured, Qt::CaseInsensitive);
    for (; !rs.AtEOF(); rs.MoveNext()) {
        QStringList fields = profile;
        fields << cell(rs.Fields(testrecord::kMonthAge).Value())
               << (dated ? cell(rs.Fields(testrecord::kMeasured).Value()) : QString());
        for (const QString &column :
            {testrecord::kHeight, testrecord::kWeight, testrecord::kHeartRate, testrecord::kBreath})
            fields << cell(rs.Fields(column).Value());
        scoring::PerDomain<double> scores {};
        bool scored = true;
        for (int d = 0; d < scoring::kDomainCount; ++d) {
            const QVariant score = rs.Fields(testrecord::score(d + 1)).Value();
            fields << cell(score);
            const auto value = number(score);
            scored = scored && value.has_value();
            scores[d] = value.value_or(0);
        }
        fields << (scored ? conv::decimalText(scoring::total(scores)) : QString());
        months.append(
            {number(rs.Fields(testrecord::kMonthAge).Value()).value_or(std::numeric_limits<double>::infinity()),
                fields});
    }
    std::stable_sort(months.begin(), months.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<QStringList> lines;
    for (const auto &m : months)
        lines.append(m.second);
    return lines;
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
    // A name kept twice is one child, with its first profile, as every
    // lookup in the application has it.
    QSet<QString> seen;
    dao::Recordset rs = child ? records::profileOf(db, *child) : records::profiles(db);
    for (; !rs.AtEOF(); rs.MoveNext()) {
        const QVariant name = rs.Fields(user::kName).Value();
        if (name.isNull() || seen.contains(name.toString()))
            continue;
        seen.insert(name.toString());
        const QStringList profile {
            name.toString(), cell(rs.Fields(user::kSex).Value()), cell(rs.Fields(user::kBirth).Value())};
        for (const QStringList &month : monthsOf(db, profile)) {
            table.csv += line(month);
            ++table.months;
        }
    }
    return table;
}

} // namespace recordstable
