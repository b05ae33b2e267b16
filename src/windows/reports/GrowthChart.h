#pragma once

#include "core/reports/GrowthReport.h"

#include <QPointF>
#include <QRectF>

// The growth report's charts of length/height and weight for age against
// WHO's standard: where their parts go on the page.
namespace growthreport {

// Where a growth chart puts its parts, in millimetres on the page.
struct ChartPoint {
    enum class Mark { Plain, OutsideP3P97, Implausible };
    QPointF at;
    Mark mark = Mark::Plain;
    // Beyond the value axis: drawn on the plot's edge, with its value beside it.
    bool onEdge = false;
    QString value;
};
struct GrowthChartLayout {
    QRectF plot;
    // The legend, outside the plot.
    QRectF legend;
    // The value axis.
    double lo = 0;
    double hi = 0;
    double step = 1;
    QList<ChartPoint> points;
};

// The layout of the child's chart of the indicator in the band of the page
// from top, height high. Values WHO calls implausible never set the axis.
GrowthChartLayout growthChartLayout(growth::Indicator indicator, const ChildRecord &child, double top, double height);

} // namespace growthreport
