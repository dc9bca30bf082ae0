#include "lapgen/GP2Writer.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <stdexcept>

#include "Bytes.h"
#include "Compress.h"
#include "Encoding.h"

namespace lapgen {
namespace {

// Deterministic filler for bytes readers must not interpret.
void Fill(ByteWriter& w, std::size_t count, std::uint8_t salt) {
    for (std::size_t i = 0; i < count; ++i)
        w.U8(static_cast<std::uint8_t>((i * 29 + salt) & 0xff));
}

std::vector<std::uint8_t> Header(std::uint32_t fileId, std::uint8_t fileType, int track) {
    std::vector<std::uint8_t> header;
    ByteWriter w(header);
    w.U32(fileId);
    w.U8(fileType);
    w.U8(static_cast<std::uint8_t>(track));
    Fill(w, kGP2HeaderSize - 6, 0x17);
    return header;
}

// Appends the two checksum words over everything in `file`.
void AppendChecksum(std::vector<std::uint8_t>& file, Checksum form) {
    const std::uint32_t sum = GPChecksum(file);
    auto word1 = static_cast<std::uint16_t>(sum & 0xffff);
    auto word2 = static_cast<std::uint16_t>(sum >> 16);
    if (form == Checksum::Offset) {
        word1 = static_cast<std::uint16_t>(word1 + kChecksumOffset1);
        word2 = static_cast<std::uint16_t>(word2 + kChecksumOffset2);
    } else if (form == Checksum::Bad) {
        // Off by one in word 1 only: neither the plain nor the offset form.
        word1 = static_cast<std::uint16_t>(word1 + 1);
    }
    ByteWriter w(file);
    w.U16(word1);
    w.U16(word2);
}

std::vector<std::uint8_t> CompressBroken(std::span<const std::uint8_t> body,
                                         const GP2WriteOptions& options) {
    std::vector<detail::Token> tokens = detail::Tokenize(body);
    if (options.badBackReference) {
        auto first = std::find_if(tokens.begin(), tokens.end(),
                                  [](const detail::Token& t) { return t.distance != 0; });
        if (first == tokens.end() || first->outputPos >= detail::kMaxDistance) {
            throw std::logic_error("lapgen: body has no early back-reference to break");
        }
        first->distance = first->outputPos + 1;
    }
    detail::Stream stream = detail::Serialize(tokens);
    if (options.cutBackReference) {
        if (stream.wordOffsets.empty()) {
            throw std::logic_error("lapgen: body has no back-reference to cut");
        }
        stream.bytes.resize(stream.wordOffsets.back() + 1);
    }
    return stream.bytes;
}

}  // namespace

GP2Raw EncodeGP2(const Lap& lap, std::uint32_t trackChecksum) {
    GP2Raw raw;
    EncodeGPHeader(lap, raw);
    raw.trackChecksum = trackChecksum;

    raw.samples.reserve(lap.samples.size());
    for (const Sample& s : lap.samples) {
        GP2SampleRaw r;
        r.distance = RoundTo<std::uint16_t>(s.distance / kFoot);
        r.speed = RoundTo<std::int16_t>(s.speed / kSpeedUnit);
        r.steering = RoundTo<std::int16_t>(s.steering / kSteeringUnit);
        r.revs = RoundTo<std::uint16_t>(s.revs / kRevsUnit);
        r.throttle = RoundTo<std::uint8_t>(s.throttle * kPedalScale);
        r.brake = RoundTo<std::uint8_t>(s.brake * kPedalScale);
        r.gear = RoundTo<std::int8_t>(s.gear);
        for (int w = 0; w < 4; ++w) {
            r.rideHeight[w] = RoundTo<std::uint8_t>(s.rideHeight[w] / kRideHeightUnit);
            r.suspTravel[w] = RoundTo<std::uint8_t>(s.suspTravel[w] / kSuspTravelUnit);
            const auto wheel = RoundTo<std::uint16_t>(s.wheelSpeed[w] / kWheelSpeedUnit);
            r.wheelSpeedHigh[w] = static_cast<std::uint8_t>(wheel >> 8);
            r.wheelSpeedLow[w] = static_cast<std::uint8_t>(wheel & 0xff);
        }
        r.coarseX = RoundTo<std::uint8_t>(s.x / kCoarsePosUnit + 128.0);
        r.coarseY = RoundTo<std::uint8_t>(s.y / kCoarsePosUnit + 128.0);
        r.x = RoundTo<std::int32_t>(s.x / kFinePosUnit);
        r.y = RoundTo<std::int32_t>(s.y / kFinePosUnit);
        raw.samples.push_back(r);
    }
    return raw;
}

std::vector<std::uint8_t> BuildGP2Body(const GP2Raw& raw, const GP2WriteOptions& options) {
    const int version = options.gp3LengthBody ? 0 : options.strelkoVersion;
    const std::size_t n = raw.samples.size();
    std::vector<std::uint8_t> body;
    body.reserve(kGP2BodyHeaderSize + n * (kGP2SampleSize + 13) + kStrelkoExtraSize + 8);
    ByteWriter w(body);
    w.U32(options.sampleCountOverride.value_or(raw.sampleCount));
    w.U16(raw.trackLengthFt);
    w.U8(raw.track);
    w.U8(raw.lapNumber);
    w.U16(0);
    w.U16(raw.dateDays);
    // Version 5 files say so in the track checksum field instead of byte 12.
    w.U8(version == 5 ? std::uint8_t{0} : static_cast<std::uint8_t>(version));
    w.U8(raw.seconds);
    w.U8(raw.minutes);
    w.U8(raw.hours);
    w.U32(raw.lapTimeMs);
    for (char c : raw.name) {
        w.U8(static_cast<std::uint8_t>(c));
    }
    w.U32(version == 5 ? 5u : raw.trackChecksum);

    for (const GP2SampleRaw& s : raw.samples) {
        w.U16(s.distance);
        w.U16(static_cast<std::uint16_t>(s.speed));
        w.U16(static_cast<std::uint16_t>(s.steering));
        w.U16(s.revs);
        w.U8(s.throttle);
        w.U8(s.brake);
        w.U8(static_cast<std::uint8_t>(s.gear));
        for (std::uint8_t v : s.rideHeight) {
            w.U8(v);
        }
        for (std::uint8_t v : s.suspTravel) {
            w.U8(v);
        }
        for (std::uint8_t v : s.wheelSpeedHigh) {
            w.U8(v);
        }
        w.U8(s.coarseX);
        w.U8(s.coarseY);
    }

    if (options.gp3LengthBody) {
        Fill(w, 2 * n, 0x3b);
        return body;
    }
    if (version == 0) {
        return body;
    }
    const auto recordOffset = static_cast<std::uint32_t>(body.size());
    const bool leadingPad = (version == 5 || version == 6);
    for (const GP2SampleRaw& s : raw.samples) {
        if (leadingPad) {
            w.U8(0);
        }
        w.U32(static_cast<std::uint32_t>(s.x));
        w.U32(static_cast<std::uint32_t>(s.y));
        for (std::uint8_t v : s.wheelSpeedLow) {
            w.U8(v);
        }
    }
    if (version >= 6) {
        Fill(w, kStrelkoExtraSize, 0x51);
    }
    w.U32(options.recordOffsetOverride.value_or(recordOffset));
    w.U32(kStrelkoSignature);
    return body;
}

std::vector<std::uint8_t> WriteGP2Perf(const GP2Raw& raw, const GP2WriteOptions& options) {
    if ((options.badBackReference || options.cutBackReference) && !options.compress) {
        throw std::invalid_argument("lapgen: broken back-references need a compressed body");
    }
    const std::vector<std::uint8_t> body = BuildGP2Body(raw, options);
    const auto type =
        static_cast<std::uint8_t>(options.fileType | (options.compress ? kFileTypeCompressed : 0));
    std::vector<std::uint8_t> file = Header(options.fileId, type, raw.track);
    if (!options.compress) {
        file.insert(file.end(), body.begin(), body.end());
    } else if (options.badBackReference || options.cutBackReference) {
        const std::vector<std::uint8_t> stored = CompressBroken(body, options);
        file.insert(file.end(), stored.begin(), stored.end());
    } else {
        const std::vector<std::uint8_t> stored = CompressGP(body);
        file.insert(file.end(), stored.begin(), stored.end());
    }
    AppendChecksum(file, options.checksum);
    file.resize(file.size() - std::min(options.truncateBy, file.size()));
    return file;
}

std::uint32_t GPChecksum(std::span<const std::uint8_t> headerAndBody) {
    std::uint32_t s1 = 0;
    std::uint32_t s2 = 0;
    for (std::uint8_t b : headerAndBody) {
        s1 = (s1 + b) & 0xffff;
        s2 = ((((s2 << 3) | (s2 >> 13)) & 0xffff) + b) & 0xffff;
    }
    return (s2 << 16) | s1;
}

std::array<std::uint8_t, kGP2SetupRecordSize> DefaultSetupRecord() {
    std::array<std::uint8_t, kGP2SetupRecordSize> record = {
        10, 12, 28, 35, 42,  48,  54,  59,  2,   100, 0,  0,  110, 110, 110, 0,
        0,  0,  0,  0,  4,   4,   4,   4,   4,   4,   4,  4,  15,  15,  21,  21,
        15, 15, 21, 21, 100, 100, 140, 140, 116, 116, 64, 64, 2,   0,   5,   0};
    for (std::size_t g = 0; g < kGearRatios.size(); ++g) {
        record[2 + g] = RoundTo<std::uint8_t>(kGearRatios[g] * 64.0);
    }
    return record;
}

std::vector<std::uint8_t> WriteGP2Setup(int track,
                                        std::span<const std::uint8_t, kGP2SetupRecordSize> record,
                                        const GP2SetupOptions& options) {
    std::vector<std::uint8_t> file = Header(options.fileId, options.fileType, track);
    file.insert(file.end(), record.begin(), record.end());
    if (options.extraByte) {
        file.push_back(0);
    }
    AppendChecksum(file, options.badChecksum ? Checksum::Bad : Checksum::Plain);
    return file;
}

namespace {
std::string Extension(const char* prefix, int track) {
    if (track < 0 || track > 25) {
        throw std::invalid_argument("lapgen: track number must be 0..25");
    }
    return std::string(prefix) + static_cast<char>('a' + track);
}
}  // namespace

std::string GP2PerfExtension(int track) { return Extension(".pa", track); }
std::string GP2SetupExtension(int track) { return Extension(".cs", track); }

void WriteFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        throw std::runtime_error("lapgen: cannot write " + path.string());
    }
}

}  // namespace lapgen
