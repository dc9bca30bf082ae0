#pragma once

#include "morlund/physics/Physics.h"

namespace morlund {

// The GP2 car; also the default model of games without one of their own.
class GP2Physics : public Physics {
public:
    double GetMass() const override { return 595.56367; }
    double GetMassAboveSprings() const override { return 575.0; }
    double GetFrontWheelMass() const override { return 16.6; }
    double GetRearWheelMass() const override { return 16.6; }
    double GetFrontWheelRadius() const override { return 0.32385; }
    double GetRearWheelRadius() const override { return 0.3302; }
    double GetWheelBase() const override { return 3.1623; }
    double GetFrontWheelTread() const override { return 1.8669; }
    double GetRearWheelTread() const override { return 1.8288; }
    double GetCOGDistanceToRear() const override { return 1.307; }
};

}  // namespace morlund
