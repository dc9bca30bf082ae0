#include "lapgen/CsvWriter.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <stdexcept>
#include <system_error>

namespace lapgen {

double CsvColumnValue(const Sample& s, int column) {
    switch (column) {
        case 0:
            return s.time;
        case 1:
            return s.distance;
        case 2:
            return s.speed;
        case 3:
            return s.longAcc;
        case 4:
            return s.latAcc;
        case 5:
            return s.revs;
        case 6:
            return s.throttle * 100.0;
        case 7:
            return s.brake * 100.0;
        case 8:
            return s.steering;
        case 9:
            return s.gear;
        case 26:
            return s.x;
        case 27:
            return s.y;
        default:
            break;
    }
    if (column >= 10 && column < 26) {
        const int w = (column - 10) % 4;
        switch ((column - 10) / 4) {
            case 0:
                return s.rideHeight[w];
            case 1:
                return s.suspTravel[w];
            case 2:
                return s.wheelSpeed[w];
            default:
                return s.camber[w];
        }
    }
    throw std::invalid_argument("CSV column out of range");
}

std::string FormatCsvValue(double value, int significantDigits) {
    char text[64];
    const std::to_chars_result r =
        significantDigits > 0 ? std::to_chars(text, text + sizeof text, value,
                                              std::chars_format::general, significantDigits)
                              : std::to_chars(text, text + sizeof text, value);
    if (r.ec != std::errc()) throw std::runtime_error("CSV value does not format");
    return std::string(text, r.ptr);
}

namespace {

std::string DefaultDate(const LapSpec& spec) {
    char text[64];
    std::snprintf(text, sizeof text, "day %d %02d:%02d:%02d", spec.dateDays, spec.hours,
                  spec.minutes, spec.seconds);
    return text;
}

std::string Quoted(const std::string& text, bool quote) {
    return quote ? "\"" + text + "\"" : text;
}

void Append(std::vector<std::uint8_t>& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

}  // namespace

std::vector<std::uint8_t> WriteGenericCsv(const Lap& lap, const CsvOptions& options) {
    std::vector<int> columns = options.columns;
    if (columns.empty()) {
        for (int c = 0; c < kCsvColumnCount; ++c)
            columns.push_back(c);
    }
    for (int c : columns) {
        if (c < 0 || c >= kCsvColumnCount) throw std::invalid_argument("CSV column out of range");
    }
    std::size_t count = lap.samples.size();
    if (options.sampleLimit >= 0 && static_cast<std::size_t>(options.sampleLimit) < count) {
        count = static_cast<std::size_t>(options.sampleLimit);
    }

    std::vector<std::uint8_t> out;
    out.reserve(count * columns.size() * 20 + 1024);
    if (options.infoLine) {
        Append(out, *options.infoLine);
    } else {
        Append(out, Quoted(options.info.value_or(lap.spec.name), options.quoteInfo));
        Append(out, ",");
        Append(out, Quoted(options.date.value_or(DefaultDate(lap.spec)), options.quoteInfo));
        Append(out, "," + FormatCsvValue(lap.lapTime, 0) + "," + std::to_string(lap.spec.track) +
                        "," + std::to_string(lap.spec.lapNumber));
    }
    Append(out, options.lineEnd);

    std::string names;
    for (int c : columns) {
        if (!names.empty()) names += ',';
        names += kCsvColumnNames[static_cast<std::size_t>(c)];
    }
    for (const std::string& extra : options.extraNames)
        names += (names.empty() ? "" : ",") + extra;
    if (options.upperCaseNames) {
        for (char& ch : names)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    }
    Append(out, names);
    Append(out, options.lineEnd);

    char text[64];
    for (std::size_t i = 0; i < count; ++i) {
        const Sample& s = lap.samples[i];
        std::size_t written = columns.size();
        if (options.shortLineEvery > 0 &&
            (i + 1) % static_cast<std::size_t>(options.shortLineEvery) == 0) {
            written = columns.size() / 2;
        }
        for (std::size_t k = 0; k < written; ++k) {
            if (k > 0) out.push_back(',');
            const double v = CsvColumnValue(s, columns[k]);
            const std::to_chars_result r =
                options.significantDigits > 0
                    ? std::to_chars(text, text + sizeof text, v, std::chars_format::general,
                                    options.significantDigits)
                    : std::to_chars(text, text + sizeof text, v);
            out.insert(out.end(), text, r.ptr);
        }
        for (int k = 0; k < options.surplusValues; ++k)
            Append(out, ",9");
        if (i + 1 < count || options.finalLineEnd) Append(out, options.lineEnd);
        if (options.blankLineEvery > 0 &&
            (i + 1) % static_cast<std::size_t>(options.blankLineEvery) == 0 && i + 1 < count) {
            Append(out, options.lineEnd);
        }
    }
    return out;
}

}  // namespace lapgen
