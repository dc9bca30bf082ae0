// Pictures of the graph renderer, checked pixel by pixel on offscreen images.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <set>
#include <vector>

#include "app/graph/GraphItem.h"
#include "app/graph/GraphModel.h"
#include "app/graph/GraphRenderer.h"
#include "app/graph/GraphSeriesCache.h"
#include "app/graph/GraphState.h"
#include "morlund/formats/BufManager.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Wheel.h"
#include "tests/app/GraphLaps.h"
#include "tests/app/Pictures.h"

using morlund::BufManager;
using morlund::DataItem;
using morlund::Wheel;
using pictures::CountDiffering;
using tarnwick::GraphItem;
using tarnwick::GraphRenderer;
using tarnwick::GraphScene;

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 400;
const QRgb kScreenBg = qRgb(0, 0, 48);
const QRgb kGrid = qRgb(128, 128, 128);

QRgb BufRgb(int b) { return GraphRenderer::ToQColor(BufManager::GetBufColor(b)).rgb(); }

// A graph view's drawing inputs: item 0 is Distance (X), item 1 the Y item.
struct Graph {
    graphlaps::LapManager manager;
    tarnwick::GraphItemList items;
    tarnwick::GraphState state;
    GraphRenderer renderer;

    explicit Graph(const DataItem* y, int width = kWidth, int height = kHeight) {
        items.push_back(std::make_unique<GraphItem>(DataItem::DISTANCE, 10000));
        items.push_back(std::make_unique<GraphItem>(y, 10000));
        state.xItem = 0;
        state.yItem = 1;
        state.wheel = Wheel::ALL;
        state.showValues = false;
        state.plot = QRect(0, 0, width, height);
        state.leftMargin = renderer.LeftMargin(false);
    }
    GraphItem& Y() { return *items[1]; }
    void ShowWholeLap() {
        state.trackLength = manager.GetTrackLen();
        state.xStart = 0;
        state.xEnd = state.trackLength;
    }
    void EnableOnly(int b) {
        for (int i = 0; i < manager.GetBufCount(); ++i)
            manager.EnableBuffer(i, i == b);
    }
    QImage Render(bool printing = false, bool lowColour = false) {
        QImage image(state.plot.size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        GraphScene scene{&manager, &items, &state, printing, lowColour};
        renderer.Paint(painter, scene);
        return image;
    }
};

// Rows of a column that carry the grid colour.
std::vector<int> GridRows(const QImage& image, int x) {
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y)
        if (image.pixel(x, y) == kGrid) rows.push_back(y);
    return rows;
}

}  // namespace

TEST(GraphRender, BackgroundFollowsDevice) {
    Graph g(DataItem::SPEED);
    g.manager.Add(graphlaps::FlatLap(100, 1000, 30));
    g.ShowWholeLap();
    g.EnableOnly(-1);
    const int x = kWidth - 3;  // right of the labels, between grid lines below
    const int y = kHeight - 2;
    EXPECT_EQ(g.Render(false, false).pixel(x, y), kScreenBg);
    EXPECT_EQ(g.Render(false, true).pixel(x, y), qRgb(0, 0, 0));
    EXPECT_EQ(g.Render(true, false).pixel(x, y), qRgb(255, 255, 255));
    // Printed labels are dark on white.
    const QImage printed = g.Render(true, false);
    int dark = 0;
    for (int yy = 0; yy < kHeight; ++yy)
        for (int xx = 0; xx < g.state.leftMargin; ++xx)
            dark += qGray(printed.pixel(xx, yy)) < 64;
    EXPECT_GT(dark, 20);
}

TEST(GraphRender, BufferColoursCycleAfterTwelve) {
    Graph g(DataItem::SPEED);
    const auto lap = graphlaps::FlatLap(200, 1000, 30);
    for (int b = 0; b < 13; ++b)
        g.manager.Add(lap, 1.0 + 0.13 * b);
    g.ShowWholeLap();
    g.EnableOnly(-1);
    const QImage empty = g.Render();
    for (int b = 0; b < 13; ++b) {
        g.EnableOnly(b);
        const QImage image = g.Render();
        std::set<QRgb> colours;
        int changed = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = g.state.leftMargin; x < kWidth; ++x)
                if (image.pixel(x, y) != empty.pixel(x, y)) {
                    colours.insert(image.pixel(x, y));
                    ++changed;
                }
        SCOPED_TRACE(b);
        // The last sample lies on the lap's end, outside [xStart, xEnd).
        EXPECT_GE(changed, kWidth - g.state.leftMargin - 5);
        EXPECT_EQ(colours, std::set<QRgb>{BufRgb(b % 12)});
    }
    EXPECT_EQ(BufRgb(12), BufRgb(0));
}

TEST(GraphRender, SelectionAndCursorInvert) {
    Graph g(DataItem::SPEED);
    g.manager.Add(graphlaps::MakeLapData(3000, 3));
    g.ShowWholeLap();
    const QImage plain = g.Render();
    g.state.selStart = 300;  // dragged right to left
    g.state.selEnd = 200;
    const QImage selected = g.Render();
    for (int y = 0; y < kHeight; y += 7)
        for (int x = 0; x < kWidth; ++x) {
            const QRgb want = x >= 200 && x < 300 ? (~plain.pixel(x, y) & 0xffffff) | 0xff000000
                                                  : plain.pixel(x, y);
            ASSERT_EQ(selected.pixel(x, y), want) << x << "," << y;
        }
    // Moving the band over the cached picture: inverting again erases it.
    QImage cached = selected;
    {
        QPainter painter(&cached);
        GraphScene scene{&g.manager, &g.items, &g.state, false, false};
        g.renderer.PaintSelection(painter, scene);
    }
    EXPECT_EQ(CountDiffering(cached, plain), 0);

    g.state.cursorMode = true;
    g.state.cursorX = 10;  // left of the margin: kept at the margin
    const QImage cursor = g.Render();
    for (int y = 0; y < kHeight; y += 5) {
        const int x = g.state.leftMargin;
        EXPECT_EQ(cursor.pixel(x, y), (~plain.pixel(x, y) & 0xffffff) | 0xff000000);
        EXPECT_EQ(cursor.pixel(x + 1, y), plain.pixel(x + 1, y));
    }
}

TEST(GraphRender, ZeroLineAndLabelSteps) {
    struct Case {
        const DataItem* item;
        int zeroRow;  // for a 400-pixel plot without offset
    };
    Graph probe(DataItem::SPEED);
    const int lineHeight = 10;  // Arial 10 on screen
    const Case cases[] = {
        {DataItem::SPEED, kHeight - 1 - kHeight / 10},  // car channel from 0: near the bottom
        {DataItem::STEERING, kHeight / 2},              // both signs: the middle
        {DataItem::RIDEHEIGHT, kHeight - 1 - 4 * lineHeight},  // room for the wheel legend
    };
    for (const Case& c : cases) {
        for (int zoom : {1, 10, 35, 256}) {
            for (int offset : {0, 37}) {
                Graph g(c.item);
                g.manager.Add(graphlaps::FlatLap(100, 1000, 30));
                g.ShowWholeLap();
                g.EnableOnly(-1);
                g.Y().zoomLevel = zoom;
                g.Y().offset = offset;
                const std::vector<int> rows = GridRows(g.Render(), kWidth - 2);
                SCOPED_TRACE(c.item->GetName() + " zoom " + std::to_string(zoom) + " offset " +
                             std::to_string(offset));
                const int zero = c.zeroRow - offset;
                ASSERT_TRUE(std::find(rows.begin(), rows.end(), zero) != rows.end());
                ASSERT_GE(rows.size(), 2u);
                // Evenly spaced multiples of one 1-2-5 step: far enough apart for a label
                // and a half, and not so far that the next smaller step would fit.
                const double spacing = static_cast<double>(rows.back() - rows.front()) /
                                       static_cast<double>(rows.size() - 1);
                EXPECT_GE(spacing, 1.5 * lineHeight - 1);
                EXPECT_LT(spacing, 2.5 * kHeight / (kHeight / 15) + 1);
                for (int r : rows)
                    EXPECT_NEAR(std::fmod(std::fabs(r - zero) + spacing / 2, spacing), spacing / 2,
                                1.0);
            }
        }
    }
    // The offset moves the zero line up pixel for pixel: by half the plot, Steering's
    // reaches the top row.
    Graph g(DataItem::STEERING);
    g.manager.Add(graphlaps::FlatLap(100, 1000, 30));
    g.ShowWholeLap();
    g.Y().offset = kHeight / 2;
    const std::vector<int> rows = GridRows(g.Render(), kWidth - 2);
    EXPECT_TRUE(std::find(rows.begin(), rows.end(), 0) != rows.end());
}

TEST(GraphRender, ValuesThatAreNotFiniteAreNotDrawn) {
    auto lap = graphlaps::FlatLap(1000, 1000, 25);
    for (int i = 300; i < 600; ++i)
        lap->speed[static_cast<std::size_t>(i)] = i % 3 == 0
                                                      ? std::numeric_limits<double>::quiet_NaN()
                                                      : (i % 3 == 1 ? HUGE_VAL : -HUGE_VAL);
    for (int mode : {0, 1, 2}) {  // reduced lines, every sample, pixels
        const bool reduce = mode == 0;
        for (int gap : {GraphItem::kGapNone, GraphItem::kGapBreak}) {
            Graph g(DataItem::SPEED);
            g.manager.Add(lap);
            g.ShowWholeLap();
            g.renderer.SetReduce(reduce);
            g.state.drawLines = mode != 2;
            g.Y().gapMode = gap;
            g.state.showValues = true;
            const QImage image = g.Render();
            SCOPED_TRACE("mode " + std::to_string(mode) + " gap " + std::to_string(gap));
            // Only the row of 90 km/h carries the lap's colour: no spikes to the edges.
            std::set<int> rows;
            const int left = g.state.leftMargin;
            const int right = kWidth - 1;
            for (int y = 0; y < kHeight; ++y)
                for (int x = left + 60; x < right - 60; ++x)
                    if (image.pixel(x, y) == BufRgb(0)) rows.insert(y);
            ASSERT_EQ(rows.size(), 1u);
            const int row = *rows.begin();
            // Columns 30 % .. 60 % of the lap: a line bridges them unless gaps break it;
            // isolated pixels leave them empty.
            const int plotWidth = right + 1 - left;
            int drawn = 0;
            for (int x = left + plotWidth * 32 / 100; x < left + plotWidth * 58 / 100; ++x)
                drawn += image.pixel(x, row) == BufRgb(0);
            if (gap == GraphItem::kGapBreak || !g.state.drawLines)
                EXPECT_EQ(drawn, 0);
            else
                EXPECT_EQ(drawn, plotWidth * 58 / 100 - plotWidth * 32 / 100);
        }
    }
}

TEST(GraphRender, ReducedPictureMatchesEverySample) {
    auto lap = graphlaps::MakeLapData(200000, 7);
    // The same lap with its distances going back now and then (a reset odometer).
    auto shaken = std::make_shared<graphlaps::LapData>(*lap);
    for (std::size_t i = 50000; i < shaken->distance.size(); i += 50000)
        shaken->distance[i] -= 30.0;
    // Vibration: within one column the extremes lie between its first and last sample.
    auto noisy = std::make_shared<graphlaps::LapData>(*lap);
    for (std::size_t i = 0; i < noisy->speed.size(); ++i)
        noisy->speed[i] += 2.0 * std::sin(static_cast<double>(i) * 1.3);

    struct Case {
        const char* name;
        const DataItem* item;
        int gapMode;
        double validMax;
        const Wheel* wheel;
        double xStart, xEnd;
        bool cursor;
        std::shared_ptr<graphlaps::LapData> data;
    };
    const Case cases[] = {
        {"speed", DataItem::SPEED, GraphItem::kGapNone, 1e8, Wheel::ALL, 0, 0, false, lap},
        {"steps", DataItem::SPEED, GraphItem::kGapSteps, 1e8, Wheel::ALL, 0, 0, false, lap},
        {"breaks", DataItem::SPEED, GraphItem::kGapBreak, 180, Wheel::ALL, 0, 0, false, lap},
        {"zoomed", DataItem::SPEED, GraphItem::kGapNone, 1e8, Wheel::ALL, 1200, 1260, true, lap},
        {"wheels", DataItem::RIDEHEIGHT, GraphItem::kGapNone, 1e8, Wheel::ALL, 0, 0, true, lap},
        {"one wheel", DataItem::SUSPTRAVEL, GraphItem::kGapNone, 1e8, Wheel::LEFT_FRONT, 0, 0,
         false, lap},
        {"unordered", DataItem::SPEED, GraphItem::kGapNone, 1e8, Wheel::ALL, 0, 0, false, shaken},
        {"noisy", DataItem::SPEED, GraphItem::kGapNone, 1e8, Wheel::ALL, 0, 0, false, noisy},
        {"noisy steps", DataItem::SPEED, GraphItem::kGapSteps, 1e8, Wheel::ALL, 0, 0, false, noisy},
        {"noisy breaks", DataItem::SPEED, GraphItem::kGapBreak, 150, Wheel::ALL, 0, 0, false,
         noisy},
    };
    for (const Case& c : cases) {
        Graph g(c.item, 1200, 500);
        g.manager.Add(c.data, 1.0);
        g.manager.Add(c.data, 1.02);
        g.manager.Add(c.data, 0.97);
        g.ShowWholeLap();
        if (c.xEnd > 0) {
            g.state.xStart = c.xStart;
            g.state.xEnd = c.xEnd;
        }
        g.Y().gapMode = c.gapMode;
        g.Y().validMax = c.validMax;
        g.state.wheel = c.wheel;
        g.state.showValues = true;  // the boxes' extremes and averages must agree too
        g.state.cursorMode = c.cursor;
        g.state.cursorX = 700;
        const QImage reduced = g.Render();
        g.renderer.SetReduce(false);
        const QImage full = g.Render();
        const int differing = CountDiffering(reduced, full);
        EXPECT_LE(differing, reduced.width() * reduced.height() / 1000) << c.name;
    }
}

TEST(GraphRender, TimeDifference) {
    Graph g(DataItem::SPEED, kWidth, kHeight);
    g.items[1] = std::make_unique<tarnwick::TimeDifferenceItem>();
    const auto lap = graphlaps::MakeLapData(5000, 2);
    g.manager.Add(lap);
    g.ShowWholeLap();
    const int zeroRow = kHeight - 1 - kHeight / 10;
    auto rowsOf = [&](const QImage& image, QRgb colour) {
        std::set<int> rows;
        for (int y = 0; y < kHeight; ++y)
            for (int x = g.state.leftMargin; x < image.width(); ++x)
                if (image.pixel(x, y) == colour) rows.insert(y);
        return rows;
    };
    // One lap against itself: a flat line at zero.
    EXPECT_EQ(rowsOf(g.Render(), BufRgb(0)), std::set<int>{zeroRow});

    // A lap 2 % slower everywhere falls behind steadily; the quicker lap stays at zero.
    g.manager.Add(lap, 1.0, 1.02);
    const QImage two = g.Render();
    EXPECT_EQ(rowsOf(two, BufRgb(0)), std::set<int>{zeroRow});
    const std::set<int> slower = rowsOf(two, BufRgb(1));
    ASSERT_FALSE(slower.empty());
    EXPECT_LT(*slower.begin(), zeroRow - 20);
    // The last column shows the whole lap's loss: 2 % of the lap time, in milliseconds
    // on a 0..5000 ms scale at zoom 35 (7000 virtual units over the plot height).
    int lastRow = -1;
    for (int y = 0; y < kHeight; ++y)
        if (two.pixel(kWidth - 2, y) == BufRgb(1)) lastRow = y;
    const double lossMs = lap->lapTime * 0.02 * 1000.0;
    EXPECT_NEAR(zeroRow - lastRow, lossMs * kHeight / 7000.0, 2.0);

    // A plot no wider than the labels draws no curve and does not fail.
    g.state.plot = QRect(0, 0, g.state.leftMargin, kHeight);
    const QImage narrow = g.Render();
    EXPECT_TRUE(rowsOf(narrow, BufRgb(0)).empty());
}

TEST(GraphRender, ValueBoxesOnlyOnScreenAndNotForSetupValues) {
    auto differs = [](Graph& g, bool printing) {
        g.state.showValues = false;
        const QImage without = g.Render(printing);
        g.state.showValues = true;
        const QImage with = g.Render(printing);
        return CountDiffering(without, with);
    };
    const auto lap = graphlaps::MakeLapData(4000, 4);
    {
        Graph g(DataItem::SPEED);
        g.manager.Add(lap);
        g.manager.Add(lap, 1.05);
        g.ShowWholeLap();
        EXPECT_GT(differs(g, false), 200);
        EXPECT_EQ(differs(g, true), 0);
        // The cursor column and its boxes are screen matters too.
        g.state.showValues = false;
        g.state.cursorX = 300;
        for (bool printing : {false, true}) {
            g.state.cursorMode = false;
            const QImage plain = g.Render(printing);
            g.state.cursorMode = true;
            const int changed = CountDiffering(plain, g.Render(printing));
            if (printing)
                EXPECT_EQ(changed, 0);
            else
                EXPECT_GT(changed, kHeight + 50);
        }
    }
    {
        Graph g(DataItem::SETUP_RIDEHEIGHT);
        g.manager.Add(lap);
        g.ShowWholeLap();
        g.state.wheel = Wheel::LEFT_REAR;
        EXPECT_EQ(differs(g, false), 0);
        // The same wheel's measured ride height gets its boxes.
        g.items[1] = std::make_unique<GraphItem>(DataItem::RIDEHEIGHT, 10000);
        EXPECT_GT(differs(g, false), 100);
    }
}

TEST(GraphRender, CachedValuesLastUntilInvalidated) {
    auto lap = graphlaps::FlatLap(500, 1000, 30);
    Graph g(DataItem::SPEED);
    g.manager.Add(lap);
    g.ShowWholeLap();
    const QImage before = g.Render();
    for (double& v : lap->speed)
        v = 40;
    EXPECT_EQ(CountDiffering(g.Render(), before), 0);
    g.renderer.Invalidate();
    EXPECT_GT(CountDiffering(g.Render(), before), 100);
}

// New values of one lap (its setup changed) redraw that lap's channels that depend on
// the setup; the other laps and the lap's recorded channels keep what was converted. A
// lap that went is forgotten, so a new one at its address is read afresh.
TEST(GraphRender, CachedValuesOfOneBufferAreDroppedAlone) {
    const auto lap = graphlaps::MakeLapData(500, 3, 1000);
    auto tyreLoads = [&](bool softer) {
        auto g = std::make_unique<Graph>(DataItem::TYRELOAD);
        g->state.wheel = Wheel::LEFT_FRONT;
        g->manager.Add(lap);
        graphlaps::LapPerf& second = g->manager.Add(lap, 1.0, 1.0);
        if (softer) second.GetSetup()->SetRecordByte(38, 8);  // left front spring
        g->ShowWholeLap();
        return g;
    };
    auto g = tyreLoads(false);
    const QImage before = g->Render();
    const_cast<morlund::PerfCore*>(g->manager.GetBuffer(1))->GetSetup()->SetRecordByte(38, 8);
    EXPECT_EQ(CountDiffering(g->Render(), before), 0);  // still the converted values
    g->renderer.Invalidate(g->manager.GetBuffer(1));
    const QImage softer = g->Render();
    EXPECT_GT(CountDiffering(softer, before), 100);
    EXPECT_EQ(CountDiffering(softer, tyreLoads(true)->Render()), 0);  // the first lap kept

    auto first = graphlaps::FlatLap(500, 1000, 30);
    auto second = graphlaps::FlatLap(500, 1000, 60);
    Graph speeds(DataItem::SPEED);
    speeds.manager.Add(first);
    speeds.manager.Add(second);
    speeds.ShowWholeLap();
    const QImage recorded = speeds.Render();
    for (double& v : second->speed)
        v = 45;
    speeds.renderer.Invalidate(speeds.manager.GetBuffer(1));  // a setup cannot move speeds
    EXPECT_EQ(CountDiffering(speeds.Render(), recorded), 0);
    speeds.renderer.KeepOnly({speeds.manager.GetBuffer(0)});
    Graph fresh(DataItem::SPEED);
    fresh.manager.Add(first);
    fresh.manager.Add(second);
    fresh.ShowWholeLap();
    EXPECT_EQ(CountDiffering(speeds.Render(), fresh.Render()), 0);
}

// Scrolling keeps cached values and columns between paints; whatever a renderer kept from
// the places it showed before, its picture is the one a new renderer draws there.
TEST(GraphRender, ScrolledPictureEqualsFreshOne) {
    auto noisy = std::make_shared<graphlaps::LapData>(*graphlaps::MakeLapData(120000, 5));
    for (std::size_t i = 0; i < noisy->speed.size(); ++i)
        noisy->speed[i] += 2.0 * std::sin(static_cast<double>(i) * 1.3);
    using tarnwick::ScrollAction;
    struct Step {
        ScrollAction action;
        double position;  // thumb only
        bool shift;
    };
    const Step steps[] = {
        {ScrollAction::LineForward, 0, false}, {ScrollAction::LineForward, 0, false},
        {ScrollAction::LineBack, 0, false},    {ScrollAction::LineForward, 0, true},
        {ScrollAction::PageForward, 0, false}, {ScrollAction::Thumb, 3100, false},
        {ScrollAction::LineBack, 0, true},     {ScrollAction::PageBack, 0, false},
        {ScrollAction::Thumb, 200, false},     {ScrollAction::Bottom, 0, false},
        {ScrollAction::Top, 0, false},
    };
    for (const bool cursor : {false, true}) {
        Graph g(DataItem::SPEED, 900, 360);
        for (double grip : {1.0, 1.02, 0.97})
            g.manager.Add(noisy, grip);
        g.ShowWholeLap();
        g.state.xStart = 1000.0;
        g.state.xEnd = 1000.0 + g.state.trackLength / 7.0;
        g.state.showValues = true;
        g.state.cursorMode = cursor;
        g.state.cursorX = 480;
        g.state.selStart = 150;
        g.state.selEnd = 420;
        g.Render();
        for (const Step& step : steps) {
            ASSERT_TRUE(tarnwick::ScrollDistance(g.state, step.action, step.position, step.shift));
            const QImage scrolled = g.Render();
            Graph fresh(DataItem::SPEED, 900, 360);
            for (double grip : {1.0, 1.02, 0.97})
                fresh.manager.Add(noisy, grip);
            fresh.state = g.state;
            const QImage drawn = fresh.Render();
            ASSERT_EQ(CountDiffering(scrolled, drawn), 0)
                << (cursor ? "cursor" : "selection") << " at " << g.state.xStart << ".."
                << g.state.xEnd;
        }
    }
}

// The columns a curve is drawn from hold exactly the samples that the one distance rule
// puts there, also where distances repeat across the index's strides and where grid
// edges fall on sample distances.
TEST(GraphRender, ColumnsFollowTheDistanceRule) {
    std::vector<double> d(1000);
    for (std::size_t i = 0; i < d.size(); ++i)
        d[i] = 0.7 * static_cast<double>(i / 3);  // every distance three times
    const tarnwick::GraphDistances distances(d);
    tarnwick::GraphSeries series;
    // Samples 300..599 have gaps, 700..759 nothing drawable, the rest no gap.
    for (std::size_t i = 0; i < d.size(); ++i) {
        const bool gap = (i >= 300 && i < 600 && i % 7 == 0) || (i >= 700 && i < 760);
        series.values.push_back(gap ? std::numeric_limits<double>::quiet_NaN()
                                    : std::round(3 * std::sin(static_cast<double>(i))));
    }
    struct Grid {
        double xStart, xEnd;
        int width;
    };
    // Edges on sample distances, between them, a window past the data's end, one column
    // per sample, many columns per sample, hundreds of samples per column (values with
    // many ties: the extremes are the first of equal samples).
    const Grid grids[] = {{0, 70, 100},         {0.35, 70.35, 100}, {3.1, 9.9, 57},
                          {150, 400, 333},      {0, 233.1, 333},    {20, 21, 1000},
                          {0.7, 0.7 + 1e-9, 5}, {0, 233.1, 2},      {0.35, 200, 3}};
    for (const Grid& gr : grids) {
        const tarnwick::GraphColumnGrid grid(gr.xStart, gr.xEnd, 40, gr.width);
        const int begin =
            static_cast<int>(std::lower_bound(d.begin(), d.end(), gr.xStart) - d.begin());
        const int end = static_cast<int>(std::lower_bound(d.begin(), d.end(), gr.xEnd) - d.begin());
        const auto& columns = series.Columns(distances, grid, begin, end, -1e8, 1e8);
        int next = begin;
        int lastColumn = -1;
        for (const tarnwick::GraphColumn& c : columns.columns) {
            ASSERT_EQ(c.begin, next) << gr.xStart;
            ASSERT_LT(c.begin, c.end);
            ASSERT_GT(c.column, lastColumn);
            tarnwick::GraphExtremes expected;
            bool gap = false;
            int first = -1;
            int last = -1;
            for (int i = c.begin; i < c.end; ++i) {
                ASSERT_EQ(grid.Column(d[static_cast<std::size_t>(i)]), c.column)
                    << gr.xStart << ".." << gr.xEnd << " sample " << i;
                const double v = series.values[static_cast<std::size_t>(i)];
                if (!std::isfinite(v)) {
                    gap = true;
                    continue;
                }
                expected.AppendSample(i, v);
                if (first < 0) first = i;
                last = i;
            }
            EXPECT_EQ(c.gap, gap);
            EXPECT_EQ(c.extremes.argMin, expected.argMin) << c.begin << ".." << c.end;
            EXPECT_EQ(c.extremes.argMax, expected.argMax) << c.begin << ".." << c.end;
            if (expected.Any()) {
                EXPECT_EQ(c.first, first);
                EXPECT_EQ(c.last, last);
            }
            next = c.end;
            lastColumn = c.column;
        }
        EXPECT_EQ(next, end) << gr.xStart << ".." << gr.xEnd;
        double sum = 0.0;
        int count = 0;
        for (int i = begin; i < end; ++i) {
            const double v = series.values[static_cast<std::size_t>(i)];
            if (!std::isfinite(v)) continue;
            sum += v;
            ++count;
        }
        EXPECT_EQ(columns.count, count);
        EXPECT_NEAR(columns.sum, sum, 1e-9);
    }
}
