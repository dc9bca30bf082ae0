#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "ReadBack.h"
#include "lapgen/SegWriter.h"

namespace {

using lapgen_test::Bytes;
using lapgen_test::U32At;

const lapgen::Lap& SmallLap() {
    static const lapgen::Lap lap = [] {
        lapgen::LapSpec spec;
        spec.seed = 4;
        spec.sampleCount = 300;
        spec.trackLength = 1500;
        return lapgen::MakeLap(spec);
    }();
    return lap;
}

}  // namespace

TEST(SegWriter, ChecksumAndFileNameAsTheGameReaderSeesThem) {
    lapgen::GP2Raw raw;
    raw.track = 3;
    raw.trackChecksum = 0x6caa1499;
    lapgen::GP2WriteOptions o;
    EXPECT_EQ(lapgen::GP2LapTrackChecksum(raw, o), 0x6caa1499u);  // version 7: as stored
    o.strelkoVersion = 5;                                         // stores 5: table entry 3
    EXPECT_EQ(lapgen::GP2LapTrackChecksum(raw, o), 0x25531329u);
    raw.track = 16;
    EXPECT_EQ(lapgen::GP2LapTrackChecksum(raw, o), 0u);
    raw.track = 15;
    raw.trackChecksum = 2;
    o.strelkoVersion = 7;
    EXPECT_EQ(lapgen::GP2LapTrackChecksum(raw, o), 0x9f1f4008u);
    o.strelkoVersion = 0;  // no extension: the field is taken as it is
    EXPECT_EQ(lapgen::GP2LapTrackChecksum(raw, o), 2u);
    EXPECT_EQ(lapgen::SegFileName(0x00ab12cd), "00ab12cd.seg");
}

TEST(SegWriter, LayoutOfEveryVersion) {
    const lapgen::SegTrack track = lapgen::BuildSegTrack(SmallLap(), 0xfeedf00d, "Short");
    const std::size_t s = track.segs.size();
    const std::size_t p = track.pits.size();
    EXPECT_EQ(s, static_cast<std::size_t>(std::ceil(SmallLap().trackLength / lapgen::kSegSpacing)));
    EXPECT_EQ(p, 62u);  // 300 m of pit lane every 16 ft, both ends included
    for (std::uint32_t version : {1u, 2u, 3u}) {
        lapgen::SegWriteOptions o;
        o.version = version;
        const Bytes f = lapgen::WriteSeg(track, o);
        EXPECT_EQ(U32At(f, 0), 0x47455340u);
        EXPECT_EQ(U32At(f, 4), version);
        EXPECT_EQ(U32At(f, 8), s);
        const std::size_t head = version == 1 ? 44 : version == 2 ? 86 : 90;
        EXPECT_EQ(f.size(), head + 30 * (s + (version >= 3 ? p : 0)));
        if (version >= 2) {
            EXPECT_EQ(U32At(f, head - 42), 0xfeedf00du);
            EXPECT_EQ(f[head - 38], 'S');
        }
    }
    // the side vector is half the track width, packed above a small six-bit value
    for (const lapgen::SegRecord& r : track.segs) {
        const int xs = static_cast<std::int16_t>(r.xSide) >> 6;
        const int ys = static_cast<std::int16_t>(r.ySide) >> 6;
        EXPECT_NEAR(std::hypot(xs, ys) * lapgen::kSegUnit, lapgen::kSegTrackWidth / 2, 0.05);
    }
}

TEST(SegWriter, BrokenVariants) {
    const lapgen::SegTrack track = lapgen::BuildSegTrack(SmallLap(), 0x12345678);
    const Bytes good = lapgen::WriteSeg(track);
    lapgen::SegWriteOptions o;
    o.badMagic = true;
    o.checksumMismatch = true;
    o.segCountOverride = 7;
    o.pitCountOverride = 9;
    o.truncateBy = 3;
    const Bytes bad = lapgen::WriteSeg(track, o);
    EXPECT_NE(U32At(bad, 0), 0x47455340u);
    EXPECT_EQ(U32At(bad, 8), 7u);
    EXPECT_EQ(U32At(bad, 12), 9u);
    EXPECT_EQ(U32At(bad, 48), 0x12345679u);
    EXPECT_EQ(bad.size(), good.size() - 3);
    o = {};
    o.version = 0;
    EXPECT_EQ(U32At(lapgen::WriteSeg(track, o), 4), 0u);
}
