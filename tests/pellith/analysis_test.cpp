#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "lapgen/Model.h"
#include "lapgen/RafWriter.h"
#include "morlund/formats/lfs/LFSBufManager.h"
#include "morlund/platform/File.h"
#include "pellith/analysis/AnalysisText.h"
#include "pellith/analysis/Corners.h"
#include "pellith/analysis/LapDelta.h"
#include "pellith/analysis/Sectors.h"
#include "tests/app/GraphLaps.h"

using graphlaps::LapData;
using graphlaps::LapManager;
using pellith::SectorTable;

namespace {

lapgen::Lap Generate(std::uint64_t seed, int samples, double length = 4000.0, double grip = 1.0) {
    lapgen::LapSpec spec;
    spec.seed = seed;
    spec.sampleCount = samples;
    spec.trackLength = length;
    spec.gripScale = grip;
    return lapgen::MakeLap(spec);
}

// Time at a distance on the generator's own samples (the truth, worked out here).
double TruthTime(const lapgen::Lap& lap, double d) {
    const auto& s = lap.samples;
    const auto it = std::lower_bound(
        s.begin(), s.end(), d, [](const lapgen::Sample& a, double v) { return a.distance < v; });
    if (it == s.begin()) return s.front().time;
    if (it == s.end()) return s.back().time;
    const lapgen::Sample& b = *it;
    const lapgen::Sample& a = *(it - 1);
    return a.time + (d - a.distance) / (b.distance - a.distance) * (b.time - a.time);
}

std::vector<const morlund::PerfCore*> Laps(const LapManager& manager) {
    std::vector<const morlund::PerfCore*> out;
    for (int b = 0; b < manager.GetBufCount(); ++b)
        out.push_back(manager.GetBuffer(b));
    return out;
}

}  // namespace

// Sector times of a coarse lap against a dense run of the same generated profile.
TEST(Sectors, TimesMatchTheGeneratedProfile) {
    struct Case {
        std::uint64_t seed;
        int samples;
        int sectors;
    } const cases[] = {{1, 4000, 20}, {7, 2500, 7}, {23, 9000, 1}, {11, 3000, 40}};
    for (const Case& c : cases) {
        const lapgen::Lap dense = Generate(c.seed, 400000);
        LapManager manager;
        manager.Add(graphlaps::FromLapgen(Generate(c.seed, c.samples)));
        const std::vector<double> bounds =
            pellith::EqualSectorBoundaries(dense.trackLength, c.sectors);
        ASSERT_EQ(bounds.size(), static_cast<std::size_t>(c.sectors) + 1);
        const SectorTable table = pellith::BuildSectorTable(Laps(manager), bounds);
        ASSERT_EQ(table.SectorCount(), c.sectors);
        for (int k = 0; k < c.sectors; ++k) {
            const double expected = TruthTime(dense, bounds[k + 1]) - TruthTime(dense, bounds[k]);
            ASSERT_TRUE(table.times[0][k]) << c.seed << " sector " << k;
            EXPECT_NEAR(*table.times[0][k], expected, 0.003) << c.seed << " sector " << k;
        }
        ASSERT_TRUE(table.lapTime[0]);
        EXPECT_NEAR(*table.lapTime[0], dense.lapTime, 0.003) << c.seed;
        // one lap alone is its own theoretical best
        EXPECT_NEAR(table.gap[0].value_or(1.0), 0.0, 1e-9);
    }
    for (auto [length, count] : {std::pair{0.0, 5}, {100.0, 0}, {100.0, 1001}, {NAN, 3}})
        EXPECT_TRUE(pellith::EqualSectorBoundaries(length, count).empty()) << count;
}

// Lap B is 2 % quicker over the first half and 3 % slower over the second, so each lap
// wins half of an even number of sectors; lap C stops at 70 % of the distance.
TEST(Sectors, TheoreticalBestTakesEachSectorFromItsWinner) {
    const auto base = graphlaps::FromLapgen(Generate(5, 6000));
    const double length = base->trackLength;
    auto warped = std::make_shared<LapData>(*base);
    const double half = TruthTime(Generate(5, 6000), length / 2);
    for (std::size_t i = 0; i < warped->time.size(); ++i) {
        const double t = base->time[i];
        warped->time[i] = t <= half ? 0.98 * t : 0.98 * half + 1.03 * (t - half);
    }
    warped->lapTime = warped->time.back();
    auto cut = std::make_shared<LapData>(*base);
    const auto keep = static_cast<std::size_t>(
        std::upper_bound(base->distance.begin(), base->distance.end(), 0.7 * length) -
        base->distance.begin());
    for (auto* v : {&cut->time, &cut->distance, &cut->speed, &cut->steering, &cut->revs,
                    &cut->throttle, &cut->brake})
        v->resize(keep);
    cut->gear.resize(keep);

    LapManager manager;
    manager.Add(base);
    manager.Add(warped);
    manager.Add(cut);
    constexpr int kSectors = 10;
    const SectorTable table =
        pellith::BuildSectorTable(Laps(manager), pellith::EqualSectorBoundaries(length, kSectors));
    for (int k = 0; k < kSectors; ++k) {
        EXPECT_EQ(table.bestLap[k], k < kSectors / 2 ? 1 : 0) << k;
        // the cut lap has its sectors up to 70 % and none after
        EXPECT_EQ(table.times[2][k].has_value(), k < 7) << k;
    }
    const double expected = 0.98 * half + (base->time.back() - half);
    ASSERT_TRUE(table.theoreticalBest);
    // (the warp's kink falls between two samples, which the lookup joins by a straight line)
    EXPECT_NEAR(*table.theoreticalBest, expected, 1e-4);
    EXPECT_NEAR(table.gap[0].value_or(-1), base->time.back() - expected, 1e-4);
    EXPECT_NEAR(table.gap[1].value_or(-1), warped->time.back() - expected, 1e-4);
    EXPECT_FALSE(table.lapTime[2]);
    EXPECT_FALSE(table.gap[2]);

    // The text: best marked, the cut lap's missing sectors as a dash.
    const pellith::StatTable text = pellith::BuildSectorText(table, {"a", "b", "c"}, true, false);
    ASSERT_EQ(text.rows.size(), kSectors + 3u);
    EXPECT_EQ(text.rows[0].label, "S1 (0-" + std::to_string(std::lround(length / 10)) + " m)");
    EXPECT_EQ(text.rows[0].cells[1].substr(text.rows[0].cells[1].size() - 2), " *");
    EXPECT_EQ(text.rows[9].cells[2], "\xe2\x80\x94");
    EXPECT_EQ(text.rows[kSectors + 2].cells[2], "\xe2\x80\x94");
    EXPECT_EQ(text.rows[kSectors + 2].cells[0], pellith::DeltaText(table.gap[0]));
    // Nothing reaches the sectors: no theoretical best.
    const SectorTable none =
        pellith::BuildSectorTable({manager.GetBuffer(2)}, {0.0, 0.5 * length, length});
    EXPECT_FALSE(none.theoreticalBest);
    EXPECT_EQ(none.bestLap[1], -1);
}

TEST(Sectors, GameSplitPointsComeFromTheRecordedSplitTimes) {
    const lapgen::Lap lap = Generate(3, 800, 2500.0);
    lapgen::RafOptions options;  // splits at a third and two thirds of the distance
    morlund::LFSBufManager manager;
    morlund::File file = morlund::File::FromMemory(
        lapgen::WriteRaf(lapgen::EncodeRaf(lap, options), options), "/laps/lap.raf");
    ASSERT_TRUE(manager.AddBuffer(file));
    const morlund::PerfCore& perf = *manager.GetBuffer(0);
    bool used = false;
    const std::vector<double> bounds = pellith::ChooseSectorBoundaries(perf, 20, true, &used);
    EXPECT_TRUE(used);
    ASSERT_EQ(bounds.size(), 4u);
    const double length = perf.GetMaxDistance();
    EXPECT_NEAR(bounds[1], lap.trackLength / 3, 2.0);
    EXPECT_NEAR(bounds[2], 2 * lap.trackLength / 3, 2.0);
    EXPECT_EQ(bounds[3], length);
    // A lap without splits falls back to equal sectors.
    LapManager plain;
    plain.Add(graphlaps::FromLapgen(lap));
    EXPECT_EQ(pellith::ChooseSectorBoundaries(*plain.GetBuffer(0), 20, true, &used).size(), 21u);
    EXPECT_FALSE(used);
}

TEST(Delta, ZeroOnTheReferenceAndTheLapTimeDifferenceAtTheFinish) {
    LapManager manager;
    for (int i = 0; i < 3; ++i)
        manager.Add(graphlaps::FieldLap(5000, 2 * i));
    EXPECT_EQ(pellith::FindFastestLap(manager), 0);
    manager.GetBuffer(0)->Enable(false);
    EXPECT_EQ(pellith::FindFastestLap(manager), 1);
    manager.GetBuffer(0)->Enable(true);
    for (int lap = 0; lap < 3; ++lap) {
        for (int ref = 0; ref < 3; ++ref) {
            const morlund::PerfCore& a = *manager.GetBuffer(lap);
            const morlund::PerfCore& r = *manager.GetBuffer(ref);
            const double finish = std::min(a.GetMaxDistance(), r.GetMaxDistance());
            const std::optional<double> atFinish = pellith::GetDeltaToReference(a, r, finish);
            ASSERT_TRUE(atFinish);
            EXPECT_NEAR(*atFinish, a.InfoGetLapTime() - r.InfoGetLapTime(), 1e-6);
            const std::vector<double> curve = pellith::GetDeltaCurve(a, r);
            for (int i = 0; i < a.GetSampleCount(); i += 97) {
                if (lap == ref) {
                    EXPECT_EQ(curve[i], 0.0) << i;
                } else if (lap > ref) {  // less grip is slower everywhere
                    EXPECT_GE(curve[i], 0.0) << i;
                }
            }
            EXPECT_FALSE(pellith::GetDeltaToReference(a, r, finish + 50.0));
        }
    }
}

// Corners of lapgen tracks against the constant-radius arcs the generator laid out.
TEST(Corners, FoundWhereTheGeneratorPlacedThem) {
    for (const std::uint64_t seed : {1u, 7u, 11u, 23u, 42u}) {
        const lapgen::Lap lap = Generate(seed, 20000, 4000.0);
        // Each arc, and whether the car takes it at the grip limit (then at constant speed,
        // so its slowest point is the middle of the arc).
        struct Arc {
            double start, end;
            bool atLimit;
        };
        std::vector<Arc> arcs;
        for (std::size_t i = 0; i < lap.samples.size(); ++i) {
            const lapgen::Sample& s = lap.samples[i];
            const bool in = s.curvature != 0.0;
            const bool was = i > 0 && lap.samples[i - 1].curvature != 0.0;
            if (in && !was) arcs.push_back({s.distance, 0, true});
            if (!in) continue;
            arcs.back().end = s.distance;
            const double limit = std::sqrt(lapgen::kMaxLateralAcc / std::abs(s.curvature));
            arcs.back().atLimit = arcs.back().atLimit && std::abs(s.speed - limit) < 0.001 * limit;
        }
        LapManager manager;
        manager.Add(graphlaps::FromLapgen(lap, true));
        manager.Add(graphlaps::FromLapgen(Generate(seed, 20000, 4000.0, 0.9), true));
        const pellith::CornerTable table = pellith::BuildCornerTable(Laps(manager), 0);
        ASSERT_EQ(table.corners.size(), arcs.size()) << seed;
        for (std::size_t c = 0; c < arcs.size(); ++c) {
            const pellith::Corner& corner = table.corners[c];
            if (arcs[c].atLimit) {
                EXPECT_NEAR(corner.apex, (arcs[c].start + arcs[c].end) / 2, 3.0)
                    << seed << " " << c;
            }
            EXPECT_NEAR(corner.start, arcs[c].start, 12.0) << seed << " " << c;
            EXPECT_NEAR(corner.end, arcs[c].end, 12.0) << seed << " " << c;
            for (int l = 0; l < 2; ++l) {
                const auto& pass = table.passes[l][c];
                ASSERT_TRUE(pass) << seed << " " << c;
                // the apex is the slowest point: no sample inside is slower, and the ends
                // lie between the samples either side of them
                double inside = 1e9, around = 1e9;
                const morlund::PerfCore& perf = *manager.GetBuffer(l);
                for (int i = 1; i + 1 < perf.GetSampleCount(); ++i) {
                    const double d = perf.GetDistance(i), v = perf.GetSpeed(i);
                    if (d >= corner.start && d <= corner.end) inside = std::min(inside, v);
                    if (perf.GetDistance(i + 1) >= corner.start &&
                        perf.GetDistance(i - 1) <= corner.end)
                        around = std::min(around, v);
                }
                EXPECT_LE(pass->apexSpeed, inside);
                EXPECT_GE(pass->apexSpeed, around);
                EXPECT_NEAR(pass->time, perf.GetTime(corner.end) - perf.GetTime(corner.start),
                            1e-9);
                // the reference against itself is level; the lap on less grip loses time
                EXPECT_TRUE(l == 0 ? *pass->delta == 0.0 : *pass->delta > 0.0) << c;
            }
        }
    }
}

TEST(AnalysisText, DelimitedLinesQuoteWhatHoldsTheDelimiter) {
    pellith::StatTable table{{"Sector", "lap \"a\"", "b"},
                             {{"Corner 1 (0-10 m)", 0, {"", ""}}, {"S1", 1, {"1.5", "x, y"}}}};
    EXPECT_EQ(pellith::FormatDelimitedTable(table, ", "),
              "Sector, \"lap \"\"a\"\"\", b\nCorner 1 (0-10 m)\nS1, 1.5, \"x, y\"\n");
    EXPECT_EQ(pellith::FormatDelimitedTable(table, " "),
              "Sector \"lap \"\"a\"\"\" b\n\"Corner 1 (0-10 m)\"\nS1 1.5 \"x, y\"\n");
    EXPECT_EQ(pellith::DeltaText(-0.0004), "+0.000");
    EXPECT_EQ(pellith::DeltaText(-0.05), "-0.050");
    EXPECT_EQ(pellith::SecondsText(std::nullopt), "\xe2\x80\x94");
}
