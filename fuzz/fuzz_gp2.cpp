// libFuzzer target for the GP2 reader: envelope, expansion and body.
//
// Input byte 0 chooses what the rest is:
//   bit 0 clear: a whole file, read as it is (envelope checks, checksum);
//   bit 0 set:   a stored body, wrapped in a header with a valid checksum so
//                that the expansion (bit 1: compressed) and the body parser are
//                reached; bit 2 picks the offset form of the checksum.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzSupport.h"
#include "morlund/formats/gp2/GP2BufManager.h"
#include "morlund/formats/gp2/GPEnvelope.h"
#include "morlund/platform/File.h"
#include "morlund/platform/MessageSink.h"

using namespace morlund;

namespace {}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    fuzzsupport::Silence();
    const std::uint8_t mode = data[0];
    std::vector<std::uint8_t> bytes =
        (mode & 1) ? fuzzsupport::WrapGPBody(data + 1, size - 1, mode, kGPFileIdGP2, 3)
                   : std::vector<std::uint8_t>(data + 1, data + size);
    GP2BufManager manager;
    File file = File::FromMemory(std::move(bytes), "/nonexistent-fuzz/lap.pad");
    if (manager.AddBuffer(file)) {
        fuzzsupport::ExerciseBuffer(*manager.GetBuffer(0));
        (void)manager.GetTrackChecksum();
        (void)manager.HasExtended();
    }
    return 0;
}
