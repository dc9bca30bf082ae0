#pragma once

#include <array>
#include <cstdint>

#include "morlund/setup/CarSetup.h"

namespace morlund {

// The GP2 car setup: a 48-byte record in a file with the GP envelope
// (32-byte header, record, two checksum words: 84 bytes).
class GP2CarSetup : public CarSetup {
public:
    static constexpr std::size_t kRecordSize = 48;

    GP2CarSetup();

    void Assign(const CarSetup& other) override;
    bool Serialize(File& file, bool save) override;
    bool IsValid(bool quiet) const override;
    bool IsFromFile() const override { return m_fromFile; }
    int GetTrack() const override { return m_header[5]; }
    void SetTrack(int track) override;

    double GetFrontWing() const override { return m_record[0]; }
    double GetRearWing() const override { return m_record[1]; }
    double GetGearRatio(int gear) const override;
    void SetGearRatio(int gear, double ratio) override;
    double GetDiffRatio() const override { return 0.17097701148835712; }
    double GetBrakeBalance() const override { return 0.5 + m_record[9] * 0.00125; }
    double GetStaticRideHeight(int wheel) const override { return WheelByte(40, wheel) * 0.0005; }
    double GetPackers(int wheel) const override { return WheelByte(16, wheel) * 0.001; }
    double GetSlowBump(int wheel) const override { return 1.0 - WheelByte(28, wheel) / 24.0; }
    double GetSlowRebound(int wheel) const override { return 1.0 - WheelByte(32, wheel) / 24.0; }
    double GetFastBump(int wheel) const override { return 1.0 - WheelByte(20, wheel) / 8.0; }
    double GetFastRebound(int wheel) const override { return 1.0 - WheelByte(24, wheel) / 8.0; }
    double GetSpringRate(int wheel) const override;
    double GetFrontAntiRollBar() const override;
    double GetRearAntiRollBar() const override;
    double GetStaticCamber(int) const override { return 0.0; }
    double GetWheelSetupB(int) const override { return 0.0; }
    int GetDiffSetting(int, int) const override { return 5; }
    void SetDiffSetting(int, int, int) override {}
    int GetGearCount() const override { return 6; }
    double GetMaxSuspTravel(int wheel) const override { return wheel < 2 ? 0.08 : 0.04; }
    const std::uint8_t* GetData(int* size) const override;
    bool SetRecordByte(int offset, std::uint8_t value) override;

    // Pounds per inch to newtons per metre.
    static constexpr double kLbPerInch = 4.4497179 * 39.37007874015748;

protected:
    // The per-wheel byte at base + wheel; 0 for a wheel number outside 0..3.
    int WheelByte(int base, int wheel) const {
        return wheel >= 0 && wheel < 4 ? m_record[static_cast<std::size_t>(base + wheel)] : 0;
    }

    // A ratio in record steps, rounded and limited to 0..highest (NaN gives 0).
    static int RoundToStep(double value, int highest);

    // The layout of the GP family: record size and file id differ per game.
    GP2CarSetup(std::uint32_t fileId, std::size_t recordSize, const std::uint8_t* initial);

    std::uint32_t m_fileId;
    std::size_t m_recordSize;
    std::array<std::uint8_t, 32> m_header{};
    std::array<std::uint8_t, 64> m_record{};  // the first m_recordSize bytes are used
    bool m_fromFile = false;
};

}  // namespace morlund
