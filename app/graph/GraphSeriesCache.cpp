#include "app/graph/GraphSeriesCache.h"

#include <algorithm>

#include "morlund/core/PerfCore.h"
#include "morlund/items/DataItem.h"

namespace tarnwick {

namespace {

inline void Prefetch(const double* p) {
#if defined(__GNUC__)
    __builtin_prefetch(p);
#else
    (void)p;
#endif
}

}  // namespace

GraphColumnGrid::GraphColumnGrid(double xStart, double xEnd, int left, int width)
    : m_xStart(xStart), m_xEnd(xEnd), m_left(left), m_width(std::max(width, 0)) {
    m_thresholds.resize(static_cast<std::size_t>(m_width) + 2);
    m_thresholds.front() = -HUGE_VAL;
    m_thresholds.back() = HUGE_VAL;
    const double span = xEnd - xStart;
    for (int j = 1; j <= m_width; ++j) {
        const int column = left + j;
        double t = xStart + span * j / m_width;
        if (!std::isfinite(t) || span <= 0) {
            m_thresholds[static_cast<std::size_t>(j)] = HUGE_VAL;
            continue;
        }
        // The estimate is off by a few units in the last place at most; step to the
        // exact boundary of the column rule.
        for (int k = 0; k < 256 && Column(t) < column; ++k)
            t = std::nextafter(t, HUGE_VAL);
        for (int k = 0; k < 256; ++k) {
            const double below = std::nextafter(t, -HUGE_VAL);
            if (Column(below) < column) break;
            t = below;
        }
        m_thresholds[static_cast<std::size_t>(j)] = t;
    }
}

const std::vector<GraphRangeSummary>& GraphSeries::BlocksFor(double validMin, double validMax) {
    for (const Blocks& b : m_blocks)
        if (b.validMin == validMin && b.validMax == validMax) return b.blocks;
    Blocks made{validMin, validMax, {}};
    const int n = static_cast<int>(values.size());
    made.blocks.resize(static_cast<std::size_t>((n + kBlockSize - 1) / kBlockSize));
    for (int i = 0; i < n; ++i)
        made.blocks[static_cast<std::size_t>(i / kBlockSize)].AppendSample(
            i, values[static_cast<std::size_t>(i)], validMin, validMax);
    m_blocks.push_back(std::move(made));
    return m_blocks.back().blocks;
}

const std::vector<GraphColumn>& GraphSeries::Columns(const std::vector<double>& distances,
                                                     const GraphColumnGrid& grid, int begin,
                                                     int end, double validMin, double validMax) {
    if (m_hasColumns && grid.SameAs(m_colXStart, m_colXEnd, m_colLeft, m_colWidth) &&
        begin == m_colBegin && end == m_colEnd && validMin == m_colValidMin &&
        validMax == m_colValidMax)
        return m_columns;
    m_columns.clear();
    const double* d = distances.data();
    const int lastColumn = grid.Width() + 1;
    int j = 0;
    int i = begin;
    int lastCount = 1;
    while (i < end) {
        while (j < lastColumn && d[i] >= grid.Threshold(j + 1))
            ++j;
        const double limit = grid.Threshold(j + 1);
        // First sample of a later column. Columns hold about as many samples as the one
        // before: gallop from that guess in the direction it misses, then bisect.
        int low = i + 1;
        int high = std::min(i + std::max(lastCount, 1), end);
        // The column after this one starts about here: fetch its distances and values
        // while this one is worked on (they lie far apart in memory).
        if (const int ahead = i + 2 * lastCount; ahead < end) {
            Prefetch(d + ahead);
            Prefetch(values.data() + ahead);
        }
        if (high == end || d[high] >= limit) {
            int stride = 1;
            while (high - stride >= low && d[high - stride] >= limit) {
                high -= stride;
                stride *= 2;
            }
            low = std::max(low, high - stride + 1);
        } else {
            low = high + 1;
            high = low;
            int stride = 1;
            while (high < end && d[high] < limit) {
                low = high + 1;
                high = low + stride;
                stride *= 2;
            }
            high = std::min(high, end);
        }
        while (low < high) {
            const int mid = low + (high - low) / 2;
            if (d[mid] >= limit)
                high = mid;
            else
                low = mid + 1;
        }
        lastCount = low - i;
        GraphColumn column;
        column.column = grid.Left() + j;
        column.begin = i;
        column.end = low;
        column.summary = Summarize(i, low, validMin, validMax);
        if (column.summary.count > 0) {
            int first = i;
            while (!IsDrawable(values[static_cast<std::size_t>(first)], validMin, validMax))
                ++first;
            int last = low - 1;
            while (!IsDrawable(values[static_cast<std::size_t>(last)], validMin, validMax))
                --last;
            column.first = first;
            column.last = last;
            column.firstValue = values[static_cast<std::size_t>(first)];
            column.lastValue = values[static_cast<std::size_t>(last)];
        }
        m_columns.push_back(column);
        i = low;
    }
    m_hasColumns = true;
    m_colXStart = grid.XStart();
    m_colXEnd = grid.XEnd();
    m_colLeft = grid.Left();
    m_colWidth = grid.Width();
    m_colBegin = begin;
    m_colEnd = end;
    m_colValidMin = validMin;
    m_colValidMax = validMax;
    return m_columns;
}

GraphRangeSummary GraphSeries::Summarize(int begin, int end, double validMin, double validMax) {
    GraphRangeSummary s;
    const int firstBlock = (begin + kBlockSize - 1) / kBlockSize;
    const int endBlock = end / kBlockSize;
    if (firstBlock >= endBlock) {
        for (int i = begin; i < end; ++i)
            s.AppendSample(i, values[static_cast<std::size_t>(i)], validMin, validMax);
        return s;
    }
    const std::vector<GraphRangeSummary>& blocks = BlocksFor(validMin, validMax);
    for (int i = begin; i < firstBlock * kBlockSize; ++i)
        s.AppendSample(i, values[static_cast<std::size_t>(i)], validMin, validMax);
    for (int b = firstBlock; b < endBlock; ++b)
        s.Append(blocks[static_cast<std::size_t>(b)]);
    for (int i = endBlock * kBlockSize; i < end; ++i)
        s.AppendSample(i, values[static_cast<std::size_t>(i)], validMin, validMax);
    return s;
}

const GraphDistances& GraphSeriesCache::Distances(const morlund::PerfCore& buffer) {
    std::unique_ptr<GraphDistances>& slot = m_distances[&buffer];
    const int n = std::max(buffer.GetSampleCount(), 0);
    if (slot && static_cast<int>(slot->values.size()) == n) return *slot;
    slot = std::make_unique<GraphDistances>();
    slot->values.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        slot->values[static_cast<std::size_t>(i)] = buffer.GetDistance(i);
    // Readers deliver distances in lap order, but nothing forces a file to; a NaN
    // also breaks the order (every comparison with it fails).
    for (int i = 1; i < n && slot->ordered; ++i)
        slot->ordered = slot->values[static_cast<std::size_t>(i)] >=
                        slot->values[static_cast<std::size_t>(i - 1)];
    if (n > 0 && std::isnan(slot->values[0])) slot->ordered = false;
    return *slot;
}

GraphSeries& GraphSeriesCache::Series(const morlund::PerfCore& buffer,
                                      const morlund::DataItem& item, const morlund::Wheel* wheel) {
    std::unique_ptr<GraphSeries>& slot = m_series[Key{&buffer, &item, wheel}];
    const int n = std::max(buffer.GetSampleCount(), 0);
    if (slot && static_cast<int>(slot->values.size()) == n) return *slot;
    slot = std::make_unique<GraphSeries>();
    slot->values.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        slot->values[static_cast<std::size_t>(i)] = item.GetConvertedValue(&buffer, i, wheel);
    return *slot;
}

void GraphSeriesCache::Drop(const morlund::PerfCore* buffer) {
    std::erase_if(m_series,
                  [buffer](const auto& entry) { return std::get<0>(entry.first) == buffer; });
    m_distances.erase(buffer);
}

void GraphSeriesCache::KeepOnly(const std::vector<const morlund::PerfCore*>& buffers) {
    const auto gone = [&buffers](const morlund::PerfCore* buffer) {
        return std::find(buffers.begin(), buffers.end(), buffer) == buffers.end();
    };
    std::erase_if(m_series, [&](const auto& entry) { return gone(std::get<0>(entry.first)); });
    std::erase_if(m_distances, [&](const auto& entry) { return gone(entry.first); });
}

void GraphSeriesCache::Clear() {
    m_series.clear();
    m_distances.clear();
}

}  // namespace tarnwick
