#include "morlund/formats/Games.h"

#include <array>
#include <cstdint>

#include "morlund/formats/f1rs/F1RSBufManager.h"
#include "morlund/formats/generic/GenBufManager.h"
#include "morlund/formats/gp2/GP2BufManager.h"
#include "morlund/formats/gp2/GPEnvelope.h"
#include "morlund/formats/gp3/GP32KBufManager.h"
#include "morlund/formats/gp3/GP3BufManager.h"
#include "morlund/formats/gp3/GP4BufManager.h"
#include "morlund/formats/lfs/LFSBufManager.h"
#include "morlund/formats/mgp/MGPBufManager.h"
#include "morlund/platform/ByteOrder.h"
#include "morlund/platform/File.h"
#include "morlund/platform/Text.h"

namespace morlund {

namespace {

constexpr std::array<GameInfo, kGameCount> kGames = {{
    {GameType::GP2, "GP2", "gp2_path", "C:\\GP2", "\\gpsaves", "\\gpsaves", 1,
     TrackGeometry::GP2Segments, true, true, SetupEditor::GP, "GP2", "GP2", 0x2828c6},
    {GameType::GP3, "GP3", "gp3_path", "C:\\Microprose\\Grand Prix 3", "\\gpsaves", "\\gpsaves", 1,
     TrackGeometry::None, true, true, SetupEditor::GP, "GP3", "GP3", 0xc06515},
    {GameType::GP32K, "GP3-2000", "gp3-2000_path", "C:\\Microprose\\GP3S2K", "\\gpsaves",
     "\\gpsaves", 1, TrackGeometry::None, true, true, SetupEditor::GP, "GP3\n2K", "GP3\n2000",
     0x9a1b6a},
    {GameType::GP4, "GP4", "gp4_path", "C:\\Microprose\\Grand Prix 4", "\\gpsaves", "\\gpsaves", 1,
     TrackGeometry::None, true, true, SetupEditor::GP, "GP4", "GP4", 0x327d2e},
    {GameType::F1RS, "F1RS", "f1rs_path", "C:\\Ubisoft\\F1RS", "\\saved\\games",
     "\\saved\\settings", 2, TrackGeometry::None, true, true, SetupEditor::None, "F1\nRS", "F1\nRS",
     0x0051e6},
    // The game's own folder is "telmetry", without the second e.
    {GameType::MGPRS2, "MGPRS2", "mgp_path", "C:\\Ubisoft\\RS2", "\\save\\telmetry",
     "\\save\\1997\\settings", 2, TrackGeometry::None, false, true, SetupEditor::None, "MGP\nRS2",
     "MGP\nRS2", 0x8f8300},
    {GameType::Generic, "Generic", "generic_path", "", "", "", 0, TrackGeometry::None, true, false,
     SetupEditor::None, "CSV", "CSV", 0x6f6555},
    {GameType::LFS, "LFS", "lfs_path", "C:\\LFS", "\\data\\raf", "\\data\\settings", 3,
     TrackGeometry::LFSMeshes, true, false, SetupEditor::None, "LFS", "LFS", 0x5714ad},
}};

}  // namespace

const std::array<GameInfo, kGameCount>& GetGames() { return kGames; }

const GameInfo& GetGameInfo(GameType game) {
    const int index = GameIndex(game);
    return kGames[static_cast<std::size_t>(index >= 0 && index < kGameCount ? index : 0)];
}

std::optional<GameType> GameFromIndex(int index) {
    if (index < 0 || index >= kGameCount) return std::nullopt;
    return static_cast<GameType>(index);
}

GameType ClampGame(int index) {
    return static_cast<GameType>(index < 0 ? 0 : index >= kGameCount ? kGameCount - 1 : index);
}

std::string GetGameName(GameType game) {
    const int index = GameIndex(game);
    return index >= 0 && index < kGameCount ? kGames[static_cast<std::size_t>(index)].name : "???";
}

std::optional<GameType> ParseGameName(std::string_view name) {
    for (const GameInfo& row : kGames) {
        if (EqualsNoCase(name, row.name)) return row.type;
    }
    return std::nullopt;
}

std::string GetPerfFamilyFilter(int& count) {
    count += 3;
    return "All GPx Perf Files (*.pa?)|*.pa?|"
           "F1RS/MGPRS2 Telemetry Files (*.tlm)|*.tlm|"
           "LFS Replay Analyser Files (*.raf)|*.raf|";
}

GameType RecogniseGame(const std::string& fileName, File& file, GameType primary) {
    const std::string_view name(fileName);
    if (EndsWithNoCase(name, ".tlm")) {
        return name.size() >= 4 && EqualsNoCase(name.substr(0, 4), "save") ? GameType::MGPRS2
                                                                           : GameType::F1RS;
    }
    if (name.size() >= 4 && EqualsNoCase(name.substr(name.size() - 4, 3), ".pa")) {
        std::uint8_t id[4];
        const bool read = file.Seek(0) && file.Read(id, 4) == 4;
        file.Seek(0);
        return GameOfGPPerfFile(read ? LoadU32(id) : 0, primary);
    }
    if (EndsWithNoCase(name, ".raf")) return GameType::LFS;
    return GameType::Generic;
}

GameType GameOfGPPerfFile(std::uint32_t fileId, GameType primary) {
    if (fileId == kGPFileIdGP4) return GameType::GP4;
    return primary == GameType::GP2 || primary == GameType::GP32K ? primary : GameType::GP3;
}

std::unique_ptr<BufManager> CreateBufManager(GameType game) {
    switch (game) {
        case GameType::GP2:
            return std::make_unique<GP2BufManager>();
        case GameType::GP3:
            return std::make_unique<GP3BufManager>();
        case GameType::GP32K:
            return std::make_unique<GP32KBufManager>();
        case GameType::GP4:
            return std::make_unique<GP4BufManager>();
        case GameType::F1RS:
            return std::make_unique<F1RSBufManager>();
        case GameType::MGPRS2:
            return std::make_unique<MGPBufManager>();
        case GameType::Generic:
            return std::make_unique<GenBufManager>();
        case GameType::LFS:
            return std::make_unique<LFSBufManager>();
    }
    return nullptr;
}

}  // namespace morlund
