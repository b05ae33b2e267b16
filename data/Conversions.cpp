#include "Conversions.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace conv {

QString decimalText(long long value)
{
    return QString::number(value);
}

std::optional<double> parseNumber(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^[ \t]*([+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)[ \t]*$)"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = m.captured(1).toDouble(&ok);
    // QString::toDouble refuses values beyond the double range; an exponent so
    // small that the value underflows still reads as a (tiny) number.
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool isNumeric(const QString &text)
{
    return parseNumber(text).has_value();
}

double roundHalfEven(double value)
{
    return std::nearbyint(value); // the default rounding mode ties to even
}

std::optional<std::int16_t> toInt16(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = roundHalfEven(value);
    if (rounded < std::numeric_limits<std::int16_t>::min() || rounded > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

QString numberText(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<long long>(value));
    // %.15g keeps 15 significant digits and drops trailing zeros.
    return QString::asprintf("%.15g", value);
}

} // namespace conv
