#include "morlund/physics/GP2Physics.h"

#include <algorithm>
#include <array>
#include <numbers>

#include "morlund/setup/CarSetup.h"

namespace morlund {

namespace {

// Torque polynomial in x = rpm / 16900, lowest power first.
constexpr std::array<double, 16> kTorqueCoefficients = {
    -5565.9015, 103793.94, -748386.48, 2691214.2, -4666053.3, 1747348.6, 6273858.5, -8543077.8,
    2157419.2,  302464.18, 959132.04,  1118703.3, 3171943.9,  -12407269, 10915355,  -3070567.4};
constexpr double kTorqueCurveRpm = 16900.0;
constexpr double kPerTorqueCurveRpm = 5.9171597633136094e-05;  // 1 / 16900
constexpr double kMinTorqueRpm = 3500.0;
constexpr double kRpmPerRadPerSecond = 30.0 / std::numbers::pi;

}  // namespace

double GP2Physics::GetFrontWingEffect(const CarSetup& setup, double speed) const {
    const double wf = setup.GetFrontWing() - 1.0;
    const double wr = setup.GetRearWing() - 1.0;
    return speed * speed * (wf * 0.0110005 + wr * 0.008551 + 0.371356);
}

double GP2Physics::GetRearWingEffect(const CarSetup& setup, double speed) const {
    const double wf = setup.GetFrontWing() - 1.0;
    const double wr = setup.GetRearWing() - 1.0;
    return speed * speed * (wr * 0.0386448 + 0.90855 - wf * 0.0116685);
}

double GP2Physics::GetTorque(double revs) const {
    const double maxRpm = GetMaxRevs() * kRpmPerRadPerSecond;
    // max before min: a model whose maximum lies below the curve's start
    // still gets the start value, never an unordered clamp.
    const double rpm = std::max(std::min(revs * kRpmPerRadPerSecond, maxRpm), kMinTorqueRpm);
    const double x = rpm * kPerTorqueCurveRpm;
    double torque = 0.0;
    if (rpm < kTorqueCurveRpm) {
        for (auto it = kTorqueCoefficients.rbegin(); it != kTorqueCoefficients.rend(); ++it) {
            torque = torque * x + *it;
        }
    } else {
        torque = 7776.9892 - x * 7467.0943;
    }
    return std::max(torque, 0.0);
}

}  // namespace morlund
