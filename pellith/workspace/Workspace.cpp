#include "pellith/workspace/Workspace.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>
#include <system_error>

#include "morlund/platform/File.h"
#include "morlund/platform/IniFile.h"
#include "morlund/platform/Text.h"

namespace pellith {

namespace {

enum class ValueType { Text, Int, Number, Bool, List, IntList };

// Every setting a workspace may hold: a new setting is one line here (and the code of the
// window that saves and restores it). Section "workspace" is the file's head, "lap" every
// lap section, "window" every window section, and a kind's name the settings of that kind.
struct KeyRule {
    std::string_view section;
    std::string_view key;
    ValueType type;
};
constexpr KeyRule kKeys[] = {
    {"workspace", "version", ValueType::Int},
    {"workspace", "laps", ValueType::Int},
    {"workspace", "windows", ValueType::Int},
    {"workspace", "reference", ValueType::Int},
    {"lap", "path", ValueType::Text},
    {"window", "kind", ValueType::Text},
    {"window", "geometry", ValueType::IntList},
    {"window", "maximised", ValueType::Bool},
    {"graph", "x", ValueType::Text},
    {"graph", "y", ValueType::Text},
    {"graph", "wheel", ValueType::Text},
    {"graph", "overlays", ValueType::List},
    {"graph", "xzoom", ValueType::Int},
    {"graph", "xoffset", ValueType::Int},
    {"graph", "yzoom", ValueType::Int},
    {"graph", "yoffset", ValueType::Int},
    {"graph", "from", ValueType::Number},
    {"graph", "to", ValueType::Number},
    {"graph", "sync", ValueType::Bool},
    {"graph", "cursor", ValueType::Bool},
    {"graph", "lines", ValueType::Bool},
    {"graph", "values", ValueType::Bool},
    {"text", "columns", ValueType::List},
    {"text", "sort", ValueType::IntList},
    {"text", "sync", ValueType::Bool},
    {"map", "scale", ValueType::Number},
    {"map", "offsetx", ValueType::Number},
    {"map", "offsety", ValueType::Number},
    {"map", "layers", ValueType::List},
    {"map", "sync", ValueType::Bool},
    {"map", "colouring", ValueType::Text},
    {"map", "channel", ValueType::Text},
    {"map", "stretch", ValueType::Bool},
    {"map", "sectors", ValueType::Int},
    {"histogram", "channel", ValueType::Text},
    {"histogram", "wheel", ValueType::Text},
    {"histogram", "bin", ValueType::Number},
    {"histogram", "knee", ValueType::Number},
    {"histogram", "overlaid", ValueType::Bool},
    {"histogram", "sync", ValueType::Bool},
};

const KeyRule* FindKey(std::string_view section, std::string_view key) {
    for (const KeyRule& rule : kKeys) {
        if (rule.section == section && morlund::EqualsNoCase(rule.key, key)) return &rule;
    }
    return nullptr;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

std::vector<std::string_view> SplitList(std::string_view text) {
    std::vector<std::string_view> parts;
    if (Trim(text).empty()) return parts;
    while (true) {
        const std::size_t comma = text.find(',');
        parts.push_back(Trim(text.substr(0, comma)));
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return parts;
}

std::optional<int> ParseInt(std::string_view text) {
    text = Trim(text);
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::optional<double> ParseNumber(std::string_view text) {
    text = Trim(text);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<bool> ParseBool(std::string_view text) {
    text = Trim(text);
    if (text == "1" || morlund::EqualsNoCase(text, "true")) return true;
    if (text == "0" || morlund::EqualsNoCase(text, "false")) return false;
    return std::nullopt;
}

bool Fits(ValueType type, std::string_view value) {
    switch (type) {
    case ValueType::Text:
    case ValueType::List:
        return true;
    case ValueType::Int:
        return ParseInt(value).has_value();
    case ValueType::Number:
        return ParseNumber(value).has_value();
    case ValueType::Bool:
        return ParseBool(value).has_value();
    case ValueType::IntList:
        for (std::string_view part : SplitList(value)) {
            if (!ParseInt(part)) return false;
        }
        return true;
    }
    return false;
}

std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    return text;
}

std::string FormatNumber(double value) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

// A numbered section name "lap3" split into its stem and number.
bool SplitSection(std::string_view name, std::string_view stem, int& number) {
    if (name.size() <= stem.size() || !morlund::EqualsNoCase(name.substr(0, stem.size()), stem))
        return false;
    const std::optional<int> n = ParseInt(name.substr(stem.size()));
    if (!n || *n < 1 || name.substr(stem.size()).front() == '+') return false;
    number = *n;
    return true;
}

// Is the kind one this version knows?
bool KnownKind(std::string_view kind) {
    for (std::string_view known : kWindowKinds) {
        if (known == kind) return true;
    }
    return false;
}

}  // namespace

// --- window settings ---------------------------------------------------------------------

void WorkspaceWindow::Set(std::string_view key, std::string value) {
    value = OneLine(std::move(value));
    for (auto& [k, v] : settings) {
        if (k == key) {
            v = std::move(value);
            return;
        }
    }
    settings.emplace_back(std::string(key), std::move(value));
}
void WorkspaceWindow::SetInt(std::string_view key, int value) { Set(key, std::to_string(value)); }
void WorkspaceWindow::SetNumber(std::string_view key, double value) {
    Set(key, FormatNumber(value));
}
void WorkspaceWindow::SetBool(std::string_view key, bool value) { Set(key, value ? "1" : "0"); }
void WorkspaceWindow::SetList(std::string_view key, const std::vector<std::string>& values) {
    std::string text;
    for (const std::string& v : values) {
        if (!text.empty()) text += ',';
        text += v;
    }
    Set(key, std::move(text));
}
void WorkspaceWindow::SetIntList(std::string_view key, const std::vector<int>& values) {
    std::vector<std::string> texts;
    for (int v : values)
        texts.push_back(std::to_string(v));
    SetList(key, texts);
}

std::optional<std::string> WorkspaceWindow::Get(std::string_view key) const {
    for (const auto& [k, v] : settings) {
        if (k == key) return v;
    }
    return std::nullopt;
}
std::optional<int> WorkspaceWindow::GetInt(std::string_view key) const {
    const auto text = Get(key);
    return text ? ParseInt(*text) : std::nullopt;
}
std::optional<double> WorkspaceWindow::GetNumber(std::string_view key) const {
    const auto text = Get(key);
    return text ? ParseNumber(*text) : std::nullopt;
}
std::optional<bool> WorkspaceWindow::GetBool(std::string_view key) const {
    const auto text = Get(key);
    return text ? ParseBool(*text) : std::nullopt;
}
std::optional<std::vector<std::string>> WorkspaceWindow::GetList(std::string_view key) const {
    const auto text = Get(key);
    if (!text) return std::nullopt;
    std::vector<std::string> values;
    for (std::string_view part : SplitList(*text))
        values.emplace_back(part);
    return values;
}
std::optional<std::vector<int>> WorkspaceWindow::GetIntList(std::string_view key) const {
    const auto text = Get(key);
    if (!text || !Fits(ValueType::IntList, *text)) return std::nullopt;
    std::vector<int> values;
    for (std::string_view part : SplitList(*text))
        values.push_back(*ParseInt(part));
    return values;
}

// --- writing -------------------------------------------------------------------------------

std::string WriteWorkspaceText(const Workspace& workspace) {
    std::ostringstream out;
    out << "; Tarnwick workspace\n[workspace]\nversion=" << Workspace::kVersion
        << "\nlaps=" << workspace.laps.size() << "\nwindows=" << workspace.windows.size()
        << "\nreference=" << workspace.reference
        << "\n";
    for (std::size_t i = 0; i < workspace.laps.size(); ++i)
        out << "\n[lap" << i + 1 << "]\npath=" << OneLine(workspace.laps[i]) << "\n";
    for (std::size_t i = 0; i < workspace.windows.size(); ++i) {
        const WorkspaceWindow& w = workspace.windows[i];
        out << "\n[window" << i + 1 << "]\nkind=" << OneLine(w.kind) << "\n";
        if (w.geometry) {
            out << "geometry=" << w.geometry->x << ',' << w.geometry->y << ','
                << w.geometry->width << ',' << w.geometry->height << "\n";
        }
        if (w.maximised) out << "maximised=1\n";
        for (const auto& [key, value] : w.settings)
            out << OneLine(key) << '=' << OneLine(value) << "\n";
    }
    return out.str();
}

bool SaveWorkspace(const std::filesystem::path& path, const Workspace& workspace,
                   std::string& error) {
    const std::string text = WriteWorkspaceText(workspace);
    morlund::File file;
    if (!file.Open(path, morlund::File::Mode::CreateReplace, &error)) return false;
    if (!file.Write(text.data(), text.size()) || !file.Commit()) {
        error = "The workspace could not be written completely.";
        file.Close();
        return false;
    }
    file.Close();
    return true;
}

// --- reading -------------------------------------------------------------------------------

WorkspaceReadResult ParseWorkspaceText(std::string_view text) {
    WorkspaceReadResult result;
    auto& problems = result.problems;
    morlund::IniFile ini;
    ini.LoadText(text);

    bool head = false;
    int version = 0, lapCount = -1, windowCount = -1, reference = 0;
    // Sections by number; a number seen twice keeps its first section.
    std::vector<std::optional<std::string>> lapPaths;
    std::vector<std::optional<WorkspaceWindow>> windows;
    auto slot = [](auto& list, int number) -> auto& {
        if (static_cast<int>(list.size()) < number) list.resize(static_cast<std::size_t>(number));
        return list[static_cast<std::size_t>(number - 1)];
    };

    // First pass: window kinds, so that their settings can be checked in any order.
    for (const auto& e : ini.Entries()) {
        int number = 0;
        if (!SplitSection(e.section, "window", number) || number > Workspace::kMaxWindows ||
            !morlund::EqualsNoCase(e.key, "kind"))
            continue;
        auto& window = slot(windows, number);
        if (!window) {
            window.emplace();
            window->kind = e.value;
        }
    }
    for (const auto& e : ini.Entries()) {
        const std::string where = e.section.empty() ? "the top" : "[" + e.section + "]";
        int number = 0;
        if (morlund::EqualsNoCase(e.section, "workspace")) {
            const KeyRule* rule = FindKey("workspace", e.key);
            if (rule == nullptr) {
                problems.push_back("Unknown setting \"" + e.key + "\" in " + where + ".");
                continue;
            }
            const std::optional<int> v = ParseInt(e.value);
            if (!v || *v < 0) {
                problems.push_back("\"" + e.key + "\" in " + where + " is not a count: \"" +
                                   e.value + "\".");
                continue;
            }
            head = true;
            if (rule->key == "version") version = *v;
            if (rule->key == "laps") lapCount = *v;
            if (rule->key == "windows") windowCount = *v;
            if (rule->key == "reference") reference = *v;
        } else if (SplitSection(e.section, "lap", number)) {
            if (number > Workspace::kMaxLaps) {
                problems.push_back("Lap " + std::to_string(number) + " is beyond the " +
                                   std::to_string(Workspace::kMaxLaps) + " laps a workspace holds.");
                continue;
            }
            if (!FindKey("lap", e.key)) {
                problems.push_back("Unknown setting \"" + e.key + "\" in " + where + ".");
                continue;
            }
            auto& path = slot(lapPaths, number);
            if (!path && !e.value.empty()) path = e.value;
        } else if (SplitSection(e.section, "window", number)) {
            if (number > Workspace::kMaxWindows) {
                problems.push_back("Window " + std::to_string(number) + " is beyond the " +
                                   std::to_string(Workspace::kMaxWindows) +
                                   " windows a workspace holds.");
                continue;
            }
            auto& window = slot(windows, number);
            if (!window) {
                window.emplace();  // no kind: reported below
                continue;
            }
            if (!KnownKind(window->kind)) continue;  // reported once below
            const KeyRule* rule = FindKey("window", e.key);
            if (rule == nullptr) rule = FindKey(window->kind, e.key);
            if (rule == nullptr) {
                problems.push_back("Unknown setting \"" + e.key + "\" in " + where + ".");
                continue;
            }
            if (!Fits(rule->type, e.value)) {
                problems.push_back("\"" + e.key + "\" in " + where + " has a value of the wrong "
                                   "kind: \"" + e.value + "\".");
                continue;
            }
            if (rule->key == "kind") continue;
            if (rule->key == "geometry") {
                const std::vector<std::string_view> parts = SplitList(e.value);
                const bool good = parts.size() == 4 && *ParseInt(parts[2]) > 0 &&
                                  *ParseInt(parts[3]) > 0;
                if (!good) {
                    problems.push_back("\"geometry\" in " + where +
                                       " is not x,y,width,height: \"" + e.value + "\".");
                    continue;
                }
                window->geometry = WorkspaceGeometry{*ParseInt(parts[0]), *ParseInt(parts[1]),
                                                     *ParseInt(parts[2]), *ParseInt(parts[3])};
            } else if (rule->key == "maximised") {
                window->maximised = *ParseBool(e.value);
            } else if (!window->Get(rule->key)) {
                window->settings.emplace_back(std::string(rule->key), e.value);
            }
        } else {
            problems.push_back("Unknown section [" + e.section + "].");
        }
    }

    if (!head) {
        problems.insert(problems.begin(), "This is not a Tarnwick workspace.");
        return result;
    }
    result.usable = true;
    if (version > Workspace::kVersion)
        problems.push_back("The workspace was written by a newer version of Tarnwick.");

    if (lapCount > Workspace::kMaxLaps) lapCount = Workspace::kMaxLaps;
    if (windowCount > Workspace::kMaxWindows) windowCount = Workspace::kMaxWindows;
    const int laps = std::max<int>(lapCount, static_cast<int>(lapPaths.size()));
    for (int i = 0; i < laps; ++i) {
        if (i < static_cast<int>(lapPaths.size()) && lapPaths[i]) {
            result.workspace.laps.push_back(*lapPaths[i]);
            if (i + 1 == reference)
                result.workspace.reference = static_cast<int>(result.workspace.laps.size());
        } else {
            problems.push_back("Lap " + std::to_string(i + 1) + " is missing from the file.");
        }
    }
    if (reference > 0 && result.workspace.reference == 0)
        problems.push_back("The reference lap " + std::to_string(reference) +
                           " is not among the laps; the fastest lap is the reference.");
    const int windowTotal = std::max<int>(windowCount, static_cast<int>(windows.size()));
    for (int i = 0; i < windowTotal; ++i) {
        const std::string name = "Window " + std::to_string(i + 1);
        if (i >= static_cast<int>(windows.size()) || !windows[i]) {
            problems.push_back(name + " is missing from the file.");
        } else if (windows[i]->kind.empty()) {
            problems.push_back(name + " does not say what kind of window it is.");
        } else if (!KnownKind(windows[i]->kind)) {
            problems.push_back(name + " is of a kind this version does not know: \"" +
                               windows[i]->kind + "\".");
        } else {
            result.workspace.windows.push_back(std::move(*windows[i]));
        }
    }
    return result;
}

WorkspaceReadResult ReadWorkspace(const std::filesystem::path& path) {
    // A workspace is a few kilobytes; anything far larger is not one.
    constexpr std::uintmax_t kMaxSize = 1u << 20;
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    WorkspaceReadResult result;
    if (ec) {
        result.problems.push_back("The workspace cannot be read.");
        return result;
    }
    if (size > kMaxSize) {
        result.problems.push_back("This is not a Tarnwick workspace (the file is too large).");
        return result;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in.good() && !in.eof()) {
        result.problems.push_back("The workspace cannot be read.");
        return result;
    }
    return ParseWorkspaceText(text.str());
}

namespace {
// With '/' between folders on every system, so that a workspace moves between them.
std::string GenericUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.generic_u8string();
    return std::string(text.begin(), text.end());
}
}  // namespace

std::string StoreLapPath(const std::filesystem::path& lap,
                         const std::filesystem::path& workspaceFile) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path absoluteLap = fs::absolute(lap, ec).lexically_normal();
    const fs::path folder = fs::absolute(workspaceFile, ec).parent_path().lexically_normal();
    if (absoluteLap.root_name() == folder.root_name()) {
        const fs::path relative = absoluteLap.lexically_relative(folder);
        if (!relative.empty()) return GenericUtf8(relative);
    }
    return GenericUtf8(absoluteLap);
}

std::filesystem::path ResolveLapPath(std::string_view stored,
                                     const std::filesystem::path& workspaceFile) {
    namespace fs = std::filesystem;
    const fs::path path = morlund::PathFromUtf8(stored);
    if (path.is_absolute()) return path.lexically_normal();
    std::error_code ec;
    return (fs::absolute(workspaceFile, ec).parent_path() / path).lexically_normal();
}

}  // namespace pellith
