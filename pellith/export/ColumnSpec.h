#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "morlund/items/Formula.h"
#include "pellith/export/ColumnItem.h"

namespace pellith {

// Export columns written as text, one per spec, specs joined by commas:
//
//   [?]SHORT[.WHEEL][[[!]MIN:MAX]]
//
// SHORT is a channel's short name and WHEEL a wheel selector's short name,
// resolved as formulas resolve them (morlund::ResolveChannelName). A per-wheel
// channel without a wheel is written for all four wheels. A range keeps the
// rows whose value lies inside it, in display units; "!" keeps those outside;
// either bound may be left empty. A leading "?" makes a column that only
// filters rows and is not written.
struct ColumnSpecResult {
    enum Status { kOk, kEmptyColumn, kBadRange, kNoChannel, kUnknownWheel, kNotPerWheel };
    Status status = kOk;
    std::vector<ColumnItem> columns;  // in the order written; empty on failure
    std::string spec;                 // the column text that failed, as written
    std::string message;              // why it failed, for the user

    bool IsOk() const { return status == kOk; }
};

// One column spec.
ColumnSpecResult ParseColumnSpec(
    std::string_view spec, const morlund::FormulaNames& names = morlund::FormulaNames::Global());
// A comma-separated list of specs; the first bad one fails the whole list.
ColumnSpecResult ParseColumnList(
    std::string_view list, const morlund::FormulaNames& names = morlund::FormulaNames::Global());

// A number as ranges write their bounds: a decimal or exponent number taking
// the whole text (leading blanks allowed), finite; nothing otherwise.
std::optional<double> ParseNumber(std::string_view text);

}  // namespace pellith
