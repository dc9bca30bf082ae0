#include <cstdio>

#include "cli/Commands.h"
#include "cli/Laps.h"
#include "morlund/items/DataItem.h"
#include "pellith/stats/StatTable.h"

using namespace morlund;

namespace cli {

int RunStats(const Options& options) {
    DataItem::SetDistanceInMiles(options.miles);
    Laps laps;
    if (const int rc = OpenLaps(options, laps); rc != kExitOk) return rc;
    const BufManager& manager = *laps.manager;
    const pellith::StatTable table =
        pellith::BuildStatTable(manager, pellith::GetStatTrackName(manager), options.miles);
    std::fputs(pellith::FormatStatTable(table).c_str(), stdout);
    return kExitOk;
}

}  // namespace cli
