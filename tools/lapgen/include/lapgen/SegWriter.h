// Writer for GP2 track segment files (.seg) of a lapgen lap's track: centre line, width, side
// vectors, kerbs, racing line and a pit lane, in versions 1 to 3, including deliberately broken
// variants for reader failure tests.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lapgen/GP2Writer.h"
#include "lapgen/Model.h"

namespace lapgen {

inline constexpr std::uint32_t kSegMagic = 0x47455340;  // "@SEG"
inline constexpr std::size_t kSegRecordSize = 30;
inline constexpr double kSegUnit = 0.0381;                // m per stored position/width unit
inline constexpr double kSegSpacing = 16.0 * 0.3048;      // m between segments (16 ft)
inline constexpr double kSegTrackWidth = 12.0;            // m
inline constexpr double kSegPitWidth = 8.0;               // m
inline constexpr double kSegPitOffset = 22.0;             // m right of the centre line
inline constexpr double kSegPitHalfLength = 150.0;        // m either side of the start line
inline constexpr double kSegKerbCurvature = 1.0 / 400.0;  // 1/m: tighter bends get kerbs

// Exactly what the writer stores per segment.
struct SegRecord {
    std::uint16_t nr = 0;  // bits 0-10 segment number, 11-15 flags
    std::int16_t angle = 0, angleV = 0;
    std::int16_t x = 0, y = 0, height = 0;
    std::uint16_t width = 0;
    std::uint16_t xSide = 0, ySide = 0;  // side vector in bits 6-15, a small value in bits 0-5
    std::uint16_t unknown18 = 0;
    std::int16_t ccLine = 0;
    std::uint32_t flags = 0;  // bit 0 kerb left, bit 1 kerb right, bit 2 low kerb
    std::uint32_t unknown26 = 0;
};

// What the writer stores, plus the real-valued geometry it came from.
struct SegTrack {
    // Widths 1 and 2 serve normal kerbs, 5 and 6 low kerbs; the rest is filler.
    std::array<std::uint16_t, 16> kerbs = {};
    std::uint32_t checksum = 0;
    std::string name;  // at most 37 characters are stored
    std::vector<SegRecord> segs;
    std::vector<SegRecord> pits;  // stored by version 3 and later only
    // Truth values: the centre of every track segment in metres before rounding.
    std::vector<double> centreX, centreY;
};

// Segments every kSegSpacing metres from the start line round the lap's centre line (positions
// interpolated between samples by distance), kerbs on the inside of bends tighter than
// kSegKerbCurvature (normal kerbs on the entry half of a bend, low kerbs on the exit half), and a
// pit lane running parallel to the track across the start line.
SegTrack BuildSegTrack(const Lap& lap, std::uint32_t checksum,
                       const std::string& name = "Tarnwick Park");

// The track checksum a GP2 reader derives from a lap written by WriteGP2Perf: the stored value,
// or for files with the position extension whose stored value is at most 5 (a version number)
// the entry of the game's table for the lap's track number.
std::uint32_t GP2LapTrackChecksum(const GP2Raw& raw, const GP2WriteOptions& options);

// "%08x.seg".
std::string SegFileName(std::uint32_t checksum);

struct SegWriteOptions {
    std::uint32_t version = 3;  // 1: no pit lane, checksum or name; 2: no pit lane; 3
    bool badMagic = false;
    // Stored checksum differs from the track's (and so from the file name) by one.
    bool checksumMismatch = false;
    std::optional<std::uint32_t> segCountOverride;
    std::optional<std::uint32_t> pitCountOverride;  // version 3 and later
    std::size_t truncateBy = 0;                     // bytes cut off the finished file's end
};

std::vector<std::uint8_t> WriteSeg(const SegTrack& track, const SegWriteOptions& options = {});

}  // namespace lapgen
