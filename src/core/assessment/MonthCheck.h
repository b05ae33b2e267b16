#pragma once

#include <QString>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <optional>

// The rules of the measurements window: which month age it proposes and
// whether a month may be started.
namespace monthcheck {

inline constexpr int kFirstMonth = 1;
inline constexpr int kLastMonth = 36;

inline const QString kNoChild = QStringLiteral("请选择用户");
inline const QString kNotNumeric = QStringLiteral("所有项目要填数字");
inline const QString kOutOfRange = QStringLiteral("月龄必须在1-36区间");
inline const QString kAlreadyTested = QStringLiteral("月已经测试过了，不能再作测试");

// The five boxes, as typed.
struct Entries {
    QString monthAge;
    QString height;
    QString weight;
    QString heartRate;
    QString breath;
};

// Either the accepted month age or the message that refuses the month.
struct Outcome {
    std::optional<std::int16_t> monthAge;
    QString message;
    bool accepted() const { return monthAge.has_value(); }
};

// Whether any child already has a month with this month age.
using IsRecorded = std::function<bool(std::int16_t monthAge)>;

// Checks a start of the month, first failure wins:
// 1. no current child: "请选择用户";
// 2. any of the five boxes not a number: "所有项目要填数字";
// 3. the month age, rounded half to even, is looked up, then must lie in
//    1..36: "月龄必须在1-36区间" (also when the rounded value leaves the
//    16-bit range; such a month age is not looked up);
// 4. a month age already recorded for any child: the month-age box's text as
//    typed, then "月已经测试过了，不能再作测试".
// Otherwise the rounded month age is accepted.
Outcome check(const QString &currentChild, const Entries &entries, const IsRecorded &isRecorded);

// The month age proposed when the window opens, as the box shows it: "1" when
// no month is recorded (or none has a month age), else one more than the
// highest month age.
QString proposal(bool anyRecorded, const QVariant &highestMonthAge);

} // namespace monthcheck
