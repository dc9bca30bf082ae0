#include "pellith/analysis/Sectors.h"

#include <cmath>

#include "morlund/core/PerfCore.h"
#include "pellith/analysis/LapDelta.h"

using morlund::PerfCore;

namespace pellith {

namespace {

// The lap's distance at a time: the inverse of its time/distance lookup, linear between the
// samples around it. Empty outside the lap's time span.
std::optional<double> DistanceAtTime(const PerfCore& lap, double time) {
    const int n = lap.GetSampleCount();
    if (n <= 0 || time < lap.GetTime(0) || time > lap.GetTime(n - 1)) return std::nullopt;
    int lo = 0, hi = n - 1;
    while (hi - lo > 1) {
        const int mid = lo + (hi - lo) / 2;
        (lap.GetTime(mid) <= time ? lo : hi) = mid;
    }
    const double t0 = lap.GetTime(lo), t1 = lap.GetTime(hi);
    const double d0 = lap.GetDistance(lo), d1 = lap.GetDistance(hi);
    if (t1 <= t0) return d1;
    return d0 + (time - t0) / (t1 - t0) * (d1 - d0);
}

}  // namespace

std::vector<double> EqualSectorBoundaries(double length, int count) {
    std::vector<double> out;
    if (count < 1 || count > kMaxSectorCount || !(length > 0.0) || !std::isfinite(length))
        return out;
    out.reserve(static_cast<std::size_t>(count) + 1);
    for (int k = 0; k <= count; ++k)
        out.push_back(length * k / count);
    out.back() = length;
    return out;
}

std::vector<double> GameSectorBoundaries(const PerfCore& lap, double length) {
    const std::vector<double> splits = lap.GetSplitTimes();
    if (splits.empty() || !(length > 0.0)) return {};
    std::vector<double> out{0.0};
    for (const double t : splits) {
        const std::optional<double> d = DistanceAtTime(lap, t);
        if (!d || *d <= out.back() || *d >= length) return {};
        out.push_back(*d);
    }
    out.push_back(length);
    return out;
}

std::vector<double> ChooseSectorBoundaries(const PerfCore& reference, int count, bool gameSplits,
                                           bool* usedGameSplits) {
    const double length = reference.GetMaxDistance();
    std::vector<double> out;
    if (gameSplits) out = GameSectorBoundaries(reference, length);
    if (usedGameSplits != nullptr) *usedGameSplits = !out.empty();
    if (out.empty()) out = EqualSectorBoundaries(length, count);
    return out;
}

SectorTable BuildSectorTable(const std::vector<const PerfCore*>& laps,
                             const std::vector<double>& boundaries) {
    SectorTable table;
    table.boundaries = boundaries;
    const int sectors = table.SectorCount();
    const std::size_t lapCount = laps.size();
    table.times.assign(lapCount,
                       std::vector<std::optional<double>>(static_cast<std::size_t>(sectors)));
    table.bestLap.assign(static_cast<std::size_t>(sectors), -1);
    table.bestTime.assign(static_cast<std::size_t>(sectors), 0.0);
    table.lapTime.assign(lapCount, std::nullopt);
    table.gap.assign(lapCount, std::nullopt);

    for (std::size_t l = 0; l < lapCount; ++l) {
        const PerfCore& lap = *laps[l];
        if (lap.GetSampleCount() <= 0 || sectors == 0) continue;
        // A lap starting after the first boundary has no time there either.
        if (lap.GetDistance(0) > boundaries.front() + kReachTolerance) continue;
        double previous = TimeAtDistance(lap, boundaries.front());
        double sum = 0.0;
        bool complete = true;
        for (int k = 0; k < sectors; ++k) {
            const double end = boundaries[static_cast<std::size_t>(k) + 1];
            if (!ReachesDistance(lap, end)) {
                complete = false;
                break;
            }
            const double t = TimeAtDistance(lap, end);
            table.times[l][static_cast<std::size_t>(k)] = t - previous;
            sum += t - previous;
            previous = t;
        }
        if (complete) table.lapTime[l] = sum;
    }

    bool allSectors = sectors > 0;
    double best = 0.0;
    for (int k = 0; k < sectors; ++k) {
        const auto ks = static_cast<std::size_t>(k);
        for (std::size_t l = 0; l < lapCount; ++l) {
            const std::optional<double>& t = table.times[l][ks];
            if (t && (table.bestLap[ks] < 0 || *t < table.bestTime[ks])) {
                table.bestLap[ks] = static_cast<int>(l);
                table.bestTime[ks] = *t;
            }
        }
        if (table.bestLap[ks] < 0) allSectors = false;
        best += table.bestTime[ks];
    }
    if (allSectors) {
        table.theoreticalBest = best;
        for (std::size_t l = 0; l < lapCount; ++l)
            if (table.lapTime[l]) table.gap[l] = *table.lapTime[l] - best;
    }
    return table;
}

}  // namespace pellith
