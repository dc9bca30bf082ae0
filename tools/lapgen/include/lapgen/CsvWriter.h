// Writer for generic comma-separated perf files: a lap-information line, a line of column names
// and one line per sample. Knobs produce the broken and unusual variants reader tests need.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lapgen/Model.h"

namespace lapgen {

inline constexpr int kCsvColumnCount = 28;

// Column vocabulary; the position is the column's index.
inline constexpr std::array<std::string_view, kCsvColumnCount> kCsvColumnNames = {
    "time",  "dist",  "speed", "acc_long", "acc_lat", "revs",  "throttle",
    "brake", "steer", "gear",  "rh_lr",    "rh_rr",   "rh_lf", "rh_rf",
    "st_lr", "st_rr", "st_lf", "st_rf",    "ws_lr",   "ws_rr", "ws_lf",
    "ws_rf", "ca_lr", "ca_rr", "ca_lf",    "ca_rf",   "pos_x", "pos_y"};

struct CsvOptions {
    // Lap information. Unset: the lap's name and a date made of its day count and time.
    std::optional<std::string> info;
    std::optional<std::string> date;
    bool quoteInfo = false;  // write the two text fields inside double quotes
    // Replaces the whole lap-information line (without line end) for malformed variants.
    std::optional<std::string> infoLine;

    // Column indices in file order; empty means all 28 in index order.
    std::vector<int> columns;
    bool upperCaseNames = false;
    // Written after the real names, e.g. "rpm" or repeated names to exceed the vocabulary.
    std::vector<std::string> extraNames;

    // 0: shortest text that reads back to exactly the same double; otherwise significant digits.
    int significantDigits = 0;
    std::string lineEnd = "\n";
    bool finalLineEnd = true;
    int blankLineEvery = 0;  // a blank line after every k-th sample line
    int shortLineEvery = 0;  // every k-th sample line carries only its first half of values
    int surplusValues = 0;   // values written after the named ones on every sample line
    int sampleLimit = -1;    // write only the first samples (-1: all)
};

// The value the writer stores for a column: SI units, throttle and brake in percent.
double CsvColumnValue(const Sample& sample, int column);

// Text of a value as the writer formats it.
std::string FormatCsvValue(double value, int significantDigits);

std::vector<std::uint8_t> WriteGenericCsv(const Lap& lap, const CsvOptions& options = {});

}  // namespace lapgen
