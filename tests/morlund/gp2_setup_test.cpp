#include <gtest/gtest.h>

#include "TestSupport.h"
#include "lapgen/GP2Writer.h"
#include "morlund/formats/gp2/GP2BufManager.h"
#include "morlund/formats/gp2/GP2CarSetup.h"
#include "morlund/platform/RecordingMessageSink.h"

using namespace morlund;
using testsupport::TempDir;

namespace {

constexpr double kLbIn = 4.4497179 * 39.37007874015748;

std::vector<std::uint8_t> Lap(int track, std::uint64_t seed = 1) {
    lapgen::LapSpec spec;
    spec.seed = seed;
    spec.sampleCount = 200;
    spec.track = track;
    return lapgen::WriteGP2Perf(lapgen::EncodeGP2(lapgen::MakeLap(spec)), {});
}

std::array<std::uint8_t, 48> Record(std::uint8_t frontWing) {
    auto r = lapgen::DefaultSetupRecord();
    r[0] = frontWing;
    return r;
}

int AddFile(GP2BufManager& manager, const std::filesystem::path& path) {
    File f;
    if (!f.Open(path, File::Mode::Read)) return -1;
    return manager.AddBuffer(f);
}

}  // namespace

TEST(GP2Setup, RecordValuesFollowTheFileUnits) {
    TempDir dir;
    auto r = lapgen::DefaultSetupRecord();
    r[9] = 40;    // brake balance
    r[16] = 12;   // packers, mm
    r[20] = 2;    // fast bump
    r[28] = 6;    // slow bump
    r[36] = 120;  // spring, 10 lb/in
    r[40] = 130;  // ride height, 0.5 mm
    r[44] = 14;   // rear bar step beyond the table
    r[46] = 3;    // front bar step
    lapgen::WriteFile(dir / "s.csd", lapgen::WriteGP2Setup(3, r));
    GP2CarSetup setup;
    File f = testsupport::OpenRead(dir / "s.csd");
    ASSERT_TRUE(setup.Serialize(f, false));
    EXPECT_TRUE(setup.IsValid(true));
    EXPECT_TRUE(setup.IsFromFile());
    EXPECT_EQ(setup.GetTrack(), 3);
    EXPECT_EQ(setup.GetGearRatio(1), r[2] / 64.0);
    EXPECT_EQ(setup.GetGearRatio(6), r[7] / 64.0);
    EXPECT_EQ(setup.GetGearRatio(-1), -r[2] / 64.0);
    EXPECT_EQ(setup.GetGearRatio(7), 0.0);
    EXPECT_DOUBLE_EQ(setup.GetBrakeBalance(), 0.55);
    EXPECT_DOUBLE_EQ(setup.GetPackers(0), 0.012);
    EXPECT_DOUBLE_EQ(setup.GetFastBump(0), 0.75);
    EXPECT_DOUBLE_EQ(setup.GetSlowBump(0), 0.75);
    EXPECT_NEAR(setup.GetSpringRate(0), 1200 * kLbIn, 1e-6);
    EXPECT_DOUBLE_EQ(setup.GetStaticRideHeight(0), 0.065);
    EXPECT_NEAR(setup.GetRearAntiRollBar(), 1250 * kLbIn, 1e-6);
    EXPECT_NEAR(setup.GetFrontAntiRollBar(), 1500 * kLbIn, 1e-6);
    EXPECT_EQ(setup.GetMaxSuspTravel(1), 0.08);
    EXPECT_EQ(setup.GetMaxSuspTravel(2), 0.04);
    EXPECT_EQ(setup.GetDiffSetting(0, 1), 5);
    int size = 0;
    EXPECT_EQ(setup.GetData(&size)[0], r[0]);
    EXPECT_EQ(size, 48);
}

TEST(GP2Setup, SetupBesideTheLapIsLoadedAndLaterLapsBorrowIt) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    TempDir dir;
    lapgen::WriteFile(dir / "a.pad", Lap(3));
    lapgen::WriteFile(dir / "A.CSD", lapgen::WriteGP2Setup(3, Record(22)));  // any case
    lapgen::WriteFile(dir / "b.pad", Lap(3, 2));
    lapgen::WriteFile(dir / "c.pad", Lap(3, 3));
    lapgen::WriteFile(dir / "c.csd", lapgen::WriteGP2Setup(4, Record(33)));  // other track

    GP2BufManager manager;
    ASSERT_EQ(AddFile(manager, dir / "a.pad"), 1);
    ASSERT_EQ(AddFile(manager, dir / "b.pad"), 1);
    ASSERT_EQ(AddFile(manager, dir / "c.pad"), 1);
    EXPECT_TRUE(sink.Messages().empty());
    EXPECT_TRUE(manager.GetBuffer(0)->IsSetupRead());
    EXPECT_EQ(manager.GetSetup(0)->GetFrontWing(), 22);
    EXPECT_EQ(manager.GetBuffer(0)->GetSetupOrg()->GetFrontWing(), 22);
    EXPECT_FALSE(manager.GetBuffer(1)->IsSetupRead());
    EXPECT_EQ(manager.GetSetup(1)->GetFrontWing(), 22);  // taken from the first lap
    EXPECT_FALSE(manager.GetBuffer(2)->IsSetupRead());   // its own file is of another track
    EXPECT_EQ(manager.GetSetup(2)->GetFrontWing(), 22);
}

TEST(GP2Setup, FirstLapWithoutSetupKeepsTheDefaultRecord) {
    TempDir dir;
    lapgen::WriteFile(dir / "a.pad", Lap(3));
    GP2BufManager manager;
    ASSERT_EQ(AddFile(manager, dir / "a.pad"), 1);
    EXPECT_FALSE(manager.GetBuffer(0)->IsSetupRead());
    EXPECT_EQ(manager.GetSetup(0)->GetFrontWing(), 10);
    EXPECT_EQ(manager.GetSetup(0)->GetTrack(), 3);
}

TEST(GP2Setup, UserLoadRefusesBadFilesAndAsksAboutOtherTracks) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    TempDir dir;
    lapgen::WriteFile(dir / "a.paf", Lap(5));
    lapgen::WriteFile(dir / "long.csf", lapgen::WriteGP2Setup(5, Record(40), {.extraByte = true}));
    lapgen::WriteFile(dir / "id.csf", lapgen::WriteGP2Setup(5, Record(41), {.fileId = 0xabadfeed}));
    lapgen::WriteFile(dir / "type.csf", lapgen::WriteGP2Setup(5, Record(42), {.fileType = 0x0D}));
    lapgen::WriteFile(dir / "other.csd", lapgen::WriteGP2Setup(3, Record(43)));

    GP2BufManager manager;
    ASSERT_EQ(AddFile(manager, dir / "a.paf"), 1);
    PerfCore& lap = *manager.GetBuffer(0);
    auto read = [&](const char* name) {
        File f = testsupport::OpenRead(dir / name);
        return lap.ReadSetup(f);
    };

    EXPECT_EQ(read("long.csf"), 0);
    EXPECT_EQ(read("id.csf"), 0);
    EXPECT_EQ(read("type.csf"), 0);
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>{
                                "Error reading file: file is truncated, too long or has incorrect "
                                "checksum",
                                "Error reading file: not a GPx file (incorrect id)",
                                "Error reading file: not a GPx car setup file"}));
    EXPECT_EQ(lap.GetSetup()->GetFrontWing(), 10);  // nothing of the refused files was taken

    sink.Clear();
    sink.Script(MessageAnswer::No);
    EXPECT_EQ(read("other.csd"), 0);
    ASSERT_EQ(sink.Messages().size(), 1u);
    EXPECT_EQ(sink.Messages()[0].text,
              "You selected a car setup of a different track. Load it anyway?");
    EXPECT_EQ(sink.Messages()[0].buttons, MessageButtons::YesNo);
    EXPECT_FALSE(lap.IsSetupRead());
    EXPECT_EQ(lap.GetSetup()->GetFrontWing(), 10);

    sink.Script(MessageAnswer::Yes);
    EXPECT_EQ(read("other.csd"), 1);
    EXPECT_TRUE(lap.IsSetupRead());
    EXPECT_EQ(lap.GetSetup()->GetFrontWing(), 43);
    EXPECT_EQ(lap.GetSetupOrg()->GetFrontWing(), 43);
}

TEST(GP2Setup, SavingConvertsTheTrackAndReplacesTheFile) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    TempDir dir;
    lapgen::WriteFile(dir / "a.paf", Lap(5));
    lapgen::WriteFile(dir / "x.csd", lapgen::WriteGP2Setup(3, Record(50)));
    lapgen::WriteFile(dir / "y.cse", lapgen::WriteGP2Setup(3, Record(51)));

    GP2BufManager manager;
    ASSERT_EQ(AddFile(manager, dir / "a.paf"), 1);
    PerfCore& lap = *manager.GetBuffer(0);

    // x.csd holds a track-3 setup: converting needs no note
    sink.Script(MessageAnswer::Yes);
    File x = testsupport::OpenRead(dir / "x.csd");
    ASSERT_TRUE(lap.ReadSetup(x));
    lap.SetupChanged();
    sink.Clear();
    sink.Script(MessageAnswer::Yes);
    lap.SaveSetup();
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"Convert to same track as perf file?"});
    ASSERT_EQ(sink.StatusTexts().size(), 1u);
    std::string saved = "Car setup saved to ";
    saved.append((dir / "x.csf").string());
    EXPECT_EQ(sink.StatusTexts()[0], saved);
    EXPECT_FALSE(lap.IsSetupChanged());
    {
        GP2CarSetup written;
        File f = testsupport::OpenRead(dir / "x.csf");
        ASSERT_TRUE(written.Serialize(f, false));
        EXPECT_EQ(written.GetTrack(), 5);
        EXPECT_EQ(written.GetFrontWing(), 50);
    }
    EXPECT_EQ(testsupport::ReadBytes(dir / "x.csd").size(), 84u);  // the source is untouched

    // y.cse holds a track-3 setup under track 4's letter: the user is warned
    sink.Clear();
    sink.Script(MessageAnswer::Yes);
    File y = testsupport::OpenRead(dir / "y.cse");
    ASSERT_TRUE(lap.ReadSetup(y));
    sink.Script(MessageAnswer::Yes);
    lap.SaveSetup();
    EXPECT_EQ(sink.Texts(),
              (std::vector<std::string>{
                  "You selected a car setup of a different track. Load it anyway?",
                  "Convert to same track as perf file?", "Note: Track/File-extension conflict"}));
    EXPECT_EQ(testsupport::ReadBytes(dir / "y.csf").size(), 84u);
}

TEST(GP2Setup, FailedSaveKeepsTheEditsMarkedAndTheOldFile) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    TempDir dir;
    lapgen::WriteFile(dir / "a.pad", Lap(3));
    const auto original = lapgen::WriteGP2Setup(3, Record(60));
    lapgen::WriteFile(dir / "a.csd", original);
    GP2BufManager manager;
    ASSERT_EQ(AddFile(manager, dir / "a.pad"), 1);
    PerfCore& lap = *manager.GetBuffer(0);
    ASSERT_TRUE(lap.IsSetupRead());
    lap.GetSetup()->SetGearRatio(1, 0.5);
    lap.SetupChanged();

    // a folder standing where the temporary file would go makes the write fail
    std::filesystem::create_directory(dir / "a.csd.tmp~");
    lap.SaveSetup();
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"Error opening file"});
    EXPECT_TRUE(sink.StatusTexts().empty());
    EXPECT_TRUE(lap.IsSetupChanged());
    EXPECT_EQ(testsupport::ReadBytes(dir / "a.csd"), original);

    std::filesystem::remove(dir / "a.csd.tmp~");
    sink.Clear();
    lap.SaveSetup();
    EXPECT_TRUE(sink.Texts().empty());
    EXPECT_FALSE(lap.IsSetupChanged());
    GP2CarSetup saved;
    File f = testsupport::OpenRead(dir / "a.csd");
    ASSERT_TRUE(saved.Serialize(f, false));
    EXPECT_EQ(saved.GetGearRatio(1), 0.5);
}

TEST(GP2Setup, OnlyPerfFileNamesGetASetupPath) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    TempDir dir;
    // a lap under another name must not have its own file taken for the setup
    const auto lap = Lap(3);
    lapgen::WriteFile(dir / "lap.bin", lap);
    GP2BufManager manager;
    ASSERT_EQ(AddFile(manager, dir / "lap.bin"), 1);
    manager.GetBuffer(0)->SaveSetup();
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"Error opening file"});
    EXPECT_EQ(testsupport::ReadBytes(dir / "lap.bin"), lap);
    EXPECT_FALSE(std::filesystem::exists(dir / "lap.csn"));
}
