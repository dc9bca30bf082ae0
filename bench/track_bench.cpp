// Track map figures: 12 laps x 500,000 samples drawn into a 1920 x 1080 picture, over the
// demo GP2 track with its segment outline (gp2) and over the demo LFS track with its
// mesh (lfs). The laps follow lapgen's line of the track, each a little to the side of
// the one before; the map shows the whole track (scale 32) with a selection and a cursor.
//
//   BM_TrackCold/<track>         first picture: every position read, the lines built
//   BM_TrackWarm/<track>         the whole picture drawn again (track and laps), lines kept
//   BM_TrackLaps/<track>         the laps over the kept track (the selection moved)
//   BM_TrackPan/<track>          a pan by 7 pixels: the picture moved, the strips drawn
//   BM_TrackCursor/<track>       the cursor moved: drawn again around it only
//   BM_TrackColoured/<track>     the warm redraw with lap 0 coloured by its speed (colours
//                                kept), and with the delta to lap 11 (delta_ms)
//   BM_AnalysisTables/<track>    the sector table (20 mini-sectors) and the corner table
//                                of the 12 laps against lap 0, corners found anew
//   BM_TrackEverySegment/<track> every segment drawn from the samples, as the plain
//                                loop does; warm_ms is the warm redraw timed in the same
//                                iterations and vs_warm the ratio of the two
//
// Aims on this 2-core machine: warm, coloured, pan and cursor within one 60 Hz frame
// (16 ms), the warm redraw at least 20 times faster than drawing every segment, and both
// analysis tables under 100 ms.
//
// Options of our own, before Google Benchmark's:
//   --check       draw the reduced and the full picture of both tracks once, print the
//                 share of pixels in which they differ, and exit (status 1 above 0.1 %)
//   --png=DIR     with --check: also write <track>-reduced.png and <track>-full.png
//   --samples=N   samples per lap (default 500000)
//
// Run with QT_QPA_PLATFORM=offscreen (set here when it is not set).

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "app/views/TrackModel.h"
#include "app/views/TrackRenderer.h"
#include "bench/BenchMain.h"
#include "lapgen/SegWriter.h"
#include "lapgen/SmxWriter.h"
#include "morlund/items/DataItem.h"
#include "morlund/platform/File.h"
#include "morlund/track/GP2Track.h"
#include "morlund/track/LFSTrack.h"
#include "pellith/analysis/Corners.h"
#include "pellith/analysis/Sectors.h"
#include "tests/app/GraphLaps.h"
#include "tests/app/Pictures.h"

namespace {

constexpr int kLaps = 12;
int g_samples = 500000;

enum Track { kGP2 = 0, kLFS = 1 };
const char* const kTrackNames[] = {"gp2", "lfs"};

// The demo tracks: lapgen's seeds and lengths of the demo laps.
lapgen::LapSpec DemoSpec(Track track) {
    lapgen::LapSpec spec;
    spec.track = 3;
    if (track == kGP2) {
        spec.seed = 20240611;
    } else {
        spec.seed = 20240613;
        spec.trackLength = 2600;
    }
    return spec;
}

struct Scene {
    graphlaps::LapManager manager;
    morlund::GP2Track gp2;
    morlund::LFSTrack lfs;
    tarnwick::TrackState state;
    tarnwick::TrackScene scene;
    tarnwick::TrackRenderer renderer;

    explicit Scene(Track track) {
        lapgen::LapSpec spec = DemoSpec(track);
        spec.sampleCount = track == kGP2 ? 2000 : 12000;
        const lapgen::Lap outline = lapgen::MakeLap(spec);
        if (track == kGP2) {
            constexpr std::uint32_t kChecksum = 0x1a2b3c4d;
            morlund::File file = morlund::File::FromMemory(
                lapgen::WriteSeg(lapgen::BuildSegTrack(outline, kChecksum)),
                lapgen::SegFileName(kChecksum));
            gp2.ReadFile(file);
            scene.gp2 = &gp2;
        } else {
            morlund::File file = morlund::File::FromMemory(
                lapgen::WriteSmx(lapgen::BuildSmxMesh(outline)), "bench_3DH.smx");
            lfs.Read(file);
            scene.lfs = &lfs;
            scene.background = QColor(0x3a, 0x6b, 0x2c);
        }
        spec.sampleCount = g_samples;
        for (int b = 0; b < kLaps; ++b) {
            spec.gripScale = 1.0 - 0.012 * b;
            const lapgen::Lap lap = lapgen::MakeLap(spec);
            auto data = graphlaps::FromLapgen(lap, true);
            // Each lap a little to the side of the one before, as drivers' lines are.
            const double side = 0.4 * (b - kLaps / 2);
            for (std::size_t i = 0; i < data->x.size(); ++i) {
                data->x[i] -= side * std::sin(lap.samples[i].heading);
                data->y[i] += side * std::cos(lap.samples[i].heading);
            }
            manager.Add(std::move(data));
        }
        const double length = manager.GetTrackLen();
        state.selectionFrom = 0.2 * length;
        state.selectionTo = 0.7 * length;
        state.cursor = 0.4 * length;
        scene.manager = &manager;
        scene.state = &state;
        scene.drawRect = QRect(0, 0, 1920, 1080);
    }
    const QImage& Picture() { return renderer.Picture(scene); }
};

// One scene at a time: each holds about a gigabyte of laps.
Scene& TheScene(Track track) {
    static std::unique_ptr<Scene> scene;
    static int which = -1;
    if (which != track) {
        scene.reset();
        scene = std::make_unique<Scene>(track);
        which = track;
    }
    return *scene;
}

Track TrackOf(const benchmark::State& state) { return static_cast<Track>(state.range(0)); }

void BM_TrackCold(benchmark::State& state) {
    Scene& s = TheScene(TrackOf(state));
    for (auto _ : state) {
        s.renderer.DropLaps();
        s.renderer.DropPicture();
        s.Picture();
    }
}

void BM_TrackWarm(benchmark::State& state) {
    Scene& s = TheScene(TrackOf(state));
    s.Picture();
    for (auto _ : state) {
        s.renderer.DropPicture();
        s.Picture();
    }
}

void BM_TrackLaps(benchmark::State& state) {
    Scene& s = TheScene(TrackOf(state));
    s.Picture();
    int step = 0;
    const double from = s.state.selectionFrom;
    for (auto _ : state) {
        s.state.selectionFrom = from + (++step % 2) * 10.0;
        s.Picture();
    }
    s.state.selectionFrom = from;
}

void BM_TrackPan(benchmark::State& state) {
    Scene& s = TheScene(TrackOf(state));
    s.Picture();
    int step = 0;
    for (auto _ : state) {
        const int dx = (++step % 2) != 0 ? 7 : -7;
        tarnwick::ScrollTrack(s.state, s.scene.drawRect, dx, 3);
        s.Picture();
    }
    s.state.offsetX = s.state.offsetY = 0;
}

void BM_TrackCursor(benchmark::State& state) {
    Scene& s = TheScene(TrackOf(state));
    s.Picture();
    int step = 0;
    const double cursor = s.state.cursor;
    for (auto _ : state) {
        s.state.cursor = cursor + (++step % 2) * 25.0;
        s.Picture();
    }
    s.state.cursor = cursor;
}

void BM_TrackColoured(benchmark::State& state) {
    Scene& s = TheScene(TrackOf(state));
    const tarnwick::TrackColouring plain = s.state.colouring;
    s.scene.colouredLap = 0;
    s.scene.referenceLap = kLaps - 1;
    // The delta, a few redraws timed by hand in this thread's CPU time.
    s.state.colouring = {tarnwick::TrackColouring::kDelta, -1, false, 20};
    s.Picture();  // the colours, once
    constexpr int kDeltaRuns = 5;
    const double t0 = bench::ThreadSeconds();
    for (int k = 0; k < kDeltaRuns; ++k) {
        s.renderer.DropPicture();
        s.Picture();
    }
    state.counters["delta_ms"] = 1e3 * (bench::ThreadSeconds() - t0) / kDeltaRuns;
    s.state.colouring = {tarnwick::TrackColouring::kChannel, morlund::DataItem::SPEED->GetOrdinal(),
                         false, 20};
    s.Picture();
    for (auto _ : state) {
        s.renderer.DropPicture();
        s.Picture();
    }
    s.state.colouring = plain;
    s.scene.colouredLap = -1;
    s.scene.referenceLap = -1;
}

void BM_AnalysisTables(benchmark::State& state) {
    Scene& s = TheScene(TrackOf(state));
    std::vector<const morlund::PerfCore*> laps;
    for (int b = 0; b < kLaps; ++b)
        laps.push_back(s.manager.GetBuffer(b));
    std::size_t corners = 0;
    for (auto _ : state) {
        const pellith::SectorTable sectors =
            pellith::BuildSectorTable(laps, pellith::ChooseSectorBoundaries(*laps[0], 20, false));
        const pellith::CornerTable table = pellith::BuildCornerTable(laps, 0);
        benchmark::DoNotOptimize(sectors.theoreticalBest);
        corners = table.corners.size();
    }
    state.counters["corners"] = static_cast<double>(corners);
}

// Every segment from the samples against the warm redraw, both in this thread's CPU
// time, so that their ratio comes from one run on a shared machine.
void BM_TrackEverySegment(benchmark::State& state) {
    Scene& s = TheScene(TrackOf(state));
    s.Picture();
    double everySeconds = 0.0;
    double warmSeconds = 0.0;
    for (auto _ : state) {
        const double t0 = bench::ThreadSeconds();
        s.renderer.SetReduce(false);
        s.Picture();
        const double t1 = bench::ThreadSeconds();
        s.renderer.SetReduce(true);
        s.Picture();  // the lines again
        const double t2 = bench::ThreadSeconds();
        s.renderer.DropPicture();
        s.Picture();
        const double t3 = bench::ThreadSeconds();
        state.SetIterationTime(t1 - t0);
        everySeconds += t1 - t0;
        warmSeconds += t3 - t2;
    }
    const double n =
        static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["warm_ms"] = 1e3 * warmSeconds / n;
    state.counters["vs_warm"] = warmSeconds > 0 ? everySeconds / warmSeconds : 0.0;
}

// Registered per track so that each track's scene is built once.
void RegisterAll() {
    for (int t : {kGP2, kLFS}) {
        const std::string name = kTrackNames[t];
        benchmark::RegisterBenchmark(("BM_TrackCold/" + name).c_str(), BM_TrackCold)
            ->Arg(t)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(2.0);
        benchmark::RegisterBenchmark(("BM_TrackWarm/" + name).c_str(), BM_TrackWarm)
            ->Arg(t)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(1.0);
        benchmark::RegisterBenchmark(("BM_TrackLaps/" + name).c_str(), BM_TrackLaps)
            ->Arg(t)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(1.0);
        benchmark::RegisterBenchmark(("BM_TrackPan/" + name).c_str(), BM_TrackPan)
            ->Arg(t)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(1.0);
        benchmark::RegisterBenchmark(("BM_TrackCursor/" + name).c_str(), BM_TrackCursor)
            ->Arg(t)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(1.0);
        benchmark::RegisterBenchmark(("BM_TrackColoured/" + name).c_str(), BM_TrackColoured)
            ->Arg(t)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(1.0);
        benchmark::RegisterBenchmark(("BM_AnalysisTables/" + name).c_str(), BM_AnalysisTables)
            ->Arg(t)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(1.0);
        benchmark::RegisterBenchmark(("BM_TrackEverySegment/" + name).c_str(), BM_TrackEverySegment)
            ->Arg(t)
            ->Unit(benchmark::kMillisecond)
            ->MinTime(3.0)
            ->UseManualTime();
    }
}

int Check(const char* pngDir) {
    int status = 0;
    for (Track track : {kGP2, kLFS}) {
        Scene& s = TheScene(track);
        s.renderer.SetReduce(true);
        const QImage reduced = s.Picture().copy();
        s.renderer.SetReduce(false);
        const QImage full = s.Picture().copy();
        s.renderer.SetReduce(true);
        const long long differing = pictures::CountDiffering(reduced, full);
        const double share = 100.0 * static_cast<double>(differing) /
                             (static_cast<double>(full.width()) * full.height());
        std::printf("%s: %d laps x %d samples, %dx%d: %lld differing pixels (%.4f %%)\n",
                    kTrackNames[track], kLaps, g_samples, full.width(), full.height(), differing,
                    share);
        if (pngDir != nullptr) {
            const QString stem = QString::fromUtf8(pngDir) + QStringLiteral("/") +
                                 QString::fromLatin1(kTrackNames[track]);
            reduced.save(stem + QStringLiteral("-reduced.png"));
            full.save(stem + QStringLiteral("-full.png"));
        }
        if (share > 0.1) status = 1;
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    bench::PictureOptions options = bench::ReadPictureOptions(argc, argv, g_samples);
    g_samples = options.samples;
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    if (options.check) return Check(options.pngDir);
    RegisterAll();
    return bench::RunBenchmarks(options.rest);
}
