#include "core/reports/ChartGeometry.h"
#include "core/reports/Growth.h"

#include <QtTest>

#include <cmath>
#include <tuple>

using growthreport::Axis;
using growthreport::Plot;

class TestChartGeometry : public QObject {
    Q_OBJECT
private slots:
    void axisCoversTheDataInRoundSteps();
    void scalesMapAgeAndValueOntoThePlot();
    void valuesBeyondTheAxisGoOnItsEdge();
    void legendStandsClearOfThePlot();
};

// The axis covers the data from a multiple of a round step to a multiple of
// it; the step is the finest round one that keeps the data's span within the
// ticks asked for (rounding outward may add one).
void TestChartGeometry::axisCoversTheDataInRoundSteps()
{
    const QList<double> roundSteps {0.5, 1, 2, 5, 10, 20, 50, 100};
    const std::tuple<double, double, int> cases[] {
        {2.1, 17.8, 14}, {44.6, 106.3, 14}, {0.2, 1.1, 5}, {61.0, 61.4, 14}, {0.5, 14.4, 14}, {3.0, 980.0, 10}};
    for (const auto &[lo, hi, maxTicks] : cases) {
        const Axis axis = growthreport::niceAxis(lo, hi, maxTicks);
        QVERIFY(axis.lo <= lo && axis.hi >= hi);
        QVERIFY(roundSteps.contains(axis.step));
        QCOMPARE(std::remainder(axis.lo, axis.step), 0.0);
        QCOMPARE(std::remainder(axis.hi, axis.step), 0.0);
        QVERIFY((hi - lo) / axis.step <= maxTicks);
        QVERIFY(std::lround((axis.hi - axis.lo) / axis.step) <= maxTicks + 1);
        const qsizetype finer = roundSteps.indexOf(axis.step) - 1;
        QVERIFY(finer < 0 || (hi - lo) / roundSteps.at(finer) > maxTicks);
    }
    // A wild value widens the range by half of it at most; a near one fully.
    QCOMPARE(growthreport::widenedRange(40, 100, {8900, 35}), std::pair(35.0, 130.0));
}

// Months run left to right, values bottom to top, and a day of age lands
// where its month does.
void TestChartGeometry::scalesMapAgeAndValueOntoThePlot()
{
    const Plot plot {QRectF(31, 42, 152, 53), 0, 37, {40, 110, 5}};
    QCOMPARE(plot.at(0, 40), plot.area.bottomLeft());
    QCOMPARE(plot.at(37, 110), plot.area.topRight());
    QCOMPARE(plot.yOf(75), plot.area.center().y());
    double x = plot.xOf(0);
    double y = plot.yOf(40);
    for (int step = 1; step <= 37; ++step) {
        QVERIFY(plot.xOf(step) > x && plot.yOf(40 + step * 70.0 / 37) < y);
        x = plot.xOf(step);
        y = plot.yOf(40 + step * 70.0 / 37);
    }
    // Day 365 is within a day of twelve months; day 0 is birth at the axis' start.
    const double dayWidth = (plot.xOf(1) - plot.xOf(0)) / 30;
    QVERIFY(std::abs(plot.atDay(365, 50).x() - plot.xOf(12)) < dayWidth);
    QCOMPARE(plot.atDay(0, 50), plot.at(0, 50));
}

void TestChartGeometry::valuesBeyondTheAxisGoOnItsEdge()
{
    const Plot plot {QRectF(31, 42, 152, 53), 0, 37, {40, 110, 5}};
    const auto above = plot.place(10, 8900);
    QVERIFY(above.onEdge);
    QCOMPARE(above.at, QPointF(plot.xOf(10), plot.area.top()));
    const auto below = plot.place(20, 1.5);
    QVERIFY(below.onEdge);
    QCOMPARE(below.at, QPointF(plot.xOf(20), plot.area.bottom()));
    for (const double onAxis : {40.0, 75.0, 110.0}) {
        QVERIFY(!plot.place(5, onAxis).onEdge);
        QCOMPARE(plot.place(5, onAxis).at, plot.at(5, onAxis));
    }
}

// In every band the charts are given, the legend lies above the plot and
// both inside the band, with room beside the plot for the axis' labels.
void TestChartGeometry::legendStandsClearOfThePlot()
{
    for (const double height : {60.0, 83.3, 120.0}) {
        const QRectF band(15, 25 + height, 180, height);
        const growthreport::ChartFrame frame = growthreport::growthChartFrame(band);
        QVERIFY(!frame.legend.intersects(frame.plot));
        QVERIFY(frame.legend.bottom() <= frame.plot.top());
        QVERIFY(band.contains(frame.legend) && band.contains(frame.plot));
        QVERIFY(frame.plot.left() > band.left() + 10 && frame.plot.right() < band.right());
    }
}

QTEST_GUILESS_MAIN(TestChartGeometry)
#include "tst_chartgeometry.moc"
