// libFuzzer target for the F1RS telemetry reader: the input is a whole .tlm file.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "morlund/formats/f1rs/F1RSBufManager.h"
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

// Touches every channel of every sample so that out-of-range reads show.
void Exercise(const PerfCore& p) {
    double acc = p.InfoGetLapTime() + p.InfoGetTrackLength() + p.InfoGetLapnr();
    acc += static_cast<double>(p.InfoGetName().size() + p.InfoGetDateString().size() +
                               p.InfoGetInfo().size());
    for (int i = 0; i < p.GetSampleCount(); ++i) {
        acc += p.GetDistance(i) + p.GetSpeed(i) + p.GetRevs(i) + p.GetThrottle(i) + p.GetBrake(i) +
               p.GetSteering(i) + p.GetGear(i) + p.GetPosX(i) + p.GetPosY(i) + p.GetTime(i) +
               p.GetAngle(i) + p.GetLateralAcc(i);
        for (int w = 0; w < 4; ++w) {
            acc += p.GetRideHeight(i, w) + p.GetSuspTravel(i, w) + p.GetWheelSpeed(i, w) +
                   p.GetCamber(i, w) + p.GetRHSlow(i, w) + p.GetSTSlow(i, w);
        }
    }
    acc += p.GetTime(p.GetMaxDistance() * 0.5) + p.GetTime(-1.0) + p.GetTime(1e9);
    g_sink = acc;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static SilentSink sink;
    SetMessageSink(&sink);
    F1RSBufManager manager;
    File file =
        File::FromMemory(std::vector<std::uint8_t>(data, data + size), "/nonexistent-fuzz/lap.tlm");
    if (manager.AddBuffer(file)) {
        Exercise(*manager.GetBuffer(0));
        g_sink = manager.GetTrackLen() + manager.HasGhost();
    }
    return 0;
}
