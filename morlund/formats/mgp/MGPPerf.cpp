#include "morlund/formats/mgp/MGPPerf.h"

#include <algorithm>
#include <cstring>
#include <numbers>

#include "morlund/formats/mgp/MGPCarSetup.h"
#include "morlund/physics/GP2Physics.h"
#include "morlund/platform/ByteOrder.h"
#include "morlund/platform/MessageSink.h"
#include "morlund/platform/Text.h"

namespace morlund {

namespace {
constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kRpm = std::numbers::pi / 30.0;
constexpr int kFileWheel[4] = {3, 1, 2, 0};  // files order RF, RR, LF, LR
constexpr std::size_t kDateOffset = 6;
constexpr std::size_t kMinutesOffset = 21;
}  // namespace

bool MGPPerf::InitData(const std::uint8_t* data, std::size_t size) {
    const std::uint64_t total = std::uint64_t{m_partSizes[0]} + m_partSizes[1] + m_partSizes[2];
    if (data == nullptr || total != size) return false;
    bool tooLong = false;
    const std::uint8_t* part = data;
    for (int s = 0; s < 3; ++s) {
        const std::size_t partSize = m_partSizes[static_cast<std::size_t>(s)];
        if (partSize < kHeaderSize) return false;
        const std::uint64_t count = LoadU32(part);
        if (count > (partSize - kHeaderSize) / kRecordSizes[s]) return false;
        if (!m_streams.stream[s].Assign(part + kHeaderSize, count)) return false;
        if (kHeaderSize + count * kRecordSizes[s] < partSize) tooLong = true;
        part += partSize;
    }
    if (tooLong) ShowMessage("File too long", MessageIcon::Warning);
    std::memcpy(m_header.data(), data, kHeaderSize);
    m_streams.ChooseMaster();
    m_streams.BuildLookup();
    Enable(true);
    return true;
}

namespace {
// A decimal number at a header offset, read like atoi.
long long HeaderNumber(ByteSpan header, std::size_t offset) {
    const std::size_t size = std::min(header.size(), MGPPerf::kHeaderSize);
    const std::uint8_t* h = header.data();
    std::size_t i = offset;
    while (i < size && (h[i] == ' ' || (h[i] >= '\t' && h[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < size && (h[i] == '+' || h[i] == '-')) negative = h[i++] == '-';
    long long value = 0;
    // Stops at the header's end and before the value could overflow.
    for (; i < size && h[i] >= '0' && h[i] <= '9' && value < 100000000000LL; ++i)
        value = value * 10 + (h[i] - '0');
    return negative ? -value : value;
}
}  // namespace

long long MGPHeaderLapTimeMs(ByteSpan header) {
    return HeaderNumber(header, kMinutesOffset) * 60000 + HeaderNumber(header, 24) * 1000 +
           HeaderNumber(header, 28);
}

std::string MGPPerf::InfoGetDateString() const {
    const char* text = reinterpret_cast<const char*>(m_header.data() + kDateOffset);
    return Latin1ToUtf8(std::string_view(text, strnlen(text, kMinutesOffset - kDateOffset)));
}

double MGPPerf::InfoGetLapTime() const {
    return static_cast<double>(MGPHeaderLapTimeMs(ByteSpan(m_header.data(), kHeaderSize))) * 0.001;
}

int MGPPerf::GetSampleCount() const { return m_streams.stream[m_streams.master].GetCount(); }

double MGPPerf::GetDistance(int i) const {
    return m_streams.stream[m_streams.master].GetDistance(i);
}

double MGPPerf::GetMaxDistance() const {
    const int n = GetSampleCount();
    return n > 0 ? GetDistance(n - 1) : 0.0;
}

double MGPPerf::GetTime(int i) const { return i * InfoGetLapTime() / GetSampleCount(); }

double MGPPerf::GetSpeed(int i) const { return LoadI16(Rec(0, i) + 2) / 3.6; }
double MGPPerf::GetRevs(int i) const { return LoadU16(Rec(0, i) + 4) * 5 * kRpm; }
double MGPPerf::GetWheelSpeed(int i, int) const { return LoadI16(Rec(0, i) + 6); }

double MGPPerf::GetSuspTravel(int i, int w) const {
    return static_cast<std::int8_t>(Rec(1, i)[2 + kFileWheel[w]]) * 0.001;
}
double MGPPerf::GetCamber(int i, int w) const {
    return LoadI16(Rec(1, i) + 6 + 2 * kFileWheel[w]) * 0.1 * kDegree;
}
double MGPPerf::GetRideHeight(int i, int w) const {
    return LoadI16(Rec(1, i) + (w >= 2 ? 14 : 16)) * 0.001;
}

double MGPPerf::GetThrottle(int i) const { return Rec(2, i)[2] / 99.0; }
double MGPPerf::GetBrake(int i) const { return Rec(2, i)[3] * 0.01; }
int MGPPerf::GetGear(int i) const { return static_cast<std::int8_t>(Rec(2, i)[4]); }
double MGPPerf::GetSteering(int i) const {
    return static_cast<std::int8_t>(Rec(2, i)[5]) * -0.5 * kDegree;
}

std::unique_ptr<CarSetup> MGPPerf::CreateSetup() const { return std::make_unique<MGPCarSetup>(); }

// This game has no car model of its own: the GP2 model stands in.
std::unique_ptr<Physics> MGPPerf::CreatePhysics() const { return std::make_unique<GP2Physics>(); }

}  // namespace morlund
