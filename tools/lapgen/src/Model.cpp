#include "lapgen/Model.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace lapgen {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kGravity = 9.81;

// Car.
constexpr double kMass = 600.0;             // kg with driver
constexpr double kPower = 500000.0;         // W
constexpr double kDragCoeff = 0.6;          // N per (m/s)^2
constexpr double kDownforceCoeff = 1.33;    // N per (m/s)^2
constexpr double kCgHeight = 0.30;          // m
constexpr double kFrontWeightShare = 0.45;  // static and aero alike
constexpr double kFrontRollShare = 0.5;     // share of lateral load transfer taken at the front
constexpr double kTractionAcc = 12.0;       // m/s^2, traction-limited acceleration
constexpr double kBrakeAcc = 35.0;          // m/s^2 from the brakes, drag comes on top
constexpr double kFrontBrakeBias = 0.6;
constexpr double kTyreMu = 2.2;                 // wheel force / wheel load at which a tyre lets go
constexpr double kSpringRate = 160000.0;        // N/m at the wheel
constexpr double kFreeRideHeightFront = 0.055;  // m at zero wheel load
constexpr double kFreeRideHeightRear = 0.075;
constexpr double kUpshiftRevs = 12800.0 * kPi / 30.0;  // rad/s
constexpr double kMinRevs = 4000.0 * kPi / 30.0;       // clutch slips below this
constexpr double kMaxSpin = 0.10;                      // rear slip ratio at the traction limit

// Profile grid.
constexpr double kGridStep = 0.5;  // m

// splitmix64: tiny, well mixed, and defined bit for bit, unlike the <random> distributions.
class SplitMix64 {
public:
    explicit SplitMix64(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (m_state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    double Uniform(double lo, double hi) {
        const double unit = static_cast<double>(Next() >> 11) * 0x1.0p-53;
        return lo + (hi - lo) * unit;
    }
    int Int(int lo, int hi) {  // inclusive
        return lo + static_cast<int>(Next() % static_cast<std::uint64_t>(hi - lo + 1));
    }

private:
    std::uint64_t m_state;
};

struct Segment {
    double start = 0;  // distance from the start line
    double length = 0;
    double curvature = 0;              // 0 on straights
    double x = 0, y = 0, heading = 0;  // pose at the segment start
};

struct Pose {
    double x, y, heading, curvature;
};

Pose Advance(double x, double y, double heading, double curvature, double length) {
    if (curvature == 0.0) {
        return {x + length * std::cos(heading), y + length * std::sin(heading), heading, 0.0};
    }
    const double end = heading + curvature * length;
    return {x + (std::sin(end) - std::sin(heading)) / curvature,
            y - (std::cos(end) - std::cos(heading)) / curvature, end, curvature};
}

class Track {
public:
    Track(std::vector<Segment> segments, double length)
        : m_segments(std::move(segments)), m_length(length) {}

    double Length() const { return m_length; }
    const std::vector<Segment>& Segments() const { return m_segments; }

    Pose At(double s) const {
        auto it = std::upper_bound(m_segments.begin(), m_segments.end(), s,
                                   [](double v, const Segment& seg) { return v < seg.start; });
        const Segment& seg = (it == m_segments.begin()) ? m_segments.front() : *(it - 1);
        const double local = std::clamp(s - seg.start, 0.0, seg.length);
        return Advance(seg.x, seg.y, seg.heading, seg.curvature, local);
    }

private:
    std::vector<Segment> m_segments;
    double m_length;
};

// Lays out segments from (x, y, heading) and fills in their start poses and distances.
void LayOut(std::vector<Segment>& segments, double x, double y, double heading) {
    double s = 0;
    for (Segment& seg : segments) {
        seg.start = s;
        seg.x = x;
        seg.y = y;
        seg.heading = heading;
        const Pose end = Advance(x, y, heading, seg.curvature, seg.length);
        x = end.x;
        y = end.y;
        heading = end.heading;
        s += seg.length;
    }
}

struct Box {
    double minX = 1e300, maxX = -1e300, minY = 1e300, maxY = -1e300;
    void Add(double x, double y) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
};

Box Bounds(const std::vector<Segment>& segments) {
    Box box;
    for (const Segment& seg : segments) {
        const int steps = seg.curvature == 0.0 ? 1 : 64;
        for (int i = 0; i <= steps; ++i) {
            const Pose p =
                Advance(seg.x, seg.y, seg.heading, seg.curvature, seg.length * i / steps);
            box.Add(p.x, p.y);
        }
    }
    return box;
}

// Turning angles of the corners: mostly left-handers, a few right-handers, net exactly one
// full turn. Every angle stays well inside (0.3, 2.6) in magnitude so that the closing
// correction below is well conditioned.
std::vector<double> PickTurns(SplitMix64& rng) {
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const int count = rng.Int(7, 11);
        const int rightCount = rng.Int(0, 2);
        std::vector<double> turns(count);
        std::vector<bool> right(count, false);
        for (int i = 0; i < rightCount; ++i) {
            right[rng.Int(1, count - 1)] = true;
        }
        double rightTotal = 0;
        double weightTotal = 0;
        for (int i = 0; i < count; ++i) {
            if (right[i]) {
                turns[i] = -rng.Uniform(0.35, 1.0);
                rightTotal -= turns[i];
            } else {
                turns[i] = rng.Uniform(0.6, 1.6);
                weightTotal += turns[i];
            }
        }
        const double leftTotal = 2.0 * kPi + rightTotal;
        bool ok = true;
        for (int i = 0; i < count; ++i) {
            if (!right[i]) {
                turns[i] *= leftTotal / weightTotal;
            }
            ok = ok && std::abs(turns[i]) > 0.3 && std::abs(turns[i]) < 2.6;
        }
        if (ok) {
            // Re-derive the last left-hander from the others so the sum is 2*pi to the last bit
            // the arithmetic allows.
            int last = count - 1;
            while (right[last]) {
                --last;
            }
            double others = 0;
            for (int i = 0; i < count; ++i) {
                others += (i == last) ? 0.0 : turns[i];
            }
            turns[last] = 2.0 * kPi - others;
            return turns;
        }
    }
    throw std::logic_error("lapgen: no usable corner set");
}

Track BuildTrack(std::uint64_t seed, double targetLength) {
    SplitMix64 rng(seed);
    const std::vector<double> turns = PickTurns(rng);
    const int count = static_cast<int>(turns.size());
    const double startHeading = rng.Uniform(0.0, 2.0 * kPi);

    // Straight i precedes corner i; straight 0 is the main straight.
    std::vector<double> straight(count);
    std::vector<double> radius(count);
    for (int i = 0; i < count; ++i) {
        straight[i] = (i == 0) ? rng.Uniform(500.0, 800.0) : rng.Uniform(40.0, 350.0);
        radius[i] = 20.0 * std::exp(rng.Uniform(0.0, std::log(12.5)));
    }

    // The random pieces leave a gap between end and start. Two consecutive straights whose
    // directions bracket the needed displacement can absorb it with non-negative extensions;
    // such a pair exists because the straight headings wind once round the circle in steps
    // smaller than pi.
    std::vector<double> heading(count);
    double gapX = 0, gapY = 0, h = startHeading;
    for (int i = 0; i < count; ++i) {
        heading[i] = h;
        gapX += straight[i] * std::cos(h);
        gapY += straight[i] * std::sin(h);
        const Pose end = Advance(0, 0, h, turns[i] > 0 ? 1 / radius[i] : -1 / radius[i],
                                 radius[i] * std::abs(turns[i]));
        gapX += end.x;
        gapY += end.y;
        h = end.heading;
    }
    int bestPair = -1;
    double bestA = 0, bestB = 0;
    for (int i = 0; i < count; ++i) {
        const double h1 = heading[i];
        const double h2 = heading[(i + 1) % count];
        const double det = std::sin(h2 - h1);
        const double a = (-gapX * std::sin(h2) + gapY * std::cos(h2)) / det;
        const double b = (-gapY * std::cos(h1) + gapX * std::sin(h1)) / det;
        if (a >= 0 && b >= 0 && (bestPair < 0 || a + b < bestA + bestB)) {
            bestPair = i;
            bestA = a;
            bestB = b;
        }
    }
    if (bestPair < 0) {
        throw std::logic_error("lapgen: outline cannot be closed");
    }
    straight[bestPair] += bestA;
    straight[(bestPair + 1) % count] += bestB;

    double total = 0;
    for (int i = 0; i < count; ++i) {
        total += straight[i] + radius[i] * std::abs(turns[i]);
    }
    double scale = targetLength / total;

    // The start line sits 60% of the way down the main straight.
    constexpr double kStartFraction = 0.6;
    std::vector<Segment> segments;
    auto build = [&](double factor) {
        segments.clear();
        segments.push_back({0, straight[0] * (1 - kStartFraction) * factor, 0, 0, 0, 0});
        for (int i = 0; i < count; ++i) {
            if (i > 0) {
                segments.push_back({0, straight[i] * factor, 0, 0, 0, 0});
            }
            const double r = radius[i] * factor;
            segments.push_back({0, r * std::abs(turns[i]), turns[i] > 0 ? 1 / r : -1 / r, 0, 0, 0});
        }
        segments.push_back({0, straight[0] * kStartFraction * factor, 0, 0, 0, 0});
        LayOut(segments, 0, 0, startHeading);
    };
    build(scale);
    Box box = Bounds(segments);
    const double halfExtent = std::max(box.maxX - box.minX, box.maxY - box.minY) / 2;
    if (halfExtent > kMaxExtent) {
        // Long, stretched outlines are shrunk to fit the coarse position range of the files.
        scale *= kMaxExtent / halfExtent;
        build(scale);
        box = Bounds(segments);
    }
    LayOut(segments, -(box.minX + box.maxX) / 2, -(box.minY + box.maxY) / 2, startHeading);
    const double length = segments.back().start + segments.back().length;
    return Track(std::move(segments), length);
}

// Drive force available at speed v (N), before drag.
double DriveForce(double v, double grip) {
    return std::min(kMass * kTractionAcc * grip, kPower / std::max(v, 1.0));
}

struct Profile {
    double step = 0;
    std::vector<double> speed;  // per node; node count == speed.size(), node N wraps to node 0
    std::vector<double> time;   // per node, size N + 1; time.back() is the lap time
};

Profile BuildProfile(const Track& track, double grip) {
    const int nodes = std::max(16, static_cast<int>(std::ceil(track.Length() / kGridStep)));
    Profile profile;
    profile.step = track.Length() / nodes;
    const double ds = profile.step;
    const double topSpeed = std::cbrt(kPower / kDragCoeff);
    std::vector<double>& v = profile.speed;
    v.assign(nodes, topSpeed);
    for (const Segment& seg : track.Segments()) {
        if (seg.curvature == 0.0) {
            continue;
        }
        const double limit = std::sqrt(kMaxLateralAcc * grip / std::abs(seg.curvature));
        const auto first = static_cast<int>(std::floor(seg.start / ds));
        const auto last = static_cast<int>(std::ceil((seg.start + seg.length) / ds));
        for (int i = first; i <= last; ++i) {
            v[i % nodes] = std::min(v[i % nodes], limit);
        }
    }
    // Two sweeps each way so the braking and acceleration zones that cross the start line
    // settle as on a flying lap.
    for (int k = 2 * nodes - 1; k >= 0; --k) {
        const int i = k % nodes;
        const double next = v[(k + 1) % nodes];
        const double decel = kBrakeAcc * grip + kDragCoeff * next * next / kMass;
        v[i] = std::min(v[i], std::sqrt(next * next + 2 * decel * ds));
    }
    for (int k = 0; k < 2 * nodes; ++k) {
        const double cur = v[k % nodes];
        const double acc = std::max(0.0, (DriveForce(cur, grip) - kDragCoeff * cur * cur) / kMass);
        double& next = v[(k + 1) % nodes];
        next = std::min(next, std::sqrt(cur * cur + 2 * acc * ds));
    }
    profile.time.assign(nodes + 1, 0.0);
    for (int i = 0; i < nodes; ++i) {
        profile.time[i + 1] = profile.time[i] + 2 * ds / (v[i] + v[(i + 1) % nodes]);
    }
    return profile;
}

void FillCar(Sample& out, double grip) {
    const double v = out.speed;
    const double drag = kDragCoeff * v * v;
    const double force = kMass * out.longAcc + drag;  // needed from engine (+) or brakes (-)
    out.throttle = force >= 0 ? std::min(1.0, force / DriveForce(v, grip)) : 0.0;
    out.brake = force < 0 ? std::min(1.0, -force / (kMass * kBrakeAcc * grip)) : 0.0;
    out.steering = std::atan(kWheelbase * out.curvature);

    out.gear = static_cast<int>(kGearRatios.size());
    for (int g = 1; g <= static_cast<int>(kGearRatios.size()); ++g) {
        if (v / kWheelRadius * kFinalDrive / kGearRatios[g - 1] <= kUpshiftRevs) {
            out.gear = g;
            break;
        }
    }
    out.revs = std::max(kMinRevs, v / kWheelRadius * kFinalDrive / kGearRatios[out.gear - 1]);

    // Loads: weight plus downforce split front/rear, then longitudinal and lateral transfer.
    const double vertical = kMass * kGravity + kDownforceCoeff * v * v;
    const double longTransfer = kMass * out.longAcc * kCgHeight / kWheelbase;
    const double front = vertical * kFrontWeightShare - longTransfer;
    const double rear = vertical * (1 - kFrontWeightShare) + longTransfer;
    const double latTransfer = kMass * out.latAcc * kCgHeight / kTrackWidth;
    const double latFront = latTransfer * kFrontRollShare;
    const double latRear = latTransfer * (1 - kFrontRollShare);
    // A left turn (positive lateral acceleration) loads the right-hand wheels.
    out.wheelLoad[kLeftRear] = std::max(0.0, rear / 2 - latRear);
    out.wheelLoad[kRightRear] = std::max(0.0, rear / 2 + latRear);
    out.wheelLoad[kLeftFront] = std::max(0.0, front / 2 - latFront);
    out.wheelLoad[kRightFront] = std::max(0.0, front / 2 + latFront);

    for (int w = 0; w < 4; ++w) {
        const double travel = std::clamp(out.wheelLoad[w] / kSpringRate, 0.0, kMaxSuspTravel);
        const double free = (w >= kLeftFront) ? kFreeRideHeightFront : kFreeRideHeightRear;
        out.suspTravel[w] = travel;
        out.rideHeight[w] = std::clamp(free - travel, kMinRideHeight, kMaxRideHeight);
        out.camber[w] = 0.0;
    }

    // Free rolling: the inside wheels run on the smaller radius.
    const double spread = out.curvature * kTrackWidth / 2;
    for (int w = 0; w < 4; ++w) {
        const bool left = (w == kLeftRear || w == kLeftFront);
        out.wheelSpeed[w] = v * (left ? 1 - spread : 1 + spread);
    }
    // Driven rear wheels spin more the closer the drive force is to what the tyre holds.
    if (force > 0) {
        for (int w : {kLeftRear, kRightRear}) {
            const double ratio = (force / 2) / (kTyreMu * grip * std::max(out.wheelLoad[w], 1.0));
            out.wheelSpeed[w] *= 1 + kMaxSpin * std::min(1.0, ratio * ratio);
        }
    }
    // Fronts lock when the brake demand beats the tyre, typically at the end of a braking zone
    // where the downforce has gone.
    if (out.brake > 0) {
        for (int w : {kLeftFront, kRightFront}) {
            const double demand = out.brake * kFrontBrakeBias * kMass * kBrakeAcc * grip / 2;
            const double ratio = demand / (kTyreMu * grip * std::max(out.wheelLoad[w], 1.0));
            out.wheelSpeed[w] *= 1 - std::clamp((ratio - 1) * 2, 0.0, 1.0);
        }
    }
}

}  // namespace

Lap MakeLap(const LapSpec& spec) {
    if (spec.sampleCount < 2) {
        throw std::invalid_argument("lapgen: a lap needs at least 2 samples");
    }
    if (!(spec.trackLength >= 100.0 && spec.trackLength <= 19000.0)) {
        throw std::invalid_argument("lapgen: track length must be 100..19000 m");
    }
    if (!(spec.gripScale > 0.0)) {
        throw std::invalid_argument("lapgen: grip scale must be positive");
    }
    const Track track = BuildTrack(spec.seed, spec.trackLength);
    const Profile profile = BuildProfile(track, spec.gripScale);
    const std::vector<double>& v = profile.speed;
    const int nodes = static_cast<int>(v.size());
    const double ds = profile.step;

    Lap lap;
    lap.spec = spec;
    lap.trackLength = track.Length();
    lap.lapTime = profile.time.back();
    lap.timeStep = lap.lapTime / (spec.sampleCount - 1);
    lap.samples.resize(spec.sampleCount);

    int node = 0;
    double lastDistance = 0;
    for (int k = 0; k < spec.sampleCount; ++k) {
        Sample& out = lap.samples[k];
        const bool last = (k == spec.sampleCount - 1);
        out.time = last ? lap.lapTime : k * lap.timeStep;
        while (node < nodes - 1 && profile.time[node + 1] <= out.time) {
            ++node;
        }
        // Constant acceleration between grid nodes, matching how the node times were built.
        const double v0 = v[node];
        const double v1 = v[(node + 1) % nodes];
        const double acc = (v1 * v1 - v0 * v0) / (2 * ds);
        const double tau = out.time - profile.time[node];
        double s = node * ds + v0 * tau + 0.5 * acc * tau * tau;
        s = std::clamp(s, node * ds, (node + 1) * ds);
        if (last) {
            s = lap.trackLength;
        }
        out.distance = std::max(lastDistance, std::min(s, lap.trackLength));
        lastDistance = out.distance;
        out.speed = last ? v[0] : std::clamp(v0 + acc * tau, std::min(v0, v1), std::max(v0, v1));
        out.longAcc = acc;

        const Pose pose = track.At(out.distance);
        out.x = pose.x;
        out.y = pose.y;
        out.heading = pose.heading;
        out.curvature = pose.curvature;
        out.latAcc = out.speed * out.speed * out.curvature;
        FillCar(out, spec.gripScale);
    }
    return lap;
}

}  // namespace lapgen
