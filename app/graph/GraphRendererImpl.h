#pragma once

// The graph renderer's inside, shared by its source files: drawing constants, the
// layout of one picture, the line and column helpers, and the renderer's state.

#include <QFontMetrics>
#include <QHash>
#include <QPen>
#include <QStaticText>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "app/graph/GraphRenderer.h"
#include "app/graph/GraphSeriesCache.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Wheel.h"

namespace morlund {
class PerfCore;
}

namespace tarnwick {

namespace graph_detail {

using morlund::DataItem;
using morlund::PerfCore;
using morlund::Wheel;

const QColor kScreenBackground(0, 0, 48);
const QColor kScreenText(192, 220, 192);
const QColor kGridColour(128, 128, 128);
const QColor kMarkerColour(255, 255, 255);

// The graph font is specified as a Windows cell height and average character width.
// Arial's cell is 2288/2048 em high and its average character 904/2048 em wide;
// Liberation Sans shares Arial's metrics, so the same numbers hold here.
constexpr double kArialCellPerEm = 2288.0 / 2048.0;
constexpr double kArialAvgWidthPerEm = 904.0 / 2048.0;

inline QFont MakeGraphFont(int height, int width) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    const int pixelSize = std::max(1, static_cast<int>(std::lround(height / kArialCellPerEm)));
    font.setPixelSize(pixelSize);
    const double naturalWidth = kArialAvgWidthPerEm * pixelSize;
    font.setStretch(
        std::clamp(static_cast<int>(std::lround(100.0 * width / naturalWidth)), 50, 200));
    return font;
}

// Coordinates handed to the painter stay in the 16-bit range of the original device.
inline int ClampDevice(long long v) {
    return static_cast<int>(std::clamp<long long>(v, -32768, 32767));
}

// num / den rounded half away from zero, as a device mapping rounds; den > 0. Both are
// integers below 2^53, so the quotient in doubles is within half a unit in the last place
// and never lands on a half unless the exact quotient does: rounding it is exact.
inline long long RoundDiv(long long num, long long den) {
    return static_cast<long long>(std::round(static_cast<double>(num) / static_cast<double>(den)));
}

// A logical coordinate from a value: truncated, limited to the 16-bit range. The
// value is finite (callers check), so the conversion to an integer is defined.
inline long long Logical(double value, double scale) {
    const double l = std::trunc(value * scale);
    if (!(l >= -32768.0)) return -32768;
    if (!(l <= 32767.0)) return 32767;
    return static_cast<long long>(l);
}

inline QPen CosmeticPen(const QColor& colour, Qt::PenStyle style = Qt::SolidLine) {
    QPen pen(colour, 0, style);
    pen.setCosmetic(true);
    return pen;
}

// Overlays get darker with their position in the item's list.
inline QColor OverlayShade(const QColor& colour, int position) {
    if (position <= 0) return colour;
    const double f = std::max(0.3, 1.0 - 0.25 * position);
    return QColor(static_cast<int>(colour.red() * f), static_cast<int>(colour.green() * f),
                  static_cast<int>(colour.blue() * f));
}

enum class Placement { kBelow, kAbove, kLeft, kRight, kTop, kBottom };

struct ValueBox {
    Placement placement;
    QPoint anchor;
    int index;  // buffer or wheel
    QColor colour;
    QString text;
};

// Everything one picture needs to map values and distances to pixels.
struct Layout {
    const GraphScene* scene = nullptr;
    const GraphState* state = nullptr;
    QFont font;
    int lineHeight = 1;
    int left = 0;   // first plot column (right of the labels)
    int right = 0;  // one past the last column
    int top = 0;
    int bottom = 0;  // one past the last row
    int width = 0;   // right - left
    int height = 0;
    int bufferCount = 0;
    QColor text;
    QColor textBackground;

    // Y axis.
    const GraphItem* yItem = nullptr;
    int virtualHeight = 1;
    int zeroY = 0;
    double valueScale = 1.0;

    // X axis.
    const GraphItem* xItem = nullptr;
    bool xIsDistance = true;
    int virtualWidth = 1;
    int originX = 0;
    double xValueScale = 1.0;
    const GraphColumnGrid* grid = nullptr;

    int Y(double value) const {
        const long long l = Logical(value, valueScale);
        return ClampDevice(zeroY - RoundDiv(l * height, virtualHeight));
    }
    int X(double value) const {
        const long long l = Logical(value, xValueScale);
        return ClampDevice(originX + RoundDiv(l * width, virtualWidth));
    }
    // Column of a distance in [xStart, xEnd).
    int Column(double d) const { return grid->Column(d); }
    double DistanceAt(int column) const {
        if (width < 1) return 0.0;
        return state->xStart + (state->xEnd - state->xStart) * (column - left) / width;
    }
    int CursorColumn() const { return std::clamp(state->cursorX, left, std::max(left, right - 1)); }
};

inline int WheelFactor(const GraphItem& item, const Wheel* wheel) {
    if (item.IsCarChannel() || wheel == nullptr) return 1;
    return std::max(1, static_cast<int>(wheel->GetRangeFactor()));
}

inline int VirtualExtent(const GraphItem& item, const Wheel* wheel) {
    const long long level = std::max(item.zoomLevel, 1);
    const long long scaled = level * item.scale / 25 * WheelFactor(item, wheel);
    return static_cast<int>(std::clamp<long long>(scaled, 1, 32768));
}

// Draws polylines from points fed one by one: steps, breaks, and no repeated points.
class LineBuilder {
public:
    LineBuilder(QPainter& painter, std::vector<QPoint>& scratch, bool steps)
        : m_painter(painter), m_points(scratch), m_steps(steps) {
        m_points.clear();
    }
    ~LineBuilder() { Break(); }
    LineBuilder(const LineBuilder&) = delete;
    LineBuilder& operator=(const LineBuilder&) = delete;

    void Add(QPoint p) {
        if (!m_points.empty()) {
            const QPoint last = m_points.back();
            if (p == last) return;
            if (m_steps && last.x() != p.x() && last.y() != p.y())
                m_points.emplace_back(last.x(), p.y());
        }
        m_points.push_back(p);
    }
    // A lone point starts a line that never gets drawn, as a move without a line.
    void Break() {
        if (m_points.size() >= 2)
            m_painter.drawPolyline(m_points.data(), static_cast<int>(m_points.size()));
        m_points.clear();
    }

private:
    QPainter& m_painter;
    std::vector<QPoint>& m_points;
    bool m_steps;
};

// Collapses consecutive points of one column into its first, lowest, highest and
// last point, in their order: a 1-pixel line through them covers the same pixels.
class ColumnReducer {
public:
    explicit ColumnReducer(LineBuilder& line) : m_line(line) {}
    ~ColumnReducer() { Flush(); }
    ColumnReducer(const ColumnReducer&) = delete;
    ColumnReducer& operator=(const ColumnReducer&) = delete;

    void Add(QPoint p) {
        if (m_count > 0 && p.x() != m_x) Flush();
        if (m_count == 0) {
            m_x = p.x();
            m_first = m_min = m_max = p.y();
            m_minSeq = m_maxSeq = 0;
        } else {
            if (p.y() < m_min) {
                m_min = p.y();
                m_minSeq = m_count;
            }
            if (p.y() > m_max) {
                m_max = p.y();
                m_maxSeq = m_count;
            }
        }
        m_last = p.y();
        ++m_count;
    }
    void Flush() {
        if (m_count == 0) return;
        std::array<std::pair<int, int>, 4> pts = {
            {{0, m_first}, {m_minSeq, m_min}, {m_maxSeq, m_max}, {m_count - 1, m_last}}};
        std::sort(pts.begin(), pts.end());
        for (const auto& [seq, y] : pts)
            m_line.Add(QPoint(m_x, y));
        m_count = 0;
    }
    void Break() {
        Flush();
        m_line.Break();
    }

private:
    LineBuilder& m_line;
    int m_count = 0;
    int m_x = 0;
    int m_first = 0, m_last = 0, m_min = 0, m_max = 0;
    int m_minSeq = 0, m_maxSeq = 0;
};

// The extremes and the mean of what a curve drew.
struct CurveStats {
    GraphExtremes y;
    double sum = 0.0;  // of the drawable values
    int count = 0;
    double xMax = -HUGE_VAL, xMin = HUGE_VAL;
    int xArgMax = -1, xArgMin = -1;
};

}  // namespace graph_detail

struct GraphRenderer::Impl {
    using Layout = graph_detail::Layout;
    using ValueBox = graph_detail::ValueBox;
    using CurveStats = graph_detail::CurveStats;
    using PerfCore = morlund::PerfCore;
    using DataItem = morlund::DataItem;
    using Wheel = morlund::Wheel;

    QFont screenFont = graph_detail::MakeGraphFont(10, 5);
    QFont printFont = graph_detail::MakeGraphFont(12, 7);
    GraphSeriesCache cache;
    std::vector<QPoint> scratch;
    std::vector<QPoint> pixelScratch;
    std::vector<ValueBox> boxes;
    // Time difference: per buffer, the highest point drawn and the time at the column.
    static constexpr int kMaxTimeBuffers = 256;
    std::array<QPoint, kMaxTimeBuffers> highPoint{};
    std::array<int, kMaxTimeBuffers> highValue{};
    std::array<bool, kMaxTimeBuffers> highFound{};
    std::array<double, kMaxTimeBuffers> times{};
    std::vector<std::vector<QPoint>> timeLines;
    std::unique_ptr<GraphColumnGrid> grid;
    // Laid-out texts: labels and value texts repeat from paint to paint, and shaping
    // them anew costs more than drawing a lap.
    struct PreparedText {
        QStaticText text;
        int width = 0;
    };
    mutable QHash<QString, PreparedText> texts[2];  // screen, printing
    const PreparedText& Prepared(const Layout& L, const QString& text) const;

    bool reduce = true;

    bool MakeLayout(const GraphScene& scene, Layout& L);
    void DrawBackground(QPainter& p, const GraphScene& scene) const;
    void DrawGrid(QPainter& p, const Layout& L) const;
    void DrawWheelLegend(QPainter& p, const Layout& L) const;
    void DrawXAxis(QPainter& p, const Layout& L) const;
    void DrawItem(QPainter& p, const Layout& L);
    void DrawCurve(QPainter& p, const Layout& L, const PerfCore& buffer, const DataItem& item,
                   const Wheel* wheel, int position, int boxIndex, const QColor& colour,
                   bool fourWheels);
    void LinesByColumn(QPainter& p, const Layout& L, GraphSeries& ys, const GraphDistances& ds,
                       int begin, int end, CurveStats& stats);
    void SampleBySample(QPainter& p, const Layout& L, GraphSeries& ys, GraphSeries* xs,
                        const GraphDistances& ds, int begin, int end, CurveStats& stats);
    void CursorBox(QPainter& p, const Layout& L, const PerfCore& buffer, GraphSeries& ys,
                   GraphSeries* xs, const GraphDistances& ds, int boxIndex, const QColor& colour);
    void DrawTimeDifference(QPainter& p, const Layout& L);
    void DrawTimeLines(QPainter& p, const GraphState& st) const;
    void DrawDeltaToReference(QPainter& p, const Layout& L);
    void DrawCornerMarks(QPainter& p, const Layout& L) const;
    void DrawBox(QPainter& p, const Layout& L, const ValueBox& box) const;
    void DrawSelection(QPainter& p, const Layout& L) const;
    void Text(QPainter& p, const Layout& L, int x, int top, const QString& text,
              const QColor& colour, const QColor& background) const;
};

}  // namespace tarnwick
