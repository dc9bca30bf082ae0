#include "app/views/TrackColours.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "app/graph/GraphRenderer.h"
#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Wheel.h"
#include "pellith/analysis/LapDelta.h"
#include "pellith/analysis/Sectors.h"

namespace tarnwick {

using morlund::DataItem;
using morlund::PerfCore;

namespace {

// Without a stretch of its own the delta ramp spans this much either way, in seconds.
constexpr double kDeltaRange = 1.0;

QColor Mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

std::vector<QColor> RampPalette(bool diverging) {
    std::vector<QColor> palette;
    for (int i = 0; i < kRampSteps; ++i)
        palette.push_back(RampColour(static_cast<double>(i) / (kRampSteps - 1), diverging));
    return palette;
}

// The low and high value of the samples inside the stretch (every sample when the
// stretch is empty); false when none of them is a number.
bool StretchRange(const PerfCore& lap, const std::vector<double>& values, double from, double to,
                  double& low, double& high) {
    const bool whole = !(to > from);
    bool any = false;
    for (int i = 0; i < lap.GetSampleCount(); ++i) {
        const double v = values[static_cast<std::size_t>(i)];
        if (!std::isfinite(v)) continue;
        if (!whole) {
            const double d = lap.GetDistance(i);
            if (d < from || d > to) continue;
        }
        low = any ? std::min(low, v) : v;
        high = any ? std::max(high, v) : v;
        any = true;
    }
    return any;
}

QString UnitSuffix(const std::string& unit) {
    return unit.empty() ? QString() : QStringLiteral(" (%1)").arg(QString::fromStdString(unit));
}

}  // namespace

QColor RampColour(double fraction, bool diverging) {
    const double f = std::clamp(std::isfinite(fraction) ? fraction : 0.5, 0.0, 1.0);
    if (diverging) {
        static const QColor ahead(40, 220, 40), level(255, 255, 255), behind(240, 40, 40);
        return f < 0.5 ? Mix(ahead, level, f * 2.0) : Mix(level, behind, f * 2.0 - 1.0);
    }
    static const QColor stops[] = {QColor(60, 110, 255), QColor(0, 220, 255), QColor(40, 230, 40),
                                   QColor(255, 230, 0), QColor(255, 40, 30)};
    const double x = f * 4.0;
    const int i = std::min(static_cast<int>(x), 3);
    return Mix(stops[i], stops[i + 1], x - i);
}

LapColours ComputeLapColours(const TrackColouring& colouring, const morlund::BufManager& manager,
                             int lapIndex, int reference, double selectionFrom,
                             double selectionTo) {
    LapColours out;
    if (colouring.mode == TrackColouring::kLapColour || !manager.HasBuffer(lapIndex)) return out;
    const PerfCore& lap = *manager.GetBuffer(lapIndex);
    const int n = lap.GetSampleCount();
    if (n <= 0) return out;
    const std::size_t count = static_cast<std::size_t>(n);

    if (colouring.mode == TrackColouring::kFastestSector) {
        if (!manager.HasBuffer(reference)) return out;
        const pellith::LapList laps = pellith::GetEnabledLaps(manager);
        const std::vector<double> bounds = pellith::EqualSectorBoundaries(
            manager.GetBuffer(reference)->GetMaxDistance(), colouring.sectors);
        const pellith::SectorTable table = pellith::BuildSectorTable(laps.laps, bounds);
        if (table.SectorCount() == 0) return out;
        // Palette: each lap's colour, then grey for sectors no lap has a time for.
        std::vector<int> slot(laps.laps.size(), -1);
        for (std::size_t l = 0; l < laps.laps.size(); ++l) {
            if (std::find(table.bestLap.begin(), table.bestLap.end(), static_cast<int>(l)) ==
                table.bestLap.end())
                continue;
            slot[l] = static_cast<int>(out.palette.size());
            const QColor colour =
                GraphRenderer::ToQColor(morlund::BufManager::GetBufColor(laps.buffers[l]));
            out.palette.push_back(colour);
            out.laps.emplace_back(QString::fromStdString(laps.laps[l]->InfoGetName()), colour);
        }
        const auto none = static_cast<std::uint8_t>(out.palette.size());
        out.palette.push_back(QColor(128, 128, 128));
        out.sampleColour.assign(count, none);
        int sector = 0;
        for (int i = 0; i < n; ++i) {
            const double d = lap.GetDistance(i);
            while (sector + 1 < table.SectorCount() &&
                   d >= table.boundaries[static_cast<std::size_t>(sector) + 1])
                ++sector;
            const int best = table.bestLap[static_cast<std::size_t>(sector)];
            if (best >= 0 && slot[static_cast<std::size_t>(best)] >= 0)
                out.sampleColour[static_cast<std::size_t>(i)] =
                    static_cast<std::uint8_t>(slot[static_cast<std::size_t>(best)]);
        }
        out.legend = LapColours::kLaps;
        out.title = QStringLiteral("Fastest per mini-sector");
        return out;
    }

    std::vector<double> values;
    const bool delta = colouring.mode == TrackColouring::kDelta;
    if (delta) {
        if (!manager.HasBuffer(reference)) return out;
        values = pellith::GetDeltaCurve(lap, *manager.GetBuffer(reference));
        out.title = QStringLiteral("Delta to %1 (s)")
                        .arg(QString::fromStdString(manager.GetBuffer(reference)->InfoGetName()));
        out.low = -kDeltaRange;
        out.high = kDeltaRange;
    } else {
        if (colouring.item < 0 || colouring.item >= DataItem::GetCount()) return out;
        const DataItem* item = nullptr;
        try {
            item = DataItem::Get(colouring.item);
        } catch (const std::exception&) {
            return out;  // a formula channel that has gone
        }
        values.resize(count);
        const morlund::Wheel* wheel =
            item->GetDataType() == DataItem::DT_WHEEL ? morlund::Wheel::AVG : nullptr;
        item->GetConvertedValues(&lap, 0, n, wheel, values.data());
        out.title = QString::fromStdString(item->GetName()) +
                    UnitSuffix(item->GetShortConvertedQuantityName());
        out.low = item->GetMinValue();
        out.high = item->GetMaxValue();
    }
    double low = out.low, high = out.high;
    if (colouring.stretchRange &&
        StretchRange(lap, values, selectionFrom, selectionTo, low, high)) {
        if (delta) {
            high = std::max({std::abs(low), std::abs(high), 0.001});
            low = -high;
        }
        out.low = low;
        out.high = high;
    }
    out.palette = RampPalette(delta);
    out.diverging = delta;
    out.sampleColour.assign(count, static_cast<std::uint8_t>(kRampSteps / 2));
    const double span = out.high - out.low;
    for (std::size_t i = 0; i < count; ++i) {
        const double f = span > 0.0 ? (values[i] - out.low) / span : 0.5;
        const double step = std::isfinite(f) ? std::clamp(f, 0.0, 1.0) * (kRampSteps - 1) : 0.0;
        out.sampleColour[i] = static_cast<std::uint8_t>(std::lround(step));
    }
    out.legend = LapColours::kRamp;
    return out;
}

void DrawColourLegend(QPainter& p, const QRect& drawRect, const LapColours& colours,
                      bool printing) {
    if (colours.legend == LapColours::kNoLegend) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const QFontMetrics fm(p.font());
    const int line = fm.height();
    const int margin = 8;
    const QColor text = printing ? Qt::black : Qt::white;
    const QColor panel = printing ? QColor(255, 255, 255) : QColor(0, 0, 0, 170);
    std::vector<QString> labels;
    int height = 0;
    int width = fm.horizontalAdvance(colours.title);
    if (colours.legend == LapColours::kRamp) {
        labels = {QString::number(colours.high, 'f', 2), QString::number(colours.low, 'f', 2)};
        for (const QString& s : labels)
            width = std::max(width, 24 + fm.horizontalAdvance(s));
        height = line + 120;
    } else {
        for (const auto& [name, colour] : colours.laps)
            width = std::max(width, 24 + fm.horizontalAdvance(name));
        height = line * (1 + static_cast<int>(colours.laps.size()));
    }
    const QRect box(drawRect.right() - width - 3 * margin, drawRect.bottom() - height - 3 * margin,
                    width + 2 * margin, height + 2 * margin);
    p.fillRect(box, panel);
    if (printing) {
        p.setPen(Qt::black);
        p.drawRect(box);
    }
    p.setPen(text);
    const int x = box.left() + margin;
    int y = box.top() + margin;
    p.drawText(QRect(x, y, width, line), Qt::AlignLeft | Qt::AlignVCenter, colours.title);
    y += line;
    if (colours.legend == LapColours::kRamp) {
        const QRect ramp(x, y + line / 2, 14, 120 - line);
        for (int r = 0; r < ramp.height(); ++r) {
            const double f = 1.0 - static_cast<double>(r) / std::max(ramp.height() - 1, 1);
            p.setPen(RampColour(f, colours.diverging));
            p.drawLine(ramp.left(), ramp.top() + r, ramp.right(), ramp.top() + r);
        }
        p.setPen(text);
        p.drawText(QRect(x + 24, ramp.top() - line / 2, width, line), Qt::AlignVCenter, labels[0]);
        p.drawText(QRect(x + 24, ramp.bottom() - line / 2, width, line), Qt::AlignVCenter,
                   labels[1]);
    } else {
        for (const auto& [name, colour] : colours.laps) {
            p.fillRect(QRect(x, y + line / 4, 14, line / 2), colour);
            p.drawText(QRect(x + 24, y, width, line), Qt::AlignVCenter, name);
            y += line;
        }
    }
    p.restore();
}

}  // namespace tarnwick
