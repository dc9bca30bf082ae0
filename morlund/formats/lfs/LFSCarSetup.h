#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "morlund/platform/ByteOrder.h"
#include "morlund/setup/CarSetup.h"

namespace morlund {

// The LFS car setup. LFS writes no setup file: the record is filled from the
// 1024-byte header of a Replay Analyser file.
//
// Record layout (237 bytes, little-endian): 0 rear anti-roll bar, 4 front
// anti-roll bar, 8 final drive (floats), 12 gear count (byte), 13 + 4i the six
// gear ratios (floats, engine turns per output turn), then per buffer wheel w
// at 37 + 50w the first 50 bytes of the header wheel block the wheel map gives
// it (travel at 20, tyre type at 29, spring at 32, dampers at 36 and 40, one
// further value at 44).
class LFSCarSetup : public CarSetup {
public:
    static constexpr std::size_t kRecordSize = 237;
    static constexpr std::size_t kHeaderSize = 1024;

    LFSCarSetup() = default;

    // Fills the record from a replay header; wheelMap[w] is the header wheel block of buffer
    // wheel w. False, and the record unchanged, when the header is shorter than 1024 bytes or
    // a map entry is outside 0..3.
    bool Fill(ByteSpan header, const std::array<int, 4>& wheelMap);
    // The same with the wheel map of the header itself (raf::MapWheels).
    bool Fill(ByteSpan header);

    void Assign(const CarSetup& other) override;
    // LFS setups are neither read nor written.
    bool Serialize(File&, bool) override { return false; }
    bool IsValid(bool) const override { return true; }
    bool IsFromFile() const override { return false; }
    int GetTrack() const override { return m_track; }
    void SetTrack(int track) override { m_track = track; }

    double GetFrontWing() const override { return 0.0; }
    double GetRearWing() const override { return 0.0; }
    double GetGearRatio(int gear) const override;
    void SetGearRatio(int gear, double ratio) override;
    double GetDiffRatio() const override;
    double GetBrakeBalance() const override { return 0.7; }
    double GetStaticRideHeight(int wheel) const override { return GetMaxSuspTravel(wheel); }
    double GetPackers(int) const override { return 0.0; }
    double GetSlowBump(int wheel) const override { return WheelFloat(wheel, 36); }
    double GetSlowRebound(int wheel) const override { return WheelFloat(wheel, 40); }
    // One damper setting per direction: the fast values are the slow ones.
    double GetFastBump(int wheel) const override { return GetSlowBump(wheel); }
    double GetFastRebound(int wheel) const override { return GetSlowRebound(wheel); }
    double GetSpringRate(int wheel) const override { return WheelFloat(wheel, 32); }
    double GetFrontAntiRollBar() const override { return LoadF32(m_record.data() + 4); }
    double GetRearAntiRollBar() const override { return LoadF32(m_record.data()); }
    double GetStaticCamber(int) const override { return 0.0; }
    double GetWheelSetupB(int) const override { return 0.0; }
    int GetDiffSetting(int, int) const override { return 5; }
    void SetDiffSetting(int, int, int) override {}
    int GetGearCount() const override;
    double GetMaxSuspTravel(int wheel) const override { return WheelFloat(wheel, 20); }
    const std::uint8_t* GetData(int* size) const override;

    // The tyre type byte of a wheel (0 for a wheel outside 0..3).
    int GetTyreType(int wheel) const;

private:
    double WheelFloat(int wheel, std::size_t offset) const;

    std::array<std::uint8_t, kRecordSize> m_record{};
    int m_track = -1;
};

}  // namespace morlund
