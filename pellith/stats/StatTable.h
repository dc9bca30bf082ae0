#pragma once

#include <string>
#include <vector>

namespace morlund {
class BufManager;
}

namespace pellith {

class LapSummaryCache;

// One row of the statistics table: a section heading (level 0) or an item
// (level 1), with one cell per buffer.
struct StatRow {
    std::string label;
    int level = 1;
    std::vector<std::string> cells;
};

// The statistics table of the loaded laps: column 0 names the track, one
// column per buffer compares the laps figure by figure. The stat view shows
// it, tarnwick-cli prints it.
struct StatTable {
    std::vector<std::string> headers;  // column 0, then each buffer's name
    std::vector<StatRow> rows;
};

// Display units of the table.
inline constexpr double kStatMilesFactor = 0.6215040397762586;  // 1 / 1.609

// The track name the table shows: the loaded track outline's name when there
// is one that is not a "<no track..." placeholder, else the manager's.
std::string GetStatTrackName(const morlund::BufManager& manager,
                             const std::string& outlineName = {});

// Builds the whole table. `miles` chooses mph, miles and the unit words; the laps'
// summaries come from `summaries`, which computes those it does not hold yet.
StatTable BuildStatTable(const morlund::BufManager& manager, const std::string& trackName,
                         bool miles, LapSummaryCache& summaries);

// The table as plain text: aligned columns, item rows indented under their
// headings, lines ending in "\n".
std::string FormatStatTable(const StatTable& table);

}  // namespace pellith
