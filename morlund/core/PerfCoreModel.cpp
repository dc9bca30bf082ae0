// Channels that combine the samples with the car setup and the car model.

#include <cmath>

#include "morlund/core/PerfCore.h"
#include "morlund/physics/Physics.h"
#include "morlund/setup/CarSetup.h"

namespace morlund {

namespace {
constexpr double kGravity = 9.81;
constexpr double kCogAccLimit = 6.867;  // 0.7 g: below it the spring forces say too little

bool IsRear(int wheel) { return wheel == 0 || wheel == 1; }
bool IsLeft(int wheel) { return wheel == 0 || wheel == 2; }
}  // namespace

double PerfCore::GetSpringForces(int i, int w, const CarSetup& setup) const {
    return (setup.GetMaxSuspTravel(w) - setup.GetPackers(w) - GetSuspTravel(i, w)) *
           setup.GetSpringRate(w);
}

double PerfCore::GetARBContrib(int i, int w, const CarSetup& setup) const {
    const bool rear = IsRear(w);
    const int left = rear ? 0 : 2;
    const int right = left + 1;
    const double extension = (GetSuspTravel(i, right) + setup.GetPackers(right)) -
                             (GetSuspTravel(i, left) + setup.GetPackers(left));
    const double stiffness = rear ? setup.GetRearAntiRollBar() : setup.GetFrontAntiRollBar();
    const double track = rear ? kRearTrackWidth : kFrontTrackWidth;
    const double force = stiffness * extension / track;
    return IsLeft(w) ? force : -force;
}

double PerfCore::GetTyreLoad(int i, int w, const CarSetup& setup) const {
    return GetARBContrib(i, w, setup) + GetSpringForces(i, w, setup);
}

void PerfCore::GetTyreLoads(int first, int end, int w, const CarSetup& setup,
                            double* out) const {
    // GetARBContrib + GetSpringForces term for term, in the same order.
    const bool rear = IsRear(w);
    const int left = rear ? 0 : 2;
    const int right = left + 1;
    const double packersRight = setup.GetPackers(right);
    const double packersLeft = setup.GetPackers(left);
    const double stiffness = rear ? setup.GetRearAntiRollBar() : setup.GetFrontAntiRollBar();
    const double track = rear ? kRearTrackWidth : kFrontTrackWidth;
    const bool leftWheel = IsLeft(w);
    const double free = setup.GetMaxSuspTravel(w) - setup.GetPackers(w);
    const double rate = setup.GetSpringRate(w);
    for (int i = first; i < end; ++i) {
        const double extension =
            (GetSuspTravel(i, right) + packersRight) - (GetSuspTravel(i, left) + packersLeft);
        const double force = stiffness * extension / track;
        *out++ = (leftWheel ? force : -force) + (free - GetSuspTravel(i, w)) * rate;
    }
}

double PerfCore::GetDampingForces(int i, int w, const CarSetup& setup) const {
    if (GetSampleCount() < 2) return 0.0;
    if (i < 1) i = 1;
    const double u = GetSpeed(i - 1) * GetRH1stDeriv(i, w);  // ride-height velocity
    const double c = u < 0.0 ? setup.GetSlowBump(w) : setup.GetSlowRebound(w);
    return -(u * c * GetPhysics()->GetWheelMass(w));
}

double PerfCore::GetTyreAccel(int i, int w) const {
    if (GetSampleCount() < 2) return 0.0;
    if (i < 1) i = 1;
    const double v = GetSpeed(i - 1);
    return -(GetRH2ndDeriv(i, w) * v * v * GetPhysics()->GetWheelMass(w));
}

double PerfCore::GetRideHeightMinSuspTravel(int i, int w, const CarSetup& setup) const {
    const Physics& model = *GetPhysics();
    const bool rear = IsRear(w);
    const double offset = rear ? model.GetRearRideHeightOffset() : model.GetFrontRideHeightOffset();
    const double geometry =
        rear ? model.GetRearSuspensionGeometryFactor() : model.GetFrontSuspensionGeometryFactor();
    return (GetRideHeight(i, w) - setup.GetStaticRideHeight(w)) +
           (setup.GetMaxSuspTravel(w) - setup.GetPackers(w)) + offset -
           geometry * GetSuspTravel(i, w);
}

// --- centre of gravity --------------------------------------------------------

double PerfCore::CogBaseHeight(int i) const {
    return CogBaseHeight(GetAvgRideHeight(i), GetDeltaRideHeight(i));
}

double PerfCore::CogBaseHeight(double avgRideHeight, double deltaRideHeight) const {
    const Physics& model = *GetPhysics();
    // The weighting the car constants were fitted with.
    return avgRideHeight +
           0.5 * deltaRideHeight * (model.GetWheelBase() - 2.0 * model.GetCOGDistanceToRear());
}

double PerfCore::GetCOGHeightExternal(int i) const { return CogBaseHeight(i); }

double PerfCore::GetCOGHeightInternalLat(int i, const CarSetup& setup) const {
    const double a = GetLateralAcc(i);
    if (a > -kCogAccLimit && a < kCogAccLimit) return kNoValue;
    const Physics& model = *GetPhysics();
    const double s0 = GetSpringForces(i, 0, setup), s1 = GetSpringForces(i, 1, setup);
    const double s2 = GetSpringForces(i, 2, setup), s3 = GetSpringForces(i, 3, setup);
    const double moment =
        (s2 - s3) * model.GetFrontWheelTread() / 2 + (s0 - s1) * model.GetRearWheelTread() / 2;
    return moment / (model.GetMassAboveSprings() * a) - CogBaseHeight(i);
}

double PerfCore::GetCOGHeightInternalLong(int i, const CarSetup& setup) const {
    const double a = GetLongitudalAcc(i);
    if (a > -kCogAccLimit && a < kCogAccLimit) return kNoValue;
    const Physics& model = *GetPhysics();
    const double rear = GetSpringForces(i, 0, setup) + GetSpringForces(i, 1, setup);
    const double front = GetSpringForces(i, 2, setup) + GetSpringForces(i, 3, setup);
    return (rear - front) * model.GetWheelBase() / (2.0 * model.GetMassAboveSprings() * a) -
           CogBaseHeight(i);
}

// Without a value in either direction there is no value: an average with the
// marker would look like a height.
double PerfCore::GetCOGHeightInternal(int i, const CarSetup& setup) const {
    const double lon = GetCOGHeightInternalLong(i, setup);
    const double lat = GetCOGHeightInternalLat(i, setup);
    if (lon == kNoValue || lat == kNoValue) return kNoValue;
    return (lon + lat) * 0.5;
}

double PerfCore::GetCOGHeight(int i, const CarSetup& setup) const {
    const double internal = GetCOGHeightInternal(i, setup);
    return internal == kNoValue ? kNoValue : internal + CogBaseHeight(i);
}

// --- aerodynamics, drag, power ----------------------------------------------------

double PerfCore::GetDownforce(int i, int w, double v, const CarSetup& setup) const {
    const Physics& m = *GetPhysics();
    const double hb = m.GetHeightBase();
    const double delta = GetDeltaRideHeight(i);
    const double h = CogBaseHeight(GetAvgRideHeight(i), delta);
    const double fw = setup.GetFrontWing() - 1.0;
    const double rw = setup.GetRearWing() - 1.0;
    const double v2 = v * v;
    if (IsRear(w)) {
        return 0.5 *
               (m.GetRearMassForce() + v2 * (m.GetRearChassisDownforceFactor() +
                                             m.GetRearGroundEffectDownforceFactor() * (hb - h) +
                                             m.GetRearAxleFrontWingDownforceFactor() * fw +
                                             m.GetRearAxleRearWingDownforceFactor() * rw));
    }
    const double frontWeight =
        kGravity * m.GetMassAboveSprings() * m.GetCOGDistanceToRear() / m.GetWheelBase();
    return 0.5 * (frontWeight + v2 * (m.GetFrontChassisDownforceFactor() +
                                      m.GetFrontGroundEffectDownforceFactor() * (hb - h) +
                                      m.GetFrontGroundEffectDeltaDownforceFactor() *
                                          (GetDeltaRideHeight(i) - m.GetDeltaBase()) +
                                      m.GetFrontAxleFrontWingDownforceFactor() * fw +
                                      m.GetFrontAxleRearWingDownforceFactor() * rw));
}

double PerfCore::GetDownforce(int i, int w, const CarSetup& setup) const {
    return GetDownforce(i, w, GetSpeed(i), setup);
}

double PerfCore::GetDownforceSum(int i, double v, const CarSetup& setup) const {
    return GetDownforce(i, 0, v, setup) + GetDownforce(i, 1, v, setup) +
           GetDownforce(i, 2, v, setup) + GetDownforce(i, 3, v, setup);
}

double PerfCore::GetDragAcc(int i, const CarSetup& setup) const {
    const Physics& m = *GetPhysics();
    const double v = GetSpeed(i);
    return -(v * (m.GetRollingResistanceDragFactor() + m.GetAeroResistanceDragFactor(setup) * v));
}

double PerfCore::DrivingAcc(int i, const CarSetup& setup) const {
    const Physics& m = *GetPhysics();
    const double v = GetSpeed(i);
    return GetLongitudalAcc(i) + m.GetRollingResistanceDragFactor() * v +
           m.GetAeroResistanceDragFactor(setup) * v * v;
}

double PerfCore::GetPower(int i, const CarSetup& setup) const {
    return GetPhysics()->GetMass() * GetSpeed(i) * DrivingAcc(i, setup);
}

double PerfCore::GetTorque(int i, const CarSetup& setup) const {
    const double revs = GetRevs(i);
    return revs == 0.0 ? 0.0 : GetPower(i, setup) / revs;
}

double PerfCore::GetGripFactor(int i, int w, const CarSetup& setup) const {
    const double load = GetTyreLoad(i, w, setup);
    return load == 0.0 ? 0.0 : GetPhysics()->GetMass() * DrivingAcc(i, setup) / load;
}

double PerfCore::GetPredictedGripFactor(int i, int w) const {
    const double x = GetLongitudalSlip(i, w);
    if (x >= 0.0) return std::exp(-10.924985 * x) * (37.737967 * x - 2.5051182) + 2.5051182;
    return std::exp(10.924985 * x) * (37.737967 * x + 2.5051182) - 2.5051182;
}

}  // namespace morlund
