#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <numbers>

#include "TestSupport.h"
#include "lapgen/GP3Writer.h"
#include "lapgen/SetupWriter.h"
#include "morlund/formats/gp3/GP32KBufManager.h"
#include "morlund/formats/gp3/GP3BufManager.h"
#include "morlund/formats/gp3/GP3CarSetup.h"
#include "morlund/formats/gp3/GP3Perf.h"
#include "morlund/formats/gp3/GP4BufManager.h"
#include "morlund/formats/gp3/GP4CarSetup.h"
#include "morlund/physics/GP32KPhysics.h"
#include "morlund/physics/GP4Physics.h"
#include "morlund/platform/RecordingMessageSink.h"

using namespace morlund;

namespace {

// Expected values come from the stored integers and the units of the format,
// never from the reader.
constexpr double kFt = 0.3048;
constexpr double kCoarse = 9.7536;  // metres per coarse position step
const std::string kCorrupt = "Error reading file: the data seems to be corrupt";
const std::string kReadError =
    "Error reading file: file is truncated, too long or has incorrect checksum";
const std::string kNotPerf = "Error reading file: not a GPx performance analysis file";
const std::string kGP2Hint =
    "Perf file seems to be a GP2 perf file. If that is the case and you want to load it, set the "
    "primary game to GP2 in the options dialog and try again";

struct Game {
    lapgen::GP3Game id;
    const char* name;
    std::function<std::unique_ptr<GP2BufManager>()> make;
};

const Game kGames[] = {
    {lapgen::GP3Game::GP3, "GP3", [] { return std::make_unique<GP3BufManager>(); }},
    {lapgen::GP3Game::GP32K, "GP3-2000", [] { return std::make_unique<GP32KBufManager>(); }},
    {lapgen::GP3Game::GP4, "GP4", [] { return std::make_unique<GP4BufManager>(); }},
};

lapgen::GP3Raw SmallLap(int track = 3, int samples = 400, std::uint64_t seed = 1) {
    lapgen::LapSpec spec;
    spec.seed = seed;
    spec.sampleCount = samples;
    spec.track = track;
    spec.trackLength = 3000;
    return lapgen::EncodeGP3(lapgen::MakeLap(spec));
}

bool Load(BufManager& manager, const std::vector<std::uint8_t>& bytes,
          const std::string& path = "/laps/lap.pad") {
    File file = File::FromMemory(bytes, path);
    return manager.AddBuffer(file);
}

const GP3Perf& Buffer(const BufManager& manager, int i) {
    return dynamic_cast<const GP3Perf&>(*manager.GetBuffer(i));
}

}  // namespace

TEST(GP3Reader, ServesEverySampleChannelFromTheStoredIntegers) {
    const lapgen::GP3Raw raw = SmallLap();
    for (const Game& game : kGames) {
        for (bool compress : {false, true}) {
            RecordingMessageSink sink;
            ScopedMessageSink guard(sink);
            lapgen::GP3WriteOptions options;
            options.compress = compress;
            options.checksum = compress ? lapgen::Checksum::Offset : lapgen::Checksum::Plain;
            auto manager = game.make();
            ASSERT_TRUE(Load(*manager, lapgen::WriteGP3Perf(game.id, raw, options))) << game.name;
            EXPECT_TRUE(sink.Messages().empty());
            const GP3Perf& p = Buffer(*manager, 0);
            ASSERT_EQ(p.GetSampleCount(), static_cast<int>(raw.samples.size()));
            for (int i = 0; i < p.GetSampleCount(); ++i) {
                const auto& s = raw.samples[static_cast<std::size_t>(i)];
                ASSERT_DOUBLE_EQ(p.GetDistance(i), s.distance * kFt) << i;
                ASSERT_DOUBLE_EQ(p.GetSpeed(i), s.speed / 64.0 * kFt) << i;
                ASSERT_NEAR(p.GetSteering(i), s.steering * 35 * std::numbers::pi / 1140480, 1e-12);
                ASSERT_NEAR(p.GetRevs(i), (s.revs - 100) * 2 * std::numbers::pi / 60, 1e-9);
                ASSERT_EQ(p.GetThrottle(i), s.throttle / 64.0);
                ASSERT_EQ(p.GetBrake(i), s.brake / 64.0);
                ASSERT_EQ(p.GetGear(i), s.gear);
                ASSERT_EQ(p.GetLateralAcc(i), s.latAcc);
                ASSERT_DOUBLE_EQ(p.GetLongAccDiff(i), s.longAcc - p.GetLongitudalAcc(i));
                ASSERT_DOUBLE_EQ(p.GetCoarsePosX(i), (s.coarseX - 128) * kCoarse);
                for (int w = 0; w < 4; ++w) {
                    ASSERT_DOUBLE_EQ(p.GetRideHeight(i, w), s.rideHeight[w] * 0.000625);
                    ASSERT_DOUBLE_EQ(p.GetSuspTravel(i, w), s.suspTravel[w] * 0.0003125);
                    // only the high byte: steps of 128 / 64 ft/s
                    ASSERT_DOUBLE_EQ(p.GetWheelSpeed(i, w), s.wheelSpeedHigh[w] * 2.0 * kFt);
                    ASSERT_EQ(p.GetCamber(i, w), 0.0);
                    ASSERT_EQ(p.GetLateralTyreForce(i, w), 0.0);
                }
                ASSERT_EQ(p.GetDrivenDistance(i), p.GetDistance(i));
            }
            EXPECT_EQ(p.InfoGetInfo(), std::string(game.name) + " Perf File");
            EXPECT_EQ(p.InfoGetLapnr(), raw.lapNumber);
            EXPECT_DOUBLE_EQ(p.InfoGetLapTime(), raw.lapTimeMs * 0.001);
            EXPECT_DOUBLE_EQ(p.InfoGetTrackLength(), raw.trackLengthFt * kFt);
            EXPECT_DOUBLE_EQ(manager->GetTrackLen(), raw.trackLengthFt * kFt);
            EXPECT_EQ(manager->GetTrackChecksum(), 0u);
            EXPECT_FALSE(manager->HasExtended());
        }
    }
}

TEST(GP3Reader, EachGameBuildsItsOwnCarModelAndSetup) {
    const lapgen::GP3Raw raw = SmallLap();
    GP3BufManager gp3;
    GP32KBufManager gp32k;
    GP4BufManager gp4;
    ASSERT_TRUE(Load(gp3, lapgen::WriteGP3Perf(lapgen::GP3Game::GP3, raw)));
    ASSERT_TRUE(Load(gp32k, lapgen::WriteGP3Perf(lapgen::GP3Game::GP32K, raw)));
    ASSERT_TRUE(Load(gp4, lapgen::WriteGP3Perf(lapgen::GP3Game::GP4, raw)));
    const PerfCore& a = *gp3.GetBuffer(0);
    const PerfCore& b = *gp32k.GetBuffer(0);
    const PerfCore& c = *gp4.GetBuffer(0);
    EXPECT_NE(dynamic_cast<const GP3Physics*>(a.GetPhysics()), nullptr);
    EXPECT_EQ(dynamic_cast<const GP32KPhysics*>(a.GetPhysics()), nullptr);
    EXPECT_NE(dynamic_cast<const GP32KPhysics*>(b.GetPhysics()), nullptr);
    EXPECT_NE(dynamic_cast<const GP4Physics*>(c.GetPhysics()), nullptr);
    EXPECT_NE(dynamic_cast<const GP3CarSetup*>(a.GetSetup()), nullptr);
    EXPECT_EQ(dynamic_cast<const GP4CarSetup*>(b.GetSetup()), nullptr);
    EXPECT_NE(dynamic_cast<const GP4CarSetup*>(c.GetSetup()), nullptr);
    EXPECT_EQ(a.GetSetup()->GetGearCount(), 6);
    EXPECT_EQ(c.GetSetup()->GetGearCount(), 7);
    EXPECT_EQ(gp3.GetSetupVersion(), 3);
    EXPECT_EQ(gp32k.GetSetupVersion(), 4);
    EXPECT_EQ(gp4.GetSetupVersion(), 5);
}

TEST(GP3Reader, RevsNamesAndHeaderFields) {
    lapgen::GP3Raw raw = SmallLap(2, 10);
    raw.samples[0].revs = 99;
    raw.samples[1].revs = 100;
    raw.samples[2].revs = 12100;
    raw.samples[3].revs = 0;
    raw.dateDays = 365;
    raw.hours = 9;
    raw.minutes = 5;
    raw.seconds = 7;
    std::memcpy(raw.name, "Schumach", 8);  // all eight characters, no NUL
    GP3BufManager manager;
    ASSERT_TRUE(Load(manager, lapgen::WriteGP3Perf(lapgen::GP3Game::GP3, raw), "/x/lap.1.pac"));
    ASSERT_TRUE(Load(manager, lapgen::WriteGP3Perf(lapgen::GP3Game::GP3, raw), "/x/plain"));
    ASSERT_TRUE(Load(manager, lapgen::WriteGP3Perf(lapgen::GP3Game::GP3, raw), "/x/.pac"));
    const GP3Perf& p = Buffer(manager, 0);
    EXPECT_EQ(p.GetRevs(0), 0.0);
    EXPECT_EQ(p.GetRevs(1), 0.0);
    EXPECT_NEAR(p.GetRevs(2), 12000 * std::numbers::pi / 30, 1e-9);
    EXPECT_EQ(p.GetRevs(3), 0.0);
    EXPECT_EQ(p.InfoGetName(), "lap");
    EXPECT_EQ(Buffer(manager, 1).InfoGetName(), "plain");
    EXPECT_EQ(Buffer(manager, 2).InfoGetName(), "Schumach");  // no name before the dot
    EXPECT_EQ(p.InfoGetDateString(), "1-01-1979 09:05:07");
}

TEST(GP3Reader, PositionsAreRebuiltFromTheLateralAcceleration) {
    lapgen::LapSpec spec;
    spec.sampleCount = 1500;
    spec.trackLength = 3000;
    const lapgen::Lap lap = lapgen::MakeLap(spec);
    const lapgen::GP3Raw raw = lapgen::EncodeGP3(lap);
    GP4BufManager manager;
    ASSERT_TRUE(Load(manager, lapgen::WriteGP3Perf(lapgen::GP3Game::GP4, raw)));
    const GP3Perf& p = Buffer(manager, 0);
    const int n = p.GetSampleCount();
    const auto& s0 = raw.samples[0];
    const auto& s3 = raw.samples[3];
    EXPECT_DOUBLE_EQ(p.GetPosX(0), (s0.coarseX - 128) * kCoarse);
    EXPECT_DOUBLE_EQ(p.GetPosY(0), (s0.coarseY - 128) * kCoarse);
    EXPECT_DOUBLE_EQ(p.GetStartAngle(), std::atan2((s3.coarseY - s0.coarseY) * kCoarse,
                                                   (s3.coarseX - s0.coarseX) * kCoarse));
    // The rebuilt path is as long as the distance driven and nearly closes.
    double length = 0.0;
    for (int i = 1; i < n; ++i) {
        length += std::hypot(p.GetPosX(i) - p.GetPosX(i - 1), p.GetPosY(i) - p.GetPosY(i - 1));
    }
    EXPECT_NEAR(length, lap.trackLength, 0.05 * lap.trackLength);
    const double gap = std::hypot(p.GetPosX(n - 1) - p.GetPosX(0), p.GetPosY(n - 1) - p.GetPosY(0));
    EXPECT_LT(gap, 0.01 * lap.trackLength);
    // The path turns where the lap turns: radii are finite in corners.
    int turning = 0;
    for (int i = 1; i + 1 < n; ++i) {
        if (std::abs(lap.samples[static_cast<std::size_t>(i)].curvature) > 0.01 &&
            PerfCore::RadiusLength(p.GetRadius(i)) < 1000.0) {
            ++turning;
        }
    }
    EXPECT_GT(turning, 0);
}

TEST(GP3Reader, BodiesAreCheckedBeforeUse) {
    const lapgen::GP3Raw raw = SmallLap(3, 50);
    const lapgen::GP3Raw other = SmallLap(3, 30, 2);
    struct Case {
        const char* what;
        std::function<void(lapgen::GP3WriteOptions&)> change;
        // Messages for GP3 and GP3-2000, and for GP4; none when the file loads.
        std::vector<std::string> gp3Messages, gp4Messages;
    };
    auto count = [](std::uint32_t n) {
        return [n](lapgen::GP3WriteOptions& o) { o.sampleCountOverride = n; };
    };
    const std::vector<Case> cases = {
        {"no samples", count(0), {kCorrupt}, {kCorrupt}},
        {"count beyond the samples", count(51), {kCorrupt}, {kCorrupt}},
        {"count overflowing 32 bits when multiplied", count(0x097b425fu), {kCorrupt}, {kCorrupt}},
        {"count above the int range", count(0x80000001u), {kCorrupt}, {kCorrupt}},
        {"count whose byte size overflows", count(0xffffffffu), {kCorrupt}, {kCorrupt}},
        {"GP2-length body",
         [](auto& o) { o.gp2LengthBody = true; },
         {kGP2Hint, kCorrupt},
         {kCorrupt}},
        {"signature at the end",
         [](auto& o) { o.strelkoSignature = true; },
         {kGP2Hint, kCorrupt},
         {}},
        {"ten bytes after the samples", [](auto& o) { o.trailingBytes = 10; }, {}, {}},
        {"bad checksum",
         [](auto& o) { o.checksum = lapgen::Checksum::Bad; },
         {kReadError},
         {kReadError}},
        {"truncated", [](auto& o) { o.truncateBy = 5; }, {kReadError}, {kReadError}},
    };
    for (const Game& game : kGames) {
        for (const Case& c : cases) {
            RecordingMessageSink sink;
            ScopedMessageSink guard(sink);
            lapgen::GP3WriteOptions options;
            c.change(options);
            const auto& expected = game.id == lapgen::GP3Game::GP4 ? c.gp4Messages : c.gp3Messages;
            for (bool compress : {false, true}) {
                options.compress = compress;
                // a lap already loaded stays as it was
                auto manager = game.make();
                ASSERT_TRUE(Load(*manager, lapgen::WriteGP3Perf(game.id, other)));
                sink.Clear();
                const int loaded = Load(*manager, lapgen::WriteGP3Perf(game.id, raw, options));
                EXPECT_EQ(loaded, expected.empty() ? 1 : 0) << game.name << ": " << c.what;
                EXPECT_EQ(sink.Texts(), expected) << game.name << ": " << c.what;
                EXPECT_EQ(manager->GetBufCount(), 1 + loaded) << game.name << ": " << c.what;
                EXPECT_EQ(manager->GetBuffer(0)->GetSampleCount(), 30);
                EXPECT_DOUBLE_EQ(manager->GetBuffer(0)->GetSpeed(7),
                                 other.samples[7].speed * kFt / 64);
                if (loaded) {
                    EXPECT_EQ(manager->GetBuffer(1)->GetSampleCount(), 50);
                }
                sink.Clear();
            }
        }
    }
}

TEST(GP3Reader, EnvelopeRefusalsLeaveTheManagerAsItWas) {
    const lapgen::GP3Raw raw = SmallLap(3, 50);
    const std::string notGpx = "Error reading file: not a GPx file (incorrect id)";
    for (const Game& game : kGames) {
        const bool gp4 = game.id == lapgen::GP3Game::GP4;
        auto manager = game.make();
        ASSERT_TRUE(Load(*manager, lapgen::WriteGP3Perf(game.id, raw)));
        const double first = manager->GetBuffer(0)->GetSpeed(10);
        RecordingMessageSink sink;
        ScopedMessageSink guard(sink);
        auto refuse = [&](const lapgen::GP3WriteOptions& options, const std::string& message) {
            sink.Clear();
            EXPECT_FALSE(Load(*manager, lapgen::WriteGP3Perf(game.id, raw, options)));
            EXPECT_EQ(sink.Texts(), std::vector<std::string>{message}) << game.name << message;
            EXPECT_EQ(manager->GetBufCount(), 1);
            EXPECT_EQ(manager->GetTrack(), 3);
            EXPECT_EQ(manager->GetBuffer(0)->GetSpeed(10), first);
        };
        lapgen::GP3WriteOptions options;
        options.fileId = gp4 ? lapgen::GP3PerfFileId(lapgen::GP3Game::GP3)
                             : lapgen::GP3PerfFileId(lapgen::GP3Game::GP4);
        refuse(options, notGpx);
        options = {};
        options.fileType = lapgen::kFileTypeSetup;
        refuse(options, kNotPerf);
        options = {};
        options.headerTrackOverride = 4;
        refuse(options, "Error reading file: not the same track");
        // beyond the game's tracks: a foreign file, not another track
        options.headerTrackOverride = static_cast<std::uint8_t>(manager->GetTrackCount());
        refuse(options, kNotPerf);
        options.headerTrackOverride = 255;
        refuse(options, kNotPerf);
    }
}

TEST(GPFamily, TrackNumbersOutsideTheGameAreRefusedBeforeTheyAreFixed) {
    // The last track of each game loads; the next number is refused and fixes nothing.
    for (const Game& game : kGames) {
        RecordingMessageSink sink;
        ScopedMessageSink guard(sink);
        auto manager = game.make();
        const int tracks = game.id == lapgen::GP3Game::GP3 ? 16 : 17;
        EXPECT_EQ(manager->GetTrackCount(), tracks);
        EXPECT_FALSE(Load(*manager, lapgen::WriteGP3Perf(game.id, SmallLap(tracks, 20))));
        EXPECT_EQ(sink.Texts(), std::vector<std::string>{kNotPerf});
        EXPECT_EQ(manager->GetTrack(), -1);
        EXPECT_TRUE(Load(*manager, lapgen::WriteGP3Perf(game.id, SmallLap(tracks - 1, 20))));
        EXPECT_EQ(manager->GetTrack(), tracks - 1);
        EXPECT_NE(manager->GetTrackString(-1), "???");
    }
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    GP2BufManager gp2;
    lapgen::LapSpec spec;
    spec.sampleCount = 20;
    spec.trackLength = 400;
    spec.track = 16;
    lapgen::GP2WriteOptions options;
    options.strelkoVersion = 0;
    EXPECT_FALSE(
        Load(gp2, lapgen::WriteGP2Perf(lapgen::EncodeGP2(lapgen::MakeLap(spec)), options)));
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{kNotPerf});
    EXPECT_EQ(gp2.GetTrack(), -1);
}

TEST(GP3Manager, FiltersAndTrackNamesAreTheGames) {
    GP4BufManager gp4;
    std::string filter;
    int count = 0;
    gp4.GetPerfFilter(filter, count, -1);
    EXPECT_EQ(count, 17);
    EXPECT_EQ(filter.rfind("GP4 ", 0), 0u);
    EXPECT_NE(filter.find("(*.paq)|*.paq|"), std::string::npos);
    EXPECT_EQ(filter.find("*.par"), std::string::npos);
    GP3BufManager gp3;
    filter.clear();
    count = 0;
    EXPECT_EQ(gp3.GetSetupFilter(filter, count), 1);
    EXPECT_EQ(count, 17);
    EXPECT_EQ(filter.rfind("All GP3 Setup Files (*.cs?)|*.cs?|GP3 ", 0), 0u);
    ASSERT_TRUE(Load(gp3, lapgen::WriteGP3Perf(lapgen::GP3Game::GP3, SmallLap(5, 20))));
    filter.clear();
    EXPECT_EQ(gp3.GetSetupFilter(filter, count), 7);
    for (int t = 0; t < 16; ++t) {
        EXPECT_EQ(gp3.GetTrackString(t), GetGameTrackName(TrackTable::GP3, t));
    }
    EXPECT_EQ(gp3.GetTrackString(-1), GetGameTrackName(TrackTable::GP3, 5));
    GP32KBufManager gp32k;
    EXPECT_EQ(gp32k.GetTrackString(16), GetGameTrackName(TrackTable::GP32K, 16));
    EXPECT_EQ(gp32k.GetGameString(), "GP3-2000");
}

TEST(GP3Reader, SetupBesideTheLapIsLoadedForItsGame) {
    testsupport::TempDir dir;
    const lapgen::GP3Raw raw = SmallLap(3, 40);
    for (const Game& game : kGames) {
        const auto setupGame = game.id == lapgen::GP3Game::GP4     ? lapgen::GPSetupGame::GP4
                               : game.id == lapgen::GP3Game::GP32K ? lapgen::GPSetupGame::GP32K
                                                                   : lapgen::GPSetupGame::GP3;
        auto record = lapgen::DefaultGP3SetupRecord();
        record[2] = static_cast<std::uint8_t>((record[2] & 0x7f) | 0x80);  // seventh gear 1
        const auto base = dir / (std::string("lap_") + std::to_string(static_cast<int>(game.id)));
        testsupport::WriteBytes(base.string() + ".pad", lapgen::WriteGP3Perf(game.id, raw));
        testsupport::WriteBytes(base.string() + ".csd",
                                lapgen::WriteGP3Setup(setupGame, 3, record));
        auto manager = game.make();
        File file = testsupport::OpenRead(base.string() + ".pad");
        ASSERT_TRUE(manager->AddBuffer(file));
        const PerfCore& p = *manager->GetBuffer(0);
        EXPECT_TRUE(p.IsSetupRead()) << game.name;
        // the top bit belongs to the seventh gear
        EXPECT_DOUBLE_EQ(p.GetSetup()->GetGearRatio(1), (record[2] & 0x7f) / 64.0) << game.name;
        EXPECT_DOUBLE_EQ(p.GetSetup()->GetGearRatio(7), 18 / 64.0) << game.name;
        EXPECT_EQ(p.InfoGetName(), base.filename().string());
    }
    // A GP4 setup is not a GP3 setup: the GP3 lap keeps its default setup.
    const auto base = dir / "mixed";
    testsupport::WriteBytes(base.string() + ".pad",
                            lapgen::WriteGP3Perf(lapgen::GP3Game::GP3, raw));
    testsupport::WriteBytes(
        base.string() + ".csd",
        lapgen::WriteGP3Setup(lapgen::GPSetupGame::GP4, 3, lapgen::DefaultGP3SetupRecord()));
    GP3BufManager manager;
    File file = testsupport::OpenRead(base.string() + ".pad");
    ASSERT_TRUE(manager.AddBuffer(file));
    EXPECT_FALSE(manager.GetBuffer(0)->IsSetupRead());
}
