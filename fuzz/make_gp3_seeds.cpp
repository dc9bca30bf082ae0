// Writes a seed corpus for fuzz_gp3 from lapgen laps: whole files (mode bit 0
// clear) and stored bodies (bit 0 set) of all three games, plain and compressed.

#include <cstdio>
#include <filesystem>
#include <string>

#include "lapgen/GP3Writer.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_gp3_seeds DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    lapgen::LapSpec spec;
    spec.sampleCount = 24;
    spec.trackLength = 400;
    spec.track = 3;
    const lapgen::GP3Raw raw = lapgen::EncodeGP3(lapgen::MakeLap(spec));
    int k = 0;
    const lapgen::GP3Game games[] = {lapgen::GP3Game::GP3, lapgen::GP3Game::GP32K,
                                     lapgen::GP3Game::GP4};
    for (int g = 0; g < 3; ++g) {
        for (bool compress : {false, true}) {
            lapgen::GP3WriteOptions options;
            options.compress = compress;
            auto write = [&](int mode, const std::vector<std::uint8_t>& bytes) {
                std::vector<std::uint8_t> seed{static_cast<std::uint8_t>(mode | (g << 3))};
                seed.insert(seed.end(), bytes.begin(), bytes.end());
                lapgen::WriteFile(dir / ("seed" + std::to_string(k++)), seed);
            };
            write(0, lapgen::WriteGP3Perf(games[g], raw, options));
            const auto body = lapgen::BuildGP3Body(raw, options);
            // track 3 in bits 5-7 of the mode byte
            write((compress ? 3 : 1) | (3 << 5), compress ? lapgen::CompressGP(body) : body);
        }
    }
    return 0;
}
