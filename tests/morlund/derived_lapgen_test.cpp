// Derived channels against the true values of the generated lap.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "VectorPerf.h"
#include "lapgen/GP2Writer.h"
#include "morlund/formats/gp2/GP2BufManager.h"

using namespace morlund;

TEST(DerivedFromLap, LateralAccelerationFromPrecisePositions) {
    lapgen::LapSpec spec;
    spec.sampleCount = 2000;
    spec.trackLength = 4000;
    const lapgen::Lap lap = lapgen::MakeLap(spec);
    GP2BufManager manager;
    File file = File::FromMemory(lapgen::WriteGP2Perf(lapgen::EncodeGP2(lap), {}), "/x/l.pad");
    ASSERT_TRUE(manager.AddBuffer(file));
    const PerfCore& p = *manager.GetBuffer(0);
    // Inside corners of some bite (the three points on one arc): within 5 % of the true value.
    int compared = 0;
    for (int i = 5; i < p.GetSampleCount() - 5; ++i) {
        const double truth = std::fabs(lap.samples[i].latAcc);
        if (truth < 5.0 || lap.samples[i - 1].curvature != lap.samples[i + 1].curvature) continue;
        EXPECT_NEAR(p.GetLateralAcc(i), truth, 0.05 * truth + 0.3) << i;
        ++compared;
    }
    EXPECT_GT(compared, 200);
    // headings from the positions follow the true heading (continuous, modulo one turn)
    const double offset = p.GetAngle(100) - lap.samples[100].heading;
    for (int i = 100; i < p.GetSampleCount() - 100; i += 50) {
        EXPECT_NEAR(p.GetAngle(i) - lap.samples[i].heading, offset, 0.02) << i;
    }
}

TEST(DerivedFromLap, TrackRebuiltFromLateralAccelerationClosesOnTheTrueOutline) {
    lapgen::LapSpec spec;
    spec.sampleCount = 3000;
    spec.trackLength = 4000;
    const lapgen::Lap lap = lapgen::MakeLap(spec);
    testsupport::VectorPerf p;
    p.useLatAcc = true;
    p.overrideLatAcc = true;
    p.lapTime = lap.lapTime;
    for (const auto& s : lap.samples) {
        p.distance.push_back(s.distance);
        p.speed.push_back(s.speed);
        p.latAcc.push_back(-s.latAcc);  // buffers count lateral acceleration positive to the right
    }
    p.Load();
    // The rebuilt outline starts at the origin heading along +y; turn the true one the same way.
    const double turn = std::numbers::pi / 2 - lap.samples[0].heading;
    const double c = std::cos(turn), s = std::sin(turn);
    double worst = 0;
    for (std::size_t i = 0; i < lap.samples.size(); ++i) {
        const double tx = lap.samples[i].x - lap.samples[0].x;
        const double ty = lap.samples[i].y - lap.samples[0].y;
        const double ex = c * tx - s * ty;
        const double ey = s * tx + c * ty;
        worst = std::max(worst, std::hypot(p.GetPosX(int(i)) - ex, p.GetPosY(int(i)) - ey));
    }
    EXPECT_LT(worst, 0.01 * lap.trackLength);  // within 1 % of the lap length everywhere
    const int n = p.GetSampleCount();
    EXPECT_LT(std::hypot(p.GetPosX(n - 1) - p.GetPosX(0), p.GetPosY(n - 1) - p.GetPosY(0)),
              2 * lap.trackLength / n + 1.0);  // the loop closes
}
