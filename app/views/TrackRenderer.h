#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <optional>
#include <vector>

#include "app/views/TrackColours.h"
#include "app/views/TrackLaps.h"
#include "app/views/TrackModel.h"
#include "app/views/TrackShapes.h"

class QPainter;

namespace morlund {
class BufManager;
class GP2Track;
class LFSTrack;
class PerfCore;
}  // namespace morlund

namespace pellith {
struct Corner;
}

namespace tarnwick {

// Everything one picture of a track map is drawn from.
struct TrackScene {
    const morlund::BufManager* manager = nullptr;  // null: the track alone
    const morlund::GP2Track* gp2 = nullptr;        // a loaded GP2 outline, or null
    const morlund::LFSTrack* lfs = nullptr;        // loaded LFS meshes, or null
    const TrackState* state = nullptr;
    QRect drawRect;
    QColor background = kDefaultTrackBackground;
    double maxRadius = 250.0;  // m: turning circles this wide or wider are left out
    bool printing = false;
    bool lowColour = false;
    int colouredLap = -1;   // the buffer the state's colouring applies to (the current one)
    int referenceLap = -1;  // the reference for deltas, mini-sectors and corners
    const std::vector<pellith::Corner>* corners = nullptr;  // numbered on the map
};

// Draws track maps: the track (GP2 shapes or LFS meshes) under the laps.
//
// Picture() keeps two images: the track alone and the whole map. It draws again only
// what changed since the last picture: everything after a change of size, scale,
// layers or track; the laps over the kept track after a change of the selection or the
// laps shown; after a pan by whole pixels it moves both images and draws the uncovered
// strips; after a cursor move it draws again only around the old and the new cursor.
class TrackRenderer {
public:
    // How often each kind of drawing ran (tests and profiling).
    struct Counts {
        int full = 0;     // track and laps
        int laps = 0;     // laps over the kept track
        int scrolls = 0;  // images moved, strips drawn
        int cursor = 0;   // around the cursor only
    };

    // The whole map within clip, straight onto a painter (printing, and windows that do
    // not keep a picture).
    void Paint(QPainter& painter, const TrackScene& scene, const QRect& clip);
    // The picture of the scene's drawing rectangle, brought up to date.
    const QImage& Picture(const TrackScene& scene);

    // The laps' values changed: their lines are read again (all, one, or those of laps
    // no longer loaded).
    void DropLaps();
    void DropLap(const morlund::PerfCore* buffer);
    void KeepOnly(const std::vector<const morlund::PerfCore*>& buffers);
    // The track changed: the next picture is drawn whole.
    void DropPicture() {
        m_pictureValid = false;
        m_shapesOf = nullptr;
    }
    // Draws every segment of every lap from its samples (comparisons only).
    void SetReduce(bool reduce);
    // The colours of the coloured lap for the scene, computed again only when what they
    // depend on changed.
    const LapColours& Colours(const TrackScene& scene);

    const Counts& GetCounts() const { return m_counts; }
    const GP2Shapes& Shapes(const morlund::GP2Track& track, int scale);

private:
    // What the kept picture shows.
    struct Shown {
        QSize size;
        int scale = 0;
        double offsetX = 0, offsetY = 0;
        int drawFlags = 0;
        bool fillMode = false;
        bool lowColour = false;
        QColor background;
        const void* gp2 = nullptr;
        const void* lfs = nullptr;
        const void* manager = nullptr;
        double maxRadius = 0;
        double selectionFrom = 0, selectionTo = 0, cursor = 0;
        std::vector<std::pair<const void*, bool>> laps;  // buffer, enabled
        TrackColouring colouring;
        int colouredLap = -1, referenceLap = -1;
        const void* corners = nullptr;
    };
    // Everything the coloured lap's colours depend on.
    struct ColourKey {
        TrackColouring colouring;
        const void* lap = nullptr;
        const void* reference = nullptr;
        double from = 0, to = 0;
        std::vector<std::pair<const void*, bool>> laps;
        bool operator==(const ColourKey&) const = default;
    };
    // The laps' overlays: the colour legend and the corner numbers.
    void DrawOverlays(QPainter& p, const TrackScene& scene, const TrackPaintContext& c);
    Shown Describe(const TrackScene& scene) const;
    TrackPaintContext Context(const TrackScene& scene, const QRect& clip) const;
    // The track within clip into the track image.
    void DrawTrack(const TrackScene& scene, const QRect& clip);
    // The track image and the laps within clip into the picture.
    void DrawLaps(const TrackScene& scene, const QRect& clip);
    void DrawGP2(QPainter& p, const TrackScene& scene, const TrackPaintContext& c);
    // Around the cursor: its circles and the GP2 cursor marks.
    std::vector<QRect> CursorRects(const TrackScene& scene);
    // Moves the kept images to the new offsets and draws the uncovered strips; false
    // when the move is not by whole pixels or uncovers everything.
    bool Scroll(const TrackScene& scene, const Shown& now);

    TrackLaps m_laps;
    GP2Shapes m_shapes;
    const morlund::GP2Track* m_shapesOf = nullptr;
    std::vector<ShadedVertex> m_meshScratch;
    QImage m_track;
    QImage m_picture;
    bool m_pictureValid = false;
    bool m_lapsValid = false;
    Shown m_shown;
    std::vector<QRect> m_cursorRects;  // where the cursor of the kept picture is drawn
    bool m_reduce = true;
    Counts m_counts;
    LapColours m_colours;
    std::optional<ColourKey> m_coloursOf;
};

}  // namespace tarnwick
