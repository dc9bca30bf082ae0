#include "morlund/formats/lfs/LFSCarSetup.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <typeinfo>

#include "morlund/formats/lfs/RafHeader.h"

namespace morlund {

namespace {
// Header fields.
constexpr std::size_t kHdrRearBar = 196;
constexpr std::size_t kHdrGearCount = 208;
constexpr std::size_t kHdrGearRatios = 212;
// Record fields.
constexpr std::size_t kGearCount = 12;
constexpr std::size_t kGearRatios = 13;
constexpr std::size_t kWheels = 37;
constexpr std::size_t kWheelSize = 50;
constexpr std::size_t kTravel = 20;
constexpr std::size_t kTyreType = 29;
constexpr int kRatioCount = 6;

void StoreF32(std::uint8_t* p, float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    StoreU32(p, bits);
}

// The header stores reductions (input turns per output turn); the setup serves speed ratios.
// A reduction that is 0 or not finite stands for no ratio.
double Inverse(float reduction) {
    return reduction != 0.0f && std::isfinite(reduction) ? 1.0 / reduction : 0.0;
}
}  // namespace

bool LFSCarSetup::Fill(ByteSpan header) { return Fill(header, raf::MapWheels(header)); }

bool LFSCarSetup::Fill(ByteSpan header, const std::array<int, 4>& wheelMap) {
    if (!header.Has(0, kHeaderSize)) return false;
    for (int block : wheelMap) {
        if (block < 0 || block > 3) return false;
    }
    const std::uint8_t* h = header.data();
    std::array<std::uint8_t, kRecordSize> record{};
    // Rear and front bar, final drive: three floats in a row.
    std::memcpy(record.data(), h + kHdrRearBar, 12);
    record[kGearCount] = h[kHdrGearCount];
    std::memcpy(record.data() + kGearRatios, h + kHdrGearRatios, 4 * kRatioCount);
    for (std::size_t w = 0; w < 4; ++w) {
        std::uint8_t* wheel = record.data() + kWheels + kWheelSize * w;
        std::memcpy(wheel, h + raf::WheelBlock(wheelMap[w]), kWheelSize);
        if (LoadF32(wheel + kTravel) == 0.0f) StoreF32(wheel + kTravel, raf::kDefaultTravel);
    }
    m_record = record;
    return true;
}

void LFSCarSetup::Assign(const CarSetup& other) {
    const auto* l = dynamic_cast<const LFSCarSetup*>(&other);
    if (l == nullptr || l == this || typeid(*l) != typeid(*this)) return;
    m_record = l->m_record;
    m_track = l->m_track;
}

double LFSCarSetup::GetGearRatio(int gear) const {
    if (gear == -1) return -GetGearRatio(1);
    if (gear < 1 || gear > kRatioCount) return 0.0;
    return Inverse(LoadF32(m_record.data() + kGearRatios + 4 * static_cast<std::size_t>(gear - 1)));
}

void LFSCarSetup::SetGearRatio(int gear, double ratio) {
    if (gear < 1 || gear > kRatioCount) return;
    // Ratios whose reduction a float cannot hold are stored as no ratio.
    const double r = ratio != 0.0 ? 1.0 / ratio : 0.0;
    const float reduction = std::isfinite(r) && std::fabs(r) <= std::numeric_limits<float>::max()
                                ? static_cast<float>(r)
                                : 0.0f;
    StoreF32(m_record.data() + kGearRatios + 4 * static_cast<std::size_t>(gear - 1), reduction);
}

double LFSCarSetup::GetDiffRatio() const { return Inverse(LoadF32(m_record.data() + 8)); }

int LFSCarSetup::GetGearCount() const {
    // Only six ratios are stored, whatever the header claims.
    return std::min<int>(m_record[kGearCount], kRatioCount);
}

int LFSCarSetup::GetTyreType(int wheel) const {
    if (wheel < 0 || wheel > 3) return 0;
    return m_record[kWheels + kWheelSize * static_cast<std::size_t>(wheel) + kTyreType];
}

double LFSCarSetup::WheelFloat(int wheel, std::size_t offset) const {
    if (wheel < 0 || wheel > 3) return 0.0;
    return LoadF32(m_record.data() + kWheels + kWheelSize * static_cast<std::size_t>(wheel) +
                   offset);
}

const std::uint8_t* LFSCarSetup::GetData(int* size) const {
    if (size != nullptr) *size = static_cast<int>(kRecordSize);
    return m_record.data();
}

}  // namespace morlund
