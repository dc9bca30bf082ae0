#pragma once

// Little-endian stores into file images, shared by the writers. Writes
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

// Appends little-endian values to a growing file image.
class ByteWriter {
public:
    explicit ByteWriter(std::vector<std::uint8_t>& out) : m_out(out) {}
    void U8(std::uint8_t v) { m_out.push_back(v); }
    void U16(std::uint16_t v) {
        U8(static_cast<std::uint8_t>(v & 0xff));
        U8(static_cast<std::uint8_t>(v >> 8));
    }
    void I16(std::int16_t v) { U16(static_cast<std::uint16_t>(v)); }
    void U32(std::uint32_t v) {
        U16(static_cast<std::uint16_t>(v & 0xffff));
        U16(static_cast<std::uint16_t>(v >> 16));
    }
    void I32(std::int32_t v) { U32(static_cast<std::uint32_t>(v)); }

private:
    std::vector<std::uint8_t>& m_out;
};

}  // namespace lapgen
