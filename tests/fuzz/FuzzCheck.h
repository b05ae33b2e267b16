#pragma once

#include <QString>

#include <cmath>
#include <cstdio>
#include <cstdlib>

// A property every input must keep; a broken one ends the run with the input
// saved by libFuzzer.
#define FUZZ_REQUIRE(condition, detail)                                                                                \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "property broken: %s (%s)\n", #condition, qPrintable(detail));                        \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

namespace fuzzcheck {

// True when `back` lies within one unit of the 15th significant digit of
// `value` (a unit of the smallest subnormal more for values down there).
inline bool within15Digits(double value, double back)
{
    if (value == 0)
        return back == 0;
    const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(value))) - 14);
    return std::fabs(back - value) <= unit + 2 * 4.9406564584124654e-324;
}

} // namespace fuzzcheck
