// The setup editor on a document of 12 laps x 500,000 samples (lapgen laps held in
// memory) with a graph of the left front tyre load, a statistics window, a sample table
// and the advanced setup dialog open: one step of the left front spring slider.
//
//   BM_SpringStep   slider moved one step: the record written, the estimates
//                   recomputed, the views told and the graph repainted, its curve of the
//                   edited lap's tyre load computed anew. Each step is followed by a
//                   repaint of the same picture drawn anew from what is cached: the step's
//                   work before its repaint is the difference. median_ms and worst_ms of
//                   that work are reported (the aim is under 16 ms), repaint_ms the
//                   median repaint. Times are this thread's CPU time.
//
// Run with QT_QPA_PLATFORM=offscreen (set here when it is not set).

#include <benchmark/benchmark.h>

#include <QPixmap>
#include <QSlider>
#include <algorithm>
#include <ctime>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/graph/GraphModel.h"
#include "app/graph/GraphView.h"
#include "app/setup/SetupDialogs.h"
#include "app/shell/AppSettings.h"
#include "app/shell/TarnwickDoc.h"
#include "app/views/StatView.h"
#include "app/views/TextView.h"
#include "bench/QtBenchMain.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Wheel.h"
#include "tests/app/GraphLaps.h"

namespace {

constexpr int kLaps = 12;
constexpr int kSamples = 500000;

void BM_SpringStep(benchmark::State& state) {
    tarnwick::AppSettings settings;
    tarnwick::CTarnwickDoc doc;
    auto manager = std::make_unique<graphlaps::LapManager>();
    for (int b = 0; b < kLaps; ++b)
        manager->Add(graphlaps::FieldLap(kSamples, b));
    doc.TakeLaps(std::move(manager), morlund::GameType::GP2);

    tarnwick::CGraphView graph(doc, settings);
    graph.resize(1920, 1080);
    graph.SetY(tarnwick::FindItem(graph.Items(), morlund::DataItem::TYRELOAD));
    graph.SetWheel(morlund::Wheel::LEFT_FRONT);
    tarnwick::CStatView stats(doc, settings);
    stats.resize(1600, 900);
    tarnwick::CTxtView samples(doc);
    samples.resize(1200, 900);
    graph.grab();  // every lap's tyre load computed once
    stats.grab();
    samples.grab();

    tarnwick::CStandardSetupDlg standard(doc, 0);
    tarnwick::CAdvancedSetupDlg advanced(standard.Link());
    QSlider& spring = *advanced.Slider(3004 + 2);
    auto milliseconds = [] { return 1e3 * bench::ThreadSeconds(); };
    std::vector<double> work;
    std::vector<double> repaints;
    int position = spring.minimum();
    for (auto _ : state) {
        const double t0 = milliseconds();
        position = position < spring.maximum() ? position + 1 : spring.minimum();
        spring.setValue(position);
        standard.Link().Flush();
        benchmark::DoNotOptimize(graph.grab().cacheKey());
        const double t1 = milliseconds();
        graph.OnUpdate(nullptr, tarnwick::DocUpdate::BuffersShown());  // same picture, drawn anew
        benchmark::DoNotOptimize(graph.grab().cacheKey());
        const double t2 = milliseconds();
        repaints.push_back(t2 - t1);
        work.push_back((t1 - t0) - (t2 - t1));
        state.SetIterationTime((t1 - t0) / 1000.0);
    }
    auto median = [](std::vector<double>& v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0.0 : v[v.size() / 2];
    };
    state.counters["median_ms"] = median(work);
    state.counters["worst_ms"] = work.empty() ? 0.0 : work.back();
    state.counters["repaint_ms"] = median(repaints);
    advanced.accept();
    standard.reject();
}

BENCHMARK(BM_SpringStep)->Unit(benchmark::kMillisecond)->Iterations(100)->UseManualTime();

}  // namespace

int main(int argc, char** argv) { return bench::RunQtBenchmarks(argc, argv); }
