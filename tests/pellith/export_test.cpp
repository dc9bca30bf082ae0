#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <sys/resource.h>
#endif

#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ExportFixture.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Wheel.h"
#include "pellith/export/ColumnItem.h"
#include "pellith/export/Delimiters.h"
#include "pellith/export/ExportEngine.h"

using morlund::DataItem;
using morlund::Wheel;
using pellith::ColumnItem;
using pellith::ExportChoices;
using pellithtest::MakeLaps;

namespace {

class StringSink : public pellith::ExportSink {
public:
    bool Write(const char* data, std::size_t size) override {
        text.append(data, size);
        return true;
    }
    std::string text;
};

std::string Export(const morlund::BufManager& manager, const ExportChoices& choices) {
    StringSink sink;
    EXPECT_TRUE(pellith::WriteExport(manager, choices, sink));
    return sink.text;
}

ColumnItem Column(const DataItem* item, const Wheel* wheel = Wheel::ALL) {
    return ColumnItem::Make(item, wheel);
}

ColumnItem Ranged(const DataItem* item, double minimum, double maximum, bool exclude = false,
                  bool rangeOnly = false) {
    ColumnItem c = Column(item);
    c.minimum = minimum;
    c.maximum = maximum;
    c.exclude = exclude;
    c.rangeOnly = rangeOnly;
    return c;
}

// Choices with a fixed version text, so the golden texts do not follow the build.
ExportChoices Choices(std::vector<ColumnItem> columns, int delimiter = 1) {
    ExportChoices choices;
    choices.columns = std::move(columns);
    choices.delimiterChoice = delimiter;
    choices.versionText = " 1.2.3";
    return choices;
}

// The first cell of every data line (after the header and the name line).
std::vector<std::string> FirstCells(const std::string& text) {
    std::vector<std::string> cells;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == ';' || line[0] == '"' || line == "\r") continue;
        cells.push_back(line.substr(0, 12));
    }
    return cells;
}

constexpr double kNoMin = ColumnItem::kNoMinimum;
constexpr double kNoMax = ColumnItem::kNoMaximum;

}  // namespace

TEST(Export, OneBufferWithHeaderAndShortNames) {
    const auto laps = MakeLaps(true);
    ExportChoices choices = Choices(
        {Column(DataItem::DISTANCE), Column(DataItem::SPEED), Column(DataItem::RIDEHEIGHT)});
    choices.header = true;
    EXPECT_EQ(
        Export(*laps, choices),
        ";Tarnwick 1.2.3 exported telemetry data file\r\n"
        ";Track:    Track 2\r\n"
        ";Info:     Hand lap\r\n"
        ";Buffer:   'lap1.raf'\r\n"
        ";Lap time: 1:23.456\r\n"
        ";Range:    <all>\r\n"
        ";#Samples: 4\r\n"
        "\r\n"
        "\"dist\", \"speed\", \"rh.lr\", \"rh.rr\", \"rh.lf\", \"rh.rf\"\r\n"
        "    0.000000,    36.000000,    50.000000,    60.000000,    70.000000,    80.000000\r\n"
        "    3.500000,    72.000000,    51.000000,    61.000000,    71.000000,    81.000000\r\n"
        "  150.000000,   108.000000,    52.000000,    62.000000,    72.000000,    82.000000\r\n"
        "  250.000000,    -9.000000,    53.000000,    63.000000,    73.000000,    83.000000\r\n");
}

TEST(Export, AllBuffersWithLongNamesAndOneWheel) {
    const auto laps = MakeLaps(true);
    ExportChoices choices =
        Choices({Column(DataItem::SPEED), Column(DataItem::RIDEHEIGHT, Wheel::LEFT_FRONT),
                 Column(DataItem::RIDEHEIGHT, Wheel::SUM)},
                3);
    choices.buffer = ExportChoices::kAllBuffers;
    choices.header = true;
    choices.columnNames = ExportChoices::kLongNames;
    EXPECT_EQ(Export(*laps, choices),
              ";Tarnwick 1.2.3 exported telemetry data file\r\n"
              ";Track:    Track 2\r\n"
              ";Buffer:   2 buffers\r\n"
              ";Range:    <all>\r\n"
              "\r\n"
              "\"Speed\"\t\"Ride Height Left Front\"\t\"Ride Height Sum\"\r\n"
              "   36.000000\t   70.000000\t  260.000000\r\n"
              "   72.000000\t   71.000000\t  264.000000\r\n"
              "  108.000000\t   72.000000\t  268.000000\r\n"
              "   -9.000000\t   73.000000\t  272.000000\r\n"
              "  144.000000\t   40.000000\t  160.000000\r\n"
              "  180.000000\t   45.000000\t  180.000000\r\n");
}

TEST(Export, DelimitersAndNameStylesWithoutHeader) {
    const auto laps = MakeLaps(false);
    const std::vector<ColumnItem> columns = {Column(DataItem::THROTTLE),
                                             Column(DataItem::RIDEHEIGHT, Wheel::RIGHT_REAR)};
    const std::string written[] = {pellith::GetSystemListSeparator(), ", ", "; ", "\t", " "};
    for (int d = 0; d < pellith::kDelimiterCount; ++d) {
        const std::string& del = written[d];
        const std::string data = "    1.000000" + del + "   60.000000\r\n" +  //
                                 "    0.500000" + del + "   61.000000\r\n" +  //
                                 "    0.000000" + del + "   62.000000\r\n" +  //
                                 "    0.250000" + del + "   63.000000\r\n";
        ExportChoices choices = Choices(columns, d);
        EXPECT_EQ(Export(*laps, choices), "\"throttle\"" + del + "\"rh.rr\"\r\n" + data) << d;
        choices.columnNames = ExportChoices::kLongNames;
        EXPECT_EQ(Export(*laps, choices),
                  "\"Throttle\"" + del + "\"Ride Height Right Rear\"\r\n" + data)
            << d;
        choices.columnNames = ExportChoices::kNoNames;
        EXPECT_EQ(Export(*laps, choices), data) << d;
    }
    EXPECT_EQ(pellith::GetDelimiterName(0), "System default");
    EXPECT_EQ(pellith::GetDelimiterName(3), "Tab");
}

TEST(Export, RangesIncludeExcludeAndRangeOnly) {
    const auto laps = MakeLaps(false);
    using Cells = std::vector<std::string>;
    auto firstCells = [&](std::vector<ColumnItem> columns) {
        ExportChoices choices = Choices(std::move(columns));
        choices.columnNames = ExportChoices::kNoNames;
        return FirstCells(Export(*laps, choices));
    };
    // speed (km/h) per row: 36, 72, 108, -9
    EXPECT_EQ(firstCells({Ranged(DataItem::SPEED, 50, 100)}), Cells({"   72.000000"}));
    // both bounds count as inside
    EXPECT_EQ(firstCells({Ranged(DataItem::SPEED, 36, 72, true)}),
              Cells({"  108.000000", "   -9.000000"}));
    EXPECT_EQ(firstCells({Ranged(DataItem::SPEED, kNoMin, 36)}),
              Cells({"   36.000000", "   -9.000000"}));
    EXPECT_EQ(firstCells({Ranged(DataItem::SPEED, kNoMin, 36, true)}),
              Cells({"   72.000000", "  108.000000"}));
    EXPECT_EQ(firstCells({Ranged(DataItem::SPEED, 72, kNoMax, true)}),
              Cells({"   36.000000", "   -9.000000"}));
    // a range-only column filters without a cell of its own: throttle >= 0.5
    ExportChoices choices =
        Choices({Ranged(DataItem::THROTTLE, 0.5, kNoMax, false, true), Column(DataItem::DISTANCE)});
    EXPECT_EQ(Export(*laps, choices), "\"dist\"\r\n    0.000000\r\n    3.500000\r\n");
    // with all wheels every wheel is tested: lr 52 drops the third row, lf 72 passes
    EXPECT_EQ(firstCells({Ranged(DataItem::RIDEHEIGHT, 52.5, kNoMax)}), Cells({"   53.000000"}));
    // one selector is tested as the selector's value, without a range factor
    ColumnItem sum = Ranged(DataItem::RIDEHEIGHT, 265, kNoMax);
    sum.wheel = Wheel::SUM;
    EXPECT_EQ(firstCells({sum}), Cells({"  268.000000", "  272.000000"}));
}

TEST(Export, BoundsAtOrBeyondTheirSentinelsAreAbsent) {
    const auto laps = MakeLaps(false);
    auto rows = [&](double minimum, double maximum) {
        ExportChoices choices = Choices({Ranged(DataItem::SPEED, minimum, maximum, true)});
        choices.columnNames = ExportChoices::kNoNames;
        return FirstCells(Export(*laps, choices)).size();
    };
    // excluding "no range" drops nothing
    EXPECT_EQ(rows(kNoMin, kNoMax), 4u);
    EXPECT_EQ(rows(-1e300, 1e300), 4u);  // far outside the 32-bit range
    EXPECT_EQ(rows(-2147483648.5, 2147483647.5), 4u);
    // just inside the sentinels the bounds are real: everything lies between them
    EXPECT_EQ(rows(-2147483647.0, 2147483646.0), 0u);
    ColumnItem c;
    c.minimum = -2147483647.5;
    EXPECT_TRUE(c.HasMinimum());
    EXPECT_FALSE(c.HasMaximum());
}

TEST(Export, DistanceRangeSelectsRows) {
    const auto laps = MakeLaps(true);
    ExportChoices choices = Choices({Column(DataItem::DISTANCE)});
    choices.header = true;
    choices.columnNames = ExportChoices::kNoNames;
    choices.selectedOnly = true;
    choices.distanceFrom = 100.0;
    choices.distanceTo = 200.0;
    EXPECT_EQ(Export(*laps, choices),
              ";Tarnwick 1.2.3 exported telemetry data file\r\n"
              ";Track:    Track 2\r\n"
              ";Info:     Hand lap\r\n"
              ";Buffer:   'lap1.raf'\r\n"
              ";Lap time: 1:23.456\r\n"
              ";Range:    100m - 200m\r\n"
              ";#Samples: 2\r\n"
              "\r\n"
              "  150.000000\r\n"
              "  250.000000\r\n");

    const morlund::PerfCore& lap = *laps->GetBuffer(0);
    auto range = [&](double from, double to) {
        const pellith::RowRange r = pellith::SelectRows(lap, true, from, to);
        return std::make_pair(r.first, r.last);
    };
    EXPECT_EQ(range(0.0, 1e6), std::make_pair(0, 3));  // beyond the lap: to the last sample
    EXPECT_EQ(range(3.5, 3.5), std::make_pair(1, 1));
    EXPECT_EQ(range(1.0, 150.0), std::make_pair(1, 2));
    EXPECT_TRUE(pellith::SelectRows(lap, true, 300.0, 400.0).IsEmpty());  // never reached
    EXPECT_EQ(pellith::SelectRows(lap, false, 300.0, 400.0).GetCount(), 4);

    // a lap that never reaches the range start adds no rows, not the whole lap
    choices.buffer = ExportChoices::kAllBuffers;
    choices.header = false;
    choices.distanceFrom = 120.0;
    choices.distanceTo = 130.0;
    EXPECT_EQ(Export(*laps, choices), "  150.000000\r\n");
    choices.buffer = 1;
    choices.header = true;
    const std::string text = Export(*laps, choices);
    EXPECT_NE(text.find(";#Samples: 0\r\n\r\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 4), "\r\n\r\n");
}

TEST(Export, LargeExportMatchesPrintfLineForLine) {
    // Enough rows to pass the output buffer several times, with lines dropped by a range.
    std::string csv = "Long lap,day 3 12:00:00,100,2,1\ndist,speed,rh_lr,rh_rr,rh_lf,rh_rf\n";
    char line[200];
    for (int i = 0; i < 30000; ++i) {
        std::snprintf(line, sizeof line, "%d.25,%d.5,0.0%d,0.%d,-%d.125,1e%d\n", i, i % 97, i % 10,
                      i, i % 13, i % 12);
        csv += line;
    }
    morlund::GenBufManager laps;
    ASSERT_TRUE(pellithtest::AddLap(laps, csv, "/laps/long.csv"));
    ExportChoices choices =
        Choices({Column(DataItem::DISTANCE), Ranged(DataItem::SPEED, kNoMin, 180.0, false, true),
                 Column(DataItem::RIDEHEIGHT)},
                2);
    const std::string text = Export(laps, choices);

    const morlund::PerfCore& lap = *laps.GetBuffer(0);
    std::string expected = "\"dist\"; \"rh.lr\"; \"rh.rr\"; \"rh.lf\"; \"rh.rf\"\r\n";
    int kept = 0;
    for (int i = 0; i < lap.GetSampleCount(); ++i) {
        if (lap.GetSpeed(i) * 3.6 > 180.0) continue;
        std::snprintf(line, sizeof line, "%12.6f", lap.GetDistance(i));
        expected += line;
        for (int w = 0; w < 4; ++w) {
            std::snprintf(line, sizeof line, "; %12.6f", lap.GetRideHeight(i, w) * 1000.0);
            expected += line;
        }
        expected += "\r\n";
        ++kept;
    }
    EXPECT_GT(expected.size(), 1u << 20);
    EXPECT_LT(kept, 30000);
    EXPECT_EQ(text.size(), expected.size());
    EXPECT_TRUE(text == expected);
}

TEST(ExportFile, WritesTheFileAndTellsWhere) {
    const auto laps = MakeLaps(false);
    pellithtest::ScratchDir dir;
    const auto path = dir / "lap1.csv";
    ExportChoices choices = Choices({Column(DataItem::SPEED)});
    const pellith::ExportResult result = pellith::ExportToFile(*laps, choices, path);
    EXPECT_TRUE(result.IsOk());
    EXPECT_EQ(result.message, "Exported to '" + path.string() + "'");
    EXPECT_EQ(result.icon, morlund::MessageIcon::Information);
    EXPECT_EQ(result.rows, 4);
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text, Export(*laps, choices));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    EXPECT_EQ(pellith::ExportToFile(*laps, Choices({}), path).message,
              "Please select one or more columns to export");
    const pellith::ExportResult noFolder =
        pellith::ExportToFile(*laps, choices, dir / "missing" / "x.csv");
    EXPECT_EQ(noFolder.status, pellith::ExportResult::kOpenError);
    EXPECT_EQ(noFolder.message, "Error opening file");
    EXPECT_EQ(noFolder.icon, morlund::MessageIcon::Error);
    choices.buffer = 5;
    EXPECT_EQ(pellith::ExportToFile(*laps, choices, path).status, pellith::ExportResult::kNoBuffer);
}

TEST(ExportFile, AFailedWriteLeavesTheOldFileAndReportsTheError) {
    std::string csv = "Long lap,x,100,2,1\ndist,rh_lr,rh_rr,rh_lf,rh_rf\n";
    for (int i = 0; i < 5000; ++i)
        csv += std::to_string(i) + ",0.05,0.06,0.07,0.08\n";
    morlund::GenBufManager laps;
    ASSERT_TRUE(pellithtest::AddLap(laps, csv, "/laps/long.csv"));
    pellithtest::ScratchDir dir;
    const auto path = dir / "old.csv";
    std::ofstream(path, std::ios::binary) << "previous export\n";

    // The sink's refusal stops the export.
    class Refusing : public pellith::ExportSink {
    public:
        bool Write(const char*, std::size_t) override { return false; }
    } refusing;
    EXPECT_FALSE(pellith::WriteExport(laps, Choices({Column(DataItem::DISTANCE)}), refusing));

#if defined(_WIN32)
    GTEST_SKIP() << "needs a limit on file sizes, which only POSIX systems set per process";
#else
    // The file system refuses files above 64 KiB; the export needs about 350 KB.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const pellith::ExportResult result = pellith::ExportToFile(
        laps, Choices({Column(DataItem::DISTANCE), Column(DataItem::RIDEHEIGHT)}), path);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(result.status, pellith::ExportResult::kWriteError);
    EXPECT_EQ(result.message, "Error writing file");
    EXPECT_EQ(result.icon, morlund::MessageIcon::Error);
    std::ifstream in(path);
    std::string kept;
    std::getline(in, kept);
    EXPECT_EQ(kept, "previous export");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
#endif
}

TEST(ExportFile, AnyStepSizeWritesTheSameBytesAndCancelKeepsTheOldFile) {
    const auto laps = MakeLaps(true);  // 4 + 2 samples
    pellithtest::ScratchDir dir;
    ExportChoices choices =
        Choices({Column(DataItem::DISTANCE), Ranged(DataItem::SPEED, 50, kNoMax),
                 Column(DataItem::RIDEHEIGHT)});
    choices.buffer = ExportChoices::kAllBuffers;
    choices.header = true;
    const std::string whole = Export(*laps, choices);
    // Pieces that end inside a buffer, at its end, and beyond it.
    for (const std::int64_t step : {1, 2, 3, 4, 1000}) {
        pellith::ExportFileJob job(*laps, choices, dir / "x.csv");
        int more = 0;
        while (job.Step(step))
            ++more;
        EXPECT_EQ(more, (6 + step - 1) / step - 1) << step;
        EXPECT_TRUE(job.GetResult().IsOk()) << step;
        EXPECT_EQ(job.GetResult().rows, 4);  // speed of 50 km/h or more
        EXPECT_EQ(testsupport::ReadText(dir / "x.csv"), whole) << step;
    }

    std::ofstream(dir / "old.csv", std::ios::binary) << "previous export\n";
    {
        pellith::ExportFileJob job(*laps, choices, dir / "old.csv");
        ASSERT_TRUE(job.Step(2));
        EXPECT_DOUBLE_EQ(job.GetProgress(), 2.0 / 6.0);
        job.Cancel();
        EXPECT_EQ(job.GetResult().status, pellith::ExportResult::kCancelled);
        EXPECT_TRUE(job.GetResult().message.empty());
        EXPECT_FALSE(job.Step(2));
    }
    {
        pellith::ExportFileJob job(*laps, choices, dir / "old.csv");
        EXPECT_TRUE(job.Step(1));  // dropped unfinished: the same as a cancel
    }
    EXPECT_EQ(testsupport::ReadText(dir / "old.csv"), "previous export\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(ExportChoices, FileNamesColumnsAndTheRememberedSwitch) {
    EXPECT_EQ(pellith::ProposeExportFileName("lap1.raf"), "lap1.csv");
    EXPECT_EQ(pellith::ProposeExportFileName("monza"), "monza.csv");
    EXPECT_EQ(pellith::ProposeExportFileName("my.best.lap"), "my.csv");
    EXPECT_EQ(pellith::ProposeExportFileName("up/x"), "up_x.csv");
    EXPECT_EQ(pellith::ProposeExportFileName("a/b:c\\d"), "a_b_c_d.csv");

    const ColumnItem car = ColumnItem::Make(DataItem::SPEED, Wheel::LEFT_FRONT);
    EXPECT_EQ(car.wheel, Wheel::ALL);
    EXPECT_EQ(car.GetListText(), "Speed");
    EXPECT_EQ(ColumnItem::Make(DataItem::RIDEHEIGHT, Wheel::LEFT_FRONT).GetListText(),
              "Ride Height (Left Front)");
    EXPECT_EQ(ColumnItem::Make(DataItem::RIDEHEIGHT, Wheel::ALL).GetCellCount(), 4);

    const std::vector<ColumnItem> all = pellith::MakeAllColumns();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.front().item, DataItem::Get(0));
    for (const ColumnItem& c : all) {
        EXPECT_LE(c.item->GetLevel(), DataItem::LEVEL_CUSTOM);
        EXPECT_EQ(c.wheel, Wheel::ALL);
    }

    EXPECT_TRUE(pellith::RememberSelectedOnly(true, 0.0, 1500.0));
    EXPECT_FALSE(pellith::RememberSelectedOnly(true, 0.0, -1.0));
    EXPECT_FALSE(pellith::RememberSelectedOnly(false, 0.0, 1500.0));
}
