#pragma once

#include <QString>

#include <optional>

// The WHO Child Growth Standards (2006) for weight-for-age and
// length/height-for-age, by completed month of age from 0 to 36: the LMS
// tables, the z-score of a measurement and its percentile.
namespace growth {

enum class Indicator { WeightForAge, LengthHeightForAge };
enum class Sex { Boy, Girl };

// The Box-Cox power L, median M and coefficient of variation S of one month.
struct Lms {
    double l = 1;
    double m = 0;
    double s = 0;
};

inline constexpr int kFirstMonth = 0;
inline constexpr int kLastMonth = 36;
// From this month on the standard is for standing height; before it, for
// recumbent length.
inline constexpr int kFirstHeightMonth = 24;
// Beyond |z| = 5 a measurement lies outside what the standard calls plausible.
inline constexpr double kImplausibleZ = 5;

// "男" is a boy, "女" a girl (blanks around ignored); anything else has no sex
// the standard knows.
std::optional<Sex> sexOf(const QString &text);

// The table row for a completed month 0..36: for length/height the length row
// before 24 months and the height row from 24 months on. Nothing outside 0..36.
std::optional<Lms> lms(Indicator indicator, Sex sex, int month);

// The recumbent-length row of month 24, where the length curve ends.
Lms lengthAt24(Sex sex);

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
    // |z| > 5: outside the standard's plausible range; check the measurement.
    bool implausible = false;
};

// The standing of a measurement, or nothing when the month lies outside 0..36
// or the value is not a positive number.
std::optional<Standing> assess(Indicator indicator, Sex sex, int month, double value);

} // namespace growth
