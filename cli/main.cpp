// tarnwick-cli: the headless front end on the data library.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "morlund/formats/CarSetup.h"
#include "morlund/formats/GameStrings.h"
#include "morlund/formats/Games.h"
#include "morlund/items/CustomDataItem.h"
#include "morlund/items/DataItem.h"
#include "morlund/physics/Physics.h"
#include "morlund/platform/File.h"
#include "tarnwick/Version.h"

using namespace morlund;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitLoad = 1;
constexpr int kExitUsage = 2;

void PrintUsage(std::FILE* out) {
    std::fprintf(out,
                 "Usage: tarnwick-cli info  [--primary-game G] FILE...\n"
                 "       tarnwick-cli setup [--primary-game G] [--buffer N] FILE...\n"
                 "       tarnwick-cli items [--formula-dir DIR]...\n"
                 "\n"
                 "  info   lap information of each file: the first file opens the laps as the\n"
                 "         program does, the others are added to them\n"
                 "  setup  the car setup of one lap (default the first) and what it predicts\n"
                 "  items  the channels: ordinal, short name, name, type, level, quantity, unit;\n"
                 "         formula channels come from the program's formula folders and each DIR\n"
                 "\n"
                 "  G is the primary game for GP perf files: GP2, GP3, GP3-2000, GP4, F1RS,\n"
                 "  MGPRS2, Generic or LFS (default LFS).\n"
                 "\n"
                 "Exit status: 0 ok, 1 the first file did not load, 2 bad arguments.\n");
}

struct Options {
    GameType primary = GameType::LFS;
    int buffer = 0;
    std::vector<std::string> formulaDirs;
    std::vector<std::string> files;
    bool needFiles = true;
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
        } else if (arg == "--formula-dir") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "tarnwick-cli: --formula-dir needs a folder\n");
                return false;
            }
            options.formulaDirs.push_back(argv[++i]);
        } else if (arg == "--buffer") {
            char* end = nullptr;
            const long n = i + 1 < argc ? std::strtol(argv[i + 1], &end, 10) : -1;
            if (i + 1 >= argc || end == argv[i + 1] || *end != '\0' || n < 0 || n > 9999) {
                std::fprintf(stderr, "tarnwick-cli: --buffer needs a buffer number\n");
                return false;
            }
            options.buffer = static_cast<int>(n);
            ++i;
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "tarnwick-cli: unknown option '%s'\n", arg.c_str());
            return false;
        } else {
            options.files.push_back(arg);
        }
    }
    if (options.needFiles && options.files.empty()) {
        std::fprintf(stderr, "tarnwick-cli: no file given\n");
        return false;
    }
    if (!options.needFiles && !options.files.empty()) {
        std::fprintf(stderr, "tarnwick-cli: unexpected argument '%s'\n", options.files[0].c_str());
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

// Four wheel values in the order left rear, right rear, left front, right front.
std::string PerWheel(const char* format, double (*value)(const CarSetup&, int), const CarSetup& s) {
    std::string line;
    static constexpr const char* kWheels[4] = {"LR", "RR", "LF", "RF"};
    for (int w = 0; w < 4; ++w) {
        char cell[64];
        std::snprintf(cell, sizeof cell, format, value(s, w));
        line += std::string(w > 0 ? "  " : "") + kWheels[w] + " " + cell;
    }
    return line;
}

std::string Speed(double metresPerSecond, const char* format) {
    if (!(metresPerSecond > 0.0) || !std::isfinite(metresPerSecond)) return "\u2014";
    char text[64];
    std::snprintf(text, sizeof text, format, metresPerSecond * 3.6);
    return text;
}

// Ratios as the setup editor shows them: in 64ths.
std::string Sixtyfourths(double ratio) {
    const int v = static_cast<int>(ratio * 64.0 + 0.5);
    if (v == 0) return "off";
    char text[32];
    std::snprintf(text, sizeof text, "%2d : 64", v);
    return text;
}

int RunSetup(const Options& options) {
    Laps laps;
    if (const int rc = OpenLaps(options, laps); rc != kExitOk) return rc;
    const BufManager& manager = *laps.manager;
    if (!manager.HasBuffer(options.buffer)) {
        std::fprintf(stderr, "tarnwick-cli: there is no buffer %d (%d loaded)\n", options.buffer,
                     manager.GetBufCount());
        return kExitUsage;
    }
    const PerfCore& buffer = *manager.GetBuffer(options.buffer);
    const CarSetup& s = *buffer.GetSetup();
    const Physics& physics = *buffer.GetPhysics();

    std::printf("buffer: %d\n", options.buffer);
    std::printf("file: %s\n", buffer.GetFilePath().c_str());
    std::printf("name: %s\n", buffer.InfoGetName().c_str());
    std::printf("track: %s\n", manager.GetTrackString(-1).c_str());
    std::printf("setup: %s\n", buffer.IsSetupRead() ? "read from file" : "not read");
    std::printf("setup track: %s\n", manager.GetTrackString(s.GetTrack()).c_str());
    std::printf("front wing: %g\n", s.GetFrontWing());
    std::printf("rear wing: %g\n", s.GetRearWing());
    std::printf("brake balance: %.3f%% front\n", s.GetBrakeBalance() * 100.0);
    for (int g = 1; g <= s.GetGearCount(); ++g) {
        std::printf("gear %d: %s (%.4f)\n", g, Sixtyfourths(s.GetGearRatio(g)).c_str(),
                    s.GetGearRatio(g));
    }
    std::printf("final drive: %.6f\n", s.GetDiffRatio());
    std::printf("front anti-roll bar (N/mm): %.1f\n", s.GetFrontAntiRollBar() * 0.001);
    std::printf("rear anti-roll bar (N/mm): %.1f\n", s.GetRearAntiRollBar() * 0.001);
    std::printf(
        "ride height (mm): %s\n",
        PerWheel(
            "%.1f", [](const CarSetup& c, int w) { return c.GetStaticRideHeight(w) * 1000; }, s)
            .c_str());
    std::printf("packers (mm): %s\n",
                PerWheel(
                    "%.1f", [](const CarSetup& c, int w) { return c.GetPackers(w) * 1000; }, s)
                    .c_str());
    std::printf(
        "max travel (mm): %s\n",
        PerWheel(
            "%.1f", [](const CarSetup& c, int w) { return c.GetMaxSuspTravel(w) * 1000; }, s)
            .c_str());
    std::printf("spring (N/mm): %s\n",
                PerWheel(
                    "%.1f", [](const CarSetup& c, int w) { return c.GetSpringRate(w) * 0.001; }, s)
                    .c_str());
    std::printf("slow bump: %s\n",
                PerWheel(
                    "%.3f", [](const CarSetup& c, int w) { return c.GetSlowBump(w); }, s)
                    .c_str());
    std::printf("slow rebound: %s\n",
                PerWheel(
                    "%.3f", [](const CarSetup& c, int w) { return c.GetSlowRebound(w); }, s)
                    .c_str());
    std::printf("fast bump: %s\n",
                PerWheel(
                    "%.3f", [](const CarSetup& c, int w) { return c.GetFastBump(w); }, s)
                    .c_str());
    std::printf("fast rebound: %s\n",
                PerWheel(
                    "%.3f", [](const CarSetup& c, int w) { return c.GetFastRebound(w); }, s)
                    .c_str());

    std::printf("predicted max speed: %s\n",
                Speed(physics.CalcPredictedMaxSpeed(s), "%.1f km/h").c_str());
    std::printf("best top gear: %s\n",
                Sixtyfourths(physics.CalcPredictedBestTopGearRatio(s)).c_str());
    for (int g = 1; g <= s.GetGearCount(); ++g) {
        std::printf("max speed in gear %d: %s\n", g,
                    Speed(physics.CalcMaxSpeedForGear(s, g), "%.0f km/h").c_str());
    }
    static constexpr const char* kWheels[4] = {"LR", "RR", "LF", "RF"};
    std::string packers;
    std::string plank;
    for (int w = 0; w < 4; ++w) {
        const std::string gap = w > 0 ? "  " : "";
        packers +=
            gap + kWheels[w] + " " + Speed(physics.CalcPredictedSpeedToHitPackers(s, w), "%.1f");
        plank += gap + kWheels[w] + " " + Speed(physics.CalcPredictedSpeedToHitPlank(s, w), "%.1f");
    }
    std::printf("speed to hit packers (km/h): %s\n", packers.c_str());
    std::printf("speed to hit plank (km/h): %s\n", plank.c_str());
    return kExitOk;
}

// The user's own formula folder, where the program keeps it: the application
// data folder of "Ravelle/Tarnwick".
std::filesystem::path UserFormulaFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    std::filesystem::path base;
    if (data != nullptr && *data != '\0') {
        base = data;
    } else if (home != nullptr && *home != '\0') {
        base = std::filesystem::path(home) / ".local" / "share";
    } else {
        return {};
    }
    return base / "Ravelle" / "Tarnwick" / "formula";
}

void LoadFormulaChannels(const Options& options) {
    std::vector<std::filesystem::path> folders;
    if (const auto user = UserFormulaFolder(); !user.empty()) folders.push_back(user);
    for (const auto& dir : options.formulaDirs)
        folders.emplace_back(dir);
    CustomDataItem::InitCustomDataItems(folders);
}

int RunItems(const Options& options) {
    LoadFormulaChannels(options);
    std::printf("%s\t%s\t%s\t%s\t%s\t%s\t%s\n", "ordinal", "short name", "name", "type", "level",
                "quantity", "unit");
    for (auto it = DataItem::NewIterator(); it->HasNext();) {
        const DataItem* item = it->GetNext();
        std::printf(
            "%d\t%s\t%s\t%s\t%d\t%s\t%s\n", item->GetOrdinal(), item->GetShortName().c_str(),
            item->GetName().c_str(), DataItem::GetDataTypeName(item->GetDataType()),
            static_cast<int>(item->GetLevel()), DataItem::GetQuantityName(item->GetQuantity()),
            item->GetShortConvertedQuantityName().c_str());
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
    if (command == "items") {
        options.needFiles = false;
        if (!ParseOptions(argc, argv, 2, options)) return kExitUsage;
        return RunItems(options);
    }
    if (command == "setup") {
        if (!ParseOptions(argc, argv, 2, options)) return kExitUsage;
        return RunSetup(options);
    }
    std::fprintf(stderr, "tarnwick-cli: unknown command '%s'\n\n", command.c_str());
    PrintUsage(stderr);
    return kExitUsage;
}
