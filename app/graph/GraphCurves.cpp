// The curves of a graph: every buffer's data items over distance or another item,
// reduced to what each pixel column shows, their value boxes and the time difference.

#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "app/graph/GraphFormat.h"
#include "app/graph/GraphRendererImpl.h"
#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "morlund/formats/GameStrings.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Wheel.h"
#include "pellith/analysis/AnalysisText.h"
#include "pellith/analysis/LapDelta.h"

namespace tarnwick {

using morlund::BufManager;
using namespace graph_detail;

void GraphRenderer::Impl::DrawItem(QPainter& p, const Layout& L) {
    const GraphState& st = *L.state;
    const BufManager& manager = *L.scene->manager;
    const GraphItem& item = *L.yItem;
    const Wheel* wheel = st.wheel != nullptr ? st.wheel : Wheel::ALL;
    // From the last overlay to the main item, so that the main item lies on top.
    for (int k = static_cast<int>(item.dataItems.size()) - 1; k >= 0; --k) {
        const DataItem* di = item.dataItems[static_cast<std::size_t>(k)];
        if (di == nullptr) continue;
        const bool car = di->GetDataType() == DataItem::DT_CAR;
        if (car || wheel != Wheel::ALL) {
            for (int b = 0; b < manager.GetBufCount(); ++b) {
                const PerfCore* buffer = manager.GetBuffer(b);
                if (buffer == nullptr || !buffer->IsEnabled()) continue;
                DrawCurve(p, L, *buffer, *di, car ? nullptr : wheel, k, b,
                          GraphRenderer::ToQColor(BufManager::GetBufColor(b)), false);
            }
        } else if (manager.HasBuffer(st.buffer)) {
            const PerfCore* buffer = manager.GetBuffer(st.buffer);
            for (int w = 0; w < 4; ++w)
                DrawCurve(p, L, *buffer, *di, Wheel::FromIndex(w), k, w,
                          GraphRenderer::ToQColor(BufManager::GetWheelColor(w)), true);
        }
    }
}

void GraphRenderer::Impl::DrawCurve(QPainter& p, const Layout& L, const PerfCore& buffer,
                                    const DataItem& item, const Wheel* wheel, int position,
                                    int boxIndex, const QColor& colour, bool fourWheels) {
    const GraphState& st = *L.state;
    GraphSeries& ys = cache.Series(buffer, item, wheel);
    const GraphDistances& ds = cache.Distances(buffer);
    GraphSeries* xs = nullptr;
    const DataItem* xData = L.xIsDistance ? nullptr : L.xItem->dataItems.front();
    if (xData != nullptr)
        xs = &cache.Series(buffer, *xData,
                           xData->GetDataType() == DataItem::DT_CAR ? nullptr
                           : wheel != nullptr                       ? wheel
                                                                    : st.wheel);
    const int n = static_cast<int>(std::min(ys.values.size(), ds.values.size()));

    int begin = 0;
    int end = n;
    if (L.xIsDistance && ds.ordered) {
        const auto first = ds.values.begin();
        begin = static_cast<int>(std::lower_bound(first, first + n, st.xStart) - first);
        end = static_cast<int>(std::lower_bound(first, first + n, st.xEnd) - first);
        end = std::max(begin, end);
    }

    p.setPen(
        CosmeticPen(OverlayShade(colour, position), position > 0 ? Qt::DashLine : Qt::SolidLine));
    CurveStats stats;
    if (reduce && st.drawLines && L.xIsDistance && ds.ordered)
        LinesByColumn(p, L, ys, ds, begin, end, stats);
    else
        SampleBySample(p, L, ys, xs, ds, begin, end, stats);

    // Value boxes are for the screen only, and setup values (constant lines) get none.
    if (L.scene->printing) return;
    if (position == 0 && st.cursorMode) CursorBox(p, L, buffer, ys, xs, ds, boxIndex, colour);
    if (!st.showValues || item.GetLevel() == DataItem::LEVEL_SETUP) return;
    const int bufferCount = L.bufferCount;
    auto xText = [&](int sample) {
        const double x = xs != nullptr
                             ? xs->values[static_cast<std::size_t>(sample)]
                             : DataItem::DISTANCE->GetConvertedValue(&buffer, sample, nullptr);
        return GraphValueText(x, bufferCount);
    };
    auto pointOf = [&](int sample) {
        const double v = ys.values[static_cast<std::size_t>(sample)];
        const int px = xs != nullptr ? L.X(xs->values[static_cast<std::size_t>(sample)])
                                     : L.Column(ds.values[static_cast<std::size_t>(sample)]);
        return QPoint(px, L.Y(v));
    };
    auto pairText = [&](int sample) {
        const QString yText =
            GraphValueText(ys.values[static_cast<std::size_t>(sample)], bufferCount);
        return fourWheels ? yText : GraphPairText(xText(sample), yText);
    };
    if (!fourWheels && stats.count > 0) {
        const QString avg = GraphValueText(stats.sum / stats.count, bufferCount);
        boxes.push_back({Placement::kBottom, QPoint(L.left, 0), boxIndex, colour,
                         QStringLiteral("%1 %2").arg(
                             avg, QString::fromStdString(item.GetShortConvertedQuantityName()))});
    }
    if (stats.y.argMax >= 0)
        boxes.push_back({Placement::kAbove, pointOf(stats.y.argMax), boxIndex, colour,
                         pairText(stats.y.argMax)});
    if (stats.y.argMin >= 0)
        boxes.push_back({Placement::kBelow, pointOf(stats.y.argMin), boxIndex, colour,
                         pairText(stats.y.argMin)});
    if (xs != nullptr && L.xItem->Level() != DataItem::LEVEL_SETUP) {
        if (stats.xArgMax >= 0)
            boxes.push_back({Placement::kRight, pointOf(stats.xArgMax), boxIndex, colour,
                             pairText(stats.xArgMax)});
        if (stats.xArgMin >= 0)
            boxes.push_back({Placement::kLeft, pointOf(stats.xArgMin), boxIndex, colour,
                             pairText(stats.xArgMin)});
    }
}

// Lines over distance with ordered distances: each column's samples (found by bisection,
// summarised from blocks, and kept until the distance range changes) are drawn as their
// first, lowest, highest and last point.
void GraphRenderer::Impl::LinesByColumn(QPainter& p, const Layout& L, GraphSeries& ys,
                                        const GraphDistances& ds, int begin, int end,
                                        CurveStats& stats) {
    const GraphItem& item = *L.yItem;
    const double lo = item.validMin;
    const double hi = item.validMax;
    const bool breaks = item.gapMode == GraphItem::kGapBreak;
    const double* v = ys.values.data();
    const GraphColumns& columns = ys.Columns(ds, *L.grid, begin, end, lo, hi);
    stats.sum = columns.sum;
    stats.count = columns.count;
    LineBuilder line(p, scratch, item.gapMode == GraphItem::kGapSteps);
    for (const GraphColumn& c : columns.columns) {
        const GraphExtremes& e = c.extremes;
        stats.y.Append(e);
        if (breaks && c.gap) {
            for (int k = c.begin; k < c.end; ++k) {
                if (IsDrawable(v[k], lo, hi))
                    line.Add(QPoint(c.column, L.Y(v[k])));
                else
                    line.Break();
            }
        } else if (e.Any()) {
            std::array<std::pair<int, double>, 4> picks = {{{c.first, c.firstValue},
                                                            {e.argMin, e.min},
                                                            {e.argMax, e.max},
                                                            {c.last, c.lastValue}}};
            std::sort(picks.begin(), picks.end(),
                      [](const auto& a, const auto& b) { return a.first < b.first; });
            for (const auto& pick : picks)
                line.Add(QPoint(c.column, L.Y(pick.second)));
        }
    }
}

// Every sample in order: X-Y plots, isolated pixels, distances out of order, and the
// unreduced drawing.
void GraphRenderer::Impl::SampleBySample(QPainter& p, const Layout& L, GraphSeries& ys,
                                         GraphSeries* xs, const GraphDistances& ds, int begin,
                                         int end, CurveStats& stats) {
    const GraphState& st = *L.state;
    const GraphItem& item = *L.yItem;
    const double lo = item.validMin;
    const double hi = item.validMax;
    const bool breaks = item.gapMode == GraphItem::kGapBreak;
    const double xLo = xs != nullptr ? L.xItem->validMin : 0.0;
    const double xHi = xs != nullptr ? L.xItem->validMax : 0.0;
    const bool lines = st.drawLines;
    const bool columnsReduce = reduce && lines;
    LineBuilder line(p, scratch, item.gapMode == GraphItem::kGapSteps);
    ColumnReducer reducer(line);
    std::vector<QPoint>& pixels = pixelScratch;
    pixels.clear();
    for (int i = begin; i < end; ++i) {
        const double d = ds.values[static_cast<std::size_t>(i)];
        if (xs == nullptr && !(d >= st.xStart && d < st.xEnd)) continue;
        const double v = ys.values[static_cast<std::size_t>(i)];
        const double xv = xs != nullptr ? xs->values[static_cast<std::size_t>(i)] : 0.0;
        if (!IsDrawable(v, lo, hi) || (xs != nullptr && !IsDrawable(xv, xLo, xHi))) {
            if (breaks) {
                if (columnsReduce)
                    reducer.Break();
                else
                    line.Break();
            }
            continue;
        }
        stats.y.AppendSample(i, v);
        stats.sum += v;
        ++stats.count;
        if (xs != nullptr) {
            if (xv > stats.xMax) {
                stats.xMax = xv;
                stats.xArgMax = i;
            }
            if (xv < stats.xMin) {
                stats.xMin = xv;
                stats.xArgMin = i;
            }
        }
        const QPoint pt(xs != nullptr ? L.X(xv) : L.Column(d), L.Y(v));
        if (!lines) {
            if (pixels.empty() || pixels.back() != pt) pixels.push_back(pt);
        } else if (columnsReduce) {
            reducer.Add(pt);
        } else {
            line.Add(pt);
        }
    }
    reducer.Flush();
    line.Break();
    if (!pixels.empty()) p.drawPoints(pixels.data(), static_cast<int>(pixels.size()));
}

void GraphRenderer::Impl::CursorBox(QPainter& p, const Layout& L, const PerfCore& buffer,
                                    GraphSeries& ys, GraphSeries* xs, const GraphDistances& ds,
                                    int boxIndex, const QColor& colour) {
    const GraphState& st = *L.state;
    const GraphItem& item = *L.yItem;
    const int column = L.CursorColumn();
    const double cursor = L.DistanceAt(column);
    const int n = static_cast<int>(std::min(ys.values.size(), ds.values.size()));
    const double* d = ds.values.data();
    // The sample whose distance step from the previous sample holds the cursor.
    auto holds = [&](int i) { return d[i - 1] < cursor && cursor <= d[i]; };
    int hit = -1;
    if (ds.ordered) {
        const int i = static_cast<int>(std::lower_bound(d, d + n, cursor) - d);
        if (i > 0 && i < n && holds(i)) hit = i;
    } else {
        for (int i = 1; i < n && hit < 0; ++i)
            if (holds(i)) hit = i;
    }
    if (hit < 0) return;
    if (xs == nullptr && !(d[hit] >= st.xStart && d[hit] < st.xEnd)) return;
    const double v = ys.values[static_cast<std::size_t>(hit)];
    if (!IsDrawable(v, item.validMin, item.validMax)) return;
    if (xs == nullptr) {
        boxes.push_back({Placement::kTop, QPoint(column, 0), boxIndex, colour,
                         GraphValueText(v, L.bufferCount)});
        return;
    }
    const double xv = xs->values[static_cast<std::size_t>(hit)];
    if (!IsDrawable(xv, L.xItem->validMin, L.xItem->validMax)) return;
    const QString text = GraphCursorText(
        GraphValueText(DataItem::DISTANCE->GetConvertedValue(&buffer, hit, nullptr), L.bufferCount),
        GraphValueText(xv, L.bufferCount), GraphValueText(v, L.bufferCount));
    boxes.push_back({Placement::kTop, QPoint(column, 0), boxIndex, colour, text});
    const QPoint pt(L.X(xv), L.Y(v));
    p.save();
    p.setPen(CosmeticPen(kMarkerColour));
    for (int sx : {-1, 1})
        for (int sy : {-1, 1})
            p.drawLine(pt.x() + 10 * sx, pt.y() + 10 * sy, pt.x() + 4 * sx, pt.y() + 4 * sy);
    p.restore();
}

// The points gathered in timeLines, each lap in its colour.
void GraphRenderer::Impl::DrawTimeLines(QPainter& p, const GraphState& st) const {
    for (std::size_t b = 0; b < timeLines.size(); ++b) {
        const std::vector<QPoint>& pts = timeLines[b];
        if (pts.empty()) continue;
        p.setPen(
            CosmeticPen(GraphRenderer::ToQColor(BufManager::GetBufColor(static_cast<int>(b)))));
        if (st.drawLines)
            p.drawPolyline(pts.data(), static_cast<int>(pts.size()));
        else
            p.drawPoints(pts.data(), static_cast<int>(pts.size()));
    }
}

void GraphRenderer::Impl::DrawTimeDifference(QPainter& p, const Layout& L) {
    const GraphState& st = *L.state;
    const BufManager& manager = *L.scene->manager;
    if (L.width < 1) return;
    const int count = std::min(manager.GetBufCount(), kMaxTimeBuffers);
    timeLines.resize(static_cast<std::size_t>(count));
    for (auto& pts : timeLines)
        pts.clear();
    highFound.fill(false);
    const double span = std::max(st.xEnd - st.xStart, 1.0);
    const int cursorColumn = L.CursorColumn();
    const bool boxesShown = !L.scene->printing;
    for (int x = L.left; x < L.right; ++x) {
        const double d = st.xStart + (x - L.left) * span / L.width;
        double reference = HUGE_VAL;
        for (int b = 0; b < count; ++b) {
            const PerfCore* buffer = manager.GetBuffer(b);
            times[static_cast<std::size_t>(b)] = HUGE_VAL;
            if (buffer == nullptr || !buffer->IsEnabled()) continue;
            const double t = buffer->GetTime(d);
            times[static_cast<std::size_t>(b)] = t;
            if (t < reference) reference = t;
        }
        if (!std::isfinite(reference)) continue;
        for (int b = 0; b < count; ++b) {
            const double t = times[static_cast<std::size_t>(b)];
            if (!std::isfinite(t) || !(d < st.trackLength)) continue;
            const double ms = std::trunc((t - reference) * 1000.0 + 0.5);
            if (!std::isfinite(ms)) continue;
            const int diff = static_cast<int>(std::clamp(ms, -2147483648.0, 2147483647.0));
            const QPoint pt(x, L.Y(diff));
            timeLines[static_cast<std::size_t>(b)].push_back(pt);
            if (!highFound[static_cast<std::size_t>(b)] ||
                diff > highValue[static_cast<std::size_t>(b)]) {
                highFound[static_cast<std::size_t>(b)] = true;
                highValue[static_cast<std::size_t>(b)] = diff;
                highPoint[static_cast<std::size_t>(b)] = pt;
            }
            if (boxesShown && st.cursorMode && x == cursorColumn)
                boxes.push_back(
                    {Placement::kTop, pt, b, GraphRenderer::ToQColor(BufManager::GetBufColor(b)),
                     QString::fromStdString(
                         morlund::FormatLapTime(static_cast<std::uint32_t>(std::max(diff, 0))))});
        }
    }
    DrawTimeLines(p, st);
    if (!boxesShown || !st.showValues) return;
    for (int b = 0; b < count; ++b)
        if (highFound[static_cast<std::size_t>(b)])
            boxes.push_back({Placement::kAbove, highPoint[static_cast<std::size_t>(b)], b,
                             GraphRenderer::ToQColor(BufManager::GetBufColor(b)),
                             GraphIntText(highValue[static_cast<std::size_t>(b)])});
}

// One point per pixel column, as the time difference: the delta is a difference of two
// lookups and needs no per-sample cache.
void GraphRenderer::Impl::DrawDeltaToReference(QPainter& p, const Layout& L) {
    const GraphState& st = *L.state;
    const BufManager& manager = *L.scene->manager;
    const PerfCore* reference = manager.HasBuffer(L.scene->referenceLap)
                                    ? manager.GetBuffer(L.scene->referenceLap)
                                    : nullptr;
    if (L.width < 1 || reference == nullptr) return;
    const int count = std::min(manager.GetBufCount(), kMaxTimeBuffers);
    timeLines.resize(static_cast<std::size_t>(count));
    for (auto& pts : timeLines)
        pts.clear();
    const double span = std::max(st.xEnd - st.xStart, 1.0);
    const int cursorColumn = L.CursorColumn();
    const bool cursorBoxes = !L.scene->printing && st.cursorMode;
    for (int x = L.left; x < L.right; ++x) {
        const double d = st.xStart + (x - L.left) * span / L.width;
        for (int b = 0; b < count; ++b) {
            const PerfCore* buffer = manager.GetBuffer(b);
            if (buffer == nullptr || !buffer->IsEnabled()) continue;
            const std::optional<double> delta =
                pellith::GetDeltaToReference(*buffer, *reference, d);
            if (!delta || !std::isfinite(*delta)) continue;
            const QPoint pt(x, L.Y(*delta));
            timeLines[static_cast<std::size_t>(b)].push_back(pt);
            if (cursorBoxes && x == cursorColumn)
                boxes.push_back({Placement::kTop, pt, b,
                                 GraphRenderer::ToQColor(BufManager::GetBufColor(b)),
                                 QString::fromStdString(pellith::DeltaText(*delta))});
        }
    }
    DrawTimeLines(p, st);
}

}  // namespace tarnwick
