// Writes a seed corpus for fuzz_gp2seg from a lapgen lap: segment files of
// versions 1 to 3 behind the scale byte, all named after checksum 0x12345678
// as the target names its input.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "lapgen/GP2Writer.h"
#include "lapgen/SegWriter.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_gp2seg_seeds DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    lapgen::LapSpec spec;
    spec.sampleCount = 40;
    spec.trackLength = 300;
    const lapgen::SegTrack track = lapgen::BuildSegTrack(lapgen::MakeLap(spec), 0x12345678);
    int k = 0;
    for (std::uint32_t version : {1u, 2u, 3u}) {
        for (int scale : {1, 7}) {
            lapgen::SegWriteOptions options;
            options.version = version;
            std::vector<std::uint8_t> seed{static_cast<std::uint8_t>(scale)};
            const std::vector<std::uint8_t> file = lapgen::WriteSeg(track, options);
            seed.insert(seed.end(), file.begin(), file.end());
            lapgen::WriteFile(dir / ("seed" + std::to_string(k++)), seed);
        }
    }
    return 0;
}
