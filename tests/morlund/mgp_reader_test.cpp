#include <gtest/gtest.h>

#include <numbers>
#include <optional>

#include "TestSupport.h"
#include "lapgen/F1RSWriter.h"
#include "morlund/formats/GameStrings.h"
#include "morlund/formats/mgp/MGPBufManager.h"
#include "morlund/formats/mgp/MGPPerf.h"
#include "morlund/platform/ByteOrder.h"
#include "morlund/platform/RecordingMessageSink.h"
#include "morlund/res/StringTable.h"

using namespace morlund;
using testsupport::TempDir;

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

lapgen::TlmRaw SmallLap(int track = 4, int samples = 300) {
    lapgen::LapSpec spec;
    spec.sampleCount = samples;
    spec.track = track;
    spec.trackLength = 2500;
    return lapgen::EncodeMGP(lapgen::MakeLap(spec));
}

template <typename R>
const R& Lookup(const std::vector<R>& records, double d) {
    for (const R& r : records)
        if (r.distance >= d) return r;
    return records.back();
}

// Writes the parts as save1<suffix>, save2<suffix>, save3<suffix> (an absent part as
// no file) and opens the first.
bool Load(MGPBufManager& manager, const TempDir& dir,
          const std::array<std::optional<std::vector<std::uint8_t>>, 3>& parts,
          const std::string& suffix = "lap.tlm", const std::string& first = "save1") {
    for (int k = 0; k < 3; ++k) {
        if (const auto& part = parts[static_cast<std::size_t>(k)])
            testsupport::WriteBytes(dir / ("save" + std::to_string(k + 1) + suffix), *part);
    }
    File file = testsupport::OpenRead(dir / (first + suffix));
    return manager.AddBuffer(file);
}

std::string Text(int id) { return std::string(LoadString(id)); }

std::array<std::optional<std::vector<std::uint8_t>>, 3> Parts(const lapgen::TlmRaw& raw) {
    const auto files = lapgen::WriteMGPTelemetry(raw);
    return {files[0], files[1], files[2]};
}

}  // namespace

TEST(MGPReader, ServesEveryChannelOfTheThreeFiles) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    TempDir dir;
    const lapgen::TlmRaw raw = SmallLap();
    MGPBufManager manager;
    ASSERT_TRUE(Load(manager, dir, Parts(raw)));
    EXPECT_TRUE(sink.Messages().empty());
    const auto& p = dynamic_cast<const MGPPerf&>(*manager.GetBuffer(0));
    EXPECT_EQ(manager.GetTrack(), 4);
    EXPECT_EQ(p.InfoGetName(), "save1lap.tlm");
    EXPECT_EQ(p.InfoGetInfo(), "MGPRS2 Telemetry File");
    EXPECT_EQ(p.InfoGetLapnr(), raw.lapNumber);
    EXPECT_EQ(p.InfoGetDateString(), raw.date);
    EXPECT_NEAR(p.InfoGetLapTime(), raw.lapTime * 0.001, 1e-12);
    const int n = p.GetSampleCount();
    ASSERT_EQ(n, static_cast<int>(raw.engine.size()));
    EXPECT_DOUBLE_EQ(manager.GetTrackLen(), raw.engine.back().distance + 1.0);
    for (int i = 0; i < n; ++i) {
        const auto& e = raw.engine[static_cast<std::size_t>(i)];
        ASSERT_EQ(p.GetDistance(i), e.distance);
        ASSERT_NEAR(p.GetTime(i), i * (raw.lapTime * 0.001) / n, 1e-9);
        ASSERT_DOUBLE_EQ(p.GetSpeed(i), e.speed / 3.6);
        ASSERT_DOUBLE_EQ(p.GetRevs(i), e.revs * 5 * std::numbers::pi / 30);
        const auto& s = Lookup(raw.susp, e.distance);
        const auto& in = Lookup(raw.inputs, e.distance);
        ASSERT_DOUBLE_EQ(p.GetThrottle(i), in.throttle / 99.0);
        ASSERT_DOUBLE_EQ(p.GetBrake(i), in.brake * 0.01);
        ASSERT_EQ(p.GetGear(i), in.gear);
        ASSERT_DOUBLE_EQ(p.GetSteering(i), in.steering * -0.5 * kDeg);
        for (int w = 0; w < 4; ++w) {
            ASSERT_EQ(p.GetWheelSpeed(i, w), e.wheelSpeed);
            ASSERT_DOUBLE_EQ(p.GetSuspTravel(i, w), s.travel[w] * 0.001);
            ASSERT_DOUBLE_EQ(p.GetCamber(i, w), s.camber[w] * 0.1 * kDeg);
            ASSERT_DOUBLE_EQ(p.GetRideHeight(i, w),
                             (w >= 2 ? s.frontRideHeight : s.rearRideHeight) * 0.001);
        }
        ASSERT_EQ(p.GetPosX(i), 0.0);
        ASSERT_EQ(p.GetPosY(i), 0.0);
    }
}

TEST(MGPReader, BadLapsAreRefusedWithTheirMessageAndLeaveTheManagerAlone) {
    const lapgen::TlmRaw raw = SmallLap(4, 40);
    const auto good = Parts(raw);
    struct Case {
        const char* what;
        std::array<std::optional<std::vector<std::uint8_t>>, 3> parts;
        std::string suffix;
        std::string first;
        int message;
    };
    auto with = [&](int part, auto change) {
        auto p = good;
        change(*p[static_cast<std::size_t>(part)]);
        return p;
    };
    const std::vector<Case> cases = {
        {"name of nine characters", good, ".tlm", "save1", IDS_NOT_MGP_FILE},
        {"not a first part", good, "lap.tlm", "save2", IDS_NOT_MGP_FILE},
        {"third part missing",
         {good[0], good[1], std::nullopt},
         "lap.tlm",
         "save1",
         IDS_PARTS_MISSING},
        {"second part of another track", with(1, [](auto& b) { b[4] = 9; }), "lap.tlm", "save1",
         IDS_NOT_SAME_TRACK},
        {"track byte 0", with(0, [](auto& b) { b[4] = 0; }), "lap.tlm", "save1", IDS_NOT_MGP_FILE},
        {"track past the table", with(2, [](auto& b) { b[4] = 18; }), "lap.tlm", "save1",
         IDS_NOT_MGP_FILE},
        {"empty second part", with(1, [](auto& b) { b.clear(); }), "lap.tlm", "save1",
         IDS_READ_ERROR},
        {"count past the data", with(2, [](auto& b) { StoreU32(b.data(), 0x40000000u); }),
         "lap.tlm", "save1", IDS_CORRUPT_DATA},
        {"no records", with(1, [](auto& b) { StoreU32(b.data(), 0); }), "lap.tlm", "save1",
         IDS_CORRUPT_DATA},
        {"header cut", with(2, [](auto& b) { b.resize(20); }), "lap.tlm", "save1",
         IDS_CORRUPT_DATA},
    };
    for (const Case& c : cases) {
        TempDir dir;
        RecordingMessageSink sink;
        ScopedMessageSink guard(sink);
        MGPBufManager manager;
        if (c.first != "save1") testsupport::WriteBytes(dir / ("save1" + c.suffix), *good[0]);
        EXPECT_FALSE(Load(manager, dir, c.parts, c.suffix, c.first)) << c.what;
        EXPECT_EQ(sink.Texts(), std::vector<std::string>{Text(c.message)}) << c.what;
        EXPECT_EQ(manager.GetBufCount(), 0) << c.what;
        EXPECT_EQ(manager.GetTrack(), -1) << c.what;
    }
}

TEST(MGPReader, PartsAreFoundIgnoringCaseAndAnotherTracksLapIsRefused) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    TempDir dir;
    MGPBufManager manager;
    const auto parts = lapgen::WriteMGPTelemetry(SmallLap(4, 40));
    testsupport::WriteBytes(dir / "SAVE1LAP.TLM", parts[0]);
    testsupport::WriteBytes(dir / "Save2Lap.tlm", parts[1]);
    testsupport::WriteBytes(dir / "save3lap.TLM", parts[2]);
    File file = testsupport::OpenRead(dir / "SAVE1LAP.TLM");
    ASSERT_TRUE(manager.AddBuffer(file));
    EXPECT_TRUE(sink.Messages().empty());
    EXPECT_FALSE(Load(manager, dir, Parts(SmallLap(6, 40)), "x.tlm"));
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{Text(IDS_NOT_SAME_TRACK)});
    EXPECT_EQ(manager.GetBufCount(), 1);
    EXPECT_EQ(manager.GetTrack(), 4);
}

TEST(MGPManager, FiltersOfferFirstPartsAndPreselectTheCurrentTracksSetups) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    MGPBufManager manager;
    std::string filter;
    int count = 0;
    manager.GetPerfFilter(filter, count, 16);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(filter,
              "MGPRS2 " + GetGameTrackName(TrackTable::MGPRS2, 16) + " (save1*.tlm)|save1*.tlm|");

    std::string setups = "dropped|";
    int setupCount = 5;
    EXPECT_EQ(manager.GetSetupFilter(setups, setupCount), 1);
    EXPECT_EQ(setupCount, 18);  // the string is written anew, and so is the count
    EXPECT_EQ(setups.rfind("All MGPRS2 Setup Files (*.s*)|*.s*|", 0), 0u);
    int bars = 0;
    for (char ch : setups)
        bars += ch == '|';
    EXPECT_EQ(bars, 2 * setupCount);

    TempDir dir;
    ASSERT_TRUE(Load(manager, dir, Parts(SmallLap(4, 40))));
    setupCount = 0;
    const int preselect = manager.GetSetupFilter(setups, setupCount);
    EXPECT_EQ(preselect, 4 + 2);
    // the preselected entry is the current track's
    std::size_t at = 0;
    for (int k = 1; k < preselect; ++k)
        at = setups.find('|', setups.find('|', at) + 1) + 1;
    EXPECT_EQ(setups.substr(at).rfind("MGPRS2 " + manager.GetTrackString(-1) + " (*.s5)", 0), 0u);
}
