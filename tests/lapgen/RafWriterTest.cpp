#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "ReadBack.h"
#include "lapgen/RafWriter.h"

namespace {

using lapgen_test::Bytes;
using lapgen_test::FloatAt;
using lapgen_test::U32At;

lapgen::Lap ShortLap() {
    lapgen::LapSpec spec;
    spec.sampleCount = 200;
    spec.trackLength = 600;
    return lapgen::MakeLap(spec);
}

}  // namespace

TEST(RafWriter, HeaderBlocksAndTheGamesWheelOrder) {
    const lapgen::Lap lap = ShortLap();
    const lapgen::RafOptions options;
    const lapgen::RafRaw raw = lapgen::EncodeRaf(lap, options);
    const Bytes file = lapgen::WriteRaf(raw, options);
    const std::size_t n = raw.blocks.size();
    // One block per 10 ms from the start line to the lap time.
    EXPECT_EQ(n, static_cast<std::size_t>(std::floor(lap.lapTime / 0.01 + 1e-9)) + 1);
    ASSERT_EQ(file.size(), 1024 + 192 * n);
    EXPECT_EQ(std::memcmp(file.data(), "LFSRAF", 6), 0);
    EXPECT_EQ(file[8], 2);
    EXPECT_EQ(file[9], 10);
    EXPECT_EQ(U32At(file, 20), n);
    EXPECT_EQ(FloatAt(file, 28), static_cast<float>(lap.trackLength));
    EXPECT_EQ(file[171], 3);
    EXPECT_EQ(U32At(file, 180), static_cast<std::uint32_t>(std::lround(lap.lapTime * 1000)));
    // Block 0 of the header is the front left wheel: left and ahead of the origin.
    EXPECT_LT(FloatAt(file, 512), 0.0f);
    EXPECT_GT(FloatAt(file, 516), 0.0f);
    EXPECT_GT(FloatAt(file, 512 + 3 * 128), 0.0f);
    EXPECT_LT(FloatAt(file, 516 + 3 * 128), 0.0f);

    // The left rear wheel's load is in the third sub-block of each block.
    const std::size_t last = 1024 + 192 * (n - 1);
    EXPECT_EQ(FloatAt(file, last + 64 + 2 * 32 + 16), raw.blocks.back().load[lapgen::kLeftRear]);
    EXPECT_EQ(FloatAt(file, last + 24), raw.blocks.back().speed);
    // The last block lies within one interval before the line.
    EXPECT_NEAR(raw.blocks.back().lapDistance, lap.samples.back().distance,
                lap.samples.back().speed * 0.01 + 1e-3);
}

TEST(RafWriter, KnobsAndLimits) {
    const lapgen::Lap lap = ShortLap();
    lapgen::RafOptions options;
    options.truncateBy = 5;
    options.blockCountOverride = 3;
    options.trackLengthKnown = false;
    const Bytes file = lapgen::WriteRaf(lapgen::EncodeRaf(lap, options), options);
    EXPECT_EQ(U32At(file, 20), 3u);
    EXPECT_EQ(FloatAt(file, 28), 0.0f);
    EXPECT_EQ((file.size() + 5 - 1024) % 192, 0u);

    options = {};
    options.intervalMs = 0;
    EXPECT_THROW(lapgen::EncodeRaf(lap, options), std::invalid_argument);
    options = {};
    options.splitFractions = {0.2, 0.4, 0.6, 0.8};
    EXPECT_THROW(lapgen::EncodeRaf(lap, options), std::invalid_argument);
}
