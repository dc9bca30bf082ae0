// GP2 loading figures. Read them as ratios within one run: the machines are
// shared, so absolute times drift between runs.
//
//   BM_GP2Load       whole road from file image to buffer (envelope, checksum,
//                    expansion, parse, distance index, extra values), 100,000
//                    samples, compressed, with the position extension
//   BM_GP2Expand     expansion alone (bytes = expanded size)
//   BM_Memcpy        copying the expanded body once: the yardstick for both

#include <benchmark/benchmark.h>

#include <cstring>

#include "lapgen/GP2Writer.h"
#include "morlund/formats/gp2/GP2BufManager.h"
#include "morlund/formats/gp2/GPEnvelope.h"
#include "morlund/platform/File.h"

using namespace morlund;

namespace {

struct Fixture {
    std::vector<std::uint8_t> file;
    std::vector<std::uint8_t> stored;
    std::vector<std::uint8_t> expanded;
};

const Fixture& Lap100k() {
    static const Fixture fixture = [] {
        lapgen::LapSpec spec;
        spec.sampleCount = 100000;
        spec.trackLength = 5000;
        const lapgen::GP2Raw raw = lapgen::EncodeGP2(lapgen::MakeLap(spec));
        lapgen::GP2WriteOptions options;
        options.compress = true;
        options.strelkoVersion = 7;
        Fixture f;
        f.file = lapgen::WriteGP2Perf(raw, options);
        f.expanded = lapgen::BuildGP2Body(raw, options);
        f.stored = lapgen::CompressGP(f.expanded);
        return f;
    }();
    return fixture;
}

void BM_GP2Load(benchmark::State& state) {
    const Fixture& f = Lap100k();
    for (auto _ : state) {
        GP2BufManager manager;
        File file = File::FromMemory(f.file, "/nonexistent-bench/lap.pad");
        if (!manager.AddBuffer(file)) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(manager.GetBuffer(0)->GetMaxDistance());
    }
    state.SetItemsProcessed(state.iterations() * 100000);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(f.expanded.size()));
}
BENCHMARK(BM_GP2Load)->Unit(benchmark::kMillisecond);

void BM_GP2Expand(benchmark::State& state) {
    const Fixture& f = Lap100k();
    std::vector<std::uint8_t> out;
    for (auto _ : state) {
        if (!GPExpand(ByteSpan(f.stored.data(), f.stored.size()), out)) state.SkipWithError("bad");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(f.expanded.size()));
}
BENCHMARK(BM_GP2Expand)->Unit(benchmark::kMillisecond);

void BM_Memcpy(benchmark::State& state) {
    const Fixture& f = Lap100k();
    std::vector<std::uint8_t> out(f.expanded.size());
    for (auto _ : state) {
        std::memcpy(out.data(), f.expanded.data(), out.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(f.expanded.size()));
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
