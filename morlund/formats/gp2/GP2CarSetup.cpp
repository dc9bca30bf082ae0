#include "morlund/formats/gp2/GP2CarSetup.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <typeinfo>

#include "morlund/formats/gp2/GPEnvelope.h"
#include "morlund/platform/File.h"
#include "morlund/platform/MessageSink.h"
#include "morlund/res/StringTable.h"

namespace morlund {

namespace {
constexpr std::uint8_t kGP2Initial[GP2CarSetup::kRecordSize] = {
    10, 12, 28, 35, 42,  48,  54,  59,  2,   100, 0,  0,  110, 110, 110, 0,
    0,  0,  0,  0,  4,   4,   4,   4,   4,   4,   4,  4,  15,  15,  21,  21,
    15, 15, 21, 21, 100, 100, 140, 140, 116, 116, 64, 64, 2,   0,   5,   0};
constexpr double kFrontBarTable[11] = {0,    500,  1000, 1500,  2000, 3000,
                                       4000, 5500, 7500, 10000, 12500};
constexpr double kRearBarTable[11] = {0, 50, 100, 150, 200, 300, 400, 550, 750, 1000, 1250};
}  // namespace

int GP2CarSetup::RoundToStep(double value, int highest) {
    if (!(value > 0.0)) return 0;  // also NaN
    if (value >= highest) return highest;
    return static_cast<int>(std::lround(value));
}

GP2CarSetup::GP2CarSetup() : GP2CarSetup(kGPFileIdGP2, kRecordSize, kGP2Initial) {}

GP2CarSetup::GP2CarSetup(std::uint32_t fileId, std::size_t recordSize, const std::uint8_t* initial)
    : m_fileId(fileId), m_recordSize(recordSize) {
    StoreU32(m_header.data(), fileId);
    m_header[4] = kGPTypeSetup;
    std::memcpy(m_record.data(), initial, recordSize);
}

void GP2CarSetup::Assign(const CarSetup& other) {
    // Only a record of the same game: the GP family shares this class but not the record
    // size or the file id.
    const auto* gp = dynamic_cast<const GP2CarSetup*>(&other);
    if (gp == nullptr || gp == this || typeid(*gp) != typeid(*this) || gp->m_fileId != m_fileId ||
        gp->m_recordSize != m_recordSize) {
        return;
    }
    m_header = gp->m_header;
    m_record = gp->m_record;
    m_fromFile = gp->m_fromFile;
}

void GP2CarSetup::SetTrack(int track) { m_header[5] = static_cast<std::uint8_t>(track); }

bool GP2CarSetup::Serialize(File& file, bool save) {
    const std::size_t fileSize = kGPHeaderSize + m_recordSize + kGPTrailerSize;
    if (save) {
        GPChecksum sum;
        sum.Add(ByteSpan(m_header.data(), m_header.size()));
        sum.Add(ByteSpan(m_record.data(), m_recordSize));
        std::uint8_t words[4];
        StoreU16(words, sum.s1);
        StoreU16(words + 2, sum.s2);
        if (!file.Seek(0) || !file.Write(m_header.data(), m_header.size()) ||
            !file.Write(m_record.data(), m_recordSize) || !file.Write(words, sizeof words)) {
            return false;
        }
        m_fromFile = true;
        return true;
    }
    if (file.GetLength() != fileSize || !file.Seek(0)) return false;
    std::uint8_t image[kGPHeaderSize + 64 + kGPTrailerSize];
    if (file.Read(image, fileSize) != fileSize) return false;
    GPChecksum sum;
    sum.Add(ByteSpan(image, kGPHeaderSize + m_recordSize));
    const std::uint8_t* words = image + kGPHeaderSize + m_recordSize;
    if (!sum.MatchesPlain(LoadU16(words), LoadU16(words + 2))) return false;
    std::memcpy(m_header.data(), image, kGPHeaderSize);
    std::memcpy(m_record.data(), image + kGPHeaderSize, m_recordSize);
    m_fromFile = true;
    return true;
}

bool GP2CarSetup::IsValid(bool quiet) const {
    if (LoadU32(m_header.data()) != m_fileId) {
        if (!quiet) ShowMessage(IDS_NOT_GPX_FILE);
        return false;
    }
    if ((m_header[4] & 0x0F) != kGPTypeSetup) {
        if (!quiet) ShowMessage(IDS_NOT_SETUP_FILE);
        return false;
    }
    return true;
}

double GP2CarSetup::GetGearRatio(int gear) const {
    if (gear == -1) return -GetGearRatio(1);
    if (gear < 1 || gear > 6) return 0.0;
    return m_record[1 + gear] / 64.0;
}

void GP2CarSetup::SetGearRatio(int gear, double ratio) {
    if (gear < 1 || gear > 6) return;
    m_record[static_cast<std::size_t>(1 + gear)] =
        static_cast<std::uint8_t>(RoundToStep(ratio * 64.0, 255));
}

double GP2CarSetup::GetSpringRate(int wheel) const {
    return WheelByte(36, wheel) * 10 * kLbPerInch;
}

double GP2CarSetup::GetFrontAntiRollBar() const {
    return kFrontBarTable[std::min<int>(m_record[46], 10)] * kLbPerInch;
}

double GP2CarSetup::GetRearAntiRollBar() const {
    return kRearBarTable[std::min<int>(m_record[44], 10)] * kLbPerInch;
}

bool GP2CarSetup::SetRecordByte(int offset, std::uint8_t value) {
    if (offset < 0 || static_cast<std::size_t>(offset) >= m_recordSize) return false;
    m_record[static_cast<std::size_t>(offset)] = value;
    return true;
}

const std::uint8_t* GP2CarSetup::GetData(int* size) const {
    if (size != nullptr) *size = static_cast<int>(m_recordSize);
    return m_record.data();
}

}  // namespace morlund
