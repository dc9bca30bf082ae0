#include "cli/Laps.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "morlund/items/CustomDataItem.h"
#include "morlund/platform/File.h"

using namespace morlund;

namespace cli {

int OpenLaps(const Options& options, Laps& laps) {
    File first;
    std::string error;
    if (!first.Open(morlund::PathFromUtf8(options.files[0]), File::Mode::Read, &error)) {
        std::fprintf(stderr, "%s: %s\n", options.files[0].c_str(), error.c_str());
        return kExitLoad;
    }
    laps.game = RecogniseGame(first.GetFileName(), first, options.primary);
    laps.manager = CreateBufManager(laps.game);
    if (!laps.manager) {
        std::fprintf(stderr, "%s: %s laps cannot be read by this version\n",
                     options.files[0].c_str(), GetGameName(laps.game).c_str());
        return kExitLoad;
    }
    if (!laps.manager->AddBuffer(first)) return kExitLoad;
    for (std::size_t i = 1; i < options.files.size(); ++i) {
        File file;
        if (!file.Open(morlund::PathFromUtf8(options.files[i]), File::Mode::Read, &error)) {
            std::fprintf(stderr, "%s: %s\n", options.files[i].c_str(), error.c_str());
            continue;
        }
        laps.manager->AddBuffer(file);  // the manager has told why when it fails
    }
    return kExitOk;
}

void LoadFormulaChannels(const Options& options) {
    std::vector<std::filesystem::path> folders;
    if (const auto user = CustomDataItem::UserFormulaFolder(); !user.empty())
        folders.push_back(user);
    for (const auto& dir : options.formulaDirs)
        folders.push_back(morlund::PathFromUtf8(dir));
    CustomDataItem::InitCustomDataItems(folders);
}

}  // namespace cli
