#pragma once

// What the parts of the growth report's PDF share: the page, its canvas and
// footer, the colours and texts used in more than one part, and the parts
// themselves as the page orchestration calls them. Private to the writer.

#include "core/reports/ChartGeometry.h"
#include "core/reports/GrowthReport.h"

#include <QColor>
#include <QFont>
#include <QPainter>

#include <optional>

class QPdfWriter;

namespace growthreport::pdf {

// Page geometry in millimetres (A4 portrait).
constexpr double kPageW = 210;
constexpr double kPageH = 297;
constexpr double kMargin = 15;
constexpr double kContentW = kPageW - 2 * kMargin;
constexpr double kBodyBottom = kPageH - 22; // the footer lies below
constexpr double kRowH = 5;
constexpr double kHeaderRowsH = 10;
constexpr double kFirstTableTop = 72; // below the profile and the notes
constexpr double kNextTableTop = 26; // below the continued page's heading
constexpr int kResolution = 300;

// The growth charts run to the end of the 36th month.
constexpr double kChartMonths = 37;

inline const QColor kInk(0x20, 0x20, 0x20);
inline const QColor kFlag(0xc0, 0x1c, 0x1c);
inline const QColor kGrid(0xdd, 0xdd, 0xdd);

inline const QString kUnreadable = QStringLiteral("无法识别");
// The growth report's footer.
inline const QString kReportSources = QStringLiteral("WHO Child Growth Standards（世界卫生组织儿童生长标准，2006）");
inline const QString kReportNote
    = QStringLiteral("本报告只描述所记录的数据，不作诊断；对孩子的生长发育有疑问请咨询医生。");
inline const QString kNone = QStringLiteral("—");

QString number(double v);

// Lengths with one decimal, weights with two, as WHO's tables print them.
QString measureText(growth::Indicator indicator, double v);

class Canvas {
public:
    Canvas(QPdfWriter &pdf, int pageCount);

    bool begin();
    void end() { m_p.end(); }
    QPainter &painter() { return m_p; }

    double mm(double v) const { return v * m_dpmm; }
    QRectF rect(double x, double y, double w, double h) const { return QRectF(mm(x), mm(y), mm(w), mm(h)); }
    QRectF rect(const QRectF &mmRect) const { return rect(mmRect.x(), mmRect.y(), mmRect.width(), mmRect.height()); }
    QPointF point(double x, double y) const { return QPointF(mm(x), mm(y)); }
    QPointF point(const QPointF &mmPoint) const { return point(mmPoint.x(), mmPoint.y()); }

    void text(const QRectF &r, const QString &s, const QFont &f, int flags = Qt::AlignLeft | Qt::AlignVCenter,
        const QColor &colour = kInk);
    QPen pen(const QColor &c, double widthMm, Qt::PenStyle style = Qt::SolidLine) const;

    // Starts the next page (the first is open already) and draws its footer.
    void nextPage();
    // The footer's two lines on the pages started from now on: where the
    // page's facts come from, and what it is not.
    void setFooter(const QString &sources, const QString &note);

private:
    void footer();

    QPdfWriter &m_pdf;
    QPainter m_p;
    double m_dpmm = 1;
    int m_page = 0;
    int m_pageCount = 0;
    QString m_sources = kReportSources;
    QString m_note = kReportNote;
};

// A chart's grid, ticks, frame and axis labels; year marks on an age axis.
void drawFrame(
    Canvas &c, const Plot &plot, double xStep, const QString &xLabel, const QString &yLabel, bool yearMarks = false);

// The parts of a child's pages.

// The pages the child's table of months takes.
int tablePages(const ChildRecord &child);
// The table of months from the first page's table on, continued on pages of
// its own as it needs.
void drawMonthTable(Canvas &c, const ChildRecord &child);
// The child's chart of the indicator in the band of the page from top,
// height high (millimetres).
void drawGrowthChart(Canvas &c, double top, double height, growth::Indicator indicator, const ChildRecord &child);
// The domain scores by month in the band of the page.
void drawDomainChart(Canvas &c, double top, double height, const QList<MonthRecord> &months);

} // namespace growthreport::pdf
