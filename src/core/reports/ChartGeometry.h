#pragma once

#include <QPointF>
#include <QRectF>

#include <utility>
#include <vector>

// The geometry of the report's charts, apart from any drawing: the value
// axis, the scales from age and value to the page, where the legend goes and
// where a value beyond the axis is drawn. Lengths are in the unit the
// rectangles are given in: millimetres for a layout, device units to draw.
namespace growthreport {

// A value axis from lo to hi with a tick every step.
struct Axis {
    double lo, hi, step;
};

// The axis of the finest round step (0.5, 1, 2, 5, 10, ...) that spans lo to
// hi in at most maxTicks steps, from a multiple of the step to a multiple of
// it: rounding outward may add one step.
Axis niceAxis(double lo, double hi, int maxTicks);

// The range lo to hi widened for the values, by at most half of it on either
// side: a wild value cannot squeeze the rest of the chart into a line.
std::pair<double, double> widenedRange(double lo, double hi, const std::vector<double> &values);

// A point of a plot: on the edge when its value lies beyond the value axis.
struct PlacedPoint {
    QPointF at;
    bool onEdge = false;
};

// The plot area of a chart and its mapping from (month, value) to the page.
struct Plot {
    QRectF area;
    double x0, x1; // the months at the left and right edges
    Axis y;

    double xOf(double month) const;
    double yOf(double value) const;
    QPointF at(double month, double value) const { return QPointF(xOf(month), yOf(value)); }
    // The place of a day of age (days as WHO's tables count them).
    QPointF atDay(int day, double value) const;
    // A value beyond the axis goes on the edge it lies beyond.
    PlacedPoint place(double month, double value) const;
};

// A growth chart's parts in its band of the page: the legend above the plot
// and clear of it, room left of the plot for the value axis and right of it
// for the curves' names, below it for the age axis.
struct ChartFrame {
    QRectF legend;
    QRectF plot;
};
ChartFrame growthChartFrame(const QRectF &band);

} // namespace growthreport
