#pragma once

namespace morlund {

// Values a buffer computes once per sample after loading, so that views do
// not recompute them on every draw.
struct ExtraPerf {
    double rhSlow[4] = {};  // ride-height slow part per wheel (10000 = none)
    double stSlow[4] = {};  // suspension-travel slow part per wheel (10000 = none)
    double angle = 0.0;     // heading, radians, continuous along the lap
    double x = 0.0;         // position, metres
    double y = 0.0;
};

}  // namespace morlund
