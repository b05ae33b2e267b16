#include "MonthCheck.h"

#include "core/data/Conversions.h"
#include "core/data/Dao.h"

namespace monthcheck {

Outcome check(const QString &currentChild, const Entries &entries, const IsRecorded &isRecorded)
{
    if (currentChild.isEmpty())
        return {std::nullopt, kNoChild};

    const QString *boxes[] = {&entries.monthAge, &entries.height, &entries.weight, &entries.heartRate, &entries.breath};
    bool allNumbers = true;
    for (const QString *box : boxes)
        allNumbers = conv::isNumeric(*box) && allNumbers;
    if (!allNumbers)
        return {std::nullopt, kNotNumeric};

    const std::optional<std::int16_t> monthAge = conv::toInt16(*conv::parseNumber(entries.monthAge));
    if (!monthAge)
        return {std::nullopt, kOutOfRange};
    const bool recorded = isRecorded(*monthAge);
    if (*monthAge < kFirstMonth || *monthAge > kLastMonth)
        return {std::nullopt, kOutOfRange};
    if (recorded)
        return {std::nullopt, entries.monthAge + kAlreadyTested};
    return {monthAge, QString()};
}

QString proposal(bool anyRecorded, const QVariant &highestMonthAge)
{
    if (!anyRecorded || highestMonthAge.isNull())
        return conv::decimalText(kFirstMonth);
    return conv::numberText(conv::roundHalfEven(dao::number(highestMonthAge) + 1));
}

} // namespace monthcheck
