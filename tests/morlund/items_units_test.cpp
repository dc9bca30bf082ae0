// Display factors, unit names and the imperial switch.

#include <gtest/gtest.h>

#include <string>

#include "VectorPerf.h"
#include "morlund/items/DataItem.h"

using namespace morlund;

namespace {

using D = DataItem;

struct MilesGuard {
    explicit MilesGuard(bool miles) { DataItem::SetDistanceInMiles(miles); }
    ~MilesGuard() { DataItem::SetDistanceInMiles(false); }
};

// A formula-like item with a display factor of its own (0 keeps the quantity's rule).
class FactorItem : public DataItem {
public:
    FactorItem(Quantity quantity, double factor)
        : DataItem("Factor item", "factoritem", DT_CAR, LEVEL_CUSTOM, quantity, 0, 1),
          m_factor(factor) {}
    double GetMetricValue(const PerfCore*, int, int) const override { return 2.0; }
    double GetUnitConversionFactor() const override {
        return m_factor != 0.0 ? m_factor : DataItem::GetUnitConversionFactor();
    }
    bool IsStandard() const override { return false; }

private:
    double m_factor;
};

void LoadTenMetresPerSecond(testsupport::VectorPerf& p) {
    p.distance = testsupport::Range(5, 10.0);
    p.speed = {10, 10, 10, 10, 10};
    p.Load();
}

}  // namespace

TEST(Units, TheImperialSwitchChangesTheSpeedFactorOnly) {
    for (int q = D::Q_LENGTH; q <= D::Q_SPRING_CONSTANT; ++q) {
        const auto quantity = static_cast<D::Quantity>(q);
        SCOPED_TRACE(DataItem::GetQuantityName(quantity));
        const double metric = DataItem::GetQuantityConversionFactor(quantity);
        MilesGuard g(true);
        const double miles = DataItem::GetQuantityConversionFactor(quantity);
        if (quantity == D::Q_VELOCITY) {
            EXPECT_EQ(metric, 3.6);
            EXPECT_EQ(miles, 3600.0 / 1609.0);  // a mile is 1609 m here
        } else {
            EXPECT_EQ(metric, miles);
        }
    }
    EXPECT_STREQ(DataItem::GetQuantityName(D::Q_ANGULAR_VELOCITY), "Angular Velocity");
    EXPECT_STREQ(DataItem::GetQuantityName(D::Q_SPRING_CONSTANT), "Spring Constant");
    EXPECT_STREQ(DataItem::GetDataTypeName(D::DT_WHEEL), "Wheel specific");
    EXPECT_STREQ(DataItem::GetDataTypeName(D::DT_CAR), "Car");
}

TEST(Units, NamesByQuantityAndExactFactor) {
    struct Case {
        D::Quantity q;
        double factor;
        const char* name;
    };
    const Case cases[] = {
        {D::Q_LENGTH, 1, "m"},
        {D::Q_LENGTH, 1000, "mm"},
        {D::Q_LENGTH, 0.001, "km"},
        {D::Q_LENGTH, 3.280839895013123, "ft"},
        {D::Q_LENGTH, 1.0 / 1609, "mile"},
        {D::Q_TIME, 1.0 / 60, "min"},
        {D::Q_TIME, 1.0 / 3600, "h"},
        {D::Q_MASS, 0.001, "t"},
        {D::Q_VELOCITY, 3.6, "km/h"},
        {D::Q_VELOCITY, 1000, "mm/s"},
        {D::Q_VELOCITY, 3600.0 / 1609, "mile/h"},
        {D::Q_ACCELERATION, 1 / 9.81, "g"},
        {D::Q_ACCELERATION, 1000, "mm/s\u00b2"},
        {D::Q_ACCELERATION, 1, "m/s\u00b2"},
        {D::Q_ANGLE, 57.29577951308232, "deg"},
        {D::Q_ANGULAR_VELOCITY, 9.549296585513721, "rev/min"},
        {D::Q_ANGULAR_ACCELERATION, 9.549296585513721, "(rev/min)/s"},
        {D::Q_ANGULAR_ACCELERATION, 1, "rad/s\u00b2"},
        {D::Q_POWER, 1 / 735.499, "BHP"},
        {D::Q_POWER, 1, "W"},
        {D::Q_ENERGY, 1, "J"},
        {D::Q_FACTOR, 1, ""},
        // a known factor under another quantity, or a near miss, has no name of its own
        {D::Q_TIME, 1000, "x 1/1000.00 s"},
        {D::Q_ANGLE, 57.2958, "x 1/57.30 rad"},
        {D::Q_VELOCITY, 3.6000001, "x 1/3.60 m/s"},
        {D::Q_FORCE, 0.5, "x 1/0.50 N"},
        {D::Q_FACTOR, 100, "x 1/100.00 "},
        {D::Q_MASS, 1000, "x 1/1000.00 kg"},
        {static_cast<D::Quantity>(15), 1, ""},  // a quantity number without a name
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DataItem::GetUnitName(c.q, c.factor), c.name) << c.q << " " << c.factor;
    }
    // very large factors still format completely
    EXPECT_EQ(DataItem::GetUnitName(D::Q_FORCE, 1e20), "x 1/100000000000000000000.00 N");
}

TEST(Units, AnItemWithItsOwnFactorIsNamedAndConvertedByIt) {
    testsupport::VectorPerf p;
    LoadTenMetresPerSecond(p);
    FactorItem half(D::Q_FORCE, 0.5);
    EXPECT_EQ(half.GetShortQuantityName(), "N");
    EXPECT_EQ(half.GetShortConvertedQuantityName(), "x 1/0.50 N");
    EXPECT_DOUBLE_EQ(half.GetConvertedValueEx(&p, 0, Wheel::ALL), 1.0);
    FactorItem tonnes(D::Q_MASS, 0.001);
    EXPECT_EQ(tonnes.GetShortConvertedQuantityName(), "t");
    FactorItem byRule(D::Q_VELOCITY, 0);
    EXPECT_EQ(byRule.GetShortConvertedQuantityName(), "km/h");
    MilesGuard g(true);
    EXPECT_EQ(byRule.GetShortConvertedQuantityName(), "mile/h");
}

TEST(Units, ImperialSwitchChangesDisplayValuesNeverMetricOnes) {
    testsupport::VectorPerf p;
    LoadTenMetresPerSecond(p);
    EXPECT_DOUBLE_EQ(D::SPEED->GetConvertedValueEx(&p, 1, Wheel::ALL), 36.0);
    EXPECT_DOUBLE_EQ(D::DISTANCE->GetConvertedValueEx(&p, 2, Wheel::ALL), 20.0);  // metres
    EXPECT_DOUBLE_EQ(D::RIDEHEIGHT->GetConvertedValueEx(&p, 2, Wheel::LEFT_REAR), 50.0);
    {
        MilesGuard g(true);
        EXPECT_NEAR(D::SPEED->GetConvertedValueEx(&p, 1, Wheel::ALL), 22.374, 0.001);
        EXPECT_DOUBLE_EQ(D::SPEED->GetConvertedValueEx(&p, 1, Wheel::ALL), 10 * 3600.0 / 1609);
        EXPECT_DOUBLE_EQ(D::SPEED->GetMetricValueEx(&p, 1, Wheel::ALL), 10.0);
        EXPECT_DOUBLE_EQ(D::DISTANCE->GetConvertedValueEx(&p, 2, Wheel::ALL),
                         20 * 3.280839895013123);
        EXPECT_DOUBLE_EQ(D::DISTANCE->GetMetricValueEx(&p, 2, Wheel::ALL), 20.0);
        // lengths stay millimetres
        EXPECT_DOUBLE_EQ(D::RIDEHEIGHT->GetConvertedValueEx(&p, 2, Wheel::LEFT_REAR), 50.0);
        EXPECT_EQ(D::CURVE_RADIUS->GetUnitConversionFactor(), 1.0);
    }
    EXPECT_EQ(D::INVERSE_CORNER_RADIUS->GetUnitConversionFactor(), 1000.0);
    EXPECT_EQ(D::STDERIVED2->GetUnitConversionFactor(), 1000.0);
    EXPECT_EQ(D::REVRANGESPEED->GetUnitConversionFactor(), 9.549296585513721);
}
