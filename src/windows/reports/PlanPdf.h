#pragma once

#include "core/reports/NextMonth.h"

#include <QDate>
#include <QTextDocument>

#include <memory>

class QIODevice;
class QPaintDevice;

namespace growthreport::pdf {
class Canvas;
}

// The page for the coming month as A4 pages of a PDF: on its own
// (`childgrowth --plan`) or after a child's pages of the growth report.
namespace planpdf {

// One child's page, laid out for the page body of the PDF it goes into.
class PlanDocument {
public:
    PlanDocument(const nextmonth::Page &page, const QDate &day, QPaintDevice *device);
    int pageCount() const;
    // Draws its pages, each started on the canvas.
    void draw(growthreport::pdf::Canvas &canvas) const;

private:
    std::unique_ptr<QTextDocument> m_doc;
};

// The page's text as it is laid out (HTML), for the document above.
QString html(const nextmonth::Page &page, const QDate &day);

// Writes the pages of the children to the device as an A4 PDF. Returns false
// when the device refuses the data.
bool write(QIODevice *device, const QList<nextmonth::Page> &pages, const QDate &day);

} // namespace planpdf
