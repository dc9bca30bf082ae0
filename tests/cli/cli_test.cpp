#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "lapgen/CsvWriter.h"
#include "lapgen/GP2Writer.h"
#include "morlund/formats/BufManager.h"
#include "morlund/formats/Games.h"
#include "morlund/items/CustomDataItem.h"
#include "morlund/items/DataItem.h"
#include "morlund/platform/File.h"
#include "pellith/analysis/AnalysisText.h"
#include "pellith/analysis/LapDelta.h"
#include "pellith/export/ExportEngine.h"
#include "tests/support/Files.h"

namespace fs = std::filesystem;

namespace {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Absolute, with the system's separators: the paths go through its shell.
        m_dir = fs::absolute(
                    fs::path(TARNWICK_TEST_SCRATCH) /
                    ("cli_" +
                     std::string(::testing::UnitTest::GetInstance()->current_test_info()->name())))
                    .make_preferred();
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    CliRun Cli(const std::string& args) {
        const fs::path err = m_dir / "stderr.txt";
        testsupport::CommandRun run =
            testsupport::RunCommand(Program() + " " + args + " 2>" + err.string());
        return {run.status, std::move(run.out), testsupport::ReadText(err)};
    }

    static std::string Program() { return fs::absolute(TARNWICK_CLI).make_preferred().string(); }

    fs::path Path(const std::string& name) const { return m_dir / name; }

    fs::path m_dir;
};

lapgen::GP2Raw Raw(int track, std::uint64_t seed) {
    lapgen::LapSpec spec;
    spec.seed = seed;
    spec.sampleCount = 300;
    spec.track = track;
    lapgen::GP2Raw raw = lapgen::EncodeGP2(lapgen::MakeLap(spec));
    raw.lapTimeMs = 83456;
    raw.dateDays = 365;
    raw.hours = 8;
    raw.minutes = 30;
    raw.seconds = 1;
    raw.lapNumber = 12;
    return raw;
}

}  // namespace

TEST_F(CliTest, InfoPrintsEachLapAndReportsRefusedFiles) {
    const lapgen::GP2Raw raw = Raw(3, 1);
    lapgen::GP2WriteOptions options;
    options.compress = true;
    lapgen::WriteFile(Path("a.pad"), lapgen::WriteGP2Perf(raw, options));
    lapgen::WriteFile(Path("a.csd"), lapgen::WriteGP2Setup(3, lapgen::DefaultSetupRecord()));
    lapgen::GP2WriteOptions plain;
    plain.strelkoVersion = 0;
    lapgen::WriteFile(Path("b.pad"), lapgen::WriteGP2Perf(Raw(3, 2), plain));
    lapgen::WriteFile(Path("c.pae"), lapgen::WriteGP2Perf(Raw(4, 3), plain));

    const CliRun run = Cli("info --primary-game GP2 " + Path("a.pad").string() + " " +
                           Path("c.pae").string() + " " + Path("b.pad").string());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "Error reading file: not the same track\n");
    char length[32];
    std::snprintf(length, sizeof length, "%.2f", raw.trackLengthFt * 0.3048);
    const std::string first = "file: " + Path("a.pad").string() +
                              "\ngame: GP2\nname: Tarnwick\ninfo: Strelko Perf File (v7)\n"
                              "date: 1-01-1979 08:30:01\nlap: 12\nlap time: 1:23.456\n"
                              "track: Monte Carlo\ntrack length (m): " +
                              length + "\nsamples: 300\nsetup: read from file\n";
    ASSERT_GE(run.out.size(), first.size());
    EXPECT_EQ(run.out.substr(0, first.size()), first);
    const std::string second = run.out.substr(first.size());
    EXPECT_EQ(second.substr(0, 7 + Path("b.pad").string().size()),
              "\nfile: " + Path("b.pad").string());
    EXPECT_NE(second.find("info: GP2 Perf File\n"), std::string::npos);
    EXPECT_NE(second.find("setup: not read\n"), std::string::npos);
}

TEST_F(CliTest, NamesOutsideAsciiReachTheFilesTheyName) {
    // The lap, its setup beside it and the export all go through the name as given.
    const fs::path folder = m_dir / morlund::PathFromUtf8("Ünïcødé lap");
    fs::create_directories(folder);
    const std::string lap = morlund::PathToUtf8(folder / morlund::PathFromUtf8("tést.pad"));
    const std::string out = morlund::PathToUtf8(folder / morlund::PathFromUtf8("résultat ✓.csv"));
    lapgen::WriteFile(morlund::PathFromUtf8(lap), lapgen::WriteGP2Perf(Raw(3, 1), {}));
    lapgen::WriteFile(folder / morlund::PathFromUtf8("tést.csd"),
                      lapgen::WriteGP2Setup(3, lapgen::DefaultSetupRecord()));

    const CliRun info = Cli("info --primary-game GP2 \"" + lap + "\"");
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.out.substr(0, 7 + lap.size()), "file: " + lap + "\n");
    EXPECT_NE(info.out.find("setup: read from file\n"), std::string::npos);
    const CliRun exported = Cli("export --primary-game GP2 -o \"" + out + "\" \"" + lap + "\"");
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_GT(testsupport::ReadText(morlund::PathFromUtf8(out)).size(), 1000u);
}

TEST_F(CliTest, ExitStatusTellsLoadFailuresFromBadArguments) {
    lapgen::GP2WriteOptions bad;
    bad.checksum = lapgen::Checksum::Bad;
    lapgen::WriteFile(Path("bad.pad"), lapgen::WriteGP2Perf(Raw(3, 1), bad));

    CliRun run = Cli("info --primary-game GP2 " + Path("bad.pad").string());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "Error reading file: file is truncated, too long or has incorrect checksum\n");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Cli("info --primary-game GP2 " + Path("missing.pad").string()).status, 1);

    EXPECT_EQ(Cli("info").status, 2);
    EXPECT_EQ(Cli("info --primary-game GP9 x.pad").status, 2);
    EXPECT_EQ(Cli("info --primary-game").status, 2);
    EXPECT_EQ(Cli("info --colour x.pad").status, 2);
    EXPECT_EQ(Cli("frobnicate").status, 2);
    EXPECT_EQ(Cli("").status, 2);
    run = Cli("--help");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("tarnwick-cli info"), std::string::npos);
}

TEST_F(CliTest, SetupPrintsTheSheetAndThePredictions) {
    lapgen::WriteFile(Path("a.pad"), lapgen::WriteGP2Perf(Raw(3, 1), {}));
    auto record = lapgen::DefaultSetupRecord();
    record[0] = 14;  // front wing
    record[9] = 80;  // brake balance: 60 % front
    lapgen::WriteFile(Path("a.csd"), lapgen::WriteGP2Setup(3, record));
    lapgen::WriteFile(Path("b.pad"), lapgen::WriteGP2Perf(Raw(3, 2), {}));

    CliRun run = Cli("setup --primary-game GP2 --buffer 1 " + Path("a.pad").string() + " " +
                     Path("b.pad").string());
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    // the second lap has no setup of its own and shows the first lap's
    for (const char* line :
         {"buffer: 1\n", "setup: not read\n", "setup track: Monte Carlo\n", "front wing: 14\n",
          "rear wing: 12\n", "brake balance: 60.000% front\n", "gear 1: 28 : 64 (0.4375)\n",
          "max travel (mm): LR 80.0  RR 80.0  LF 40.0  RF 40.0\n", "predicted max speed: ",
          "best top gear: ", "max speed in gear 6: ", "speed to hit packers (km/h): LR ",
          "speed to hit plank (km/h): LR "}) {
        EXPECT_NE(run.out.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(run.out.find("gear 7"), std::string::npos);

    EXPECT_EQ(Cli("setup --primary-game GP2 --buffer 2 " + Path("a.pad").string()).status, 2);
    EXPECT_EQ(Cli("setup --primary-game GP2 --buffer x " + Path("a.pad").string()).status, 2);
}

TEST_F(CliTest, ItemsListsTheCatalogueAndFormulaChannels) {
    fs::create_directories(Path("user/Ravelle/Tarnwick/formula"));
    std::ofstream(Path("user/Ravelle/Tarnwick/formula/mine.ini"))
        << "[DataItem]\nExpression=rh*2\n";
    fs::create_directories(Path("extra"));
    std::ofstream(Path("extra/Front Rake.ini"))
        << "[DataItem]\nExpression=rh.lf - rh.rf\nName=Front Rake\nType=1\nQuantity=0\n";
    const CliRun run =
        Cli("items --formula-dir " + Path("extra").string() + " XDG=" + Path("user").string());
    EXPECT_EQ(run.status, 2);  // no file arguments for items

    const testsupport::ScopedEnv user(testsupport::UserDataVariable(), Path("user").string());
    const CliRun items = Cli("items --formula-dir " + Path("extra").string());
    const std::string& out = items.out;
    EXPECT_EQ(items.status, 0);
    EXPECT_EQ(out.substr(0, out.find('\n')),
              "ordinal\tshort name\tname\ttype\tlevel\tquantity\tunit");
    EXPECT_NE(out.find("\n2\tspeed\tSpeed\tCar\t0\tVelocity\tkm/h\n"), std::string::npos);
    EXPECT_NE(out.find("\n8\trh\tRide Height\tWheel specific\t0\tLength\tmm\n"), std::string::npos);
    // the examples beside the program, then the user's folder, then the folders given
    const auto example = out.find("\tspeedkmh\tSpeed (km/h)\tCar\t2\tFactor\t");
    const auto mine = out.find("\tmine\trh*2\tWheel specific\t2\tFactor\t");
    const auto extra = out.find("\tfrontrake\tFront Rake\tCar\t2\tLength\tmm\n");
    ASSERT_NE(example, std::string::npos);
    ASSERT_NE(mine, std::string::npos);
    ASSERT_NE(extra, std::string::npos);
    EXPECT_LT(example, mine);
    EXPECT_LT(mine, extra);
}

namespace {

// Two generic laps of one track, as lapgen writes them.
void WriteGenericLaps(const fs::path& a, const fs::path& b) {
    lapgen::LapSpec spec;
    spec.sampleCount = 400;
    spec.trackLength = 2000;
    lapgen::WriteFile(a, lapgen::WriteGenericCsv(lapgen::MakeLap(spec)));
    spec.gripScale = 0.9;
    lapgen::WriteFile(b, lapgen::WriteGenericCsv(lapgen::MakeLap(spec)));
}

// The laps opened in this process as the program opens them.
std::unique_ptr<morlund::BufManager> OpenInProcess(const std::vector<fs::path>& files) {
    std::unique_ptr<morlund::BufManager> manager;
    for (const fs::path& path : files) {
        morlund::File file;
        EXPECT_TRUE(file.Open(path, morlund::File::Mode::Read));
        if (!manager) {
            manager = morlund::CreateBufManager(
                morlund::RecogniseGame(file.GetFileName(), file, morlund::GameType::LFS));
        }
        EXPECT_TRUE(manager->AddBuffer(file));
    }
    return manager;
}

pellith::ColumnItem Column(const morlund::DataItem* item, const morlund::Wheel* wheel,
                           double minimum = pellith::ColumnItem::kNoMinimum,
                           double maximum = pellith::ColumnItem::kNoMaximum) {
    pellith::ColumnItem c = pellith::ColumnItem::Make(item, wheel);
    c.minimum = minimum;
    c.maximum = maximum;
    return c;
}

}  // namespace

TEST_F(CliTest, ExportWritesTheEngineFileByteForByte) {
    WriteGenericLaps(Path("a.csv"), Path("b.csv"));
    fs::create_directories(Path("nouser"));
    morlund::CustomDataItem::InitCustomDataItems();  // the examples beside the programs
    const auto laps = OpenInProcess({Path("a.csv"), Path("b.csv")});
    using morlund::DataItem;
    using morlund::Wheel;

    struct Case {
        std::string args;
        pellith::ExportChoices choices;
        bool miles = false;
    };
    std::vector<Case> cases(4);
    // what the dialog starts with: every channel, all buffers, the system's delimiter
    cases[0].choices.columns = pellith::MakeAllColumns();
    cases[0].choices.buffer = pellith::ExportChoices::kAllBuffers;
    cases[1].args =
        "-c \"speed,rh.lf[30:],?throttle[!0:0.5],rh,wheelspd.sumfr[:500]\" --buffer 1 "
        "--delimiter tab --names long --header --range 500:1500";
    cases[1].choices.columns = {
        Column(DataItem::SPEED, Wheel::ALL), Column(DataItem::RIDEHEIGHT, Wheel::LEFT_FRONT, 30.0),
        Column(DataItem::THROTTLE, Wheel::ALL, 0.0, 0.5), Column(DataItem::RIDEHEIGHT, Wheel::ALL),
        Column(DataItem::WHEELSPEED, Wheel::SUM_FRONT, pellith::ColumnItem::kNoMinimum, 500.0)};
    cases[1].choices.columns[2].exclude = true;
    cases[1].choices.columns[2].rangeOnly = true;
    cases[1].choices.buffer = 1;
    cases[1].choices.delimiterChoice = 3;
    cases[1].choices.columnNames = pellith::ExportChoices::kLongNames;
    cases[1].choices.header = true;
    cases[1].choices.selectedOnly = true;
    cases[1].choices.distanceFrom = 500.0;
    cases[1].choices.distanceTo = 1500.0;
    cases[2].args = "--buffer all --header --delimiter comma -c dist,speed[:200] --miles";
    cases[2].choices.columns = {
        Column(DataItem::DISTANCE, Wheel::ALL),
        Column(DataItem::SPEED, Wheel::ALL, pellith::ColumnItem::kNoMinimum, 200.0)};
    cases[2].choices.buffer = pellith::ExportChoices::kAllBuffers;
    cases[2].choices.delimiterChoice = 1;
    cases[2].choices.header = true;
    cases[2].miles = true;
    cases[3].args = "--buffer 0 --names none --delimiter semicolon -c steer,gear,rh.del";
    cases[3].choices.columns = {Column(DataItem::STEERING, Wheel::ALL),
                                Column(DataItem::GEAR, Wheel::ALL),
                                Column(DataItem::RIDEHEIGHT, Wheel::DELTA)};
    cases[3].choices.delimiterChoice = 2;
    cases[3].choices.columnNames = pellith::ExportChoices::kNoNames;

    const std::string files = " " + Path("a.csv").string() + " " + Path("b.csv").string();
    const testsupport::ScopedEnv user(testsupport::UserDataVariable(), Path("nouser").string());
    for (std::size_t k = 0; k < cases.size(); ++k) {
        morlund::DataItem::SetDistanceInMiles(cases[k].miles);
        const pellith::ExportResult engine =
            pellith::ExportToFile(*laps, cases[k].choices, Path("engine.csv"));
        morlund::DataItem::SetDistanceInMiles(false);
        ASSERT_TRUE(engine.IsOk()) << k;
        const std::string expected = testsupport::ReadText(Path("engine.csv"));
        ASSERT_GT(expected.size(), 200u) << k;

        fs::remove(Path("cli.csv"));
        EXPECT_EQ(Cli("export " + cases[k].args + " -o " + Path("cli.csv").string() + files).status,
                  0)
            << k;
        EXPECT_TRUE(testsupport::ReadText(Path("cli.csv")) == expected) << k;

        const CliRun run = Cli("export " + cases[k].args + files);
        EXPECT_EQ(run.status, 0) << k;
        EXPECT_TRUE(run.out == expected) << k;
    }
}

TEST_F(CliTest, ExportAndStatsRefuseBadArguments) {
    WriteGenericLaps(Path("a.csv"), Path("b.csv"));
    const std::string a = " " + Path("a.csv").string();
    for (const char* args :
         {"export -c nosuch", "export -c speed.lf", "export -c rh.xx", "export -c 'rh[1:2'",
          "export -c 'rh[1-2]'", "export -c 'speed[a:]'", "export -c speed,,rh",
          "export --range 5:1", "export --range 5", "export --delimiter pipe",
          "export --names medium", "export --buffer 1", "export --buffer x", "export -o",
          "stats --header", "stats --buffer 0", "info --miles"}) {
        const CliRun run = Cli(std::string(args) + a);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_NE(run.err, "") << args;
        EXPECT_EQ(run.out, "") << args;
    }
    // an output that cannot be written is a failure, never a success
    const CliRun run = Cli("export -c speed -o " + Path("missing/x.csv").string() + a);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, Path("missing/x.csv").string() + ": Error opening file\n");
    EXPECT_FALSE(fs::exists(Path("missing")));
    EXPECT_NE(Cli("--help").out.find("tarnwick-cli export [--primary-game G]"), std::string::npos);
}

TEST_F(CliTest, StatsPrintsOneColumnPerLap) {
    WriteGenericLaps(Path("a.csv"), Path("b.csv"));
    CliRun run = Cli("stats " + Path("a.csv").string() + " " + Path("b.csv").string());
    EXPECT_EQ(run.status, 0) << run.err;
    const std::string header = run.out.substr(0, run.out.find('\n'));
    EXPECT_EQ(header.substr(0, 8), "Track 3 ");
    EXPECT_NE(header.find("  a.csv  "), std::string::npos);
    EXPECT_EQ(header.substr(header.size() - 7), "  b.csv");
    EXPECT_NE(run.out.find("\n  #Samples "), std::string::npos);
    EXPECT_NE(run.out.find(" 400  "), std::string::npos);
    EXPECT_NE(run.out.find("\n  Avg Speed (kph) "), std::string::npos);
    run = Cli("stats --miles " + Path("a.csv").string());
    EXPECT_NE(run.out.find("\n  Avg Speed (mph) "), std::string::npos);
    EXPECT_NE(run.out.find("\n  Driven distance (miles) "), std::string::npos);
}

TEST_F(CliTest, SectorsAndCornersPrintTheLibraryTables) {
    WriteGenericLaps(Path("a.csv"), Path("b.csv"));
    const std::string files = " " + Path("a.csv").string() + " " + Path("b.csv").string();
    const auto laps = OpenInProcess({Path("a.csv"), Path("b.csv")});
    const std::vector<const morlund::PerfCore*> list{laps->GetBuffer(0), laps->GetBuffer(1)};
    const std::vector<std::string> names{"a.csv", "b.csv"};
    ASSERT_EQ(pellith::FindFastestLap(*laps), 0);  // b was driven on less grip
    const double length = list[0]->GetMaxDistance();
    auto sectors = [&](int count) {
        return pellith::BuildSectorTable(list, pellith::EqualSectorBoundaries(length, count));
    };
    const pellith::StatTable cornersMiles =
        pellith::BuildCornerText(pellith::BuildCornerTable(list, 0), names, true);
    const struct {
        std::string args;
        std::string expected;
    } cases[] = {
        {"sectors",
         pellith::FormatStatTable(pellith::BuildSectorText(sectors(20), names, true, false))},
        {"sectors --count 7 --delimiter tab",
         pellith::FormatDelimitedTable(pellith::BuildSectorText(sectors(7), names, false, false),
                                       "\t")},
        {"corners", pellith::FormatStatTable(pellith::BuildCornerText(
                        pellith::BuildCornerTable(list, 0), names, false))},
        {"corners --miles --delimiter semicolon",
         pellith::FormatDelimitedTable(cornersMiles, "; ")},
    };
    for (const auto& c : cases) {
        const CliRun run = Cli(c.args + files);
        EXPECT_EQ(run.status, 0) << c.args << run.err;
        EXPECT_EQ(run.out, c.expected) << c.args;
    }
    const std::string table = Cli("sectors" + files).out;
    EXPECT_EQ(std::count(table.begin(), table.end(), '*'), 20);  // one best per sector
    EXPECT_NE(table.find("\n  Theoretical best "), std::string::npos);
    EXPECT_NE(Cli("corners" + files).out.find("Corner 1 ("), std::string::npos);

    // The game's split points where there are none: said so, and equal sectors instead.
    const CliRun splits = Cli("sectors --splits" + files);
    EXPECT_EQ(splits.out, cases[0].expected);
    EXPECT_NE(splits.err.find("no split points"), std::string::npos);

    for (const char* args : {"sectors --count 0", "sectors --count 1001", "sectors --count x",
                             "sectors --count", "corners --count 5", "corners --splits",
                             "sectors --delimiter pipe", "sectors -c speed"}) {
        const CliRun run = Cli(std::string(args) + files);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_EQ(run.out, "") << args;
    }
}
