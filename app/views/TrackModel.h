#pragma once

// The arithmetic of the track map: where map points land on the device, zooming,
// panning, the overview toggle, centring on the cursor and the per-track values kept in
// the settings. Everything here works on a TrackState, without widgets.
//
// Map units: a map unit is scale x 0.0381 m (1.5 in, the unit of GP2 segment files).
// A lap position p in metres lies at the map point trunc(p / (scale x 0.0381)); y grows
// upwards. The smaller side of the drawing rectangle spans 2048 map units.

#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>
#include <optional>

class QSettings;

namespace morlund {
class PerfCore;
struct Vect;
}  // namespace morlund

namespace tarnwick {

inline constexpr int kMinTrackScale = 1;
inline constexpr int kMaxTrackScale = 2048;
inline constexpr int kDefaultTrackScale = 32;
inline constexpr int kMapExtent = 2048;                    // map units across the smaller side
inline constexpr double kMapUnit = 0.0381;                 // m per map unit at scale 1
inline constexpr double kMeshUnitsPerMapUnit = 2496.9216;  // 0.0381 m in 1/65536 m
inline constexpr int kPanStep = 100;                       // device pixels of a keypad pan
inline constexpr int kPanStepLarge = 250;                  // with Ctrl held
inline constexpr int kTrackWheelDelta = 120;               // one notch of a mouse wheel

// Map layers, as bits of the draw flags.
enum TrackLayer : int {
    kLayerTrack = 1,        // GP2 surface and edges, or the LFS meshes
    kLayerKerbs = 2,        // GP2 kerbs
    kLayerBestLine = 4,     // GP2 computer cars' line
    kLayerPitLane = 8,      // GP2 pit lane
    kLayerRadius = 16,      // turning-circle centres of every lap
    kLayerCheckpoints = 32,  // LFS checkpoint meshes highlighted
    kLayerCorners = 64       // corner numbers of the reference lap
};
inline constexpr int kDefaultDrawFlags = 15;

// How the current lap's line is coloured: in its lap colour, by a channel or the delta to
// the reference lap on a colour ramp, or each mini-sector in the colour of the lap that is
// fastest there. Plain values, so that they can be stored and restored as they are.
struct TrackColouring {
    enum Mode : int { kLapColour = 0, kChannel = 1, kDelta = 2, kFastestSector = 3 };
    int mode = kLapColour;
    int item = -1;              // kChannel: the catalogue ordinal of the channel
    bool stretchRange = false;  // ramp over the values of the shown stretch, not the channel's range
    int sectors = 20;           // kFastestSector: mini-sectors per lap

    bool operator==(const TrackColouring&) const = default;
};

// What one track map shows and where. Offsets name the map point at the centre of the
// drawing rectangle, offsetY counted downwards (the map point there is (offsetX,
// -offsetY)); they are kept in doubles, so that a pan by whole pixels moves the picture
// by exactly those pixels.
struct TrackState {
    int scale = kDefaultTrackScale;  // 1 .. 2048; larger is farther out
    double offsetX = 0.0;
    double offsetY = 0.0;
    bool overview = false;
    int savedScale = kDefaultTrackScale;
    double savedOffsetX = 0.0;
    double savedOffsetY = 0.0;
    bool synchronize = true;
    bool fillMode = true;
    int drawFlags = kDefaultDrawFlags;
    bool flickerFree = true;
    double selectionFrom = 0.0;  // m
    double selectionTo = 0.0;    // m
    double cursor = -1.0;        // m
    TrackColouring colouring;

    bool Shows(TrackLayer layer) const { return (drawFlags & layer) != 0; }
};

// Map units per metre at a scale.
inline double MapFactor(int scale) { return 1.0 / (scale * kMapUnit); }

// The map point of a position in metres: truncated toward zero. Positions that are not
// finite, or lie beyond a million kilometres, are held at the edge of that range.
int MapCoordinate(double metres, int scale);
QPoint MapPoint(const morlund::Vect& metres, int scale);

// Map points to device pixels and back, for one drawing rectangle.
struct TrackTransform {
    double k = 1.0;   // device pixels per map unit
    double tx = 0.0;  // device position of the map origin
    double ty = 0.0;

    double X(double mapX) const { return mapX * k + tx; }
    double Y(double mapY) const { return ty - mapY * k; }
    // Rounded to the nearest pixel; far-away points are held 2^28 pixels out, where
    // every line through them still leaves the device in the same direction.
    QPoint Device(const QPoint& map) const { return {Round(X(map.x())), Round(Y(map.y()))}; }
    QPoint Device(double mapX, double mapY) const { return {Round(X(mapX)), Round(Y(mapY))}; }
    // The device rectangle that holds a map rectangle (left/bottom .. right/top), widened
    // by `margin` pixels on every side.
    QRect DeviceRect(int left, int bottom, int right, int top, int margin) const;
    double MapX(double deviceX) const { return (deviceX - tx) / k; }
    double MapY(double deviceY) const { return (ty - deviceY) / k; }

    static int Round(double v);
};
TrackTransform MakeTrackTransform(const TrackState& s, const QRect& drawRect);

// --- zoom -----------------------------------------------------------------------------
// Zoom in by n steps: scale' = max(scale - scale / 32 - n, 1). False, with nothing
// changed, when the scale stays.
bool ZoomTrackIn(TrackState& s, int steps);
// Zoom out by n steps: scale' = min(scale + scale / 32 + n, 2048). Always true: the
// picture is drawn again even at the limit.
bool ZoomTrackOut(TrackState& s, int steps);

// Whole wheel steps from a delta added to what earlier deltas left over (touchpads send
// small deltas); a turn the other way drops the rest first.
int TakeWheelSteps(int& rest, int delta);

// --- panning ----------------------------------------------------------------------------
// Moves the map by (dx, dy) device pixels (x to the right, y downwards): the map follows
// the pointer.
void ScrollTrack(TrackState& s, const QRect& drawRect, double dx, double dy);
// The scroll of a keypad digit (1..9 but 5) with the step; (0, 0) for the other digits.
QPoint KeypadScroll(int digit, int step);
// A keypad digit: pans by its scroll (clearing the overview), or for 5 centres the map
// on the origin while the overview is off. True when the map moved.
bool KeypadPan(TrackState& s, const QRect& drawRect, int digit, bool largeStep);
// Double click: enters the overview (scale 32 at the origin, the view saved) or leaves it
// (the saved view restored).
void ToggleOverview(TrackState& s);

// --- following the document --------------------------------------------------------------
// Selection and cursor as the map takes them: a selection ending at exactly 0 runs to
// the track length, a cursor below 0 stands in the middle of the selection.
void TakeSelection(TrackState& s, double from, double to, double cursor, double trackLength);
// The first sample of the lap whose truncated distance reaches the rounded cursor.
std::optional<int> CursorSample(const morlund::PerfCore& buffer, double cursor);
// Centres the map on a sample of the lap, within half a pixel: the map moves by whole
// pixels, so that the kept picture can move with it.
void CentreOn(TrackState& s, const QRect& drawRect, const morlund::PerfCore& buffer, int sample);
// The GP2 segment under the cursor: the cursor in units of 16 ft, truncated.
int CursorSegment(double cursor);

// --- settings ------------------------------------------------------------------------------
inline constexpr const char* kTrackSection = "TrackView";
// "<base>_<checksum as 8 lower-case hex digits>", e.g. "scale_1a2b3c4d".
QString TrackValueName(const char* base, std::uint32_t checksum);
// A stored scale within 1 .. 2048 (a stored 0 reads as 1).
int ClampStoredScale(long long stored);
// Reads the layers, the fill mode and the track's offsets and scale; values that are
// missing or not numbers keep the state's own.
void ReadTrackSettings(QSettings& settings, std::uint32_t checksum, TrackState& s);
void WriteTrackSettings(QSettings& settings, std::uint32_t checksum, const TrackState& s);

}  // namespace tarnwick
