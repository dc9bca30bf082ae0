#include "pellith/histogram/Histogram.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <functional>
#include <limits>
#include <thread>

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

// The weight of the finite values, their number and, for damper speeds, the weight of
// bump and rebound on either side of the knee.
struct Sums {
    double total = 0.0;
    int samples = 0;
    double bumpSlow = 0.0, bumpFast = 0.0, reboundSlow = 0.0, reboundFast = 0.0;

    void Add(const Sums& o) {
        total += o.total;
        samples += o.samples;
        bumpSlow += o.bumpSlow;
        bumpFast += o.bumpFast;
        reboundSlow += o.reboundSlow;
        reboundFast += o.reboundFast;
    }
};

// The sums of n values, without a branch or a call, so that they stay in registers. A value
// that is no number weighs nothing and counts as no sample.
Sums SumValues(const double* values, const double* weights, std::size_t n, double knee,
               bool damper) {
    Sums s;
    for (std::size_t j = 0; j < n; ++j) {
        const double v = values[j];
        const bool finite = std::isfinite(v);
        const double w = finite ? weights[j] : 0.0;
        s.total += w;
        s.samples += finite ? 1 : 0;
        if (damper) {
            const double bump = v > 0.0 ? w : 0.0;
            const double rebound = v < 0.0 ? w : 0.0;
            const bool slow = std::fabs(v) <= knee;
            s.bumpSlow += slow ? bump : 0.0;
            s.bumpFast += slow ? 0.0 : bump;
            s.reboundSlow += slow ? rebound : 0.0;
            s.reboundFast += slow ? 0.0 : rebound;
        }
    }
    return s;
}

// What one pass over a lap gathers: the weights by bin number k (the bin [k u, (k + 1) u)
// with u = width * 10^decade, whatever the grid's origin turns out to be) and the damper
// shares.
struct LapPass {
    LapPass() = default;
    explicit LapPass(double width) : perBin(1.0 / width) {}

    int decade = 0;
    double perBin = 1.0;  // 1 / u; every bin number is a value times this, so edges fall alike
    long long first = 0;  // bin number of weight[0]
    std::vector<double> weight;
    Sums sums;

    long long Bins() const { return static_cast<long long>(weight.size()); }
};

// A lap keeps at most this many bins: values further apart make its bins ten times wider.
constexpr long long kMaxSpan = 1 << 16;
// Bin numbers stay well inside a long long, and exact in a double.
constexpr double kMaxBinNumber = 4e15;

long long FloorDiv(long long k, long long m) { return k >= 0 ? k / m : -((-k + m - 1) / m); }

// floor(q) by truncation: std::floor is a library call on the base x86-64 set.
long long FloorBin(double q) {
    long long k = static_cast<long long>(q);
    if (static_cast<double>(k) > q) --k;
    return k;
}

// 10^n as a divisor of bin numbers. Past 10^18 every bin number divides to 0 or -1 alike.
long long TenTo(int n) {
    long long p = 1;
    for (int i = 0; i < std::min(n, 18); ++i)
        p *= 10;
    return p;
}

// Ten bins become one: the lap's bins are ten times wider from here on.
void Coarsen(LapPass& pass, double width) {
    ++pass.decade;
    pass.perBin = 1.0 / (width * std::pow(10.0, pass.decade));
    if (pass.weight.empty()) return;
    const long long first = FloorDiv(pass.first, 10);
    const long long bins = FloorDiv(pass.first + pass.Bins() - 1, 10) - first + 1;
    std::vector<double> merged(static_cast<std::size_t>(bins), 0.0);
    for (long long i = 0; i < pass.Bins(); ++i)
        merged[static_cast<std::size_t>(FloorDiv(pass.first + i, 10) - first)] +=
            pass.weight[static_cast<std::size_t>(i)];
    pass.weight.swap(merged);
    pass.first = first;
}

// The bin number of a value, the lap's bins grown or widened to hold it.
long long PlaceValue(LapPass& pass, double v, double width) {
    for (;;) {
        const double q = v * pass.perBin;
        if (!(std::fabs(q) < kMaxBinNumber)) {
            Coarsen(pass, width);
            continue;
        }
        const long long k = FloorBin(q);
        if (pass.weight.empty()) {
            pass.first = k;
            pass.weight.assign(1, 0.0);
            return k;
        }
        const long long last = pass.first + pass.Bins() - 1;
        if (std::max(k, last) - std::min(k, pass.first) >= kMaxSpan) {
            Coarsen(pass, width);
            continue;
        }
        if (k < pass.first) {
            pass.weight.insert(pass.weight.begin(), static_cast<std::size_t>(pass.first - k), 0.0);
            pass.first = k;
        } else if (k > last) {
            pass.weight.resize(static_cast<std::size_t>(k - pass.first + 1), 0.0);
        }
        return k;
    }
}

// Samples go through in chunks small enough to stay in the processor's cache: a lap is
// read once, whatever is done with its values.
constexpr int kChunk = 4096;

// One pass over the lap's stretch. With `byTime`, each sample weighs half the time to the
// sample before plus half the time to the sample after; false when the times turn out not
// to increase (the caller starts again counting samples).
bool Pass(const PerfCore& lap, const DataItem& item, const Wheel* wheel, Stretch s, double width,
          double knee, bool damper, bool byTime, LapPass& pass) {
    std::vector<double> values(kChunk);
    std::vector<double> weights(kChunk);
    std::vector<double> times(kChunk + 2);
    if (byTime && (s.end - s.first < 2 || !(lap.GetTime(s.end - 1) > lap.GetTime(s.first))))
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
        pass.sums.Add(SumValues(values.data(), weights.data(), n, knee, damper));
        // Then the bins. Neighbouring samples mostly share a bin: their weight gathers in a
        // register and reaches the bin when the bin changes.
        for (std::size_t j = 0; j < n;) {
            if (!std::isfinite(values[j])) {
                ++j;
                continue;
            }
            const long long k = PlaceValue(pass, values[j], width);
            const double perBin = pass.perBin;
            double run = weights[j];
            for (++j; j < n; ++j) {
                const double q = values[j] * perBin;
                if (!(std::fabs(q) < kMaxBinNumber) || FloorBin(q) != k) break;
                run += weights[j];
            }
            pass.weight[static_cast<std::size_t>(k - pass.first)] += run;
        }
    }
    return true;
}

// The lap's pass, by time when its times allow.
LapPass PassLap(const PerfCore& lap, const DataItem& item, const Wheel* wheel, double from,
                double to, double width, double knee, bool damper) {
    const Stretch s = FindStretch(lap, from, to);
    LapPass pass(width);
    if (Pass(lap, item, wheel, s, width, knee, damper, true, pass)) return pass;
    pass = LapPass(width);
    Pass(lap, item, wheel, s, width, knee, damper, false, pass);
    return pass;
}

// Runs work(l) for every l below count, on this thread and, when `parallel`, on a second
// one as well, each taking the next l not yet taken.
void ForEachLap(std::size_t count, bool parallel, const std::function<void(std::size_t)>& work) {
    std::atomic<std::size_t> next{0};
    std::exception_ptr failure;  // the second thread's
    const auto run = [&] {
        for (std::size_t l = next++; l < count; l = next++)
            work(l);
    };
    if (!parallel) {
        run();
        return;
    }
    std::thread second([&] {
        try {
            run();
        } catch (...) {
            failure = std::current_exception();
            next = count;
        }
    });
    try {
        run();
    } catch (...) {
        next = count;
        second.join();
        throw;
    }
    second.join();
    if (failure) std::rethrow_exception(failure);
}

// Whether two threads may read the laps' values of `item` at once: each lap is read by one
// thread only, and a lap keeps what its channels cache to itself. A formula channel's
// evaluation is shared by all laps, so it is read on one thread.
bool ReadInParallel(const std::vector<const PerfCore*>& laps, const DataItem& item) {
    if (!item.IsStandard() || std::thread::hardware_concurrency() < 2) return false;
    std::vector<const PerfCore*> distinct;
    long long samples = 0;
    for (const PerfCore* lap : laps) {
        if (lap == nullptr) continue;
        distinct.push_back(lap);
        samples += std::max(lap->GetSampleCount(), 0);
    }
    std::sort(distinct.begin(), distinct.end());
    // Starting a second thread costs about what reading a few thousand samples does.
    return distinct.size() >= 2 &&
           std::adjacent_find(distinct.begin(), distinct.end()) == distinct.end() &&
           samples >= 10000;
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

    // Each lap is read once. A lap whose values lie too far apart for bins of this width
    // widens its own bins by tens as it goes. Long laps are shared out between two threads.
    std::vector<LapPass> passes(laps.size());
    ForEachLap(laps.size(), ReadInParallel(laps, *request.item), [&](std::size_t l) {
        if (laps[l] != nullptr)
            passes[l] = PassLap(*laps[l], *request.item, wheel, request.from, request.to, width,
                                knee, damper);
    });
    int decade = 0;
    for (std::size_t l = 0; l < laps.size(); ++l) {
        const LapPass& p = passes[l];
        if (!p.weight.empty()) decade = std::max(decade, p.decade);
        if (damper && p.sums.total > 0.0) {
            DamperShares& shares = h.laps[l].shares;
            const double scale = 100.0 / p.sums.total;
            shares.bumpSlow = p.sums.bumpSlow * scale;
            shares.bumpFast = p.sums.bumpFast * scale;
            shares.reboundSlow = p.sums.reboundSlow * scale;
            shares.reboundFast = p.sums.reboundFast * scale;
            shares.bump = shares.bumpSlow + shares.bumpFast;
            shares.rebound = shares.reboundSlow + shares.reboundFast;
        }
    }
    // Every lap's bin numbers on the widest lap's bins.
    const auto common = [decade](const LapPass& p, long long k) {
        return FloorDiv(k, TenTo(decade - p.decade));
    };
    // The laps' bins side by side; more than kMaxBins of them merge by a round factor (2, 5,
    // 10 ...), so that every merged bin holds whole bins of the first width.
    long long kLow = std::numeric_limits<long long>::max();
    long long kHigh = std::numeric_limits<long long>::min();
    for (const LapPass& p : passes) {
        if (p.weight.empty()) continue;
        kLow = std::min(kLow, common(p, p.first));
        kHigh = std::max(kHigh, common(p, p.first + p.Bins() - 1));
    }
    if (kLow > kHigh) return h;
    long long factor = 1;
    for (long long step = 1;
         FloorDiv(kHigh, factor) - FloorDiv(kLow, factor) + 1 > Histogram::kMaxBins; step *= 10) {
        for (long long f : {2 * step, 5 * step, 10 * step}) {
            factor = f;
            if (FloorDiv(kHigh, factor) - FloorDiv(kLow, factor) + 1 <= Histogram::kMaxBins) break;
        }
    }
    h.binWidth = width * (std::pow(10.0, decade) * static_cast<double>(factor));
    const long long firstBin = FloorDiv(kLow, factor);
    h.origin = static_cast<double>(firstBin) * h.binWidth;
    h.binCount = static_cast<int>(FloorDiv(kHigh, factor) - firstBin + 1);

    for (std::size_t l = 0; l < laps.size(); ++l) {
        HistogramLap& out = h.laps[l];
        out.percent.assign(static_cast<std::size_t>(h.binCount), 0.0);
        const LapPass& p = passes[l];
        out.samples = p.sums.samples;
        out.seconds = p.sums.total;
        const double scale = p.sums.total > 0.0 ? 100.0 / p.sums.total : 0.0;
        for (long long i = 0; i < p.Bins(); ++i) {
            const long long bin = FloorDiv(common(p, p.first + i), factor) - firstBin;
            out.percent[static_cast<std::size_t>(bin)] +=
                p.weight[static_cast<std::size_t>(i)] * scale;
        }
    }
    return h;
}

}  // namespace pellith
