#include <cstdio>

#include "cli/Commands.h"
#include "cli/Laps.h"
#include "morlund/core/PerfCore.h"
#include "pellith/setup/SetupSheet.h"

using namespace morlund;

namespace cli {

int RunSetup(const Options& options) {
    Laps laps;
    if (const int rc = OpenLaps(options, laps); rc != kExitOk) return rc;
    const BufManager& manager = *laps.manager;
    if (!manager.HasBuffer(options.buffer)) {
        std::fprintf(stderr, "tarnwick-cli: there is no buffer %d (%d loaded)\n", options.buffer,
                     manager.GetBufCount());
        return kExitUsage;
    }
    const PerfCore& buffer = *manager.GetBuffer(options.buffer);
    std::printf("buffer: %d\n", options.buffer);
    std::printf("file: %s\n", buffer.GetFilePath().c_str());
    std::printf("name: %s\n", buffer.InfoGetName().c_str());
    std::printf("track: %s\n", manager.GetTrackString(-1).c_str());
    std::printf("setup: %s\n", buffer.IsSetupRead() ? "read from file" : "not read");
    const pellith::SetupSheet sheet = pellith::BuildSetupSheet(manager, buffer);
    for (const auto* rows : {&sheet.setup, &sheet.predictions}) {
        for (const pellith::SetupSheetRow& row : *rows)
            std::printf("%s: %s\n", row.Heading().c_str(), row.text.c_str());
    }
    return kExitOk;
}

}  // namespace cli
