// Writer of LFS Replay Analyser files (.raf): a 1024-byte header with the car, the driver, the
// track, the wheel geometry and the split times, then one data block per sample interval with
// the car state and one sub-block per wheel.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "lapgen/Model.h"
#include "lapgen/SetupWriter.h"

namespace lapgen {

// The values of one data block exactly as written. Per-wheel arrays are in lapgen's wheel order.
struct RafBlock {
    float throttle = 0, brake = 0, steering = 0;
    std::uint8_t gearPlusOne = 0;
    float speed = 0;                          // m/s
    float drivenDistance = 0;                 // m
    std::int32_t x = 0, y = 0, z = 0;         // 1/65536 m
    float revs = 0;                           // rad/s
    float lapDistance = 0;                    // m
    std::int16_t rightX = 0, rightY = 0;      // 1/32767
    std::int16_t forwardX = 0, forwardY = 0;  // 1/32767
    std::array<float, 4> compression{};  // m: the block's full-extension travel minus the travel
    std::array<float, 4> lateralForce{};
    std::array<float, 4> longitudinalForce{};
    std::array<float, 4> load{};          // N
    std::array<float, 4> angularSpeed{};  // rad/s
    std::array<float, 4> camber{};
};

// lapgen's wheels in the game's own block order: front left, front right, rear left, rear right.
inline LFSSetupHeader DefaultRafSetup() {
    LFSSetupHeader s;
    s.blockOfWheel = {2, 3, 0, 1};
    return s;
}

struct RafOptions {
    int intervalMs = 10;           // header byte 9; blocks are the lap resampled at this step
    bool trackLengthKnown = true;  // false writes a track length of 0
    // Driven distance per lap distance: the driven line is shorter than the centre line.
    double drivenFactor = 0.985;
    std::string player = "^1Tarn^7wick";
    std::string car = "XRT";
    std::string track = "SO1";
    std::string layout = "R";
    std::string weather = "Clear";
    std::string program = "0.6F";
    std::uint8_t helps = 0x09;  // left-hand drive, auto gears
    std::uint8_t hlvc = 1;      // legal
    // Fractions of the lap distance at which splits are taken; the lap time is the last split.
    std::vector<double> splitFractions = {1.0 / 3.0, 2.0 / 3.0};
    float mass = 1200.0f;
    float sprungMass = 1080.0f;
    // Setup fields and the header wheel block of each wheel.
    LFSSetupHeader setup = DefaultRafSetup();

    // Layout of a data block: car state (64 bytes), then sub-blocks; data beyond the written
    // fields is filled with a pattern.
    std::uint16_t blockSize = 192;
    std::uint16_t wheelSubBlockSize = 32;
    std::uint16_t firstWheelSubBlock = 64;

    // Knobs for broken files.
    std::string magic = "LFSRAF";
    std::uint8_t version = 2;
    std::uint16_t headerSize = 1024;
    int splitCountOverride = -1;           // >= 0: stored instead of the real split count
    std::int64_t blockCountOverride = -1;  // >= 0: stored instead of the real block count
    std::size_t truncateBy = 0;            // bytes cut off the end
};

struct RafRaw {
    std::vector<std::uint8_t> header;  // 1024 bytes as written (before any truncation)
    std::vector<RafBlock> blocks;
    std::vector<std::uint32_t> splits;  // ms, the last is the lap time
    double interval = 0;                // s
    float trackLength = 0;              // as stored
};

// The lap resampled every options.intervalMs (linear between the model's samples) and the
// header. Throws std::invalid_argument for an interval outside 1..255 or a bad wheel map.
RafRaw EncodeRaf(const Lap& lap, const RafOptions& options = {});
// The file: header and data blocks, with the knobs applied.
std::vector<std::uint8_t> WriteRaf(const RafRaw& raw, const RafOptions& options = {});

}  // namespace lapgen
