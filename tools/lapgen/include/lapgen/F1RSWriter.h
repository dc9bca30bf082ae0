// Writers for the telemetry files of F1RS (one .tlm file plus the replay "scope" file that the
// Quillon library decodes) and MGPRS2 (three files save1/save2/save3). Both games keep three
// record streams, each sampled at its own distances; the encoders take every stride-th sample
// of the lap (and always the last one) into each stream.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "lapgen/Model.h"

namespace lapgen {

inline constexpr std::array<std::size_t, 3> kF1RSRecordSizes = {12, 24, 12};
inline constexpr std::array<std::size_t, 3> kMGPRecordSizes = {14, 18, 6};
inline constexpr std::size_t kScopeRecordSize = 106;

// Integers as the files store them. Per-wheel arrays are in lapgen's wheel order; the writers
// place them in the files' order (right front, right rear, left front, left rear).
struct TlmEngineRecord {
    std::uint32_t time = 0;  // 1/65536 s (F1RS only)
    std::uint16_t distance = 0;
    std::int32_t speed = 0;       // km/h
    std::uint16_t revs = 0;       // F1RS: tens of rpm; MGPRS2: units of 5 rpm
    std::int16_t wheelSpeed = 0;  // MGPRS2 only, the game's own unit (here km/h)
};
struct TlmSuspRecord {
    std::uint16_t distance = 0;
    std::array<std::int8_t, 4> travel{};   // mm
    std::array<std::int16_t, 4> camber{};  // 0.1 degree
    std::int16_t frontRideHeight = 0;      // mm
    std::int16_t rearRideHeight = 0;       // mm
};
struct TlmInputRecord {
    std::uint16_t distance = 0;
    std::uint8_t throttle = 0;  // 0..99
    std::uint8_t brake = 0;     // percent
    std::int8_t gear = 0;
    std::int8_t steering = 0;  // half degrees, positive = right
};

struct TlmRaw {
    int track = 0;  // 0-based; the files store track + 1
    int lapNumber = 0;
    std::uint32_t lapTime = 0;  // F1RS: 1/65536 s; MGPRS2: ms
    std::string date;           // F1RS up to 15 characters, MGPRS2 up to 14
    std::vector<TlmEngineRecord> engine;
    std::vector<TlmSuspRecord> susp;
    std::vector<TlmInputRecord> inputs;
};

struct TlmEncodeOptions {
    std::array<int, 3> stride = {1, 2, 3};  // sample step per stream, >= 1
};

TlmRaw EncodeF1RS(const Lap& lap, const TlmEncodeOptions& options = {});
TlmRaw EncodeMGP(const Lap& lap, const TlmEncodeOptions& options = {});

// The F1RS .tlm file; extraBytes zero bytes are appended (a file with bytes left over).
std::vector<std::uint8_t> WriteF1RSTelemetry(const TlmRaw& raw, std::size_t extraBytes = 0);
// The three MGPRS2 files, save1 first.
std::array<std::vector<std::uint8_t>, 3> WriteMGPTelemetry(const TlmRaw& raw);

// ---- F1RS scope file ------------------------------------------------------------------------

// Whole milliseconds of a lap time in 1/65536 s (rounded down).
std::uint32_t F1RSLapTimeMs(std::uint32_t lapTime);
// "%c%u%uA.seq": 'a' + track, whole minutes, remaining milliseconds.
std::string F1RSScopeName(int track, std::uint32_t lapTime);
// Positions of the lap's samples in the scope unit (1/16384 ft).
std::vector<std::array<std::int32_t, 2>> F1RSScopePositions(const Lap& lap);
// The decoded layout: records offset at 24, count at 40, 106-byte records with x at 42 and
// y at 46. recordOffset >= 44.
std::vector<std::uint8_t> BuildF1RSScopePlain(std::span<const std::array<std::int32_t, 2>> xy,
                                              std::uint32_t recordOffset = 64);
// Turns the decoded layout into the stored form (the inverse of the test Quillon decoder).
void EncodeF1RSScope(std::span<std::uint8_t> image);

// ---- demo and fixture files -----------------------------------------------------------------

// Writes lap.tlm-style F1RS telemetry to a path.
void WriteF1RSLap(const std::filesystem::path& tlmPath, const Lap& lap);
// Writes the stored scope file of a lap below an F1RS installation folder
// (f1datab/scope/<name>) and returns its path.
std::filesystem::path WriteF1RSScope(const std::filesystem::path& gameFolder, const Lap& lap);
// Writes save1<suffix>.tlm, save2<suffix>.tlm and save3<suffix>.tlm into a folder; returns the
// first file's path.
std::filesystem::path WriteMGPLap(const std::filesystem::path& folder, const Lap& lap,
                                  const std::string& suffix = "lap");

}  // namespace lapgen
