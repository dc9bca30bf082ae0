#pragma once

#include <cmath>
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

// The drawable values of a run of samples, in one pass over precomputed blocks.
struct GraphRangeSummary {
    double min = HUGE_VAL;
    double max = -HUGE_VAL;
    int argMin = -1;  // first sample with the lowest value
    int argMax = -1;  // first sample with the highest value
    int count = 0;    // drawable samples
    double sum = 0.0;
    bool gap = false;  // at least one sample is not drawable

    // Adds what follows this range (later samples): ties keep the earlier sample.
    void Append(const GraphRangeSummary& later) {
        if (later.count > 0) {
            if (later.max > max) {
                max = later.max;
                argMax = later.argMax;
            }
            if (later.min < min) {
                min = later.min;
                argMin = later.argMin;
            }
            count += later.count;
            sum += later.sum;
        }
        gap = gap || later.gap;
    }
    void AppendSample(int sample, double value, double validMin, double validMax) {
        if (!IsDrawable(value, validMin, validMax)) {
            gap = true;
            return;
        }
        if (value > max) {
            max = value;
            argMax = sample;
        }
        if (value < min) {
            min = value;
            argMin = sample;
        }
        ++count;
        sum += value;
    }
};

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

// The samples of one column with what they hold; first and last are drawable samples
// (when count > 0).
struct GraphColumn {
    int column = 0;
    int begin = 0;
    int end = 0;
    int first = -1;
    int last = -1;
    double firstValue = 0.0;  // kept here: repaints read no sample values
    double lastValue = 0.0;
    GraphRangeSummary summary;
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

    // Summary of samples [begin, end) for a valid range; block summaries for the
    // range are built on first use and kept with the values.
    GraphRangeSummary Summarize(int begin, int end, double validMin, double validMax);

    // The columns of samples [begin, end) (ordered distances) on a grid, kept for the
    // last grid and valid range asked for: repaints of an unchanged distance range
    // only map the columns' points.
    const std::vector<GraphColumn>& Columns(const GraphDistances& distances,
                                            const GraphColumnGrid& grid, int begin, int end,
                                            double validMin, double validMax);

private:
    // Summaries of every kBlockSize samples, and of every kGroupSize of those.
    static constexpr int kGroupSize = 4;
    struct Blocks {
        double validMin;
        double validMax;
        std::vector<GraphRangeSummary> blocks;
        std::vector<GraphRangeSummary> groups;
    };
    const Blocks& BlocksFor(double validMin, double validMax);

    std::vector<Blocks> m_blocks;
    std::vector<GraphColumn> m_columns;
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
    // Drops one buffer's values (its setup changed).
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
};

}  // namespace tarnwick
