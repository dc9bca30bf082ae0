// Writes a seed corpus for fuzz_raf from lapgen laps: the game's block order and
// others, unknown track length, low-rate and wider blocks, split counts from 0 to
// beyond 4, a sub-block reaching past its block.

#include <cstdio>
#include <filesystem>
#include <string>

#include "lapgen/GP2Writer.h"
#include "lapgen/RafWriter.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_raf_seeds DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    lapgen::LapSpec spec;
    spec.sampleCount = 40;
    spec.trackLength = 150;
    const lapgen::Lap lap = lapgen::MakeLap(spec);
    std::vector<lapgen::RafOptions> variants(6);
    variants[0].intervalMs = 200;
    variants[1].setup.blockOfWheel = {3, 2, 1, 0};
    variants[1].trackLengthKnown = false;
    variants[1].intervalMs = 250;
    variants[2].splitFractions = {};
    variants[2].splitCountOverride = 0;
    variants[2].intervalMs = 100;
    variants[3].splitCountOverride = 7;
    variants[3].blockSize = 100;
    variants[3].wheelSubBlockSize = 12;
    variants[3].intervalMs = 150;
    variants[4].wheelSubBlockSize = 40;
    variants[4].player = "^1A^8B^9C";
    variants[4].intervalMs = 200;
    variants[5].blockSize = 256;
    variants[5].firstWheelSubBlock = 90;
    variants[5].wheelSubBlockSize = 41;
    variants[5].intervalMs = 220;
    int k = 0;
    for (const lapgen::RafOptions& options : variants) {
        lapgen::WriteFile(dir / ("seed" + std::to_string(k++)),
                          lapgen::WriteRaf(lapgen::EncodeRaf(lap, options), options));
    }
    return 0;
}
