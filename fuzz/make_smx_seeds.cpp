// Writes a seed corpus for fuzz_smx from lapgen laps: meshes with and without
// a trailer, and a few damaged ones that stop at different checks.

#include <cstdio>
#include <filesystem>
#include <string>

#include "lapgen/GP2Writer.h"
#include "lapgen/SmxWriter.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_smx_seeds DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    lapgen::LapSpec spec;
    spec.sampleCount = 30;
    spec.trackLength = 400;
    lapgen::SmxMeshOptions small;
    small.checkpoints = 2;
    small.sceneryCount = 2;
    const lapgen::SmxMesh mesh = lapgen::BuildSmxMesh(lapgen::MakeLap(spec), small);
    int k = 0;
    auto write = [&](const lapgen::SmxWriteOptions& options) {
        lapgen::WriteFile(dir / ("seed" + std::to_string(k++)), lapgen::WriteSmx(mesh, options));
    };
    lapgen::SmxWriteOptions options;
    write(options);
    options.noTrailer = true;
    write(options);
    options = {};
    options.trailerEntryOutOfRange = true;
    write(options);
    options = {};
    options.triangleIndexOutOfRange = true;
    write(options);
    options = {};
    options.brokenObject = 1;
    options.pointCountOverride = 1000;
    write(options);
    options = {};
    options.truncateBy = 6;
    write(options);
    return 0;
}
