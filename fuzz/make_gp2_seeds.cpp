// Writes a seed corpus for fuzz_gp2 from lapgen laps: whole files (mode 0)
// and stored bodies (modes 1 and 3) of every extension version.

#include <cstdio>
#include <filesystem>
#include <string>

#include "lapgen/GP2Writer.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_gp2_seeds DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    lapgen::LapSpec spec;
    spec.sampleCount = 24;
    spec.trackLength = 400;
    const lapgen::GP2Raw raw = lapgen::EncodeGP2(lapgen::MakeLap(spec));
    int k = 0;
    for (int version : {0, 5, 6, 7}) {
        for (bool compress : {false, true}) {
            lapgen::GP2WriteOptions options;
            options.strelkoVersion = version;
            options.compress = compress;
            auto write = [&](std::uint8_t mode, const std::vector<std::uint8_t>& bytes) {
                std::vector<std::uint8_t> seed{mode};
                seed.insert(seed.end(), bytes.begin(), bytes.end());
                lapgen::WriteFile(dir / ("seed" + std::to_string(k++)), seed);
            };
            write(0, lapgen::WriteGP2Perf(raw, options));
            const auto body = lapgen::BuildGP2Body(raw, options);
            write(compress ? 3 : 1, compress ? lapgen::CompressGP(body) : body);
        }
    }
    return 0;
}
