#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace morlund {

class BufManager;
class File;

// The games, in the order the settings store them.
enum class GameType { GP2 = 0, GP3, GP32K, GP4, F1RS, MGPRS2, Generic, LFS };

// "GP2", "GP3", "GP3-2000", "GP4", "F1RS", "MGPRS2", "Generic", "LFS".
std::string GetGameName(GameType game);
std::optional<GameType> ParseGameName(std::string_view name);

// Decides the game of a file from its name and, for GP perf files, its first
// bytes (the file position is restored to the start). GP perf files that are
// not GP4 belong to the primary game when that is GP2 or GP3-2000, else GP3.
GameType RecogniseGame(const std::string& fileName, File& file, GameType primary);

// A new, empty manager of the game; null for a game this build cannot read.
std::unique_ptr<BufManager> CreateBufManager(GameType game);

}  // namespace morlund
