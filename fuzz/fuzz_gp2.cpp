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

#include "morlund/formats/gp2/GP2BufManager.h"
#include "morlund/formats/gp2/GPEnvelope.h"
#include "morlund/platform/File.h"
#include "morlund/platform/MessageSink.h"

using namespace morlund;

namespace {

class SilentSink : public MessageSink {
public:
    MessageAnswer Show(const std::string&, MessageIcon, MessageButtons buttons) override {
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    }
    void SetStatusText(const std::string&) override {}
};

std::vector<std::uint8_t> Wrap(const std::uint8_t* body, std::size_t size, std::uint8_t mode) {
    std::vector<std::uint8_t> file(kGPHeaderSize, 0);
    StoreU32(file.data(), kGPFileIdGP2);
    file[4] = static_cast<std::uint8_t>(kGPTypePerf | ((mode & 2) ? kGPTypeCompressed : 0));
    file[5] = 3;
    file.insert(file.end(), body, body + size);
    GPChecksum sum;
    sum.Add(ByteSpan(file.data(), file.size()));
    std::uint16_t w1 = sum.s1;
    std::uint16_t w2 = sum.s2;
    if (mode & 4) {
        w1 = static_cast<std::uint16_t>(w1 + 0x8065);
        w2 = static_cast<std::uint16_t>(w2 + 0x8465);
    }
    file.resize(file.size() + 4);
    StoreU16(file.data() + file.size() - 4, w1);
    StoreU16(file.data() + file.size() - 2, w2);
    return file;
}

volatile double g_sink;

// Touches every channel of every sample so that out-of-range reads show.
void Exercise(const PerfCore& p) {
    double acc = p.InfoGetLapTime() + p.InfoGetTrackLength() + p.InfoGetLapnr();
    acc += static_cast<double>(p.InfoGetName().size() + p.InfoGetDateString().size() +
                               p.InfoGetInfo().size());
    for (int i = 0; i < p.GetSampleCount(); ++i) {
        acc += p.GetDistance(i) + p.GetSpeed(i) + p.GetRevs(i) + p.GetThrottle(i) + p.GetBrake(i) +
               p.GetSteering(i) + p.GetGear(i) + p.GetPosX(i) + p.GetPosY(i) +
               p.GetDrivenDistance(i) + p.GetAngle(i) + p.GetLateralAcc(i);
        for (int w = 0; w < 4; ++w) {
            acc += p.GetRideHeight(i, w) + p.GetSuspTravel(i, w) + p.GetWheelSpeed(i, w) +
                   p.GetRHSlow(i, w) + p.GetSTSlow(i, w);
        }
    }
    acc += p.GetTime(p.GetMaxDistance() * 0.5) + p.GetTime(-1.0) + p.GetTime(1e9);
    g_sink = acc;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static SilentSink sink;
    SetMessageSink(&sink);
    const std::uint8_t mode = data[0];
    std::vector<std::uint8_t> bytes = (mode & 1) ? Wrap(data + 1, size - 1, mode)
                                                 : std::vector<std::uint8_t>(data + 1, data + size);
    GP2BufManager manager;
    File file = File::FromMemory(std::move(bytes), "/nonexistent-fuzz/lap.pad");
    if (manager.AddBuffer(file)) {
        Exercise(*manager.GetBuffer(0));
        (void)manager.GetTrackChecksum();
        (void)manager.HasExtended();
    }
    return 0;
}
