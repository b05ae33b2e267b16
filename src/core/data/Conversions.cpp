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
    // \z, not $: a line feed at the end is no blank.
    static const QRegularExpression pattern(
        QStringLiteral(R"(^[ \t]*([+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)?)[ \t]*\z)"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = m.captured(1).toDouble(&ok);
    if (ok && std::isfinite(value))
        return value;
    // QString::toDouble refuses both ends of the double range. A value beyond
    // the largest double is no number; one so small that it underflows reads
    // as zero, the nearest double.
    if (value == 0)
        return m.captured(1).startsWith(QLatin1Char('-')) ? -0.0 : 0.0;
    return std::nullopt;
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
    QString text = QString::asprintf("%.15g", value);
    if (std::isfinite(value) && !parseNumber(text)) {
        // Within 15 digits of the largest double, rounding to nearest passes
        // it; the 15 digits rounded towards zero still read back.
        text = QString::asprintf("%.14e", value);
        for (qsizetype i = text.indexOf(QLatin1Char('e')) - 1; i >= 0; --i) {
            const QChar digit = text.at(i);
            if (digit == QLatin1Char('.'))
                continue;
            if (digit != QLatin1Char('0')) {
                text[i] = QChar(digit.unicode() - 1);
                break;
            }
            text[i] = QLatin1Char('9');
        }
        text = QString::asprintf("%.15g", text.toDouble());
    }
    return text;
}

} // namespace conv
