#include "lapgen/SetupWriter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "Bytes.h"

namespace lapgen {
namespace {

constexpr std::size_t kSetupFirstKeyWords = 100;

// Deterministic filler for bytes readers must carry but not interpret.
std::vector<std::uint8_t> Pattern(std::size_t size, std::uint8_t salt) {
    std::vector<std::uint8_t> out(size);
    for (std::size_t i = 0; i < size; ++i) {
        out[i] = static_cast<std::uint8_t>((i * 37 + salt) & 0xff);
    }
    return out;
}

// Files store per-wheel values in the order right front, right rear, left front, left rear.
constexpr std::array<std::size_t, 4> kFilePosition = {3, 1, 2, 0};  // by lapgen wheel

void PutWheels(std::vector<std::uint8_t>& out, std::size_t base,
               const std::array<std::uint32_t, 4>& values) {
    for (std::size_t w = 0; w < 4; ++w) {
        Put32(out, base + 4 * kFilePosition[w], values[w]);
    }
}

void PutWheels(std::vector<std::uint8_t>& out, std::size_t base,
               const std::array<std::int32_t, 4>& values) {
    for (std::size_t w = 0; w < 4; ++w) {
        Put32(out, base + 4 * kFilePosition[w], static_cast<std::uint32_t>(values[w]));
    }
}

void PutGears(std::vector<std::uint8_t>& out, std::size_t base,
              const std::array<std::uint32_t, 6>& gears) {
    const bool useModel = std::all_of(gears.begin(), gears.end(), [](auto g) { return g == 0; });
    const std::array<std::uint32_t, 6> ratios = useModel ? ModelGearRatios50() : gears;
    for (std::size_t g = 0; g < 6; ++g) {
        Put32(out, base + 4 * g, ratios[g]);
    }
}

void ApplySizeDelta(std::vector<std::uint8_t>& file, int delta) {
    if (delta > 0) {
        file.resize(file.size() + static_cast<std::size_t>(delta), 0x5a);
    } else if (delta < 0) {
        file.resize(file.size() - std::min(file.size(), static_cast<std::size_t>(-delta)));
    }
}

}  // namespace

// ---- GP3, GP3-2000, GP4 --------------------------------------------------------------------

std::uint32_t GPSetupFileId(GPSetupGame game) {
    return game == GPSetupGame::GP4 ? kGP4FileId : kGP2FileId;
}

std::array<std::uint8_t, kGP3SetupRecordSize> DefaultGP3SetupRecord() {
    std::array<std::uint8_t, kGP3SetupRecordSize> record = {
        15,  15,  25,  32,  39, 45, 51, 56, 0, 47, 2,  0,  33, 66, 0,  0,  0,  0,   0,
        0,   4,   4,   4,   4,  4,  4,  4,  4, 15, 15, 21, 21, 15, 15, 21, 21, 100, 100,
        140, 140, 116, 116, 64, 64, 5,  0,  5, 0,  2,  0,  0,  2,  33, 66, 0,  0};
    for (std::size_t g = 0; g < kGearRatios.size(); ++g) {
        record[2 + g] = static_cast<std::uint8_t>(std::lround(kGearRatios[g] * 64.0) & 0x7f);
    }
    return record;
}

void SetSeventhGear(std::span<std::uint8_t, kGP3SetupRecordSize> record, int value) {
    if (value < 0 || value > 63) {
        throw std::invalid_argument("lapgen: seventh gear value must be 0..63");
    }
    for (int bit = 0; bit < 6; ++bit) {
        std::uint8_t& b = record[2 + static_cast<std::size_t>(bit)];
        b = static_cast<std::uint8_t>((b & 0x7f) | (((value >> bit) & 1) << 7));
    }
}

std::vector<std::uint8_t> WriteGP3Setup(GPSetupGame game, int track,
                                        std::span<const std::uint8_t, kGP3SetupRecordSize> record,
                                        const GP3SetupOptions& options) {
    std::vector<std::uint8_t> file = Pattern(kGP2HeaderSize, 0x2b);
    Put32(file, 0, options.fileId.value_or(GPSetupFileId(game)));
    file[4] = options.fileType;
    file[5] = static_cast<std::uint8_t>(track);
    file.insert(file.end(), record.begin(), record.end());
    if (options.sizeDelta > 0) ApplySizeDelta(file, options.sizeDelta);
    const std::uint32_t sum = GPChecksum(file);
    std::uint16_t word1 = static_cast<std::uint16_t>(sum & 0xffff);
    const std::uint16_t word2 = static_cast<std::uint16_t>(sum >> 16);
    if (options.badChecksum) word1 = static_cast<std::uint16_t>(word1 + 1);
    file.resize(file.size() + 4);
    Put16(file, file.size() - 4, word1);
    Put16(file, file.size() - 2, word2);
    if (options.sizeDelta < 0) ApplySizeDelta(file, options.sizeDelta);
    return file;
}

// ---- F1RS and MGPRS2 -----------------------------------------------------------------------

std::array<std::uint32_t, 6> ModelGearRatios50() {
    std::array<std::uint32_t, 6> ratios{};
    for (std::size_t g = 0; g < 6; ++g) {
        ratios[g] = static_cast<std::uint32_t>(std::lround(kGearRatios[g] * 50.0));
    }
    return ratios;
}

std::vector<std::uint8_t> BuildF1RSSetupBlock(const F1RSSetupValues& v) {
    std::vector<std::uint8_t> block = Pattern(kF1RSSetupBlockSize, 0x61);
    PutWheels(block, 0, v.springRate);
    Put32(block, 16, v.frontAntiRollBar);
    Put32(block, 20, v.rearAntiRollBar);
    PutWheels(block, 24, v.bump);
    PutWheels(block, 40, v.rebound);
    PutGears(block, 72, v.gearRatio50);
    Put16(block, 102, v.brakePercent);
    Put16(block, 110, v.frontWing);
    Put16(block, 114, v.rearWing);
    Put32(block, 120, static_cast<std::uint32_t>(v.frontRideHeight));
    Put32(block, 124, static_cast<std::uint32_t>(v.rearRideHeight));
    PutWheels(block, 128, v.packersMm);
    return block;
}

std::vector<std::uint8_t> BuildMGPSetupBlock(const MGPSetupValues& v) {
    std::vector<std::uint8_t> block = Pattern(kMGPSetupBlockSize, 0x73);
    PutWheels(block, 0, v.springRate);
    Put32(block, 16, v.frontAntiRollBar);
    Put32(block, 20, v.rearAntiRollBar);
    PutWheels(block, 24, v.bump);
    PutWheels(block, 40, v.rebound);
    PutWheels(block, 56, v.camber);
    PutWheels(block, 72, v.wheelSetupB);
    PutGears(block, 88, v.gearRatio50);
    Put16(block, 118, v.brakePercent);
    Put32(block, 124, static_cast<std::uint32_t>(v.frontWing));
    Put32(block, 128, static_cast<std::uint32_t>(v.rearWing));
    Put32(block, 136, static_cast<std::uint32_t>(v.frontRideHeight));
    Put32(block, 140, static_cast<std::uint32_t>(v.rearRideHeight));
    PutWheels(block, 144, v.packersMm);
    return block;
}

void ScrambleSetup(std::span<std::uint8_t> image) {
    for (std::size_t word = 0; word < image.size() / 4; ++word) {
        const std::uint32_t key = word < kSetupFirstKeyWords ? kSetupKeyFirst : kSetupKeyLater;
        for (std::size_t i = 0; i < 4; ++i) {
            image[4 * word + i] ^= static_cast<std::uint8_t>(key >> (8 * i));
        }
    }
}

std::vector<std::uint8_t> WrapScrambledSetup(std::span<const std::uint8_t> block,
                                             std::size_t fileSize,
                                             const ScrambledSetupOptions& options) {
    if (kSetupBlockOffset + block.size() > fileSize) {
        throw std::invalid_argument("lapgen: setup block does not fit the file");
    }
    std::vector<std::uint8_t> file = Pattern(fileSize, 0x05);
    std::copy(block.begin(), block.end(), file.begin() + kSetupBlockOffset);
    ScrambleSetup(file);
    ApplySizeDelta(file, options.sizeDelta);
    return file;
}

std::vector<std::uint8_t> WriteF1RSSetup(const F1RSSetupValues& values,
                                         const ScrambledSetupOptions& options) {
    return WrapScrambledSetup(BuildF1RSSetupBlock(values), kF1RSSetupFileSize, options);
}

std::vector<std::uint8_t> WriteMGPSetup(const MGPSetupValues& values,
                                        const ScrambledSetupOptions& options) {
    return WrapScrambledSetup(BuildMGPSetupBlock(values), kMGPSetupFileSize, options);
}

std::string ScrambledSetupExtension(int n) {
    if (n < 0) throw std::invalid_argument("lapgen: setup number must not be negative");
    return ".s" + std::to_string(n);
}

// ---- LFS -----------------------------------------------------------------------------------

std::vector<std::uint8_t> BuildLFSSetupHeader(const LFSSetupHeader& s) {
    std::array<bool, 4> used{};
    for (int b : s.blockOfWheel) {
        if (b < 0 || b > 3 || used[static_cast<std::size_t>(b)]) {
            throw std::invalid_argument("lapgen: blockOfWheel must be a permutation of 0..3");
        }
        used[static_cast<std::size_t>(b)] = true;
    }
    std::vector<std::uint8_t> h(kLFSHeaderSize, 0);
    std::memcpy(h.data(), "LFSRAF", 6);
    h[8] = 2;                      // format version
    Put16(h, 12, kLFSHeaderSize);  // header size
    Put16(h, 14, 192);             // data block: car state and four wheel sub-blocks
    Put16(h, 16, 32);              // wheel sub-block
    Put16(h, 18, 64);              // first wheel sub-block
    PutFloat(h, 196, s.rearAntiRollBar);
    PutFloat(h, 200, s.frontAntiRollBar);
    PutFloat(h, 204, s.finalDrive);
    h[208] = s.gearCount;
    const bool useModel = std::all_of(s.gearReduction.begin(), s.gearReduction.end(),
                                      [](float r) { return r == 0.0f; });
    for (std::size_t g = 0; g < 6; ++g) {
        PutFloat(h, 212 + 4 * g,
                 useModel ? static_cast<float>(1.0 / kGearRatios[g]) : s.gearReduction[g]);
    }
    for (std::size_t w = 0; w < 4; ++w) {
        const std::size_t block = 512 + 128 * static_cast<std::size_t>(s.blockOfWheel[w]);
        const bool left = w == kLeftRear || w == kLeftFront;
        const bool rear = w == kLeftRear || w == kRightRear;
        PutFloat(h, block + 0, static_cast<float>((left ? -0.5 : 0.5) * kTrackWidth));
        PutFloat(h, block + 4, static_cast<float>((rear ? -0.5 : 0.5) * kWheelbase));
        PutFloat(h, block + 8, static_cast<float>(kWheelRadius));
        PutFloat(h, block + 12, static_cast<float>(kWheelRadius));
        PutFloat(h, block + 20, s.travel[w]);
        h[block + 29] = s.tyreType[w];
        PutFloat(h, block + 32, s.springRate[w]);
        PutFloat(h, block + 36, s.bump[w]);
        PutFloat(h, block + 40, s.rebound[w]);
        PutFloat(h, block + 44, s.further[w]);
    }
    return h;
}

}  // namespace lapgen
