// Typed numbers: the measurement boxes' numeric test and parsing, compared
// with the grammar written out by hand and the C library's strtod.
#include "FuzzCheck.h"
#include "core/data/Conversions.h"

#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The number inside the blanks when the text keeps the grammar: blanks (space,
// tab), sign, digits with at most one point, an optional exponent, blanks.
std::optional<std::string> grammarCore(const QByteArray &b)
{
    const qsizetype n = b.size();
    qsizetype i = 0;
    auto blanks = [&] {
        while (i < n && (b[i] == ' ' || b[i] == '\t'))
            ++i;
    };
    auto digits = [&] {
        qsizetype count = 0;
        for (; i < n && isDigit(b[i]); ++i)
            ++count;
        return count;
    };
    blanks();
    const qsizetype start = i;
    if (i < n && (b[i] == '+' || b[i] == '-'))
        ++i;
    qsizetype mantissa = digits();
    if (i < n && b[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return std::nullopt;
    if (i < n && (b[i] == 'e' || b[i] == 'E')) {
        ++i;
        if (i < n && (b[i] == '+' || b[i] == '-'))
            ++i;
        if (digits() == 0)
            return std::nullopt;
    }
    const qsizetype end = i;
    blanks();
    if (i != n)
        return std::nullopt;
    return std::string(b.constData() + start, static_cast<size_t>(end - start));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const std::optional<double> parsed = conv::parseNumber(text);
    FUZZ_REQUIRE(conv::isNumeric(text) == parsed.has_value(), text);

    std::optional<double> expected;
    if (const std::optional<std::string> core = grammarCore(text.toUtf8())) {
        errno = 0;
        const double value = std::strtod(core->c_str(), nullptr);
        // Beyond the largest double is no number; an underflow is (nearly) zero.
        if (!(errno == ERANGE && std::isinf(value)))
            expected = value;
    }
    FUZZ_REQUIRE(parsed.has_value() == expected.has_value(), text);
    if (!parsed)
        return 0;
    const double value = *parsed;
    FUZZ_REQUIRE(std::isfinite(value), text);
    if (std::fabs(*expected) >= std::numeric_limits<double>::min())
        FUZZ_REQUIRE(value == *expected, text);
    else
        FUZZ_REQUIRE(std::fabs(value - *expected) <= 2 * std::numeric_limits<double>::denorm_min(), text);

    // What is read is written back as a number again.
    const QString written = conv::numberText(value);
    const std::optional<double> back = conv::parseNumber(written);
    FUZZ_REQUIRE(back && fuzzcheck::within15Digits(value, *back), text + QStringLiteral(" -> ") + written);

    // Rounding moves it by at most one half; the 16-bit conversion keeps the
    // rounded value exactly when it fits.
    const double rounded = conv::roundHalfEven(value);
    FUZZ_REQUIRE(std::fabs(rounded - value) <= 0.5 && rounded == std::trunc(rounded), text);
    const std::optional<std::int16_t> small = conv::toInt16(value);
    FUZZ_REQUIRE(small.has_value() == (rounded >= -32768 && rounded <= 32767), text);
    FUZZ_REQUIRE(!small || *small == rounded, text);
    return 0;
}
