// Header reading and sorting of the perf file browser, on lapgen's files and on
// hand-made bytes.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "lapgen/F1RSWriter.h"
#include "lapgen/GP2Writer.h"
#include "lapgen/GP3Writer.h"
#include "lapgen/Model.h"
#include "lapgen/RafWriter.h"
#include "morlund/formats/PerfFileScan.h"

using morlund::ByteSpan;
using morlund::GameType;
using morlund::PerfFileColumn;
using morlund::PerfFileEntry;
using morlund::PerfFileKind;
using morlund::PerfFileReader;

namespace {

const lapgen::Lap& Lap() {
    static const lapgen::Lap lap = [] {
        lapgen::LapSpec spec;
        spec.sampleCount = 200;
        spec.trackLength = 1200;
        return lapgen::MakeLap(spec);
    }();
    return lap;
}

std::string LapText(unsigned ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%u:%02u.%03u", ms / 60000, ms % 60000 / 1000, ms % 1000);
    return text;
}

std::optional<PerfFileEntry> Read(PerfFileKind kind, const std::vector<std::uint8_t>& bytes,
                                  std::size_t size, morlund::PerfFileFilter filter = {},
                                  std::int64_t modified = -1) {
    PerfFileReader reader(filter);
    return reader.ReadHeader(kind, ByteSpan(bytes.data(), std::min(size, bytes.size())), modified);
}

}  // namespace

// The texts of every game are checked on files in the browser's test; here: lap times
// as each game stores them, and headers cut short anywhere.
TEST(PerfFileHeaders, EveryGameFromItsFirstBytesAndNothingFromTooFew) {
    lapgen::GP3Raw gp3 = lapgen::EncodeGP3(Lap());
    gp3.track = 5;
    gp3.lapTimeMs = 83456;
    lapgen::GP3WriteOptions compressed;
    compressed.compress = true;
    lapgen::TlmRaw f1rs = lapgen::EncodeF1RS(Lap());
    f1rs.lapTime = 90 * 65536 + 1;  // 90.0000153 s: 90000 ms, truncated
    lapgen::TlmRaw mgp = lapgen::EncodeMGP(Lap());
    mgp.lapTime = 71234;  // written as the texts "1", "11" and "234"
    const lapgen::RafRaw raf = lapgen::EncodeRaf(Lap());

    struct Case {
        PerfFileKind kind;
        std::vector<std::uint8_t> bytes;
        std::size_t needed;  // fewer bytes give nothing (0: depends on the compression)
        std::string time;
    };
    const Case cases[] = {
        {PerfFileKind::GP, lapgen::WriteGP3Perf(lapgen::GP3Game::GP3, gp3), 52, "1:23.456"},
        {PerfFileKind::GP, lapgen::WriteGP3Perf(lapgen::GP3Game::GP4, gp3, compressed), 0,
         "1:23.456"},
        {PerfFileKind::F1RS, lapgen::WriteF1RSTelemetry(f1rs), 24, "1:30.000"},
        {PerfFileKind::MGPRS2, lapgen::WriteMGPTelemetry(mgp)[0], 32, "1:11.234"},
        {PerfFileKind::LFS, lapgen::WriteRaf(raf), 1024, LapText(raf.splits.back())},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        const std::size_t full = morlund::PerfHeaderSize(c.kind);
        const std::optional<PerfFileEntry> e = Read(c.kind, c.bytes, full);
        ASSERT_TRUE(e);
        EXPECT_EQ(e->timeText, c.time);
        // Every shorter read: nothing below what the fields need, never a read past it
        // (the sanitizers watch).
        for (std::size_t n = 0; n < full; ++n) {
            const bool listed = Read(c.kind, c.bytes, n).has_value();
            if (c.needed > 0) {
                EXPECT_EQ(listed, n >= c.needed) << n;
            }
        }
    }
    // GP perf files of GP2, GP3 and GP3-2000 look alike: the game to add to, or else the
    // primary game, decides, as opening the file does; the track names are that game's.
    const std::vector<std::uint8_t> gp3File = lapgen::WriteGP3Perf(lapgen::GP3Game::GP3, gp3);
    EXPECT_EQ(Read(PerfFileKind::GP, gp3File, 96, {GameType::GP2, 5})->trackText, "Montreal");
    EXPECT_EQ(Read(PerfFileKind::GP, gp3File, 96, {GameType::GP3, 5})->trackText, "Monte Carlo");
    EXPECT_EQ(Read(PerfFileKind::GP, gp3File, 96, {std::nullopt, -1, GameType::GP32K})->game,
              GameType::GP32K);
    EXPECT_EQ(Read(PerfFileKind::GP, gp3File, 96, {std::nullopt, -1, GameType::LFS})->game,
              GameType::GP3);
}

TEST(PerfFileHeaders, KindsByNameAsOpeningTheFileDecides) {
    using K = PerfFileKind;
    const morlund::PerfFileFilter all;
    const morlund::PerfFileFilter f1rs{GameType::F1RS, -1};
    const morlund::PerfFileFilter gp3{GameType::GP3, 4};
    struct Case {
        const char* name;
        const morlund::PerfFileFilter& filter;
        PerfFileKind kind;
    };
    const Case cases[] = {
        {"LAP07.PAD", all, K::GP},       {"lap.pa", all, K::None},
        {"race.TLM", all, K::F1RS},      {"SAVE1lap.tlm", all, K::MGPRS2},
        {"save2lap.tlm", all, K::None},  // the lap's other parts are not listed
        {"save1.tlm", all, K::None},     // too short for an MGPRS2 name
        {"save1lap.tlm", f1rs, K::None}, {"race.tlm", f1rs, K::F1RS},
        {"lap.raf", all, K::LFS},        {"lap.raf", gp3, K::None},
        {"lap.pag", gp3, K::GP},         {"lap.csv", all, K::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(morlund::ClassifyPerfFile(c.name, c.filter), c.kind) << c.name;
}

TEST(PerfFileHeaders, HostileFieldsStayInsideTheirBytes) {
    // F1RS: track byte 0, a date field filled to its end without a terminator.
    std::vector<std::uint8_t> f1rs(24, 0);
    f1rs[1] = 3;
    std::memset(f1rs.data() + 8, '7', 16);
    const auto tlm = Read(PerfFileKind::F1RS, f1rs, 24);
    ASSERT_TRUE(tlm);
    EXPECT_EQ(tlm->trackText, "???");
    EXPECT_EQ(tlm->track, -1);
    EXPECT_EQ(tlm->dateText, std::string(16, '7'));
    EXPECT_EQ(tlm->timeText, "0:00.000");

    // LFS: names filling their fields; no splits: the recording's length.
    std::vector<std::uint8_t> raf(1024, 'x');
    std::memcpy(raf.data(), "LFSRAF", 6);
    raf[8] = 2;
    raf[9] = 0;  // 10 ms per block
    raf[12] = 0x00, raf[13] = 0x04;
    raf[171] = 9;                                              // no split count of 1 to 4
    raf[20] = 0x10, raf[21] = 0x27, raf[22] = 0, raf[23] = 0;  // 10000 blocks
    const auto lfs = Read(PerfFileKind::LFS, raf, 1024, {}, 0);
    ASSERT_TRUE(lfs);
    EXPECT_EQ(lfs->name, " (" + std::string(32, 'x') + ", " + std::string(32, 'x') + ")");
    EXPECT_EQ(lfs->trackText, std::string(32, 'x') + " " + std::string(16, 'x'));
    EXPECT_EQ(lfs->lapTimeMs, 100000);
    EXPECT_EQ(lfs->timeText, "1:40.000");
    raf[8] = 3;
    EXPECT_FALSE(Read(PerfFileKind::LFS, raf, 1024));

    // GP: a compressed record whose first back-reference reaches before the start is
    // refused; one cut inside a back-reference word keeps what came before it.
    lapgen::GP3Raw raw = lapgen::EncodeGP3(Lap());
    raw.lapTimeMs = 61001;
    lapgen::GP3WriteOptions bad;
    bad.compress = true;
    std::vector<std::uint8_t> file = lapgen::WriteGP3Perf(lapgen::GP3Game::GP3, raw, bad);
    std::vector<std::uint8_t> header(file.begin(), file.begin() + 32);
    header[4] = 0x8d;
    std::vector<std::uint8_t> backFirst = header;
    backFirst.insert(backFirst.end(), {0x01, 0x05, 0x00});  // copy from 6 bytes back: nothing there
    EXPECT_FALSE(Read(PerfFileKind::GP, backFirst, 96));
    std::vector<std::uint8_t> cut = header;
    cut.push_back(0x00);  // eight literals
    for (int i = 0; i < 8; ++i)
        cut.push_back(static_cast<std::uint8_t>(i));
    cut.push_back(0x00);
    for (int i = 8; i < 16; ++i)
        cut.push_back(static_cast<std::uint8_t>(i));
    cut.push_back(0x00);
    for (int i = 16; i < 24; ++i)
        cut.push_back(static_cast<std::uint8_t>(i));
    cut.insert(cut.end(), {0x01, 0x05});  // a word whose second byte was never read
    const auto gp = Read(PerfFileKind::GP, cut, 96);
    ASSERT_TRUE(gp);
    EXPECT_EQ(gp->track, 6);
    EXPECT_EQ(gp->lap, 7);
    EXPECT_EQ(gp->lapTimeMs, 16 | 17 << 8 | 18 << 16 | 19 << 24);
}

TEST(PerfFileSort, ColumnsOrderAsTheUserExpects) {
    const auto entry = [](const char* name, std::int64_t ms, int lap, int track,
                          const char* trackText, int dateKey, int timeKey) {
        PerfFileEntry e;
        e.name = name;
        e.lapTimeMs = ms;
        e.timeText = ms >= 0 ? LapText(static_cast<unsigned>(ms)) : "-:--.---";
        e.lap = lap;
        e.track = track;
        e.trackText = trackText;
        e.dateKey = dateKey;
        e.timeKey = timeKey;
        return e;
    };
    // 31-12-2011 and 01-01-2012 as day + 32 month + 512 year.
    const int newYearsEve = 31 + 32 * 12 + 512 * 2011;
    const int newYear = 1 + 32 * 1 + 512 * 2012;
    const std::vector<PerfFileEntry> e = {
        entry("b/Lap.pad", 599000, 3, 2, "Imola", newYearsEve, 86000),  // 0
        entry("a/lap.pad", 600000, -1, -1, "BL1 R", newYear, 60),       // 1
        entry("B/lap.pad", 61000, 12, 2, "Imola", newYearsEve, 100),    // 2
        entry("c.raf", -1, 3, -1, "AS1 R", -1, -1),                     // 3
    };
    struct Case {
        PerfFileColumn column;
        bool ascending;
        std::vector<std::uint32_t> rows;
    };
    const Case cases[] = {
        {PerfFileColumn::Name, true, {1, 0, 2, 3}},  // case is ignored; ties keep their order
        {PerfFileColumn::Time, true, {2, 0, 1, 3}},  // 1:01 < 9:59 < 10:00, unknown last
        {PerfFileColumn::Lap, true, {0, 3, 2, 1}},   // no lap number last
        {PerfFileColumn::Lap, false, {1, 2, 0, 3}},
        {PerfFileColumn::Track, true, {0, 2, 3, 1}},  // numbered first, then by name
        {PerfFileColumn::Date, true, {1, 0, 2, 3}},   // newest first, across the year
        {PerfFileColumn::Date, false, {3, 2, 0, 1}},  // oldest first
    };
    for (const Case& c : cases) {
        std::vector<std::uint32_t> rows = {0, 1, 2, 3};
        morlund::SortPerfFiles(rows, e, c.column, c.ascending);
        EXPECT_EQ(rows, c.rows) << static_cast<int>(c.column) << " " << c.ascending;
        // Rows arriving after a sort are merged into their places.
        std::vector<std::uint32_t> grown = {0, 2};
        morlund::SortPerfFiles(grown, e, c.column, c.ascending);
        grown.insert(grown.end(), {3, 1});
        morlund::SortPerfFiles(grown, e, c.column, c.ascending, 2);
        EXPECT_EQ(grown.size(), 4u);
        for (std::size_t k = 0; k + 1 < grown.size(); ++k) {
            const int order = morlund::ComparePerfFiles(e[grown[k]], e[grown[k + 1]], c.column);
            EXPECT_TRUE(c.ascending ? order <= 0 : order >= 0);
        }
    }
}
