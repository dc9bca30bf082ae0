#include "app/views/TrackShapes.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "morlund/track/GP2Track.h"
#include "morlund/track/LFSTrack.h"

namespace tarnwick {

namespace {

QPen Pen(const QColor& colour, Qt::PenStyle style = Qt::SolidLine) {
    QPen pen(colour, 1, style);
    pen.setCosmetic(true);
    return pen;
}

const QColor kEdge(255, 255, 255);
const QColor kPit(255, 255, 0);
const QColor kBestLine(200, 200, 200);
const QColor kKerbBlue(0, 0, 160);
const QColor kKerbRed(255, 64, 64);
const QColor kMark(255, 255, 255);
const QColor kGrey(128, 128, 128);
const QColor kKerbNavy(0, 0, 128);
const QColor kKerbDarkRed(128, 32, 32);
const QColor kKerbSilver(192, 192, 192);
const QColor kKerbLightGrey(224, 224, 224);
const QColor kWhite(255, 255, 255);
const QColor kAsphalt(10, 10, 10);

// The brush of a filled kerb quad: the stripe (alternation flag), the kerb style and the
// kerb set.
const QColor& KerbColour(bool stripe, bool style, int set) {
    if (!stripe) {
        if (style) return set == 0 ? kKerbBlue : kKerbNavy;
        return set == 0 ? kKerbRed : kKerbDarkRed;
    }
    if (set == 0) return kWhite;
    return style ? kKerbLightGrey : kKerbSilver;
}

QPoint Lower(const QPoint& a, const QPoint& b) {
    return {std::min(a.x(), b.x()), std::min(a.y(), b.y())};
}
QPoint Upper(const QPoint& a, const QPoint& b) {
    return {std::max(a.x(), b.x()), std::max(a.y(), b.y())};
}

bool QuadVisible(const TrackPaintContext& c, const std::array<QPoint, 4>& q) {
    const QPoint lo = Lower(Lower(q[0], q[1]), Lower(q[2], q[3]));
    const QPoint hi = Upper(Upper(q[0], q[1]), Upper(q[2], q[3]));
    return c.Visible(lo.x(), lo.y(), hi.x(), hi.y());
}

void FillQuad(QPainter& p, const TrackPaintContext& c, const std::array<QPoint, 4>& q) {
    const std::array<QPoint, 4> d = {c.t.Device(q[0]), c.t.Device(q[1]), c.t.Device(q[2]),
                                     c.t.Device(q[3])};
    p.drawPolygon(d.data(), 4, Qt::WindingFill);
}

void Line(QPainter& p, const TrackPaintContext& c, const QPoint& a, const QPoint& b) {
    p.drawLine(c.t.Device(a), c.t.Device(b));
}

void DrawKerbs(QPainter& p, const TrackPaintContext& c, const std::vector<TrackSegmentShape>& s,
               int quads) {
    const int n = static_cast<int>(s.size());
    const bool fill = c.state->fillMode;
    for (int set = 0; set < 2; ++set) {
        bool stripe = false;
        for (int i = 0; i < quads; ++i) {
            const TrackSegmentShape& a = s[static_cast<std::size_t>(i)];
            const TrackSegmentShape& b = s[static_cast<std::size_t>((i + 1) % n)];
            std::array<QPoint, 4> q;
            if (a.kerbLeftFlag) {
                q = {a.left, b.left, b.kerbLeft[set], a.kerbLeft[set]};
            } else if (a.kerbRightFlag) {
                q = {a.right, b.right, b.kerbRight[set], a.kerbRight[set]};
            } else {
                stripe = false;
                continue;
            }
            if (fill) {
                // Every kerb quad counts for the stripes, seen or not, so that the stripes
                // stay where they are when the map moves.
                if (QuadVisible(c, q)) {
                    p.setPen(Qt::NoPen);
                    p.setBrush(KerbColour(stripe, a.kerbStyle, set));
                    FillQuad(p, c, q);
                }
            } else {
                const QColor& colour = stripe        ? (c.printing ? kGrey : kMark)
                                       : a.kerbStyle ? kKerbBlue
                                                     : kKerbRed;
                p.setPen(Pen(colour));
                p.setBrush(Qt::NoBrush);
                FillQuad(p, c, q);
            }
            stripe = !stripe;
        }
    }
}

void DrawBestLine(QPainter& p, const TrackPaintContext& c, const std::vector<TrackSegmentShape>& s,
                  int segments) {
    const int n = static_cast<int>(s.size());
    p.setPen(Pen(kBestLine, Qt::DashDotDotLine));
    // The gaps of the dashes show the asphalt's colour.
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(kAsphalt);
    // One polyline, however much of it shows, so that the dashes keep their places
    // when only a part of the map is drawn again.
    std::vector<QPoint> line;
    line.reserve(static_cast<std::size_t>(segments) + 1);
    for (int i = 0; i <= segments; ++i)
        line.push_back(c.t.Device(s[static_cast<std::size_t>(i % n)].best));
    p.drawPolyline(line.data(), static_cast<int>(line.size()));
    p.setBackgroundMode(Qt::TransparentMode);
}

}  // namespace

bool TrackPaintContext::Visible(int left, int bottom, int right, int top) const {
    return t.DeviceRect(left - 3, bottom - 3, right + 3, top + 3, 1).intersects(clip);
}

bool TrackPaintContext::Visible(const QPoint& a, const QPoint& b) const {
    const QPoint lo = Lower(a, b);
    const QPoint hi = Upper(a, b);
    return Visible(lo.x(), lo.y(), hi.x(), hi.y());
}

GP2Shapes BuildGP2Shapes(const morlund::GP2Track& track, int scale) {
    GP2Shapes shapes;
    shapes.scale = scale;
    auto build = [&](const morlund::GP2SEGINFO* segs, int count,
                     std::vector<TrackSegmentShape>& out) {
        if (segs == nullptr) return;
        out.reserve(static_cast<std::size_t>(std::max(count, 0)));
        for (int i = 0; i < count; ++i) {
            morlund::GP2SegObj seg(segs + i, scale);
            auto toPoint = [](const morlund::TrackPoint& p) { return QPoint(p.x, p.y); };
            TrackSegmentShape shape;
            shape.left = toPoint(seg.PosLeft());
            shape.right = toPoint(seg.PosRight());
            shape.best = toPoint(seg.CCLinePos());
            for (int set = 0; set < 2; ++set) {
                track.InitSegCurbs(seg, set);
                shape.kerbLeft[set] = toPoint(seg.CurbPosLeft());
                shape.kerbRight[set] = toPoint(seg.CurbPosRight());
            }
            shape.kerbLeftFlag = seg.HasCurbLeft();
            shape.kerbRightFlag = seg.HasCurbRight();
            shape.kerbStyle = seg.CurbLow();
            out.push_back(shape);
        }
    };
    build(track.GetSegs(), track.GetNumSegs(), shapes.track);
    build(track.GetPitSegs(), track.GetNumPitSegs(), shapes.pit);
    return shapes;
}

void DrawGP2Shapes(QPainter& p, const TrackPaintContext& c, const std::vector<TrackSegmentShape>& s,
                   bool pit) {
    const int n = static_cast<int>(s.size());
    if (n == 0) return;
    const int quads = pit ? n - 1 : n;
    const TrackState& st = *c.state;
    auto at = [&s](int i) -> const TrackSegmentShape& { return s[static_cast<std::size_t>(i)]; };
    auto next = [n](int i) { return (i + 1) % n; };
    const QColor startColour = c.printing ? Qt::black : kMark;

    if (st.Shows(kLayerTrack)) {
        if (st.fillMode) {
            const QPen edge = Pen(pit ? kPit : (c.printing ? QColor(Qt::black) : kEdge));
            for (int i = 0; i < quads; ++i) {
                const std::array<QPoint, 4> q = {at(i).left, at(next(i)).left, at(next(i)).right,
                                                 at(i).right};
                if (!QuadVisible(c, q)) continue;
                if (!c.lowColour || c.printing) {
                    p.setPen(Qt::NoPen);
                    p.setBrush(kAsphalt);
                    FillQuad(p, c, q);
                }
                p.setPen(edge);
                Line(p, c, q[0], q[1]);
                Line(p, c, q[3], q[2]);
            }
            if (!pit) {
                p.setPen(Pen(startColour));
                Line(p, c, at(0).left, at(0).right);
            }
        } else {
            if (!pit && c.Visible(at(0).left, at(0).right)) {
                p.setPen(Pen(startColour));
                Line(p, c, at(0).left, at(0).right);
            }
            p.setPen(Pen(c.printing ? (pit ? kGrey : QColor(Qt::black)) : (pit ? kPit : kEdge)));
            for (int i = 0; i < quads; ++i) {
                if (c.Visible(at(i).left, at(next(i)).left))
                    Line(p, c, at(i).left, at(next(i)).left);
                if (c.Visible(at(i).right, at(next(i)).right))
                    Line(p, c, at(i).right, at(next(i)).right);
            }
        }
        // Where the cursor stands: the cross lines of its segment and the next.
        const int cursor = CursorSegment(st.cursor);
        if (!pit && !c.printing && cursor >= 0 && cursor < n) {
            p.setPen(Pen(kMark));
            Line(p, c, at(cursor).left, at(cursor).right);
            if (cursor + 1 < n) Line(p, c, at(cursor + 1).left, at(cursor + 1).right);
        }
    }
    if (st.Shows(kLayerKerbs)) DrawKerbs(p, c, s, quads);
    if (st.Shows(kLayerBestLine)) DrawBestLine(p, c, s, quads);
}

// --- LFS meshes -------------------------------------------------------------------------------

namespace {

// floor(a / b) and ceil(a / b) for b > 0.
long long FloorDiv(long long a, long long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
long long CeilDiv(long long a, long long b) { return -FloorDiv(-a, b); }

std::uint8_t Component(double value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0.0, 65535.0) / 256.0);
}

}  // namespace

void FillShadedTriangle(QImage& image, const QRect& clip, const ShadedVertex& a,
                        const ShadedVertex& b, const ShadedVertex& c) {
    // Doubled coordinates: corners are even, pixel centres odd, and every edge test exact.
    const std::array<const ShadedVertex*, 3> v = {&a, &b, &c};
    auto X = [&](int i) { return 2LL * v[static_cast<std::size_t>(i)]->x; };
    auto Y = [&](int i) { return 2LL * v[static_cast<std::size_t>(i)]->y; };
    // Edge i runs from corner i+1 to corner i+2: E_i(p) = ex * (py - y0) - ey * (px - x0),
    // positive inside for one turning sense; area is E_0 at corner 0.
    long long ex[3], ey[3], x0[3], y0[3];
    for (int i = 0; i < 3; ++i) {
        const int j = (i + 1) % 3, k = (i + 2) % 3;
        ex[i] = X(k) - X(j);
        ey[i] = Y(k) - Y(j);
        x0[i] = X(j);
        y0[i] = Y(j);
    }
    long long area = ex[0] * (Y(0) - y0[0]) - ey[0] * (X(0) - x0[0]);
    if (area == 0) return;
    const long long sense = area > 0 ? 1 : -1;
    area *= sense;

    const QRect box = clip & image.rect() &
                      QRect(QPoint(std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y})),
                            QPoint(std::max({a.x, b.x, c.x}), std::max({a.y, b.y, c.y})));
    if (box.isEmpty()) return;
    // The colour planes: value = sum of w_i * colour_i / area, w_i the edge functions.
    auto plane = [&](auto member) {
        std::array<double, 3> k{};
        for (int i = 0; i < 3; ++i)
            k[static_cast<std::size_t>(i)] = v[static_cast<std::size_t>(i)]->*member;
        return k;
    };
    const auto reds = plane(&ShadedVertex::red);
    const auto greens = plane(&ShadedVertex::green);
    const auto blues = plane(&ShadedVertex::blue);

    for (int y = box.top(); y <= box.bottom(); ++y) {
        const long long sy = 2LL * y + 1;
        // E_i(sx) = A_i * sx + K_i >= 0, with A_i = -ey * sense.
        long long lo = 2LL * box.left() + 1;
        long long hi = 2LL * box.right() + 1;
        long long A[3], K[3];
        for (int i = 0; i < 3; ++i) {
            A[i] = -ey[i] * sense;
            K[i] = (ex[i] * (sy - y0[i]) + ey[i] * x0[i]) * sense;
            if (A[i] > 0)
                lo = std::max(lo, CeilDiv(-K[i], A[i]));
            else if (A[i] < 0)
                hi = std::min(hi, FloorDiv(K[i], -A[i]));
            else if (K[i] < 0)
                hi = lo - 1;
        }
        // Odd sample positions only: pixel x has its centre at 2x + 1.
        const long long first = CeilDiv(lo - 1, 2);
        const long long last = FloorDiv(hi - 1, 2);
        if (first > last) continue;
        auto colourAt = [&](const std::array<double, 3>& k, long long sx) {
            double sum = 0.0;
            for (int i = 0; i < 3; ++i)
                sum += static_cast<double>(A[i] * sx + K[i]) * k[static_cast<std::size_t>(i)];
            return sum / static_cast<double>(area);
        };
        const long long s0 = 2 * first + 1;
        double r = colourAt(reds, s0), g = colourAt(greens, s0), bl = colourAt(blues, s0);
        const double dr = colourAt(reds, s0 + 2) - r;
        const double dg = colourAt(greens, s0 + 2) - g;
        const double db = colourAt(blues, s0 + 2) - bl;
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (long long x = first; x <= last; ++x) {
            line[x] = qRgb(Component(r), Component(g), Component(bl));
            r += dr;
            g += dg;
            bl += db;
        }
    }
}

void DrawLFSMeshes(QImage& image, const TrackPaintContext& c, const morlund::LFSTrack& track,
                   std::vector<ShadedVertex>& scratch) {
    int count = 0;
    const morlund::LFSObject* objects = track.GetObjects(count);
    if (objects == nullptr) return;
    const double f = 1.0 / (c.state->scale * kMeshUnitsPerMapUnit);
    auto map = [f](double v) {
        const double m = std::trunc(v * f);
        return static_cast<int>(std::clamp(m, -1e9, 1e9));
    };
    const bool checkpoints = c.state->Shows(kLayerCheckpoints);
    const QRect clip = c.clip & image.rect();
    scratch.resize(kMaxMeshVertices);
    for (int o = 0; o < count; ++o) {
        const morlund::LFSObject& object = objects[o];
        const QRect square = c.t.DeviceRect(map(static_cast<double>(object.square.left)),
                                            map(static_cast<double>(object.square.top)),
                                            map(static_cast<double>(object.square.right)),
                                            map(static_cast<double>(object.square.bottom)), 1);
        if (!square.intersects(clip)) continue;
        const int n = std::min(static_cast<int>(object.points.size()), kMaxMeshVertices);
        const bool recolour = checkpoints && object.trailerPos != morlund::LFSObject::kNotListed;
        const std::uint16_t checkpoint = object.trailerPos % 2 == 0 ? 0xEF00 : 0xD700;
        for (int i = 0; i < n; ++i) {
            const morlund::LFSPoint& point = object.points[static_cast<std::size_t>(i)];
            ShadedVertex& out = scratch[static_cast<std::size_t>(i)];
            const QPoint d = c.t.Device(map(point.x), map(point.y));
            out.x = d.x();
            out.y = d.y();
            out.red = recolour ? checkpoint : point.red;
            out.green = recolour ? checkpoint : point.green;
            out.blue = recolour ? 0 : point.blue;
        }
        for (const morlund::LFSTriangle& t : object.triangles) {
            // Only the copied vertices can be drawn.
            if (t.a >= n || t.b >= n || t.c >= n) continue;
            FillShadedTriangle(image, clip, scratch[t.a], scratch[t.b], scratch[t.c]);
        }
    }
}

}  // namespace tarnwick
