#include "ReportRequest.h"

#include "core/data/Conversions.h"
#include "core/data/Dao.h"

namespace report {

namespace {
// The site asks for the plan of the month after the recorded one.
long long requestedMonth(std::int16_t monthAge)
{
    return static_cast<long long>(monthAge) + 1;
}
} // namespace

std::optional<std::int16_t> monthOf(const QString &entry)
{
    const std::optional<double> value = conv::parseNumber(entry);
    if (!value)
        return std::nullopt;
    return conv::toInt16(*value);
}

std::optional<Scores> scoresOf(const QVariant &a2, const QVariant &a3, const QVariant &a4, const QVariant &a5)
{
    for (const QVariant *v : {&a2, &a3, &a4, &a5}) {
        if (v->isNull())
            return std::nullopt;
    }
    return Scores {dao::number(a2), dao::number(a3), dao::number(a4), dao::number(a5)};
}

QString address(const QString &baseUrl, std::int16_t monthAge, const Scores &scores)
{
    return baseUrl + QStringLiteral("\\03\\report.asp?month=") + conv::decimalText(requestedMonth(monthAge))
        + QStringLiteral("&a2=") + conv::numberText(scores.a2) + QStringLiteral("&a3=") + conv::numberText(scores.a3)
        + QStringLiteral("&a4=") + conv::numberText(scores.a4) + QStringLiteral("&a5=") + conv::numberText(scores.a5);
}

QString announcement(std::int16_t monthAge)
{
    return conv::decimalText(requestedMonth(monthAge)) + QStringLiteral("月的教育方案需要联网获取!");
}

QString noRecordMessage()
{
    return QStringLiteral("还没有测试记录，请先进行测试");
}

QString incompleteMessage(std::int16_t monthAge)
{
    return conv::decimalText(monthAge) + QStringLiteral("月的测试没有完成，不能获取教育方案");
}

QString rowMissingMessage(std::int16_t monthAge)
{
    return QStringLiteral("找不到") + conv::decimalText(monthAge) + QStringLiteral("月的测试记录");
}

} // namespace report
