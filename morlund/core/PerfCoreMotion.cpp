// Per-sample extra values and the motion channels they are built from.

#include <algorithm>
#include <cmath>
#include <numbers>

#include "morlund/core/PerfCore.h"
#include "morlund/physics/Physics.h"
#include "morlund/setup/CarSetup.h"

namespace morlund {

namespace {
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kMinTimeStep = 0.001;

struct TurningPoint {
    int index;  // full sample index: laps may have more than 65,535 samples
    double value;
};
}  // namespace

void PerfCore::InitExtraBuf() {
    const int n = GetSampleCount();
    m_extra.assign(static_cast<std::size_t>(std::max(n, 0)), ExtraPerf{});
    if (n <= 0) return;

    for (int w = 0; w < 4; ++w)
        ComputeSlowParts(false, w);
    for (int w = 0; w < 4; ++w)
        ComputeSlowParts(true, w);

    if (IsUseLatAccForAngleAndPos()) ComputePositionsFromLateralAcc();

    // Headings of every buffer come from the positions, kept continuous.
    for (int i = 0; i < n; ++i) {
        double theta = GetAngleImpl(i);
        if (i == 0) {
            if (theta < 0.0) theta += kTwoPi;
        } else {
            const double previous = m_extra[static_cast<std::size_t>(i - 1)].angle;
            if (theta > previous + std::numbers::pi) {
                theta -= kTwoPi;
            } else if (theta < previous - std::numbers::pi) {
                theta += kTwoPi;
            }
        }
        m_extra[static_cast<std::size_t>(i)].angle = theta;
    }
}

// The slow part of a trace exists only at its turning points other than the
// first and the last: the middle between the extreme and the straight line
// through the neighbouring extremes.
void PerfCore::ComputeSlowParts(bool suspension, int wheel) {
    const int n = GetSampleCount();
    auto value = [&](int i) { return Travel(suspension, i, wheel); };
    std::vector<TurningPoint> turns;
    if (n >= 2) {
        double p = value(0);
        bool falling = value(1) < p;
        for (int i = 1; i < n; ++i) {
            const double x = value(i);
            if ((falling && x > p) || (!falling && x < p)) {
                turns.push_back({i - 1, p});
                falling = !falling;
            } else {
                p = x;
            }
        }
    }
    std::size_t f = 0;
    for (int a = 0; a < n; ++a) {
        double slow = kNoValue;
        if (f + 1 < turns.size() && a == turns[f].index) {
            if (f > 0) {
                const TurningPoint& prev = turns[f - 1];
                const TurningPoint& cur = turns[f];
                const TurningPoint& next = turns[f + 1];
                const double q = static_cast<double>(a - prev.index) /
                                 static_cast<double>(next.index - prev.index);
                slow = (prev.value + q * (next.value - prev.value) + cur.value) * 0.5;
            }
            ++f;
        }
        ExtraPerf& record = m_extra[static_cast<std::size_t>(a)];
        (suspension ? record.stSlow : record.rhSlow)[wheel] = slow;
    }
}

// Buffers without recorded positions rebuild heading and position from the
// lateral acceleration, then close both loops.
void PerfCore::ComputePositionsFromLateralAcc() {
    const int n = GetSampleCount();
    const double dt = GetFrameTime();
    std::vector<double> heading(static_cast<std::size_t>(n));
    heading[0] = GetStartAngle();
    const Vect start = GetStartPos();
    m_extra[0].x = start.x;
    m_extra[0].y = start.y;

    std::vector<double> latAcc(static_cast<std::size_t>(n), 0.0);
    double total = 0.0;
    for (int i = 1; i < n; ++i) {
        const double a = GetLateralAcc(i);
        latAcc[static_cast<std::size_t>(i)] = a;
        total += std::fabs(a);
        const double v = GetSpeed(i);
        double step = 0.0;
        if (v != 0.0) step = std::asin(std::clamp(dt * (-1.0 / v) * a, -1.0, 1.0));
        heading[static_cast<std::size_t>(i)] = heading[static_cast<std::size_t>(i - 1)] + step;
    }

    // Spread the heading error over the lap where the car turns. The smallest
    // equivalent correction: a lap that falls short of a full turn is closed,
    // not unwound by a whole turn.
    if (total > 0.0) {
        const double d = heading[0] - heading[static_cast<std::size_t>(n - 1)];
        const double correction = d - kTwoPi * std::round(d / kTwoPi);
        double running = 0.0;
        for (int i = 1; i < n; ++i) {
            running += std::fabs(latAcc[static_cast<std::size_t>(i)]) / total * correction;
            heading[static_cast<std::size_t>(i)] += running;
        }
    }

    for (int i = 1; i < n; ++i) {
        const double v = GetSpeed(i);
        const double h = heading[static_cast<std::size_t>(i)];
        ExtraPerf& cur = m_extra[static_cast<std::size_t>(i)];
        const ExtraPerf& prev = m_extra[static_cast<std::size_t>(i - 1)];
        cur.x = prev.x + dt * v * std::cos(h);
        cur.y = prev.y + dt * v * std::sin(h);
    }

    const double ex = (m_extra[0].x - m_extra[static_cast<std::size_t>(n - 1)].x) / n;
    const double ey = (m_extra[0].y - m_extra[static_cast<std::size_t>(n - 1)].y) / n;
    for (int k = 1; k < n; ++k) {
        m_extra[static_cast<std::size_t>(k)].x += k * ex;
        m_extra[static_cast<std::size_t>(k)].y += k * ey;
    }
}

double PerfCore::GetAngle(int sample) const {
    return m_extra[static_cast<std::size_t>(sample)].angle;
}

double PerfCore::GetRHSlow(int sample, int wheel) const {
    return m_extra[static_cast<std::size_t>(sample)].rhSlow[wheel];
}
double PerfCore::GetSTSlow(int sample, int wheel) const {
    return m_extra[static_cast<std::size_t>(sample)].stSlow[wheel];
}
double PerfCore::GetRHFast(int sample, int wheel) const {
    return GetRideHeight(sample, wheel) - GetRHSlow(sample, wheel);
}
double PerfCore::GetSTFast(int sample, int wheel) const {
    return GetSuspTravel(sample, wheel) - GetSTSlow(sample, wheel);
}

Vect PerfCore::GetRadius(int i) const {
    const int h = m_radiusHalfWindow;
    if (i - h < 0 || i + h >= GetSampleCount()) return {};
    const double x0 = GetPosX(i - h), y0 = GetPosY(i - h);
    const double x1 = GetPosX(i), y1 = GetPosY(i);
    const double x2 = GetPosX(i + h), y2 = GetPosY(i + h);
    const double g = (x1 - x0) * (y2 - y1) - (y1 - y0) * (x2 - x1);
    if (g == 0.0) return {};
    const double c = ((y1 - y0) * (y2 - y0) + (x1 - x0) * (x2 - x0)) / (2.0 * g);
    return {(x2 - x1) / 2.0 - (y2 - y1) * c, (y2 - y1) / 2.0 + (x2 - x1) * c};
}

double PerfCore::GetAngleImpl(int i) const {
    const int n = GetSampleCount();
    if (n <= 0) return 0.0;
    const int j = (i + m_radiusHalfWindow) % n;
    return std::atan2(GetPosY(j) - GetPosY(i), GetPosX(j) - GetPosX(i));
}

double PerfCore::GetCalculatedAcc(int i) const {
    const int a = i - m_speedWindow;
    const int b = i + m_speedWindow - 1;
    if (a < 0 || b >= GetSampleCount()) return 0.0;
    const double dt = GetTime(b) - GetTime(a);
    if (dt < kMinTimeStep) return 0.0;
    return (GetSpeed(b) - GetSpeed(a)) / dt;
}

double PerfCore::GetLongitudalAcc(int sample) const { return GetCalculatedAcc(sample); }

double PerfCore::GetLateralAcc(int sample) const {
    const double r = RadiusLength(GetRadius(sample));
    if (r < 0.001) return 0.0;
    const double v = GetSpeed(sample);
    return v * v / r;
}

double PerfCore::GetAcceleration(int sample) const {
    const double lon = GetLongitudalAcc(sample);
    const double lat = GetLateralAcc(sample);
    return std::sqrt(lon * lon + lat * lat);
}

Vect PerfCore::GetSpeedVector(int i) const {
    const int a = i - m_speedWindow;
    const int b = i + m_speedWindow - 1;
    if (a < 0 || b >= GetSampleCount()) return {};
    const double dx = GetPosX(b) - GetPosX(a);
    const double dy = GetPosY(b) - GetPosY(a);
    const double dz = GetPosZ(b) - GetPosZ(a);
    const double length = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (length == 0.0) return {};  // standing still: no direction
    const double f = GetSpeed(i) / length;
    return {dx * f, dy * f};
}

Vect PerfCore::GetAccelerationVector(int i) const {
    const int a = i - m_speedWindow;
    const int b = i + m_speedWindow - 1;
    if (a < 0 || b >= GetSampleCount()) return {};
    const double dt = GetTime(b) - GetTime(a);
    if (dt < kMinTimeStep) return {};
    const Vect va = GetSpeedVector(a);
    if (va.IsZero()) return {};
    const Vect vb = GetSpeedVector(b);
    if (vb.IsZero()) return {};
    return (vb - va) / dt;
}

double PerfCore::SteerAngleToRadius(double angle) const {
    const double t = std::tan(angle);
    if (t < 0.001) return kNoValue;
    return GetPhysics()->GetWheelBase() / t;
}

double PerfCore::RadiusToSteerAngle(double radius) const {
    return std::atan2(GetPhysics()->GetWheelBase(), radius);
}

double PerfCore::GetSteeringRadius(int i) const {
    return SteerAngleToRadius(std::fabs(GetSteering(i)));
}

double PerfCore::GetCurveRadius(int i) const {
    const double a = GetLateralAcc(i);
    if (a == 0.0) return kNoValue;
    const double v = GetSpeed(i);
    return v * v / a;
}

double PerfCore::GetInverseCornerRadius(int i) const {
    const double r = GetCurveRadius(i);
    return r == 0.0 ? 50.0 : 1.0 / r;
}

// Derivatives look one sample back (and one ahead for the second); the first
// sample borrows from the second, the last second derivative from the one
// before. Short buffers and samples at the same distance give 0.
double PerfCore::FirstDeriv(bool suspension, int i, int w) const {
    if (GetSampleCount() < 2) return 0.0;
    if (i < 1) i = 1;
    const double dd = GetDistance(i) - GetDistance(i - 1);
    if (dd == 0.0) return 0.0;
    return (Travel(suspension, i, w) - Travel(suspension, i - 1, w)) / dd;
}

double PerfCore::FirstDerivTime(bool suspension, int i, int w) const {
    if (GetSampleCount() < 2) return 0.0;
    if (i < 1) i = 1;
    return GetSpeed(i - 1) * FirstDeriv(suspension, i, w);
}

double PerfCore::SecondDeriv(bool suspension, int i, int w) const {
    const int n = GetSampleCount();
    if (n < 3) return 0.0;
    if (i < 1) i = 1;
    if (i >= n - 1) i = n - 2;
    const double dd = GetDistance(i) - GetDistance(i - 1);
    if (dd == 0.0) return 0.0;
    return (FirstDeriv(suspension, i + 1, w) - FirstDeriv(suspension, i, w)) / dd;
}

double PerfCore::SecondDerivTime(bool suspension, int i, int w) const {
    if (GetSampleCount() < 3) return 0.0;
    if (i < 1) i = 1;
    const double v = GetSpeed(i - 1);
    return SecondDeriv(suspension, i, w) * v * v;
}

double PerfCore::GetRH1stDeriv(int i, int w) const { return FirstDeriv(false, i, w); }
double PerfCore::GetRH1stDerivTime(int i, int w) const { return FirstDerivTime(false, i, w); }
double PerfCore::GetRH2ndDeriv(int i, int w) const { return SecondDeriv(false, i, w); }
double PerfCore::GetRH2ndDerivTime(int i, int w) const { return SecondDerivTime(false, i, w); }
double PerfCore::GetST1stDeriv(int i, int w) const { return FirstDeriv(true, i, w); }
double PerfCore::GetST1stDerivTime(int i, int w) const { return FirstDerivTime(true, i, w); }
double PerfCore::GetST2ndDeriv(int i, int w) const { return SecondDeriv(true, i, w); }
double PerfCore::GetST2ndDerivTime(int i, int w) const { return SecondDerivTime(true, i, w); }

double PerfCore::GetAvgRideHeight(int i) const {
    return (GetRideHeight(i, 0) + GetRideHeight(i, 1) + GetRideHeight(i, 2) + GetRideHeight(i, 3)) *
           0.25;
}

double PerfCore::GetDeltaRideHeight(int i) const {
    return ((GetRideHeight(i, 0) + GetRideHeight(i, 1)) -
            (GetRideHeight(i, 2) + GetRideHeight(i, 3))) *
           0.5;
}

// The wheel's speed brought to the car's reference path, minus the car's speed.
double PerfCore::GetWheelSpin(int i, int w) const {
    double ws = GetWheelSpeed(i, w);
    const double r = RadiusLength(GetRadius(i));
    if (r > 0.1) {
        const bool front = w >= 2;
        const double track = front ? kFrontTrackWidth : kRearTrackWidth;
        const double steering = GetSteering(i);
        double k = 1.0;
        if (steering != 0.0) {
            const bool right = w == 1 || w == 3;
            const bool outside = (steering > 0.0 && right) || (steering < 0.0 && !right);
            const double offset = outside ? track / 2 : -track / 2;
            double rho = r + offset;
            if (front) {
                const double wb = GetPhysics()->GetWheelBase();
                rho = std::sqrt(rho * rho + wb * wb);
            }
            k = rho == 0.0 ? 1.0 : r / rho;
        }
        ws *= k;
    }
    return ws - GetSpeed(i);
}

double PerfCore::GetLongitudalSlip(int i, int w) const {
    const double v = GetSpeed(i);
    return v == 0.0 ? 0.0 : GetWheelSpin(i, w) / v;
}

double PerfCore::GetWheelAcceleration(int i, int w) const {
    const int a = i - m_speedWindow;
    const int b = i + m_speedWindow - 1;
    if (a < 0 || b >= GetSampleCount()) return 0.0;
    const double dt = GetTime(b) - GetTime(a);
    if (dt < kMinTimeStep) return 0.0;
    return (GetWheelSpeed(b, w) - GetWheelSpeed(a, w)) / dt;
}

// How fast the engine speed rises per second while the car accelerates.
double PerfCore::GetRevRange(int i) const {
    if (GetSampleCount() < 2) return 0.0;
    if (i < 1) i = 1;
    const double v = GetSpeed(i);
    if (v < GetSpeed(i - 1)) return 0.0;
    const double dd = GetDistance(i) - GetDistance(i - 1);
    if (dd == 0.0) return 0.0;
    const double q = v * (GetRevs(i) - GetRevs(i - 1)) / dd;
    return q < 0.0 ? 0.0 : q;
}

// Effective final ratio: rear wheel speed per engine speed in the gear engaged.
double PerfCore::GetDiffRatio(int i, const CarSetup& setup) const {
    const double wheels = (GetWheelSpeed(i, 1) + GetWheelSpeed(i, 0)) * 0.5;
    const double omega = GetRevs(i);
    const double gamma = setup.GetGearRatio(GetGear(i));
    if (omega == 0.0 || gamma == 0.0) return 0.0;
    return wheels / (gamma * omega);
}

}  // namespace morlund
