// Histograms and workspaces.
//
//   BM_DamperHistogram     the damper-speed histogram of one wheel for 12 laps x 500,000
//                          samples (lapgen laps of one track at different grip levels), with
//                          the bump and rebound shares, as the histogram window computes it;
//                          meant to stay under 50 ms
//   BM_ReadDamperSpeeds    reading those damper speeds and times alone, on one thread: the
//                          floor under a histogram computed on one thread
//   BM_SpeedHistogram      the same for a recorded channel (speed)
//   BM_OpenByHand          12 generic laps opened with File Open, then five more windows
//                          opened and placed one by one (six in all), and closed again
//   BM_OpenWorkspace       the same laps and six windows from a workspace file
//
// The two opening figures are meant to be equal within noise: a workspace adds no cost of
// its own to the laps and windows it opens. Run with QT_QPA_PLATFORM=offscreen (set here
// when it is not set).

#include <benchmark/benchmark.h>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "app/graph/GraphFrame.h"
#include "app/shell/MainFrame.h"
#include "app/shell/TarnwickApp.h"
#include "app/shell/TarnwickDoc.h"
#include "app/views/Views.h"
#include "bench/QtBenchMain.h"
#include "lapgen/CsvWriter.h"
#include "lapgen/GP2Writer.h"
#include "lapgen/Model.h"
#include "morlund/items/Wheel.h"
#include "pellith/histogram/Histogram.h"
#include "pellith/workspace/Workspace.h"
#include "tests/app/GraphLaps.h"

namespace {

constexpr int kLaps = 12;
constexpr int kSamples = 500000;
// Laps on disk for the opening figures: read by the generic reader, so smaller.
constexpr int kFileSamples = 20000;

struct Laps {
    graphlaps::LapManager manager;
    std::vector<const morlund::PerfCore*> laps;
    Laps() {
        for (int b = 0; b < kLaps; ++b)
            laps.push_back(&manager.Add(graphlaps::FieldLap(kSamples, b)));
    }
};

Laps& TheLaps() {
    static Laps laps;
    return laps;
}

void BM_DamperHistogram(benchmark::State& state) {
    const Laps& l = TheLaps();
    for (auto _ : state) {
        const pellith::Histogram h = pellith::ComputeHistogram(
            l.laps, {pellith::DamperVelocityItem(), morlund::Wheel::LEFT_FRONT, 0, 0, 10, 25});
        benchmark::DoNotOptimize(h.laps.data());
        state.counters["bin"] = h.binWidth;
        state.counters["bins"] = h.binCount;
    }
}

// The floor under the damper histogram: reading the damper speeds and the times of every
// sample, in the same chunks, and nothing else.
void BM_ReadDamperSpeeds(benchmark::State& state) {
    const Laps& l = TheLaps();
    std::vector<double> values(4096), times(4096);
    for (auto _ : state) {
        for (const morlund::PerfCore* lap : l.laps) {
            const int n = lap->GetSampleCount();
            for (int a = 0; a < n; a += 4096) {
                const int b = std::min(a + 4096, n);
                pellith::DamperVelocityItem()->GetConvertedValues(
                    lap, a, b, morlund::Wheel::LEFT_FRONT, values.data());
                for (int i = a; i < b; ++i)
                    times[static_cast<std::size_t>(i - a)] = lap->GetTime(i);
                benchmark::DoNotOptimize(values.data());
                benchmark::DoNotOptimize(times.data());
            }
        }
    }
}

void BM_SpeedHistogram(benchmark::State& state) {
    const Laps& l = TheLaps();
    for (auto _ : state) {
        const pellith::Histogram h =
            pellith::ComputeHistogram(l.laps, {morlund::DataItem::SPEED, nullptr, 0, 0, 5});
        benchmark::DoNotOptimize(h.laps.data());
    }
}

std::filesystem::path Folder() {
    return std::filesystem::temp_directory_path() / "tarnwick_ws_bench";
}

// The program with a main window, the laps on disk and a workspace of them. It lives until
// the process ends (its windows cannot outlive Qt, so it is never destroyed); main removes
// the laps.
struct Program {
    std::filesystem::path dir = Folder();
    QStringList paths;
    QString workspace;
    std::unique_ptr<tarnwick::CTarnwickApp> app;
    const tarnwick::StartView kinds[5] = {tarnwick::StartView::Graph, tarnwick::StartView::Graph,
                                          tarnwick::StartView::Graph, tarnwick::StartView::Text,
                                          tarnwick::StartView::Histogram};

    Program() {
        std::filesystem::create_directories(dir);
        for (int b = 0; b < kLaps; ++b) {
            lapgen::LapSpec spec;
            spec.seed = 11;
            spec.sampleCount = kFileSamples;
            spec.gripScale = 0.9 + 0.02 * b;
            const std::filesystem::path path = dir / ("lap" + std::to_string(b) + ".csv");
            lapgen::WriteFile(path, lapgen::WriteGenericCsv(lapgen::MakeLap(spec)));
            paths << QString::fromStdString(path.string());
        }
        app = std::make_unique<tarnwick::CTarnwickApp>();
        app->SetMessagesToStderr(true);
        app->Start({});
        app->MainFrame()->resize(1400, 1000);
        app->MainFrame()->show();
        OpenByHand();
        workspace = QString::fromStdString((dir / "bench.tws").string());
        app->SaveWorkspace(workspace);
        app->CloseDocument();
    }
    void OpenByHand() {
        app->OpenFiles(paths);
        tarnwick::CMainFrame& frame = *app->MainFrame();
        int x = 0;
        for (tarnwick::StartView kind : kinds) {
            if (tarnwick::CViewFrame* window = frame.OpenView(kind))
                window->setGeometry(x, x, 600, 400);
            x += 40;
        }
        QCoreApplication::processEvents();
    }
    void Close() {
        app->CloseDocument();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

Program& TheProgram() {
    static Program* program = new Program;
    return *program;
}

void BM_OpenByHand(benchmark::State& state) {
    Program& p = TheProgram();
    for (auto _ : state) {
        p.OpenByHand();
        state.PauseTiming();
        state.counters["windows"] =
            static_cast<double>(p.app->MainFrame()->MdiArea()->subWindowList().size());
        p.Close();
        state.ResumeTiming();
    }
}

void BM_OpenWorkspace(benchmark::State& state) {
    Program& p = TheProgram();
    for (auto _ : state) {
        p.app->OpenWorkspace(p.workspace);
        QCoreApplication::processEvents();
        state.PauseTiming();
        state.counters["windows"] =
            static_cast<double>(p.app->MainFrame()->MdiArea()->subWindowList().size());
        p.Close();
        state.ResumeTiming();
    }
}

// The histograms share their laps out between two threads: wall time is the figure.
BENCHMARK(BM_DamperHistogram)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_ReadDamperSpeeds)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_SpeedHistogram)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_OpenByHand)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_OpenWorkspace)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
    // The program's settings go to a private folder, never the user's.
    const std::filesystem::path config =
        std::filesystem::temp_directory_path() / "tarnwick_ws_bench_config";
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    // The kinds of window, as the program registers them.
    tarnwick::RegisterGraphView();
    tarnwick::RegisterViews();
    const int result = bench::RunQtBenchmarks(argc, argv);
    std::filesystem::remove_all(Folder());
    std::filesystem::remove_all(config);
    return result;
}
