#include "GrowthReport.h"

#include "data/Conversions.h"
#include "data/Dao.h"
#include "data/Records.h"
#include "data/Schema.h"

#include <QSet>

#include <algorithm>
#include <cmath>

namespace growthreport {

namespace {

namespace user = schema::user;
namespace testrecord = schema::testrecord;

// A stored number: numeric columns arrive as numbers, but a value written as
// text is read the way the measurement window accepts it.
std::optional<double> numberOf(const QVariant &value)
{
    if (value.isNull())
        return std::nullopt;
    if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray)
        return conv::parseNumber(value.toString());
    bool ok = false;
    const double d = value.toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return std::nullopt;
    return d;
}

QString textOf(const QVariant &value)
{
    if (value.isNull())
        return QString();
    if (value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime)
        return value.toDate().toString(QStringLiteral("yyyy-M-d"));
    return value.toString().trimmed();
}

QList<MonthRecord> readMonths(dao::Database &db, const QString &name)
{
    QList<MonthRecord> months;
    dao::Recordset rs = records::recordsOfChild(db, name);
    for (; !rs.AtEOF(); rs.MoveNext()) {
        MonthRecord m;
        if (const auto month = numberOf(rs.Fields(testrecord::kMonthAge).Value()))
            m.month = static_cast<int>(conv::roundHalfEven(*month));
        m.height = numberOf(rs.Fields(testrecord::kHeight).Value());
        m.weight = numberOf(rs.Fields(testrecord::kWeight).Value());
        m.heartRate = numberOf(rs.Fields(testrecord::kHeartRate).Value());
        m.breath = numberOf(rs.Fields(testrecord::kBreath).Value());
        for (int d = 0; d < scoring::kDomainCount; ++d)
            m.scores[d] = numberOf(rs.Fields(testrecord::score(d + 1)).Value());
        months.append(m);
    }
    std::stable_sort(months.begin(), months.end(), [](const MonthRecord &a, const MonthRecord &b) {
        if (a.month && b.month)
            return *a.month < *b.month;
        return a.month.has_value() && !b.month.has_value();
    });
    return months;
}

} // namespace

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
        child.sex = textOf(rs.Fields(user::kSex).Value());
        child.birth = textOf(rs.Fields(user::kBirth).Value());
        children.append(child);
    }
    for (ChildRecord &child : children)
        child.months = readMonths(db, child.name);
    return children;
}

QString title(const QList<ChildRecord> &children)
{
    QStringList names;
    for (const ChildRecord &c : children)
        names.append(c.name);
    return QStringLiteral("成长报告 – ") + names.join(QStringLiteral("、"));
}

} // namespace growthreport
