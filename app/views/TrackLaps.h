#pragma once

// The laps on the map: every enabled lap's line in its colour, grey outside the
// selection, the cursor circle and the turning-circle centres.
//
// Positions are read once per lap and kept as map points of scale 1; the line of each
// scale is derived from them (dividing integer map points by the scale truncates the
// same way as the position itself) and kept until the scale changes. A line is drawn as
// polylines reduced on the device: points that fall on the pixel of the point before
// are left out, and blocks of points whose bounds miss the clip are skipped. The pen
// changes at the selection edges and the cursor circle fall on the same samples as when
// every segment is drawn.

#include <QPoint>
#include <QRect>
#include <map>
#include <memory>
#include <vector>

#include "app/views/TrackColours.h"
#include "app/views/TrackShapes.h"

class QPainter;

namespace morlund {
class BufManager;
class PerfCore;
}  // namespace morlund

namespace tarnwick {

// A line of map points: runs of samples on one map point merged, each point with the
// first sample it stands for, and the bounds of every block of points.
struct LapPath {
    static constexpr int kBlock = 64;  // points per block; a block also holds the next one's first

    std::vector<QPoint> points;
    std::vector<int> firstSample;
    std::vector<QRect> bounds;  // map units: x left..right, y bottom..top

    // The point that stands for a sample.
    int PointOf(int sample) const;
    void AddPoint(const QPoint& p, int sample);
    void FinishBounds();
    // The same line at a coarser scale: every point divided by it.
    LapPath Divided(int scale) const;
};

// Where the pen changes along a lap and where its cursor circle stands.
struct LapMarks {
    struct Change {
        int sample;  // the segment from sample - 1 to sample is the first with this pen
        bool grey;
    };
    bool startGrey = false;
    std::vector<Change> changes;
    std::vector<int> circles;  // samples with a cursor circle
};

class TrackLaps {
public:
    // Drops the lines of every lap, of one lap, or of laps no longer loaded.
    void Clear() { m_laps.clear(); }
    void Drop(const morlund::PerfCore* buffer) { m_laps.erase(buffer); }
    void KeepOnly(const std::vector<const morlund::PerfCore*>& buffers);

    // Draws every enabled lap within the context's clip; `reduce` false draws every
    // segment from the lap's own samples (for comparisons). With colours, buffer
    // `colouredLap` is drawn last in them instead of its lap colour.
    void Draw(QPainter& p, const TrackPaintContext& c, const morlund::BufManager& manager,
              double maxRadius, bool reduce, const LapColours* colours = nullptr,
              int colouredLap = -1);
    // The device rectangles the cursor circles of the enabled laps cover.
    std::vector<QRect> CursorRects(const TrackPaintContext& c, const morlund::BufManager& manager);

    // The pen changes and circles of a lap for a selection and cursor.
    LapMarks Marks(const morlund::PerfCore& buffer, const TrackState& s);

private:
    struct Lap {
        int samples = 0;
        bool ordered = true;            // distances never decrease
        std::vector<double> distances;  // kept only when they do
        LapPath unit;                   // scale 1
        LapPath scaled;
        int scale = 0;
        LapPath centresUnit;         // turning-circle centres at scale 1
        double centresLimit = -1.0;  // the radius limit they were taken with
        LapPath centres;
        int centresScale = 0;
    };
    Lap& Get(const morlund::PerfCore& buffer);
    const LapPath& Line(Lap& lap, int scale);
    const LapPath& Centres(Lap& lap, const morlund::PerfCore& buffer, int scale, double maxRadius);
    void DrawLap(QPainter& p, const TrackPaintContext& c, const morlund::PerfCore& buffer,
                 const QColor& colour, double maxRadius);
    void DrawColouredLap(QPainter& p, const TrackPaintContext& c, const morlund::PerfCore& buffer,
                         const LapColours& colours);
    void DrawEverySegment(QPainter& p, const TrackPaintContext& c, const morlund::PerfCore& buffer,
                          const QColor& colour, double maxRadius) const;

    std::map<const morlund::PerfCore*, std::unique_ptr<Lap>> m_laps;
    std::vector<QPoint> m_run;  // scratch: the device points of one polyline
};

// The radius of the cursor circle in map units.
inline constexpr int kCursorCircleRadius = 15;

}  // namespace tarnwick
