#pragma once

#include <cstdint>
#include <vector>

#include "morlund/formats/BufManager.h"
#include "morlund/formats/GameStrings.h"

namespace morlund {

// Manager of GP2 laps; the GP3, GP3-2000 and GP4 managers share its envelope.
class GP2BufManager : public BufManager {
public:
    GP2BufManager() = default;

    int GetTrackCount() const override { return 16; }
    int GetTrack() const override { return m_track; }
    // The track checksum of buffer 0; 0 while no track is fixed.
    std::uint32_t GetTrackChecksum() const override;
    std::string GetTrackString(int track) const override;
    int GetPerfFilter(std::string& filter, int& count, int track) const override;
    int GetSetupFilter(std::string& filter, int& count) const override;
    int GetSetupVersion() const override { return 2; }

    // Whether buffer 0 carries the position extension.
    bool HasExtended() const;
    // The segment file "%08x.seg" of the track, when buffer 0 has positions.
    TrackGeometryRef GetTrackGeometry() const override;
    virtual std::string GetGameString() const { return "GP2"; }

protected:
    bmErr_t ReadPerf(File& file) override;
    std::unique_ptr<PerfCore> CreatePerf() const override;
    std::unique_ptr<PerfCore> CreateBuffer(const std::string& fileName) override;
    virtual std::uint32_t GetFileID() const;
    // The table behind GetTrackString.
    virtual TrackTable GetTrackTable() const { return TrackTable::GP2; }

    int m_track = -1;
    std::vector<std::uint8_t> m_pending;  // stored body between ReadPerf and CreateBuffer
    bool m_pendingCompressed = false;
};

}  // namespace morlund
