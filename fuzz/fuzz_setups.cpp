// libFuzzer target for the car setup readers of every game.
//
// Input byte 0 chooses the record (low three bits: GP2, GP3, GP4, F1RS, MGPRS2,
// LFS, Generic, GP3 again) and the file name (bits 3..5, for the F1RS and MGPRS2
// track number); the rest is the file. LFS has no setup file, so its record is
// filled from the rest as a replay header instead.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "morlund/formats/f1rs/F1RSCarSetup.h"
#include "morlund/formats/generic/GenCarSetup.h"
#include "morlund/formats/gp2/GP2CarSetup.h"
#include "morlund/formats/gp3/GP3CarSetup.h"
#include "morlund/formats/gp3/GP4CarSetup.h"
#include "morlund/formats/lfs/LFSCarSetup.h"
#include "morlund/formats/mgp/MGPCarSetup.h"
#include "morlund/platform/File.h"
#include "morlund/platform/MessageSink.h"

using namespace morlund;

namespace {

std::unique_ptr<CarSetup> MakeRecord(int kind) {
    switch (kind) {
        case 0:
            return std::make_unique<GP2CarSetup>();
        case 2:
            return std::make_unique<GP4CarSetup>();
        case 3:
            return std::make_unique<F1RSCarSetup>();
        case 4:
            return std::make_unique<MGPCarSetup>();
        case 5:
            return std::make_unique<LFSCarSetup>();
        case 6:
            return std::make_unique<GenCarSetup>();
        default:
            return std::make_unique<GP3CarSetup>();
    }
}

const std::array<const char*, 8> kNames = {"/fuzz/car.csd",  "/fuzz/setup.s1", "/fuzz/setup.s12",
                                           "/fuzz/SETUP.S9", "/fuzz/x.s",      "/fuzz/s",
                                           "/fuzz/a.s-1",    "/fuzz/a.s 7"};

volatile double g_sink;

// Reads every accessor so that out-of-range reads show.
void Exercise(const CarSetup& s) {
    double acc = s.IsValid(true) + s.IsFromFile() + s.GetTrack() + s.GetFrontWing() +
                 s.GetRearWing() + s.GetDiffRatio() + s.GetBrakeBalance() +
                 s.GetFrontAntiRollBar() + s.GetRearAntiRollBar() + s.GetGearCount();
    for (int gear = -1; gear <= 8; ++gear)
        acc += s.GetGearRatio(gear);
    for (int w = 0; w < 4; ++w) {
        acc += s.GetStaticRideHeight(w) + s.GetPackers(w) + s.GetSlowBump(w) + s.GetSlowRebound(w) +
               s.GetFastBump(w) + s.GetFastRebound(w) + s.GetSpringRate(w) + s.GetStaticCamber(w) +
               s.GetWheelSetupB(w) + s.GetMaxSuspTravel(w);
    }
    for (int which = 0; which < 2; ++which)
        for (int part = 0; part < 2; ++part)
            acc += s.GetDiffSetting(which, part);
    int size = 0;
    const std::uint8_t* data = s.GetData(&size);
    for (int i = 0; i < size; ++i)
        acc += data[i];
    g_sink = acc;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    fuzzsupport::Silence();
    const int kind = data[0] & 7;
    const char* name = kNames[(data[0] >> 3) & 7];
    std::unique_ptr<CarSetup> record = MakeRecord(kind);
    if (kind == 5) {
        static_cast<LFSCarSetup&>(*record).Fill(ByteSpan(data + 1, size - 1));
    } else {
        File file = File::FromMemory(std::vector<std::uint8_t>(data + 1, data + size), name);
        (void)record->Serialize(file, false);
    }
    (void)record->IsValid(true);
    Exercise(*record);

    // Edits on what was read: the setters must keep the record readable.
    std::unique_ptr<CarSetup> copy = MakeRecord(kind);
    copy->Assign(*record);
    const double ratio = size > 1 ? data[1] / 37.0 : 0.0;
    for (int gear = -1; gear <= 8; ++gear)
        copy->SetGearRatio(gear, ratio * gear);
    copy->SetDiffSetting(size & 1, (size >> 1) & 1, size > 2 ? data[2] - 8 : 0);
    Exercise(*copy);
    return 0;
}
