#include "lapgen/F1RSWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <numbers>
#include <stdexcept>

#include "Bytes.h"
#include "Encoding.h"

namespace lapgen {

namespace {
constexpr double kPi = std::numbers::pi;
// File position of lapgen wheel 0..3 (files: RF, RR, LF, LR).
constexpr int kFilePos[4] = {3, 1, 2, 0};

// Indexes of the samples a stream takes: every stride-th and the last.
std::vector<std::size_t> Picks(std::size_t n, int stride) {
    if (stride < 1) throw std::invalid_argument("stream stride below 1");
    std::vector<std::size_t> picks;
    for (std::size_t i = 0; i < n; i += static_cast<std::size_t>(stride))
        picks.push_back(i);
    if (picks.back() != n - 1) picks.push_back(n - 1);
    return picks;
}

TlmRaw Encode(const Lap& lap, const TlmEncodeOptions& options, bool f1rs) {
    TlmRaw raw;
    raw.track = lap.spec.track;
    raw.lapNumber = lap.spec.lapNumber;
    raw.lapTime = f1rs ? static_cast<std::uint32_t>(std::lround(lap.lapTime * 65536.0))
                       : static_cast<std::uint32_t>(std::lround(lap.lapTime * 1000.0));
    raw.date = "12/06/04 14:25";
    const std::size_t n = lap.samples.size();
    for (std::size_t i : Picks(n, options.stride[0])) {
        const Sample& s = lap.samples[i];
        TlmEngineRecord r;
        r.time = static_cast<std::uint32_t>(std::lround(s.time * 65536.0));
        r.distance = RoundTo<std::uint16_t>(s.distance);
        r.speed =
            f1rs ? RoundTo<std::uint16_t>(s.speed * 3.6) : RoundTo<std::int16_t>(s.speed * 3.6);
        const double rpm = s.revs * 30.0 / kPi;
        r.revs = RoundTo<std::uint16_t>(f1rs ? rpm / 10.0 : rpm / 5.0);
        r.wheelSpeed = f1rs ? 0 : RoundTo<std::int16_t>(s.wheelSpeed[kLeftRear] * 3.6);
        raw.engine.push_back(r);
    }
    for (std::size_t i : Picks(n, options.stride[1])) {
        const Sample& s = lap.samples[i];
        TlmSuspRecord r;
        r.distance = RoundTo<std::uint16_t>(s.distance);
        for (int w = 0; w < 4; ++w) {
            r.travel[static_cast<std::size_t>(w)] = RoundTo<std::int8_t>(s.suspTravel[w] * 1000.0);
            // The model's camber is 0; a small per-wheel tilt makes the wheel order visible.
            r.camber[static_cast<std::size_t>(w)] =
                RoundTo<std::int16_t>(s.camber[w] * 1800.0 / kPi - 10.0 * (w + 1));
        }
        r.frontRideHeight = RoundTo<std::int16_t>(s.rideHeight[kLeftFront] * 1000.0);
        r.rearRideHeight = RoundTo<std::int16_t>(s.rideHeight[kLeftRear] * 1000.0);
        raw.susp.push_back(r);
    }
    for (std::size_t i : Picks(n, options.stride[2])) {
        const Sample& s = lap.samples[i];
        TlmInputRecord r;
        r.distance = RoundTo<std::uint16_t>(s.distance);
        r.throttle = RoundTo<std::uint8_t>(s.throttle * 99.0);
        r.brake = RoundTo<std::uint8_t>(s.brake * 100.0);
        r.gear = static_cast<std::int8_t>(s.gear);
        r.steering = RoundTo<std::int8_t>(-s.steering * 360.0 / kPi);
        raw.inputs.push_back(r);
    }
    return raw;
}

void PutEngine(std::vector<std::uint8_t>& b, std::size_t at, const TlmEngineRecord& r, bool f1rs) {
    if (f1rs) {
        Put32(b, at, r.time);
        Put16(b, at + 4, r.distance);
        Put16(b, at + 6, static_cast<std::uint32_t>(r.speed));
        Put16(b, at + 8, r.revs);
    } else {
        Put16(b, at, r.distance);
        Put16(b, at + 2, static_cast<std::uint16_t>(r.speed));
        Put16(b, at + 4, r.revs);
        Put16(b, at + 6, static_cast<std::uint16_t>(r.wheelSpeed));
    }
}

// Suspension record body from the distance on (F1RS places it at 4, MGPRS2 at 0).
void PutSusp(std::vector<std::uint8_t>& b, std::size_t at, const TlmSuspRecord& r) {
    Put16(b, at, r.distance);
    for (int w = 0; w < 4; ++w) {
        const auto p = static_cast<std::size_t>(kFilePos[w]);
        b[at + 2 + p] = static_cast<std::uint8_t>(r.travel[static_cast<std::size_t>(w)]);
        Put16(b, at + 6 + 2 * p, static_cast<std::uint16_t>(r.camber[static_cast<std::size_t>(w)]));
    }
    Put16(b, at + 14, static_cast<std::uint16_t>(r.frontRideHeight));
    Put16(b, at + 16, static_cast<std::uint16_t>(r.rearRideHeight));
}

void PutInput(std::vector<std::uint8_t>& b, std::size_t at, const TlmInputRecord& r) {
    Put16(b, at, r.distance);
    b[at + 2] = r.throttle;
    b[at + 3] = r.brake;
    b[at + 4] = static_cast<std::uint8_t>(r.gear);
    b[at + 5] = static_cast<std::uint8_t>(r.steering);
}

void PutText(std::vector<std::uint8_t>& b, std::size_t at, const std::string& text,
             std::size_t room) {
    for (std::size_t i = 0; i < text.size() && i + 1 < room; ++i)
        b[at + i] = static_cast<std::uint8_t>(text[i]);
}

void Save(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}
}  // namespace

TlmRaw EncodeF1RS(const Lap& lap, const TlmEncodeOptions& options) {
    return Encode(lap, options, true);
}
TlmRaw EncodeMGP(const Lap& lap, const TlmEncodeOptions& options) {
    return Encode(lap, options, false);
}

std::vector<std::uint8_t> WriteF1RSTelemetry(const TlmRaw& raw, std::size_t extraBytes) {
    const std::size_t size = 24 + 12 + kF1RSRecordSizes[0] * raw.engine.size() +
                             kF1RSRecordSizes[1] * raw.susp.size() +
                             kF1RSRecordSizes[2] * raw.inputs.size();
    std::vector<std::uint8_t> b(size + extraBytes, 0);
    b[0] = static_cast<std::uint8_t>(raw.track + 1);
    b[1] = static_cast<std::uint8_t>(raw.lapNumber);
    Put32(b, 4, raw.lapTime);
    PutText(b, 8, raw.date, 16);
    std::size_t at = 24;
    Put32(b, at, static_cast<std::uint32_t>(raw.engine.size()));
    at += 4;
    for (const auto& r : raw.engine) {
        PutEngine(b, at, r, true);
        at += kF1RSRecordSizes[0];
    }
    Put32(b, at, static_cast<std::uint32_t>(raw.susp.size()));
    at += 4;
    for (const auto& r : raw.susp) {
        PutSusp(b, at + 4, r);
        at += kF1RSRecordSizes[1];
    }
    Put32(b, at, static_cast<std::uint32_t>(raw.inputs.size()));
    at += 4;
    for (const auto& r : raw.inputs) {
        PutInput(b, at + 4, r);
        at += kF1RSRecordSizes[2];
    }
    return b;
}

std::array<std::vector<std::uint8_t>, 3> WriteMGPTelemetry(const TlmRaw& raw) {
    const std::size_t counts[3] = {raw.engine.size(), raw.susp.size(), raw.inputs.size()};
    std::array<std::vector<std::uint8_t>, 3> files;
    for (std::size_t s = 0; s < 3; ++s) {
        files[s].assign(32 + kMGPRecordSizes[s] * counts[s], 0);
        Put32(files[s], 0, static_cast<std::uint32_t>(counts[s]));
        files[s][4] = static_cast<std::uint8_t>(raw.track + 1);
    }
    std::vector<std::uint8_t>& first = files[0];
    first[5] = static_cast<std::uint8_t>(raw.lapNumber);
    PutText(first, 6, raw.date, 15);
    const std::uint32_t ms = raw.lapTime;
    PutText(first, 21, std::to_string(ms / 60000), 3);
    PutText(first, 24, std::to_string(ms / 1000 % 60), 4);
    PutText(first, 28, std::to_string(ms % 1000), 4);
    for (std::size_t i = 0; i < counts[0]; ++i)
        PutEngine(files[0], 32 + 14 * i, raw.engine[i], false);
    for (std::size_t i = 0; i < counts[1]; ++i)
        PutSusp(files[1], 32 + 18 * i, raw.susp[i]);
    for (std::size_t i = 0; i < counts[2]; ++i)
        PutInput(files[2], 32 + 6 * i, raw.inputs[i]);
    return files;
}

std::uint32_t F1RSLapTimeMs(std::uint32_t lapTime) {
    return static_cast<std::uint32_t>(std::uint64_t{lapTime} * 1000u / 65536u);
}

std::string F1RSScopeName(int track, std::uint32_t lapTime) {
    const std::uint32_t ms = F1RSLapTimeMs(lapTime);
    char name[64];
    std::snprintf(name, sizeof name, "%c%u%uA.seq", 'a' + track, ms / 60000u, ms % 60000u);
    return name;
}

std::vector<std::array<std::int32_t, 2>> F1RSScopePositions(const Lap& lap) {
    std::vector<std::array<std::int32_t, 2>> xy;
    for (const Sample& s : lap.samples) {
        xy.push_back({RoundTo<std::int32_t>(s.x / 0.3048 * 16384.0),
                      RoundTo<std::int32_t>(s.y / 0.3048 * 16384.0)});
    }
    return xy;
}

std::vector<std::uint8_t> BuildF1RSScopePlain(std::span<const std::array<std::int32_t, 2>> xy,
                                              std::uint32_t recordOffset) {
    if (recordOffset < 44) throw std::invalid_argument("scope records overlap the header");
    std::vector<std::uint8_t> b(recordOffset + kScopeRecordSize * xy.size(), 0);
    Put32(b, 24, recordOffset);
    Put32(b, 40, static_cast<std::uint32_t>(xy.size()));
    for (std::size_t r = 0; r < xy.size(); ++r) {
        const std::size_t at = recordOffset + kScopeRecordSize * r;
        // Filler that the reader must skip.
        for (std::size_t k = 0; k < kScopeRecordSize; ++k)
            b[at + k] = static_cast<std::uint8_t>(r + k);
        Put32(b, at + 42, static_cast<std::uint32_t>(xy[r][0]));
        Put32(b, at + 46, static_cast<std::uint32_t>(xy[r][1]));
    }
    return b;
}

void EncodeF1RSScope(std::span<std::uint8_t> image) {
    for (std::size_t i = 0; i < image.size(); ++i) {
        const unsigned key = (static_cast<unsigned>(i) * 29u + 0x4Bu) & 0xFFu;
        const unsigned b = image[i] ^ key;
        image[i] = static_cast<std::uint8_t>(((b >> 3) | (b << 5)) & 0xFFu);
    }
}

void WriteF1RSLap(const std::filesystem::path& tlmPath, const Lap& lap) {
    Save(tlmPath, WriteF1RSTelemetry(EncodeF1RS(lap)));
}

std::filesystem::path WriteF1RSScope(const std::filesystem::path& gameFolder, const Lap& lap) {
    const TlmRaw raw = EncodeF1RS(lap);
    std::vector<std::uint8_t> image = BuildF1RSScopePlain(F1RSScopePositions(lap));
    EncodeF1RSScope(image);
    const auto path = gameFolder / "f1datab" / "scope" / F1RSScopeName(raw.track, raw.lapTime);
    Save(path, image);
    return path;
}

std::filesystem::path WriteMGPLap(const std::filesystem::path& folder, const Lap& lap,
                                  const std::string& suffix) {
    const auto files = WriteMGPTelemetry(EncodeMGP(lap));
    for (std::size_t s = 0; s < 3; ++s)
        Save(folder / ("save" + std::to_string(s + 1) + suffix + ".tlm"), files[s]);
    return folder / ("save1" + suffix + ".tlm");
}

}  // namespace lapgen
