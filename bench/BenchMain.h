#pragma once

// The end of every benchmark program's main: Google Benchmark on the arguments that
// the program's own options left over.

#include <benchmark/benchmark.h>

#include <ctime>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace bench {

// This thread's CPU time in seconds: what a step cost, whatever else the machine is doing.
inline double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// The options of the benchmarks that draw pictures, read before Google Benchmark's:
//   --check       compare the reduced picture with the full one and exit
//   --png=DIR     with --check: also write the pictures into DIR
//   --samples=N   samples per lap
// Every other argument is left in `rest`.
struct PictureOptions {
    bool check = false;
    const char* pngDir = nullptr;
    int samples = 0;
    std::vector<char*> rest;
};

inline PictureOptions ReadPictureOptions(int argc, char** argv, int samples) {
    PictureOptions options;
    options.samples = samples;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--check") == 0)
            options.check = true;
        else if (std::strncmp(argv[i], "--png=", 6) == 0)
            options.pngDir = argv[i] + 6;
        else if (std::strncmp(argv[i], "--samples=", 10) == 0)
            options.samples = std::max(2, std::atoi(argv[i] + 10));
        else
            options.rest.push_back(argv[i]);
    }
    return options;
}

inline int RunBenchmarks(std::vector<char*>& args) {
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace bench
