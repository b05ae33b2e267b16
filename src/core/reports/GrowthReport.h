#pragma once

#include "core/assessment/Scoring.h"
#include "core/reports/Growth.h"

#include <QDate>
#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace dao {
class Database;
}

// The growth and development report: what it reads from the database for each
// child (the PDF is written by windows/reports/GrowthReportPdf.h).
namespace growthreport {

// A stored number as the report reads it: empty, a number, or unreadable (a
// text that is no number, a value that is not finite or too large to be a
// measurement or a score).
struct Reading {
    enum class Kind { Empty, Unreadable, Number };
    Kind kind = Kind::Empty;
    double value = 0;
    bool isNumber() const { return kind == Kind::Number; }
};

// One recorded month of a child as stored.
struct MonthRecord {
    Reading monthAge;
    Reading height; // cm
    Reading weight; // kg
    Reading heartRate; // beats per minute
    Reading breath; // breaths per minute
    // Domain scores 1..5 (生理, 运动, 认知, 言语, 人际); empty until the month's
    // questionnaire is finished.
    scoring::PerDomain<Reading> scores;
    // The day of the measurements; invalid when none is stored.
    QDate measured;

    // The month age as a whole number, when it is one of 16 bits.
    std::optional<int> month() const;
};

struct ChildRecord {
    QString name;
    QString sex;
    QString birth;
    // In order of month age; rows without a month age last.
    QList<MonthRecord> months;
};

// Every child in the order of the profile table (a name kept twice appears
// once, with its first profile, as every lookup in the application takes the
// first row), or only the child with the given name: then the list is empty
// when no profile has that name. Database failures raise dao::DbError.
QList<ChildRecord> readChildren(dao::Database &db, const std::optional<QString> &onlyChild = std::nullopt);

// The PDF's title: "成长报告 – " and the child's name, or the names joined.
QString title(const QList<ChildRecord> &children);

} // namespace growthreport
