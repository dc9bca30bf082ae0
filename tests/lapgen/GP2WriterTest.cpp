#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "Expand.h"
#include "ReadBack.h"
#include "lapgen/GP2Writer.h"

namespace {

using lapgen_test::Bytes;
using lapgen_test::Expand;
using lapgen_test::ExpandError;
using lapgen_test::U16At;
using lapgen_test::U32At;

// The two trailing words, as (word2 << 16) | word1.
std::uint32_t StoredChecksum(const Bytes& file) {
    return U16At(file, file.size() - 4) | (U16At(file, file.size() - 2) << 16);
}

bool ChecksumIsPlain(const Bytes& file) {
    return StoredChecksum(file) == lapgen::GPChecksum(std::span(file).first(file.size() - 4));
}

Bytes BodyOf(const Bytes& file) { return Bytes(file.begin() + 32, file.end() - 4); }

const lapgen::GP2Raw& SmallRaw() {
    static const lapgen::GP2Raw raw = [] {
        lapgen::LapSpec spec;
        spec.seed = 11;
        spec.sampleCount = 400;
        return lapgen::EncodeGP2(lapgen::MakeLap(spec));
    }();
    return raw;
}

lapgen::GP2WriteOptions Version(int version, bool compress = false) {
    lapgen::GP2WriteOptions options;
    options.strelkoVersion = version;
    options.compress = compress;
    return options;
}

TEST(GPChecksum, MatchesHandComputedValues) {
    // s1 = 1 + 2 + 255; s2 = rotl(rotl(1) + 2) + 255 = 80 + 255.
    EXPECT_EQ(lapgen::GPChecksum(Bytes{0x01, 0x02, 0xff}), 0x014F0102u);
    // Six 0xff bytes take s2 past bit 15, so the rotation has to wrap bits round.
    EXPECT_EQ(lapgen::GPChecksum(Bytes(6, 0xff)), 0xB74805FAu);
    EXPECT_EQ(lapgen::GPChecksum(Bytes{}), 0u);
}

TEST(GP2Perf, EnvelopeAndChecksumForms) {
    const Bytes plain = lapgen::WriteGP2Perf(SmallRaw(), Version(7));
    EXPECT_EQ(U32At(plain, 0), 0x853da1beu);
    EXPECT_EQ(plain[4], 0x0D);
    EXPECT_EQ(plain[5], SmallRaw().track);
    EXPECT_TRUE(ChecksumIsPlain(plain));

    const Bytes compressed = lapgen::WriteGP2Perf(SmallRaw(), Version(7, true));
    EXPECT_EQ(compressed[4], 0x8D);
    EXPECT_TRUE(ChecksumIsPlain(compressed));
    EXPECT_EQ(Expand(BodyOf(compressed)).bytes, BodyOf(plain));

    auto options = Version(7);
    options.checksum = lapgen::Checksum::Offset;
    const Bytes offset = lapgen::WriteGP2Perf(SmallRaw(), options);
    const std::uint32_t sum = StoredChecksum(plain);
    EXPECT_EQ(U16At(offset, offset.size() - 4), ((sum & 0xffff) + 0x8065) & 0xffff);
    EXPECT_EQ(U16At(offset, offset.size() - 2), ((sum >> 16) + 0x8465) & 0xffff);

    options.checksum = lapgen::Checksum::Bad;
    const Bytes bad = lapgen::WriteGP2Perf(SmallRaw(), options);
    EXPECT_NE(StoredChecksum(bad), StoredChecksum(plain));
    EXPECT_NE(StoredChecksum(bad), StoredChecksum(offset));
    EXPECT_TRUE(std::equal(bad.begin(), bad.end() - 4, plain.begin()));
}

TEST(GP2Perf, BodyLayoutPerExtensionVersion) {
    const lapgen::GP2Raw& raw = SmallRaw();
    const std::size_t n = raw.samples.size();
    const std::size_t samplesEnd = 32 + 25 * n;
    struct Case {
        int version;
        std::size_t recordSize;
        std::size_t extra;
        std::uint8_t versionByte;
        std::uint32_t checksumField;
    };
    for (const Case& c : {Case{5, 13, 0, 0, 5}, Case{6, 13, 48, 6, raw.trackChecksum},
                          Case{7, 12, 48, 7, raw.trackChecksum}}) {
        SCOPED_TRACE(c.version);
        const Bytes body = BodyOf(lapgen::WriteGP2Perf(raw, Version(c.version)));
        ASSERT_EQ(body.size(), samplesEnd + c.recordSize * n + c.extra + 8);
        EXPECT_EQ(body[12], c.versionByte);
        EXPECT_EQ(U32At(body, 28), c.checksumField);
        EXPECT_EQ(U32At(body, body.size() - 4), 0xde510d90u);
        EXPECT_EQ(U32At(body, body.size() - 8), samplesEnd);
        // Last record: x, y, then the low wheel-speed bytes.
        const std::size_t last = samplesEnd + c.recordSize * (n - 1) + (c.recordSize - 12);
        EXPECT_EQ(static_cast<std::int32_t>(U32At(body, last)), raw.samples.back().x);
        EXPECT_EQ(static_cast<std::int32_t>(U32At(body, last + 4)), raw.samples.back().y);
        EXPECT_EQ(body[last + 11], raw.samples.back().wheelSpeedLow[3]);
    }
    const Bytes bare = BodyOf(lapgen::WriteGP2Perf(raw, Version(0)));
    EXPECT_EQ(bare.size(), samplesEnd);
    EXPECT_EQ(bare[12], 0);
    EXPECT_EQ(U32At(bare, 28), raw.trackChecksum);
}

TEST(GP2Perf, FieldsLandAtTheirOffsets) {
    lapgen::GP2Raw raw;
    raw.sampleCount = 1;
    raw.trackLengthFt = 0x1234;
    raw.track = 3;
    raw.lapNumber = 9;
    raw.dateDays = 0x2345;
    raw.seconds = 1;
    raw.minutes = 2;
    raw.hours = 23;
    raw.lapTimeMs = 0x01020304;
    std::memcpy(raw.name, "ABCDEFGH", 8);
    raw.trackChecksum = 0xcafef00d;
    lapgen::GP2SampleRaw s;
    s.distance = 0x0a0b;
    s.speed = -2;
    s.steering = 0x1122;
    s.revs = 0x3344;
    s.throttle = 64;
    s.brake = 5;
    s.gear = -1;
    for (int w = 0; w < 4; ++w) {
        s.rideHeight[w] = static_cast<std::uint8_t>(0x10 + w);
        s.suspTravel[w] = static_cast<std::uint8_t>(0x20 + w);
        s.wheelSpeedHigh[w] = static_cast<std::uint8_t>(0x30 + w);
    }
    s.coarseX = 0x40;
    s.coarseY = 0x41;
    raw.samples = {s};

    const Bytes body = BodyOf(lapgen::WriteGP2Perf(raw, Version(0)));
    // clang-format off
    const Bytes expected = {
        1, 0, 0, 0, 0x34, 0x12, 3, 9, 0, 0, 0x45, 0x23, 0, 1, 2, 23,         // 0..15
        0x04, 0x03, 0x02, 0x01, 'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H',      // 16..27
        0x0d, 0xf0, 0xfe, 0xca,                                              // 28..31
        0x0b, 0x0a, 0xfe, 0xff, 0x22, 0x11, 0x44, 0x33, 64, 5, 0xff,         // sample 0..10
        0x10, 0x11, 0x12, 0x13, 0x20, 0x21, 0x22, 0x23, 0x30, 0x31, 0x32, 0x33, 0x40, 0x41};
    // clang-format on
    EXPECT_EQ(body, expected);
}

TEST(GP2Perf, EncodeConvertsUnitsRoundsAndClamps) {
    lapgen::Lap lap;
    lap.spec.name = "LongerThanEight";
    lap.spec.track = 3;
    lap.trackLength = 4000.0;
    lap.lapTime = 61.4896;
    lapgen::Sample a;
    a.distance = 304.8;  // 1000 ft
    a.speed = 10.0;      // 2099.74 units
    a.steering = -0.1;   // -1037.2 units
    a.revs = 1000.0 * 3.14159265358979 / 30.0;
    a.throttle = 0.5;
    a.brake = 1.0;
    a.gear = 6;
    a.rideHeight[0] = 0.0125;    // 20
    a.rideHeight[3] = 0.5;       // clamps at 255
    a.suspTravel[1] = 0.003125;  // 10
    a.wheelSpeed[2] = 100.0;     // 41994.75 -> 41995 = 164 * 256 + 11
    a.x = 9.7536 * 10;           // coarse 138
    a.y = -1300.0;               // coarse clamps at 0
    lapgen::Sample b = a;
    b.speed = 200.0;  // beyond the int16 range
    b.x = 2000.0;
    lap.samples = {a, b};

    const lapgen::GP2Raw raw = lapgen::EncodeGP2(lap, 0x11223344);
    EXPECT_EQ(raw.sampleCount, 2u);
    EXPECT_EQ(raw.trackLengthFt, 13123);
    EXPECT_EQ(raw.lapTimeMs, 61490u);
    EXPECT_EQ(std::string(raw.name, 8), "LongerTh");
    EXPECT_EQ(raw.trackChecksum, 0x11223344u);
    const lapgen::GP2SampleRaw& r = raw.samples[0];
    EXPECT_EQ(r.distance, 1000);
    EXPECT_EQ(r.speed, 2100);
    EXPECT_EQ(r.steering, -1037);
    EXPECT_EQ(r.revs, 1000);
    EXPECT_EQ(r.throttle, 32);
    EXPECT_EQ(r.brake, 64);
    EXPECT_EQ(r.gear, 6);
    EXPECT_EQ(r.rideHeight[0], 20);
    EXPECT_EQ(r.rideHeight[3], 255);
    EXPECT_EQ(r.suspTravel[1], 10);
    EXPECT_EQ(r.wheelSpeedHigh[2], 164);
    EXPECT_EQ(r.wheelSpeedLow[2], 11);
    EXPECT_EQ(r.coarseX, 138);
    EXPECT_EQ(r.coarseY, 0);
    EXPECT_EQ(r.x, 5242880);  // 97.536 m in 1/16384 ft
    EXPECT_EQ(r.y, -69879265);
    EXPECT_EQ(raw.samples[1].speed, 32767);
    EXPECT_EQ(raw.samples[1].coarseX, 255);

    lap.spec.name = "Ab";
    const lapgen::GP2Raw shortName = lapgen::EncodeGP2(lap);
    EXPECT_EQ(std::string(shortName.name, 8), std::string("Ab\0\0\0\0\0\0", 8));
}

TEST(GP2Perf, BrokenVariantsDifferOnlyAsIntended) {
    const lapgen::GP2Raw& raw = SmallRaw();
    const Bytes clean = lapgen::WriteGP2Perf(raw, Version(7));
    auto variant = [&](auto change, bool compress = false) {
        lapgen::GP2WriteOptions options = Version(7, compress);
        change(options);
        return lapgen::WriteGP2Perf(raw, options);
    };
    auto differingBytes = [&](const Bytes& file) {
        std::vector<std::size_t> at;
        for (std::size_t i = 0; i + 4 < file.size(); ++i) {
            if (file[i] != clean[i]) {
                at.push_back(i);
            }
        }
        return at;
    };

    const Bytes count = variant([](auto& o) { o.sampleCountOverride = 401; });
    ASSERT_EQ(count.size(), clean.size());
    EXPECT_EQ(differingBytes(count), std::vector<std::size_t>{32 + 0});
    EXPECT_TRUE(ChecksumIsPlain(count));

    const Bytes offset = variant([](auto& o) { o.recordOffsetOverride = 0xffff0000u; });
    ASSERT_EQ(offset.size(), clean.size());
    EXPECT_EQ(U32At(offset, offset.size() - 12), 0xffff0000u);
    EXPECT_EQ(differingBytes(offset).front(), offset.size() - 12);
    EXPECT_TRUE(ChecksumIsPlain(offset));

    const Bytes id = variant([](auto& o) { o.fileId = 0x853da1bf; });
    EXPECT_EQ(differingBytes(id), std::vector<std::size_t>{0});
    EXPECT_TRUE(ChecksumIsPlain(id));

    const Bytes type = variant([](auto& o) { o.fileType = 0x0C; });
    EXPECT_EQ(differingBytes(type), std::vector<std::size_t>{4});

    const Bytes gp3 = variant([](auto& o) { o.gp3LengthBody = true; });
    EXPECT_EQ(gp3.size(), 32 + 32 + 27 * raw.samples.size() + 4);
    EXPECT_TRUE(std::equal(gp3.begin(), gp3.begin() + 12, clean.begin()));
    EXPECT_EQ(gp3[32 + 12], 0);  // no extension, so no version
    EXPECT_TRUE(ChecksumIsPlain(gp3));

    const Bytes cut = variant([](auto& o) { o.truncateBy = 5; });
    ASSERT_EQ(cut.size(), clean.size() - 5);
    EXPECT_TRUE(std::equal(cut.begin(), cut.end(), clean.begin()));

    const Bytes goodCompressed = variant([](auto&) {}, true);
    const Bytes badReference = variant([](auto& o) { o.badBackReference = true; }, true);
    EXPECT_TRUE(ChecksumIsPlain(badReference));
    EXPECT_EQ(badReference.size(), goodCompressed.size());
    EXPECT_EQ(Expand(BodyOf(goodCompressed)).error, ExpandError::None);
    EXPECT_EQ(Expand(BodyOf(badReference)).error, ExpandError::BadReference);

    const Bytes cutReference = variant([](auto& o) { o.cutBackReference = true; }, true);
    EXPECT_TRUE(ChecksumIsPlain(cutReference));
    const auto partial = Expand(BodyOf(cutReference));
    EXPECT_EQ(partial.error, ExpandError::CutWord);
    EXPECT_GT(partial.bytes.size(), 0u);
    EXPECT_TRUE(std::equal(partial.bytes.begin(), partial.bytes.end(), BodyOf(clean).begin()));

    EXPECT_THROW(variant([](auto& o) { o.badBackReference = true; }), std::invalid_argument);
    EXPECT_THROW(variant([](auto& o) { o.cutBackReference = true; }), std::invalid_argument);
}

TEST(GP2Perf, SameSpecGivesIdenticalBytes) {
    lapgen::LapSpec spec;
    spec.seed = 77;
    spec.sampleCount = 1500;
    const auto write = [&] {
        return lapgen::WriteGP2Perf(lapgen::EncodeGP2(lapgen::MakeLap(spec)), Version(7, true));
    };
    const Bytes first = write();
    EXPECT_EQ(write(), first);
    spec.seed = 78;
    EXPECT_NE(write(), first);
}

TEST(GP2Setup, CleanFileAndBrokenVariants) {
    const auto record = lapgen::DefaultSetupRecord();
    EXPECT_EQ((Bytes{record.begin() + 2, record.begin() + 8}), (Bytes{28, 35, 42, 48, 54, 59}));

    const Bytes clean = lapgen::WriteGP2Setup(3, record);
    ASSERT_EQ(clean.size(), 84u);
    EXPECT_EQ(U32At(clean, 0), 0x853da1beu);
    EXPECT_EQ(clean[4], 0x03);
    EXPECT_EQ(clean[5], 3);
    EXPECT_TRUE(std::equal(record.begin(), record.end(), clean.begin() + 32));
    EXPECT_TRUE(ChecksumIsPlain(clean));

    lapgen::GP2SetupOptions options;
    options.fileId = 0x12345678;
    EXPECT_EQ(U32At(lapgen::WriteGP2Setup(3, record, options), 0), 0x12345678u);
    options = {};
    options.fileType = 0x0D;
    EXPECT_EQ(lapgen::WriteGP2Setup(3, record, options)[4], 0x0D);
    options = {};
    options.badChecksum = true;
    const Bytes bad = lapgen::WriteGP2Setup(3, record, options);
    EXPECT_FALSE(ChecksumIsPlain(bad));
    EXPECT_TRUE(std::equal(bad.begin(), bad.end() - 4, clean.begin()));
    options = {};
    options.extraByte = true;
    const Bytes longer = lapgen::WriteGP2Setup(3, record, options);
    EXPECT_EQ(longer.size(), 85u);
    EXPECT_TRUE(ChecksumIsPlain(longer));
}

TEST(GP2Files, ExtensionsFollowTheTrackLetter) {
    EXPECT_EQ(lapgen::GP2PerfExtension(0), ".paa");
    EXPECT_EQ(lapgen::GP2PerfExtension(3), ".pad");
    EXPECT_EQ(lapgen::GP2SetupExtension(3), ".csd");
    EXPECT_THROW(lapgen::GP2PerfExtension(26), std::invalid_argument);
    EXPECT_THROW(lapgen::GP2SetupExtension(-1), std::invalid_argument);
}

}  // namespace
