#pragma once

// Little-endian stores into a file image that the writers share. Writes
// outside the image throw (std::out_of_range): a writer bug, never a file.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace lapgen {

inline void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    out.at(at) = static_cast<std::uint8_t>(v & 0xff);
    out.at(at + 1) = static_cast<std::uint8_t>((v >> 8) & 0xff);
}

inline void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    Put16(out, at, v & 0xffff);
    Put16(out, at + 2, v >> 16);
}

inline void PutFloat(std::vector<std::uint8_t>& out, std::size_t at, float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    Put32(out, at, bits);
}

}  // namespace lapgen
