#include "pellith/analysis/Corners.h"

#include <algorithm>
#include <cmath>

#include "morlund/core/DistanceArray.h"
#include "morlund/core/PerfCore.h"
#include "morlund/items/DataItem.h"
#include "pellith/analysis/LapDelta.h"

using morlund::DataItem;
using morlund::PerfCore;

namespace pellith {

namespace {

// Speeds within this much of the lowest count as the same speed when placing the apex, so a
// corner taken at constant speed has its apex in the middle rather than at its entry.
constexpr double kApexSpeedTolerance = 0.05;  // m/s

// The lap's speed at a distance, linear between the samples around it.
double SpeedAt(const PerfCore& lap, double distance) {
    return DataItem::SPEED->GetMetricValueFromDist(&lap, distance, nullptr, 0);
}

// Index range [first, end) of distance-ordered entries of the lap inside [from, to].
struct EntryRange {
    int first = 0;
    int end = 0;
};

EntryRange EntriesBetween(const morlund::CDistanceArray& index, double from, double to) {
    auto lowerBound = [&](double d, bool after) {
        int lo = 0, hi = index.GetCount();
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            const double v = index.GetAt(mid).distance;
            if (after ? v <= d : v < d)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo;
    };
    return {lowerBound(from, false), lowerBound(to, true)};
}

}  // namespace

std::vector<Corner> FindCorners(const PerfCore& reference, const CornerOptions& options) {
    const int n = reference.GetSampleCount();
    std::vector<Corner> corners;
    if (n < 3) return corners;

    // Inverse radius per sample, then averaged over a distance window with prefix sums.
    std::vector<double> distance(static_cast<std::size_t>(n));
    std::vector<double> sum(static_cast<std::size_t>(n) + 1, 0.0);
    for (int i = 0; i < n; ++i) {
        const auto is = static_cast<std::size_t>(i);
        distance[is] = reference.GetDistance(i);
        const double r = DataItem::RADIUS->GetMetricValue(&reference, i, -1);
        const double inverse = r > 0.0 && std::isfinite(r) ? 1.0 / r : 0.0;
        sum[is + 1] = sum[is] + inverse;
    }
    std::vector<bool> inCorner(static_cast<std::size_t>(n), false);
    int lo = 0, hi = 0;
    for (int i = 0; i < n; ++i) {
        const double d = distance[static_cast<std::size_t>(i)];
        while (lo < i && distance[static_cast<std::size_t>(lo)] < d - options.smoothing)
            ++lo;
        if (hi < i) hi = i;
        while (hi + 1 < n && distance[static_cast<std::size_t>(hi) + 1] <= d + options.smoothing)
            ++hi;
        const double mean =
            (sum[static_cast<std::size_t>(hi) + 1] - sum[static_cast<std::size_t>(lo)]) /
            (hi - lo + 1);
        inCorner[static_cast<std::size_t>(i)] = mean > options.minInverseRadius;
    }

    // Runs of corner samples, joined across short gaps, short runs dropped.
    std::vector<Corner> runs;
    for (int i = 0; i < n;) {
        if (!inCorner[static_cast<std::size_t>(i)]) {
            ++i;
            continue;
        }
        int j = i;
        while (j + 1 < n && inCorner[static_cast<std::size_t>(j) + 1])
            ++j;
        const double start = distance[static_cast<std::size_t>(i)];
        const double end = distance[static_cast<std::size_t>(j)];
        if (!runs.empty() && start - runs.back().end <= options.joinGap)
            runs.back().end = end;
        else
            runs.push_back({start, end, start});
        i = j + 1;
    }
    for (Corner& c : runs) {
        if (c.end - c.start < options.minLength) continue;
        if (const std::optional<CornerPass> pass = MeasureCorner(reference, c))
            c.apex = pass->apexDistance;
        corners.push_back(c);
    }
    return corners;
}

std::optional<CornerPass> MeasureCorner(const PerfCore& lap, const Corner& corner) {
    const int n = lap.GetSampleCount();
    if (n <= 0 || lap.GetDistance(0) > corner.start + kReachTolerance ||
        !ReachesDistance(lap, corner.end))
        return std::nullopt;
    CornerPass pass;
    pass.entrySpeed = SpeedAt(lap, corner.start);
    pass.exitSpeed = SpeedAt(lap, corner.end);
    pass.time = TimeAtDistance(lap, corner.end) - TimeAtDistance(lap, corner.start);

    // The lowest speed of the samples inside, then the stretch around it at that speed.
    const morlund::CDistanceArray& index = lap.GetDistanceArray();
    const EntryRange range = EntriesBetween(index, corner.start, corner.end);
    if (range.first >= range.end) {
        const bool entry = pass.entrySpeed <= pass.exitSpeed;
        pass.apexSpeed = entry ? pass.entrySpeed : pass.exitSpeed;
        pass.apexDistance = entry ? corner.start : corner.end;
        return pass;
    }
    int lowestEntry = range.first;
    double lowest = lap.GetSpeed(index.GetAt(range.first).sample);
    for (int k = range.first + 1; k < range.end; ++k) {
        const double v = lap.GetSpeed(index.GetAt(k).sample);
        if (v < lowest) {
            lowest = v;
            lowestEntry = k;
        }
    }
    // An end clearly slower than every sample inside (a corner left still braking, or entered
    // still accelerating) is the apex itself.
    const double end = std::min(pass.entrySpeed, pass.exitSpeed);
    pass.apexSpeed = std::min(lowest, end);
    if (end < lowest - kApexSpeedTolerance) {
        pass.apexDistance = end == pass.entrySpeed ? corner.start : corner.end;
        return pass;
    }
    int first = lowestEntry, last = lowestEntry;
    auto near = [&](int k) {
        return lap.GetSpeed(index.GetAt(k).sample) <= lowest + kApexSpeedTolerance;
    };
    while (first > range.first && near(first - 1))
        --first;
    while (last + 1 < range.end && near(last + 1))
        ++last;
    pass.apexDistance = (index.GetAt(first).distance + index.GetAt(last).distance) / 2.0;
    return pass;
}

CornerTable BuildCornerTable(const std::vector<const PerfCore*>& laps, int reference,
                             const CornerOptions& options) {
    if (reference < 0 || reference >= static_cast<int>(laps.size())) return {};
    return MeasureCorners(laps, reference,
                          FindCorners(*laps[static_cast<std::size_t>(reference)], options));
}

CornerTable MeasureCorners(const std::vector<const PerfCore*>& laps, int reference,
                           std::vector<Corner> corners) {
    CornerTable table;
    if (reference < 0 || reference >= static_cast<int>(laps.size())) return table;
    table.reference = reference;
    table.corners = std::move(corners);
    const std::size_t count = table.corners.size();
    table.passes.assign(laps.size(), std::vector<std::optional<CornerPass>>(count));
    for (std::size_t l = 0; l < laps.size(); ++l)
        for (std::size_t c = 0; c < count; ++c)
            table.passes[l][c] = MeasureCorner(*laps[l], table.corners[c]);
    const auto& referencePasses = table.passes[static_cast<std::size_t>(reference)];
    for (auto& lapPasses : table.passes)
        for (std::size_t c = 0; c < count; ++c)
            if (lapPasses[c] && referencePasses[c])
                lapPasses[c]->delta = lapPasses[c]->time - referencePasses[c]->time;
    return table;
}

}  // namespace pellith
