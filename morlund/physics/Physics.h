#pragma once

namespace morlund {

// The vehicle model of one game: car constants as virtual getters.
class Physics {
public:
    virtual ~Physics() = default;

    virtual double GetMass() const = 0;
    // Sprung mass: the total less the four wheels.
    virtual double GetMassAboveSprings() const {
        return GetMass() - 2.0 * (GetFrontWheelMass() + GetRearWheelMass());
    }
    virtual double GetFrontWheelMass() const = 0;
    virtual double GetRearWheelMass() const = 0;
    virtual double GetFrontWheelRadius() const = 0;
    virtual double GetRearWheelRadius() const = 0;
    virtual double GetWheelBase() const = 0;
    virtual double GetFrontWheelTread() const = 0;
    virtual double GetRearWheelTread() const = 0;
    // Distance from the rear axle to the centre of gravity.
    virtual double GetCOGDistanceToRear() const = 0;
};

}  // namespace morlund
