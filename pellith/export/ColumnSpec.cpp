#include "pellith/export/ColumnSpec.h"

#include <charconv>
#include <cmath>

#include "morlund/items/ChannelName.h"

namespace pellith {

using morlund::ChannelName;

namespace {

ColumnSpecResult Failure(ColumnSpecResult::Status status, std::string_view spec,
                         std::string message) {
    ColumnSpecResult result;
    result.status = status;
    result.spec = spec;
    result.message = std::move(message);
    return result;
}

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
    // from_chars reads the same under every locale: the program runs under the
    // user's, where strtod may want a decimal comma.
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

ColumnSpecResult ParseColumnSpec(std::string_view spec, const morlund::FormulaNames& names) {
    const std::string column = "column " + Quoted(spec) + ": ";
    std::string_view text = spec;
    const bool rangeOnly = !text.empty() && text.front() == '?';
    if (rangeOnly) text.remove_prefix(1);

    std::optional<std::string_view> range;
    if (const std::size_t open = text.find('['); open != std::string_view::npos) {
        if (text.back() != ']') {
            return Failure(ColumnSpecResult::kBadRange, spec,
                           column + "a range is written [MIN:MAX]");
        }
        range = text.substr(open + 1, text.size() - open - 2);
        text = text.substr(0, open);
    }

    const ChannelName channel = morlund::ResolveChannelName(text, names);
    switch (channel.status) {
        case ChannelName::Status::kFound:
            break;
        case ChannelName::Status::kNoItem:
            return Failure(ColumnSpecResult::kNoChannel, spec, column + "no such channel");
        case ChannelName::Status::kUnknownWheel:
            return Failure(ColumnSpecResult::kUnknownWheel, spec,
                           column + "unknown wheel " + Quoted(channel.wheelName));
        case ChannelName::Status::kNotPerWheel:
            return Failure(ColumnSpecResult::kNotPerWheel, spec,
                           column + channel.item->GetShortName() + " is not a per-wheel channel");
    }

    ColumnItem item = ColumnItem::Make(channel.item, channel.wheel);
    item.rangeOnly = rangeOnly;
    if (range) {
        std::string_view bounds = *range;
        if (!bounds.empty() && bounds.front() == '!') {
            item.exclude = true;
            bounds.remove_prefix(1);
        }
        const std::size_t colon = bounds.find(':');
        const std::optional<double> low =
            colon == std::string_view::npos ? std::nullopt : ParseNumber(bounds.substr(0, colon));
        const std::optional<double> high =
            colon == std::string_view::npos ? std::nullopt : ParseNumber(bounds.substr(colon + 1));
        // Either side may be empty, but what is written must be a number.
        if (colon == std::string_view::npos || (colon > 0 && !low) ||
            (colon + 1 < bounds.size() && !high)) {
            return Failure(ColumnSpecResult::kBadRange, spec,
                           column + "a range is written [MIN:MAX]");
        }
        if (low) item.minimum = *low;
        if (high) item.maximum = *high;
    }
    ColumnSpecResult result;
    result.columns.push_back(item);
    return result;
}

ColumnSpecResult ParseColumnList(std::string_view list, const morlund::FormulaNames& names) {
    ColumnSpecResult result;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = list.find(',', start);
        const std::string_view spec = list.substr(start, comma - start);
        if (spec.empty()) {
            return Failure(ColumnSpecResult::kEmptyColumn, spec,
                           "the column list has an empty column");
        }
        ColumnSpecResult one = ParseColumnSpec(spec, names);
        if (!one.IsOk()) return one;
        result.columns.push_back(one.columns.front());
        if (comma == std::string_view::npos) return result;
        start = comma + 1;
    }
}

}  // namespace pellith
