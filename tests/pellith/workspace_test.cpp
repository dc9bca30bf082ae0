#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "morlund/platform/File.h"
#include "pellith/workspace/Workspace.h"
#include "tests/pellith/ExportFixture.h"

namespace {

using pellith::Workspace;
using pellith::WorkspaceWindow;

Workspace Sample() {
    Workspace w;
    w.laps = {"laps/one.raf", "/data/two.raf"};
    WorkspaceWindow graph;
    graph.kind = "graph";
    graph.geometry = pellith::WorkspaceGeometry{10, 20, 300, 200};
    graph.Set("y", "speed");
    graph.SetList("overlays", {"rhpred", "rhmin"});
    graph.SetInt("yzoom", 70);
    graph.SetNumber("from", 120.25);
    graph.SetBool("sync", false);
    WorkspaceWindow text;
    text.kind = "text";
    text.maximised = true;
    text.SetIntList("sort", {2, -1});
    text.Set("columns", "smp,speed\nbroken=1");  // a line break must not make a new key
    w.windows = {graph, text};
    return w;
}

TEST(Workspace, RoundTripKeepsEverySetting) {
    const Workspace saved = Sample();
    const pellith::WorkspaceReadResult read =
        pellith::ParseWorkspaceText(pellith::WriteWorkspaceText(saved));
    EXPECT_TRUE(read.usable);
    EXPECT_TRUE(read.problems.empty()) << read.problems.front();
    EXPECT_EQ(read.workspace.laps, saved.laps);
    ASSERT_EQ(read.workspace.windows.size(), 2u);
    const WorkspaceWindow& graph = read.workspace.windows[0];
    EXPECT_EQ(graph.kind, "graph");
    ASSERT_TRUE(graph.geometry);
    EXPECT_EQ(graph.geometry->width, 300);
    EXPECT_EQ(graph.Get("y"), "speed");
    EXPECT_EQ(graph.GetList("overlays"), (std::vector<std::string>{"rhpred", "rhmin"}));
    EXPECT_EQ(graph.GetInt("yzoom"), 70);
    EXPECT_EQ(graph.GetNumber("from"), 120.25);
    EXPECT_EQ(graph.GetBool("sync"), false);
    EXPECT_FALSE(graph.Get("x"));
    const WorkspaceWindow& text = read.workspace.windows[1];
    EXPECT_TRUE(text.maximised);
    EXPECT_EQ(text.GetIntList("sort"), (std::vector<int>{2, -1}));
    EXPECT_EQ(text.Get("columns"), "smp,speed broken=1");
}

TEST(Workspace, BadFilesOpenWhatTheyCanAndNameTheRest) {
    const std::string good = pellith::WriteWorkspaceText(Sample());
    struct Case {
        const char* name;
        std::string text;
        bool usable;
        int laps, windows;
        std::vector<std::string> problems;  // a part of each problem line, in order
    };
    const Case cases[] = {
        {"empty", "", false, 0, 0, {"not a Tarnwick workspace"}},
        {"binary", std::string("\x89PNG\r\n\x1a\n\0\0", 10), false, 0, 0,
         {"not a Tarnwick workspace"}},
        {"cut off in the second window", good.substr(0, good.find("[window2]") + 12), true, 2, 1,
         {"Window 2 is missing"}},
        {"cut off before the laps", good.substr(0, good.find("[lap1]")), true, 0, 0,
         {"Lap 1 is missing", "Lap 2 is missing", "Window 1 is missing", "Window 2 is missing"}},
        {"unknown keys", good + "colour=red\n[lap1]\nspeed=1\n", true, 2, 2,
         {"Unknown setting \"colour\" in [window2]", "Unknown setting \"speed\" in [lap1]"}},
        {"wrong types",
         "[workspace]\nlaps=x\nwindows=1\n[window1]\nkind=graph\nyzoom=big\nsync=maybe\n"
         "geometry=1,2,0,4\nfrom=nan\n",
         true, 0, 1,
         {"\"laps\" in [workspace] is not a count", "\"yzoom\" in [window1]",
          "\"sync\" in [window1]", "\"geometry\" in [window1]", "\"from\" in [window1]"}},
        {"unknown kind and no kind",
         "[workspace]\nwindows=3\n[window1]\nkind=radar\nrange=5\n[window2]\ny=speed\n"
         "[window3]\nkind=stat\n",
         true, 0, 1, {"Window 1 is of a kind this version does not know: \"radar\"",
                      "Window 2 does not say"}},
        {"numbers out of reach",
         "[workspace]\nlaps=99999\n[lap100]\npath=a\n[window65]\nkind=stat\n[other]\na=1\n", true,
         0, 0, {"Lap 100 is beyond", "Window 65 is beyond", "Unknown section [other]"}},
        {"newer version", "[workspace]\nversion=7\n", true, 0, 0, {"newer version"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const pellith::WorkspaceReadResult read = pellith::ParseWorkspaceText(c.text);
        EXPECT_EQ(read.usable, c.usable);
        EXPECT_EQ(static_cast<int>(read.workspace.laps.size()), c.laps);
        EXPECT_EQ(static_cast<int>(read.workspace.windows.size()), c.windows);
        std::size_t next = 0;
        for (const std::string& expected : c.problems) {
            while (next < read.problems.size() &&
                   read.problems[next].find(expected) == std::string::npos)
                ++next;
            EXPECT_LT(next, read.problems.size()) << "no problem saying: " << expected;
        }
        // The laps the head promises but the file cut off are named, not invented.
        if (std::string(c.name) == "numbers out of reach") {
            EXPECT_EQ(read.problems.size(), 3u + 64u);
        }
    }
}

TEST(Workspace, LapPathsAreRelativeToTheFileWhenTheyCanBe) {
    const std::pair<const char*, const char*> cases[] = {
        {"home/ann/laps/a.raf", "a.raf"},
        {"home/ann/laps/monza/b.raf", "monza/b.raf"},
        {"home/ann/other/c.raf", "../other/c.raf"},
        {"home/ann/laps/./x/../d.raf", "d.raf"},
        {"home/ann/laps/Été/Süd 1.raf", "Été/Süd 1.raf"},
    };
    // The top of this system's file tree: "/", or the current drive on Windows.
    const std::filesystem::path root = std::filesystem::absolute("/");
    const std::filesystem::path file = root / "home/ann/laps/session.tws";
    for (const auto& [lap, stored] : cases) {
        const std::filesystem::path path = root / morlund::PathFromUtf8(lap);
        EXPECT_EQ(pellith::StoreLapPath(path, file), stored);
        EXPECT_EQ(pellith::ResolveLapPath(stored, file), path.lexically_normal());
    }
    const std::filesystem::path elsewhere = root / "data/e.raf";
    EXPECT_EQ(pellith::ResolveLapPath(morlund::PathToUtf8(elsewhere), file),
              elsewhere.lexically_normal());
}

TEST(Workspace, SavingReplacesTheFileWhole) {
    pellithtest::ScratchDir dir;
    const std::filesystem::path path = dir.path() / "session.tws";
    std::string error;
    ASSERT_TRUE(pellith::SaveWorkspace(path, Sample(), error)) << error;
    const pellith::WorkspaceReadResult read = pellith::ReadWorkspace(path);
    EXPECT_TRUE(read.problems.empty());
    EXPECT_EQ(read.workspace.windows.size(), 2u);
    // A folder in the way: the save fails and says so.
    EXPECT_FALSE(pellith::SaveWorkspace(dir.path(), Sample(), error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(pellith::ReadWorkspace(dir.path() / "absent.tws").usable);
}

}  // namespace
