#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <numbers>
#include <optional>

#include "TestSupport.h"
#include "lapgen/F1RSWriter.h"
#include "lapgen/SetupWriter.h"
#include "morlund/formats/GameStrings.h"
#include "morlund/formats/f1rs/F1RSBufManager.h"
#include "morlund/formats/f1rs/F1RSPerf.h"
#include "morlund/formats/f1rs/Quillon.h"
#include "morlund/platform/ByteOrder.h"
#include "morlund/platform/File.h"
#include "morlund/platform/Process.h"
#include "morlund/platform/RecordingMessageSink.h"
#include "morlund/res/StringTable.h"
#include "morlund/setup/CarSetup.h"

using namespace morlund;
using testsupport::TempDir;

namespace {

// Expected values come from the stored integers and the units of the format.
constexpr double kDeg = std::numbers::pi / 180.0;
constexpr int kFilePos[4] = {3, 1, 2, 0};

lapgen::Lap SmallLap(int track = 3, int samples = 300) {
    lapgen::LapSpec spec;
    spec.sampleCount = samples;
    spec.track = track;
    spec.trackLength = 2500;
    return lapgen::MakeLap(spec);
}

// Points the game's installation lookup at a private Wine folder for one test.
// On Windows the lookup reads the Windows folder itself, which only the private
// prefix the tests run in under Wine may be given an installation.
class WinePrefix {
public:
    WinePrefix() : m_env("WINEPREFIX", m_dir.path().string()) {}
    ~WinePrefix() {
        Quillon::SetLibraryPath({});
        std::error_code ec;
        if (!m_installed.empty()) std::filesystem::remove(m_installed, ec);
    }
    const std::filesystem::path& path() const { return m_dir.path(); }
    // Installs the game and returns its folder; empty where no test may install it.
    std::filesystem::path Install(const std::string& iniName = "ubi.ini") {
#if defined(_WIN32)
        if (!m_outerPrefix) return {};
        const auto ini = WindowsFolder() / "Ubisoft" / iniName;
        const auto game = m_dir.path() / "Games" / "F1RS";
        const std::string folder = PathToUtf8(game.lexically_normal());
        m_installed = ini;
#else
        const auto ini = m_dir.path() / "drive_c" / "windows" / "Ubisoft" / iniName;
        const auto game = m_dir.path() / "drive_c" / "Games" / "F1RS";
        const std::string folder = "C:\\Games\\F1RS";
#endif
        std::filesystem::create_directories(ini.parent_path());
        testsupport::WriteBytes(ini, Bytes("[Other]\nDirectory=C:\\Nope\\\n[F1RS]\n"
                                           "Directory = " +
                                           folder + "\n"));
        return game;
    }
    static std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

private:
    const bool m_outerPrefix = GetEnvironmentValue("WINEPREFIX").has_value();
    TempDir m_dir;
    testsupport::ScopedEnv m_env;  // after m_dir, which it points at
    std::filesystem::path m_installed;
};

constexpr const char* kNoInstall =
    "the game is found through the Windows folder, which only a "
    "private Wine prefix lets a test change";

// The first record of a stream at or past a distance, else the last.
template <typename R>
const R& Lookup(const std::vector<R>& records, double d) {
    for (const R& r : records)
        if (r.distance >= d) return r;
    return records.back();
}

bool Load(F1RSBufManager& manager, const TempDir& dir, const std::vector<std::uint8_t>& bytes,
          const std::string& name = "lap.tlm") {
    testsupport::WriteBytes(dir / name, bytes);
    File file = testsupport::OpenRead(dir / name);
    return manager.AddBuffer(file);
}

const F1RSPerf& Buffer(const F1RSBufManager& manager, int i) {
    return dynamic_cast<const F1RSPerf&>(*manager.GetBuffer(i));
}

std::string Text(int id) { return std::string(LoadString(id)); }

}  // namespace

TEST(F1RSReader, ServesEveryChannelFromItsStreamByDistance) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    WinePrefix wine;  // no game installed
    TempDir dir;
    const lapgen::TlmRaw raw = lapgen::EncodeF1RS(SmallLap());
    F1RSBufManager manager;
    ASSERT_TRUE(Load(manager, dir, lapgen::WriteF1RSTelemetry(raw), "LAP.TLM"));
    EXPECT_TRUE(sink.Messages().empty());
    const F1RSPerf& p = Buffer(manager, 0);
    EXPECT_EQ(manager.GetTrack(), 3);
    EXPECT_EQ(p.InfoGetName(), "LAP.TLM");
    EXPECT_EQ(p.InfoGetLapnr(), raw.lapNumber);
    EXPECT_EQ(p.InfoGetDateString(), raw.date);
    EXPECT_DOUBLE_EQ(p.InfoGetLapTime(), raw.lapTime / 65536.0);
    EXPECT_EQ(p.InfoGetInfo(), "F1RS Telemetry File");
    EXPECT_FALSE(manager.HasGhost());
    // stream 1 has the most records and is the sample grid
    ASSERT_EQ(p.GetSampleCount(), static_cast<int>(raw.engine.size()));
    EXPECT_DOUBLE_EQ(manager.GetTrackLen(), raw.engine.back().distance + 1.0);
    for (int i = 0; i < p.GetSampleCount(); ++i) {
        const auto& e = raw.engine[static_cast<std::size_t>(i)];
        ASSERT_EQ(p.GetDistance(i), e.distance);
        ASSERT_DOUBLE_EQ(p.GetTime(i), e.time / 65536.0);
        ASSERT_DOUBLE_EQ(p.GetSpeed(i), e.speed / 3.6);
        ASSERT_DOUBLE_EQ(p.GetRevs(i), e.revs * 10 * std::numbers::pi / 30);
        const auto& s = Lookup(raw.susp, e.distance);
        const auto& in = Lookup(raw.inputs, e.distance);
        ASSERT_DOUBLE_EQ(p.GetThrottle(i), in.throttle / 99.0);
        ASSERT_DOUBLE_EQ(p.GetBrake(i), in.brake * 0.01);
        ASSERT_EQ(p.GetGear(i), in.gear);
        ASSERT_DOUBLE_EQ(p.GetSteering(i), in.steering * -0.5 * kDeg);
        for (int w = 0; w < 4; ++w) {
            ASSERT_DOUBLE_EQ(p.GetSuspTravel(i, w), s.travel[w] * 0.001);
            ASSERT_DOUBLE_EQ(p.GetCamber(i, w), s.camber[w] * 0.1 * kDeg);
            ASSERT_DOUBLE_EQ(p.GetRideHeight(i, w),
                             (w >= 2 ? s.frontRideHeight : s.rearRideHeight) * 0.001);
            // no setup file: the wheels turn with the car
            ASSERT_DOUBLE_EQ(p.GetWheelSpeed(i, w), p.GetSpeed(i));
            ASSERT_EQ(p.GetLongitudalTyreForce(i, w), 0.0);
        }
        ASSERT_EQ(p.GetPosX(i), 0.0);
        ASSERT_EQ(p.GetPosY(i), 0.0);
    }
}

TEST(F1RSReader, FileWheelOrderIsRightFrontRightRearLeftFrontLeftRear) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    WinePrefix wine;
    TempDir dir;
    lapgen::TlmRaw raw = lapgen::EncodeF1RS(SmallLap(3, 20));
    std::vector<std::uint8_t> bytes = lapgen::WriteF1RSTelemetry(raw);
    // Mark each file wheel position in the first stream-2 record: position p holds p + 1.
    const std::size_t s2 = 28 + 12 * raw.engine.size() + 4;
    for (int p = 0; p < 4; ++p)
        bytes[s2 + 6 + static_cast<std::size_t>(p)] = static_cast<std::uint8_t>(p + 1);
    F1RSBufManager manager;
    ASSERT_TRUE(Load(manager, dir, bytes));
    for (int w = 0; w < 4; ++w)
        EXPECT_DOUBLE_EQ(Buffer(manager, 0).GetSuspTravel(0, w), (kFilePos[w] + 1) * 0.001);
}

TEST(F1RSReader, TheLongestStreamIsTheGridAndLateSamplesReadTheLastRecord) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    WinePrefix wine;
    TempDir dir;
    lapgen::TlmEncodeOptions options;
    options.stride = {3, 1, 2};
    lapgen::TlmRaw raw = lapgen::EncodeF1RS(SmallLap(), options);
    // The input stream stops short of the lap's end.
    raw.inputs.resize(raw.inputs.size() / 2);
    F1RSBufManager manager;
    ASSERT_TRUE(Load(manager, dir, lapgen::WriteF1RSTelemetry(raw)));
    const F1RSPerf& p = Buffer(manager, 0);
    ASSERT_EQ(p.GetSampleCount(), static_cast<int>(raw.susp.size()));
    const int last = p.GetSampleCount() - 1;
    EXPECT_EQ(p.GetDistance(last), raw.susp.back().distance);
    EXPECT_EQ(p.GetGear(last), raw.inputs.back().gear);
    EXPECT_DOUBLE_EQ(p.GetThrottle(last), raw.inputs.back().throttle / 99.0);
    // time comes from stream 1 at the sample's distance
    const auto& e = Lookup(raw.engine, p.GetDistance(last / 2));
    EXPECT_DOUBLE_EQ(p.GetTime(last / 2), e.time / 65536.0);
}

TEST(F1RSReader, RepeatedDistancesAtTheEndsOfAStreamAreDropped) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    WinePrefix wine;
    TempDir dir;
    lapgen::TlmRaw raw = lapgen::EncodeF1RS(SmallLap(3, 60));
    const std::size_t engineCount = raw.engine.size();
    // Two leading records of the suspension stream at the distance of the third; its last
    // record goes back.
    raw.susp[0].distance = raw.susp[2].distance;
    raw.susp[1].distance = raw.susp[2].distance;
    raw.susp[0].frontRideHeight = 999;
    raw.susp.back().distance = 0;
    F1RSBufManager manager;
    ASSERT_TRUE(Load(manager, dir, lapgen::WriteF1RSTelemetry(raw)));
    const F1RSPerf& p = Buffer(manager, 0);
    EXPECT_EQ(p.GetSampleCount(), static_cast<int>(engineCount));  // other streams untouched
    EXPECT_DOUBLE_EQ(p.GetRideHeight(0, 2), raw.susp[2].frontRideHeight * 0.001);
    const auto& kept = raw.susp[raw.susp.size() - 2];
    EXPECT_DOUBLE_EQ(p.GetRideHeight(p.GetSampleCount() - 1, 2), kept.frontRideHeight * 0.001);

    // A stream whose records all share one distance keeps one record.
    lapgen::TlmRaw flat = lapgen::EncodeF1RS(SmallLap(3, 60));
    for (auto& r : flat.inputs)
        r.distance = 50;
    flat.inputs.resize(2);
    F1RSBufManager second;
    ASSERT_TRUE(Load(second, dir, lapgen::WriteF1RSTelemetry(flat), "flat.tlm"));
    EXPECT_EQ(Buffer(second, 0).GetGear(0), flat.inputs[0].gear);
}

TEST(F1RSReader, BadFilesAreRefusedWithTheirMessageAndLeaveTheManagerAlone) {
    const lapgen::TlmRaw raw = lapgen::EncodeF1RS(SmallLap(3, 40));
    const std::vector<std::uint8_t> good = lapgen::WriteF1RSTelemetry(raw);
    const std::size_t c2 = 24 + 4 + 12 * raw.engine.size();
    struct Case {
        const char* what;
        std::string name;
        std::vector<std::uint8_t> bytes;
        int message;
    };
    auto with = [&](auto change) {
        std::vector<std::uint8_t> b = good;
        change(b);
        return b;
    };
    const std::vector<Case> cases = {
        {"wrong extension", "lap.tlx", good, IDS_NOT_F1RS_FILE},
        {"empty file", "lap.tlm", {}, IDS_READ_ERROR},
        {"track byte 0", "lap.tlm", with([](auto& b) { b[0] = 0; }), IDS_NOT_F1RS_FILE},
        {"track past the table", "lap.tlm", with([](auto& b) { b[0] = 17; }), IDS_NOT_F1RS_FILE},
        {"shorter than a header", "lap.tlm",
         std::vector<std::uint8_t>(good.begin(), good.begin() + 31), IDS_CORRUPT_DATA},
        {"huge first count", "lap.tlm", with([](auto& b) { StoreU32(b.data() + 24, 0xffffffffu); }),
         IDS_CORRUPT_DATA},
        {"count wraps 32 bits", "lap.tlm",
         with([](auto& b) { StoreU32(b.data() + 24, 0x15555556u); }), IDS_CORRUPT_DATA},
        {"empty second stream", "lap.tlm", with([&](auto& b) { StoreU32(b.data() + c2, 0); }),
         IDS_CORRUPT_DATA},
        {"last stream cut short", "lap.tlm", with([](auto& b) { b.resize(b.size() - 5); }),
         IDS_CORRUPT_DATA},
        {"third count missing", "lap.tlm",
         with([&](auto& b) { b.resize(c2 + 4 + 24 * raw.susp.size() + 2); }), IDS_CORRUPT_DATA},
    };
    WinePrefix wine;
    TempDir dir;
    for (const Case& c : cases) {
        RecordingMessageSink sink;
        ScopedMessageSink guard(sink);
        F1RSBufManager manager;
        EXPECT_FALSE(Load(manager, dir, c.bytes, c.name)) << c.what;
        EXPECT_EQ(sink.Texts(), std::vector<std::string>{Text(c.message)}) << c.what;
        EXPECT_EQ(manager.GetBufCount(), 0) << c.what;
        EXPECT_EQ(manager.GetTrack(), -1) << c.what;
    }
}

TEST(F1RSReader, SecondLapOfAnotherTrackIsRefusedAndLeftoverBytesOnlyWarn) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    WinePrefix wine;
    TempDir dir;
    F1RSBufManager manager;
    ASSERT_TRUE(Load(manager, dir, lapgen::WriteF1RSTelemetry(lapgen::EncodeF1RS(SmallLap(3)), 7)));
    ASSERT_EQ(sink.Messages().size(), 1u);
    EXPECT_EQ(sink.Messages()[0].text, "File too long");
    EXPECT_EQ(sink.Messages()[0].icon, MessageIcon::Warning);
    sink.Clear();
    const std::string before = manager.GetBuffer(0)->InfoGetName();
    EXPECT_FALSE(Load(manager, dir, lapgen::WriteF1RSTelemetry(lapgen::EncodeF1RS(SmallLap(5))),
                      "other.tlm"));
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{Text(IDS_NOT_SAME_TRACK)});
    EXPECT_EQ(manager.GetBufCount(), 1);
    EXPECT_EQ(manager.GetTrack(), 3);
    EXPECT_EQ(manager.GetBuffer(0)->InfoGetName(), before);
}

TEST(F1RSReader, PositionsComeFromTheDecodedScopeFileOfTheInstalledGame) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    WinePrefix wine;
    TempDir dir;
    const lapgen::Lap lap = SmallLap(3, 200);
    const lapgen::TlmRaw raw = lapgen::EncodeF1RS(lap);
    // Folder names differ in case from the ones the game's settings give.
    const auto game = wine.Install("UBI.INI");
    if (game.empty()) GTEST_SKIP() << kNoInstall;
    lapgen::WriteF1RSScope(game.parent_path() / "f1rs", lap);
    const auto xy = lapgen::F1RSScopePositions(lap);

    F1RSBufManager manager;
    ASSERT_TRUE(Load(manager, dir, lapgen::WriteF1RSTelemetry(raw)));
    const F1RSPerf& p = Buffer(manager, 0);
    EXPECT_TRUE(manager.HasGhost());
    EXPECT_EQ(p.InfoGetInfo(), "F1RS Telemetry & Ghost File");
    const std::size_t n = static_cast<std::size_t>(p.GetSampleCount());
    for (std::size_t i = 0; i < n; ++i) {
        const auto& r = xy[i * xy.size() / n];
        ASSERT_DOUBLE_EQ(p.GetPosX(static_cast<int>(i)), r[0] * 0.3048 / 16384) << i;
        ASSERT_DOUBLE_EQ(p.GetPosY(static_cast<int>(i)), r[1] * 0.3048 / 16384) << i;
    }

    // Without the decoder library the lap loads without positions.
    Quillon::SetLibraryPath(dir / "no-such-library.so");
    F1RSBufManager without;
    ASSERT_TRUE(Load(without, dir, lapgen::WriteF1RSTelemetry(raw)));
    EXPECT_FALSE(without.HasGhost());
    EXPECT_EQ(Buffer(without, 0).GetPosX(5), 0.0);
    EXPECT_TRUE(sink.Messages().empty());
}

TEST(F1RSReader, ScopeFilesThatDoNotHoldTheirRecordsGiveNoPositions) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    WinePrefix wine;
    TempDir dir;
    const lapgen::Lap lap = SmallLap(3, 50);
    const lapgen::TlmRaw raw = lapgen::EncodeF1RS(lap);
    const auto game = wine.Install();
    if (game.empty()) GTEST_SKIP() << kNoInstall;
    const auto scope = game / "f1datab" / "scope" / lapgen::F1RSScopeName(3, raw.lapTime);
    std::filesystem::create_directories(scope.parent_path());
    const auto xy = lapgen::F1RSScopePositions(lap);
    auto store = [&](auto change) {
        std::vector<std::uint8_t> plain = lapgen::BuildF1RSScopePlain(xy);
        change(plain);
        lapgen::EncodeF1RSScope(plain);
        testsupport::WriteBytes(scope, plain);
    };
    const std::vector<std::function<void(std::vector<std::uint8_t>&)>> changes = {
        [](auto& b) { StoreU32(b.data() + 40, 0); },            // no records
        [](auto& b) { StoreU32(b.data() + 40, 0x7fffffffu); },  // count past the end
        [](auto& b) { StoreU32(b.data() + 24, 0xfffffff0u); },  // offset past the end
        [](auto& b) { b.resize(b.size() - 1); },                // last record cut
        [](auto& b) { b.resize(30); },                          // header cut
    };
    for (std::size_t k = 0; k < changes.size(); ++k) {
        store(changes[k]);
        F1RSBufManager manager;
        ASSERT_TRUE(Load(manager, dir, lapgen::WriteF1RSTelemetry(raw))) << k;
        EXPECT_FALSE(manager.HasGhost()) << k;
    }
    EXPECT_TRUE(sink.Messages().empty());
}

TEST(F1RSReader, WheelSpeedFollowsTheGearingOnceASetupFileIsRead) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    WinePrefix wine;
    TempDir dir;
    const lapgen::TlmRaw raw = lapgen::EncodeF1RS(SmallLap());
    F1RSBufManager manager;
    ASSERT_TRUE(Load(manager, dir, lapgen::WriteF1RSTelemetry(raw)));
    testsupport::WriteBytes(dir / "car.s4", lapgen::WriteF1RSSetup());
    File setupFile = testsupport::OpenRead(dir / "car.s4");
    PerfCore& p = *manager.GetBuffer(0);
    ASSERT_TRUE(p.ReadSetup(setupFile));
    const CarSetup& setup = *p.GetSetup();
    ASSERT_TRUE(setup.IsFromFile());
    int checked = 0;
    for (int i = 0; i < p.GetSampleCount(); ++i) {
        const int gear = p.GetGear(i);
        const double speed = raw.engine[static_cast<std::size_t>(i)].speed / 3.6;
        double expected = 0.0;
        if (gear >= 1 && gear <= 6 && speed != 0.0) {
            const double rpm = raw.engine[static_cast<std::size_t>(i)].revs * 10.0;
            expected = std::max(0.0, setup.GetGearRatio(gear) * rpm * 50 / (2 * speed) - 1000);
            checked += expected > 0.0;
        }
        ASSERT_NEAR(p.GetWheelSpeed(i, 1), expected, 1e-9 * (1 + expected)) << i;
    }
    EXPECT_GT(checked, 0);
}

TEST(F1RSManager, FiltersOfferTheTelemetryFilesAndTheSetupsOfEachTrack) {
    F1RSBufManager manager;
    std::string filter;
    int count = 0;
    EXPECT_EQ(manager.GetPerfFilter(filter, count, 3), 1);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(filter, "F1RS " + GetGameTrackName(TrackTable::F1RS, 3) + " (*.tlm)|*.tlm|");
    filter.clear();
    count = 0;
    manager.GetPerfFilter(filter, count, -1);
    EXPECT_EQ(count, 16);

    std::string setups = "keep|";
    int setupCount = 0;
    EXPECT_EQ(manager.GetSetupFilter(setups, setupCount), 1);  // no track yet: "All"
    EXPECT_EQ(setupCount, 17);
    EXPECT_EQ(setups.rfind("keep|All F1RS Setup Files (*.s*)|*.s*|F1RS ", 0), 0u);
    EXPECT_NE(setups.find(" (*.s16)|*.s16|"), std::string::npos);
    EXPECT_EQ(manager.GetTrackLen(), 0.0);
}
