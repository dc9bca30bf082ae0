#include "pellith/setup/SetupSheet.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "morlund/setup/CarSetup.h"
#include "morlund/physics/Physics.h"

namespace pellith {

using morlund::CarSetup;
using morlund::Physics;

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
constexpr double kKmhPerMs = 3.6;
// Shown where a speed has no value: a dash, not a zero.
constexpr const char* kNoSpeed = "\u2014";

std::string Printf(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// A predicted speed in km/h; none for 0 (the model's "no value"), below or not finite.
double Kmh(double metresPerSecond) {
    return metresPerSecond > 0.0 && std::isfinite(metresPerSecond) ? metresPerSecond * kKmhPerMs
                                                                   : kNone;
}

std::string SpeedText(double kmh, const char* format) {
    return std::isnan(kmh) ? kNoSpeed : Printf(format, kmh);
}

SetupSheetRow Single(std::string label, std::string unit, double value, std::string text,
                     bool unitInLabel = false) {
    return {std::move(label), std::move(unit), {value}, std::move(text), unitInLabel};
}

// Four values, written "LR v  RR v  LF v  RF v" with the unit after the label.
template <class Value, class Format>
SetupSheetRow PerWheel(std::string label, std::string unit, Value value, Format format) {
    SetupSheetRow row{std::move(label), std::move(unit), {}, {}, true};
    for (int w = 0; w < 4; ++w) {
        row.values.push_back(value(w));
        if (w > 0) row.text += "  ";
        row.text += std::string(kSheetWheels[w]) + " " + format(row.values.back());
    }
    return row;
}

}  // namespace

std::string SetupSheetRow::Heading() const {
    return unitInLabel && !unit.empty() ? label + " (" + unit + ")" : label;
}

std::string FormatSixtyfourths(double ratio) {
    const int v = static_cast<int>(ratio * 64.0 + 0.5);
    if (v == 0) return "off";
    char text[32];
    std::snprintf(text, sizeof text, "%2d : 64", v);
    return text;
}

SetupSheet BuildSetupSheet(const CarSetup& s, const Physics& physics,
                           const std::string& setupTrack) {
    SetupSheet sheet;
    auto& rows = sheet.setup;
    rows.push_back({"setup track", "", {}, setupTrack, false});
    rows.push_back(Single("front wing", "", s.GetFrontWing(), Printf("%g", s.GetFrontWing())));
    rows.push_back(Single("rear wing", "", s.GetRearWing(), Printf("%g", s.GetRearWing())));
    const double front = s.GetBrakeBalance() * 100.0;
    rows.push_back(Single("brake balance", "%", front, Printf("%.3f", front) + "% front"));
    for (int g = 1; g <= s.GetGearCount(); ++g) {
        const double ratio = s.GetGearRatio(g);
        rows.push_back(Single("gear " + std::to_string(g), "", ratio,
                              FormatSixtyfourths(ratio) + Printf(" (%.4f)", ratio)));
    }
    rows.push_back(Single("final drive", "", s.GetDiffRatio(), Printf("%.6f", s.GetDiffRatio())));
    const double frontBar = s.GetFrontAntiRollBar() * 0.001;
    const double rearBar = s.GetRearAntiRollBar() * 0.001;
    rows.push_back(Single("front anti-roll bar", "N/mm", frontBar, Printf("%.1f", frontBar), true));
    rows.push_back(Single("rear anti-roll bar", "N/mm", rearBar, Printf("%.1f", rearBar), true));

    const auto oneDecimal = [](double v) { return Printf("%.1f", v); };
    const auto threeDecimals = [](double v) { return Printf("%.3f", v); };
    rows.push_back(PerWheel(
        "ride height", "mm", [&](int w) { return s.GetStaticRideHeight(w) * 1000; }, oneDecimal));
    rows.push_back(PerWheel(
        "packers", "mm", [&](int w) { return s.GetPackers(w) * 1000; }, oneDecimal));
    rows.push_back(PerWheel(
        "max travel", "mm", [&](int w) { return s.GetMaxSuspTravel(w) * 1000; }, oneDecimal));
    rows.push_back(PerWheel(
        "spring", "N/mm", [&](int w) { return s.GetSpringRate(w) * 0.001; }, oneDecimal));
    rows.push_back(PerWheel(
        "slow bump", "", [&](int w) { return s.GetSlowBump(w); }, threeDecimals));
    rows.push_back(PerWheel(
        "slow rebound", "", [&](int w) { return s.GetSlowRebound(w); }, threeDecimals));
    rows.push_back(PerWheel(
        "fast bump", "", [&](int w) { return s.GetFastBump(w); }, threeDecimals));
    rows.push_back(PerWheel(
        "fast rebound", "", [&](int w) { return s.GetFastRebound(w); }, threeDecimals));

    auto& predictions = sheet.predictions;
    const double maxSpeed = Kmh(physics.CalcPredictedMaxSpeed(s));
    predictions.push_back(
        Single("predicted max speed", "km/h", maxSpeed, SpeedText(maxSpeed, "%.1f km/h")));
    const double bestTop = physics.CalcPredictedBestTopGearRatio(s);
    predictions.push_back(Single("best top gear", "", bestTop, FormatSixtyfourths(bestTop)));
    for (int g = 1; g <= s.GetGearCount(); ++g) {
        const double speed = Kmh(physics.CalcMaxSpeedForGear(s, g));
        predictions.push_back(Single("max speed in gear " + std::to_string(g), "km/h", speed,
                                     SpeedText(speed, "%.0f km/h")));
    }
    const auto speedCell = [](double kmh) { return SpeedText(kmh, "%.1f"); };
    predictions.push_back(PerWheel(
        "speed to hit packers", "km/h",
        [&](int w) { return Kmh(physics.CalcPredictedSpeedToHitPackers(s, w)); }, speedCell));
    predictions.push_back(PerWheel(
        "speed to hit plank", "km/h",
        [&](int w) { return Kmh(physics.CalcPredictedSpeedToHitPlank(s, w)); }, speedCell));
    return sheet;
}

SetupSheet BuildSetupSheet(const morlund::BufManager& manager, const morlund::PerfCore& buffer) {
    const CarSetup& setup = *buffer.GetSetup();
    return BuildSetupSheet(setup, *buffer.GetPhysics(), manager.GetTrackString(setup.GetTrack()));
}

}  // namespace pellith
