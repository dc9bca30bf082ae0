// Writers for GP3, GP3-2000 and GP4 performance-analysis files: the GP2 envelope (optionally
// compressed) around a body of 27-byte samples, with knobs for broken variants.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "lapgen/GP2Writer.h"
#include "lapgen/Model.h"

namespace lapgen {

enum class GP3Game { GP3, GP32K, GP4 };

inline constexpr std::size_t kGP3SampleSize = 27;
inline constexpr std::uint16_t kGP3RevsOffset = 100;  // stored revs are rpm + 100

struct GP3SampleRaw {
    std::uint16_t distance = 0;
    std::int16_t speed = 0, steering = 0;
    std::uint16_t revs = kGP3RevsOffset;  // rpm + 100
    std::uint8_t throttle = 0, brake = 0;
    std::int8_t gear = 0;
    std::uint8_t rideHeight[4] = {}, suspTravel[4] = {};
    std::uint8_t wheelSpeedHigh[4] = {};
    // Whole m/s^2. Lateral is positive to the right (the sign the games' readers turn the
    // heading with), longitudinal positive when speeding up.
    std::int8_t latAcc = 0, longAcc = 0;
    std::uint8_t coarseX = 128, coarseY = 128;
};

// Exactly the integers the writer stores.
struct GP3Raw {
    std::uint32_t sampleCount = 0;
    std::uint16_t trackLengthFt = 0;
    std::uint8_t track = 0, lapNumber = 0;
    std::uint16_t dateDays = 0;
    std::uint8_t seconds = 0, minutes = 0, hours = 0;
    std::uint32_t lapTimeMs = 0;
    char name[8] = {};  // NUL-padded, not necessarily NUL-terminated
    std::vector<GP3SampleRaw> samples;
};

// Rounds every quantity to the nearest unit and clamps it into its field.
GP3Raw EncodeGP3(const Lap& lap);

// 0x853da1be for GP3 and GP3-2000, 0xabadfeed for GP4.
std::uint32_t GP3PerfFileId(GP3Game game);

struct GP3WriteOptions {
    bool compress = false;
    Checksum checksum = Checksum::Plain;    // Bad = matches neither accepted form
    std::optional<std::uint32_t> fileId;    // the game's id when empty
    std::uint8_t fileType = kFileTypePerf;  // the compressed bit is added by the writer
    // Broken or unusual variants. Each keeps the checksum valid unless checksum == Bad.
    std::optional<std::uint32_t> sampleCountOverride;  // body count; samples stay as given
    std::optional<std::uint8_t> headerTrackOverride;   // envelope track byte
    std::size_t trailingBytes = 0;  // filler after the samples (readers ignore it)
    bool gp2LengthBody = false;     // body cut to 32 + 25n bytes, n = the stored count
    bool strelkoSignature = false;  // GP2 extension trailer (offset, signature) after the samples
    std::size_t truncateBy = 0;     // bytes cut off the finished file's end
};

// The expanded body (what a reader gets after decompression).
std::vector<std::uint8_t> BuildGP3Body(const GP3Raw& raw, const GP3WriteOptions& options = {});
// The whole file; its extension is GP2PerfExtension(track).
std::vector<std::uint8_t> WriteGP3Perf(GP3Game game, const GP3Raw& raw,
                                       const GP3WriteOptions& options = {});

}  // namespace lapgen
