#pragma once

#include <memory>

#include "cli/Options.h"
#include "morlund/formats/BufManager.h"
#include "morlund/formats/Games.h"

namespace cli {

// The laps of one run: the first file decides the game, as opening a file in
// the program does; the others are added to it.
struct Laps {
    morlund::GameType game = morlund::GameType::Generic;
    std::unique_ptr<morlund::BufManager> manager;
};

// Opens the files of the options; kExitLoad when the first one does not load.
// Later files that do not load are reported and left out.
int OpenLaps(const Options& options, Laps& laps);

// Loads the formula channels from the program's folders and each --formula-dir.
void LoadFormulaChannels(const Options& options);

}  // namespace cli
