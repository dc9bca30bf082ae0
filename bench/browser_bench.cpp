// Perf file browser figures on a folder tree of 10,000 lapgen laps of every game (GP2, GP3,
// GP3-2000, GP4 and F1RS laps, MGPRS2 laps of three files each, LFS laps), 100 to a
// folder, written by this program into a temporary folder and removed at the end.
//
//   BM_BrowserFirstRows  from opening the browser to its first listed rows (aim: 100 ms)
//   BM_BrowserFullList   from opening the browser to the end of the scan with every row
//                        listed (aim: 2 s); list_MB is what the process grew by for it
//                        (aim: under 50 MB), rows the laps listed
//   BM_BrowserSort/N     the full list, in the order of another column, sorted by column N
//                        (0 Name, 1 Time, 2 Lap, 3 Track, 4 Date), CPU time (aim: 50 ms)
//
// Times from opening are wall-clock times (the scan runs on its own thread); the files
// are in the system's cache after the first run.
//
// Run with QT_QPA_PLATFORM=offscreen (set here when it is not set).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/shell/AltOpenDialog.h"
#include "bench/QtBenchMain.h"
#include "lapgen/F1RSWriter.h"
#include "lapgen/GP2Writer.h"
#include "lapgen/GP3Writer.h"
#include "lapgen/RafWriter.h"
#include "morlund/platform/Process.h"

namespace fs = std::filesystem;

namespace {

constexpr int kLaps = 10000;
constexpr int kPerFolder = 100;

// Resident memory of the process, MB.
double ResidentMB() { return static_cast<double>(morlund::ResidentMemoryBytes()) / 1e6; }

// The tree of laps, written once.
class Tree {
public:
    Tree()
        : m_root(fs::temp_directory_path() /
                 ("browser_bench_" + std::to_string(morlund::ProcessId()))) {
        lapgen::LapSpec spec;
        spec.sampleCount = 60;
        spec.trackLength = 300;
        const lapgen::Lap lap = lapgen::MakeLap(spec);
        lapgen::GP2Raw gp2 = lapgen::EncodeGP2(lap);
        lapgen::GP3Raw gp3 = lapgen::EncodeGP3(lap);
        lapgen::TlmRaw f1rs = lapgen::EncodeF1RS(lap);
        lapgen::TlmRaw mgp = lapgen::EncodeMGP(lap);
        lapgen::RafOptions rafOptions;
        const std::vector<std::uint8_t> raf = lapgen::WriteRaf(lapgen::EncodeRaf(lap), rafOptions);
        lapgen::GP2WriteOptions gp2Options;
        gp2Options.strelkoVersion = 0;
        for (int i = 0; i < kLaps; ++i) {
            const int kind = i % 7;
            const fs::path folder = m_root / ("game" + std::to_string(kind)) /
                                    ("season" + std::to_string(i / kPerFolder));
            fs::create_directories(folder);
            const int track = i % 16;
            const std::string stem = "lap" + std::to_string(i);
            const std::string ext = lapgen::GP2PerfExtension(track);
            gp2.track = gp3.track = static_cast<std::uint8_t>(track);
            gp2.lapNumber = gp3.lapNumber = static_cast<std::uint8_t>(i % 60);
            gp2.dateDays = gp3.dateDays = static_cast<std::uint16_t>(7000 + i % 3000);
            gp2.lapTimeMs = gp3.lapTimeMs = static_cast<std::uint32_t>(80000 + (i * 7919) % 20000);
            switch (kind) {
                case 0:
                    lapgen::WriteFile(folder / (stem + ext), lapgen::WriteGP2Perf(gp2, gp2Options));
                    break;
                case 1:
                case 2:
                case 3:
                    lapgen::WriteFile(
                        folder / (stem + ext),
                        lapgen::WriteGP3Perf(static_cast<lapgen::GP3Game>(kind - 1), gp3));
                    break;
                case 4:
                    f1rs.track = track;
                    f1rs.date = std::to_string(10 + i % 18) + "/0" + std::to_string(1 + i % 9) +
                                "/0" + std::to_string(i % 5) + " 12:" + std::to_string(10 + i % 50);
                    lapgen::WriteFile(folder / (stem + ".tlm"), lapgen::WriteF1RSTelemetry(f1rs));
                    break;
                case 5: {
                    mgp.track = track;
                    const auto parts = lapgen::WriteMGPTelemetry(mgp);
                    for (int p = 0; p < 3; ++p)
                        lapgen::WriteFile(folder / ("save" + std::to_string(p + 1) + stem + ".tlm"),
                                          parts[static_cast<std::size_t>(p)]);
                    break;
                }
                default:
                    lapgen::WriteFile(folder / (stem + ".raf"), raf);
                    break;
            }
        }
    }
    ~Tree() {
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }
    QString Root() const { return QString::fromStdString(m_root.string()); }

private:
    fs::path m_root;
};

const Tree& Laps() {
    static const Tree tree;
    return tree;
}

void WaitForScan(const tarnwick::AltOpenDialog& browser) {
    while (browser.IsScanning())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

morlund::PerfFileFilter Everything() {
    morlund::PerfFileFilter filter;
    filter.primary = morlund::GameType::GP3;
    return filter;
}

void BM_BrowserFirstRows(benchmark::State& state) {
    const Tree& tree = Laps();
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        tarnwick::AltOpenDialog browser(tree.Root(), Everything());
        while (browser.Model().rowCount() == 0 && browser.IsScanning())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) * 1e-9);
        state.counters["rows"] = browser.Model().rowCount();
    }
}

void BM_BrowserFullList(benchmark::State& state) {
    const Tree& tree = Laps();
    double grown = 0.0;  // the first run's: later ones reuse the memory the first gave back
    for (auto _ : state) {
        const double before = ResidentMB();
        QElapsedTimer clock;
        clock.start();
        tarnwick::AltOpenDialog browser(tree.Root(), Everything());
        WaitForScan(browser);
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) * 1e-9);
        state.counters["rows"] = browser.Model().rowCount();
        grown = std::max(grown, ResidentMB() - before);
    }
    state.counters["list_MB"] = grown;
}

void BM_BrowserSort(benchmark::State& state) {
    const int column = static_cast<int>(state.range(0));
    tarnwick::AltOpenDialog browser(Laps().Root(), Everything());
    WaitForScan(browser);
    for (auto _ : state) {
        state.PauseTiming();
        browser.SortBy((column + 2) % tarnwick::PerfFileModel::kColumnCount);  // another order
        state.ResumeTiming();
        browser.SortBy(column);
    }
    state.counters["rows"] = browser.Model().rowCount();
}

}  // namespace

BENCHMARK(BM_BrowserFirstRows)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_BrowserFullList)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);
BENCHMARK(BM_BrowserSort)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->MinTime(0.5);

int main(int argc, char** argv) { return bench::RunQtBenchmarks(argc, argv); }
