#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "morlund/formats/BufManager.h"

namespace morlund {

// Manager of LFS Replay Analyser laps (.raf). All laps share one track and
// layout; the track is known by name only.
class LFSBufManager : public BufManager {
public:
    LFSBufManager() = default;

    int GetTrackCount() const override { return 1; }
    int GetTrack() const override { return m_track; }
    // The track and layout, "<track> <layout>".
    std::string GetTrackString(int track) const override;
    // The track's short name alone: the name of its mesh file.
    std::string GetSMXTrackString() const { return m_trackShortName; }
    // The track's meshes, named by GetSMXTrackString.
    TrackGeometryRef GetTrackGeometry() const override {
        return {TrackGeometry::LFSMeshes, m_trackShortName};
    }
    int GetPerfFilter(std::string& filter, int& count, int track) const override;
    int GetSetupFilter(std::string& filter, int& count) const override;
    // The longest track length of the laps loaded so far, plus one metre.
    double GetTrackLen() const override { return m_trackLength + 1.0; }

protected:
    bmErr_t ReadPerf(File& file) override;
    std::unique_ptr<PerfCore> CreatePerf() const override;
    std::unique_ptr<PerfCore> CreateBuffer(const std::string& fileName) override;

private:
    int m_track = -1;
    std::string m_trackName;  // "<track> <layout>" of the first lap
    std::string m_trackShortName;
    double m_trackLength = 0.0;  // never shrinks, also not when laps are removed
    // Between ReadPerf and CreateBuffer.
    std::vector<std::uint8_t> m_pending;
    std::int64_t m_pendingCreated = -1;
};

}  // namespace morlund
