#include "morlund/formats/gp3/GP3CarSetup.h"

#include <algorithm>

#include "morlund/formats/gp2/GPEnvelope.h"

namespace morlund {

namespace {
constexpr std::uint8_t kGP3Initial[GP3CarSetup::kRecordSize] = {
    15,  15,  25,  32,  39, 45, 51, 56, 0, 47, 2,  0,  33, 66, 0,  0,  0,  0,   0,
    0,   4,   4,   4,   4,  4,  4,  4,  4, 15, 15, 21, 21, 15, 15, 21, 21, 100, 100,
    140, 140, 116, 116, 64, 64, 5,  0,  5, 0,  2,  0,  0,  2,  33, 66, 0,  0};

constexpr std::size_t kFirstGearByte = 2;
constexpr std::uint8_t kRatioBits = 0x7F;
constexpr std::uint8_t kSeventhGearBit = 0x80;
// The seventh gear's value v stands for the ratio (v + 17) / 64.
constexpr int kSeventhGearBias = 17;

constexpr std::size_t kDiffDecelByte = 45;
constexpr std::size_t kDiffAccelByte = 47;
// A differential byte of 16 or less has never been set: both of its settings read as 5.
constexpr std::uint8_t kDiffUnsetLimit = 16;
constexpr int kDiffDefault = 5;
// Both nibbles holding 5 + 1: an unset byte's reading, made explicit.
constexpr std::uint8_t kDiffDefaultByte = 0x66;
// Nibbles hold value + 1, so values 0..14 fit.
constexpr int kDiffMaxValue = 14;
}  // namespace

GP3CarSetup::GP3CarSetup() : GP3CarSetup(kGPFileIdGP2) {}

GP3CarSetup::GP3CarSetup(std::uint32_t fileId) : GP2CarSetup(fileId, kRecordSize, kGP3Initial) {}

double GP3CarSetup::GetGearRatio(int gear) const {
    if (gear == -1) return -GetGearRatio(1);
    if (gear >= 1 && gear <= 6) {
        return (m_record[kFirstGearByte + static_cast<std::size_t>(gear - 1)] & kRatioBits) / 64.0;
    }
    if (gear == 7) {
        const int value = GetSeventhGearValue();
        return value == 0 ? 0.0 : (value + kSeventhGearBias) / 64.0;
    }
    return 0.0;
}

void GP3CarSetup::SetGearRatio(int gear, double ratio) {
    if (gear >= 1 && gear <= 6) {
        // The top bit belongs to the seventh gear and stays as it is.
        std::uint8_t& byte = m_record[kFirstGearByte + static_cast<std::size_t>(gear - 1)];
        byte = static_cast<std::uint8_t>((byte & kSeventhGearBit) |
                                         RoundToStep(ratio * 64.0, kRatioBits));
    } else if (gear == 7) {
        const double steps = ratio * 64.0;
        // Below 18/64 (and NaN) there is no seventh gear.
        SetSeventhGearValue(!(steps >= kSeventhGearBias + 1)
                                ? 0
                                : RoundToStep(steps, kSeventhGearMax + kSeventhGearBias) -
                                      kSeventhGearBias);
    }
}

int GP3CarSetup::GetSeventhGearValue() const {
    int value = 0;
    for (int bit = 0; bit < 6; ++bit) {
        if (m_record[kFirstGearByte + static_cast<std::size_t>(bit)] & kSeventhGearBit) {
            value |= 1 << bit;
        }
    }
    return value;
}

void GP3CarSetup::SetSeventhGearValue(int value) {
    for (int bit = 0; bit < 6; ++bit) {
        std::uint8_t& byte = m_record[kFirstGearByte + static_cast<std::size_t>(bit)];
        byte = static_cast<std::uint8_t>((value >> bit) & 1 ? byte | kSeventhGearBit
                                                            : byte & kRatioBits);
    }
}

int GP3CarSetup::GetDiffSetting(int which, int part) const {
    const std::uint8_t byte = m_record[which != 0 ? kDiffAccelByte : kDiffDecelByte];
    if (byte <= kDiffUnsetLimit) return kDiffDefault;
    const int nibble = part != 0 ? byte >> 4 : byte & 0x0F;
    return nibble - 1;
}

void GP3CarSetup::SetDiffSetting(int which, int part, int value) {
    std::uint8_t& byte = m_record[which != 0 ? kDiffAccelByte : kDiffDecelByte];
    const int nibble = std::clamp(value, 0, kDiffMaxValue) + 1;
    // Setting one half of an unset byte must not make the other half read as garbage, nor
    // leave the byte reading as unset.
    int result = byte <= kDiffUnsetLimit ? kDiffDefaultByte : byte;
    result = part != 0 ? (result & 0x0F) | (nibble << 4) : (result & 0xF0) | nibble;
    // High nibble 1 over a stored low nibble of 0 (which reads -1) would read as unset again:
    // the low setting moves to 0, the nearest value the editor can show.
    if (result <= kDiffUnsetLimit) result |= 0x01;
    byte = static_cast<std::uint8_t>(result);
}

}  // namespace morlund
