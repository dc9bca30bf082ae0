#pragma once

// The track under the laps: GP2 segment outlines (surface, edges, kerbs, best line, pit
// lane) and LFS meshes of colour-shaded triangles.

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <array>
#include <cstdint>
#include <vector>

#include "app/views/TrackModel.h"

class QPainter;

namespace morlund {
class GP2Track;
class LFSTrack;
}  // namespace morlund

namespace tarnwick {

// Where and how one picture of the map is drawn.
struct TrackPaintContext {
    TrackTransform t;
    QRect clip;  // device pixels that are drawn; nothing outside them changes
    const TrackState* state = nullptr;
    bool printing = false;   // black lines on white paper, no cursor marks
    bool lowColour = false;  // a screen of 8 bits or fewer: no filled regions

    // A map bounding box, widened by 3 map units, reaches the clip.
    bool Visible(int left, int bottom, int right, int top) const;
    bool Visible(const QPoint& a, const QPoint& b) const;
};

// One GP2 segment at the map's scale, in map points.
struct TrackSegmentShape {
    QPoint left;
    QPoint right;
    std::array<QPoint, 2> kerbLeft;  // kerb sets 0 and 1
    std::array<QPoint, 2> kerbRight;
    QPoint best;
    bool kerbLeftFlag = false;
    bool kerbRightFlag = false;
    bool kerbStyle = false;  // low kerb: blue and white instead of red and white
};

// The shapes of the track's segments and of its pit lane at a scale.
struct GP2Shapes {
    int scale = 0;
    std::vector<TrackSegmentShape> track;
    std::vector<TrackSegmentShape> pit;
};
GP2Shapes BuildGP2Shapes(const morlund::GP2Track& track, int scale);

// Draws one set of shapes with the layers the state shows: surface and edges, the start
// line and the cursor marks (main track), kerbs, best line. The main track is closed;
// the pit lane is open.
void DrawGP2Shapes(QPainter& p, const TrackPaintContext& c,
                   const std::vector<TrackSegmentShape>& shapes, bool pit);

// A mesh corner on the device with its colour, each component in the high byte of 16
// bits.
struct ShadedVertex {
    int x = 0;
    int y = 0;
    std::uint16_t red = 0;
    std::uint16_t green = 0;
    std::uint16_t blue = 0;
};
// Fills a triangle into an RGB32 image, the colours of its corners interpolated
// linearly across it: every pixel whose centre lies inside or on an edge, within clip.
void FillShadedTriangle(QImage& image, const QRect& clip, const ShadedVertex& a,
                        const ShadedVertex& b, const ShadedVertex& c);

// At most this many vertices of one mesh are drawn; triangles that use a later vertex
// are left out.
inline constexpr int kMaxMeshVertices = 9999;

// Draws the meshes whose squares reach the clip into the image (RGB32), checkpoints
// recoloured when the state shows them. `scratch` holds the vertices of one mesh.
void DrawLFSMeshes(QImage& image, const TrackPaintContext& c, const morlund::LFSTrack& track,
                   std::vector<ShadedVertex>& scratch);

// The map's background: dark green, or an LFS track's own colour.
inline const QColor kDefaultTrackBackground(0, 64, 0);

}  // namespace tarnwick
