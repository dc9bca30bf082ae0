#include "morlund/physics/Physics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "morlund/setup/CarSetup.h"

namespace morlund {

namespace {

bool IsRear(int wheel) { return wheel == 0 || wheel == 1; }

bool IsWheel(int wheel) { return wheel >= 0 && wheel <= 3; }

// Remaining travel below this counts as touching: the packer height is formed
// from the same setup values with other roundings.
constexpr double kContactTolerance = 1e-9;

// Positive root of a·v³ + r·v² = p (a > 0, p > 0): bracket, then bisect to
// the last bit. Used where the closed form has no real value.
double SolveDragCubic(double a, double r, double p) {
    const auto f = [&](double v) { return (a * v + r) * v * v - p; };
    double lo = 0.0;
    double hi = 1.0;
    while (f(hi) < 0.0) {
        lo = hi;
        hi *= 2.0;
        if (!std::isfinite(hi)) return 0.0;
    }
    for (int i = 0; i < 2000; ++i) {
        const double mid = 0.5 * (lo + hi);
        if (mid <= lo || mid >= hi) break;
        (f(mid) < 0.0 ? lo : hi) = mid;
    }
    return 0.5 * (lo + hi);
}

}  // namespace

double Physics::GetEffectiveDifferentialRatio(const CarSetup& setup) const {
    return GetRearWheelRadius() * setup.GetDiffRatio();
}

// --- static loads -----------------------------------------------------------

double Physics::GetFrontWeightDistribution() const {
    const double base = GetWheelBase();
    return base != 0.0 ? GetCOGDistanceToRear() / base : 0.0;
}

double Physics::GetRearWeightDistribution() const {
    const double base = GetWheelBase();
    return base != 0.0 ? 1.0 - GetCOGDistanceToRear() / base : 0.0;
}

double Physics::GetFrontMassForce() const {
    return GetMassAboveSprings() * GetFrontWeightDistribution() * kGravity;
}

double Physics::GetRearMassForce() const {
    return GetMassAboveSprings() * GetRearWeightDistribution() * kGravity;
}

double Physics::GetWheelMass(int wheel) const {
    return IsRear(wheel) ? GetRearWheelMass() : GetFrontWheelMass();
}

double Physics::GetWeightDistribution(int wheel) const {
    return (IsRear(wheel) ? GetRearWeightDistribution() : GetFrontWeightDistribution()) * 0.5;
}

double Physics::GetWheelMassForce(int wheel) const {
    return GetMassAboveSprings() * GetWeightDistribution(wheel) * kGravity;
}

// --- drive line and speed ---------------------------------------------------

double Physics::GetAeroResistanceDragFactor(const CarSetup& setup) const {
    return GetAeroResistanceDragOffset() +
           (setup.GetFrontWing() - 1.0) * GetFrontAeroResistanceDragFactor() +
           (setup.GetRearWing() - 1.0) * GetRearAeroResistanceDragFactor();
}

double Physics::CalcPredictedMaxSpeed(const CarSetup& setup) const {
    const double m = GetMass();
    const double a = GetAeroResistanceDragFactor(setup);
    const double r = GetRollingResistanceDragFactor();
    const double p = GetBrakeHorsePower();
    // Without aero drag nothing limits the speed; without power or mass there
    // is no speed to predict.
    if (!(a > 0.0) || !(m > 0.0) || !(p > 0.0)) return 0.0;

    const double disc = 27.0 * a * a * p - 4.0 * r * r * r * m;
    if (disc < 0.0) return SolveDragCubic(a, r, p / m);
    const double s = 3.0 * std::sqrt(3.0) * std::sqrt(m * m * m * m * a * a * p * disc) +
                     27.0 * a * a * m * m * p - 2.0 * m * m * m * r * r * r;
    const double c = std::cbrt(s);
    if (c == 0.0) return SolveDragCubic(a, r, p / m);
    const double v =
        (std::cbrt(16.0) * r * r * m / c + std::cbrt(4.0) * c / m - 2.0 * r) / (6.0 * a);
    // Should rounding leave the closed form off the cubic, solve it directly.
    const double target = p / m;
    const bool solves = std::fabs((a * v + r) * v * v - target) <= 1e-10 * target;
    return std::isfinite(v) && v > 0.0 && solves ? v : SolveDragCubic(a, r, target);
}

double Physics::CalcPredictedBestTopGearRatio(const CarSetup& setup) const {
    const double perRatio = GetEffectiveDifferentialRatio(setup) * GetRevsAtMaxPower();
    if (perRatio == 0.0 || !std::isfinite(perRatio)) return 0.0;
    return CalcPredictedMaxSpeed(setup) / perRatio;
}

double Physics::CalcMaxSpeedForGear(const CarSetup& setup, int gear) const {
    return GetMaxRevs() * GetEffectiveDifferentialRatio(setup) * setup.GetGearRatio(gear);
}

// --- ride heights -----------------------------------------------------------

double Physics::GetMinimumRideHeight(const CarSetup& setup, int wheel) const {
    // Only real wheels have setup values.
    if (!IsWheel(wheel)) return GetPlankHeight();
    const double offset = IsRear(wheel) ? GetRearRideHeightOffset() : GetFrontRideHeightOffset();
    const double atPackers = (setup.GetStaticRideHeight(wheel) - offset) -
                             (setup.GetMaxSuspTravel(wheel) - setup.GetPackers(wheel));
    return std::max(GetPlankHeight(), atPackers);
}

double Physics::CalcPredictedRideHeight(const CarSetup& setup, double speed, int wheel) const {
    return std::max(DoCalcPredictedRideHeightAdv(setup, speed, wheel),
                    GetMinimumRideHeight(setup, wheel));
}

double Physics::CalcDeltaRideHeight(const CarSetup& setup, double speed) const {
    return 0.5 * (CalcPredictedRideHeight(setup, speed, 0) +
                  CalcPredictedRideHeight(setup, speed, 1)) -
           0.5 * (CalcPredictedRideHeight(setup, speed, 2) +
                  CalcPredictedRideHeight(setup, speed, 3));
}

double Physics::DoCalcPredictedRideHeightAdv(const CarSetup& setup, double speed, int wheel) const {
    if (!IsWheel(wheel)) return 0.0;
    const double offset[2] = {GetRearRideHeightOffset(), GetFrontRideHeightOffset()};
    const int axle = IsRear(wheel) ? 0 : 1;
    const double unloaded = setup.GetStaticRideHeight(wheel) - offset[axle];
    const double v2 = speed * speed;
    // At rest the springs carry exactly the static weight.
    if (v2 == 0.0) return unloaded;

    // Ride-height drop per unit of load coefficient (N per (m/s)²), half the
    // axle's load on each wheel: v² / (2 κ_w).
    const double geometry[2] = {GetRearSuspensionGeometryFactor(),
                                GetFrontSuspensionGeometryFactor()};
    std::array<double, 4> drop{};
    std::array<bool, 4> sprung{};
    for (int w = 0; w < 4; ++w) {
        const double rate = setup.GetSpringRate(w);
        const double g = geometry[IsRear(w) ? 0 : 1];
        sprung[w] = rate > 0.0;
        drop[w] = sprung[w] ? v2 * g * g / (2.0 * rate) : 0.0;
    }

    const double wf = setup.GetFrontWing() - 1.0;
    const double wr = setup.GetRearWing() - 1.0;
    const double alphaRear =
        wf * GetRearAxleFrontWingDownforceFactor() + wr * GetRearAxleRearWingDownforceFactor() +
        GetHeightBase() * GetRearGroundEffectDownforceFactor() + GetRearChassisDownforceFactor();
    const double alphaFront =
        wf * GetFrontAxleFrontWingDownforceFactor() + wr * GetFrontAxleRearWingDownforceFactor() +
        GetHeightBase() * GetFrontGroundEffectDownforceFactor() + GetFrontChassisDownforceFactor() -
        GetDeltaBase() * GetFrontGroundEffectDeltaDownforceFactor();
    const double eRear = GetRearGroundEffectDownforceFactor();
    const double eFront = GetFrontGroundEffectDownforceFactor();
    const double dFront = GetFrontGroundEffectDeltaDownforceFactor();

    const auto meanUnloaded = [&](int w0, int w1, double o) {
        return 0.5 * (setup.GetStaticRideHeight(w0) + setup.GetStaticRideHeight(w1)) - o;
    };

    // Rear axle: mean height, then the load coefficient it settles at.
    std::optional<double> rearMean;
    if (sprung[0] && sprung[1]) {
        const double c = 0.5 * (drop[0] + drop[1]);
        const double den = 1.0 - c * eRear;
        if (den > 0.0) rearMean = (meanUnloaded(0, 1, offset[0]) - c * alphaRear) / den;
    }
    if (axle == 0) {
        if (!rearMean) return GetMinimumRideHeight(setup, wheel);
        return unloaded - drop[wheel] * (alphaRear - eRear * *rearMean);
    }

    const double rearHeight =
        rearMean ? *rearMean
                 : 0.5 * (GetMinimumRideHeight(setup, 0) + GetMinimumRideHeight(setup, 1));
    if (!(sprung[2] && sprung[3])) return GetMinimumRideHeight(setup, wheel);
    const double c = 0.5 * (drop[2] + drop[3]);
    const double den = 1.0 - c * (eFront + dFront);
    if (!(den > 0.0)) return GetMinimumRideHeight(setup, wheel);
    const double frontMean =
        (meanUnloaded(2, 3, offset[1]) - c * alphaFront - c * dFront * rearHeight) / den;
    return unloaded -
           drop[wheel] * (alphaFront - eFront * frontMean + dFront * (rearHeight - frontMean));
}

// --- speeds to hit ----------------------------------------------------------

double Physics::CalcPredictedSpeedToHitPackers(const CarSetup& setup, int wheel) const {
    if (!IsWheel(wheel)) return kNeverSpeed;
    const double offset = IsRear(wheel) ? GetRearRideHeightOffset() : GetFrontRideHeightOffset();
    const double travelToPackers = setup.GetMaxSuspTravel(wheel) - setup.GetPackers(wheel);
    const double staticHeight = setup.GetStaticRideHeight(wheel);
    for (int v = 1; v < static_cast<int>(kNeverSpeed); ++v) {
        const double h = CalcPredictedRideHeight(setup, v, wheel);
        // Wheel travel left before the packers; the geometry factor (positive)
        // only turns it into spring travel and cannot change its sign.
        const double left = h - staticHeight + travelToPackers + offset;
        if (left <= kContactTolerance) return v;
    }
    return kNeverSpeed;
}

double Physics::CalcPredictedSpeedToHitPlank(const CarSetup& setup, int wheel) const {
    if (!IsWheel(wheel)) return kNeverSpeed;
    for (int v = 1; v < static_cast<int>(kNeverSpeed); ++v) {
        if (CalcPredictedRideHeight(setup, v, wheel) <= kPlankContactHeight) return v;
    }
    return kNeverSpeed;
}

}  // namespace morlund
