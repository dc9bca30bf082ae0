#include <gtest/gtest.h>

#include <cstring>

#include "morlund/platform/ByteOrder.h"
#include "morlund/platform/File.h"
#include "morlund/track/GP2Track.h"

using namespace morlund;

namespace {

struct Record {
    std::uint16_t nr;
    std::int16_t x, y;
    std::uint16_t width;
    int sideX, sideY;  // the signed side vector, packed into the top ten bits
    int small;         // the low six bits
    std::int16_t ccLine;
    std::uint32_t flags;
};

// A segment file built by hand: magic, version, counts, kerb table, checksum and
// name (version 2 on), records.
std::vector<std::uint8_t> SegFile(std::uint32_t version, std::uint32_t checksum,
                                  const std::vector<Record>& segs,
                                  const std::vector<Record>& pits = {}) {
    std::vector<std::uint8_t> f;
    auto u16 = [&](unsigned v) {
        f.push_back(static_cast<std::uint8_t>(v));
        f.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    auto u32 = [&](std::uint32_t v) {
        u16(v & 0xffff);
        u16(v >> 16);
    };
    u32(GP2Track::kMagic);
    u32(version);
    u32(static_cast<std::uint32_t>(segs.size()));
    if (version >= 3) u32(static_cast<std::uint32_t>(pits.size()));
    for (unsigned i = 0; i < 16; ++i)
        u16(100 + i);  // kerb widths 100..115
    if (version >= 2) {
        u32(checksum);
        const char name[38] = "Monte Carlo";
        f.insert(f.end(), name, name + 38);
    }
    for (const auto* list : {&segs, &pits}) {
        for (const Record& r : *list) {
            u16(r.nr);
            u16(0x1234);
            u16(0xfff0);
            u16(static_cast<std::uint16_t>(r.x));
            u16(static_cast<std::uint16_t>(r.y));
            u16(static_cast<std::uint16_t>(-50));
            u16(r.width);
            u16(static_cast<std::uint16_t>((r.sideX << 6) | r.small));
            u16(static_cast<std::uint16_t>((r.sideY << 6) | r.small));
            u16(0);
            u16(static_cast<std::uint16_t>(r.ccLine));
            u32(r.flags);
            u32(0xdeadbeef);  // the record's last four bytes are not interpreted
        }
    }
    return f;
}

int Read(GP2Track& track, std::vector<std::uint8_t> bytes, const char* name) {
    File f = File::FromMemory(std::move(bytes), std::string("/gp2/strelkod/") + name);
    return track.ReadFile(f);
}

const Record kSeg{0x0805, 1000, -2000, 300, 120, -90, 7, 150, 0b101};

}  // namespace

TEST(GP2Track, VersionsCountsChecksumAndName) {
    GP2Track track;
    EXPECT_EQ(Read(track, SegFile(1, 0, {kSeg, kSeg}), "anything.seg"), 1);
    EXPECT_EQ(track.GetNumSegs(), 2);
    EXPECT_EQ(track.GetNumPitSegs(), 0);
    EXPECT_EQ(track.GetName(), nullptr);
    EXPECT_EQ(track.GetPitSegs(), track.GetSegs() + 2);

    EXPECT_EQ(Read(track, SegFile(2, 0x12345678, {kSeg}), "12345678.seg"), 1);
    EXPECT_STREQ(track.GetName(), "Monte Carlo");
    EXPECT_EQ(Read(track, SegFile(2, 0xabcdef01, {kSeg}), "ABCDEF01.SEG"), 1);  // any case
    EXPECT_EQ(Read(track, SegFile(2, 0x12345679, {kSeg}), "12345678.seg"), 0);
    EXPECT_EQ(track.GetSegs(), nullptr);
    EXPECT_EQ(track.GetNumSegs(), 0);

    EXPECT_EQ(Read(track, SegFile(3, 0x00000042, {kSeg, kSeg, kSeg}, {kSeg}), "00000042.seg"), 1);
    EXPECT_EQ(track.GetNumSegs(), 3);
    EXPECT_EQ(track.GetNumPitSegs(), 1);
    EXPECT_EQ(track.GetPitSegs(), track.GetSegs() + 3);
}

TEST(GP2Track, DamagedFilesAreRefusedBeforeAllocating) {
    GP2Track track;
    auto file = SegFile(1, 0, {kSeg, kSeg});
    auto truncated = file;
    truncated.pop_back();
    EXPECT_EQ(Read(track, truncated, "x.seg"), 0);
    auto badMagic = file;
    badMagic[0] ^= 1;
    EXPECT_EQ(Read(track, badMagic, "x.seg"), 0);
    auto versionZero = file;
    StoreU32(versionZero.data() + 4, 0);
    EXPECT_EQ(Read(track, versionZero, "x.seg"), 0);
    auto hugeCount = file;
    StoreU32(hugeCount.data() + 8, 0xffffffffu);
    EXPECT_EQ(Read(track, hugeCount, "x.seg"), 0);
    auto pits = SegFile(3, 0x42, {kSeg}, {kSeg});
    StoreU32(pits.data() + 12, 0x7fffffffu);
    EXPECT_EQ(Read(track, pits, "00000042.seg"), 0);
    EXPECT_EQ(Read(track, {0x40, 0x53}, "x.seg"), 0);
    EXPECT_EQ(Read(track, SegFile(2, 0x42, {kSeg}), "42.seg"), 0);  // name too short
}

TEST(GP2Track, SegmentGeometryInIntegerMapUnits) {
    GP2Track track;
    ASSERT_EQ(Read(track, SegFile(1, 0, {kSeg}), "x.seg"), 1);
    GP2SegObj seg(track.GetSegs(), 3);
    EXPECT_EQ(seg.Nr(), 5);
    EXPECT_EQ(seg.NrFlags(), 1);
    EXPECT_EQ(seg.Angle(), 0x1234);
    EXPECT_EQ(seg.AngleV(), -16);
    EXPECT_EQ(seg.X(), 333);
    EXPECT_EQ(seg.Y(), -666);  // truncated toward zero
    EXPECT_EQ(seg.Height(), -16);
    EXPECT_EQ(seg.Width(), 100);
    EXPECT_EQ(seg.XSide(), 40);
    EXPECT_EQ(seg.YSide(), -30);
    EXPECT_EQ(seg.XSideL(), 7);
    EXPECT_EQ(seg.CCLineF(), 50);
    EXPECT_TRUE(seg.HasCurbLeft());
    EXPECT_FALSE(seg.HasCurbRight());
    EXPECT_TRUE(seg.CurbLow());
    EXPECT_EQ(seg.Pos(), (TrackPoint{333, -666}));
    EXPECT_EQ(seg.PosLeft(), (TrackPoint{(1000 - 120) / 3, (-2000 - 90) / 3}));
    EXPECT_EQ(seg.PosRight(), (TrackPoint{(1000 + 120) / 3, (-2000 + 90) / 3}));
    EXPECT_EQ(seg.CalcWidth(), 50 / 3);  // floor(sqrt(40^2 + 30^2)) / 3
    // racing line: c = 300 / 3, o = 150 / 3
    EXPECT_EQ(seg.CCLinePos(), (TrackPoint{50 * 40 / 100 + 333, -666 - 50 * -30 / 100}));
    // low kerb, first width of the low pair (index 5: 105)
    track.InitSegCurbs(seg, 1);
    const int e = 300 + 2 * 105;
    EXPECT_EQ(seg.CurbPosLeft(),
              (TrackPoint{(1000 - e * 120 / 300) / 3, (e * -90 / 300 - 2000) / 3}));
    track.InitSegCurbs(seg, 0);  // second width of the pair (106)
    const int e2 = 300 + 2 * 106;
    EXPECT_EQ(seg.CurbPosRight(),
              (TrackPoint{(1000 + e2 * 120 / 300) / 3, (-2000 - e2 * -90 / 300) / 3}));
}

TEST(GP2Track, ScaleZeroAndWidthZero) {
    Record flat = kSeg;
    flat.width = 0;
    flat.flags = 0;
    GP2Track track;
    ASSERT_EQ(Read(track, SegFile(1, 0, {flat}), "x.seg"), 1);
    GP2SegObj one(track.GetSegs(), 1);
    GP2SegObj zero(track.GetSegs(), 0);
    EXPECT_EQ(zero.Pos(), one.Pos());
    EXPECT_EQ(zero.CCLinePos(), one.CCLinePos());
    // width 0 counts as 1 for the racing line and the kerbs
    EXPECT_EQ(one.CCLinePos(), (TrackPoint{150 * 120 / 1 + 1000, -2000 - 150 * -90 / 1}));
    track.InitSegCurbs(one, 1);  // normal kerbs: first width of the pair at index 1 (101)
    EXPECT_EQ(one.CurbPosLeft(), (TrackPoint{1000 - 203 * 120, 203 * -90 - 2000}));
}
