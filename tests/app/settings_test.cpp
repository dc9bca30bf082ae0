#include <gtest/gtest.h>

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include "app/shell/AppSettings.h"

using tarnwick::AppSettings;

constexpr morlund::GameType G(int game) { return static_cast<morlund::GameType>(game); }

namespace {

// A settings file of its own for each test.
struct ScratchSettings {
    QTemporaryDir dir;
    QSettings settings{dir.filePath("Tarnwick.conf"), QSettings::IniFormat};
};

}  // namespace

TEST(AppSettings, FirstStartDefaults) {
    ScratchSettings scratch;
    AppSettings s;
    s.Load(scratch.settings);
    EXPECT_EQ(s.pri_game, G(7));
    EXPECT_EQ(s.start_view, 0);
    EXPECT_EQ(s.flicker_free, 1);
    EXPECT_EQ(s.default_draw_lines, 1);
    EXPECT_EQ(s.default_show_values, 1);
    EXPECT_EQ(s.default_cursor_mode, 0);
    EXPECT_EQ(s.map_max_radius, 250);
    EXPECT_EQ(s.stat_prt_hdr, "Tarnwick Telemetry Statistics");
    EXPECT_EQ(s.GetPath(G(7)), "C:\\LFS");
    EXPECT_EQ(s.GetPath(G(6)), "");
    EXPECT_EQ(s.GetPath(G(5)), "C:\\Ubisoft\\RS2");
    EXPECT_EQ(tarnwick::GetPerfSubdir(G(5)), "\\save\\telmetry");
}

TEST(AppSettings, ClampingAndOldHeader) {
    ScratchSettings scratch;
    scratch.settings.setValue("Settings/pri_game", 12);
    scratch.settings.setValue("Settings/start_view", 9);
    scratch.settings.setValue("Settings/stat_prt_hdr", "Tarnwick 1.1 Telemetry Statistics");
    AppSettings s;
    s.Load(scratch.settings);
    EXPECT_EQ(s.pri_game, G(7));
    EXPECT_EQ(s.start_view, 4);  // the histogram, the last kind
    EXPECT_EQ(s.stat_prt_hdr, "Tarnwick Telemetry Statistics");
    scratch.settings.setValue("Settings/pri_game", -3);
    s.Load(scratch.settings);
    EXPECT_EQ(s.pri_game, G(0));
}

TEST(AppSettings, RoundTripStoresIntegersAndStripsOneSeparator) {
    ScratchSettings scratch;
    AppSettings s;
    s.use_miles = 1;
    s.map_max_radius = -20;
    s.pri_game = G(6);
    s.use_alt_filedlg = 1;  // never in effect for generic files: written as 0
    s.SetPath(G(0), "D:\\Games\\GP2\\");
    s.SetPath(G(3), "/home/me/gp4//");
    s.Save(scratch.settings);
    scratch.settings.sync();

    // Integers stay integers in the file, not "true"/"false".
    QFile file(scratch.dir.filePath("Tarnwick.conf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains("use_miles=1")) << text.toStdString();
    EXPECT_TRUE(text.contains("use_alt_filedlg=0"));
    EXPECT_FALSE(text.contains("true"));

    AppSettings back;
    back.Load(scratch.settings);
    EXPECT_EQ(back.use_miles, 1);
    EXPECT_EQ(back.map_max_radius, -20);
    EXPECT_EQ(back.pri_game, G(6));
    EXPECT_EQ(back.use_alt_filedlg, 0);
    EXPECT_EQ(back.GetPath(G(0)), "D:\\Games\\GP2");
    // Only one separator goes when a path is entered; reading strips one more.
    EXPECT_EQ(scratch.settings.value("Settings/gp4_path").toString(), "/home/me/gp4/");
    EXPECT_EQ(back.GetPath(G(3)), "/home/me/gp4");
}

TEST(AppSettings, NamesKeysAndLocalPaths) {
    EXPECT_EQ(tarnwick::GetPathKey(G(0)), "gp2_path");
    EXPECT_EQ(tarnwick::GetPathKey(G(2)), "gp3-2000_path");
    EXPECT_EQ(tarnwick::GetPathKey(G(5)), "mgp_path");
    EXPECT_EQ(tarnwick::GetPathKey(G(6)), "generic_path");
    EXPECT_EQ(tarnwick::GetPathKey(G(7)), "lfs_path");
    EXPECT_EQ(tarnwick::GetGameName(G(8)), "???");
    EXPECT_EQ(tarnwick::GetStartViewName(1), "Graph View");
    EXPECT_EQ(tarnwick::GetStartViewName(4), "Histogram View");
    EXPECT_EQ(tarnwick::GetStartViewName(5), "???");
#if !defined(_WIN32)
    qputenv("WINEPREFIX", "/wine");
    EXPECT_EQ(tarnwick::LocalPath("C:\\LFS\\data\\raf"), "/wine/drive_c/LFS/data/raf");
    EXPECT_EQ(tarnwick::LocalPath("d:\\x"), "/wine/dosdevices/d:/x");
    EXPECT_EQ(tarnwick::LocalPath("/home/me/lfs"), "/home/me/lfs");
    AppSettings s;
    EXPECT_EQ(s.GetDefaultPerfDir(), "/wine/drive_c/LFS/data/raf");
    qunsetenv("WINEPREFIX");
#endif
}
