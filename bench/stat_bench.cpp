// Statistics window figures: 12 laps x 500,000 samples (lapgen laps of one track at
// different grip levels) held by one document.
//
//   BM_StatFirstComputation  every lap summarised from its samples, as the first
//                            window of a document does
//   BM_StatViewOpen          a statistics window opened, painted and closed once
//                            the summaries are known
//   BM_StatViewRebuild       the window's table rebuilt on an update
//
// The open and rebuild figures are meant to stay under 50 ms. Run with
// QT_QPA_PLATFORM=offscreen (set here when it is not set).

#include <benchmark/benchmark.h>

#include <QPixmap>
#include <cstdlib>
#include <memory>

#include "app/shell/AppSettings.h"
#include "app/shell/TarnwickDoc.h"
#include "app/views/StatView.h"
#include "bench/QtBenchMain.h"
#include "pellith/stats/StatTable.h"
#include "pellith/stats/SummaryStats.h"
#include "tests/app/GraphLaps.h"

namespace {

constexpr int kLaps = 12;
constexpr int kSamples = 500000;

struct Scene {
    tarnwick::AppSettings settings;
    tarnwick::CTarnwickDoc doc;
    Scene() {
        auto manager = std::make_unique<graphlaps::LapManager>();
        for (int b = 0; b < kLaps; ++b)
            manager->Add(graphlaps::FieldLap(kSamples, b));
        doc.TakeLaps(std::move(manager), morlund::GameType::GP2);
    }
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

void BM_StatFirstComputation(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        s.doc.Summaries().Clear();
        const pellith::StatTable table = pellith::BuildStatTable(
            *s.doc.Manager(), pellith::GetStatTrackName(*s.doc.Manager()), false,
            s.doc.Summaries());
        benchmark::DoNotOptimize(table.rows.data());
    }
}

void BM_StatViewOpen(benchmark::State& state) {
    Scene& s = TheScene();
    for (int b = 0; b < kLaps; ++b)
        s.doc.Summary(b);
    for (auto _ : state) {
        tarnwick::CStatView view(s.doc, s.settings);
        view.resize(1600, 900);
        const QPixmap painted = view.grab();  // the first paint of the window
        benchmark::DoNotOptimize(painted.cacheKey());
    }
}

void BM_StatViewRebuild(benchmark::State& state) {
    Scene& s = TheScene();
    tarnwick::CStatView view(s.doc, s.settings);
    view.resize(1600, 900);
    for (auto _ : state)
        view.Rebuild();
}

BENCHMARK(BM_StatFirstComputation)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_StatViewOpen)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_StatViewRebuild)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) { return bench::RunQtBenchmarks(argc, argv); }
