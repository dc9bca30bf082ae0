// libFuzzer target for the generic comma-separated reader: the input is the
// whole file. Every channel of every sample is read back, including the ones
// derived from missing columns, so that out-of-range reads show.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzSupport.h"
#include "morlund/formats/generic/GenBufManager.h"
#include "morlund/platform/File.h"
#include "morlund/platform/MessageSink.h"

using namespace morlund;

namespace {}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzsupport::Silence();
    GenBufManager manager;
    File file =
        File::FromMemory(std::vector<std::uint8_t>(data, data + size), "/nonexistent-fuzz/lap.csv");
    if (manager.AddBuffer(file)) {
        fuzzsupport::ExerciseBuffer(*manager.GetBuffer(0));
        (void)manager.GetTrackString(-1);
    }
    return 0;
}
