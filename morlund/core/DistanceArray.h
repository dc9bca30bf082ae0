#pragma once

#include <vector>

namespace morlund {

class PerfCore;

// Sample indices of a buffer ordered by distance, for looking values up by
// distance. Equal distances keep no particular order.
class CDistanceArray {
public:
    struct Entry {
        int sample;
        double distance;
    };
    // Result of a bisection: the index of an entry at exactly the distance, or
    // the position where such an entry would be inserted.
    struct Hit {
        bool found;
        int index;
    };

    virtual ~CDistanceArray() = default;

    // Rebuilds the index from every sample of the buffer.
    void Build(const PerfCore& buffer);
    void Clear() { m_entries.clear(); }

    // Inserts an entry at a position (0..count).
    void InsertAt(int index, const Entry& entry);
    // The entry at a position; an index outside the array raises InvalidArgument.
    const Entry& GetAt(int index) const;
    int GetCount() const { return static_cast<int>(m_entries.size()); }
    // -1, 0 or 1 as the first entry's distance is below, equal to or above the second's.
    static int Compare(const Entry& a, const Entry& b);
    // Bisection over the entries: low 0, high count; stops at an equal distance.
    Hit Find(double distance) const;

    // The buffer's distance of a sample.
    virtual double GetDistance(const PerfCore& buffer, int sample) const;

private:
    std::vector<Entry> m_entries;
};

}  // namespace morlund
