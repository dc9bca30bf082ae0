// libFuzzer target for the F1RS telemetry reader: the input is a whole .tlm file.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzSupport.h"
#include "morlund/formats/f1rs/F1RSBufManager.h"
#include "morlund/platform/File.h"
#include "morlund/platform/MessageSink.h"

using namespace morlund;

namespace {}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzsupport::Silence();
    F1RSBufManager manager;
    File file =
        File::FromMemory(std::vector<std::uint8_t>(data, data + size), "/nonexistent-fuzz/lap.tlm");
    if (manager.AddBuffer(file)) {
        fuzzsupport::ExerciseBuffer(*manager.GetBuffer(0));
        fuzzsupport::g_sink = manager.GetTrackLen() + manager.HasGhost();
    }
    return 0;
}
