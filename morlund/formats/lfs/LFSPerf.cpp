#include "morlund/formats/lfs/LFSPerf.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>
#include <optional>

#include "morlund/formats/GameStrings.h"
#include "morlund/formats/lfs/LFSCarSetup.h"
#include "morlund/formats/lfs/RafHeader.h"
#include "morlund/physics/LFSPhysics.h"
#include "morlund/platform/File.h"
#include "morlund/platform/Text.h"

namespace morlund {

namespace {
constexpr const char* kHelpNames[8] = {
    "Left Hand Drive", "Gear Change Cut", "Gear Change Blip", "Auto Gears",
    "Inertia Steer",   "Mouse KB Steer",  "Braking Help",     "Throttle Help",
};
constexpr const char* kTyreNames[8] = {
    "Race Slick",  "Race Grooved", "Race Intermediate", "Race Wet", "Road Super",
    "Road Normal", "Hybrid",       "Knobbly",
};
constexpr double kVectorUnit = 1.0 / 32767.0;
constexpr double kFixedUnit = 1.0 / 65536.0;

// A NUL-terminated text of a fixed-size header field (the field need not hold the NUL).
std::string HeaderText(const std::array<std::uint8_t, 1024>& header, std::size_t offset,
                       std::size_t size) {
    const char* text = reinterpret_cast<const char*>(header.data() + offset);
    return Latin1ToUtf8(std::string_view(text, strnlen(text, size)));
}

// The car model's masses and wheel geometry from the header; wheelMap[w] is the header
// wheel block of wheel w. None for a header shorter than 1024 bytes or a map entry
// outside 0..3: the model then keeps its defaults.
std::optional<LFSPhysics::Values> CarModelValues(ByteSpan header,
                                                 const std::array<int, 4>& wheelMap) {
    if (!header.Has(0, raf::kHeaderSize)) return std::nullopt;
    for (int block : wheelMap) {
        if (block < 0 || block > 3) return std::nullopt;
    }
    const std::uint8_t* h = header.data();
    LFSPhysics::Values values;
    values.mass = LoadF32(h + raf::kMass);
    values.massAboveSprings = LoadF32(h + raf::kSprungMass);
    for (std::size_t w = 0; w < 4; ++w) {
        const std::uint8_t* block = h + raf::WheelBlock(wheelMap[w]);
        LFSPhysics::Wheel& wheel = values.wheels[w];
        wheel.radius = LoadF32(block + raf::kWheelRadius);
        wheel.travel = raf::WheelTravel(header, wheelMap[w]);
        wheel.x = LoadF32(block + raf::kWheelX);
        wheel.y = LoadF32(block + raf::kWheelY);
        wheel.z = LoadF32(block + raf::kWheelZ);
    }
    return values;
}

}  // namespace

// ---- parsing ---------------------------------------------------------------------------

bool LFSPerf::InitData(const std::uint8_t* data, std::size_t size) {
    const ByteSpan file(data, size);
    if (!file.Has(0, raf::kHeaderSize)) return false;
    std::memcpy(m_header.data(), data, raf::kHeaderSize);
    const ByteSpan header(m_header.data(), m_header.size());

    const std::size_t blockSize = LoadU16(data + raf::kBlockSize);
    const std::size_t wheelSize = LoadU16(data + raf::kWheelSubBlockSize);
    const std::size_t firstWheel = LoadU16(data + raf::kFirstWheelSubBlock);
    const std::uint32_t count = LoadU32(data + raf::kBlockCount);
    // Blocks shorter than the car state cannot hold a sample.
    if (blockSize < kCarStateSize || count == 0 || count > static_cast<std::uint32_t>(INT32_MAX))
        return false;
    const std::uint64_t needed = static_cast<std::uint64_t>(blockSize) * count;
    if (needed > size - raf::kHeaderSize) return false;

    m_wheelMap = raf::MapWheels(header);
    for (int b = 0; b < 4; ++b)
        m_travel[static_cast<std::size_t>(b)] = raf::WheelTravel(header, b);
    m_trackLength = LoadF32(data + raf::kTrackLength);
    if (!(m_trackLength > 0.0)) m_trackLength = 0.0;  // NaN counts as unknown too

    m_records.assign(kRecordSize * count, 0);
    m_count = static_cast<int>(count);
    AdviseLargeBuffer(m_records.data(), m_records.size());
    const std::uint8_t* block = data + raf::kHeaderSize;
    std::uint8_t* record = m_records.data();
    for (std::uint32_t i = 0; i < count; ++i, block += blockSize, record += kRecordSize) {
        std::memcpy(record, block, kCarStateSize);
        for (std::size_t j = 0; j < 4; ++j) {
            // A sub-block that reaches past the block gives what lies inside it.
            const std::size_t offset = firstWheel + j * wheelSize;
            if (offset >= blockSize) break;
            const std::size_t length = std::min({kWheelRecordSize, wheelSize, blockSize - offset});
            std::memcpy(record + kCarStateSize + j * kWheelRecordSize, block + offset, length);
        }
    }
    if (m_scaleLength <= 0.0) m_scaleLength = GetMaxDistance();
    Enable(true);
    return true;
}

std::unique_ptr<CarSetup> LFSPerf::CreateSetup() const { return std::make_unique<LFSCarSetup>(); }

std::unique_ptr<Physics> LFSPerf::CreatePhysics() const {
    auto physics = std::make_unique<LFSPhysics>();
    if (const auto values = CarModelValues(ByteSpan(m_header.data(), m_header.size()), m_wheelMap))
        physics->SetValues(*values);
    return physics;
}

void LFSPerf::TryLoadSetup() {
    // LFS writes no setup files: the setup travels in the header.
    auto* setup = dynamic_cast<LFSCarSetup*>(m_setup.get());
    m_setupRead =
        setup != nullptr && setup->Fill(ByteSpan(m_header.data(), m_header.size()), m_wheelMap);
}

void LFSPerf::SetScaleLength(double length) {
    if (length == m_scaleLength) return;
    m_scaleLength = length;
    if (IsTrackLengthKnown() || m_extra.empty()) return;
    InitDistanceBuf();
    InitExtraBuf();
    FlushCaches();
}

// ---- channels --------------------------------------------------------------------------

double LFSPerf::Float(int sample, std::size_t offset) const {
    return LoadF32(Rec(sample) + offset);
}

double LFSPerf::Fixed(int sample, std::size_t offset) const {
    return LoadI32(Rec(sample) + offset) * kFixedUnit;
}

double LFSPerf::WheelFloat(int sample, int wheel, std::size_t offset) const {
    return LoadF32(Rec(sample) + kCarStateSize +
                   kWheelRecordSize * static_cast<std::size_t>(Block(wheel)) + offset);
}

double LFSPerf::GetSampleInterval() const {
    const int ms = m_header[raf::kIntervalMs];
    return ms != 0 ? ms * 0.001 : 0.01;
}

double LFSPerf::GetTime(int sample) const { return sample * GetSampleInterval(); }

double LFSPerf::GetDistance(int sample) const {
    if (IsTrackLengthKnown()) return Float(sample, 48);
    const double last = GetDrivenDistance(m_count - 1);
    // A lap that never moved has nothing to stretch.
    if (!(last > 0.0)) return GetDrivenDistance(sample);
    return m_scaleLength * GetDrivenDistance(sample) / last;
}

double LFSPerf::GetMaxDistance() const {
    if (m_count == 0) return 0.0;
    return IsTrackLengthKnown() ? Float(m_count - 1, 48) : GetDrivenDistance(m_count - 1);
}

double LFSPerf::GetSuspTravel(int sample, int wheel) const {
    return m_travel[static_cast<std::size_t>(Block(wheel))] - WheelFloat(sample, wheel, 0);
}

double LFSPerf::GetWheelSpeed(int sample, int wheel) const {
    const std::uint8_t* block = m_header.data() + raf::WheelBlock(Block(wheel));
    return WheelFloat(sample, wheel, 20) * LoadF32(block + raf::kWheelRadius);
}

Vect LFSPerf::Right(int sample) const {
    const std::uint8_t* r = Rec(sample);
    return {LoadI16(r + 52) * kVectorUnit, LoadI16(r + 54) * kVectorUnit};
}

Vect LFSPerf::Forward(int sample) const {
    const std::uint8_t* r = Rec(sample);
    return {LoadI16(r + 58) * kVectorUnit, LoadI16(r + 60) * kVectorUnit};
}

double LFSPerf::GetAngleImpl(int sample) const {
    const Vect f = Forward(sample);
    return std::atan2(-f.x, f.y);
}

double LFSPerf::GetAcceleration(int sample) const { return GetAccelerationVector(sample).Length(); }

double LFSPerf::GetLongitudalAcc(int sample) const {
    const Vect a = GetAccelerationVector(sample);
    const Vect f = Forward(sample);
    return a.x * f.x + a.y * f.y;
}

double LFSPerf::GetLateralAcc(int sample) const {
    const Vect a = GetAccelerationVector(sample);
    const Vect r = Right(sample);
    return a.x * r.x + a.y * r.y;
}

// ---- lap information -------------------------------------------------------------------

int LFSPerf::SplitCount() const {
    return std::min<int>(m_header[raf::kSplitCount], raf::kMaxSplits);
}

std::uint32_t LFSPerf::Split(int j) const {
    return LoadU32(m_header.data() + raf::kSplits + 4 * static_cast<std::size_t>(j));
}

double LFSPerf::InfoGetLapTime() const {
    const int k = SplitCount();
    if (k >= 1) return Split(k - 1) * 0.001;
    return m_count * GetSampleInterval();
}

std::vector<double> LFSPerf::GetSplitTimes() const {
    // The last split is the lap time.
    std::vector<double> out;
    for (int j = 0; j + 1 < SplitCount(); ++j)
        out.push_back(Split(j) * 0.001);
    return out;
}

double LFSPerf::InfoGetTrackLength() const {
    return IsTrackLengthKnown() ? m_trackLength : GetMaxDistance();
}

std::string LFSPerf::InfoGetInfo() const {
    return Format("Replay Analyser File v%d", m_header[raf::kVersion]);
}

std::string LFSPerf::InfoGetDateString() const {
    std::tm local{};
    if (m_created < 0 || !LocalTime(m_created, local)) return std::string();
    return Format("%02d-%02d-%04d %02d:%02d:%02d", local.tm_mday, local.tm_mon + 1,
                  local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
}

void LFSPerf::InfoGetInfoItemNames(std::vector<std::string>& names) const {
    names.insert(names.end(), {"Player", "Car", "Weather", "Tyre Type", "LFS Version"});
    names.insert(names.end(), std::begin(kHelpNames), std::end(kHelpNames));
    names.insert(names.end(), {"HLVC Legal", "Split Times", "Sector Times"});
}

void LFSPerf::InfoGetInfoItemValues(std::vector<std::string>& values) const {
    values.push_back(raf::WithoutColourCodes(HeaderText(m_header, raf::kPlayer, raf::kPlayerSize)));
    values.push_back(HeaderText(m_header, raf::kCar, raf::kCarSize));
    values.push_back(HeaderText(m_header, raf::kWeather, raf::kWeatherSize));
    const int tyre = m_header[raf::WheelBlock(0) + raf::kWheelTyreType];
    values.push_back(tyre < 8 ? kTyreNames[tyre] : "???");
    values.push_back(HeaderText(m_header, raf::kProgramVersion, raf::kProgramVersionSize));
    const int helps = m_header[raf::kHelps];
    for (int i = 0; i < 8; ++i)
        values.push_back((helps >> i) & 1 ? "Yes" : "No");
    const int hlvc = m_header[raf::kHlvc];
    values.push_back(hlvc == 1 ? "Legal" : hlvc == 2 ? "Illegal" : "Unknown");
    // The last split is the lap time: the splits before it, and the sectors between them.
    const int k = SplitCount();
    std::string splits;
    std::string sectors;
    for (int j = 0; j + 1 < k; ++j) {
        if (j > 0) splits += ", ";
        splits += FormatLapTime(Split(j));
        if (j > 0) sectors += ", ";
        sectors += FormatLapTime(Split(j + 1) - Split(j));
    }
    values.push_back(splits);
    values.push_back(sectors);
}

}  // namespace morlund
