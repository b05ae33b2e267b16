// Stored birthdays: reading any text, and writing a date so that it reads
// back as the same date.
#include "FuzzCheck.h"
#include "core/profiles/BirthDate.h"

#include <QDate>

#include <cstddef>
#include <cstdint>
#include <optional>

using birthdate::Date;

namespace {

QString dateText(const Date &d)
{
    return QStringLiteral("%1-%2-%3").arg(d.year).arg(d.month).arg(d.day);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (const std::optional<Date> date = birthdate::parse(text)) {
        FUZZ_REQUIRE(QDate(date->year, date->month, date->day).isValid(), text);
        FUZZ_REQUIRE(date->day <= birthdate::monthLength(date->year, date->month), text);
        const QString stored = birthdate::compose(date->year, date->month, date->day);
        FUZZ_REQUIRE(birthdate::parse(stored) == date, text + QStringLiteral(" -> ") + stored);
        const std::optional<Date> shown = birthdate::showable(text, 2030);
        FUZZ_REQUIRE(shown.has_value() == (date->year >= birthdate::kFirstYear && date->year <= 2030), text);
    } else {
        FUZZ_REQUIRE(!birthdate::showable(text, 2030), text);
    }

    // Three numbers from the bytes: a date written from the lists reads back
    // exactly when it exists.
    if (size >= 4) {
        const Date d {(data[0] << 8 | data[1]) % 10000, data[2] % 14, data[3] % 33};
        const std::optional<Date> back = birthdate::parse(birthdate::compose(d.year, d.month, d.day));
        FUZZ_REQUIRE(back.has_value() == QDate(d.year, d.month, d.day).isValid(), dateText(d));
        FUZZ_REQUIRE(!back || *back == d, dateText(d));
        if (d.year >= 1 && d.month >= 1 && d.month <= 12) {
            const int length = birthdate::monthLength(d.year, d.month);
            FUZZ_REQUIRE(length == QDate(d.year, d.month, 1).daysInMonth(), dateText(d));
            const int kept = birthdate::keptDay(d.day, length);
            FUZZ_REQUIRE(kept >= 1 && kept <= length && (d.day < 1 || d.day > length || kept == d.day), dateText(d));
        }
    }
    return 0;
}
