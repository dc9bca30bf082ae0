#pragma once

// The main of a benchmark program that runs the program's widgets: Qt on the offscreen
// platform (unless another is set), then Google Benchmark.

#include <QApplication>
#include <cstdlib>
#include <vector>

#include "bench/BenchMain.h"

namespace bench {

inline int RunQtBenchmarks(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    std::vector<char*> args(argv, argv + argc);
    return RunBenchmarks(args);
}

}  // namespace bench
