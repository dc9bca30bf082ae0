#include "morlund/items/DataItem.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "morlund/core/DistanceArray.h"
#include "morlund/core/PerfCore.h"

namespace morlund {

bool DataItem::g_fDistanceInMiles = false;

namespace {

// Display factors. The comparisons in the unit names are exact, so every
// factor that is named there is one of these constants.
constexpr double kMillimetres = 1000.0;
constexpr double kKilometres = 0.001;
constexpr double kFeet = 3.280839895013123;
constexpr double kMiles = 0.0006215040397762585;  // 1/1609: a mile is 1609 m throughout
constexpr double kMinutes = 0.016666666666666666;
constexpr double kHours = 0.0002777777777777778;
constexpr double kTonnes = 0.001;
constexpr double kKilometresPerHour = 3600.0 / 1000.0;
constexpr double kMilesPerHour = 3600.0 / 1609.0;
constexpr double kGravities = 0.1019367991845056;  // 1/9.81
constexpr double kDegrees = 57.29577951308232;
constexpr double kRevsPerMinute = 9.549296585513721;
constexpr double kBrakeHorsePower = 0.0013596211551613257;  // 1/735.499, metric horsepower

}  // namespace

double DataItem::GetQuantityConversionFactor(Quantity quantity) {
    switch (quantity) {
        case Q_LENGTH:
            return kMillimetres;
        case Q_VELOCITY:
            return g_fDistanceInMiles ? kMilesPerHour : kKilometresPerHour;
        case Q_ACCELERATION:
            return kGravities;
        case Q_ANGLE:
            return kDegrees;
        case Q_ANGULAR_VELOCITY:
            return kRevsPerMinute;
        case Q_POWER:
            return kBrakeHorsePower;
        default:
            return 1.0;
    }
}

double DataItem::GetUnitConversionFactor() const {
    return GetQuantityConversionFactor(GetQuantity());
}

std::string DataItem::GetQuantityUnitName(Quantity quantity) {
    switch (quantity) {
        case Q_LENGTH:
            return "m";
        case Q_TIME:
            return "s";
        case Q_MASS:
            return "kg";
        case Q_VELOCITY:
            return "m/s";
        case Q_ACCELERATION:
            return "m/s\u00b2";
        case Q_ANGLE:
            return "rad";
        case Q_ANGULAR_VELOCITY:
            return "rad/s";
        case Q_ANGULAR_ACCELERATION:
            return "rad/s\u00b2";
        case Q_FORCE:
            return "N";
        case Q_ENERGY:
            return "J";
        case Q_POWER:
            return "W";
        case Q_TORQUE:
            return "J/rad";
        case Q_SPRING_CONSTANT:
            return "N/m";
        default:  // factor, selection and unknown quantities have no unit
            return "";
    }
}

std::string DataItem::GetUnitName(Quantity quantity, double factor) {
    if (factor == 1.0) return GetQuantityUnitName(quantity);
    const char* name = nullptr;
    switch (quantity) {
        case Q_LENGTH:
            if (factor == kMillimetres) name = "mm";
            if (factor == kKilometres) name = "km";
            if (factor == kFeet) name = "ft";
            if (factor == kMiles) name = "mile";
            break;
        case Q_TIME:
            if (factor == kMinutes) name = "min";
            if (factor == kHours) name = "h";
            break;
        case Q_MASS:
            if (factor == kTonnes) name = "t";
            break;
        case Q_VELOCITY:
            if (factor == kKilometresPerHour) name = "km/h";
            if (factor == 1000.0) name = "mm/s";
            if (factor == kMilesPerHour) name = "mile/h";
            break;
        case Q_ACCELERATION:
            if (factor == kGravities) name = "g";
            if (factor == 1000.0) name = "mm/s\u00b2";
            break;
        case Q_ANGLE:
            if (factor == kDegrees) name = "deg";
            break;
        case Q_ANGULAR_VELOCITY:
            if (factor == kRevsPerMinute) name = "rev/min";
            break;
        case Q_ANGULAR_ACCELERATION:
            if (factor == kRevsPerMinute) name = "(rev/min)/s";
            break;
        case Q_POWER:
            if (factor == kBrakeHorsePower) name = "BHP";
            break;
        default:
            break;
    }
    if (name != nullptr) return name;

    const std::string unit = GetQuantityUnitName(quantity);
    const int length = std::snprintf(nullptr, 0, "x 1/%.2f %s", factor, unit.c_str());
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length), '\0');
    std::snprintf(text.data(), text.size() + 1, "x 1/%.2f %s", factor, unit.c_str());
    return text;
}

const char* DataItem::GetQuantityName(Quantity quantity) {
    static const char* const kNames[] = {"Length",
                                         "Time",
                                         "Mass",
                                         "Velocity",
                                         "Acceleration",
                                         "Angle",
                                         "Angular Velocity",
                                         "Angular Acceleration",
                                         "Force",
                                         "Energy",
                                         "Power",
                                         "Torque",
                                         "Factor",
                                         "Selection",
                                         "Spring Constant"};
    const int q = static_cast<int>(quantity);
    return q >= 0 && q < static_cast<int>(std::size(kNames)) ? kNames[q] : "";
}

const char* DataItem::GetDataTypeName(DataType type) {
    return type == DT_CAR ? "Car" : "Wheel specific";
}

void DataItem::GetConvertedValues(const PerfCore* buffer, int first, int end,
                                  const Wheel* wheel, double* out) const {
    for (int i = first; i < end; ++i)
        *out++ = GetConvertedValue(buffer, i, wheel);
}

double DataItem::GetMetricValueEx(const PerfCore* buffer, int sample, const Wheel* wheel,
                                  int smoothing) const {
    // A negative half-window would leave no samples to average.
    if (smoothing <= 0) return GetMetricValueEx(buffer, sample, wheel);
    const std::int64_t last = buffer->GetSampleCount() - std::int64_t{1};
    const int from = static_cast<int>(std::max<std::int64_t>(std::int64_t{sample} - smoothing, 0));
    const int to = static_cast<int>(std::min<std::int64_t>(std::int64_t{sample} + smoothing, last));
    if (to < from) return 0.0;
    double sum = 0.0;
    for (int i = from; i <= to; ++i)
        sum += GetMetricValueEx(buffer, i, wheel);
    return sum / (to - from + 1);
}

double DataItem::GetMetricValueFromDist(const PerfCore* buffer, double distance, const Wheel* wheel,
                                        int smoothing) const {
    return DoGetMetricValueFromDist(buffer->GetDistanceArray(), buffer, distance, wheel, smoothing);
}

double DataItem::DoGetMetricValueFromDist(const CDistanceArray& index, const PerfCore* buffer,
                                          double distance, const Wheel* wheel,
                                          int smoothing) const {
    const int count = index.GetCount();
    if (count == 0) return 0.0;  // a buffer without samples has no value anywhere
    const CDistanceArray::Hit hit = index.Find(distance);
    auto valueAt = [&](int position) {
        return GetMetricValueEx(buffer, index.GetAt(position).sample, wheel, smoothing);
    };
    if (hit.found) return valueAt(hit.index);
    if (hit.index == 0) return valueAt(0);
    if (hit.index >= count) return valueAt(count - 1);

    const int a = index.GetAt(hit.index - 1).sample;
    const int b = index.GetAt(hit.index).sample;
    const double va = GetMetricValueEx(buffer, a, wheel, smoothing);
    const double vb = GetMetricValueEx(buffer, b, wheel, smoothing);
    const double da = index.GetDistance(*buffer, a);
    const double db = index.GetDistance(*buffer, b);
    if (da == db) return vb;
    return va + (distance - da) / (db - da) * (vb - va);
}

}  // namespace morlund
