#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "morlund/formats/BufManager.h"

namespace morlund {

// Manager of generic comma-separated laps. Its track follows the track number
// of each lap it loads.
class GenBufManager : public BufManager {
public:
    GenBufManager() = default;

    int GetTrackCount() const override { return 1; }
    int GetTrack() const override { return m_track; }
    // "Track %d"; -1 names the current track.
    std::string GetTrackString(int track) const override;
    int GetPerfFilter(std::string& filter, int& count, int track) const override;

protected:
    bmErr_t ReadPerf(File& file) override;
    std::unique_ptr<PerfCore> CreatePerf() const override;
    std::unique_ptr<PerfCore> CreateBuffer(const std::string& fileName) override;

    int m_track = -1;
    // The whole file between ReadPerf and CreateBuffer.
    std::unique_ptr<std::uint8_t[]> m_pending;
    std::size_t m_pendingSize = 0;
};

}  // namespace morlund
