// libFuzzer target for the MGPRS2 telemetry reader and its three parts.
//
// Input bytes 0-3 are two little-endian 16-bit cut points that split the rest
// into the files save1, save2 and save3; they are written to a private folder
// (in memory where possible) so that the reader finds the parts by name.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzSupport.h"
#include "morlund/formats/mgp/MGPBufManager.h"
#include "morlund/platform/File.h"
#include "morlund/platform/MessageSink.h"
#include "morlund/platform/Process.h"

using namespace morlund;
namespace fs = std::filesystem;

namespace {

const fs::path& Folder() {
    static const fs::path folder = [] {
        const fs::path base =
            fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        fs::path f = base / ("fuzz_mgp_" + std::to_string(morlund::ProcessId()));
        fs::create_directories(f);
        return f;
    }();
    return folder;
}

void Put(const fs::path& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    fuzzsupport::Silence();
    const std::size_t rest = size - 4;
    std::size_t a = std::min<std::size_t>(data[0] | (data[1] << 8), rest);
    std::size_t b = std::min<std::size_t>(data[2] | (data[3] << 8), rest - a);
    const std::uint8_t* body = data + 4;
    Put(Folder() / "save1fz.tlm", body, a);
    Put(Folder() / "save2fz.tlm", body + a, b);
    Put(Folder() / "save3fz.tlm", body + a + b, rest - a - b);
    MGPBufManager manager;
    File file;
    if (!file.Open(Folder() / "save1fz.tlm", File::Mode::Read)) return 0;
    if (manager.AddBuffer(file)) {
        fuzzsupport::ExerciseBuffer(*manager.GetBuffer(0));
        fuzzsupport::g_sink = manager.GetTrackLen();
    }
    return 0;
}
