#pragma once

#include "morlund/formats/gp3/GP32KBufManager.h"

namespace morlund {

// Manager of GP4 laps: the GP3 format under GP4's own file id.
class GP4BufManager : public GP32KBufManager {
public:
    GP4BufManager() = default;

    int GetSetupVersion() const override { return 5; }
    std::string GetGameString() const override { return "GP4"; }

protected:
    std::unique_ptr<PerfCore> CreatePerf() const override;
    std::uint32_t GetFileID() const override;
    TrackTable GetTrackTable() const override { return TrackTable::GP4; }
};

}  // namespace morlund
