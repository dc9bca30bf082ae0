#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <numbers>

#include "TestSupport.h"
#include "lapgen/RafWriter.h"
#include "morlund/formats/lfs/LFSBufManager.h"
#include "morlund/formats/lfs/LFSPerf.h"
#include "morlund/physics/Physics.h"
#include "morlund/platform/ByteOrder.h"
#include "morlund/platform/RecordingMessageSink.h"
#include "morlund/res/StringTable.h"
#include "morlund/setup/CarSetup.h"

using namespace morlund;
using testsupport::TempDir;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Model samples much further apart than the file's 10 ms: the file interpolates between them.
lapgen::Lap SmallLap(double grip = 1.0, int samples = 400) {
    lapgen::LapSpec spec;
    spec.sampleCount = samples;
    spec.trackLength = 1500;
    spec.gripScale = grip;
    return lapgen::MakeLap(spec);
}

bool Load(LFSBufManager& manager, const TempDir& dir, const Bytes& bytes,
          const std::string& name = "lap1.raf") {
    testsupport::WriteBytes(dir / name, bytes);
    File file = testsupport::OpenRead(dir / name);
    return manager.AddBuffer(file);
}

const LFSPerf& Lap(const LFSBufManager& manager, int index) {
    return dynamic_cast<const LFSPerf&>(*manager.GetBuffer(index));
}

// "m:ss.mmm", worked out here rather than taken from the library.
std::string LapTimeText(std::uint32_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%u:%02u.%03u", ms / 60000, ms / 1000 % 60, ms % 1000);
    return text;
}

std::vector<std::string> InfoValues(const PerfCore& perf) {
    std::vector<std::string> values;
    perf.InfoGetInfoItemValues(values);
    return values;
}

}  // namespace

TEST(LFSReader, ServesEveryChannelThroughTheWheelMap) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    TempDir dir;
    const lapgen::Lap lap = SmallLap();
    const lapgen::RafOptions options;  // blocks in the game's order: front left first
    const lapgen::RafRaw raw = lapgen::EncodeRaf(lap, options);
    LFSBufManager manager;
    ASSERT_TRUE(Load(manager, dir, lapgen::WriteRaf(raw, options))) << sink.Texts().front();
    EXPECT_TRUE(sink.Messages().empty());
    const LFSPerf& perf = Lap(manager, 0);

    ASSERT_EQ(perf.GetSampleCount(), static_cast<int>(raw.blocks.size()));
    EXPECT_EQ(perf.GetWheelMap(), (std::array<int, 4>{2, 3, 0, 1}));
    for (int i = 0; i < perf.GetSampleCount(); i += 37) {
        const lapgen::RafBlock& b = raw.blocks[static_cast<std::size_t>(i)];
        SCOPED_TRACE(i);
        EXPECT_DOUBLE_EQ(perf.GetTime(i), i * 0.01);
        EXPECT_EQ(perf.GetSpeed(i), b.speed);
        EXPECT_EQ(perf.GetRevs(i), b.revs);
        EXPECT_EQ(perf.GetThrottle(i), b.throttle);
        EXPECT_EQ(perf.GetBrake(i), b.brake);
        EXPECT_EQ(perf.GetSteering(i), b.steering);
        EXPECT_EQ(perf.GetGear(i), b.gearPlusOne - 1);
        EXPECT_EQ(perf.GetDistance(i), b.lapDistance);
        EXPECT_EQ(perf.GetDrivenDistance(i), b.drivenDistance);
        EXPECT_DOUBLE_EQ(perf.GetPosX(i), b.x / 65536.0);
        EXPECT_DOUBLE_EQ(perf.GetPosY(i), b.y / 65536.0);
        EXPECT_DOUBLE_EQ(perf.GetPosZ(i), b.z / 65536.0);
        EXPECT_DOUBLE_EQ(perf.GetAngleImpl(i),
                         std::atan2(-b.forwardX / 32767.0, b.forwardY / 32767.0));
        EXPECT_EQ(perf.GetLongAccDiff(i), 0.0);
        for (int w = 0; w < 4; ++w) {
            const auto k = static_cast<std::size_t>(w);
            EXPECT_EQ(perf.GetRideHeight(i, w), 0.1);
            // Full-extension travel minus compression gives back the model's travel.
            EXPECT_NEAR(perf.GetSuspTravel(i, w), options.setup.travel[k] - b.compression[k], 1e-6);
            EXPECT_EQ(perf.GetLateralTyreForce(i, w), b.lateralForce[k]);
            EXPECT_EQ(perf.GetLongitudalTyreForce(i, w), b.longitudinalForce[k]);
            EXPECT_EQ(perf.GetTyreLoad(i, w, *perf.GetSetup()), b.load[k]);
            EXPECT_DOUBLE_EQ(perf.GetWheelSpeed(i, w),
                             b.angularSpeed[k] * static_cast<double>(static_cast<float>(0.33)));
            EXPECT_EQ(perf.GetCamber(i, w), b.camber[k]);
        }
    }
    // Samples of the model itself: the resampling keeps them where times coincide.
    const int i = 200;
    const double t = perf.GetTime(i);
    const auto k = static_cast<std::size_t>(std::lround(t / lap.timeStep));
    if (std::fabs(static_cast<double>(k) * lap.timeStep - t) < 1e-9) {
        for (int w = 0; w < 4; ++w)
            EXPECT_NEAR(perf.GetWheelSpeed(i, w), lap.samples[k].wheelSpeed[w], 1e-3);
    }

    EXPECT_EQ(manager.GetTrack(), 0);
    EXPECT_EQ(manager.GetTrackString(-1), "SO1 R");
    EXPECT_EQ(manager.GetSMXTrackString(), "SO1");
    EXPECT_DOUBLE_EQ(manager.GetTrackLen(), raw.trackLength + 1.0);
    EXPECT_EQ(perf.InfoGetTrackLength(), raw.trackLength);
    EXPECT_EQ(perf.GetMaxDistance(), raw.blocks.back().lapDistance);
    EXPECT_DOUBLE_EQ(perf.InfoGetLapTime(), raw.splits.back() * 0.001);
    EXPECT_EQ(perf.InfoGetLapnr(), -1);
    EXPECT_EQ(perf.InfoGetInfo(), "Replay Analyser File v2");
    EXPECT_EQ(perf.InfoGetName(), "lap1.raf");
}

TEST(LFSReader, LapInformationItems) {
    TempDir dir;
    lapgen::RafOptions options;
    options.player = "^1Fast^7Driver^9!";  // ^9 is not a colour code
    options.helps = 0x81;                  // left-hand drive, throttle help
    options.hlvc = 2;
    options.setup.tyreType = {7, 7, 1, 1};  // header block 0 holds the left front: 1
    const lapgen::RafRaw raw = lapgen::EncodeRaf(SmallLap(), options);
    ASSERT_EQ(raw.splits.size(), 3u);
    LFSBufManager manager;
    ASSERT_TRUE(Load(manager, dir, lapgen::WriteRaf(raw, options)));
    const PerfCore& perf = *manager.GetBuffer(0);

    std::vector<std::string> names;
    perf.InfoGetInfoItemNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"Player", "Car", "Weather", "Tyre Type",
                                               "LFS Version", "Left Hand Drive", "Gear Change Cut",
                                               "Gear Change Blip", "Auto Gears", "Inertia Steer",
                                               "Mouse KB Steer", "Braking Help", "Throttle Help",
                                               "HLVC Legal", "Split Times", "Sector Times"}));
    const auto& s = raw.splits;
    EXPECT_EQ(InfoValues(perf),
              (std::vector<std::string>{
                  "FastDriver^9!", "XRT", "Clear", "Race Grooved", "0.6F", "Yes", "No", "No", "No",
                  "No", "No", "No", "Yes", "Illegal", LapTimeText(s[0]) + ", " + LapTimeText(s[1]),
                  LapTimeText(s[1] - s[0]) + ", " + LapTimeText(s[2] - s[1])}));

    // The date is the file's creation time in local time.
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ASSERT_TRUE(morlund::LocalTime(now, local));
    const std::string year = std::to_string(local.tm_year + 1900);
    const std::string date = perf.InfoGetDateString();
    ASSERT_EQ(date.size(), 19u) << date;
    EXPECT_EQ(date.substr(6, 4), year);
    EXPECT_EQ(date[2], '-');
    EXPECT_EQ(date[13], ':');
}

TEST(LFSReader, HostileHeaderFieldsStayInsideTheirFields) {
    TempDir dir;
    lapgen::RafOptions options;
    options.player = std::string(40, 'P');  // fills the 32-byte field without a NUL
    options.hlvc = 7;
    options.setup.tyreType = {9, 9, 200, 9};
    options.splitCountOverride = 9;  // at most four splits exist
    lapgen::RafRaw raw = lapgen::EncodeRaf(SmallLap(), options);
    LFSBufManager manager;
    ASSERT_TRUE(Load(manager, dir, lapgen::WriteRaf(raw, options)));
    const PerfCore& perf = *manager.GetBuffer(0);
    const auto values = InfoValues(perf);
    EXPECT_EQ(values[0], std::string(32, 'P'));
    EXPECT_EQ(values[3], "???");
    EXPECT_EQ(values[13], "Unknown");
    // Split 3 is read from header offset 184 (the fourth split slot): a 0 here.
    EXPECT_EQ(perf.InfoGetLapTime(), 0.0);
    EXPECT_EQ(values[14], LapTimeText(raw.splits[0]) + ", " + LapTimeText(raw.splits[1]) + ", " +
                              LapTimeText(raw.splits[2]));
}

TEST(LFSReader, SampleIntervalFromTheHeader) {
    TempDir dir;
    const lapgen::Lap lap = SmallLap();
    LFSBufManager manager;
    {
        lapgen::RafOptions options;
        options.intervalMs = 100;  // a low-rate replay
        options.splitFractions = {};
        options.splitCountOverride = 0;
        const lapgen::RafRaw raw = lapgen::EncodeRaf(lap, options);
        ASSERT_TRUE(Load(manager, dir, lapgen::WriteRaf(raw, options), "slow.raf"));
        const auto& perf = Lap(manager, 0);
        EXPECT_DOUBLE_EQ(perf.GetTime(7), 0.7);
        // Without splits the lap lasts as many intervals as it has blocks.
        EXPECT_DOUBLE_EQ(perf.InfoGetLapTime(), static_cast<double>(raw.blocks.size()) * 0.1);
    }
    {
        lapgen::RafOptions options;
        lapgen::RafRaw raw = lapgen::EncodeRaf(lap, options);
        raw.header[9] = 0;  // older writers leave the interval out: 10 ms
        ASSERT_TRUE(Load(manager, dir, lapgen::WriteRaf(raw, options), "old.raf"));
        EXPECT_DOUBLE_EQ(Lap(manager, 1).GetTime(7), 0.07);
    }
}

TEST(LFSReader, UnknownTrackLengthStretchesEveryLapToTheLongest) {
    TempDir dir;
    LFSBufManager manager;
    lapgen::RafOptions shortOptions;
    shortOptions.trackLengthKnown = false;
    shortOptions.drivenFactor = 0.95;
    const lapgen::RafRaw shortRaw = lapgen::EncodeRaf(SmallLap(), shortOptions);
    ASSERT_TRUE(Load(manager, dir, lapgen::WriteRaf(shortRaw, shortOptions), "a.raf"));
    const double shortDriven = shortRaw.blocks.back().drivenDistance;
    EXPECT_DOUBLE_EQ(manager.GetTrackLen(), shortDriven + 1.0);
    const LFSPerf& first = Lap(manager, 0);
    const int n = first.GetSampleCount();
    EXPECT_DOUBLE_EQ(first.GetDistance(n - 1), shortDriven + 1.0);
    EXPECT_EQ(first.GetMaxDistance(), shortRaw.blocks.back().drivenDistance);
    EXPECT_EQ(first.InfoGetTrackLength(), first.GetMaxDistance());

    lapgen::RafOptions longOptions = shortOptions;
    longOptions.drivenFactor = 1.02;
    const lapgen::RafRaw longRaw = lapgen::EncodeRaf(SmallLap(0.9), longOptions);
    ASSERT_TRUE(Load(manager, dir, lapgen::WriteRaf(longRaw, longOptions), "b.raf"));
    const double longest = longRaw.blocks.back().drivenDistance + 1.0;
    EXPECT_DOUBLE_EQ(manager.GetTrackLen(), longest);
    // Both laps end on the longest length, and the first lap's distance index follows it.
    EXPECT_DOUBLE_EQ(first.GetDistance(n - 1), longest);
    EXPECT_DOUBLE_EQ(Lap(manager, 1).GetDistance(Lap(manager, 1).GetSampleCount() - 1), longest);
    for (int i : {1, n / 3, n / 2, n - 2}) {
        const double expected =
            longest * shortRaw.blocks[static_cast<std::size_t>(i)].drivenDistance / shortDriven;
        EXPECT_NEAR(first.GetDistance(i), expected, 1e-9);
        EXPECT_NEAR(first.GetTime(first.GetDistance(i)), first.GetTime(i), 1e-9) << i;
    }

    // A shorter lap later changes nothing.
    ASSERT_TRUE(Load(manager, dir, lapgen::WriteRaf(shortRaw, shortOptions), "c.raf"));
    EXPECT_DOUBLE_EQ(manager.GetTrackLen(), longest);
    EXPECT_DOUBLE_EQ(Lap(manager, 2).GetDistance(n - 1), longest);
}

TEST(LFSReader, RefusesBadFilesWithTheirMessages) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    TempDir dir;
    const lapgen::Lap lap = SmallLap();
    const std::string notLfs(LoadString(IDS_NOT_LFS_FILE));
    struct Case {
        const char* what;
        lapgen::RafOptions options;
        std::string name;
        std::string message;
    };
    std::vector<Case> cases;
    auto add = [&](const char* what, auto change, std::string message,
                   std::string name = "bad.raf") {
        lapgen::RafOptions options;
        change(options);
        cases.push_back({what, options, name, message});
    };
    add(
        "wrong extension", [](lapgen::RafOptions&) {}, notLfs, "lap.rfa");
    add(
        "wrong magic", [](lapgen::RafOptions& o) { o.magic = "LFSRAX"; }, notLfs);
    add(
        "version 1", [](lapgen::RafOptions& o) { o.version = 1; },
        "The version of this file is not supported");
    add(
        "header size", [](lapgen::RafOptions& o) { o.headerSize = 1000; },
        "The version of this file is not supported");
    add(
        "no blocks", [](lapgen::RafOptions& o) { o.blockCountOverride = 0; },
        "File does not contain any data blocks");
    add(
        "truncated", [](lapgen::RafOptions& o) { o.truncateBy = 1; }, "File is truncated");
    add(
        "too many blocks", [](lapgen::RafOptions& o) { o.blockCountOverride = 0x7fffffff; },
        "File is truncated");
    add(
        "block below the car state",
        [](lapgen::RafOptions& o) {
            o.blockSize = 64;
            o.blockCountOverride = 0x3000;  // 3 times as many 64-byte blocks fit
        },
        "File is truncated", "small.raf");

    LFSBufManager manager;
    ASSERT_TRUE(Load(manager, dir, lapgen::WriteRaf(lapgen::EncodeRaf(lap, {}), {}), "good.raf"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sink.Clear();
        EXPECT_FALSE(Load(manager, dir,
                          lapgen::WriteRaf(lapgen::EncodeRaf(lap, c.options), c.options), c.name));
        EXPECT_EQ(sink.Texts(), std::vector<std::string>{c.message});
        EXPECT_EQ(manager.GetBufCount(), 1);
    }

    // A block size of 0 or below the 64-byte car state is refused before any sample is read.
    for (int size : {0, 32, 63}) {
        Bytes bytes = lapgen::WriteRaf(lapgen::EncodeRaf(lap, {}), {});
        StoreU16(bytes.data() + 14, static_cast<std::uint16_t>(size));
        sink.Clear();
        EXPECT_FALSE(Load(manager, dir, bytes, "zero.raf")) << size;
        EXPECT_EQ(sink.Texts(), std::vector<std::string>{"File is truncated"});
    }

    // Shorter than a header, even with the right name.
    Bytes header = lapgen::WriteRaf(lapgen::EncodeRaf(lap, {}), {});
    header.resize(1023);
    sink.Clear();
    EXPECT_FALSE(Load(manager, dir, header, "short.RAF"));
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{notLfs});

    // Another layout of the same track is another track; the layout's case does not count.
    lapgen::RafOptions other;
    other.layout = "X";
    sink.Clear();
    EXPECT_FALSE(Load(manager, dir, lapgen::WriteRaf(lapgen::EncodeRaf(lap, other), other)));
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{std::string(LoadString(IDS_NOT_SAME_TRACK))});
    lapgen::RafOptions lower;
    lower.track = "so1";
    lower.layout = "r";
    EXPECT_TRUE(Load(manager, dir, lapgen::WriteRaf(lapgen::EncodeRaf(lap, lower), lower)));
    EXPECT_EQ(manager.GetBufCount(), 2);
}

TEST(LFSReader, BlockLayoutsFromTheHeader) {
    TempDir dir;
    const lapgen::Lap lap = SmallLap();
    LFSBufManager manager;
    // Larger blocks and sub-blocks: the first 32 bytes of each sub-block are the wheel's.
    lapgen::RafOptions wide;
    wide.blockSize = 300;
    wide.wheelSubBlockSize = 48;
    wide.firstWheelSubBlock = 80;
    const lapgen::RafRaw raw = lapgen::EncodeRaf(lap, wide);
    ASSERT_TRUE(Load(manager, dir, lapgen::WriteRaf(raw, wide), "wide.raf"));
    const auto& perf = Lap(manager, 0);
    for (int w = 0; w < 4; ++w)
        EXPECT_EQ(perf.GetTyreLoad(100, w, *perf.GetSetup()), raw.blocks[100].load[w]);

    // A last sub-block that reaches past the block keeps what lies inside it: block 3 (the rear
    // right wheel) starts at 184, so only its compression and 4 more bytes are there.
    lapgen::RafOptions overhang;
    overhang.wheelSubBlockSize = 40;
    const lapgen::RafRaw cut = lapgen::EncodeRaf(lap, overhang);
    ASSERT_TRUE(Load(manager, dir, lapgen::WriteRaf(cut, overhang), "cut.raf"));
    const auto& cutPerf = Lap(manager, 1);
    EXPECT_EQ(cutPerf.GetWheelMap()[1], 3);
    EXPECT_NEAR(cutPerf.GetSuspTravel(100, 1),
                overhang.setup.travel[1] - cut.blocks[100].compression[1], 1e-6);
    EXPECT_EQ(cutPerf.GetTyreLoad(100, 1, *cutPerf.GetSetup()), 0.0);
    EXPECT_EQ(cutPerf.GetTyreLoad(100, 0, *cutPerf.GetSetup()), cut.blocks[100].load[0]);
}

TEST(LFSReader, WheelMapByQuadrant) {
    TempDir dir;
    const lapgen::Lap lap = SmallLap();
    LFSBufManager manager;
    // Right front, left front, right rear, left rear: wheel 0 (left rear) is block 3.
    lapgen::RafOptions options;
    options.setup.blockOfWheel = {3, 2, 1, 0};
    const lapgen::RafRaw raw = lapgen::EncodeRaf(lap, options);
    ASSERT_TRUE(Load(manager, dir, lapgen::WriteRaf(raw, options), "a.raf"));
    EXPECT_EQ(Lap(manager, 0).GetWheelMap(), (std::array<int, 4>{3, 2, 1, 0}));
    for (int w = 0; w < 4; ++w)
        EXPECT_EQ(Lap(manager, 0).GetTyreLoad(50, w, *manager.GetSetup(0)), raw.blocks[50].load[w]);

    // Two blocks in one quadrant: the map stays the identity rather than losing a wheel.
    lapgen::RafRaw clash = raw;
    const float left = -0.8f;
    std::uint32_t bits;
    std::memcpy(&bits, &left, 4);
    StoreU32(clash.header.data() + 512 + 128 * 2, bits);  // block 2 (right front) moves left
    ASSERT_TRUE(Load(manager, dir, lapgen::WriteRaf(clash, options), "b.raf"));
    EXPECT_EQ(Lap(manager, 1).GetWheelMap(), (std::array<int, 4>{0, 1, 2, 3}));
}

TEST(LFSReader, SetupAndCarModelComeFromTheHeader) {
    TempDir dir;
    lapgen::RafOptions options;
    options.setup.springRate = {61000.0f, 62000.0f, 63000.0f, 64000.0f};
    options.setup.travel = {0.11f, 0.12f, 0.0f, 0.14f};
    const lapgen::RafRaw raw = lapgen::EncodeRaf(SmallLap(), options);
    LFSBufManager manager;
    ASSERT_TRUE(Load(manager, dir, lapgen::WriteRaf(raw, options)));
    const PerfCore& perf = *manager.GetBuffer(0);
    EXPECT_TRUE(perf.IsSetupRead());
    for (int w = 0; w < 4; ++w)
        EXPECT_EQ(perf.GetSetup()->GetSpringRate(w),
                  options.setup.springRate[static_cast<std::size_t>(w)]);
    EXPECT_EQ(perf.GetSetupOrg()->GetSpringRate(3), 64000.0f);
    // A stored travel of 0 stands for 0.2 m.
    EXPECT_NEAR(perf.GetSuspTravel(10, 2), 0.2f - raw.blocks[10].compression[2], 1e-6);

    const Physics& car = *perf.GetPhysics();
    EXPECT_EQ(car.GetMass(), 1200.0);
    EXPECT_EQ(car.GetMassAboveSprings(), 1080.0);
    EXPECT_DOUBLE_EQ(car.GetFrontWheelMass(), 30.0);
    // The rear axle lies 1.45 m behind the origin: a positive distance.
    EXPECT_NEAR(car.GetCOGDistanceToRear(), 1.45, 1e-6);
    EXPECT_NEAR(car.GetWheelBase(), 2.9, 1e-6);
    EXPECT_NEAR(car.GetRearWheelTread(), 1.6, 1e-6);
    EXPECT_NEAR(car.GetRearWheelRadius(), 0.33, 1e-6);
}

TEST(LFSReader, AccelerationsFollowTheCarsAxes) {
    TempDir dir;
    // A model step finer than the file's, so that the positions follow the curves.
    const lapgen::Lap lap = SmallLap(1.0, 8000);
    const lapgen::RafRaw raw = lapgen::EncodeRaf(lap, {});
    LFSBufManager manager;
    ASSERT_TRUE(Load(manager, dir, lapgen::WriteRaf(raw, {})));
    const PerfCore& perf = *manager.GetBuffer(0);
    const int n = perf.GetSampleCount();
    // The accelerations come from positions over a window of samples: they lag where the
    // model's jump (braking points, corner entries), and agree elsewhere.
    int compared = 0;
    int agree = 0;
    for (int i = 10; i < n - 10; i += 7) {
        const double t = perf.GetTime(i);
        const lapgen::Sample& s =
            lap.samples[static_cast<std::size_t>(std::lround(t / lap.timeStep))];
        // Right is the model's negative left.
        const double lat = perf.GetLateralAcc(i);
        const double lon = perf.GetLongitudalAcc(i);
        ++compared;
        if (std::fabs(lat + s.latAcc) < 0.1 * std::fabs(s.latAcc) + 1.0 &&
            std::fabs(lon - s.longAcc) < 0.1 * std::fabs(s.longAcc) + 1.0)
            ++agree;
        EXPECT_NEAR(perf.GetAcceleration(i), std::hypot(lat, lon),
                    1e-3 * std::hypot(lat, lon) + 1e-6);
    }
    EXPECT_GT(compared, 100);
    EXPECT_GT(agree, compared * 9 / 10) << agree << " of " << compared;
}

// ---- files written by the game ----------------------------------------------------------------

TEST(LFSRealFiles, TwoLapsOfOneSession) {
    const auto lap1 = testsupport::RealDataFile("lap1.raf");
    const auto lap5 = testsupport::RealDataFile("lap5.raf");
    if (lap1.empty() || lap5.empty()) GTEST_SKIP() << "real LFS laps not present";
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    LFSBufManager manager;
    for (const auto& path : {lap1, lap5}) {
        File file = testsupport::OpenRead(path);
        ASSERT_TRUE(manager.AddBuffer(file)) << path;
    }
    EXPECT_TRUE(sink.Messages().empty());
    const double expectedTimes[2] = {62.8, 62.17};
    const int expectedBlocks[2] = {6280, 6217};
    for (int b = 0; b < 2; ++b) {
        SCOPED_TRACE(b);
        const LFSPerf& perf = Lap(manager, b);
        ASSERT_EQ(perf.GetSampleCount(), expectedBlocks[b]);
        EXPECT_NEAR(perf.InfoGetLapTime(), expectedTimes[b], 1e-9);
        EXPECT_DOUBLE_EQ(perf.GetSampleInterval(), 0.01);
        // Blocks are front left, front right, rear left, rear right.
        EXPECT_EQ(perf.GetWheelMap()[0], 2);
        const double length = perf.InfoGetTrackLength();
        ASSERT_GT(length, 0.0);
        EXPECT_NEAR(perf.GetMaxDistance(), length, 0.02 * length);
        // Where the car rolls freely, the road speed is the wheels' angular speed times their
        // radius.
        int rolling = 0;
        int agree = 0;
        for (int i = 0; i < perf.GetSampleCount(); i += 10) {
            const double v = perf.GetSpeed(i);
            if (v < 10.0) continue;
            for (int w = 0; w < 4; ++w) {
                ++rolling;
                if (std::fabs(perf.GetWheelSpeed(i, w) / v - 1.0) < 0.05) ++agree;
            }
        }
        ASSERT_GT(rolling, 100);
        EXPECT_GT(agree, rolling * 9 / 10);
        const std::vector<std::string> values = InfoValues(perf);
        EXPECT_EQ(values.size(), 16u);
        EXPECT_EQ(perf.InfoGetDateString().size(), 19u);
    }
}
