// Derived channels, each evaluated over every sample of a 100,000-sample lap:
// the figure to read is ns per sample (1e9 / items_per_second). InitExtraBuf
// runs over a 1,000,000-sample lap.

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lapgen/GP2Writer.h"
#include "morlund/formats/gp2/GP2BufManager.h"
#include "morlund/formats/gp2/GP2Perf.h"
#include "morlund/physics/Physics.h"
#include "morlund/platform/File.h"
#include "morlund/setup/CarSetup.h"

using namespace morlund;

namespace {

std::vector<std::uint8_t> LapFile(int samples, double length) {
    lapgen::LapSpec spec;
    spec.sampleCount = samples;
    spec.trackLength = length;
    return lapgen::WriteGP2Perf(lapgen::EncodeGP2(lapgen::MakeLap(spec)), {});
}

GP2BufManager& Lap100k() {
    static GP2BufManager manager;
    if (manager.GetBufCount() == 0) {
        File file = File::FromMemory(LapFile(100000, 5000), "/nonexistent-bench/lap.pad");
        manager.AddBuffer(file);
    }
    return manager;
}

using Channel = std::function<double(const PerfCore&, const CarSetup&, int)>;

void RunChannel(benchmark::State& state, const Channel& channel) {
    const PerfCore& p = *Lap100k().GetBuffer(0);
    const CarSetup& s = *p.GetSetup();
    const int n = p.GetSampleCount();
    for (auto _ : state) {
        double sum = 0;
        for (int i = 0; i < n; ++i)
            sum += channel(p, s, i);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * n);
}

// The buffer's own channels, as the catalogue reads them (wheel 2 where per wheel).
const std::vector<std::pair<const char*, Channel>>& Channels() {
    using P = const PerfCore&;
    using S = const CarSetup&;
    static const std::vector<std::pair<const char*, Channel>> channels = {
        {"Speed", [](P p, S, int i) { return p.GetSpeed(i); }},
        {"RideHeight", [](P p, S, int i) { return p.GetRideHeight(i, 2); }},
        {"PosX", [](P p, S, int i) { return p.GetPosX(i); }},
        {"Angle", [](P p, S, int i) { return p.GetAngle(i); }},
        {"RHSlow", [](P p, S, int i) { return p.GetRHSlow(i, 2); }},
        {"RHFast", [](P p, S, int i) { return p.GetRHFast(i, 2); }},
        {"Radius", [](P p, S, int i) { return PerfCore::RadiusLength(p.GetRadius(i)); }},
        {"LateralAcc", [](P p, S, int i) { return p.GetLateralAcc(i); }},
        {"LongitudalAcc", [](P p, S, int i) { return p.GetLongitudalAcc(i); }},
        {"Acceleration", [](P p, S, int i) { return p.GetAcceleration(i); }},
        {"SteeringRadius", [](P p, S, int i) { return p.GetSteeringRadius(i); }},
        {"CurveRadius", [](P p, S, int i) { return p.GetCurveRadius(i); }},
        {"InverseCornerRadius", [](P p, S, int i) { return p.GetInverseCornerRadius(i); }},
        {"RH1stDeriv", [](P p, S, int i) { return p.GetRH1stDeriv(i, 2); }},
        {"RH2ndDerivTime", [](P p, S, int i) { return p.GetRH2ndDerivTime(i, 2); }},
        {"ST1stDerivTime", [](P p, S, int i) { return p.GetST1stDerivTime(i, 2); }},
        {"AvgRideHeight", [](P p, S, int i) { return p.GetAvgRideHeight(i); }},
        {"DeltaRideHeight", [](P p, S, int i) { return p.GetDeltaRideHeight(i); }},
        {"WheelSpin", [](P p, S, int i) { return p.GetWheelSpin(i, 2); }},
        {"LongitudalSlip", [](P p, S, int i) { return p.GetLongitudalSlip(i, 2); }},
        {"WheelAcceleration", [](P p, S, int i) { return p.GetWheelAcceleration(i, 2); }},
        {"RevRange", [](P p, S, int i) { return p.GetRevRange(i); }},
        {"DiffRatio", [](P p, S s, int i) { return p.GetDiffRatio(i, s); }},
        {"SpeedVector", [](P p, S, int i) { return p.GetSpeedVector(i).x; }},
        {"AccelerationVector", [](P p, S, int i) { return p.GetAccelerationVector(i).x; }},
        {"SpringForces", [](P p, S s, int i) { return p.GetSpringForces(i, 2, s); }},
        {"ARBContrib", [](P p, S s, int i) { return p.GetARBContrib(i, 2, s); }},
        {"TyreLoad", [](P p, S s, int i) { return p.GetTyreLoad(i, 2, s); }},
        {"DampingForces", [](P p, S s, int i) { return p.GetDampingForces(i, 2, s); }},
        {"TyreAccel", [](P p, S, int i) { return p.GetTyreAccel(i, 2); }},
        {"RideHeightMinSuspTravel",
         [](P p, S s, int i) { return p.GetRideHeightMinSuspTravel(i, 2, s); }},
        {"COGHeightExternal", [](P p, S, int i) { return p.GetCOGHeightExternal(i); }},
        {"COGHeight", [](P p, S s, int i) { return p.GetCOGHeight(i, s); }},
        {"Downforce", [](P p, S s, int i) { return p.GetDownforce(i, 2, s); }},
        {"DragAcc", [](P p, S s, int i) { return p.GetDragAcc(i, s); }},
        {"Power", [](P p, S s, int i) { return p.GetPower(i, s); }},
        {"Torque", [](P p, S s, int i) { return p.GetTorque(i, s); }},
        {"GripFactor", [](P p, S s, int i) { return p.GetGripFactor(i, 2, s); }},
        {"PredictedGripFactor", [](P p, S, int i) { return p.GetPredictedGripFactor(i, 2); }},
        {"PredictedRideHeight",
         [](P p, S s, int i) {
             return p.GetPhysics()->CalcPredictedRideHeight(s, p.GetSpeed(i), 2);
         }},
    };
    return channels;
}

// Exposes the per-sample extra values for timing them alone.
class ExtraTimed : public GP2Perf {
public:
    using PerfCore::InitExtraBuf;
};

void BM_InitExtraBuf1M(benchmark::State& state) {
    static const std::vector<std::uint8_t> file = LapFile(1000000, 19000);
    ExtraTimed buffer;
    // the body starts after the 32-byte envelope header and ends before the checksum
    if (!buffer.Init(file.data() + 32, file.size() - 36)) state.SkipWithError("parse failed");
    for (auto _ : state) {
        buffer.InitExtraBuf();
        benchmark::DoNotOptimize(buffer.GetSamplesExtra().data());
    }
    state.SetItemsProcessed(state.iterations() * 1000000);
}
BENCHMARK(BM_InitExtraBuf1M)->Unit(benchmark::kMillisecond);

const bool kRegistered = [] {
    for (const auto& [name, channel] : Channels()) {
        const Channel c = channel;
        benchmark::RegisterBenchmark((std::string("BM_Channel/") + name).c_str(),
                                     [c](benchmark::State& st) { RunChannel(st, c); })
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

}  // namespace

BENCHMARK_MAIN();
