#pragma once

// A buffer over plain vectors, for exercising the base class on hand-made data.

#include <memory>
#include <string>
#include <vector>

#include "morlund/core/PerfCore.h"
#include "morlund/formats/gp2/GP2CarSetup.h"
#include "morlund/physics/GP2Physics.h"
#include "morlund/platform/File.h"

namespace testsupport {

class VectorPerf : public morlund::PerfCore {
public:
    // Channels left empty read as the constant in brackets.
    std::vector<double> distance;
    std::vector<double> speed;  // (10)
    std::vector<double> x, y;   // own positions when ownPositions is set
    std::vector<double>
        rideHeight;                // wheel w reads rideHeight + w (0.05); travel reads -rideHeight
    std::vector<double> latAcc;    // when overrideLatAcc is set
    std::vector<double> steering;  // (0)
    std::vector<double> revs;      // (0)
    std::vector<double> wheelSpeed;           // all four wheels (0)
    std::vector<int> gear;                    // (1)
    std::vector<std::vector<double>> travel;  // per wheel, overrides the mirrored ride height
    bool useLatAcc = false;
    bool overrideLatAcc = false;
    bool ownPositions = false;
    double lapTime = 600.0;

    void Load() {
        Init(nullptr, 0);
        SetBufManager(nullptr, -1);
        InitExtended(morlund::File::FromMemory({}, "/laps/vector.pad"));
    }
    void SetPath(const std::string& p) { m_setupPath = p; }

    double InfoGetLapTime() const override { return lapTime; }
    int GetSampleCount() const override { return static_cast<int>(distance.size()); }
    double GetDistance(int i) const override { return distance[i]; }
    double GetSpeed(int i) const override { return speed.empty() ? 10.0 : speed[i]; }
    double GetRevs(int i) const override { return revs.empty() ? 0.0 : revs[i]; }
    double GetThrottle(int) const override { return 0; }
    double GetBrake(int) const override { return 0; }
    double GetSteering(int i) const override { return steering.empty() ? 0.0 : steering[i]; }
    int GetGear(int i) const override { return gear.empty() ? 1 : gear[i]; }
    double GetRideHeight(int i, int w) const override {
        return rideHeight.empty() ? 0.05 : rideHeight[i] + w;
    }
    double GetSuspTravel(int i, int w) const override {
        if (!travel.empty()) return travel[w][i];
        return rideHeight.empty() ? 0 : -rideHeight[i];
    }
    double GetWheelSpeed(int i, int) const override {
        return wheelSpeed.empty() ? 0.0 : wheelSpeed[i];
    }
    double GetCamber(int, int) const override { return 0; }
    double GetPosX(int i) const override { return ownPositions ? x[i] : PerfCore::GetPosX(i); }
    double GetPosY(int i) const override { return ownPositions ? y[i] : PerfCore::GetPosY(i); }
    double GetLateralAcc(int i) const override {
        return overrideLatAcc ? latAcc[i] : PerfCore::GetLateralAcc(i);
    }
    bool IsUseLatAccForAngleAndPos() const override { return useLatAcc; }

protected:
    bool InitData(const std::uint8_t*, std::size_t) override { return true; }
    std::unique_ptr<morlund::CarSetup> CreateSetup() const override {
        return std::make_unique<morlund::GP2CarSetup>();
    }
    std::unique_ptr<morlund::Physics> CreatePhysics() const override {
        return std::make_unique<morlund::GP2Physics>();
    }
};

inline std::vector<double> Range(int n, double step = 1.0) {
    std::vector<double> v(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        v[static_cast<std::size_t>(i)] = i * step;
    return v;
}

}  // namespace testsupport
