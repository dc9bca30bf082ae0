#include "morlund/formats/Games.h"

#include <array>
#include <cstdint>

#include "morlund/formats/f1rs/F1RSBufManager.h"
#include "morlund/formats/generic/GenBufManager.h"
#include "morlund/formats/gp2/GP2BufManager.h"
#include "morlund/formats/gp3/GP32KBufManager.h"
#include "morlund/formats/gp3/GP3BufManager.h"
#include "morlund/formats/gp3/GP4BufManager.h"
#include "morlund/formats/lfs/LFSBufManager.h"
#include "morlund/formats/mgp/MGPBufManager.h"
#include "morlund/formats/gp2/GPEnvelope.h"
#include "morlund/platform/ByteOrder.h"
#include "morlund/platform/File.h"
#include "morlund/platform/Text.h"

namespace morlund {

namespace {
constexpr std::array<const char*, 8> kGameNames = {"GP2",  "GP3",    "GP3-2000", "GP4",
                                                   "F1RS", "MGPRS2", "Generic",  "LFS"};
}

std::string GetGameName(GameType game) { return kGameNames[static_cast<std::size_t>(game)]; }

std::optional<GameType> ParseGameName(std::string_view name) {
    for (std::size_t i = 0; i < kGameNames.size(); ++i) {
        if (EqualsNoCase(name, kGameNames[i])) return static_cast<GameType>(i);
    }
    return std::nullopt;
}

GameType RecogniseGame(const std::string& fileName, File& file, GameType primary) {
    const std::string_view name(fileName);
    if (EndsWithNoCase(name, ".tlm")) {
        return name.size() >= 4 && EqualsNoCase(name.substr(0, 4), "save") ? GameType::MGPRS2
                                                                           : GameType::F1RS;
    }
    if (name.size() >= 4 && EqualsNoCase(name.substr(name.size() - 4, 3), ".pa")) {
        std::uint8_t id[4];
        const bool gp4 = file.Seek(0) && file.Read(id, 4) == 4 && LoadU32(id) == kGPFileIdGP4;
        file.Seek(0);
        if (gp4) return GameType::GP4;
        return primary == GameType::GP2 || primary == GameType::GP32K ? primary : GameType::GP3;
    }
    if (EndsWithNoCase(name, ".raf")) return GameType::LFS;
    return GameType::Generic;
}

std::unique_ptr<BufManager> CreateBufManager(GameType game) {
    switch (game) {
        case GameType::GP2: return std::make_unique<GP2BufManager>();
        case GameType::GP3: return std::make_unique<GP3BufManager>();
        case GameType::GP32K: return std::make_unique<GP32KBufManager>();
        case GameType::GP4: return std::make_unique<GP4BufManager>();
        case GameType::F1RS: return std::make_unique<F1RSBufManager>();
        case GameType::MGPRS2: return std::make_unique<MGPBufManager>();
        case GameType::Generic: return std::make_unique<GenBufManager>();
        case GameType::LFS: return std::make_unique<LFSBufManager>();
    }
    return nullptr;
}

}  // namespace morlund
