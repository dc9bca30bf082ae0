// Writers for the car setup files of GP3, GP3-2000, GP4, F1RS and MGPRS2, and a builder of the
// LFS replay header fields a setup is made from. Gear ratios come from the lap model
// (kGearRatios), so setups and laps of one run belong together. Knobs produce broken files for
// failure tests.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "lapgen/GP2Writer.h"
#include "lapgen/Model.h"

namespace lapgen {

inline constexpr std::uint32_t kGP4FileId = 0xabadfeed;
inline constexpr std::size_t kGP3SetupRecordSize = 56;

// ---- GP3, GP3-2000, GP4 --------------------------------------------------------------------

enum class GPSetupGame { GP3, GP32K, GP4 };

// 0x853da1be for GP3 and GP3-2000, 0xabadfeed for GP4.
std::uint32_t GPSetupFileId(GPSetupGame game);

// The games' starting record with the model's gear ratios (ratio * 64) in the low seven bits of
// bytes 2..7 and no seventh gear.
std::array<std::uint8_t, kGP3SetupRecordSize> DefaultGP3SetupRecord();
// Puts a six-bit seventh-gear value (0 = none, else ratio (value + 17) / 64) into the top bits
// of bytes 2..7: byte 2 holds bit 0, byte 7 bit 5. Throws std::invalid_argument outside 0..63.
void SetSeventhGear(std::span<std::uint8_t, kGP3SetupRecordSize> record, int value);

struct GP3SetupOptions {
    std::optional<std::uint32_t> fileId = std::nullopt;  // the game's id when empty
    std::uint8_t fileType = kFileTypeSetup;
    bool badChecksum = false;
    // > 0: that many bytes after the record (covered by a valid checksum);
    // < 0: that many bytes cut off the finished file.
    int sizeDelta = 0;
};

// Header (id, type, track), record, checksum words: 92 bytes unless sizeDelta says otherwise.
std::vector<std::uint8_t> WriteGP3Setup(GPSetupGame game, int track,
                                        std::span<const std::uint8_t, kGP3SetupRecordSize> record,
                                        const GP3SetupOptions& options = {});

// ---- F1RS and MGPRS2 -----------------------------------------------------------------------

inline constexpr std::size_t kF1RSSetupFileSize = 736;
inline constexpr std::size_t kMGPSetupFileSize = 764;
inline constexpr std::size_t kSetupBlockOffset = 400;
inline constexpr std::size_t kF1RSSetupBlockSize = 144;
inline constexpr std::size_t kMGPSetupBlockSize = 160;
inline constexpr std::uint32_t kSetupKeyFirst = 0x3a3a3a3a;  // words 0..99
inline constexpr std::uint32_t kSetupKeyLater = 0x5e81d4c7;  // words 100..

// Raw integers as the files store them. Per-wheel arrays are in lapgen's wheel order (left
// rear, right rear, left front, right front); the writers place them in the files' order
// (right front, right rear, left front, left rear).
struct F1RSSetupValues {
    std::array<std::uint32_t, 4> springRate = {120000, 120000, 150000, 150000};  // N/m
    std::uint32_t frontAntiRollBar = 80000;                                      // N/m
    std::uint32_t rearAntiRollBar = 60000;                                       // N/m
    std::array<std::uint32_t, 4> bump = {1500, 1500, 1800, 1800};                // damper, 1/6000
    std::array<std::uint32_t, 4> rebound = {3000, 3000, 3300, 3300};             // damper, 1/6000
    std::array<std::uint32_t, 6> gearRatio50 = {};  // ratio * 50; 0 = the model's ratios
    std::uint16_t brakePercent = 56;
    std::uint16_t frontWing = 6;
    std::uint16_t rearWing = 8;
    std::int32_t frontRideHeight = 2621;  // 1/65536 m
    std::int32_t rearRideHeight = 3932;   // 1/65536 m
    std::array<std::uint32_t, 4> packersMm = {10, 10, 6, 6};
};

struct MGPSetupValues {
    std::array<std::uint32_t, 4> springRate = {90000, 90000, 110000, 110000};  // N/m
    std::uint32_t frontAntiRollBar = 4500;                                     // percent / 100
    std::uint32_t rearAntiRollBar = 3500;                                      // percent / 100
    std::array<std::uint32_t, 4> bump = {1400, 1400, 1700, 1700};
    std::array<std::uint32_t, 4> rebound = {2800, 2800, 3100, 3100};
    std::array<std::int32_t, 4> camber = {-98304, -98304, -163840, -163840};   // 1/65536
    std::array<std::int32_t, 4> wheelSetupB = {65536, 65536, 131072, 131072};  // 1/65536
    std::array<std::uint32_t, 6> gearRatio50 = {};  // ratio * 50; 0 = the model's ratios
    std::uint16_t brakePercent = 58;
    std::int32_t frontWing = 5 * 65536;  // 1/65536
    std::int32_t rearWing = 7 * 65536;
    std::int32_t frontRideHeight = 2949;  // 1/65536 m
    std::int32_t rearRideHeight = 4588;
    std::array<std::uint32_t, 4> packersMm = {12, 12, 8, 8};
};

// The model's gear ratios * 50, rounded.
std::array<std::uint32_t, 6> ModelGearRatios50();

// The plain setup blocks (144 and 160 bytes); bytes no field covers hold a fixed pattern.
std::vector<std::uint8_t> BuildF1RSSetupBlock(const F1RSSetupValues& values);
std::vector<std::uint8_t> BuildMGPSetupBlock(const MGPSetupValues& values);

struct ScrambledSetupOptions {
    int sizeDelta = 0;  // > 0: bytes appended, < 0: bytes cut off (after scrambling)
};

// A whole file: the block at byte 400 of a plain image of fileSize bytes (the rest a fixed
// pattern), scrambled.
std::vector<std::uint8_t> WrapScrambledSetup(std::span<const std::uint8_t> block,
                                             std::size_t fileSize,
                                             const ScrambledSetupOptions& options = {});
std::vector<std::uint8_t> WriteF1RSSetup(const F1RSSetupValues& values = {},
                                         const ScrambledSetupOptions& options = {});
std::vector<std::uint8_t> WriteMGPSetup(const MGPSetupValues& values = {},
                                        const ScrambledSetupOptions& options = {});

// XORs whole 32-bit words with the two keys; its own inverse.
void ScrambleSetup(std::span<std::uint8_t> image);

// ".s<n>", the games' setup file extension for track n (n >= 0).
std::string ScrambledSetupExtension(int n);

// ---- LFS -----------------------------------------------------------------------------------

inline constexpr std::size_t kLFSHeaderSize = 1024;

// The replay header fields a car setup comes from. Per-wheel arrays are in lapgen's wheel order.
struct LFSSetupHeader {
    float rearAntiRollBar = 35000.0f;   // N/m
    float frontAntiRollBar = 45000.0f;  // N/m
    float finalDrive = static_cast<float>(kFinalDrive);
    std::uint8_t gearCount = 6;
    // Engine turns per output turn, gears 1..6; 0 = the inverses of the model's ratios.
    std::array<float, 6> gearReduction = {};
    std::array<float, 4> travel = {0.1f, 0.1f, 0.09f, 0.09f};  // m, at full extension
    std::array<std::uint8_t, 4> tyreType = {0, 0, 0, 0};
    std::array<float, 4> springRate = {60000.0f, 60000.0f, 70000.0f, 70000.0f};  // N/m
    std::array<float, 4> bump = {3000.0f, 3000.0f, 3500.0f, 3500.0f};
    std::array<float, 4> rebound = {5000.0f, 5000.0f, 5500.0f, 5500.0f};
    std::array<float, 4> further = {1.5f, 1.5f, 2.5f, 2.5f};  // block offset 44
    // Header wheel block (0..3) holding each wheel; the block's x and y lie in the wheel's
    // quadrant (x < 0 left, y < 0 rear). Must be a permutation.
    std::array<int, 4> blockOfWheel = {0, 1, 2, 3};
};

// A 1024-byte header: "LFSRAF", version 2, header size 1024, no data blocks, and the setup
// fields and wheel blocks (position, radius from the model, travel, tyre, spring, dampers).
// Throws std::invalid_argument when blockOfWheel is not a permutation of 0..3.
std::vector<std::uint8_t> BuildLFSSetupHeader(const LFSSetupHeader& setup = {});

}  // namespace lapgen
