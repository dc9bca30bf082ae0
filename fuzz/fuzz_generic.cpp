// libFuzzer target for the generic comma-separated reader: the input is the
// whole file. Every channel of every sample is read back, including the ones
// derived from missing columns, so that out-of-range reads show.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "morlund/formats/generic/GenBufManager.h"
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

volatile double g_sink;

void Exercise(const PerfCore& p) {
    double acc = p.InfoGetLapTime() + p.InfoGetTrackLength() + p.InfoGetLapnr();
    acc += static_cast<double>(p.InfoGetName().size() + p.InfoGetDateString().size() +
                               p.InfoGetInfo().size());
    for (int i = 0; i < p.GetSampleCount(); ++i) {
        acc += p.GetTime(i) + p.GetDistance(i) + p.GetSpeed(i) + p.GetRevs(i) + p.GetThrottle(i) +
               p.GetBrake(i) + p.GetSteering(i) + p.GetGear(i) + p.GetPosX(i) + p.GetPosY(i) +
               p.GetAngle(i) + p.GetLateralAcc(i) + p.GetLongitudalAcc(i);
        for (int w = 0; w < 4; ++w) {
            acc += p.GetRideHeight(i, w) + p.GetSuspTravel(i, w) + p.GetWheelSpeed(i, w) +
                   p.GetCamber(i, w) + p.GetRHSlow(i, w);
        }
    }
    acc += p.GetTime(p.GetMaxDistance() * 0.5) + p.GetTime(-1.0) + p.GetTime(1e9);
    g_sink = acc;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static SilentSink sink;
    SetMessageSink(&sink);
    GenBufManager manager;
    File file =
        File::FromMemory(std::vector<std::uint8_t>(data, data + size), "/nonexistent-fuzz/lap.csv");
    if (manager.AddBuffer(file)) {
        Exercise(*manager.GetBuffer(0));
        (void)manager.GetTrackString(-1);
    }
    return 0;
}
