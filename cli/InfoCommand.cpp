#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Laps.h"
#include "morlund/core/PerfCore.h"
#include "morlund/formats/GameStrings.h"

using namespace morlund;

namespace cli {

namespace {

std::uint32_t Milliseconds(double seconds) {
    const double ms = std::round(seconds * 1000.0);
    if (!(ms >= 0.0)) return 0;
    return ms > 4294967295.0 ? 0xffffffffu : static_cast<std::uint32_t>(ms);
}

}  // namespace

int RunInfo(const Options& options) {
    Laps laps;
    if (const int rc = OpenLaps(options, laps); rc != kExitOk) return rc;
    const BufManager& manager = *laps.manager;
    for (int b = 0; b < manager.GetBufCount(); ++b) {
        const PerfCore& buffer = *manager.GetBuffer(b);
        if (b > 0) std::printf("\n");
        std::printf("file: %s\n", buffer.GetFilePath().c_str());
        std::printf("game: %s\n", GetGameName(laps.game).c_str());
        std::printf("name: %s\n", buffer.InfoGetName().c_str());
        std::printf("info: %s\n", buffer.InfoGetInfo().c_str());
        std::printf("date: %s\n", buffer.InfoGetDateString().c_str());
        std::printf("lap: %d\n", buffer.InfoGetLapnr());
        std::printf("lap time: %s\n", FormatLapTime(Milliseconds(buffer.InfoGetLapTime())).c_str());
        std::printf("track: %s\n", manager.GetTrackString(-1).c_str());
        std::printf("track length (m): %.2f\n", buffer.InfoGetTrackLength());
        std::printf("samples: %d\n", buffer.GetSampleCount());
        std::printf("setup: %s\n", buffer.IsSetupRead() ? "read from file" : "not read");
        std::vector<std::string> names;
        std::vector<std::string> values;
        buffer.InfoGetInfoItemNames(names);
        buffer.InfoGetInfoItemValues(values);
        for (std::size_t i = 0; i < names.size() && i < values.size(); ++i) {
            std::printf("%s: %s\n", names[i].c_str(), values[i].c_str());
        }
    }
    return kExitOk;
}

}  // namespace cli
