#pragma once

// The end of every benchmark program's main: Google Benchmark on the arguments that
// the program's own options left over.

#include <benchmark/benchmark.h>

#include <vector>

namespace bench {

inline int RunBenchmarks(std::vector<char*>& args) {
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace bench
