// Writes a seed corpus for fuzz_perfheader from lapgen laps: the first bytes of a
// plain GP3 and a compressed GP4 file, F1RS and MGPRS2 telemetry and an LFS file,
// each after the byte that names its kind.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "lapgen/F1RSWriter.h"
#include "lapgen/GP3Writer.h"
#include "lapgen/RafWriter.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_perfheader_seeds DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    lapgen::LapSpec spec;
    spec.sampleCount = 40;
    spec.trackLength = 150;
    spec.track = 4;
    const lapgen::Lap lap = lapgen::MakeLap(spec);
    lapgen::GP3WriteOptions compressed;
    compressed.compress = true;
    const std::vector<std::pair<int, std::vector<std::uint8_t>>> seeds = {
        {12, lapgen::WriteGP3Perf(lapgen::GP3Game::GP3, lapgen::EncodeGP3(lap))},
        {8, lapgen::WriteGP3Perf(lapgen::GP3Game::GP4, lapgen::EncodeGP3(lap), compressed)},
        {1, lapgen::WriteF1RSTelemetry(lapgen::EncodeF1RS(lap))},
        {2, lapgen::WriteMGPTelemetry(lapgen::EncodeMGP(lap))[0]},
        {3, lapgen::WriteRaf(lapgen::EncodeRaf(lap))},
    };
    int k = 0;
    for (const auto& [selector, bytes] : seeds) {
        std::vector<std::uint8_t> seed = {static_cast<std::uint8_t>(selector)};
        seed.insert(seed.end(), bytes.begin(),
                    bytes.begin() + std::min<std::size_t>(bytes.size(), 1024));
        lapgen::WriteFile(dir / ("seed" + std::to_string(k++)), seed);
    }
    return 0;
}
