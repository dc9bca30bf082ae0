#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pellith {

// A workspace: the laps of a session, the windows open on them and each window's
// settings, kept in a small INI text file so that a session can be set up once and
// opened again. Reading never runs anything and never writes anywhere; a bad file
// gives what can be used and a list of everything that could not.
//
//   [workspace]          version, laps (count), windows (count)
//   [lap1] ... [lapN]    path (relative to the workspace file's folder when possible)
//   [window1] ...        kind, geometry (x,y,width,height), maximised, then the
//                        settings of the kind (see kWindowKeys in Workspace.cpp)

// The kinds of window a workspace knows, as written in the file.
inline constexpr std::string_view kWindowKinds[] = {"stat", "graph", "text", "map", "histogram"};

struct WorkspaceGeometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// One window: its kind, place and settings. Settings are texts in the file's syntax; the
// typed accessors read them back (a setting that is absent gives nothing).
struct WorkspaceWindow {
    std::string kind;
    std::optional<WorkspaceGeometry> geometry;
    bool maximised = false;
    std::vector<std::pair<std::string, std::string>> settings;

    void Set(std::string_view key, std::string value);
    void SetInt(std::string_view key, int value);
    void SetNumber(std::string_view key, double value);
    void SetBool(std::string_view key, bool value);
    void SetList(std::string_view key, const std::vector<std::string>& values);
    void SetIntList(std::string_view key, const std::vector<int>& values);

    std::optional<std::string> Get(std::string_view key) const;
    std::optional<int> GetInt(std::string_view key) const;
    std::optional<double> GetNumber(std::string_view key) const;
    std::optional<bool> GetBool(std::string_view key) const;
    std::optional<std::vector<std::string>> GetList(std::string_view key) const;
    std::optional<std::vector<int>> GetIntList(std::string_view key) const;
};

struct Workspace {
    static constexpr int kVersion = 1;
    static constexpr int kMaxLaps = 64;
    static constexpr int kMaxWindows = 64;

    std::vector<std::string> laps;  // as stored: relative to the file's folder or absolute
    int reference = 0;              // the reference lap's number among the laps; 0: the fastest
    std::vector<WorkspaceWindow> windows;
};

// The file's text. Values lose line breaks (a value is one line).
std::string WriteWorkspaceText(const Workspace& workspace);
// Writes the file through a temporary sibling: the old file stays until the new one is
// complete. False with a reason on failure.
bool SaveWorkspace(const std::filesystem::path& path, const Workspace& workspace,
                   std::string& error);

struct WorkspaceReadResult {
    Workspace workspace;
    // Everything that was left out or could not be used, one line each. Empty: all read.
    std::vector<std::string> problems;
    // False when nothing could be used (not a workspace, unreadable): open nothing.
    bool usable = false;
};

// Reads and checks a workspace: every section, key and value is checked against what this
// version knows. Unknown keys, values of the wrong type, windows of an unknown kind and
// sections missing from a cut-off file are left out and named in the problems.
WorkspaceReadResult ParseWorkspaceText(std::string_view text);
WorkspaceReadResult ReadWorkspace(const std::filesystem::path& path);

// The path of a lap as stored in a workspace at `workspaceFile`: relative to its folder
// when the lap is on the same root, absolute otherwise (generic separators).
std::string StoreLapPath(const std::filesystem::path& lap,
                         const std::filesystem::path& workspaceFile);
// The lap's path from a stored one: relative paths are taken from the workspace's folder.
std::filesystem::path ResolveLapPath(std::string_view stored,
                                     const std::filesystem::path& workspaceFile);

}  // namespace pellith
