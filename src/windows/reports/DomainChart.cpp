// The chart of the five domains' scores by month of age.

#include "windows/reports/ReportCanvas.h"

#include "core/assessment/Scoring.h"
#include "core/data/ContentFile.h"
#include "ui/Fonts.h"

#include <algorithm>

namespace growthreport::pdf {

namespace {

const QList<QColor> kDomainColours {QColor(0xc0, 0x39, 0x2b), QColor(0x27, 0x80, 0x40), QColor(0x1f, 0x5f, 0xbf),
    QColor(0xd6, 0x8a, 0x00), QColor(0x7d, 0x3c, 0x98)};

// Only the months of the questionnaire have a place on this chart.
std::optional<int> chartMonth(const MonthRecord &m)
{
    const std::optional<int> month = m.month();
    if (month && *month >= 0 && *month <= 36)
        return month;
    return std::nullopt;
}

// The first and last months on the chart with a score; none without one.
std::optional<std::pair<int, int>> scoredMonths(const QList<MonthRecord> &months)
{
    int first = 99;
    int last = -1;
    for (const MonthRecord &m : months) {
        const std::optional<int> month = chartMonth(m);
        if (!month)
            continue;
        for (const Reading &s : m.scores) {
            if (s.isNumber()) {
                first = std::min(first, *month);
                last = std::max(last, *month);
            }
        }
    }
    if (last < 0)
        return std::nullopt;
    return std::pair {first, last};
}

} // namespace

void drawDomainChart(Canvas &c, double top, double height, const QList<MonthRecord> &months)
{
    QPainter &p = c.painter();
    c.text(c.rect(kMargin, top, kContentW, 6), QStringLiteral("发育测评五个领域的得分（每项 0–20）"),
        fonts::font(fonts::kSimHei, 10));
    const std::optional<std::pair<int, int>> scored = scoredMonths(months);
    if (!scored) {
        c.text(c.rect(kMargin, top + 8, kContentW, 6), QStringLiteral("还没有做完的问卷，暂无得分。"),
            fonts::font(fonts::kSimHei, 8));
        return;
    }
    // The recorded months, with a little room on either side.
    const auto [first, last] = *scored;
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
            const std::optional<int> month = chartMonth(m);
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

} // namespace growthreport::pdf
