// libFuzzer target for the GP3, GP3-2000 and GP4 readers: envelope, expansion,
// body and the positions rebuilt from the lateral acceleration.
//
// Input byte 0 chooses what the rest is:
//   bits 3-4:    the game (0 GP3, 1 GP3-2000, 2 and 3 GP4);
//   bit 0 clear: a whole file, read as it is (envelope checks, checksum);
//   bit 0 set:   a stored body, wrapped in a header with a valid checksum so
//                that the expansion (bit 1: compressed) and the body parser are
//                reached; bit 2 picks the offset form of the checksum; bits 5-7
//                the header's track number.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "FuzzSupport.h"
#include "morlund/formats/gp2/GPEnvelope.h"
#include "morlund/formats/gp3/GP32KBufManager.h"
#include "morlund/formats/gp3/GP3BufManager.h"
#include "morlund/formats/gp3/GP4BufManager.h"
#include "morlund/platform/File.h"
#include "morlund/platform/MessageSink.h"

using namespace morlund;

namespace {}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    fuzzsupport::Silence();
    const std::uint8_t mode = data[0];
    const int game = (mode >> 3) & 3;
    std::unique_ptr<GP2BufManager> manager;
    if (game == 0) {
        manager = std::make_unique<GP3BufManager>();
    } else if (game == 1) {
        manager = std::make_unique<GP32KBufManager>();
    } else {
        manager = std::make_unique<GP4BufManager>();
    }
    const std::uint32_t fileId = game >= 2 ? kGPFileIdGP4 : kGPFileIdGP2;
    std::vector<std::uint8_t> bytes =
        (mode & 1) ? fuzzsupport::WrapGPBody(data + 1, size - 1, mode, fileId,
                                             static_cast<std::uint8_t>(mode >> 5))
                   : std::vector<std::uint8_t>(data + 1, data + size);
    File file = File::FromMemory(std::move(bytes), "/nonexistent-fuzz/lap.1.pad");
    if (manager->AddBuffer(file)) {
        fuzzsupport::ExerciseBuffer(*manager->GetBuffer(0));
        (void)manager->GetTrackChecksum();
        (void)manager->GetTrackString(-1);
    }
    return 0;
}
