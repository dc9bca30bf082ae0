#include "lapgen/SegWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <stdexcept>

#include "Bytes.h"
#include "Encoding.h"

namespace lapgen {
namespace {

// The game's track checksums by track number, for laps that record a version instead.
constexpr std::array<std::uint32_t, 16> kGP2TrackChecksums = {
    0xfb84d4a0, 0xf0bd9661, 0x875c0066, 0x25531329, 0x23c26589, 0xd9779bef, 0x6caa1499, 0x883cafd9,
    0x6dceb94b, 0xe28ed299, 0xbeeef45f, 0x453e95a3, 0x1b26e5d8, 0xbbc5995d, 0x42cb8229, 0x9f1f4008};

constexpr double kHillHeight = 1.5;  // m, one gentle rise and fall per lap

struct Pose {
    double x = 0, y = 0, heading = 0, curvature = 0;
};

// Linear interpolation between the samples around distance d (0 <= d <= lap end).
Pose PoseAt(const std::vector<Sample>& samples, double d) {
    auto it = std::upper_bound(samples.begin(), samples.end(), d,
                               [](double v, const Sample& s) { return v < s.distance; });
    if (it == samples.begin()) ++it;
    if (it == samples.end()) --it;
    const Sample& b = *it;
    const Sample& a = *(it - 1);
    const double span = b.distance - a.distance;
    const double t = span > 0 ? std::clamp((d - a.distance) / span, 0.0, 1.0) : 0.0;
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.heading + (b.heading - a.heading) * t,
            a.curvature + (b.curvature - a.curvature) * t};
}

std::int16_t Angle16(double radians) {
    const auto turns =
        static_cast<long long>(std::llround(radians / (2 * std::numbers::pi) * 65536));
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(turns & 0xffff));
}

std::uint16_t PackSide(double units, int small) {
    const auto v = static_cast<int>(std::lround(std::clamp(units, -512.0, 511.0)));
    return static_cast<std::uint16_t>((static_cast<unsigned>(v) << 6) | (small & 0x3f));
}

SegRecord Record(const Pose& p, double height, double slope, double width, int index) {
    SegRecord r;
    r.nr = static_cast<std::uint16_t>(index & 0x7ff);
    r.angle = Angle16(p.heading);
    r.angleV = Angle16(std::atan(slope));
    r.x = RoundTo<std::int16_t>(p.x / kSegUnit);
    r.y = RoundTo<std::int16_t>(p.y / kSegUnit);
    r.height = RoundTo<std::int16_t>(height / kSegUnit);
    r.width = RoundTo<std::uint16_t>(width / kSegUnit);
    // Left edge = centre + (-xs, ys): the side vector is half the width along (sin h, cos h).
    const double half = width / 2 / kSegUnit;
    r.xSide = PackSide(half * std::sin(p.heading), index * 7 + 3);
    r.ySide = PackSide(half * std::cos(p.heading), index * 11 + 5);
    r.unknown18 = static_cast<std::uint16_t>((index * 29 + 0x17) & 0xffff);
    r.unknown26 = 0xc0de0000u | static_cast<std::uint32_t>(index & 0xffff);
    return r;
}

void WriteRecord(ByteWriter& w, const SegRecord& r) {
    w.U16(r.nr);
    w.I16(r.angle);
    w.I16(r.angleV);
    w.I16(r.x);
    w.I16(r.y);
    w.I16(r.height);
    w.U16(r.width);
    w.U16(r.xSide);
    w.U16(r.ySide);
    w.U16(r.unknown18);
    w.I16(r.ccLine);
    w.U32(r.flags);
    w.U32(r.unknown26);
}

}  // namespace

SegTrack BuildSegTrack(const Lap& lap, std::uint32_t checksum, const std::string& name) {
    const std::vector<Sample>& samples = lap.samples;
    if (samples.size() < 2) throw std::invalid_argument("lapgen: a segment file needs two samples");
    SegTrack track;
    track.checksum = checksum;
    track.name = name;
    for (std::size_t i = 0; i < track.kerbs.size(); ++i) {
        track.kerbs[i] = static_cast<std::uint16_t>(0x100 + i);  // widths no reader uses
    }
    track.kerbs[1] = 26;  // normal kerbs, about 1 m
    track.kerbs[2] = 24;
    track.kerbs[5] = 14;  // low kerbs, about half a metre
    track.kerbs[6] = 12;

    const double length = samples.back().distance;
    const auto count = static_cast<int>(std::ceil(length / kSegSpacing));
    const double halfWidth = kSegTrackWidth / 2;
    for (int i = 0; i < count; ++i) {
        const double d = i * kSegSpacing;
        const Pose p = PoseAt(samples, d);
        const double phase = 2 * std::numbers::pi * d / length;
        const double height = kHillHeight * std::sin(phase);
        const double slope = kHillHeight * 2 * std::numbers::pi / length * std::cos(phase);
        SegRecord r = Record(p, height, slope, kSegTrackWidth, i);
        // The racing line cuts to the inside of bends: positive offsets lie to the right,
        // the offset being twice the metres over the unit.
        const double right = -std::clamp(p.curvature * 250.0, -1.0, 1.0) * 0.7 * halfWidth;
        r.ccLine = RoundTo<std::int16_t>(2 * right / kSegUnit);
        // A kerb on the inside of the bend: bit 0 left, bit 1 right.
        if (std::abs(p.curvature) > kSegKerbCurvature) r.flags = p.curvature > 0 ? 1u : 2u;
        track.segs.push_back(r);
        track.centreX.push_back(p.x);
        track.centreY.push_back(p.y);
    }

    // Each bend has normal kerbs on its entry half and low kerbs on its exit half.
    for (std::size_t first = 0; first < track.segs.size();) {
        const std::uint32_t side = track.segs[first].flags;
        std::size_t end = first + 1;
        while (end < track.segs.size() && track.segs[end].flags == side)
            ++end;
        if (side != 0) {
            for (std::size_t i = first + (end - first) / 2; i < end; ++i)
                track.segs[i].flags |= 4u;
        }
        first = end;
    }

    // The pit lane runs beside the track across the start line.
    const auto pitCount = static_cast<int>(std::floor(2 * kSegPitHalfLength / kSegSpacing)) + 1;
    for (int j = 0; j < pitCount; ++j) {
        double d = length - kSegPitHalfLength + j * kSegSpacing;
        if (d >= length) d -= length;
        Pose p = PoseAt(samples, d);
        p.x += kSegPitOffset * std::sin(p.heading);
        p.y -= kSegPitOffset * std::cos(p.heading);
        track.pits.push_back(Record(p, 0.0, 0.0, kSegPitWidth, j));
    }
    return track;
}

std::uint32_t GP2LapTrackChecksum(const GP2Raw& raw, const GP2WriteOptions& options) {
    const int version = options.gp3LengthBody ? 0 : options.strelkoVersion;
    const std::uint32_t stored = version == 5 ? 5u : raw.trackChecksum;
    if (version != 0 && stored <= 5) {
        return raw.track < kGP2TrackChecksums.size() ? kGP2TrackChecksums[raw.track] : 0;
    }
    return stored;
}

std::string SegFileName(std::uint32_t checksum) {
    char name[16];
    std::snprintf(name, sizeof name, "%08x.seg", static_cast<unsigned>(checksum));
    return name;
}

std::vector<std::uint8_t> WriteSeg(const SegTrack& track, const SegWriteOptions& options) {
    std::vector<std::uint8_t> file;
    ByteWriter w(file);
    const bool pits = options.version >= 3;
    w.U32(options.badMagic ? kSegMagic ^ 0x20u : kSegMagic);
    w.U32(options.version);
    w.U32(options.segCountOverride.value_or(static_cast<std::uint32_t>(track.segs.size())));
    if (pits) {
        w.U32(options.pitCountOverride.value_or(static_cast<std::uint32_t>(track.pits.size())));
    }
    for (std::uint16_t k : track.kerbs) {
        w.U16(k);
    }
    if (options.version >= 2) {
        w.U32(options.checksumMismatch ? track.checksum + 1 : track.checksum);
        for (std::size_t i = 0; i < 38; ++i) {
            w.U8(i < std::min<std::size_t>(track.name.size(), 37)
                     ? static_cast<std::uint8_t>(track.name[i])
                     : 0);
        }
    }
    for (const SegRecord& r : track.segs) {
        WriteRecord(w, r);
    }
    if (pits) {
        for (const SegRecord& r : track.pits) {
            WriteRecord(w, r);
        }
    }
    file.resize(file.size() - std::min(options.truncateBy, file.size()));
    return file;
}

}  // namespace lapgen
