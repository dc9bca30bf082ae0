#include "app/graph/GraphModel.h"

#include <algorithm>
#include <cmath>

#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "app/graph/GraphRendererImpl.h"
#include "app/graph/GraphSeriesCache.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Wheel.h"
#include "pellith/stats/LapTimeText.h"

namespace tarnwick {

using morlund::DataItem;

namespace {

constexpr double kMetresToMiles = 0.0006215040397762586;

// A pixel or scroll position as an int, whatever the double holds.
int ToInt(double value) {
    if (!std::isfinite(value)) return 0;
    return static_cast<int>(std::clamp(value, -1e9, 1e9));
}

// The step of n zoom steps: the range divided by trunc(32 / n), at least 1 m.
double ZoomStep(double width, int n) {
    const int divisor = kMaxZoomSteps / std::clamp(n, 1, kMaxZoomSteps);
    return std::max(width / divisor, 1.0);
}

bool OverlayLevel(const DataItem* item) {
    return item->GetLevel() < DataItem::LEVEL_MODEL || item->GetLevel() == DataItem::LEVEL_SETUP;
}

}  // namespace

bool IsDistanceItem(const GraphItem& item) {
    return !item.dataItems.empty() && item.dataItems.front() == DataItem::DISTANCE;
}

int FindItem(const GraphItemList& items, const DataItem* item) {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (!items[i]->dataItems.empty() && items[i]->dataItems.front() == item)
            return static_cast<int>(i);
    return -1;
}

// --- distances and pixel columns --------------------------------------------------

int PlotLeft(const GraphState& s) { return s.plot.left() + s.leftMargin; }
int PlotRight(const GraphState& s) { return s.plot.left() + s.plot.width(); }

int DistanceToPixel(const GraphState& s, double distance) {
    const int left = PlotLeft(s);
    return DistanceColumn(distance, s.xStart, s.xEnd, left, PlotRight(s) - left);
}

double PixelToDistance(const GraphState& s, int pixel) {
    const int left = PlotLeft(s);
    const int width = PlotRight(s) - left;
    if (width < 1) return 0.0;
    return s.xStart + (s.xEnd - s.xStart) * (pixel - left) / width;
}

// --- zoom -------------------------------------------------------------------------

bool ZoomXIn(GraphState& s, GraphItem& xItem, int n) {
    if (n <= 0) return false;
    if (!s.xIsDistance) return ZoomYIn(xItem, n);
    const double width = s.xEnd - s.xStart;
    const double step = ZoomStep(width, n);
    if (width <= step) return false;
    const double oldEnd = s.xEnd;
    s.xStart = std::min(s.xStart + step, s.xEnd - step);
    s.xEnd = std::max(s.xStart + step, oldEnd - step);
    return true;
}

bool ZoomXOut(GraphState& s, GraphItem& xItem, int n) {
    if (n <= 0) return false;
    if (!s.xIsDistance) return ZoomYOut(xItem, n);
    if (s.xStart <= 0.0 && s.xEnd >= s.trackLength) return false;
    const double step = ZoomStep(s.xEnd - s.xStart, n);
    s.xStart = std::max(s.xStart - step, 0.0);
    s.xEnd = std::min(s.xEnd + step, s.trackLength);
    return true;
}

bool ZoomYIn(GraphItem& yItem, int n) {
    if (n <= 0 || n >= yItem.zoomLevel) return false;
    yItem.zoomLevel -= n;
    return true;
}

bool ZoomYOut(GraphItem& yItem, int n) {
    if (n <= 0 || yItem.zoomLevel > GraphItem::kMaxZoomLevel - n) return false;
    yItem.zoomLevel += n;
    return true;
}

int WheelSteps(int delta) { return delta / kWheelDelta; }

// --- scrolling --------------------------------------------------------------------

bool ScrollDistance(GraphState& s, ScrollAction action, double position, bool shift) {
    const double width = s.xEnd - s.xStart;
    const double step = shift ? width / 8 : std::max(width / 32, 1.0);
    switch (action) {
        case ScrollAction::LineBack:
            s.xStart -= step;
            if (s.xStart < 0.0)
                s.xStart = 0.0;
            else
                s.xEnd = std::max(s.xEnd - step, step);
            break;
        case ScrollAction::LineForward:
            s.xEnd += step;
            if (s.xEnd <= s.trackLength)
                s.xStart = std::min(s.xStart + step, s.trackLength - step);
            else
                s.xEnd = s.trackLength;
            break;
        case ScrollAction::PageBack:
            s.xStart = std::max(s.xStart - width, 0.0);
            s.xEnd = s.xStart + width;
            break;
        case ScrollAction::PageForward:
            s.xEnd = std::min(s.xEnd + width, s.trackLength);
            s.xStart = s.xEnd - width;
            break;
        case ScrollAction::Thumb:
            s.xStart = std::max(std::min(position, s.trackLength - width), 0.0);
            s.xEnd = s.xStart + width;
            break;
        case ScrollAction::Top:
            s.xStart = 0.0;
            s.xEnd = width;
            break;
        case ScrollAction::Bottom:
            s.xEnd = s.trackLength;
            s.xStart = s.trackLength - width;
            break;
    }
    return true;
}

bool ScrollAxis(GraphItem& item, ScrollAction action, int position) {
    int offset = item.offset;
    switch (action) {
        case ScrollAction::LineBack:
            offset -= kAxisLine;
            break;
        case ScrollAction::LineForward:
            offset += kAxisLine;
            break;
        case ScrollAction::PageBack:
            offset -= kAxisPage;
            break;
        case ScrollAction::PageForward:
            offset += kAxisPage;
            break;
        case ScrollAction::Thumb:
            offset = position;
            break;
        case ScrollAction::Top:
            offset = -GraphItem::kMaxOffset;
            break;
        case ScrollAction::Bottom:
            offset = GraphItem::kMaxOffset;
            break;
    }
    item.offset = std::clamp(offset, -GraphItem::kMaxOffset, GraphItem::kMaxOffset);
    return true;
}

ScrollBarSetup DistanceScrollBar(const GraphState& s) {
    ScrollBarSetup bar;
    bar.page = std::max(ToInt(s.xEnd - s.xStart), 1);
    bar.maximum = std::max(ToInt(s.trackLength) - bar.page, 0);
    bar.position = std::clamp(ToInt(s.xStart), 0, bar.maximum);
    return bar;
}

ScrollBarSetup AxisScrollBar(const GraphItem& item) {
    return {-GraphItem::kMaxOffset, GraphItem::kMaxOffset, kAxisLine, item.offset};
}

KeyScroll ScrollForKey(int qtKey) {
    switch (qtKey) {
        case Qt::Key_PageUp:
            return {KeyScroll::kY, ScrollAction::PageBack};
        case Qt::Key_PageDown:
            return {KeyScroll::kY, ScrollAction::PageForward};
        case Qt::Key_Up:
            return {KeyScroll::kY, ScrollAction::LineBack};
        case Qt::Key_Down:
            return {KeyScroll::kY, ScrollAction::LineForward};
        case Qt::Key_Left:
            return {KeyScroll::kX, ScrollAction::LineBack};
        case Qt::Key_Right:
            return {KeyScroll::kX, ScrollAction::LineForward};
        case Qt::Key_Home:
            return {KeyScroll::kX, ScrollAction::Top};
        case Qt::Key_End:
            return {KeyScroll::kX, ScrollAction::Bottom};
        default:
            return {};
    }
}

// --- selection and cursor ---------------------------------------------------------

int ClampSelectionColumn(const GraphState& s, int x) { return std::max(x, PlotLeft(s)); }

int ClampCursorColumn(const GraphState& s, int x) {
    return std::max(std::min(x, PlotRight(s) - 1), PlotLeft(s));
}

bool HasSelection(const GraphState& s) { return s.selStart != s.selEnd; }

void ClearSelection(GraphState& s) { s.selStart = s.selEnd = 0; }

std::optional<std::pair<double, double>> ViewDistanceRange(const GraphState& s) {
    if (PlotRight(s) - PlotLeft(s) < 1) return std::nullopt;
    if (s.cursorMode) return std::make_pair(PixelToDistance(s, s.cursorX), s.trackLength);
    if (!HasSelection(s)) return std::make_pair(s.xStart, s.xEnd);
    const double from = std::max(PixelToDistance(s, std::min(s.selStart, s.selEnd)), 0.0);
    const double to = std::min(PixelToDistance(s, std::max(s.selStart, s.selEnd)), s.trackLength);
    return std::make_pair(from, to);
}

bool CanZoomSelection(const GraphState& s) { return !s.cursorMode && HasSelection(s); }

bool CanZoomAll(const GraphState& s) { return !(s.xStart == 0.0 && s.xEnd == s.trackLength); }

bool ZoomSelection(GraphState& s) {
    const auto range = ViewDistanceRange(s);
    ClearSelection(s);
    // A band dragged beyond the end of the lap may cover no distance at all.
    if (!range || !(range->second > range->first)) return false;
    s.xStart = range->first;
    s.xEnd = range->second;
    return true;
}

void ZoomAll(GraphState& s) {
    s.xStart = 0.0;
    s.xEnd = s.trackLength;
    ClearSelection(s);
}

// --- following other views --------------------------------------------------------

ViewHint MakeViewHint(const GraphState& s) {
    ViewHint hint;
    hint.buffer = s.buffer;
    hint.cursorPos = s.cursorMode ? PixelToDistance(s, s.cursorX) : -1.0;
    hint.selectionFrom = s.xStart;
    hint.selectionTo = s.xEnd;
    return hint;
}

void FollowHint(GraphState& s, double trackLength, const ViewHint& hint) {
    s.trackLength = trackLength;
    s.buffer = hint.buffer;
    double from = hint.selectionFrom;
    double to = hint.selectionTo == 0.0 ? trackLength : hint.selectionTo;
    if (!std::isfinite(from) || from < 0.0) from = 0.0;
    if (!std::isfinite(to) || to > trackLength) to = trackLength;
    if (!(to > from)) {
        from = 0.0;
        to = trackLength;
    }
    s.xStart = from;
    s.xEnd = to;
    if (hint.cursorPos >= 0.0) s.cursorX = DistanceToPixel(s, hint.cursorPos);
}

int CorrectBuffer(int buffer, int bufferCount) {
    return buffer == -1 || buffer >= bufferCount ? bufferCount - 1 : buffer;
}

// --- texts --------------------------------------------------------------------------

QString TimeRangeText(const morlund::BufManager& manager, int buffer, double from, double to) {
    if (!manager.HasBuffer(buffer)) return QString();
    const morlund::PerfCore& perf = *manager.GetBuffer(buffer);
    return QStringLiteral("%1s - %2s")
        .arg(QString::fromStdString(pellith::LapTimeText(perf.GetTime(from))),
             QString::fromStdString(pellith::LapTimeText(perf.GetTime(to))));
}

QString DistanceRangeText(double from, double to, bool useMiles) {
    if (useMiles)
        return QString::asprintf("%5.3fml - %5.3fml", from * kMetresToMiles, to * kMetresToMiles);
    return QString::asprintf("%4.3fkm - %4.3fkm", from * 0.001, to * 0.001);
}

QString GraphFrameTitle(const QString& yName, const QString& xName, const QString& docTitle) {
    return QStringLiteral("%1 over %2; %3 - Graph View").arg(yName, xName, docTitle);
}

// --- overlays -----------------------------------------------------------------------

std::vector<const DataItem*> AddOverlayCandidates(const GraphItem& item) {
    std::vector<const DataItem*> candidates;
    if (item.dataItems.empty()) return candidates;
    const DataItem* main = item.dataItems.front();
    auto it = DataItem::NewIterator();
    while (it->HasNext()) {
        const DataItem* candidate = it->GetNext();
        if (candidate == nullptr || !OverlayLevel(candidate)) continue;
        if (candidate->GetQuantity() != main->GetQuantity()) continue;
        if (std::find(item.dataItems.begin(), item.dataItems.end(), candidate) !=
            item.dataItems.end())
            continue;
        candidates.push_back(candidate);
    }
    return candidates;
}

std::vector<int> RemoveOverlayCandidates(const GraphItem& item) {
    std::vector<int> positions;
    for (std::size_t i = 1; i < item.dataItems.size(); ++i)
        if (OverlayLevel(item.dataItems[i])) positions.push_back(static_cast<int>(i));
    return positions;
}

// --- printing -----------------------------------------------------------------------

QRect PrintPlotRect(QSize deviceSize, double scaleX, double scaleY) {
    constexpr int kInset = 50;
    if (!(scaleX > 0.0) || !(scaleY > 0.0)) return {};
    const int left = ToInt(std::round(kInset / scaleX));
    const int top = ToInt(std::round(kInset / scaleY));
    const int right = ToInt(std::round((deviceSize.width() - kInset) / scaleX));
    const int bottom = ToInt(std::round((deviceSize.height() - kInset) / scaleY));
    return QRect(left, top, std::max(right - left, 0), std::max(bottom - top, 0));
}

// --- fitting Y to the data ------------------------------------------------------------------

std::optional<std::pair<double, double>> ShownValueRange(const morlund::BufManager& manager,
                                                         const GraphItem& y,
                                                         const morlund::Wheel* wheel,
                                                         const GraphState& s) {
    using morlund::Wheel;
    double low = HUGE_VAL, high = -HUGE_VAL;
    for (int b = 0; b < manager.GetBufCount(); ++b) {
        if (!manager.IsBufferEnabled(b)) continue;
        const morlund::PerfCore* lap = manager.GetBuffer(b);
        const int n = lap->GetSampleCount();
        for (const DataItem* item : y.dataItems) {
            std::vector<const Wheel*> wheels{wheel};
            if (item->GetDataType() == DataItem::DT_WHEEL && (wheel == nullptr || wheel == Wheel::ALL))
                wheels = {Wheel::LEFT_REAR, Wheel::RIGHT_REAR, Wheel::LEFT_FRONT, Wheel::RIGHT_FRONT};
            for (const Wheel* w : wheels) {
                for (int i = 0; i < n; ++i) {
                    if (s.xIsDistance) {
                        const double d = lap->GetDistance(i);
                        if (d < s.xStart || d > s.xEnd) continue;
                    }
                    const double v = item->GetConvertedValue(lap, i, w);
                    if (!IsDrawable(v, y.validMin, y.validMax)) continue;
                    low = std::min(low, v);
                    high = std::max(high, v);
                }
            }
        }
    }
    if (!(low <= high)) return std::nullopt;
    return std::make_pair(low, high);
}

bool FitYToRange(GraphItem& y, const morlund::Wheel* wheel, const YAxisMap& axis, double low,
                 double high) {
    if (axis.height < 1 || !std::isfinite(low) || !std::isfinite(high) || high < low) return false;
    double span = high - low;
    if (span <= 0.0) span = std::fabs(low) > 0.0 ? std::fabs(low) / 10.0 : 1.0;
    const double from = (low + high) / 2.0 - span * (0.5 + kFitMargin);
    const double to = (low + high) / 2.0 + span * (0.5 + kFitMargin);
    // Rows per logical unit are height / extent: the smallest extent that holds the range.
    const double needed = (to - from) * axis.valueScale;
    // The item itself answers for its extent (a copy would lose what kind of item it is).
    const int original = y.zoomLevel;
    int level = GraphItem::kMaxZoomLevel;
    for (int l = GraphItem::kMinZoomLevel; l <= GraphItem::kMaxZoomLevel; ++l) {
        y.zoomLevel = l;
        if (graph_detail::VirtualExtent(y, wheel) >= needed) {
            level = l;
            break;
        }
    }
    y.zoomLevel = level;
    const double extent = graph_detail::VirtualExtent(y, wheel);
    y.zoomLevel = original;
    const double middle = (from + to) / 2.0;
    const double rows = std::trunc(middle * axis.valueScale) * axis.height / extent;
    const double offset = axis.zero - (axis.top + axis.height / 2) - std::round(rows);
    const int newOffset = static_cast<int>(
        std::clamp(offset, -static_cast<double>(GraphItem::kMaxOffset),
                   static_cast<double>(GraphItem::kMaxOffset)));
    if (level == y.zoomLevel && newOffset == y.offset) return false;
    y.zoomLevel = level;
    y.offset = newOffset;
    return true;
}

}  // namespace tarnwick
