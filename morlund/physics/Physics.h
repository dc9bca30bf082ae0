#pragma once

namespace morlund {

class CarSetup;

// The vehicle model of one game: car constants as virtual getters, and the
// loads and setup predictions built on them. All values SI (kg, m, N, W, m/s,
// rad/s); wing settings in the game's setup units. Wheel numbers: 0 left rear,
// 1 right rear, 2 left front, 3 right front; any number other than 0 and 1
// counts as a front wheel.
//
// Divisions the model cannot make (zero mass, wheel base, final drive or
// revs) give 0 rather than inf or NaN: callers show 0 as "no value".
class Physics {
public:
    virtual ~Physics() = default;

    // Car constants, per game.
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
    // Wheel travel per unit of spring travel.
    virtual double GetFrontSuspensionGeometryFactor() const = 0;
    virtual double GetRearSuspensionGeometryFactor() const = 0;
    virtual double GetFrontGroundEffectFactor() const = 0;
    virtual double GetRearGroundEffectFactor() const = 0;
    // Aerodynamic load on one axle at the given speed, N.
    virtual double GetFrontWingEffect(const CarSetup& setup, double speed) const = 0;
    virtual double GetRearWingEffect(const CarSetup& setup, double speed) const = 0;
    // Maximum engine power, W.
    virtual double GetBrakeHorsePower() const = 0;
    virtual double GetDriveTrainEfficiency() const = 0;
    virtual double GetRevsAtMaxPower() const = 0;
    virtual double GetMaxRevs() const = 0;
    // Engine torque, N·m, at the given revs in rad/s.
    virtual double GetTorque(double revs) const = 0;
    // Reference ride height and rake (rear minus front) of the ground-effect model.
    virtual double GetHeightBase() const = 0;
    virtual double GetDeltaBase() const = 0;
    // Subtracted from the setup's static ride heights.
    virtual double GetFrontRideHeightOffset() const = 0;
    virtual double GetRearRideHeightOffset() const = 0;
    // Aerodynamic load factors, N per (m/s)², wing factors per wing step,
    // ground-effect factors per metre of ride height.
    virtual double GetFrontChassisDownforceFactor() const = 0;
    virtual double GetRearChassisDownforceFactor() const = 0;
    virtual double GetFrontGroundEffectDownforceFactor() const = 0;
    virtual double GetRearGroundEffectDownforceFactor() const = 0;
    virtual double GetFrontGroundEffectDeltaDownforceFactor() const = 0;
    virtual double GetFrontAxleFrontWingDownforceFactor() const = 0;
    virtual double GetFrontAxleRearWingDownforceFactor() const = 0;
    virtual double GetRearAxleFrontWingDownforceFactor() const = 0;
    virtual double GetRearAxleRearWingDownforceFactor() const = 0;
    // Drag deceleration = v × (rolling + aero × v).
    virtual double GetRollingResistanceDragFactor() const = 0;
    virtual double GetAeroResistanceDragOffset() const = 0;
    virtual double GetFrontAeroResistanceDragFactor() const = 0;
    virtual double GetRearAeroResistanceDragFactor() const = 0;
    virtual double GetPlankHeight() const { return 0.01; }
    // Metres travelled per radian of the gearbox output.
    virtual double GetEffectiveDifferentialRatio(const CarSetup& setup) const;

    // Static loads.
    double GetFrontWeightDistribution() const;
    double GetRearWeightDistribution() const;
    // Sprung weight carried by one axle, N.
    double GetFrontMassForce() const;
    double GetRearMassForce() const;
    double GetWheelMass(int wheel) const;
    // One wheel's share of the car's weight (half its axle's).
    double GetWeightDistribution(int wheel) const;
    // Half the axle's mass force, N.
    double GetWheelMassForce(int wheel) const;

    // Aero drag factor of the setup's wings.
    double GetAeroResistanceDragFactor(const CarSetup& setup) const;

    // The speed at which drag uses up the engine's full power; 0 when the
    // model has no aerodynamic drag (no finite top speed) or no mass.
    double CalcPredictedMaxSpeed(const CarSetup& setup) const;
    // The top-gear ratio that reaches the predicted maximum speed at the revs
    // of maximum power; 0 when that has no value.
    double CalcPredictedBestTopGearRatio(const CarSetup& setup) const;
    // Speed at maximum revs in the given gear.
    double CalcMaxSpeedForGear(const CarSetup& setup, int gear) const;

    // The ride height with the spring compressed down to its packers, never
    // below the plank.
    double GetMinimumRideHeight(const CarSetup& setup, int wheel) const;
    // Ride height of the wheel at that speed, never below the minimum.
    double CalcPredictedRideHeight(const CarSetup& setup, double speed, int wheel) const;
    // Predicted rake at that speed: rear axle minus front axle.
    double CalcDeltaRideHeight(const CarSetup& setup, double speed) const;

    // First whole speed from 1 m/s at which the wheel reaches its packers or
    // the plank; kNeverSpeed when that does not happen below it.
    double CalcPredictedSpeedToHitPackers(const CarSetup& setup, int wheel) const;
    double CalcPredictedSpeedToHitPlank(const CarSetup& setup, int wheel) const;

    static constexpr double kGravity = 9.81;
    static constexpr double kNeverSpeed = 120.0;
    // The fixed ride height below which the plank counts as touching.
    static constexpr double kPlankContactHeight = 0.01;

protected:
    Physics() = default;
    Physics(const Physics&) = default;
    Physics& operator=(const Physics&) = default;

    // Unclamped ride height of the wheel at that speed, from the equilibrium of
    // the sprung mass on its four springs; 0 for wheels outside 0..3.
    //
    // For wheel w on axle a (r for wheels 0 and 1, f for 2 and 3), with
    //   s_w  the setup's static ride height, o_a the model's ride-height offset,
    //   k_w  the spring rate, G_a the axle's suspension geometry factor,
    //   κ_w = k_w / G_a²  the wheel rate (spring travel is wheel travel / G_a,
    //        and the lever divides the spring force by G_a once more),
    //   h_w  the ride height sought, h̄_a the mean of the axle's two,
    //   M_a  the axle's mass force, v² the squared speed,
    // the spring carries its share of the sprung weight at the static height
    // less the offset, and the rest by its deflection from there:
    //   S_w = M_a / 2 + κ_w (s_w − o_a − h_w).
    // The axle loads grow as the floor comes down (ground effect) and the front
    // one as the rake Δ = h̄_r − h̄_f grows:
    //   F_r = M_r + v² (α_r − E_r h̄_r)
    //   F_f = M_f + v² (α_f − E_f h̄_f + D Δ)
    // where α_a are the loads per v² at zero height and zero rake (wing,
    // chassis, height base × E_a and, at the front, − delta base × D terms),
    // E_a the axle's ground-effect downforce factor and D the front delta
    // factor. Each wheel carries half of its axle's load, S_w = F_a / 2, which
    // gives four linear equations in h_0..h_3:
    //   κ_w h_w − (v²/4) E_r (h_0 + h_1)
    //       = κ_w (s_w − o_r) − (v²/2) α_r                        for w = 0, 1
    //   κ_w h_w − (v²/4) (E_f + D) (h_2 + h_3) + (v²/4) D (h_0 + h_1)
    //       = κ_w (s_w − o_f) − (v²/2) α_f                        for w = 2, 3.
    // The rear rows do not involve the front, so the system is block
    // triangular. Dividing each row by κ_w and averaging an axle's two rows,
    // with the axle compliance c_a = (v²/4)(1/κ_a0 + 1/κ_a1) and
    // ŝ_a = mean of the axle's s_w − o_a:
    //   h̄_r = (ŝ_r − c_r α_r) / (1 − c_r E_r)
    //   h̄_f = (ŝ_f − c_f α_f − c_f D h̄_r) / (1 − c_f (E_f + D))
    // and each wheel then follows from its own row:
    //   h_w = s_w − o_a − (v² / (2 κ_w)) (F_a − M_a) / v².
    // The ground effect feeds back: when the floor's suction outgrows the
    // springs (denominator ≤ 0) or a spring has no rate, the axle has no
    // equilibrium above its packers and sits at its minimum ride height; the
    // front then sees the rear at that height.
    double DoCalcPredictedRideHeightAdv(const CarSetup& setup, double speed, int wheel) const;
};

}  // namespace morlund
