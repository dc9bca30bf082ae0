#pragma once

#include "morlund/setup/CarSetup.h"

namespace morlund {

// Generic perf files carry no setup: the record answers fixed values of a
// plausible car so that derived channels still have something to work with.
class GenCarSetup : public CarSetup {
public:
    GenCarSetup() = default;

    void Assign(const CarSetup& other) override;
    bool Serialize(File&, bool) override { return false; }
    // Always 0: "Setups not supported for generic perf type" unless quiet.
    bool IsValid(bool quiet) const override;
    bool IsFromFile() const override { return false; }
    int GetTrack() const override { return m_track; }
    void SetTrack(int track) override { m_track = track; }

    double GetFrontWing() const override { return 15.0; }
    double GetRearWing() const override { return 15.0; }
    double GetGearRatio(int gear) const override;
    void SetGearRatio(int, double) override {}
    double GetDiffRatio() const override { return 0.25; }
    double GetBrakeBalance() const override { return 0.625; }
    double GetStaticRideHeight(int) const override { return 0.065; }
    double GetPackers(int) const override { return 0.0; }
    double GetSlowBump(int) const override { return 0.0; }
    double GetSlowRebound(int) const override { return 0.0; }
    double GetFastBump(int) const override { return 0.0; }
    double GetFastRebound(int) const override { return 0.0; }
    double GetSpringRate(int) const override { return 175185.74409448818; }
    double GetFrontAntiRollBar() const override { return 0.0; }
    double GetRearAntiRollBar() const override { return 0.0; }
    double GetStaticCamber(int) const override { return 0.0; }
    double GetWheelSetupB(int) const override { return 0.0; }
    int GetDiffSetting(int, int) const override { return 5; }
    void SetDiffSetting(int, int, int) override {}
    int GetGearCount() const override { return 1; }
    double GetMaxSuspTravel(int) const override { return 0.1; }
    const std::uint8_t* GetData(int* size) const override;

private:
    int m_track = -1;
};

}  // namespace morlund
