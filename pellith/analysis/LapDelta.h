#pragma once

#include <optional>
#include <vector>

namespace morlund {
class BufManager;
class PerfCore;
}  // namespace morlund

namespace pellith {

// Time lost or gained against a reference lap, read through each lap's own time/distance
// lookup (PerfCore::GetTime(distance), linear between the samples around the distance).

// How far past its last sample a lap still counts as having reached a distance, in metres:
// the last sample of a lap rarely sits exactly on the finish line.
inline constexpr double kReachTolerance = 1.0;

// True when the lap has samples up to the distance (within kReachTolerance).
bool ReachesDistance(const morlund::PerfCore& lap, double distance);

// The lap's time at a distance: its own lookup inside its samples; within kReachTolerance
// past either end, carried on at the speed of the end sample (a lap cut just short of a
// distance must not look quicker there).
double TimeAtDistance(const morlund::PerfCore& lap, double distance);

// The lap's time at a distance minus the reference's time there, in seconds: below zero the
// lap is ahead. Empty when either lap has no samples at that distance or before it.
std::optional<double> GetDeltaToReference(const morlund::PerfCore& lap,
                                          const morlund::PerfCore& reference, double distance);

// The delta at each of the lap's samples, for drawing: a sample past the reference's end
// (or before its start) gets NaN.
std::vector<double> GetDeltaCurve(const morlund::PerfCore& lap, const morlund::PerfCore& reference);

// The enabled lap with the shortest lap time, -1 without one. Ties go to the first.
int FindFastestLap(const morlund::BufManager& manager);

// The enabled laps of a manager in buffer order, with their buffer indices.
struct LapList {
    std::vector<const morlund::PerfCore*> laps;
    std::vector<int> buffers;
};
LapList GetEnabledLaps(const morlund::BufManager& manager);

}  // namespace pellith
