#pragma once

#include <optional>
#include <vector>

namespace morlund {
class PerfCore;
}

namespace pellith {

// Corners of a lap found from its path: where the inverse radius of the driven line (the
// catalogue's "Actual Radius", from the positions) stays above a threshold, pieces closer
// than a short gap joined into one corner. Corners are found once on a reference lap and
// located on the other laps by distance, so corner n is the same stretch of track on each.

struct CornerOptions {
    double minInverseRadius = 1.0 / 300.0;  // 1/m: a radius under 300 m is a corner
    double smoothing = 8.0;   // m either side over which the inverse radius is averaged
    double joinGap = 25.0;    // m: pieces this close are one corner
    double minLength = 15.0;  // m: shorter pieces are not corners
};

// A corner as a stretch of track distance.
struct Corner {
    double start = 0.0;  // m
    double end = 0.0;    // m
    double apex = 0.0;   // m, the speed minimum on the reference lap
};

std::vector<Corner> FindCorners(const morlund::PerfCore& reference,
                                const CornerOptions& options = {});

// One lap through one corner. Speeds in m/s, distances in m, times in s.
struct CornerPass {
    double entrySpeed = 0.0;      // at the corner's start
    double apexSpeed = 0.0;       // the lowest speed inside the corner
    double apexDistance = 0.0;    // where it is (the middle of a stretch at that speed)
    double exitSpeed = 0.0;       // at the corner's end
    double time = 0.0;            // from start to end
    std::optional<double> delta;  // time - the reference's time; empty without a reference pass
};

// The lap through the corner; empty when the lap does not cover the whole corner.
std::optional<CornerPass> MeasureCorner(const morlund::PerfCore& lap, const Corner& corner);

struct CornerTable {
    std::vector<Corner> corners;
    int reference = -1;  // index into the laps given
    // passes[lap][corner]
    std::vector<std::vector<std::optional<CornerPass>>> passes;
};

// Corners of laps[reference] measured on every lap; an empty table for a reference
// outside the list.
CornerTable BuildCornerTable(const std::vector<const morlund::PerfCore*>& laps, int reference,
                             const CornerOptions& options = {});
// The same with corners found before (on laps[reference]).
CornerTable MeasureCorners(const std::vector<const morlund::PerfCore*>& laps, int reference,
                           std::vector<Corner> corners);

}  // namespace pellith
