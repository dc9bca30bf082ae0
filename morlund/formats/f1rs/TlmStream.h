#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace morlund {

// One record stream of an F1RS or MGPRS2 telemetry file: fixed-size records,
// each with an unsigned 16-bit distance in metres at a fixed place. The games
// sample their streams at distances of their own, so the buffers read one
// stream per sample and look the others up by distance.
class TlmStream {
public:
    TlmStream() = default;
    TlmStream(std::size_t recordSize, std::size_t distanceOffset)
        : m_recordSize(recordSize), m_distanceOffset(distanceOffset) {}

    // Copies count records from data (the caller has checked that they lie
    // inside it) and drops the repeated records at both ends. False when
    // nothing is left.
    bool Assign(const std::uint8_t* data, std::uint64_t count);

    int GetCount() const { return static_cast<int>(m_count); }
    const std::uint8_t* Record(int i) const {
        return m_bytes.data() + m_first + m_recordSize * static_cast<std::size_t>(i);
    }
    unsigned GetDistance(int i) const;
    // The first record whose distance is at least d, else the last record.
    int Find(double d) const;

private:
    std::size_t m_recordSize = 0;
    std::size_t m_distanceOffset = 0;
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_first = 0;  // byte offset of the first record kept
    std::size_t m_count = 0;
    // Running maximum of the distances: the first record reaching d is the
    // first place where this reaches d, even when the distances step back.
    std::vector<std::uint16_t> m_maxDistance;
};

// The three streams of one lap and the choice of the sample grid.
struct TlmStreams {
    TlmStreams(const TlmStream& a, const TlmStream& b, const TlmStream& c) : stream{a, b, c} {}

    TlmStream stream[3];
    int master = 0;

    // The stream with the most records; an earlier one wins a tie.
    void ChooseMaster();
    // For every sample of the master stream, the record of each other stream.
    void BuildLookup();
    int RecordOf(int s, int sample) const {
        return s == master ? sample : m_lookup[s][static_cast<std::size_t>(sample)];
    }

private:
    std::vector<int> m_lookup[3];
};

}  // namespace morlund
