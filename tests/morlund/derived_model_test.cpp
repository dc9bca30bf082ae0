#include <gtest/gtest.h>

#include <cmath>

#include "VectorPerf.h"
#include "lapgen/GP2Writer.h"
#include "morlund/formats/gp2/GP2BufManager.h"
#include "morlund/formats/gp2/GP2CarSetup.h"
#include "morlund/physics/Physics.h"

using namespace morlund;
using testsupport::Range;
using testsupport::VectorPerf;

namespace {
// The default GP2 record: packers 0, springs 100,100,140,140 (x 10 lb/in), bars rear step 2
// (100 lb/in), front step 5 (3000 lb/in), maximum travel 0.08 m rear, 0.04 m front.
constexpr double kLbIn = 4.4497179 * 39.37007874015748;
constexpr double kSpring[4] = {1000 * kLbIn, 1000 * kLbIn, 1400 * kLbIn, 1400 * kLbIn};
constexpr double kTravel[4] = {0.08, 0.08, 0.04, 0.04};

VectorPerf& WithTravel(VectorPerf& p, std::vector<std::vector<double>> travel) {
    p.distance = Range(static_cast<int>(travel[0].size()));
    p.travel = std::move(travel);
    p.Load();
    return p;
}
}  // namespace

TEST(DerivedModel, SpringAndAntiRollBarForcesMakeTheTyreLoad) {
    VectorPerf p;
    WithTravel(p, {{0, 0.01}, {0, 0.03}, {0, 0.02}, {0, 0.02}});
    const CarSetup& setup = *p.GetSetup();
    for (int w = 0; w < 4; ++w) {
        // no travel: the static spring force of the setup
        EXPECT_NEAR(p.GetSpringForces(0, w, setup), kTravel[w] * kSpring[w], 1e-6);
        EXPECT_EQ(p.GetARBContrib(0, w, setup), 0.0);
        EXPECT_EQ(p.GetTyreLoad(0, w, setup), p.GetSpringForces(0, w, setup));
    }
    EXPECT_NEAR(p.GetSpringForces(1, 1, setup), (0.08 - 0.03) * kSpring[1], 1e-6);
    // rear axle: right compressed 2 cm more than left; left gains, right loses
    const double rearBar = 100 * kLbIn * 0.02 / 1.8288;
    EXPECT_NEAR(p.GetARBContrib(1, 0, setup), rearBar, 1e-9);
    EXPECT_NEAR(p.GetARBContrib(1, 1, setup), -rearBar, 1e-9);
    EXPECT_EQ(p.GetARBContrib(1, 2, setup), 0.0);  // front axle level
    EXPECT_NEAR(p.GetTyreLoad(1, 0, setup), (0.08 - 0.01) * kSpring[0] + rearBar, 1e-6);
}

TEST(DerivedModel, DampingAndUnsprungInertia) {
    VectorPerf p;
    p.distance = {0, 1, 2, 3};
    p.rideHeight = {0.05, 0.04, 0.04, 0.06};  // wheel w reads value + w
    p.speed = {10, 20, 30, 40};
    p.Load();
    // a setup whose rear slow bump (6) and slow rebound (18) differ
    auto record = lapgen::DefaultSetupRecord();
    record[28] = 6;
    record[32] = 18;
    GP2CarSetup s;
    File f = File::FromMemory(lapgen::WriteGP2Setup(3, record), "/x/s.csd");
    ASSERT_TRUE(s.Serialize(f, false));
    const double wheelMass = 16.6;
    // falling ride height: bump damping, pushing back up
    EXPECT_NEAR(p.GetDampingForces(1, 0, s), -(10 * -0.01 * (1 - 6.0 / 24) * wheelMass), 1e-12);
    EXPECT_EQ(p.GetDampingForces(0, 0, s), p.GetDampingForces(1, 0, s));
    EXPECT_NEAR(p.GetDampingForces(3, 0, s), -(30 * 0.02 * (1 - 18.0 / 24) * wheelMass), 1e-12);
    // second derivative at 2: (0.02 - 0) / 1; times v(1)^2 and the wheel mass
    EXPECT_NEAR(p.GetTyreAccel(2, 3), -(0.02 * 400 * wheelMass), 1e-9);
}

TEST(DerivedModel, StandstillDownforceIsTheStaticWeight) {
    VectorPerf p;
    p.distance = Range(2);
    p.speed = {0, 50};
    p.revs = {0, 1000};
    p.Load();
    const CarSetup& s = *p.GetSetup();
    const Physics& m = *p.GetPhysics();
    EXPECT_NEAR(p.GetDownforce(0, 0, s), m.GetRearMassForce() / 2, 1e-9);
    EXPECT_NEAR(p.GetDownforce(0, 3, s), m.GetFrontMassForce() / 2, 1e-9);
    EXPECT_NEAR(p.GetDownforceSum(0, 0.0, s), 575 * 9.81, 1e-9);
    EXPECT_GT(p.GetDownforceSum(1, 50.0, s), p.GetDownforceSum(1, 0.0, s));
    EXPECT_EQ(p.GetDragAcc(0, s), 0.0);
    EXPECT_EQ(p.GetPower(0, s), 0.0);
    EXPECT_EQ(p.GetTorque(0, s), 0.0);  // no engine speed: no torque rather than a division by 0
    EXPECT_LT(p.GetDragAcc(1, s), 0.0);
    EXPECT_DOUBLE_EQ(p.GetTorque(1, s), p.GetPower(1, s) / 1000);
    // power at constant speed is what the resistances take
    EXPECT_NEAR(p.GetPower(1, s), -m.GetMass() * 50 * p.GetDragAcc(1, s), 1e-6);
}

TEST(DerivedModel, CentreOfGravityNeedsSevenTenthsOfAG) {
    VectorPerf p;
    p.overrideLatAcc = true;
    p.distance = Range(3);
    p.latAcc = {6.867, 6.8669, -7.0};
    p.travel = {{0.01, 0.01, 0.01}, {0.02, 0.02, 0.02}, {0.01, 0.01, 0.01}, {0.015, 0.015, 0.015}};
    p.Load();
    const CarSetup& s = *p.GetSetup();
    const Physics& m = *p.GetPhysics();
    EXPECT_NE(p.GetCOGHeightInternalLat(0, s), 10000.0);  // the bound itself is computed
    EXPECT_EQ(p.GetCOGHeightInternalLat(1, s), 10000.0);
    const double s0 = (0.08 - 0.01) * kSpring[0], s1 = (0.08 - 0.02) * kSpring[1];
    const double s2 = (0.04 - 0.01) * kSpring[2], s3 = (0.04 - 0.015) * kSpring[3];
    const double h = p.GetCOGHeightExternal(2);
    EXPECT_NEAR(p.GetCOGHeightInternalLat(2, s),
                ((s2 - s3) * 1.8669 / 2 + (s0 - s1) * 1.8288 / 2) / (575 * -7.0) - h, 1e-9);
    // no longitudinal acceleration: the combined heights carry the marker, not half of it
    EXPECT_EQ(p.GetCOGHeightInternalLong(2, s), 10000.0);
    EXPECT_EQ(p.GetCOGHeightInternal(2, s), 10000.0);
    EXPECT_EQ(p.GetCOGHeight(2, s), 10000.0);
    // reference height: average ride height plus the rake weighted by the centre of gravity
    const double avg = p.GetAvgRideHeight(2), delta = p.GetDeltaRideHeight(2);
    EXPECT_DOUBLE_EQ(h, avg + 0.5 * delta * (m.GetWheelBase() - 2 * m.GetCOGDistanceToRear()));
}

TEST(DerivedModel, GripCurveOfTheTyreModel) {
    VectorPerf p;
    p.distance = Range(1);
    p.speed = {10};
    p.wheelSpeed = {10};
    p.Load();
    EXPECT_DOUBLE_EQ(p.GetPredictedGripFactor(0, 0), 0.0);
    double best = 0, bestSlip = 0;
    for (double slip : {0.05, 0.1, 0.15, 0.16, 0.17, 0.2, 0.5, 2.0}) {
        p.wheelSpeed = {10 * (1 + slip)};
        const double up = p.GetPredictedGripFactor(0, 0);
        p.wheelSpeed = {10 * (1 - slip)};
        EXPECT_NEAR(p.GetPredictedGripFactor(0, 0), -up, 1e-12) << slip;  // odd
        if (up > best) best = up, bestSlip = slip;
    }
    EXPECT_NEAR(best, 3.12, 0.01);
    EXPECT_NEAR(bestSlip, 0.16, 0.011);
    p.wheelSpeed = {10 * 11};
    EXPECT_NEAR(p.GetPredictedGripFactor(0, 0), 2.5051182, 1e-6);
}

TEST(DerivedModel, GripFactorWithoutLoadIsZero) {
    VectorPerf p;
    p.distance = Range(1);
    // travel equal to the free travel: the spring carries nothing
    p.travel = {{0.08}, {0.08}, {0.04}, {0.04}};
    p.Load();
    EXPECT_EQ(p.GetTyreLoad(0, 0, *p.GetSetup()), 0.0);
    EXPECT_EQ(p.GetGripFactor(0, 0, *p.GetSetup()), 0.0);
}

TEST(DerivedModel, SpringForcesOfAGeneratedLapWithItsSetup) {
    lapgen::LapSpec spec;
    spec.sampleCount = 500;
    const lapgen::GP2Raw raw = lapgen::EncodeGP2(lapgen::MakeLap(spec));
    GP2BufManager manager;
    File file = File::FromMemory(lapgen::WriteGP2Perf(raw, {}), "/x/l.pad");
    ASSERT_TRUE(manager.AddBuffer(file));
    const PerfCore& p = *manager.GetBuffer(0);
    const CarSetup& s = *p.GetSetup();
    for (int i = 0; i < p.GetSampleCount(); i += 7) {
        for (int w = 0; w < 4; ++w) {
            const double travel = raw.samples[i].suspTravel[w] * 0.0003125;
            EXPECT_NEAR(p.GetSpringForces(i, w, s), (kTravel[w] - travel) * kSpring[w], 1e-6);
        }
        const double e = (raw.samples[i].suspTravel[3] - raw.samples[i].suspTravel[2]) * 0.0003125;
        EXPECT_NEAR(p.GetTyreLoad(i, 2, s),
                    (0.04 - raw.samples[i].suspTravel[2] * 0.0003125) * kSpring[2] +
                        3000 * kLbIn * e / 1.8669,
                    1e-6);
    }
}
