#pragma once

#include <QString>
#include <QVariant>

#include <array>
#include <cstdint>

// How the questionnaire's answers become results: each answered item adds its
// points, weighted by the rating's factor, to the score of its domain and its
// rating digit to the domain's answer string; the domain scores add up to the
// total shown to the parent.
namespace scoring {

// Ratings: 0 when no option is chosen, 1 ("优秀") to 5 ("完全不行").
inline constexpr int kRatingCount = 5;
inline constexpr int kNoRating = 0;
inline constexpr int kLowestRating = kRatingCount;

// The caption of each rating, 1 to 5, as the questionnaire offers it; an item
// may name the first four its own way.
inline const std::array<QString, kRatingCount> kRatingCaptions {QStringLiteral("优秀"), QStringLiteral("良好"),
    QStringLiteral("一般"), QStringLiteral("几乎不行"), QStringLiteral("完全不行")};

// Stored domains are 1 to 5 (生理, 运动, 认知, 言语, 人际); domain 0 collects
// items of any other clas and is never stored nor added to the total.
inline constexpr int kDomainCount = 5;
inline constexpr int kOtherDomain = 0;
inline constexpr int kFirstDomain = 1;
inline constexpr int kLastDomain = kDomainCount;

// One value per stored domain, domain 1 first.
template <class T> using PerDomain = std::array<T, kDomainCount>;

// The weight of a rating: 0, 1.25, 1.0, 0.8, 0.5, 0.2 for ratings 0 to 5.
// A rating outside 0..5 weighs 0.
double optionFactor(int rating);

// The domain named by an item's clas text: "生理" 1, "运动" 2, "认知" 3,
// "言语" 4, "人际" 5, anything else 0. The match is exact (no trimming).
int domainNumber(const QString &clas);

// The total of the five domain scores (domains 1 to 5 in this order): each
// addition is rounded to the nearest whole number, a half going to the even
// neighbour. A total beyond the 16-bit range is held at its nearest limit.
std::int16_t total(const PerDomain<double> &scores);

// The message that shows the total: "您孩子的分数是:" and the total.
QString totalMessage(std::int16_t total);

// The answers of one questionnaire, per domain.
class ScoreSheet {
public:
    // Records one item with its clas and fen values as read from the item and
    // the chosen rating. A Null clas counts in domain 0 like an unknown one; a
    // Null fen adds nothing to the score (the digit is still recorded). A fen
    // held as text is read as a number.
    void record(const QVariant &clas, const QVariant &fen, int rating);

    const QString &answers(int domain) const { return m_answers.at(index(domain)); }
    double score(int domain) const { return m_scores.at(index(domain)); }
    std::int16_t total() const;

private:
    static std::size_t index(int domain);
    // Domain 0 first, then the stored domains.
    std::array<QString, 1 + kDomainCount> m_answers;
    std::array<double, 1 + kDomainCount> m_scores {};
};

} // namespace scoring
