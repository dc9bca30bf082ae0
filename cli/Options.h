#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "morlund/formats/Games.h"
#include "pellith/export/ExportEngine.h"

namespace cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitLoad = 1;   // the first file did not load, or the output failed
inline constexpr int kExitUsage = 2;  // bad arguments

// Everything the command line chose.
struct Options {
    morlund::GameType primary = morlund::GameType::LFS;
    int buffer = 0;
    bool bufferGiven = false;
    bool allBuffers = false;
    std::vector<std::string> formulaDirs;
    std::vector<std::string> files;
    bool needFiles = true;
    // export and stats
    std::string columns;
    bool columnsGiven = false;
    int delimiter = 0;  // index into the export's delimiter table
    int names = pellith::ExportChoices::kShortNames;
    bool header = false;
    bool range = false;
    double rangeFrom = 0.0;
    double rangeTo = -1.0;
    bool miles = false;
    std::string output;
    // sectors and corners
    bool delimiterGiven = false;
    int sectorCount = 20;
    bool gameSplits = false;
};

// The options a command takes besides files.
struct CommandOptions {
    bool primaryGame = false;
    bool formulaDir = false;
    bool buffer = false;
    bool bufferAll = false;
    bool exportChoices = false;
    bool miles = false;
    bool delimiter = false;  // --delimiter without the other export choices
    bool sectors = false;    // --count N, --splits
};

void PrintUsage(std::FILE* out);

// Parses argv[first..argc) into options; false after telling stderr what is wrong.
bool ParseOptions(int argc, char** argv, int first, const CommandOptions& allowed,
                  Options& options);

}  // namespace cli
