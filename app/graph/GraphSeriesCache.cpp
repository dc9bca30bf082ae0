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

const GraphSeries::Blocks& GraphSeries::BlocksFor(double validMin, double validMax) {
    for (const Blocks& b : m_blocks)
        if (b.validMin == validMin && b.validMax == validMax) return b;
    Blocks made{validMin, validMax, {}, {}, {}, {}, {}};
    const int n = static_cast<int>(values.size());
    const auto blockCount = static_cast<std::size_t>((n + kBlockSize - 1) / kBlockSize);
    Level base;
    base.extremes.resize(blockCount);
    base.gaps.resize(blockCount);
    made.sums.resize(blockCount);
    made.counts.resize(blockCount);
    for (int i = 0; i < n; ++i) {
        const auto k = static_cast<std::size_t>(i / kBlockSize);
        const double v = values[static_cast<std::size_t>(i)];
        if (!IsDrawable(v, validMin, validMax)) {
            base.gaps[k] = 1;
            continue;
        }
        base.extremes[k].AppendSample(i, v);
        made.sums[k] += v;
        ++made.counts[k];
    }
    made.groupSums.resize(blockCount / kSumGroup);
    made.groupCounts.resize(blockCount / kSumGroup);
    for (std::size_t k = 0; k < made.groupSums.size() * kSumGroup; ++k) {
        made.groupSums[k / kSumGroup] += made.sums[k];
        made.groupCounts[k / kSumGroup] += made.counts[k];
    }
    made.levels.push_back(std::move(base));
    // Higher levels summarise whole groups of the level below only.
    while (made.levels.back().extremes.size() >= 2 * kFanOut) {
        const Level& below = made.levels.back();
        Level up;
        const std::size_t count = below.extremes.size() / kFanOut;
        up.extremes.resize(count);
        up.gaps.resize(count);
        for (std::size_t k = 0; k < count * kFanOut; ++k) {
            up.extremes[k / kFanOut].Append(below.extremes[k]);
            up.gaps[k / kFanOut] |= below.gaps[k];
        }
        made.levels.push_back(std::move(up));
    }
    m_blocks.push_back(std::move(made));
    return m_blocks.back();
}

GraphExtremes GraphSeries::Query(const Blocks& blocks, int first, int end, bool& gap) {
    // Up the levels: the ragged records at either end are taken at the level they are
    // found on, the aligned middle one level higher. The right-hand part is gathered
    // separately, so that everything is appended in sample order (ties keep the
    // earlier sample).
    GraphExtremes head;
    GraphExtremes tail;
    std::uint8_t gaps = 0;
    const std::size_t levelCount = blocks.levels.size();
    for (std::size_t l = 0; first < end; ++l) {
        const Level& level = blocks.levels[l];
        const GraphExtremes* e = level.extremes.data();
        const std::uint8_t* g = level.gaps.data();
        if (l + 1 == levelCount) {
            for (; first < end; ++first) {
                head.Append(e[first]);
                gaps |= g[first];
            }
            break;
        }
        for (; first < end && first % kFanOut != 0; ++first) {
            head.Append(e[first]);
            gaps |= g[first];
        }
        for (; end > first && end % kFanOut != 0;) {
            --end;
            GraphExtremes later = e[end];
            later.Append(tail);
            tail = later;
            gaps |= g[end];
        }
        first /= kFanOut;
        end /= kFanOut;
    }
    head.Append(tail);
    gap = gap || gaps != 0;
    return head;
}

void GraphSeries::Sum(const Blocks& blocks, int begin, int end, double& sum, int& count) const {
    const double lo = blocks.validMin;
    const double hi = blocks.validMax;
    auto samples = [&](int from, int to) {
        for (int i = from; i < to; ++i) {
            const double v = values[static_cast<std::size_t>(i)];
            if (!IsDrawable(v, lo, hi)) continue;
            sum += v;
            ++count;
        }
    };
    const int firstBlock = (begin + kBlockSize - 1) / kBlockSize;
    const int endBlock = end / kBlockSize;
    if (firstBlock >= endBlock) {
        samples(begin, end);
        return;
    }
    samples(begin, firstBlock * kBlockSize);
    auto whole = [&](int from, int to) {
        for (int k = from; k < to; ++k) {
            sum += blocks.sums[static_cast<std::size_t>(k)];
            count += blocks.counts[static_cast<std::size_t>(k)];
        }
    };
    const int firstGroup = (firstBlock + kSumGroup - 1) / kSumGroup;
    const int endGroup = endBlock / kSumGroup;
    if (firstGroup < endGroup) {
        whole(firstBlock, firstGroup * kSumGroup);
        for (int g = firstGroup; g < endGroup; ++g) {
            sum += blocks.groupSums[static_cast<std::size_t>(g)];
            count += blocks.groupCounts[static_cast<std::size_t>(g)];
        }
        whole(endGroup * kSumGroup, endBlock);
    } else {
        whole(firstBlock, endBlock);
    }
    samples(endBlock * kBlockSize, end);
}

const GraphColumns& GraphSeries::Columns(const GraphDistances& distances,
                                         const GraphColumnGrid& grid, int begin, int end,
                                         double validMin, double validMax) {
    if (m_hasColumns && grid.SameAs(m_colXStart, m_colXEnd, m_colLeft, m_colWidth) &&
        begin == m_colBegin && end == m_colEnd && validMin == m_colValidMin &&
        validMax == m_colValidMax)
        return m_columns;
    std::vector<GraphColumn>& columns = m_columns.columns;
    columns.clear();
    const Blocks& blocks = BlocksFor(validMin, validMax);
    // Each column is found on its own rather than from where the one before it ended:
    // after a scroll nothing of the long arrays is in the cache, and independent
    // lookups let those reads overlap instead of waiting for each other.
    const double* d = distances.values.data();
    const int n = static_cast<int>(distances.values.size());
    const std::vector<double>& coarse = distances.coarse;
    const int coarseCount = static_cast<int>(coarse.size());
    constexpr int kStride = GraphDistances::kStride;
    const int boundCount = grid.Width() + 2;
    m_bounds.resize(static_cast<std::size_t>(boundCount));
    // Column j holds the samples from Threshold(j) up to Threshold(j + 1); its first
    // sample lies within kStride samples before the first coarse distance that reaches
    // Threshold(j). Thresholds rise with j, so the coarse index only moves forward.
    int k = 0;
    for (int j = 0; j < boundCount; ++j) {
        const double t = grid.Threshold(j);
        while (k < coarseCount && coarse[static_cast<std::size_t>(k)] < t)
            ++k;
        m_bounds[static_cast<std::size_t>(j)] = k;
    }
    constexpr int kAhead = 8;  // columns fetched ahead of the one worked on
    auto blockOf = [&](int j) { return m_bounds[static_cast<std::size_t>(j)]; };
    for (int j = 0; j < boundCount; ++j) {
        if (j + kAhead < boundCount) {
            const int ahead = std::max(blockOf(j + kAhead) - 1, 0) * kStride;
            Prefetch(d + std::min(ahead, std::max(n - 1, 0)));
            Prefetch(d + std::min(ahead + kStride - 1, std::max(n - 1, 0)));
        }
        const double t = grid.Threshold(j);
        const int block = blockOf(j);
        // d[(block - 1) * kStride] < t <= d[block * kStride]: the first sample at or
        // past t is one of the kStride samples that end with block * kStride.
        int i = block > 0 ? (block - 1) * kStride + 1 : 0;
        const int last = std::min(block * kStride, n);
        while (i < last && d[i] < t)
            ++i;
        m_bounds[static_cast<std::size_t>(j)] = std::clamp(i, begin, end);
    }
    const double* v = values.data();
    const GraphExtremes* blockExtremes = blocks.levels.front().extremes.data();
    for (int j = 0; j + 1 < boundCount; ++j) {
        const int first = m_bounds[static_cast<std::size_t>(j)];
        const int stop = m_bounds[static_cast<std::size_t>(j + 1)];
        if (j + kAhead < boundCount) {
            // The partial block at a column's edge is read sample by sample.
            const int ahead = m_bounds[static_cast<std::size_t>(j + kAhead)];
            if (ahead < n) {
                const int blockStart = ahead / kBlockSize * kBlockSize;
                Prefetch(v + blockStart);
                Prefetch(v + std::min(blockStart + kBlockSize - 1, n - 1));
                Prefetch(reinterpret_cast<const double*>(blockExtremes + ahead / kBlockSize));
            }
        }
        if (first >= stop) continue;
        GraphColumn column;
        column.column = grid.Left() + j;
        column.begin = first;
        column.end = stop;
        GraphExtremes& e = column.extremes;
        bool gap = false;
        auto samples = [&](int from, int to) {
            for (int i = from; i < to; ++i) {
                if (IsDrawable(v[i], validMin, validMax))
                    e.AppendSample(i, v[i]);
                else
                    gap = true;
            }
        };
        const int firstBlock = (first + kBlockSize - 1) / kBlockSize;
        const int endBlock = stop / kBlockSize;
        if (firstBlock >= endBlock) {
            samples(first, stop);
        } else {
            samples(first, firstBlock * kBlockSize);
            e.Append(Query(blocks, firstBlock, endBlock, gap));
            samples(endBlock * kBlockSize, stop);
        }
        column.gap = gap;
        if (e.Any()) {
            int a = first;
            int z = stop - 1;
            if (gap) {
                while (!IsDrawable(v[a], validMin, validMax))
                    ++a;
                while (!IsDrawable(v[z], validMin, validMax))
                    --z;
            }
            column.first = a;
            column.last = z;
            column.firstValue = v[a];
            column.lastValue = v[z];
        }
        columns.push_back(column);
    }
    m_columns.sum = 0.0;
    m_columns.count = 0;
    Sum(blocks, begin, end, m_columns.sum, m_columns.count);
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

GraphDistances::GraphDistances(std::vector<double> distances) : values(std::move(distances)) {
    const std::size_t n = values.size();
    // Readers deliver distances in lap order, but nothing forces a file to; a NaN
    // also breaks the order (every comparison with it fails).
    for (std::size_t i = 1; i < n && ordered; ++i)
        ordered = values[i] >= values[i - 1];
    if (n > 0 && std::isnan(values[0])) ordered = false;
    if (!ordered) return;
    coarse.reserve(n / kStride + 1);
    for (std::size_t i = 0; i < n; i += kStride)
        coarse.push_back(values[i]);
}

const GraphDistances& GraphSeriesCache::Distances(const morlund::PerfCore& buffer) {
    std::unique_ptr<GraphDistances>& slot = m_distances[&buffer];
    const int n = std::max(buffer.GetSampleCount(), 0);
    if (slot && static_cast<int>(slot->values.size()) == n) return *slot;
    std::vector<double> distances(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        distances[static_cast<std::size_t>(i)] = buffer.GetDistance(i);
    slot = std::make_unique<GraphDistances>(std::move(distances));
    return *slot;
}

GraphSeries& GraphSeriesCache::Series(const morlund::PerfCore& buffer,
                                      const morlund::DataItem& item, const morlund::Wheel* wheel) {
    std::unique_ptr<GraphSeries>& slot = m_series[Key{&buffer, &item, wheel}];
    const int n = std::max(buffer.GetSampleCount(), 0);
    if (slot && static_cast<int>(slot->values.size()) == n) return *slot;
    slot = std::make_unique<GraphSeries>();
    // An array of a dropped series of this length saves fresh pages.
    const auto spare = std::find_if(m_spare.begin(), m_spare.end(), [n](const auto& values) {
        return values.capacity() >= static_cast<std::size_t>(n);
    });
    if (spare != m_spare.end()) {
        slot->values = std::move(*spare);
        m_spare.erase(spare);
    }
    slot->values.resize(static_cast<std::size_t>(n));
    item.GetConvertedValues(&buffer, 0, n, wheel, slot->values.data());
    return *slot;
}

void GraphSeriesCache::Drop(const morlund::PerfCore* buffer) {
    m_spare.clear();
    for (auto it = m_series.begin(); it != m_series.end();) {
        const auto& [owner, item, wheel] = it->first;
        if (owner == buffer && item->GetLevel() != morlund::DataItem::LEVEL_MEASURED) {
            m_spare.push_back(std::move(it->second->values));
            m_spare.back().clear();
            it = m_series.erase(it);
        } else {
            ++it;
        }
    }
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
    m_spare.clear();
}

}  // namespace tarnwick
