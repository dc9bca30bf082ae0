// The item registry and the eighty standard items. Both live in this file so
// that the catalogue is created with the registry it fills, in catalogue order.

#include <algorithm>
#include <cmath>
#include <string>

#include "morlund/core/PerfCore.h"
#include "morlund/items/DataItem.h"
#include "morlund/physics/Physics.h"
#include "morlund/platform/Errors.h"
#include "morlund/setup/CarSetup.h"

namespace morlund {

int DataItem::g_nNextOrdinal = 0;

namespace {

// Set while the registry deletes its items at unload: from then on items no
// longer take themselves out of it.
bool g_registryClosed = false;

struct ItemRegistry {
    DataItemPtrArray items;                        // g_arDataItems: ordinal order
    std::vector<std::unique_ptr<DataItem>> owned;  // what the registry deletes
    ~ItemRegistry() {
        g_registryClosed = true;
        std::stable_sort(owned.begin(), owned.end(), [](const auto& a, const auto& b) {
            return a->GetOrdinal() < b->GetOrdinal();
        });
        while (!owned.empty())
            owned.pop_back();
    }
};

// Constructed on first use, so it exists before the first item registers.
ItemRegistry& Registry() {
    static ItemRegistry registry;
    return registry;
}

}  // namespace

DataItem::DataItem() = default;

DataItem::DataItem(std::string name, std::string shortName, DataType dataType, Level level,
                   Quantity quantity, double minValue, double maxValue)
    : m_name(std::move(name)),
      m_shortName(std::move(shortName)),
      m_dataType(dataType),
      m_level(level),
      m_quantity(quantity),
      m_minValue(minValue),
      m_maxValue(maxValue) {
    DataItemPtrArray& items = Registry().items;
    m_ordinal = static_cast<int>(items.size());
    items.push_back(this);
    g_nNextOrdinal = m_ordinal + 1;
}

DataItem::~DataItem() {
    if (g_registryClosed) return;
    // Copies and stand-ins are not registered; an assignment may have changed
    // the ordinal, so look for the object itself.
    DataItemPtrArray& items = Registry().items;
    const auto found = std::find(items.rbegin(), items.rend(), this);
    if (found == items.rend()) return;
    *found = nullptr;
    // Trailing holes go, so the next item takes the freed ordinals.
    while (!items.empty() && items.back() == nullptr)
        items.pop_back();
    g_nNextOrdinal = static_cast<int>(items.size());
}

void DataItem::AdoptItem(std::unique_ptr<DataItem> item) {
    ItemRegistry& registry = Registry();
    if (item == nullptr || std::find(registry.items.begin(), registry.items.end(), item.get()) ==
                               registry.items.end()) {
        throw InvalidArgument("data item is not registered");
    }
    registry.owned.push_back(std::move(item));
}

DataItem* DataItem::Get(int ordinal) {
    const DataItemPtrArray& items = Registry().items;
    if (ordinal < 0 || ordinal >= static_cast<int>(items.size()) ||
        items[static_cast<std::size_t>(ordinal)] == nullptr) {
        throw InvalidArgument("data item ordinal " + std::to_string(ordinal));
    }
    return items[static_cast<std::size_t>(ordinal)];
}

int DataItem::GetCount() { return static_cast<int>(Registry().items.size()); }

std::unique_ptr<DataItem::Iterator> DataItem::NewIterator() { return std::make_unique<Iterator>(); }

bool DataItem::Iterator::HasNext() const {
    const DataItemPtrArray& items = Registry().items;
    for (std::size_t i = static_cast<std::size_t>(m_position); i < items.size(); ++i) {
        if (items[i] != nullptr) return true;
    }
    return false;
}

DataItem* DataItem::Iterator::GetNext() {
    const DataItemPtrArray& items = Registry().items;
    while (m_position < static_cast<int>(items.size()) &&
           items[static_cast<std::size_t>(m_position)] == nullptr) {
        ++m_position;
    }
    DataItem* item = Get(m_position);  // raises past the end
    ++m_position;
    return item;
}

namespace {

// --- the catalogue's items ------------------------------------------------------
//
// Each standard item is its own class: the value rule is a template argument,
// so GetMetricValue is a direct call of the buffer's operation, with no work
// of its own per sample.

using ValueRule = double (*)(const PerfCore* buffer, int sample, int wheel);
// The same rule over samples first..end-1 of a wheel 0..3 (or -1), where doing them
// together saves work; null where it does not.
using RangeRule = void (*)(const PerfCore* buffer, int first, int end, int wheel, double* out);

// Display factors that differ from the quantity's rule.
enum class Conversion {
    kByQuantity,
    kMetresOrFeet,  // path radii and distance: metres, feet in miles mode
    kMetres,
    kThousand,  // per-millimetre rates and the inverse radius
    kRevsPerMinute,
};

template <ValueRule Rule, Conversion C, RangeRule Range = nullptr>
class StandardItem final : public DataItem {
public:
    StandardItem(const char* name, const char* shortName, DataType dataType, Level level,
                 Quantity quantity, double minValue, double maxValue)
        : DataItem(name, shortName, dataType, level, quantity, minValue, maxValue) {}

    double GetMetricValue(const PerfCore* buffer, int sample, int wheel) const override {
        return Rule(buffer, sample, wheel);
    }

    void GetConvertedValues(const PerfCore* buffer, int first, int end, const Wheel* wheel,
                            double* out) const override {
        const int index = wheel != nullptr ? wheel->GetIndex() : -1;
        if (GetDataType() == DT_WHEEL && index < 0) {
            DataItem::GetConvertedValues(buffer, first, end, wheel, out);  // the selector's
            return;
        }
        const double factor = GetUnitConversionFactor();
        if constexpr (Range != nullptr) {
            Range(buffer, first, end, index, out);
            for (int i = first; i < end; ++i, ++out)
                *out = *out * factor;
        } else {
            for (int i = first; i < end; ++i)
                *out++ = Rule(buffer, i, index) * factor;
        }
    }

    double GetUnitConversionFactor() const override {
        if constexpr (C == Conversion::kMetresOrFeet) {
            return IsDistanceInMiles() ? 3.280839895013123 : 1.0;
        } else if constexpr (C == Conversion::kMetres) {
            return 1.0;
        } else if constexpr (C == Conversion::kThousand) {
            return 1000.0;
        } else if constexpr (C == Conversion::kRevsPerMinute) {
            return 9.549296585513721;
        } else {
            return DataItem::GetUnitConversionFactor();
        }
    }
};

template <ValueRule Rule, Conversion C = Conversion::kByQuantity, RangeRule Range = nullptr>
const DataItem* Make(const char* name, const char* shortName, DataItem::DataType dataType,
                     DataItem::Level level, DataItem::Quantity quantity, double minValue,
                     double maxValue) {
    return DataItem::Adopt(std::make_unique<StandardItem<Rule, C, Range>>(
        name, shortName, dataType, level, quantity, minValue, maxValue));
}

const CarSetup& Setup(const PerfCore* b) { return *b->GetSetup(); }
const CarSetup& SetupOrg(const PerfCore* b) { return *b->GetSetupOrg(); }
const Physics& Model(const PerfCore* b) { return *b->GetPhysics(); }
// Setup records hold four wheels; anything else has no setup value.
bool IsWheel(int w) { return w >= 0 && w <= 3; }

// Packers plus travel of one wheel: the anti-roll bar's end on that side.
double BarEnd(const PerfCore* b, int i, int w) {
    return b->GetSuspTravel(i, w) + Setup(b).GetPackers(w);
}

// Measured and simple derived channels.
double Distance(const PerfCore* b, int i, int) { return b->GetDistance(i); }
double Time(const PerfCore* b, int i, int) { return b->GetTime(i); }
double Speed(const PerfCore* b, int i, int) { return b->GetSpeed(i); }
double Steering(const PerfCore* b, int i, int) { return b->GetSteering(i); }
double Throttle(const PerfCore* b, int i, int) { return b->GetThrottle(i); }
double Brake(const PerfCore* b, int i, int) { return b->GetBrake(i); }
double Revs(const PerfCore* b, int i, int) { return b->GetRevs(i); }
double Gear(const PerfCore* b, int i, int) { return b->GetGear(i); }
double RideHeight(const PerfCore* b, int i, int w) { return b->GetRideHeight(i, w); }
double RHSlow(const PerfCore* b, int i, int w) { return b->GetRHSlow(i, w); }
double RHDerived1(const PerfCore* b, int i, int w) { return b->GetRH1stDerivTime(i, w); }
double RHDerived2(const PerfCore* b, int i, int w) { return b->GetRH2ndDerivTime(i, w); }
double SuspTravel(const PerfCore* b, int i, int w) { return b->GetSuspTravel(i, w); }
double STSlow(const PerfCore* b, int i, int w) { return b->GetSTSlow(i, w); }
double STDerived1(const PerfCore* b, int i, int w) { return b->GetST1stDerivTime(i, w); }
// The same values for a run of samples, each sample's channels read once: damper speed
// histograms read whole laps of it.
void STDerived1Range(const PerfCore* b, int first, int end, int w, double* out) {
    if (end <= first) return;
    if (first < 1) *out = b->GetST1stDerivTime(first, w);  // borrows the second sample's
    const int start = std::max(first, 1);
    if (start >= end) return;
    if (b->GetSampleCount() < 2) {
        std::fill(out + (start - first), out + (end - first), 0.0);
        return;
    }
    double d0 = b->GetDistance(start - 1);
    double st0 = b->GetSuspTravel(start - 1, w);
    double v0 = b->GetSpeed(start - 1);
    double* o = out + (start - first);
    for (int k = start; k < end; ++k) {
        const double d1 = b->GetDistance(k);
        const double st1 = b->GetSuspTravel(k, w);
        const double dd = d1 - d0;
        *o++ = v0 * (dd == 0.0 ? 0.0 : (st1 - st0) / dd);
        d0 = d1;
        st0 = st1;
        v0 = b->GetSpeed(k);
    }
}
double STDerived2(const PerfCore* b, int i, int w) { return b->GetST2ndDerivTime(i, w); }
double WheelSpeed(const PerfCore* b, int i, int w) { return b->GetWheelSpeed(i, w); }
double WheelSpin(const PerfCore* b, int i, int w) { return b->GetWheelSpin(i, w); }
double WheelAcc(const PerfCore* b, int i, int w) { return b->GetWheelAcceleration(i, w); }
double Camber(const PerfCore* b, int i, int w) { return b->GetCamber(i, w); }
double Angle(const PerfCore* b, int i, int) { return b->GetAngle(i); }
double LongitudalAcc(const PerfCore* b, int i, int) { return b->GetLongitudalAcc(i); }
double LateralAcc(const PerfCore* b, int i, int) { return b->GetLateralAcc(i); }
double CombinedAcc(const PerfCore* b, int i, int) { return b->GetAcceleration(i); }
double CalculatedAcc(const PerfCore* b, int i, int) { return b->GetLongAccDiff(i); }
double InverseCornerRadius(const PerfCore* b, int i, int) { return b->GetInverseCornerRadius(i); }
double SteerRadius(const PerfCore* b, int i, int) { return b->GetSteeringRadius(i); }
double Radius(const PerfCore* b, int i, int) { return PerfCore::RadiusLength(b->GetRadius(i)); }
// The steering angle the path's radius needs, less the angle steered.
double Slip(const PerfCore* b, int i, int) {
    const double r = PerfCore::RadiusLength(b->GetRadius(i));
    return r == 0.0 ? 0.0 : b->RadiusToSteerAngle(r) - std::fabs(b->GetSteering(i));
}
double RHMinST(const PerfCore* b, int i, int w) {
    return b->GetRideHeightMinSuspTravel(i, w, Setup(b));
}
double FrontArbExt(const PerfCore* b, int i, int) { return BarEnd(b, i, 2) - BarEnd(b, i, 3); }
double RearArbExt(const PerfCore* b, int i, int) { return BarEnd(b, i, 0) - BarEnd(b, i, 1); }

// Car-model channels.
double DiffRatio(const PerfCore* b, int i, int) { return b->GetDiffRatio(i, Setup(b)); }
double HCogInt(const PerfCore* b, int i, int) { return b->GetCOGHeightInternal(i, Setup(b)); }
double HCogIntLat(const PerfCore* b, int i, int) { return b->GetCOGHeightInternalLat(i, Setup(b)); }
double HCogIntLong(const PerfCore* b, int i, int) {
    return b->GetCOGHeightInternalLong(i, Setup(b));
}
double HCogExt(const PerfCore* b, int i, int) { return b->GetCOGHeightExternal(i); }
double HCog(const PerfCore* b, int i, int) { return b->GetCOGHeight(i, Setup(b)); }
double Downforce(const PerfCore* b, int i, int w) { return b->GetDownforce(i, w, Setup(b)); }
double Downforce0(const PerfCore* b, int i, int w) { return b->GetDownforce(i, w, SetupOrg(b)); }
double Power(const PerfCore* b, int i, int) { return b->GetPower(i, Setup(b)); }
double Power0(const PerfCore* b, int i, int) { return b->GetPower(i, SetupOrg(b)); }
double Torque(const PerfCore* b, int i, int) { return b->GetTorque(i, Setup(b)); }
double RevRangeSpeed(const PerfCore* b, int i, int) { return b->GetRevRange(i); }
double TyreLoad(const PerfCore* b, int i, int w) { return b->GetTyreLoad(i, w, Setup(b)); }
double TyreLoad0(const PerfCore* b, int i, int w) { return b->GetTyreLoad(i, w, SetupOrg(b)); }
void TyreLoads(const PerfCore* b, int first, int end, int w, double* out) {
    b->GetTyreLoads(first, end, w, Setup(b), out);
}
void TyreLoads0(const PerfCore* b, int first, int end, int w, double* out) {
    b->GetTyreLoads(first, end, w, SetupOrg(b), out);
}
double LongTyreForce(const PerfCore* b, int i, int w) { return b->GetLongitudalTyreForce(i, w); }
double LatTyreForce(const PerfCore* b, int i, int w) { return b->GetLateralTyreForce(i, w); }
double LongitudalSlip(const PerfCore* b, int i, int w) { return b->GetLongitudalSlip(i, w); }
double DragAcc(const PerfCore* b, int i, int) { return b->GetDragAcc(i, Setup(b)); }
double AccFactor(const PerfCore* b, int i, int w) { return b->GetTyreAccel(i, w); }
double DampingForces(const PerfCore* b, int i, int w) {
    return b->GetDampingForces(i, w, Setup(b));
}
double SpringForces(const PerfCore* b, int i, int w) { return b->GetSpringForces(i, w, Setup(b)); }
double ArbContrib(const PerfCore* b, int i, int w) { return b->GetARBContrib(i, w, Setup(b)); }
double CurveRadius(const PerfCore* b, int i, int) { return b->GetCurveRadius(i); }
double GripFactor(const PerfCore* b, int i, int w) { return b->GetGripFactor(i, w, Setup(b)); }

// Predictions of the car model.
double RHPredicted(const PerfCore* b, int i, int w) {
    return Model(b).CalcPredictedRideHeight(Setup(b), b->GetSpeed(i), w);
}
double RHMinimum(const PerfCore* b, int, int w) {
    return Model(b).GetMinimumRideHeight(Setup(b), w);
}
double GFPredicted(const PerfCore* b, int i, int w) { return b->GetPredictedGripFactor(i, w); }

// Values of the current setup.
double STMaximum(const PerfCore* b, int, int w) {
    if (!IsWheel(w)) return 0.0;
    return Setup(b).GetMaxSuspTravel(w) - Setup(b).GetPackers(w);
}
double SetupFW(const PerfCore* b, int, int) { return Setup(b).GetFrontWing(); }
double SetupRW(const PerfCore* b, int, int) { return Setup(b).GetRearWing(); }
double SetupBB(const PerfCore* b, int, int) { return Setup(b).GetBrakeBalance(); }
double SetupGearRatio(const PerfCore* b, int i, int) {
    return Setup(b).GetGearRatio(b->GetGear(i));
}
double SetupDiffRatio(const PerfCore* b, int, int) { return Setup(b).GetDiffRatio(); }
double SetupPackers(const PerfCore* b, int, int w) {
    return IsWheel(w) ? Setup(b).GetPackers(w) : 0.0;
}
double SetupRideHeight(const PerfCore* b, int, int w) {
    return IsWheel(w) ? Setup(b).GetStaticRideHeight(w) : 0.0;
}
double SetupSpring(const PerfCore* b, int, int w) {
    return IsWheel(w) ? Setup(b).GetSpringRate(w) : 0.0;
}
double SetupFArb(const PerfCore* b, int, int) { return Setup(b).GetFrontAntiRollBar(); }
double SetupRArb(const PerfCore* b, int, int) { return Setup(b).GetRearAntiRollBar(); }
// Right wheels lean the other way, so their camber reads negated.
double SetupCamber(const PerfCore* b, int, int w) {
    if (!IsWheel(w)) return 0.0;
    const double camber = Setup(b).GetStaticCamber(w);
    return w == 1 || w == 3 ? -camber : camber;
}

// Constants of the car model.
double PhysMass(const PerfCore* b, int, int) { return Model(b).GetMass(); }
double PhysSpringMass(const PerfCore* b, int, int) { return Model(b).GetMassAboveSprings(); }
double PhysWheelBase(const PerfCore* b, int, int) { return Model(b).GetWheelBase(); }
double PhysCogToRear(const PerfCore* b, int, int) { return Model(b).GetCOGDistanceToRear(); }
double PhysEffDiffRatio(const PerfCore* b, int, int) {
    return Model(b).GetEffectiveDifferentialRatio(Setup(b));
}
double PhysFsgf(const PerfCore* b, int, int) { return Model(b).GetFrontSuspensionGeometryFactor(); }
double PhysRsgf(const PerfCore* b, int, int) { return Model(b).GetRearSuspensionGeometryFactor(); }
double PhysHeightBase(const PerfCore* b, int, int) { return Model(b).GetHeightBase(); }
double PhysDeltaBase(const PerfCore* b, int, int) { return Model(b).GetDeltaBase(); }

constexpr DataItem::DataType kCar = DataItem::DT_CAR;
constexpr DataItem::DataType kWheel = DataItem::DT_WHEEL;
constexpr Conversion kMetresOrFeet = Conversion::kMetresOrFeet;
constexpr Conversion kThousand = Conversion::kThousand;

}  // namespace

// The catalogue, created in this order when the library loads: the order is
// the ordinal. Ranges are in the display units of the metric setting.
const DataItem* const DataItem::DISTANCE =
    Make<Distance, kMetresOrFeet>("Distance", "dist", kCar, LEVEL_MEASURED, Q_LENGTH, 0, 10000);
const DataItem* const DataItem::TIME =
    Make<Time>("Time", "time", kCar, LEVEL_MEASURED, Q_TIME, 0, 150);
const DataItem* const DataItem::SPEED =
    Make<Speed>("Speed", "speed", kCar, LEVEL_MEASURED, Q_VELOCITY, 0, 400);
const DataItem* const DataItem::STEERING =
    Make<Steering>("Steering", "steer", kCar, LEVEL_MEASURED, Q_ANGLE, -35, 35);
const DataItem* const DataItem::THROTTLE =
    Make<Throttle>("Throttle", "throttle", kCar, LEVEL_MEASURED, Q_FACTOR, 0, 1);
const DataItem* const DataItem::BRAKE =
    Make<Brake>("Brake", "brake", kCar, LEVEL_MEASURED, Q_FACTOR, 0, 1);
const DataItem* const DataItem::REVS =
    Make<Revs>("Revs", "revs", kCar, LEVEL_MEASURED, Q_ANGULAR_VELOCITY, 0, 20000);
const DataItem* const DataItem::GEAR =
    Make<Gear>("Gear", "gear", kCar, LEVEL_MEASURED, Q_SELECTION, 0, 10);
const DataItem* const DataItem::RIDEHEIGHT =
    Make<RideHeight>("Ride Height", "rh", kWheel, LEVEL_MEASURED, Q_LENGTH, 0, 100);
const DataItem* const DataItem::RHSLOW =
    Make<RHSlow>("Ride Height Slow part", "rhslow", kWheel, LEVEL_DERIVED, Q_LENGTH, 0, 100);
const DataItem* const DataItem::RHDERIVED1 = Make<RHDerived1, kThousand>(
    "Ride Height 1st derivative", "drhdx", kWheel, LEVEL_ANALYSIS, Q_VELOCITY, -5000, 5000);
const DataItem* const DataItem::RHDERIVED2 = Make<RHDerived2, kThousand>(
    "Ride Height 2nd derivative", "drhdx2", kWheel, LEVEL_ANALYSIS, Q_ACCELERATION, -10000, 10000);
const DataItem* const DataItem::SUSPTRAVEL =
    Make<SuspTravel>("Suspension Travel Left", "st", kWheel, LEVEL_MEASURED, Q_LENGTH, 0, 200);
const DataItem* const DataItem::STSLOW = Make<STSlow>("Suspension Travel Left Slow part", "stslow",
                                                      kWheel, LEVEL_DERIVED, Q_LENGTH, 0, 200);
const DataItem* const DataItem::STDERIVED1 =
    Make<STDerived1, kThousand, STDerived1Range>("Suspension Travel Left 1st derivative", "dstdx", kWheel,
                                LEVEL_ANALYSIS, Q_VELOCITY, -5000, 5000);
const DataItem* const DataItem::STDERIVED2 =
    Make<STDerived2, kThousand>("Suspension Travel Left 2nd derivative", "dstdx2", kWheel,
                                LEVEL_ANALYSIS, Q_ACCELERATION, -10000, 10000);
const DataItem* const DataItem::WHEELSPEED =
    Make<WheelSpeed>("Wheel Speed", "wheelspd", kWheel, LEVEL_MEASURED, Q_VELOCITY, 0, 500);
const DataItem* const DataItem::WHEELSPIN =
    Make<WheelSpin>("Wheel Spin", "wheelspin", kWheel, LEVEL_DERIVED, Q_VELOCITY, -100, 100);
const DataItem* const DataItem::WHEELACC = Make<WheelAcc>("Wheel Acceleration", "wheelacc", kWheel,
                                                          LEVEL_ANALYSIS, Q_ACCELERATION, -15, 15);
const DataItem* const DataItem::CAMBER =
    Make<Camber>("Camber Roll", "camber", kWheel, LEVEL_DERIVED, Q_ANGLE, -10, 10);
const DataItem* const DataItem::ANGLE =
    Make<Angle>("Angle", "angle", kCar, LEVEL_DERIVED, Q_ANGLE, -360, 360);
const DataItem* const DataItem::LONGITUDALACC = Make<LongitudalAcc>(
    "Longitudal Acceleration", "longacc", kCar, LEVEL_MEASURED, Q_ACCELERATION, -5, 5);
const DataItem* const DataItem::LATERALACC =
    Make<LateralAcc>("Lateral Acceleration", "latacc", kCar, LEVEL_MEASURED, Q_ACCELERATION, -5, 5);
const DataItem* const DataItem::COMBINEDACC =
    Make<CombinedAcc>("Acceleration", "acc", kCar, LEVEL_DERIVED, Q_ACCELERATION, 0, 5);
const DataItem* const DataItem::CALCULATEDACC =
    Make<CalculatedAcc>("Longitudal Acceleration Difference", "longaccdiff", kCar, LEVEL_ANALYSIS,
                        Q_ACCELERATION, -5, 5);
const DataItem* const DataItem::INVERSE_CORNER_RADIUS = Make<InverseCornerRadius, kThousand>(
    "Inverse Corner Radius", "inversecornerradius", kCar, LEVEL_DERIVED, Q_LENGTH, -50, 50);
const DataItem* const DataItem::STEERRADIUS = Make<SteerRadius, kMetresOrFeet>(
    "Steering Radius", "radiussteer", kCar, LEVEL_DERIVED, Q_LENGTH, 0, 400);
const DataItem* const DataItem::RADIUS =
    Make<Radius, kMetresOrFeet>("Actual Radius", "radius", kCar, LEVEL_DERIVED, Q_LENGTH, 0, 400);
const DataItem* const DataItem::SLIP =
    Make<Slip>("Slip Angle", "slipangle", kCar, LEVEL_DERIVED, Q_ANGLE, -10, 10);
const DataItem* const DataItem::RHMINST = Make<RHMinST>(
    "Ride Height - Suspension Travel Left", "rhminst", kWheel, LEVEL_DERIVED, Q_LENGTH, -10, 10);
const DataItem* const DataItem::FARBEXT = Make<FrontArbExt>(
    "Front Anti-roll bar Extension", "farbext", kCar, LEVEL_DERIVED, Q_LENGTH, -25, 25);
const DataItem* const DataItem::RARBEXT = Make<RearArbExt>(
    "Rear Anti-roll bar Extension", "rarbext", kCar, LEVEL_DERIVED, Q_LENGTH, -25, 25);
const DataItem* const DataItem::DIFFRATIO =
    Make<DiffRatio>("Differential Ratio", "diffratio", kCar, LEVEL_ANALYSIS, Q_FACTOR, 0, 0.2);
const DataItem* const DataItem::HCOGINT =
    Make<HCogInt>("COG Height Internal", "hcogint", kCar, LEVEL_ANALYSIS, Q_LENGTH, 0, 1000);
const DataItem* const DataItem::HCOGINTLAT = Make<HCogIntLat>(
    "COG Height Internal (lat.)", "lathcogint", kCar, LEVEL_ANALYSIS, Q_LENGTH, 0, 1000);
const DataItem* const DataItem::HCOGINTLONG = Make<HCogIntLong>(
    "COG Height Internal (long.)", "longhcogint", kCar, LEVEL_ANALYSIS, Q_LENGTH, 0, 1000);
const DataItem* const DataItem::HCOGEXT =
    Make<HCogExt>("COG Height External", "hcogext", kCar, LEVEL_ANALYSIS, Q_LENGTH, 0, 1000);
const DataItem* const DataItem::HCOG =
    Make<HCog>("COG Height", "hcog", kCar, LEVEL_MODEL, Q_LENGTH, 0, 1000);
const DataItem* const DataItem::DOWNFORCE =
    Make<Downforce>("Downforce", "downforce", kWheel, LEVEL_MODEL, Q_FORCE, 0, 20000);
const DataItem* const DataItem::DOWNFORCE0 =
    Make<Downforce0>("Downforce 0", "downforce0", kWheel, LEVEL_MODEL, Q_FORCE, 0, 20000);
const DataItem* const DataItem::POWER =
    Make<Power>("Power", "power", kCar, LEVEL_MODEL, Q_POWER, 0, 2000);
const DataItem* const DataItem::POWER0 =
    Make<Power0>("Power 0", "power0", kCar, LEVEL_ORIGINAL_SETUP, Q_POWER, 0, 2000);
const DataItem* const DataItem::TORQUE =
    Make<Torque>("Torque", "torque", kCar, LEVEL_MODEL, Q_TORQUE, 0, 500);
const DataItem* const DataItem::REVRANGESPEED = Make<RevRangeSpeed, Conversion::kRevsPerMinute>(
    "Revs 1st derivative", "drevsdx", kCar, LEVEL_ANALYSIS, Q_ANGULAR_ACCELERATION, 0, 15000);
const DataItem* const DataItem::TYRELOAD =
    Make<TyreLoad, Conversion::kByQuantity, TyreLoads>("Tyre Load", "tyreload", kWheel,
                                                       LEVEL_DERIVED, Q_FORCE, 0, 15000);
const DataItem* const DataItem::TYRELOAD0 = Make<TyreLoad0, Conversion::kByQuantity, TyreLoads0>(
    "Tyre Load 0", "tyreload0", kWheel, LEVEL_ORIGINAL_SETUP, Q_FORCE, -15000, 15000);
const DataItem* const DataItem::LONGITUDALTYREFORCE = Make<LongTyreForce>(
    "Longitudal Tyre Force", "longtyreforce", kWheel, LEVEL_DERIVED, Q_FORCE, -15000, 15000);
const DataItem* const DataItem::LATERALTYREFORCE = Make<LatTyreForce>(
    "Lateral Tyre Force", "lattyreforce", kWheel, LEVEL_DERIVED, Q_FORCE, -15000, 15000);
const DataItem* const DataItem::LONGITUDALSLIP =
    Make<LongitudalSlip>("Longitudal Slip", "longslip", kWheel, LEVEL_ANALYSIS, Q_FACTOR, -1, 1);
const DataItem* const DataItem::DRAGACC =
    Make<DragAcc>("Drag Acceleration", "dragacc", kCar, LEVEL_ANALYSIS, Q_ACCELERATION, -5, 5);
const DataItem* const DataItem::ACCFACTOR = Make<AccFactor>(
    "Acceleration Factor", "accfactor", kWheel, LEVEL_EXPERIMENTAL, Q_FORCE, -50, 50);
const DataItem* const DataItem::DAMPINGFORCES = Make<DampingForces>(
    "Damping Forces", "forcedamp", kWheel, LEVEL_EXPERIMENTAL, Q_FORCE, -25, 25);
const DataItem* const DataItem::SPRINGFORCES =
    Make<SpringForces>("Spring Forces", "forcespring", kWheel, LEVEL_ANALYSIS, Q_FORCE, 0, 10000);
const DataItem* const DataItem::ARBCONTRIB = Make<ArbContrib>(
    "ARB Contribution", "forcearb", kWheel, LEVEL_ANALYSIS, Q_FORCE, -12000, 12000);
const DataItem* const DataItem::CURVE_RADIUS = Make<CurveRadius, Conversion::kMetres>(
    "Virtual Curve Radius", "virtcurveradius", kCar, LEVEL_ANALYSIS, Q_LENGTH, -10000, 10000);
const DataItem* const DataItem::GRIPFACTOR =
    Make<GripFactor>("Grip Factor", "gripfactor", kWheel, LEVEL_ANALYSIS, Q_FACTOR, -10, 10);
const DataItem* const DataItem::RHPREDICTED =
    Make<RHPredicted>("Ride Height Predicted", "rhpred", kWheel, LEVEL_PREDICTED, Q_LENGTH, 0, 100);
const DataItem* const DataItem::RHMINIMUM =
    Make<RHMinimum>("Ride Height Minimum", "rhmin", kWheel, LEVEL_PREDICTED, Q_LENGTH, 0, 100);
const DataItem* const DataItem::GFPREDICTED = Make<GFPredicted>(
    "Grip Factor Predicted", "gripfactorpred", kWheel, LEVEL_PREDICTED, Q_FACTOR, -10, 10);
const DataItem* const DataItem::STMAXIMUM = Make<STMaximum>(
    "Suspension Travel Maximum", "setup.stmax", kWheel, LEVEL_SETUP, Q_LENGTH, 0, 100);
const DataItem* const DataItem::SETUP_FW =
    Make<SetupFW>("Front Wing", "setup.fw", kCar, LEVEL_SETUP, Q_SELECTION, 1, 20);
const DataItem* const DataItem::SETUP_RW =
    Make<SetupRW>("Rear Wing", "setup.rw", kCar, LEVEL_SETUP, Q_SELECTION, 1, 20);
const DataItem* const DataItem::SETUP_BB =
    Make<SetupBB>("Brake Balance", "setup.bb", kCar, LEVEL_SETUP, Q_FACTOR, 0.5, 0.75);
const DataItem* const DataItem::SETUP_GEARRATIO =
    Make<SetupGearRatio>("Gear Ratio", "setup.gearratio", kCar, LEVEL_SETUP, Q_FACTOR, 0, 2);
const DataItem* const DataItem::SETUP_DIFFRATIO = Make<SetupDiffRatio>(
    "Differential Ratio", "setup.diffratio", kCar, LEVEL_SETUP, Q_FACTOR, 0, 1);
const DataItem* const DataItem::SETUP_PACKERS =
    Make<SetupPackers>("Packers", "setup.p", kWheel, LEVEL_SETUP, Q_LENGTH, 0, 100);
const DataItem* const DataItem::SETUP_RIDEHEIGHT =
    Make<SetupRideHeight>("Static Ride Height", "setup.rh", kWheel, LEVEL_SETUP, Q_LENGTH, 0, 100);
const DataItem* const DataItem::SETUP_SPRING =
    Make<SetupSpring>("Spring", "setup.sp", kWheel, LEVEL_SETUP, Q_SPRING_CONSTANT, 0, 100000);
const DataItem* const DataItem::SETUP_FARB =
    Make<SetupFArb>("Front ARB", "setup.farb", kCar, LEVEL_SETUP, Q_SPRING_CONSTANT, 0, 100000);
const DataItem* const DataItem::SETUP_RARB =
    Make<SetupRArb>("Rear ARB", "setup.rarb", kCar, LEVEL_SETUP, Q_SPRING_CONSTANT, 0, 100000);
const DataItem* const DataItem::SETUP_CAMBER =
    Make<SetupCamber>("Static Camber", "setup.camber", kCar, LEVEL_SETUP, Q_ANGLE, -5, 5);
const DataItem* const DataItem::PHYS_MASS =
    Make<PhysMass>("Car Mass", "phys.mass", kCar, LEVEL_PHYSICS, Q_MASS, 0, 1000);
const DataItem* const DataItem::PHYS_SPRINGMASS =
    Make<PhysSpringMass>("Car Sprung Mass", "phys.spmass", kCar, LEVEL_PHYSICS, Q_MASS, 0, 1000);
const DataItem* const DataItem::PHYS_WHEELBASE =
    Make<PhysWheelBase>("Wheelbase", "phys.wheelbase", kCar, LEVEL_PHYSICS, Q_LENGTH, 0, 4000);
const DataItem* const DataItem::PHYS_COGDISTTOREAR = Make<PhysCogToRear>(
    "COG Distance to Rear", "phys.cogrear", kCar, LEVEL_PHYSICS, Q_LENGTH, 0, 4000);
const DataItem* const DataItem::PHYS_EFFDIFFRATIO = Make<PhysEffDiffRatio>(
    "Effective Differential Ratio", "phys.effdiffratio", kCar, LEVEL_PHYSICS, Q_FACTOR, 0, 1);
const DataItem* const DataItem::PHYS_FSGF =
    Make<PhysFsgf>("Front Susp. Geometry Factor", "phys.fsgf", kCar, LEVEL_PHYSICS, Q_FACTOR, 0, 2);
const DataItem* const DataItem::PHYS_RSGF =
    Make<PhysRsgf>("Rear Susp. Geometry Factor", "phys.rsgf", kCar, LEVEL_PHYSICS, Q_FACTOR, 0, 2);
const DataItem* const DataItem::PHYS_HEIGHTBASE =
    Make<PhysHeightBase>("Height Base", "phys.hbase", kCar, LEVEL_PHYSICS, Q_LENGTH, 0, 100);
const DataItem* const DataItem::PHYS_DELTABASE =
    Make<PhysDeltaBase>("Delta Base", "phys.delbase", kCar, LEVEL_PHYSICS, Q_LENGTH, 0, 100);

}  // namespace morlund
