#pragma once

// The 1024-byte header of a Replay Analyser file: the fields the LFS reader,
// its car setup and its car model take from it. Little-endian throughout.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "morlund/platform/ByteOrder.h"

namespace morlund::raf {

inline constexpr std::size_t kHeaderSize = 1024;

inline constexpr std::size_t kVersion = 8;
inline constexpr std::size_t kIntervalMs = 9;  // sample interval in ms; 0 = 10 ms
inline constexpr std::size_t kHeaderSizeField = 12;
inline constexpr std::size_t kBlockSize = 14;
inline constexpr std::size_t kWheelSubBlockSize = 16;
inline constexpr std::size_t kFirstWheelSubBlock = 18;
inline constexpr std::size_t kBlockCount = 20;
inline constexpr std::size_t kTrackLength = 28;
inline constexpr std::size_t kPlayer = 32;
inline constexpr std::size_t kPlayerSize = 32;
inline constexpr std::size_t kCar = 64;
inline constexpr std::size_t kCarSize = 32;
inline constexpr std::size_t kTrack = 96;
inline constexpr std::size_t kTrackSize = 32;
inline constexpr std::size_t kLayout = 128;
inline constexpr std::size_t kLayoutSize = 16;
inline constexpr std::size_t kWeather = 144;
inline constexpr std::size_t kWeatherSize = 16;
inline constexpr std::size_t kProgramVersion = 160;
inline constexpr std::size_t kProgramVersionSize = 8;
inline constexpr std::size_t kHelps = 168;
inline constexpr std::size_t kHlvc = 170;
inline constexpr std::size_t kSplitCount = 171;
inline constexpr std::size_t kSplits = 172;  // u32 ms each
inline constexpr int kMaxSplits = 4;
inline constexpr std::size_t kMass = 188;
inline constexpr std::size_t kSprungMass = 192;

// Wheel blocks: 128 bytes each from offset 512.
inline constexpr std::size_t kWheelBlocks = 512;
inline constexpr std::size_t kWheelBlockSize = 128;
inline constexpr std::size_t kWheelX = 0;
inline constexpr std::size_t kWheelY = 4;
inline constexpr std::size_t kWheelZ = 8;
inline constexpr std::size_t kWheelRadius = 12;
inline constexpr std::size_t kWheelTravel = 20;
inline constexpr std::size_t kWheelTyreType = 29;
// A wheel block without travel has the game's default.
inline constexpr float kDefaultTravel = 0.2f;

// A name without the game's colour codes: '^' followed by a digit 0 to 8.
inline std::string WithoutColourCodes(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '^' && i + 1 < name.size() && name[i + 1] >= '0' && name[i + 1] <= '8') {
            ++i;
            continue;
        }
        out += name[i];
    }
    return out;
}

inline constexpr std::size_t WheelBlock(int block) {
    return kWheelBlocks + kWheelBlockSize * static_cast<std::size_t>(block);
}

// Buffer wheel (left rear, right rear, left front, right front) -> header wheel block, by the
// quadrant of each block's x and y: x < 0 is left, y < 0 is rear. Headers shorter than 1024
// bytes, and blocks that share a quadrant, keep the identity: a map that leaves a wheel
// without a block would show one wheel's data twice.
inline std::array<int, 4> MapWheels(ByteSpan header) {
    const std::array<int, 4> identity = {0, 1, 2, 3};
    if (!header.Has(0, kHeaderSize)) return identity;
    std::array<int, 4> map = {-1, -1, -1, -1};
    for (int i = 0; i < 4; ++i) {
        const std::uint8_t* block = header.data() + WheelBlock(i);
        const bool right = !(LoadF32(block + kWheelX) < 0.0f);
        const bool front = !(LoadF32(block + kWheelY) < 0.0f);
        int& slot = map[static_cast<std::size_t>((right ? 1 : 0) + (front ? 2 : 0))];
        if (slot != -1) return identity;
        slot = i;
    }
    return map;
}

// The full-extension travel of a wheel block, with the default for a stored 0.
inline double WheelTravel(ByteSpan header, int block) {
    if (!header.Has(0, kHeaderSize) || block < 0 || block > 3) return kDefaultTravel;
    const float travel = LoadF32(header.data() + WheelBlock(block) + kWheelTravel);
    return travel == 0.0f ? kDefaultTravel : travel;
}

}  // namespace morlund::raf
