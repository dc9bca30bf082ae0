#include <cstdio>

#include "cli/Commands.h"
#include "cli/Laps.h"
#include "morlund/items/DataItem.h"
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
    const pellith::StatTable table = pellith::BuildStatTable(
        manager, pellith::GetStatTrackName(manager), options.miles, summaries);
    std::fputs(pellith::FormatStatTable(table).c_str(), stdout);
    return kExitOk;
}

}  // namespace cli
