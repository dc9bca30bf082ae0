#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "morlund/setup/CarSetup.h"

namespace morlund {

// The F1RS car setup: a scrambled 736-byte file whose 144-byte setup block
// starts at byte 400. The files can be read, not written. The game names its
// setups .s1, .s2 ..., and that number is the only track information.
class F1RSCarSetup : public CarSetup {
public:
    static constexpr std::size_t kFileSize = 736;
    static constexpr std::size_t kBlockOffset = 400;
    static constexpr std::size_t kBlockSize = 144;

    F1RSCarSetup();

    void Assign(const CarSetup& other) override;
    // Reads the file (the record changes only when the whole file is accepted); saving
    // is not supported and returns 0.
    bool Serialize(File& file, bool save) override;
    bool IsValid(bool) const override { return true; }
    bool IsFromFile() const override { return m_fromFile; }
    int GetTrack() const override { return m_track; }
    void SetTrack(int track) override { m_track = track; }

    double GetFrontWing() const override { return U16(110); }
    double GetRearWing() const override { return U16(114); }
    double GetGearRatio(int gear) const override;
    void SetGearRatio(int gear, double ratio) override;
    double GetDiffRatio() const override { return 0.17097701148835712; }
    double GetBrakeBalance() const override { return U16(102) * 0.01; }
    double GetStaticRideHeight(int wheel) const override;
    double GetPackers(int wheel) const override { return WheelU32(128, wheel) * 0.001; }
    double GetSlowBump(int wheel) const override;
    double GetSlowRebound(int wheel) const override;
    // The game has one damper setting per direction: the fast values are the slow ones.
    double GetFastBump(int wheel) const override { return GetSlowBump(wheel); }
    double GetFastRebound(int wheel) const override { return GetSlowRebound(wheel); }
    double GetSpringRate(int wheel) const override { return WheelU32(0, wheel); }
    double GetFrontAntiRollBar() const override { return U32(16); }
    double GetRearAntiRollBar() const override { return U32(20); }
    double GetStaticCamber(int) const override { return 0.0; }
    double GetWheelSetupB(int) const override { return 0.0; }
    int GetDiffSetting(int, int) const override { return 5; }
    void SetDiffSetting(int, int, int) override {}
    int GetGearCount() const override { return 6; }
    double GetMaxSuspTravel(int) const override { return 0.1; }
    const std::uint8_t* GetData(int* size) const override;

    // XORs a file image with the game's two keys (its own inverse): the first 100
    // 32-bit words with 0x3a3a3a3a, the later ones with 0x5e81d4c7.
    static void Descramble(std::span<std::uint8_t> image);
    // The number after ".s" at the end of a setup file name (".s<c>" or ".s<cc>", read like
    // atoi); nothing when the name ends in neither form.
    static std::optional<int> TrackFromFileName(std::string_view name);
    // The file position of buffer wheel w (the files order right front, right rear,
    // left front, left rear); -1 for a wheel outside 0..3.
    static int FilePosition(int wheel);

protected:
    F1RSCarSetup(std::size_t fileSize, std::size_t blockSize);

    // Block fields; every offset a caller passes lies inside the block.
    std::uint16_t U16(std::size_t offset) const;
    std::uint32_t U32(std::size_t offset) const;
    std::int32_t I32(std::size_t offset) const;
    // The 32-bit field at base + 4p for buffer wheel w; 0 for a wheel outside 0..3.
    std::uint32_t WheelU32(std::size_t base, int wheel) const;
    std::int32_t WheelI32(std::size_t base, int wheel) const;
    // Stores a gear ratio as ratio x 50 at base + 4 (gear - 1).
    void StoreGearRatio(std::size_t base, int gear, double ratio);

private:
    std::size_t m_fileSize;
    std::size_t m_blockSize;
    std::array<std::uint8_t, 160> m_block{};  // the first m_blockSize bytes are used
    int m_track = -1;
    bool m_fromFile = false;
};

}  // namespace morlund
