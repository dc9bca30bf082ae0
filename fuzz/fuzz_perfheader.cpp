// libFuzzer target for the header reads of the perf file browser.
//
// Input byte 0 chooses the kind of file (bits 0-1: GP, F1RS, MGPRS2, LFS) and the
// filter (bit 2: the game's own, bit 3: track 4); the rest are the file's first bytes.

#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "morlund/formats/PerfFileScan.h"

using namespace morlund;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    constexpr PerfFileKind kKinds[4] = {PerfFileKind::GP, PerfFileKind::F1RS, PerfFileKind::MGPRS2,
                                        PerfFileKind::LFS};
    constexpr GameType kGames[4] = {GameType::GP3, GameType::F1RS, GameType::MGPRS2, GameType::LFS};
    const int kind = data[0] & 3;
    PerfFileFilter filter;
    if ((data[0] & 4) != 0) filter.game = kGames[kind];
    if ((data[0] & 8) != 0) filter.track = 4;
    PerfFileReader reader(filter);
    const std::optional<PerfFileEntry> entry =
        reader.ReadHeader(kKinds[kind], ByteSpan(data + 1, size - 1), 86400);
    if (entry) {
        fuzzsupport::g_sink = static_cast<double>(entry->name.size() + entry->trackText.size() +
                                                  entry->dateText.size() + entry->timeText.size()) +
                              entry->dateKey + entry->timeKey;
    }
    return 0;
}
