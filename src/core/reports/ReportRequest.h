#pragma once

#include <QString>
#include <QVariant>

#include <cstdint>
#include <optional>

// The request of a month's education plan from the product web site: the
// address the browser is given and the message the parent sees first.
namespace report {

// The domain scores the web site takes: domains 2 to 5 of the month's row.
struct Scores {
    double a2 = 0;
    double a3 = 0;
    double a4 = 0;
    double a5 = 0;
};

// The month age of a list entry ("3" gives 3); nothing for an empty or
// unreadable entry.
std::optional<std::int16_t> monthOf(const QString &entry);

// The scores of a row as read from a2fen..a5fen; nothing when any of them is
// Null (the month's questionnaire was not finished).
std::optional<Scores> scoresOf(const QVariant &a2, const QVariant &a3, const QVariant &a4, const QVariant &a5);

// The report address for a recorded month age: the site's base URL, then
// "\03\report.asp?month=" with the following month and the four scores, in
// that order, nothing encoded.
QString address(const QString &baseUrl, std::int16_t monthAge, const Scores &scores);

// "N月的教育方案需要联网获取!" with N the month that is requested.
QString announcement(std::int16_t monthAge);

// Messages for a request that cannot be made.
QString noRecordMessage();
QString incompleteMessage(std::int16_t monthAge);
QString rowMissingMessage(std::int16_t monthAge);

} // namespace report
