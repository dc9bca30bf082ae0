#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "morlund/core/PerfCore.h"

namespace morlund {

// A GP2 lap: 25-byte samples, optionally with the position extension
// (versions 5 to 7) that adds precise positions and finer wheel speeds.
class GP2Perf : public PerfCore {
public:
    static constexpr std::size_t kSampleSize = 25;
    static constexpr std::size_t kBodyHeaderSize = 32;
    static constexpr std::uint32_t kExtensionSignature = 0xde510d90;

    GP2Perf() = default;

    bool ReadSetup(File& file) override;
    void SaveSetup() override;

    std::string InfoGetInfo() const override;
    std::string InfoGetName() const override;
    int InfoGetLapnr() const override { return m_header[7]; }
    std::string InfoGetDateString() const override;
    double InfoGetLapTime() const override;
    double InfoGetTrackLength() const override;

    int GetSampleCount() const override { return m_sampleCount; }
    double GetDistance(int sample) const override;
    double GetSpeed(int sample) const override;
    double GetRevs(int sample) const override;
    double GetThrottle(int sample) const override;
    double GetBrake(int sample) const override;
    double GetSteering(int sample) const override;
    int GetGear(int sample) const override;
    double GetRideHeight(int sample, int wheel) const override;
    double GetSuspTravel(int sample, int wheel) const override;
    double GetWheelSpeed(int sample, int wheel) const override;
    double GetCamber(int, int) const override { return 0.0; }
    double GetPosX(int sample) const override;
    double GetPosY(int sample) const override;
    double GetDrivenDistance(int sample) const override;

    bool HasExtension() const { return m_extended; }
    int GetVersion() const { return m_version; }
    // The track checksum (stored, or from the table for early extension versions).
    std::uint32_t GetTrackChecksum() const { return m_trackChecksum; }
    // The extension's 48-byte block (versions 6 and 7), kept uninterpreted.
    const std::array<std::uint8_t, 48>* GetExtraBlock() const {
        return m_hasExtraBlock ? &m_extraBlock : nullptr;
    }

    // Day count since 1 January 1978 as day, month and year.
    struct Date {
        int day, month, year;
    };
    static Date DaysToDate(unsigned days);

protected:
    bool InitData(const std::uint8_t* data, std::size_t size) override;
    void TryLoadSetup() override;
    std::unique_ptr<CarSetup> CreateSetup() const override;
    std::unique_ptr<Physics> CreatePhysics() const override;

    const std::uint8_t* Sample(int i) const {
        return m_samples.data() + m_sampleSize * static_cast<std::size_t>(i);
    }
    const std::uint8_t* Position(int i) const { return m_positions.data() + 12 * i; }

    // Parses the 32-byte body header and the samples of m_sampleSize bytes; false
    // (nothing kept) when the samples do not fit into the body.
    bool ParseSamples(const std::uint8_t* data, std::size_t size);

    std::size_t m_sampleSize = kSampleSize;  // the later games store longer samples
    std::array<std::uint8_t, 32> m_header{};
    int m_sampleCount = 0;
    std::vector<std::uint8_t> m_samples;

private:
    bool ParseExtension(const std::uint8_t* data, std::size_t size);

    bool m_extended = false;
    int m_version = 0;
    std::uint32_t m_trackChecksum = 0;
    std::vector<std::uint8_t> m_positions;  // 12-byte records: x, y, wheel-speed low bytes
    std::array<std::uint8_t, 48> m_extraBlock{};
    bool m_hasExtraBlock = false;
    std::vector<double> m_drivenDistance;
};

}  // namespace morlund
