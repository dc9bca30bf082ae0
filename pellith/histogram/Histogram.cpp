#include "pellith/histogram/Histogram.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "morlund/core/PerfCore.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Wheel.h"

namespace pellith {

namespace {

using morlund::DataItem;
using morlund::PerfCore;
using morlund::Wheel;

// Samples first..end-1 of the lap whose distance lies in [from, to] (the whole lap when
// to <= from). Distances never decrease, so both ends are found by bisection.
struct Stretch {
    int first = 0;
    int end = 0;
};

Stretch FindStretch(const PerfCore& lap, double from, double to) {
    const int n = std::max(lap.GetSampleCount(), 0);
    if (!(to > from)) return {0, n};
    auto bisect = [&](auto before) {
        int lo = 0, hi = n;
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            if (before(lap.GetDistance(mid)))
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo;
    };
    const int first = bisect([from](double d) { return d < from; });
    const int end = bisect([to](double d) { return d <= to; });
    return {first, std::max(first, end)};
}

// The time each sample of the stretch stands for; all ones when the times do not increase.
void SampleWeights(const PerfCore& lap, Stretch s, std::vector<double>& weights) {
    const int count = s.end - s.first;
    weights.assign(static_cast<std::size_t>(count), 1.0);
    if (count < 2) return;
    std::vector<double> times(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        times[i] = lap.GetTime(s.first + i);
    for (int i = 1; i < count; ++i) {
        if (!(times[i] >= times[i - 1]) || !std::isfinite(times[i])) return;
    }
    if (!(times[count - 1] > times[0])) return;
    for (int i = 0; i < count; ++i) {
        const double before = i > 0 ? times[i] - times[i - 1] : 0.0;
        const double after = i + 1 < count ? times[i + 1] - times[i] : 0.0;
        weights[i] = 0.5 * (before + after);
    }
}

const Wheel* WheelOrDefault(const Wheel* wheel) {
    return wheel != nullptr ? wheel : Wheel::LEFT_FRONT;
}

// A lap's values and weights over its stretch.
struct LapValues {
    std::vector<double> values;
    std::vector<double> weights;
};

void ReadLap(const PerfCore& lap, const DataItem& item, const Wheel* wheel, double from, double to,
             LapValues& out) {
    const Stretch s = FindStretch(lap, from, to);
    out.values.resize(static_cast<std::size_t>(s.end - s.first));
    if (s.end > s.first) item.GetConvertedValues(&lap, s.first, s.end, wheel, out.values.data());
    SampleWeights(lap, s, out.weights);
}

}  // namespace

double RoundBinWidth(double raw) {
    if (!(raw > 0.0) || !std::isfinite(raw)) return 1.0;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double step : {1.0, 2.0, 5.0, 10.0}) {
        // A little slack, so that a width that is already round stays as it is.
        if (step * power >= raw * (1.0 - 1e-9)) return step * power;
    }
    return 10.0 * power;
}

const DataItem* DamperVelocityItem() { return DataItem::STDERIVED1; }

double DefaultKneeSpeed() { return 0.025 * DamperVelocityItem()->GetUnitConversionFactor(); }

double DefaultBinWidth(const DataItem& item) {
    const double factor = item.GetUnitConversionFactor();
    if (&item == DamperVelocityItem()) return RoundBinWidth(0.010 * factor);
    if (&item == DataItem::SUSPTRAVEL || &item == DataItem::RIDEHEIGHT)
        return RoundBinWidth(0.001 * factor);
    return RoundBinWidth((item.GetMaxValue() - item.GetMinValue()) / 100.0);
}

Histogram ComputeHistogram(const std::vector<const PerfCore*>& laps,
                           const HistogramRequest& request) {
    Histogram h;
    h.laps.resize(laps.size());
    if (request.item == nullptr) return h;
    const Wheel* wheel = WheelOrDefault(request.wheel);
    double width = request.binWidth;
    if (!(width > 0.0) || !std::isfinite(width)) width = DefaultBinWidth(*request.item);

    std::vector<LapValues> read(laps.size());
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (std::size_t l = 0; l < laps.size(); ++l) {
        if (laps[l] == nullptr) continue;
        ReadLap(*laps[l], *request.item, wheel, request.from, request.to, read[l]);
        for (double v : read[l].values) {
            if (!std::isfinite(v)) continue;
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    if (!(low <= high)) {
        h.binWidth = width;
        return h;
    }
    // Widen the bins until the range fits in kMaxBins of them.
    auto binsFor = [&](double w) { return std::floor(high / w) - std::floor(low / w) + 1.0; };
    while (binsFor(width) > Histogram::kMaxBins)
        width = RoundBinWidth(width * 1.5);
    h.binWidth = width;
    const double firstBin = std::floor(low / width);
    h.origin = firstBin * width;
    h.binCount = static_cast<int>(binsFor(width));

    for (std::size_t l = 0; l < laps.size(); ++l) {
        HistogramLap& out = h.laps[l];
        out.percent.assign(static_cast<std::size_t>(h.binCount), 0.0);
        const LapValues& lap = read[l];
        double total = 0.0;
        for (std::size_t i = 0; i < lap.values.size(); ++i) {
            const double v = lap.values[i];
            if (!std::isfinite(v)) continue;
            const int bin = std::clamp(static_cast<int>(std::floor(v / width) - firstBin), 0,
                                       h.binCount - 1);
            out.percent[bin] += lap.weights[i];
            total += lap.weights[i];
            ++out.samples;
        }
        out.seconds = total;
        if (total > 0.0) {
            for (double& p : out.percent)
                p *= 100.0 / total;
        }
    }
    return h;
}

DamperShares ComputeDamperShares(const PerfCore& lap, const Wheel* wheel, double from, double to,
                                 double knee) {
    DamperShares shares;
    LapValues read;
    ReadLap(lap, *DamperVelocityItem(), WheelOrDefault(wheel), from, to, read);
    knee = std::fabs(knee);
    double total = 0.0;
    for (std::size_t i = 0; i < read.values.size(); ++i) {
        const double v = read.values[i];
        if (!std::isfinite(v)) continue;
        const double w = read.weights[i];
        total += w;
        if (v > 0.0) (v <= knee ? shares.bumpSlow : shares.bumpFast) += w;
        if (v < 0.0) (-v <= knee ? shares.reboundSlow : shares.reboundFast) += w;
    }
    if (total > 0.0) {
        for (double* s : {&shares.bumpSlow, &shares.bumpFast, &shares.reboundSlow,
                          &shares.reboundFast})
            *s *= 100.0 / total;
    }
    shares.bump = shares.bumpSlow + shares.bumpFast;
    shares.rebound = shares.reboundSlow + shares.reboundFast;
    return shares;
}

}  // namespace pellith
