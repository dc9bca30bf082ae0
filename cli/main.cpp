// tarnwick-cli: the headless front end on the data library.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "morlund/formats/GameStrings.h"
#include "morlund/formats/Games.h"
#include "morlund/items/CustomDataItem.h"
#include "morlund/items/DataItem.h"
#include "morlund/physics/Physics.h"
#include "morlund/platform/File.h"
#include "morlund/setup/CarSetup.h"
#include "pellith/export/ExportEngine.h"
#include "pellith/stats/StatTable.h"
#include "tarnwick/Version.h"

using namespace morlund;

namespace {

constexpr int kExitOk = 0;
constexpr int kExitLoad = 1;
constexpr int kExitUsage = 2;

void PrintUsage(std::FILE* out) {
    std::fprintf(
        out,
        "Usage: tarnwick-cli info   [--primary-game G] FILE...\n"
        "       tarnwick-cli export [--primary-game G] [-c LIST] [--buffer N|all]\n"
        "                           [--delimiter system|comma|semicolon|tab|space]\n"
        "                           [--names none|short|long] [--header] [--range FROM:TO]\n"
        "                           [--miles] [--formula-dir DIR]... [-o OUT] FILE...\n"
        "       tarnwick-cli stats  [--primary-game G] [--miles] FILE...\n"
        "       tarnwick-cli setup  [--primary-game G] [--buffer N] FILE...\n"
        "       tarnwick-cli items  [--formula-dir DIR]...\n"
        "\n"
        "  info    lap information of each file: the first file opens the laps as the\n"
        "          program does, the others are added to them\n"
        "  export  the laps' channels as a delimited text file, as the export dialog\n"
        "          writes it (to OUT, or to standard output)\n"
        "  stats   the statistics table, one column per lap\n"
        "  setup   the car setup of one lap (default the first) and what it predicts\n"
        "  items   the channels: ordinal, short name, name, type, level, quantity, unit;\n"
        "          formula channels come from the program's formula folders and each DIR\n"
        "\n"
        "  G is the primary game for GP perf files: GP2, GP3, GP3-2000, GP4, F1RS,\n"
        "  MGPRS2, Generic or LFS (default LFS).\n"
        "\n"
        "Export options:\n"
        "  -c LIST        columns, comma-separated: SHORT or SHORT.WHEEL (a short name of\n"
        "                 'items' and a wheel such as lf, rr, sum, avgfr; a per-wheel\n"
        "                 channel without a wheel gives all four), optionally followed by\n"
        "                 a range [MIN:MAX] that keeps rows inside it (either side may be\n"
        "                 empty; [!MIN:MAX] keeps rows outside it) and optionally preceded\n"
        "                 by ? (filter rows only, no column). Values are in display units.\n"
        "                 Default: every channel of level 2 or less, all wheels.\n"
        "  --buffer N|all the lap to export (default: all when several are loaded)\n"
        "  --delimiter D  system (default), comma, semicolon, tab or space\n"
        "  --names S      column-name line: none, short (default) or long\n"
        "  --header       start with the comment header\n"
        "  --range F:T    only the rows from distance F to distance T (metres)\n"
        "  --miles        imperial display units\n"
        "\n"
        "Exit status: 0 ok, 1 the first file did not load or the output could not be\n"
        "written, 2 bad arguments.\n");
}

struct Options {
    GameType primary = GameType::LFS;
    int buffer = 0;
    bool bufferGiven = false;
    bool allBuffers = false;
    std::vector<std::string> formulaDirs;
    std::vector<std::string> files;
    bool needFiles = true;
    // export and stats
    std::string columns;
    bool columnsGiven = false;
    int delimiter = 0;
    int names = pellith::ExportChoices::kShortNames;
    bool header = false;
    bool range = false;
    double rangeFrom = 0.0;
    double rangeTo = -1.0;
    bool miles = false;
    std::string output;
};

// The options each command takes besides files.
struct CommandOptions {
    bool primaryGame = false;
    bool formulaDir = false;
    bool buffer = false;
    bool bufferAll = false;
    bool exportChoices = false;
    bool miles = false;
};

// A whole number of metres, "1500" or "1500.5"; false for anything else.
bool ParseNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite(value);
}

// Index of a word in a list, -1 when it is not there.
int FindWord(const std::string& word, std::initializer_list<const char*> words) {
    int index = 0;
    for (const char* w : words) {
        if (word == w) return index;
        ++index;
    }
    return -1;
}

// Parses the options of a command; false after reporting a bad argument.
bool ParseOptions(int argc, char** argv, int first, const CommandOptions& allowed,
                  Options& options) {
    auto value = [&](int& i, const char* what) -> const char* {
        if (i + 1 >= argc) {
            std::fprintf(stderr, "tarnwick-cli: %s needs %s\n", argv[i], what);
            return nullptr;
        }
        return argv[++i];
    };
    for (int i = first; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--primary-game" && allowed.primaryGame) {
            const char* name = value(i, "a game name");
            if (name == nullptr) return false;
            const auto game = ParseGameName(name);
            if (!game) {
                std::fprintf(stderr, "tarnwick-cli: unknown game '%s'\n", name);
                return false;
            }
            options.primary = *game;
        } else if (arg == "--formula-dir" && allowed.formulaDir) {
            const char* dir = value(i, "a folder");
            if (dir == nullptr) return false;
            options.formulaDirs.push_back(dir);
        } else if (arg == "--buffer" && allowed.buffer) {
            const char* text = value(i, "a buffer number");
            if (text == nullptr) return false;
            char* end = nullptr;
            const long n = std::strtol(text, &end, 10);
            if (allowed.bufferAll && std::strcmp(text, "all") == 0) {
                options.allBuffers = true;
            } else if (end == text || *end != '\0' || n < 0 || n > 9999) {
                std::fprintf(stderr, "tarnwick-cli: --buffer needs a buffer number%s\n",
                             allowed.bufferAll ? " or all" : "");
                return false;
            } else {
                options.buffer = static_cast<int>(n);
                options.allBuffers = false;
            }
            options.bufferGiven = true;
        } else if (arg == "--miles" && allowed.miles) {
            options.miles = true;
        } else if (arg == "-c" && allowed.exportChoices) {
            const char* list = value(i, "a column list");
            if (list == nullptr) return false;
            options.columns = list;
            options.columnsGiven = true;
        } else if (arg == "--delimiter" && allowed.exportChoices) {
            const char* word = value(i, "system, comma, semicolon, tab or space");
            if (word == nullptr) return false;
            options.delimiter = FindWord(word, {"system", "comma", "semicolon", "tab", "space"});
            if (options.delimiter < 0) {
                std::fprintf(stderr, "tarnwick-cli: unknown delimiter '%s'\n", word);
                return false;
            }
        } else if (arg == "--names" && allowed.exportChoices) {
            const char* word = value(i, "none, short or long");
            if (word == nullptr) return false;
            options.names = FindWord(word, {"none", "short", "long"});
            if (options.names < 0) {
                std::fprintf(stderr, "tarnwick-cli: unknown column-name style '%s'\n", word);
                return false;
            }
        } else if (arg == "--header" && allowed.exportChoices) {
            options.header = true;
        } else if (arg == "--range" && allowed.exportChoices) {
            const char* text = value(i, "FROM:TO");
            if (text == nullptr) return false;
            const std::string range = text;
            const std::size_t colon = range.find(':');
            if (colon == std::string::npos ||
                !ParseNumber(range.substr(0, colon), options.rangeFrom) ||
                !ParseNumber(range.substr(colon + 1), options.rangeTo) ||
                options.rangeFrom > options.rangeTo) {
                std::fprintf(stderr,
                             "tarnwick-cli: --range needs FROM:TO in metres with FROM <= TO\n");
                return false;
            }
            options.range = true;
        } else if (arg == "-o" && allowed.exportChoices) {
            const char* out = value(i, "a file name");
            if (out == nullptr) return false;
            options.output = out;
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

void LoadFormulaChannels(const Options& options) {
    std::vector<std::filesystem::path> folders;
    if (const auto user = CustomDataItem::UserFormulaFolder(); !user.empty())
        folders.push_back(user);
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

// A wheel selector by its short name ("lf", "sumfr"), or null.
const Wheel* FindWheel(const std::string& shortName) {
    for (auto it = Wheel::NewIterator(); it->HasNext();) {
        const Wheel* wheel = it->GetNext();
        if (wheel->GetShortName() == shortName) return wheel;
    }
    return nullptr;
}

// One column of -c: [?]SHORT[.WHEEL][[[!]MIN:MAX]]. False after reporting why not.
bool ParseColumn(const std::string& spec, pellith::ColumnItem& column) {
    std::string text = spec;
    bool rangeOnly = false;
    if (!text.empty() && text[0] == '?') {
        rangeOnly = true;
        text.erase(0, 1);
    }
    std::string range;
    bool hasRange = false;
    if (const std::size_t open = text.find('['); open != std::string::npos) {
        if (text.back() != ']') {
            std::fprintf(stderr, "tarnwick-cli: column '%s': a range is written [MIN:MAX]\n",
                         spec.c_str());
            return false;
        }
        range = text.substr(open + 1, text.size() - open - 2);
        text.erase(open);
        hasRange = true;
    }
    // Formula channels may have dots in their short names: the whole name wins.
    const DataItem* item = DataItem::FindByShortName(text);
    const Wheel* wheel = nullptr;
    if (item == nullptr) {
        const std::size_t dot = text.rfind('.');
        if (dot != std::string::npos) {
            item = DataItem::FindByShortName(text.substr(0, dot));
            wheel = FindWheel(text.substr(dot + 1));
            if (item != nullptr && wheel == nullptr) {
                std::fprintf(stderr, "tarnwick-cli: column '%s': unknown wheel '%s'\n",
                             spec.c_str(), text.substr(dot + 1).c_str());
                return false;
            }
        }
    }
    if (item == nullptr) {
        std::fprintf(stderr,
                     "tarnwick-cli: column '%s': no such channel (see 'tarnwick-cli items')\n",
                     spec.c_str());
        return false;
    }
    if (wheel != nullptr && item->GetDataType() != DataItem::DT_WHEEL) {
        std::fprintf(stderr, "tarnwick-cli: column '%s': %s is not a per-wheel channel\n",
                     spec.c_str(), item->GetShortName().c_str());
        return false;
    }
    column = pellith::ColumnItem::Make(item, wheel != nullptr ? wheel : Wheel::ALL);
    column.rangeOnly = rangeOnly;
    if (hasRange) {
        if (!range.empty() && range[0] == '!') {
            column.exclude = true;
            range.erase(0, 1);
        }
        const std::size_t colon = range.find(':');
        const std::string low = range.substr(0, colon);
        const std::string high = colon == std::string::npos ? "" : range.substr(colon + 1);
        if (colon == std::string::npos || (!low.empty() && !ParseNumber(low, column.minimum)) ||
            (!high.empty() && !ParseNumber(high, column.maximum))) {
            std::fprintf(stderr, "tarnwick-cli: column '%s': a range is written [MIN:MAX]\n",
                         spec.c_str());
            return false;
        }
    }
    return true;
}

bool ParseColumns(const std::string& list, std::vector<pellith::ColumnItem>& columns) {
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = list.find(',', start);
        const std::string spec = list.substr(start, comma - start);
        if (spec.empty()) {
            std::fprintf(stderr, "tarnwick-cli: -c has an empty column\n");
            return false;
        }
        pellith::ColumnItem column;
        if (!ParseColumn(spec, column)) return false;
        columns.push_back(column);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return true;
}

// Standard output as an export sink.
class StdoutSink : public pellith::ExportSink {
public:
    bool Write(const char* data, std::size_t size) override {
        return std::fwrite(data, 1, size, stdout) == size;
    }
};

int RunExport(const Options& options) {
    DataItem::SetDistanceInMiles(options.miles);
    LoadFormulaChannels(options);
    pellith::ExportChoices choices;
    if (options.columnsGiven) {
        if (!ParseColumns(options.columns, choices.columns)) return kExitUsage;
    } else {
        choices.columns = pellith::MakeAllColumns();
    }
    Laps laps;
    if (const int rc = OpenLaps(options, laps); rc != kExitOk) return rc;
    const BufManager& manager = *laps.manager;
    // As the dialog opens: all buffers when several are loaded, else the first.
    if (options.allBuffers || (!options.bufferGiven && manager.GetBufCount() > 1)) {
        choices.buffer = pellith::ExportChoices::kAllBuffers;
    } else if (!manager.HasBuffer(options.buffer)) {
        std::fprintf(stderr, "tarnwick-cli: there is no buffer %d (%d loaded)\n", options.buffer,
                     manager.GetBufCount());
        return kExitUsage;
    } else {
        choices.buffer = options.buffer;
    }
    choices.delimiterChoice = options.delimiter;
    choices.columnNames = options.names;
    choices.header = options.header;
    choices.selectedOnly = options.range;
    if (options.range) {
        choices.distanceFrom = options.rangeFrom;
        choices.distanceTo = options.rangeTo;
    }

    if (!options.output.empty()) {
        const pellith::ExportResult result =
            pellith::ExportToFile(manager, choices, options.output);
        if (!result.IsOk()) {
            std::fprintf(stderr, "%s: %s\n", options.output.c_str(), result.message.c_str());
            return result.status == pellith::ExportResult::kNoColumns ? kExitUsage : kExitLoad;
        }
        return kExitOk;
    }
    StdoutSink sink;
    if (!pellith::WriteExport(manager, choices, sink) || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "tarnwick-cli: Error writing file\n");
        return kExitLoad;
    }
    return kExitOk;
}

int RunStats(const Options& options) {
    DataItem::SetDistanceInMiles(options.miles);
    Laps laps;
    if (const int rc = OpenLaps(options, laps); rc != kExitOk) return rc;
    const BufManager& manager = *laps.manager;
    const pellith::StatTable table =
        pellith::BuildStatTable(manager, pellith::GetStatTrackName(manager), options.miles);
    std::fputs(pellith::FormatStatTable(table).c_str(), stdout);
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
    CommandOptions allowed;
    int (*run)(const Options&) = nullptr;
    if (command == "info") {
        allowed.primaryGame = true;
        run = RunInfo;
    } else if (command == "export") {
        allowed.primaryGame = allowed.formulaDir = allowed.buffer = allowed.bufferAll = true;
        allowed.exportChoices = allowed.miles = true;
        run = RunExport;
    } else if (command == "stats") {
        allowed.primaryGame = allowed.miles = true;
        run = RunStats;
    } else if (command == "setup") {
        allowed.primaryGame = allowed.buffer = true;
        run = RunSetup;
    } else if (command == "items") {
        allowed.formulaDir = true;
        options.needFiles = false;
        run = RunItems;
    }
    if (run != nullptr) {
        if (!ParseOptions(argc, argv, 2, allowed, options)) return kExitUsage;
        return run(options);
    }
    std::fprintf(stderr, "tarnwick-cli: unknown command '%s'\n\n", command.c_str());
    PrintUsage(stderr);
    return kExitUsage;
}
