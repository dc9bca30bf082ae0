// tarnwick-cli: the headless front end on the data library. This file only
// picks the command; each command lives in its own file.

#include <cstdio>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "morlund/platform/Process.h"
#include "tarnwick/Version.h"

namespace {

struct Command {
    const char* name;
    cli::CommandOptions allowed;
    bool needFiles;
    int (*run)(const cli::Options&);
};

const Command kCommands[] = {
    {"info", {.primaryGame = true}, true, cli::RunInfo},
    {"export",
     {.primaryGame = true,
      .formulaDir = true,
      .buffer = true,
      .bufferAll = true,
      .exportChoices = true,
      .miles = true},
     true,
     cli::RunExport},
    {"stats", {.primaryGame = true, .miles = true}, true, cli::RunStats},
    {"setup", {.primaryGame = true, .buffer = true}, true, cli::RunSetup},
    {"items", {.formulaDir = true}, false, cli::RunItems},
    {"sectors",
     {.primaryGame = true, .miles = true, .delimiter = true, .sectors = true},
     true,
     cli::RunSectors},
    {"corners", {.primaryGame = true, .miles = true, .delimiter = true}, true, cli::RunCorners},
};

}  // namespace

int main(int argc, char** argv) {
    // The arguments as UTF-8, and output bytes exactly as written (CR LF stays CR LF).
    std::vector<std::string> arguments = morlund::CommandLineArguments(argc, argv);
    std::vector<char*> utf8;
    for (std::string& a : arguments)
        utf8.push_back(a.data());
    utf8.push_back(nullptr);
    argv = utf8.data();
    morlund::SetBinaryStream(stdout);
    morlund::SetBinaryStream(stderr);
    if (argc < 2) {
        cli::PrintUsage(stderr);
        return cli::kExitUsage;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        cli::PrintUsage(stdout);
        return cli::kExitOk;
    }
    if (command == "--version") {
        std::printf("%s %s\n", tarnwick::version::kProductName, tarnwick::version::kFileVersion);
        return cli::kExitOk;
    }
    for (const Command& c : kCommands) {
        if (command != c.name) continue;
        cli::Options options;
        options.needFiles = c.needFiles;
        if (!cli::ParseOptions(argc, argv, 2, c.allowed, options)) return cli::kExitUsage;
        return c.run(options);
    }
    std::fprintf(stderr, "tarnwick-cli: unknown command '%s'\n\n", command.c_str());
    cli::PrintUsage(stderr);
    return cli::kExitUsage;
}
