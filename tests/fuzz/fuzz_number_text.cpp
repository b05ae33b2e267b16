// Every double: its text, its rounding and its 16-bit conversion.
#include "FuzzCheck.h"
#include "core/data/Conversions.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

namespace {

// Significant digits of a number's text: digits of the mantissa, leading
// zeros not counted.
int significantDigits(const QString &text)
{
    int count = 0;
    bool leading = true;
    for (const QChar c : text) {
        if (c == QLatin1Char('e'))
            break;
        if (!c.isDigit())
            continue;
        if (leading && c == QLatin1Char('0'))
            continue;
        leading = false;
        ++count;
    }
    return count;
}

void check(double value)
{
    const QString detail = QString::asprintf("%.17g", value);
    const std::optional<std::int16_t> small = conv::toInt16(value);
    if (!std::isfinite(value)) {
        FUZZ_REQUIRE(!small, detail);
        return;
    }
    const QString text = conv::numberText(value);
    const std::optional<double> back = conv::parseNumber(text);
    FUZZ_REQUIRE(back && fuzzcheck::within15Digits(value, *back), detail + QStringLiteral(" -> ") + text);
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        FUZZ_REQUIRE(*back == value && !text.contains(QLatin1Char('.')) && !text.contains(QLatin1Char('e')), text);
    FUZZ_REQUIRE(significantDigits(text) <= 15, text);
    const qsizetype mantissaEnd = text.contains(QLatin1Char('e')) ? text.indexOf(QLatin1Char('e')) : text.size();
    if (text.left(mantissaEnd).contains(QLatin1Char('.')))
        FUZZ_REQUIRE(text.at(mantissaEnd - 1) != QLatin1Char('0'), text); // no trailing zeros

    const double rounded = conv::roundHalfEven(value);
    FUZZ_REQUIRE(rounded == std::trunc(rounded) && std::fabs(rounded - value) <= 0.5, detail);
    if (std::fabs(rounded - value) == 0.5)
        FUZZ_REQUIRE(std::fmod(rounded, 2.0) == 0, detail); // a half goes to the even neighbour
    FUZZ_REQUIRE(small.has_value() == (rounded >= -32768 && rounded <= 32767), detail);
    FUZZ_REQUIRE(!small || *small == rounded, detail);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Each eight bytes are one double: bit patterns cover every value,
    // subnormals, infinities and NaNs included.
    for (size_t at = 0; at + sizeof(double) <= size; at += sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data + at, sizeof value);
        check(value);
        std::int32_t whole = 0;
        std::memcpy(&whole, data + at, sizeof whole);
        check(whole / 2.0); // halves, where rounding has to choose
    }
    return 0;
}
