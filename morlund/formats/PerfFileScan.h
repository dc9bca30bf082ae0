#pragma once

// The perf files below a folder, found by their names and described by the
// first bytes of each file: lap time, lap number, track and date. Headers are
// read without loading the laps, so thousands of files list in moments.

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "morlund/formats/Games.h"
#include "morlund/platform/ByteOrder.h"

namespace morlund {

// Which files a scan lists.
struct PerfFileFilter {
    std::optional<GameType> game;  // only files this game's reader takes; every game when empty
    int track = -1;                // only laps of this track (0-based); every track when -1
    // Decides between GP2, GP3 and GP3-2000 for GP perf files that are not GP4,
    // as opening the file does, when `game` does not.
    GameType primary = GameType::LFS;
};

// One listed file. Numbers are -1 where the file does not tell them.
struct PerfFileEntry {
    std::filesystem::path path;  // full path
    std::string name;            // path below the scanned folder, then " (player, car)" for LFS
    GameType game = GameType::Generic;
    std::uint32_t fileId = 0;  // first word of GP perf files, else 0
    int dateKey = -1;          // MakeDateKey of the lap's date
    int timeKey = -1;          // seconds since midnight
    int track = -1;
    int lap = -1;
    std::int64_t lapTimeMs = -1;
    std::string timeText;  // the lap time as shown
    std::string dateText;
    std::string trackText;
};

// A key that orders dates (years of four digits): 31-12-2011 before 01-01-2012.
constexpr int MakeDateKey(int day, int month, int year) { return day + 32 * month + 512 * year; }

// The kinds of perf file, as their names tell them.
enum class PerfFileKind { None, GP, F1RS, MGPRS2, LFS };

// The kind of file a name stands for when the filter lists it: "*.pa?" GP perf
// files, "*.tlm" telemetry (MGPRS2 when the name begins with "save", and then
// only the first of the three parts, "save1…" of ten characters or more),
// "*.raf" LFS files. Case is ignored.
PerfFileKind ClassifyPerfFile(std::string_view fileName, const PerfFileFilter& filter);

// The bytes of a file's start its header is read from.
std::size_t PerfHeaderSize(PerfFileKind kind);

// Reads the headers of perf files. Not for use by several threads at once.
class PerfFileReader {
public:
    explicit PerfFileReader(PerfFileFilter filter);
    ~PerfFileReader();
    PerfFileReader(const PerfFileReader&) = delete;
    PerfFileReader& operator=(const PerfFileReader&) = delete;

    // The entry of a header, from the bytes read from the file's start (which
    // may be fewer than PerfHeaderSize: every field is checked against them).
    // `modified` is the file's last modification in seconds since 1970 (-1 when
    // unknown): the date of LFS files. Path and name are left empty. Nothing
    // for a foreign or short header, or a lap the filter does not list.
    std::optional<PerfFileEntry> ReadHeader(PerfFileKind kind, ByteSpan bytes,
                                            std::int64_t modified);
    // Opens a file of that kind and reads its header; `name` is the text the
    // entry's name begins with. Nothing when the file cannot be read.
    std::optional<PerfFileEntry> ReadFile(PerfFileKind kind, const std::filesystem::path& path,
                                          std::string name);

private:
    std::optional<PerfFileEntry> ReadGP(ByteSpan bytes);
    std::optional<PerfFileEntry> ReadTlm(PerfFileKind kind, ByteSpan bytes);
    std::optional<PerfFileEntry> ReadLFS(ByteSpan bytes, std::int64_t modified);
    std::string GPTrackName(GameType game, int track);

    PerfFileFilter m_filter;
    // A manager of each GP game, made when first needed, names its tracks.
    std::array<std::unique_ptr<BufManager>, kGameCount> m_managers;
};

// What a running scan has done, and how it is stopped; readable from any thread.
struct PerfScanControl {
    std::atomic<bool> stop{false};
    std::atomic<int> folders{0};  // folders entered
    std::atomic<int> files{0};    // files looked at
};

// Lists the perf files below `root`, depth first, each folder in the order the
// system gives its entries; `found` gets every listed file as soon as its
// header is read. Symbolic links to folders are not followed, so a link loop
// ends nowhere; folders and files that cannot be read are skipped. Returns
// soon after control.stop is set.
void ScanPerfFiles(const std::filesystem::path& root, const PerfFileFilter& filter,
                   const std::function<void(PerfFileEntry&&)>& found, PerfScanControl& control);

// The browser's columns, in order.
enum class PerfFileColumn { Name = 0, Time, Lap, Track, Date };
inline constexpr int kPerfFileColumnCount = 5;

// Negative when a comes before b in ascending order of a column, positive
// after, 0 when they tie. Name and time texts ignore case (times of known laps
// compare as times); lap and track by number (tracks of one number by name);
// dates newest first. A file that lacks the column's value comes after every
// file that has one.
int ComparePerfFiles(const PerfFileEntry& a, const PerfFileEntry& b, PerfFileColumn column);

// Puts `rows` (indices into `entries`) in the order of a column; descending
// order is the reverse of ascending. Rows that tie keep their order. The first
// `sortedCount` rows must already be in that order: only the rest are sorted
// and merged in, which keeps a list that grows while it is sorted cheap.
void SortPerfFiles(std::vector<std::uint32_t>& rows, const std::vector<PerfFileEntry>& entries,
                   PerfFileColumn column, bool ascending, std::size_t sortedCount = 0);

}  // namespace morlund
