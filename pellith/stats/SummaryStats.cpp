#include "pellith/stats/SummaryStats.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#include "morlund/core/PerfCore.h"

namespace pellith {

namespace {

// Truncation towards zero that stays defined for any double.
int TruncateToInt(double v) {
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return std::numeric_limits<int>::max();
    if (v <= -2147483648.0) return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

// Rounded integer mean and percentage, as the statistics table shows them.
int Average(std::int64_t sum, std::int64_t count) {
    return count > 0 ? static_cast<int>((sum + count / 2) / count) : 0;
}
int Percentage(std::int64_t matches, std::int64_t count) {
    return count > 0 ? static_cast<int>((matches * 100 + count / 2) / count) : 0;
}

PedalSummary Pedal(const morlund::PerfCore& buffer, double (morlund::PerfCore::*value)(int) const) {
    PedalSummary summary;
    const int n = buffer.GetSampleCount();
    if (n <= 0) return summary;
    std::int64_t sum = 0;
    std::int64_t full = 0;
    std::int64_t none = 0;
    for (int i = 0; i < n; ++i) {
        const int percent = PedalPercent((buffer.*value)(i));
        sum += percent;
        if (percent == 100) ++full;
        if (percent == 0) ++none;
    }
    summary.average = Average(sum, n);
    summary.full = Percentage(full, n);
    summary.none = Percentage(none, n);
    return summary;
}

ValueSummary Summarise(const morlund::PerfCore& buffer,
                       double (morlund::PerfCore::*value)(int) const) {
    ValueSummary summary;
    const int n = buffer.GetSampleCount();
    if (n <= 0) return summary;
    double sum = 0.0;
    summary.minimum = summary.maximum = (buffer.*value)(0);
    for (int i = 0; i < n; ++i) {
        const double v = (buffer.*value)(i);
        sum += v;
        summary.maximum = std::max(summary.maximum, v);
        summary.minimum = std::min(summary.minimum, v);
    }
    summary.average = sum / n;
    return summary;
}

}  // namespace

int RevsToRpm(double radiansPerSecond) {
    return TruncateToInt(radiansPerSecond * 30.0 / std::numbers::pi);
}

int PedalPercent(double value) { return TruncateToInt(value * 100.0); }

SpeedSummary GetSpeedSummary(const morlund::PerfCore& buffer) {
    return Summarise(buffer, &morlund::PerfCore::GetSpeed);
}

RevsSummary GetRevsSummary(const morlund::PerfCore& buffer) {
    RevsSummary summary;
    const int n = buffer.GetSampleCount();
    if (n <= 0) return summary;
    std::int64_t sum = 0;
    summary.minimum = summary.maximum = RevsToRpm(buffer.GetRevs(0));
    for (int i = 0; i < n; ++i) {
        const int rpm = RevsToRpm(buffer.GetRevs(i));
        sum += rpm;
        summary.minimum = std::min(summary.minimum, rpm);
        summary.maximum = std::max(summary.maximum, rpm);
    }
    summary.average = Average(sum, n);
    return summary;
}

PedalSummary GetThrottleSummary(const morlund::PerfCore& buffer) {
    return Pedal(buffer, &morlund::PerfCore::GetThrottle);
}

PedalSummary GetBrakeSummary(const morlund::PerfCore& buffer) {
    return Pedal(buffer, &morlund::PerfCore::GetBrake);
}

int GetCoastingShare(const morlund::PerfCore& buffer) {
    const int n = buffer.GetSampleCount();
    std::int64_t coasting = 0;
    for (int i = 0; i < n; ++i) {
        if (PedalPercent(buffer.GetThrottle(i)) == 0 && PedalPercent(buffer.GetBrake(i)) == 0) {
            ++coasting;
        }
    }
    return Percentage(coasting, n);
}

SteeringSummary GetSteeringSummary(const morlund::PerfCore& buffer) {
    return Summarise(buffer, &morlund::PerfCore::GetSteering);
}

int GetGearChanges(const morlund::PerfCore& buffer) {
    const int n = buffer.GetSampleCount();
    int changes = 0;
    for (int i = 1; i < n; ++i) {
        if (buffer.GetGear(i) != buffer.GetGear(i - 1)) ++changes;
    }
    return changes;
}

LapSummary GetLapSummary(const morlund::PerfCore& buffer) {
    LapSummary summary;
    summary.speed = GetSpeedSummary(buffer);
    summary.revs = GetRevsSummary(buffer);
    summary.throttle = GetThrottleSummary(buffer);
    summary.brake = GetBrakeSummary(buffer);
    summary.coasting = GetCoastingShare(buffer);
    summary.steering = GetSteeringSummary(buffer);
    summary.gearChanges = GetGearChanges(buffer);
    return summary;
}

const LapSummary& LapSummaryCache::Get(const morlund::PerfCore& buffer) {
    auto found = m_summaries.find(&buffer);
    if (found == m_summaries.end()) {
        found = m_summaries.emplace(&buffer, GetLapSummary(buffer)).first;
        ++m_computed;
    }
    return found->second;
}

void LapSummaryCache::KeepOnly(const std::vector<const morlund::PerfCore*>& buffers) {
    std::erase_if(m_summaries, [&](const auto& entry) {
        return std::find(buffers.begin(), buffers.end(), entry.first) == buffers.end();
    });
}

}  // namespace pellith
