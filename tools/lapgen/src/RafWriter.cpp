#include "lapgen/RafWriter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "Bytes.h"
#include "Encoding.h"

namespace lapgen {

namespace {
constexpr double kGravity = 9.81;

double Lerp(double a, double b, double f) { return a + (b - a) * f; }

// The model's state at time t, linear between its samples; the gear of the earlier one.
Sample At(const Lap& lap, double t) {
    const auto& s = lap.samples;
    const double pos = std::clamp(t / lap.timeStep, 0.0, static_cast<double>(s.size() - 1));
    const std::size_t k = std::min(static_cast<std::size_t>(pos), s.size() - 2);
    const double f = pos - static_cast<double>(k);
    const Sample& a = s[k];
    const Sample& b = s[k + 1];
    Sample out = a;
    auto mix = [f](double p, double q) { return Lerp(p, q, f); };
    out.time = t;
    out.distance = mix(a.distance, b.distance);
    out.speed = mix(a.speed, b.speed);
    out.steering = mix(a.steering, b.steering);
    out.revs = mix(a.revs, b.revs);
    out.throttle = mix(a.throttle, b.throttle);
    out.brake = mix(a.brake, b.brake);
    out.x = mix(a.x, b.x);
    out.y = mix(a.y, b.y);
    out.heading = mix(a.heading, b.heading);
    out.longAcc = mix(a.longAcc, b.longAcc);
    out.latAcc = mix(a.latAcc, b.latAcc);
    for (int w = 0; w < 4; ++w) {
        out.suspTravel[w] = mix(a.suspTravel[w], b.suspTravel[w]);
        out.wheelSpeed[w] = mix(a.wheelSpeed[w], b.wheelSpeed[w]);
        out.wheelLoad[w] = mix(a.wheelLoad[w], b.wheelLoad[w]);
        out.camber[w] = mix(a.camber[w], b.camber[w]);
    }
    return out;
}

// Time at which the lap reaches a distance, linear between samples.
double TimeAtDistance(const Lap& lap, double distance) {
    const auto& s = lap.samples;
    for (std::size_t k = 1; k < s.size(); ++k) {
        if (s[k].distance >= distance) {
            const double span = s[k].distance - s[k - 1].distance;
            const double f = span > 0 ? (distance - s[k - 1].distance) / span : 1.0;
            return Lerp(s[k - 1].time, s[k].time, f);
        }
    }
    return lap.lapTime;
}

void PutText(std::vector<std::uint8_t>& h, std::size_t at, const std::string& text,
             std::size_t size) {
    std::fill_n(h.begin() + static_cast<std::ptrdiff_t>(at), size, std::uint8_t{0});
    std::copy_n(text.begin(), std::min(text.size(), size),
                h.begin() + static_cast<std::ptrdiff_t>(at));
}

std::int16_t Unit(double v) { return RoundTo<std::int16_t>(v * 32767.0); }
}  // namespace

RafRaw EncodeRaf(const Lap& lap, const RafOptions& o) {
    if (o.intervalMs < 1 || o.intervalMs > 255) {
        throw std::invalid_argument("lapgen: RAF sample interval must be 1..255 ms");
    }
    RafRaw raw;
    raw.interval = o.intervalMs * 0.001;
    raw.header = BuildLFSSetupHeader(o.setup);
    std::vector<std::uint8_t>& h = raw.header;

    // Travel of each wheel's block at full extension, as the header holds it (0 means 0.2).
    std::array<float, 4> travel{};
    std::array<float, 4> radius{};
    for (std::size_t w = 0; w < 4; ++w) {
        travel[w] = o.setup.travel[w] != 0.0f ? o.setup.travel[w] : 0.2f;
        radius[w] = static_cast<float>(kWheelRadius);
    }

    const auto count = static_cast<std::size_t>(std::floor(lap.lapTime / raw.interval + 1e-9)) + 1;
    raw.blocks.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const Sample s = At(lap, static_cast<double>(i) * raw.interval);
        RafBlock b;
        b.throttle = static_cast<float>(s.throttle);
        b.brake = static_cast<float>(s.brake);
        b.steering = static_cast<float>(s.steering);
        b.gearPlusOne = static_cast<std::uint8_t>(s.gear + 1);
        b.speed = static_cast<float>(s.speed);
        b.drivenDistance = static_cast<float>(s.distance * o.drivenFactor);
        b.x = RoundTo<std::int32_t>(s.x * 65536.0);
        b.y = RoundTo<std::int32_t>(s.y * 65536.0);
        b.z = RoundTo<std::int32_t>(2.0 * std::sin(s.distance / 500.0) * 65536.0);
        b.revs = static_cast<float>(s.revs);
        b.lapDistance = static_cast<float>(s.distance);
        // Forward along the heading; right is forward turned a quarter clockwise.
        const double fx = std::cos(s.heading);
        const double fy = std::sin(s.heading);
        b.forwardX = Unit(fx);
        b.forwardY = Unit(fy);
        b.rightX = Unit(fy);
        b.rightY = Unit(-fx);
        for (std::size_t w = 0; w < 4; ++w) {
            b.compression[w] = static_cast<float>(travel[w] - s.suspTravel[w]);
            b.load[w] = static_cast<float>(s.wheelLoad[w]);
            // Grip shared by the wheels in proportion to their load; lateral towards the right.
            b.lateralForce[w] = static_cast<float>(-s.wheelLoad[w] * s.latAcc / kGravity);
            b.longitudinalForce[w] = static_cast<float>(s.wheelLoad[w] * s.longAcc / kGravity);
            b.angularSpeed[w] = static_cast<float>(s.wheelSpeed[w] / radius[w]);
            b.camber[w] = static_cast<float>(s.camber[w]);
        }
        raw.blocks.push_back(b);
    }

    for (double f : o.splitFractions)
        raw.splits.push_back(
            RoundTo<std::uint32_t>(TimeAtDistance(lap, f * lap.trackLength) * 1000));
    raw.splits.push_back(RoundTo<std::uint32_t>(lap.lapTime * 1000.0));
    if (raw.splits.size() > 4) throw std::invalid_argument("lapgen: at most four RAF splits");

    raw.trackLength = o.trackLengthKnown ? static_cast<float>(lap.trackLength) : 0.0f;
    std::fill_n(h.begin(), 8, std::uint8_t{0});
    std::copy_n(o.magic.begin(), std::min<std::size_t>(o.magic.size(), 8), h.begin());
    h[8] = o.version;
    h[9] = static_cast<std::uint8_t>(o.intervalMs);
    Put16(h, 12, o.headerSize);
    Put16(h, 14, o.blockSize);
    Put16(h, 16, o.wheelSubBlockSize);
    Put16(h, 18, o.firstWheelSubBlock);
    Put32(h, 20,
          static_cast<std::uint32_t>(o.blockCountOverride >= 0 ? o.blockCountOverride
                                                               : static_cast<std::int64_t>(count)));
    PutFloat(h, 28, raw.trackLength);
    PutText(h, 32, o.player, 32);
    PutText(h, 64, o.car, 32);
    PutText(h, 96, o.track, 32);
    PutText(h, 128, o.layout, 16);
    PutText(h, 144, o.weather, 16);
    PutText(h, 160, o.program, 8);
    h[168] = o.helps;
    h[170] = o.hlvc;
    h[171] = static_cast<std::uint8_t>(
        o.splitCountOverride >= 0 ? o.splitCountOverride : static_cast<int>(raw.splits.size()));
    for (std::size_t j = 0; j < raw.splits.size(); ++j)
        Put32(h, 172 + 4 * j, raw.splits[j]);
    PutFloat(h, 188, o.mass);
    PutFloat(h, 192, o.sprungMass);
    return raw;
}

std::vector<std::uint8_t> WriteRaf(const RafRaw& raw, const RafOptions& o) {
    if (o.blockSize < 64) throw std::invalid_argument("lapgen: RAF blocks hold at least 64 bytes");
    std::vector<std::uint8_t> out(raw.header);
    out.resize(raw.header.size() + raw.blocks.size() * o.blockSize);
    std::vector<std::uint8_t> block(o.blockSize);
    std::size_t at = raw.header.size();
    for (const RafBlock& b : raw.blocks) {
        // Bytes the reader must carry but not interpret.
        for (std::size_t k = 0; k < block.size(); ++k)
            block[k] = static_cast<std::uint8_t>(0xA5 ^ k);
        PutFloat(block, 0, b.throttle);
        PutFloat(block, 4, b.brake);
        PutFloat(block, 8, b.steering);
        block[20] = b.gearPlusOne;
        PutFloat(block, 24, b.speed);
        PutFloat(block, 28, b.drivenDistance);
        Put32(block, 32, static_cast<std::uint32_t>(b.x));
        Put32(block, 36, static_cast<std::uint32_t>(b.y));
        Put32(block, 40, static_cast<std::uint32_t>(b.z));
        PutFloat(block, 44, b.revs);
        PutFloat(block, 48, b.lapDistance);
        Put16(block, 52, static_cast<std::uint16_t>(b.rightX));
        Put16(block, 54, static_cast<std::uint16_t>(b.rightY));
        Put16(block, 58, static_cast<std::uint16_t>(b.forwardX));
        Put16(block, 60, static_cast<std::uint16_t>(b.forwardY));
        for (std::size_t w = 0; w < 4; ++w) {
            const auto sub =
                o.firstWheelSubBlock +
                o.wheelSubBlockSize * static_cast<std::size_t>(o.setup.blockOfWheel[w]);
            // A sub-block reaching past the block keeps what fits.
            std::vector<std::uint8_t> fields(32, 0);
            PutFloat(fields, 0, b.compression[w]);
            PutFloat(fields, 8, b.lateralForce[w]);
            PutFloat(fields, 12, b.longitudinalForce[w]);
            PutFloat(fields, 16, b.load[w]);
            PutFloat(fields, 20, b.angularSpeed[w]);
            PutFloat(fields, 24, b.camber[w]);
            const std::size_t length = std::min<std::size_t>(32, o.wheelSubBlockSize);
            for (std::size_t k = 0; k < length && sub + k < block.size(); ++k)
                block[sub + k] = fields[k];
        }
        std::copy(block.begin(), block.end(), out.begin() + static_cast<std::ptrdiff_t>(at));
        at += block.size();
    }
    out.resize(out.size() - std::min(o.truncateBy, out.size()));
    return out;
}

}  // namespace lapgen
