#pragma once

#include "core/data/ContentFile.h"
#include "core/reports/GrowthReport.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace dao {
class Database;
}

// What comes next for a child: the coming month's items to do together,
// ordered by the last month's results, the items of the last month that are
// worth more practice, and when to ask the child-health doctor.
namespace nextmonth {

// The questionnaire ends with this month age.
inline constexpr int kLastMonth = 36;

// An item as something to do with the child: its title and its how-to (its
// goal when it has no how-to).
struct Activity {
    QString title;
    QString howto;
};

struct DomainPlan {
    QString name; // 生理, 运动, …
    // The domain's score in the month the page follows and the points its
    // items carry there; no score when that month's questionnaire is not done.
    std::optional<double> score;
    double points = 0;
    QList<Activity> activities; // the coming month's items of the domain
};

struct Page {
    QString child;
    int month = 0; // the month the page follows; it is about month + 1
    // The coming month's items by domain, the lowest share of its points
    // first (in the usual order when the month is not scored).
    QList<DomainPlan> domains;
    // The month's items answered 一般, 几乎不行 or 完全不行; none when its answers
    // cannot be matched to the items the file holds now.
    std::optional<QList<Activity>> practise;
    int age = 0; // the child's age in completed months that the signs are for
    int checkpoint = 0; // the checkpoint of the warning-sign table for that age
    QStringList signs; // of the checkpoint
    QStringList anyAgeSigns;
    QList<std::pair<int, QString>> visits; // month age, what the visit holds
    std::optional<int> nextVisit; // month age of the next visit
};

// The checkpoint of the warning-sign table a child of that age is judged
// against: the first at or after the age (the last for older children).
int checkpointFor(int ageMonths, const QList<content::Sign> &signs);

// The first visit at or after the age; none after the last.
std::optional<int> nextVisit(int ageMonths, const QList<content::Sign> &signs);

// A domain's result as the page prints it: "言语 9.5 / 16".
QString shareText(const DomainPlan &domain);

// The signs and visits of the content (compiled into the program).
const QList<content::Sign> &signs();

// The page of the child (as the report model reads it): after the month
// given, or else the child's latest recorded month, or else (no month
// recorded) the child's age. The age the signs are for is the child's age on
// the day, or the coming month when the birth date cannot be read. Database
// failures raise dao::DbError.
Page build(dao::Database &db, const growthreport::ChildRecord &child, std::optional<int> month, const QDate &today);

} // namespace nextmonth
