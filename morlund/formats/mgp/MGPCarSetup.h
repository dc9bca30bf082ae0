#pragma once

#include <cstddef>

#include "morlund/formats/f1rs/F1RSCarSetup.h"

namespace morlund {

// The MGPRS2 car setup: scrambled like F1RS, a 764-byte file with a 160-byte
// setup block at byte 400. Springs and dampers sit where F1RS has them; the
// other fields moved and several are 16.16 fixed-point numbers.
class MGPCarSetup : public F1RSCarSetup {
public:
    static constexpr std::size_t kFileSize = 764;
    static constexpr std::size_t kBlockSize = 160;

    MGPCarSetup();

    double GetFrontWing() const override { return I32(124) / 65536.0; }
    double GetRearWing() const override { return I32(128) / 65536.0; }
    double GetGearRatio(int gear) const override;
    void SetGearRatio(int gear, double ratio) override;
    double GetBrakeBalance() const override { return U16(118) * 0.01; }
    double GetStaticRideHeight(int wheel) const override;
    double GetPackers(int wheel) const override { return WheelU32(144, wheel) * 0.001; }
    double GetFrontAntiRollBar() const override { return U32(16) * 0.01; }
    double GetRearAntiRollBar() const override { return U32(20) * 0.01; }
    double GetStaticCamber(int wheel) const override { return WheelI32(56, wheel) / 65536.0; }
    double GetWheelSetupB(int wheel) const override { return WheelI32(72, wheel) / 65536.0; }
};

}  // namespace morlund
