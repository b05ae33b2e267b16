#pragma once

#include "assessment/Scoring.h"

#include <QDate>
#include <QList>
#include <QString>

#include <array>
#include <optional>

class QIODevice;

namespace dao {
class Database;
}

// The growth and development report: what it reads from the database and the
// PDF it writes for each child.
namespace growthreport {

// One recorded month of a child as stored; a value that is empty or not a
// number is left out.
struct MonthRecord {
    std::optional<int> month;
    std::optional<double> height; // cm
    std::optional<double> weight; // kg
    std::optional<double> heartRate; // beats per minute
    std::optional<double> breath; // breaths per minute
    // Domain scores 1..5 (生理, 运动, 认知, 言语, 人际); empty until the month's
    // questionnaire is finished.
    scoring::PerDomain<std::optional<double>> scores;
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

// Writes the report of the children as an A4 PDF to the device. Returns false
// when the device refuses the data.
bool writePdf(QIODevice *device, const QList<ChildRecord> &children, const QDate &reportDate);

// The PDF's title: "成长报告 – " and the child's name, or the names joined.
QString title(const QList<ChildRecord> &children);

} // namespace growthreport
