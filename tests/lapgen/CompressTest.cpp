#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "Expand.h"
#include "lapgen/GP2Writer.h"

namespace {

using lapgen_test::Expand;
using lapgen_test::ExpandError;

std::vector<std::uint8_t> Noise(std::size_t size, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& b : bytes) {
        b = static_cast<std::uint8_t>(rng() >> 24);
    }
    return bytes;
}

void ExpectRoundTrip(const std::vector<std::uint8_t>& input) {
    const auto stored = lapgen::CompressGP(input);
    const auto expanded = Expand(stored);
    EXPECT_EQ(expanded.error, ExpandError::None);
    EXPECT_EQ(expanded.bytes, input);
}

TEST(CompressGP, RunOfEqualBytesIsOneLiteralAndOneOverlappingReference) {
    // Literal 0, then 10 bytes copied from distance 1: flags 0b10, word (7 << 13) | 0.
    const std::vector<std::uint8_t> run(11, 0);
    EXPECT_EQ(lapgen::CompressGP(run), (std::vector<std::uint8_t>{0x02, 0x00, 0x00, 0xE0}));

    const std::vector<std::uint8_t> longRun(1000, 0x5a);
    const auto stored = lapgen::CompressGP(longRun);
    const auto expanded = Expand(stored);
    EXPECT_EQ(expanded.bytes, longRun);
    EXPECT_GT(expanded.overlapping, 90u);
    EXPECT_LT(stored.size(), 250u);
}

TEST(CompressGP, RoundTripsEdgeCases) {
    EXPECT_TRUE(lapgen::CompressGP({}).empty());
    ExpectRoundTrip({7});
    ExpectRoundTrip({7, 7});
    ExpectRoundTrip({1, 2, 3, 1, 2, 3, 1, 2, 3});
    // Items not a multiple of 8, so the last group is partial.
    ExpectRoundTrip(Noise(8 * 5 + 3, 1));

    const auto noise = Noise(20000, 2);
    ExpectRoundTrip(noise);
    // Incompressible input costs at most one flag byte per 8 literals.
    EXPECT_LE(lapgen::CompressGP(noise).size(), noise.size() + noise.size() / 8 + 1);
}

TEST(CompressGP, UsesTheWholeWindowButNotBeyond) {
    // Repeats at exactly the largest distance must be found...
    auto block = Noise(8192, 3);
    std::vector<std::uint8_t> periodMax = block;
    periodMax.insert(periodMax.end(), block.begin(), block.end());
    ExpectRoundTrip(periodMax);
    EXPECT_LT(lapgen::CompressGP(periodMax).size(), 8192u + 8192u / 8 + 8192u / 3);

    // ...and one further must not be encoded (it would wrap to distance 1).
    block.push_back(0x42);
    std::vector<std::uint8_t> periodTooFar = block;
    periodTooFar.insert(periodTooFar.end(), block.begin(), block.end());
    ExpectRoundTrip(periodTooFar);
}

TEST(CompressGP, ShrinksARealBody) {
    lapgen::LapSpec spec;
    spec.seed = 5;
    spec.sampleCount = 3000;
    const auto body =
        lapgen::BuildGP2Body(lapgen::EncodeGP2(lapgen::MakeLap(spec)), lapgen::GP2WriteOptions{});
    const auto stored = lapgen::CompressGP(body);
    const auto expanded = Expand(stored);
    EXPECT_EQ(expanded.bytes, body);
    EXPECT_GT(expanded.references, body.size() / 20);
    EXPECT_LT(stored.size(), body.size() * 7 / 10);
}

}  // namespace
