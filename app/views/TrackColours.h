#pragma once

// The colours of the current lap's line on a coloured track map and the legend that
// explains them: a value ramp (a channel, or the delta to the reference lap) or the lap
// colours of the laps fastest in each mini-sector. The values themselves come from the
// catalogue and the analysis library; this file only turns them into colours.

#include <QColor>
#include <QRect>
#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

#include "app/views/TrackModel.h"

class QPainter;

namespace morlund {
class BufManager;
}

namespace tarnwick {

struct LapColours {
    enum Legend { kNoLegend, kRamp, kLaps };
    std::vector<QColor> palette;
    std::vector<std::uint8_t> sampleColour;  // per sample of the lap: index into palette
    Legend legend = kNoLegend;
    QString title;                                 // kRamp: what the ramp shows, with unit
    double low = 0.0, high = 1.0;                  // kRamp: the values at its ends
    bool diverging = false;                        // kRamp: the delta's ramp
    std::vector<std::pair<QString, QColor>> laps;  // kLaps: each lap and its colour

    bool Empty() const { return sampleColour.empty(); }
};

inline constexpr int kRampSteps = 64;

// The ramp's colour at 0..1 (clamped): blue, cyan, green, yellow, red; for a delta
// (`diverging`) green (ahead) through white to red (behind).
QColor RampColour(double fraction, bool diverging);

// The colours of buffer `lap` under the colouring; empty (the line keeps its lap colour)
// for kLapColour, a lap that is not loaded, a channel that does not exist or a delta
// without a reference. The stretch for kChannel/kDelta ranges is the selection (from < to)
// or else the whole lap.
LapColours ComputeLapColours(const TrackColouring& colouring, const morlund::BufManager& manager,
                             int lap, int reference, double selectionFrom, double selectionTo);

// The legend in the lower right corner of the drawing rectangle.
void DrawColourLegend(QPainter& p, const QRect& drawRect, const LapColours& colours, bool printing);

}  // namespace tarnwick
