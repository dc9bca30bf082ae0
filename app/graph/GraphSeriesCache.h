#pragma once

#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include "app/graph/GraphState.h"

namespace morlund {
class DataItem;
class PerfCore;
class Wheel;
}  // namespace morlund

namespace tarnwick {

// A value the graph may draw: finite and strictly inside the item's valid range.
inline bool IsDrawable(double value, double validMin, double validMax) {
    return std::isfinite(value) && value > validMin && value < validMax;
}

// The pixel columns of a distance range: column(d) = left + trunc(width * (d - xStart) /
// (xEnd - xStart)), and for every column the smallest distance that reaches it, so that
// samples are sorted into columns by comparisons alone.
class GraphColumnGrid {
public:
    GraphColumnGrid(double xStart, double xEnd, int left, int width);
    int Column(double d) const { return DistanceColumn(d, m_xStart, m_xEnd, m_left, m_width); }
    // Smallest distance whose column is left + j or more; j in 0..width+1 (-inf, +inf at
    // the ends).
    double Threshold(int j) const { return m_thresholds[static_cast<std::size_t>(j)]; }
    int Width() const { return m_width; }
    int Left() const { return m_left; }
    double XStart() const { return m_xStart; }
    double XEnd() const { return m_xEnd; }
    bool SameAs(double xStart, double xEnd, int left, int width) const {
        return xStart == m_xStart && xEnd == m_xEnd && left == m_left && width == m_width;
    }

private:
    double m_xStart, m_xEnd;
    int m_left, m_width;
    std::vector<double> m_thresholds;
};

// The extremes of the drawable values of a run of samples: what a pixel column shows
// of it. Kept small (no sum, no count): a scroll reads many of these.
struct GraphExtremes {
    double min = HUGE_VAL;
    double max = -HUGE_VAL;
    int argMin = -1;  // first sample with the lowest value; -1 when none is drawable
    int argMax = -1;  // first sample with the highest value

    bool Any() const { return argMin >= 0; }
    // Adds what follows this run (later samples): ties keep the earlier sample.
    void Append(const GraphExtremes& later) {
        if (later.max > max) {
            max = later.max;
            argMax = later.argMax;
        }
        if (later.min < min) {
            min = later.min;
            argMin = later.argMin;
        }
    }
    // A drawable sample after the run.
    void AppendSample(int sample, double value) {
        if (value > max) {
            max = value;
            argMax = sample;
        }
        if (value < min) {
            min = value;
            argMin = sample;
        }
    }
};

// The samples of one column with what they hold; first and last are drawable samples
// (when extremes.Any()).
struct GraphColumn {
    int column = 0;
    int begin = 0;
    int end = 0;
    int first = -1;
    int last = -1;
    double firstValue = 0.0;  // kept here: repaints read no sample values
    double lastValue = 0.0;
    GraphExtremes extremes;
    bool gap = false;  // at least one sample is not drawable
};

// The columns of a curve and the sum and count of their drawable values (the average
// box).
struct GraphColumns {
    std::vector<GraphColumn> columns;
    double sum = 0.0;
    int count = 0;
};

// Sample distances of one buffer, and whether they never decrease (then the visible
// samples are found by bisection).
struct GraphDistances {
    static constexpr int kStride = 16;

    explicit GraphDistances(std::vector<double> distances);

    std::vector<double> values;
    bool ordered = true;
    // Every kStride-th distance (ordered distances only): the column boundaries are
    // looked up here, so that the long array above is read only around each boundary.
    std::vector<double> coarse;
};

// The converted values of one curve: one data item of one buffer for one wheel.
class GraphSeries {
public:
    static constexpr int kBlockSize = 16;

    std::vector<double> values;

    // The columns of samples [begin, end) (ordered distances) on a grid, kept for the
    // last grid and valid range asked for: repaints of an unchanged distance range
    // only map the columns' points. Block summaries for the valid range are built on
    // first use and kept with the values.
    const GraphColumns& Columns(const GraphDistances& distances, const GraphColumnGrid& grid,
                                int begin, int end, double validMin, double validMax);

private:
    // Extremes of every kBlockSize samples, then of every kFanOut records of the level
    // below, up to a level of a few records; beside them whether the records' samples
    // include one that is not drawable, and the sums and counts of the blocks.
    static constexpr int kFanOut = 4;
    struct Level {
        std::vector<GraphExtremes> extremes;
        std::vector<std::uint8_t> gaps;
    };
    struct Blocks {
        double validMin;
        double validMax;
        std::vector<Level> levels;
        std::vector<double> sums;  // of every block, and of every kSumGroup blocks
        std::vector<int> counts;
        std::vector<double> groupSums;
        std::vector<int> groupCounts;
    };
    static constexpr int kSumGroup = 64;
    const Blocks& BlocksFor(double validMin, double validMax);
    // Extremes of the whole blocks [first, end); gap is set when one of their samples
    // is not drawable.
    static GraphExtremes Query(const Blocks& blocks, int first, int end, bool& gap);
    // Sum and count of the drawable samples [begin, end).
    void Sum(const Blocks& blocks, int begin, int end, double& sum, int& count) const;

    std::vector<Blocks> m_blocks;
    GraphColumns m_columns;
    std::vector<int> m_bounds;  // first sample of every column of the grid
    bool m_hasColumns = false;
    double m_colXStart = 0, m_colXEnd = 0, m_colValidMin = 0, m_colValidMax = 0;
    int m_colLeft = 0, m_colWidth = 0, m_colBegin = 0, m_colEnd = 0;
};

// Converted values kept between paints; cleared whenever values may have changed.
class GraphSeriesCache {
public:
    const GraphDistances& Distances(const morlund::PerfCore& buffer);
    // wheel is null for car channels.
    GraphSeries& Series(const morlund::PerfCore& buffer, const morlund::DataItem& item,
                        const morlund::Wheel* wheel);
    void Clear();
    // Drops one buffer's values that its setup enters (its setup changed): derived and
    // formula channels. Recorded channels and distances stay; the memory of what went
    // is kept for the values computed next.
    void Drop(const morlund::PerfCore* buffer);
    // Drops the values of every buffer not in the list (buffers were removed; a new
    // buffer may reuse a removed one's address).
    void KeepOnly(const std::vector<const morlund::PerfCore*>& buffers);
    bool Empty() const { return m_series.empty() && m_distances.empty(); }

private:
    using Key =
        std::tuple<const morlund::PerfCore*, const morlund::DataItem*, const morlund::Wheel*>;
    std::map<Key, std::unique_ptr<GraphSeries>> m_series;
    std::map<const morlund::PerfCore*, std::unique_ptr<GraphDistances>> m_distances;
    std::vector<std::vector<double>> m_spare;  // value arrays of dropped series
};

}  // namespace tarnwick
