// The catalogue's rows and the item registry.

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "morlund/items/DataItem.h"
#include "morlund/platform/Errors.h"

using namespace morlund;

namespace {

using D = DataItem;

struct Row {
    const DataItem* item;
    const char* name;
    const char* shortName;
    D::DataType type;
    D::Level level;
    D::Quantity quantity;
    double min, max;
    const char* metricUnit;  // display unit with the imperial switch off
    const char* milesUnit;   // and on
};

constexpr auto W = D::DT_WHEEL;
constexpr auto C = D::DT_CAR;
const char* const kSq = "\u00b2";

const Row kRows[] = {
    {D::DISTANCE, "Distance", "dist", C, D::LEVEL_MEASURED, D::Q_LENGTH, 0, 10000, "m", "ft"},
    {D::TIME, "Time", "time", C, D::LEVEL_MEASURED, D::Q_TIME, 0, 150, "s", "s"},
    {D::SPEED, "Speed", "speed", C, D::LEVEL_MEASURED, D::Q_VELOCITY, 0, 400, "km/h", "mile/h"},
    {D::STEERING, "Steering", "steer", C, D::LEVEL_MEASURED, D::Q_ANGLE, -35, 35, "deg", "deg"},
    {D::THROTTLE, "Throttle", "throttle", C, D::LEVEL_MEASURED, D::Q_FACTOR, 0, 1, "", ""},
    {D::BRAKE, "Brake", "brake", C, D::LEVEL_MEASURED, D::Q_FACTOR, 0, 1, "", ""},
    {D::REVS, "Revs", "revs", C, D::LEVEL_MEASURED, D::Q_ANGULAR_VELOCITY, 0, 20000, "rev/min",
     "rev/min"},
    {D::GEAR, "Gear", "gear", C, D::LEVEL_MEASURED, D::Q_SELECTION, 0, 10, "", ""},
    {D::RIDEHEIGHT, "Ride Height", "rh", W, D::LEVEL_MEASURED, D::Q_LENGTH, 0, 100, "mm", "mm"},
    {D::RHSLOW, "Ride Height Slow part", "rhslow", W, D::LEVEL_DERIVED, D::Q_LENGTH, 0, 100, "mm",
     "mm"},
    {D::RHDERIVED1, "Ride Height 1st derivative", "drhdx", W, D::LEVEL_ANALYSIS, D::Q_VELOCITY,
     -5000, 5000, "mm/s", "mm/s"},
    {D::RHDERIVED2, "Ride Height 2nd derivative", "drhdx2", W, D::LEVEL_ANALYSIS, D::Q_ACCELERATION,
     -10000, 10000, "mm/s\u00b2", "mm/s\u00b2"},
    {D::SUSPTRAVEL, "Suspension Travel Left", "st", W, D::LEVEL_MEASURED, D::Q_LENGTH, 0, 200, "mm",
     "mm"},
    {D::STSLOW, "Suspension Travel Left Slow part", "stslow", W, D::LEVEL_DERIVED, D::Q_LENGTH, 0,
     200, "mm", "mm"},
    {D::STDERIVED1, "Suspension Travel Left 1st derivative", "dstdx", W, D::LEVEL_ANALYSIS,
     D::Q_VELOCITY, -5000, 5000, "mm/s", "mm/s"},
    {D::STDERIVED2, "Suspension Travel Left 2nd derivative", "dstdx2", W, D::LEVEL_ANALYSIS,
     D::Q_ACCELERATION, -10000, 10000, "mm/s\u00b2", "mm/s\u00b2"},
    {D::WHEELSPEED, "Wheel Speed", "wheelspd", W, D::LEVEL_MEASURED, D::Q_VELOCITY, 0, 500, "km/h",
     "mile/h"},
    {D::WHEELSPIN, "Wheel Spin", "wheelspin", W, D::LEVEL_DERIVED, D::Q_VELOCITY, -100, 100, "km/h",
     "mile/h"},
    {D::WHEELACC, "Wheel Acceleration", "wheelacc", W, D::LEVEL_ANALYSIS, D::Q_ACCELERATION, -15,
     15, "g", "g"},
    {D::CAMBER, "Camber Roll", "camber", W, D::LEVEL_DERIVED, D::Q_ANGLE, -10, 10, "deg", "deg"},
    {D::ANGLE, "Angle", "angle", C, D::LEVEL_DERIVED, D::Q_ANGLE, -360, 360, "deg", "deg"},
    {D::LONGITUDALACC, "Longitudal Acceleration", "longacc", C, D::LEVEL_MEASURED,
     D::Q_ACCELERATION, -5, 5, "g", "g"},
    {D::LATERALACC, "Lateral Acceleration", "latacc", C, D::LEVEL_MEASURED, D::Q_ACCELERATION, -5,
     5, "g", "g"},
    {D::COMBINEDACC, "Acceleration", "acc", C, D::LEVEL_DERIVED, D::Q_ACCELERATION, 0, 5, "g", "g"},
    {D::CALCULATEDACC, "Longitudal Acceleration Difference", "longaccdiff", C, D::LEVEL_ANALYSIS,
     D::Q_ACCELERATION, -5, 5, "g", "g"},
    {D::INVERSE_CORNER_RADIUS, "Inverse Corner Radius", "inversecornerradius", C, D::LEVEL_DERIVED,
     D::Q_LENGTH, -50, 50, "mm", "mm"},
    {D::STEERRADIUS, "Steering Radius", "radiussteer", C, D::LEVEL_DERIVED, D::Q_LENGTH, 0, 400,
     "m", "ft"},
    {D::RADIUS, "Actual Radius", "radius", C, D::LEVEL_DERIVED, D::Q_LENGTH, 0, 400, "m", "ft"},
    {D::SLIP, "Slip Angle", "slipangle", C, D::LEVEL_DERIVED, D::Q_ANGLE, -10, 10, "deg", "deg"},
    {D::RHMINST, "Ride Height - Suspension Travel Left", "rhminst", W, D::LEVEL_DERIVED,
     D::Q_LENGTH, -10, 10, "mm", "mm"},
    {D::FARBEXT, "Front Anti-roll bar Extension", "farbext", C, D::LEVEL_DERIVED, D::Q_LENGTH, -25,
     25, "mm", "mm"},
    {D::RARBEXT, "Rear Anti-roll bar Extension", "rarbext", C, D::LEVEL_DERIVED, D::Q_LENGTH, -25,
     25, "mm", "mm"},
    {D::DIFFRATIO, "Differential Ratio", "diffratio", C, D::LEVEL_ANALYSIS, D::Q_FACTOR, 0, 0.2, "",
     ""},
    {D::HCOGINT, "COG Height Internal", "hcogint", C, D::LEVEL_ANALYSIS, D::Q_LENGTH, 0, 1000, "mm",
     "mm"},
    {D::HCOGINTLAT, "COG Height Internal (lat.)", "lathcogint", C, D::LEVEL_ANALYSIS, D::Q_LENGTH,
     0, 1000, "mm", "mm"},
    {D::HCOGINTLONG, "COG Height Internal (long.)", "longhcogint", C, D::LEVEL_ANALYSIS,
     D::Q_LENGTH, 0, 1000, "mm", "mm"},
    {D::HCOGEXT, "COG Height External", "hcogext", C, D::LEVEL_ANALYSIS, D::Q_LENGTH, 0, 1000, "mm",
     "mm"},
    {D::HCOG, "COG Height", "hcog", C, D::LEVEL_MODEL, D::Q_LENGTH, 0, 1000, "mm", "mm"},
    {D::DOWNFORCE, "Downforce", "downforce", W, D::LEVEL_MODEL, D::Q_FORCE, 0, 20000, "N", "N"},
    {D::DOWNFORCE0, "Downforce 0", "downforce0", W, D::LEVEL_MODEL, D::Q_FORCE, 0, 20000, "N", "N"},
    {D::POWER, "Power", "power", C, D::LEVEL_MODEL, D::Q_POWER, 0, 2000, "BHP", "BHP"},
    {D::POWER0, "Power 0", "power0", C, D::LEVEL_ORIGINAL_SETUP, D::Q_POWER, 0, 2000, "BHP", "BHP"},
    {D::TORQUE, "Torque", "torque", C, D::LEVEL_MODEL, D::Q_TORQUE, 0, 500, "J/rad", "J/rad"},
    {D::REVRANGESPEED, "Revs 1st derivative", "drevsdx", C, D::LEVEL_ANALYSIS,
     D::Q_ANGULAR_ACCELERATION, 0, 15000, "(rev/min)/s", "(rev/min)/s"},
    {D::TYRELOAD, "Tyre Load", "tyreload", W, D::LEVEL_DERIVED, D::Q_FORCE, 0, 15000, "N", "N"},
    {D::TYRELOAD0, "Tyre Load 0", "tyreload0", W, D::LEVEL_ORIGINAL_SETUP, D::Q_FORCE, -15000,
     15000, "N", "N"},
    {D::LONGITUDALTYREFORCE, "Longitudal Tyre Force", "longtyreforce", W, D::LEVEL_DERIVED,
     D::Q_FORCE, -15000, 15000, "N", "N"},
    {D::LATERALTYREFORCE, "Lateral Tyre Force", "lattyreforce", W, D::LEVEL_DERIVED, D::Q_FORCE,
     -15000, 15000, "N", "N"},
    {D::LONGITUDALSLIP, "Longitudal Slip", "longslip", W, D::LEVEL_ANALYSIS, D::Q_FACTOR, -1, 1, "",
     ""},
    {D::DRAGACC, "Drag Acceleration", "dragacc", C, D::LEVEL_ANALYSIS, D::Q_ACCELERATION, -5, 5,
     "g", "g"},
    {D::ACCFACTOR, "Acceleration Factor", "accfactor", W, D::LEVEL_EXPERIMENTAL, D::Q_FORCE, -50,
     50, "N", "N"},
    {D::DAMPINGFORCES, "Damping Forces", "forcedamp", W, D::LEVEL_EXPERIMENTAL, D::Q_FORCE, -25, 25,
     "N", "N"},
    {D::SPRINGFORCES, "Spring Forces", "forcespring", W, D::LEVEL_ANALYSIS, D::Q_FORCE, 0, 10000,
     "N", "N"},
    {D::ARBCONTRIB, "ARB Contribution", "forcearb", W, D::LEVEL_ANALYSIS, D::Q_FORCE, -12000, 12000,
     "N", "N"},
    {D::CURVE_RADIUS, "Virtual Curve Radius", "virtcurveradius", C, D::LEVEL_ANALYSIS, D::Q_LENGTH,
     -10000, 10000, "m", "m"},
    {D::GRIPFACTOR, "Grip Factor", "gripfactor", W, D::LEVEL_ANALYSIS, D::Q_FACTOR, -10, 10, "",
     ""},
    {D::RHPREDICTED, "Ride Height Predicted", "rhpred", W, D::LEVEL_PREDICTED, D::Q_LENGTH, 0, 100,
     "mm", "mm"},
    {D::RHMINIMUM, "Ride Height Minimum", "rhmin", W, D::LEVEL_PREDICTED, D::Q_LENGTH, 0, 100, "mm",
     "mm"},
    {D::GFPREDICTED, "Grip Factor Predicted", "gripfactorpred", W, D::LEVEL_PREDICTED, D::Q_FACTOR,
     -10, 10, "", ""},
    {D::STMAXIMUM, "Suspension Travel Maximum", "setup.stmax", W, D::LEVEL_SETUP, D::Q_LENGTH, 0,
     100, "mm", "mm"},
    {D::SETUP_FW, "Front Wing", "setup.fw", C, D::LEVEL_SETUP, D::Q_SELECTION, 1, 20, "", ""},
    {D::SETUP_RW, "Rear Wing", "setup.rw", C, D::LEVEL_SETUP, D::Q_SELECTION, 1, 20, "", ""},
    {D::SETUP_BB, "Brake Balance", "setup.bb", C, D::LEVEL_SETUP, D::Q_FACTOR, 0.5, 0.75, "", ""},
    {D::SETUP_GEARRATIO, "Gear Ratio", "setup.gearratio", C, D::LEVEL_SETUP, D::Q_FACTOR, 0, 2, "",
     ""},
    {D::SETUP_DIFFRATIO, "Differential Ratio", "setup.diffratio", C, D::LEVEL_SETUP, D::Q_FACTOR, 0,
     1, "", ""},
    {D::SETUP_PACKERS, "Packers", "setup.p", W, D::LEVEL_SETUP, D::Q_LENGTH, 0, 100, "mm", "mm"},
    {D::SETUP_RIDEHEIGHT, "Static Ride Height", "setup.rh", W, D::LEVEL_SETUP, D::Q_LENGTH, 0, 100,
     "mm", "mm"},
    {D::SETUP_SPRING, "Spring", "setup.sp", W, D::LEVEL_SETUP, D::Q_SPRING_CONSTANT, 0, 100000,
     "N/m", "N/m"},
    {D::SETUP_FARB, "Front ARB", "setup.farb", C, D::LEVEL_SETUP, D::Q_SPRING_CONSTANT, 0, 100000,
     "N/m", "N/m"},
    {D::SETUP_RARB, "Rear ARB", "setup.rarb", C, D::LEVEL_SETUP, D::Q_SPRING_CONSTANT, 0, 100000,
     "N/m", "N/m"},
    {D::SETUP_CAMBER, "Static Camber", "setup.camber", C, D::LEVEL_SETUP, D::Q_ANGLE, -5, 5, "deg",
     "deg"},
    {D::PHYS_MASS, "Car Mass", "phys.mass", C, D::LEVEL_PHYSICS, D::Q_MASS, 0, 1000, "kg", "kg"},
    {D::PHYS_SPRINGMASS, "Car Sprung Mass", "phys.spmass", C, D::LEVEL_PHYSICS, D::Q_MASS, 0, 1000,
     "kg", "kg"},
    {D::PHYS_WHEELBASE, "Wheelbase", "phys.wheelbase", C, D::LEVEL_PHYSICS, D::Q_LENGTH, 0, 4000,
     "mm", "mm"},
    {D::PHYS_COGDISTTOREAR, "COG Distance to Rear", "phys.cogrear", C, D::LEVEL_PHYSICS,
     D::Q_LENGTH, 0, 4000, "mm", "mm"},
    {D::PHYS_EFFDIFFRATIO, "Effective Differential Ratio", "phys.effdiffratio", C, D::LEVEL_PHYSICS,
     D::Q_FACTOR, 0, 1, "", ""},
    {D::PHYS_FSGF, "Front Susp. Geometry Factor", "phys.fsgf", C, D::LEVEL_PHYSICS, D::Q_FACTOR, 0,
     2, "", ""},
    {D::PHYS_RSGF, "Rear Susp. Geometry Factor", "phys.rsgf", C, D::LEVEL_PHYSICS, D::Q_FACTOR, 0,
     2, "", ""},
    {D::PHYS_HEIGHTBASE, "Height Base", "phys.hbase", C, D::LEVEL_PHYSICS, D::Q_LENGTH, 0, 100,
     "mm", "mm"},
    {D::PHYS_DELTABASE, "Delta Base", "phys.delbase", C, D::LEVEL_PHYSICS, D::Q_LENGTH, 0, 100,
     "mm", "mm"},
};

// Restores the imperial switch however a test ends.
struct MilesGuard {
    explicit MilesGuard(bool miles) { DataItem::SetDistanceInMiles(miles); }
    ~MilesGuard() { DataItem::SetDistanceInMiles(false); }
};

// A stand-in for a formula item: registered after the catalogue, not standard.
class ExtraItem : public DataItem {
public:
    ExtraItem(const char* shortName, Quantity quantity = Q_FORCE)
        : DataItem("Extra", shortName, DT_CAR, LEVEL_CUSTOM, quantity, 0, 100) {}
    double GetMetricValue(const PerfCore*, int, int) const override { return 1.0; }
    bool IsStandard() const override { return false; }
};

}  // namespace

TEST(Catalogue, EveryRowHasItsOrdinalNamesRangeAndUnits) {
    ASSERT_EQ(std::size(kRows), std::size_t{80});
    ASSERT_GE(DataItem::GetCount(), DataItem::kStandardItemCount);
    std::set<std::string> shortNames;
    for (int i = 0; i < 80; ++i) {
        const Row& r = kRows[i];
        SCOPED_TRACE(r.shortName);
        ASSERT_NE(r.item, nullptr);
        EXPECT_EQ(r.item->GetOrdinal(), i);
        EXPECT_EQ(DataItem::Get(i), r.item);
        EXPECT_EQ(r.item->GetName(), r.name);
        EXPECT_EQ(r.item->GetShortName(), r.shortName);
        EXPECT_EQ(r.item->GetDataType(), r.type);
        EXPECT_EQ(r.item->GetLevel(), r.level);
        EXPECT_EQ(r.item->GetQuantity(), r.quantity);
        EXPECT_EQ(r.item->GetMinValue(), r.min);
        EXPECT_EQ(r.item->GetMaxValue(), r.max);
        EXPECT_TRUE(r.item->IsStandard());
        EXPECT_EQ(r.item->GetShortQuantityName(), DataItem::GetQuantityUnitName(r.quantity));
        {
            MilesGuard metric(false);
            EXPECT_EQ(r.item->GetShortConvertedQuantityName(), r.metricUnit);
        }
        {
            MilesGuard miles(true);
            EXPECT_EQ(r.item->GetShortConvertedQuantityName(), r.milesUnit);
        }
        EXPECT_TRUE(shortNames.insert(r.shortName).second) << "short name used twice";
    }
    EXPECT_EQ(DataItem::Get(0), DataItem::DISTANCE);
    EXPECT_EQ(DataItem::Get(79), DataItem::PHYS_DELTABASE);
    // the superscript two is one character, not a stray byte
    EXPECT_EQ(DataItem::WHEELACC->GetShortQuantityName(), std::string("m/s") + kSq);
}

TEST(Catalogue, LookupsOutsideTheRegistryRaise) {
    EXPECT_THROW(DataItem::Get(-1), InvalidArgument);
    EXPECT_THROW(DataItem::Get(DataItem::GetCount()), InvalidArgument);
}

TEST(Catalogue, IteratorWalksTheRegistryInOrderAndRaisesPastTheEnd) {
    auto it = DataItem::NewIterator();
    int ordinal = 0;
    while (it->HasNext()) {
        const DataItem* item = it->GetNext();
        EXPECT_EQ(item->GetOrdinal(), ordinal);
        ++ordinal;
    }
    EXPECT_EQ(ordinal, DataItem::GetCount());
    EXPECT_FALSE(it->HasNext());
    EXPECT_THROW(it->GetNext(), InvalidArgument);
    EXPECT_EQ(DataItem::NewIterator()->GetNext(), DataItem::DISTANCE);
}

TEST(Registry, FurtherItemsFollowTheCatalogueAndLeaveWhenDestroyed) {
    const int before = DataItem::GetCount();
    {
        ExtraItem speedTwin("speed");  // a formula item may repeat a standard short name
        EXPECT_EQ(speedTwin.GetOrdinal(), before);
        EXPECT_EQ(DataItem::g_nNextOrdinal, before + 1);
        EXPECT_EQ(DataItem::Get(before), &speedTwin);
        EXPECT_FALSE(speedTwin.IsStandard());
        EXPECT_EQ(DataItem::GetCount(), before + 1);
    }
    EXPECT_EQ(DataItem::GetCount(), before);
    EXPECT_EQ(DataItem::g_nNextOrdinal, before);
    EXPECT_THROW(DataItem::Get(before), InvalidArgument);
}

TEST(Registry, AnItemDestroyedOutOfOrderLeavesAHoleThatLookupsPassOver) {
    const int before = DataItem::GetCount();
    auto first = std::make_unique<ExtraItem>("first");
    ExtraItem second("second");
    first.reset();
    EXPECT_THROW(DataItem::Get(before), InvalidArgument);
    EXPECT_EQ(DataItem::Get(before + 1), &second);
    auto it = DataItem::NewIterator();
    const DataItem* last = nullptr;
    int walked = 0;
    while (it->HasNext()) {
        last = it->GetNext();
        ++walked;
    }
    EXPECT_EQ(walked, before + 1);
    EXPECT_EQ(last, &second);
}

TEST(Registry, CopiesAreNotRegisteredAndOnlyRegisteredItemsCanBeAdopted) {
    const int before = DataItem::GetCount();
    ExtraItem original("orig");
    {
        ExtraItem copy(original);
        EXPECT_EQ(copy.GetOrdinal(), original.GetOrdinal());
        EXPECT_EQ(copy.GetShortName(), "orig");
        EXPECT_EQ(DataItem::Get(before), &original);
        EXPECT_THROW(DataItem::Adopt(std::make_unique<ExtraItem>(copy)), InvalidArgument);
    }
    // the copy's end did not take the original out
    EXPECT_EQ(DataItem::Get(before), &original);
    EXPECT_EQ(DataItem::GetCount(), before + 1);
}
