#pragma once

#include "core/reports/GrowthReport.h"

#include <QPointF>
#include <QRectF>

class QIODevice;

// The growth and development report as an A4 PDF, drawn with Qt's painter.
namespace growthreport {

// Whether a font that has Chinese characters is installed: without one the
// report's text would be left out of the PDF.
bool chineseFontAvailable();

// Writes the report of the children as an A4 PDF to the device. Returns false
// when the device refuses the data.
bool writePdf(QIODevice *device, const QList<ChildRecord> &children, const QDate &reportDate);

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
