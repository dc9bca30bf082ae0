#include "app/graph/GraphRenderer.h"

#include <QFontMetrics>
#include <QHash>
#include <QPen>
#include <QStaticText>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "app/graph/GraphFormat.h"
#include "app/graph/GraphSeriesCache.h"
#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "morlund/formats/GameStrings.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Wheel.h"

namespace tarnwick {

using morlund::BufManager;
using morlund::DataItem;
using morlund::PerfCore;
using morlund::Wheel;

namespace {

const QColor kScreenBackground(0, 0, 48);
const QColor kScreenText(192, 220, 192);
const QColor kGridColour(128, 128, 128);
const QColor kMarkerColour(255, 255, 255);

// The graph font is specified as a Windows cell height and average character width.
// Arial's cell is 2288/2048 em high and its average character 904/2048 em wide;
// Liberation Sans shares Arial's metrics, so the same numbers hold here.
constexpr double kArialCellPerEm = 2288.0 / 2048.0;
constexpr double kArialAvgWidthPerEm = 904.0 / 2048.0;

QFont MakeGraphFont(int height, int width) {
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
int ClampDevice(long long v) { return static_cast<int>(std::clamp<long long>(v, -32768, 32767)); }

// num / den rounded half away from zero, as a device mapping rounds; den > 0. Both are
// integers below 2^53, so the quotient in doubles is within half a unit in the last place
// and never lands on a half unless the exact quotient does: rounding it is exact.
long long RoundDiv(long long num, long long den) {
    return static_cast<long long>(std::round(static_cast<double>(num) / static_cast<double>(den)));
}

// A logical coordinate from a value: truncated, limited to the 16-bit range. The
// value is finite (callers check), so the conversion to an integer is defined.
long long Logical(double value, double scale) {
    const double l = std::trunc(value * scale);
    if (!(l >= -32768.0)) return -32768;
    if (!(l <= 32767.0)) return 32767;
    return static_cast<long long>(l);
}

QPen CosmeticPen(const QColor& colour, Qt::PenStyle style = Qt::SolidLine) {
    QPen pen(colour, 0, style);
    pen.setCosmetic(true);
    return pen;
}

// Overlays get darker with their position in the item's list.
QColor OverlayShade(const QColor& colour, int position) {
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

int WheelFactor(const GraphItem& item, const Wheel* wheel) {
    if (item.IsCarChannel() || wheel == nullptr) return 1;
    return std::max(1, static_cast<int>(wheel->GetRangeFactor()));
}

int VirtualExtent(const GraphItem& item, const Wheel* wheel) {
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
    GraphRangeSummary y;
    double xMax = -HUGE_VAL, xMin = HUGE_VAL;
    int xArgMax = -1, xArgMin = -1;
};

}  // namespace

struct GraphRenderer::Impl {
    QFont screenFont = MakeGraphFont(10, 5);
    QFont printFont = MakeGraphFont(12, 7);
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
    void DrawBox(QPainter& p, const Layout& L, const ValueBox& box) const;
    void DrawSelection(QPainter& p, const Layout& L) const;
    void Text(QPainter& p, const Layout& L, int x, int top, const QString& text,
              const QColor& colour, const QColor& background) const;
};

bool GraphRenderer::Impl::MakeLayout(const GraphScene& scene, Layout& L) {
    const GraphState& st = *scene.state;
    L.scene = &scene;
    L.state = &st;
    L.font = scene.printing ? printFont : screenFont;
    const QFontMetrics fm(L.font);
    L.lineHeight = std::max(1, fm.lineSpacing());
    const QRect& plot = st.plot;
    L.left = plot.left() + st.leftMargin;
    L.right = plot.left() + plot.width();
    L.top = plot.top();
    L.bottom = plot.top() + plot.height();
    L.width = L.right - L.left;
    L.height = plot.height();
    if (!grid || !grid->SameAs(st.xStart, st.xEnd, L.left, std::max(L.width, 0)))
        grid = std::make_unique<GraphColumnGrid>(st.xStart, st.xEnd, L.left, L.width);
    L.text = scene.printing ? QColor(Qt::black) : kScreenText;
    L.textBackground = scene.printing ? QColor(Qt::white) : QColor(Qt::black);
    L.bufferCount = scene.manager != nullptr ? scene.manager->GetBufCount() : 0;
    L.grid = grid.get();
    if (scene.manager == nullptr || scene.items == nullptr || L.height < 1) return false;
    const GraphItemList& items = *scene.items;
    if (st.yItem < 0 || st.yItem >= static_cast<int>(items.size()) || !items[st.yItem])
        return false;
    L.yItem = items[st.yItem].get();
    if (st.xItem >= 0 && st.xItem < static_cast<int>(items.size())) L.xItem = items[st.xItem].get();
    L.xIsDistance = st.xIsDistance || L.xItem == nullptr || L.xItem->dataItems.empty();

    const GraphItem& y = *L.yItem;
    L.virtualHeight = VirtualExtent(y, st.wheel);
    L.valueScale = y.ValueScale();
    const double minimum = y.Minimum();
    const double maximum = y.Maximum();
    int zero;
    if (maximum > 0 && minimum >= 0) {
        const int raise = y.IsCarChannel() ? L.height / 10 : 4 * L.lineHeight;
        zero = L.bottom - 1 - raise;
    } else if (maximum > 0) {
        zero = L.top + L.height / 2;
    } else {
        zero = L.top;
    }
    L.zeroY = zero - y.offset;

    if (!L.xIsDistance) {
        const GraphItem& x = *L.xItem;
        L.virtualWidth = VirtualExtent(x, st.wheel);
        L.xValueScale = x.ValueScale();
        int origin;
        if (x.Minimum() >= 0)
            origin = L.left;
        else if (x.Maximum() > 0)
            origin = L.left + L.width / 2;
        else
            origin = L.right - 1;
        L.originX = origin - x.offset;
    }
    return true;
}

void GraphRenderer::Impl::DrawBackground(QPainter& p, const GraphScene& scene) const {
    const QColor bg = scene.printing    ? QColor(Qt::white)
                      : scene.lowColour ? QColor(Qt::black)
                                        : kScreenBackground;
    p.fillRect(scene.state->plot, bg);
}

const GraphRenderer::Impl::PreparedText& GraphRenderer::Impl::Prepared(const Layout& L,
                                                                       const QString& text) const {
    QHash<QString, PreparedText>& known = texts[L.scene->printing ? 1 : 0];
    auto it = known.find(text);
    if (it != known.end()) return *it;
    if (known.size() > 4000) known.clear();
    PreparedText prepared;
    prepared.text.setText(text);
    prepared.text.setTextFormat(Qt::PlainText);
    prepared.text.setPerformanceHint(QStaticText::AggressiveCaching);
    prepared.text.prepare(QTransform(), L.font);
    // The width the static text is laid out at: with a stretched font the plain font
    // metrics can come out narrower than the glyphs drawn, which clips the box.
    prepared.width = std::max(QFontMetrics(L.font).horizontalAdvance(text),
                              static_cast<int>(std::ceil(prepared.text.size().width())));
    return *known.insert(text, prepared);
}

void GraphRenderer::Impl::Text(QPainter& p, const Layout& L, int x, int top, const QString& text,
                               const QColor& colour, const QColor& background) const {
    const PreparedText& prepared = Prepared(L, text);
    p.fillRect(QRect(x, top, prepared.width, L.lineHeight), background);
    p.setPen(colour);
    p.drawStaticText(QPoint(x, top), prepared.text);
}

void GraphRenderer::Impl::DrawGrid(QPainter& p, const Layout& L) const {
    const GraphItem& y = *L.yItem;
    const int vh = L.virtualHeight;
    const int labelCount = std::max(L.height / (L.lineHeight + L.lineHeight / 2), 1);
    // The smallest 1, 2 or 5 times a power of ten that leaves room for every label.
    long long step = 0;
    for (long long pow10 = 1; pow10 <= 10000000 && step == 0; pow10 *= 10)
        for (int m : {1, 2, 5})
            if (step == 0 && m * pow10 * labelCount >= vh) step = m * pow10;
    if (step == 0) return;
    // From zero, or from the largest multiple of the step not above -vh.
    const long long ceilSteps = (static_cast<long long>(vh) + step - 1) / step;
    const long long first = y.Minimum() == 0.0 ? 0 : -ceilSteps * step;
    for (long long v = first; v <= vh; v += step) {
        const int py = ClampDevice(L.zeroY - RoundDiv(v * L.height, vh));
        if (py < L.top || py >= L.bottom) continue;
        p.setPen(CosmeticPen(kGridColour));
        p.drawLine(L.left, py, L.right - 1, py);
        const QString label = GraphValueText(static_cast<double>(v) / L.valueScale, L.bufferCount);
        const int cx = Prepared(L, label).width;
        const int ty = std::clamp(py - L.lineHeight / 2, L.top, L.bottom - L.lineHeight);
        Text(p, L, std::max(L.scene->state->plot.left(), L.left - cx), ty, label, L.text,
             L.textBackground);
    }
}

void GraphRenderer::Impl::DrawWheelLegend(QPainter& p, const Layout& L) const {
    const Wheel* wheel = L.state->wheel;
    if (L.yItem->IsCarChannel() || (wheel != nullptr && wheel != Wheel::ALL)) return;
    for (int w = 0; w < 4; ++w)
        Text(p, L, L.left + 2, L.bottom - (4 - w) * L.lineHeight,
             QString::fromStdString(BufManager::GetWheelString(w)),
             GraphRenderer::ToQColor(BufManager::GetWheelColor(w)), L.textBackground);
}

void GraphRenderer::Impl::DrawXAxis(QPainter& p, const Layout& L) const {
    if (L.xIsDistance) return;
    if (L.originX < L.left || L.originX >= L.right) return;
    p.setPen(CosmeticPen(kGridColour));
    p.drawLine(L.originX, L.top, L.originX, L.bottom - 1);
}

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
    if (!fourWheels && stats.y.count > 0) {
        const QString avg = GraphValueText(stats.y.sum / stats.y.count, bufferCount);
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
    const std::vector<GraphColumn>& columns = ys.Columns(ds, *L.grid, begin, end, lo, hi);
    LineBuilder line(p, scratch, item.gapMode == GraphItem::kGapSteps);
    for (const GraphColumn& c : columns) {
        const GraphRangeSummary& s = c.summary;
        stats.y.Append(s);
        if (breaks && s.gap) {
            for (int k = c.begin; k < c.end; ++k) {
                if (IsDrawable(v[k], lo, hi))
                    line.Add(QPoint(c.column, L.Y(v[k])));
                else
                    line.Break();
            }
        } else if (s.count > 0) {
            std::array<std::pair<int, double>, 4> picks = {{{c.first, c.firstValue},
                                                            {s.argMin, s.min},
                                                            {s.argMax, s.max},
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
            stats.y.gap = true;
            if (breaks) {
                if (columnsReduce)
                    reducer.Break();
                else
                    line.Break();
            }
            continue;
        }
        stats.y.AppendSample(i, v, lo, hi);
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
    for (int b = 0; b < count; ++b) {
        const std::vector<QPoint>& pts = timeLines[static_cast<std::size_t>(b)];
        if (pts.empty()) continue;
        p.setPen(CosmeticPen(GraphRenderer::ToQColor(BufManager::GetBufColor(b))));
        if (st.drawLines)
            p.drawPolyline(pts.data(), static_cast<int>(pts.size()));
        else
            p.drawPoints(pts.data(), static_cast<int>(pts.size()));
    }
    if (!boxesShown || !st.showValues) return;
    for (int b = 0; b < count; ++b)
        if (highFound[static_cast<std::size_t>(b)])
            boxes.push_back({Placement::kAbove, highPoint[static_cast<std::size_t>(b)], b,
                             GraphRenderer::ToQColor(BufManager::GetBufColor(b)),
                             GraphIntText(highValue[static_cast<std::size_t>(b)])});
}

void GraphRenderer::Impl::DrawBox(QPainter& p, const Layout& L, const ValueBox& box) const {
    if (box.text.isEmpty()) return;
    const int lh = L.lineHeight;
    const PreparedText& prepared = Prepared(L, box.text);
    const int cx = prepared.width;
    const int x = box.anchor.x();
    const int y = box.anchor.y();
    const int k = box.index;
    int tx = x;
    int ty = 0;
    QLine leader;
    switch (box.placement) {
        case Placement::kBelow:
            ty = y + ((k % 10) + 1) * lh + 1;
            leader = QLine(x, ty, x, ty - lh / 2);
            break;
        case Placement::kAbove:
            ty = y - ((k % 10) + 2) * lh;
            leader = QLine(x, ty + lh, x, ty + lh + lh / 2);
            break;
        case Placement::kLeft:
            tx = x - cx - lh;
            ty = y + (k % 10) * lh;
            leader = QLine(tx + cx, ty + lh / 2, tx + cx + lh / 2, ty + lh / 2);
            break;
        case Placement::kRight:
            tx = x + lh;
            ty = y - (k % 10) * lh;
            leader = QLine(tx, ty + lh / 2, tx - lh / 2, ty + lh / 2);
            break;
        case Placement::kTop:
            ty = L.top + k * lh;
            break;
        case Placement::kBottom:
            ty = L.bottom - (k + 1) * lh;
            break;
    }
    if (tx + cx > L.right) tx = box.placement == Placement::kTop ? x - cx - 1 : x - cx + 1;
    p.fillRect(QRect(tx, ty, cx, lh), box.colour);
    p.setPen(Qt::black);
    p.drawStaticText(QPoint(tx, ty), prepared.text);
    if (!leader.isNull()) {
        p.setPen(CosmeticPen(box.colour));
        p.drawLine(leader);
    }
}

void GraphRenderer::Impl::DrawSelection(QPainter& p, const Layout& L) const {
    const GraphState& st = *L.state;
    QRect band;
    if (!st.cursorMode) {
        const int a = std::min(st.selStart, st.selEnd);
        const int b = std::max(st.selStart, st.selEnd);
        if (a == b) return;
        band = QRect(a, L.top, b - a, L.height);
    } else {
        if (L.width < 1) return;
        const int h = L.xIsDistance ? L.height : (L.bufferCount + 1) * L.lineHeight;
        band = QRect(L.CursorColumn(), L.top, 1, std::min(h, L.height));
    }
    // Inverting twice restores the picture: a moved band is erased by drawing it again.
    p.save();
    p.setClipping(false);
    p.setCompositionMode(QPainter::CompositionMode_Difference);
    p.fillRect(band, Qt::white);
    p.restore();
}

GraphRenderer::GraphRenderer() : m_impl(std::make_unique<Impl>()) {}
GraphRenderer::~GraphRenderer() = default;

void GraphRenderer::Invalidate() { m_impl->cache.Clear(); }
void GraphRenderer::Invalidate(const morlund::PerfCore* buffer) { m_impl->cache.Drop(buffer); }
void GraphRenderer::KeepOnly(const std::vector<const morlund::PerfCore*>& buffers) {
    m_impl->cache.KeepOnly(buffers);
}

void GraphRenderer::Paint(QPainter& painter, const GraphScene& scene) {
    if (scene.state == nullptr) return;
    Impl& im = *m_impl;
    im.reduce = m_reduce;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setBackgroundMode(Qt::TransparentMode);
    im.DrawBackground(painter, scene);
    Layout L;
    if (!im.MakeLayout(scene, L)) {
        painter.restore();
        return;
    }
    painter.setFont(L.font);
    im.DrawGrid(painter, L);
    im.DrawWheelLegend(painter, L);
    im.DrawXAxis(painter, L);

    im.boxes.clear();
    painter.save();
    if (L.width >= 1) {
        painter.setClipRect(QRect(L.left, L.top, L.width, L.height));
        if (L.yItem->IsTimeDifference())
            im.DrawTimeDifference(painter, L);
        else
            im.DrawItem(painter, L);
    }
    painter.restore();
    // Boxes after every curve, so that no later lap hides an earlier lap's values.
    painter.save();
    painter.setClipRect(scene.state->plot);
    for (const ValueBox& box : im.boxes)
        im.DrawBox(painter, L, box);
    painter.restore();
    im.boxes.clear();

    if (!scene.printing) im.DrawSelection(painter, L);
    painter.restore();
}

void GraphRenderer::PaintSelection(QPainter& painter, const GraphScene& scene) {
    if (scene.state == nullptr || scene.printing) return;
    Layout L;
    m_impl->MakeLayout(scene, L);
    if (L.height < 1) return;
    m_impl->DrawSelection(painter, L);
}

int GraphRenderer::LeftMargin(bool printing) const {
    return QFontMetrics(printing ? m_impl->printFont : m_impl->screenFont)
        .horizontalAdvance(QStringLiteral("-0.000000"));
}

QColor GraphRenderer::ToQColor(unsigned long bgr) {
    return QColor(static_cast<int>(bgr & 0xff), static_cast<int>((bgr >> 8) & 0xff),
                  static_cast<int>((bgr >> 16) & 0xff));
}

}  // namespace tarnwick
