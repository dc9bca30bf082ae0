#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "Expand.h"
#include "ReadBack.h"
#include "lapgen/GP3Writer.h"

namespace {

using lapgen_test::Bytes;
using lapgen_test::U16At;
using lapgen_test::U32At;

bool ChecksumIsPlain(const Bytes& file) {
    const std::uint32_t stored =
        U16At(file, file.size() - 4) | (U16At(file, file.size() - 2) << 16);
    return stored == lapgen::GPChecksum(std::span(file).first(file.size() - 4));
}

const lapgen::Lap& SmallLap() {
    static const lapgen::Lap lap = [] {
        lapgen::LapSpec spec;
        spec.seed = 5;
        spec.sampleCount = 300;
        spec.track = 9;
        return lapgen::MakeLap(spec);
    }();
    return lap;
}

}  // namespace

TEST(GP3Writer, EncodesTheModelInTheGamesUnits) {
    const lapgen::Lap& lap = SmallLap();
    const lapgen::GP3Raw raw = lapgen::EncodeGP3(lap);
    ASSERT_EQ(raw.samples.size(), lap.samples.size());
    for (std::size_t i = 0; i < raw.samples.size(); ++i) {
        const lapgen::Sample& s = lap.samples[i];
        const lapgen::GP3SampleRaw& r = raw.samples[i];
        ASSERT_NEAR((r.revs - 100) * lapgen::kRevsUnit, s.revs, lapgen::kRevsUnit);
        ASSERT_NEAR(r.latAcc, -s.latAcc, 0.5 + 1e-9);  // positive to the right
        ASSERT_NEAR(r.longAcc, s.longAcc, 0.5 + 1e-9);
        ASSERT_NEAR((r.coarseX - 128) * lapgen::kCoarsePosUnit, s.x, lapgen::kCoarsePosUnit);
        ASSERT_NEAR(r.wheelSpeedHigh[1] * 256 * lapgen::kWheelSpeedUnit, s.wheelSpeed[1],
                    256 * lapgen::kWheelSpeedUnit);
    }
    EXPECT_EQ(raw.track, 9);
}

TEST(GP3Writer, LaysOutEnvelopeBodyAndSamples) {
    lapgen::GP3Raw raw = lapgen::EncodeGP3(SmallLap());
    raw.samples[1].latAcc = -7;
    raw.samples[1].longAcc = 5;
    raw.samples[1].revs = 12100;
    const std::size_t n = raw.samples.size();
    const Bytes gp3 = lapgen::WriteGP3Perf(lapgen::GP3Game::GP3, raw);
    const Bytes gp4 = lapgen::WriteGP3Perf(lapgen::GP3Game::GP4, raw);
    ASSERT_EQ(gp3.size(), 32 + 32 + 27 * n + 4);
    EXPECT_EQ(U32At(gp3, 0), 0x853da1beu);
    EXPECT_EQ(U32At(gp4, 0), 0xabadfeedu);
    EXPECT_EQ(gp3[4], 0x0D);
    EXPECT_EQ(gp3[5], 9);
    EXPECT_TRUE(ChecksumIsPlain(gp3));
    EXPECT_TRUE(ChecksumIsPlain(gp4));
    EXPECT_EQ(U32At(gp3, 32), n);
    const std::size_t s1 = 64 + 27;
    EXPECT_EQ(U16At(gp3, s1 + 6), 12100u);
    EXPECT_EQ(gp3[s1 + 23], 0xf9);
    EXPECT_EQ(gp3[s1 + 24], 5);
    EXPECT_EQ(gp3[s1 + 25], raw.samples[1].coarseX);
    EXPECT_EQ(gp3[s1 + 26], raw.samples[1].coarseY);
    EXPECT_EQ(U16At(gp3, s1 + 27), raw.samples[2].distance);

    lapgen::GP3WriteOptions options;
    options.compress = true;
    const Bytes packed = lapgen::WriteGP3Perf(lapgen::GP3Game::GP32K, raw, options);
    EXPECT_EQ(packed[4], 0x8D);
    EXPECT_TRUE(ChecksumIsPlain(packed));
    const auto expanded = lapgen_test::Expand(std::span(packed).subspan(32, packed.size() - 36));
    EXPECT_EQ(expanded.bytes, lapgen::BuildGP3Body(raw));
}

TEST(GP3Writer, BrokenVariants) {
    const lapgen::GP3Raw raw = lapgen::EncodeGP3(SmallLap());
    const std::size_t n = raw.samples.size();
    auto body = [&](auto change) {
        lapgen::GP3WriteOptions o;
        change(o);
        return lapgen::BuildGP3Body(raw, o);
    };
    EXPECT_EQ(body([](auto& o) { o.gp2LengthBody = true; }).size(), 32 + 25 * n);
    const Bytes withSignature = body([](auto& o) { o.strelkoSignature = true; });
    EXPECT_EQ(withSignature.size(), 32 + 27 * n + 8);
    EXPECT_EQ(U32At(withSignature, withSignature.size() - 4), lapgen::kStrelkoSignature);
    EXPECT_EQ(body([](auto& o) { o.trailingBytes = 10; }).size(), 32 + 27 * n + 10);
    EXPECT_EQ(U32At(body([](auto& o) { o.sampleCountOverride = 0; }), 0), 0u);

    lapgen::GP3WriteOptions o;
    o.headerTrackOverride = 200;
    o.checksum = lapgen::Checksum::Bad;
    o.truncateBy = 3;
    const Bytes file = lapgen::WriteGP3Perf(lapgen::GP3Game::GP4, raw, o);
    EXPECT_EQ(file[5], 200);
    EXPECT_EQ(file.size(), 32 + 32 + 27 * n + 1);
    o.truncateBy = 0;
    EXPECT_FALSE(ChecksumIsPlain(lapgen::WriteGP3Perf(lapgen::GP3Game::GP4, raw, o)));
}
