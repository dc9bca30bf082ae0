#include "app/views/TrackLaps.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "app/graph/GraphRenderer.h"
#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"

namespace tarnwick {

using morlund::PerfCore;

namespace {

const QColor kGreyLine(128, 128, 128);

QPen LapPen(const QColor& colour) {
    QPen pen(colour, 1);
    pen.setCosmetic(true);
    return pen;
}

// The first index in [0, n) for which `before` is false (before is true for a prefix).
template <typename Before>
int FirstNotBefore(int n, Before before) {
    int lo = 0, hi = n;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (before(mid))
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

QRect DeviceBounds(const TrackTransform& t, const QRect& map, int margin) {
    return t.DeviceRect(map.left(), map.top(), map.right(), map.bottom(), margin);
}

void DrawCircle(QPainter& p, const TrackPaintContext& c, const QPoint& centre) {
    const double r = kCursorCircleRadius * c.t.k;
    p.drawEllipse(QPointF(c.t.Device(centre)), r, r);
}

QRect CircleRect(const TrackPaintContext& c, const QPoint& centre) {
    const int r = static_cast<int>(std::ceil(kCursorCircleRadius * c.t.k)) + 2;
    const QPoint d = c.t.Device(centre);
    return QRect(d.x() - r, d.y() - r, 2 * r + 1, 2 * r + 1);
}

}  // namespace

// --- LapPath ---------------------------------------------------------------------------------

int LapPath::PointOf(int sample) const {
    const auto it = std::upper_bound(firstSample.begin(), firstSample.end(), sample);
    return std::max(static_cast<int>(it - firstSample.begin()) - 1, 0);
}

void LapPath::AddPoint(const QPoint& p, int sample) {
    if (!points.empty() && points.back() == p) return;
    points.push_back(p);
    firstSample.push_back(sample);
}

void LapPath::FinishBounds() {
    bounds.clear();
    const int m = static_cast<int>(points.size());
    for (int first = 0; first < m; first += kBlock) {
        const int last = std::min(first + kBlock, m - 1);
        QPoint lo = points[static_cast<std::size_t>(first)];
        QPoint hi = lo;
        for (int k = first + 1; k <= last; ++k) {
            const QPoint& q = points[static_cast<std::size_t>(k)];
            lo = QPoint(std::min(lo.x(), q.x()), std::min(lo.y(), q.y()));
            hi = QPoint(std::max(hi.x(), q.x()), std::max(hi.y(), q.y()));
        }
        bounds.emplace_back(lo, hi);
    }
}

LapPath LapPath::Divided(int scale) const {
    LapPath out;
    out.points.reserve(points.size() / static_cast<std::size_t>(std::max(scale, 1)) + 2);
    for (std::size_t k = 0; k < points.size(); ++k)
        out.AddPoint(QPoint(points[k].x() / scale, points[k].y() / scale), firstSample[k]);
    out.FinishBounds();
    return out;
}

// --- TrackLaps -------------------------------------------------------------------------------

void TrackLaps::KeepOnly(const std::vector<const PerfCore*>& buffers) {
    std::erase_if(m_laps, [&buffers](const auto& entry) {
        return std::find(buffers.begin(), buffers.end(), entry.first) == buffers.end();
    });
}

TrackLaps::Lap& TrackLaps::Get(const PerfCore& buffer) {
    std::unique_ptr<Lap>& slot = m_laps[&buffer];
    if (slot) return *slot;
    slot = std::make_unique<Lap>();
    Lap& lap = *slot;
    lap.samples = buffer.GetSampleCount();
    std::vector<double> distances(static_cast<std::size_t>(std::max(lap.samples, 0)));
    for (int i = 0; i < lap.samples; ++i) {
        lap.unit.AddPoint(MapPoint(buffer.GetPos(i), 1), i);
        distances[static_cast<std::size_t>(i)] = buffer.GetDistance(i);
        if (i > 0 &&
            !(distances[static_cast<std::size_t>(i)] >= distances[static_cast<std::size_t>(i) - 1]))
            lap.ordered = false;
    }
    lap.unit.FinishBounds();
    // Ordered distances are searched in the lap itself.
    if (!lap.ordered) lap.distances = std::move(distances);
    return lap;
}

const LapPath& TrackLaps::Line(Lap& lap, int scale) {
    if (scale == 1) return lap.unit;
    if (lap.scale != scale) {
        lap.scaled = lap.unit.Divided(scale);
        lap.scale = scale;
    }
    return lap.scaled;
}

const LapPath& TrackLaps::Centres(Lap& lap, const PerfCore& buffer, int scale, double maxRadius) {
    if (lap.centresLimit != maxRadius) {
        lap.centresUnit = LapPath();
        for (int i = 1; i < lap.samples; ++i) {
            const morlund::Vect r = buffer.GetRadius(i);
            if (std::trunc(r.x) == 0.0 && std::trunc(r.y) == 0.0) continue;
            if (!(PerfCore::RadiusLength(r) < maxRadius)) continue;
            lap.centresUnit.AddPoint(MapPoint(buffer.GetPos(i) + r, 1), i);
        }
        lap.centresUnit.FinishBounds();
        lap.centresLimit = maxRadius;
        lap.centresScale = 0;
    }
    if (scale == 1) return lap.centresUnit;
    if (lap.centresScale != scale) {
        lap.centres = lap.centresUnit.Divided(scale);
        lap.centresScale = scale;
    }
    return lap.centres;
}

LapMarks TrackLaps::Marks(const PerfCore& buffer, const TrackState& s) {
    Lap& lap = Get(buffer);
    LapMarks marks;
    const int n = lap.samples;
    if (n <= 0) return marks;
    auto distance = [&](int i) {
        return lap.ordered ? buffer.GetDistance(i) : lap.distances[static_cast<std::size_t>(i)];
    };
    const double from = s.selectionFrom;
    const double to = s.selectionTo;
    const double cursor = s.cursor;
    marks.startGrey = distance(0) < from;
    if (lap.ordered) {
        // Each edge is crossed once at most: at the first sample that reaches it.
        const int in = FirstNotBefore(n, [&](int i) { return distance(i) < from; });
        const int out = FirstNotBefore(n, [&](int i) { return !(distance(i) > to); });
        const int circle = FirstNotBefore(n, [&](int i) { return distance(i) < cursor; });
        if (in >= 1 && in < n) marks.changes.push_back({in, false});
        if (out >= 1 && out < n) marks.changes.push_back({out, true});
        std::stable_sort(marks.changes.begin(), marks.changes.end(),
                         [](const auto& a, const auto& b) { return a.sample < b.sample; });
        if (circle >= 1 && circle < n) marks.circles.push_back(circle);
        return marks;
    }
    for (int i = 1; i < n; ++i) {
        const double d = lap.distances[static_cast<std::size_t>(i)];
        const double previous = lap.distances[static_cast<std::size_t>(i) - 1];
        if (d >= from && from > previous) marks.changes.push_back({i, false});
        if (d > to && to >= previous) marks.changes.push_back({i, true});
        if (d >= cursor && cursor > previous) marks.circles.push_back(i);
    }
    return marks;
}

void TrackLaps::Draw(QPainter& p, const TrackPaintContext& c, const morlund::BufManager& manager,
                     double maxRadius, bool reduce, const LapColours* colours, int colouredLap) {
    p.setBrush(Qt::white);
    const bool coloured = colours != nullptr && !colours->Empty() &&
                          manager.HasBuffer(colouredLap) &&
                          manager.GetBuffer(colouredLap)->GetSampleCount() ==
                              static_cast<int>(colours->sampleColour.size());
    for (int b = 0; b < manager.GetBufCount(); ++b) {
        const PerfCore* buffer = manager.GetBuffer(b);
        if (buffer == nullptr || !buffer->IsEnabled() || buffer->GetSampleCount() <= 0) continue;
        if (coloured && b == colouredLap) continue;
        const QColor colour = GraphRenderer::ToQColor(morlund::BufManager::GetBufColor(b));
        if (reduce)
            DrawLap(p, c, *buffer, colour, maxRadius);
        else
            DrawEverySegment(p, c, *buffer, colour, maxRadius);
    }
    if (coloured) DrawColouredLap(p, c, *manager.GetBuffer(colouredLap), *colours);
}

// Runs of points of one colour as polylines, each run starting on the last point of the
// run before so that the line has no gaps; blocks off the clip are skipped as in DrawLap.
void TrackLaps::DrawColouredLap(QPainter& p, const TrackPaintContext& c, const PerfCore& buffer,
                                const LapColours& colours) {
    Lap& lap = Get(buffer);
    const LapPath& line = Line(lap, c.state->scale);
    if (line.points.empty()) return;
    std::vector<QPen> pens;
    for (const QColor& colour : colours.palette) {
        QPen pen(colour, 2);
        pen.setCosmetic(true);
        pens.push_back(pen);
    }
    auto colourOf = [&](std::size_t k) {
        const auto sample = static_cast<std::size_t>(line.firstSample[k]);
        return std::min<int>(colours.sampleColour[sample], static_cast<int>(pens.size()) - 1);
    };
    int current = -1;
    m_run.clear();
    auto flush = [&] {
        if (m_run.size() > 1) p.drawPolyline(m_run.data(), static_cast<int>(m_run.size()));
        m_run.clear();
    };
    const int m = static_cast<int>(line.points.size());
    for (int b = 0; b * LapPath::kBlock < m; ++b) {
        if (!DeviceBounds(c.t, line.bounds[static_cast<std::size_t>(b)], 3).intersects(c.clip)) {
            flush();
            current = -1;
            continue;
        }
        const int first = b * LapPath::kBlock;
        const int last = std::min((b + 1) * LapPath::kBlock, m - 1);
        for (int k = first; k <= last; ++k) {
            const QPoint d = c.t.Device(line.points[static_cast<std::size_t>(k)]);
            const int colour = colourOf(static_cast<std::size_t>(k));
            if (colour != current) {
                const QPoint joint = m_run.empty() ? d : m_run.back();
                flush();
                current = colour;
                p.setPen(pens[static_cast<std::size_t>(colour)]);
                m_run.push_back(joint);
            }
            if (m_run.back() != d) m_run.push_back(d);
        }
    }
    flush();
    const QPoint& end = line.points.back();
    const QPoint& start = line.points.front();
    if (c.Visible(end, start)) p.drawLine(c.t.Device(end), c.t.Device(start));
    p.setPen(LapPen(Qt::white));
    for (const int sample : Marks(buffer, *c.state).circles)
        DrawCircle(p, c, line.points[static_cast<std::size_t>(line.PointOf(sample))]);
}

std::vector<QRect> TrackLaps::CursorRects(const TrackPaintContext& c,
                                          const morlund::BufManager& manager) {
    std::vector<QRect> rects;
    for (int b = 0; b < manager.GetBufCount(); ++b) {
        const PerfCore* buffer = manager.GetBuffer(b);
        if (buffer == nullptr || !buffer->IsEnabled() || buffer->GetSampleCount() <= 0) continue;
        Lap& lap = Get(*buffer);
        const LapPath& line = Line(lap, c.state->scale);
        for (const int sample : Marks(*buffer, *c.state).circles)
            rects.push_back(
                CircleRect(c, line.points[static_cast<std::size_t>(line.PointOf(sample))]));
    }
    return rects;
}

void TrackLaps::DrawLap(QPainter& p, const TrackPaintContext& c, const PerfCore& buffer,
                        const QColor& colour, double maxRadius) {
    Lap& lap = Get(buffer);
    const LapPath& line = Line(lap, c.state->scale);
    const LapMarks marks = Marks(buffer, *c.state);
    const QPen own = LapPen(colour);
    const QPen grey = LapPen(kGreyLine);
    bool greyNow = marks.startGrey;
    p.setPen(greyNow ? grey : own);

    // The polyline of samples [from, to] in the current pen, block by block.
    auto polyline = [&](int from, int to) {
        const int k0 = line.PointOf(from);
        const int k1 = line.PointOf(to);
        if (k1 <= k0) return;
        auto flush = [&] {
            if (m_run.size() > 1)
                p.drawPolyline(m_run.data(), static_cast<int>(m_run.size()));
            else if (m_run.size() == 1)
                p.drawPoint(m_run.front());  // a stretch within one pixel
            m_run.clear();
        };
        for (int b = k0 / LapPath::kBlock; b * LapPath::kBlock < k1; ++b) {
            if (!DeviceBounds(c.t, line.bounds[static_cast<std::size_t>(b)], 2)
                     .intersects(c.clip)) {
                flush();
                continue;
            }
            const int first = std::max(k0, b * LapPath::kBlock);
            const int last = std::min(k1, (b + 1) * LapPath::kBlock);
            for (int k = first; k <= last; ++k) {
                const QPoint d = c.t.Device(line.points[static_cast<std::size_t>(k)]);
                if (m_run.empty() || m_run.back() != d) m_run.push_back(d);
            }
        }
        flush();
    };

    // Pen changes and circles in sample order; at one sample the pen changes first.
    std::size_t ci = 0, ki = 0;
    int from = 0;
    while (ci < marks.changes.size() || ki < marks.circles.size()) {
        const bool change =
            ki >= marks.circles.size() ||
            (ci < marks.changes.size() && marks.changes[ci].sample <= marks.circles[ki]);
        const int sample = change ? marks.changes[ci].sample : marks.circles[ki];
        polyline(from, sample - 1);
        from = sample - 1;
        if (change) {
            greyNow = marks.changes[ci++].grey;
            p.setPen(greyNow ? grey : own);
        } else {
            ++ki;
            DrawCircle(p, c, line.points[static_cast<std::size_t>(line.PointOf(sample))]);
        }
    }
    polyline(from, lap.samples - 1);
    const QPoint& end = line.points.back();
    const QPoint& start = line.points.front();
    if (c.Visible(end, start)) p.drawLine(c.t.Device(end), c.t.Device(start));

    if (!c.state->Shows(kLayerRadius)) return;
    const LapPath& centres = Centres(lap, buffer, c.state->scale, maxRadius);
    m_run.clear();
    for (std::size_t b = 0; b < centres.bounds.size(); ++b) {
        if (!DeviceBounds(c.t, centres.bounds[b], 1).intersects(c.clip)) continue;
        const std::size_t head = b * LapPath::kBlock;
        const std::size_t tail = std::min(head + LapPath::kBlock, centres.points.size());
        for (std::size_t k = head; k < tail; ++k) {
            const QPoint d = c.t.Device(centres.points[k]);
            if (m_run.empty() || m_run.back() != d) m_run.push_back(d);
        }
    }
    p.setPen(own);
    p.drawPoints(m_run.data(), static_cast<int>(m_run.size()));
    m_run.clear();
}

void TrackLaps::DrawEverySegment(QPainter& p, const TrackPaintContext& c, const PerfCore& buffer,
                                 const QColor& colour, double maxRadius) const {
    const TrackState& s = *c.state;
    const int n = buffer.GetSampleCount();
    const QPen own = LapPen(colour);
    const QPen grey = LapPen(kGreyLine);
    p.setPen(buffer.GetDistance(0) < s.selectionFrom ? grey : own);
    QPoint previous = MapPoint(buffer.GetPos(0), s.scale);
    double before = buffer.GetDistance(0);
    for (int i = 1; i < n; ++i) {
        const double d = buffer.GetDistance(i);
        const QPoint point = MapPoint(buffer.GetPos(i), s.scale);
        if (d >= s.selectionFrom && s.selectionFrom > before) p.setPen(own);
        if (d > s.selectionTo && s.selectionTo >= before) p.setPen(grey);
        if (d >= s.cursor && s.cursor > before) DrawCircle(p, c, point);
        if (c.Visible(previous, point)) p.drawLine(c.t.Device(previous), c.t.Device(point));
        previous = point;
        before = d;
    }
    const QPoint first = MapPoint(buffer.GetPos(0), s.scale);
    if (c.Visible(previous, first)) p.drawLine(c.t.Device(previous), c.t.Device(first));
    if (!s.Shows(kLayerRadius)) return;
    p.setPen(own);
    for (int i = 1; i < n; ++i) {
        const morlund::Vect r = buffer.GetRadius(i);
        if (std::trunc(r.x) == 0.0 && std::trunc(r.y) == 0.0) continue;
        if (!(PerfCore::RadiusLength(r) < maxRadius)) continue;
        const QPoint centre = MapPoint(buffer.GetPos(i) + r, s.scale);
        if (c.Visible(centre, centre)) p.drawPoint(c.t.Device(centre));
    }
}

}  // namespace tarnwick
