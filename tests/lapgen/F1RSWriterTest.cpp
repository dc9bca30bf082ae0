#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "lapgen/F1RSWriter.h"

namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}
unsigned U16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8);
}

lapgen::Lap Lap(int samples = 50) {
    lapgen::LapSpec spec;
    spec.sampleCount = samples;
    spec.trackLength = 1000;
    return lapgen::MakeLap(spec);
}

}  // namespace

TEST(F1RSWriter, StreamsTakeEveryStrideThSampleAndTheLastOne) {
    lapgen::TlmEncodeOptions options;
    options.stride = {1, 4, 7};
    const lapgen::Lap lap = Lap(50);
    const lapgen::TlmRaw raw = lapgen::EncodeF1RS(lap, options);
    EXPECT_EQ(raw.engine.size(), 50u);
    EXPECT_EQ(raw.susp.size(), 14u);   // 0, 4, ..., 48 and 49
    EXPECT_EQ(raw.inputs.size(), 8u);  // 0, 7, ..., 49
    EXPECT_EQ(raw.inputs.back().distance, raw.engine.back().distance);
    EXPECT_THROW((lapgen::EncodeF1RS(lap, {{1, 0, 1}})), std::invalid_argument);
}

TEST(F1RSWriter, TelemetryFileLaysTheStreamsOutAfterTheHeader) {
    const lapgen::TlmRaw raw = lapgen::EncodeF1RS(Lap());
    const auto b = lapgen::WriteF1RSTelemetry(raw, 3);
    const std::size_t c1 = raw.engine.size(), c2 = raw.susp.size(), c3 = raw.inputs.size();
    ASSERT_EQ(b.size(), 24 + 12 + 12 * c1 + 24 * c2 + 12 * c3 + 3);
    EXPECT_EQ(b[0], raw.track + 1);
    EXPECT_EQ(U32(b, 4), raw.lapTime);
    EXPECT_STREQ(reinterpret_cast<const char*>(b.data() + 8), raw.date.c_str());
    EXPECT_EQ(U32(b, 24), c1);
    EXPECT_EQ(U16(b, 28 + 4), raw.engine[0].distance);
    const std::size_t s2 = 28 + 12 * c1;
    EXPECT_EQ(U32(b, s2), c2);
    // right front is file position 0, left rear position 3
    EXPECT_EQ(static_cast<std::int8_t>(b[s2 + 4 + 6]), raw.susp[0].travel[lapgen::kRightFront]);
    EXPECT_EQ(static_cast<std::int8_t>(b[s2 + 4 + 9]), raw.susp[0].travel[lapgen::kLeftRear]);
    EXPECT_EQ(U32(b, s2 + 4 + 24 * c2), c3);
}

TEST(F1RSWriter, MGPHeaderCarriesTheLapTimeAsText) {
    lapgen::TlmRaw raw = lapgen::EncodeMGP(Lap());
    raw.lapTime = 83456;
    const auto files = lapgen::WriteMGPTelemetry(raw);
    const auto& h = files[0];
    EXPECT_EQ(std::atoi(reinterpret_cast<const char*>(h.data() + 21)), 1);
    EXPECT_EQ(std::atoi(reinterpret_cast<const char*>(h.data() + 24)), 23);
    EXPECT_EQ(std::atoi(reinterpret_cast<const char*>(h.data() + 28)), 456);
    for (std::size_t s = 0; s < 3; ++s) {
        EXPECT_EQ(files[s][4], raw.track + 1);
        EXPECT_EQ(files[s].size(), 32 + lapgen::kMGPRecordSizes[s] * U32(files[s], 0));
    }
}

TEST(F1RSWriter, ScopeFileIsNamedAfterTrackAndLapTimeAndStoredEncoded) {
    EXPECT_EQ(lapgen::F1RSScopeName(3, static_cast<std::uint32_t>(83456ull * 65536 / 1000 + 1)),
              "d123456A.seq");
    EXPECT_EQ(lapgen::F1RSLapTimeMs(65535), 999u);
    const std::vector<std::array<std::int32_t, 2>> xy = {{1, -2}, {300000, -400000}};
    auto plain = lapgen::BuildF1RSScopePlain(xy, 50);
    ASSERT_EQ(plain.size(), 50 + 2 * 106u);
    EXPECT_EQ(U32(plain, 24), 50u);
    EXPECT_EQ(U32(plain, 40), 2u);
    EXPECT_EQ(static_cast<std::int32_t>(U32(plain, 50 + 106 + 46)), -400000);
    auto stored = plain;
    lapgen::EncodeF1RSScope(stored);
    EXPECT_NE(stored, plain);
}
