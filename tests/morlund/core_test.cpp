#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "VectorPerf.h"
#include "morlund/core/PerfCore.h"
#include "morlund/formats/gp2/GP2CarSetup.h"
#include "morlund/platform/Errors.h"
#include "morlund/platform/File.h"
#include "morlund/platform/RecordingMessageSink.h"

using namespace morlund;
using testsupport::Range;
using testsupport::VectorPerf;

TEST(PerfCore, FrameTimeComesFromLapTimeAndSampleCount) {
    VectorPerf one;
    one.distance = {0};
    one.Load();
    EXPECT_EQ(one.GetFrameTime(), 0.0);
    EXPECT_EQ(one.GetTime(0), 0.0);

    VectorPerf many;
    many.distance = Range(601);
    many.Load();
    EXPECT_DOUBLE_EQ(many.GetFrameTime(), 1.0);  // base lap time 600 s over 600 steps
    EXPECT_DOUBLE_EQ(many.GetTime(600), 600.0);
    EXPECT_EQ(many.GetMaxDistance(), 600.0);
    EXPECT_EQ(many.InfoGetDateString(), "???");
    EXPECT_EQ(many.InfoGetTrackLength(), 10000.0);
    EXPECT_DOUBLE_EQ(many.GetStartAngle(), std::numbers::pi / 2);
}

TEST(PerfCore, NamesCountBuffersSinceTheLibraryLoaded) {
    VectorPerf a;
    const int number = PerfCore::perf_nr;
    VectorPerf b;
    EXPECT_EQ(PerfCore::perf_nr, number + 1);
    char expected[32];
    std::snprintf(expected, sizeof expected, "morlund%02d", number + 1);
    EXPECT_EQ(b.InfoGetName(), expected);
    VectorPerf later;  // a later buffer does not rename the earlier ones
    EXPECT_EQ(b.InfoGetName(), expected);
}

TEST(PerfCore, TimeAtDistanceInterpolatesThroughTheIndex) {
    VectorPerf p;
    p.distance = {0, 10, 10, 30, 40, 40};  // equal distances stay in the index
    p.Load();
    const double frame = 600.0 / 5;
    EXPECT_EQ(p.GetDistanceArray().GetCount(), 6);
    EXPECT_DOUBLE_EQ(p.GetTime(-5.0), 0.0);  // before the first entry
    const double at10 = p.GetTime(10.0);
    EXPECT_TRUE(at10 == frame || at10 == 2 * frame);  // either sample at 10 m
    EXPECT_DOUBLE_EQ(p.GetTime(20.0), 2 * frame + 0.5 * frame);
    const double beyond = p.GetTime(1e6);
    EXPECT_TRUE(beyond == 4 * frame || beyond == 5 * frame);
    EXPECT_THROW(p.GetDistanceArray().GetAt(6), InvalidArgument);
}

TEST(DistanceArray, BuildsSortedFromUnsortedDistancesAndBisects) {
    VectorPerf p;
    p.distance = {50, 10, 30, 20, 40, 10};
    p.Load();
    const CDistanceArray& index = p.GetDistanceArray();
    std::vector<double> sorted;
    for (int i = 0; i < index.GetCount(); ++i)
        sorted.push_back(index.GetAt(i).distance);
    EXPECT_EQ(sorted, (std::vector<double>{10, 10, 20, 30, 40, 50}));
    EXPECT_EQ(index.GetAt(5).sample, 0);
    const auto hit = index.Find(30.0);
    EXPECT_TRUE(hit.found);
    EXPECT_EQ(index.GetAt(hit.index).sample, 2);
    const auto miss = index.Find(35.0);
    EXPECT_FALSE(miss.found);
    EXPECT_EQ(miss.index, 4);  // insertion point
    EXPECT_EQ(index.Find(0.0).index, 0);
    EXPECT_EQ(index.Find(60.0).index, 6);
    EXPECT_EQ(CDistanceArray::Compare({0, 1.0}, {1, 2.0}), -1);
    EXPECT_EQ(CDistanceArray::Compare({0, 2.0}, {1, 2.0}), 0);
}

TEST(PerfCore, SlowPartsExistOnlyAtInnerTurningPoints) {
    VectorPerf p;
    p.distance = Range(9);
    p.rideHeight = {5, 4, 3, 4, 5, 4, 3, 4, 5};
    p.Load();
    for (int i = 0; i < 9; ++i) {
        for (int w = 0; w < 4; ++w) {
            // wheel w is the same trace raised by w, so its slow part is too
            EXPECT_EQ(p.GetRHSlow(i, w), i == 4 ? 4.0 + w : 10000.0) << i << " " << w;
        }
        // the suspension trace is mirrored: its turning points sit at the same samples
        EXPECT_EQ(p.GetSTSlow(i, 0), i == 4 ? -4.0 : 10000.0) << i;
    }
    EXPECT_EQ(p.GetRHFast(4, 0), 1.0);
}

TEST(PerfCore, RadiusVectorPointsToTheCircleCentre) {
    VectorPerf p;
    p.ownPositions = true;
    p.distance = Range(3);
    p.x = {-1, 0, 1};
    p.y = {0, 1, 0};
    p.Load();
    const Vect r = p.GetRadius(1);
    EXPECT_DOUBLE_EQ(r.x, 0.0);
    EXPECT_DOUBLE_EQ(r.y, -1.0);
    EXPECT_DOUBLE_EQ(PerfCore::RadiusLength(r), 1.0);
    EXPECT_EQ(p.GetRadius(0), Vect());  // no neighbour before the first sample
    EXPECT_EQ(p.GetRadius(2), Vect());
    EXPECT_DOUBLE_EQ(p.GetLateralAcc(1), 100.0);  // v^2 / r with v = 10

    p.y = {0, 0, 0};  // a straight line: no centre
    EXPECT_EQ(p.GetRadius(1), Vect());
    EXPECT_EQ(p.GetLateralAcc(1), 0.0);
}

TEST(PerfCore, HeadingsAreContinuousAcrossTheHalfTurn) {
    VectorPerf p;
    p.ownPositions = true;
    // a circle driven anticlockwise, starting heading up (+y)
    const int n = 40;
    p.distance = Range(n);
    for (int i = 0; i < n; ++i) {
        const double a = 2 * std::numbers::pi * i / n;
        p.x.push_back(std::cos(a));
        p.y.push_back(std::sin(a));
    }
    p.Load();
    for (int i = 1; i < n; ++i) {
        const double step = p.GetAngle(i) - p.GetAngle(i - 1);
        EXPECT_NEAR(step, 2 * std::numbers::pi / n, 1e-9) << i;  // no jumps of 2 pi
    }
    EXPECT_GE(p.GetAngle(0), 0.0);
}

TEST(PerfCore, PositionsFromLateralAccelerationCloseTheLoop) {
    // One circle of 6000 m at 10 m/s in the base lap time of 600 s: radius 6000 / 2 pi,
    // lateral acceleration v^2 / r, negative for a left-hand bend.
    VectorPerf p;
    p.useLatAcc = true;
    p.overrideLatAcc = true;
    const int n = 601;
    const double radius = 6000.0 / (2 * std::numbers::pi);
    p.distance = Range(n, 10.0);
    p.latAcc.assign(n, -100.0 / radius);
    p.Load();
    EXPECT_EQ(p.GetPos(0), Vect());
    EXPECT_NEAR(p.GetPosX(n - 1), p.GetPosX(0), 15.0);  // the loop closes within one step
    EXPECT_NEAR(p.GetPosY(n - 1), p.GetPosY(0), 15.0);
    double minX = 0, maxY = 0;
    for (int i = 0; i < n; ++i) {
        minX = std::min(minX, p.GetPosX(i));
        maxY = std::max(maxY, p.GetPosY(i));
    }
    EXPECT_NEAR(minX, -2 * radius, 20.0);  // heading up, turning left: the circle lies at -x
    EXPECT_NEAR(maxY, radius, 20.0);

    VectorPerf still;  // zero speed and no lateral acceleration leave the car at the start
    still.useLatAcc = true;
    still.overrideLatAcc = true;
    still.distance = Range(5);
    still.speed.assign(5, 0.0);
    still.latAcc.assign(5, 0.0);
    still.Load();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(still.GetPos(i), Vect());
}

TEST(PerfCore, ItemCacheOwnsValuesPerWheelAndName) {
    VectorPerf p;
    p.distance = Range(4);
    p.Load();
    EXPECT_EQ(p.GetCachedItem(0, "rake"), nullptr);
    auto values = std::make_unique<double[]>(4);
    values[2] = 7.5;
    p.SetCachedItem(1, "rake", std::move(values));
    ASSERT_NE(p.GetCachedItem(1, "rake"), nullptr);
    EXPECT_EQ(p.GetCachedItem(1, "rake")[2], 7.5);
    EXPECT_EQ(p.GetCachedItem(0, "rake"), nullptr);
    EXPECT_EQ(p.GetCachedItem(4, "rake"), nullptr);
    p.FlushCachedItem("rake");
    EXPECT_EQ(p.GetCachedItem(1, "rake"), nullptr);
    p.SetCachedItem(3, "a", std::make_unique<double[]>(4));
    p.SetupChanged();  // a setup edit drops every cached channel
    EXPECT_EQ(p.GetCachedItem(3, "a"), nullptr);
    EXPECT_TRUE(p.IsSetupChanged());

    VectorPerf other;  // so does taking over another buffer's setup
    other.distance = Range(4);
    other.Load();
    p.SetCachedItem(0, "a", std::make_unique<double[]>(4));
    p.CopySetup(other);
    EXPECT_EQ(p.GetCachedItem(0, "a"), nullptr);
}

TEST(PerfCore, ResetSetupOrgForgetsThePathSoSavingReportsOpenError) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    VectorPerf p;
    p.distance = Range(3);
    p.Load();
    p.SetPath("/nonexistent-folder/x.csd");
    p.ResetSetupOrg();
    p.SaveSetup();
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"Error opening file"});
    EXPECT_TRUE(sink.StatusTexts().empty());
}

TEST(PerfCore, HeadingClosureTakesTheSmallestCorrection) {
    // A circular lap whose recorded turning falls 0.2 rad short of a full turn: the
    // closure adds the missing 0.2 rad instead of unwinding the whole lap into a line.
    VectorPerf p;
    p.useLatAcc = true;
    p.overrideLatAcc = true;
    const int n = 601;
    p.distance = Range(n, 10.0);
    const double step = (2 * std::numbers::pi - 0.2) / (n - 1);
    p.latAcc.assign(n, -10.0 * std::sin(step));  // one second and ten metres per sample
    p.Load();
    const double radius = 6000.0 / (2 * std::numbers::pi);
    double minX = 0;
    for (int i = 0; i < n; ++i)
        minX = std::min(minX, p.GetPosX(i));
    EXPECT_NEAR(minX, -2 * radius, 30.0);  // still a circle, now closed
    EXPECT_NEAR(p.GetPosX(n - 1), 0.0, 15.0);
    EXPECT_NEAR(p.GetPosY(n - 1), 0.0, 15.0);

    VectorPerf wild;  // a step whose arcsine argument leaves [-1, 1] stays a number
    wild.useLatAcc = true;
    wild.overrideLatAcc = true;
    wild.distance = Range(4);
    wild.latAcc = {0, 1e9, -1e9, 0};
    wild.Load();
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(std::isfinite(wild.GetPosX(i)) && std::isfinite(wild.GetPosY(i))) << i;
    }
}

TEST(PerfCore, SlowPartsReachBeyondSixteenBitSampleNumbers) {
    VectorPerf p;
    const int n = 70000;
    p.distance = Range(n);
    p.rideHeight.resize(n);
    for (int i = 0; i < n; ++i)
        p.rideHeight[i] = (i / 10) % 2 == 0 ? i % 10 : 10 - i % 10;
    p.Load();
    int found = 0;
    for (int i = 65600; i < n - 20; ++i)
        found += p.GetRHSlow(i, 0) != 10000.0;
    EXPECT_GT(found, 300);  // a turning point every ten samples
}
