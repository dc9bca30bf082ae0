// Graph redraw figures: a full lap of 12 buffers x 500,000 samples (lapgen laps of one
// track at different grip levels, with a little sensor vibration added) drawn as Speed
// over Distance into a 1920 x 1080 image, with the value boxes on.
//
//   BM_GraphCold         first paint: every value converted through the catalogue
//   BM_GraphWarm         repaint with the converted values cached
//   BM_GraphScroll       repaint after scrolling: values cached, columns found anew;
//                        warm_ms is the warm repaint of the same position, timed in the
//                        same iterations, and vs_warm the ratio of the two (at most 1 is
//                        the aim: a scroll step costs no more than a redraw)
//   BM_GraphNoCurves     the fixed part: background, grid and labels with no lap enabled
//   BM_GraphEverySample  repaint drawing every sample (no reduction), values cached
//   BM_GraphEverySampleUncached  every sample drawn, every value converted on each paint
//
// Options of our own, before Google Benchmark's:
//   --check       draw the reduced and the full picture once, print the share of pixels
//                 in which they differ, and exit (status 1 above 0.1 %)
//   --png=DIR     with --check: also write reduced.png and full.png into DIR
//   --samples=N   samples per buffer (default 500000)
//   --smooth      no vibration: lapgen's smooth channels as they are
//
// Run with QT_QPA_PLATFORM=offscreen (set here when it is not set).

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "app/graph/GraphItem.h"
#include "app/graph/GraphRenderer.h"
#include "app/graph/GraphState.h"
#include "bench/BenchMain.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Wheel.h"
#include "tests/app/GraphLaps.h"
#include "tests/app/Pictures.h"

using morlund::DataItem;
using tarnwick::GraphRenderer;

namespace {

constexpr int kBuffers = 12;
int g_samples = 500000;
double g_vibration = 0.4;  // m/s

struct Scene {
    graphlaps::LapManager manager;
    tarnwick::GraphItemList items;
    tarnwick::GraphState state;
    GraphRenderer renderer;
    QImage image{1920, 1080, QImage::Format_RGB32};

    Scene() {
        for (int b = 0; b < kBuffers; ++b) {
            auto data = graphlaps::FieldLap(g_samples, b);
            // Sensor vibration, as real recordings have: every pixel column then holds
            // its extremes between its first and last sample.
            for (std::size_t i = 0; i < data->speed.size(); ++i)
                data->speed[i] += g_vibration * std::sin(static_cast<double>(i) * (1.3 + 0.01 * b));
            manager.Add(std::move(data));
        }
        items.push_back(std::make_unique<tarnwick::GraphItem>(DataItem::DISTANCE, 10000));
        items.push_back(std::make_unique<tarnwick::GraphItem>(DataItem::SPEED, 10000));
        state.xItem = 0;
        state.yItem = 1;
        state.wheel = morlund::Wheel::ALL;
        state.showValues = true;
        state.drawLines = true;
        state.plot = image.rect();
        state.leftMargin = renderer.LeftMargin(false);
        state.trackLength = manager.GetTrackLen();
        state.xStart = 0;
        state.xEnd = state.trackLength;
    }
    void Paint() {
        QPainter painter(&image);
        const tarnwick::GraphScene scene{&manager, &items, &state, false, false};
        renderer.Paint(painter, scene);
    }
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

void BM_GraphCold(benchmark::State& state) {
    Scene& s = TheScene();
    s.renderer.SetReduce(true);
    for (auto _ : state) {
        s.renderer.Invalidate();
        s.Paint();
    }
}

void BM_GraphWarm(benchmark::State& state) {
    Scene& s = TheScene();
    s.renderer.SetReduce(true);
    s.Paint();
    for (auto _ : state)
        s.Paint();
}

// Repaint after a scroll: values cached, the columns found anew for the moved range.
// Each iteration also repaints the same position warm, so that the ratio of the two
// comes from one run on a shared machine; both are timed in this thread's CPU time.
void BM_GraphScroll(benchmark::State& state) {
    Scene& s = TheScene();
    s.renderer.SetReduce(true);
    s.Paint();
    int step = 0;
    double scrollSeconds = 0.0;
    double warmSeconds = 0.0;
    for (auto _ : state) {
        const double shift = (++step % 2) * 1.5;
        s.state.xStart = shift;
        s.state.xEnd = s.state.trackLength - 3.0 + shift;
        const double t0 = bench::ThreadSeconds();
        s.Paint();
        const double t1 = bench::ThreadSeconds();
        s.Paint();
        const double t2 = bench::ThreadSeconds();
        state.SetIterationTime(t1 - t0);
        scrollSeconds += t1 - t0;
        warmSeconds += t2 - t1;
    }
    const double n =
        static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["warm_ms"] = 1e3 * warmSeconds / n;
    state.counters["vs_warm"] = warmSeconds > 0 ? scrollSeconds / warmSeconds : 0.0;
    s.state.xStart = 0;
    s.state.xEnd = s.state.trackLength;
}

// The fixed part of a paint: background, grid and labels, no lap enabled.
void BM_GraphNoCurves(benchmark::State& state) {
    Scene& s = TheScene();
    for (int b = 0; b < kBuffers; ++b)
        s.manager.EnableBuffer(b, false);
    for (auto _ : state)
        s.Paint();
    for (int b = 0; b < kBuffers; ++b)
        s.manager.EnableBuffer(b, true);
}

void BM_GraphEverySample(benchmark::State& state) {
    Scene& s = TheScene();
    s.renderer.SetReduce(false);
    s.Paint();
    for (auto _ : state)
        s.Paint();
    s.renderer.SetReduce(true);
}

BENCHMARK(BM_GraphCold)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_GraphWarm)->Unit(benchmark::kMillisecond)->MinTime(1.0);
// Every sample drawn and every value converted through the catalogue on each paint:
// drawing with neither the cache nor the reduction.
void BM_GraphEverySampleUncached(benchmark::State& state) {
    Scene& s = TheScene();
    s.renderer.SetReduce(false);
    for (auto _ : state) {
        s.renderer.Invalidate();
        s.Paint();
    }
    s.renderer.SetReduce(true);
}

BENCHMARK(BM_GraphScroll)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseManualTime();
BENCHMARK(BM_GraphNoCurves)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_GraphEverySample)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_GraphEverySampleUncached)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int Check(const char* pngDir) {
    Scene& s = TheScene();
    s.renderer.SetReduce(true);
    s.Paint();
    const QImage reduced = s.image.copy();
    s.renderer.SetReduce(false);
    s.Paint();
    const QImage full = s.image.copy();
    const long long differing = pictures::CountDiffering(reduced, full);
    const double share = 100.0 * static_cast<double>(differing) /
                         (static_cast<double>(full.width()) * full.height());
    std::printf("%d buffers x %d samples, %dx%d: %lld differing pixels (%.4f %%)\n", kBuffers,
                g_samples, full.width(), full.height(), differing, share);
    if (pngDir != nullptr) {
        reduced.save(QString::fromUtf8(pngDir) + QStringLiteral("/reduced.png"));
        full.save(QString::fromUtf8(pngDir) + QStringLiteral("/full.png"));
    }
    return share <= 0.1 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    bench::PictureOptions options = bench::ReadPictureOptions(argc, argv, g_samples);
    g_samples = options.samples;
    std::erase_if(options.rest, [](const char* arg) {
        if (std::strcmp(arg, "--smooth") != 0) return false;
        g_vibration = 0.0;
        return true;
    });
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    if (options.check) return Check(options.pngDir);
    return bench::RunBenchmarks(options.rest);
}
