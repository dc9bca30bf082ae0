#pragma once

// Laps held in memory for drawing graphs: lapgen's channels in plain vectors, shared
// by any number of buffers that scale them, and a buffer manager that takes such
// buffers directly. Used by the graph and track map tests and their benchmarks.

#include <array>
#include <cmath>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "lapgen/Model.h"
#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "morlund/formats/gp2/GP2CarSetup.h"
#include "morlund/physics/GP2Physics.h"
#include "morlund/platform/File.h"

namespace graphlaps {

struct LapData {
    std::vector<double> time, distance, speed, steering, revs, throttle, brake;
    std::vector<int> gear;
    std::array<std::vector<double>, 4> rideHeight, suspTravel, wheelSpeed;
    // Positions in metres; empty: the buffer derives them from its channels.
    std::vector<double> x, y;
    double trackLength = 0;
    double lapTime = 0;

    int Count() const { return static_cast<int>(distance.size()); }
};

// With `positions`, the lap's own positions are served instead of derived ones.
inline std::shared_ptr<LapData> FromLapgen(const lapgen::Lap& lap, bool positions = false) {
    auto data = std::make_shared<LapData>();
    const std::size_t n = lap.samples.size();
    for (auto* v : {&data->time, &data->distance, &data->speed, &data->steering, &data->revs,
                    &data->throttle, &data->brake})
        v->resize(n);
    data->gear.resize(n);
    for (int w = 0; w < 4; ++w) {
        data->rideHeight[w].resize(n);
        data->suspTravel[w].resize(n);
        data->wheelSpeed[w].resize(n);
    }
    for (std::size_t i = 0; i < n; ++i) {
        const lapgen::Sample& s = lap.samples[i];
        data->time[i] = s.time;
        data->distance[i] = s.distance;
        data->speed[i] = s.speed;
        data->steering[i] = s.steering;
        data->revs[i] = s.revs;
        data->throttle[i] = s.throttle;
        data->brake[i] = s.brake;
        data->gear[i] = s.gear;
        for (int w = 0; w < 4; ++w) {
            data->rideHeight[w][i] = s.rideHeight[w];
            data->suspTravel[w][i] = s.suspTravel[w];
            data->wheelSpeed[w][i] = s.wheelSpeed[w];
        }
    }
    if (positions) {
        data->x.resize(n);
        data->y.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            data->x[i] = lap.samples[i].x;
            data->y[i] = lap.samples[i].y;
        }
    }
    data->trackLength = lap.trackLength;
    data->lapTime = lap.lapTime;
    return data;
}

inline std::shared_ptr<LapData> MakeLapData(int samples, std::uint64_t seed = 1,
                                            double trackLength = 5000.0) {
    lapgen::LapSpec lapSpec;
    lapSpec.seed = seed;
    lapSpec.sampleCount = samples;
    lapSpec.trackLength = trackLength;
    return FromLapgen(lapgen::MakeLap(lapSpec));
}

// Lap `index` of a field on one 5 km track: seed 11, each lap on a little less grip
// than the one before.
inline std::shared_ptr<LapData> FieldLap(int samples, int index) {
    lapgen::LapSpec lapSpec;
    lapSpec.seed = 11;
    lapSpec.sampleCount = samples;
    lapSpec.trackLength = 5000;
    lapSpec.gripScale = 1.0 - 0.012 * index;
    return FromLapgen(lapgen::MakeLap(lapSpec));
}

// A lap of constant channels over evenly spaced distances, for pictures whose pixels
// are known in advance.
inline std::shared_ptr<LapData> FlatLap(int samples, double length, double speed) {
    auto data = std::make_shared<LapData>();
    const std::size_t n = static_cast<std::size_t>(samples);
    data->distance.resize(n);
    data->time.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        data->distance[i] = length * static_cast<double>(i) / static_cast<double>(n - 1);
        data->time[i] = data->distance[i] / speed;
    }
    data->speed.assign(n, speed);
    for (auto* v : {&data->steering, &data->revs, &data->throttle, &data->brake})
        v->assign(n, 0);
    data->gear.assign(n, 3);
    for (int w = 0; w < 4; ++w) {
        data->rideHeight[w].assign(n, 0.05);
        data->suspTravel[w].assign(n, 0.02);
        data->wheelSpeed[w].assign(n, speed);
    }
    data->trackLength = length;
    data->lapTime = data->time.back();
    return data;
}

// One buffer over shared channels: speeds times speedFactor, times times timeFactor.
class LapPerf : public morlund::PerfCore {
public:
    explicit LapPerf(std::shared_ptr<const LapData> data, double speedFactor = 1.0,
                     double timeFactor = 1.0)
        : m_data(std::move(data)), m_speedFactor(speedFactor), m_timeFactor(timeFactor) {}

    void Load(morlund::BufManager* manager) {
        Init(nullptr, 0);
        SetBufManager(manager, manager != nullptr ? manager->GetTrack() : -1);
        InitExtended(morlund::File::FromMemory({}, "/laps/graph.lap"));
        Enable(true);
    }

    using PerfCore::GetTime;
    double GetTime(int i) const override { return m_data->time[At(i)] * m_timeFactor; }
    double InfoGetLapTime() const override { return m_data->lapTime * m_timeFactor; }
    double InfoGetTrackLength() const override { return m_data->trackLength; }
    int GetSampleCount() const override { return m_data->Count(); }
    double GetDistance(int i) const override { return m_data->distance[At(i)]; }
    double GetSpeed(int i) const override { return m_data->speed[At(i)] * m_speedFactor; }
    double GetRevs(int i) const override { return m_data->revs[At(i)]; }
    double GetThrottle(int i) const override { return m_data->throttle[At(i)]; }
    double GetBrake(int i) const override { return m_data->brake[At(i)]; }
    double GetSteering(int i) const override { return m_data->steering[At(i)]; }
    int GetGear(int i) const override { return m_data->gear[At(i)]; }
    double GetRideHeight(int i, int w) const override { return m_data->rideHeight[W(w)][At(i)]; }
    double GetSuspTravel(int i, int w) const override { return m_data->suspTravel[W(w)][At(i)]; }
    double GetWheelSpeed(int i, int w) const override { return m_data->wheelSpeed[W(w)][At(i)]; }
    double GetCamber(int, int) const override { return 0.0; }
    double GetPosX(int i) const override {
        return m_data->x.empty() ? PerfCore::GetPosX(i) : m_data->x[At(i)];
    }
    double GetPosY(int i) const override {
        return m_data->y.empty() ? PerfCore::GetPosY(i) : m_data->y[At(i)];
    }

protected:
    bool InitData(const std::uint8_t*, std::size_t) override { return true; }
    std::unique_ptr<morlund::CarSetup> CreateSetup() const override {
        return std::make_unique<morlund::GP2CarSetup>();
    }
    std::unique_ptr<morlund::Physics> CreatePhysics() const override {
        return std::make_unique<morlund::GP2Physics>();
    }

private:
    static std::size_t At(int i) { return static_cast<std::size_t>(i); }
    static std::size_t W(int w) { return static_cast<std::size_t>(w & 3); }

    std::shared_ptr<const LapData> m_data;
    double m_speedFactor;
    double m_timeFactor;
};

// A manager that is handed its buffers instead of reading files.
class LapManager : public morlund::BufManager {
public:
    LapPerf& Add(std::shared_ptr<const LapData> data, double speedFactor = 1.0,
                 double timeFactor = 1.0) {
        return Add(std::make_unique<LapPerf>(std::move(data), speedFactor, timeFactor));
    }
    // A buffer of a class of the caller's, with channels of its own.
    LapPerf& Add(std::unique_ptr<LapPerf> perf) {
        perf->Load(this);
        LapPerf& ref = *perf;
        m_buffers.push_back(std::move(perf));
        return ref;
    }
    int GetTrackCount() const override { return 1; }
    int GetTrack() const override { return 0; }
    std::string GetTrackString(int) const override { return "Test track"; }
    int GetPerfFilter(std::string& filter, int& count, int) const override {
        filter.clear();
        count = 0;
        return 0;
    }

protected:
    morlund::bmErr_t ReadPerf(morlund::File&) override { return morlund::bmReadError; }
    std::unique_ptr<morlund::PerfCore> CreatePerf() const override { return nullptr; }
    std::unique_ptr<morlund::PerfCore> CreateBuffer(const std::string&) override { return nullptr; }
};

}  // namespace graphlaps
