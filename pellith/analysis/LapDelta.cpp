#include "pellith/analysis/LapDelta.h"

#include <cmath>
#include <limits>

#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"

using morlund::PerfCore;

namespace pellith {

namespace {

bool Covers(const PerfCore& lap, double distance) {
    if (lap.GetSampleCount() <= 0) return false;
    return distance >= lap.GetDistance(0) - kReachTolerance && ReachesDistance(lap, distance);
}

}  // namespace

bool ReachesDistance(const PerfCore& lap, double distance) {
    return lap.GetSampleCount() > 0 && lap.GetMaxDistance() + kReachTolerance >= distance;
}

double TimeAtDistance(const PerfCore& lap, double distance) {
    const int n = lap.GetSampleCount();
    if (n <= 0) return 0.0;
    const int end = distance > lap.GetMaxDistance() ? n - 1
                    : distance < lap.GetDistance(0) ? 0
                                                    : -1;
    if (end < 0) return lap.GetTime(distance);
    const double speed = lap.GetSpeed(end);
    const double gap = distance - lap.GetDistance(end);
    return lap.GetTime(end) + (speed > 0.1 ? gap / speed : 0.0);
}

std::optional<double> GetDeltaToReference(const PerfCore& lap, const PerfCore& reference,
                                          double distance) {
    if (!Covers(lap, distance) || !Covers(reference, distance)) return std::nullopt;
    return TimeAtDistance(lap, distance) - TimeAtDistance(reference, distance);
}

std::vector<double> GetDeltaCurve(const PerfCore& lap, const PerfCore& reference) {
    const int n = lap.GetSampleCount();
    std::vector<double> out(static_cast<std::size_t>(std::max(n, 0)),
                            std::numeric_limits<double>::quiet_NaN());
    if (reference.GetSampleCount() <= 0) return out;
    const double first = reference.GetDistance(0) - kReachTolerance;
    const double last = reference.GetMaxDistance() + kReachTolerance;
    for (int i = 0; i < n; ++i) {
        const double d = lap.GetDistance(i);
        if (d < first || d > last) continue;
        out[static_cast<std::size_t>(i)] = lap.GetTime(i) - TimeAtDistance(reference, d);
    }
    return out;
}

LapList GetEnabledLaps(const morlund::BufManager& manager) {
    LapList list;
    for (int b = 0; b < manager.GetBufCount(); ++b) {
        const PerfCore* lap = manager.GetBuffer(b);
        if (lap == nullptr || !lap->IsEnabled()) continue;
        list.laps.push_back(lap);
        list.buffers.push_back(b);
    }
    return list;
}

int FindFastestLap(const morlund::BufManager& manager) {
    int best = -1;
    double bestTime = 0.0;
    for (int b = 0; b < manager.GetBufCount(); ++b) {
        const PerfCore* lap = manager.GetBuffer(b);
        if (lap == nullptr || !lap->IsEnabled() || lap->GetSampleCount() <= 0) continue;
        const double t = lap->InfoGetLapTime();
        if (!std::isfinite(t) || t <= 0.0) continue;
        if (best < 0 || t < bestTime) {
            best = b;
            bestTime = t;
        }
    }
    return best;
}

}  // namespace pellith
