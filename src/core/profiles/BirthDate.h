#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The birthday as the profile form offers it: three lists (year, month, day)
// and the text stored in `user.birth` ("2004-2-29").
namespace birthdate {

// The year list starts here and ends with the current year.
inline constexpr int kFirstYear = 1999;

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
    friend bool operator==(const Date &, const Date &) = default;
};

// What a new profile starts with: 1 January 2003, held as "2003-01-01".
inline constexpr Date kNewProfileDate {2003, 1, 1};
inline const QString kNewProfileText = QStringLiteral("2003-01-01");

// Days in a month: 31 for 1, 3, 5, 7, 8, 10, 12; February 29 in leap years
// (divisible by 4, and by 400 or not by 100), else 28; 30 for the rest.
int monthLength(int year, int month);

// "1999" up to the given year, ascending.
QStringList yearItems(int currentYear);

// The decimal texts first..last ("1".."31").
QStringList numberItems(int first, int last);

// The day to select after the day list is fitted to a month of `length` days:
// the selected day while it still exists, else the month's last day; the
// first day when nothing was selected.
int keptDay(int selectedDay, int length);

// Reads a stored birthday: year, month and day separated by "-" (or "/"),
// month and day with one or two digits ("2003-01-01", "2003-1-1"), optionally
// followed by a time of day as the engine writes dates ("2003-01-01 00:00:00").
// Nothing when the text is no such date or the date does not exist; blanks
// (spaces) may surround it, a line break may not.
std::optional<Date> parse(const QString &text);

// The date when the lists can show it (its year lies between 1999 and the
// current year); nothing otherwise.
std::optional<Date> showable(const QString &text, int currentYear);

// The stored form: "2003-1-1", month and day without leading zeros, the year
// with four digits.
QString compose(int year, int month, int day);

} // namespace birthdate
