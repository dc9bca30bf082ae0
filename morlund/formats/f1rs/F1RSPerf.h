#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "morlund/core/PerfCore.h"
#include "morlund/formats/f1rs/TlmStream.h"

namespace morlund {

// An F1RS lap: one .tlm file with three record streams (engine and speed,
// suspension, driver inputs), and when the game is installed the car's path
// from the replay ("scope") file of the same lap.
class F1RSPerf : public PerfCore {
public:
    static constexpr std::size_t kHeaderSize = 24;  // the first count follows
    static constexpr std::size_t kMinSize = 32;     // header, count, something more
    static constexpr std::size_t kRecordSizes[3] = {12, 24, 12};
    static constexpr std::size_t kScopeRecordSize = 106;

    F1RSPerf() = default;

    void SetName(std::string name) { m_name = std::move(name); }

    using PerfCore::GetTime;  // the time at a distance
    double GetTime(int sample) const override;
    double GetMaxDistance() const override;
    std::string InfoGetInfo() const override;
    std::string InfoGetName() const override { return m_name; }
    int InfoGetLapnr() const override { return m_header[1]; }
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
    // Computed from revs, gear and the setup's gear ratio when the setup came from a file.
    double GetWheelSpeed(int sample, int wheel) const override;
    double GetCamber(int sample, int wheel) const override;
    double GetPosX(int sample) const override;
    double GetPosY(int sample) const override;
    double GetLongitudalTyreForce(int, int) const override { return 0.0; }
    double GetLateralTyreForce(int, int) const override { return 0.0; }

    bool HasPositions() const { return !m_scope.empty(); }
    // The track stored in the file (0-based; -1 when byte 0 is 0).
    int GetFileTrack() const { return m_header[0] - 1; }
    // The lap time in whole milliseconds, as the scope file's name uses it.
    std::uint32_t GetLapTimeMs() const;

    // The game's installation folder from its initialisation file, ending in a
    // separator; empty when the game is not installed.
    static std::string GetGameDirectory();
    // The scope file of a lap inside the installation folder, as a path of this system.
    static std::filesystem::path GetScopePath(const std::string& gameDirectory, int track,
                                              std::uint32_t lapTimeMs);

protected:
    bool InitData(const std::uint8_t* data, std::size_t size) override;
    std::unique_ptr<CarSetup> CreateSetup() const override;
    std::unique_ptr<Physics> CreatePhysics() const override;

private:
    const std::uint8_t* Rec(int s, int sample) const {
        return m_streams.stream[s].Record(m_streams.RecordOf(s, sample));
    }
    void TryLoadScope();
    bool LoadScope(const std::filesystem::path& path);

    std::array<std::uint8_t, kHeaderSize> m_header{};
    TlmStreams m_streams{TlmStream(12, 4), TlmStream(24, 4), TlmStream(12, 4)};
    std::vector<std::array<std::int32_t, 2>> m_scope;  // x, y of the scope records
    std::string m_name;
};

}  // namespace morlund
