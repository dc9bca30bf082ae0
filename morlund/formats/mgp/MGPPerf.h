#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "morlund/core/PerfCore.h"
#include "morlund/formats/f1rs/TlmStream.h"
#include "morlund/platform/ByteOrder.h"

namespace morlund {

// An MGPRS2 lap: three files (save1…, save2…, save3….tlm) with one record
// stream each: engine and speed, suspension, driver inputs.
class MGPPerf : public PerfCore {
public:
    static constexpr std::size_t kHeaderSize = 32;
    static constexpr std::size_t kRecordSizes[3] = {14, 18, 6};

    MGPPerf() = default;

    void SetName(std::string name) { m_name = std::move(name); }
    // The sizes of the three parts in the image that Init receives: the files
    // one after the other. Must be set before Init.
    void SetPartSizes(const std::array<std::size_t, 3>& sizes) { m_partSizes = sizes; }

    using PerfCore::GetTime;  // the time at a distance
    double GetTime(int sample) const override;
    double GetMaxDistance() const override;
    std::string InfoGetInfo() const override { return "MGPRS2 Telemetry File"; }
    std::string InfoGetName() const override { return m_name; }
    int InfoGetLapnr() const override { return m_header[5]; }
    std::string InfoGetDateString() const override;
    double InfoGetLapTime() const override;
    double InfoGetTrackLength() const override { return GetMaxDistance(); }

    int GetSampleCount() const override;
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
    double GetCamber(int sample, int wheel) const override;
    double GetPosX(int) const override { return 0.0; }
    double GetPosY(int) const override { return 0.0; }
    double GetLongitudalTyreForce(int, int) const override { return 0.0; }
    double GetLateralTyreForce(int, int) const override { return 0.0; }

protected:
    bool InitData(const std::uint8_t* data, std::size_t size) override;
    std::unique_ptr<CarSetup> CreateSetup() const override;
    std::unique_ptr<Physics> CreatePhysics() const override;

private:
    const std::uint8_t* Rec(int s, int sample) const {
        return m_streams.stream[s].Record(m_streams.RecordOf(s, sample));
    }
    std::array<std::size_t, 3> m_partSizes{};
    std::array<std::uint8_t, kHeaderSize> m_header{};
    TlmStreams m_streams{TlmStream(14, 0), TlmStream(18, 0), TlmStream(6, 0)};
    std::string m_name;
};

// The lap time in ms that the first part's header holds as decimal texts:
// minutes at 21, seconds at 24, milliseconds at 28, each read like atoi and
// never beyond the header's 32 bytes (fewer bytes: the missing texts read 0).
long long MGPHeaderLapTimeMs(ByteSpan header);

}  // namespace morlund
