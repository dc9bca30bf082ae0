#pragma once

#include "morlund/physics/GP3Physics.h"

namespace morlund {

// The GP4 car: GP3's engine map with its own geometry, suspension, ride-height
// offsets, downforce and drag. Its wing effects stay GP2's (see GP2Physics).
class GP4Physics : public GP3Physics {
public:
    double GetFrontWheelMass() const override { return 11.0; }
    double GetRearWheelMass() const override { return 14.0; }
    double GetWheelBase() const override { return 3.025; }
    double GetCOGDistanceToRear() const override { return 1.425; }
    double GetFrontSuspensionGeometryFactor() const override { return 1.3876; }
    double GetRearSuspensionGeometryFactor() const override { return 1.2908822; }
    double GetBrakeHorsePower() const override { return 628851.645; }  // 855 hp
    double GetMaxRevs() const override { return 1867.1532337835338; }  // 17830 rpm
    double GetFrontRideHeightOffset() const override { return 0.000733; }
    double GetRearRideHeightOffset() const override { return 0.002542939; }
    double GetFrontChassisDownforceFactor() const override { return 0.597605; }
    double GetRearChassisDownforceFactor() const override { return 0.930816; }
    double GetFrontGroundEffectDownforceFactor() const override { return 5.81897; }
    double GetRearGroundEffectDownforceFactor() const override { return 3.78244; }
    double GetFrontGroundEffectDeltaDownforceFactor() const override { return 5.97089; }
    double GetFrontAxleFrontWingDownforceFactor() const override { return 0.0130101; }
    double GetFrontAxleRearWingDownforceFactor() const override { return 0.00375665; }
    double GetRearAxleFrontWingDownforceFactor() const override { return -0.0114264; }
    double GetRearAxleRearWingDownforceFactor() const override { return 0.0276528; }
    double GetRollingResistanceDragFactor() const override { return 0.00466934; }
    double GetAeroResistanceDragOffset() const override { return 0.000930939; }
    double GetFrontAeroResistanceDragFactor() const override { return 1.41471e-06; }
    double GetRearAeroResistanceDragFactor() const override { return 2.84643e-05; }
};

}  // namespace morlund
