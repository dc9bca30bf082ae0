// GP4 loading figures. Read them as ratios within one run: the machines are
// shared, so absolute times drift between runs.
//
//   BM_GP4Load   whole road from file image to buffer (envelope, checksum,
//                expansion, parse, distance index, extra values including the
//                positions rebuilt from the lateral acceleration), 100,000
//                samples, compressed

#include <benchmark/benchmark.h>

#include "lapgen/GP3Writer.h"
#include "morlund/formats/gp3/GP4BufManager.h"
#include "morlund/platform/File.h"

using namespace morlund;

namespace {

const std::vector<std::uint8_t>& Lap100k() {
    static const std::vector<std::uint8_t> file = [] {
        lapgen::LapSpec spec;
        spec.sampleCount = 100000;
        spec.trackLength = 5000;
        lapgen::GP3WriteOptions options;
        options.compress = true;
        return lapgen::WriteGP3Perf(lapgen::GP3Game::GP4, lapgen::EncodeGP3(lapgen::MakeLap(spec)),
                                    options);
    }();
    return file;
}

void BM_GP4Load(benchmark::State& state) {
    const std::vector<std::uint8_t>& bytes = Lap100k();
    for (auto _ : state) {
        GP4BufManager manager;
        File file = File::FromMemory(bytes, "/nonexistent-bench/lap.pad");
        if (!manager.AddBuffer(file)) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(manager.GetBuffer(0)->GetPosX(99999));
    }
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_GP4Load)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
