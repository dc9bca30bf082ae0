#include "morlund/formats/gp2/GP2Perf.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <numbers>

#include "morlund/formats/BufManager.h"
#include "morlund/formats/gp2/GP2CarSetup.h"
#include "morlund/physics/GP2Physics.h"
#include "morlund/platform/ByteOrder.h"
#include "morlund/platform/File.h"
#include "morlund/platform/MessageSink.h"
#include "morlund/platform/Text.h"
#include "morlund/res/StringTable.h"

namespace morlund {

namespace {
constexpr double kFoot = 0.3048;
constexpr double kSpeedUnit = 0.0047625;                                     // 1/64 ft/s
constexpr double kSteeringUnit = 109.95574287564276 * 8.768237934904602e-7;  // 35 pi / 1140480
constexpr double kRpm = std::numbers::pi / 30.0;
constexpr double kWheelSpeedUnit = 0.0047625 * 0.5;
constexpr double kCoarsePosition = 524288.0 * kFoot / 16384.0;  // 2^19 / 16384 ft per step
constexpr double kFinePosition = kFoot / 16384.0;

// Track checksums for extension files that store their version in place of it.
constexpr std::uint32_t kTrackChecksums[16] = {
    0xfb84d4a0, 0xf0bd9661, 0x875c0066, 0x25531329, 0x23c26589, 0xd9779bef, 0x6caa1499, 0x883cafd9,
    0x6dceb94b, 0xe28ed299, 0xbeeef45f, 0x453e95a3, 0x1b26e5d8, 0xbbc5995d, 0x42cb8229, 0x9f1f4008};

bool IsLeapYear(int year) { return year % 4 == 0 && year % 100 != 0; }

// x.pa? in any case.
bool IsPerfFileName(const std::string& path) {
    const std::string name = PathToUtf8(PathFromUtf8(path).filename());
    return name.size() >= 4 &&
           EqualsNoCase(std::string_view(name).substr(name.size() - 4, 3), ".pa");
}
}  // namespace

// --- parsing -----------------------------------------------------------------

bool GP2Perf::ParseSamples(const std::uint8_t* data, std::size_t size) {
    if (size < kBodyHeaderSize) return false;
    const std::uint64_t n = LoadU32(data);
    // A lap without samples has no last distance and nothing to show.
    if (n == 0 || n > static_cast<std::uint64_t>(INT_MAX)) return false;
    // 64-bit arithmetic: a hostile count must not wrap the size check.
    if (kBodyHeaderSize + n * m_sampleSize > size) return false;
    std::memcpy(m_header.data(), data, kBodyHeaderSize);
    m_sampleCount = static_cast<int>(n);
    m_samples.assign(data + kBodyHeaderSize, data + kBodyHeaderSize + n * m_sampleSize);
    return true;
}

bool GP2Perf::InitData(const std::uint8_t* data, std::size_t size) {
    if (!ParseSamples(data, size)) return false;
    const std::uint64_t n = static_cast<std::uint64_t>(m_sampleCount);
    m_trackChecksum = LoadU32(m_header.data() + 28);
    const std::uint64_t plain = kBodyHeaderSize + kSampleSize * n;
    if (size > plain) {
        if (LoadU32(data + size - 4) == kExtensionSignature) {
            if (!ParseExtension(data, size)) return false;
        } else if (size == kBodyHeaderSize + 27 * n) {
            ShowMessage(
                "Perf file seems to be a GP3 perf file. If that is the case and you want to load "
                "it, set the primary game to GP3 in the options dialog and try again",
                MessageIcon::Error);
            return false;
        }
    }
    if (m_extended) {
        m_drivenDistance.resize(static_cast<std::size_t>(n));
        double d = GetDistance(0);
        m_drivenDistance[0] = d;
        for (int i = 1; i < m_sampleCount; ++i) {
            const double dx = GetPosX(i) - GetPosX(i - 1);
            const double dy = GetPosY(i) - GetPosY(i - 1);
            d += std::sqrt(dx * dx + dy * dy);
            m_drivenDistance[static_cast<std::size_t>(i)] = d;
        }
    }
    Enable(true);
    return true;
}

bool GP2Perf::ParseExtension(const std::uint8_t* data, std::size_t size) {
    const std::uint32_t c = LoadU32(m_header.data() + 28);
    int version;
    if (c <= 5) {
        version = static_cast<int>(c);
        const unsigned track = m_header[6];
        m_trackChecksum = track < 16 ? kTrackChecksums[track] : 0;
    } else {
        version = m_header[12];
    }
    if (version > 7) {
        ShowMessage("Perf data has incorrect version, get the latest Strelko and Tarnwick",
                    MessageIcon::Error);
        return false;
    }
    if (version < 5) {
        ShowMessage("Perf data too old, get the latest version of Strelko", MessageIcon::Error);
        return false;
    }
    // Fixed trailer: records offset and signature; versions 6 and 7 add a 48-byte block.
    const std::size_t trailer = version >= 6 ? 56 : 8;
    if (size < trailer) return false;
    const std::uint64_t offset = LoadU32(data + size - 8);
    const std::uint64_t recordSize = version == 7 ? 12 : 13;
    const std::uint64_t n = static_cast<std::uint64_t>(m_sampleCount);
    // The records must end before the offset word and the signature.
    if (offset + recordSize * n > size - 8) return false;

    m_positions.resize(static_cast<std::size_t>(n) * 12);
    const std::uint8_t* records = data + offset;
    if (version == 7) {
        std::memcpy(m_positions.data(), records, m_positions.size());
    } else {
        for (std::size_t i = 0; i < n; ++i) {
            std::memcpy(m_positions.data() + 12 * i, records + 13 * i + 1, 12);
        }
    }
    if (version >= 6) {
        std::memcpy(m_extraBlock.data(), data + size - 56, m_extraBlock.size());
        m_hasExtraBlock = true;
    }
    m_version = version;
    m_extended = true;
    return true;
}

// --- lap information --------------------------------------------------------------

std::string GP2Perf::InfoGetInfo() const {
    return m_extended ? Format("Strelko Perf File (v%d)", m_version) : "GP2 Perf File";
}

std::string GP2Perf::InfoGetName() const {
    const char* name = reinterpret_cast<const char*>(m_header.data() + 20);
    return Latin1ToUtf8(std::string_view(name, strnlen(name, 8)));
}

GP2Perf::Date GP2Perf::DaysToDate(unsigned days) {
    // Stored files count 2000 as a common year; dates are read the same way.
    int year = 1978;
    for (;;) {
        const unsigned length = IsLeapYear(year) ? 366 : 365;
        if (days < length) break;
        days -= length;
        ++year;
    }
    static constexpr unsigned kMonths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int month = 0;
    for (; month < 11; ++month) {
        const unsigned length = kMonths[month] + (month == 1 && IsLeapYear(year) ? 1 : 0);
        if (days < length) break;
        days -= length;
    }
    return {static_cast<int>(days) + 1, month + 1, year};
}

std::string GP2Perf::InfoGetDateString() const {
    const Date date = DaysToDate(LoadU16(m_header.data() + 10));
    return Format("%d-%02d-%04d %02d:%02d:%02d", date.day, date.month, date.year, m_header[15],
                  m_header[14], m_header[13]);
}

double GP2Perf::InfoGetLapTime() const { return LoadU32(m_header.data() + 16) * 0.001; }

double GP2Perf::InfoGetTrackLength() const { return LoadU16(m_header.data() + 4) * kFoot; }

// --- samples ------------------------------------------------------------------------

double GP2Perf::GetDistance(int i) const { return LoadU16(Sample(i)) * kFoot; }
double GP2Perf::GetSpeed(int i) const { return LoadI16(Sample(i) + 2) * kSpeedUnit; }
double GP2Perf::GetSteering(int i) const { return LoadI16(Sample(i) + 4) * kSteeringUnit; }
double GP2Perf::GetRevs(int i) const { return LoadU16(Sample(i) + 6) * kRpm; }
double GP2Perf::GetThrottle(int i) const { return Sample(i)[8] / 64.0; }
double GP2Perf::GetBrake(int i) const { return Sample(i)[9] / 64.0; }
int GP2Perf::GetGear(int i) const { return static_cast<std::int8_t>(Sample(i)[10]); }
double GP2Perf::GetRideHeight(int i, int w) const { return Sample(i)[11 + w] * 0.000625; }
double GP2Perf::GetSuspTravel(int i, int w) const { return Sample(i)[15 + w] * 0.0003125; }

double GP2Perf::GetWheelSpeed(int i, int w) const {
    const unsigned low = m_extended ? Position(i)[8 + w] : 0u;
    return (Sample(i)[19 + w] * 256u + low) * kWheelSpeedUnit;
}

double GP2Perf::GetPosX(int i) const {
    if (m_extended) return LoadI32(Position(i)) * kFinePosition;
    return (Sample(i)[23] - 128) * kCoarsePosition;
}

double GP2Perf::GetPosY(int i) const {
    if (m_extended) return LoadI32(Position(i) + 4) * kFinePosition;
    return (Sample(i)[24] - 128) * kCoarsePosition;
}

double GP2Perf::GetDrivenDistance(int i) const {
    return m_extended ? m_drivenDistance[static_cast<std::size_t>(i)] : GetDistance(i);
}

// --- setups ---------------------------------------------------------------------------

std::unique_ptr<CarSetup> GP2Perf::CreateSetup() const { return std::make_unique<GP2CarSetup>(); }

std::unique_ptr<Physics> GP2Perf::CreatePhysics() const { return std::make_unique<GP2Physics>(); }

void GP2Perf::TryLoadSetup() {
    m_setupRead = false;
    // The setup beside x.pa? is x.cs?, with the same track letter. Other names
    // get no setup path, so that saving can never overwrite the lap itself.
    if (m_setupPath.empty() && IsPerfFileName(m_filePath)) {
        std::string path = m_filePath;
        path[path.size() - 3] = 'c';
        path[path.size() - 2] = 's';
        m_setupPath = PathToUtf8(FindFileNoCase(PathFromUtf8(path)));
    }
    if (m_setupPath.empty()) return;
    File file;
    if (!file.Open(PathFromUtf8(m_setupPath), File::Mode::Read)) return;
    std::unique_ptr<CarSetup> record = CreateSetup();
    if (!record->Serialize(file, false) || !record->IsValid(true)) return;
    if (m_bufManager == nullptr || record->GetTrack() != m_bufManager->GetTrack()) return;
    m_setup->Assign(*record);
    m_setupRead = true;
}

bool GP2Perf::ReadSetup(File& file) {
    std::unique_ptr<CarSetup> record = ReadSetupRecord(file);
    if (!record || !record->IsValid(false)) return false;
    const int track = m_bufManager != nullptr ? m_bufManager->GetTrack() : -1;
    if (record->GetTrack() != track && ShowMessage(IDS_SETUP_OTHER_TRACK, MessageIcon::Question,
                                                   MessageButtons::YesNo) != MessageAnswer::Yes) {
        return false;
    }
    AcceptSetup(*record);
    m_setupRead = true;
    m_setupPath = file.GetFilePath();
    return true;
}

void GP2Perf::SaveSetup() {
    std::string path = GetSetupPath();
    const int track = m_bufManager != nullptr ? m_bufManager->GetTrack() : -1;
    if (!m_setupRead) m_setup->SetTrack(track);
    if (m_setup->GetTrack() != track &&
        ShowMessage("Convert to same track as perf file?", MessageIcon::Question,
                    MessageButtons::YesNo) == MessageAnswer::Yes) {
        if (!path.empty()) {
            if (path.back() != static_cast<char>('a' + m_setup->GetTrack())) {
                ShowMessage("Note: Track/File-extension conflict", MessageIcon::Information);
            }
            path.back() = static_cast<char>('a' + track);
        }
        m_setupPath = path;
        m_setup->SetTrack(track);
    }
    WriteSetupFile(path);
}

}  // namespace morlund
