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

struct Row {
    int month = 0;
    QString measure;
    Lms lms;
};

// Reads one table: a header line, then Month, Measure, L, M, S and the SD
// columns, tab-separated. A malformed table is a build fault: it stops here.
std::vector<Row> readTable(const QString &name)
{
    QFile file(QStringLiteral(":/who/") + name);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("growth table missing: " + name.toStdString());
    std::vector<Row> rows;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList cells = lines.at(i).split(QLatin1Char('\t'));
        bool ok[4] = {false, false, false, false};
        Row row;
        if (cells.size() >= 5) {
            row.month = cells.at(0).toInt(&ok[0]);
            row.measure = cells.at(1);
            row.lms = {cells.at(2).toDouble(&ok[1]), cells.at(3).toDouble(&ok[2]), cells.at(4).toDouble(&ok[3])};
        }
        if (!(ok[0] && ok[1] && ok[2] && ok[3]) || row.lms.m <= 0 || row.lms.s <= 0)
            throw std::runtime_error("growth table malformed: " + name.toStdString());
        rows.push_back(row);
    }
    return rows;
}

const std::vector<Row> &table(Indicator indicator, Sex sex)
{
    static const std::array<std::vector<Row>, 4> tables = [] {
        registerWhoTables();
        return std::array<std::vector<Row>, 4> {readTable(QStringLiteral("wfa_boys.tsv")),
            readTable(QStringLiteral("wfa_girls.tsv")), readTable(QStringLiteral("lhfa_boys.tsv")),
            readTable(QStringLiteral("lhfa_girls.tsv"))};
    }();
    const std::size_t i = (indicator == Indicator::WeightForAge ? 0 : 2) + (sex == Sex::Boy ? 0 : 1);
    return tables.at(i);
}

std::optional<Lms> find(Indicator indicator, Sex sex, int month, const QString &measure)
{
    for (const Row &row : table(indicator, sex)) {
        if (row.month == month && row.measure == measure)
            return row.lms;
    }
    return std::nullopt;
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

std::optional<Lms> lms(Indicator indicator, Sex sex, int month)
{
    if (month < kFirstMonth || month > kLastMonth)
        return std::nullopt;
    if (indicator == Indicator::WeightForAge)
        return find(indicator, sex, month, QStringLiteral("weight"));
    return find(indicator, sex, month, month < kFirstHeightMonth ? QStringLiteral("length") : QStringLiteral("height"));
}

Lms lengthAt24(Sex sex)
{
    return find(Indicator::LengthHeightForAge, sex, kFirstHeightMonth, QStringLiteral("length")).value();
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

std::optional<Standing> assess(Indicator indicator, Sex sex, int month, double value)
{
    const std::optional<Lms> row = lms(indicator, sex, month);
    if (!row || !(value > 0) || !std::isfinite(value))
        return std::nullopt;
    Standing s;
    s.z = zScore(indicator, *row, value);
    s.percentile = percentile(s.z);
    s.outsideP3P97 = s.percentile < 3 || s.percentile > 97;
    s.implausible = std::abs(s.z) > kImplausibleZ;
    return s;
}

} // namespace growth
