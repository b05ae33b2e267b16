#include "RecordsTable.h"

#include "data/Conversions.h"

#include <QStringList>

namespace recordstable {

namespace {

// A field as RFC 4180 has it: quoted when it holds a separator, a quote or a
// line break, its quotes doubled.
QString field(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n'))
        && !text.contains(QLatin1Char('\r')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString number(const std::optional<double> &value)
{
    return value ? conv::numberText(*value) : QString();
}

QByteArray line(const QStringList &fields)
{
    QStringList quoted;
    for (const QString &f : fields)
        quoted.append(field(f));
    return quoted.join(QLatin1Char(',')).toUtf8() + "\r\n";
}

} // namespace

QByteArray csv(const QList<growthreport::ChildRecord> &children)
{
    QByteArray out("\xEF\xBB\xBF");
    out += line({QStringLiteral("孩子"), QStringLiteral("性别"), QStringLiteral("出生日期"), QStringLiteral("月龄"),
        QStringLiteral("测量日期"), QStringLiteral("身高(cm)"), QStringLiteral("体重(kg)"),
        QStringLiteral("心率(次/分)"), QStringLiteral("呼吸(次/分)"), QStringLiteral("生理"), QStringLiteral("运动"),
        QStringLiteral("认知"), QStringLiteral("言语"), QStringLiteral("人际"), QStringLiteral("总分")});
    for (const growthreport::ChildRecord &child : children) {
        for (const growthreport::MonthRecord &month : child.months) {
            QStringList fields {child.name, child.sex, child.birth,
                month.month ? conv::decimalText(*month.month) : QString(), QString(), number(month.height),
                number(month.weight), number(month.heartRate), number(month.breath)};
            scoring::PerDomain<double> scores {};
            bool scored = true;
            for (int d = 0; d < scoring::kDomainCount; ++d) {
                fields.append(number(month.scores[d]));
                scored = scored && month.scores[d].has_value();
                scores[d] = month.scores[d].value_or(0);
            }
            fields.append(scored ? conv::decimalText(scoring::total(scores)) : QString());
            out += line(fields);
        }
    }
    return out;
}

} // namespace recordstable
