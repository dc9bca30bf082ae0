#include "morlund/formats/f1rs/TlmStream.h"

#include <algorithm>

#include "morlund/platform/ByteOrder.h"

namespace morlund {

bool TlmStream::Assign(const std::uint8_t* data, std::uint64_t count) {
    m_bytes.assign(data, data + count * m_recordSize);
    m_first = 0;
    m_count = static_cast<std::size_t>(count);
    auto distance = [&](std::size_t i) {
        return LoadU16(m_bytes.data() + m_first + m_recordSize * i + m_distanceOffset);
    };
    while (m_count > 2 && distance(0) >= distance(1)) {
        m_first += m_recordSize;
        --m_count;
    }
    // Stops at one record: a lone record has nothing before it to compare with.
    while (m_count >= 2 && distance(m_count - 1) <= distance(m_count - 2))
        --m_count;
    if (m_count == 0) return false;
    m_maxDistance.resize(m_count);
    std::uint16_t top = 0;
    for (std::size_t i = 0; i < m_count; ++i) {
        top = std::max(top, distance(i));
        m_maxDistance[i] = top;
    }
    return true;
}

unsigned TlmStream::GetDistance(int i) const { return LoadU16(Record(i) + m_distanceOffset); }

int TlmStream::Find(double d) const {
    // The running maximum never falls, so a binary search finds the first record.
    const auto it = std::lower_bound(m_maxDistance.begin(), m_maxDistance.end(), d,
                                     [](std::uint16_t v, double key) { return v < key; });
    if (it == m_maxDistance.end()) return GetCount() - 1;
    return static_cast<int>(it - m_maxDistance.begin());
}

void TlmStreams::ChooseMaster() {
    master = 0;
    for (int s = 1; s < 3; ++s) {
        if (stream[s].GetCount() > stream[master].GetCount()) master = s;
    }
}

void TlmStreams::BuildLookup() {
    const TlmStream& grid = stream[master];
    const int n = grid.GetCount();
    for (int s = 0; s < 3; ++s) {
        m_lookup[s].clear();
        if (s == master) continue;
        m_lookup[s].resize(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            m_lookup[s][static_cast<std::size_t>(i)] = stream[s].Find(grid.GetDistance(i));
    }
}

}  // namespace morlund
