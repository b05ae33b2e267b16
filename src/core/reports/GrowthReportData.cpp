#include "GrowthReport.h"

#include "Growth.h"
#include "core/data/Conversions.h"
#include "core/data/Dao.h"
#include "core/data/Records.h"
#include "core/data/Schema.h"
#include "core/profiles/BirthDate.h"

#include <QSet>

#include <algorithm>
#include <cmath>

namespace growthreport {

namespace {

namespace user = schema::user;
namespace testrecord = schema::testrecord;

// Beyond this a value is no measurement and no score, but a damaged one.
constexpr double kLargest = 1e6;

// A stored value as text: numbers in plain decimal, Null as nothing.
QString storedText(const QVariant &value)
{
    if (value.isNull())
        return QString();
    if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime)
        return dayText(value.toDate());
    return dao::text(value);
}

// A stored number: numeric columns arrive as numbers, but a value written as
// text is read the way the measurement window accepts it.
Reading readingOf(const QVariant &value)
{
    Reading r;
    r.text = storedText(value);
    if (value.isNull())
        return r;
    std::optional<double> number;
    if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray) {
        if (value.toString().trimmed().isEmpty())
            return r;
        number = conv::parseNumber(value.toString());
    } else {
        bool ok = false;
        const double d = value.toDouble(&ok);
        if (ok)
            number = d;
    }
    if (!number || !std::isfinite(*number) || std::abs(*number) >= kLargest) {
        r.kind = Reading::Kind::Unreadable;
        return r;
    }
    r.kind = Reading::Kind::Number;
    r.value = *number;
    return r;
}

// A stored day, in any form the profile form reads a birthday in.
QDate dayOf(const QString &text)
{
    const std::optional<birthdate::Date> date = birthdate::parse(text);
    return date ? QDate(date->year, date->month, date->day) : QDate();
}

QList<MonthRecord> readMonths(dao::Database &db, const ChildRecord &child)
{
    QList<MonthRecord> months;
    dao::Recordset rs = records::recordsOfChild(db, child.name);
    // A file not yet brought up to date has no day column.
    const bool dated = rs.columnNames().contains(testrecord::kMeasured, Qt::CaseInsensitive);
    for (; !rs.AtEOF(); rs.MoveNext()) {
        MonthRecord m;
        m.monthAge = readingOf(rs.Fields(testrecord::kMonthAge).Value());
        m.height = readingOf(rs.Fields(testrecord::kHeight).Value());
        m.weight = readingOf(rs.Fields(testrecord::kWeight).Value());
        m.heartRate = readingOf(rs.Fields(testrecord::kHeartRate).Value());
        m.breath = readingOf(rs.Fields(testrecord::kBreath).Value());
        for (int d = 0; d < scoring::kDomainCount; ++d)
            m.scores[d] = readingOf(rs.Fields(testrecord::score(d + 1)).Value());
        if (dated)
            m.measuredText = storedText(rs.Fields(testrecord::kMeasured).Value());
        m.measured = dayOf(m.measuredText);
        if (const std::optional<int> month = m.month(); month && *month >= 0)
            m.age = growth::ageOf(*month, child.birth, m.measured);
        months.append(m);
    }
    std::stable_sort(months.begin(), months.end(), [](const MonthRecord &a, const MonthRecord &b) {
        const std::optional<int> ma = a.month();
        const std::optional<int> mb = b.month();
        if (ma && mb)
            return *ma < *mb;
        return ma.has_value() && !mb.has_value();
    });
    return months;
}

} // namespace

std::optional<int> MonthRecord::month() const
{
    if (!monthAge.isNumber())
        return std::nullopt;
    if (const std::optional<std::int16_t> whole = conv::toInt16(monthAge.value))
        return *whole;
    return std::nullopt;
}

std::optional<std::int16_t> MonthRecord::total() const
{
    scoring::PerDomain<double> values {};
    for (std::size_t d = 0; d < values.size(); ++d) {
        if (!scores[d].isNumber())
            return std::nullopt;
        values[d] = scores[d].value;
    }
    return scoring::total(values);
}

QList<ChildRecord> readChildren(dao::Database &db, const std::optional<QString> &onlyChild)
{
    QList<ChildRecord> children;
    QSet<QString> seen;
    dao::Recordset rs = onlyChild ? records::profileOf(db, *onlyChild) : records::profiles(db);
    for (; !rs.AtEOF(); rs.MoveNext()) {
        const QVariant name = rs.Fields(user::kName).Value();
        // A profile without a name cannot own any month.
        if (name.isNull() || seen.contains(name.toString()))
            continue;
        seen.insert(name.toString());
        ChildRecord child;
        child.name = name.toString();
        child.sexText = storedText(rs.Fields(user::kSex).Value());
        child.birthText = storedText(rs.Fields(user::kBirth).Value());
        child.sex = growth::sexOf(child.sexText);
        child.birth = dayOf(child.birthText);
        children.append(child);
    }
    for (ChildRecord &child : children)
        child.months = readMonths(db, child);
    return children;
}

QString dayText(const QDate &day)
{
    return day.toString(testrecord::kMeasuredFormat);
}

QString title(const QList<ChildRecord> &children)
{
    QStringList names;
    for (const ChildRecord &c : children)
        names.append(c.name);
    return QStringLiteral("成长报告 – ") + names.join(QStringLiteral("、"));
}

} // namespace growthreport
