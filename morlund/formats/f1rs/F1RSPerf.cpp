#include "morlund/formats/f1rs/F1RSPerf.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <numbers>

#include "morlund/formats/f1rs/F1RSCarSetup.h"
#include "morlund/formats/f1rs/Quillon.h"
#include "morlund/physics/GP2Physics.h"
#include "morlund/platform/ByteOrder.h"
#include "morlund/platform/File.h"
#include "morlund/platform/IniFile.h"
#include "morlund/platform/MessageSink.h"
#include "morlund/platform/Text.h"

namespace fs = std::filesystem;

namespace morlund {

namespace {
constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kRpm = std::numbers::pi / 30.0;
constexpr double kScopeUnit = 0.3048 / 16384.0;
// Scope files larger than this are not replays of one lap.
constexpr std::uint64_t kMaxScopeSize = 256u << 20;
// File wheel position of buffer wheels 0..3 (files order RF, RR, LF, LR).
constexpr int kFileWheel[4] = {3, 1, 2, 0};

#if !defined(_WIN32)
// Walks a relative path from a base folder, matching each step ignoring case:
// the game's folders come from a case-insensitive file system.
fs::path ResolveNoCase(fs::path base, const std::string& relative) {
    std::string part;
    for (std::size_t i = 0; i <= relative.size(); ++i) {
        const char c = i < relative.size() ? relative[i] : '\\';
        if (c == '\\' || c == '/') {
            if (!part.empty()) base = FindFileNoCase(base / part);
            part.clear();
        } else {
            part += c;
        }
    }
    return base;
}

fs::path WineRoot() {
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && *prefix != 0) {
        return prefix;
    }
    const char* home = std::getenv("HOME");
    return home != nullptr ? fs::path(home) / ".wine" : fs::path();
}
#endif

// A Windows path ("C:\Games\F1RS\...") as a path of this system.
fs::path HostPath(const std::string& windowsPath) {
#if defined(_WIN32)
    return fs::path(windowsPath);
#else
    if (windowsPath.size() >= 2 && std::isalpha(static_cast<unsigned char>(windowsPath[0])) &&
        windowsPath[1] == ':') {
        const char drive =
            static_cast<char>(std::tolower(static_cast<unsigned char>(windowsPath[0])));
        const fs::path root = drive == 'c' ? WineRoot() / "drive_c"
                                           : WineRoot() / "dosdevices" / std::string{drive, ':'};
        return ResolveNoCase(root, windowsPath.substr(2));
    }
    return ResolveNoCase(windowsPath.starts_with('/') || windowsPath.starts_with('\\')
                             ? fs::path("/")
                             : fs::path("."),
                         windowsPath);
#endif
}

std::string ReadDirectory(const fs::path& iniPath) {
    IniFile ini;
    if (!ini.Load(iniPath)) return std::string();
    return ini.GetString("F1RS", "Directory", "", 260);
}
}  // namespace

// --- parsing -----------------------------------------------------------------

bool F1RSPerf::InitData(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size < kMinSize) return false;
    std::uint64_t at = kHeaderSize;
    for (int s = 0; s < 3; ++s) {
        if (at + 4 > size) return false;
        const std::uint64_t count = LoadU32(data + at);
        at += 4;
        // 64-bit: a hostile count cannot wrap the check.
        if (count > (size - at) / kRecordSizes[s]) return false;
        if (!m_streams.stream[s].Assign(data + at, count)) return false;
        at += count * kRecordSizes[s];
    }
    if (at < size) ShowMessage("File too long", MessageIcon::Warning);
    std::memcpy(m_header.data(), data, kHeaderSize);
    m_streams.ChooseMaster();
    m_streams.BuildLookup();
    TryLoadScope();
    Enable(true);
    return true;
}

void F1RSPerf::TryLoadScope() {
    m_scope.clear();
    const int track = GetFileTrack();
    if (track < 0 || track > 25) return;
    try {
        const std::string directory = GetGameDirectory();
        if (directory.empty()) return;
        if (!LoadScope(GetScopePath(directory, track, GetLapTimeMs()))) m_scope.clear();
    } catch (...) {
        // A broken replay file costs the positions, never the lap.
        m_scope.clear();
    }
}

bool F1RSPerf::LoadScope(const fs::path& path) {
    File file;
    if (!file.Open(path, File::Mode::Read)) return false;
    const std::uint64_t length = file.GetLength();
    if (length < 44 || length > kMaxScopeSize) return false;
    std::vector<std::uint8_t> image;
    if (!file.ReadAll(image) || image.size() != length) return false;
    if (!Quillon::CodeSEQ(image)) return false;
    const std::uint64_t offset = LoadU32(image.data() + 24);
    const std::uint64_t count = LoadU32(image.data() + 40);
    if (count == 0 || offset + kScopeRecordSize * count > image.size()) return false;
    m_scope.resize(static_cast<std::size_t>(count));
    for (std::size_t r = 0; r < m_scope.size(); ++r) {
        const std::uint8_t* record = image.data() + offset + kScopeRecordSize * r;
        m_scope[r] = {LoadI32(record + 42), LoadI32(record + 46)};
    }
    return true;
}

std::string F1RSPerf::GetGameDirectory() {
    std::string directory;
#if defined(_WIN32)
    if (const fs::path windows = WindowsFolder(); !windows.empty())
        directory = ReadDirectory(windows / "Ubisoft" / "ubi.ini");
    if (directory.empty()) directory = ReadDirectory("C:\\Windows\\Ubisoft\\ubi.ini");
#else
    // Both places name the same file inside the Wine folder.
    const fs::path root = WineRoot();
    if (!root.empty())
        directory = ReadDirectory(ResolveNoCase(root, "drive_c/windows/Ubisoft/ubi.ini"));
#endif
    if (!directory.empty()) {
        const char last = directory.back();
        if (last != '/' && last != ':' && last != '\\') directory += '\\';
    }
    return directory;
}

fs::path F1RSPerf::GetScopePath(const std::string& gameDirectory, int track,
                                std::uint32_t lapTimeMs) {
    const std::string name =
        Format("%c%u%uA.seq", 'a' + track, lapTimeMs / 60000u, lapTimeMs % 60000u);
    return HostPath(gameDirectory + "f1datab\\scope\\" + name);
}

// --- lap information -----------------------------------------------------------

std::string F1RSPerf::InfoGetInfo() const {
    return HasPositions() ? "F1RS Telemetry & Ghost File" : "F1RS Telemetry File";
}

std::string F1RSPerf::InfoGetDateString() const {
    const char* text = reinterpret_cast<const char*>(m_header.data() + 8);
    return Latin1ToUtf8(std::string_view(text, strnlen(text, 16)));
}

double F1RSPerf::InfoGetLapTime() const { return LoadU32(m_header.data() + 4) / 65536.0; }

std::uint32_t F1RSPerf::GetLapTimeMs() const {
    // Whole milliseconds from the 1/65536 s count, exactly (no floating-point rounding).
    return static_cast<std::uint32_t>(std::uint64_t{LoadU32(m_header.data() + 4)} * 1000u / 65536u);
}

// --- samples ---------------------------------------------------------------------

int F1RSPerf::GetSampleCount() const { return m_streams.stream[m_streams.master].GetCount(); }

double F1RSPerf::GetDistance(int i) const {
    return m_streams.stream[m_streams.master].GetDistance(i);
}

double F1RSPerf::GetMaxDistance() const {
    const int n = GetSampleCount();
    return n > 0 ? GetDistance(n - 1) : 0.0;
}

double F1RSPerf::GetTime(int i) const { return LoadU32(Rec(0, i)) / 65536.0; }
double F1RSPerf::GetSpeed(int i) const { return LoadU16(Rec(0, i) + 6) / 3.6; }
double F1RSPerf::GetRevs(int i) const { return LoadU16(Rec(0, i) + 8) * 10 * kRpm; }

double F1RSPerf::GetSuspTravel(int i, int w) const {
    return static_cast<std::int8_t>(Rec(1, i)[6 + kFileWheel[w]]) * 0.001;
}
double F1RSPerf::GetCamber(int i, int w) const {
    return LoadI16(Rec(1, i) + 10 + 2 * kFileWheel[w]) * 0.1 * kDegree;
}
double F1RSPerf::GetRideHeight(int i, int w) const {
    return LoadI16(Rec(1, i) + (w >= 2 ? 18 : 20)) * 0.001;
}

double F1RSPerf::GetThrottle(int i) const { return Rec(2, i)[6] / 99.0; }
double F1RSPerf::GetBrake(int i) const { return Rec(2, i)[7] * 0.01; }
int F1RSPerf::GetGear(int i) const { return static_cast<std::int8_t>(Rec(2, i)[8]); }
double F1RSPerf::GetSteering(int i) const {
    return static_cast<std::int8_t>(Rec(2, i)[9]) * -0.5 * kDegree;
}

double F1RSPerf::GetWheelSpeed(int i, int) const {
    const CarSetup* setup = GetSetup();
    if (setup == nullptr || !setup->IsFromFile()) return GetSpeed(i);
    const int gear = GetGear(i);
    const double speed = GetSpeed(i);
    if (gear < 1 || gear > 6 || speed == 0.0) return 0.0;
    const double rpm = GetRevs(i) / kRpm;
    const double value = setup->GetGearRatio(gear) * rpm * 50.0 / (2.0 * speed) - 1000.0;
    return value < 0.0 ? 0.0 : value;
}

double F1RSPerf::GetPosX(int i) const {
    if (m_scope.empty()) return 0.0;
    const std::uint64_t r = std::uint64_t(i) * m_scope.size() / std::uint64_t(GetSampleCount());
    return m_scope[static_cast<std::size_t>(r)][0] * kScopeUnit;
}

double F1RSPerf::GetPosY(int i) const {
    if (m_scope.empty()) return 0.0;
    const std::uint64_t r = std::uint64_t(i) * m_scope.size() / std::uint64_t(GetSampleCount());
    return m_scope[static_cast<std::size_t>(r)][1] * kScopeUnit;
}

std::unique_ptr<CarSetup> F1RSPerf::CreateSetup() const { return std::make_unique<F1RSCarSetup>(); }

// This game has no car model of its own: the GP2 model stands in.
std::unique_ptr<Physics> F1RSPerf::CreatePhysics() const { return std::make_unique<GP2Physics>(); }

}  // namespace morlund
