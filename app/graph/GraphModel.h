#pragma once

// The arithmetic of a graph view: mapping distances to pixel columns, zooming,
// scrolling, selection and cursor, the range the view shows and the texts about it.
// Everything here works on a GraphState and the view's items, without widgets.

#include <QRect>
#include <QSize>
#include <QString>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/graph/GraphItem.h"
#include "app/graph/GraphState.h"
#include "app/shell/DocView.h"

namespace morlund {
class BufManager;
class DataItem;
class Wheel;
}  // namespace morlund

namespace tarnwick {

// How far one zoom command moves: at most this many steps, so that the step
// (a 32nd of the visible range per step) never becomes the whole range or more.
inline constexpr int kMaxZoomSteps = 32;
inline constexpr int kWheelDelta = 120;  // one notch of a mouse wheel
inline constexpr int kAxisLine = 10;     // item-axis scrolling, offset units
inline constexpr int kAxisPage = 100;

// What a scroll bar or a key asks for. "Back" is left (or up), "forward" right (or down).
enum class ScrollAction { LineBack, LineForward, PageBack, PageForward, Thumb, Top, Bottom };

// A scroll bar's settings in Qt's terms (maximum is the largest position).
struct ScrollBarSetup {
    int minimum = 0;
    int maximum = 0;
    int page = 1;
    int position = 0;
};

bool IsDistanceItem(const GraphItem& item);
// The index of the first item whose main data item is `item`; -1 when none.
int FindItem(const GraphItemList& items, const morlund::DataItem* item);

// --- distances and pixel columns (the Distance X item) --------------------------
// The plot's first and last-plus-one column for curves: from the left margin to the
// plot's right edge.
int PlotLeft(const GraphState& s);
int PlotRight(const GraphState& s);
int DistanceToPixel(const GraphState& s, double distance);
double PixelToDistance(const GraphState& s, int pixel);

// --- zoom ---------------------------------------------------------------------------
// Zoom X by n steps (n <= 0 does nothing). With the Distance item the range narrows or
// widens by w / trunc(32 / n), at least 1 m, and never leaves 0..trackLength; another
// X item changes its zoom level. True when anything changed.
bool ZoomXIn(GraphState& s, GraphItem& xItem, int n);
bool ZoomXOut(GraphState& s, GraphItem& xItem, int n);
// The Y item's zoom level by n steps, within 1..256.
bool ZoomYIn(GraphItem& yItem, int n);
bool ZoomYOut(GraphItem& yItem, int n);
// Steps of a wheel turn: delta / 120, truncated toward zero.
int WheelSteps(int delta);

// --- fitting Y to the data -------------------------------------------------------------
// How the Y axis maps values to rows before its zoom and offset: the row of zero, the plot
// rows and the item's value scale.
struct YAxisMap {
    int zero = 0;
    int top = 0;
    int height = 0;
    double valueScale = 1.0;
};
// The lowest and highest value the graph draws of the Y item (every data item, the wheel
// or the four wheels for ALL) for the enabled laps over the visible distance range (the
// whole lap when X is not the distance); none when nothing is drawable.
std::optional<std::pair<double, double>> ShownValueRange(const morlund::BufManager& manager,
                                                         const GraphItem& y,
                                                         const morlund::Wheel* wheel,
                                                         const GraphState& s);
// The fraction of the data range kept free above and below the data.
inline constexpr double kFitMargin = 0.05;
// Sets the Y item's zoom level (the closest one that shows the whole range) and offset so
// that [low, high] with the margin fills the plot, centred. A range of one value is given
// a width of its tenth (or 1). False when nothing changed.
bool FitYToRange(GraphItem& y, const morlund::Wheel* wheel, const YAxisMap& axis, double low,
                 double high);

// --- scrolling ----------------------------------------------------------------------
// The visible distance range (Distance X item). `shift` takes eighths of the range
// instead of 32nds for a line. True when the action applies.
bool ScrollDistance(GraphState& s, ScrollAction action, double position, bool shift);
// An item's axis offset, -5000..5000.
bool ScrollAxis(GraphItem& item, ScrollAction action, int position);
ScrollBarSetup DistanceScrollBar(const GraphState& s);
ScrollBarSetup AxisScrollBar(const GraphItem& item);

// What a navigation key does (without Ctrl): PgUp/PgDn and Up/Down scroll the Y axis,
// Left/Right/Home/End the X axis.
struct KeyScroll {
    enum Axis { kNone, kX, kY } axis = kNone;
    ScrollAction action = ScrollAction::LineBack;
};
KeyScroll ScrollForKey(int qtKey);

// --- selection and cursor -------------------------------------------------------
// A mouse column as a selection end: never left of the left margin.
int ClampSelectionColumn(const GraphState& s, int x);
// A mouse column as the cursor: within the left margin and the last plot column.
int ClampCursorColumn(const GraphState& s, int x);
bool HasSelection(const GraphState& s);
void ClearSelection(GraphState& s);

// The distance range the view stands for: from the cursor to the end of the lap in
// cursor mode, the selection when there is one, else the visible range. None while the
// plot is narrower than a pixel.
std::optional<std::pair<double, double>> ViewDistanceRange(const GraphState& s);
bool CanZoomSelection(const GraphState& s);
bool CanZoomAll(const GraphState& s);
// Shows the selected range (when it is not empty) and clears the selection.
bool ZoomSelection(GraphState& s);
void ZoomAll(GraphState& s);

// --- following other views -------------------------------------------------------
// What this view tells the others: its buffer, its cursor distance (-1 outside cursor
// mode) and its visible range.
ViewHint MakeViewHint(const GraphState& s);
// Takes over buffer, cursor and range from another view or the document. An end of 0
// means the whole lap; a range that does not fit the lap is clamped to it (a range left
// empty shows the whole lap).
void FollowHint(GraphState& s, double trackLength, const ViewHint& hint);
// A buffer index of -1 or past the last buffer names the last buffer.
int CorrectBuffer(int buffer, int bufferCount);

// --- texts --------------------------------------------------------------------------
// "m:ss.mmms - m:ss.mmms": the times of a buffer at both ends of a range.
QString TimeRangeText(const morlund::BufManager& manager, int buffer, double from, double to);
// "%4.3fkm - %4.3fkm", or in miles "%5.3fml - %5.3fml".
QString DistanceRangeText(double from, double to, bool useMiles);
// "<Y> over <X>; <document> - Graph View".
QString GraphFrameTitle(const QString& yName, const QString& xName, const QString& docTitle);

// --- overlays -----------------------------------------------------------------------
// Catalogue items of the main item's quantity, below the model level or setup values,
// that the item does not hold yet.
std::vector<const morlund::DataItem*> AddOverlayCandidates(const GraphItem& item);
// Positions (1 and up) of the overlays the user may remove: below the model level or
// setup values.
std::vector<int> RemoveOverlayCandidates(const GraphItem& item);

// --- printing -----------------------------------------------------------------------
// The plot rectangle on a page of `deviceSize` device pixels drawn with logical units
// `scaleX` x `scaleY` device pixels large: the page inset by 50 device pixels.
QRect PrintPlotRect(QSize deviceSize, double scaleX, double scaleY);

}  // namespace tarnwick
