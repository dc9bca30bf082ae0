#include "pellith/histogram/Histogram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "lapgen/CsvWriter.h"
#include "lapgen/GP2Writer.h"
#include "lapgen/GP3Writer.h"
#include "lapgen/Model.h"
#include "lapgen/RafWriter.h"
#include "morlund/formats/generic/GenBufManager.h"
#include "morlund/formats/gp2/GP2BufManager.h"
#include "morlund/formats/gp3/GP4BufManager.h"
#include "morlund/formats/lfs/LFSBufManager.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Wheel.h"
#include "tests/pellith/ExportFixture.h"

namespace {

using morlund::DataItem;
using morlund::Wheel;

// A lap driven at a steady 10 m/s, one sample a metre (0.1 s apart), whose left front
// damper moves at known speeds: +55 mm/s over samples 1..20, -15 mm/s over 21..40, still
// over 41..50 and -105 mm/s over 51..60. Sample 0 takes the speed of sample 1; the end
// samples stand for half a step. So, of the lap's 6 s, bump takes 2.05 s, slow rebound
// 2.0 s, standing still 1.0 s and fast rebound 0.95 s.
std::string DamperLap() {
    struct Segment {
        int last;       // last sample of the segment
        double travel;  // m per sample
    };
    const Segment segments[] = {{20, 0.0055}, {40, -0.0015}, {50, 0.0}, {60, -0.0105}};
    std::ostringstream csv;
    csv << "Damper lap,day 1 10:00:00,6,1,1\ntime,dist,speed,st_lf\n";
    double travel = 0.2;
    for (int i = 0; i <= 60; ++i) {
        if (i > 0) {
            for (const Segment& s : segments) {
                if (i <= s.last) {
                    travel += s.travel;
                    break;
                }
            }
        }
        csv << i * 0.1 << ',' << i << ",10," << travel << '\n';
    }
    return csv.str();
}

class HistogramTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pellithtest::AddLap(m_laps, DamperLap(), "/laps/damper.csv"));
        ASSERT_TRUE(pellithtest::AddLap(m_laps, pellithtest::kLapTwo, "/laps/two.csv"));
    }
    const morlund::PerfCore* Lap(int index) const { return m_laps.GetBuffer(index); }
    morlund::GenBufManager m_laps;
};

TEST_F(HistogramTest, DamperSpeedBinsAreSharesOfTime) {
    struct Case {
        const char* name;
        double from, to;
        std::vector<std::pair<double, double>> bins;  // bin's lower edge, percent
    };
    const Case cases[] = {
        {"whole lap",
         0,
         0,
         {{50, 2.05 / 6 * 100}, {-20, 2.0 / 6 * 100}, {0, 1.0 / 6 * 100}, {-110, 0.95 / 6 * 100}}},
        {"rebound stretch only", 21, 40, {{-20, 100.0}}},
        {"still and fast rebound", 45, 60, {{0, 0.55 / 1.5 * 100}, {-110, 0.95 / 1.5 * 100}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const pellith::Histogram h = pellith::ComputeHistogram(
            {Lap(0)}, {pellith::DamperVelocityItem(), Wheel::LEFT_FRONT, c.from, c.to, 10.0});
        ASSERT_EQ(h.laps.size(), 1u);
        double sum = 0.0;
        for (double p : h.laps[0].percent)
            sum += p;
        EXPECT_NEAR(sum, 100.0, 1e-9);
        for (const auto& [edge, percent] : c.bins) {
            const int bin = static_cast<int>(std::lround((edge - h.origin) / h.binWidth));
            ASSERT_GE(bin, 0);
            ASSERT_LT(bin, h.binCount);
            EXPECT_NEAR(h.laps[0].percent[bin], percent, 1e-6) << "bin from " << edge;
        }
    }
}

TEST_F(HistogramTest, DamperSharesSplitAtTheKnee) {
    struct Case {
        double knee;
        double bumpSlow, bumpFast, reboundSlow, reboundFast;
    };
    const double bump = 2.05 / 6 * 100, slow = 2.0 / 6 * 100, fast = 0.95 / 6 * 100;
    const Case cases[] = {
        {25, 0, bump, slow, fast}, {-25, 0, bump, slow, fast},  // a knee is a size
        {60, bump, 0, slow, fast}, {200, bump, 0, slow + fast, 0}, {5, 0, bump, 0, slow + fast},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.knee);
        const pellith::DamperShares s =
            pellith::ComputeHistogram(
                {Lap(0)}, {pellith::DamperVelocityItem(), Wheel::LEFT_FRONT, 0, 0, 10, c.knee})
                .laps[0]
                .shares;
        EXPECT_NEAR(s.bumpSlow, c.bumpSlow, 1e-6);
        EXPECT_NEAR(s.bumpFast, c.bumpFast, 1e-6);
        EXPECT_NEAR(s.reboundSlow, c.reboundSlow, 1e-6);
        EXPECT_NEAR(s.reboundFast, c.reboundFast, 1e-6);
        EXPECT_NEAR(s.bump + s.rebound, 100.0 - 1.0 / 6 * 100, 1e-6);  // still is neither
    }
}

TEST_F(HistogramTest, LapsShareOneGridAndBadRequestsStayDefined) {
    // Speed of both laps in km/h: the damper lap at 36, the other at 144 and 180.
    const pellith::Histogram h =
        pellith::ComputeHistogram({Lap(0), Lap(1)}, {DataItem::SPEED, nullptr, 0, 0, 20.0});
    ASSERT_EQ(h.laps.size(), 2u);
    EXPECT_DOUBLE_EQ(h.origin, 20.0);
    EXPECT_EQ(h.binCount, 9);  // 20..200
    EXPECT_NEAR(h.laps[0].percent[0], 100.0, 1e-9);
    EXPECT_NEAR(h.laps[1].percent[6] + h.laps[1].percent[8], 100.0, 1e-9);
    EXPECT_EQ(h.laps[1].samples, 2);

    // Far too narrow bins are widened to a round width within the limit.
    const pellith::Histogram narrow = pellith::ComputeHistogram(
        {Lap(0)}, {pellith::DamperVelocityItem(), Wheel::LEFT_FRONT, 0, 0, 0.001});
    EXPECT_LE(narrow.binCount, pellith::Histogram::kMaxBins);
    EXPECT_DOUBLE_EQ(narrow.binWidth, pellith::RoundBinWidth(narrow.binWidth));

    // Values as far apart as a double allows still fit the bins, read once.
    pellith::Histogram wild;
    {
        morlund::GenBufManager wildLaps;
        ASSERT_TRUE(pellithtest::AddLap(
            wildLaps,
            "Wild lap,day 1 10:00:00,0.3,1,1\ntime,dist,speed\n0,0,10\n0.1,1,1e300\n"
            "0.2,2,-1e300\n0.3,3,20\n",
            "/laps/wild.csv"));
        wild = pellith::ComputeHistogram({wildLaps.GetBuffer(0), Lap(1)},
                                         {DataItem::SPEED, nullptr, 0, 0, 20.0});
    }
    EXPECT_LE(wild.binCount, pellith::Histogram::kMaxBins);
    EXPECT_GT(wild.binWidth, 1e297);
    EXPECT_TRUE(std::isfinite(wild.binWidth) && std::isfinite(wild.origin));
    for (const pellith::HistogramLap& lap : wild.laps) {
        double sum = 0.0;
        for (double p : lap.percent)
            sum += p;
        EXPECT_NEAR(sum, 100.0, 1e-9);
    }
    EXPECT_EQ(wild.laps[0].samples, 4);

    // No item, no laps, a stretch without samples, a width that is no width.
    EXPECT_EQ(pellith::ComputeHistogram({Lap(0)}, {}).binCount, 0);
    EXPECT_EQ(pellith::ComputeHistogram({}, {DataItem::SPEED}).binCount, 0);
    EXPECT_EQ(pellith::ComputeHistogram({Lap(0)}, {DataItem::SPEED, nullptr, 500, 600, 1}).binCount,
              0);
    const pellith::Histogram fallback =
        pellith::ComputeHistogram({Lap(0)}, {DataItem::SPEED, nullptr, 0, 0, NAN});
    EXPECT_DOUBLE_EQ(fallback.binWidth, pellith::DefaultBinWidth(*DataItem::SPEED));
}

TEST(HistogramWidth, RoundWidthsAndDefaults) {
    const std::pair<double, double> cases[] = {
        {0.7, 1}, {1, 1}, {1.2, 2}, {3, 5}, {7, 10}, {0.013, 0.02}, {250, 500}, {0, 1}, {-4, 1},
    };
    for (const auto& [raw, round] : cases)
        EXPECT_NEAR(pellith::RoundBinWidth(raw), round, round * 1e-12) << raw;
    EXPECT_DOUBLE_EQ(pellith::DefaultBinWidth(*pellith::DamperVelocityItem()), 10.0);  // mm/s
    EXPECT_DOUBLE_EQ(pellith::DefaultBinWidth(*DataItem::SUSPTRAVEL), 1.0);            // mm
    EXPECT_DOUBLE_EQ(pellith::DefaultKneeSpeed(), 25.0);
}

}  // namespace

namespace {

// A lapgen lap read back through the generic reader: its bump and rebound shares agree with
// those of the generator's own suspension motion (travel differences over time differences),
// weighted by time in the same way.
TEST(HistogramLapgen, SharesMatchTheGeneratorsSuspensionMotion) {
    lapgen::LapSpec spec;
    spec.seed = 3;
    spec.sampleCount = 4000;
    const lapgen::Lap lap = lapgen::MakeLap(spec);
    const std::vector<std::uint8_t> csv = lapgen::WriteGenericCsv(lap);
    morlund::GenBufManager laps;
    ASSERT_TRUE(pellithtest::AddLap(laps, std::string(csv.begin(), csv.end()), "/laps/gen.csv"));

    const double knee = 25.0;  // mm/s
    for (int wheel : {lapgen::kLeftFront, lapgen::kRightRear}) {
        SCOPED_TRACE(wheel);
        double bump = 0, rebound = 0, fast = 0, total = 0;
        const auto& s = lap.samples;
        for (std::size_t i = 0; i < s.size(); ++i) {
            const std::size_t j = std::max<std::size_t>(i, 1);  // the first borrows the second's
            const double v = (s[j].suspTravel[wheel] - s[j - 1].suspTravel[wheel]) /
                             (s[j].time - s[j - 1].time) * 1000.0;
            const double before = i > 0 ? s[i].time - s[i - 1].time : 0.0;
            const double after = i + 1 < s.size() ? s[i + 1].time - s[i].time : 0.0;
            const double w = 0.5 * (before + after);
            total += w;
            if (v > 0) bump += w;
            if (v < 0) rebound += w;
            if (std::fabs(v) > knee) fast += w;
        }
        const pellith::Histogram h = pellith::ComputeHistogram(
            {laps.GetBuffer(0)},
            {pellith::DamperVelocityItem(), Wheel::FromIndex(wheel), 0, 0, 10, knee});
        const pellith::DamperShares& got = h.laps[0].shares;
        EXPECT_NEAR(got.bump, 100 * bump / total, 2.0);
        EXPECT_NEAR(got.rebound, 100 * rebound / total, 2.0);
        EXPECT_NEAR(got.bumpFast + got.reboundFast, 100 * fast / total, 2.0);
        EXPECT_NEAR(h.laps[0].seconds, lap.lapTime, 1e-6);
    }
}

// Long laps are read on two threads; a lap listed twice keeps the reading on one. Either
// way each lap's figures are its own, for every channel of the catalogue, on laps of four
// readers with their own derived channels.
TEST(HistogramLapgen, LapsReadOnTwoThreadsMatchOneThread) {
    const auto lap = [](int b) {
        lapgen::LapSpec spec;
        spec.seed = 5 + b;
        spec.sampleCount = 8000;
        spec.gripScale = 0.9 + 0.1 * b;
        return lapgen::MakeLap(spec);
    };
    morlund::GenBufManager generic;
    morlund::GP2BufManager gp2;
    morlund::GP4BufManager gp4;
    morlund::LFSBufManager lfs;
    for (int b = 0; b < 2; ++b) {
        const std::vector<std::uint8_t> csv = lapgen::WriteGenericCsv(lap(b));
        ASSERT_TRUE(pellithtest::AddLap(generic, std::string(csv.begin(), csv.end()),
                                        "/laps/gen" + std::to_string(b) + ".csv"));
        morlund::File pad =
            morlund::File::FromMemory(lapgen::WriteGP2Perf(lapgen::EncodeGP2(lap(b)), {}),
                                      "/laps/l" + std::to_string(b) + ".pad");
        ASSERT_TRUE(gp2.AddBuffer(pad));
        morlund::File gp4pad = morlund::File::FromMemory(
            lapgen::WriteGP3Perf(lapgen::GP3Game::GP4, lapgen::EncodeGP3(lap(b))),
            "/laps/g" + std::to_string(b) + ".pad");
        ASSERT_TRUE(gp4.AddBuffer(gp4pad));
        const lapgen::RafOptions options;
        morlund::File raf =
            morlund::File::FromMemory(lapgen::WriteRaf(lapgen::EncodeRaf(lap(b), options), options),
                                      "/laps/l" + std::to_string(b) + ".raf");
        ASSERT_TRUE(lfs.AddBuffer(raf));
    }
    int compared = 0;
    for (const morlund::BufManager* laps :
         std::initializer_list<const morlund::BufManager*>{&generic, &gp2, &gp4, &lfs}) {
        const morlund::PerfCore* a = laps->GetBuffer(0);
        const morlund::PerfCore* b = laps->GetBuffer(1);
        // Long enough together to be shared out between threads.
        ASSERT_GE(a->GetSampleCount() + b->GetSampleCount(), 10000) << a->GetFilePath();
        for (auto it = DataItem::NewIterator(); it->HasNext();) {
            const DataItem* item = it->GetNext();
            for (const Wheel* wheel : {Wheel::LEFT_FRONT, Wheel::RIGHT_REAR}) {
                SCOPED_TRACE(a->GetFilePath() + " " + item->GetShortName() + " " +
                             std::to_string(wheel->GetIndex()));
                const pellith::HistogramRequest request{item, wheel, 200, 3000, 0};
                const pellith::Histogram two = pellith::ComputeHistogram({a, b}, request);
                const pellith::Histogram one = pellith::ComputeHistogram({a, b, a}, request);
                ASSERT_EQ(two.binCount, one.binCount);
                EXPECT_EQ(two.origin, one.origin);
                for (std::size_t l = 0; l < 2; ++l) {
                    EXPECT_EQ(two.laps[l].percent, one.laps[l].percent);
                    EXPECT_EQ(two.laps[l].samples, one.laps[l].samples);
                    EXPECT_EQ(two.laps[l].seconds, one.laps[l].seconds);
                }
                compared += two.binCount > 0 ? 1 : 0;
                if (item->GetDataType() != DataItem::DT_WHEEL) break;
            }
        }
    }
    EXPECT_GT(compared, 200);
}

}  // namespace
