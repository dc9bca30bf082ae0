#pragma once

// Helpers the GP perf writers share: rounding into a field's range, and the
// lap-information header that GP2, GP3 and GP4 bodies have in common.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "lapgen/Model.h"

namespace lapgen {

// Rounds to the nearest integer and clamps into T's range (NaN gives 0).
template <typename T>
T RoundTo(double value) {
    const double lo = static_cast<double>(std::numeric_limits<T>::min());
    const double hi = static_cast<double>(std::numeric_limits<T>::max());
    if (std::isnan(value)) return T{0};
    return static_cast<T>(std::clamp(std::round(value), lo, hi));
}

// Fills the header fields of a GP body from the lap (the same fields and
// units in every GP game).
template <typename Raw>
void EncodeGPHeader(const Lap& lap, Raw& raw) {
    constexpr double kFootMetres = 0.3048;
    const LapSpec& spec = lap.spec;
    raw.sampleCount = static_cast<std::uint32_t>(lap.samples.size());
    raw.trackLengthFt = RoundTo<std::uint16_t>(lap.trackLength / kFootMetres);
    raw.track = RoundTo<std::uint8_t>(spec.track);
    raw.lapNumber = RoundTo<std::uint8_t>(spec.lapNumber);
    raw.dateDays = RoundTo<std::uint16_t>(spec.dateDays);
    raw.seconds = RoundTo<std::uint8_t>(spec.seconds);
    raw.minutes = RoundTo<std::uint8_t>(spec.minutes);
    raw.hours = RoundTo<std::uint8_t>(spec.hours);
    raw.lapTimeMs = RoundTo<std::uint32_t>(lap.lapTime * 1000.0);
    std::copy_n(spec.name.begin(), std::min<std::size_t>(spec.name.size(), 8), raw.name);
}

}  // namespace lapgen
