#include "windows/reports/GrowthReportPdf.h"

#include "core/assessment/Scoring.h"
#include "core/data/ContentFile.h"
#include "core/data/Conversions.h"
#include "core/reports/Growth.h"
#include "ui/AppInfo.h"
#include "ui/Fonts.h"

#include <QFontDatabase>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>
#include <functional>
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
constexpr double kFirstTableTop = 72; // below the profile and the notes
constexpr double kNextTableTop = 26; // below the continued page's heading
constexpr int kResolution = 300;

const QList<QColor> kDomainColours {QColor(0xc0, 0x39, 0x2b), QColor(0x27, 0x80, 0x40), QColor(0x1f, 0x5f, 0xbf),
    QColor(0xd6, 0x8a, 0x00), QColor(0x7d, 0x3c, 0x98)};
const QColor kInk(0x20, 0x20, 0x20);
const QColor kFlag(0xc0, 0x1c, 0x1c);
const QColor kOutside(0xd3, 0x54, 0x00);
const QColor kChild(0x20, 0x20, 0x20);
const QColor kGrid(0xdd, 0xdd, 0xdd);
const QColor kYear(0x99, 0x99, 0x99);

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

// The growth charts run to the end of the 36th month.
constexpr double kChartMonths = 37;
const int kChartLastDay = static_cast<int>(kChartMonths * growth::kDaysPerMonth);

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

const QString kUnreadable = QStringLiteral("无法识别");
const QString kNone = QStringLiteral("—");

QString number(double v)
{
    return conv::numberText(v);
}

// A stored value that is not a measurement or a score reads "无法识别".
QString readingText(const Reading &r, const std::function<QString(double)> &format = number)
{
    switch (r.kind) {
    case Reading::Kind::Empty:
        return QString();
    case Reading::Kind::Unreadable:
        return kUnreadable;
    case Reading::Kind::Number:
        break;
    }
    return format(r.value);
}

// A score as stored, to two decimals at most.
QString scoreText(double v)
{
    return number(std::round(v * 100) / 100);
}

// Two decimals, a sign before positive values, never "-0.00".
QString zText(double z)
{
    const double rounded = std::round(z * 100) / 100;
    if (rounded == 0)
        return QStringLiteral("0.00");
    return (rounded > 0 ? QStringLiteral("+") : QString()) + QString::number(rounded, 'f', 2);
}

// One decimal; a value beyond the 3rd or 97th percentile that would print as
// the cut-off itself prints as "<3" or ">97", so that "3.0" and "97.0" never
// carry a mark.
QString percentileText(double p)
{
    if (p < 0.1)
        return QStringLiteral("<0.1");
    if (p > 99.9)
        return QStringLiteral(">99.9");
    const QString text = QString::number(p, 'f', 1);
    if (p < 3 && text == QStringLiteral("3.0"))
        return QStringLiteral("<3");
    if (p > 97 && text == QStringLiteral("97.0"))
        return QStringLiteral(">97");
    return text;
}

// Lengths with one decimal, weights with two, as WHO's tables print them.
QString measureText(Indicator indicator, double v)
{
    return QString::number(v, 'f', indicator == Indicator::WeightForAge ? 2 : 1);
}

// The age a record is compared at: only a month age of 0 and above has one.
std::optional<growth::Age> ageOfRecord(const MonthRecord &m, const QDate &birth)
{
    const std::optional<int> month = m.month();
    if (!month || *month < 0)
        return std::nullopt;
    return growth::ageOf(*month, birth, m.measured);
}

// The cells of one measurement: value, z and percentile, with their marks.
struct MeasureCells {
    QString value, z, percentile;
    bool flagged = false;
};

MeasureCells measureCells(
    Indicator indicator, const std::optional<Sex> &sex, const std::optional<growth::Age> &age, const Reading &v)
{
    MeasureCells c;
    if (v.kind == Reading::Kind::Empty)
        return c;
    if (v.kind == Reading::Kind::Unreadable) {
        c.value = kUnreadable;
        c.z = c.percentile = kNone;
        return c;
    }
    // A zero is what a box left at 0 gives: not measured.
    if (v.value == 0) {
        c.value = QStringLiteral("未测");
        return c;
    }
    c.value = measureText(indicator, v.value);
    const std::optional<growth::Standing> s
        = (sex && age) ? growth::assess(indicator, *sex, age->days, v.value) : std::nullopt;
    if (!s) {
        c.z = c.percentile = kNone;
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

// The month and the age compared at, length/height and weight with their z
// and percentile, heart rate and breath; then one column per domain and the
// total.
constexpr std::size_t kFirstScoreColumn = 10;

const std::vector<Column> &columns()
{
    static const std::vector<Column> cols = [] {
        std::vector<Column> c {{QStringLiteral("月龄"), 9}, {QStringLiteral("年龄"), 15}, {QStringLiteral("cm"), 12},
            {QStringLiteral("z"), 11}, {QStringLiteral("百分位"), 13}, {QStringLiteral("kg"), 12},
            {QStringLiteral("z"), 11}, {QStringLiteral("百分位"), 13}, {QStringLiteral("次/分"), 11},
            {QStringLiteral("次/分"), 11}};
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
    const std::vector<Group> groups {{2, 3, QStringLiteral("身长/身高")}, {5, 3, QStringLiteral("体重")},
        {8, 1, QStringLiteral("心率")}, {9, 1, QStringLiteral("呼吸")},
        {kFirstScoreColumn, scoring::kDomainCount + 1, QStringLiteral("发育测评得分")}};
    for (const Group &g : groups)
        c.text(c.rect(columnX(g.from), top, columnsWidth(g.from, g.count), half), g.text, head, Qt::AlignCenter);
    for (std::size_t i = 0; i < columns().size(); ++i) {
        const bool spansBoth = i < 2;
        c.text(c.rect(columnX(i), spansBoth ? top : top + half, columns().at(i).width, spansBoth ? kHeaderRowsH : half),
            columns().at(i).head, head, Qt::AlignCenter);
    }
    p.setPen(c.pen(QColor(0x88, 0x88, 0x88), 0.3));
    p.drawLine(c.point(kMargin, top), c.point(columnX(columns().size()), top));
    p.drawLine(c.point(kMargin, top + kHeaderRowsH), c.point(columnX(columns().size()), top + kHeaderRowsH));
}

void drawRow(
    Canvas &c, double top, const MonthRecord &m, const std::optional<Sex> &sex, const QDate &birth, bool shaded)
{
    const QFont body = fonts::font(fonts::kSimHei, 7.5);
    if (shaded)
        c.painter().fillRect(
            c.rect(kMargin, top, columnX(columns().size()) - kMargin, kRowH), QColor(0xf7, 0xf7, 0xf7));
    const std::optional<int> month = m.month();
    const std::optional<growth::Age> age = ageOfRecord(m, birth);
    const MeasureCells h = measureCells(Indicator::LengthHeightForAge, sex, age, m.height);
    const MeasureCells w = measureCells(Indicator::WeightForAge, sex, age, m.weight);
    const QString monthText
        = month ? conv::decimalText(*month) : (m.monthAge.kind == Reading::Kind::Unreadable ? kUnreadable : kNone);
    QStringList cells {monthText, age ? growth::ageText(*age) : kNone, h.value, h.z, h.percentile, w.value, w.z,
        w.percentile, readingText(m.heartRate), readingText(m.breath)};
    bool complete = true;
    scoring::PerDomain<double> scores {};
    for (std::size_t d = 0; d < scores.size(); ++d) {
        cells.append(readingText(m.scores[d], scoreText));
        complete = complete && m.scores[d].isNumber();
        scores[d] = m.scores[d].value;
    }
    cells.append(complete ? conv::decimalText(scoring::total(scores)) : QString());
    for (std::size_t i = 0; i < columns().size(); ++i) {
        const bool flagged = (i >= 2 && i <= 4 && h.flagged) || (i >= 5 && i <= 7 && w.flagged);
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

void drawFrame(
    Canvas &c, const Plot &plot, double xStep, const QString &xLabel, const QString &yLabel, bool yearMarks = false)
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

// The standard's curves as runs of (day, LMS): weight in one run, length and
// height in two, the length run ending the day before the height run starts.
std::vector<std::vector<std::pair<int, growth::Lms>>> standardRuns(Indicator indicator, Sex sex)
{
    std::vector<std::vector<std::pair<int, growth::Lms>>> runs(1);
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

// The chart's band layout in millimetres from its top.
constexpr double kLegendTop = 7;
constexpr double kLegendH = 8.5;
constexpr double kPlotTop = 17;
constexpr double kBelowPlot = 13;
constexpr double kPlotLeft = kMargin + 16;
constexpr double kPlotW = kContentW - 28;

struct ChildPoint {
    double months, value;
    std::optional<growth::Standing> standing;
};

std::vector<ChildPoint> childPoints(Indicator indicator, const std::optional<Sex> &sex, const ChildRecord &child)
{
    const QDate birth = growth::dateOf(child.birth);
    std::vector<ChildPoint> points;
    for (const MonthRecord &m : child.months) {
        const Reading &v = indicator == Indicator::WeightForAge ? m.weight : m.height;
        const std::optional<growth::Age> age = ageOfRecord(m, birth);
        if (!age || *m.month() > 36 || !v.isNumber() || v.value <= 0)
            continue;
        points.push_back({age->days / growth::kDaysPerMonth, v.value,
            sex ? growth::assess(indicator, *sex, age->days, v.value) : std::nullopt});
    }
    std::stable_sort(
        points.begin(), points.end(), [](const ChildPoint &a, const ChildPoint &b) { return a.months < b.months; });
    return points;
}

} // namespace

GrowthChartLayout growthChartLayout(Indicator indicator, const ChildRecord &child, double top, double height)
{
    const std::optional<Sex> sex = growth::sexOf(child.sex);
    const bool weight = indicator == Indicator::WeightForAge;
    GrowthChartLayout layout;
    layout.plot = QRectF(kPlotLeft, top + kPlotTop, kPlotW, height - kPlotTop - kBelowPlot);
    layout.legend = QRectF(kPlotLeft, top + kLegendTop, kPlotW, kLegendH);

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
    // The range widens for the child's plausible values, by at most half of
    // it on either side; values beyond, and implausible ones, go on the edge.
    const std::vector<ChildPoint> points = childPoints(indicator, sex, child);
    const double span = hi - lo;
    for (const ChildPoint &pt : points) {
        if (pt.standing && pt.standing->implausible)
            continue;
        lo = std::min(lo, std::max(pt.value, lo - span / 2));
        hi = std::max(hi, std::min(pt.value, hi + span / 2));
    }
    const Axis axis = niceAxis(lo, hi, 14);
    layout.lo = axis.lo;
    layout.hi = axis.hi;
    layout.step = axis.step;

    const Plot plot {layout.plot, 0, kChartMonths, axis};
    for (const ChildPoint &pt : points) {
        ChartPoint cp;
        cp.onEdge = pt.value < axis.lo || pt.value > axis.hi;
        cp.at = plot.at(pt.months, std::clamp(pt.value, axis.lo, axis.hi));
        if (pt.standing && pt.standing->implausible)
            cp.mark = ChartPoint::Mark::Implausible;
        else if (pt.standing && pt.standing->outsideP3P97)
            cp.mark = ChartPoint::Mark::OutsideP3P97;
        cp.value = measureText(indicator, pt.value);
        layout.points.append(cp);
    }
    return layout;
}

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

void drawGrowthChart(Canvas &c, double top, double height, Indicator indicator, const ChildRecord &child)
{
    QPainter &p = c.painter();
    const std::optional<Sex> sex = growth::sexOf(child.sex);
    const Tones tones = tonesOf(sex);
    const bool weight = indicator == Indicator::WeightForAge;
    const QString sexName = !sex ? QString() : (*sex == Sex::Boy ? QStringLiteral("男孩") : QStringLiteral("女孩"));
    const QString title
        = weight ? QStringLiteral("年龄别体重（0–36 个月）") : QStringLiteral("年龄别身长/身高（0–36 个月）");
    c.text(c.rect(kMargin, top, kContentW, 6),
        title
            + (sex ? QStringLiteral("  ") + sexName + QStringLiteral("，WHO Child Growth Standards（2006）")
                   : QString()),
        fonts::font(fonts::kSimHei, 10));

    const GrowthChartLayout layout = growthChartLayout(indicator, child, top, height);
    const Plot plot {c.rect(layout.plot.x(), layout.plot.y(), layout.plot.width(), layout.plot.height()), 0,
        kChartMonths, {layout.lo, layout.hi, layout.step}};
    drawFrame(c, plot, 3, QStringLiteral("年龄（月）"),
        weight ? QStringLiteral("体重（kg）") : QStringLiteral("身长/身高（cm）"), true);

    const auto runs = sex ? standardRuns(indicator, *sex) : decltype(standardRuns(indicator, Sex::Boy)) {};
    auto x = [](int day) { return day / growth::kDaysPerMonth; };
    p.save();
    p.setClipRect(plot.area);
    const double z3 = growth::zOfPercentile(3);
    for (const auto &run : runs) {
        QPolygonF band;
        for (const auto &[day, row] : run)
            band << plot.at(x(day), growth::valueAt(row, z3));
        for (auto it = run.rbegin(); it != run.rend(); ++it)
            band << plot.at(x(it->first), growth::valueAt(it->second, -z3));
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
                line << plot.at(x(day), growth::valueAt(row, z));
            p.drawPolyline(line);
        }
    }
    p.restore();
    // The curves' names, right of the plot where no point can be.
    const QFont small = fonts::font(fonts::kSimHei, 6.5);
    if (!runs.empty()) {
        for (const double pc : kCurvePercentiles) {
            const double v = growth::valueAt(runs.back().back().second, growth::zOfPercentile(pc));
            if (v < plot.y.lo || v > plot.y.hi)
                continue;
            const QPointF end = plot.at(kChartMonths, v);
            c.text(QRectF(end.x() + c.mm(2), end.y() - c.mm(2), c.mm(9), c.mm(4)), QStringLiteral("P%1").arg(pc), small,
                Qt::AlignLeft | Qt::AlignVCenter, tones.curve);
        }
    }

    // The child's plausible measurements on the axes, joined in age order.
    auto device = [&](const QPointF &mm) { return c.point(mm.x(), mm.y()); };
    QPolygonF line;
    for (const ChartPoint &pt : layout.points) {
        if (!pt.onEdge && pt.mark != ChartPoint::Mark::Implausible)
            line << device(pt.at);
    }
    p.setPen(c.pen(kChild, 0.35));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(line);
    bool anyOutside = false;
    bool anyImplausible = false;
    bool anyEdge = false;
    for (const ChartPoint &pt : layout.points) {
        const int edge = !pt.onEdge ? 0 : (pt.at.y() <= layout.plot.top() + 1e-6 ? 1 : -1);
        drawMark(c, device(pt.at), pt.mark, edge);
        anyOutside = anyOutside || pt.mark == ChartPoint::Mark::OutsideP3P97;
        anyImplausible = anyImplausible || pt.mark == ChartPoint::Mark::Implausible;
        anyEdge = anyEdge || pt.onEdge;
        if (pt.onEdge || pt.mark == ChartPoint::Mark::Implausible) {
            const QPointF at = device(pt.at);
            const double dy = edge > 0 ? c.mm(0.6) : edge < 0 ? -c.mm(4.1) : -c.mm(1.75);
            c.text(QRectF(at.x() + c.mm(1.8), at.y() + dy, c.mm(14), c.mm(3.5)), pt.value, small,
                Qt::AlignLeft | Qt::AlignVCenter, pt.mark == ChartPoint::Mark::Implausible ? kFlag : kInk);
        }
    }

    // The legend, above the plot.
    const QFont legend = fonts::font(fonts::kSimHei, 6.5);
    const QRectF box = c.rect(layout.legend.x(), layout.legend.y(), layout.legend.width(), layout.legend.height());
    double lx = box.left();
    double ly = box.top();
    auto entry = [&](const QString &caption, double widthMm, auto drawSample) {
        drawSample(QRectF(lx, ly + c.mm(0.6), c.mm(6), c.mm(2.8)));
        c.text(QRectF(lx + c.mm(7), ly, c.mm(widthMm - 7), c.mm(4)), caption, legend);
        lx += c.mm(widthMm);
    };
    auto nextLine = [&] {
        lx = box.left();
        ly += c.mm(4.25);
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
    nextLine();
    if (anyOutside || sex) {
        entry(QStringLiteral("* 低于 P3 或高于 P97"), 38,
            [&](const QRectF &r) { drawMark(c, r.center(), ChartPoint::Mark::OutsideP3P97, 0); });
    }
    if (anyImplausible || sex) {
        entry(QStringLiteral("! 超出可能的范围，请核对测量值"), 52,
            [&](const QRectF &r) { drawMark(c, r.center(), ChartPoint::Mark::Implausible, 0); });
    }
    if (anyEdge || sex) {
        entry(QStringLiteral("超出坐标范围，画在边上并标出数值"), 58,
            [&](const QRectF &r) { drawMark(c, r.center(), ChartPoint::Mark::Plain, 1); });
    }
}

void drawDomainChart(Canvas &c, double top, double height, const QList<MonthRecord> &months)
{
    QPainter &p = c.painter();
    c.text(c.rect(kMargin, top, kContentW, 6), QStringLiteral("发育测评五个领域的得分（每项 0–20）"),
        fonts::font(fonts::kSimHei, 10));
    // Only the months of the questionnaire have a place on this chart.
    auto monthOf = [](const MonthRecord &m) -> std::optional<int> {
        const std::optional<int> month = m.month();
        if (month && *month >= 0 && *month <= 36)
            return month;
        return std::nullopt;
    };
    int first = 99;
    int last = -1;
    for (const MonthRecord &m : months) {
        const std::optional<int> month = monthOf(m);
        if (!month)
            continue;
        for (const Reading &s : m.scores) {
            if (s.isNumber()) {
                first = std::min(first, *month);
                last = std::max(last, *month);
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
            const std::optional<int> month = monthOf(m);
            if (month && m.scores[d].isNumber())
                line << plot.at(*month, std::clamp(m.scores[d].value, 0.0, 20.0));
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

const QString kDateFormat = QStringLiteral("yyyy-M-d");

// The birth date in the page's date form; a text that is no date as it stands.
QString birthText(const ChildRecord &child)
{
    if (child.birth.isEmpty())
        return kNone;
    const QDate birth = growth::dateOf(child.birth);
    return birth.isValid() ? birth.toString(kDateFormat) : child.birth;
}

// The child's age on the report date: months and days, from three years on
// years and months.
QString currentAge(const ChildRecord &child, const QDate &reportDate)
{
    const QDate birth = growth::dateOf(child.birth);
    const int months = birth.isValid() ? growth::completedMonths(birth, reportDate) : -1;
    if (months < 0)
        return kNone;
    if (months >= 36)
        return QStringLiteral("%1岁%2个月").arg(months / 12).arg(months % 12);
    return QStringLiteral("%1月%2天").arg(months).arg(birth.addMonths(months).daysTo(reportDate));
}

void drawChild(Canvas &c, const ChildRecord &child, const QDate &reportDate)
{
    const std::optional<Sex> sex = growth::sexOf(child.sex);
    const QDate birth = growth::dateOf(child.birth);
    const QFont note = fonts::font(fonts::kSimHei, 7.5);

    c.nextPage();
    c.text(c.rect(kMargin, kMargin, kContentW, 10), QStringLiteral("生长发育报告"), fonts::font(fonts::kSimHei, 17));
    c.text(c.rect(kMargin, kMargin, kContentW, 10), appinfo::kTitle, note, Qt::AlignRight | Qt::AlignVCenter,
        QColor(0x66, 0x66, 0x66));
    const double profileTop = kMargin + 13;
    const QStringList profile {QStringLiteral("姓名：") + child.name,
        QStringLiteral("性别：") + (child.sex.isEmpty() ? kNone : child.sex),
        QStringLiteral("出生日期：") + birthText(child), QStringLiteral("现在年龄：") + currentAge(child, reportDate),
        QStringLiteral("报告日期：") + reportDate.toString(kDateFormat)};
    const double widths[] = {44, 22, 40, 36, 38};
    double x = kMargin;
    for (qsizetype i = 0; i < profile.size(); ++i) {
        c.text(c.rect(x, profileTop, widths[i], 7), profile.at(i), fonts::font(fonts::kSimHei, 10));
        x += widths[i];
    }

    QStringList notes {
        QStringLiteral("“年龄”是比较时用的年龄：有测量日期时是从出生日期到测量那天的实际年龄（如“3月12天”）；"
                       "没有测量日期、出生日期无法识别或测量日期不在所记的月龄之内时，取该月龄的中间（如“约3.5月”）。"
                       "身长/身高和体重与 WHO Child Growth Standards（2006）中同性别、同日龄的儿童相比，给出 z 值"
                       "（与中位数相差几个标准差）和百分位（同龄儿童中低于这个数值的百分比）；"
                       "不满 731 天（约 24 个月）对照卧位身长，从 731 天起对照立位身高。"),
        QStringLiteral("出生时不足 37 周的早产儿，24 个月以前的百分位应按矫正年龄（实际年龄减去提前出生的周数）来读。"),
        QStringLiteral("* 低于第 3 百分位或高于第 97 百分位；! 超出 WHO 认为可能的范围（体重 z 小于 −6 或大于 +5，"
                       "身长/身高 z 小于 −6 或大于 +6），请核对测量值。— 无法计算（性别不明、年龄超出标准或数值无效）；"
                       "“未测”：记为 0；“无法识别”：保存的数值不是有效的数字。得分空白表示该月的问卷没有做完。")};
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
        drawRow(c, rowTop, child.months.at(i), sex, birth, i % 2 == 1);
        rowTop += kRowH;
        ++onPage;
    }

    // The charts: a page of their own.
    c.nextPage();
    c.text(c.rect(kMargin, kMargin, kContentW, 8), child.name + QStringLiteral(" 的生长曲线和发育得分"),
        fonts::font(fonts::kSimHei, 11));
    const double chartH = (kBodyBottom - kMargin - 10) / 3;
    drawGrowthChart(c, kMargin + 10, chartH, Indicator::LengthHeightForAge, child);
    drawGrowthChart(c, kMargin + 10 + chartH, chartH, Indicator::WeightForAge, child);
    drawDomainChart(c, kMargin + 10 + 2 * chartH, chartH, child.months);
}

} // namespace

bool chineseFontAvailable()
{
    return !QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty();
}

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
