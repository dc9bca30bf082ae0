// Item values: wheel selectors, smoothing, values at a distance, and the
// items that read the setup and the car model.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

#include "VectorPerf.h"
#include "lapgen/GP2Writer.h"
#include "morlund/formats/gp2/GP2BufManager.h"
#include "morlund/items/DataItem.h"
#include "morlund/physics/Physics.h"

using namespace morlund;
using testsupport::Range;
using testsupport::VectorPerf;

namespace {

using D = DataItem;

// A GP2 setup whose record bytes tests can set, with a static camber per wheel.
class TestSetup : public GP2CarSetup {
public:
    void SetByte(std::size_t at, std::uint8_t value) { m_record[at] = value; }
    double GetStaticCamber(int wheel) const override { return 0.01 * (wheel + 1); }
};

class SetupPerf : public VectorPerf {
public:
    TestSetup& Current() { return static_cast<TestSetup&>(*GetSetup()); }

protected:
    std::unique_ptr<CarSetup> CreateSetup() const override { return std::make_unique<TestSetup>(); }
};

// Equal, or both NaN.
bool Same(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

}  // namespace

TEST(ItemValues, SelectorsCombinePerWheelItemsAndCarItemsIgnoreThem) {
    VectorPerf p;
    p.distance = Range(4, 10.0);
    p.rideHeight = {0.10, 0.20, 0.30, 0.40};  // wheel w reads rideHeight + w
    p.speed = {5, 6, 7, 8};
    p.Load();
    EXPECT_EQ(D::RIDEHEIGHT->GetMetricValueEx(&p, 1, Wheel::ALL), 0.0);
    EXPECT_EQ(D::RIDEHEIGHT->GetMetricValueEx(&p, 1, nullptr), 0.0);
    EXPECT_DOUBLE_EQ(D::RIDEHEIGHT->GetMetricValueEx(&p, 1, Wheel::LEFT_FRONT), 2.2);
    EXPECT_DOUBLE_EQ(D::RIDEHEIGHT->GetMetricValueEx(&p, 1, Wheel::SUM), 4 * 0.2 + 6);
    EXPECT_DOUBLE_EQ(D::RIDEHEIGHT->GetMetricValueEx(&p, 1, Wheel::DELTA_FRONT), -1.0);
    for (const Wheel* w : {Wheel::ALL, Wheel::RIGHT_FRONT, Wheel::DELTA, (const Wheel*)nullptr}) {
        EXPECT_EQ(D::SPEED->GetMetricValueEx(&p, 2, w), 7.0);
        EXPECT_DOUBLE_EQ(D::SPEED->GetConvertedValue(&p, 2, w), 7 * 3.6);
    }
}

TEST(ItemValues, ConvertedValueWithCombinationSelectorsReadsOnlyRealWheels) {
    SetupPerf p;
    p.distance = Range(4, 10.0);
    p.rideHeight = {0.10, 0.20, 0.30, 0.40};
    p.Load();
    for (int ordinal = 0; ordinal < Wheel::GetCount(); ++ordinal) {
        const Wheel* w = Wheel::Get(ordinal);
        SCOPED_TRACE(w->GetName());
        EXPECT_DOUBLE_EQ(D::RIDEHEIGHT->GetConvertedValue(&p, 3, w),
                         D::RIDEHEIGHT->GetConvertedValueEx(&p, 3, w));
        EXPECT_DOUBLE_EQ(D::SETUP_SPRING->GetConvertedValue(&p, 3, w),
                         D::SETUP_SPRING->GetConvertedValueEx(&p, 3, w));
    }
    EXPECT_DOUBLE_EQ(D::RIDEHEIGHT->GetConvertedValue(&p, 3, Wheel::SUM), (4 * 0.4 + 6) * 1000);
    // setup values exist for four wheels only
    for (const DataItem* item :
         {D::SETUP_PACKERS, D::SETUP_RIDEHEIGHT, D::SETUP_SPRING, D::STMAXIMUM, D::SETUP_CAMBER}) {
        EXPECT_EQ(item->GetMetricValue(&p, 0, -1), 0.0) << item->GetShortName();
        EXPECT_EQ(item->GetMetricValue(&p, 0, -12), 0.0) << item->GetShortName();
        EXPECT_EQ(item->GetMetricValue(&p, 0, 4), 0.0) << item->GetShortName();
    }
}

TEST(ItemValues, SmoothingAveragesTheWindowCutAtBothEnds) {
    VectorPerf p;
    p.distance = Range(10, 1.0);
    for (int i = 0; i < 10; ++i)
        p.speed.push_back(i * i);
    p.rideHeight = p.speed;
    p.Load();
    const Wheel* all = Wheel::ALL;
    EXPECT_DOUBLE_EQ(D::SPEED->GetMetricValueEx(&p, 0, all, 3), (0 + 1 + 4 + 9) / 4.0);
    EXPECT_DOUBLE_EQ(D::SPEED->GetMetricValueEx(&p, 9, all, 3), (36 + 49 + 64 + 81) / 4.0);
    EXPECT_DOUBLE_EQ(D::SPEED->GetMetricValueEx(&p, 5, all, 2), (9 + 16 + 25 + 36 + 49) / 5.0);
    EXPECT_DOUBLE_EQ(D::SPEED->GetMetricValueEx(&p, 4, all, 1000), 285 / 10.0);
    EXPECT_DOUBLE_EQ(D::SPEED->GetMetricValueEx(&p, 4, all, 0), 16.0);
    EXPECT_DOUBLE_EQ(D::SPEED->GetMetricValueEx(&p, 4, all, -2), 16.0);  // no window to take
    EXPECT_DOUBLE_EQ(D::SPEED->GetConvertedValueEx(&p, 0, all, 1), 0.5 * 3.6);
    // per-wheel items smooth the selector's value: left front reads rideHeight + 2
    EXPECT_DOUBLE_EQ(D::RIDEHEIGHT->GetMetricValueEx(&p, 9, Wheel::LEFT_FRONT, 1),
                     (64 + 81) / 2.0 + 2);
    EXPECT_DOUBLE_EQ(D::RIDEHEIGHT->GetConvertedValueEx(&p, 0, Wheel::AVG_REAR, 1),
                     ((0 + 1) / 2.0 + 0.5) * 1000);
}

TEST(ItemValues, ValueAtDistanceInterpolatesAndHoldsTheEnds) {
    VectorPerf p;
    p.distance = {0, 10, 30, 60};
    p.speed = {2, 4, 8, 20};
    p.rideHeight = {0.1, 0.2, 0.3, 0.4};
    p.Load();
    const Wheel* all = Wheel::ALL;
    EXPECT_DOUBLE_EQ(D::SPEED->GetMetricValueFromDist(&p, 20.0, all, 0), 6.0);  // halfway
    EXPECT_DOUBLE_EQ(D::SPEED->GetMetricValueFromDist(&p, 45.0, all, 0), 14.0);
    EXPECT_DOUBLE_EQ(D::SPEED->GetMetricValueFromDist(&p, 10.0, all, 0), 4.0);  // on a sample
    EXPECT_DOUBLE_EQ(D::SPEED->GetMetricValueFromDist(&p, 0.0, all, 0), 2.0);
    EXPECT_DOUBLE_EQ(D::SPEED->GetMetricValueFromDist(&p, -5.0, all, 0), 2.0);     // before
    EXPECT_DOUBLE_EQ(D::SPEED->GetMetricValueFromDist(&p, 1000.0, all, 0), 20.0);  // beyond
    // the samples either side are smoothed first: 14 / 3 at 10 m and 32 / 3 at 30 m
    EXPECT_DOUBLE_EQ(D::SPEED->GetMetricValueFromDist(&p, 20.0, all, 1), (14.0 / 3 + 32.0 / 3) / 2);
    EXPECT_DOUBLE_EQ(D::SPEED->GetMetricValueFromDist(&p, 60.0, all, 1), 14.0);
    EXPECT_DOUBLE_EQ(D::SPEED->GetConvertedValueEx(&p, 20.0, all, 0), 6.0 * 3.6);
    EXPECT_DOUBLE_EQ(D::RIDEHEIGHT->GetMetricValueFromDist(&p, 5.0, Wheel::SUM_FRONT, 0),
                     2 * 0.15 + 5);
    EXPECT_EQ(D::RIDEHEIGHT->GetMetricValueFromDist(&p, 5.0, all, 0), 0.0);
}

TEST(ItemValues, ValueAtDistanceWithRepeatedOrUnorderedDistances) {
    VectorPerf p;
    p.distance = {0, 10, 10, 20, 5};  // two samples at 10; the last one goes back
    p.speed = {1, 2, 3, 4, 9};
    p.Load();
    const double at10 = D::SPEED->GetMetricValueFromDist(&p, 10.0, Wheel::ALL, 0);
    EXPECT_TRUE(at10 == 2.0 || at10 == 3.0);
    EXPECT_DOUBLE_EQ(D::SPEED->GetMetricValueFromDist(&p, 15.0, Wheel::ALL, 0), 3.5);
    EXPECT_DOUBLE_EQ(D::SPEED->GetMetricValueFromDist(&p, 2.5, Wheel::ALL, 0), 5.0);
    EXPECT_DOUBLE_EQ(D::SPEED->GetMetricValueFromDist(&p, 7.5, Wheel::ALL, 0), 5.5);
}

TEST(ItemValues, ABufferWithoutSamplesHasNoValueAnywhere) {
    VectorPerf p;
    p.Load();
    EXPECT_EQ(D::SPEED->GetMetricValueFromDist(&p, 10.0, Wheel::ALL, 0), 0.0);
    EXPECT_EQ(D::SPEED->GetConvertedValueEx(&p, 10.0, Wheel::ALL, 2), 0.0);
    EXPECT_EQ(D::SPEED->GetMetricValueEx(&p, 0, Wheel::ALL, 3), 0.0);
}

TEST(ItemValues, SetupItemsReadTheCurrentSetupAndTheirZeroTwinsTheOriginal) {
    SetupPerf p;
    p.distance = Range(6, 20.0);
    p.speed = {20, 30, 40, 50, 60, 70};
    p.gear = {1, 2, 3, 4, 5, 6};
    p.travel = {{0.010, 0.011, 0.012, 0.013, 0.014, 0.015},
                {0.020, 0.021, 0.022, 0.023, 0.024, 0.025},
                {0.030, 0.031, 0.032, 0.033, 0.034, 0.035},
                {0.040, 0.041, 0.042, 0.043, 0.044, 0.045}};
    p.Load();
    const CarSetup& org = *p.GetSetupOrg();
    ASSERT_EQ(org.GetPackers(2), 0.0);
    // packers 5, 6, 7, 8 mm; wings 20 and 15; a stiffer right front spring
    TestSetup& cur = p.Current();
    for (std::uint8_t w = 0; w < 4; ++w)
        cur.SetByte(16 + w, 5 + w);
    cur.SetByte(0, 20);
    cur.SetByte(1, 15);
    cur.SetByte(39, 200);

    const int i = 2;
    for (int w = 0; w < 4; ++w) {
        SCOPED_TRACE(w);
        const Wheel* wheel = Wheel::FromIndex(w);
        const double packers = 0.005 + 0.001 * w;
        EXPECT_DOUBLE_EQ(D::SETUP_PACKERS->GetMetricValueEx(&p, i, wheel), packers);
        EXPECT_DOUBLE_EQ(D::STMAXIMUM->GetMetricValueEx(&p, i, wheel),
                         cur.GetMaxSuspTravel(w) - packers);
        EXPECT_DOUBLE_EQ(D::TYRELOAD->GetMetricValueEx(&p, i, wheel), p.GetTyreLoad(i, w, cur));
        EXPECT_DOUBLE_EQ(D::TYRELOAD0->GetMetricValueEx(&p, i, wheel), p.GetTyreLoad(i, w, org));
        EXPECT_NE(p.GetTyreLoad(i, w, cur), p.GetTyreLoad(i, w, org));
        EXPECT_DOUBLE_EQ(D::DOWNFORCE->GetMetricValueEx(&p, i, wheel), p.GetDownforce(i, w, cur));
        EXPECT_DOUBLE_EQ(D::DOWNFORCE0->GetMetricValueEx(&p, i, wheel), p.GetDownforce(i, w, org));
        EXPECT_DOUBLE_EQ(D::RHMINIMUM->GetMetricValueEx(&p, i, wheel),
                         p.GetPhysics()->GetMinimumRideHeight(cur, w));
        EXPECT_DOUBLE_EQ(D::RHPREDICTED->GetMetricValueEx(&p, i, wheel),
                         p.GetPhysics()->CalcPredictedRideHeight(cur, 40.0, w));
    }
    EXPECT_NE(p.GetDownforce(i, 2, cur), p.GetDownforce(i, 2, org));
    EXPECT_DOUBLE_EQ(D::POWER->GetMetricValueEx(&p, i, Wheel::ALL), p.GetPower(i, cur));
    EXPECT_DOUBLE_EQ(D::POWER0->GetMetricValueEx(&p, i, Wheel::ALL), p.GetPower(i, org));
    EXPECT_NE(p.GetPower(i, cur), p.GetPower(i, org));
    EXPECT_EQ(D::SETUP_FW->GetMetricValueEx(&p, i, Wheel::ALL), 20.0);
    EXPECT_EQ(D::SETUP_RW->GetMetricValueEx(&p, i, Wheel::ALL), 15.0);

    // anti-roll bar ends: travel plus packers, left minus right on the axle
    EXPECT_NEAR(D::FARBEXT->GetMetricValueEx(&p, i, Wheel::ALL), (0.032 + 0.007) - (0.042 + 0.008),
                1e-15);
    EXPECT_NEAR(D::RARBEXT->GetMetricValueEx(&p, i, Wheel::ALL), (0.012 + 0.005) - (0.022 + 0.006),
                1e-15);
    // the ratio of the gear engaged at each sample
    for (int s = 0; s < 6; ++s) {
        EXPECT_EQ(D::SETUP_GEARRATIO->GetMetricValueEx(&p, s, Wheel::ALL), cur.GetGearRatio(s + 1));
    }
    EXPECT_NE(cur.GetGearRatio(1), cur.GetGearRatio(2));
}

TEST(ItemValues, StaticCamberIsReadPerWheelWithTheRightSideNegated) {
    SetupPerf p;
    p.distance = Range(3, 1.0);
    p.Load();
    const double expected[4] = {0.01, -0.02, 0.03, -0.04};
    for (int w = 0; w < 4; ++w) {
        EXPECT_DOUBLE_EQ(D::SETUP_CAMBER->GetConvertedValue(&p, 1, Wheel::FromIndex(w)),
                         expected[w] * 57.29577951308232);
    }
    // a car-level read has no wheel to take the camber of
    EXPECT_EQ(D::SETUP_CAMBER->GetMetricValueEx(&p, 1, Wheel::LEFT_FRONT), 0.0);
}

TEST(ItemValues, SlipAngleIsTheSteeringThePathNeedsLessTheSteering) {
    VectorPerf p;
    p.ownPositions = true;
    const double r = 50.0;
    for (int k = 0; k < 5; ++k) {
        const double a = 0.1 * k;
        p.x.push_back(r * std::cos(a));
        p.y.push_back(r * std::sin(a));
        p.distance.push_back(r * a);
    }
    p.steering = {0, 0.02, -0.03, 0.04, 0};
    p.Load();
    const double wb = p.GetPhysics()->GetWheelBase();
    EXPECT_NEAR(D::SLIP->GetMetricValueEx(&p, 2, Wheel::ALL), std::atan2(wb, r) - 0.03, 1e-9);
    EXPECT_NEAR(D::SLIP->GetMetricValueEx(&p, 1, Wheel::ALL), std::atan2(wb, r) - 0.02, 1e-9);
    EXPECT_NEAR(D::RADIUS->GetMetricValueEx(&p, 3, Wheel::ALL), r, 1e-9);
    EXPECT_EQ(D::SLIP->GetMetricValueEx(&p, 0, Wheel::ALL), 0.0);  // no path radius at the ends
}

TEST(ItemValuesOnALap, TimeAtADistanceAgreesWithTheBuffersOwnLookup) {
    lapgen::LapSpec shape;
    shape.sampleCount = 1500;
    shape.trackLength = 3000;
    const lapgen::Lap lap = lapgen::MakeLap(shape);
    GP2BufManager manager;
    File file = File::FromMemory(lapgen::WriteGP2Perf(lapgen::EncodeGP2(lap), {}), "/x/l.pad");
    ASSERT_TRUE(manager.AddBuffer(file));
    const PerfCore& p = *manager.GetBuffer(0);
    const double length = p.GetMaxDistance();
    for (double d = -50.0; d < length + 50.0; d += length / 997.0) {
        EXPECT_NEAR(D::TIME->GetMetricValueFromDist(&p, d, Wheel::ALL, 0), p.GetTime(d), 1e-9) << d;
    }
    // on a sample's own distance the value is that sample's (where no other sample shares it)
    for (int i = 1; i + 1 < p.GetSampleCount(); i += 37) {
        if (p.GetDistance(i) == p.GetDistance(i - 1) || p.GetDistance(i) == p.GetDistance(i + 1))
            continue;
        EXPECT_EQ(D::SPEED->GetMetricValueFromDist(&p, p.GetDistance(i), Wheel::ALL, 0),
                  p.GetSpeed(i));
    }
}

TEST(ItemValuesOnALap, EveryItemGivesTheSameValueThroughEveryLookupForEverySelector) {
    lapgen::LapSpec shape;
    shape.sampleCount = 400;
    shape.trackLength = 2000;
    const lapgen::Lap lap = lapgen::MakeLap(shape);
    GP2BufManager manager;
    File file = File::FromMemory(lapgen::WriteGP2Perf(lapgen::EncodeGP2(lap), {}), "/x/l.pad");
    ASSERT_TRUE(manager.AddBuffer(file));
    const PerfCore& p = *manager.GetBuffer(0);
    const int last = p.GetSampleCount() - 1;
    for (int ordinal = 0; ordinal < DataItem::kStandardItemCount; ++ordinal) {
        const DataItem* item = DataItem::Get(ordinal);
        if (item == D::SETUP_CAMBER) continue;  // reads the wheel although it is a car item
        // A whole lap at a time, bit for bit as sample by sample.
        std::vector<double> lapValues(static_cast<std::size_t>(last + 1));
        for (int k = 0; k < Wheel::GetCount(); ++k) {
            const Wheel* w = Wheel::Get(k);
            item->GetConvertedValues(&p, 0, last + 1, w, lapValues.data());
            int differing = 0;
            for (int s = 0; s <= last; ++s)
                differing += !Same(lapValues[static_cast<std::size_t>(s)],
                                   item->GetConvertedValue(&p, s, w));
            EXPECT_EQ(differing, 0) << item->GetShortName() << " " << w->GetShortName();
        }
        for (int s : {0, 1, 137, last - 1, last}) {
            for (int k = 0; k < Wheel::GetCount(); ++k) {
                const Wheel* w = Wheel::Get(k);
                const double direct = item->GetConvertedValue(&p, s, w);
                const double selected = item->GetConvertedValueEx(&p, s, w);
                EXPECT_TRUE(Same(direct, selected))
                    << item->GetShortName() << " " << w->GetShortName() << " " << s << ": "
                    << direct << " vs " << selected;
            }
        }
    }
}
