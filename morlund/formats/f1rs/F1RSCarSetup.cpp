#include "morlund/formats/f1rs/F1RSCarSetup.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <typeinfo>

#include "morlund/platform/ByteOrder.h"
#include "morlund/platform/File.h"

namespace morlund {

namespace {
constexpr std::size_t kFirstKeyWords = 100;
constexpr std::uint32_t kFirstKey = 0x3a3a3a3a;
constexpr std::uint32_t kLaterKey = 0x5e81d4c7;
constexpr std::size_t kGearBase = 72;
constexpr double kGearScale = 50.0;
constexpr double kDamperScale = 6000.0;
constexpr double kFixedPoint = 65536.0;
}  // namespace

F1RSCarSetup::F1RSCarSetup() : F1RSCarSetup(kFileSize, kBlockSize) {}

F1RSCarSetup::F1RSCarSetup(std::size_t fileSize, std::size_t blockSize)
    : m_fileSize(fileSize), m_blockSize(blockSize) {}

void F1RSCarSetup::Assign(const CarSetup& other) {
    const auto* f = dynamic_cast<const F1RSCarSetup*>(&other);
    if (f == nullptr || f == this || typeid(*f) != typeid(*this)) return;
    m_block = f->m_block;
    m_track = f->m_track;
    m_fromFile = f->m_fromFile;
}

bool F1RSCarSetup::Serialize(File& file, bool save) {
    if (save) return false;
    if (file.GetLength() != m_fileSize || !file.Seek(0)) return false;
    std::array<std::uint8_t, 768> image{};
    if (m_fileSize > image.size() || kBlockOffset + m_blockSize > m_fileSize) return false;
    if (file.Read(image.data(), m_fileSize) != m_fileSize) return false;
    Descramble(std::span(image.data(), m_fileSize));
    std::memcpy(m_block.data(), image.data() + kBlockOffset, m_blockSize);
    if (const std::optional<int> track = TrackFromFileName(file.GetFileName())) m_track = *track;
    m_fromFile = true;
    return true;
}

void F1RSCarSetup::Descramble(std::span<std::uint8_t> image) {
    const std::size_t words = image.size() / 4;
    for (std::size_t i = 0; i < words; ++i) {
        std::uint8_t* p = image.data() + 4 * i;
        StoreU32(p, LoadU32(p) ^ (i < kFirstKeyWords ? kFirstKey : kLaterKey));
    }
}

std::optional<int> F1RSCarSetup::TrackFromFileName(std::string_view name) {
    if (name.size() < 4) return std::nullopt;
    const std::string_view tail = name.substr(name.size() - 4);
    // Game folders come from case-insensitive file systems: ".S1" is the same file name.
    auto isDotS = [](std::string_view s) { return s[0] == '.' && (s[1] == 's' || s[1] == 'S'); };
    if (isDotS(tail)) return std::atoi(std::string(tail.substr(2)).c_str());
    if (isDotS(tail.substr(1))) return std::atoi(std::string(tail.substr(3)).c_str());
    return std::nullopt;
}

int F1RSCarSetup::FilePosition(int wheel) {
    static constexpr int kPositions[4] = {3, 1, 2, 0};
    return wheel >= 0 && wheel < 4 ? kPositions[wheel] : -1;
}

std::uint16_t F1RSCarSetup::U16(std::size_t offset) const {
    return offset + 2 <= m_blockSize ? LoadU16(m_block.data() + offset) : 0;
}

std::uint32_t F1RSCarSetup::U32(std::size_t offset) const {
    return offset + 4 <= m_blockSize ? LoadU32(m_block.data() + offset) : 0;
}

std::int32_t F1RSCarSetup::I32(std::size_t offset) const {
    return static_cast<std::int32_t>(U32(offset));
}

std::uint32_t F1RSCarSetup::WheelU32(std::size_t base, int wheel) const {
    const int p = FilePosition(wheel);
    return p < 0 ? 0 : U32(base + 4 * static_cast<std::size_t>(p));
}

std::int32_t F1RSCarSetup::WheelI32(std::size_t base, int wheel) const {
    return static_cast<std::int32_t>(WheelU32(base, wheel));
}

double F1RSCarSetup::GetGearRatio(int gear) const {
    if (gear == -1) return -GetGearRatio(1);
    if (gear < 1 || gear > 6) return 0.0;
    return U32(kGearBase + 4 * static_cast<std::size_t>(gear - 1)) * 0.02;
}

void F1RSCarSetup::SetGearRatio(int gear, double ratio) { StoreGearRatio(kGearBase, gear, ratio); }

void F1RSCarSetup::StoreGearRatio(std::size_t base, int gear, double ratio) {
    if (gear < 1 || gear > 6) return;
    const double steps = ratio * kGearScale;
    std::uint32_t value = 0;
    if (steps >= 4294967295.0) {
        value = 0xFFFFFFFFu;
    } else if (steps > 0.0) {  // also excludes NaN
        value = static_cast<std::uint32_t>(std::llround(steps));
    }
    const std::size_t offset = base + 4 * static_cast<std::size_t>(gear - 1);
    if (offset + 4 <= m_blockSize) StoreU32(m_block.data() + offset, value);
}

double F1RSCarSetup::GetStaticRideHeight(int wheel) const {
    if (wheel < 0 || wheel > 3) return 0.0;
    return I32(wheel >= 2 ? 120 : 124) / kFixedPoint;
}

double F1RSCarSetup::GetSlowBump(int wheel) const {
    return 1.0 - WheelU32(24, wheel) / kDamperScale;
}

double F1RSCarSetup::GetSlowRebound(int wheel) const {
    return 1.0 - WheelU32(40, wheel) / kDamperScale;
}

const std::uint8_t* F1RSCarSetup::GetData(int* size) const {
    if (size != nullptr) *size = static_cast<int>(m_blockSize);
    return m_block.data();
}

}  // namespace morlund
