// sectors and corners: where the time goes, as tables with one column per lap.

#include <cstdio>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Laps.h"
#include "morlund/core/PerfCore.h"
#include "pellith/analysis/AnalysisText.h"
#include "pellith/analysis/LapDelta.h"
#include "pellith/export/Delimiters.h"

using namespace morlund;

namespace cli {

namespace {

struct AnalysisLaps {
    pellith::LapList list;
    std::vector<std::string> names;
    int reference = -1;  // index into list.laps: the fastest lap
};

AnalysisLaps EnabledLaps(const BufManager& manager) {
    AnalysisLaps out;
    out.list = pellith::GetEnabledLaps(manager);
    const int fastest = pellith::FindFastestLap(manager);
    for (std::size_t l = 0; l < out.list.laps.size(); ++l) {
        out.names.push_back(out.list.laps[l]->InfoGetName());
        if (out.list.buffers[l] == fastest) out.reference = static_cast<int>(l);
    }
    if (out.reference < 0 && !out.list.laps.empty()) out.reference = 0;
    return out;
}

void Print(const Options& options, const pellith::StatTable& table) {
    const std::string text =
        options.delimiterGiven
            ? pellith::FormatDelimitedTable(table, pellith::GetDelimiter(options.delimiter))
            : pellith::FormatStatTable(table);
    std::fputs(text.c_str(), stdout);
}

}  // namespace

int RunSectors(const Options& options) {
    Laps laps;
    if (const int rc = OpenLaps(options, laps); rc != kExitOk) return rc;
    const AnalysisLaps analysis = EnabledLaps(*laps.manager);
    if (analysis.reference < 0) return kExitOk;
    bool usedSplits = false;
    const std::vector<double> boundaries = pellith::ChooseSectorBoundaries(
        *analysis.list.laps[static_cast<std::size_t>(analysis.reference)], options.sectorCount,
        options.gameSplits, &usedSplits);
    if (options.gameSplits && !usedSplits)
        std::fprintf(stderr, "tarnwick-cli: the laps record no split points; %d equal sectors\n",
                     options.sectorCount);
    pellith::SectorTable table = pellith::BuildSectorTable(analysis.list.laps, boundaries);
    table.gameSplits = usedSplits;
    Print(options,
          pellith::BuildSectorText(table, analysis.names, !options.delimiterGiven, options.miles));
    return kExitOk;
}

int RunCorners(const Options& options) {
    Laps laps;
    if (const int rc = OpenLaps(options, laps); rc != kExitOk) return rc;
    const AnalysisLaps analysis = EnabledLaps(*laps.manager);
    if (analysis.reference < 0) return kExitOk;
    const pellith::CornerTable table =
        pellith::BuildCornerTable(analysis.list.laps, analysis.reference);
    Print(options, pellith::BuildCornerText(table, analysis.names, options.miles));
    return kExitOk;
}

}  // namespace cli
