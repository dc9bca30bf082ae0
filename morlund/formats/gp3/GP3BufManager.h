#pragma once

#include "morlund/formats/gp2/GP2BufManager.h"

namespace morlund {

// Manager of GP3 laps: the GP2 envelope with the GP3 body, track names and setups.
class GP3BufManager : public GP2BufManager {
public:
    GP3BufManager() = default;

    int GetTrackCount() const override { return 16; }
    // GP3 laps carry no track checksum.
    std::uint32_t GetTrackChecksum() const override { return 0; }
    // The position add-on's segment files exist for GP2 only.
    TrackGeometryRef GetTrackGeometry() const override { return {}; }
    int GetSetupVersion() const override { return 3; }
    std::string GetGameString() const override { return "GP3"; }

protected:
    std::unique_ptr<PerfCore> CreatePerf() const override;
    // As the GP2 manager, and names the buffer after the file.
    std::unique_ptr<PerfCore> CreateBuffer(const std::string& fileName) override;
    TrackTable GetTrackTable() const override { return TrackTable::GP3; }
};

}  // namespace morlund
