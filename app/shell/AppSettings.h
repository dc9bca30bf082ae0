#pragma once

#include <QString>
#include <array>

#include "morlund/formats/Games.h"

class QSettings;

namespace tarnwick {

// What the program remembers between runs: section "Settings" of
// QSettings("Ravelle", "Tarnwick"). Integers are stored as integers.
struct AppSettings {
    static constexpr int kGameCount = morlund::kGameCount;
    static constexpr int kStartViewCount = 5;

    int use_miles = 0;
    int flicker_free = 1;
    std::array<QString, kGameCount> paths = DefaultPaths();  // install folder per game
    morlund::GameType pri_game = morlund::GameType::LFS;     // stored as its number
    QString stat_prt_hdr = QStringLiteral("Tarnwick Telemetry Statistics");
    int stat_prt_font_size_adjust = 0;
    int use_default_path = 1;
    int use_alt_filedlg = 0;
    int default_cursor_mode = 0;
    int default_draw_lines = 1;
    int default_show_values = 1;
    int map_max_radius = 250;  // m
    int start_view = 0;        // StartView

    static std::array<QString, kGameCount> DefaultPaths();

    // Reads every value with the current one as its default, then clamps pri_game and
    // start_view into their ranges.
    void Load(QSettings& settings);
    void Save(QSettings& settings) const;

    QString GetPath(morlund::GameType game) const;
    // Stores the path without one trailing "\" or "/".
    void SetPath(morlund::GameType game, const QString& path);
    // The primary game's install folder and perf subfolder, as a local path.
    QString GetDefaultPerfDir() const;
    // The alternative open dialog is never used for generic files.
    bool UseAltFileDialog() const {
        return use_alt_filedlg != 0 && pri_game != morlund::GameType::Generic;
    }
};

// The start views, in their stored order.
enum class StartView { Stat = 0, Graph = 1, Text = 2, Track = 3, Histogram = 4 };

// "Stat View", "Graph View", "Text View", "Track View", "Histogram View"; "???" outside.
QString GetStartViewName(int view);
// "GP2" … "LFS".
QString GetGameName(morlund::GameType game);
// The settings value name of a game's install path: "gp2_path", "mgp_path", …
QString GetPathKey(morlund::GameType game);
// Subfolders of the install path where perf files and setup files live ("" when none).
QString GetPerfSubdir(morlund::GameType game);
QString GetSetupSubdir(morlund::GameType game);
// One trailing "\" or "/" removed.
QString StripTrailingSeparator(const QString& path);
// A path as this system can open it: on systems other than Windows a path with a drive
// letter ("C:\GP2\gpsaves") lies on Wine's drive ($WINEPREFIX or ~/.wine, drive_c/GP2/gpsaves);
// backslashes become slashes.
QString LocalPath(const QString& path);
// A clamped value: below the range gives the lowest, above it the highest.
int ClampTo(int value, int lowest, int highest);

}  // namespace tarnwick
