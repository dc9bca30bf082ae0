#pragma once

// The envelope shared by the perf and setup files of the GP games: a 32-byte
// header, the body, and two 16-bit checksum words; perf bodies may be
// compressed with a small LZ scheme.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "morlund/platform/ByteOrder.h"

namespace morlund {

inline constexpr std::size_t kGPHeaderSize = 32;
inline constexpr std::size_t kGPTrailerSize = 4;
inline constexpr std::uint32_t kGPFileIdGP2 = 0x853da1be;
inline constexpr std::uint32_t kGPFileIdGP4 = 0xabadfeed;
inline constexpr std::uint8_t kGPTypePerf = 0x0D;
inline constexpr std::uint8_t kGPTypeSetup = 0x03;
inline constexpr std::uint8_t kGPTypeCompressed = 0x80;

// Running checksum: s1 sums the bytes, s2 rotates left by 3 before each add.
struct GPChecksum {
    std::uint16_t s1 = 0;
    std::uint16_t s2 = 0;

    void Add(ByteSpan bytes) {
        std::uint16_t a = s1;
        std::uint16_t b = s2;
        const std::uint8_t* p = bytes.data();
        for (std::size_t i = 0, n = bytes.size(); i < n; ++i) {
            a = static_cast<std::uint16_t>(a + p[i]);
            b = static_cast<std::uint16_t>(static_cast<std::uint16_t>((b << 3) | (b >> 13)) + p[i]);
        }
        s1 = a;
        s2 = b;
    }
    // The plain form of the two words.
    bool MatchesPlain(std::uint16_t word1, std::uint16_t word2) const {
        return word1 == s1 && word2 == s2;
    }
    // The plain form or the one offset by 0x8065 / 0x8465, as perf files may carry.
    bool Matches(std::uint16_t word1, std::uint16_t word2) const {
        return MatchesPlain(word1, word2) || (word1 == static_cast<std::uint16_t>(s1 + 0x8065) &&
                                              word2 == static_cast<std::uint16_t>(s2 + 0x8465));
    }
};

// Size of the expanded body; nothing when a back-reference points before the
// start of the output or a back-reference word is cut off by the end.
std::optional<std::size_t> GPExpandedSize(ByteSpan stored);
// Expands a compressed body; false (out untouched) on the faults GPExpandedSize finds.
bool GPExpand(ByteSpan stored, std::vector<std::uint8_t>& out);
// The first `limit` bytes of a compressed body of which only the start was read
// (fewer when the input ends first, also inside a back-reference word); at most
// limit + 9 bytes. Nothing when a back-reference points before the start.
std::optional<std::vector<std::uint8_t>> GPExpandPrefix(ByteSpan stored, std::size_t limit);

}  // namespace morlund
