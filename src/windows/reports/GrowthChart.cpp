#include "windows/reports/GrowthChart.h"

#include "core/reports/ChartGeometry.h"
#include "core/reports/Growth.h"
#include "ui/Fonts.h"
#include "windows/reports/ReportCanvas.h"

#include <algorithm>
#include <vector>

namespace growthreport {

namespace {

using namespace pdf;
using growth::Indicator;
using growth::Sex;

const QColor kOutside(0xd3, 0x54, 0x00);
const QColor kChild(0x20, 0x20, 0x20);

// WHO's chart colours: blue tones for boys, pink tones for girls, grey when
// the sex is not known.
struct Tones {
    QColor curve, band;
};
Tones tonesOf(const std::optional<Sex> &sex)
{
    if (!sex)
        return {QColor(0x88, 0x88, 0x88), QColor(0xee, 0xee, 0xee)};
    if (*sex == Sex::Boy)
        return {QColor(0x2f, 0x6d, 0xb5), QColor(0xdc, 0xe9, 0xf7)};
    return {QColor(0xc2, 0x45, 0x7a), QColor(0xf9, 0xdf, 0xea)};
}

const QList<double> kCurvePercentiles {3, 15, 50, 85, 97};

const int kChartLastDay = static_cast<int>(kChartMonths * growth::kDaysPerMonth);

// The standard's curves as runs of (day, LMS): weight in one run, length and
// height in two, the length run ending the day before the height run starts.
using Runs = std::vector<std::vector<std::pair<int, growth::Lms>>>;
Runs standardRuns(Indicator indicator, Sex sex)
{
    Runs runs(1);
    for (int day = 0; day <= kChartLastDay; ++day) {
        if (indicator == Indicator::LengthHeightForAge && day == growth::kFirstHeightDay)
            runs.emplace_back();
        // Weekly steps draw smooth curves; each run keeps its last day.
        const bool last = day == kChartLastDay
            || (indicator == Indicator::LengthHeightForAge && day == growth::kFirstHeightDay - 1);
        if (day % 7 == 0 || last || runs.back().empty())
            runs.back().emplace_back(day, *growth::lms(indicator, sex, day));
    }
    return runs;
}

// The value range of the standard's 3rd to 97th percentile over the chart's
// ages; a fixed range of the indicator when the sex is not known.
std::pair<double, double> standardRange(Indicator indicator, const std::optional<Sex> &sex)
{
    const bool weight = indicator == Indicator::WeightForAge;
    double lo = weight ? 2 : 45;
    double hi = weight ? 18 : 105;
    if (sex) {
        lo = 1e9;
        hi = -1e9;
        for (const auto &run : standardRuns(indicator, *sex)) {
            for (const auto &[day, row] : run) {
                lo = std::min(lo, growth::valueAt(row, growth::zOfPercentile(3)));
                hi = std::max(hi, growth::valueAt(row, growth::zOfPercentile(97)));
            }
        }
    }
    return {lo, hi};
}

struct ChildPoint {
    double months, value;
    std::optional<growth::Standing> standing;
};

std::vector<ChildPoint> childPoints(Indicator indicator, const std::optional<Sex> &sex, const ChildRecord &child)
{
    std::vector<ChildPoint> points;
    for (const MonthRecord &m : child.months) {
        const Reading &v = indicator == Indicator::WeightForAge ? m.weight : m.height;
        if (!m.age || *m.month() > 36 || !v.isNumber() || v.value <= 0)
            continue;
        points.push_back({m.age->days / growth::kDaysPerMonth, v.value,
            sex ? growth::assess(indicator, *sex, m.age->days, v.value) : std::nullopt});
    }
    std::stable_sort(
        points.begin(), points.end(), [](const ChildPoint &a, const ChildPoint &b) { return a.months < b.months; });
    return points;
}

} // namespace

GrowthChartLayout growthChartLayout(Indicator indicator, const ChildRecord &child, double top, double height)
{
    const std::optional<Sex> &sex = child.sex;
    GrowthChartLayout layout;
    const ChartFrame frame = growthChartFrame(QRectF(kMargin, top, kContentW, height));
    layout.plot = frame.plot;
    layout.legend = frame.legend;

    // The range widens for the child's plausible values, by at most half of
    // it on either side; values beyond, and implausible ones, go on the edge.
    const std::vector<ChildPoint> points = childPoints(indicator, sex, child);
    std::vector<double> plausible;
    for (const ChildPoint &pt : points) {
        if (!pt.standing || !pt.standing->implausible)
            plausible.push_back(pt.value);
    }
    const auto [lo, hi] = standardRange(indicator, sex);
    const auto [wideLo, wideHi] = widenedRange(lo, hi, plausible);
    const Axis axis = niceAxis(wideLo, wideHi, 14);
    layout.lo = axis.lo;
    layout.hi = axis.hi;
    layout.step = axis.step;

    const Plot plot {layout.plot, 0, kChartMonths, axis};
    for (const ChildPoint &pt : points) {
        ChartPoint cp;
        const PlacedPoint placed = plot.place(pt.months, pt.value);
        cp.at = placed.at;
        cp.onEdge = placed.onEdge;
        if (pt.standing && pt.standing->implausible)
            cp.mark = ChartPoint::Mark::Implausible;
        else if (pt.standing && pt.standing->outsideP3P97)
            cp.mark = ChartPoint::Mark::OutsideP3P97;
        cp.value = measureText(indicator, pt.value);
        layout.points.append(cp);
    }
    return layout;
}

namespace pdf {

namespace {

// The marks of the child's points: a dot, a coloured dot beyond P3–P97, a
// diamond for an implausible value, a triangle on the edge for one beyond the
// axis. Implausible and off-axis values carry their value beside them.
void drawMark(Canvas &c, const QPointF &at, ChartPoint::Mark mark, int edge)
{
    QPainter &p = c.painter();
    const QColor colour = mark == ChartPoint::Mark::Implausible ? kFlag
        : mark == ChartPoint::Mark::OutsideP3P97                ? kOutside
                                                                : kChild;
    const double r = c.mm(0.9);
    if (edge != 0) {
        p.setPen(c.pen(colour, 0.3));
        p.setBrush(Qt::white);
        const double tip = edge < 0 ? r * 1.4 : -r * 1.4;
        p.drawPolygon(QPolygonF {at + QPointF(0, tip), at + QPointF(-r, -tip * 0.3), at + QPointF(r, -tip * 0.3)});
        return;
    }
    if (mark == ChartPoint::Mark::Implausible) {
        p.setPen(c.pen(colour, 0.35));
        p.setBrush(Qt::white);
        p.drawPolygon(QPolygonF {
            at + QPointF(0, -r * 1.3), at + QPointF(r * 1.3, 0), at + QPointF(0, r * 1.3), at + QPointF(-r * 1.3, 0)});
        return;
    }
    p.setPen(c.pen(colour, 0.3));
    p.setBrush(colour);
    p.drawEllipse(at, r, r);
}

void drawTitle(Canvas &c, double top, Indicator indicator, const std::optional<Sex> &sex)
{
    const bool weight = indicator == Indicator::WeightForAge;
    const QString sexName = !sex ? QString() : (*sex == Sex::Boy ? QStringLiteral("男孩") : QStringLiteral("女孩"));
    const QString title
        = weight ? QStringLiteral("年龄别体重（0–36 个月）") : QStringLiteral("年龄别身长/身高（0–36 个月）");
    c.text(c.rect(kMargin, top, kContentW, 6),
        title
            + (sex ? QStringLiteral("  ") + sexName + QStringLiteral("，WHO Child Growth Standards（2006）")
                   : QString()),
        fonts::font(fonts::kSimHei, 10));
}

// The band from the 3rd to the 97th percentile and the curves, kept to the
// plot.
void drawStandard(Canvas &c, const Plot &plot, const Runs &runs, const Tones &tones)
{
    QPainter &p = c.painter();
    p.save();
    p.setClipRect(plot.area);
    const double z3 = growth::zOfPercentile(3);
    for (const auto &run : runs) {
        QPolygonF band;
        for (const auto &[day, row] : run)
            band << plot.atDay(day, growth::valueAt(row, z3));
        for (auto it = run.rbegin(); it != run.rend(); ++it)
            band << plot.atDay(it->first, growth::valueAt(it->second, -z3));
        p.setPen(Qt::NoPen);
        p.setBrush(tones.band);
        p.drawPolygon(band);
    }
    for (const double pc : kCurvePercentiles) {
        const double z = growth::zOfPercentile(pc);
        p.setPen(c.pen(tones.curve, pc == 50 ? 0.7 : 0.25));
        p.setBrush(Qt::NoBrush);
        for (const auto &run : runs) {
            QPolygonF line;
            for (const auto &[day, row] : run)
                line << plot.atDay(day, growth::valueAt(row, z));
            p.drawPolyline(line);
        }
    }
    p.restore();
}

// The curves' names, right of the plot where no point can be.
void drawCurveNames(Canvas &c, const Plot &plot, const Runs &runs, const Tones &tones)
{
    const QFont small = fonts::font(fonts::kSimHei, 6.5);
    if (runs.empty())
        return;
    for (const double pc : kCurvePercentiles) {
        const double v = growth::valueAt(runs.back().back().second, growth::zOfPercentile(pc));
        if (v < plot.y.lo || v > plot.y.hi)
            continue;
        const QPointF end = plot.at(kChartMonths, v);
        c.text(QRectF(end.x() + c.mm(2), end.y() - c.mm(2), c.mm(9), c.mm(4)), QStringLiteral("P%1").arg(pc), small,
            Qt::AlignLeft | Qt::AlignVCenter, tones.curve);
    }
}

// Which marks the child's points use, for the legend.
struct MarksUsed {
    bool outside = false;
    bool implausible = false;
    bool edge = false;
};

// The child's plausible measurements on the axes, joined in age order; every
// point with its mark, values beyond the axis or implausible written beside.
MarksUsed drawChildPoints(Canvas &c, const GrowthChartLayout &layout)
{
    QPainter &p = c.painter();
    const QFont small = fonts::font(fonts::kSimHei, 6.5);
    QPolygonF line;
    for (const ChartPoint &pt : layout.points) {
        if (!pt.onEdge && pt.mark != ChartPoint::Mark::Implausible)
            line << c.point(pt.at);
    }
    p.setPen(c.pen(kChild, 0.35));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(line);
    MarksUsed used;
    for (const ChartPoint &pt : layout.points) {
        const int edge = !pt.onEdge ? 0 : (pt.at.y() <= layout.plot.top() + 1e-6 ? 1 : -1);
        drawMark(c, c.point(pt.at), pt.mark, edge);
        used.outside = used.outside || pt.mark == ChartPoint::Mark::OutsideP3P97;
        used.implausible = used.implausible || pt.mark == ChartPoint::Mark::Implausible;
        used.edge = used.edge || pt.onEdge;
        if (pt.onEdge || pt.mark == ChartPoint::Mark::Implausible) {
            const QPointF at = c.point(pt.at);
            const double dy = edge > 0 ? c.mm(0.6) : edge < 0 ? -c.mm(4.1) : -c.mm(1.75);
            c.text(QRectF(at.x() + c.mm(1.8), at.y() + dy, c.mm(14), c.mm(3.5)), pt.value, small,
                Qt::AlignLeft | Qt::AlignVCenter, pt.mark == ChartPoint::Mark::Implausible ? kFlag : kInk);
        }
    }
    return used;
}

// The legend, above the plot: the standard's band and median (or why there
// are none), the child's line; then the marks, every one when there are
// curves, else only those the chart uses.
void drawLegend(Canvas &c, const QRectF &legendMm, const std::optional<Sex> &sex, const Tones &tones, MarksUsed used)
{
    QPainter &p = c.painter();
    const QFont legend = fonts::font(fonts::kSimHei, 6.5);
    const QRectF box = c.rect(legendMm);
    double lx = box.left();
    double ly = box.top();
    auto entry = [&](const QString &caption, double widthMm, auto drawSample) {
        drawSample(QRectF(lx, ly + c.mm(0.6), c.mm(6), c.mm(2.8)));
        c.text(QRectF(lx + c.mm(7), ly, c.mm(widthMm - 7), c.mm(4)), caption, legend);
        lx += c.mm(widthMm);
    };
    if (sex) {
        entry(QStringLiteral("第 3–97 百分位（曲线 P3、P15、P50、P85、P97）"), 68, [&](const QRectF &r) {
            p.fillRect(r, tones.band);
            p.setPen(c.pen(tones.curve, 0.25));
            p.drawLine(r.topLeft(), r.topRight());
            p.drawLine(r.bottomLeft(), r.bottomRight());
        });
        entry(QStringLiteral("中位数（P50）"), 28, [&](const QRectF &r) {
            p.setPen(c.pen(tones.curve, 0.7));
            p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
        });
    } else {
        entry(QStringLiteral("性别不是“男”或“女”，未画标准曲线"), 96, [](const QRectF &) {});
    }
    entry(QStringLiteral("孩子的测量值"), 30, [&](const QRectF &r) {
        p.setPen(c.pen(kChild, 0.35));
        p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
        drawMark(c, r.center(), ChartPoint::Mark::Plain, 0);
    });
    lx = box.left();
    ly += c.mm(4.25);
    if (used.outside || sex) {
        entry(QStringLiteral("* 低于 P3 或高于 P97"), 38,
            [&](const QRectF &r) { drawMark(c, r.center(), ChartPoint::Mark::OutsideP3P97, 0); });
    }
    if (used.implausible || sex) {
        entry(QStringLiteral("! 超出可能的范围，请核对测量值"), 52,
            [&](const QRectF &r) { drawMark(c, r.center(), ChartPoint::Mark::Implausible, 0); });
    }
    if (used.edge || sex) {
        entry(QStringLiteral("超出坐标范围，画在边上并标出数值"), 58,
            [&](const QRectF &r) { drawMark(c, r.center(), ChartPoint::Mark::Plain, 1); });
    }
}

} // namespace

void drawGrowthChart(Canvas &c, double top, double height, Indicator indicator, const ChildRecord &child)
{
    const std::optional<Sex> &sex = child.sex;
    const Tones tones = tonesOf(sex);
    drawTitle(c, top, indicator, sex);

    const GrowthChartLayout layout = growthChartLayout(indicator, child, top, height);
    const Plot plot {c.rect(layout.plot), 0, kChartMonths, {layout.lo, layout.hi, layout.step}};
    drawFrame(c, plot, 3, QStringLiteral("年龄（月）"),
        indicator == Indicator::WeightForAge ? QStringLiteral("体重（kg）") : QStringLiteral("身长/身高（cm）"), true);

    const Runs runs = sex ? standardRuns(indicator, *sex) : Runs {};
    drawStandard(c, plot, runs, tones);
    drawCurveNames(c, plot, runs, tones);
    const MarksUsed used = drawChildPoints(c, layout);
    drawLegend(c, layout.legend, sex, tones, used);
}

} // namespace pdf

} // namespace growthreport
