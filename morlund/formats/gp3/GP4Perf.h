#pragma once

#include "morlund/formats/gp3/GP3Perf.h"

namespace morlund {

// A GP4 lap: the GP3 format with the GP4 car model and setup record. Its
// parser checks the length only.
class GP4Perf : public GP3Perf {
protected:
    std::unique_ptr<Physics> CreatePhysics() const override;
    std::unique_ptr<CarSetup> CreateSetup() const override;
    bool RefusesGP2Bodies() const override { return false; }
    const char* DefaultGameString() const override { return "GP4"; }
};

}  // namespace morlund
