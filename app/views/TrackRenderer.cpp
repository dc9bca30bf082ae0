#include "app/views/TrackRenderer.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "pellith/analysis/Corners.h"

namespace tarnwick {

namespace {

// Meshes printed through an image are drawn at most this many pixels along its longer
// side, then scaled onto the page.
constexpr int kMeshImageSide = 3000;

// Moves an RGB32 image's pixels by (dx, dy); what is uncovered keeps its old pixels.
void ShiftImage(QImage& image, int dx, int dy) {
    const int w = image.width();
    const int h = image.height();
    const int width = w - std::abs(dx);
    if (width <= 0 || std::abs(dy) >= h) return;
    uchar* bits = image.bits();
    const qsizetype stride = image.bytesPerLine();
    auto move = [&](int to, int from) {
        auto* dst = reinterpret_cast<QRgb*>(bits + to * stride) + std::max(dx, 0);
        const auto* src = reinterpret_cast<const QRgb*>(bits + from * stride) + std::max(-dx, 0);
        std::memmove(dst, src, static_cast<std::size_t>(width) * sizeof(QRgb));
    };
    if (dy >= 0) {
        for (int y = h - 1; y >= dy; --y)
            move(y, y - dy);
    } else {
        for (int y = 0; y < h + dy; ++y)
            move(y, y - dy);
    }
}

void CopyRect(const QImage& from, QImage& to, const QRect& rect) {
    const QRect r = rect & from.rect() & to.rect();
    if (r.isEmpty()) return;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        std::memcpy(reinterpret_cast<QRgb*>(to.scanLine(y)) + r.left(),
                    reinterpret_cast<const QRgb*>(from.constScanLine(y)) + r.left(),
                    static_cast<std::size_t>(r.width()) * sizeof(QRgb));
    }
}

// Overlapping rectangles joined: the circles of laps driven side by side are drawn
// again once.
std::vector<QRect> Merged(std::vector<QRect> rects) {
    for (bool joined = true; joined;) {
        joined = false;
        for (std::size_t i = 0; i < rects.size() && !joined; ++i) {
            for (std::size_t j = i + 1; j < rects.size(); ++j) {
                if (!rects[i].intersects(rects[j])) continue;
                rects[i] |= rects[j];
                rects.erase(rects.begin() + static_cast<std::ptrdiff_t>(j));
                joined = true;
                break;
            }
        }
    }
    return rects;
}

QColor Erase(const TrackScene& scene) {
    return scene.state->fillMode && !scene.lowColour ? scene.background : QColor(Qt::black);
}

}  // namespace

const GP2Shapes& TrackRenderer::Shapes(const morlund::GP2Track& track, int scale) {
    if (m_shapesOf != &track || m_shapes.scale != scale) {
        m_shapes = BuildGP2Shapes(track, scale);
        m_shapesOf = &track;
    }
    return m_shapes;
}

void TrackRenderer::DropLaps() {
    m_laps.Clear();
    m_coloursOf.reset();
    m_lapsValid = false;
}

void TrackRenderer::DropLap(const morlund::PerfCore* buffer) {
    m_laps.Drop(buffer);
    m_coloursOf.reset();
    m_lapsValid = false;
}

void TrackRenderer::KeepOnly(const std::vector<const morlund::PerfCore*>& buffers) {
    m_laps.KeepOnly(buffers);
    m_coloursOf.reset();
    m_lapsValid = false;
}

void TrackRenderer::SetReduce(bool reduce) {
    m_reduce = reduce;
    m_lapsValid = false;
}

TrackPaintContext TrackRenderer::Context(const TrackScene& scene, const QRect& clip) const {
    TrackPaintContext c;
    c.t = MakeTrackTransform(*scene.state, scene.drawRect);
    c.clip = clip;
    c.state = scene.state;
    c.printing = scene.printing;
    c.lowColour = scene.lowColour;
    return c;
}

void TrackRenderer::DrawGP2(QPainter& p, const TrackScene& scene, const TrackPaintContext& c) {
    const GP2Shapes& shapes = Shapes(*scene.gp2, scene.state->scale);
    DrawGP2Shapes(p, c, shapes.track, false);
    if (scene.state->Shows(kLayerPitLane) && !shapes.pit.empty())
        DrawGP2Shapes(p, c, shapes.pit, true);
}

// --- straight onto a painter --------------------------------------------------------------

void TrackRenderer::Paint(QPainter& painter, const TrackScene& scene, const QRect& clip) {
    const TrackPaintContext c = Context(scene, clip);
    painter.save();
    painter.setClipRect(clip);
    if (!scene.printing) painter.fillRect(clip, Erase(scene));
    if (scene.lfs != nullptr && scene.state->Shows(kLayerTrack)) {
        // Shaded triangles are drawn into an image, at most kMeshImageSide pixels wide.
        const QRect area = clip & scene.drawRect;
        if (!area.isEmpty()) {
            const double q = std::min(
                1.0, static_cast<double>(kMeshImageSide) / std::max(area.width(), area.height()));
            QImage image(std::max(1, static_cast<int>(std::ceil(area.width() * q))),
                         std::max(1, static_cast<int>(std::ceil(area.height() * q))),
                         QImage::Format_RGB32);
            image.fill(scene.printing ? QColor(Qt::white) : Erase(scene));
            TrackPaintContext ic = c;
            ic.t.k *= q;
            ic.t.tx = (c.t.tx - area.left()) * q;
            ic.t.ty = (c.t.ty - area.top()) * q;
            ic.clip = image.rect();
            DrawLFSMeshes(image, ic, *scene.lfs, m_meshScratch);
            painter.drawImage(QRectF(area), image);
        }
    }
    if (scene.gp2 != nullptr) DrawGP2(painter, scene, c);
    if (scene.manager != nullptr) {
        m_laps.Draw(painter, c, *scene.manager, scene.maxRadius, m_reduce, &Colours(scene),
                    scene.colouredLap);
        DrawOverlays(painter, scene, c);
    }
    painter.restore();
}

const LapColours& TrackRenderer::Colours(const TrackScene& scene) {
    ColourKey key;
    const TrackState& s = *scene.state;
    key.colouring = s.colouring;
    if (scene.manager != nullptr && s.colouring.mode != TrackColouring::kLapColour) {
        const morlund::BufManager& m = *scene.manager;
        key.lap = m.HasBuffer(scene.colouredLap) ? m.GetBuffer(scene.colouredLap) : nullptr;
        key.reference = m.HasBuffer(scene.referenceLap) ? m.GetBuffer(scene.referenceLap) : nullptr;
        if (s.colouring.stretchRange) {
            key.from = s.selectionFrom;
            key.to = s.selectionTo;
        }
        if (s.colouring.mode == TrackColouring::kFastestSector)
            for (int b = 0; b < m.GetBufCount(); ++b)
                key.laps.emplace_back(m.GetBuffer(b), m.GetBuffer(b)->IsEnabled());
    }
    if (m_coloursOf && *m_coloursOf == key) return m_colours;
    m_colours = scene.manager != nullptr && key.lap != nullptr
                    ? ComputeLapColours(s.colouring, *scene.manager, scene.colouredLap,
                                        scene.referenceLap, key.from, key.to)
                    : LapColours();
    m_coloursOf = std::move(key);
    return m_colours;
}

void TrackRenderer::DrawOverlays(QPainter& p, const TrackScene& scene, const TrackPaintContext& c) {
    const morlund::BufManager& m = *scene.manager;
    if (scene.corners != nullptr && scene.state->Shows(kLayerCorners) &&
        m.HasBuffer(scene.referenceLap)) {
        // Each corner's number beside the reference lap's line at its apex.
        const morlund::PerfCore& reference = *m.GetBuffer(scene.referenceLap);
        p.save();
        QFont font = p.font();
        font.setBold(true);
        p.setFont(font);
        const QFontMetrics fm(font);
        for (std::size_t k = 0; k < scene.corners->size(); ++k) {
            const std::optional<int> sample = CursorSample(reference, (*scene.corners)[k].apex);
            if (!sample) continue;
            const QPoint at = c.t.Device(MapPoint(reference.GetPos(*sample), scene.state->scale));
            const QString text = QString::number(k + 1);
            const int r = std::max(fm.horizontalAdvance(text), fm.height()) / 2 + 3;
            const QRect disc(at.x() + 6, at.y() - 2 * r - 6, 2 * r, 2 * r);
            if (!disc.intersects(c.clip)) continue;
            p.setPen(QPen(scene.printing ? Qt::black : Qt::white, 1));
            p.setBrush(scene.printing ? QColor(255, 255, 255) : QColor(0, 0, 0, 190));
            p.drawEllipse(disc);
            p.drawText(disc, Qt::AlignCenter, text);
        }
        p.restore();
    }
    DrawColourLegend(p, scene.drawRect, Colours(scene), scene.printing);
}

// --- the kept picture ---------------------------------------------------------------------

TrackRenderer::Shown TrackRenderer::Describe(const TrackScene& scene) const {
    const TrackState& s = *scene.state;
    Shown shown;
    shown.size = scene.drawRect.size();
    shown.scale = s.scale;
    shown.offsetX = s.offsetX;
    shown.offsetY = s.offsetY;
    shown.drawFlags = s.drawFlags;
    shown.fillMode = s.fillMode;
    shown.lowColour = scene.lowColour;
    shown.background = scene.background;
    shown.gp2 = scene.gp2;
    shown.lfs = scene.lfs;
    shown.manager = scene.manager;
    shown.maxRadius = scene.maxRadius;
    shown.selectionFrom = s.selectionFrom;
    shown.selectionTo = s.selectionTo;
    shown.cursor = s.cursor;
    shown.colouring = s.colouring;
    shown.colouredLap = scene.colouredLap;
    shown.referenceLap = scene.referenceLap;
    shown.corners = scene.corners;
    if (scene.manager != nullptr) {
        for (int b = 0; b < scene.manager->GetBufCount(); ++b) {
            const morlund::PerfCore* buffer = scene.manager->GetBuffer(b);
            shown.laps.emplace_back(buffer, buffer->IsEnabled());
        }
    }
    return shown;
}

void TrackRenderer::DrawTrack(const TrackScene& scene, const QRect& clip) {
    const QRect r = clip & m_track.rect();
    if (r.isEmpty()) return;
    const TrackPaintContext c = Context(scene, r);
    QPainter p(&m_track);
    p.setClipRect(r);
    p.fillRect(r, Erase(scene));
    if (scene.gp2 != nullptr) DrawGP2(p, scene, c);
    p.end();
    if (scene.lfs != nullptr && scene.state->Shows(kLayerTrack))
        DrawLFSMeshes(m_track, c, *scene.lfs, m_meshScratch);
}

void TrackRenderer::DrawLaps(const TrackScene& scene, const QRect& clip) {
    const QRect r = clip & m_picture.rect();
    if (r.isEmpty()) return;
    CopyRect(m_track, m_picture, r);
    if (scene.manager == nullptr) return;
    QPainter p(&m_picture);
    p.setClipRect(r);
    const TrackPaintContext c = Context(scene, r);
    m_laps.Draw(p, c, *scene.manager, scene.maxRadius, m_reduce, &Colours(scene),
                scene.colouredLap);
    DrawOverlays(p, scene, c);
}

std::vector<QRect> TrackRenderer::CursorRects(const TrackScene& scene) {
    const TrackPaintContext c = Context(scene, scene.drawRect);
    std::vector<QRect> rects;
    if (scene.manager != nullptr) rects = m_laps.CursorRects(c, *scene.manager);
    if (scene.gp2 != nullptr && scene.state->Shows(kLayerTrack)) {
        const std::vector<TrackSegmentShape>& track = Shapes(*scene.gp2, scene.state->scale).track;
        const int s = CursorSegment(scene.state->cursor);
        for (int i = s; i >= 0 && i < static_cast<int>(track.size()) && i <= s + 1; ++i) {
            const QPoint a = c.t.Device(track[static_cast<std::size_t>(i)].left);
            const QPoint b = c.t.Device(track[static_cast<std::size_t>(i)].right);
            rects.push_back(QRect(a, b).normalized().adjusted(-2, -2, 2, 2));
        }
    }
    return rects;
}

bool TrackRenderer::Scroll(const TrackScene& scene, const Shown& now) {
    const double k = MakeTrackTransform(*scene.state, scene.drawRect).k;
    const double sx = (m_shown.offsetX - now.offsetX) * k;
    const double sy = (m_shown.offsetY - now.offsetY) * k;
    const int dx = static_cast<int>(std::lround(sx));
    const int dy = static_cast<int>(std::lround(sy));
    const QRect all = m_picture.rect();
    if (std::abs(sx - dx) > 1e-6 || std::abs(sy - dy) > 1e-6 || std::abs(dx) >= all.width() ||
        std::abs(dy) >= all.height())
        return false;
    ShiftImage(m_track, dx, dy);
    ShiftImage(m_picture, dx, dy);
    const QRegion uncovered = QRegion(all) - QRegion(all.translated(dx, dy));
    for (const QRect& r : uncovered) {
        DrawTrack(scene, r);
        DrawLaps(scene, r);
    }
    for (QRect& r : m_cursorRects)
        r.translate(dx, dy);
    ++m_counts.scrolls;
    return true;
}

const QImage& TrackRenderer::Picture(const TrackScene& scene) {
    const QSize size = scene.drawRect.size();
    if (m_picture.size() != size) {
        m_picture = QImage(size, QImage::Format_RGB32);
        m_track = QImage(size, QImage::Format_RGB32);
        m_pictureValid = false;
    }
    if (m_picture.isNull()) return m_picture;
    const QRect all = m_picture.rect();
    const Shown now = Describe(scene);
    const Shown& was = m_shown;
    bool full = !m_pictureValid || now.scale != was.scale || now.drawFlags != was.drawFlags ||
                now.fillMode != was.fillMode || now.lowColour != was.lowColour ||
                now.background != was.background || now.gp2 != was.gp2 || now.lfs != was.lfs ||
                now.manager != was.manager;
    const bool moved = now.offsetX != was.offsetX || now.offsetY != was.offsetY;
    const bool lapsChanged = !m_lapsValid || now.selectionFrom != was.selectionFrom ||
                             now.selectionTo != was.selectionTo || now.laps != was.laps ||
                             now.maxRadius != was.maxRadius || !(now.colouring == was.colouring) ||
                             now.colouredLap != was.colouredLap ||
                             now.referenceLap != was.referenceLap || now.corners != was.corners;
    const bool cursorMoved = now.cursor != was.cursor;
    if (!full && !moved && !lapsChanged && !cursorMoved) return m_picture;

    // A pan by whole pixels moves the kept images; any other move draws anew.
    // The legend stays in its corner while the map moves under it.
    if (!full && moved && Colours(scene).legend != LapColours::kNoLegend) full = true;
    if (!full && moved) full = !Scroll(scene, now);
    if (full) {
        DrawTrack(scene, all);
        DrawLaps(scene, all);
        m_cursorRects = CursorRects(scene);
        ++m_counts.full;
    } else {
        if (cursorMoved) {
            std::vector<QRect> current = CursorRects(scene);
            std::vector<QRect> dirty = m_cursorRects;
            dirty.insert(dirty.end(), current.begin(), current.end());
            dirty = Merged(std::move(dirty));
            // The GP2 cursor marks lie in the track image.
            for (const QRect& r : dirty)
                DrawTrack(scene, r);
            if (!lapsChanged) {
                for (const QRect& r : dirty)
                    DrawLaps(scene, r);
                ++m_counts.cursor;
            }
            m_cursorRects = std::move(current);
        }
        if (lapsChanged) {
            DrawLaps(scene, all);
            m_cursorRects = CursorRects(scene);
            ++m_counts.laps;
        }
    }
    m_shown = now;
    m_pictureValid = true;
    m_lapsValid = true;
    return m_picture;
}

}  // namespace tarnwick
