#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "VectorPerf.h"
#include "morlund/formats/gp2/GP2CarSetup.h"

using namespace morlund;
using testsupport::Range;
using testsupport::VectorPerf;

namespace {
constexpr double kWheelBase = 3.1623;  // the GP2 car, the default model
}

TEST(DerivedMotion, DerivativesOfRideHeightAndTravel) {
    VectorPerf p;
    p.distance = {0, 2, 4, 8, 8, 10};
    p.rideHeight = {1, 2, 4, 4, 5, 9};  // wheel w reads value + w; travel reads -value
    p.speed = {5, 6, 7, 8, 9, 10};
    p.Load();
    EXPECT_EQ(p.GetRH1stDeriv(0, 0), p.GetRH1stDeriv(1, 0));  // the first sample borrows
    EXPECT_DOUBLE_EQ(p.GetRH1stDeriv(2, 3), 1.0);             // (4 - 2) / 2
    EXPECT_DOUBLE_EQ(p.GetST1stDeriv(2, 1), -1.0);
    EXPECT_EQ(p.GetRH1stDeriv(4, 0), 0.0);                   // two samples at the same distance
    EXPECT_DOUBLE_EQ(p.GetRH1stDerivTime(2, 0), 6.0 * 1.0);  // speed of the sample before
    // (d1(3) - d1(2)) / (d(2) - d(1)) = (0 - 1) / 2
    EXPECT_DOUBLE_EQ(p.GetRH2ndDeriv(2, 0), -0.5);
    EXPECT_DOUBLE_EQ(p.GetRH2ndDerivTime(2, 0), -0.5 * 36.0);
    EXPECT_EQ(p.GetRH2ndDeriv(5, 0),
              p.GetRH2ndDeriv(4, 0));  // the last borrows from the one before
    EXPECT_EQ(p.GetRH2ndDeriv(0, 0), p.GetRH2ndDeriv(1, 0));
    EXPECT_DOUBLE_EQ(p.GetAvgRideHeight(2), 4 + 1.5);
    EXPECT_DOUBLE_EQ(p.GetDeltaRideHeight(2), -2.0);  // rear (4 + 5) minus front (6 + 7), halved
}

TEST(DerivedMotion, ShortBuffersReadNothingOutsideTheSamples) {
    for (int n : {1, 2}) {
        VectorPerf p;
        p.distance = Range(n);
        p.rideHeight.assign(n, 0.05);
        p.Load();
        const int last = n - 1;
        EXPECT_EQ(p.GetRH2ndDeriv(last, 0), 0.0);
        EXPECT_EQ(p.GetST2ndDerivTime(0, 1), 0.0);
        EXPECT_EQ(p.GetCalculatedAcc(last), 0.0);
        EXPECT_EQ(p.GetRadius(0), Vect());
        EXPECT_EQ(p.GetSpeedVector(0), Vect());
        EXPECT_EQ(p.GetAccelerationVector(0), Vect());
        if (n == 1) {
            EXPECT_EQ(p.GetRH1stDeriv(0, 0), 0.0);
            EXPECT_EQ(p.GetRH1stDerivTime(0, 0), 0.0);
            EXPECT_EQ(p.GetRevRange(0), 0.0);
        }
    }
}

TEST(DerivedMotion, CalculatedAccelerationUsesAWindowOfThree) {
    VectorPerf p;
    p.distance = Range(10);
    p.speed = Range(10, 2.0);  // 2 m/s more every sample
    p.lapTime = 9.0;           // one second per sample
    p.Load();
    for (int i = 0; i < 10; ++i) {
        const bool inside = i >= 3 && i <= 7;
        EXPECT_EQ(p.GetCalculatedAcc(i), inside ? 2.0 : 0.0) << i;
        EXPECT_EQ(p.GetLongitudalAcc(i), p.GetCalculatedAcc(i));
    }
    p.lapTime = 0.0001 * 9;  // a window shorter than a millisecond gives nothing
    EXPECT_EQ(p.GetCalculatedAcc(5), 0.0);
}

TEST(DerivedMotion, SpeedAndAccelerationVectorsFollowThePath) {
    VectorPerf p;
    p.ownPositions = true;
    p.distance = Range(12);
    p.x = Range(12, 3.0);
    p.y.assign(12, 0.0);
    p.speed = Range(12, 1.0);
    p.lapTime = 11.0;
    p.Load();
    EXPECT_EQ(p.GetSpeedVector(5), Vect(5.0, 0.0));
    EXPECT_EQ(p.GetAccelerationVector(6), Vect(1.0, 0.0));  // speeds 8 and 3, five seconds apart
    p.x.assign(12, 1.0);  // standing still: no direction, no acceleration
    EXPECT_EQ(p.GetSpeedVector(5), Vect());
    EXPECT_EQ(p.GetAccelerationVector(6), Vect());
}

TEST(DerivedMotion, RadiiFromSteeringAndFromLateralAcceleration) {
    VectorPerf p;
    p.ownPositions = true;
    p.distance = Range(3);
    p.x = {0, 1, 2};
    p.y = {0, 0, 0};
    p.steering = {0.1, -0.1, 0.0};
    p.Load();
    EXPECT_DOUBLE_EQ(p.GetSteeringRadius(0), kWheelBase / std::tan(0.1));
    EXPECT_DOUBLE_EQ(p.GetSteeringRadius(1), kWheelBase / std::tan(0.1));  // either direction
    EXPECT_EQ(p.GetSteeringRadius(2), 10000.0);
    EXPECT_EQ(p.SteerAngleToRadius(-0.2), 10000.0);
    EXPECT_DOUBLE_EQ(p.RadiusToSteerAngle(kWheelBase), std::numbers::pi / 4);
    // a straight line: no lateral acceleration, the no-value radius
    EXPECT_EQ(p.GetCurveRadius(1), 10000.0);
    EXPECT_DOUBLE_EQ(p.GetInverseCornerRadius(1), 0.0001);

    VectorPerf bend;
    bend.overrideLatAcc = true;
    bend.distance = Range(2);
    bend.latAcc = {-25.0, 0.0};
    bend.Load();
    EXPECT_DOUBLE_EQ(bend.GetCurveRadius(0), -4.0);  // signed like the acceleration
    EXPECT_DOUBLE_EQ(bend.GetInverseCornerRadius(0), -0.25);
}

TEST(DerivedMotion, WheelSpinBringsEachWheelToTheCarsPath) {
    VectorPerf p;
    p.ownPositions = true;
    // a circle of radius 20 m through samples 0..2
    const double r = 20.0;
    p.distance = Range(3);
    for (int i = 0; i < 3; ++i) {
        const double a = 0.1 * (i - 1);
        p.x.push_back(r * std::sin(a));
        p.y.push_back(r - r * std::cos(a));
    }
    p.wheelSpeed = {12, 12, 12};
    p.speed = {10, 10, 10};
    p.steering = {0, 0.2, 0};
    p.Load();
    ASSERT_NEAR(PerfCore::RadiusLength(p.GetRadius(1)), r, 1e-9);
    // steering left: the right wheels run on the outside
    EXPECT_NEAR(p.GetWheelSpin(1, 1), 12 * r / (r + 1.8288 / 2) - 10, 1e-9);
    EXPECT_NEAR(p.GetWheelSpin(1, 0), 12 * r / (r - 1.8288 / 2) - 10, 1e-9);
    const double outerFront = std::hypot(r + 1.8669 / 2, kWheelBase);
    EXPECT_NEAR(p.GetWheelSpin(1, 3), 12 * r / outerFront - 10, 1e-9);
    // no steering, or no path radius: the plain difference
    p.steering = {0, 0, 0};
    EXPECT_DOUBLE_EQ(p.GetWheelSpin(1, 2), 2.0);
    EXPECT_DOUBLE_EQ(p.GetWheelSpin(0, 2), 2.0);
    EXPECT_DOUBLE_EQ(p.GetLongitudalSlip(0, 2), 0.2);
    p.speed = {0, 0, 0};
    p.wheelSpeed = {0, 0, 0};
    EXPECT_EQ(p.GetLongitudalSlip(0, 2), 0.0);
}

TEST(DerivedMotion, RevRangeAndEffectiveFinalRatio) {
    VectorPerf p;
    p.distance = {0, 10, 20, 20};
    p.speed = {20, 30, 25, 40};
    p.revs = {1000, 1200, 1300, 1100};
    p.wheelSpeed = {30, 30, 30, 30};
    p.gear = {1, 2, 0, 3};
    p.Load();
    EXPECT_EQ(p.GetRevRange(0), p.GetRevRange(1));
    EXPECT_DOUBLE_EQ(p.GetRevRange(1), 30.0 * 200 / 10);
    EXPECT_EQ(p.GetRevRange(2), 0.0);  // slowing down
    EXPECT_EQ(p.GetRevRange(3), 0.0);  // same distance: no rise to measure
    GP2CarSetup setup;                 // gear 2 = 35 / 64
    EXPECT_DOUBLE_EQ(p.GetDiffRatio(1, setup), 30.0 / (35.0 / 64 * 1200));
    EXPECT_EQ(p.GetDiffRatio(2, setup), 0.0);  // neutral
    p.revs = {0, 0, 0, 0};
    EXPECT_EQ(p.GetDiffRatio(1, setup), 0.0);
}
