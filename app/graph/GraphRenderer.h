#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRect>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "app/graph/GraphItem.h"
#include "app/graph/GraphModel.h"
#include "app/graph/GraphState.h"

namespace morlund {
class BufManager;
class PerfCore;
}  // namespace morlund

namespace pellith {
struct Corner;
}

namespace tarnwick {

// Everything one picture of a graph is drawn from.
struct GraphScene {
    const morlund::BufManager* manager = nullptr;  // null: nothing but the background
    const GraphItemList* items = nullptr;
    const GraphState* state = nullptr;
    bool printing = false;   // white background, black text, no value boxes
    bool lowColour = false;  // a screen of 8 bits or fewer: black background
    int referenceLap = -1;   // the buffer the delta to the reference is taken against
    // Corners of the reference lap, numbered along a distance axis; null: none.
    const std::vector<pellith::Corner>* corners = nullptr;
};

// Draws graph views: background, labels and grid, the wheel legend, every lap's
// curves with overlays, value boxes, the time difference, and the selection or cursor.
//
// Converted channel values are cached per (buffer, data item, wheel) until
// Invalidate(); when more samples than pixel columns are visible, each column is drawn
// from its first, lowest, highest and last point (the same picture for a 1-pixel line).
class GraphRenderer {
public:
    GraphRenderer();
    ~GraphRenderer();
    GraphRenderer(const GraphRenderer&) = delete;
    GraphRenderer& operator=(const GraphRenderer&) = delete;

    // Drops every cached value: after setup changes, formula edits, unit switches, buffers
    // added or removed.
    void Invalidate();
    // Drops the cached values of one buffer (its setup changed).
    void Invalidate(const morlund::PerfCore* buffer);
    // Drops the cached values of buffers that are no longer loaded.
    void KeepOnly(const std::vector<const morlund::PerfCore*>& buffers);
    // Draws the whole picture into the scene's plot rectangle.
    void Paint(QPainter& painter, const GraphScene& scene);
    // Draws the selection band or the cursor column alone, by inversion (used to move
    // them over a cached picture).
    void PaintSelection(QPainter& painter, const GraphScene& scene);
    // How the scene's Y item maps values to rows, without its offset; none when the
    // scene draws no curves.
    std::optional<YAxisMap> YAxis(const GraphScene& scene);
    // The left margin: the width of "-0.000000" in the graph font.
    int LeftMargin(bool printing) const;
    // Turns the reduction off (every sample drawn): for comparisons only.
    void SetReduce(bool reduce) { m_reduce = reduce; }

    static QColor ToQColor(std::uint32_t bgr);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
    bool m_reduce = true;
};

}  // namespace tarnwick
