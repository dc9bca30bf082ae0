#pragma once

#include <optional>
#include <vector>

namespace morlund {
class PerfCore;
}

namespace pellith {

// Mini-sectors: a lap cut at fixed distances, each piece timed through the lap's own
// time/distance lookup, so a boundary between two samples is interpolated linearly and no
// resampling moves it.

inline constexpr int kDefaultSectorCount = 20;
inline constexpr int kMaxSectorCount = 1000;

// count + 1 boundaries from 0 to length in equal steps; empty for a count outside
// 1..kMaxSectorCount or a length that is not positive.
std::vector<double> EqualSectorBoundaries(double length, int count);

// The boundaries of the game's own split points on a lap that records split times: the
// lap's distance at each split time, between 0 and length. Empty when the lap records no
// splits (or only the lap time) or a split time lies outside the lap.
std::vector<double> GameSectorBoundaries(const morlund::PerfCore& lap, double length);

// The sector times of the laps over the same boundaries.
struct SectorTable {
    std::vector<double> boundaries;  // sector k runs from boundaries[k] to boundaries[k + 1]
    bool gameSplits = false;         // boundaries from the game's split points
    // times[lap][sector] in seconds; empty where the lap does not reach the sector's end.
    std::vector<std::vector<std::optional<double>>> times;
    // Per sector: the lap (index into the laps given) with the best time, -1 when no lap has
    // one; and that time.
    std::vector<int> bestLap;
    std::vector<double> bestTime;
    // Per lap: the sum of its sectors, empty unless it has all of them.
    std::vector<std::optional<double>> lapTime;
    // Sum of the best sectors; empty unless every sector has a best time.
    std::optional<double> theoreticalBest;
    // Per lap: lapTime - theoreticalBest, empty where either is.
    std::vector<std::optional<double>> gap;

    int SectorCount() const {
        return boundaries.size() < 2 ? 0 : static_cast<int>(boundaries.size()) - 1;
    }
};

SectorTable BuildSectorTable(const std::vector<const morlund::PerfCore*>& laps,
                             const std::vector<double>& boundaries);

// The boundaries a table of these laps uses: the game's split points of the reference lap
// when `gameSplits` and it has any, else `count` equal sectors over the reference lap's
// length. Sets `usedGameSplits` accordingly.
std::vector<double> ChooseSectorBoundaries(const morlund::PerfCore& reference, int count,
                                           bool gameSplits, bool* usedGameSplits = nullptr);

}  // namespace pellith
