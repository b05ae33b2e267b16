// The report request: the month entry and a row's scores, as any text, turned
// into the address handed to the browser.
#include "FuzzCheck.h"
#include "core/data/Conversions.h"
#include "core/data/DbError.h"
#include "core/reports/ReportRequest.h"

#include <cstddef>
#include <cstdint>
#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Lines: the list entry, then a2fen..a5fen as stored (an empty line is
    // Null, a number is stored as a double, anything else as text).
    const QStringList lines = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size))
                                  .split(QLatin1Char('\n'));
    const QString entry = lines.value(0);
    const std::optional<std::int16_t> month = report::monthOf(entry);
    const std::optional<double> entryValue = conv::parseNumber(entry);
    FUZZ_REQUIRE(month.has_value() == (entryValue && conv::toInt16(*entryValue)), entry);
    if (!month)
        return 0;

    QVariantList stored;
    for (int i = 1; i <= 4; ++i) {
        const QString field = lines.value(i);
        const std::optional<double> value = conv::parseNumber(field);
        stored << (field.isEmpty() ? QVariant() : value ? QVariant(*value) : QVariant(field));
    }
    std::optional<report::Scores> scores;
    try {
        scores = report::scoresOf(stored.at(0), stored.at(1), stored.at(2), stored.at(3));
    } catch (const dao::DbError &e) {
        FUZZ_REQUIRE(e.number() == dao::kConversionError, entry);
        return 0;
    }
    bool anyNull = false;
    for (const QVariant &v : stored)
        anyNull = anyNull || v.isNull();
    FUZZ_REQUIRE(scores.has_value() == !anyNull, entry);
    if (!scores)
        return 0;

    const QString base = QStringLiteral("http://www.example.cn");
    const QString address = report::address(base, *month, *scores);
    const QString prefix = base + QStringLiteral("\\03\\report.asp?");
    FUZZ_REQUIRE(address.startsWith(prefix), address);
    const QStringList pairs = address.mid(prefix.size()).split(QLatin1Char('&'));
    FUZZ_REQUIRE(pairs.size() == 5, address);
    FUZZ_REQUIRE(pairs.at(0) == QStringLiteral("month=") + QString::number(*month + 1), address);
    const double values[] = {scores->a2, scores->a3, scores->a4, scores->a5};
    for (int i = 0; i < 4; ++i) {
        const QString name = QStringLiteral("a%1=").arg(i + 2);
        FUZZ_REQUIRE(pairs.at(i + 1).startsWith(name), address);
        const std::optional<double> back = conv::parseNumber(pairs.at(i + 1).mid(name.size()));
        FUZZ_REQUIRE(back && fuzzcheck::within15Digits(values[i], *back), address);
    }
    FUZZ_REQUIRE(report::announcement(*month).startsWith(QString::number(*month + 1) + QStringLiteral("月")),
        report::announcement(*month));
    return 0;
}
