// Minimal expander for the GP flag/back-reference stream, used only to prove what lapgen's
// compressor and broken-stream variants produce. Reports the first problem instead of throwing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace lapgen_test {

enum class ExpandError { None, BadReference, CutWord };

struct Expanded {
    std::vector<std::uint8_t> bytes;
    ExpandError error = ExpandError::None;
    std::size_t references = 0;
    std::size_t overlapping = 0;  // references with distance < length
};

inline Expanded Expand(std::span<const std::uint8_t> in) {
    Expanded out;
    std::size_t i = 0;
    while (i < in.size()) {
        const unsigned flags = in[i++];
        for (int bit = 0; bit < 8 && i < in.size(); ++bit) {
            if (((flags >> bit) & 1u) == 0) {
                out.bytes.push_back(in[i++]);
                continue;
            }
            if (i + 1 >= in.size()) {
                out.error = ExpandError::CutWord;
                return out;
            }
            const unsigned word = in[i] | (unsigned{in[i + 1]} << 8);
            i += 2;
            const std::size_t length = (word >> 13) + 3;
            const std::size_t distance = (word & 0x1fffu) + 1;
            if (distance > out.bytes.size()) {
                out.error = ExpandError::BadReference;
                return out;
            }
            ++out.references;
            out.overlapping += distance < length ? 1 : 0;
            for (std::size_t k = 0; k < length; ++k) {
                out.bytes.push_back(out.bytes[out.bytes.size() - distance]);
            }
        }
    }
    return out;
}

}  // namespace lapgen_test
