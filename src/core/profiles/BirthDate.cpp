#include "BirthDate.h"

#include "core/data/Conversions.h"

#include <QDate>
#include <QRegularExpression>

namespace birthdate {

int monthLength(int year, int month)
{
    switch (month) {
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
        return 31;
    case 2:
        return (year % 4 == 0 && (year % 400 == 0 || year % 100 != 0)) ? 29 : 28;
    default:
        return 30;
    }
}

QStringList yearItems(int currentYear)
{
    return numberItems(kFirstYear, currentYear);
}

QStringList numberItems(int first, int last)
{
    QStringList items;
    for (int n = first; n <= last; ++n)
        items.append(conv::decimalText(n));
    return items;
}

int keptDay(int selectedDay, int length)
{
    if (selectedDay < 1)
        return 1;
    return selectedDay > length ? length : selectedDay;
}

std::optional<Date> parse(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^ *([0-9]{4})([-/])([0-9]{1,2})\\2([0-9]{1,2})(?:[ T][0-9]{1,2}:[0-9]{2}(?::[0-9]{2}(?:\\.[0-9]+)?)?)? *\\z"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const Date date {m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4).toInt()};
    if (!QDate(date.year, date.month, date.day).isValid())
        return std::nullopt;
    return date;
}

std::optional<Date> showable(const QString &text, int currentYear)
{
    const std::optional<Date> date = parse(text);
    if (!date || date->year < kFirstYear || date->year > currentYear)
        return std::nullopt;
    return date;
}

QString compose(int year, int month, int day)
{
    // The year keeps four digits, as parse() reads it.
    return QString::number(year).rightJustified(4, QLatin1Char('0')) + QLatin1Char('-') + conv::decimalText(month)
        + QLatin1Char('-') + conv::decimalText(day);
}

} // namespace birthdate
