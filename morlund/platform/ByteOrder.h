#pragma once

// Little-endian field access for file images. Callers check bounds first
// (ByteSpan does it for them); these helpers only assemble the bytes.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>

namespace morlund {

inline std::uint16_t LoadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::int16_t LoadI16(const std::uint8_t* p) { return static_cast<std::int16_t>(LoadU16(p)); }
inline std::uint32_t LoadU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::int32_t LoadI32(const std::uint8_t* p) { return static_cast<std::int32_t>(LoadU32(p)); }
inline float LoadF32(const std::uint8_t* p) {
    const std::uint32_t bits = LoadU32(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

inline void StoreU16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void StoreU32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

// A read-only view of a file image whose reads are checked against its size:
// a read that would leave the data answers nothing instead.
class ByteSpan {
public:
    ByteSpan() = default;
    ByteSpan(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    explicit ByteSpan(std::span<const std::uint8_t> s) : m_data(s.data()), m_size(s.size()) {}

    std::size_t size() const { return m_size; }
    const std::uint8_t* data() const { return m_data; }

    // True when [offset, offset + count) lies inside the data; safe against overflow.
    bool Has(std::size_t offset, std::size_t count) const {
        return offset <= m_size && count <= m_size - offset;
    }
    std::optional<std::uint8_t> U8(std::size_t offset) const {
        if (!Has(offset, 1)) return std::nullopt;
        return m_data[offset];
    }
    std::optional<std::uint16_t> U16(std::size_t offset) const {
        if (!Has(offset, 2)) return std::nullopt;
        return LoadU16(m_data + offset);
    }
    std::optional<std::uint32_t> U32(std::size_t offset) const {
        if (!Has(offset, 4)) return std::nullopt;
        return LoadU32(m_data + offset);
    }
    ByteSpan Sub(std::size_t offset, std::size_t count) const {
        if (!Has(offset, count)) return {};
        return ByteSpan(m_data + offset, count);
    }

private:
    const std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
};

}  // namespace morlund
