#include "pellith/stats/LapTimeText.h"

#include <cmath>

#include "morlund/formats/GameStrings.h"

namespace pellith {

std::uint32_t LapTimeMilliseconds(double seconds) {
    const double ms = std::trunc(seconds * 1000.0);
    // Checked as doubles: converting an out-of-range double is undefined.
    if (!(ms >= 0.0) || ms >= 4294967296.0) return 0xffffffffu;
    return static_cast<std::uint32_t>(ms);
}

std::string LapTimeText(double seconds) {
    return morlund::FormatLapTime(LapTimeMilliseconds(seconds));
}

}  // namespace pellith
