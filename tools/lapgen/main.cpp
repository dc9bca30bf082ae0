// lapgen: writes synthetic telemetry files for tests and demos.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lapgen/CsvWriter.h"
#include "lapgen/F1RSWriter.h"
#include "lapgen/GP2Writer.h"
#include "lapgen/GP3Writer.h"
#include "lapgen/Model.h"
#include "lapgen/RafWriter.h"
#include "lapgen/SegWriter.h"
#include "lapgen/SetupWriter.h"
#include "lapgen/SmxWriter.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

void PrintUsage(std::FILE* to) {
    std::fputs(
        "usage: lapgen --demo DIR\n"
        "       lapgen gp2 [--seed N] [--samples N] [--track N] [--version 0|5|6|7]\n"
        "                  [--compress] -o FILE\n"
        "\n"
        "  --demo DIR   write demo laps of every game into DIR/<game> (some with car setups)\n"
        "  gp2          write one GP2 performance file\n"
        "    --seed N       track outline seed (default 1)\n"
        "    --samples N    samples in the lap, 2..1000000 (default 2000)\n"
        "    --track N      track number 0..25 recorded in the file (default 3)\n"
        "    --version V    Strelko extension version, 0 = none (default 7)\n"
        "    --compress     store the body compressed\n"
        "    -o FILE        output file\n",
        to);
}

int UsageError(const std::string& message) {
    std::fprintf(stderr, "lapgen: %s\n\n", message.c_str());
    PrintUsage(stderr);
    return kExitUsage;
}

template <typename T>
std::optional<T> ParseNumber(std::string_view text, T lo, T hi) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < lo || value > hi) {
        return std::nullopt;
    }
    return value;
}

void Report(const std::filesystem::path& path, std::size_t bytes, const std::string& what) {
    std::printf("%-28s %8zu bytes  %s\n", path.string().c_str(), bytes, what.c_str());
}

// GP2 laps of one track, with and without the extension, some with setups.
void WriteGP2Demo(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir);
    struct DemoLap {
        const char* stem;
        int lapNumber;
        int samples;
        double grip;
        lapgen::GP2WriteOptions options;
        bool setup;
        const char* description;
    };
    lapgen::GP2WriteOptions compressedV7;
    compressedV7.compress = true;
    compressedV7.strelkoVersion = 7;
    lapgen::GP2WriteOptions plainV5;
    plainV5.strelkoVersion = 5;
    plainV5.checksum = lapgen::Checksum::Offset;
    lapgen::GP2WriteOptions bare;
    bare.strelkoVersion = 0;
    const std::vector<DemoLap> laps = {
        {"lap07", 7, 2000, 1.00, compressedV7, true, "compressed, Strelko v7"},
        {"lap08", 8, 1600, 0.97, plainV5, false, "plain, Strelko v5, offset checksum"},
        {"lap09", 9, 1200, 0.94, bare, true, "plain, no extension"},
    };

    lapgen::LapSpec spec;
    spec.seed = 20240611;
    spec.track = 3;
    const auto setupRecord = lapgen::DefaultSetupRecord();
    for (const DemoLap& demo : laps) {
        spec.lapNumber = demo.lapNumber;
        spec.sampleCount = demo.samples;
        spec.gripScale = demo.grip;
        spec.seconds = 9 + 2 * demo.lapNumber;
        const lapgen::Lap lap = lapgen::MakeLap(spec);
        const lapgen::GP2Raw raw = lapgen::EncodeGP2(lap);
        const auto file = lapgen::WriteGP2Perf(raw, demo.options);
        const auto path = dir / (std::string(demo.stem) + lapgen::GP2PerfExtension(spec.track));
        lapgen::WriteFile(path, file);
        char what[160];
        std::snprintf(what, sizeof what, "lap %d, %d samples, %.3f s, %.1f m; %s", demo.lapNumber,
                      demo.samples, lap.lapTime, lap.trackLength, demo.description);
        Report(path, file.size(), what);
        if (demo.setup) {
            const auto setup = lapgen::WriteGP2Setup(spec.track, setupRecord);
            const auto setupPath =
                dir / (std::string(demo.stem) + lapgen::GP2SetupExtension(spec.track));
            lapgen::WriteFile(setupPath, setup);
            Report(setupPath, setup.size(), "car setup");
        }
        if (&demo == &laps.front()) {
            // The track outline, named after the checksum the first lap gives the track.
            const std::uint32_t checksum = lapgen::GP2LapTrackChecksum(raw, demo.options);
            const auto seg = lapgen::WriteSeg(lapgen::BuildSegTrack(lap, checksum));
            std::filesystem::create_directories(dir / "strelkod");
            const auto segPath = dir / "strelkod" / lapgen::SegFileName(checksum);
            lapgen::WriteFile(segPath, seg);
            Report(segPath, seg.size(), "track segments with pit lane and kerbs");
        }
    }
}

// One lap of a later GP game, compressed, with its setup file beside it.
void WriteGP3Demo(const std::filesystem::path& dir, lapgen::GP3Game game,
                  lapgen::GPSetupGame setupGame, const char* what) {
    std::filesystem::create_directories(dir);
    lapgen::LapSpec spec;
    spec.seed = 20240612;
    spec.track = 3;
    spec.sampleCount = 2000;
    const lapgen::Lap lap = lapgen::MakeLap(spec);
    lapgen::GP3WriteOptions options;
    options.compress = true;
    const auto file = lapgen::WriteGP3Perf(game, lapgen::EncodeGP3(lap), options);
    const auto path = dir / ("lap07" + lapgen::GP2PerfExtension(spec.track));
    lapgen::WriteFile(path, file);
    Report(path, file.size(), what);
    const auto setup =
        lapgen::WriteGP3Setup(setupGame, spec.track, lapgen::DefaultGP3SetupRecord());
    const auto setupPath = dir / ("lap07" + lapgen::GP2SetupExtension(spec.track));
    lapgen::WriteFile(setupPath, setup);
    Report(setupPath, setup.size(), "car setup");
}

// LFS laps laid out as in the game's folder: replays in data/raf.
void WriteLFSDemo(const std::filesystem::path& dir) {
    const std::filesystem::path raf = dir / "data" / "raf";
    std::filesystem::create_directories(raf);
    lapgen::LapSpec spec;
    spec.seed = 20240613;
    spec.trackLength = 2600;
    spec.sampleCount = 12000;  // finer than the files' 10 ms, so positions follow the curves
    const struct {
        int number;
        double grip;
        const char* player;
    } laps[] = {{1, 1.0, "^1Tarn^7wick"}, {2, 0.97, "^1Tarn^7wick"}, {3, 1.03, "^4Guest"}};
    for (const auto& demo : laps) {
        spec.gripScale = demo.grip;
        const lapgen::Lap lap = lapgen::MakeLap(spec);
        lapgen::RafOptions options;
        options.player = demo.player;
        const auto bytes = lapgen::WriteRaf(lapgen::EncodeRaf(lap, options), options);
        const auto path = raf / ("lap" + std::to_string(demo.number) + ".raf");
        lapgen::WriteFile(path, bytes);
        char what[120];
        std::snprintf(what, sizeof what, "LFS lap %d, %.3f s, %.1f m", demo.number, lap.lapTime,
                      lap.trackLength);
        Report(path, bytes.size(), what);
        if (demo.number == 1) {
            const std::filesystem::path smx = dir / "data" / "smx";
            std::filesystem::create_directories(smx);
            const auto mesh = lapgen::WriteSmx(lapgen::BuildSmxMesh(lap));
            const auto meshPath = smx / lapgen::SmxFileName(options.track);
            lapgen::WriteFile(meshPath, mesh);
            Report(meshPath, mesh.size(), "LFS track mesh with checkpoints");
        }
    }
}

int RunDemo(const std::filesystem::path& dir) {
    WriteGP2Demo(dir / "gp2");
    WriteGP3Demo(dir / "gp3", lapgen::GP3Game::GP3, lapgen::GPSetupGame::GP3, "GP3 lap");
    WriteGP3Demo(dir / "gp3-2000", lapgen::GP3Game::GP32K, lapgen::GPSetupGame::GP32K,
                 "GP3-2000 lap");
    WriteGP3Demo(dir / "gp4", lapgen::GP3Game::GP4, lapgen::GPSetupGame::GP4, "GP4 lap");

    lapgen::LapSpec spec;
    spec.seed = 20240613;
    spec.track = 3;
    spec.sampleCount = 2000;
    const lapgen::Lap lap = lapgen::MakeLap(spec);
    std::filesystem::create_directories(dir / "f1rs");
    const auto tlm = dir / "f1rs" / "lap07.tlm";
    lapgen::WriteF1RSLap(tlm, lap);
    Report(tlm, std::filesystem::file_size(tlm), "F1RS telemetry");
    std::filesystem::create_directories(dir / "mgprs2");
    const auto save1 = lapgen::WriteMGPLap(dir / "mgprs2", lap);
    Report(save1, std::filesystem::file_size(save1), "MGPRS2 telemetry (with save2, save3)");
    std::filesystem::create_directories(dir / "generic");
    const auto csv = lapgen::WriteGenericCsv(lap);
    const auto csvPath = dir / "generic" / "lap07.csv";
    lapgen::WriteFile(csvPath, csv);
    Report(csvPath, csv.size(), "generic comma-separated lap");
    WriteLFSDemo(dir / "lfs");
    return kExitOk;
}

int RunGP2(const std::vector<std::string_view>& args) {
    lapgen::LapSpec spec;
    lapgen::GP2WriteOptions options;
    std::optional<std::filesystem::path> output;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--compress") {
            options.compress = true;
            continue;
        }
        if (arg != "--seed" && arg != "--samples" && arg != "--track" && arg != "--version" &&
            arg != "-o") {
            return UsageError("unknown option '" + std::string(arg) + "'");
        }
        if (i + 1 >= args.size()) {
            return UsageError("option " + std::string(arg) + " needs a value");
        }
        const std::string_view value = args[++i];
        const auto bad = [&] {
            return UsageError("bad value '" + std::string(value) + "' for " + std::string(arg));
        };
        if (arg == "-o") {
            output = std::filesystem::path(value);
        } else if (arg == "--seed") {
            const auto seed = ParseNumber<std::uint64_t>(value, 0, UINT64_MAX);
            if (!seed) {
                return bad();
            }
            spec.seed = *seed;
        } else if (arg == "--samples") {
            const auto samples = ParseNumber<int>(value, 2, 1000000);
            if (!samples) {
                return bad();
            }
            spec.sampleCount = *samples;
        } else if (arg == "--track") {
            const auto track = ParseNumber<int>(value, 0, 25);
            if (!track) {
                return bad();
            }
            spec.track = *track;
        } else {
            const auto version = ParseNumber<int>(value, 0, 7);
            if (!version || (*version != 0 && *version < 5)) {
                return bad();
            }
            options.strelkoVersion = *version;
        }
    }
    if (!output) {
        return UsageError("gp2 needs -o FILE");
    }
    const lapgen::Lap lap = lapgen::MakeLap(spec);
    const auto file = lapgen::WriteGP2Perf(lapgen::EncodeGP2(lap), options);
    lapgen::WriteFile(*output, file);
    char what[120];
    std::snprintf(what, sizeof what, "%d samples, %.3f s, %.1f m", spec.sampleCount, lap.lapTime,
                  lap.trackLength);
    Report(*output, file.size(), what);
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    try {
        if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
            PrintUsage(stdout);
            return kExitOk;
        }
        if (!args.empty() && args[0] == "--demo") {
            if (args.size() != 2) {
                return UsageError("--demo takes exactly one directory");
            }
            return RunDemo(std::filesystem::path(args[1]));
        }
        if (!args.empty() && args[0] == "gp2") {
            return RunGP2({args.begin() + 1, args.end()});
        }
        return UsageError(args.empty() ? "no command given"
                                       : "unknown command '" + std::string(args[0]) + "'");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "lapgen: %s\n", e.what());
        return kExitFailure;
    }
}
