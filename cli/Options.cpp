#include "cli/Options.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <optional>

#include "pellith/analysis/Sectors.h"
#include "pellith/export/ColumnSpec.h"

using namespace morlund;

namespace cli {

namespace {

// Index of a word in a list, -1 when it is not there.
int FindWord(const std::string& word, std::initializer_list<const char*> words) {
    int index = 0;
    for (const char* w : words) {
        if (word == w) return index;
        ++index;
    }
    return -1;
}

}  // namespace

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
        "       tarnwick-cli sectors [--primary-game G] [--count N | --splits] [--miles]\n"
        "                            [--delimiter D] FILE...\n"
        "       tarnwick-cli corners [--primary-game G] [--miles] [--delimiter D] FILE...\n"
        "\n"
        "  info    lap information of each file: the first file opens the laps as the\n"
        "          program does, the others are added to them\n"
        "  export  the laps' channels as a delimited text file, as the export dialog\n"
        "          writes it (to OUT, or to standard output)\n"
        "  stats   the statistics table, one column per lap\n"
        "  setup   the car setup of one lap (default the first) and what it predicts\n"
        "  items   the channels: ordinal, short name, name, type, level, quantity, unit;\n"
        "          formula channels come from the program's formula folders and each DIR\n"
        "  sectors the laps cut into N sectors of equal distance (default 20) or at the\n"
        "          game's split points (--splits): each sector's time (the best marked *),\n"
        "          the theoretical best lap and each lap's gap to it\n"
        "  corners the corners of the fastest lap, found from its path, on every lap:\n"
        "          entry, apex and exit speed, apex distance, time through the corner and\n"
        "          the difference to the fastest lap\n"
        "  With --delimiter D the tables are delimited lines for machine reading.\n"
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
        } else if (arg == "--count" && allowed.sectors) {
            const char* text = value(i, "a sector count");
            if (text == nullptr) return false;
            char* end = nullptr;
            const long n = std::strtol(text, &end, 10);
            if (end == text || *end != '\0' || n < 1 || n > pellith::kMaxSectorCount) {
                std::fprintf(stderr, "tarnwick-cli: --count needs a number from 1 to %d\n",
                             pellith::kMaxSectorCount);
                return false;
            }
            options.sectorCount = static_cast<int>(n);
        } else if (arg == "--splits" && allowed.sectors) {
            options.gameSplits = true;
        } else if (arg == "--delimiter" && (allowed.exportChoices || allowed.delimiter)) {
            const char* word = value(i, "system, comma, semicolon, tab or space");
            if (word == nullptr) return false;
            options.delimiter = FindWord(word, {"system", "comma", "semicolon", "tab", "space"});
            if (options.delimiter < 0) {
                std::fprintf(stderr, "tarnwick-cli: unknown delimiter '%s'\n", word);
                return false;
            }
            options.delimiterGiven = true;
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
            const auto from = colon == std::string::npos
                                  ? std::nullopt
                                  : pellith::ParseNumber(range.substr(0, colon));
            const auto to = colon == std::string::npos
                                ? std::nullopt
                                : pellith::ParseNumber(range.substr(colon + 1));
            if (!from || !to || *from > *to) {
                std::fprintf(stderr,
                             "tarnwick-cli: --range needs FROM:TO in metres with FROM <= TO\n");
                return false;
            }
            options.rangeFrom = *from;
            options.rangeTo = *to;
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

}  // namespace cli
