#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "lapgen/GP2Writer.h"
#include "lapgen/SegWriter.h"
#include "morlund/formats/gp2/GP2BufManager.h"
#include "morlund/platform/ByteOrder.h"
#include "morlund/platform/File.h"
#include "morlund/platform/RecordingMessageSink.h"
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

bool Read(GP2Track& track, std::vector<std::uint8_t> bytes, const char* name) {
    File f = File::FromMemory(std::move(bytes), std::string("/gp2/strelkod/") + name);
    return track.ReadFile(f);
}

const Record kSeg{0x0805, 1000, -2000, 300, 120, -90, 7, 150, 0b101};

}  // namespace

TEST(GP2Track, VersionsCountsChecksumAndName) {
    GP2Track track;
    EXPECT_TRUE(Read(track, SegFile(1, 0, {kSeg, kSeg}), "anything.seg"));
    EXPECT_EQ(track.GetNumSegs(), 2);
    EXPECT_EQ(track.GetNumPitSegs(), 0);
    EXPECT_EQ(track.GetName(), nullptr);
    EXPECT_EQ(track.GetPitSegs(), track.GetSegs() + 2);

    EXPECT_TRUE(Read(track, SegFile(2, 0x12345678, {kSeg}), "12345678.seg"));
    EXPECT_STREQ(track.GetName(), "Monte Carlo");
    EXPECT_TRUE(Read(track, SegFile(2, 0xabcdef01, {kSeg}), "ABCDEF01.SEG"));  // any case
    EXPECT_FALSE(Read(track, SegFile(2, 0x12345679, {kSeg}), "12345678.seg"));
    EXPECT_EQ(track.GetSegs(), nullptr);
    EXPECT_EQ(track.GetNumSegs(), 0);

    EXPECT_TRUE(Read(track, SegFile(3, 0x00000042, {kSeg, kSeg, kSeg}, {kSeg}), "00000042.seg"));
    EXPECT_EQ(track.GetNumSegs(), 3);
    EXPECT_EQ(track.GetNumPitSegs(), 1);
    EXPECT_EQ(track.GetPitSegs(), track.GetSegs() + 3);
}

TEST(GP2Track, DamagedFilesAreRefusedBeforeAllocating) {
    GP2Track track;
    auto file = SegFile(1, 0, {kSeg, kSeg});
    auto truncated = file;
    truncated.pop_back();
    EXPECT_FALSE(Read(track, truncated, "x.seg"));
    auto badMagic = file;
    badMagic[0] ^= 1;
    EXPECT_FALSE(Read(track, badMagic, "x.seg"));
    auto versionZero = file;
    StoreU32(versionZero.data() + 4, 0);
    EXPECT_FALSE(Read(track, versionZero, "x.seg"));
    auto hugeCount = file;
    StoreU32(hugeCount.data() + 8, 0xffffffffu);
    EXPECT_FALSE(Read(track, hugeCount, "x.seg"));
    auto pits = SegFile(3, 0x42, {kSeg}, {kSeg});
    StoreU32(pits.data() + 12, 0x7fffffffu);
    EXPECT_FALSE(Read(track, pits, "00000042.seg"));
    EXPECT_FALSE(Read(track, {0x40, 0x53}, "x.seg"));
    EXPECT_FALSE(Read(track, SegFile(2, 0x42, {kSeg}), "42.seg"));  // name too short
}

TEST(GP2Track, SegmentGeometryInIntegerMapUnits) {
    GP2Track track;
    ASSERT_TRUE(Read(track, SegFile(1, 0, {kSeg}), "x.seg"));
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
    ASSERT_TRUE(Read(track, SegFile(1, 0, {flat}), "x.seg"));
    GP2SegObj one(track.GetSegs(), 1);
    GP2SegObj zero(track.GetSegs(), 0);
    EXPECT_EQ(zero.Pos(), one.Pos());
    EXPECT_EQ(zero.CCLinePos(), one.CCLinePos());
    // width 0 counts as 1 for the racing line and the kerbs
    EXPECT_EQ(one.CCLinePos(), (TrackPoint{150 * 120 / 1 + 1000, -2000 - 150 * -90 / 1}));
    track.InitSegCurbs(one, 1);  // normal kerbs: first width of the pair at index 1 (101)
    EXPECT_EQ(one.CurbPosLeft(), (TrackPoint{1000 - 203 * 120, 203 * -90 - 2000}));
}

// --- segment files of lapgen laps ---------------------------------------------------

namespace {

const lapgen::Lap& SegLap() {
    static const lapgen::Lap lap = [] {
        lapgen::LapSpec spec;
        spec.seed = 9;
        spec.sampleCount = 700;
        spec.trackLength = 2500;
        return lapgen::MakeLap(spec);
    }();
    return lap;
}

// Distance in metres from (x, y) to the polyline of the lap's sample positions.
double DistanceToCentreLine(double x, double y) {
    const auto& s = SegLap().samples;
    double best = 1e300;
    for (std::size_t i = 0; i + 1 < s.size(); ++i) {
        const double dx = s[i + 1].x - s[i].x;
        const double dy = s[i + 1].y - s[i].y;
        const double len2 = dx * dx + dy * dy;
        double t = len2 > 0 ? ((x - s[i].x) * dx + (y - s[i].y) * dy) / len2 : 0;
        t = std::clamp(t, 0.0, 1.0);
        best = std::min(best, std::hypot(x - s[i].x - t * dx, y - s[i].y - t * dy));
    }
    return best;
}

double Metres(const TrackPoint& a, const TrackPoint& b, int scale) {
    return std::hypot(a.x - b.x, a.y - b.y) * scale * lapgen::kSegUnit;
}

}  // namespace

TEST(GP2Track, LapgenFilesAreFoundUnderTheChecksumOfTheirLaps) {
    // The reader of the laps and the segment writer must agree on the file name.
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    const lapgen::GP2Raw raw = lapgen::EncodeGP2(SegLap());
    for (int version : {0, 5, 7}) {
        lapgen::GP2WriteOptions options;
        options.strelkoVersion = version;
        GP2BufManager manager;
        File lap = File::FromMemory(lapgen::WriteGP2Perf(raw, options), "/gp2/lap.pad");
        ASSERT_TRUE(manager.AddBuffer(lap)) << version;
        const std::uint32_t checksum = lapgen::GP2LapTrackChecksum(raw, options);
        EXPECT_EQ(manager.GetTrackChecksum(), checksum) << version;

        const lapgen::SegTrack segs = lapgen::BuildSegTrack(SegLap(), checksum);
        GP2Track track;
        EXPECT_TRUE(Read(track, lapgen::WriteSeg(segs), lapgen::SegFileName(checksum).c_str()));
    }
}

TEST(GP2Track, LapgenSegmentsFollowTheLapsCentreLine) {
    const lapgen::SegTrack segs = lapgen::BuildSegTrack(SegLap(), 0x1a2b3c4d);
    GP2Track track;
    ASSERT_TRUE(Read(track, lapgen::WriteSeg(segs), "1a2b3c4d.seg"));
    ASSERT_EQ(track.GetNumSegs(),
              static_cast<int>(std::ceil(SegLap().trackLength / lapgen::kSegSpacing)));
    ASSERT_EQ(track.GetNumPitSegs(), static_cast<int>(segs.pits.size()));
    ASSERT_GT(track.GetNumPitSegs(), 0);
    EXPECT_STREQ(track.GetName(), "Tarnwick Park");
    const double unit = lapgen::kSegUnit;
    int kerbs[2][2] = {};  // [low][right]
    for (int scale : {1, 3}) {
        // rounding to the stored unit, then truncation by the scale
        const double rounding = (scale + 0.5) * unit * std::sqrt(2.0);
        for (int i = 0; i < track.GetNumSegs(); ++i) {
            GP2SegObj seg(track.GetSegs() + i, scale);
            const TrackPoint c = seg.Pos();
            const double x = c.x * scale * unit;
            const double y = c.y * scale * unit;
            ASSERT_LT(std::hypot(x - segs.centreX[static_cast<std::size_t>(i)],
                                 y - segs.centreY[static_cast<std::size_t>(i)]),
                      rounding)
                << i;
            ASSERT_LT(DistanceToCentreLine(x, y), rounding + 0.05) << i;
            EXPECT_NEAR(Metres(seg.PosLeft(), seg.PosRight(), scale), lapgen::kSegTrackWidth,
                        2.5 * scale * unit);
            EXPECT_LE(Metres(seg.CCLinePos(), c, scale),
                      lapgen::kSegTrackWidth / 2 + 2 * scale * unit);
            EXPECT_EQ(seg.Nr(), i & 0x7ff);
            if (scale != 1 || (!seg.HasCurbLeft() && !seg.HasCurbRight())) continue;
            ++kerbs[seg.CurbLow()][seg.HasCurbRight()];
            // each kerb set lies its table width outside the edges
            track.InitSegCurbs(seg, 1);
            EXPECT_NEAR(Metres(seg.CurbPosLeft(), seg.PosLeft(), 1) / unit, seg.CurbLow() ? 14 : 26,
                        2.0);
            track.InitSegCurbs(seg, 0);
            EXPECT_NEAR(Metres(seg.CurbPosRight(), seg.PosRight(), 1) / unit,
                        seg.CurbLow() ? 12 : 24, 2.0);
        }
    }
    // normal and low kerbs, left and right, all occur
    for (auto& low : kerbs) {
        EXPECT_GT(low[0], 0);
        EXPECT_GT(low[1], 0);
    }
    // the pit lane runs beside the track
    for (int i = 0; i < track.GetNumPitSegs(); ++i) {
        GP2SegObj pit(track.GetPitSegs() + i, 1);
        const double d = DistanceToCentreLine(pit.X() * unit, pit.Y() * unit);
        EXPECT_NEAR(d, lapgen::kSegPitOffset, 1.0) << i;
    }
}

TEST(GP2Track, LapgenVersionsAndBrokenFiles) {
    const lapgen::SegTrack segs = lapgen::BuildSegTrack(SegLap(), 0x00c0ffee);
    const char* name = "00c0ffee.seg";
    GP2Track track;
    for (std::uint32_t version : {1u, 2u, 3u}) {
        lapgen::SegWriteOptions o;
        o.version = version;
        ASSERT_TRUE(Read(track, lapgen::WriteSeg(segs, o), version == 1 ? "track.seg" : name));
        EXPECT_EQ(track.GetNumSegs(), static_cast<int>(segs.segs.size()));
        EXPECT_EQ(track.GetNumPitSegs(), version >= 3 ? static_cast<int>(segs.pits.size()) : 0);
        EXPECT_EQ(track.GetName() != nullptr, version >= 2);
        EXPECT_EQ(track.GetChecksum(), version >= 2 ? 0x00c0ffeeu : 0u);
        EXPECT_EQ(track.GetCurbWidth(1), 26);
        EXPECT_EQ(track.GetCurbWidth(6), 12);
        // the bits no one interprets pass through unchanged
        const GP2SEGINFO& last = track.GetSegs()[track.GetNumSegs() - 1];
        EXPECT_EQ(last.xSide & 0x3f, segs.segs.back().xSide & 0x3f);
        EXPECT_EQ(last.unknown26, segs.segs.back().unknown26);
    }
    auto refused = [&](const lapgen::SegWriteOptions& o, const char* what) {
        EXPECT_FALSE(Read(track, lapgen::WriteSeg(segs, o), name)) << what;
        EXPECT_EQ(track.GetSegs(), nullptr) << what;
    };
    lapgen::SegWriteOptions o;
    o.badMagic = true;
    refused(o, "magic");
    o = {};
    o.version = 0;
    refused(o, "version 0");
    o = {};
    o.checksumMismatch = true;
    refused(o, "checksum");
    o = {};
    o.segCountOverride = static_cast<std::uint32_t>(segs.segs.size() + segs.pits.size() + 1);
    refused(o, "segment count");
    o = {};
    o.pitCountOverride = 0xffffffffu;
    refused(o, "pit count");
    o = {};
    o.truncateBy = 1;
    refused(o, "truncated");
}
