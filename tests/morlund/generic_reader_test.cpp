#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "lapgen/CsvWriter.h"
#include "morlund/formats/generic/GenBufManager.h"
#include "morlund/formats/generic/GenPerf.h"
#include "morlund/platform/File.h"
#include "morlund/platform/RecordingMessageSink.h"

using namespace morlund;

namespace {

// Expected values come from lapgen's model (written with exact round-trip
// digits) or from hand-written files, never from the reader.
const char* const kCorrupt = "Error reading file: the data seems to be corrupt";

const lapgen::Lap& SmallLap() {
    static const lapgen::Lap lap = [] {
        lapgen::LapSpec spec;
        spec.sampleCount = 400;
        spec.trackLength = 3000;
        spec.track = 5;
        spec.lapNumber = 9;
        spec.name = "Hill";
        return lapgen::MakeLap(spec);
    }();
    return lap;
}

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

bool Load(GenBufManager& manager, const std::vector<std::uint8_t>& bytes,
          const std::string& path = "/laps/lap.csv") {
    File file = File::FromMemory(bytes, path);
    return manager.AddBuffer(file);
}

const GenPerf& Buffer(const GenBufManager& manager, int i) {
    return dynamic_cast<const GenPerf&>(*manager.GetBuffer(i));
}

// Trapezoid integral of the model's speed over its time.
std::vector<double> IntegratedDistance(const lapgen::Lap& lap) {
    std::vector<double> d(lap.samples.size(), 0.0);
    for (std::size_t i = 1; i < d.size(); ++i) {
        const auto& a = lap.samples[i - 1];
        const auto& b = lap.samples[i];
        d[i] = d[i - 1] + 0.5 * (a.speed + b.speed) * (b.time - a.time);
    }
    return d;
}

}  // namespace

TEST(GenericReader, ServesEveryColumnAndTheLapInformation) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    const lapgen::Lap& lap = SmallLap();
    lapgen::CsvOptions options;
    options.date = "07/12/2026";
    GenBufManager manager;
    ASSERT_TRUE(Load(manager, lapgen::WriteGenericCsv(lap, options), "/laps/hill.csv"));
    EXPECT_TRUE(sink.Messages().empty());
    const GenPerf& p = Buffer(manager, 0);
    EXPECT_EQ(p.InfoGetName(), "hill.csv");
    EXPECT_EQ(p.InfoGetInfo(), "Hill");
    EXPECT_EQ(p.InfoGetDateString(), "07/12/2026");
    EXPECT_EQ(p.InfoGetLapTime(), lap.lapTime);
    EXPECT_EQ(p.InfoGetLapnr(), 9);
    EXPECT_EQ(manager.GetTrack(), 5);
    EXPECT_EQ(manager.GetTrackString(-1), "Track 5");
    EXPECT_EQ(p.GetColumnFlags(), 0x0FFFFFFFu);
    EXPECT_TRUE(p.IsEnabled());
    EXPECT_FALSE(p.IsUseLatAccForAngleAndPos());
    ASSERT_EQ(p.GetSampleCount(), static_cast<int>(lap.samples.size()));
    for (int i = 0; i < p.GetSampleCount(); ++i) {
        const lapgen::Sample& s = lap.samples[static_cast<std::size_t>(i)];
        ASSERT_EQ(p.GetTime(i), s.time) << i;
        ASSERT_EQ(p.GetDistance(i), s.distance) << i;
        ASSERT_EQ(p.GetSpeed(i), s.speed) << i;
        ASSERT_EQ(p.GetLongitudalAcc(i), s.longAcc) << i;
        ASSERT_EQ(p.GetLateralAcc(i), s.latAcc) << i;
        ASSERT_EQ(p.GetRevs(i), s.revs) << i;
        ASSERT_NEAR(p.GetThrottle(i), s.throttle, 1e-12) << i;
        ASSERT_NEAR(p.GetBrake(i), s.brake, 1e-12) << i;
        ASSERT_EQ(p.GetSteering(i), s.steering) << i;
        ASSERT_EQ(p.GetGear(i), s.gear) << i;
        ASSERT_EQ(p.GetPosX(i), s.x) << i;
        ASSERT_EQ(p.GetPosY(i), s.y) << i;
        for (int w = 0; w < 4; ++w) {
            ASSERT_EQ(p.GetRideHeight(i, w), s.rideHeight[w]);
            ASSERT_EQ(p.GetSuspTravel(i, w), s.suspTravel[w]);
            ASSERT_EQ(p.GetWheelSpeed(i, w), s.wheelSpeed[w]);
            ASSERT_EQ(p.GetCamber(i, w), s.camber[w]);
        }
    }
}

TEST(GenericReader, AcceptsCapitalNamesEveryLineEndBlankLinesAndAnUnendedLastLine) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    const lapgen::Lap& lap = SmallLap();
    for (const char* lineEnd : {"\n", "\r\n", "\r"}) {
        for (bool finalLineEnd : {true, false}) {
            lapgen::CsvOptions options;
            options.upperCaseNames = true;
            options.columns = {0, 1, 2, 9};
            options.lineEnd = lineEnd;
            options.finalLineEnd = finalLineEnd;
            options.blankLineEvery = 7;
            GenBufManager manager;
            ASSERT_TRUE(Load(manager, lapgen::WriteGenericCsv(lap, options)));
            const GenPerf& p = Buffer(manager, 0);
            ASSERT_EQ(p.GetSampleCount(), static_cast<int>(lap.samples.size()));
            const int last = p.GetSampleCount() - 1;
            EXPECT_EQ(p.GetDistance(last), lap.samples.back().distance);
            EXPECT_EQ(p.GetGear(last), lap.samples.back().gear);
            EXPECT_EQ(p.GetSpeed(100), lap.samples[100].speed);
        }
    }
    EXPECT_TRUE(sink.Messages().empty());
}

TEST(GenericReader, DistanceWithoutItsColumnIsTheIntegralOfSpeed) {
    const lapgen::Lap& lap = SmallLap();
    const std::vector<double> expected = IntegratedDistance(lap);
    // With a time column, and with the lap time of line 1 spread evenly (lapgen's
    // samples are evenly spaced, so both give the same integral).
    for (const std::vector<int>& columns : {std::vector<int>{0, 2}, std::vector<int>{2}}) {
        lapgen::CsvOptions options;
        options.columns = columns;
        GenBufManager manager;
        ASSERT_TRUE(Load(manager, lapgen::WriteGenericCsv(lap, options)));
        const GenPerf& p = Buffer(manager, 0);
        for (int i = 0; i < p.GetSampleCount(); ++i) {
            ASSERT_NEAR(p.GetDistance(i), expected[static_cast<std::size_t>(i)], 1e-6) << i;
            if (i > 0) {
                ASSERT_GE(p.GetDistance(i), p.GetDistance(i - 1)) << "falls while braking";
            }
        }
        // The integral follows the lap: it ends near the model's own distance.
        EXPECT_NEAR(p.GetMaxDistance(), lap.samples.back().distance, lap.trackLength * 0.01);
    }
    // Without speed (or without any time information) the sample index stands in.
    GenBufManager manager;
    ASSERT_TRUE(Load(manager, Bytes("lap\nrevs\n1\n2\n3\n")));
    EXPECT_EQ(Buffer(manager, 0).GetDistance(2), 2.0);
    ASSERT_TRUE(Load(manager, Bytes("lap\nspeed\n10\n20\n30\n")));
    EXPECT_EQ(Buffer(manager, 1).GetDistance(2), 2.0);
}

TEST(GenericReader, MissingChannelsFallBackToDerivedValues) {
    const lapgen::Lap& lap = SmallLap();
    lapgen::CsvOptions options;
    options.columns = {0, 1, 2, 4};  // no acc_long, no positions
    GenBufManager manager;
    ASSERT_TRUE(Load(manager, lapgen::WriteGenericCsv(lap, options)));
    const GenPerf& p = Buffer(manager, 0);
    EXPECT_TRUE(p.IsUseLatAccForAngleAndPos());
    double travelled = 0.0;
    for (int i = 0; i < p.GetSampleCount(); ++i) {
        ASSERT_EQ(p.GetLongitudalAcc(i), p.GetCalculatedAcc(i));
        ASSERT_EQ(p.GetLateralAcc(i), lap.samples[static_cast<std::size_t>(i)].latAcc);
        if (i > 0)
            travelled +=
                std::hypot(p.GetPosX(i) - p.GetPosX(i - 1), p.GetPosY(i) - p.GetPosY(i - 1));
    }
    // Positions built from lateral acceleration trace a path of about the lap's length.
    EXPECT_NEAR(travelled, lap.samples.back().distance, lap.trackLength * 0.05);

    // One position column is enough to stop building positions; the other is derived.
    options.columns = {0, 1, 2, 4, 26};
    ASSERT_TRUE(Load(manager, lapgen::WriteGenericCsv(lap, options)));
    const GenPerf& q = Buffer(manager, 1);
    EXPECT_FALSE(q.IsUseLatAccForAngleAndPos());
    EXPECT_EQ(q.GetPosX(50), lap.samples[50].x);
}

TEST(GenericReader, ValuesAreReadLikeAtofAndUnusableNumbersAreZero) {
    GenBufManager manager;
    // Short lines leave columns 0, surplus values are ignored, gears are rounded,
    // throttle and brake are percentages.
    ASSERT_TRUE(Load(manager, Bytes("lap\nspeed,gear,throttle,brake\n"
                                    " 12.5 ,2.6,100,50,999,999\n"
                                    "+7,-0.6\n"
                                    "1e2x,3.4999,abc,\n"
                                    "nan,inf,1e999,-1e999\n"
                                    "-+1,++2,0x10,5e-400")));
    const GenPerf& p = Buffer(manager, 0);
    ASSERT_EQ(p.GetSampleCount(), 5);
    EXPECT_EQ(p.GetSpeed(0), 12.5);
    EXPECT_EQ(p.GetGear(0), 3);
    EXPECT_EQ(p.GetThrottle(0), 1.0);
    EXPECT_EQ(p.GetBrake(0), 0.5);
    EXPECT_EQ(p.GetSpeed(1), 7.0);
    EXPECT_EQ(p.GetGear(1), -1);
    EXPECT_EQ(p.GetThrottle(1), 0.0);
    EXPECT_EQ(p.GetSpeed(2), 100.0);
    EXPECT_EQ(p.GetGear(2), 3);
    EXPECT_EQ(p.GetThrottle(2), 0.0);
    for (int i = 3; i < 5; ++i) {
        EXPECT_EQ(p.GetSpeed(i), 0.0) << i;
        EXPECT_EQ(p.GetGear(i), 0) << i;
        EXPECT_EQ(p.GetBrake(i), 0.0) << i;
    }
    EXPECT_EQ(p.GetThrottle(3), 0.0);
    EXPECT_EQ(p.GetThrottle(4), 0.0);  // hexadecimal is not a number here
    // Columns the file does not name read 0.
    EXPECT_EQ(p.GetRevs(0), 0.0);
    EXPECT_EQ(p.GetWheelSpeed(0, 3), 0.0);
}

TEST(GenericReader, LapInformationFieldsQuotingAndDefaults) {
    struct Case {
        std::string line;
        std::string info, date;
        double lapTime;
        int track, lapNumber;
    };
    const Case cases[] = {
        {"\"Monza, 1971\",\"3 Sep, 14:00\",81.25,4,12", "Monza, 1971", "3 Sep, 14:00", 81.25, 4,
         12},
        // a doubled quote toggles quoting twice: no quote character, quoting goes on
        {"\"a\"\"b,c\",d", "ab,c", "d", 0, -1, 0},
        // reading stops at the first empty field
        {"Lap,,12.5,2,7", "Lap", "", 0, -1, 0},
        {"Lap,date,12.5,,7", "Lap", "date", 12.5, -1, 0},
        {"Lap", "Lap", "", 0, -1, 0},
        {"", "", "", 0, -1, 0},
        {"L,D, 3.5s,3.9,x", "L", "D", 3.5, 3, 0},
        {"L,D,1,99999999999999,-99999999999", "L", "D", 1, 2147483647, -2147483647 - 1},
        {"L,D,1,-5,1", "L", "D", 1, -1, 1},
        {"\xEF\xBB\xBFL\xE9,D\xC3\xA9", "L\xC3\xA9", "D\xC3\xA9", 0, -1, 0},
    };
    for (const Case& c : cases) {
        GenBufManager manager;
        ASSERT_TRUE(Load(manager, Bytes(c.line + "\nspeed\n1\n"))) << c.line;
        const GenPerf& p = Buffer(manager, 0);
        EXPECT_EQ(p.InfoGetInfo(), c.info) << c.line;
        EXPECT_EQ(p.InfoGetDateString(), c.date) << c.line;
        EXPECT_EQ(p.InfoGetLapTime(), c.lapTime) << c.line;
        EXPECT_EQ(manager.GetTrack(), c.track) << c.line;
        EXPECT_EQ(p.InfoGetLapnr(), c.lapNumber) << c.line;
    }
}

TEST(GenericReader, BadFilesFailWithTheCorruptMessageAndLeaveTheManagerAlone) {
    const lapgen::Lap& lap = SmallLap();
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> bad;
    lapgen::CsvOptions options;
    options.extraNames = {"rpm"};
    bad.emplace_back("unknown name", lapgen::WriteGenericCsv(lap, options));
    options.extraNames = {"time"};  // 29 names
    bad.emplace_back("too many names", lapgen::WriteGenericCsv(lap, options));
    options = {};
    options.sampleLimit = 0;
    bad.emplace_back("no samples", lapgen::WriteGenericCsv(lap, options));
    bad.emplace_back("blank samples only", Bytes("lap\nspeed\n\n  \r\n\t\n"));
    bad.emplace_back("empty file", Bytes(""));
    bad.emplace_back("info line only", Bytes("lap,date,1,2,3"));
    bad.emplace_back("empty name line", Bytes("lap\n\n1\n"));
    bad.emplace_back("trailing comma in names", Bytes("lap\nspeed,\n1\n"));
    bad.emplace_back("binary", Bytes(std::string("\x00\x01\xff\n\x7f,\x00", 7)));

    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    GenBufManager manager;
    ASSERT_TRUE(Load(manager, lapgen::WriteGenericCsv(lap)));
    for (const auto& [what, bytes] : bad) {
        sink.Clear();
        EXPECT_FALSE(Load(manager, bytes, "/laps/bad.csv")) << what;
        EXPECT_EQ(sink.Texts(), std::vector<std::string>{kCorrupt}) << what;
        EXPECT_EQ(manager.GetBufCount(), 1) << what;
        EXPECT_EQ(manager.GetTrack(), 5) << what;
        EXPECT_EQ(Buffer(manager, 0).InfoGetName(), "lap.csv") << what;
    }
}

TEST(GenericReader, LinesHaveNoLengthLimit) {
    // 28 names padded with blanks, and a sample line with a million surplus values.
    std::string names;
    for (const auto name : GenPerf::kColumnNames)
        names += std::string(40, ' ') + std::string(name) + ",";
    names.pop_back();
    std::string line = "1,2,3";
    for (int i = 0; i < 1000000; ++i)
        line += ",7";
    GenBufManager manager;
    ASSERT_TRUE(
        Load(manager, Bytes(std::string(100000, 'x') + "\n" + names + "\n" + line + "\n" + line)));
    const GenPerf& p = Buffer(manager, 0);
    EXPECT_EQ(p.InfoGetInfo().size(), 100000u);
    EXPECT_EQ(p.GetSampleCount(), 2);
    EXPECT_EQ(p.GetSpeed(1), 3.0);
    EXPECT_EQ(p.GetPosY(1), 7.0);

    // A long first sample line makes the reader expect few samples; many short
    // ones after it must all arrive.
    std::string file = "lap\nspeed,gear\n" + line + "\n";
    for (int i = 0; i < 100000; ++i)
        file += std::to_string(i % 7) + "\n";
    ASSERT_TRUE(Load(manager, Bytes(file)));
    const GenPerf& q = Buffer(manager, 1);
    ASSERT_EQ(q.GetSampleCount(), 100001);
    EXPECT_EQ(q.GetSpeed(0), 1.0);
    EXPECT_EQ(q.GetGear(0), 2);
    for (int i = 1; i <= 100000; ++i) {
        ASSERT_EQ(q.GetSpeed(i), (i - 1) % 7) << i;
        ASSERT_EQ(q.GetGear(i), 0) << i;
    }
}

TEST(GenericManager, AnswersItsTracksFiltersAndRefusesSetups) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    GenBufManager manager;
    EXPECT_EQ(manager.GetTrackCount(), 1);
    EXPECT_EQ(manager.GetTrack(), -1);
    EXPECT_EQ(manager.GetTrackString(3), "Track 3");
    EXPECT_EQ(manager.GetTrackLen(), 0.0);
    std::string filter = "x|";
    int count = 1;
    EXPECT_EQ(manager.GetPerfFilter(filter, count, 0), 1);
    EXPECT_EQ(filter, "x|Generic Perf Files (*.csv)|*.csv|Text Files (*.txt)|*.txt|");
    EXPECT_EQ(count, 3);
    EXPECT_EQ(manager.GetSetupFilter(filter, count), 1);
    EXPECT_EQ(filter, "");
    EXPECT_EQ(count, 0);

    // The track follows each lap loaded, also back to none.
    ASSERT_TRUE(Load(manager, Bytes("a,b,1,4,1\nspeed\n1\n")));
    EXPECT_EQ(manager.GetTrack(), 4);
    ASSERT_TRUE(Load(manager, Bytes("a,b,1,2,1\nspeed\n1\n")));
    EXPECT_EQ(manager.GetTrack(), 2);
    ASSERT_TRUE(Load(manager, Bytes("a\nspeed\n1\n")));
    EXPECT_EQ(manager.GetTrack(), -1);
    EXPECT_TRUE(sink.Messages().empty());

    PerfCore* p = manager.GetBuffer(0);
    EXPECT_FALSE(p->IsSetupRead());
    File setup = File::FromMemory(Bytes("anything"), "/laps/a.csa");
    EXPECT_FALSE(p->ReadSetup(setup));
    p->SaveSetup();
    EXPECT_EQ(sink.Texts(),
              (std::vector<std::string>(2, "Setups not supported for generic perf type")));
}
