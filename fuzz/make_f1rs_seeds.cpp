// Writes seed corpora for fuzz_f1rs and fuzz_mgp from lapgen laps:
// DIR/f1rs/ (whole .tlm files) and DIR/mgp/ (cut points and the three parts).

#include <cstdio>
#include <filesystem>
#include <string>

#include "lapgen/F1RSWriter.h"
#include "lapgen/GP2Writer.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_f1rs_seeds DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir / "f1rs");
    std::filesystem::create_directories(dir / "mgp");
    lapgen::LapSpec spec;
    spec.sampleCount = 24;
    spec.trackLength = 400;
    const lapgen::Lap lap = lapgen::MakeLap(spec);
    int k = 0;
    for (const auto& stride : {std::array<int, 3>{1, 2, 3}, std::array<int, 3>{3, 1, 2}}) {
        lapgen::TlmEncodeOptions options;
        options.stride = stride;
        const auto f1rs = lapgen::WriteF1RSTelemetry(lapgen::EncodeF1RS(lap, options));
        lapgen::WriteFile(dir / "f1rs" / ("seed" + std::to_string(k)), f1rs);
        const auto parts = lapgen::WriteMGPTelemetry(lapgen::EncodeMGP(lap, options));
        std::vector<std::uint8_t> seed = {static_cast<std::uint8_t>(parts[0].size()),
                                          static_cast<std::uint8_t>(parts[0].size() >> 8),
                                          static_cast<std::uint8_t>(parts[1].size()),
                                          static_cast<std::uint8_t>(parts[1].size() >> 8)};
        for (const auto& part : parts)
            seed.insert(seed.end(), part.begin(), part.end());
        lapgen::WriteFile(dir / "mgp" / ("seed" + std::to_string(k)), seed);
        ++k;
    }
    return 0;
}
