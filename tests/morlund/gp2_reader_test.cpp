#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include "TestSupport.h"
#include "lapgen/GP2Writer.h"
#include "morlund/formats/gp2/GP2BufManager.h"
#include "morlund/formats/gp2/GP2Perf.h"
#include "morlund/platform/ByteOrder.h"
#include "morlund/platform/RecordingMessageSink.h"

using namespace morlund;

namespace {

// Expected values come from the stored integers and the units of the format,
// never from the reader.
constexpr double kFt = 0.3048;

lapgen::GP2Raw SmallLap(int track = 3, int samples = 400, std::uint64_t seed = 1) {
    lapgen::LapSpec spec;
    spec.seed = seed;
    spec.sampleCount = samples;
    spec.track = track;
    spec.trackLength = 3000;
    return lapgen::EncodeGP2(lapgen::MakeLap(spec));
}

bool Load(GP2BufManager& manager, const std::vector<std::uint8_t>& bytes,
          const std::string& path = "/laps/lap.pad") {
    File file = File::FromMemory(bytes, path);
    return manager.AddBuffer(file);
}

const GP2Perf& Buffer(const GP2BufManager& manager, int i) {
    return dynamic_cast<const GP2Perf&>(*manager.GetBuffer(i));
}

}  // namespace

TEST(GP2Reader, ServesEverySampleChannelFromTheStoredIntegers) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    const lapgen::GP2Raw raw = SmallLap();
    lapgen::GP2WriteOptions options;
    options.compress = true;
    GP2BufManager manager;
    ASSERT_TRUE(Load(manager, lapgen::WriteGP2Perf(raw, options)));
    EXPECT_TRUE(sink.Messages().empty());
    const GP2Perf& p = Buffer(manager, 0);
    ASSERT_EQ(p.GetSampleCount(), static_cast<int>(raw.samples.size()));
    for (int i = 0; i < p.GetSampleCount(); ++i) {
        const auto& s = raw.samples[static_cast<std::size_t>(i)];
        ASSERT_DOUBLE_EQ(p.GetDistance(i), s.distance * kFt) << i;
        ASSERT_DOUBLE_EQ(p.GetSpeed(i), s.speed / 64.0 * kFt) << i;
        ASSERT_NEAR(p.GetSteering(i), s.steering * 35 * std::numbers::pi / 1140480, 1e-12) << i;
        ASSERT_DOUBLE_EQ(p.GetRevs(i), s.revs * 2 * std::numbers::pi / 60) << i;
        ASSERT_EQ(p.GetThrottle(i), s.throttle / 64.0);
        ASSERT_EQ(p.GetBrake(i), s.brake / 64.0);
        ASSERT_EQ(p.GetGear(i), s.gear);
        for (int w = 0; w < 4; ++w) {
            ASSERT_DOUBLE_EQ(p.GetRideHeight(i, w), s.rideHeight[w] * 0.000625);
            ASSERT_DOUBLE_EQ(p.GetSuspTravel(i, w), s.suspTravel[w] * 0.0003125);
            ASSERT_DOUBLE_EQ(p.GetWheelSpeed(i, w),
                             (s.wheelSpeedHigh[w] * 256 + s.wheelSpeedLow[w]) / 128.0 * kFt);
            ASSERT_EQ(p.GetCamber(i, w), 0.0);
            ASSERT_EQ(p.GetLongitudalTyreForce(i, w), 0.0);
        }
        ASSERT_DOUBLE_EQ(p.GetPosX(i), s.x / 16384.0 * kFt);
        ASSERT_DOUBLE_EQ(p.GetPosY(i), s.y / 16384.0 * kFt);
    }
    // the driven distance adds up the steps between the precise positions
    double driven = raw.samples[0].distance * kFt;
    for (std::size_t i = 1; i < raw.samples.size(); ++i) {
        driven += std::hypot((raw.samples[i].x - raw.samples[i - 1].x) / 16384.0 * kFt,
                             (raw.samples[i].y - raw.samples[i - 1].y) / 16384.0 * kFt);
    }
    EXPECT_NEAR(p.GetDrivenDistance(p.GetSampleCount() - 1), driven, 1e-6);
    EXPECT_DOUBLE_EQ(p.GetMaxDistance(), raw.samples.back().distance * kFt);
}

TEST(GP2Reader, LapInformationAndExtensionVersions) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    lapgen::GP2Raw raw = SmallLap(5);
    raw.dateDays = 0;
    raw.hours = 9;
    raw.minutes = 5;
    raw.seconds = 7;
    raw.lapTimeMs = 83456;
    std::memcpy(raw.name, "Verstapp", 8);  // all eight characters, no NUL
    raw.trackChecksum = 0x12345678;

    std::vector<std::vector<double>> positions;
    for (int version : {7, 6, 5}) {
        for (bool compress : {false, true}) {
            lapgen::GP2WriteOptions options;
            options.strelkoVersion = version;
            options.compress = compress;
            options.checksum = compress ? lapgen::Checksum::Offset : lapgen::Checksum::Plain;
            GP2BufManager manager;
            ASSERT_TRUE(Load(manager, lapgen::WriteGP2Perf(raw, options), "/laps/x.paf"))
                << version << compress;
            const GP2Perf& p = Buffer(manager, 0);
            EXPECT_EQ(p.InfoGetInfo(), "Strelko Perf File (v" + std::to_string(version) + ")");
            EXPECT_EQ(p.InfoGetName(), "Verstapp");
            EXPECT_EQ(p.InfoGetLapnr(), raw.lapNumber);
            EXPECT_EQ(p.InfoGetDateString(), "1-01-1978 09:05:07");
            EXPECT_DOUBLE_EQ(p.InfoGetLapTime(), 83.456);
            EXPECT_DOUBLE_EQ(p.InfoGetTrackLength(), raw.trackLengthFt * kFt);
            EXPECT_TRUE(manager.HasExtended());
            EXPECT_EQ(p.GetExtraBlock() != nullptr, version >= 6);
            // version 5 files carry the version where the checksum would be: the table answers
            EXPECT_EQ(manager.GetTrackChecksum(), version == 5 ? 0xd9779befu : 0x12345678u);
            std::vector<double> values;
            for (int i = 0; i < p.GetSampleCount(); ++i) {
                values.push_back(p.GetPosX(i));
                values.push_back(p.GetPosY(i));
                values.push_back(p.GetWheelSpeed(i, i % 4));
            }
            positions.push_back(values);
        }
    }
    for (const auto& v : positions)
        EXPECT_EQ(v, positions.front());
    EXPECT_TRUE(sink.Messages().empty());
}

TEST(GP2Reader, WithoutExtensionPositionsAndWheelSpeedsAreCoarse) {
    const lapgen::GP2Raw raw = SmallLap();
    lapgen::GP2WriteOptions options;
    options.strelkoVersion = 0;
    GP2BufManager manager;
    ASSERT_TRUE(Load(manager, lapgen::WriteGP2Perf(raw, options)));
    const GP2Perf& p = Buffer(manager, 0);
    EXPECT_FALSE(manager.HasExtended());
    EXPECT_EQ(p.InfoGetInfo(), "GP2 Perf File");
    EXPECT_EQ(manager.GetTrackChecksum(), raw.trackChecksum);
    for (int i = 0; i < p.GetSampleCount(); ++i) {
        const auto& s = raw.samples[static_cast<std::size_t>(i)];
        ASSERT_DOUBLE_EQ(p.GetPosX(i), (s.coarseX - 128) * 9.7536);
        ASSERT_DOUBLE_EQ(p.GetPosY(i), (s.coarseY - 128) * 9.7536);
        ASSERT_DOUBLE_EQ(p.GetWheelSpeed(i, 2), s.wheelSpeedHigh[2] * 256 * 0.0047625 * 0.5);
        ASSERT_EQ(p.GetDrivenDistance(i), p.GetDistance(i));
    }
}

TEST(GP2Reader, DatesCountTwoThousandAsACommonYear) {
    EXPECT_EQ(GP2Perf::DaysToDate(365).year, 1979);
    const auto leap = GP2Perf::DaysToDate(2 * 365 + 59);  // 1980 is a leap year
    EXPECT_EQ((std::array{leap.day, leap.month, leap.year}), (std::array{29, 2, 1980}));
    const int to2000 = 22 * 365 + 5;  // 1978..1999 hold five leap years
    const auto y2k = GP2Perf::DaysToDate(to2000 + 59);
    EXPECT_EQ((std::array{y2k.day, y2k.month, y2k.year}), (std::array{1, 3, 2000}));
    const auto last = GP2Perf::DaysToDate(65535);
    EXPECT_EQ(last.year, 2157);
}

struct BadFile {
    const char* what;
    std::vector<std::uint8_t> bytes;
    std::vector<std::string> messages;
    int trackAfter;  // the manager's track afterwards
};

TEST(GP2Reader, BadFilesGetTheirMessageAndAddNoBuffer) {
    const std::string read =
        "Error reading file: file is truncated, too long or has incorrect checksum";
    const std::string corrupt = "Error reading file: the data seems to be corrupt";
    const lapgen::GP2Raw raw = SmallLap(3, 50);
    auto file = [&](auto change) {
        lapgen::GP2WriteOptions o;
        change(o);
        return lapgen::WriteGP2Perf(raw, o);
    };
    auto withHeader = [&](std::vector<std::uint8_t> body, std::uint8_t type = 0x0D) {
        std::vector<std::uint8_t> f(32, 0);
        StoreU32(f.data(), 0x853da1be);
        f[4] = type;
        f[5] = 3;
        f.insert(f.end(), body.begin(), body.end());
        const std::uint32_t sum = lapgen::GPChecksum(f);
        f.resize(f.size() + 4);
        StoreU16(f.data() + f.size() - 4, static_cast<std::uint16_t>(sum));
        StoreU16(f.data() + f.size() - 2, static_cast<std::uint16_t>(sum >> 16));
        return f;
    };
    auto cut = [](std::vector<std::uint8_t> v, std::size_t size) {
        v.resize(size);
        return v;
    };
    const std::vector<BadFile> cases = {
        {"36 bytes", cut(file([](auto&) {}), 36), {read}, -1},
        {"37 bytes, bad checksum", cut(file([](auto&) {}), 37), {read}, 3},
        {"37 bytes, body too short", withHeader({0}), {corrupt}, 3},
        {"wrong id",
         file([](auto& o) { o.fileId = 0x853da1bf; }),
         {"Error reading file: not a GPx file (incorrect id)"},
         -1},
        {"setup type",
         file([](auto& o) { o.fileType = 0x03; }),
         {"Error reading file: not a GPx performance analysis file"},
         -1},
        {"bad checksum", file([](auto& o) { o.checksum = lapgen::Checksum::Bad; }), {read}, 3},
        {"truncated", file([](auto& o) { o.truncateBy = 10; }), {read}, 3},
        {"count beyond the samples",
         file([](auto& o) {
             o.sampleCountOverride = 51;
             o.strelkoVersion = 0;
         }),
         {corrupt},
         3},
        {"count whose byte size overflows",
         file([](auto& o) {
             o.sampleCountOverride = 0xffffffffu;
             o.strelkoVersion = 0;
         }),
         {corrupt},
         3},
        {"count overflowing 32 bits when multiplied",
         file([](auto& o) {
             o.sampleCountOverride = 0x0a3d70a4u;
             o.strelkoVersion = 0;
         }),
         {corrupt},
         3},
        {"no samples",
         file([](auto& o) {
             o.sampleCountOverride = 0;
             o.strelkoVersion = 0;
         }),
         {corrupt},
         3},
        {"count beyond the position records",
         file([](auto& o) { o.sampleCountOverride = 60; }),
         {corrupt},
         3},
        {"records reaching into the trailer",
         file([](auto& o) { o.recordOffsetOverride = 32 + 25 * 50 + 48 + 1; }),
         {corrupt},
         3},
        {"records offset huge",
         file([](auto& o) { o.recordOffsetOverride = 0xfffffff0u; }),
         {corrupt},
         3},
        {"reference before the output",
         file([](auto& o) {
             o.compress = true;
             o.badBackReference = true;
         }),
         {corrupt},
         3},
        {"reference word cut off",
         file([](auto& o) {
             o.compress = true;
             o.cutBackReference = true;
         }),
         {corrupt},
         3},
        {"version 8",
         file([](auto& o) { o.strelkoVersion = 8; }),
         {"Perf data has incorrect version, get the latest Strelko and Tarnwick", corrupt},
         3},
        {"version 4",
         file([](auto& o) { o.strelkoVersion = 4; }),
         {"Perf data too old, get the latest version of Strelko", corrupt},
         3},
        {"GP3 body",
         file([](auto& o) { o.gp3LengthBody = true; }),
         {"Perf file seems to be a GP3 perf file. If that is the case and you want to load it, "
          "set the primary game to GP3 in the options dialog and try again",
          corrupt},
         3},
    };
    for (const auto& c : cases) {
        RecordingMessageSink sink;
        ScopedMessageSink guard(sink);
        GP2BufManager manager;
        EXPECT_FALSE(Load(manager, c.bytes)) << c.what;
        EXPECT_EQ(sink.Texts(), c.messages) << c.what;
        EXPECT_EQ(manager.GetBufCount(), 0) << c.what;
        EXPECT_EQ(manager.GetTrack(), c.trackAfter) << c.what;
    }
}

TEST(GP2Reader, LapsOfAnotherTrackAreRefused) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    GP2BufManager manager;
    ASSERT_TRUE(Load(manager, lapgen::WriteGP2Perf(SmallLap(3), {})));
    const double first = manager.GetBuffer(0)->GetDistance(10);
    EXPECT_FALSE(Load(manager, lapgen::WriteGP2Perf(SmallLap(4), {}), "/laps/b.pae"));
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"Error reading file: not the same track"});
    EXPECT_EQ(manager.GetBufCount(), 1);
    EXPECT_EQ(manager.GetTrack(), 3);
    EXPECT_EQ(manager.GetBuffer(0)->GetDistance(10), first);
    EXPECT_EQ(manager.GetTrackString(-1), "Monte Carlo");
    EXPECT_TRUE(Load(manager, lapgen::WriteGP2Perf(SmallLap(3, 300, 2), {}), "/laps/c.pad"));
    EXPECT_EQ(manager.GetBufCount(), 2);
}

TEST(BufManager, BuffersColoursAndIndexErrors) {
    GP2BufManager manager;
    EXPECT_EQ(manager.GetTrackLen(), 0.0);
    EXPECT_EQ(manager.GetTrack(), -1);
    EXPECT_EQ(manager.GetTrackChecksum(), 0u);
    EXPECT_FALSE(manager.HasExtended());
    EXPECT_THROW(manager.GetBuffer(0), std::invalid_argument);
    EXPECT_EQ(manager.GetSetup(0), nullptr);
    EXPECT_FALSE(manager.IsBufferEnabled(0));

    EXPECT_EQ(BufManager::GetBufColor(12), BufManager::GetBufColor(0));
    EXPECT_EQ(BufManager::GetBufColor(13), 0x0000ffu);
    EXPECT_EQ(BufManager::GetBufColor(8), 0xf0fbffu);
    EXPECT_EQ(BufManager::GetWheelColor(3), 0x00ffffu);
    EXPECT_EQ(BufManager::GetWheelString(1), "Right Rear");
    EXPECT_THROW(BufManager::GetWheelString(4), std::invalid_argument);

    const lapgen::GP2Raw raw = SmallLap(3, 100);
    ASSERT_TRUE(Load(manager, lapgen::WriteGP2Perf(raw, {})));
    ASSERT_TRUE(Load(manager, lapgen::WriteGP2Perf(SmallLap(3, 120, 9), {})));
    EXPECT_DOUBLE_EQ(manager.GetTrackLen(), raw.trackLengthFt * kFt);
    EXPECT_TRUE(manager.IsBufferEnabled(1));  // a parsed lap takes part in the views
    manager.EnableBuffer(1, false);
    EXPECT_FALSE(manager.IsBufferEnabled(1));
    EXPECT_THROW(manager.EnableBuffer(2, true), std::invalid_argument);
    EXPECT_THROW(manager.RemoveBuffer(-1), std::invalid_argument);
    manager.RemoveBuffer(0);
    EXPECT_EQ(manager.GetBufCount(), 1);
    EXPECT_EQ(manager.GetBuffer(0)->GetSampleCount(), 120);
    manager.RemoveBuffer(0);
    EXPECT_EQ(manager.GetTrack(), 3);  // the track stays fixed
}

TEST(GP2Manager, FiltersNameTheTracks) {
    GP2BufManager manager;
    std::string filter = "x|";
    int count = 1;
    EXPECT_EQ(manager.GetPerfFilter(filter, count, 3), 1);
    EXPECT_EQ(filter, "x|GP2 Monte Carlo (*.pad)|*.pad|");
    EXPECT_EQ(count, 2);
    filter.clear();
    count = 0;
    manager.GetPerfFilter(filter, count, -1);
    EXPECT_EQ(count, 16);
    EXPECT_EQ(filter.substr(0, 34), "GP2 Interlagos (*.paa)|*.paa|GP2 A");
    EXPECT_NE(filter.find("GP2 Adelaide (*.pap)|*.pap|"), std::string::npos);
    filter.clear();
    count = 0;
    EXPECT_EQ(manager.GetSetupFilter(filter, count), 1);  // "All" while no track is fixed
    EXPECT_EQ(count, 17);
    EXPECT_EQ(filter.substr(0, 63),
              "All GP2 Setup Files (*.cs?)|*.cs?|GP2 Interlagos (*.csa)|*.csa|");
    EXPECT_EQ(manager.GetTrackString(16), "???");
    EXPECT_EQ(manager.GetTrackString(-1), "???");
    EXPECT_EQ(manager.GetSetupVersion(), 2);
    EXPECT_EQ(manager.GetTrackCount(), 16);
}
