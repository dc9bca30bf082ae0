#pragma once

// What every fuzz target shares: messages go nowhere, and a loaded buffer is
// read back completely so that out-of-range reads show.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "morlund/core/PerfCore.h"
#include "morlund/formats/gp2/GPEnvelope.h"
#include "morlund/platform/MessageSink.h"

namespace fuzzsupport {

class SilentSink : public morlund::MessageSink {
public:
    morlund::MessageAnswer Show(const std::string&, morlund::MessageIcon,
                                morlund::MessageButtons buttons) override {
        return buttons == morlund::MessageButtons::Ok ? morlund::MessageAnswer::Ok
                                                      : morlund::MessageAnswer::No;
    }
    void SetStatusText(const std::string&) override {}
};

// Installs the silent sink once.
inline void Silence() {
    static SilentSink sink;
    morlund::SetMessageSink(&sink);
}

inline volatile double g_sink;

// Touches every channel of every sample, the lap information and the lookups by distance.
inline void ExerciseBuffer(const morlund::PerfCore& p) {
    double acc = p.InfoGetLapTime() + p.InfoGetTrackLength() + p.InfoGetLapnr();
    acc += static_cast<double>(p.InfoGetName().size() + p.InfoGetDateString().size() +
                               p.InfoGetInfo().size());
    for (int i = 0; i < p.GetSampleCount(); ++i) {
        acc += p.GetTime(i) + p.GetDistance(i) + p.GetSpeed(i) + p.GetRevs(i) + p.GetThrottle(i) +
               p.GetBrake(i) + p.GetSteering(i) + p.GetGear(i) + p.GetPosX(i) + p.GetPosY(i) +
               p.GetDrivenDistance(i) + p.GetAngle(i) + p.GetLateralAcc(i) + p.GetLongitudalAcc(i);
        for (int w = 0; w < 4; ++w) {
            acc += p.GetRideHeight(i, w) + p.GetSuspTravel(i, w) + p.GetWheelSpeed(i, w) +
                   p.GetCamber(i, w) + p.GetRHSlow(i, w) + p.GetSTSlow(i, w);
        }
    }
    acc += p.GetTime(p.GetMaxDistance() * 0.5) + p.GetTime(-1.0) + p.GetTime(1e9);
    g_sink = acc;
}

// A GP perf file around a stored body, with a valid checksum so that the
// expansion and the body parser are reached. Mode bit 1: compressed; bit 2:
// the offset form of the checksum.
inline std::vector<std::uint8_t> WrapGPBody(const std::uint8_t* body, std::size_t size,
                                            std::uint8_t mode, std::uint32_t fileId,
                                            std::uint8_t track) {
    using namespace morlund;
    std::vector<std::uint8_t> file(kGPHeaderSize, 0);
    StoreU32(file.data(), fileId);
    file[4] = static_cast<std::uint8_t>(kGPTypePerf | ((mode & 2) ? kGPTypeCompressed : 0));
    file[5] = track;
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

}  // namespace fuzzsupport
