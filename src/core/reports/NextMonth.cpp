#include "NextMonth.h"

#include "core/assessment/Scoring.h"
#include "core/data/Dao.h"
#include "core/data/ItemSets.h"
#include "core/data/Records.h"
#include "core/data/Schema.h"
#include "core/reports/Growth.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace nextmonth {

namespace {

// The items of a month age by domain (1..5), in the order they are shown.
struct MonthItems {
    scoring::PerDomain<QList<Activity>> items;
    scoring::PerDomain<double> points {};
};

MonthItems itemsOf(dao::Database &db, int month)
{
    MonthItems m;
    if (month < 1 || month > kLastMonth)
        return m;
    for (dao::Recordset rs = records::itemsOfMonth(db, static_cast<std::int16_t>(month)); !rs.AtEOF(); rs.MoveNext()) {
        const int d = scoring::domainNumber(dao::textOr(rs.Fields(schema::test::kClass).Value(), QString()));
        if (d == scoring::kOtherDomain)
            continue;
        // What to do together: the how-to, or the goal when the item has none.
        const QVariant howto = rs.Fields(schema::test::kHowTo).Value();
        m.items[d - 1].append({dao::textOr(rs.Fields(schema::test::kItem).Value(), QString()),
            dao::textOr(howto.isNull() ? rs.Fields(schema::test::kGoal).Value() : howto, QString())});
        const QVariant fen = rs.Fields(schema::test::kPoints).Value();
        if (!fen.isNull())
            m.points[d - 1] += fen.toDouble();
    }
    return m;
}

// The child's record of a month age, or of the latest month recorded.
struct MonthResult {
    int month = -1;
    scoring::PerDomain<std::optional<double>> scores;
    scoring::PerDomain<QString> answers;
    QVariant itemSet;
};

MonthResult resultOf(dao::Database &db, const QString &child, std::optional<int> month)
{
    MonthResult latest;
    for (dao::Recordset rs = records::recordsOfChild(db, child); !rs.AtEOF(); rs.MoveNext()) {
        const QVariant age = rs.Fields(schema::testrecord::kMonthAge).Value();
        bool ok = false;
        const int m = age.toInt(&ok);
        if (!ok || (month ? m != *month : m <= latest.month))
            continue;
        latest = MonthResult();
        latest.month = m;
        for (int d = scoring::kFirstDomain; d <= scoring::kLastDomain; ++d) {
            const QVariant score = rs.Fields(schema::testrecord::score(d)).Value();
            if (!score.isNull() && std::isfinite(score.toDouble()))
                latest.scores[d - 1] = score.toDouble();
            latest.answers[d - 1] = dao::textOr(rs.Fields(schema::testrecord::answers(d)).Value(), QString());
        }
        latest.itemSet = rs.Fields(schema::testrecord::kItemSet).Value();
    }
    return latest;
}

bool scored(const MonthResult &r)
{
    return std::all_of(r.scores.cbegin(), r.scores.cend(), [](const auto &s) { return s.has_value(); });
}

// Per domain, the month's items rated 一般 or lower, when every answer digit
// still stands for an item the file holds for that month.
std::optional<scoring::PerDomain<QList<Activity>>> toPractise(
    dao::Database &db, const MonthResult &r, const MonthItems &asked)
{
    if (r.month < 1 || !scored(r) || !itemsets::answersMatch(db, r.itemSet, r.month))
        return std::nullopt;
    scoring::PerDomain<QList<Activity>> practise;
    for (int d = 0; d < scoring::kDomainCount; ++d) {
        const QString &digits = r.answers[d];
        if (digits.size() != asked.items[d].size())
            return std::nullopt;
        for (qsizetype i = 0; i < digits.size(); ++i) {
            if (digits.at(i).digitValue() >= 3)
                practise[d].append(asked.items[d].at(i));
        }
    }
    return practise;
}

} // namespace

const QList<content::Sign> &signs()
{
    static const QList<content::Sign> all = content::readSigns(QStringLiteral(":/content/") + content::kSignsFile);
    return all;
}

int checkpointFor(int ageMonths, const QList<content::Sign> &signs)
{
    int checkpoint = 0;
    int last = 0;
    for (const content::Sign &s : signs) {
        if (s.kind != content::Sign::Kind::Sign || s.age == 0)
            continue;
        last = std::max(last, s.age);
        if (s.age >= ageMonths && (checkpoint == 0 || s.age < checkpoint))
            checkpoint = s.age;
    }
    return checkpoint ? checkpoint : last;
}

std::optional<int> nextVisit(int ageMonths, const QList<content::Sign> &signs)
{
    std::optional<int> next;
    for (const content::Sign &s : signs) {
        if (s.kind == content::Sign::Kind::Visit && s.age >= ageMonths && (!next || s.age < *next))
            next = s.age;
    }
    return next;
}

QString shareText(const DomainPlan &domain)
{
    const auto plain = [](double v) {
        QString t = QLocale::c().toString(std::round(v * 10) / 10, 'f', 1);
        if (t.endsWith(QStringLiteral(".0")))
            t.chop(2);
        return t;
    };
    if (!domain.score)
        return domain.name;
    return QStringLiteral("%1 %2 / %3").arg(domain.name, plain(*domain.score), plain(domain.points));
}

Page build(dao::Database &db, const growthreport::ChildRecord &child, std::optional<int> month, const QDate &today)
{
    Page page;
    page.child = child.name;
    const QDate &birth = child.birth;
    const int age = birth.isValid() && birth <= today ? growth::completedMonths(birth, today) : -1;

    const MonthResult result = resultOf(db, child.name, month);
    page.month = month ? *month : result.month >= 0 ? result.month : std::clamp(age, 0, kLastMonth);
    const MonthItems coming = itemsOf(db, page.month + 1);
    const MonthItems asked = itemsOf(db, page.month);
    const bool hasScores = result.month == page.month && scored(result);
    for (int d = 0; d < scoring::kDomainCount; ++d) {
        DomainPlan domain;
        domain.name = content::kDomains.at(d);
        domain.points = asked.points[d];
        if (hasScores && domain.points > 0)
            domain.score = result.scores[d];
        domain.activities = coming.items[d];
        page.domains.append(domain);
    }
    if (hasScores) {
        std::stable_sort(page.domains.begin(), page.domains.end(), [](const DomainPlan &a, const DomainPlan &b) {
            const double shareA = a.score ? *a.score / a.points : 2;
            const double shareB = b.score ? *b.score / b.points : 2;
            return shareA < shareB;
        });
    }
    // What to practise comes in the order of the domains on the page.
    if (const auto practise = result.month == page.month ? toPractise(db, result, asked) : std::nullopt) {
        page.practise.emplace();
        for (const DomainPlan &domain : page.domains)
            page.practise->append(practise->at(content::kDomains.indexOf(domain.name)));
    }

    page.age = age >= 0 ? age : page.month + 1;
    page.checkpoint = checkpointFor(page.age, signs());
    for (const content::Sign &s : signs()) {
        if (s.kind == content::Sign::Kind::Visit)
            page.visits.append({s.age, s.text});
        else if (s.age == 0)
            page.anyAgeSigns << s.text;
        else if (s.age == page.checkpoint)
            page.signs << s.text;
    }
    page.nextVisit = nextVisit(page.age, signs());
    return page;
}

} // namespace nextmonth
