#include "gui/chart.h"
#include "gui/chart_panel.h"

#include "sim/flight_record.h"
#include "view/chart_series.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "view/view_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <span>
#include <vector>

using skarvel::gui::Chart;
using skarvel::gui::ChartPanel;
namespace sim = skarvel::sim;
namespace view = skarvel::view;

namespace {

Chart MakeTwoSeries() {
    return Chart(QStringLiteral("値"), {{QStringLiteral("a"), QColor(0, 0, 0)},
                                        {QStringLiteral("b"), QColor(255, 0, 0)}});
}

void Fill(Chart& c, int points) {
    for (int k = 0; k < points; ++k) {
        const double values[] = {std::sin(0.3 * k), 2 + k * 0.5};
        c.append(0.05 * k, values);
    }
}

int CountPixels(const QImage& image, QRgb colour, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
        }
    }
    return n;
}

} // namespace

TEST(Chart, PanelPutsEachChartsValuesOnIt) {
    ChartPanel panel;
    panel.clearAll();
    panel.appendSample(skarvel::test::ChartSample(0), 7.0);
    panel.appendSample(skarvel::test::ChartSample(1), 8.5);
    const auto point = [&](int chart, int k) {
        std::vector<double> v;
        for (int s = 0; s < panel.chart(chart)->seriesCount(); ++s) {
            v.push_back(panel.chart(chart)->pointY(s, k));
        }
        return v;
    };
    const auto vec = [](std::span<const double> values) {
        return std::vector<double>(values.begin(), values.end());
    };
    const view::ChartSample v = view::ChartValues(skarvel::test::ChartSample(1), 8.5);
    EXPECT_EQ(point(0, 1), vec(v.overview));
    EXPECT_EQ(point(1, 1), vec(v.position));
    EXPECT_EQ(point(2, 1), vec(v.angles));
    EXPECT_EQ(point(3, 1), vec(v.velocities));
    EXPECT_EQ(point(4, 1), vec(v.rates));
    for (int i = 0; i < ChartPanel::kCharts; ++i) {
        EXPECT_EQ(panel.chart(i)->pointCount(), 2);
        EXPECT_EQ(panel.chart(i)->pointX(1), v.t);
    }
}

TEST(Chart, ClearKeepsTheAxesAndAutoScaleFitsTheData) {
    Chart c = MakeTwoSeries();
    c.resize(400, 300);
    Fill(c, 21); // t 0 .. 1, values -1 .. 12
    c.autoScale();
    EXPECT_TRUE(c.automaticScaling());
    EXPECT_DOUBLE_EQ(c.xRange().lower, 0);
    EXPECT_DOUBLE_EQ(c.xRange().upper, 1);
    EXPECT_LT(c.yRange().lower, std::sin(0.3 * 16));
    EXPECT_GT(c.yRange().lower, std::sin(0.3 * 16) - 0.5);
    EXPECT_GT(c.yRange().upper, 12);
    EXPECT_LT(c.yRange().upper, 12.5);

    c.setMarker(3);
    ASSERT_EQ(c.markerPointCount(), 2);
    const Chart::Range x = c.xRange();
    const Chart::Range y = c.yRange();
    c.clear();
    EXPECT_FALSE(c.automaticScaling());
    EXPECT_EQ(c.pointCount(), 0);
    EXPECT_EQ(c.markerPointCount(), 0);
    EXPECT_TRUE(c.dirty());

    // During a run the axes stay where they were, whatever comes in.
    const double far[] = {-100, 100};
    c.append(5, far);
    EXPECT_EQ(c.pointCount(), 1);
    c.replotIfDirty();
    EXPECT_FALSE(c.dirty());
    EXPECT_EQ(c.xRange().lower, x.lower);
    EXPECT_EQ(c.xRange().upper, x.upper);
    EXPECT_EQ(c.yRange().lower, y.lower);
    EXPECT_EQ(c.yRange().upper, y.upper);

    c.append(6, far);
    c.autoScale();
    EXPECT_DOUBLE_EQ(c.xRange().lower, 5);
    EXPECT_DOUBLE_EQ(c.xRange().upper, 6);
    EXPECT_LT(c.yRange().lower, -100);
    EXPECT_GT(c.yRange().upper, 100);
    EXPECT_LT(c.yRange().upper, 110);

    // A flight that ended at its first point: one second from it, and room
    // around its one value, never a span centred on it.
    c.clear();
    const double same[] = {3e29, 3e29};
    c.append(0, same);
    c.autoScale();
    EXPECT_DOUBLE_EQ(c.xRange().lower, 0);
    EXPECT_DOUBLE_EQ(c.xRange().upper, 1);
    EXPECT_LT(c.yRange().lower, 3e29);
    EXPECT_GT(c.yRange().upper, 3e29);
}

TEST(Chart, MarkerTakesTheFirstSeriesTimeAndEverySeriesValue) {
    ChartPanel panel;
    panel.clearAll();
    for (int k = 0; k < 10; ++k) {
        panel.appendSample(skarvel::test::ChartSample(k), 7.0 + k);
    }
    panel.moveMarker(7 / 5); // sample 7 lies on chart point 1
    Chart* overview = panel.chart(0);
    ASSERT_EQ(overview->markerPointCount(), 4);
    for (int j = 0; j < 4; ++j) {
        EXPECT_EQ(overview->markerX(j), overview->pointX(1));
        EXPECT_EQ(overview->markerY(j), overview->pointY(j, 1));
    }
    EXPECT_EQ(overview->markerY(1), 8.0);
    // Every chart follows the one marker, the hidden ones too.
    ASSERT_EQ(panel.chart(2)->markerPointCount(), 3);
    EXPECT_EQ(panel.chart(2)->markerX(0), panel.chart(2)->pointX(1));

    panel.moveMarker(9);
    ASSERT_EQ(panel.chart(2)->markerPointCount(), 3);
    EXPECT_EQ(panel.chart(2)->markerX(0), panel.chart(2)->pointX(9));
    EXPECT_EQ(panel.chart(2)->markerY(2), panel.chart(2)->pointY(2, 9));

    // Beyond the points, or before them: the marker stays where it was.
    panel.moveMarker(10);
    panel.moveMarker(-1);
    ASSERT_EQ(overview->markerPointCount(), 4);
    EXPECT_EQ(overview->markerX(0), overview->pointX(9));
}

TEST(Chart, TimeAtMapsTheAxisEndsAndTheMouseReportsIt) {
    Chart c = MakeTwoSeries();
    c.resize(400, 300);
    c.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&c));
    Fill(c, 41); // t 0 .. 2
    c.autoScale();

    EXPECT_FALSE(c.timeAt(0).has_value());
    EXPECT_FALSE(c.timeAt(c.width() - 1).has_value());
    int first = -1;
    int last = -1;
    for (int x = 0; x < c.width(); ++x) {
        if (c.timeAt(x)) {
            last = x;
            first = first < 0 ? x : first;
        }
    }
    ASSERT_GT(last, first);
    const double pixel = 2.0 / (last - first);
    EXPECT_NEAR(*c.timeAt(first), 0, pixel);
    EXPECT_NEAR(*c.timeAt(last), 2, pixel);

    auto* plot = c.findChild<QWidget*>();
    ASSERT_NE(plot, nullptr);
    QSignalSpy spy(&c, &Chart::mouseTime);
    const int mid = (first + last) / 2;
    const auto move = [&](QPointF at, Qt::MouseButtons buttons, Qt::KeyboardModifiers keys) {
        QMouseEvent e(QEvent::MouseMove, at, plot->mapToGlobal(at), Qt::NoButton, buttons, keys);
        QCoreApplication::sendEvent(plot, &e);
    };
    move(QPointF(mid, c.height() / 2), Qt::NoButton, Qt::NoModifier);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_DOUBLE_EQ(spy.at(0).at(0).toDouble(), *c.timeAt(mid));
    move(QPointF(mid, c.height() / 2), Qt::NoButton, Qt::ShiftModifier);
    move(QPointF(mid, c.height() / 2), Qt::NoButton, Qt::ControlModifier);
    move(QPointF(mid, c.height() / 2), Qt::NoButton, Qt::AltModifier);
    move(QPointF(mid, c.height() / 2), Qt::LeftButton, Qt::NoModifier);
    move(QPointF(2, c.height() / 2), Qt::NoButton, Qt::NoModifier);
    EXPECT_EQ(spy.count(), 1);
}

TEST(Chart, RendersIntoPixmaps) {
    Chart c = MakeTwoSeries();
    c.resize(300, 200);
    Fill(c, 21);
    c.autoScale();

    const QImage pixmap = c.toPixmap(400, 300).toImage();
    ASSERT_EQ(pixmap.size(), QSize(400, 300));
    EXPECT_GT(CountPixels(pixmap, qRgb(255, 0, 0), pixmap.rect()), 100); // series "b"
    EXPECT_GT(CountPixels(pixmap, qRgb(0, 0, 0), pixmap.rect()), 100);   // axes, text, "a"
}

// A narrow chart wraps its legend into rows rather than cut a title; a
// wide one keeps it in one row.
TEST(Chart, TheLegendWrapsRatherThanCutsATitle) {
    ChartPanel panel;
    Chart* overview = panel.chart(0);
    for (const int width : {900, 400, 260, 150}) {
        overview->resize(width, 300);
        overview->toPixmap(width, 300); // lays the chart out at that width
        EXPECT_LE(overview->legendRect().right(), width) << width;
        if (width == 900 || width == 150) {
            EXPECT_EQ(overview->legendRows() > 1, width == 150);
        }
    }
}
