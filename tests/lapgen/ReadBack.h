#pragma once

// Little-endian read-back of writer output in the writer tests, kept apart
// from the writers' own code.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace lapgen_test {

using Bytes = std::vector<std::uint8_t>;

inline std::uint32_t U16At(const Bytes& b, std::size_t at) {
    return b.at(at) | (unsigned{b.at(at + 1)} << 8);
}

inline std::uint32_t U32At(const Bytes& b, std::size_t at) {
    return U16At(b, at) | (U16At(b, at + 2) << 16);
}

inline float FloatAt(const Bytes& b, std::size_t at) {
    const std::uint32_t bits = U32At(b, at);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

}  // namespace lapgen_test
