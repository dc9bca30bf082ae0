#pragma once

#include <cstdint>
#include <vector>

#include "morlund/formats/BufManager.h"

namespace morlund {

// Manager of F1RS laps (.tlm files).
class F1RSBufManager : public BufManager {
public:
    F1RSBufManager() = default;

    int GetTrackCount() const override { return 16; }
    int GetTrack() const override { return m_track; }
    std::string GetTrackString(int track) const override;
    int GetPerfFilter(std::string& filter, int& count, int track) const override;
    int GetSetupFilter(std::string& filter, int& count) const override;
    // The longest lap plus one metre.
    double GetTrackLen() const override;

    // Whether buffer 0 has positions from its scope file.
    bool HasGhost() const;

protected:
    bmErr_t ReadPerf(File& file) override;
    std::unique_ptr<PerfCore> CreatePerf() const override;
    std::unique_ptr<PerfCore> CreateBuffer(const std::string& fileName) override;

    int m_track = -1;
    // Between ReadPerf and CreateBuffer: the file image and its track, which
    // becomes the manager's track only when the lap is accepted.
    std::vector<std::uint8_t> m_pending;
    int m_pendingTrack = -1;
};

// The longest InfoGetTrackLength of the buffers plus one metre; 0 without buffers.
double LongestBufferPlusOne(const std::vector<std::unique_ptr<PerfCore>>& buffers);

}  // namespace morlund
