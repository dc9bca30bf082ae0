#include "Compress.h"

#include <algorithm>

#include "lapgen/GP2Writer.h"

namespace lapgen {
namespace detail {
namespace {

constexpr int kHashBits = 15;
constexpr int kMaxChain = 48;  // enough for telemetry; keeps 2.5 MB bodies well under a second

std::uint32_t Hash3(const std::uint8_t* p) {
    const std::uint32_t v = (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
    return (v * 2654435761u) >> (32 - kHashBits);
}

}  // namespace

std::vector<Token> Tokenize(std::span<const std::uint8_t> input) {
    const std::size_t size = input.size();
    const std::uint8_t* data = input.data();
    constexpr std::int64_t kNone = -1;
    std::vector<std::int64_t> head(std::size_t{1} << kHashBits, kNone);
    std::vector<std::int64_t> prev(size, kNone);
    auto insert = [&](std::size_t pos) {
        if (pos + kMinMatch <= size) {
            const std::uint32_t h = Hash3(data + pos);
            prev[pos] = head[h];
            head[h] = static_cast<std::int64_t>(pos);
        }
    };

    std::vector<Token> tokens;
    tokens.reserve(size / 3);
    std::size_t pos = 0;
    while (pos < size) {
        std::size_t bestLength = 0;
        std::size_t bestDistance = 0;
        if (pos + kMinMatch <= size) {
            const std::size_t limit = std::min(kMaxMatch, size - pos);
            std::int64_t candidate = head[Hash3(data + pos)];
            for (int chain = 0; candidate != kNone && chain < kMaxChain; ++chain) {
                const auto from = static_cast<std::size_t>(candidate);
                if (pos - from > kMaxDistance) {
                    break;
                }
                // Reading ahead of pos from the input is what makes overlapping copies work.
                std::size_t length = 0;
                while (length < limit && data[from + length] == data[pos + length]) {
                    ++length;
                }
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = pos - from;
                    if (length == limit) {
                        break;
                    }
                }
                candidate = prev[from];
            }
        }
        if (bestLength >= kMinMatch) {
            tokens.push_back({pos, bestLength, bestDistance, 0});
            for (std::size_t i = 0; i < bestLength; ++i) {
                insert(pos + i);
            }
            pos += bestLength;
        } else {
            tokens.push_back({pos, 1, 0, data[pos]});
            insert(pos);
            ++pos;
        }
    }
    return tokens;
}

Stream Serialize(std::span<const Token> tokens) {
    Stream stream;
    stream.bytes.reserve(tokens.size() * 2 + tokens.size() / 8 + 1);
    std::size_t flagPos = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const int item = static_cast<int>(i % 8);
        if (item == 0) {
            flagPos = stream.bytes.size();
            stream.bytes.push_back(0);
        }
        const Token& token = tokens[i];
        if (token.distance == 0) {
            stream.bytes.push_back(token.literal);
            continue;
        }
        stream.bytes[flagPos] = static_cast<std::uint8_t>(stream.bytes[flagPos] | (1u << item));
        const auto word = static_cast<std::uint16_t>(((token.length - kMinMatch) << 13) |
                                                     ((token.distance - 1) & 0x1fff));
        stream.wordOffsets.push_back(stream.bytes.size());
        stream.bytes.push_back(static_cast<std::uint8_t>(word & 0xff));
        stream.bytes.push_back(static_cast<std::uint8_t>(word >> 8));
    }
    return stream;
}

}  // namespace detail

std::vector<std::uint8_t> CompressGP(std::span<const std::uint8_t> body) {
    const std::vector<detail::Token> tokens = detail::Tokenize(body);
    return detail::Serialize(tokens).bytes;
}

}  // namespace lapgen
