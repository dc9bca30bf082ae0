#include "lapgen/GP3Writer.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "Encoding.h"

namespace lapgen {
namespace {

void U8(std::vector<std::uint8_t>& out, std::uint8_t v) { out.push_back(v); }
void U16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xff));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void U32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    U16(out, static_cast<std::uint16_t>(v & 0xffff));
    U16(out, static_cast<std::uint16_t>(v >> 16));
}

}  // namespace

GP3Raw EncodeGP3(const Lap& lap) {
    GP3Raw raw;
    EncodeGPHeader(lap, raw);

    raw.samples.reserve(lap.samples.size());
    for (const Sample& s : lap.samples) {
        GP3SampleRaw r;
        r.distance = RoundTo<std::uint16_t>(s.distance / kFoot);
        r.speed = RoundTo<std::int16_t>(s.speed / kSpeedUnit);
        r.steering = RoundTo<std::int16_t>(s.steering / kSteeringUnit);
        r.revs = RoundTo<std::uint16_t>(s.revs / kRevsUnit + kGP3RevsOffset);
        r.throttle = RoundTo<std::uint8_t>(s.throttle * kPedalScale);
        r.brake = RoundTo<std::uint8_t>(s.brake * kPedalScale);
        r.gear = RoundTo<std::int8_t>(s.gear);
        for (int w = 0; w < 4; ++w) {
            r.rideHeight[w] = RoundTo<std::uint8_t>(s.rideHeight[w] / kRideHeightUnit);
            r.suspTravel[w] = RoundTo<std::uint8_t>(s.suspTravel[w] / kSuspTravelUnit);
            const auto wheel = RoundTo<std::uint16_t>(s.wheelSpeed[w] / kWheelSpeedUnit);
            r.wheelSpeedHigh[w] = static_cast<std::uint8_t>(wheel >> 8);
        }
        r.latAcc = RoundTo<std::int8_t>(-s.latAcc);
        r.longAcc = RoundTo<std::int8_t>(s.longAcc);
        r.coarseX = RoundTo<std::uint8_t>(s.x / kCoarsePosUnit + 128.0);
        r.coarseY = RoundTo<std::uint8_t>(s.y / kCoarsePosUnit + 128.0);
        raw.samples.push_back(r);
    }
    return raw;
}

std::uint32_t GP3PerfFileId(GP3Game game) {
    return game == GP3Game::GP4 ? 0xabadfeedu : kGP2FileId;
}

std::vector<std::uint8_t> BuildGP3Body(const GP3Raw& raw, const GP3WriteOptions& options) {
    const std::uint32_t count = options.sampleCountOverride.value_or(raw.sampleCount);
    std::vector<std::uint8_t> body;
    body.reserve(kGP2BodyHeaderSize + raw.samples.size() * kGP3SampleSize + options.trailingBytes +
                 8);
    U32(body, count);
    U16(body, raw.trackLengthFt);
    U8(body, raw.track);
    U8(body, raw.lapNumber);
    U16(body, 0);
    U16(body, raw.dateDays);
    U8(body, 0);  // version byte, unused by these games
    U8(body, raw.seconds);
    U8(body, raw.minutes);
    U8(body, raw.hours);
    U32(body, raw.lapTimeMs);
    for (char c : raw.name)
        U8(body, static_cast<std::uint8_t>(c));
    U32(body, 0);  // checksum field, unused by these games

    for (const GP3SampleRaw& s : raw.samples) {
        U16(body, s.distance);
        U16(body, static_cast<std::uint16_t>(s.speed));
        U16(body, static_cast<std::uint16_t>(s.steering));
        U16(body, s.revs);
        U8(body, s.throttle);
        U8(body, s.brake);
        U8(body, static_cast<std::uint8_t>(s.gear));
        for (std::uint8_t v : s.rideHeight)
            U8(body, v);
        for (std::uint8_t v : s.suspTravel)
            U8(body, v);
        for (std::uint8_t v : s.wheelSpeedHigh)
            U8(body, v);
        U8(body, static_cast<std::uint8_t>(s.latAcc));
        U8(body, static_cast<std::uint8_t>(s.longAcc));
        U8(body, s.coarseX);
        U8(body, s.coarseY);
    }
    for (std::size_t i = 0; i < options.trailingBytes; ++i) {
        U8(body, static_cast<std::uint8_t>((i * 37 + 11) & 0xff));
    }
    if (options.gp2LengthBody) {
        body.resize(std::min<std::size_t>(
            body.size(), kGP2BodyHeaderSize + kGP2SampleSize * std::size_t{count}));
    }
    if (options.strelkoSignature) {
        U32(body, static_cast<std::uint32_t>(kGP2BodyHeaderSize));
        U32(body, kStrelkoSignature);
    }
    return body;
}

std::vector<std::uint8_t> WriteGP3Perf(GP3Game game, const GP3Raw& raw,
                                       const GP3WriteOptions& options) {
    const std::vector<std::uint8_t> body = BuildGP3Body(raw, options);
    std::vector<std::uint8_t> file;
    U32(file, options.fileId.value_or(GP3PerfFileId(game)));
    U8(file,
       static_cast<std::uint8_t>(options.fileType | (options.compress ? kFileTypeCompressed : 0)));
    U8(file, options.headerTrackOverride.value_or(raw.track));
    for (std::size_t i = 6; i < kGP2HeaderSize; ++i) {
        U8(file, static_cast<std::uint8_t>((i * 13 + 5) & 0xff));
    }
    if (options.compress) {
        const std::vector<std::uint8_t> stored = CompressGP(body);
        file.insert(file.end(), stored.begin(), stored.end());
    } else {
        file.insert(file.end(), body.begin(), body.end());
    }
    const std::uint32_t sum = GPChecksum(file);
    auto word1 = static_cast<std::uint16_t>(sum & 0xffff);
    auto word2 = static_cast<std::uint16_t>(sum >> 16);
    if (options.checksum == Checksum::Offset) {
        word1 = static_cast<std::uint16_t>(word1 + kChecksumOffset1);
        word2 = static_cast<std::uint16_t>(word2 + kChecksumOffset2);
    } else if (options.checksum == Checksum::Bad) {
        word1 = static_cast<std::uint16_t>(word1 + 1);
    }
    U16(file, word1);
    U16(file, word2);
    file.resize(file.size() - std::min(options.truncateBy, file.size()));
    return file;
}

}  // namespace lapgen
