// Synthetic single-lap model: a closed track of straights and constant-radius corners and a
// car driven round it at the limit of a simple grip/power/drag model. Everything is derived from
// the seed with a private generator, so a given LapSpec gives the same lap on every platform.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace lapgen {

// Wheel order used everywhere in lapgen and in the files it writes.
enum Wheel : int { kLeftRear = 0, kRightRear = 1, kLeftFront = 2, kRightFront = 3 };

// Car constants. Exposed because writers (setup files) and tests need some of them.
inline constexpr double kWheelbase = 2.9;        // m
inline constexpr double kTrackWidth = 1.6;       // m
inline constexpr double kWheelRadius = 0.33;     // m
inline constexpr double kFinalDrive = 4.4;       // engine-side reduction after the gearbox
inline constexpr double kMaxLateralAcc = 25.0;   // m/s^2 at gripScale 1
inline constexpr double kMaxRideHeight = 0.15;   // m, clamp range of the ride heights
inline constexpr double kMinRideHeight = 0.01;   // m
inline constexpr double kMaxSuspTravel = 0.075;  // m
inline constexpr double kMaxExtent = 1195.0;     // m, |x| and |y| bound of the outline
// Gearbox output speed per engine speed for gears 1..6. Multiples of 1/64 so that a car setup
// file (which stores ratio * 64) holds them exactly.
inline constexpr std::array<double, 6> kGearRatios = {28 / 64.0, 35 / 64.0, 42 / 64.0,
                                                      48 / 64.0, 54 / 64.0, 59 / 64.0};

struct LapSpec {
    std::uint64_t seed = 1;       // chooses the track outline
    int sampleCount = 2000;       // n >= 2; sample 0 and sample n-1 are both on the start line
    double trackLength = 4000.0;  // metres, 100..19000; see Lap::trackLength for the real one
    int track = 3;                // 0-based track number recorded in files
    int lapNumber = 7;
    std::string name = "Tarnwick";
    int dateDays = 7000;  // days since 1 Jan 1978
    int hours = 14, minutes = 25, seconds = 9;
    // Scales every grip limit (lateral, braking, traction): different laps of the same track.
    double gripScale = 1.0;
};

struct Sample {
    double time = 0;            // s from the start line
    double distance = 0;        // m along the track from the start line, non-decreasing
    double speed = 0;           // m/s
    double steering = 0;        // rad, front wheel angle, positive = left
    double revs = 0;            // engine speed, rad/s
    double throttle = 0;        // 0..1
    double brake = 0;           // 0..1
    int gear = 1;               // 1..6
    double rideHeight[4] = {};  // m
    double suspTravel[4] = {};  // m, compression from full droop
    double wheelSpeed[4] = {};  // m/s at the tyre surface
    double camber[4] = {};      // rad, always 0 for now
    // Truth values that the files only carry indirectly (or not at all).
    double x = 0, y = 0;       // m
    double heading = 0;        // rad, unwrapped: ends exactly 2*pi above the start value
    double curvature = 0;      // 1/m, positive = turning left
    double longAcc = 0;        // m/s^2, positive = speeding up
    double latAcc = 0;         // m/s^2, positive = towards the left
    double wheelLoad[4] = {};  // N
};

struct Lap {
    LapSpec spec;
    double trackLength = 0;  // m, the real length of the generated outline
    double lapTime = 0;      // s, (n - 1) * timeStep
    double timeStep = 0;     // s between samples
    std::vector<Sample> samples;
};

// Throws std::invalid_argument for a sample count below 2, a track length outside 100..19000 m
// or a non-positive grip scale.
Lap MakeLap(const LapSpec& spec);

}  // namespace lapgen
