// The table of months: one row a recorded month, with the measurements' z
// and percentile against WHO's standard and the domain scores.

#include "windows/reports/ReportCanvas.h"

#include "core/assessment/Scoring.h"
#include "core/data/ContentFile.h"
#include "core/data/Conversions.h"
#include "core/reports/Growth.h"
#include "ui/Fonts.h"

#include <cmath>
#include <functional>
#include <vector>

namespace growthreport::pdf {

namespace {

using growth::Indicator;
using growth::Sex;

int rowsOnFirstPage()
{
    return static_cast<int>((kBodyBottom - kFirstTableTop - kHeaderRowsH) / kRowH);
}

int rowsOnNextPage()
{
    return static_cast<int>((kBodyBottom - kNextTableTop - kHeaderRowsH) / kRowH);
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

void drawRow(Canvas &c, double top, const MonthRecord &m, const std::optional<Sex> &sex, bool shaded)
{
    const QFont body = fonts::font(fonts::kSimHei, 7.5);
    if (shaded)
        c.painter().fillRect(
            c.rect(kMargin, top, columnX(columns().size()) - kMargin, kRowH), QColor(0xf7, 0xf7, 0xf7));
    const std::optional<int> month = m.month();
    const std::optional<growth::Age> &age = m.age;
    const MeasureCells h = measureCells(Indicator::LengthHeightForAge, sex, age, m.height);
    const MeasureCells w = measureCells(Indicator::WeightForAge, sex, age, m.weight);
    const QString monthText
        = month ? conv::decimalText(*month) : (m.monthAge.kind == Reading::Kind::Unreadable ? kUnreadable : kNone);
    QStringList cells {monthText, age ? growth::ageText(*age) : kNone, h.value, h.z, h.percentile, w.value, w.z,
        w.percentile, readingText(m.heartRate), readingText(m.breath)};
    for (const Reading &score : m.scores)
        cells.append(readingText(score, scoreText));
    const std::optional<std::int16_t> total = m.total();
    cells.append(total ? conv::decimalText(*total) : QString());
    for (std::size_t i = 0; i < columns().size(); ++i) {
        const bool flagged = (i >= 2 && i <= 4 && h.flagged) || (i >= 5 && i <= 7 && w.flagged);
        c.text(c.rect(columnX(i), top, columns().at(i).width, kRowH), cells.at(static_cast<qsizetype>(i)), body,
            Qt::AlignCenter, flagged ? kFlag : kInk);
    }
}

} // namespace

int tablePages(const ChildRecord &child)
{
    const int rows = std::max<int>(1, static_cast<int>(child.months.size()));
    if (rows <= rowsOnFirstPage())
        return 1;
    return 1 + (rows - rowsOnFirstPage() + rowsOnNextPage() - 1) / rowsOnNextPage();
}

void drawMonthTable(Canvas &c, const ChildRecord &child)
{
    const QFont note = fonts::font(fonts::kSimHei, 7.5);
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
        drawRow(c, rowTop, child.months.at(i), child.sex, i % 2 == 1);
        rowTop += kRowH;
        ++onPage;
    }
}

} // namespace growthreport::pdf
