#include "morlund/formats/gp2/GPEnvelope.h"

namespace morlund {

// Groups of a flag byte and up to eight items, lowest flag bit first: a clear
// bit is one literal byte, a set bit a word w that copies (w >> 13) + 3 bytes
// from (w & 0x1fff) + 1 bytes back. The input may end inside a group.
std::optional<std::size_t> GPExpandedSize(ByteSpan stored) {
    const std::uint8_t* in = stored.data();
    const std::size_t n = stored.size();
    std::size_t pos = 0;
    std::size_t size = 0;
    while (pos < n) {
        const unsigned flags = in[pos++];
        for (int bit = 0; bit < 8 && pos < n; ++bit) {
            if ((flags & (1u << bit)) == 0) {
                ++pos;
                ++size;
                continue;
            }
            if (n - pos < 2) return std::nullopt;
            const unsigned w = LoadU16(in + pos);
            pos += 2;
            const std::size_t back = (w & 0x1fffu) + 1;
            if (back > size) return std::nullopt;
            size += (w >> 13) + 3;
        }
    }
    return size;
}

bool GPExpand(ByteSpan stored, std::vector<std::uint8_t>& out) {
    const std::optional<std::size_t> size = GPExpandedSize(stored);
    if (!size) return false;
    // The counting pass has checked every reference; this pass only copies.
    std::vector<std::uint8_t> result(*size);
    std::uint8_t* o = result.data();
    std::size_t at = 0;
    const std::uint8_t* in = stored.data();
    const std::size_t n = stored.size();
    std::size_t pos = 0;
    while (pos < n) {
        const unsigned flags = in[pos++];
        for (int bit = 0; bit < 8 && pos < n; ++bit) {
            if ((flags & (1u << bit)) == 0) {
                o[at++] = in[pos++];
                continue;
            }
            const unsigned w = LoadU16(in + pos);
            pos += 2;
            const std::uint8_t* from = o + at - ((w & 0x1fffu) + 1);
            const unsigned length = (w >> 13) + 3;
            // Byte by byte: the source may overlap what is being written.
            for (unsigned k = 0; k < length; ++k)
                o[at + k] = from[k];
            at += length;
        }
    }
    out = std::move(result);
    return true;
}

std::optional<std::vector<std::uint8_t>> GPExpandPrefix(ByteSpan stored, std::size_t limit) {
    std::vector<std::uint8_t> out;
    const std::uint8_t* in = stored.data();
    const std::size_t n = stored.size();
    std::size_t pos = 0;
    while (pos < n && out.size() < limit) {
        const unsigned flags = in[pos++];
        for (int bit = 0; bit < 8 && pos < n && out.size() < limit; ++bit) {
            if ((flags & (1u << bit)) == 0) {
                out.push_back(in[pos++]);
                continue;
            }
            if (n - pos < 2) return out;  // the read ended inside the word
            const unsigned w = LoadU16(in + pos);
            pos += 2;
            const std::size_t back = (w & 0x1fffu) + 1;
            if (back > out.size()) return std::nullopt;
            const unsigned length = (w >> 13) + 3;
            for (unsigned k = 0; k < length; ++k)
                out.push_back(out[out.size() - back]);
        }
    }
    return out;
}

}  // namespace morlund
