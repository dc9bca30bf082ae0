#pragma once

#include <string_view>

#include "morlund/items/Formula.h"

namespace morlund {

class DataItem;
class Wheel;

// A channel as formulas, column lists and settings name it: an item's short
// name, or "item.wheel" for a per-wheel item read through one wheel selector
// ("rh.lf", "setup.rh.lf").
struct ChannelName {
    enum class Status {
        kFound,
        kNoItem,        // no item of that name, whole or before the last dot
        kUnknownWheel,  // the item exists, the text after the last dot is no selector
        kNotPerWheel,   // a car item with a wheel selector
    };
    Status status = Status::kNoItem;
    const DataItem* item = nullptr;  // null only with kNoItem
    const Wheel* wheel = nullptr;    // the selector named after the dot; null without one
    std::string_view wheelName;      // the text after the last dot (a view into the name)

    bool IsFound() const { return status == Status::kFound; }
};

// The one resolver of channel names. Names are exact: case counts, nothing is
// trimmed. The whole name is tried first, so short names that contain dots
// ("setup.fw") are found whole; otherwise the name is split at its last dot
// into an item and a wheel selector, and only a per-wheel item takes a
// selector. Items come from the name tables, where the first item of a short
// name (a standard item before any formula item) is the one found.
ChannelName ResolveChannelName(std::string_view name,
                               const FormulaNames& names = FormulaNames::Global());

}  // namespace morlund
