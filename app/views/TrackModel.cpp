#include "app/views/TrackModel.h"

#include <QSettings>
#include <algorithm>
#include <cmath>

#include "morlund/core/PerfCore.h"
#include "morlund/core/Vect.h"

namespace tarnwick {

namespace {

constexpr double kMapLimit = 1 << 30;     // map units either side of the origin
constexpr double kDeviceLimit = 1 << 28;  // device pixels either side of the origin
constexpr double kOffsetLimit = 1 << 30;

void Rescale(TrackState& s, int scale) {
    s.offsetX = s.offsetX * s.scale / scale;
    s.offsetY = s.offsetY * s.scale / scale;
    s.scale = scale;
    s.overview = false;
}

// A stored number, or nothing when the value is missing or not a number.
std::optional<long long> StoredNumber(const QSettings& settings, const QString& name) {
    const QVariant value = settings.value(name);
    if (!value.isValid()) return std::nullopt;
    bool ok = false;
    const long long number = value.toLongLong(&ok);
    if (!ok) return std::nullopt;
    return number;
}

double ClampOffset(long long stored) {
    return std::clamp(static_cast<double>(stored), -kOffsetLimit, kOffsetLimit);
}

}  // namespace

int MapCoordinate(double metres, int scale) {
    const double v = metres * MapFactor(scale);
    if (!std::isfinite(v)) return 0;
    return static_cast<int>(std::trunc(std::clamp(v, -kMapLimit, kMapLimit)));
}

QPoint MapPoint(const morlund::Vect& metres, int scale) {
    return {MapCoordinate(metres.x, scale), MapCoordinate(metres.y, scale)};
}

int TrackTransform::Round(double v) {
    if (!(v > -kDeviceLimit)) return static_cast<int>(-kDeviceLimit);  // NaN as well
    if (v > kDeviceLimit) return static_cast<int>(kDeviceLimit);
    return static_cast<int>(std::floor(v + 0.5));
}

QRect TrackTransform::DeviceRect(int left, int bottom, int right, int top, int margin) const {
    const QPoint a = Device(left, top);
    const QPoint b = Device(right, bottom);
    return QRect(QPoint(std::min(a.x(), b.x()) - margin, std::min(a.y(), b.y()) - margin),
                 QPoint(std::max(a.x(), b.x()) + margin, std::max(a.y(), b.y()) + margin));
}

TrackTransform MakeTrackTransform(const TrackState& s, const QRect& drawRect) {
    const int w = std::max(drawRect.width(), 1);
    const int h = std::max(drawRect.height(), 1);
    TrackTransform t;
    // Isotropic: the smaller side spans the map extent.
    t.k = static_cast<double>(std::min(w, h)) / kMapExtent;
    const double cx = drawRect.left() + w / 2;
    const double cy = drawRect.top() + h / 2;
    t.tx = cx - s.offsetX * t.k;
    t.ty = cy - s.offsetY * t.k;
    return t;
}

// --- zoom -------------------------------------------------------------------------------

bool ZoomTrackIn(TrackState& s, int steps) {
    const int scale = std::max(s.scale - s.scale / 32 - steps, kMinTrackScale);
    if (scale == s.scale) return false;
    Rescale(s, scale);
    return true;
}

bool ZoomTrackOut(TrackState& s, int steps) {
    Rescale(s, std::min(s.scale + s.scale / 32 + steps, kMaxTrackScale));
    return true;
}

int TakeWheelSteps(int& rest, int delta) {
    if ((rest > 0 && delta < 0) || (rest < 0 && delta > 0)) rest = 0;
    rest += delta;
    const int steps = rest / kTrackWheelDelta;
    rest -= steps * kTrackWheelDelta;
    return steps;
}

// --- panning ----------------------------------------------------------------------------

void ScrollTrack(TrackState& s, const QRect& drawRect, double dx, double dy) {
    const TrackTransform t = MakeTrackTransform(s, drawRect);
    // Sizes, not points: the y offset counts downwards like the device.
    s.offsetX -= dx / t.k;
    s.offsetY -= dy / t.k;
}

QPoint KeypadScroll(int digit, int step) {
    const int d = step;
    switch (digit) {
        case 1:
            return {d, -d};
        case 2:
            return {0, -d};
        case 3:
            return {-d, -d};
        case 4:
            return {d, 0};
        case 6:
            return {-d, 0};
        case 7:
            return {d, d};
        case 8:
            return {0, d};
        case 9:
            return {-d, d};
        default:
            return {0, 0};
    }
}

bool KeypadPan(TrackState& s, const QRect& drawRect, int digit, bool largeStep) {
    if (digit == 5) {
        if (s.overview) return false;
        s.offsetX = 0.0;
        s.offsetY = 0.0;
        return true;
    }
    const QPoint scroll = KeypadScroll(digit, largeStep ? kPanStepLarge : kPanStep);
    if (scroll.isNull()) return false;
    ScrollTrack(s, drawRect, scroll.x(), scroll.y());
    s.overview = false;
    return true;
}

void ToggleOverview(TrackState& s) {
    if (s.overview) {
        s.scale = s.savedScale;
        s.offsetX = s.savedOffsetX;
        s.offsetY = s.savedOffsetY;
        s.overview = false;
        return;
    }
    s.savedScale = s.scale;
    s.savedOffsetX = s.offsetX;
    s.savedOffsetY = s.offsetY;
    s.scale = kDefaultTrackScale;
    s.offsetX = 0.0;
    s.offsetY = 0.0;
    s.overview = true;
}

// --- following the document ---------------------------------------------------------------

void TakeSelection(TrackState& s, double from, double to, double cursor, double trackLength) {
    s.selectionFrom = from;
    s.selectionTo = to == 0.0 ? trackLength : to;
    s.cursor = cursor < 0.0 ? (s.selectionFrom + s.selectionTo) / 2.0 : cursor;
}

std::optional<int> CursorSample(const morlund::PerfCore& buffer, double cursor) {
    const double target = std::trunc(cursor + 0.5);
    const int n = buffer.GetSampleCount();
    for (int i = 0; i < n; ++i) {
        if (std::trunc(buffer.GetDistance(i)) >= target) return i;
    }
    return std::nullopt;
}

void CentreOn(TrackState& s, const QRect& drawRect, const morlund::PerfCore& buffer, int sample) {
    const QPoint p = MapPoint(buffer.GetPos(sample), s.scale);
    const double k = MakeTrackTransform(s, drawRect).k;
    s.offsetX += std::round((p.x() - s.offsetX) * k) / k;
    s.offsetY += std::round((-p.y() - s.offsetY) * k) / k;
}

int CursorSegment(double cursor) {
    const double s = std::trunc(cursor * 0.2050524934383202);
    return std::isfinite(s) && std::abs(s) < kMapLimit ? static_cast<int>(s) : -1;
}

// --- settings -------------------------------------------------------------------------------

QString TrackValueName(const char* base, std::uint32_t checksum) {
    return QStringLiteral("%1_%2").arg(QLatin1String(base)).arg(checksum, 8, 16, QLatin1Char('0'));
}

int ClampStoredScale(long long stored) {
    return static_cast<int>(std::clamp<long long>(stored, kMinTrackScale, kMaxTrackScale));
}

void ReadTrackSettings(QSettings& settings, std::uint32_t checksum, TrackState& s) {
    settings.beginGroup(QLatin1String(kTrackSection));
    if (const auto flags = StoredNumber(settings, QStringLiteral("track_draw_flags")))
        s.drawFlags = static_cast<int>(*flags & 0x3f);
    if (const auto rgn = StoredNumber(settings, QStringLiteral("use_rgn"))) s.fillMode = *rgn != 0;
    if (const auto x = StoredNumber(settings, TrackValueName("offset_x", checksum)))
        s.offsetX = ClampOffset(*x);
    if (const auto y = StoredNumber(settings, TrackValueName("offset_y", checksum)))
        s.offsetY = ClampOffset(*y);
    if (const auto scale = StoredNumber(settings, TrackValueName("scale", checksum)))
        s.scale = ClampStoredScale(*scale);
    settings.endGroup();
}

void WriteTrackSettings(QSettings& settings, std::uint32_t checksum, const TrackState& s) {
    settings.beginGroup(QLatin1String(kTrackSection));
    settings.setValue(QStringLiteral("track_draw_flags"), s.drawFlags);
    settings.setValue(QStringLiteral("use_rgn"), s.fillMode ? 1 : 0);
    settings.setValue(
        TrackValueName("offset_x", checksum),
        static_cast<int>(std::lround(std::clamp(s.offsetX, -kOffsetLimit, kOffsetLimit))));
    settings.setValue(
        TrackValueName("offset_y", checksum),
        static_cast<int>(std::lround(std::clamp(s.offsetY, -kOffsetLimit, kOffsetLimit))));
    settings.setValue(TrackValueName("scale", checksum), s.scale);
    settings.endGroup();
}

}  // namespace tarnwick
