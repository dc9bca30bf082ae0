#pragma once

#include "morlund/physics/GP2Physics.h"

namespace morlund {

// The GP3 car: heavier, lighter wheels, a shorter wheel base and a
// higher-revving engine than GP2's; the aerodynamics are GP2's.
class GP3Physics : public GP2Physics {
public:
    double GetMass() const override { return 605.0; }
    // GP3 counts the whole car as sprung.
    double GetMassAboveSprings() const override { return GetMass(); }
    double GetFrontWheelMass() const override { return 11.5; }
    double GetRearWheelMass() const override { return 13.5; }
    double GetWheelBase() const override { return 2.96; }
    double GetBrakeHorsePower() const override { return 588399.2; }           // 800 hp
    double GetRevsAtMaxPower() const override { return 1738.3479349863521; }  // 16600 rpm
    double GetMaxRevs() const override { return 1884.955592153876; }          // 18000 rpm
};

}  // namespace morlund
