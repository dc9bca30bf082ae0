#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "morlund/formats/BufManager.h"

namespace morlund {

// Manager of MGPRS2 laps: save1….tlm with its companions save2… and save3….
class MGPBufManager : public BufManager {
public:
    MGPBufManager() = default;

    int GetTrackCount() const override { return 17; }
    int GetTrack() const override { return m_track; }
    std::string GetTrackString(int track) const override;
    int GetPerfFilter(std::string& filter, int& count, int track) const override;
    // Sets the filter anew (count too) and preselects the current track's entry.
    int GetSetupFilter(std::string& filter, int& count) const override;
    // The longest lap plus one metre.
    double GetTrackLen() const override;

protected:
    bmErr_t ReadPerf(File& file) override;
    // Reads part 0, 1 or 2 of a lap into the pending data.
    bmErr_t DoReadPerf(int part, File& file);
    std::unique_ptr<PerfCore> CreatePerf() const override;
    std::unique_ptr<PerfCore> CreateBuffer(const std::string& fileName) override;

    int m_track = -1;
    // Between ReadPerf and CreateBuffer; the track becomes the manager's only
    // when the lap is accepted.
    std::array<std::vector<std::uint8_t>, 3> m_pending;
    int m_pendingTrack = -1;
};

}  // namespace morlund
