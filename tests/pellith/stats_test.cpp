#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "morlund/formats/BufManager.h"
#include "morlund/formats/gp2/GP2CarSetup.h"
#include "morlund/items/DataItem.h"
#include "morlund/physics/GP2Physics.h"
#include "pellith/stats/LapTimeText.h"
#include "pellith/stats/StatTable.h"
#include "pellith/stats/SummaryStats.h"

namespace {

// A lap over plain vectors; channels left empty read as 0 (gear 1).
class TestPerf : public morlund::PerfCore {
public:
    std::string name = "lap";
    std::string info = "Test lap";
    std::string date = "today";
    int lapNumber = 3;
    double lapTime = 100.0;
    std::vector<double> distance, speed, revs, throttle, brake, steering;
    std::vector<int> gear;
    std::vector<std::string> itemNames, itemValues;

    std::string InfoGetName() const override { return name; }
    std::string InfoGetInfo() const override { return info; }
    std::string InfoGetDateString() const override { return date; }
    int InfoGetLapnr() const override { return lapNumber; }
    double InfoGetLapTime() const override { return lapTime; }
    void InfoGetInfoItemNames(std::vector<std::string>& out) const override { out = itemNames; }
    void InfoGetInfoItemValues(std::vector<std::string>& out) const override { out = itemValues; }
    int GetSampleCount() const override { return static_cast<int>(distance.size()); }
    double GetDistance(int i) const override { return distance[i]; }
    double GetSpeed(int i) const override { return At(speed, i); }
    double GetRevs(int i) const override { return At(revs, i); }
    double GetThrottle(int i) const override { return At(throttle, i); }
    double GetBrake(int i) const override { return At(brake, i); }
    double GetSteering(int i) const override { return At(steering, i); }
    int GetGear(int i) const override { return gear.empty() ? 1 : gear[i]; }
    double GetRideHeight(int, int) const override { return 0; }
    double GetSuspTravel(int, int) const override { return 0; }
    double GetWheelSpeed(int, int) const override { return 0; }
    double GetCamber(int, int) const override { return 0; }

    // n samples one metre apart.
    void SetSamples(int n) {
        distance.clear();
        for (int i = 0; i < n; ++i)
            distance.push_back(i);
    }

protected:
    bool InitData(const std::uint8_t*, std::size_t) override { return true; }
    std::unique_ptr<morlund::CarSetup> CreateSetup() const override {
        return std::make_unique<morlund::GP2CarSetup>();
    }
    std::unique_ptr<morlund::Physics> CreatePhysics() const override {
        return std::make_unique<morlund::GP2Physics>();
    }

private:
    static double At(const std::vector<double>& v, int i) { return v.empty() ? 0.0 : v[i]; }
};

class TestManager : public morlund::BufManager {
public:
    TestPerf& Add() {
        auto perf = std::make_unique<TestPerf>();
        TestPerf& raw = *perf;
        m_buffers.push_back(std::move(perf));
        return raw;
    }
    int GetTrackCount() const override { return 1; }
    int GetTrack() const override { return 0; }
    std::string GetTrackString(int) const override { return "Ravelle Ring"; }
    int GetPerfFilter(std::string&, int&, int) const override { return 0; }
    double GetTrackLen() const override { return 4321.0; }

protected:
    morlund::bmErr_t ReadPerf(morlund::File&) override { return morlund::bmReadError; }
    std::unique_ptr<morlund::PerfCore> CreatePerf() const override { return nullptr; }
    std::unique_ptr<morlund::PerfCore> CreateBuffer(const std::string&) override { return nullptr; }
};

const pellith::StatRow& Row(const pellith::StatTable& table, const std::string& label) {
    for (const pellith::StatRow& row : table.rows) {
        if (row.label == label) return row;
    }
    static const pellith::StatRow none{"<missing>", -1, {}};
    ADD_FAILURE() << "no row " << label;
    return none;
}

}  // namespace

TEST(SummaryStats, RevsPedalsAndCoasting) {
    TestPerf lap;
    lap.SetSamples(2);
    lap.revs = {100.0, 101.0};  // 954.93 and 964.48 rpm
    const pellith::RevsSummary revs = pellith::GetRevsSummary(lap);
    EXPECT_EQ(revs.minimum, 954);
    EXPECT_EQ(revs.maximum, 964);
    EXPECT_EQ(revs.average, 959);

    // 20 samples: 8 full, 7 at 0.999 (99 %, not full), 5 off; two of those braking fully
    lap.SetSamples(20);
    lap.throttle.assign(8, 1.0);
    lap.throttle.insert(lap.throttle.end(), 7, 0.999);
    lap.throttle.insert(lap.throttle.end(), 5, 0.0);
    lap.brake.assign(18, 0.0);
    lap.brake.insert(lap.brake.end(), 2, 1.0);
    const pellith::PedalSummary throttle = pellith::GetThrottleSummary(lap);
    EXPECT_EQ(throttle.full, 40);
    EXPECT_EQ(throttle.none, 25);
    EXPECT_EQ(throttle.average, 75);  // (800 + 693 + 10) / 20
    const pellith::PedalSummary brake = pellith::GetBrakeSummary(lap);
    EXPECT_EQ(brake.full, 10);
    EXPECT_EQ(brake.none, 90);
    EXPECT_EQ(brake.average, 10);
    EXPECT_EQ(pellith::GetCoastingShare(lap), 15);
    EXPECT_EQ(pellith::PedalPercent(0.999), 99);
}

TEST(SummaryStats, SpeedSteeringAndGears) {
    TestPerf lap;
    lap.SetSamples(5);
    lap.speed = {10, 30, 20, 50, 40};
    lap.steering = {0.1, -0.3, 0.2, 0.0, -0.5};
    lap.gear = {1, 2, 2, 3, 2};
    const pellith::SpeedSummary speed = pellith::GetSpeedSummary(lap);
    EXPECT_DOUBLE_EQ(speed.average, 30.0);
    EXPECT_EQ(speed.minimum, 10.0);
    EXPECT_EQ(speed.maximum, 50.0);
    const pellith::SteeringSummary steering = pellith::GetSteeringSummary(lap);
    EXPECT_DOUBLE_EQ(steering.average, -0.1);
    EXPECT_EQ(steering.maximum, 0.2);
    EXPECT_EQ(steering.minimum, -0.5);
    EXPECT_EQ(pellith::GetGearChanges(lap), 3);
    lap.SetSamples(1);
    EXPECT_EQ(pellith::GetGearChanges(lap), 0);
}

TEST(SummaryStats, EmptyLapsGiveZerosAndLargeValuesStayTrue) {
    TestPerf empty;
    const pellith::SpeedSummary speed = pellith::GetSpeedSummary(empty);
    EXPECT_EQ(speed.average, 0.0);
    EXPECT_EQ(speed.minimum, 0.0);
    EXPECT_EQ(speed.maximum, 0.0);
    const pellith::RevsSummary revs = pellith::GetRevsSummary(empty);
    EXPECT_EQ(revs.average + revs.minimum + revs.maximum, 0);
    const pellith::PedalSummary throttle = pellith::GetThrottleSummary(empty);
    EXPECT_EQ(throttle.average + throttle.full + throttle.none, 0);
    EXPECT_EQ(pellith::GetCoastingShare(empty), 0);
    EXPECT_EQ(pellith::GetSteeringSummary(empty).average, 0.0);
    EXPECT_EQ(pellith::GetGearChanges(empty), 0);

    // two samples of 1,909,859,317 rpm: the sum needs more than 32 bits
    TestPerf fast;
    fast.SetSamples(2);
    fast.revs = {2e8, 2e8};
    EXPECT_EQ(pellith::GetRevsSummary(fast).average, 1909859317);
    // revs above 100,000 rpm are their own minimum; undefined values count as 0
    fast.revs = {20000.0, 30000.0};
    EXPECT_EQ(pellith::GetRevsSummary(fast).minimum, 190985);
    fast.revs = {1e300, std::nan("")};
    EXPECT_EQ(pellith::GetRevsSummary(fast).maximum, 2147483647);
    EXPECT_EQ(pellith::GetRevsSummary(fast).minimum, 0);
}

TEST(StatTable, RowsTextsAndUnits) {
    TestManager laps;
    TestPerf& a = laps.Add();
    a.name = "a.raf";
    a.lapTime = 83.456;
    a.SetSamples(1001);
    a.speed.assign(1001, 50.0);
    a.steering.assign(1001, -0.1);
    a.throttle.assign(1001, 0.0);
    std::fill_n(a.throttle.begin(), 401, 1.0);
    a.itemNames = {"Car", "Driver"};
    a.itemValues = {"Tarn 7", "R. Ravelle"};
    TestPerf& b = laps.Add();
    b.name = "b";
    b.lapTime = 3723.4;
    b.lapNumber = -1;
    b.itemValues = {"Other"};  // fewer values than buffer 0 has names
    TestPerf& c = laps.Add();
    c.lapTime = -1.0;
    c.SetSamples(1);

    pellith::LapSummaryCache summaries;
    pellith::StatTable table = pellith::BuildStatTable(laps, "Ravelle Ring", false, summaries);
    EXPECT_EQ(table.headers,
              (std::vector<std::string>{"Ravelle Ring (4.321 km)", "a.raf", "b", "lap"}));
    using Cells = std::vector<std::string>;
    EXPECT_EQ(table.rows.front().label, "INFORMATION");
    EXPECT_EQ(table.rows.front().level, 0);
    EXPECT_EQ(table.rows.front().cells, Cells({"Test lap", "Test lap", "Test lap"}));
    EXPECT_EQ(table.rows[1].label, "Car");
    EXPECT_EQ(table.rows[1].cells, Cells({"Tarn 7", "Other", ""}));
    EXPECT_EQ(Row(table, "Lap Time").cells, Cells({"1:23.456", "62:03.400", "-:--.---"}));
    EXPECT_EQ(Row(table, "Lap Nr").cells, Cells({"3", "?", "3"}));
    EXPECT_EQ(Row(table, "#Samples").cells, Cells({"1001", "0", "1"}));
    EXPECT_EQ(Row(table, "Sample rate (samples/sec)").cells[0], "12.0");
    EXPECT_EQ(Row(table, "Avg Speed (kph)").cells[0], "180.00");
    EXPECT_EQ(Row(table, "Throttling Full/Between/None").cells[0], "40% / 0% / 60%");
    EXPECT_EQ(Row(table, "Avg Steering (deg)").cells,
              Cells({"-5.73 (right)", "0.00 (left)", "0.00 (left)"}));
    EXPECT_EQ(Row(table, "Max Steering Right (deg)").cells[0], "5.73");
    EXPECT_EQ(Row(table, "Driven distance (km)").cells, Cells({"1.000", "0.000", "0.000"}));
    EXPECT_EQ(Row(table, "STATISTICS").level, 0);
    EXPECT_EQ(table.rows.back().label, "Driven distance (km)");

    a.lapTime = 100.0;
    a.throttle.assign(1001, 0.5);
    std::fill_n(a.throttle.begin(), 400, 1.0);
    std::fill_n(a.throttle.end() - 250, 250, 0.0);
    b.lapTime = 0.0;
    // Only the lap whose values changed is summarised again; the lap information is
    // read afresh every time.
    EXPECT_EQ(summaries.Computed(), 3);
    summaries.Drop(&a);
    table = pellith::BuildStatTable(laps, "Ravelle Ring", true, summaries);
    EXPECT_EQ(summaries.Computed(), 4);
    EXPECT_EQ(table.headers[0], "Ravelle Ring (2.686 miles)");
    EXPECT_EQ(Row(table, "Avg Speed (mph)").cells[0], "111.87");
    EXPECT_EQ(Row(table, "Sample rate (samples/sec)").cells, Cells({"10.0", "0.0", "0.0"}));
    EXPECT_EQ(Row(table, "Throttling Full/Between/None").cells[0], "40% / 35% / 25%");
    EXPECT_EQ(Row(table, "Driven distance (miles)").cells[0], "0.622");

    const std::string text = pellith::FormatStatTable(table);
    EXPECT_EQ(text.substr(0, text.find('\n')),
              "Ravelle Ring (2.686 miles)      a.raf            b               lap");
    EXPECT_NE(
        text.find("\nINFORMATION                     Test lap         Test lap        Test lap\n"
                  "  Car                           Tarn 7           Other\n"),
        std::string::npos);
    EXPECT_NE(
        text.find("\n  Max Steering Right (deg)      5.73             0.00            0.00\n"),
        std::string::npos);

    TestManager none;
    table = pellith::BuildStatTable(none, "Nowhere", false, summaries);
    EXPECT_EQ(table.headers, Cells({"Nowhere"}));
    EXPECT_EQ(table.rows[1].label, "Lap Time");
}

TEST(StatTable, TrackNameAndLapTimes) {
    TestManager laps;
    EXPECT_EQ(pellith::GetStatTrackName(laps), "Ravelle Ring");
    EXPECT_EQ(pellith::GetStatTrackName(laps, "Monte Carlo"), "Monte Carlo");
    EXPECT_EQ(pellith::GetStatTrackName(laps, "<No Track loaded>"), "Ravelle Ring");
    EXPECT_EQ(pellith::GetStatTrackName(laps, "<no trac"), "<no trac");
    EXPECT_EQ(pellith::LapTimeText(0.0), "0:00.000");
    EXPECT_EQ(pellith::LapTimeText(268435.455), "4473:55.455");  // 2^28 - 1 ms
    EXPECT_EQ(pellith::LapTimeText(268435.456), "-:--.---");
    EXPECT_EQ(pellith::LapTimeText(1e300), "-:--.---");
    EXPECT_EQ(pellith::LapTimeText(std::nan("")), "-:--.---");
    EXPECT_EQ(pellith::LapTimeText(-0.0004), "0:00.000");  // truncated towards zero
}
