#include <cstdio>
#include <vector>

#include "cli/Commands.h"
#include "cli/Laps.h"
#include "morlund/core/PerfCore.h"
#include "morlund/items/DataItem.h"
#include "pellith/analysis/AnalysisText.h"
#include "pellith/analysis/LapDelta.h"
#include "pellith/stats/StatTable.h"
#include "pellith/stats/SummaryStats.h"

using namespace morlund;

namespace cli {

int RunStats(const Options& options) {
    DataItem::SetDistanceInMiles(options.miles);
    Laps laps;
    if (const int rc = OpenLaps(options, laps); rc != kExitOk) return rc;
    const BufManager& manager = *laps.manager;
    pellith::LapSummaryCache summaries;
    pellith::StatTable table = pellith::BuildStatTable(manager, pellith::GetStatTrackName(manager),
                                                       options.miles, summaries);
    // The sections the statistics window adds: against the fastest lap, as it starts.
    std::vector<const PerfCore*> buffers;
    for (int b = 0; b < manager.GetBufCount(); ++b)
        buffers.push_back(manager.GetBuffer(b));
    const int reference = pellith::FindFastestLap(manager);
    if (reference >= 0)
        pellith::AppendAnalysisSections(table, buffers, reference, pellith::kDefaultSectorCount,
                                        pellith::FindCorners(*buffers[reference]), options.miles);
    std::fputs(pellith::FormatStatTable(table).c_str(), stdout);
    return kExitOk;
}

}  // namespace cli
