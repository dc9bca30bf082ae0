#pragma once

#include "morlund/physics/Physics.h"

namespace morlund {

// The GP2 car; also the model of games without one of their own (F1RS,
// MGPRS2, generic files). Power values carry the game's horsepower factor of
// 735.499 W.
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
    double GetFrontSuspensionGeometryFactor() const override { return 1.33; }
    double GetRearSuspensionGeometryFactor() const override { return 1.262; }
    // The ground-effect factors stay at these values in every GP model, even
    // where a model changes its ground-effect downforce factors.
    double GetFrontGroundEffectFactor() const override { return 5.70933; }
    double GetRearGroundEffectFactor() const override { return 2.90459; }
    // Every GP model uses these GP2 wing loads.
    double GetFrontWingEffect(const CarSetup& setup, double speed) const override;
    double GetRearWingEffect(const CarSetup& setup, double speed) const override;
    double GetBrakeHorsePower() const override { return 581044.21; }  // 790 hp
    double GetDriveTrainEfficiency() const override { return 0.785; }
    double GetRevsAtMaxPower() const override { return 1549.8523757709647; }  // 14800 rpm
    double GetMaxRevs() const override { return 1675.5160819145563; }         // 16000 rpm
    // The GP engine curve: a polynomial in rpm / 16900 from 3500 rpm up to the
    // maximum revs, a straight line above 16900 rpm, never negative.
    double GetTorque(double revs) const override;
    double GetHeightBase() const override { return 0.065; }
    double GetDeltaBase() const override { return 0.03; }
    double GetFrontRideHeightOffset() const override { return 0.0; }
    double GetRearRideHeightOffset() const override { return 0.0; }
    double GetFrontChassisDownforceFactor() const override { return 0.371356; }
    double GetRearChassisDownforceFactor() const override { return 0.90855; }
    double GetFrontGroundEffectDownforceFactor() const override { return 5.70933; }
    double GetRearGroundEffectDownforceFactor() const override { return 2.90459; }
    double GetFrontGroundEffectDeltaDownforceFactor() const override { return 4.12713; }
    double GetFrontAxleFrontWingDownforceFactor() const override { return 0.0110005; }
    double GetFrontAxleRearWingDownforceFactor() const override { return 0.008551; }
    double GetRearAxleFrontWingDownforceFactor() const override { return -0.0116685; }
    double GetRearAxleRearWingDownforceFactor() const override { return 0.0386448; }
    double GetRollingResistanceDragFactor() const override { return 0.0046; }
    double GetAeroResistanceDragOffset() const override { return 0.00072; }
    double GetFrontAeroResistanceDragFactor() const override { return 2e-06; }
    double GetRearAeroResistanceDragFactor() const override { return 4e-05; }
};

}  // namespace morlund
