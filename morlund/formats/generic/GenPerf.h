#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "morlund/core/PerfCore.h"

namespace morlund {

// A lap from a generic comma-separated file: a lap-information line, a line of
// column names from a fixed vocabulary and one line of values per sample.
// Channels without a column fall back to what PerfCore derives.
class GenPerf : public PerfCore {
public:
    // Column indices; a row of the file may name any of them in any order.
    enum Column : int {
        kTime = 0,
        kDist,
        kSpeed,
        kAccLong,
        kAccLat,
        kRevs,
        kThrottle,
        kBrake,
        kSteer,
        kGear,
        kRideHeight = 10,  // four wheels: lr, rr, lf, rf
        kSuspTravel = 14,
        kWheelSpeed = 18,
        kCamber = 22,
        kPosX = 26,
        kPosY,
        kColumnCount = 28,
    };
    static const std::array<std::string_view, kColumnCount> kColumnNames;

    GenPerf() = default;

    // Column index of a name (any case), -1 when the name is not in the vocabulary.
    static int FindColumn(std::string_view name);

    // The columns the file named, bit = column index.
    std::uint32_t GetColumnFlags() const { return m_columnFlags; }
    bool HasColumn(int column) const { return (m_columnFlags >> column) & 1u; }
    // Track number from the lap-information line, -1 when it has none.
    int GetTrackNumber() const { return m_track; }
    void SetFileName(std::string name) { m_fileName = std::move(name); }

    bool ReadSetup(File& file) override;
    void SaveSetup() override;

    double GetTime(int sample) const override;
    bool IsUseLatAccForAngleAndPos() const override;
    std::string InfoGetInfo() const override { return m_info; }
    std::string InfoGetName() const override { return m_fileName; }
    int InfoGetLapnr() const override { return m_lapNumber; }
    std::string InfoGetDateString() const override { return m_date; }
    double InfoGetLapTime() const override { return m_lapTime; }

    int GetSampleCount() const override { return m_sampleCount; }
    double GetDistance(int sample) const override;
    double GetSpeed(int sample) const override { return Value(kSpeed, sample); }
    double GetRevs(int sample) const override { return Value(kRevs, sample); }
    double GetThrottle(int sample) const override { return Value(kThrottle, sample) * 0.01; }
    double GetBrake(int sample) const override { return Value(kBrake, sample) * 0.01; }
    double GetSteering(int sample) const override { return Value(kSteer, sample); }
    int GetGear(int sample) const override { return m_gears.empty() ? 0 : m_gears[Index(sample)]; }
    double GetRideHeight(int sample, int wheel) const override {
        return Value(kRideHeight + wheel, sample);
    }
    double GetSuspTravel(int sample, int wheel) const override {
        return Value(kSuspTravel + wheel, sample);
    }
    double GetWheelSpeed(int sample, int wheel) const override {
        return Value(kWheelSpeed + wheel, sample);
    }
    double GetCamber(int sample, int wheel) const override {
        return Value(kCamber + wheel, sample);
    }
    double GetPosX(int sample) const override;
    double GetPosY(int sample) const override;
    double GetLongitudalAcc(int sample) const override;
    double GetLateralAcc(int sample) const override;

protected:
    bool InitData(const std::uint8_t* data, std::size_t size) override;
    std::unique_ptr<CarSetup> CreateSetup() const override;
    std::unique_ptr<Physics> CreatePhysics() const override;

private:
    bool Parse(const std::uint8_t* data, std::size_t size);
    static std::size_t Index(int sample) { return static_cast<std::size_t>(sample); }
    // The column's value, 0 for a column the file did not name.
    double Value(int column, int sample) const {
        const std::vector<double>& values = m_columns[static_cast<std::size_t>(column)];
        return values.empty() ? 0.0 : values[Index(sample)];
    }

    std::string m_info;
    std::string m_date;
    double m_lapTime = 0.0;
    int m_track = -1;
    int m_lapNumber = 0;
    std::string m_fileName;
    std::uint32_t m_columnFlags = 0;
    int m_sampleCount = 0;
    // One vector per column, empty for columns the file does not name: only the
    // named columns cost memory.
    std::array<std::vector<double>, kColumnCount> m_columns;
    std::vector<int> m_gears;
    std::vector<double> m_distance;  // integrated from speed when the file has no dist column
};

}  // namespace morlund
