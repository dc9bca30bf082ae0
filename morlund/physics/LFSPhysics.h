#pragma once

#include <array>

#include "morlund/physics/Physics.h"

namespace morlund {

// The LFS car: masses and wheel geometry from the replay header, GP-like
// engine figures, and no aerodynamic model (every downforce and drag factor
// is 0, so speed predictions that need drag have no value).
class LFSPhysics : public Physics {
public:
    struct Wheel {
        double radius = 0.0;
        double travel = 0.0;  // travel at full extension; kept, not used by the model
        // Position in the car's frame: x < 0 left, y < 0 rear, z up; the
        // frame's origin is the centre of gravity.
        double x = 0.0;
        double y = 0.0;
        double z = 0.0;
    };
    // What the LFS reader takes from the replay header, wheels in the model's wheel order.
    struct Values {
        double mass = 0.0;
        double massAboveSprings = 0.0;
        std::array<Wheel, 4> wheels{};
    };

    LFSPhysics() = default;
    explicit LFSPhysics(const Values& values) : m_values(values) {}
    LFSPhysics(const LFSPhysics&) = default;
    LFSPhysics& operator=(const LFSPhysics&) = default;

    const Values& GetValues() const { return m_values; }
    void SetValues(const Values& values) { m_values = values; }

    double GetMass() const override { return m_values.mass; }
    double GetMassAboveSprings() const override { return m_values.massAboveSprings; }
    double GetFrontWheelMass() const override;
    double GetRearWheelMass() const override;
    double GetFrontWheelRadius() const override { return m_values.wheels[2].radius; }
    double GetRearWheelRadius() const override { return m_values.wheels[0].radius; }
    double GetWheelBase() const override;
    double GetFrontWheelTread() const override;
    double GetRearWheelTread() const override;
    // The rear axle's distance from the centre of gravity. The header stores the rear
    // wheels' y as negative numbers; a signed distance would turn weight distribution,
    // wheel loads and downforce negative.
    double GetCOGDistanceToRear() const override;
    double GetFrontSuspensionGeometryFactor() const override { return 1.0; }
    double GetRearSuspensionGeometryFactor() const override { return 1.0; }
    double GetFrontGroundEffectFactor() const override { return 1.0; }
    double GetRearGroundEffectFactor() const override { return 1.0; }
    double GetFrontWingEffect(const CarSetup&, double) const override { return 0.0; }
    double GetRearWingEffect(const CarSetup&, double) const override { return 0.0; }
    double GetBrakeHorsePower() const override { return 177255.259; }  // 241 hp
    double GetDriveTrainEfficiency() const override { return 1.0; }
    double GetRevsAtMaxPower() const override { return 688.9512689322416; }  // 6579 rpm
    double GetMaxRevs() const override { return 1047.1975511965977; }        // 10000 rpm
    double GetTorque(double revs) const override;
    double GetHeightBase() const override;
    double GetDeltaBase() const override { return 0.0; }
    double GetFrontRideHeightOffset() const override { return 0.0; }
    double GetRearRideHeightOffset() const override { return 0.0; }
    double GetFrontChassisDownforceFactor() const override { return 0.0; }
    double GetRearChassisDownforceFactor() const override { return 0.0; }
    double GetFrontGroundEffectDownforceFactor() const override { return 0.0; }
    double GetRearGroundEffectDownforceFactor() const override { return 0.0; }
    double GetFrontGroundEffectDeltaDownforceFactor() const override { return 0.0; }
    double GetFrontAxleFrontWingDownforceFactor() const override { return 0.0; }
    double GetFrontAxleRearWingDownforceFactor() const override { return 0.0; }
    double GetRearAxleFrontWingDownforceFactor() const override { return 0.0; }
    double GetRearAxleRearWingDownforceFactor() const override { return 0.0; }
    double GetRollingResistanceDragFactor() const override { return 0.0; }
    double GetAeroResistanceDragOffset() const override { return 0.0; }
    double GetFrontAeroResistanceDragFactor() const override { return 0.0; }
    double GetRearAeroResistanceDragFactor() const override { return 0.0; }

private:
    Values m_values;
};

}  // namespace morlund
