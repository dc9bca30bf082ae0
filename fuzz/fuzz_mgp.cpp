// libFuzzer target for the MGPRS2 telemetry reader and its three parts.
//
// Input bytes 0-3 are two little-endian 16-bit cut points that split the rest
// into the files save1, save2 and save3; they are written to a private folder
// (in memory where possible) so that the reader finds the parts by name.

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "morlund/formats/mgp/MGPBufManager.h"
#include "morlund/platform/File.h"
#include "morlund/platform/MessageSink.h"

using namespace morlund;
namespace fs = std::filesystem;

namespace {

class SilentSink : public MessageSink {
public:
    MessageAnswer Show(const std::string&, MessageIcon, MessageButtons buttons) override {
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    }
    void SetStatusText(const std::string&) override {}
};

volatile double g_sink;

void Exercise(const PerfCore& p) {
    double acc = p.InfoGetLapTime() + p.InfoGetTrackLength() + p.InfoGetLapnr();
    acc += static_cast<double>(p.InfoGetName().size() + p.InfoGetDateString().size() +
                               p.InfoGetInfo().size());
    for (int i = 0; i < p.GetSampleCount(); ++i) {
        acc += p.GetDistance(i) + p.GetSpeed(i) + p.GetRevs(i) + p.GetThrottle(i) + p.GetBrake(i) +
               p.GetSteering(i) + p.GetGear(i) + p.GetTime(i) + p.GetAngle(i) + p.GetLateralAcc(i);
        for (int w = 0; w < 4; ++w) {
            acc += p.GetRideHeight(i, w) + p.GetSuspTravel(i, w) + p.GetWheelSpeed(i, w) +
                   p.GetCamber(i, w) + p.GetRHSlow(i, w);
        }
    }
    acc += p.GetTime(p.GetMaxDistance() * 0.5);
    g_sink = acc;
}

const fs::path& Folder() {
    static const fs::path folder = [] {
        const fs::path base =
            fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        fs::path f = base / ("fuzz_mgp_" + std::to_string(::getpid()));
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
    static SilentSink sink;
    SetMessageSink(&sink);
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
        Exercise(*manager.GetBuffer(0));
        g_sink = manager.GetTrackLen();
    }
    return 0;
}
