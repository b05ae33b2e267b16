#include "GrowthReport.h"

#include "Growth.h"
#include "assessment/Scoring.h"
#include "data/ContentFile.h"
#include "data/Conversions.h"
#include "ui/AppInfo.h"
#include "ui/Fonts.h"

#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace growthreport {

namespace {

using growth::Indicator;
using growth::Sex;

// Page geometry in millimetres (A4 portrait).
constexpr double kPageW = 210;
constexpr double kPageH = 297;
constexpr double kMargin = 15;
constexpr double kContentW = kPageW - 2 * kMargin;
constexpr double kBodyBottom = kPageH - 22; // the footer lies below
constexpr double kRowH = 5;
constexpr double kHeaderRowsH = 10;
constexpr double kFirstTableTop = 56; // below the profile and the notes
constexpr double kNextTableTop = 26; // below the continued page's heading
constexpr int kResolution = 300;

const QList<QColor> kDomainColours {QColor(0xc0, 0x39, 0x2b), QColor(0x27, 0x80, 0x40), QColor(0x1f, 0x5f, 0xbf),
    QColor(0xd6, 0x8a, 0x00), QColor(0x7d, 0x3c, 0x98)};
const QColor kInk(0x20, 0x20, 0x20);
const QColor kFlag(0xc0, 0x1c, 0x1c);
const QColor kChild(0x1f, 0x4e, 0xa8);
const QColor kCurve(0x3d, 0x7a, 0x4a);
const QColor kBand(0xe4, 0xf2, 0xe4);
const QColor kGrid(0xdd, 0xdd, 0xdd);

const QList<double> kCurvePercentiles {3, 15, 50, 85, 97};

int rowsOnFirstPage()
{
    return static_cast<int>((kBodyBottom - kFirstTableTop - kHeaderRowsH) / kRowH);
}

int rowsOnNextPage()
{
    return static_cast<int>((kBodyBottom - kNextTableTop - kHeaderRowsH) / kRowH);
}

int tablePages(const ChildRecord &child)
{
    const int rows = std::max<int>(1, static_cast<int>(child.months.size()));
    if (rows <= rowsOnFirstPage())
        return 1;
    return 1 + (rows - rowsOnFirstPage() + rowsOnNextPage() - 1) / rowsOnNextPage();
}

QString number(double v)
{
    return conv::numberText(v);
}

// A score as stored, to two decimals at most.
QString scoreText(double v)
{
    return number(std::round(v * 100) / 100);
}

QString zText(double z)
{
    return (z >= 0 ? QStringLiteral("+") : QString()) + QString::number(z, 'f', 2);
}

QString percentileText(double p)
{
    if (p < 0.1)
        return QStringLiteral("<0.1");
    if (p > 99.9)
        return QStringLiteral(">99.9");
    return QString::number(p, 'f', 1);
}

// The cells of one measurement: value, z and percentile, with their marks.
struct MeasureCells {
    QString value, z, percentile;
    bool flagged = false;
};

MeasureCells measureCells(
    Indicator indicator, const std::optional<Sex> &sex, const std::optional<int> &month, const std::optional<double> &v)
{
    MeasureCells c;
    if (!v)
        return c;
    c.value = number(*v);
    const std::optional<growth::Standing> s
        = (sex && month) ? growth::assess(indicator, *sex, *month, *v) : std::nullopt;
    if (!s) {
        c.z = c.percentile = QStringLiteral("—");
        return c;
    }
    c.z = zText(s->z);
    c.percentile = percentileText(s->percentile);
    if (s->implausible) {
        c.percentile += QStringLiteral(" !");
        c.flagged = true;
    } else if (s->outsideP3P97) {
        c.percentile += QStringLiteral(" *");
        c.flagged = true;
    }
    return c;
}

class Canvas {
public:
    Canvas(QPdfWriter &pdf, int pageCount)
        : m_pdf(pdf)
        , m_pageCount(pageCount)
    {
        m_dpmm = pdf.resolution() / 25.4;
    }

    bool begin() { return m_p.begin(&m_pdf); }
    void end() { m_p.end(); }
    QPainter &painter() { return m_p; }

    double mm(double v) const { return v * m_dpmm; }
    QRectF rect(double x, double y, double w, double h) const { return QRectF(mm(x), mm(y), mm(w), mm(h)); }
    QPointF point(double x, double y) const { return QPointF(mm(x), mm(y)); }

    void text(const QRectF &r, const QString &s, const QFont &f, int flags = Qt::AlignLeft | Qt::AlignVCenter,
        const QColor &colour = kInk)
    {
        m_p.setFont(f);
        m_p.setPen(colour);
        m_p.drawText(r, flags, s);
    }

    QPen pen(const QColor &c, double widthMm, Qt::PenStyle style = Qt::SolidLine) const
    {
        QPen p(c, mm(widthMm), style);
        p.setCapStyle(Qt::RoundCap);
        p.setJoinStyle(Qt::RoundJoin);
        return p;
    }

    // Starts the next page (the first is open already) and draws its footer.
    void nextPage()
    {
        if (m_page > 0)
            m_pdf.newPage();
        ++m_page;
        footer();
    }

private:
    void footer()
    {
        const QFont small = fonts::font(fonts::kSimHei, 7.5);
        m_p.setPen(pen(kGrid, 0.3));
        m_p.drawLine(point(kMargin, kPageH - 18), point(kPageW - kMargin, kPageH - 18));
        text(rect(kMargin, kPageH - 17, kContentW - 30, 5),
            QStringLiteral("WHO Child Growth Standards（世界卫生组织儿童生长标准，2006）"), small);
        text(rect(kMargin, kPageH - 12.5, kContentW - 30, 5),
            QStringLiteral("本报告只描述所记录的数据，不作诊断；对孩子的生长发育有疑问请咨询医生。"), small);
        text(rect(kPageW - kMargin - 30, kPageH - 17, 30, 5),
            QStringLiteral("第 %1 页 / 共 %2 页").arg(m_page).arg(m_pageCount), small,
            Qt::AlignRight | Qt::AlignVCenter);
    }

    QPdfWriter &m_pdf;
    QPainter m_p;
    double m_dpmm = 1;
    int m_page = 0;
    int m_pageCount = 0;
};

// ---- The table of months -------------------------------------------------

struct Column {
    QString head;
    double width;
};

// The month, length/height and weight with their z and percentile, heart rate
// and breath; then one column per domain and the total.
constexpr std::size_t kFirstScoreColumn = 9;

const std::vector<Column> &columns()
{
    static const std::vector<Column> cols = [] {
        std::vector<Column> c {{QStringLiteral("月龄"), 11}, {QStringLiteral("cm"), 14}, {QStringLiteral("z"), 12},
            {QStringLiteral("百分位"), 15}, {QStringLiteral("kg"), 13}, {QStringLiteral("z"), 12},
            {QStringLiteral("百分位"), 15}, {QStringLiteral("次/分"), 13}, {QStringLiteral("次/分"), 13}};
        for (const QString &domain : content::kDomains)
            c.push_back({domain, 10.5});
        c.push_back({QStringLiteral("总分"), 10});
        return c;
    }();
    return cols;
}

double columnX(std::size_t index)
{
    double x = kMargin;
    for (std::size_t i = 0; i < index; ++i)
        x += columns().at(i).width;
    return x;
}

double columnsWidth(std::size_t from, std::size_t count)
{
    return columnX(from + count) - columnX(from);
}

void drawTableHead(Canvas &c, double top)
{
    const QFont head = fonts::font(fonts::kSimHei, 7.5);
    QPainter &p = c.painter();
    p.fillRect(c.rect(kMargin, top, columnX(columns().size()) - kMargin, kHeaderRowsH), QColor(0xee, 0xf3, 0xf8));
    const double half = kHeaderRowsH / 2;
    struct Group {
        std::size_t from, count;
        QString text;
    };
    const std::vector<Group> groups {{0, 1, QString()}, {1, 3, QStringLiteral("身长/身高")},
        {4, 3, QStringLiteral("体重")}, {7, 1, QStringLiteral("心率")}, {8, 1, QStringLiteral("呼吸")},
        {kFirstScoreColumn, scoring::kDomainCount + 1, QStringLiteral("发育测评得分")}};
    for (const Group &g : groups)
        c.text(c.rect(columnX(g.from), top, columnsWidth(g.from, g.count), half), g.text, head, Qt::AlignCenter);
    for (std::size_t i = 0; i < columns().size(); ++i) {
        const bool spansBoth = i == 0;
        c.text(c.rect(columnX(i), spansBoth ? top : top + half, columns().at(i).width, spansBoth ? kHeaderRowsH : half),
            columns().at(i).head, head, Qt::AlignCenter);
    }
    p.setPen(c.pen(QColor(0x88, 0x88, 0x88), 0.3));
    p.drawLine(c.point(kMargin, top), c.point(columnX(columns().size()), top));
    p.drawLine(c.point(kMargin, top + kHeaderRowsH), c.point(columnX(columns().size()), top + kHeaderRowsH));
}

void drawRow(Canvas &c, double top, const MonthRecord &m, const std::optional<Sex> &sex, bool shaded)
{
    const QFont body = fonts::font(fonts::kSimHei, 7.5);
    if (shaded)
        c.painter().fillRect(
            c.rect(kMargin, top, columnX(columns().size()) - kMargin, kRowH), QColor(0xf7, 0xf7, 0xf7));
    const MeasureCells h = measureCells(Indicator::LengthHeightForAge, sex, m.month, m.height);
    const MeasureCells w = measureCells(Indicator::WeightForAge, sex, m.month, m.weight);
    QStringList cells {m.month ? conv::decimalText(*m.month) : QStringLiteral("—"), h.value, h.z, h.percentile, w.value,
        w.z, w.percentile, m.heartRate ? number(*m.heartRate) : QString(), m.breath ? number(*m.breath) : QString()};
    bool complete = true;
    scoring::PerDomain<double> scores {};
    for (std::size_t d = 0; d < scores.size(); ++d) {
        cells.append(m.scores[d] ? scoreText(*m.scores[d]) : QString());
        complete = complete && m.scores[d].has_value();
        scores[d] = m.scores[d].value_or(0);
    }
    cells.append(complete ? conv::decimalText(scoring::total(scores)) : QString());
    for (std::size_t i = 0; i < columns().size(); ++i) {
        const bool flagged = (i >= 1 && i <= 3 && h.flagged) || (i >= 4 && i <= 6 && w.flagged);
        c.text(c.rect(columnX(i), top, columns().at(i).width, kRowH), cells.at(static_cast<qsizetype>(i)), body,
            Qt::AlignCenter, flagged ? kFlag : kInk);
    }
}

// ---- Charts ----------------------------------------------------------------

struct Axis {
    double lo, hi, step;
};

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

// The plot area of a chart and its mapping from (month, value) to the page.
struct Plot {
    QRectF area; // device units
    double x0, x1;
    Axis y;
    QPointF at(double month, double value) const
    {
        return QPointF(area.left() + (month - x0) / (x1 - x0) * area.width(),
            area.bottom() - (value - y.lo) / (y.hi - y.lo) * area.height());
    }
};

void drawFrame(Canvas &c, const Plot &plot, double xStep, const QString &xLabel, const QString &yLabel)
{
    QPainter &p = c.painter();
    const QFont tick = fonts::font(fonts::kSimHei, 7);
    p.setPen(c.pen(kGrid, 0.15));
    for (double v = plot.y.lo; v <= plot.y.hi + 1e-9; v += plot.y.step) {
        p.setPen(c.pen(kGrid, 0.15));
        p.drawLine(plot.at(plot.x0, v), plot.at(plot.x1, v));
        const QPointF at = plot.at(plot.x0, v);
        c.text(QRectF(at.x() - c.mm(11), at.y() - c.mm(2), c.mm(10), c.mm(4)), number(v), tick,
            Qt::AlignRight | Qt::AlignVCenter);
    }
    for (double m = plot.x0; m <= plot.x1 + 1e-9; m += xStep) {
        p.setPen(c.pen(kGrid, 0.15));
        p.drawLine(plot.at(m, plot.y.lo), plot.at(m, plot.y.hi));
        const QPointF at = plot.at(m, plot.y.lo);
        c.text(QRectF(at.x() - c.mm(5), at.y() + c.mm(0.8), c.mm(10), c.mm(4)), number(m), tick, Qt::AlignCenter);
    }
    p.setPen(c.pen(QColor(0x55, 0x55, 0x55), 0.3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot.area);
    const QFont label = fonts::font(fonts::kSimHei, 7.5);
    c.text(QRectF(plot.area.left(), plot.area.bottom() + c.mm(4.5), plot.area.width(), c.mm(4.5)), xLabel, label,
        Qt::AlignCenter);
    p.save();
    p.translate(plot.area.left() - c.mm(13), plot.area.center().y());
    p.rotate(-90);
    c.text(QRectF(-plot.area.height() / 2, -c.mm(4.5), plot.area.height(), c.mm(4.5)), yLabel, label, Qt::AlignCenter);
    p.restore();
}

// A curve of the standard as runs of (month, LMS): weight in one run, length
// and height in two that meet at 24 months.
std::vector<std::vector<std::pair<int, growth::Lms>>> standardRuns(Indicator indicator, Sex sex)
{
    std::vector<std::vector<std::pair<int, growth::Lms>>> runs(1);
    for (int m = growth::kFirstMonth; m <= growth::kLastMonth; ++m) {
        if (indicator == Indicator::LengthHeightForAge && m == growth::kFirstHeightMonth) {
            runs.back().emplace_back(m, growth::lengthAt24(sex));
            runs.emplace_back();
        }
        runs.back().emplace_back(m, *growth::lms(indicator, sex, m));
    }
    return runs;
}

void drawGrowthChart(Canvas &c, double top, double height, Indicator indicator, const std::optional<Sex> &sex,
    const QList<MonthRecord> &months)
{
    QPainter &p = c.painter();
    const bool weight = indicator == Indicator::WeightForAge;
    const QString sexName = !sex ? QString() : (*sex == Sex::Boy ? QStringLiteral("男孩") : QStringLiteral("女孩"));
    const QString title
        = weight ? QStringLiteral("年龄别体重（0–36 个月）") : QStringLiteral("年龄别身长/身高（0–36 个月）");
    c.text(c.rect(kMargin, top, kContentW, 6), title + (sex ? QStringLiteral("  ") + sexName : QString()),
        fonts::font(fonts::kSimHei, 10));

    // The child's points that the chart can place.
    std::vector<std::pair<int, double>> points;
    for (const MonthRecord &m : months) {
        const std::optional<double> v = weight ? m.weight : m.height;
        if (m.month && v && *v > 0 && *m.month >= growth::kFirstMonth && *m.month <= growth::kLastMonth)
            points.emplace_back(*m.month, *v);
    }

    const auto runs = sex ? standardRuns(indicator, *sex) : decltype(standardRuns(indicator, Sex::Boy)) {};
    double lo = weight ? 2 : 45;
    double hi = weight ? 18 : 105;
    if (sex) {
        lo = 1e9;
        hi = -1e9;
        for (const auto &run : runs) {
            for (const auto &[m, row] : run) {
                lo = std::min(lo, growth::valueAt(row, growth::zOfPercentile(3)));
                hi = std::max(hi, growth::valueAt(row, growth::zOfPercentile(97)));
            }
        }
    }
    // The range widens for the child's values, by at most half of it on
    // either side; a value beyond that is drawn on the edge, open.
    const double span = hi - lo;
    for (const auto &[m, v] : points) {
        lo = std::min(lo, std::max(v, lo - span / 2));
        hi = std::max(hi, std::min(v, hi + span / 2));
    }
    Plot plot {c.rect(kMargin + 16, top + 8, kContentW - 26, height - 20), 0, 36, niceAxis(lo, hi, 14)};

    drawFrame(c, plot, 3, QStringLiteral("月龄（满月）"),
        weight ? QStringLiteral("体重（kg）") : QStringLiteral("身长/身高（cm）"));

    p.save();
    p.setClipRect(plot.area);
    const double z3 = growth::zOfPercentile(3);
    for (const auto &run : runs) {
        QPolygonF band;
        for (const auto &[m, row] : run)
            band << plot.at(m, growth::valueAt(row, z3));
        for (auto it = run.rbegin(); it != run.rend(); ++it)
            band << plot.at(it->first, growth::valueAt(it->second, -z3));
        p.setPen(Qt::NoPen);
        p.setBrush(kBand);
        p.drawPolygon(band);
    }
    for (const double pc : kCurvePercentiles) {
        const double z = growth::zOfPercentile(pc);
        p.setPen(c.pen(kCurve, pc == 50 ? 0.7 : 0.25));
        p.setBrush(Qt::NoBrush);
        for (const auto &run : runs) {
            QPolygonF line;
            for (const auto &[m, row] : run)
                line << plot.at(m, growth::valueAt(row, z));
            p.drawPolyline(line);
        }
    }
    p.restore();
    if (!runs.empty()) {
        const QFont small = fonts::font(fonts::kSimHei, 6.5);
        for (const double pc : kCurvePercentiles) {
            const QPointF end = plot.at(36, growth::valueAt(runs.back().back().second, growth::zOfPercentile(pc)));
            c.text(QRectF(end.x() + c.mm(1), end.y() - c.mm(2), c.mm(9), c.mm(4)), QStringLiteral("P%1").arg(pc), small,
                Qt::AlignLeft | Qt::AlignVCenter, kCurve);
        }
    }

    // The child's measurements, joined in month order.
    auto clamp = [&](double v) { return std::clamp(v, plot.y.lo, plot.y.hi); };
    QPolygonF line;
    for (const auto &[m, v] : points)
        line << plot.at(m, clamp(v));
    p.setPen(c.pen(kChild, 0.45));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(line);
    for (const auto &[m, v] : points) {
        const std::optional<growth::Standing> s = sex ? growth::assess(indicator, *sex, m, v) : std::nullopt;
        const bool flagged = s && (s->outsideP3P97 || s->implausible);
        const bool offChart = v < plot.y.lo || v > plot.y.hi;
        p.setPen(c.pen(flagged ? kFlag : kChild, 0.35));
        p.setBrush(offChart ? QBrush(Qt::white) : QBrush(flagged ? kFlag : kChild));
        p.drawEllipse(plot.at(m, clamp(v)), c.mm(0.9), c.mm(0.9));
    }

    // Legend, bottom right, where the curves leave room.
    const QFont legend = fonts::font(fonts::kSimHei, 6.5);
    const double legendW = c.mm(62);
    const double legendH = c.mm(sex ? 17.5 : 9);
    const double lx = plot.area.right() - legendW - c.mm(1.5);
    double ly = plot.area.bottom() - legendH - c.mm(1.5);
    p.setPen(QPen(QColor(0xbb, 0xbb, 0xbb), c.mm(0.2)));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(lx, ly, legendW, legendH));
    ly += c.mm(1);
    const double textX = lx + c.mm(11);
    const double textW = legendW - c.mm(12);
    auto legendLine = [&](const QString &caption, auto drawSample) {
        drawSample(QRectF(lx + c.mm(1.5), ly + c.mm(0.6), c.mm(8), c.mm(2.8)));
        c.text(QRectF(textX, ly, textW, c.mm(4)), caption, legend);
        ly += c.mm(4);
    };
    if (sex) {
        c.text(QRectF(lx + c.mm(1.5), ly, legendW, c.mm(4)),
            QStringLiteral("WHO Child Growth Standards（2006），") + sexName, legend);
        ly += c.mm(4);
        legendLine(QStringLiteral("第 3–97 百分位（曲线：P3、P15、P85、P97）"), [&](const QRectF &r) {
            p.fillRect(r, kBand);
            p.setPen(c.pen(kCurve, 0.25));
            p.drawLine(r.topLeft(), r.topRight());
            p.drawLine(r.bottomLeft(), r.bottomRight());
        });
        legendLine(QStringLiteral("中位数（P50）"), [&](const QRectF &r) {
            p.setPen(c.pen(kCurve, 0.7));
            p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
        });
    } else {
        c.text(
            QRectF(lx + c.mm(1.5), ly, legendW, c.mm(4)), QStringLiteral("性别不是“男”或“女”，未画标准曲线"), legend);
        ly += c.mm(4);
    }
    legendLine(QStringLiteral("孩子的测量值（红色：P3 以下或 P97 以上）"), [&](const QRectF &r) {
        p.setPen(c.pen(kChild, 0.45));
        p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
        p.setBrush(kChild);
        p.drawEllipse(r.center(), c.mm(0.9), c.mm(0.9));
    });
}

void drawDomainChart(Canvas &c, double top, double height, const QList<MonthRecord> &months)
{
    QPainter &p = c.painter();
    c.text(c.rect(kMargin, top, kContentW, 6), QStringLiteral("发育测评五个领域的得分（每项 0–20）"),
        fonts::font(fonts::kSimHei, 10));
    int first = 99;
    int last = -1;
    for (const MonthRecord &m : months) {
        if (!m.month)
            continue;
        for (const auto &s : m.scores) {
            if (s) {
                first = std::min(first, *m.month);
                last = std::max(last, *m.month);
            }
        }
    }
    if (last < 0) {
        c.text(c.rect(kMargin, top + 8, kContentW, 6), QStringLiteral("还没有做完的问卷，暂无得分。"),
            fonts::font(fonts::kSimHei, 8));
        return;
    }
    // The recorded months, with a little room on either side.
    const double x0 = std::max(0, first - 1);
    const double x1 = std::max(x0 + 4, static_cast<double>(last + 1));
    Plot plot {c.rect(kMargin + 16, top + 13, kContentW - 26, height - 25), x0, x1, {0, 20, 5}};
    drawFrame(c, plot, (x1 - x0) > 15 ? 3 : 1, QStringLiteral("月龄（满月）"), QStringLiteral("得分"));

    const QFont legend = fonts::font(fonts::kSimHei, 7.5);
    for (int d = 0; d < scoring::kDomainCount; ++d) {
        const QRectF key = c.rect(kMargin + 16 + d * 30, top + 7, 6, 4);
        p.setPen(c.pen(kDomainColours.at(d), 0.6));
        p.drawLine(QPointF(key.left(), key.center().y()), QPointF(key.right(), key.center().y()));
        c.text(c.rect(kMargin + 16 + d * 30 + 8, top + 7, 20, 4), content::kDomains.at(d), legend);

        QPolygonF line;
        for (const MonthRecord &m : months) {
            if (m.month && m.scores[d])
                line << plot.at(*m.month, std::clamp(*m.scores[d], 0.0, 20.0));
        }
        p.setPen(c.pen(kDomainColours.at(d), 0.5));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(line);
        p.setBrush(kDomainColours.at(d));
        for (const QPointF &pt : line)
            p.drawEllipse(pt, c.mm(0.7), c.mm(0.7));
    }
}

// ---- Pages -------------------------------------------------------------------

QString sexNote(const ChildRecord &child)
{
    if (growth::sexOf(child.sex))
        return QString();
    return (child.sex.isEmpty() ? QStringLiteral("档案里没有填写性别")
                                : QStringLiteral("档案里的性别是“%1”，不是“男”或“女”").arg(child.sex))
        + QStringLiteral("，WHO 标准按性别分别给出，所以不计算 z 值和百分位，生长曲线图也不画标准曲线。");
}

void drawChild(Canvas &c, const ChildRecord &child, const QDate &reportDate)
{
    const std::optional<Sex> sex = growth::sexOf(child.sex);
    const QFont note = fonts::font(fonts::kSimHei, 7.5);

    c.nextPage();
    c.text(c.rect(kMargin, kMargin, kContentW, 10), QStringLiteral("生长发育报告"), fonts::font(fonts::kSimHei, 17));
    c.text(c.rect(kMargin, kMargin, kContentW, 10), appinfo::kTitle, note, Qt::AlignRight | Qt::AlignVCenter,
        QColor(0x66, 0x66, 0x66));
    const double profileTop = kMargin + 13;
    const QStringList profile {QStringLiteral("姓名：") + child.name,
        QStringLiteral("性别：") + (child.sex.isEmpty() ? QStringLiteral("—") : child.sex),
        QStringLiteral("出生日期：") + (child.birth.isEmpty() ? QStringLiteral("—") : child.birth),
        QStringLiteral("报告日期：") + reportDate.toString(QStringLiteral("yyyy-MM-dd"))};
    const double widths[] = {60, 30, 45, 45};
    double x = kMargin;
    for (qsizetype i = 0; i < profile.size(); ++i) {
        c.text(c.rect(x, profileTop, widths[i], 7), profile.at(i), fonts::font(fonts::kSimHei, 10));
        x += widths[i];
    }

    QStringList notes {
        QStringLiteral(
            "月龄按满月计算（已满的整月数）。身长/身高和体重与 WHO Child Growth Standards（2006）中同性别、同月龄"
            "的儿童相比，给出 z 值（与中位数相差几个标准差）和百分位（同龄儿童中低于这个数值的百分比）；"
            "24 个月前对照卧位身长，24 个月起对照立位身高。"),
        QStringLiteral("* 低于第 3 百分位或高于第 97 百分位；! |z| 大于 5，超出标准的合理范围，请核对测量值。"
                       "得分空白表示该月的问卷没有做完。")};
    if (!sexNote(child).isEmpty())
        notes.prepend(sexNote(child));
    double y = profileTop + 9;
    for (const QString &n : notes) {
        const QRectF r = c.rect(kMargin, y, kContentW, 30);
        c.painter().setFont(note);
        const QRectF used = c.painter().boundingRect(r, Qt::TextWordWrap, n);
        c.text(r, n, note, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
            n == sexNote(child) ? kFlag : QColor(0x44, 0x44, 0x44));
        y += used.height() / c.mm(1) + 1.2;
    }

    double top = kFirstTableTop;
    drawTableHead(c, top);
    double rowTop = top + kHeaderRowsH;
    if (child.months.isEmpty()) {
        c.text(c.rect(kMargin, rowTop, kContentW, kRowH), QStringLiteral("还没有记录任何月份。"), note);
    }
    int onPage = 0;
    int capacity = rowsOnFirstPage();
    for (qsizetype i = 0; i < child.months.size(); ++i) {
        if (onPage == capacity) {
            c.nextPage();
            c.text(c.rect(kMargin, kMargin, kContentW, 8), child.name + QStringLiteral(" 的月度记录（续）"),
                fonts::font(fonts::kSimHei, 11));
            drawTableHead(c, kNextTableTop);
            rowTop = kNextTableTop + kHeaderRowsH;
            onPage = 0;
            capacity = rowsOnNextPage();
        }
        drawRow(c, rowTop, child.months.at(i), sex, i % 2 == 1);
        rowTop += kRowH;
        ++onPage;
    }

    // The charts: a page of their own.
    c.nextPage();
    c.text(c.rect(kMargin, kMargin, kContentW, 8), child.name + QStringLiteral(" 的生长曲线和发育得分"),
        fonts::font(fonts::kSimHei, 11));
    const double chartH = (kBodyBottom - kMargin - 10) / 3;
    drawGrowthChart(c, kMargin + 10, chartH, Indicator::LengthHeightForAge, sex, child.months);
    drawGrowthChart(c, kMargin + 10 + chartH, chartH, Indicator::WeightForAge, sex, child.months);
    drawDomainChart(c, kMargin + 10 + 2 * chartH, chartH, child.months);
}

} // namespace

bool writePdf(QIODevice *device, const QList<ChildRecord> &children, const QDate &reportDate)
{
    fonts::installSubstitutions();
    QPdfWriter pdf(device);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setResolution(kResolution);
    pdf.setTitle(title(children));
    pdf.setCreator(appinfo::kTitle);

    int pages = 0;
    for (const ChildRecord &child : children)
        pages += tablePages(child) + 1;
    Canvas canvas(pdf, pages);
    if (!canvas.begin())
        return false;
    canvas.painter().setRenderHint(QPainter::Antialiasing);
    for (const ChildRecord &child : children)
        drawChild(canvas, child, reportDate);
    canvas.end();
    return true;
}

} // namespace growthreport
