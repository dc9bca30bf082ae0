#include <gtest/gtest.h>

#include <ctime>

#include "TestSupport.h"
#include "morlund/platform/ByteOrder.h"
#include "morlund/platform/Errors.h"
#include "morlund/platform/File.h"
#include "morlund/platform/Process.h"
#include "morlund/platform/RecordingMessageSink.h"
#include "morlund/platform/Text.h"
#include "morlund/res/StringTable.h"

using namespace morlund;
using testsupport::TempDir;

TEST(File, MemoryFileReadsSeeksAndReportsItsName) {
    File f = File::FromMemory({1, 2, 3, 4, 5}, "/laps/monza.pal");
    EXPECT_EQ(f.GetLength(), 5u);
    EXPECT_EQ(f.GetFileName(), "monza.pal");
    std::uint8_t buf[8] = {};
    EXPECT_EQ(f.Read(buf, 3), 3u);
    EXPECT_EQ(buf[2], 3);
    EXPECT_EQ(f.Read(buf, 8), 2u);  // short read at the end
    EXPECT_EQ(f.Read(buf, 8), 0u);
    EXPECT_TRUE(f.Seek(-2, File::Origin::End));
    EXPECT_EQ(f.Read(buf, 8), 2u);
    EXPECT_EQ(buf[0], 4);
    EXPECT_FALSE(f.Seek(-1));
    EXPECT_FALSE(f.Write(buf, 1));
    // Readers ask for zero bytes into an empty vector's (null) data.
    EXPECT_TRUE(f.Seek(1));
    EXPECT_EQ(f.Read(nullptr, 0), 0u);
    // Memory images have no creation time.
    EXPECT_EQ(f.GetCreationTime(), -1);
}

TEST(File, ReplacingWriteTouchesTheTargetOnlyOnCommit) {
    TempDir dir;
    const auto target = dir / "setup.csd";
    testsupport::WriteBytes(target, {9, 9});
    {
        File f;
        ASSERT_TRUE(f.Open(target, File::Mode::CreateReplace));
        ASSERT_TRUE(f.Write("abc", 3));
        // abandoned without Commit
    }
    EXPECT_EQ(testsupport::ReadBytes(target), (std::vector<std::uint8_t>{9, 9}));
    {
        File f;
        ASSERT_TRUE(f.Open(target, File::Mode::CreateReplace));
        ASSERT_TRUE(f.Write("abc", 3));
        EXPECT_TRUE(f.Commit());
    }
    EXPECT_EQ(testsupport::ReadBytes(target), (std::vector<std::uint8_t>{'a', 'b', 'c'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    File missing;
    std::string error;
    EXPECT_FALSE(missing.Open(dir / "no" / "such" / "x", File::Mode::CreateReplace, &error));
    EXPECT_FALSE(error.empty());
}

TEST(File, CaseInsensitiveLookupFindsGameFolderNames) {
    TempDir dir;
    testsupport::WriteBytes(dir / "LAP1.CSD", {1});
    std::error_code ec;  // Windows finds the name as given; both name the same file
    EXPECT_TRUE(
        std::filesystem::equivalent(FindFileNoCase(dir / "lap1.csd"), dir / "LAP1.CSD", ec));
    EXPECT_EQ(FindFileNoCase(dir / "LAP1.CSD"), dir / "LAP1.CSD");
    EXPECT_EQ(FindFileNoCase(dir / "lap2.csd"), dir / "lap2.csd");
}

TEST(File, NamesOutsideAsciiSurviveEveryCrossing) {
    TempDir dir;
    const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
    for (const std::string name : {"tést.csv", "Ünïcødé lap.pad", "日本語.raf", "flag 🏁.tlm"}) {
        const std::filesystem::path path = dir.path() / PathFromUtf8(name);
        EXPECT_EQ(PathToUtf8(path.filename()), name);
        File out;
        ASSERT_TRUE(out.Open(path, File::Mode::CreateReplace)) << name;
        ASSERT_TRUE(out.Write("abc", 3));
        ASSERT_TRUE(out.Commit()) << name;

        // The system lists the name as written, and the file opens under it again.
        bool listed = false;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            listed = listed || PathToUtf8(entry.path().filename()) == name;
        EXPECT_TRUE(listed) << name;
        File in;
        ASSERT_TRUE(in.Open(PathFromUtf8(PathToUtf8(path)), File::Mode::Read)) << name;
        EXPECT_EQ(in.GetFileName(), name);
        EXPECT_EQ(in.GetFilePath(), PathToUtf8(path));
        EXPECT_EQ(in.GetLength(), 3u);
        EXPECT_NEAR(static_cast<double>(in.GetCreationTime()), static_cast<double>(now), 86400.0)
            << name;
        std::tm local{};
        EXPECT_TRUE(LocalTime(in.GetCreationTime(), local));

        // Environment values carry the same text.
        ASSERT_TRUE(SetEnvironmentValue("TARNWICK_TEST_NAME", name));
        EXPECT_EQ(GetEnvironmentValue("TARNWICK_TEST_NAME"), name);
    }
    ASSERT_TRUE(SetEnvironmentValue("TARNWICK_TEST_NAME", std::nullopt));
    EXPECT_EQ(GetEnvironmentValue("TARNWICK_TEST_NAME"), std::nullopt);
}

TEST(Process, KnowsItsAgeAndMemory) {
    const double age = ProcessAgeSeconds();
    EXPECT_GE(age, 0.0);
    EXPECT_LT(age, 3600.0);
    EXPECT_GT(ResidentMemoryBytes(), 1u << 20);
    EXPECT_LT(ResidentMemoryBytes(), 1ull << 32);
}

TEST(StringTable, HoldsTheLibraryMessagesById) {
    EXPECT_EQ(LoadString(15000),
              "Error reading file: file is truncated, too long or has incorrect checksum");
    EXPECT_EQ(LoadString(15008), "You selected a car setup of a different track. Load it anyway?");
    EXPECT_EQ(LoadString(15012), "Error reading file: not a LFS replay analyser file");
    EXPECT_THROW(LoadString(15007), InvalidArgument);
    EXPECT_THROW(LoadString(0), std::invalid_argument);
}

TEST(MessageSink, RecordingSinkAnswersFromItsScriptAndRestoresThePrevious) {
    RecordingMessageSink sink;
    {
        ScopedMessageSink guard(sink);
        sink.Script(MessageAnswer::Yes);
        EXPECT_EQ(ShowMessage(IDS_SETUP_OTHER_TRACK, MessageIcon::Question, MessageButtons::YesNo),
                  MessageAnswer::Yes);
        EXPECT_EQ(ShowMessage("again?", MessageIcon::Question, MessageButtons::YesNo),
                  MessageAnswer::No);
        EXPECT_EQ(ShowMessage(IDS_OPEN_ERROR), MessageAnswer::Ok);
        SetStatusText("Car setup saved to x");
    }
    EXPECT_EQ(&CurrentMessageSink() == &sink, false);
    ASSERT_EQ(sink.Messages().size(), 3u);
    EXPECT_EQ(sink.Messages()[0].icon, MessageIcon::Question);
    EXPECT_EQ(sink.Messages()[2].text, "Error opening file");
    EXPECT_EQ(sink.StatusTexts(), std::vector<std::string>{"Car setup saved to x"});
}

TEST(Text, FormatsAndConvertsGameText) {
    EXPECT_EQ(Format("morlund%02d", 3), "morlund03");
    EXPECT_EQ(Latin1ToUtf8("N\xFCrburgring"), "N\xC3\xBCrburgring");
    EXPECT_TRUE(EndsWithNoCase("LAP.RAF", ".raf"));
    EXPECT_FALSE(EndsWithNoCase("af", ".raf"));
}

TEST(ByteSpan, RefusesReadsOutsideTheDataWithoutOverflow) {
    const std::uint8_t data[6] = {0xbe, 0xa1, 0x3d, 0x85, 0xff, 0x7f};
    ByteSpan s(data, sizeof data);
    EXPECT_EQ(*s.U32(0), 0x853da1beu);
    EXPECT_EQ(LoadI16(data + 4), 0x7fff);
    EXPECT_EQ(LoadI16(data + 3), static_cast<std::int16_t>(0xff85));
    EXPECT_FALSE(s.U32(3).has_value());
    EXPECT_FALSE(s.Has(SIZE_MAX, 2));
    EXPECT_FALSE(s.Has(2, SIZE_MAX));
    EXPECT_EQ(s.Sub(4, 2).size(), 2u);
    EXPECT_EQ(s.Sub(5, 2).size(), 0u);
}
