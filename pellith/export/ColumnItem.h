#pragma once

#include <string>

#include "morlund/items/DataItem.h"
#include "morlund/items/Wheel.h"

namespace pellith {

// One column of an export: a catalogue item, read for one wheel selector or
// for all four wheels, with an optional value range that filters rows.
struct ColumnItem {
    // Bounds at or beyond these values mean "no bound".
    static constexpr double kNoMinimum = -2147483648.0;
    static constexpr double kNoMaximum = 2147483647.0;

    const morlund::DataItem* item = nullptr;
    const morlund::Wheel* wheel = morlund::Wheel::ALL;  // ALL or one selector
    bool exclude = false;    // keep rows whose value lies outside the range
    bool rangeOnly = false;  // filters rows but is not written
    double minimum = kNoMinimum;
    double maximum = kNoMaximum;

    // A column as the Add button makes it: the wheel counts only for a
    // per-wheel item (otherwise ALL); no bounds, include, written.
    static ColumnItem Make(const morlund::DataItem* item, const morlund::Wheel* wheel);

    // Compared as doubles: a bound far beyond the 32-bit range is absent too.
    // A bound that is not a number is treated as absent.
    bool HasMinimum() const { return minimum > kNoMinimum; }
    bool HasMaximum() const { return maximum < kNoMaximum; }
    void ClearRange() {
        minimum = kNoMinimum;
        maximum = kNoMaximum;
        exclude = false;
    }
    // The range test of one value.
    bool Passes(double v) const;

    bool IsPerWheel() const { return item->GetDataType() == morlund::DataItem::DT_WHEEL; }
    // A per-wheel item with ALL is written as four cells, one per wheel.
    bool IsFourWheels() const { return IsPerWheel() && wheel == morlund::Wheel::ALL; }
    // Cells this column adds to a line.
    int GetCellCount() const { return rangeOnly ? 0 : IsFourWheels() ? 4 : 1; }

    // The column list's text: the item's name, with " (wheel)" for per-wheel items.
    std::string GetListText() const;
};

}  // namespace pellith
