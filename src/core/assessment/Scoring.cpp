#include "Scoring.h"

#include "core/data/ContentFile.h"
#include "core/data/Conversions.h"
#include "core/data/Dao.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace scoring {

double optionFactor(int rating)
{
    static constexpr std::array<double, 1 + kRatingCount> factors = {0.0, 1.25, 1.0, 0.8, 0.5, 0.2};
    if (rating < kNoRating || rating > kLowestRating)
        return 0.0;
    return factors.at(static_cast<std::size_t>(rating));
}

int domainNumber(const QString &clas)
{
    // The domains in their order, as the questionnaire's content names them.
    const qsizetype i = content::kDomains.indexOf(clas);
    return i < 0 ? kOtherDomain : static_cast<int>(i) + kFirstDomain;
}

std::int16_t total(const PerDomain<double> &scores)
{
    // Summed in double precision so that a total which only passes beyond the
    // 16-bit range on the way still comes out right.
    double sum = 0;
    for (double score : scores)
        sum = conv::roundHalfEven(sum + score);
    if (std::isnan(sum))
        return 0;
    constexpr double low = std::numeric_limits<std::int16_t>::min();
    constexpr double high = std::numeric_limits<std::int16_t>::max();
    if (sum < low)
        return std::numeric_limits<std::int16_t>::min();
    if (sum > high)
        return std::numeric_limits<std::int16_t>::max();
    return static_cast<std::int16_t>(sum);
}

QString totalMessage(std::int16_t total)
{
    return QStringLiteral("您孩子的分数是:") + conv::decimalText(total);
}

std::size_t ScoreSheet::index(int domain)
{
    if (domain < kOtherDomain || domain > kLastDomain)
        return kOtherDomain;
    return static_cast<std::size_t>(domain);
}

void ScoreSheet::record(const QVariant &clas, const QVariant &fen, int rating)
{
    if (rating < kNoRating || rating > kLowestRating)
        rating = kNoRating;
    const std::size_t k = index(clas.isNull() ? kOtherDomain : domainNumber(dao::text(clas)));
    m_answers.at(k) += QString::number(rating);
    if (!fen.isNull())
        m_scores.at(k) += dao::number(fen) * optionFactor(rating);
}

std::int16_t ScoreSheet::total() const
{
    PerDomain<double> stored {};
    std::copy(m_scores.begin() + kFirstDomain, m_scores.end(), stored.begin());
    return scoring::total(stored);
}

} // namespace scoring
