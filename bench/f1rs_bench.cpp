// F1RS loading figures. Read them as ratios within one run: the machines are
// shared, so absolute times drift between runs.
//
//   BM_F1RSLoad      whole road from file image to buffer (streams, trimming,
//                    distance lookups of the two other streams, distance index,
//                    extra values), 100,000 samples in the first stream, 50,000
//                    and 33,334 in the others; no game installed (no scope file)
//   BM_Memcpy        copying the file image once: the yardstick

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>

#include "lapgen/F1RSWriter.h"
#include "morlund/formats/f1rs/F1RSBufManager.h"
#include "morlund/platform/File.h"

using namespace morlund;

namespace {

const std::vector<std::uint8_t>& Lap100k() {
    static const std::vector<std::uint8_t> file = [] {
        lapgen::LapSpec spec;
        spec.sampleCount = 100000;
        spec.trackLength = 5000;
        return lapgen::WriteF1RSTelemetry(lapgen::EncodeF1RS(lapgen::MakeLap(spec)));
    }();
    return file;
}

void BM_F1RSLoad(benchmark::State& state) {
    // Keep any installed game's replay files out of the figure.
    ::setenv("WINEPREFIX", "/nonexistent-bench", 1);
    const auto& bytes = Lap100k();
    for (auto _ : state) {
        F1RSBufManager manager;
        File file = File::FromMemory(bytes, "/nonexistent-bench/lap.tlm");
        if (!manager.AddBuffer(file)) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(manager.GetBuffer(0)->GetMaxDistance());
    }
    state.SetItemsProcessed(state.iterations() * 100000);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_F1RSLoad)->Unit(benchmark::kMillisecond);

void BM_Memcpy(benchmark::State& state) {
    const auto& bytes = Lap100k();
    std::vector<std::uint8_t> copy(bytes.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), bytes.data(), bytes.size());
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
