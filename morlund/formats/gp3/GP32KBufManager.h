#pragma once

#include "morlund/formats/gp3/GP3BufManager.h"

namespace morlund {

// Manager of GP3-2000 laps: the GP3 format with seventeen tracks.
class GP32KBufManager : public GP3BufManager {
public:
    GP32KBufManager() = default;

    int GetTrackCount() const override { return 17; }
    int GetSetupVersion() const override { return 4; }
    std::string GetGameString() const override { return "GP3-2000"; }

protected:
    std::unique_ptr<PerfCore> CreatePerf() const override;
    TrackTable GetTrackTable() const override { return TrackTable::GP32K; }
};

}  // namespace morlund
