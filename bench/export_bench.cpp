// Export figures: 1,000,000 rows x 10 cells of a generic lap, "%12.6f" each.
//
//   BM_Export         the whole export into a file (what pandas' to_csv does)
//   BM_ExportNoFile   the same text built and handed to a sink that drops it
//   BM_FormatCell     one cell's formatting alone, ns per cell
//
// The lap is a lapgen lap of 1,000,000 samples read through the generic
// reader; the columns are dist, speed, revs, throttle, brake, steer and the
// ride height of all four wheels, tab-separated with short names.
// Options of our own, before Google Benchmark's:
//   --write-export=PATH   write that export and exit (bench/export_vs_pandas.sh
//                         hands the very same table to pandas)

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchMain.h"
#include "lapgen/CsvWriter.h"
#include "lapgen/GP2Writer.h"
#include "morlund/formats/generic/GenBufManager.h"
#include "morlund/items/DataItem.h"
#include "morlund/platform/File.h"
#include "morlund/platform/Process.h"
#include "pellith/export/ExportEngine.h"
#include "pellith/export/FixedFormat.h"

using namespace morlund;

namespace {

constexpr int kRows = 1000000;

std::filesystem::path TempPath(const char* name) {
    return std::filesystem::temp_directory_path() /
           (std::string(name) + "_" + std::to_string(morlund::ProcessId()) + ".csv");
}

const BufManager& Laps() {
    static const std::unique_ptr<GenBufManager> laps = [] {
        lapgen::LapSpec spec;
        spec.sampleCount = kRows;
        spec.trackLength = 5000;
        const std::filesystem::path csv = TempPath("export_bench_lap");
        lapgen::WriteFile(csv, lapgen::WriteGenericCsv(lapgen::MakeLap(spec)));
        auto manager = std::make_unique<GenBufManager>();
        File file;
        if (!file.Open(csv, File::Mode::Read) || !manager->AddBuffer(file)) {
            std::fprintf(stderr, "cannot load %s\n", csv.c_str());
            std::exit(1);
        }
        std::filesystem::remove(csv);
        return manager;
    }();
    return *laps;
}

pellith::ExportChoices Choices() {
    pellith::ExportChoices choices;
    for (const DataItem* item :
         {DataItem::DISTANCE, DataItem::SPEED, DataItem::REVS, DataItem::THROTTLE, DataItem::BRAKE,
          DataItem::STEERING, DataItem::RIDEHEIGHT}) {
        choices.columns.push_back(pellith::ColumnItem::Make(item, Wheel::ALL));
    }
    choices.delimiterChoice = 3;  // tab: a separator pandas can write too
    return choices;
}

void BM_Export(benchmark::State& state) {
    const BufManager& laps = Laps();
    const pellith::ExportChoices choices = Choices();
    const std::filesystem::path out = TempPath("export_bench_out");
    for (auto _ : state) {
        const pellith::ExportResult result = pellith::ExportToFile(laps, choices, out);
        if (!result.IsOk()) {
            state.SkipWithError(result.message.c_str());
            break;
        }
    }
    std::error_code ec;
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(out, ec)));
    state.SetItemsProcessed(state.iterations() * kRows);
    std::filesystem::remove(out, ec);
}
BENCHMARK(BM_Export)->Unit(benchmark::kMillisecond)->MinTime(2.0);

class NullSink : public pellith::ExportSink {
public:
    bool Write(const char*, std::size_t size) override {
        bytes += size;
        return true;
    }
    std::size_t bytes = 0;
};

void BM_ExportNoFile(benchmark::State& state) {
    const BufManager& laps = Laps();
    const pellith::ExportChoices choices = Choices();
    std::size_t bytes = 0;
    for (auto _ : state) {
        NullSink sink;
        pellith::WriteExport(laps, choices, sink);
        bytes = sink.bytes;
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_ExportNoFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_FormatCell(benchmark::State& state) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> channel(-20000.0, 20000.0);
    std::vector<double> values(4096);
    for (double& v : values)
        v = channel(random);
    char cell[pellith::kMaxFixedCell];
    std::size_t k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(pellith::FormatFixed12(values[k++ & 4095], cell));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FormatCell);

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--write-export=", 15) == 0) {
            const pellith::ExportResult result =
                pellith::ExportToFile(Laps(), Choices(), argv[i] + 15);
            if (!result.IsOk()) std::fprintf(stderr, "%s\n", result.message.c_str());
            return result.IsOk() ? 0 : 1;
        }
        rest.push_back(argv[i]);
    }
    return bench::RunBenchmarks(rest);
}
