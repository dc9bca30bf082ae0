#pragma once

#include "morlund/physics/GP3Physics.h"

namespace morlund {

// The GP3-2000 car: GP3's with other wheel masses, wheel base, weight
// distribution and power.
class GP32KPhysics : public GP3Physics {
public:
    double GetFrontWheelMass() const override { return 12.0; }
    double GetRearWheelMass() const override { return 13.5; }
    double GetWheelBase() const override { return 3.037; }
    double GetCOGDistanceToRear() const override { return 1.499; }
    double GetBrakeHorsePower() const override { return 595754.19; }  // 810 hp
};

}  // namespace morlund
