#pragma once

#include <QRect>
#include <algorithm>
#include <cmath>

namespace morlund {
class Wheel;
}

namespace tarnwick {

// What a graph view shows and how: the part of the view that drawing needs.
struct GraphState {
    int xItem = 0;  // indexes into the view's item list
    int yItem = 0;
    const morlund::Wheel* wheel = nullptr;  // Wheel::ALL by default
    int buffer = 0;                          // the reference buffer
    bool sync = true;
    bool flickerFree = true;
    bool cursorMode = false;
    bool drawLines = true;
    bool showValues = true;
    bool useMiles = false;
    double trackLength = 0.0;
    double xStart = 0.0;  // visible distance range, m
    double xEnd = 0.0;
    int selStart = 0;  // selection band, pixel columns; equal: none
    int selEnd = 0;
    int cursorX = 0;  // cursor column
    QRect plot;       // the plot rectangle (the client rectangle on screen)
    int leftMargin = 50;
    bool xIsDistance = true;  // the X item is the Distance channel
};

// The pixel column of a distance on a plot of `width` columns from `left` that shows
// [xStart, xEnd): left + trunc(width * (distance - xStart) / (xEnd - xStart)). Any
// double gives a defined column.
inline int DistanceColumn(double distance, double xStart, double xEnd, int left, int width) {
    if (width < 1 || xEnd == xStart) return left;
    const double offset = std::trunc(width * (distance - xStart) / (xEnd - xStart));
    if (!std::isfinite(offset)) return left;
    return left + static_cast<int>(std::clamp(offset, -1e9, 1e9));
}

}  // namespace tarnwick
