#pragma once

#include <optional>
#include <string>
#include <vector>

#include "pellith/analysis/Corners.h"
#include "pellith/analysis/Sectors.h"
#include "pellith/stats/StatTable.h"

namespace pellith {

// The sector and corner tables as text, one column per lap as in the statistics table, so
// that the program's windows and tarnwick-cli show the same cells. Speeds and distances are
// in km/h and m, or with `miles` in mph and ft, as the statistics table chooses.

// Seconds with three decimals ("23.456"); "—" for an empty time.
std::string SecondsText(const std::optional<double>& seconds);
// A signed difference in seconds ("+0.123", "-0.050"); "—" for an empty one.
std::string DeltaText(const std::optional<double>& seconds);

// Rows: each sector ("S1 (0-250 m)"), the lap ("Sum of sectors"), the
// theoretical best (in column 1) and each lap's gap to it. With `markBest` the best time of
// each sector ends in " *".
StatTable BuildSectorText(const SectorTable& table, const std::vector<std::string>& lapNames,
                          bool markBest, bool miles);

// A heading row per corner ("Corner 3 (410-520 m)"), then entry speed, apex speed, apex
// distance, exit speed, time through the corner and the difference to the reference lap
// ("T3 entry speed (km/h)" ...).
StatTable BuildCornerText(const CornerTable& table, const std::vector<std::string>& lapNames,
                          bool miles);

// Appends to the statistics table (one column per lap in `laps`) a "Mini-sectors" section
// with the sector rows and a section per corner, all against laps[reference]; nothing
// for a reference outside the laps.
void AppendAnalysisSections(StatTable& table, const std::vector<const morlund::PerfCore*>& laps,
                            int reference, int sectorCount, const std::vector<Corner>& corners,
                            bool miles);

// The table as delimited lines for machine reading: the header line, then one line per row
// (the label without indentation, then the cells); heading rows keep their label only.
std::string FormatDelimitedTable(const StatTable& table, const std::string& delimiter);

}  // namespace pellith
