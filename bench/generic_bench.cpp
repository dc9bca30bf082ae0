// Generic CSV loading figures, in MB/s of file text.
//
//   BM_GenericRead   the reader: file on disk to a buffer with its columns
//                    (what pandas.read_csv does: read and parse)
//   BM_GenericLoad   the whole road of AddBuffer: the reader plus the common
//                    buffer set-up (distance index, derived per-sample values)
//   BM_GenericParse  parsing alone, from the file image in memory
//
// The input is a lapgen lap of 1,000,000 samples with all 28 columns, written
// with exact round-trip digits (as pandas' to_csv writes doubles). Options of
// our own, before Google Benchmark's:
//   --write-csv=PATH   write that file and exit (bench/csv_vs_pandas.sh uses it
//                      so that pandas reads the very same bytes)
//   --csv=PATH         benchmark an existing file instead of writing a temporary one

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchMain.h"
#include "lapgen/CsvWriter.h"
#include "lapgen/GP2Writer.h"
#include "morlund/formats/generic/GenBufManager.h"
#include "morlund/formats/generic/GenPerf.h"
#include "morlund/platform/File.h"
#include "morlund/platform/Process.h"

using namespace morlund;

namespace {

constexpr int kRows = 1000000;
std::filesystem::path g_csvPath;

std::vector<std::uint8_t> MakeCsv() {
    lapgen::LapSpec spec;
    spec.sampleCount = kRows;
    spec.trackLength = 5000;
    return lapgen::WriteGenericCsv(lapgen::MakeLap(spec));
}

const std::vector<std::uint8_t>& Image() {
    static const std::vector<std::uint8_t> image = [] {
        File file;
        std::vector<std::uint8_t> bytes;
        if (!file.Open(g_csvPath, File::Mode::Read) || !file.ReadAll(bytes)) {
            std::fprintf(stderr, "cannot read %s\n", g_csvPath.c_str());
            std::exit(1);
        }
        return bytes;
    }();
    return image;
}

// Opens the reader's two stages to the benchmark.
class ReaderProbe : public GenBufManager {
public:
    using GenBufManager::CreateBuffer;
    using GenBufManager::ReadPerf;
};

void BM_GenericRead(benchmark::State& state) {
    const auto size = static_cast<std::int64_t>(Image().size());
    for (auto _ : state) {
        ReaderProbe reader;
        File file;
        if (!file.Open(g_csvPath, File::Mode::Read) || reader.ReadPerf(file) != bmOK) {
            state.SkipWithError("read failed");
            break;
        }
        std::unique_ptr<PerfCore> buffer = reader.CreateBuffer(file.GetFileName());
        if (!buffer) {
            state.SkipWithError("parse failed");
            break;
        }
        benchmark::DoNotOptimize(buffer->GetSpeed(buffer->GetSampleCount() - 1));
    }
    state.SetBytesProcessed(state.iterations() * size);
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_GenericRead)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_GenericLoad(benchmark::State& state) {
    const auto size = static_cast<std::int64_t>(Image().size());
    for (auto _ : state) {
        GenBufManager manager;
        File file;
        if (!file.Open(g_csvPath, File::Mode::Read) || !manager.AddBuffer(file)) {
            state.SkipWithError("load failed");
            break;
        }
        benchmark::DoNotOptimize(manager.GetBuffer(0)->GetMaxDistance());
    }
    state.SetBytesProcessed(state.iterations() * size);
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_GenericLoad)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_GenericParse(benchmark::State& state) {
    const std::vector<std::uint8_t>& image = Image();
    for (auto _ : state) {
        GenPerf perf;
        if (!perf.Init(image.data(), image.size())) {
            state.SkipWithError("parse failed");
            break;
        }
        benchmark::DoNotOptimize(perf.GetSampleCount());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(image.size()));
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_GenericParse)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> rest;
    bool temporary = true;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--write-csv=", 12) == 0) {
            lapgen::WriteFile(argv[i] + 12, MakeCsv());
            return 0;
        }
        if (std::strncmp(argv[i], "--csv=", 6) == 0) {
            g_csvPath = argv[i] + 6;
            temporary = false;
        } else {
            rest.push_back(argv[i]);
        }
    }
    if (temporary) {
        g_csvPath = std::filesystem::temp_directory_path() /
                    ("generic_bench_" + std::to_string(morlund::ProcessId()) + ".csv");
        lapgen::WriteFile(g_csvPath, MakeCsv());
    }
    const int status = bench::RunBenchmarks(rest);
    if (temporary) std::filesystem::remove(g_csvPath);
    return status;
}
