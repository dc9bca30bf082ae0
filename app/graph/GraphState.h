#pragma once

#include <QRect>

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

}  // namespace tarnwick
