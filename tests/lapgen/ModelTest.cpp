#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "lapgen/Model.h"

namespace {

using lapgen::Lap;
using lapgen::LapSpec;

Lap MakeLap(std::uint64_t seed, int samples = 2000, double length = 4000.0) {
    LapSpec spec;
    spec.seed = seed;
    spec.sampleCount = samples;
    spec.trackLength = length;
    return lapgen::MakeLap(spec);
}

TEST(LapModel, OutlineClosesAndTurnsOnce) {
    for (std::uint64_t seed = 1; seed <= 30; ++seed) {
        SCOPED_TRACE(seed);
        const Lap lap = MakeLap(seed, 1500);
        const auto& first = lap.samples.front();
        const auto& last = lap.samples.back();
        EXPECT_NEAR(last.x, first.x, 1e-6);
        EXPECT_NEAR(last.y, first.y, 1e-6);
        EXPECT_NEAR(last.heading - first.heading, 2 * std::numbers::pi, 1e-9);
        EXPECT_NEAR(lap.trackLength, 4000.0, 1e-6);
        // Each step turns by what the signed curvature at its ends allows (one corner entry or
        // exit at most per step), so the curvature's sign and size match the outline.
        for (std::size_t i = 1; i < lap.samples.size(); ++i) {
            const auto& a = lap.samples[i - 1];
            const auto& b = lap.samples[i];
            const double step = b.distance - a.distance;
            const double turn = b.heading - a.heading;
            ASSERT_GE(turn, std::min(a.curvature, b.curvature) * step - 1e-9) << i;
            ASSERT_LE(turn, std::max(a.curvature, b.curvature) * step + 1e-9) << i;
        }
    }
}

TEST(LapModel, TimeDistanceAndPositionAgree) {
    const Lap lap = MakeLap(3, 3000);
    ASSERT_EQ(lap.samples.size(), 3000u);
    EXPECT_DOUBLE_EQ(lap.lapTime, 2999 * lap.timeStep);
    EXPECT_EQ(lap.samples.front().distance, 0.0);
    EXPECT_EQ(lap.samples.back().distance, lap.trackLength);
    EXPECT_EQ(lap.samples.back().time, lap.lapTime);
    for (std::size_t i = 1; i < lap.samples.size(); ++i) {
        const auto& a = lap.samples[i - 1];
        const auto& b = lap.samples[i];
        ASSERT_NEAR(b.time - a.time, lap.timeStep, 1e-9) << i;
        const double step = b.distance - a.distance;
        ASSERT_GE(step, 0.0) << i;
        ASSERT_NEAR(step, (a.speed + b.speed) / 2 * lap.timeStep, 0.01) << i;
        // A chord is never longer than the arc and barely shorter over a few metres.
        const double chord = std::hypot(b.x - a.x, b.y - a.y);
        ASSERT_LE(chord, step + 1e-9) << i;
        ASSERT_GE(chord, step * 0.999) << i;
    }
}

TEST(LapModel, EveryValueFitsTheFileFields) {
    struct Case {
        std::uint64_t seed;
        double length;
    };
    for (const Case c : {Case{1, 4000}, Case{2, 1500}, Case{9, 7000}, Case{4, 19000}}) {
        SCOPED_TRACE(c.seed);
        const Lap lap = MakeLap(c.seed, 2000, c.length);
        EXPECT_LE(lap.trackLength, c.length + 1e-6);
        EXPECT_LT(lap.trackLength, 19900.0);
        for (const auto& s : lap.samples) {
            ASSERT_LE(std::abs(s.x), 1200.0);
            ASSERT_LE(std::abs(s.y), 1200.0);
            ASSERT_GT(s.speed, 5.0);
            ASSERT_LT(s.speed, 150.0);
            ASSERT_GE(s.gear, 1);
            ASSERT_LE(s.gear, 6);
            const double rpm = s.revs * 30 / std::numbers::pi;
            ASSERT_GE(rpm, 3000.0);
            ASSERT_LE(rpm, 15000.0);
            ASSERT_GE(s.throttle, 0.0);
            ASSERT_LE(s.throttle, 1.0);
            ASSERT_GE(s.brake, 0.0);
            ASSERT_LE(s.brake, 1.0);
            ASSERT_FALSE(s.throttle > 0 && s.brake > 0);
            ASSERT_LT(std::abs(s.steering), 0.5);
            for (int w = 0; w < 4; ++w) {
                ASSERT_GE(s.rideHeight[w], 0.01);
                ASSERT_LE(s.rideHeight[w], 0.15);
                ASSERT_GE(s.suspTravel[w], 0.0);
                ASSERT_LE(s.suspTravel[w], 0.075);
                ASSERT_GE(s.wheelSpeed[w], 0.0);
                ASSERT_LT(s.wheelSpeed[w], 150.0);
                ASSERT_GE(s.wheelLoad[w], 0.0);
            }
        }
    }
}

TEST(LapModel, SpeedsRespectGripAndLessGripIsSlower) {
    double previousLapTime = 0;
    for (double grip : {1.0, 0.9, 0.8}) {
        LapSpec spec;
        spec.seed = 6;
        spec.gripScale = grip;
        const Lap lap = lapgen::MakeLap(spec);
        double maxLat = 0;
        for (const auto& s : lap.samples) {
            ASSERT_LE(std::abs(s.latAcc), lapgen::kMaxLateralAcc * grip * (1 + 1e-9));
            maxLat = std::max(maxLat, std::abs(s.latAcc));
        }
        EXPECT_GT(maxLat, lapgen::kMaxLateralAcc * grip * 0.99);  // corners are taken flat out
        EXPECT_GT(lap.lapTime, previousLapTime);
        previousLapTime = lap.lapTime;
    }
}

// Wheel order 0 LR, 1 RR, 2 LF, 3 RF must match the physics, or every reader test that
// compares per-wheel channels checks the wrong wheel.
TEST(LapModel, WheelChannelsFollowTheCar) {
    int leftTurns = 0, hardBraking = 0, spins = 0, lockUps = 0;
    for (std::uint64_t seed = 1; seed <= 8; ++seed) {
        const Lap lap = MakeLap(seed);
        for (const auto& s : lap.samples) {
            if (s.latAcc > 10 && s.brake == 0) {
                ++leftTurns;
                ASSERT_GT(s.wheelLoad[1], s.wheelLoad[0]);
                ASSERT_GT(s.wheelLoad[3], s.wheelLoad[2]);
                ASSERT_GT(s.wheelSpeed[3], s.wheelSpeed[2]);
                ASSERT_GT(s.suspTravel[3], s.suspTravel[2]);
                ASSERT_LT(s.rideHeight[3], s.rideHeight[2]);
            }
            if (s.longAcc < -20) {
                ++hardBraking;
                ASSERT_GT(s.wheelLoad[2], s.wheelLoad[0]);
                ASSERT_GT(s.wheelLoad[3], s.wheelLoad[1]);
            }
            const double freeLeft = s.speed * (1 - s.curvature * lapgen::kTrackWidth / 2);
            const double freeRight = s.speed * (1 + s.curvature * lapgen::kTrackWidth / 2);
            // Only the driven rears spin, only the fronts lock.
            ASSERT_LE(s.wheelSpeed[2], freeLeft + 1e-9);
            ASSERT_LE(s.wheelSpeed[3], freeRight + 1e-9);
            ASSERT_GE(s.wheelSpeed[0], freeLeft - 1e-9);
            ASSERT_GE(s.wheelSpeed[1], freeRight - 1e-9);
            spins += (s.throttle > 0 && s.wheelSpeed[0] > 1.03 * freeLeft) ? 1 : 0;
            lockUps += (s.brake > 0.5 && s.wheelSpeed[2] < 0.95 * freeLeft) ? 1 : 0;
        }
    }
    EXPECT_GT(leftTurns, 100);
    EXPECT_GT(hardBraking, 100);
    EXPECT_GT(spins, 100);
    EXPECT_GT(lockUps, 10);
}

TEST(LapModel, DownforceCompressesTheSuspension) {
    const Lap lap = MakeLap(2);
    const auto [slowest, fastest] =
        std::minmax_element(lap.samples.begin(), lap.samples.end(),
                            [](const auto& a, const auto& b) { return a.speed < b.speed; });
    for (int w = 0; w < 4; ++w) {
        EXPECT_GT(fastest->suspTravel[w], slowest->suspTravel[w]) << w;
        EXPECT_LT(fastest->rideHeight[w], slowest->rideHeight[w]) << w;
    }
}

TEST(LapModel, SameSpecSameLap) {
    const Lap a = MakeLap(12, 800);
    const Lap b = MakeLap(12, 800);
    const Lap other = MakeLap(13, 800);
    ASSERT_EQ(a.samples.size(), b.samples.size());
    EXPECT_EQ(a.lapTime, b.lapTime);
    for (std::size_t i = 0; i < a.samples.size(); ++i) {
        ASSERT_EQ(a.samples[i].x, b.samples[i].x);
        ASSERT_EQ(a.samples[i].speed, b.samples[i].speed);
        ASSERT_EQ(a.samples[i].wheelSpeed[1], b.samples[i].wheelSpeed[1]);
    }
    EXPECT_NE(a.samples[100].x, other.samples[100].x);
}

TEST(LapModel, RejectsUnusableSpecs) {
    LapSpec spec;
    spec.sampleCount = 1;
    EXPECT_THROW(lapgen::MakeLap(spec), std::invalid_argument);
    spec = {};
    spec.trackLength = 50;
    EXPECT_THROW(lapgen::MakeLap(spec), std::invalid_argument);
    spec.trackLength = 20000;
    EXPECT_THROW(lapgen::MakeLap(spec), std::invalid_argument);
    spec = {};
    spec.gripScale = 0;
    EXPECT_THROW(lapgen::MakeLap(spec), std::invalid_argument);
}

}  // namespace
