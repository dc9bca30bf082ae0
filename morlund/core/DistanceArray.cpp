#include "morlund/core/DistanceArray.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "morlund/core/PerfCore.h"
#include "morlund/platform/Errors.h"

namespace morlund {

namespace {
// NaN distances (possible in text formats) sort last so the order stays total.
double SortKey(double d) { return std::isnan(d) ? std::numeric_limits<double>::infinity() : d; }
}  // namespace

void CDistanceArray::Build(const PerfCore& buffer) {
    const int n = buffer.GetSampleCount();
    m_entries.clear();
    m_entries.reserve(static_cast<std::size_t>(std::max(n, 0)));
    for (int i = 0; i < n; ++i) {
        m_entries.push_back({i, GetDistance(buffer, i)});
    }
    // One sort instead of n bisected inserts: the same order, O(n log n).
    std::stable_sort(m_entries.begin(), m_entries.end(), [](const Entry& a, const Entry& b) {
        return SortKey(a.distance) < SortKey(b.distance);
    });
}

void CDistanceArray::InsertAt(int index, const Entry& entry) {
    if (index < 0 || index > GetCount()) {
        throw InvalidArgument("distance index position " + std::to_string(index));
    }
    m_entries.insert(m_entries.begin() + index, entry);
}

const CDistanceArray::Entry& CDistanceArray::GetAt(int index) const {
    if (index < 0 || index >= GetCount()) {
        throw InvalidArgument("distance index position " + std::to_string(index));
    }
    return m_entries[static_cast<std::size_t>(index)];
}

int CDistanceArray::Compare(const Entry& a, const Entry& b) {
    const double da = SortKey(a.distance);
    const double db = SortKey(b.distance);
    if (da < db) return -1;
    if (da > db) return 1;
    return 0;
}

CDistanceArray::Hit CDistanceArray::Find(double distance) const {
    const Entry probe{-1, distance};
    int low = 0;
    int high = GetCount();
    while (low != high) {
        const int middle = low + (high - low) / 2;
        const int c = Compare(probe, m_entries[static_cast<std::size_t>(middle)]);
        if (c == 0) return {true, middle};
        if (c > 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return {false, low};
}

double CDistanceArray::GetDistance(const PerfCore& buffer, int sample) const {
    return buffer.GetDistance(sample);
}

}  // namespace morlund
