#pragma once

#include "morlund/formats/gp3/GP3Perf.h"

namespace morlund {

// A GP3-2000 lap: the GP3 format with the GP3-2000 car model.
class GP32KPerf : public GP3Perf {
protected:
    std::unique_ptr<Physics> CreatePhysics() const override;
    const char* DefaultGameString() const override { return "GP3-2000"; }
};

}  // namespace morlund
