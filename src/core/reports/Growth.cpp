#include "Growth.h"

#include <QFile>
#include <QStringList>

#include <array>
#include <cmath>
#include <stdexcept>
#include <vector>

// The tables are compiled into the library as a resource.
static void registerWhoTables()
{
    Q_INIT_RESOURCE(who);
}

namespace growth {

namespace {

// One table: the rows of one sex, indexed by day of age.
using Table = std::vector<Lms>;

// Reads a table: a header line, then sex, age (days), L, M, S and, for
// length/height, L or H, tab-separated, the days of each sex in order from 0.
// A malformed table is a build fault: it stops here.
std::array<Table, 2> readTable(const QString &name)
{
    QFile file(QStringLiteral(":/who/") + name);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("growth table missing: " + name.toStdString());
    std::array<Table, 2> tables;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList cells = lines.at(i).trimmed().split(QLatin1Char('\t'));
        bool ok[5] = {false, false, false, false, false};
        int sex = 0;
        int day = -1;
        Lms row;
        if (cells.size() >= 5) {
            sex = cells.at(0).toInt(&ok[0]);
            day = cells.at(1).toInt(&ok[1]);
            row = {cells.at(2).toDouble(&ok[2]), cells.at(3).toDouble(&ok[3]), cells.at(4).toDouble(&ok[4])};
        }
        const bool fits = (sex == 1 || sex == 2) && day == static_cast<int>(tables.at(sex - 1).size());
        if (!(ok[0] && ok[1] && ok[2] && ok[3] && ok[4]) || !fits || row.m <= 0 || row.s <= 0)
            throw std::runtime_error("growth table malformed: " + name.toStdString());
        tables.at(sex - 1).push_back(row);
    }
    return tables;
}

const Table &table(Indicator indicator, Sex sex)
{
    static const std::array<std::array<Table, 2>, 2> tables = [] {
        registerWhoTables();
        return std::array<std::array<Table, 2>, 2> {
            readTable(QStringLiteral("weianthro.txt")), readTable(QStringLiteral("lenanthro.txt"))};
    }();
    return tables.at(indicator == Indicator::WeightForAge ? 0 : 1).at(sex == Sex::Boy ? 0 : 1);
}

} // namespace

std::optional<Sex> sexOf(const QString &text)
{
    const QString t = text.trimmed();
    if (t == QStringLiteral("男"))
        return Sex::Boy;
    if (t == QStringLiteral("女"))
        return Sex::Girl;
    return std::nullopt;
}

std::optional<Lms> lms(Indicator indicator, Sex sex, int day)
{
    const Table &rows = table(indicator, sex);
    if (day < 0 || day >= static_cast<int>(rows.size()))
        return std::nullopt;
    return rows.at(static_cast<std::size_t>(day));
}

double valueAt(const Lms &row, double z)
{
    if (row.l == 0)
        return row.m * std::exp(row.s * z);
    return row.m * std::pow(1 + row.l * row.s * z, 1 / row.l);
}

double lmsZ(const Lms &row, double value)
{
    if (row.l == 0)
        return std::log(value / row.m) / row.s;
    return (std::pow(value / row.m, row.l) - 1) / (row.l * row.s);
}

double zScore(Indicator indicator, const Lms &row, double value)
{
    const double z = lmsZ(row, value);
    if (indicator != Indicator::WeightForAge)
        return z;
    if (z > 3) {
        const double sd3 = valueAt(row, 3);
        return 3 + (value - sd3) / (sd3 - valueAt(row, 2));
    }
    if (z < -3) {
        const double sd3neg = valueAt(row, -3);
        return -3 + (value - sd3neg) / (valueAt(row, -2) - sd3neg);
    }
    return z;
}

double percentile(double z)
{
    return 50 * std::erfc(-z / std::sqrt(2.0));
}

double zOfPercentile(double percent)
{
    // Bisection on the monotone percentile(): plenty fast for the few curves
    // drawn, and exact to double precision.
    double lo = -10;
    double hi = 10;
    for (int i = 0; i < 100; ++i) {
        const double mid = (lo + hi) / 2;
        (percentile(mid) < percent ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}

std::optional<Standing> assess(Indicator indicator, Sex sex, int day, double value)
{
    const std::optional<Lms> row = lms(indicator, sex, day);
    if (!row || !(value > 0) || !std::isfinite(value))
        return std::nullopt;
    Standing s;
    s.z = zScore(indicator, *row, value);
    s.percentile = percentile(s.z);
    s.outsideP3P97 = s.percentile < 3 || s.percentile > 97;
    const double highest = indicator == Indicator::WeightForAge ? 5 : 6;
    s.implausible = s.z < -6 || s.z > highest;
    return s;
}

int completedMonths(const QDate &birth, const QDate &day)
{
    if (day < birth)
        return -1;
    int months = (day.year() - birth.year()) * 12 + day.month() - birth.month();
    // addMonths() ends a month that has no such day on its last day.
    if (birth.addMonths(months) > day)
        --months;
    return months;
}

Age ageOf(int month, const QDate &birth, const QDate &measured)
{
    Age age;
    age.months = month;
    const int completed = birth.isValid() && measured.isValid() ? completedMonths(birth, measured) : -1;
    if (completed >= 0 && completed <= month + 1) {
        age.exact = true;
        age.days = static_cast<int>(birth.daysTo(measured));
        age.months = completed;
        age.restDays = static_cast<int>(birth.addMonths(completed).daysTo(measured));
    } else {
        age.days = static_cast<int>(std::lround((month + 0.5) * kDaysPerMonth));
    }
    return age;
}

QString ageText(const Age &age)
{
    if (age.exact)
        return QStringLiteral("%1月%2天").arg(age.months).arg(age.restDays);
    return QStringLiteral("约%1.5月").arg(age.months);
}

} // namespace growth
