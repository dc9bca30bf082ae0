#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace morlund {

class BufManager;
class File;

// The games, in the order the settings store them.
enum class GameType { GP2 = 0, GP3, GP32K, GP4, F1RS, MGPRS2, Generic, LFS };
inline constexpr int kGameCount = 8;

// The outline of the track that a game's laps can be drawn over.
enum class TrackGeometry {
    None,
    GP2Segments,  // a segment file of the position add-on, named by the track's checksum
    LFSMeshes,    // the game's own track meshes, named by the track's short name
};

// Which car setup editor a game's setups open in.
enum class SetupEditor {
    None,
    GP,  // the dialogs of the GP games (wings, gears, suspension, differential)
};

// The facts that differ per game, one row each. Paths are the game's own
// (Windows) form; the program maps them to local paths.
struct GameInfo {
    GameType type;
    const char* name;         // shown to the user: "GP2", "GP3-2000", …
    const char* pathKey;      // settings value name of the install folder
    const char* defaultPath;  // default install folder ("" when none)
    const char* perfSubdir;   // perf files below the install folder ("" when none)
    const char* setupSubdir;  // setup files below the install folder
    // The file family of the open dialog (1-based entry of GetPerfFamilyFilter's
    // list) selected first when this is the primary game; 0 selects all files.
    int perfFamilyFilter;
    TrackGeometry geometry;  // what a lap may have; the manager says what it has
    bool trackView;          // laps of the game can be shown on a map
    bool setupFiles;         // setups can be read from and saved to files
    SetupEditor editor;
    // The game's badge: labels for 16 and 32 pixels (a '\n' splits two lines) and
    // its colour (0x00BBGGRR).
    const char* badgeSmall;
    const char* badgeLarge;
    std::uint32_t badgeColour;
};

// The row of a game.
const GameInfo& GetGameInfo(GameType game);
// Every row, in GameType order.
const std::array<GameInfo, kGameCount>& GetGames();
// A stored game number; nothing outside 0..kGameCount-1.
std::optional<GameType> GameFromIndex(int index);
// A stored game number clamped into range (below gives the first, above the last).
GameType ClampGame(int index);
inline int GameIndex(GameType game) { return static_cast<int>(game); }

// "GP2", "GP3", "GP3-2000", "GP4", "F1RS", "MGPRS2", "Generic", "LFS".
std::string GetGameName(GameType game);
std::optional<GameType> ParseGameName(std::string_view name);

// The open dialog's file families, shared by every game, as filter text
// ("name (pattern)|pattern|" per family) and their number.
std::string GetPerfFamilyFilter(int& count);

// Decides the game of a file from its name and, for GP perf files, its first
// bytes (the file position is restored to the start). GP perf files that are
// not GP4 belong to the primary game when that is GP2 or GP3-2000, else GP3.
GameType RecogniseGame(const std::string& fileName, File& file, GameType primary);
// The game of a GP perf file by its first word: GP4 for GP4's id; any other
// belongs to the primary game when that is GP2 or GP3-2000, else to GP3.
GameType GameOfGPPerfFile(std::uint32_t fileId, GameType primary);

// A new, empty manager of the game; null for a game this build cannot read.
std::unique_ptr<BufManager> CreateBufManager(GameType game);

}  // namespace morlund
