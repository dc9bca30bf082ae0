#pragma once

#include <memory>
#include <string>
#include <vector>

namespace morlund {

class DataItem;
class PerfCore;
class Wheel;

// The registry of selectors, in ordinal order; it owns them.
using WheelPtrArray = std::vector<std::unique_ptr<Wheel>>;

// Which wheel, or which combination of the four wheels, a per-wheel channel
// is read for. The sixteen selectors are created when the library loads and
// live until it unloads. Wheel indices: 0 left rear, 1 right rear, 2 left
// front, 3 right front; combinations have negative codes.
class Wheel {
public:
    class Iterator {
    public:
        virtual ~Iterator() = default;
        virtual bool HasNext() const;
        // The selector at the position, then advances; past the end raises InvalidArgument.
        virtual const Wheel* GetNext();

    private:
        int m_position = 0;
    };

    virtual ~Wheel() = default;
    Wheel(const Wheel&) = default;
    Wheel& operator=(const Wheel&) = default;

    // The item's metric value for this selector.
    virtual double GetWheelValue(const DataItem* item, const PerfCore* buffer,
                                 int sample) const = 0;
    // Factor for a per-wheel item's display range shown for this selector.
    virtual double GetRangeFactor() const { return 1.0; }

    // The selector of a real wheel 0..3; null for any other index.
    static const Wheel* FromIndex(int index);
    // The selector with an ordinal; outside 0..count-1 raises InvalidArgument.
    static const Wheel* Get(int ordinal);
    static int GetCount();
    // A new iterator before the first selector; the caller owns it.
    static std::unique_ptr<Iterator> NewIterator();

    std::string GetName() const { return m_name; }
    std::string GetShortName() const { return m_shortName; }
    int GetIndex() const { return m_index; }
    int GetOrdinal() const { return m_ordinal; }

    static const Wheel* const ALL;
    static const Wheel* const LEFT_REAR;
    static const Wheel* const RIGHT_REAR;
    static const Wheel* const LEFT_FRONT;
    static const Wheel* const RIGHT_FRONT;
    static const Wheel* const SUM;
    static const Wheel* const SUM_REAR;
    static const Wheel* const SUM_FRONT;
    static const Wheel* const AVG;
    static const Wheel* const AVG_REAR;
    static const Wheel* const AVG_FRONT;
    static const Wheel* const DELTA;
    static const Wheel* const DELTA_LEFT;
    static const Wheel* const DELTA_RIGHT;
    static const Wheel* const DELTA_REAR;
    static const Wheel* const DELTA_FRONT;

    static int g_nNextOrdinal;

protected:
    Wheel(const char* name, const char* shortName, int index);

private:
    int m_ordinal;
    std::string m_name;
    std::string m_shortName;
    int m_index;
};

}  // namespace morlund
