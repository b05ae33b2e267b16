#include "windows/reports/ReportCanvas.h"

#include "core/data/Conversions.h"
#include "ui/Fonts.h"

#include <QPdfWriter>

#include <cmath>

namespace growthreport::pdf {

QString number(double v)
{
    return conv::numberText(v);
}

QString measureText(growth::Indicator indicator, double v)
{
    return QString::number(v, 'f', indicator == growth::Indicator::WeightForAge ? 2 : 1);
}

Canvas::Canvas(QPdfWriter &pdf, int pageCount)
    : m_pdf(pdf)
    , m_pageCount(pageCount)
{
    m_dpmm = pdf.resolution() / 25.4;
}

bool Canvas::begin()
{
    return m_p.begin(&m_pdf);
}

void Canvas::text(const QRectF &r, const QString &s, const QFont &f, int flags, const QColor &colour)
{
    m_p.setFont(f);
    m_p.setPen(colour);
    m_p.drawText(r, flags, s);
}

QPen Canvas::pen(const QColor &c, double widthMm, Qt::PenStyle style) const
{
    QPen p(c, mm(widthMm), style);
    p.setCapStyle(Qt::RoundCap);
    p.setJoinStyle(Qt::RoundJoin);
    return p;
}

void Canvas::nextPage()
{
    if (m_page > 0)
        m_pdf.newPage();
    ++m_page;
    footer();
}

void Canvas::setFooter(const QString &sources, const QString &note)
{
    m_sources = sources;
    m_note = note;
}

void Canvas::footer()
{
    const QFont small = fonts::font(fonts::kSimHei, 7.5);
    m_p.setPen(pen(kGrid, 0.3));
    m_p.drawLine(point(kMargin, kPageH - 18), point(kPageW - kMargin, kPageH - 18));
    text(rect(kMargin, kPageH - 17, kContentW - 30, 5), m_sources, small);
    text(rect(kMargin, kPageH - 12.5, kContentW - 30, 5), m_note, small);
    text(rect(kPageW - kMargin - 30, kPageH - 17, 30, 5),
        QStringLiteral("第 %1 页 / 共 %2 页").arg(m_page).arg(m_pageCount), small, Qt::AlignRight | Qt::AlignVCenter);
}

void drawFrame(Canvas &c, const Plot &plot, double xStep, const QString &xLabel, const QString &yLabel, bool yearMarks)
{
    QPainter &p = c.painter();
    const QFont tick = fonts::font(fonts::kSimHei, 7);
    for (double v = plot.y.lo; v <= plot.y.hi + 1e-9; v += plot.y.step) {
        p.setPen(c.pen(kGrid, 0.15));
        p.drawLine(plot.at(plot.x0, v), plot.at(plot.x1, v));
        const QPointF at = plot.at(plot.x0, v);
        c.text(QRectF(at.x() - c.mm(11), at.y() - c.mm(2), c.mm(10), c.mm(4)), number(v), tick,
            Qt::AlignRight | Qt::AlignVCenter);
    }
    const QColor kYear(0x99, 0x99, 0x99);
    for (double m = plot.x0; m <= plot.x1 + 1e-9; m += xStep) {
        const bool year = yearMarks && m > 0 && std::fmod(m, 12) == 0;
        p.setPen(year ? c.pen(kYear, 0.3) : c.pen(kGrid, 0.15));
        p.drawLine(plot.at(m, plot.y.lo), plot.at(m, plot.y.hi));
        const QPointF at = plot.at(m, plot.y.lo);
        c.text(QRectF(at.x() - c.mm(5), at.y() + c.mm(0.8), c.mm(10), c.mm(3.5)), number(m), tick, Qt::AlignCenter);
        if (year)
            c.text(QRectF(at.x() - c.mm(5), at.y() + c.mm(4), c.mm(10), c.mm(3.5)),
                QStringLiteral("%1岁").arg(static_cast<int>(m / 12)), tick, Qt::AlignCenter, QColor(0x55, 0x55, 0x55));
    }
    p.setPen(c.pen(QColor(0x55, 0x55, 0x55), 0.3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot.area);
    const QFont label = fonts::font(fonts::kSimHei, 7.5);
    c.text(QRectF(plot.area.left(), plot.area.bottom() + c.mm(yearMarks ? 7.5 : 4.5), plot.area.width(), c.mm(4.5)),
        xLabel, label, Qt::AlignCenter);
    p.save();
    p.translate(plot.area.left() - c.mm(13), plot.area.center().y());
    p.rotate(-90);
    c.text(QRectF(-plot.area.height() / 2, -c.mm(4.5), plot.area.height(), c.mm(4.5)), yLabel, label, Qt::AlignCenter);
    p.restore();
}

} // namespace growthreport::pdf
