// Internals of the GP compressor, shared with the writer's broken-stream variants.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace lapgen::detail {

inline constexpr std::size_t kMinMatch = 3;
inline constexpr std::size_t kMaxMatch = 10;
inline constexpr std::size_t kMaxDistance = 8192;

struct Token {
    std::size_t outputPos = 0;  // expanded bytes before this item
    std::size_t length = 1;     // 1 for a literal
    std::size_t distance = 0;   // 0 for a literal
    std::uint8_t literal = 0;
};

std::vector<Token> Tokenize(std::span<const std::uint8_t> input);

struct Stream {
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> wordOffsets;  // stream offset of every back-reference word
};

Stream Serialize(std::span<const Token> tokens);

}  // namespace lapgen::detail
