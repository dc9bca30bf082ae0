// The graph's item list and the arithmetic of zooming, scrolling, selection and the
// texts about the visible range, without widgets.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "app/graph/GraphFormat.h"
#include "app/graph/GraphItem.h"
#include "app/graph/GraphModel.h"
#include "morlund/items/DataItem.h"

using morlund::DataItem;
using namespace tarnwick;

namespace {

// A channel with a chosen display range, outside the catalogue.
class RangeItem : public DataItem {
public:
    RangeItem(double minimum, double maximum) {
        SetMinValue(minimum);
        SetMaxValue(maximum);
    }
    double GetMetricValue(const morlund::PerfCore*, int, int) const override { return 0.0; }
};

// A view of a 5000 m lap shown whole on a 650-pixel plot with a 50-pixel margin.
GraphState LapState(double trackLength = 5000.0) {
    GraphState s;
    s.trackLength = trackLength;
    s.xStart = 0.0;
    s.xEnd = trackLength;
    s.plot = QRect(0, 0, 650, 400);
    s.leftMargin = 50;
    return s;
}

GraphItem DistanceItem() { return GraphItem(DataItem::DISTANCE, 250); }

}  // namespace

// --- the item list ---------------------------------------------------------------------

TEST(GraphItems, ListHoldsDrawableChannelsWithDefaultOverlaysAndExtraEntries) {
    const GraphItemList items = BuildGraphItems(250);
    for (const auto& item : items)
        EXPECT_LT(item->Level(), DataItem::LEVEL_MODEL);
    EXPECT_EQ(FindItem(items, DataItem::POWER), -1);  // a model channel
    EXPECT_EQ(FindItem(items, DataItem::DISTANCE), 0);

    const int rh = FindItem(items, DataItem::RIDEHEIGHT);
    ASSERT_GE(rh, 0);
    EXPECT_EQ(items[rh]->Name(-1), "Ride Height ; Static Ride Height");
    EXPECT_TRUE(items[rh]->CanBeX());
    // The second entry for the same channel, with the predictions, is for Y only.
    const GraphItem& predicted = *items[rh + 1];
    EXPECT_EQ(predicted.dataItems.front(), DataItem::RIDEHEIGHT);
    EXPECT_EQ(predicted.Name(-1), "Ride Height ; Predicted ; Minimum");
    EXPECT_EQ(predicted.Name(0), "Ride Height");
    EXPECT_FALSE(predicted.CanBeX());
    EXPECT_TRUE(predicted.CanBeY());

    const int slow = FindItem(items, DataItem::RHSLOW);
    EXPECT_EQ(items[slow + 1]->Name(-1), "Ride Height Slow part ; Predicted ; Minimum");

    const int st = FindItem(items, DataItem::SUSPTRAVEL);
    EXPECT_EQ(items[st]->Name(-1), "Suspension Travel Left ; Maximum");
    const int camber = FindItem(items, DataItem::CAMBER);
    EXPECT_EQ(items[camber]->Name(-1), "Camber Roll ; Static Camber");

    // The time difference sits just before Wheel Speed: Y only, a car channel, 0..5 s.
    const int wheelSpeed = FindItem(items, DataItem::WHEELSPEED);
    ASSERT_GT(wheelSpeed, 0);
    const GraphItem& td = *items[wheelSpeed - 1];
    ASSERT_TRUE(td.IsTimeDifference());
    EXPECT_EQ(td.Name(-1), "Time Difference");
    EXPECT_FALSE(td.CanBeX());
    EXPECT_TRUE(td.CanBeY());
    EXPECT_TRUE(td.IsCarChannel());
    EXPECT_EQ(td.Minimum(), 0.0);
    EXPECT_EQ(td.Maximum(), 5000.0);

    // Just before it, the signed delta to the reference lap in seconds, Y only.
    const GraphItem& delta = *items[wheelSpeed - 2];
    ASSERT_TRUE(delta.IsDeltaToReference());
    EXPECT_EQ(delta.Name(-1), "Delta to Reference");
    EXPECT_FALSE(delta.CanBeX());
    EXPECT_LT(delta.Minimum(), 0.0);

    // Only the two time entries and the two prediction entries are kept from X.
    const long notX =
        std::count_if(items.begin(), items.end(), [](const auto& item) { return !item->CanBeX(); });
    EXPECT_EQ(notX, 4);
}

TEST(GraphItems, CombinedNameDropsOnlyWholeLeadingWords) {
    GraphItem st(DataItem::SUSPTRAVEL, 250);
    st.dataItems.push_back(DataItem::STSLOW);  // "Suspension Travel Left Slow part"
    EXPECT_EQ(st.Name(-1), "Suspension Travel Left ; Slow part");

    GraphItem wheel(DataItem::WHEELSPEED, 250);
    wheel.dataItems.push_back(DataItem::WHEELSPIN);  // shares "Wheel Sp", not a word
    wheel.dataItems.push_back(DataItem::SPEED);      // nothing in common
    EXPECT_EQ(wheel.Name(-1), "Wheel Speed ; Wheel Spin ; Speed");
    EXPECT_EQ(wheel.Name(2), "Speed");
    EXPECT_EQ(wheel.Name(3), "");

    // An overlay named like the main item keeps its name rather than none.
    GraphItem same(DataItem::SPEED, 250);
    same.dataItems.push_back(DataItem::SPEED);
    EXPECT_EQ(same.Name(-1), "Speed ; Speed");
}

TEST(GraphItems, ValidRangeAndGapModeFollowTheChannel) {
    struct Case {
        const DataItem* item;
        double validMin, validMax;
        int gapMode;
    };
    const Case cases[] = {
        {DataItem::RHDERIVED1, -1e8, 1e8, GraphItem::kGapSteps},
        {DataItem::STDERIVED2, -1e8, 1e8, GraphItem::kGapSteps},
        {DataItem::RHSLOW, -255.0, 255.0, GraphItem::kGapNone},
        {DataItem::STSLOW, -255.0, 255.0, GraphItem::kGapNone},
        {DataItem::HCOGINTLAT, -10000.0, 10000.0, GraphItem::kGapBreak},
        {DataItem::HCOGINT, -10000.0, 10000.0, GraphItem::kGapBreak},
        {DataItem::STEERRADIUS, 0.0, 180.0, GraphItem::kGapBreak},
        {DataItem::RADIUS, 0.0, 180.0, GraphItem::kGapBreak},
        {DataItem::POWER, 0.0, 1e8, GraphItem::kGapNone},
        {DataItem::SPEED, -1e8, 1e8, GraphItem::kGapNone},
    };
    for (const Case& c : cases) {
        const GraphItem item(c.item, 180);
        SCOPED_TRACE(c.item->GetName());
        EXPECT_EQ(item.validMin, c.validMin);
        EXPECT_EQ(item.validMax, c.validMax);
        EXPECT_EQ(item.gapMode, c.gapMode);
    }
    const GraphItem radius(DataItem::RADIUS, 180);
    EXPECT_FALSE(radius.IsValid(0.0));  // the ends are excluded
    EXPECT_TRUE(radius.IsValid(179.9));
    EXPECT_FALSE(radius.IsValid(180.0));
}

TEST(GraphItems, RangeSpansEveryDataItemAndNeverDividesByZero) {
    GraphItem rh(DataItem::RIDEHEIGHT, 250);    // 0..100
    rh.dataItems.push_back(DataItem::RHMINST);  // -10..10
    EXPECT_EQ(rh.Minimum(), -10.0);
    EXPECT_EQ(rh.Maximum(), 100.0);
    EXPECT_DOUBLE_EQ(rh.ValueScale(), 5000.0 / 110.0);
    EXPECT_FALSE(rh.IsCarChannel());
    EXPECT_TRUE(GraphItem(DataItem::SPEED, 250).IsCarChannel());

    const RangeItem flat(7.0, 7.0), inverted(5.0, 3.0);
    GraphItem item(&flat, 250);
    EXPECT_EQ(item.ValueScale(), 5000.0);
    item.dataItems = {&inverted};
    EXPECT_EQ(item.ValueScale(), 5000.0);
    EXPECT_TRUE(std::isfinite(item.ValueScale()));
}

// --- zoom --------------------------------------------------------------------------------

TEST(GraphZoom, XZoomOnTheWholeLapStepsBy32ndsAndShiftDoubles) {
    GraphState s = LapState();
    GraphItem x = DistanceItem();
    ASSERT_TRUE(ZoomXIn(s, x, 1));
    EXPECT_DOUBLE_EQ(s.xStart, 156.25);
    EXPECT_DOUBLE_EQ(s.xEnd, 4843.75);

    GraphState shifted = LapState();
    ASSERT_TRUE(ZoomXIn(shifted, x, 2));
    EXPECT_DOUBLE_EQ(shifted.xStart, 312.5);
    EXPECT_DOUBLE_EQ(shifted.xEnd, 4687.5);

    // Zooming out widens by a 32nd of the range shown and stops at the ends of the lap.
    ASSERT_TRUE(ZoomXOut(s, x, 1));
    EXPECT_DOUBLE_EQ(s.xStart, 156.25 - 4687.5 / 32);
    EXPECT_DOUBLE_EQ(s.xEnd, 4843.75 + 4687.5 / 32);
    ASSERT_TRUE(ZoomXOut(s, x, 1));
    EXPECT_EQ(s.xStart, 0.0);
    EXPECT_EQ(s.xEnd, 5000.0);
    EXPECT_FALSE(ZoomXOut(s, x, 1));
    s.xStart = 10.0;
    s.xEnd = 4990.0;
    ASSERT_TRUE(ZoomXOut(s, x, 2));
    EXPECT_EQ(s.xStart, 0.0);
    EXPECT_EQ(s.xEnd, 5000.0);
}

TEST(GraphZoom, NarrowRangesKeepOneMetreSteps) {
    GraphState s = LapState();
    GraphItem x = DistanceItem();
    s.xStart = 100.0;
    s.xEnd = 101.5;
    ASSERT_TRUE(ZoomXIn(s, x, 1));
    EXPECT_DOUBLE_EQ(s.xStart, 100.5);
    EXPECT_DOUBLE_EQ(s.xEnd, 101.5);
    EXPECT_FALSE(ZoomXIn(s, x, 1));  // 1 m is the narrowest
    EXPECT_DOUBLE_EQ(s.xEnd - s.xStart, 1.0);
    ASSERT_TRUE(ZoomXOut(s, x, 1));
    EXPECT_DOUBLE_EQ(s.xStart, 99.5);
    EXPECT_DOUBLE_EQ(s.xEnd, 102.5);
}

TEST(GraphZoom, LargeStepCountsAreLimitedAndZeroDoesNothing) {
    GraphItem x = DistanceItem();
    for (int n : {17, 32, 33, 100, 1 << 20}) {
        SCOPED_TRACE(n);
        GraphState s = LapState();
        s.xStart = 1000.0;
        s.xEnd = 2000.0;
        EXPECT_FALSE(ZoomXIn(s, x, n));  // a step of the whole range narrows nothing
        EXPECT_EQ(s.xEnd - s.xStart, 1000.0);
        ASSERT_TRUE(ZoomXOut(s, x, n));
        EXPECT_EQ(s.xStart, 0.0);
        EXPECT_EQ(s.xEnd, 3000.0);
    }
    GraphState s = LapState();
    EXPECT_FALSE(ZoomXIn(s, x, 0));
    EXPECT_FALSE(ZoomXIn(s, x, -3));
    EXPECT_EQ(s.xEnd, 5000.0);
}

TEST(GraphZoom, ItemAxesStayWithinLevels1To256) {
    GraphItem y(DataItem::SPEED, 250);
    EXPECT_EQ(y.zoomLevel, 35);
    for (int i = 0; i < 100; ++i)
        ZoomYIn(y, 1);
    EXPECT_EQ(y.zoomLevel, 1);
    EXPECT_FALSE(ZoomYIn(y, 1));
    EXPECT_TRUE(ZoomYOut(y, 255));
    EXPECT_EQ(y.zoomLevel, 256);
    EXPECT_FALSE(ZoomYOut(y, 1));
    y.zoomLevel = 10;
    EXPECT_FALSE(ZoomYIn(y, 10));  // would reach 0
    EXPECT_TRUE(ZoomYIn(y, 9));
    EXPECT_EQ(y.zoomLevel, 1);

    // Another X item than Distance zooms its own axis.
    GraphState s = LapState();
    s.xIsDistance = false;
    GraphItem x(DataItem::SPEED, 250);
    ASSERT_TRUE(ZoomXIn(s, x, 2));
    EXPECT_EQ(x.zoomLevel, 33);
    EXPECT_EQ(s.xEnd, 5000.0);
    ASSERT_TRUE(ZoomXOut(s, x, 3));
    EXPECT_EQ(x.zoomLevel, 36);
}

TEST(GraphZoom, WheelStepsAreWholeNotches) {
    EXPECT_EQ(WheelSteps(120), 1);
    EXPECT_EQ(WheelSteps(360), 3);
    EXPECT_EQ(WheelSteps(119), 0);
    EXPECT_EQ(WheelSteps(-119), 0);
    EXPECT_EQ(WheelSteps(-250), -2);
}

// --- scrolling ----------------------------------------------------------------------------

TEST(GraphScroll, DistanceScrollingMovesWithinTheLap) {
    GraphState s = LapState();
    s.xStart = 1000.0;
    s.xEnd = 2000.0;
    ScrollDistance(s, ScrollAction::LineForward, 0, false);
    EXPECT_DOUBLE_EQ(s.xStart, 1031.25);
    EXPECT_DOUBLE_EQ(s.xEnd, 2031.25);
    ScrollDistance(s, ScrollAction::LineBack, 0, true);  // Shift: an eighth
    EXPECT_DOUBLE_EQ(s.xStart, 906.25);
    EXPECT_DOUBLE_EQ(s.xEnd, 1906.25);

    s.xStart = 10.0;
    s.xEnd = 1010.0;
    ScrollDistance(s, ScrollAction::LineBack, 0, false);
    EXPECT_EQ(s.xStart, 0.0);
    EXPECT_EQ(s.xEnd, 1010.0);
    ScrollDistance(s, ScrollAction::PageBack, 0, false);
    EXPECT_EQ(s.xStart, 0.0);
    EXPECT_EQ(s.xEnd, 1010.0);

    s.xStart = 3500.0;
    s.xEnd = 4500.0;
    ScrollDistance(s, ScrollAction::PageForward, 0, false);
    EXPECT_EQ(s.xStart, 4000.0);
    EXPECT_EQ(s.xEnd, 5000.0);
    ScrollDistance(s, ScrollAction::LineForward, 0, false);
    EXPECT_EQ(s.xEnd, 5000.0);
    EXPECT_EQ(s.xStart, 4000.0);

    ScrollDistance(s, ScrollAction::Thumb, 4800, false);
    EXPECT_EQ(s.xStart, 4000.0);
    ScrollDistance(s, ScrollAction::Thumb, 1200, false);
    EXPECT_EQ(s.xStart, 1200.0);
    EXPECT_EQ(s.xEnd, 2200.0);
    ScrollDistance(s, ScrollAction::Top, 0, false);
    EXPECT_EQ(s.xStart, 0.0);
    EXPECT_EQ(s.xEnd, 1000.0);
    ScrollDistance(s, ScrollAction::Bottom, 0, false);
    EXPECT_EQ(s.xStart, 4000.0);
    EXPECT_EQ(s.xEnd, 5000.0);

    const ScrollBarSetup bar = DistanceScrollBar(s);
    EXPECT_EQ(bar.page, 1000);
    EXPECT_EQ(bar.maximum, 4000);
    EXPECT_EQ(bar.position, 4000);
}

TEST(GraphScroll, ItemAxisOffsetsAreClampedAndKeysMapToAxes) {
    GraphItem y(DataItem::SPEED, 250);
    ScrollAxis(y, ScrollAction::LineForward, 0);
    EXPECT_EQ(y.offset, 10);
    ScrollAxis(y, ScrollAction::PageBack, 0);
    EXPECT_EQ(y.offset, -90);
    ScrollAxis(y, ScrollAction::Thumb, 4995);
    ScrollAxis(y, ScrollAction::PageForward, 0);
    EXPECT_EQ(y.offset, 5000);
    ScrollAxis(y, ScrollAction::Top, 0);
    EXPECT_EQ(y.offset, -5000);
    ScrollAxis(y, ScrollAction::LineBack, 0);
    EXPECT_EQ(y.offset, -5000);
    const ScrollBarSetup bar = AxisScrollBar(y);
    EXPECT_EQ(bar.minimum, -5000);
    EXPECT_EQ(bar.maximum, 5000);
    EXPECT_EQ(bar.position, -5000);

    EXPECT_EQ(ScrollForKey(Qt::Key_PageDown).axis, KeyScroll::kY);
    EXPECT_EQ(ScrollForKey(Qt::Key_PageDown).action, ScrollAction::PageForward);
    EXPECT_EQ(ScrollForKey(Qt::Key_Up).action, ScrollAction::LineBack);
    EXPECT_EQ(ScrollForKey(Qt::Key_Left).axis, KeyScroll::kX);
    EXPECT_EQ(ScrollForKey(Qt::Key_End).action, ScrollAction::Bottom);
    EXPECT_EQ(ScrollForKey(Qt::Key_Home).action, ScrollAction::Top);
    EXPECT_EQ(ScrollForKey(Qt::Key_A).axis, KeyScroll::kNone);
}

// --- pixels, selection and cursor ------------------------------------------------------------

TEST(GraphPixels, DistancesMapLinearlyOntoThePlotRightOfTheMargin) {
    GraphState s = LapState(6000.0);  // 600 columns for 6000 m
    EXPECT_EQ(DistanceToPixel(s, 0.0), 50);
    EXPECT_EQ(DistanceToPixel(s, 3000.0), 350);
    EXPECT_EQ(DistanceToPixel(s, 3009.9), 350);  // truncated
    EXPECT_EQ(DistanceToPixel(s, 6000.0), 650);
    EXPECT_DOUBLE_EQ(PixelToDistance(s, 350), 3000.0);
    EXPECT_DOUBLE_EQ(PixelToDistance(s, 50), 0.0);
    s.xStart = 1000.0;
    s.xEnd = 1600.0;
    EXPECT_EQ(DistanceToPixel(s, 1300.0), 350);
    EXPECT_DOUBLE_EQ(PixelToDistance(s, 51), 1001.0);
    // Far-away distances do not overflow.
    EXPECT_GT(DistanceToPixel(s, 1e300), 0);

    s.xEnd = s.xStart;
    EXPECT_EQ(DistanceToPixel(s, 1300.0), 50);
    s.plot = QRect(0, 0, 50, 100);  // no room right of the margin
    EXPECT_EQ(DistanceToPixel(s, 1300.0), 50);
    EXPECT_EQ(PixelToDistance(s, 70), 0.0);
    EXPECT_FALSE(ViewDistanceRange(s).has_value());
}

TEST(GraphSelection, EitherDirectionGivesTheSameRangeWithinTheLap) {
    GraphState s = LapState(6000.0);
    EXPECT_FALSE(CanZoomSelection(s));
    EXPECT_EQ(ViewDistanceRange(s), std::make_pair(0.0, 6000.0));
    s.selStart = 110;
    s.selEnd = 410;
    const auto forward = ViewDistanceRange(s);
    std::swap(s.selStart, s.selEnd);
    EXPECT_EQ(ViewDistanceRange(s), forward);
    EXPECT_EQ(forward, std::make_pair(600.0, 3600.0));
    EXPECT_TRUE(CanZoomSelection(s));

    // A band reaching past the plot is cut at the end of the lap.
    s.selEnd = 700;
    EXPECT_EQ(ViewDistanceRange(s)->second, 6000.0);
    EXPECT_EQ(ClampSelectionColumn(s, 10), 50);

    ASSERT_TRUE(ZoomSelection(s));
    EXPECT_EQ(s.xStart, 3600.0);
    EXPECT_EQ(s.xEnd, 6000.0);
    EXPECT_FALSE(HasSelection(s));
    EXPECT_TRUE(CanZoomAll(s));
    ZoomAll(s);
    EXPECT_FALSE(CanZoomAll(s));

    // A band wholly past the end of the lap covers nothing: the range stays.
    s.selStart = 660;
    s.selEnd = 700;
    EXPECT_FALSE(ZoomSelection(s));
    EXPECT_EQ(s.xEnd, 6000.0);
    EXPECT_FALSE(HasSelection(s));
}

TEST(GraphSelection, CursorModeRangeRunsToTheEndOfTheLap) {
    GraphState s = LapState(6000.0);
    s.cursorMode = true;
    s.cursorX = ClampCursorColumn(s, 350);
    s.selStart = 100;
    s.selEnd = 200;
    EXPECT_FALSE(CanZoomSelection(s));
    EXPECT_EQ(ViewDistanceRange(s), std::make_pair(3000.0, 6000.0));
    EXPECT_EQ(ClampCursorColumn(s, 5), 50);
    EXPECT_EQ(ClampCursorColumn(s, 900), 649);

    const ViewHint hint = MakeViewHint(s);
    EXPECT_EQ(hint.cursorPos, 3000.0);
    EXPECT_EQ(hint.selectionFrom, 0.0);
    EXPECT_EQ(hint.selectionTo, 6000.0);
    s.cursorMode = false;
    EXPECT_EQ(MakeViewHint(s).cursorPos, -1.0);
}

TEST(GraphFollow, HintsAreTakenOverAndKeptWithinTheLap) {
    GraphState s = LapState(6000.0);
    FollowHint(s, 6000.0, ViewHint{2, 1500.0, 1000.0, 1600.0});
    EXPECT_EQ(s.buffer, 2);
    EXPECT_EQ(s.xStart, 1000.0);
    EXPECT_EQ(s.xEnd, 1600.0);
    EXPECT_EQ(s.cursorX, 550);

    FollowHint(s, 6000.0, ViewHint{0, -1.0, 0.0, 0.0});  // no range: the whole lap
    EXPECT_EQ(s.xStart, 0.0);
    EXPECT_EQ(s.xEnd, 6000.0);
    EXPECT_EQ(s.cursorX, 550);  // no cursor: unchanged
    FollowHint(s, 5000.0, ViewHint{0, -1.0, -20.0, 7000.0});
    EXPECT_EQ(s.xStart, 0.0);
    EXPECT_EQ(s.xEnd, 5000.0);
    FollowHint(s, 5000.0, ViewHint{0, -1.0, 3000.0, 2000.0});
    EXPECT_EQ(s.xStart, 0.0);
    EXPECT_EQ(s.xEnd, 5000.0);

    EXPECT_EQ(CorrectBuffer(-1, 3), 2);
    EXPECT_EQ(CorrectBuffer(3, 3), 2);
    EXPECT_EQ(CorrectBuffer(1, 3), 1);
}

// --- texts ---------------------------------------------------------------------------------

TEST(GraphTexts, RangesTitlesAndValues) {
    EXPECT_EQ(DistanceRangeText(0.0, 1500.0, false), "0.000km - 1.500km");
    EXPECT_EQ(DistanceRangeText(1609.344, 3218.688, true), "1.000ml - 2.000ml");
    EXPECT_EQ(GraphFrameTitle("Speed", "Distance", "lap1"),
              "Speed over Distance; lap1 - Graph View");

    EXPECT_EQ(GraphValueText(0.0, 1), "0.0 ");
    EXPECT_EQ(GraphValueText(12.3456, 1), "12.3 ");
    EXPECT_EQ(GraphValueText(0.5, 1), "0.50 ");
    EXPECT_EQ(GraphValueText(-1234.6, 1), "-1235 ");
    EXPECT_EQ(GraphValueText(12.3456, 2), "    12.3 ");
    EXPECT_EQ(GraphValueText(std::nan(""), 1), "nan ");
    EXPECT_EQ(GraphDecimals(1e-300), 15);
    EXPECT_EQ(GraphIntText(32767), "");
    EXPECT_EQ(GraphIntText(-32768), "");
    EXPECT_EQ(GraphIntText(12), "12 ");
}

// --- overlays and printing ---------------------------------------------------------------

TEST(GraphOverlays, CandidatesShareTheQuantityAndSkipModelChannels) {
    const GraphItem speed(DataItem::SPEED, 250);
    const auto add = AddOverlayCandidates(speed);
    const auto has = [&](const DataItem* item) {
        return std::find(add.begin(), add.end(), item) != add.end();
    };
    EXPECT_TRUE(has(DataItem::WHEELSPEED));
    EXPECT_TRUE(has(DataItem::WHEELSPIN));
    EXPECT_FALSE(has(DataItem::SPEED));       // already there
    EXPECT_FALSE(has(DataItem::RHDERIVED1));  // an analysis channel
    EXPECT_FALSE(has(DataItem::STEERING));    // another quantity
    for (const DataItem* item : add)
        EXPECT_EQ(item->GetQuantity(), DataItem::Q_VELOCITY);

    const GraphItemList items = BuildGraphItems(250);
    const int rh = FindItem(items, DataItem::RIDEHEIGHT);
    EXPECT_EQ(RemoveOverlayCandidates(*items[rh]), std::vector<int>{1});  // a setup value
    EXPECT_TRUE(RemoveOverlayCandidates(*items[rh + 1]).empty());         // the predictions stay
    EXPECT_TRUE(AddOverlayCandidates(*items[FindItem(items, DataItem::WHEELSPEED) - 1]).empty());
}

TEST(GraphPrint, PlotRectangleIsThePageInsetBy50DevicePixels) {
    // A 600 dpi page drawn in 96 dpi units.
    const double scale = 600.0 / 96.0;
    const QRect plot = PrintPlotRect(QSize(4800, 6600), scale, scale);
    EXPECT_EQ(plot.left(), 8);
    EXPECT_EQ(plot.top(), 8);
    EXPECT_EQ(plot.left() + plot.width(), 760);
    EXPECT_EQ(plot.top() + plot.height(), 1048);
    EXPECT_TRUE(PrintPlotRect(QSize(4800, 6600), 0.0, 1.0).isEmpty());
}
