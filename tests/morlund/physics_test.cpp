#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>

#include "morlund/formats/gp2/GP2CarSetup.h"
#include "morlund/physics/GP2Physics.h"
#include "morlund/physics/GP32KPhysics.h"
#include "morlund/physics/GP3Physics.h"
#include "morlund/physics/GP4Physics.h"
#include "morlund/physics/LFSPhysics.h"
#include "morlund/setup/CarSetup.h"

using namespace morlund;

namespace {

constexpr double kLbIn = 4.4497179 * 39.37007874015748;

double Rpm(double rpm) { return rpm * std::numbers::pi / 30.0; }

// A setup whose every value the test sets directly; starts as the GP2 default.
class TestSetup : public CarSetup {
public:
    double frontWing = 10, rearWing = 12, diffRatio = 0.17097701148835712;
    std::array<double, 4> rideHeight{0.058, 0.058, 0.032, 0.032};
    std::array<double, 4> packers{};
    std::array<double, 4> spring{1000 * kLbIn, 1000 * kLbIn, 1400 * kLbIn, 1400 * kLbIn};
    std::array<double, 4> travel{0.08, 0.08, 0.04, 0.04};

    void Assign(const CarSetup&) override {}
    bool Serialize(File&, bool) override { return false; }
    bool IsValid(bool) const override { return true; }
    bool IsFromFile() const override { return false; }
    int GetTrack() const override { return 0; }
    void SetTrack(int) override {}
    double GetFrontWing() const override { return frontWing; }
    double GetRearWing() const override { return rearWing; }
    double GetGearRatio(int gear) const override { return gear == 1 ? 0.5 : 0.0; }
    void SetGearRatio(int, double) override {}
    double GetDiffRatio() const override { return diffRatio; }
    double GetBrakeBalance() const override { return 0.5; }
    double GetStaticRideHeight(int w) const override { return rideHeight.at(w); }
    double GetPackers(int w) const override { return packers.at(w); }
    double GetSlowBump(int) const override { return 0; }
    double GetSlowRebound(int) const override { return 0; }
    double GetFastBump(int) const override { return 0; }
    double GetFastRebound(int) const override { return 0; }
    double GetSpringRate(int w) const override { return spring.at(w); }
    double GetFrontAntiRollBar() const override { return 0; }
    double GetRearAntiRollBar() const override { return 0; }
    double GetStaticCamber(int) const override { return 0; }
    double GetWheelSetupB(int) const override { return 0; }
    int GetDiffSetting(int, int) const override { return 5; }
    void SetDiffSetting(int, int, int) override {}
    int GetGearCount() const override { return 6; }
    double GetMaxSuspTravel(int w) const override { return travel.at(w); }
    const std::uint8_t* GetData(int* size) const override {
        *size = 0;
        return nullptr;
    }
};

// Opens the unclamped equilibrium to the tests.
template <class Model>
class Open : public Model {
public:
    using Physics::DoCalcPredictedRideHeightAdv;
};

// GP2 with its drag and mass under the test's control.
class TunedPhysics : public GP2Physics {
public:
    double mass = 595.56367, rolling = 0.0046, aero = 0.001;
    double GetMass() const override { return mass; }
    double GetRollingResistanceDragFactor() const override { return rolling; }
    double GetAeroResistanceDragOffset() const override { return aero; }
    double GetFrontAeroResistanceDragFactor() const override { return 0.0; }
    double GetRearAeroResistanceDragFactor() const override { return 0.0; }
};

double CubicResidual(const Physics& p, const CarSetup& s, double v) {
    const double a = p.GetAeroResistanceDragFactor(s), r = p.GetRollingResistanceDragFactor();
    const double target = p.GetBrakeHorsePower() / p.GetMass();
    return std::fabs(a * v * v * v + r * v * v - target) / target;
}

// Largest difference, over the four wheels, between a spring's force at the
// solved ride height and half its axle's load there.
double EquilibriumResidual(const Open<GP4Physics>& p, const CarSetup& s, double v) {
    std::array<double, 4> h{};
    for (int w = 0; w < 4; ++w)
        h[w] = p.DoCalcPredictedRideHeightAdv(s, v, w);
    const double rear = 0.5 * (h[0] + h[1]), front = 0.5 * (h[2] + h[3]);
    const double wf = s.GetFrontWing() - 1, wr = s.GetRearWing() - 1, v2 = v * v;
    const double loadRear =
        p.GetRearMassForce() +
        v2 * (wf * p.GetRearAxleFrontWingDownforceFactor() +
              wr * p.GetRearAxleRearWingDownforceFactor() + p.GetRearChassisDownforceFactor() +
              p.GetRearGroundEffectDownforceFactor() * (p.GetHeightBase() - rear));
    const double loadFront =
        p.GetFrontMassForce() +
        v2 * (wf * p.GetFrontAxleFrontWingDownforceFactor() +
              wr * p.GetFrontAxleRearWingDownforceFactor() + p.GetFrontChassisDownforceFactor() +
              p.GetFrontGroundEffectDownforceFactor() * (p.GetHeightBase() - front) +
              p.GetFrontGroundEffectDeltaDownforceFactor() * (rear - front - p.GetDeltaBase()));
    double worst = 0.0;
    for (int w = 0; w < 4; ++w) {
        const bool isRear = w < 2;
        const double g =
            isRear ? p.GetRearSuspensionGeometryFactor() : p.GetFrontSuspensionGeometryFactor();
        const double o = isRear ? p.GetRearRideHeightOffset() : p.GetFrontRideHeightOffset();
        const double spring = p.GetWheelMassForce(w) +
                              s.GetSpringRate(w) / (g * g) * (s.GetStaticRideHeight(w) - o - h[w]);
        worst = std::max(worst, std::fabs(spring - 0.5 * (isRear ? loadRear : loadFront)));
    }
    return worst;
}

}  // namespace

TEST(PhysicsModels, GameConstantsAndInheritance) {
    const GP2Physics gp2;
    const GP3Physics gp3;
    const GP32KPhysics gp32k;
    const GP4Physics gp4;
    // GP2 states its sprung mass; GP3 and its heirs count the whole car.
    EXPECT_EQ(gp2.GetMassAboveSprings(), 575.0);
    EXPECT_EQ(gp3.GetMassAboveSprings(), 605.0);
    EXPECT_EQ(gp4.GetMassAboveSprings(), 605.0);
    EXPECT_EQ(gp32k.GetMaxRevs(), gp3.GetMaxRevs());
    EXPECT_EQ(gp4.GetRevsAtMaxPower(), gp3.GetRevsAtMaxPower());
    EXPECT_EQ(gp4.GetFrontGroundEffectFactor(), 5.70933);
    EXPECT_EQ(gp4.GetFrontGroundEffectDownforceFactor(), 5.81897);
    EXPECT_EQ(gp32k.GetCOGDistanceToRear(), 1.499);
    EXPECT_EQ(gp4.GetPlankHeight(), 0.01);
    // Any wheel number other than 0 and 1 is a front wheel.
    EXPECT_EQ(gp4.GetWheelMass(5), 11.0);
    EXPECT_EQ(gp4.GetWheelMass(1), 14.0);

    // GP4 keeps GP2's wing loads rather than its own axle wing factors.
    TestSetup s;
    EXPECT_EQ(gp4.GetFrontWingEffect(s, 70.0), gp2.GetFrontWingEffect(s, 70.0));
    EXPECT_DOUBLE_EQ(gp2.GetFrontWingEffect(s, 10.0),
                     100.0 * (9 * 0.0110005 + 11 * 0.008551 + 0.371356));
    EXPECT_DOUBLE_EQ(gp2.GetRearWingEffect(s, 10.0),
                     100.0 * (11 * 0.0386448 + 0.90855 - 9 * 0.0116685));
}

TEST(PhysicsModels, StaticLoadsAddUpToTheSprungWeight) {
    const GP2Physics gp2;
    const GP32KPhysics gp32k;
    for (const Physics* p : std::array<const Physics*, 2>{&gp2, &gp32k}) {
        double share = 0.0, force = 0.0;
        for (int w = 0; w < 4; ++w) {
            share += p->GetWeightDistribution(w);
            force += p->GetWheelMassForce(w);
        }
        EXPECT_NEAR(share, 1.0, 1e-12);
        EXPECT_NEAR(force, p->GetMassAboveSprings() * 9.81, 1e-9);
        EXPECT_NEAR(p->GetFrontMassForce() + p->GetRearMassForce(), force, 1e-9);
    }
    EXPECT_NEAR(gp2.GetFrontWeightDistribution(), 1.307 / 3.1623, 1e-15);
}

TEST(PhysicsModels, TorqueCurve) {
    const GP2Physics gp2;
    const GP3Physics gp3;
    // Reference values evaluated separately from the curve's coefficients.
    EXPECT_NEAR(gp2.GetTorque(Rpm(10000)), 256.9542910018529, 1e-6);
    EXPECT_NEAR(gp2.GetTorque(Rpm(14800)), 343.09820244985167, 1e-6);
    // Below 3500 rpm the curve holds its start value, above the maximum revs
    // its end value.
    EXPECT_EQ(gp2.GetTorque(Rpm(3000)), gp2.GetTorque(Rpm(3500)));
    EXPECT_EQ(gp2.GetTorque(0.0), gp2.GetTorque(Rpm(3500)));
    EXPECT_NEAR(gp2.GetTorque(Rpm(20000)), 335.21667533321306, 1e-6);
    // GP3 revs past 16900 rpm, onto the straight line, which ends below zero.
    EXPECT_NEAR(gp3.GetTorque(Rpm(17000)), 7776.9892 - 17000.0 / 16900.0 * 7467.0943, 1e-9);
    EXPECT_EQ(gp3.GetTorque(Rpm(18000)), 0.0);
}

TEST(PhysicsSpeed, MaxSpeedOfTheDefaultGP2Setup) {
    const GP2Physics gp2;
    const GP2CarSetup setup;
    const double v = gp2.CalcPredictedMaxSpeed(setup);
    EXPECT_NEAR(v, 92.6262, 1e-4);
    EXPECT_NEAR(v * 3.6, 333.45, 5e-3);
    EXPECT_LT(CubicResidual(gp2, setup, v), 1e-9);
}

TEST(PhysicsSpeed, MaxSpeedSolvesTheDragCubicForEveryModelAndWing) {
    const GP2Physics gp2;
    const GP3Physics gp3;
    const GP32KPhysics gp32k;
    const GP4Physics gp4;
    TestSetup s;
    for (const Physics* p : std::array<const Physics*, 4>{&gp2, &gp3, &gp32k, &gp4}) {
        for (double front : {0.0, 1.0, 10.0, 40.0, 99.0}) {
            for (double rear : {0.0, 1.0, 12.0, 40.0, 99.0}) {
                s.frontWing = front;
                s.rearWing = rear;
                const double v = p->CalcPredictedMaxSpeed(s);
                EXPECT_GT(v, 0.0);
                EXPECT_LT(CubicResidual(*p, s, v), 1e-9) << front << " " << rear;
            }
        }
    }
}

TEST(PhysicsSpeed, MaxSpeedLimitCases) {
    TestSetup s;
    TunedPhysics p;
    // No rolling resistance: the cube root of power over aero drag.
    p.rolling = 0.0;
    EXPECT_NEAR(p.CalcPredictedMaxSpeed(s), std::cbrt(p.GetBrakeHorsePower() / (p.mass * p.aero)),
                1e-9);
    // Tiny aero drag against large rolling resistance leaves the closed form
    // without a real value; the root is still found.
    p.rolling = 0.0046;
    p.aero = 1e-6;
    const double v = p.CalcPredictedMaxSpeed(s);
    EXPECT_GT(v, 0.0);
    EXPECT_LT(CubicResidual(p, s, v), 1e-9);
    // No aero drag (or no mass): no finite value, reported as 0.
    p.aero = 0.0;
    EXPECT_EQ(p.CalcPredictedMaxSpeed(s), 0.0);
    p.aero = 0.001;
    p.mass = 0.0;
    EXPECT_EQ(p.CalcPredictedMaxSpeed(s), 0.0);
    EXPECT_EQ(p.CalcPredictedBestTopGearRatio(s), 0.0);
}

TEST(PhysicsSpeed, GearsAndBestTopGear) {
    const GP2Physics gp2;
    GP2CarSetup setup;
    const double perRatio = 0.3302 * 0.17097701148835712;
    EXPECT_NEAR(gp2.CalcMaxSpeedForGear(setup, 6), 1675.5160819145563 * perRatio * 59 / 64, 1e-9);
    const double best = gp2.CalcPredictedBestTopGearRatio(setup);
    EXPECT_NEAR(best, gp2.CalcPredictedMaxSpeed(setup) / (perRatio * 1549.8523757709647), 1e-12);
    // The best ratio reaches the top speed at the revs of maximum power.
    EXPECT_NEAR(best * perRatio * gp2.GetRevsAtMaxPower(), gp2.CalcPredictedMaxSpeed(setup), 1e-9);
    // No final drive: no ratio can reach the speed.
    TestSetup noDrive;
    noDrive.diffRatio = 0.0;
    EXPECT_EQ(gp2.CalcPredictedBestTopGearRatio(noDrive), 0.0);
    EXPECT_EQ(gp2.CalcMaxSpeedForGear(noDrive, 1), 0.0);
}

TEST(PhysicsRideHeight, AtRestTheStaticHeightLessTheOffset) {
    const Open<GP4Physics> gp4;
    TestSetup s;
    s.rideHeight = {0.06, 0.062, 0.03, 0.031};
    for (int w = 0; w < 4; ++w) {
        const double o = w < 2 ? 0.002542939 : 0.000733;
        EXPECT_DOUBLE_EQ(gp4.DoCalcPredictedRideHeightAdv(s, 0.0, w), s.rideHeight[w] - o);
        EXPECT_DOUBLE_EQ(gp4.CalcPredictedRideHeight(s, 0.0, w), s.rideHeight[w] - o);
    }
    EXPECT_NEAR(gp4.CalcDeltaRideHeight(s, 0.0), 0.0305 - 0.002542939 + 0.000733, 1e-15);
    // A static height below the minimum still gives the minimum.
    s.rideHeight[2] = 0.004;
    EXPECT_EQ(gp4.CalcPredictedRideHeight(s, 0.0, 2), 0.01);
    s.rideHeight[2] = 0.06;
    s.packers[2] = 0.035;
    EXPECT_DOUBLE_EQ(gp4.GetMinimumRideHeight(s, 2), 0.06 - 0.000733 - 0.005);
}

TEST(PhysicsRideHeight, EquilibriumBalancesTheSpringsAndFallsWithSpeed) {
    const Open<GP4Physics> gp4;
    TestSetup s;
    s.rideHeight = {0.07, 0.066, 0.045, 0.05};
    s.spring = {1600 * kLbIn, 1300 * kLbIn, 1100 * kLbIn, 900 * kLbIn};
    std::array<double, 4> last{1, 1, 1, 1};
    for (double v = 0.0; v <= 90.0; v += 10.0) {
        EXPECT_LT(EquilibriumResidual(gp4, s, v), 1e-9) << v;
        for (int w = 0; w < 4; ++w) {
            const double h = gp4.DoCalcPredictedRideHeightAdv(s, v, w);
            EXPECT_LT(h, last[w]) << v << " " << w;
            last[w] = h;
        }
    }
    // A softer spring lets its wheel sink further.
    const double before = gp4.DoCalcPredictedRideHeightAdv(s, 60.0, 3);
    s.spring[3] *= 0.5;
    EXPECT_LT(gp4.DoCalcPredictedRideHeightAdv(s, 60.0, 3), before);
    EXPECT_LT(EquilibriumResidual(gp4, s, 60.0), 1e-9);
}

TEST(PhysicsRideHeight, NoEquilibriumSitsAtTheMinimum) {
    const Open<GP2Physics> gp2;
    TestSetup s;
    // A front spring without rate cannot carry any aero load.
    s.spring[2] = 0.0;
    EXPECT_EQ(gp2.DoCalcPredictedRideHeightAdv(s, 0.0, 2), 0.032);
    EXPECT_EQ(gp2.DoCalcPredictedRideHeightAdv(s, 30.0, 3), gp2.GetMinimumRideHeight(s, 3));
    EXPECT_TRUE(std::isfinite(gp2.DoCalcPredictedRideHeightAdv(s, 30.0, 0)));
    // Springs so soft that the floor's suction wins at speed.
    s.spring = {5 * kLbIn, 5 * kLbIn, 5 * kLbIn, 5 * kLbIn};
    for (int w = 0; w < 4; ++w) {
        EXPECT_EQ(gp2.CalcPredictedRideHeight(s, 119.0, w), gp2.GetMinimumRideHeight(s, w));
    }
    // Numbers that are no wheel read no setup values.
    EXPECT_EQ(gp2.DoCalcPredictedRideHeightAdv(s, 50.0, 4), 0.0);
    EXPECT_EQ(gp2.CalcPredictedRideHeight(s, 50.0, -1), 0.01);
    EXPECT_EQ(gp2.CalcPredictedSpeedToHitPackers(s, 7), 120.0);
    EXPECT_EQ(gp2.CalcPredictedSpeedToHitPlank(s, 7), 120.0);
}

TEST(PhysicsSpeedToHit, PackersAndPlank) {
    const Open<GP2Physics> gp2;
    TestSetup s;
    // Front packers 12 mm below the static height, above the plank.
    s.rideHeight[2] = s.rideHeight[3] = 88 * 0.0005;
    s.packers[2] = s.packers[3] = 0.028;
    const double packerHeight = gp2.GetMinimumRideHeight(s, 2);
    // Re-forming the remaining travel from the clamped height rounds above
    // zero here; the wheel must still count as on its packers.
    ASSERT_GT(packerHeight - s.rideHeight[2] + (0.04 - 0.028), 0.0);
    const double v = gp2.CalcPredictedSpeedToHitPackers(s, 2);
    ASSERT_LT(v, 120.0);
    EXPECT_LE(gp2.DoCalcPredictedRideHeightAdv(s, v, 2), packerHeight);
    EXPECT_GT(gp2.DoCalcPredictedRideHeightAdv(s, v - 1, 2), packerHeight);
    // The packers hold the wheel above the plank.
    EXPECT_EQ(gp2.CalcPredictedSpeedToHitPlank(s, 2), 120.0);

    // Without packers the plank is the limit and the packers count as never hit.
    const double plank = gp2.CalcPredictedSpeedToHitPlank(s, 0);
    ASSERT_LT(plank, 120.0);
    EXPECT_LE(gp2.DoCalcPredictedRideHeightAdv(s, plank, 0), 0.01);
    EXPECT_GT(gp2.DoCalcPredictedRideHeightAdv(s, plank - 1, 0), 0.01);
    EXPECT_EQ(gp2.CalcPredictedSpeedToHitPackers(s, 0), 120.0);

    // Stiff springs never get there.
    s.spring = {1e8, 1e8, 1e8, 1e8};
    EXPECT_EQ(gp2.CalcPredictedSpeedToHitPackers(s, 2), 120.0);
    EXPECT_EQ(gp2.CalcPredictedSpeedToHitPlank(s, 0), 120.0);
}

TEST(PhysicsLFS, ValuesFromTheReplayHeader) {
    LFSPhysics::Values values;
    values.mass = 1200.0;
    values.massAboveSprings = 1080.0;
    values.wheels[0] = {0.30, 0.2, -0.75, -1.2, -0.25};
    values.wheels[1] = {0.30, 0.2, 0.77, -1.2, -0.25};
    values.wheels[2] = {0.28, 0.2, -0.70, 1.3, -0.26};
    values.wheels[3] = {0.28, 0.2, 0.71, 1.3, -0.26};
    const LFSPhysics lfs(values);
    EXPECT_EQ(lfs.GetFrontWheelMass(), 30.0);
    EXPECT_EQ(lfs.GetRearWheelMass(), 30.0);
    EXPECT_EQ(lfs.GetFrontWheelRadius(), 0.28);
    EXPECT_EQ(lfs.GetRearWheelRadius(), 0.30);
    EXPECT_DOUBLE_EQ(lfs.GetWheelBase(), 2.5);
    EXPECT_DOUBLE_EQ(lfs.GetFrontWheelTread(), 1.41);
    EXPECT_DOUBLE_EQ(lfs.GetRearWheelTread(), 1.52);
    EXPECT_DOUBLE_EQ(lfs.GetHeightBase(), 0.51);
    // The rear wheels sit behind the origin: a positive distance and a
    // front share between 0 and 1.
    EXPECT_DOUBLE_EQ(lfs.GetCOGDistanceToRear(), 1.2);
    EXPECT_DOUBLE_EQ(lfs.GetFrontWeightDistribution(), 0.48);
    EXPECT_DOUBLE_EQ(lfs.GetTorque(837.75), 100.0);
    EXPECT_DOUBLE_EQ(lfs.GetTorque(737.75), 100.0 + 100 * 0.2122);

    // Copies carry every value; a refill replaces them.
    LFSPhysics copy;
    copy = lfs;
    EXPECT_EQ(copy.GetValues().wheels[3].x, 0.71);
    EXPECT_EQ(copy.GetValues().wheels[1].travel, 0.2);
    values.mass = 1300.0;
    copy.SetValues(values);
    EXPECT_EQ(copy.GetMass(), 1300.0);
    EXPECT_EQ(lfs.GetMass(), 1200.0);
}

TEST(PhysicsLFS, NoAerodynamicsNoPredictions) {
    TestSetup s;
    LFSPhysics::Values values;
    values.mass = 1200.0;
    values.massAboveSprings = 1080.0;
    values.wheels[0].y = -1.2;
    values.wheels[2].y = 1.3;
    const LFSPhysics lfs(values);
    EXPECT_EQ(lfs.GetAeroResistanceDragFactor(s), 0.0);
    EXPECT_EQ(lfs.CalcPredictedMaxSpeed(s), 0.0);
    EXPECT_EQ(lfs.CalcPredictedBestTopGearRatio(s), 0.0);
    EXPECT_EQ(lfs.CalcPredictedRideHeight(s, 100.0, 1), 0.058);
    EXPECT_EQ(lfs.CalcPredictedSpeedToHitPackers(s, 2), 120.0);
    EXPECT_EQ(lfs.CalcPredictedSpeedToHitPlank(s, 2), 120.0);
    // A model not yet filled divides by nothing.
    const LFSPhysics empty;
    EXPECT_EQ(empty.GetFrontWeightDistribution(), 0.0);
    EXPECT_EQ(empty.GetRearMassForce(), 0.0);
    EXPECT_EQ(empty.CalcPredictedSpeedToHitPlank(s, 3), 120.0);
}
