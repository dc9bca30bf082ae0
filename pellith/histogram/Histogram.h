#pragma once

#include <cstdint>
#include <vector>

namespace morlund {
class DataItem;
class PerfCore;
class Wheel;
}  // namespace morlund

namespace pellith {

// The distribution of one channel over a stretch of each lap, on one grid of bins shared
// by every lap so that their bars stand side by side.
//
// Values are the channel's display values (units and the imperial switch as everywhere
// else). Each sample weighs the time it stands for: half the time to the sample before
// plus half the time to the sample after (one side at the ends of the stretch), so laps
// recorded at any sample spacing compare truthfully. A lap whose times do not increase
// counts every sample once instead. Non-finite values are left out.

struct HistogramRequest {
    const morlund::DataItem* item = nullptr;
    // The selector of a per-wheel channel (a wheel or a combination); ignored for a car
    // channel. Null reads as the left front wheel.
    const morlund::Wheel* wheel = nullptr;
    double from = 0.0;  // distance range, m; to <= from means the whole lap
    double to = 0.0;
    double binWidth = 1.0;  // display units; values <= 0 or non-finite use the default
    // For the damper speed channel: the knee between slow and fast, in display units (a
    // negative knee counts as its size; 0 or less than nothing: the default knee).
    double knee = 0.0;
};

// How a lap's damper moves: shares of the stretch's time, 0..100. Standing still (a speed
// of exactly zero) is neither bump nor rebound. Slow is up to and including the knee speed.
struct DamperShares {
    double bump = 0.0;
    double rebound = 0.0;
    double bumpSlow = 0.0;
    double bumpFast = 0.0;
    double reboundSlow = 0.0;
    double reboundFast = 0.0;
};

struct HistogramLap {
    std::vector<double> percent;  // share of the stretch's time in each bin, 0..100
    double seconds = 0.0;         // time the stretch covers (or samples when counted)
    int samples = 0;
    DamperShares shares;  // of the damper speed channel only
};

struct Histogram {
    double origin = 0.0;    // lower edge of bin 0, a multiple of binWidth
    double binWidth = 1.0;  // may be wider than asked: never more than kMaxBins bins
    int binCount = 0;
    std::vector<HistogramLap> laps;  // in the order of the request's laps

    static constexpr int kMaxBins = 400;
    // The lower edge of a bin.
    double BinFrom(int bin) const { return origin + bin * binWidth; }
};

// The histogram of the item over the laps' stretches, with the damper shares when the item
// is the damper speed. A value on a bin edge goes into the bin above it. No laps, no
// samples or no finite value give zero bins.
//
// Long laps of a catalogue channel are read on two threads at once, each lap by one of
// them; a formula channel, or a lap listed twice, is read on the calling thread alone.
Histogram ComputeHistogram(const std::vector<const morlund::PerfCore*>& laps,
                           const HistogramRequest& request);

// A round bin width (1, 2 or 5 times a power of ten) for the item's display unit: about a
// hundredth of its display range, with fixed widths for the units engineers bin by habit
// (10 mm/s for damper speeds, 1 mm for travel and heights).
double DefaultBinWidth(const morlund::DataItem& item);
// The round step (1, 2 or 5 times a power of ten) nearest above `raw`; 1 for raw <= 0.
double RoundBinWidth(double raw);

// The damper speed channel: the time derivative of the suspension travel. Travel is
// compression, so positive speeds are bump and negative ones rebound.
const morlund::DataItem* DamperVelocityItem();

// Default knee speed in display units (25 mm/s, or its value in the display unit).
double DefaultKneeSpeed();

}  // namespace pellith
