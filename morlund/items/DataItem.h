#pragma once

namespace morlund {

class PerfCore;

// A channel of the catalogue: the rule that yields its value at a sample.
class DataItem {
public:
    virtual ~DataItem() = default;

    // The item's value in metric base units. A per-wheel item reads wheel
    // index 0..3; a car item ignores the wheel (callers pass -1).
    virtual double GetMetricValue(const PerfCore* buffer, int sample, int wheel) const = 0;
};

}  // namespace morlund
