// Sample table figures on one lapgen lap of 500,000 samples, held by a document.
//
//   BM_TextInsertion  the rows of the whole lap put in order the old way: each sample
//                     inserted by binary search, its values read at every comparison;
//                     run once (it takes seconds)
//   BM_TextRebuild    the rows of the whole lap sorted as the table does it, by Gear
//                     descending, then Speed; vs_insertion is how many times faster
//                     than BM_TextInsertion of the same run (the aim: 50 or more), and
//                     same_order 1 when both give the same rows wherever the keys differ
//   BM_TextScroll     one page of the table scrolled and drawn (1200 x 900, the columns
//                     a new table shows); the aim is one 60 Hz frame, 16 ms
//
// Options of our own, before Google Benchmark's:
//   --samples=N   samples of the lap (default 500000)
//
// Run with QT_QPA_PLATFORM=offscreen (set here when it is not set).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

#include "app/shell/TarnwickDoc.h"
#include "app/views/TextModel.h"
#include "app/views/TextView.h"
#include "bench/BenchMain.h"
#include "morlund/items/DataItem.h"
#include "tests/app/GraphLaps.h"

using morlund::DataItem;
using tarnwick::SortKeys;
using tarnwick::TextColumns;

namespace {

int g_samples = 500000;
double g_insertionSeconds = 0.0;
std::vector<int> g_insertionOrder;

struct Table {
    tarnwick::CTarnwickDoc doc;
    const morlund::PerfCore* lap = nullptr;
    TextColumns columns = tarnwick::BuildTextColumns();
    std::vector<int> visible = tarnwick::VisibleColumns(columns);
    SortKeys keys;

    Table() {
        auto manager = std::make_unique<graphlaps::LapManager>();
        manager->Add(graphlaps::MakeLapData(g_samples));
        doc.TakeLaps(std::move(manager), morlund::GameType::GP2);
        lap = doc.Buffer(0);
        keys = {-(Position(DataItem::GEAR) + 1), Position(DataItem::SPEED) + 1};
    }
    int Position(const DataItem* item) const {
        for (int p = 0; p < static_cast<int>(visible.size()); ++p) {
            if (columns[visible[p]]->GetItem() == item) return p;
        }
        std::abort();  // both are measured channels, shown from the start
    }
    // The comparison of two samples, reading their values each time.
    int Compare(int a, int b) const {
        for (const int key : keys) {
            int c = 0;
            if (key == 0) {
                c = a < b ? -1 : a > b ? 1 : 0;
            } else {
                const tarnwick::TextColumn& column = *columns[visible[std::abs(key) - 1]];
                const double va = column.GetValue(*lap, a), vb = column.GetValue(*lap, b);
                c = va < vb ? -1 : va > vb ? 1 : 0;
            }
            if (key < 0) c = -c;
            if (c != 0) return c;
        }
        return 0;
    }
    std::vector<int> InsertionOrder() const {
        std::vector<int> rows;
        for (int sample = 0; sample < lap->GetSampleCount(); ++sample) {
            std::size_t low = 0, high = rows.size();
            while (low < high) {
                const std::size_t middle = (low + high) / 2;
                const int c = Compare(sample, rows[middle]);
                if (c == 0) {
                    low = middle;
                    break;
                }
                if (c < 0)
                    high = middle;
                else
                    low = middle + 1;
            }
            rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(low), sample);
        }
        return rows;
    }
};

Table& TheTable() {
    static Table table;
    return table;
}

void BM_TextInsertion(benchmark::State& state) {
    Table& t = TheTable();
    for (auto _ : state) {
        const double t0 = bench::ThreadSeconds();
        g_insertionOrder = t.InsertionOrder();
        g_insertionSeconds = bench::ThreadSeconds() - t0;
        state.SetIterationTime(g_insertionSeconds);
    }
}

void BM_TextRebuild(benchmark::State& state) {
    Table& t = TheTable();
    tarnwick::TextRows rows;
    double seconds = 0.0;
    for (auto _ : state) {
        const double t0 = bench::ThreadSeconds();
        rows = tarnwick::SortRows(t.columns, t.visible, t.keys, *t.lap, 0, t.lap->GetSampleCount());
        const double t1 = bench::ThreadSeconds();
        state.SetIterationTime(t1 - t0);
        seconds += t1 - t0;
        benchmark::DoNotOptimize(rows.order.data());
    }
    const double n =
        static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    if (g_insertionSeconds > 0.0 && seconds > 0.0)
        state.counters["vs_insertion"] = g_insertionSeconds / (seconds / n);
    if (g_insertionOrder.size() == rows.order.size()) {
        // Rows that compare equal may stand in either order; any others must match.
        bool same = true;
        for (std::size_t i = 0; same && i < rows.order.size(); ++i)
            same = t.Compare(rows.order[i], g_insertionOrder[i]) == 0;
        state.counters["same_order"] = same ? 1 : 0;
    }
}

// One page down per iteration, and back to the top at the end; the viewport is drawn
// the way a paint event draws it.
void BM_TextScroll(benchmark::State& state) {
    tarnwick::CTxtView view(TheTable().doc);
    view.resize(1200, 900);
    QPixmap page(view.viewport()->size());
    QScrollBar& bar = *view.verticalScrollBar();
    view.viewport()->render(&page);
    for (auto _ : state) {
        const int next = bar.value() + bar.pageStep();
        bar.setValue(next > bar.maximum() ? 0 : next);
        view.viewport()->render(&page);
    }
    state.counters["rows"] = view.Model().rowCount();
    state.counters["columns"] = view.Model().columnCount();
}

BENCHMARK(BM_TextInsertion)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_TextRebuild)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseManualTime();
BENCHMARK(BM_TextScroll)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--samples=", 10) == 0)
            g_samples = std::max(2, std::atoi(argv[i] + 10));
        else
            rest.push_back(argv[i]);
    }
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    return bench::RunBenchmarks(rest);
}
