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

const Wheel* WheelOrDefault(const Wheel* wheel) {
    return wheel != nullptr ? wheel : Wheel::LEFT_FRONT;
}

// Samples go through in chunks small enough to stay in the processor's cache: a lap is
// read once, whatever is done with its values.
constexpr int kChunk = 4096;

// What one pass over a lap gathers: the value range, the weights by bin number k (the bin
// [k w, (k + 1) w), whatever the grid's origin turns out to be) and the damper shares.
struct LapPass {
    double low = std::numeric_limits<double>::infinity();
    double high = -std::numeric_limits<double>::infinity();
    long long first = 0;  // bin number of weight[0]
    std::vector<double> weight;
    bool fits = true;  // false: the values span too many bins of this width
    double total = 0.0;
    int samples = 0;
    double bumpSlow = 0.0, bumpFast = 0.0, reboundSlow = 0.0, reboundFast = 0.0;
};

// Bin numbers beyond this many bins from a lap's first are not kept: the laps' range then
// needs wider bins anyway.
constexpr long long kMaxSpan = 1 << 16;

// The bin of a value outside the lap's bins so far: the bins grow to take it.
void GrowBins(LapPass& pass, long long k) {
    if (pass.weight.empty()) pass.first = k;
    if (k < pass.first) {
        if (pass.first - k + static_cast<long long>(pass.weight.size()) > kMaxSpan) {
            pass.fits = false;
            return;
        }
        pass.weight.insert(pass.weight.begin(), static_cast<std::size_t>(pass.first - k), 0.0);
        pass.first = k;
    } else if (k - pass.first >= static_cast<long long>(pass.weight.size())) {
        if (k - pass.first >= kMaxSpan) {
            pass.fits = false;
            return;
        }
        pass.weight.resize(static_cast<std::size_t>(k - pass.first + 1), 0.0);
    }
}

// One pass over the lap's stretch. With `byTime`, each sample weighs half the time to the
// sample before plus half the time to the sample after; false when the times turn out not
// to increase (the caller starts again counting samples).
bool Pass(const PerfCore& lap, const DataItem& item, const Wheel* wheel, Stretch s, double width,
          double knee, bool damper, bool byTime, LapPass& pass) {
    // Every bin number comes from this one product, so values on an edge fall alike.
    const double perBin = 1.0 / width;
    std::vector<double> values(kChunk);
    std::vector<double> weights(kChunk);
    std::vector<double> times(kChunk + 2);
    if (byTime && (s.end - s.first < 2 ||
                   !(lap.GetTime(s.end - 1) > lap.GetTime(s.first))))
        return false;
    for (int a = s.first; a < s.end; a += kChunk) {
        const int b = std::min(a + kChunk, s.end);
        const std::size_t n = static_cast<std::size_t>(b - a);
        item.GetConvertedValues(&lap, a, b, wheel, values.data());
        if (byTime) {
            // times[j + 1] is the time of sample a + j, with one more on either side where
            // the stretch has one.
            const int lo = std::max(a - 1, s.first), hi = std::min(b + 1, s.end);
            for (int i = lo; i < hi; ++i)
                times[static_cast<std::size_t>(i - a + 1)] = lap.GetTime(i);
            for (int i = lo + 1; i < hi; ++i) {
                const double t = times[static_cast<std::size_t>(i - a + 1)];
                if (!std::isfinite(t) || !(t >= times[static_cast<std::size_t>(i - a)]))
                    return false;
            }
            if (a == s.first) times[0] = times[1];
            if (b == s.end) times[n + 1] = times[n];
            for (std::size_t j = 0; j < n; ++j)
                weights[j] = 0.5 * (times[j + 2] - times[j]);
        } else {
            std::fill(weights.begin(), weights.begin() + static_cast<std::ptrdiff_t>(n), 1.0);
        }
        for (std::size_t j = 0; j < n; ++j) {
            const double v = values[j];
            if (!std::isfinite(v)) continue;
            const double w = weights[j];
            pass.low = std::min(pass.low, v);
            pass.high = std::max(pass.high, v);
            pass.total += w;
            ++pass.samples;
            if (damper) {
                // Without branches: the signs of damper speeds come in no order a processor
                // could guess.
                const double bump = v > 0.0 ? w : 0.0;
                const double rebound = v < 0.0 ? w : 0.0;
                const double slow = std::fabs(v) <= knee ? 1.0 : 0.0;
                pass.bumpSlow += bump * slow;
                pass.bumpFast += bump - bump * slow;
                pass.reboundSlow += rebound * slow;
                pass.reboundFast += rebound - rebound * slow;
            }
            if (!pass.fits) continue;
            const double q = v * perBin;
            if (!(std::fabs(q) < 4e15)) {
                pass.fits = false;
                continue;
            }
            // floor(q) by truncation: std::floor is a library call on the base x86-64 set.
            long long k = static_cast<long long>(q);
            if (static_cast<double>(k) > q) --k;
            if (pass.weight.empty() || k < pass.first ||
                k - pass.first >= static_cast<long long>(pass.weight.size())) {
                GrowBins(pass, k);
                if (!pass.fits) continue;
            }
            pass.weight[static_cast<std::size_t>(k - pass.first)] += w;
        }
    }
    return true;
}

// The lap's pass, by time when its times allow.
LapPass PassLap(const PerfCore& lap, const DataItem& item, const Wheel* wheel, double from,
                double to, double width, double knee, bool damper) {
    const Stretch s = FindStretch(lap, from, to);
    LapPass pass;
    if (Pass(lap, item, wheel, s, width, knee, damper, true, pass)) return pass;
    pass = LapPass{};
    Pass(lap, item, wheel, s, width, knee, damper, false, pass);
    return pass;
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
    h.binWidth = width;
    const bool damper = request.item == DamperVelocityItem();
    double knee = std::fabs(request.knee);
    if (!(knee > 0.0) || !std::isfinite(knee)) knee = DefaultKneeSpeed();

    std::vector<LapPass> passes(laps.size());
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    bool fits = true;
    for (std::size_t l = 0; l < laps.size(); ++l) {
        if (laps[l] == nullptr) continue;
        passes[l] = PassLap(*laps[l], *request.item, wheel, request.from, request.to, width, knee,
                            damper);
        const LapPass& p = passes[l];
        low = std::min(low, p.low);
        high = std::max(high, p.high);
        fits = fits && p.fits;
        if (damper && p.total > 0.0) {
            DamperShares& shares = h.laps[l].shares;
            const double scale = 100.0 / p.total;
            shares.bumpSlow = p.bumpSlow * scale;
            shares.bumpFast = p.bumpFast * scale;
            shares.reboundSlow = p.reboundSlow * scale;
            shares.reboundFast = p.reboundFast * scale;
            shares.bump = shares.bumpSlow + shares.bumpFast;
            shares.rebound = shares.reboundSlow + shares.reboundFast;
        }
    }
    if (!(low <= high)) return h;
    if (!fits) {
        // Values too far apart for bins of this width: wider bins, the laps read once more.
        auto binsFor = [&](double w) { return std::floor(high / w) - std::floor(low / w) + 1.0; };
        while (binsFor(width) > Histogram::kMaxBins)
            width = RoundBinWidth(width * 1.5);
        for (std::size_t l = 0; l < laps.size(); ++l) {
            if (laps[l] != nullptr)
                passes[l] = PassLap(*laps[l], *request.item, wheel, request.from, request.to,
                                    width, knee, false);
        }
    }
    // The laps' bins side by side; more than kMaxBins of them merge by a round factor (2, 5,
    // 10 ...), so that every merged bin holds whole bins of the first width.
    long long kLow = std::numeric_limits<long long>::max();
    long long kHigh = std::numeric_limits<long long>::min();
    for (const LapPass& p : passes) {
        if (p.weight.empty()) continue;
        kLow = std::min(kLow, p.first);
        kHigh = std::max(kHigh, p.first + static_cast<long long>(p.weight.size()) - 1);
    }
    if (kLow > kHigh) return h;
    const auto merged = [](long long k, long long m) {  // floor(k / m)
        return k >= 0 ? k / m : -((-k + m - 1) / m);
    };
    long long factor = 1;
    for (long long step = 1; merged(kHigh, factor) - merged(kLow, factor) + 1 > Histogram::kMaxBins;
         step *= 10) {
        for (long long f : {2 * step, 5 * step, 10 * step}) {
            factor = f;
            if (merged(kHigh, factor) - merged(kLow, factor) + 1 <= Histogram::kMaxBins) break;
        }
    }
    h.binWidth = width * static_cast<double>(factor);
    const long long firstBin = merged(kLow, factor);
    h.origin = static_cast<double>(firstBin) * h.binWidth;
    h.binCount = static_cast<int>(merged(kHigh, factor) - firstBin + 1);

    for (std::size_t l = 0; l < laps.size(); ++l) {
        HistogramLap& out = h.laps[l];
        out.percent.assign(static_cast<std::size_t>(h.binCount), 0.0);
        const LapPass& p = passes[l];
        out.samples = p.samples;
        out.seconds = p.total;
        const double scale = p.total > 0.0 ? 100.0 / p.total : 0.0;
        for (std::size_t k = 0; k < p.weight.size(); ++k) {
            const long long bin = merged(p.first + static_cast<long long>(k), factor) - firstBin;
            out.percent[static_cast<std::size_t>(bin)] += p.weight[k] * scale;
        }
    }
    return h;
}

}  // namespace pellith
