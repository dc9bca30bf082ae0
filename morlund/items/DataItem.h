#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "morlund/items/Wheel.h"

namespace morlund {

class CDistanceArray;
class DataItem;
class PerfCore;

// Every registered item in ordinal order. An item destroyed while still
// registered leaves a null slot, so the ordinals of the others stay valid.
using DataItemPtrArray = std::vector<DataItem*>;

// A channel of the catalogue: its names, whether it exists per wheel, its
// group, its physical quantity, its display range and the rule that yields its
// value at a sample. Values are computed in SI base units and converted for
// display by a factor that depends on the quantity and the imperial switch.
//
// Items register themselves on construction and take the next ordinal: the
// eighty standard items first (created when the library loads), formula items
// after them. The registry deletes the items handed to it with Adopt, last
// first, when the library unloads.
class DataItem {
public:
    enum DataType { DT_WHEEL = 0, DT_CAR = 1 };
    enum Level {
        LEVEL_MEASURED = 0,
        LEVEL_DERIVED = 1,
        LEVEL_CUSTOM = 2,
        LEVEL_MODEL = 3,
        LEVEL_ANALYSIS = 4,
        LEVEL_PREDICTED = 5,
        LEVEL_SETUP = 6,
        LEVEL_PHYSICS = 7,
        LEVEL_ORIGINAL_SETUP = 8,
        LEVEL_EXPERIMENTAL = 9,
    };
    enum Quantity {
        Q_LENGTH = 0,
        Q_TIME = 1,
        Q_MASS = 2,
        Q_VELOCITY = 3,
        Q_ACCELERATION = 4,
        Q_ANGLE = 5,
        Q_ANGULAR_VELOCITY = 6,
        Q_ANGULAR_ACCELERATION = 7,
        Q_FORCE = 8,
        Q_ENERGY = 9,
        Q_POWER = 10,
        Q_TORQUE = 11,
        Q_FACTOR = 12,
        Q_SELECTION = 13,
        Q_SPRING_CONSTANT = 14,
    };

    // Walks the registry in ordinal order, passing over removed items.
    class Iterator {
    public:
        virtual ~Iterator() = default;
        virtual bool HasNext() const;
        // The item at the position, then advances; past the end raises InvalidArgument.
        virtual DataItem* GetNext();

    private:
        int m_position = 0;
    };

    // A copy carries every field, the ordinal included, but is not registered.
    DataItem(const DataItem&) = default;
    DataItem& operator=(const DataItem&) = default;
    virtual ~DataItem();

    virtual int GetOrdinal() const { return m_ordinal; }
    virtual const std::string& GetName() const { return m_name; }
    virtual const std::string& GetShortName() const { return m_shortName; }
    virtual DataType GetDataType() const { return m_dataType; }
    virtual Level GetLevel() const { return m_level; }
    virtual Quantity GetQuantity() const { return m_quantity; }
    // Display range, in the display unit of the metric setting.
    virtual double GetMinValue() const { return m_minValue; }
    virtual double GetMaxValue() const { return m_maxValue; }

    // The value in SI base units. A per-wheel item reads wheel 0..3; a car
    // item ignores the wheel (callers pass -1).
    virtual double GetMetricValue(const PerfCore* buffer, int sample, int wheel) const = 0;
    // Factor from the metric value to the display value; by default the
    // quantity's rule (GetQuantityConversionFactor).
    virtual double GetUnitConversionFactor() const;
    // The value at a track distance, interpolated between the samples around it.
    virtual double GetMetricValueFromDist(const PerfCore* buffer, double distance,
                                          const Wheel* wheel, int smoothing) const;
    // True for the catalogue's own items, false for formula items.
    virtual bool IsStandard() const { return true; }

    // --- values ------------------------------------------------------------------
    // A car item ignores the selector; a per-wheel item asks the selector,
    // which combines the four wheel values (a null selector reads as ALL: 0).
    double GetMetricValueEx(const PerfCore* buffer, int sample, const Wheel* wheel) const {
        if (m_dataType == DT_CAR) return GetMetricValue(buffer, sample, -1);
        return wheel != nullptr ? wheel->GetWheelValue(this, buffer, sample) : 0.0;
    }
    // The mean over sample-smoothing..sample+smoothing, cut at the buffer's ends.
    double GetMetricValueEx(const PerfCore* buffer, int sample, const Wheel* wheel,
                            int smoothing) const;
    double GetConvertedValueEx(const PerfCore* buffer, int sample, const Wheel* wheel) const {
        return GetMetricValueEx(buffer, sample, wheel) * GetUnitConversionFactor();
    }
    double GetConvertedValueEx(const PerfCore* buffer, int sample, const Wheel* wheel,
                               int smoothing) const {
        return GetMetricValueEx(buffer, sample, wheel, smoothing) * GetUnitConversionFactor();
    }
    double GetConvertedValueEx(const PerfCore* buffer, double distance, const Wheel* wheel,
                               int smoothing) const {
        return GetMetricValueFromDist(buffer, distance, wheel, smoothing) *
               GetUnitConversionFactor();
    }
    // The selector's index goes to the item as its wheel. A per-wheel item has
    // no wheel -2..-12, so combinations (and ALL) are left to the selector.
    double GetConvertedValue(const PerfCore* buffer, int sample, const Wheel* wheel) const {
        const int index = wheel != nullptr ? wheel->GetIndex() : -1;
        if (m_dataType == DT_WHEEL && index < 0) return GetConvertedValueEx(buffer, sample, wheel);
        return GetMetricValue(buffer, sample, index) * GetUnitConversionFactor();
    }
    // GetConvertedValue of samples first..end-1 into out: the same values, for a whole
    // lap at a time (items may compute them faster so).
    virtual void GetConvertedValues(const PerfCore* buffer, int first, int end,
                                    const Wheel* wheel, double* out) const;

    // --- units -------------------------------------------------------------------
    // The metric unit of the item's quantity ("m", "m/s", ...).
    std::string GetShortQuantityName() const { return GetQuantityUnitName(GetQuantity()); }
    // The display unit: named by quantity and factor (GetUnitName).
    std::string GetShortConvertedQuantityName() const {
        return GetUnitName(GetQuantity(), GetUnitConversionFactor());
    }

    static std::string GetQuantityUnitName(Quantity quantity);
    // The display unit for a factor: the metric unit for exactly 1, a known
    // name for the factors in use ("mm", "km/h", "deg" ...), otherwise
    // "x 1/<factor> <metric unit>".
    static std::string GetUnitName(Quantity quantity, double factor);
    // The base conversion rule of a quantity under the current imperial switch.
    static double GetQuantityConversionFactor(Quantity quantity);
    // "Length", "Time" ... as the program lists quantities; empty for an unknown one.
    static const char* GetQuantityName(Quantity quantity);
    // "Wheel specific" or "Car".
    static const char* GetDataTypeName(DataType type);

    // The imperial switch: display factors and unit names only, never values.
    static bool IsDistanceInMiles() { return g_fDistanceInMiles; }
    static void SetDistanceInMiles(bool miles) { g_fDistanceInMiles = miles; }

    // --- registry ----------------------------------------------------------------
    // The item with an ordinal; outside 0..count-1 (or removed) raises InvalidArgument.
    static DataItem* Get(int ordinal);
    static int GetCount();
    // A new iterator before the first item; the caller owns it.
    static std::unique_ptr<Iterator> NewIterator();
    // Hands a registered item to the registry, which deletes it when the
    // library unloads. An item not in the registry raises InvalidArgument.
    template <class T>
    static T* Adopt(std::unique_ptr<T> item) {
        T* raw = item.get();
        AdoptItem(std::unique_ptr<DataItem>(std::move(item)));
        return raw;
    }

    static int g_nNextOrdinal;

    // --- the catalogue -----------------------------------------------------------
    static const DataItem* const DISTANCE;
    static const DataItem* const TIME;
    static const DataItem* const SPEED;
    static const DataItem* const STEERING;
    static const DataItem* const THROTTLE;
    static const DataItem* const BRAKE;
    static const DataItem* const REVS;
    static const DataItem* const GEAR;
    static const DataItem* const RIDEHEIGHT;
    static const DataItem* const RHSLOW;
    static const DataItem* const RHDERIVED1;
    static const DataItem* const RHDERIVED2;
    static const DataItem* const SUSPTRAVEL;
    static const DataItem* const STSLOW;
    static const DataItem* const STDERIVED1;
    static const DataItem* const STDERIVED2;
    static const DataItem* const WHEELSPEED;
    static const DataItem* const WHEELSPIN;
    static const DataItem* const WHEELACC;
    static const DataItem* const CAMBER;
    static const DataItem* const ANGLE;
    static const DataItem* const LONGITUDALACC;
    static const DataItem* const LATERALACC;
    static const DataItem* const COMBINEDACC;
    static const DataItem* const CALCULATEDACC;
    static const DataItem* const INVERSE_CORNER_RADIUS;
    static const DataItem* const STEERRADIUS;
    static const DataItem* const RADIUS;
    static const DataItem* const SLIP;
    static const DataItem* const RHMINST;
    static const DataItem* const FARBEXT;
    static const DataItem* const RARBEXT;
    static const DataItem* const DIFFRATIO;
    static const DataItem* const HCOGINT;
    static const DataItem* const HCOGINTLAT;
    static const DataItem* const HCOGINTLONG;
    static const DataItem* const HCOGEXT;
    static const DataItem* const HCOG;
    static const DataItem* const DOWNFORCE;
    static const DataItem* const DOWNFORCE0;
    static const DataItem* const POWER;
    static const DataItem* const POWER0;
    static const DataItem* const TORQUE;
    static const DataItem* const REVRANGESPEED;
    static const DataItem* const TYRELOAD;
    static const DataItem* const TYRELOAD0;
    static const DataItem* const LONGITUDALTYREFORCE;
    static const DataItem* const LATERALTYREFORCE;
    static const DataItem* const LONGITUDALSLIP;
    static const DataItem* const DRAGACC;
    static const DataItem* const ACCFACTOR;
    static const DataItem* const DAMPINGFORCES;
    static const DataItem* const SPRINGFORCES;
    static const DataItem* const ARBCONTRIB;
    static const DataItem* const CURVE_RADIUS;
    static const DataItem* const GRIPFACTOR;
    static const DataItem* const RHPREDICTED;
    static const DataItem* const RHMINIMUM;
    static const DataItem* const GFPREDICTED;
    static const DataItem* const STMAXIMUM;
    static const DataItem* const SETUP_FW;
    static const DataItem* const SETUP_RW;
    static const DataItem* const SETUP_BB;
    static const DataItem* const SETUP_GEARRATIO;
    static const DataItem* const SETUP_DIFFRATIO;
    static const DataItem* const SETUP_PACKERS;
    static const DataItem* const SETUP_RIDEHEIGHT;
    static const DataItem* const SETUP_SPRING;
    static const DataItem* const SETUP_FARB;
    static const DataItem* const SETUP_RARB;
    static const DataItem* const SETUP_CAMBER;
    static const DataItem* const PHYS_MASS;
    static const DataItem* const PHYS_SPRINGMASS;
    static const DataItem* const PHYS_WHEELBASE;
    static const DataItem* const PHYS_COGDISTTOREAR;
    static const DataItem* const PHYS_EFFDIFFRATIO;
    static const DataItem* const PHYS_FSGF;
    static const DataItem* const PHYS_RSGF;
    static const DataItem* const PHYS_HEIGHTBASE;
    static const DataItem* const PHYS_DELTABASE;

    static constexpr int kStandardItemCount = 80;

protected:
    // Registers the item with the next ordinal.
    DataItem(std::string name, std::string shortName, DataType dataType, Level level,
             Quantity quantity, double minValue, double maxValue);
    // An item outside the registry (ordinal -1, no names), for stand-ins that
    // only need the value rule.
    DataItem();

    // Binary search of the distance index, then linear interpolation between
    // the samples on either side; the ends of the lap hold their values.
    double DoGetMetricValueFromDist(const CDistanceArray& index, const PerfCore* buffer,
                                    double distance, const Wheel* wheel, int smoothing) const;

    void SetName(std::string name) { m_name = std::move(name); }
    void SetShortName(std::string shortName) { m_shortName = std::move(shortName); }
    void SetDataType(DataType dataType) { m_dataType = dataType; }
    void SetLevel(Level level) { m_level = level; }
    void SetQuantity(Quantity quantity) { m_quantity = quantity; }
    void SetMinValue(double value) { m_minValue = value; }
    void SetMaxValue(double value) { m_maxValue = value; }

private:
    static void AdoptItem(std::unique_ptr<DataItem> item);

    static bool g_fDistanceInMiles;

    int m_ordinal = -1;
    std::string m_name;
    std::string m_shortName;
    DataType m_dataType = DT_WHEEL;
    Level m_level = LEVEL_MEASURED;
    Quantity m_quantity = Q_FACTOR;
    double m_minValue = 0.0;
    double m_maxValue = 0.0;
};

}  // namespace morlund
