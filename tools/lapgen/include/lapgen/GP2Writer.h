// Writers for GP2 performance-analysis files (optionally with the Strelko extension and/or a
// compressed body) and GP2 car setup files, including deliberately broken variants for reader
// failure tests.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <numbers>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "lapgen/Model.h"

namespace lapgen {

inline constexpr std::uint32_t kGP2FileId = 0x853da1be;
inline constexpr std::uint8_t kFileTypePerf = 0x0D;
inline constexpr std::uint8_t kFileTypeSetup = 0x03;
inline constexpr std::uint8_t kFileTypeCompressed = 0x80;
inline constexpr std::uint32_t kStrelkoSignature = 0xde510d90;
inline constexpr std::uint16_t kChecksumOffset1 = 0x8065;  // added in the "offset" form
inline constexpr std::uint16_t kChecksumOffset2 = 0x8465;
inline constexpr std::size_t kGP2HeaderSize = 32;
inline constexpr std::size_t kGP2BodyHeaderSize = 32;
inline constexpr std::size_t kGP2SampleSize = 25;
inline constexpr std::size_t kStrelkoExtraSize = 48;
inline constexpr std::size_t kGP2SetupRecordSize = 48;

// Field units (value in SI units divided by these gives the stored integer).
inline constexpr double kFoot = 0.3048;          // distance, track length
inline constexpr double kSpeedUnit = 0.0047625;  // speed, m/s
inline constexpr double kSteeringUnit = 35.0 * std::numbers::pi / 1140480.0;  // rad
inline constexpr double kRevsUnit = std::numbers::pi / 30.0;                  // rad/s per rpm
inline constexpr double kPedalScale = 64.0;                                   // throttle/brake 0..1
inline constexpr double kRideHeightUnit = 0.000625;                           // m
inline constexpr double kSuspTravelUnit = 0.0003125;                          // m
inline constexpr double kWheelSpeedUnit = 0.0047625 * 0.5;                    // m/s, 16-bit value
inline constexpr double kFinePosUnit = 0.3048 / 16384.0;                      // m, extension x/y
inline constexpr double kCoarsePosUnit = 524288.0 * 0.3048 / 16384.0;         // m, 8-bit x/y - 128

struct GP2SampleRaw {
    std::uint16_t distance = 0;
    std::int16_t speed = 0, steering = 0;
    std::uint16_t revs = 0;
    std::uint8_t throttle = 0, brake = 0;
    std::int8_t gear = 0;
    std::uint8_t rideHeight[4] = {}, suspTravel[4] = {};
    std::uint8_t wheelSpeedHigh[4] = {}, wheelSpeedLow[4] = {};
    std::uint8_t coarseX = 128, coarseY = 128;
    std::int32_t x = 0, y = 0;  // extension only
};

// Exactly the integers the writer stores.
struct GP2Raw {
    std::uint32_t sampleCount = 0;
    std::uint16_t trackLengthFt = 0;
    std::uint8_t track = 0, lapNumber = 0;
    std::uint16_t dateDays = 0;
    std::uint8_t seconds = 0, minutes = 0, hours = 0;
    std::uint32_t lapTimeMs = 0;
    char name[8] = {};  // NUL-padded, not necessarily NUL-terminated
    std::uint32_t trackChecksum = 0;
    std::vector<GP2SampleRaw> samples;
};

// Rounds every quantity to the nearest unit and clamps it into its field.
GP2Raw EncodeGP2(const Lap& lap, std::uint32_t trackChecksum = 0x6caa1499);

enum class Checksum { Plain, Offset, Bad };

struct GP2WriteOptions {
    bool compress = false;
    // 0 = no extension; 5, 6, 7. Any other value is written as given (version byte set, 12-byte
    // records, extra block when >= 6) so readers can be tested against unknown versions.
    int strelkoVersion = 7;
    Checksum checksum = Checksum::Plain;  // Bad = matches neither accepted form
    std::uint32_t fileId = kGP2FileId;
    std::uint8_t fileType = kFileTypePerf;  // the compressed bit is added by the writer
    // Broken variants for failure tests. Each keeps the checksum valid unless checksum == Bad.
    std::optional<std::uint32_t> sampleCountOverride;   // header count, samples stay as given
    std::optional<std::uint32_t> recordOffsetOverride;  // extension position-record offset
    bool gp3LengthBody = false;     // 32 + 27n body, no extension (overrides strelkoVersion)
    std::size_t truncateBy = 0;     // bytes cut off the finished file's end
    bool badBackReference = false;  // first back-reference reaches before the output start
    bool cutBackReference = false;  // stored body ends after the first byte of a back-reference
};

// The expanded body (what a reader gets after decompression).
std::vector<std::uint8_t> BuildGP2Body(const GP2Raw& raw, const GP2WriteOptions& options);
// The whole file. badBackReference and cutBackReference need compress; otherwise
// std::invalid_argument.
std::vector<std::uint8_t> WriteGP2Perf(const GP2Raw& raw, const GP2WriteOptions& options);

// Flag-byte/back-reference compression as the games use it (distance 1..8192, length 3..10).
std::vector<std::uint8_t> CompressGP(std::span<const std::uint8_t> body);
// Plain-form checksum over header and stored body: (word2 << 16) | word1.
std::uint32_t GPChecksum(std::span<const std::uint8_t> headerAndBody);

struct GP2SetupOptions {
    std::uint32_t fileId = kGP2FileId;
    std::uint8_t fileType = kFileTypeSetup;
    bool badChecksum = false;
    bool extraByte = false;  // 85-byte file: one byte after the record, checksum still valid
};

// The default record with the model's gear ratios (ratio * 64) in bytes 2..7.
std::array<std::uint8_t, kGP2SetupRecordSize> DefaultSetupRecord();
std::vector<std::uint8_t> WriteGP2Setup(int track,
                                        std::span<const std::uint8_t, kGP2SetupRecordSize> record,
                                        const GP2SetupOptions& options = {});

// ".pa<c>" and ".cs<c>" with c = 'a' + track; track must be 0..25.
std::string GP2PerfExtension(int track);
std::string GP2SetupExtension(int track);

// Throws std::runtime_error when the file cannot be written.
void WriteFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

}  // namespace lapgen
