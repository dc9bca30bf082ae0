#include "app/shell/AppSettings.h"

#include <QDir>
#include <QRegularExpression>
#include <QSettings>
#include <algorithm>

#include "morlund/formats/Games.h"

namespace tarnwick {

namespace {
constexpr const char* kSection = "Settings";
// An older release's header text is replaced by the current default.
constexpr const char* kOldHeader = "Tarnwick 1.1 Telemetry Statistics";

using morlund::GameType;
using morlund::GetGameInfo;
}  // namespace

int ClampTo(int value, int lowest, int highest) { return std::clamp(value, lowest, highest); }

QString GetGameName(GameType game) { return QString::fromStdString(morlund::GetGameName(game)); }

QString GetStartViewName(int view) {
    static const char* const kNames[] = {"Stat View", "Graph View", "Text View", "Track View",
                                         "Histogram View"};
    return view >= 0 && view < AppSettings::kStartViewCount ? QString(kNames[view])
                                                            : QStringLiteral("???");
}

QString GetPathKey(GameType game) { return QString::fromLatin1(GetGameInfo(game).pathKey); }
QString GetPerfSubdir(GameType game) { return QString::fromLatin1(GetGameInfo(game).perfSubdir); }
QString GetSetupSubdir(GameType game) { return QString::fromLatin1(GetGameInfo(game).setupSubdir); }

QString StripTrailingSeparator(const QString& path) {
    if (path.endsWith('\\') || path.endsWith('/')) return path.left(path.size() - 1);
    return path;
}

QString LocalPath(const QString& path) {
#if defined(_WIN32)
    return path;
#else
    QString local = path;
    local.replace('\\', '/');
    static const QRegularExpression drive(QStringLiteral("^([A-Za-z]):(/|$)"));
    const auto match = drive.match(local);
    if (!match.hasMatch()) return local;
    const QString prefix = qEnvironmentVariableIsSet("WINEPREFIX")
                               ? qEnvironmentVariable("WINEPREFIX")
                               : QDir::homePath() + QStringLiteral("/.wine");
    const QChar letter = match.captured(1).at(0).toLower();
    const QString root = letter == 'c' ? prefix + QStringLiteral("/drive_c")
                                       : prefix + QStringLiteral("/dosdevices/") + letter + ':';
    return root + local.mid(2);
#endif
}

std::array<QString, AppSettings::kGameCount> AppSettings::DefaultPaths() {
    std::array<QString, kGameCount> paths;
    for (const morlund::GameInfo& game : morlund::GetGames())
        paths[static_cast<std::size_t>(morlund::GameIndex(game.type))] = game.defaultPath;
    return paths;
}

QString AppSettings::GetPath(GameType game) const {
    return paths[static_cast<std::size_t>(morlund::GameIndex(game))];
}

void AppSettings::SetPath(GameType game, const QString& path) {
    paths[static_cast<std::size_t>(morlund::GameIndex(game))] = StripTrailingSeparator(path);
}

QString AppSettings::GetDefaultPerfDir() const {
    return LocalPath(GetPath(pri_game) + GetPerfSubdir(pri_game));
}

void AppSettings::Load(QSettings& s) {
    s.beginGroup(kSection);
    auto integer = [&s](const char* key, int current) { return s.value(key, current).toInt(); };
    use_miles = integer("use_miles", use_miles);
    flicker_free = integer("flicker_free", flicker_free);
    default_cursor_mode = integer("default_cursor_mode", default_cursor_mode);
    default_draw_lines = integer("default_draw_lines", default_draw_lines);
    default_show_values = integer("default_show_values", default_show_values);
    for (const morlund::GameInfo& game : morlund::GetGames())
        SetPath(game.type, s.value(GetPathKey(game.type), GetPath(game.type)).toString());
    const int storedGame = integer("pri_game", morlund::GameIndex(pri_game));
    pri_game = morlund::ClampGame(storedGame);
    const QString header = s.value("stat_prt_hdr", stat_prt_hdr).toString();
    if (header != kOldHeader) stat_prt_hdr = header;
    stat_prt_font_size_adjust = integer("stat_prt_font_size_adjust", stat_prt_font_size_adjust);
    use_default_path = integer("use_default_path", use_default_path);
    use_alt_filedlg = integer("use_alt_filedlg", UseAltFileDialog() ? 1 : 0);
    map_max_radius = integer("map_max_radius", map_max_radius);
    start_view = integer("start_view", start_view);
    s.endGroup();
    start_view = ClampTo(start_view, 0, kStartViewCount - 1);
}

void AppSettings::Save(QSettings& s) const {
    s.beginGroup(kSection);
    s.setValue("use_miles", use_miles);
    s.setValue("flicker_free", flicker_free);
    s.setValue("default_cursor_mode", default_cursor_mode);
    s.setValue("default_draw_lines", default_draw_lines);
    s.setValue("default_show_values", default_show_values);
    for (const morlund::GameInfo& game : morlund::GetGames())
        s.setValue(GetPathKey(game.type), GetPath(game.type));
    s.setValue("pri_game", morlund::GameIndex(pri_game));
    s.setValue("stat_prt_hdr", stat_prt_hdr);
    s.setValue("stat_prt_font_size_adjust", stat_prt_font_size_adjust);
    s.setValue("use_default_path", use_default_path);
    s.setValue("use_alt_filedlg", UseAltFileDialog() ? 1 : 0);
    s.setValue("map_max_radius", map_max_radius);
    s.setValue("start_view", start_view);
    s.endGroup();
}

}  // namespace tarnwick
