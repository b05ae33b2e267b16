#pragma once

#include <QDate>
#include <QString>

#include <optional>

// The WHO Child Growth Standards (2006) for weight-for-age and
// length/height-for-age, by day of age: the LMS tables, the age a record is
// compared at, the z-score of a measurement and its percentile.
namespace growth {

enum class Indicator { WeightForAge, LengthHeightForAge };
enum class Sex { Boy, Girl };

// The Box-Cox power L, median M and coefficient of variation S of one day.
struct Lms {
    double l = 1;
    double m = 0;
    double s = 0;
};

// WHO's month.
inline constexpr double kDaysPerMonth = 30.4375;
// From this day on the standard is for standing height; before it, for
// recumbent length.
inline constexpr int kFirstHeightDay = 731;

// "男" is a boy, "女" a girl (blanks around ignored); anything else has no sex
// the standard knows.
std::optional<Sex> sexOf(const QString &text);

// The table row for an age in whole days; nothing beyond the tables (0 to
// 1856 days).
std::optional<Lms> lms(Indicator indicator, Sex sex, int day);

// The measurement at a given z: M(1 + L·S·z)^(1/L), or M·e^(S·z) when L = 0.
double valueAt(const Lms &row, double z);

// The LMS z-score: ((y/M)^L − 1)/(L·S), or ln(y/M)/S when L = 0.
double lmsZ(const Lms &row, double value);

// The z-score as WHO computes it for the indicator: the LMS z, except for
// weight beyond ±3 SD, where the distance from the 3 SD curve is counted in
// units of the 2–3 SD gap (the restricted application of the LMS method).
double zScore(Indicator indicator, const Lms &row, double value);

// 100·Φ(z), the share of the reference population below z, in percent.
double percentile(double z);

// The z of a percentile (0 < p < 100).
double zOfPercentile(double percent);

// Where one measurement stands.
struct Standing {
    double z = 0;
    double percentile = 0;
    // Below the 3rd or above the 97th percentile.
    bool outsideP3P97 = false;
    // Beyond WHO's plausible range (weight z < −6 or > +5, length/height
    // z < −6 or > +6): check the measurement.
    bool implausible = false;
};

// The standing of a measurement at an age in days, or nothing when the age
// lies beyond the tables or the value is not a positive number.
std::optional<Standing> assess(Indicator indicator, Sex sex, int day, double value);

// The age a month's record is compared at.
struct Age {
    int days = 0;
    // Counted from the birth date to the day of the measurements; otherwise
    // the middle of the recorded month.
    bool exact = false;
    // Exact: completed calendar months on that day and the days beyond them;
    // otherwise the recorded month.
    int months = 0;
    int restDays = 0;
};

// Completed calendar months from birth to a day (a birthday on the 31st
// completes its month on the last day of a shorter month); negative before
// the birth.
int completedMonths(const QDate &birth, const QDate &day);

// The age of a record of month m. The day of the measurements is the one the
// month was entered on: when it lies between the birth date and the end of
// the month after m (less than m + 2 completed months), the month was entered
// early, on time or soon after, and the exact age in days on that day is
// used. Otherwise (no day, no readable birth date, a day before the birth, or
// a month entered long after it happened) the middle of month m, m + 0.5
// months in whole days.
Age ageOf(int month, const QDate &birth, const QDate &measured);

// "3月12天", or "约3.5月" for the middle of a month.
QString ageText(const Age &age);

} // namespace growth
