// tarnwick-cli: the headless front end on the data library.

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "morlund/formats/GameStrings.h"
#include "morlund/formats/Games.h"
#include "morlund/platform/File.h"
#include "tarnwick/Version.h"

using namespace morlund;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitLoad = 1;
constexpr int kExitUsage = 2;

void PrintUsage(std::FILE* out) {
    std::fprintf(out,
                 "Usage: tarnwick-cli info [--primary-game G] FILE...\n"
                 "\n"
                 "  info   lap information of each file: the first file opens the laps as the\n"
                 "         program does, the others are added to them\n"
                 "\n"
                 "  G is the primary game for GP perf files: GP2, GP3, GP3-2000, GP4, F1RS,\n"
                 "  MGPRS2, Generic or LFS (default LFS).\n"
                 "\n"
                 "Exit status: 0 ok, 1 the first file did not load, 2 bad arguments.\n");
}

struct Options {
    GameType primary = GameType::LFS;
    std::vector<std::string> files;
};

// Parses the options shared by the commands; false after reporting a bad argument.
bool ParseOptions(int argc, char** argv, int first, Options& options) {
    for (int i = first; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--primary-game") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "tarnwick-cli: --primary-game needs a game name\n");
                return false;
            }
            const auto game = ParseGameName(argv[++i]);
            if (!game) {
                std::fprintf(stderr, "tarnwick-cli: unknown game '%s'\n", argv[i]);
                return false;
            }
            options.primary = *game;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "tarnwick-cli: unknown option '%s'\n", arg.c_str());
            return false;
        } else {
            options.files.push_back(arg);
        }
    }
    if (options.files.empty()) {
        std::fprintf(stderr, "tarnwick-cli: no file given\n");
        return false;
    }
    return true;
}

// The laps of one run: the first file decides the game, as opening a file in
// the program does; the others are added to it.
struct Laps {
    GameType game = GameType::Generic;
    std::unique_ptr<BufManager> manager;
};

int OpenLaps(const Options& options, Laps& laps) {
    File first;
    std::string error;
    if (!first.Open(options.files[0], File::Mode::Read, &error)) {
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
        if (!file.Open(options.files[i], File::Mode::Read, &error)) {
            std::fprintf(stderr, "%s: %s\n", options.files[i].c_str(), error.c_str());
            continue;
        }
        laps.manager->AddBuffer(file);  // the manager has told why when it fails
    }
    return kExitOk;
}

std::uint32_t Milliseconds(double seconds) {
    const double ms = std::round(seconds * 1000.0);
    if (!(ms >= 0.0)) return 0;
    return ms > 4294967295.0 ? 0xffffffffu : static_cast<std::uint32_t>(ms);
}

int RunInfo(const Options& options) {
    Laps laps;
    if (const int rc = OpenLaps(options, laps); rc != kExitOk) return rc;
    const BufManager& manager = *laps.manager;
    for (int b = 0; b < manager.GetBufCount(); ++b) {
        const PerfCore& buffer = *manager.GetBuffer(b);
        if (b > 0) std::printf("\n");
        std::printf("file: %s\n", buffer.GetFilePath().c_str());
        std::printf("game: %s\n", GetGameName(laps.game).c_str());
        std::printf("name: %s\n", buffer.InfoGetName().c_str());
        std::printf("info: %s\n", buffer.InfoGetInfo().c_str());
        std::printf("date: %s\n", buffer.InfoGetDateString().c_str());
        std::printf("lap: %d\n", buffer.InfoGetLapnr());
        std::printf("lap time: %s\n", FormatLapTime(Milliseconds(buffer.InfoGetLapTime())).c_str());
        std::printf("track: %s\n", manager.GetTrackString(-1).c_str());
        std::printf("track length (m): %.2f\n", buffer.InfoGetTrackLength());
        std::printf("samples: %d\n", buffer.GetSampleCount());
        std::printf("setup: %s\n", buffer.IsSetupRead() ? "read from file" : "not read");
        std::vector<std::string> names;
        std::vector<std::string> values;
        buffer.InfoGetInfoItemNames(names);
        buffer.InfoGetInfoItemValues(values);
        for (std::size_t i = 0; i < names.size() && i < values.size(); ++i) {
            std::printf("%s: %s\n", names[i].c_str(), values[i].c_str());
        }
    }
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return kExitUsage;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        PrintUsage(stdout);
        return kExitOk;
    }
    if (command == "--version") {
        std::printf("%s %s\n", tarnwick::version::kProductName, tarnwick::version::kFileVersion);
        return kExitOk;
    }
    Options options;
    if (command == "info") {
        if (!ParseOptions(argc, argv, 2, options)) return kExitUsage;
        return RunInfo(options);
    }
    std::fprintf(stderr, "tarnwick-cli: unknown command '%s'\n\n", command.c_str());
    PrintUsage(stderr);
    return kExitUsage;
}
