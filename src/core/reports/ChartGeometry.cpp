#include "ChartGeometry.h"

#include "core/reports/Growth.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace growthreport {

Axis niceAxis(double lo, double hi, int maxTicks)
{
    const double steps[] = {0.5, 1, 2, 5, 10, 20, 50, 100, 200, 500, 1000};
    double step = steps[std::size(steps) - 1];
    for (double s : steps) {
        if ((hi - lo) / s <= maxTicks) {
            step = s;
            break;
        }
    }
    return {std::floor(lo / step) * step, std::ceil(hi / step) * step, step};
}

std::pair<double, double> widenedRange(double lo, double hi, const std::vector<double> &values)
{
    const double span = hi - lo;
    for (const double v : values) {
        lo = std::min(lo, std::max(v, lo - span / 2));
        hi = std::max(hi, std::min(v, hi + span / 2));
    }
    return {lo, hi};
}

double Plot::xOf(double month) const
{
    return area.left() + (month - x0) / (x1 - x0) * area.width();
}

double Plot::yOf(double value) const
{
    return area.bottom() - (value - y.lo) / (y.hi - y.lo) * area.height();
}

QPointF Plot::atDay(int day, double value) const
{
    return at(day / growth::kDaysPerMonth, value);
}

PlacedPoint Plot::place(double month, double value) const
{
    return {at(month, std::clamp(value, y.lo, y.hi)), value < y.lo || value > y.hi};
}

ChartFrame growthChartFrame(const QRectF &band)
{
    // In millimetres from the band's top: the legend's two lines, then the
    // plot; the age axis' ticks, year marks and label below.
    constexpr double kLegendTop = 7;
    constexpr double kLegendH = 8.5;
    constexpr double kPlotTop = 17;
    constexpr double kBelowPlot = 13;
    constexpr double kLeftRoom = 16;
    constexpr double kRightRoom = 12;
    const double left = band.left() + kLeftRoom;
    const double width = band.width() - kLeftRoom - kRightRoom;
    return {QRectF(left, band.top() + kLegendTop, width, kLegendH),
        QRectF(left, band.top() + kPlotTop, width, band.height() - kPlotTop - kBelowPlot)};
}

} // namespace growthreport
