// Formula channels over a 1,000,000-sample lap: the compiled fill (parse once,
// evaluate every sample) against parsing the formula afresh at every sample.
// Read samples per second (items_per_second) of the two side by side.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "lapgen/GP2Writer.h"
#include "morlund/formats/gp2/GP2BufManager.h"
#include "morlund/items/CustomDataItem.h"
#include "morlund/platform/File.h"

using namespace morlund;

namespace {

class TimedItem : public CustomDataItem {
public:
    using CustomDataItem::CustomDataItem;
    double Reparse(const PerfCore* b, int sample, int wheel) const {
        return DoGetMetricValue(b, sample, wheel);
    }
};

const PerfCore& Lap1M() {
    static GP2BufManager manager;
    if (manager.GetBufCount() == 0) {
        lapgen::LapSpec spec;
        spec.sampleCount = 1000000;
        spec.trackLength = 19000;
        File file = File::FromMemory(
            lapgen::WriteGP2Perf(lapgen::EncodeGP2(lapgen::MakeLap(spec)), {}), "/x/lap.pad");
        manager.AddBuffer(file);
    }
    return *manager.GetBuffer(0);
}

TimedItem* Item(const char* shortName, const char* formula, DataItem::DataType type) {
    auto* item = DataItem::Adopt(std::make_unique<TimedItem>(
        formula, shortName, type, DataItem::Q_FACTOR, 0, 100, 0, formula));
    CustomDataItem::BuildFormulaNames();
    return item;
}

struct Formulas {
    TimedItem* kmh;
    TimedItem* smoothed;
    TimedItem* base;
    TimedItem* nested;
};

const Formulas& Items() {
    static const Formulas items = [] {
        Formulas f;
        f.kmh = Item("benchkmh", "speed*3.6", DataItem::DT_CAR);
        f.smoothed = Item("benchsmooth", "smooth(speed,5)*2 - d(rh.lf)", DataItem::DT_CAR);
        f.base = Item("benchbase", "rh * 1000 - 30", DataItem::DT_WHEEL);
        f.nested = Item("benchnested", "benchbase.lf - benchbase.rf + speed", DataItem::DT_CAR);
        return f;
    }();
    return items;
}

// The item's own fill; formula items it reads are filled once beforehand, as
// they are for the reparse.
void Fill(benchmark::State& state, TimedItem* item) {
    const PerfCore& lap = Lap1M();
    for (auto _ : state) {
        item->FlushCache(&lap);
        benchmark::DoNotOptimize(item->GetMetricValue(&lap, 0, -1));
    }
    state.SetItemsProcessed(state.iterations() * lap.GetSampleCount());
}

void Reparse(benchmark::State& state, TimedItem* item) {
    const PerfCore& lap = Lap1M();
    const int n = 20000;  // a slice is enough for a rate
    for (auto _ : state) {
        double sum = 0;
        for (int i = 0; i < n; ++i)
            sum += item->Reparse(&lap, i, -1);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void FillBase() {
    Items().base->GetMetricValue(&Lap1M(), 0, 2);
    Items().base->GetMetricValue(&Lap1M(), 0, 3);
}

void BM_FillKmh(benchmark::State& s) { Fill(s, Items().kmh); }
void BM_ReparseKmh(benchmark::State& s) { Reparse(s, Items().kmh); }
void BM_FillSmoothDiff(benchmark::State& s) { Fill(s, Items().smoothed); }
void BM_ReparseSmoothDiff(benchmark::State& s) { Reparse(s, Items().smoothed); }
void BM_FillNested(benchmark::State& s) {
    FillBase();
    Fill(s, Items().nested);
}
void BM_ReparseNested(benchmark::State& s) {
    FillBase();
    Reparse(s, Items().nested);
}

BENCHMARK(BM_FillKmh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReparseKmh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillSmoothDiff)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReparseSmoothDiff)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillNested)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReparseNested)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
