#pragma once

#include "core/assessment/Scoring.h"
#include "core/reports/Growth.h"

#include <QDate>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace dao {
class Database;
}

// The growth and development report's records: every child's profile and
// months read once, with the values the report's PDF and the records table
// (CSV) show ready (the PDF is written by windows/reports/GrowthReportPdf.h).
// A day is read as the profile form reads a birthday, whatever form an older
// file keeps it in; a name kept twice is one child.
namespace growthreport {

// A stored number as the report reads it: empty, a number, or unreadable (a
// text that is no number, a value that is not finite or too large to be a
// measurement or a score).
struct Reading {
    enum class Kind { Empty, Unreadable, Number };
    Kind kind = Kind::Empty;
    double value = 0;
    // The value as stored, for a table: a number in plain decimal, nothing
    // for Null.
    QString text;
    bool isNumber() const { return kind == Kind::Number; }
};

// One recorded month of a child.
struct MonthRecord {
    Reading monthAge;
    Reading height; // cm
    Reading weight; // kg
    Reading heartRate; // beats per minute
    Reading breath; // breaths per minute
    // Domain scores 1..5 (生理, 运动, 认知, 言语, 人际); empty until the month's
    // questionnaire is finished.
    scoring::PerDomain<Reading> scores;
    // The day of the measurements as stored, and read; invalid when none is
    // stored or it is no date.
    QString measuredText;
    QDate measured;
    // The age the month is compared with WHO's standard at; none without a
    // month age of 0 or more (growth::ageOf has the rule).
    std::optional<growth::Age> age;

    // The month age as a whole number, when it is one of 16 bits.
    std::optional<int> month() const;
    // The total of the domain scores; none until every score is a number.
    std::optional<std::int16_t> total() const;
};

struct ChildRecord {
    QString name;
    // As stored, and read: the sex the standard knows, the birth date (invalid
    // when the text is no date).
    QString sexText;
    QString birthText;
    std::optional<growth::Sex> sex;
    QDate birth;
    // In order of month age; rows without a month age last.
    QList<MonthRecord> months;
};

// Every child in the order of the profile table (a name kept twice appears
// once, with its first profile, as every lookup in the application takes the
// first row), or only the child with the given name: then the list is empty
// when no profile has that name. Database failures raise dao::DbError.
QList<ChildRecord> readChildren(dao::Database &db, const std::optional<QString> &onlyChild = std::nullopt);

// A day as the program writes days ("2024-2-3").
QString dayText(const QDate &day);

// The PDF's title: "成长报告 – " and the child's name, or the names joined.
QString title(const QList<ChildRecord> &children);

} // namespace growthreport
