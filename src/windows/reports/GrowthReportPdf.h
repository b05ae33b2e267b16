#pragma once

#include "core/reports/GrowthReport.h"
#include "core/reports/NextMonth.h"

class QIODevice;

// The growth and development report as an A4 PDF, drawn with Qt's painter.
namespace growthreport {

// Whether a font that has Chinese characters is installed: without one the
// report's text would be left out of the PDF.
bool chineseFontAvailable();

// Writes the report of the children as an A4 PDF to the device, each child's
// pages ending with the page for the coming month when plans holds one for
// every child. Returns false when the device refuses the data.
bool writePdf(QIODevice *device, const QList<ChildRecord> &children, const QDate &reportDate,
    const QList<nextmonth::Page> &plans = {});

} // namespace growthreport
