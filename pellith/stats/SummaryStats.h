#pragma once

#include <unordered_map>
#include <vector>

namespace morlund {
class PerfCore;
}

namespace pellith {

// Summary statistics of one lap, read through the buffer's raw per-sample
// accessors. Sums are 64-bit; a buffer without samples gives zeros.
// Minimum and maximum start from the first sample, so any value range is
// reported truthfully.

// Mean, highest and lowest value of a channel in its SI unit.
struct ValueSummary {
    double average = 0.0;
    double maximum = 0.0;
    double minimum = 0.0;
};
using SpeedSummary = ValueSummary;     // m/s
using SteeringSummary = ValueSummary;  // rad, positive to the left

struct RevsSummary {  // whole rpm
    int average = 0;
    int minimum = 0;
    int maximum = 0;
};

// Throttle or brake as whole percentages (value * 100, truncated).
struct PedalSummary {
    int average = 0;
    int full = 0;  // percentage of samples at exactly 100
    int none = 0;  // percentage of samples at exactly 0
};

SpeedSummary GetSpeedSummary(const morlund::PerfCore& buffer);
RevsSummary GetRevsSummary(const morlund::PerfCore& buffer);
PedalSummary GetThrottleSummary(const morlund::PerfCore& buffer);
PedalSummary GetBrakeSummary(const morlund::PerfCore& buffer);
// Percentage of samples with neither throttle nor brake (both exactly 0 %).
int GetCoastingShare(const morlund::PerfCore& buffer);
SteeringSummary GetSteeringSummary(const morlund::PerfCore& buffer);
// Samples whose gear differs from the previous sample's.
int GetGearChanges(const morlund::PerfCore& buffer);

// Everything the statistics table shows of a lap's samples. Only recorded channels
// go into it, so that a change of the lap's car setup leaves it valid.
struct LapSummary {
    SpeedSummary speed;
    RevsSummary revs;
    PedalSummary throttle;
    PedalSummary brake;
    int coasting = 0;  // percentage, as GetCoastingShare
    SteeringSummary steering;
    int gearChanges = 0;
};

LapSummary GetLapSummary(const morlund::PerfCore& buffer);

// Lap summaries kept from one table to the next: each lap's is computed on first
// use and kept until its owner drops it (the lap's values changed or it went).
class LapSummaryCache {
public:
    const LapSummary& Get(const morlund::PerfCore& buffer);
    void Drop(const morlund::PerfCore* buffer) { m_summaries.erase(buffer); }
    // Forgets every lap not in the list.
    void KeepOnly(const std::vector<const morlund::PerfCore*>& buffers);
    void Clear() { m_summaries.clear(); }
    // Summaries computed so far (not taken from the cache).
    int Computed() const { return m_computed; }

private:
    std::unordered_map<const morlund::PerfCore*, LapSummary> m_summaries;
    int m_computed = 0;
};

// Engine rate in rad/s as whole rpm (truncated; saturated at the int range).
int RevsToRpm(double radiansPerSecond);
// A pedal position 0..1 as a whole percentage (truncated; saturated).
int PedalPercent(double value);

}  // namespace pellith
