#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "morlund/core/PerfCore.h"

namespace morlund {

// A lap from an LFS Replay Analyser file: the 1024-byte header and one record
// per sample. A record keeps the car state (the first 64 bytes of a data block)
// and, from 64 + 32j, the first 32 bytes of wheel sub-block j. Buffer wheels
// reach their sub-block through the wheel map built from the header.
class LFSPerf : public PerfCore {
public:
    static constexpr std::size_t kRecordSize = 192;
    static constexpr std::size_t kCarStateSize = 64;
    static constexpr std::size_t kWheelRecordSize = 32;

    LFSPerf() = default;

    void SetFileName(std::string name) { m_fileName = std::move(name); }
    // Seconds since 1970 of the file's creation, -1 when unknown.
    void SetCreationTime(std::int64_t seconds) { m_created = seconds; }
    // With the track length unknown, distances are stretched so that the last sample lands
    // on this length (the manager's track length). Rebuilds what was built from the old
    // distances.
    void SetScaleLength(double length);
    bool IsTrackLengthKnown() const { return m_trackLength > 0.0; }

    const std::array<std::uint8_t, 1024>& GetHeader() const { return m_header; }
    // Header wheel block of each buffer wheel.
    const std::array<int, 4>& GetWheelMap() const { return m_wheelMap; }
    // Time between samples: header byte 9 in milliseconds, 10 ms when it holds 0.
    double GetSampleInterval() const;

    double GetFrameTime() const override { return GetSampleInterval(); }
    double GetMaxDistance() const override;
    using PerfCore::GetTime;  // the time at a distance
    double GetTime(int sample) const override;
    void InfoGetInfoItemNames(std::vector<std::string>& names) const override;
    void InfoGetInfoItemValues(std::vector<std::string>& values) const override;
    std::string InfoGetInfo() const override;
    std::string InfoGetName() const override { return m_fileName; }
    int InfoGetLapnr() const override { return -1; }
    std::string InfoGetDateString() const override;
    double InfoGetLapTime() const override;
    double InfoGetTrackLength() const override;
    std::vector<double> GetSplitTimes() const override;

    int GetSampleCount() const override { return m_count; }
    double GetDistance(int sample) const override;
    double GetSpeed(int sample) const override { return Float(sample, 24); }
    double GetRevs(int sample) const override { return Float(sample, 44); }
    double GetThrottle(int sample) const override { return Float(sample, 0); }
    double GetBrake(int sample) const override { return Float(sample, 4); }
    double GetSteering(int sample) const override { return Float(sample, 8); }
    int GetGear(int sample) const override { return Rec(sample)[20] - 1; }
    // The file has no ride heights.
    double GetRideHeight(int, int) const override { return 0.1; }
    double GetSuspTravel(int sample, int wheel) const override;
    double GetWheelSpeed(int sample, int wheel) const override;
    double GetCamber(int sample, int wheel) const override { return WheelFloat(sample, wheel, 24); }
    double GetPosX(int sample) const override { return Fixed(sample, 32); }
    double GetPosY(int sample) const override { return Fixed(sample, 36); }
    double GetPosZ(int sample) const override { return Fixed(sample, 40); }
    double GetDrivenDistance(int sample) const override { return Float(sample, 28); }
    double GetAngleImpl(int sample) const override;
    double GetAcceleration(int sample) const override;
    double GetLongitudalAcc(int sample) const override;
    double GetLateralAcc(int sample) const override;
    double GetLongAccDiff(int) const override { return 0.0; }
    double GetTyreLoad(int sample, int wheel, const CarSetup&) const override {
        return WheelFloat(sample, wheel, 16);
    }
    void GetTyreLoads(int first, int end, int wheel, const CarSetup&, double* out) const override {
        for (int i = first; i < end; ++i)
            *out++ = WheelFloat(i, wheel, 16);
    }
    double GetLongitudalTyreForce(int sample, int wheel) const override {
        return WheelFloat(sample, wheel, 12);
    }
    double GetLateralTyreForce(int sample, int wheel) const override {
        return WheelFloat(sample, wheel, 8);
    }

protected:
    bool InitData(const std::uint8_t* data, std::size_t size) override;
    std::unique_ptr<CarSetup> CreateSetup() const override;
    std::unique_ptr<Physics> CreatePhysics() const override;
    void TryLoadSetup() override;

private:
    const std::uint8_t* Rec(int sample) const {
        return m_records.data() + kRecordSize * static_cast<std::size_t>(sample);
    }
    double Float(int sample, std::size_t offset) const;
    double Fixed(int sample, std::size_t offset) const;
    // A float of the wheel sub-block that the wheel map gives the buffer wheel.
    double WheelFloat(int sample, int wheel, std::size_t offset) const;
    int Block(int wheel) const { return m_wheelMap[static_cast<std::size_t>(wheel & 3)]; }
    // Unit vectors of the car's right and forward directions in the plane.
    Vect Right(int sample) const;
    Vect Forward(int sample) const;
    int SplitCount() const;
    std::uint32_t Split(int j) const;

    std::array<std::uint8_t, 1024> m_header{};
    std::array<int, 4> m_wheelMap = {0, 1, 2, 3};
    std::array<double, 4> m_travel{};  // per header wheel block
    std::vector<std::uint8_t> m_records;
    int m_count = 0;
    double m_trackLength = 0.0;  // header's, 0 or less when unknown
    double m_scaleLength = 0.0;  // with the length unknown: where the last sample lands
    std::string m_fileName;
    std::int64_t m_created = -1;
};

}  // namespace morlund
