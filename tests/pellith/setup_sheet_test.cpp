#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "morlund/setup/CarSetup.h"
#include "morlund/physics/GP2Physics.h"
#include "pellith/setup/SetupSheet.h"

namespace {

// Three gears and per-wheel values chosen so that each wheel meets its
// packers or its plank at a different speed.
class HandSetup : public morlund::CarSetup {
public:
    std::array<double, 3> gears{0.5, 7 / 64.0, 0.0};
    std::array<double, 4> rideHeight{0.05, 0.05, 0.03, 0.02};
    std::array<double, 4> packers{0.0625, 0.08, 0.0, 0.0};
    std::array<double, 4> travel{0.08, 0.08, 0.04, 0.04};

    void Assign(const CarSetup&) override {}
    bool Serialize(morlund::File&, bool) override { return false; }
    bool IsValid(bool) const override { return true; }
    bool IsFromFile() const override { return true; }
    int GetTrack() const override { return 0; }
    void SetTrack(int) override {}
    double GetFrontWing() const override { return 10.5; }
    double GetRearWing() const override { return 1; }
    double GetGearRatio(int g) const override { return g >= 1 && g <= 3 ? gears[g - 1] : 0.0; }
    void SetGearRatio(int, double) override {}
    double GetDiffRatio() const override { return 0.5; }
    double GetBrakeBalance() const override { return 0.6; }
    double GetStaticRideHeight(int w) const override { return rideHeight.at(w); }
    double GetPackers(int w) const override { return packers.at(w); }
    double GetSlowBump(int w) const override { return 0.125 * w; }
    double GetSlowRebound(int) const override { return 0.25; }
    double GetFastBump(int) const override { return 0.5; }
    double GetFastRebound(int) const override { return 1; }
    double GetSpringRate(int) const override { return 1e5; }
    double GetFrontAntiRollBar() const override { return 12500; }
    double GetRearAntiRollBar() const override { return 1500; }
    double GetStaticCamber(int) const override { return 0; }
    double GetWheelSetupB(int) const override { return 0; }
    int GetDiffSetting(int, int) const override { return 0; }
    void SetDiffSetting(int, int, int) override {}
    int GetGearCount() const override { return 3; }
    double GetMaxSuspTravel(int w) const override { return travel.at(w); }
    const std::uint8_t* GetData(int* size) const override {
        *size = 0;
        return nullptr;
    }
};

// A car simple enough to work by hand:
//  - drag a·v³ = P/m with a = 1e-3, P/m = 1000 gives 100 m/s, 360 km/h;
//  - 0.125 m per output radian (radius 0.25 × final drive 0.5): the best top
//    gear is 100 / (0.125 × 1000) = 0.8, 51 : 64; gear speeds 1200 × 0.125 × ratio;
//  - downforce only from the chassis, 1 N/(m/s)² per rear wheel's axle share and
//    2 at the front, on 100 N/mm springs with lever 1: a wheel sinks
//    v² × α / 2e5 metres.
class HandPhysics : public morlund::GP2Physics {
public:
    double GetMass() const override { return 1000; }
    double GetBrakeHorsePower() const override { return 1e6; }
    double GetRollingResistanceDragFactor() const override { return 0; }
    double GetAeroResistanceDragOffset() const override { return 1e-3; }
    double GetFrontAeroResistanceDragFactor() const override { return 0; }
    double GetRearAeroResistanceDragFactor() const override { return 0; }
    double GetRearWheelRadius() const override { return 0.25; }
    double GetRevsAtMaxPower() const override { return 1000; }
    double GetMaxRevs() const override { return 1200; }
    double GetFrontSuspensionGeometryFactor() const override { return 1; }
    double GetRearSuspensionGeometryFactor() const override { return 1; }
    double GetFrontChassisDownforceFactor() const override { return 2; }
    double GetRearChassisDownforceFactor() const override { return 1; }
    double GetFrontGroundEffectDownforceFactor() const override { return 0; }
    double GetRearGroundEffectDownforceFactor() const override { return 0; }
    double GetFrontGroundEffectDeltaDownforceFactor() const override { return 0; }
    double GetFrontAxleFrontWingDownforceFactor() const override { return 0; }
    double GetFrontAxleRearWingDownforceFactor() const override { return 0; }
    double GetRearAxleFrontWingDownforceFactor() const override { return 0; }
    double GetRearAxleRearWingDownforceFactor() const override { return 0; }
    double GetPlankHeight() const override { return 0.01; }
};

}  // namespace

TEST(SetupSheet, ValuesAndPredictionsOfAHandWorkedCar) {
    const pellith::SetupSheet sheet = pellith::BuildSetupSheet(HandSetup(), HandPhysics(), "Monza");
    // Packers: LR has 17.5 mm to go, reached when v² / 2e5 >= 0.0175, at 60 m/s;
    // RR sits on them already (1 m/s, the first speed tried); the fronts never
    // reach theirs, nor do the rears reach the plank (120 m/s stands for never).
    // Plank at 10 mm: LF sinks 20 mm at v² = 2000, 45 m/s; RF 10 mm at 32 m/s.
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"setup track", "Monza"},
        {"front wing", "10.5"},
        {"rear wing", "1"},
        {"brake balance", "60.000% front"},
        {"gear 1", "32 : 64 (0.5000)"},
        {"gear 2", " 7 : 64 (0.1094)"},
        {"gear 3", "off (0.0000)"},
        {"final drive", "0.500000"},
        {"front anti-roll bar (N/mm)", "12.5"},
        {"rear anti-roll bar (N/mm)", "1.5"},
        {"ride height (mm)", "LR 50.0  RR 50.0  LF 30.0  RF 20.0"},
        {"packers (mm)", "LR 62.5  RR 80.0  LF 0.0  RF 0.0"},
        {"max travel (mm)", "LR 80.0  RR 80.0  LF 40.0  RF 40.0"},
        {"spring (N/mm)", "LR 100.0  RR 100.0  LF 100.0  RF 100.0"},
        {"slow bump", "LR 0.000  RR 0.125  LF 0.250  RF 0.375"},
        {"slow rebound", "LR 0.250  RR 0.250  LF 0.250  RF 0.250"},
        {"fast bump", "LR 0.500  RR 0.500  LF 0.500  RF 0.500"},
        {"fast rebound", "LR 1.000  RR 1.000  LF 1.000  RF 1.000"},
        {"predicted max speed", "360.0 km/h"},
        {"best top gear", "51 : 64"},
        {"max speed in gear 1", "270 km/h"},
        {"max speed in gear 2", "59 km/h"},
        {"max speed in gear 3", "\u2014"},
        {"speed to hit packers (km/h)", "LR 216.0  RR 3.6  LF 432.0  RF 432.0"},
        {"speed to hit plank (km/h)", "LR 432.0  RR 432.0  LF 162.0  RF 115.2"},
    };
    std::vector<pellith::SetupSheetRow> rows = sheet.setup;
    rows.insert(rows.end(), sheet.predictions.begin(), sheet.predictions.end());
    ASSERT_EQ(rows.size(), expected.size());
    EXPECT_EQ(sheet.predictions.front().label, "predicted max speed");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].Heading(), expected[i].first) << i;
        EXPECT_EQ(rows[i].text, expected[i].second) << expected[i].first;
    }

    // The numbers behind the text, for windows that draw their own.
    const auto& prediction = sheet.predictions;
    EXPECT_NEAR(prediction[0].values.at(0), 360.0, 1e-9);
    EXPECT_EQ(prediction[0].unit, "km/h");
    EXPECT_NEAR(prediction[1].values.at(0), 0.8, 1e-12);
    EXPECT_TRUE(std::isnan(prediction[4].values.at(0)));  // gear 3 has no speed
    EXPECT_EQ(prediction[5].values, (std::vector<double>{216.0, 3.6, 432.0, 432.0}));
    EXPECT_EQ(sheet.setup[10].values, (std::vector<double>{50.0, 50.0, 30.0, 20.0}));
}
