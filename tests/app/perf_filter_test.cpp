#include <gtest/gtest.h>

#include "DocFixtures.h"
#include "app/shell/PerfFileDialog.h"
#include "morlund/formats/Games.h"
#include "morlund/formats/gp2/GP2BufManager.h"
#include "morlund/platform/File.h"
#include "morlund/platform/RecordingMessageSink.h"

using tarnwick::AppSettings;
using tarnwick::BuildPerfFileFilter;
using tarnwick::ToNameFilters;

constexpr morlund::GameType G(int game) { return static_cast<morlund::GameType>(game); }

TEST(PerfFileFilter, PairsBecomeNameFiltersThatIgnoreCase) {
    EXPECT_EQ(ToNameFilters("LFS Replay Analyser Files (*.raf)|*.raf|All Files (*.*)|*.*||"),
              (QStringList{"LFS Replay Analyser Files (*.raf) (*.[rR][aA][fF])",
                           "All Files (*.*) (*.*)"}));
    EXPECT_EQ(ToNameFilters("Laps|*.pa?;*.CSV|"), QStringList{"Laps (*.[pP][aA]? *.[cC][sS][vV])"});
    // The list ends at the first empty description; a pair without pattern is dropped.
    EXPECT_EQ(ToNameFilters("A|*.a||B|*.b|"), QStringList{"A (*.[aA])"});
    EXPECT_EQ(ToNameFilters("A||B|*.b|"), QStringList{"B (*.[bB])"});
    EXPECT_TRUE(ToNameFilters("").isEmpty());
}

TEST(PerfFileFilter, FileOpenListsEveryKindAndSelectsThePrimaryGame) {
    AppSettings s;
    s.pri_game = G(0);
    const tarnwick::FileFilter gp2 = BuildPerfFileFilter(s, nullptr);
    EXPECT_EQ(gp2.text.rfind("All GPx Perf Files (*.pa?)|*.pa?|"
                             "F1RS/MGPRS2 Telemetry Files (*.tlm)|*.tlm|"
                             "LFS Replay Analyser Files (*.raf)|*.raf|",
                             0),
              0u);
    EXPECT_TRUE(gp2.text.ends_with("|All Files (*.*)|*.*||"));
    ASSERT_EQ(gp2.nameFilters.size(), 3 + 16 + 1);  // GP2 has a filter per track
    EXPECT_EQ(gp2.selected, 1);
    EXPECT_TRUE(gp2.nameFilters[3].contains("*.[pP][aA][aA]"));

    const int expected[] = {1, 1, 1, 1, 2, 2, -1, 3};
    for (int game = 0; game < 8; ++game) {
        s.pri_game = G(game);
        const tarnwick::FileFilter f = BuildPerfFileFilter(s, nullptr);
        if (game == 6) {
            EXPECT_EQ(f.selected, f.nameFilters.size()) << "generic: all files";
            EXPECT_TRUE(f.SelectedNameFilter().startsWith("All Files"));
        } else {
            EXPECT_EQ(f.selected, expected[game]) << game;
        }
    }
}

TEST(PerfFileFilter, AddBuffersOffersTheDocumentsTrackOnly) {
    morlund::RecordingMessageSink sink;
    morlund::ScopedMessageSink guard(sink);
    doctest::TempDir dir;
    doctest::WriteGP2Lap(dir.path() / "lap.pad");
    morlund::GP2BufManager manager;
    morlund::File file;
    ASSERT_TRUE(file.Open(dir.path() / "lap.pad", morlund::File::Mode::Read));
    ASSERT_TRUE(manager.AddBuffer(file));
    AppSettings s;
    const tarnwick::FileFilter f = BuildPerfFileFilter(s, &manager);
    ASSERT_EQ(f.nameFilters.size(), 2);
    EXPECT_TRUE(f.nameFilters[0].contains("(*.[pP][aA][dD])"));
    EXPECT_EQ(f.selected, 1);

    // Setup files: the manager's entries, its own track's first.
    const tarnwick::FileFilter setups = tarnwick::BuildSetupFileFilter(manager);
    EXPECT_EQ(setups.selected, 3 + 2);
    EXPECT_TRUE(setups.SelectedNameFilter().contains("*.[cC][sS][dD]"));
    // A manager without setup files leaves all files selected.
    const auto generic = morlund::CreateBufManager(morlund::GameType::Generic);
    const tarnwick::FileFilter none = tarnwick::BuildSetupFileFilter(*generic);
    EXPECT_EQ(none.nameFilters.size(), 1);
    EXPECT_EQ(none.selected, 1);
}

TEST(PerfFileFilter, InitialFolder) {
    AppSettings s;
    s.pri_game = G(7);
    s.SetPath(G(7), "/games/lfs/");
    s.use_default_path = 1;
    EXPECT_EQ(tarnwick::PerfDialogFolder(s, "/laps"), "/games/lfs/data/raf");
    s.use_default_path = 0;
    EXPECT_EQ(tarnwick::PerfDialogFolder(s, "/laps"), "/laps");
    EXPECT_EQ(tarnwick::PerfDialogFolder(s, ""), "/games/lfs/data/raf");
}
