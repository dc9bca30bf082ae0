#include "morlund/formats/PerfFileScan.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>

#include "morlund/formats/BufManager.h"
#include "morlund/formats/GameStrings.h"
#include "morlund/formats/gp2/GP2Perf.h"
#include "morlund/formats/gp2/GPEnvelope.h"
#include "morlund/formats/lfs/RafHeader.h"
#include "morlund/formats/mgp/MGPPerf.h"
#include "morlund/platform/File.h"
#include "morlund/platform/Text.h"

namespace morlund {

namespace fs = std::filesystem;

namespace {

// The lap record of a GP perf file follows the 32-byte envelope header; its
// fields end at byte 20.
constexpr std::size_t kGPRecordRead = 64;
constexpr std::size_t kGPRecordNeeded = 20;
constexpr std::size_t kF1RSHeaderSize = 24;
constexpr std::size_t kF1RSDateSize = 16;
constexpr std::size_t kMGPDateOffset = 6;
constexpr std::size_t kMGPDateSize = 15;

// A NUL-terminated text of a fixed-size field, cut at the bytes actually read.
std::string FieldText(ByteSpan bytes, std::size_t offset, std::size_t size) {
    if (offset >= bytes.size()) return {};
    const std::size_t room = std::min(size, bytes.size() - offset);
    const auto* text = reinterpret_cast<const char*>(bytes.data() + offset);
    const void* nul = std::memchr(text, 0, room);
    const std::size_t length =
        nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - text) : room;
    return Latin1ToUtf8(std::string_view(text, length));
}

// The decimal number at a position of a text, up to the next non-digit (0
// where there is none); at most four digits, so that date keys cannot overflow.
int DecimalAt(std::string_view text, std::size_t at) {
    int value = 0;
    for (int digits = 0; at < text.size() && digits < 4 && text[at] >= '0' && text[at] <= '9';
         ++at, ++digits)
        value = value * 10 + (text[at] - '0');
    return value;
}

// Two-digit years as the games of that time wrote them: 69 and later are the
// 1900s, earlier ones the 2000s.
int FullYear(int year) {
    if (year >= 100) return year;
    return year >= 69 ? 1900 + year : 2000 + year;
}

std::string LapTimeText(std::int64_t ms) {
    const bool fits = ms >= 0 && ms <= 0xffffffffLL;
    return FormatLapTime(fits ? static_cast<std::uint32_t>(ms) : 0xffffffffu);
}

std::int64_t ModificationTime(const fs::path& path) {
    std::error_code ec;
    const fs::file_time_type written = fs::last_write_time(path, ec);
    if (ec) return -1;
    const auto system = std::chrono::file_clock::to_sys(written);
    return std::chrono::duration_cast<std::chrono::seconds>(system.time_since_epoch()).count();
}

bool IsGPGame(GameType game) {
    return game == GameType::GP2 || game == GameType::GP3 || game == GameType::GP32K ||
           game == GameType::GP4;
}

}  // namespace

PerfFileKind ClassifyPerfFile(std::string_view name, const PerfFileFilter& filter) {
    const auto lists = [&](GameType game) { return !filter.game || *filter.game == game; };
    if (EndsWithNoCase(name, ".tlm")) {
        // As opening the file decides: "save…" files are MGPRS2 laps.
        const bool mgp = name.size() >= 4 && EqualsNoCase(name.substr(0, 4), "save");
        if (!mgp) return lists(GameType::F1RS) ? PerfFileKind::F1RS : PerfFileKind::None;
        // A lap is three files; its first one stands for it.
        const bool first = name.size() >= 10 && name[4] == '1';
        return first && lists(GameType::MGPRS2) ? PerfFileKind::MGPRS2 : PerfFileKind::None;
    }
    if (name.size() >= 4 && EqualsNoCase(name.substr(name.size() - 4, 3), ".pa")) {
        return !filter.game || IsGPGame(*filter.game) ? PerfFileKind::GP : PerfFileKind::None;
    }
    if (EndsWithNoCase(name, ".raf") && lists(GameType::LFS)) return PerfFileKind::LFS;
    return PerfFileKind::None;
}

std::size_t PerfHeaderSize(PerfFileKind kind) {
    switch (kind) {
        case PerfFileKind::GP:
            return kGPHeaderSize + kGPRecordRead;
        case PerfFileKind::F1RS:
            return kF1RSHeaderSize;
        case PerfFileKind::MGPRS2:
            return MGPPerf::kHeaderSize;
        case PerfFileKind::LFS:
            return raf::kHeaderSize;
        case PerfFileKind::None:
            break;
    }
    return 0;
}

PerfFileReader::PerfFileReader(PerfFileFilter filter) : m_filter(filter) {}
PerfFileReader::~PerfFileReader() = default;

std::optional<PerfFileEntry> PerfFileReader::ReadHeader(PerfFileKind kind, ByteSpan bytes,
                                                        std::int64_t modified) {
    switch (kind) {
        case PerfFileKind::GP:
            return ReadGP(bytes);
        case PerfFileKind::F1RS:
        case PerfFileKind::MGPRS2:
            return ReadTlm(kind, bytes);
        case PerfFileKind::LFS:
            return ReadLFS(bytes, modified);
        case PerfFileKind::None:
            break;
    }
    return std::nullopt;
}

std::string PerfFileReader::GPTrackName(GameType game, int track) {
    auto& manager = m_managers[static_cast<std::size_t>(GameIndex(game))];
    if (!manager) manager = CreateBufManager(game);
    return manager ? manager->GetTrackString(track) : std::string("???");
}

std::optional<PerfFileEntry> PerfFileReader::ReadGP(ByteSpan bytes) {
    if (bytes.size() < kGPHeaderSize) return std::nullopt;
    const std::uint32_t id = LoadU32(bytes.data());
    const std::uint8_t type = bytes.data()[4];
    if ((id != kGPFileIdGP2 && id != kGPFileIdGP4) || (type & 0x0f) != kGPTypePerf)
        return std::nullopt;
    if (m_filter.track != -1 && bytes.data()[5] != m_filter.track) return std::nullopt;
    // Decided as opening the file decides; with a game to list, a file of
    // another game would only be refused by that game's reader.
    const GameType game = GameOfGPPerfFile(id, m_filter.game.value_or(m_filter.primary));
    if (m_filter.game && game != *m_filter.game) return std::nullopt;

    const ByteSpan stored =
        bytes.Sub(kGPHeaderSize, std::min(kGPRecordRead, bytes.size() - kGPHeaderSize));
    std::vector<std::uint8_t> record;
    if ((type & kGPTypeCompressed) != 0) {
        std::optional<std::vector<std::uint8_t>> expanded = GPExpandPrefix(stored, kGPRecordRead);
        if (!expanded) return std::nullopt;
        record = std::move(*expanded);
    } else {
        record.assign(stored.data(), stored.data() + stored.size());
    }
    if (record.size() < kGPRecordNeeded) return std::nullopt;

    const std::uint8_t* r = record.data();
    PerfFileEntry entry;
    entry.game = game;
    entry.fileId = id;
    entry.track = r[6];
    entry.lap = r[7];
    const GP2Perf::Date date = GP2Perf::DaysToDate(LoadU16(r + 10));
    const int seconds = r[13], minutes = r[14], hours = r[15];
    entry.dateKey = MakeDateKey(date.day, date.month, date.year);
    entry.timeKey = (hours * 60 + minutes) * 60 + seconds;
    entry.dateText = Format("%02d-%02d-%04d %02d:%02d:%02d", date.day, date.month, date.year, hours,
                            minutes, seconds);
    entry.lapTimeMs = LoadU32(r + 16);
    entry.timeText = LapTimeText(entry.lapTimeMs);
    entry.trackText = GPTrackName(game, entry.track);
    return entry;
}

std::optional<PerfFileEntry> PerfFileReader::ReadTlm(PerfFileKind kind, ByteSpan bytes) {
    const bool mgp = kind == PerfFileKind::MGPRS2;
    // MGPRS2 headers begin with the part's record count.
    const std::size_t base = mgp ? 4 : 0;
    if (bytes.size() < PerfHeaderSize(kind)) return std::nullopt;
    const int trackByte = bytes.data()[base];
    if (m_filter.track != -1 && trackByte - 1 != m_filter.track) return std::nullopt;

    PerfFileEntry entry;
    entry.game = mgp ? GameType::MGPRS2 : GameType::F1RS;
    entry.track = trackByte - 1;
    entry.lap = bytes.data()[base + 1];
    entry.dateText =
        mgp ? FieldText(bytes, kMGPDateOffset, kMGPDateSize) : FieldText(bytes, 8, kF1RSDateSize);
    if (mgp) {
        entry.lapTimeMs = MGPHeaderLapTimeMs(bytes.Sub(0, MGPPerf::kHeaderSize));
        if (entry.lapTimeMs < 0) entry.lapTimeMs = -1;
    } else {
        // 1/65536 s, truncated to whole milliseconds.
        entry.lapTimeMs =
            static_cast<std::int64_t>(std::uint64_t{LoadU32(bytes.data() + 4)} * 1000u / 65536u);
    }
    entry.timeText = LapTimeText(entry.lapTimeMs);
    // "dd/mm/yy hh:mm": day, month, year, hours and minutes at fixed places.
    const std::string& d = entry.dateText;
    if (d.size() >= 8) {
        entry.dateKey = MakeDateKey(DecimalAt(d, 0), DecimalAt(d, 3), FullYear(DecimalAt(d, 6)));
        entry.timeKey = (DecimalAt(d, 9) * 60 + DecimalAt(d, 12)) * 60;
    }
    entry.trackText = GetGameTrackName(mgp ? TrackTable::MGPRS2 : TrackTable::F1RS, entry.track);
    return entry;
}

std::optional<PerfFileEntry> PerfFileReader::ReadLFS(ByteSpan bytes, std::int64_t modified) {
    if (bytes.size() < raf::kHeaderSize) return std::nullopt;
    const std::uint8_t* h = bytes.data();
    if (std::memcmp(h, "LFSRAF", 6) != 0 || h[raf::kVersion] != 2 ||
        LoadU16(h + raf::kHeaderSizeField) != raf::kHeaderSize)
        return std::nullopt;

    PerfFileEntry entry;
    entry.game = GameType::LFS;
    entry.name = " (" + raf::WithoutColourCodes(FieldText(bytes, raf::kPlayer, raf::kPlayerSize)) +
                 ", " + FieldText(bytes, raf::kCar, raf::kCarSize) + ")";
    entry.trackText = FieldText(bytes, raf::kTrack, raf::kTrackSize) + " " +
                      FieldText(bytes, raf::kLayout, raf::kLayoutSize);
    std::tm local{};
    if (modified >= 0 && LocalTime(modified, local)) {
        entry.dateKey = MakeDateKey(local.tm_mday, local.tm_mon + 1, local.tm_year + 1900);
        entry.timeKey = (local.tm_hour * 60 + local.tm_min) * 60 + local.tm_sec;
        entry.dateText = Format("%02d-%02d-%04d %02d:%02d:%02d", local.tm_mday, local.tm_mon + 1,
                                local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec);
    }
    // The last split is the lap time; without splits, the recording's length.
    const int splits = h[raf::kSplitCount];
    if (splits >= 1 && splits <= raf::kMaxSplits) {
        entry.lapTimeMs = LoadU32(h + raf::kSplits + 4 * static_cast<std::size_t>(splits - 1));
    } else {
        const int interval = h[raf::kIntervalMs] != 0 ? h[raf::kIntervalMs] : 10;
        entry.lapTimeMs = std::int64_t{LoadU32(h + raf::kBlockCount)} * interval;
    }
    entry.timeText = LapTimeText(entry.lapTimeMs);
    return entry;
}

std::optional<PerfFileEntry> PerfFileReader::ReadFile(PerfFileKind kind, const fs::path& path,
                                                      std::string name) {
    File file;
    if (!file.Open(path, File::Mode::Read)) return std::nullopt;
    std::vector<std::uint8_t> bytes(PerfHeaderSize(kind));
    bytes.resize(file.Read(bytes.data(), bytes.size()));
    const std::int64_t modified = kind == PerfFileKind::LFS ? ModificationTime(path) : -1;
    std::optional<PerfFileEntry> entry =
        ReadHeader(kind, ByteSpan(bytes.data(), bytes.size()), modified);
    if (entry) {
        entry->path = path;
        entry->name = std::move(name) + entry->name;
    }
    return entry;
}

void ScanPerfFiles(const fs::path& root, const PerfFileFilter& filter,
                   const std::function<void(PerfFileEntry&&)>& found, PerfScanControl& control) {
    struct Folder {
        fs::directory_iterator at;
        fs::path relative;  // below the root
    };
    std::error_code ec;
    const fs::path top = fs::absolute(root, ec);
    std::vector<Folder> stack;
    const auto enter = [&](const fs::path& folder, fs::path relative) {
        std::error_code open;
        fs::directory_iterator at(folder, fs::directory_options::skip_permission_denied, open);
        if (open) return;  // unreadable: skipped
        ++control.folders;
        stack.push_back({std::move(at), std::move(relative)});
    };
    enter(ec ? root : top, {});
    PerfFileReader reader(filter);
    while (!stack.empty() && !control.stop.load(std::memory_order_relaxed)) {
        Folder& folder = stack.back();
        if (folder.at == fs::directory_iterator()) {
            stack.pop_back();
            continue;
        }
        const fs::directory_entry entry = *folder.at;
        const fs::path relative = folder.relative / entry.path().filename();
        std::error_code next;
        folder.at.increment(next);
        if (next) folder.at = fs::directory_iterator();  // the rest of this folder cannot be read
        // Links to folders are never entered (no loops); links to files are read.
        std::error_code status;
        const fs::file_status own = entry.symlink_status(status);
        if (status) continue;
        if (fs::is_directory(own)) {
            enter(entry.path(), relative);  // invalidates `folder`
            continue;
        }
        const bool file = fs::is_symlink(own) ? entry.is_regular_file(status) && !status
                                              : fs::is_regular_file(own);
        if (!file) continue;
        ++control.files;
        const PerfFileKind kind = ClassifyPerfFile(PathToUtf8(entry.path().filename()), filter);
        if (kind == PerfFileKind::None) continue;
        if (std::optional<PerfFileEntry> listed = reader.ReadFile(
                kind, entry.path(), PathToUtf8(fs::path(relative).make_preferred())))
            found(std::move(*listed));
    }
}

namespace {

int Sign(long long difference) { return difference < 0 ? -1 : difference > 0 ? 1 : 0; }

int CompareNoCase(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        const int lx = x >= 'A' && x <= 'Z' ? x + 32 : x;
        const int ly = y >= 'A' && y <= 'Z' ? y + 32 : y;
        if (lx != ly) return lx < ly ? -1 : 1;
    }
    return Sign(static_cast<long long>(a.size()) - static_cast<long long>(b.size()));
}

// Files without the value come last; nothing when both have it.
std::optional<int> MissingLast(bool hasA, bool hasB) {
    if (hasA && hasB) return std::nullopt;
    return Sign(static_cast<int>(hasB) - static_cast<int>(hasA));
}

}  // namespace

int ComparePerfFiles(const PerfFileEntry& a, const PerfFileEntry& b, PerfFileColumn column) {
    switch (column) {
        case PerfFileColumn::Name:
            return CompareNoCase(a.name, b.name);
        case PerfFileColumn::Time:
            // Compared as times: as texts "10:00.000" would come before "9:00.000".
            if (const auto m = MissingLast(a.lapTimeMs >= 0, b.lapTimeMs >= 0))
                return *m != 0 ? *m : CompareNoCase(a.timeText, b.timeText);
            return Sign(a.lapTimeMs - b.lapTimeMs);
        case PerfFileColumn::Lap:
            if (const auto m = MissingLast(a.lap >= 0, b.lap >= 0)) return *m;
            return Sign(a.lap - b.lap);
        case PerfFileColumn::Track:
            if (const auto m = MissingLast(a.track >= 0, b.track >= 0))
                return *m != 0 ? *m : CompareNoCase(a.trackText, b.trackText);
            if (a.track != b.track) return Sign(a.track - b.track);
            return CompareNoCase(a.trackText, b.trackText);
        case PerfFileColumn::Date:
            if (const auto m = MissingLast(a.dateKey >= 0, b.dateKey >= 0)) return *m;
            if (a.dateKey != b.dateKey) return Sign(b.dateKey - a.dateKey);
            return Sign(b.timeKey - a.timeKey);
    }
    return 0;
}

void SortPerfFiles(std::vector<std::uint32_t>& rows, const std::vector<PerfFileEntry>& entries,
                   PerfFileColumn column, bool ascending, std::size_t sortedCount) {
    const auto before = [&](std::uint32_t x, std::uint32_t y) {
        const int c = ComparePerfFiles(entries[x], entries[y], column);
        return ascending ? c < 0 : c > 0;
    };
    sortedCount = std::min(sortedCount, rows.size());
    const auto middle = rows.begin() + static_cast<std::ptrdiff_t>(sortedCount);
    std::stable_sort(middle, rows.end(), before);
    std::inplace_merge(rows.begin(), middle, rows.end(), before);
}

}  // namespace morlund
