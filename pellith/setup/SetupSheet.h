#pragma once

#include <array>
#include <string>
#include <vector>

namespace morlund {
class BufManager;
class CarSetup;
class PerfCore;
class Physics;
}  // namespace morlund

namespace pellith {

// One line of a setup sheet: what it is, its values and how the sheet writes them.
struct SetupSheetRow {
    std::string label;           // "front wing", "gear 3", "speed to hit plank"
    std::string unit;            // the values' unit ("mm", "N/mm", "km/h", "%"), or empty
    std::vector<double> values;  // one, or four per wheel in kSheetWheels order; NaN: no value
    std::string text;            // the values as written, per-wheel ones with their wheel names
    bool unitInLabel = false;    // the unit is written after the label, not in the text

    // The label as written: "ride height (mm)" when the unit goes with it.
    std::string Heading() const;
};

// A lap's car setup and what the car model predicts from it. Lengths are in
// millimetres, springs and anti-roll bars in N/mm, speeds in km/h, brake
// balance in percent to the front; ratios are also written in 64ths as the
// setup editor shows them.
struct SetupSheet {
    // Setup track, wings, brake balance, gear ratios, final drive, anti-roll
    // bars, then per wheel ride height, packers, travel, spring and dampers.
    std::vector<SetupSheetRow> setup;
    // Maximum speed, best top-gear ratio, maximum speed per gear, then per
    // wheel the speeds at which the car reaches its packers and its plank.
    std::vector<SetupSheetRow> predictions;
};

// Per-wheel values come in wheel order: left rear, right rear, left front, right front.
inline constexpr std::array<const char*, 4> kSheetWheels = {"LR", "RR", "LF", "RF"};

// The sheet of a setup under a car model; setupTrack names the setup's track.
SetupSheet BuildSetupSheet(const morlund::CarSetup& setup, const morlund::Physics& physics,
                           const std::string& setupTrack);
// The sheet of one loaded lap: its setup, its car model and the manager's
// name of the setup's track.
SetupSheet BuildSetupSheet(const morlund::BufManager& manager, const morlund::PerfCore& buffer);

// A ratio as the setup editor shows it: "%2d : 64" of the ratio in 64ths,
// rounded, or "off" when that is 0.
std::string FormatSixtyfourths(double ratio);

}  // namespace pellith
