#include "pellith/analysis/AnalysisText.h"

#include <cmath>
#include <cstdio>

#include "morlund/core/PerfCore.h"
#include "pellith/stats/LapTimeText.h"

namespace pellith {

namespace {

const char* const kNone = "\xe2\x80\x94";  // an em dash

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// The display units of the tables: km/h and m, or mph and ft, as the statistics table.
struct Units {
    double speed, distance;
    const char *speedName, *distanceName;
};
Units UnitsOf(bool miles) {
    if (miles) return {3.6 * kStatMilesFactor, 1.0 / 0.3048, "mph", "ft"};
    return {3.6, 1.0, "km/h", "m"};
}

std::string DistanceRange(double from, double to, const Units& u) {
    return Fixed(from * u.distance, 0) + "-" + Fixed(to * u.distance, 0) + " " + u.distanceName;
}

std::vector<std::string> Headers(const std::string& first, const std::vector<std::string>& names) {
    std::vector<std::string> headers{first};
    headers.insert(headers.end(), names.begin(), names.end());
    return headers;
}

}  // namespace

std::string SecondsText(const std::optional<double>& seconds) {
    return seconds ? Fixed(*seconds, 3) : kNone;
}

std::string DeltaText(const std::optional<double>& seconds) {
    if (!seconds) return kNone;
    // No "-0.000": a difference that rounds to nothing is shown without a sign of its own.
    const double rounded = std::round(*seconds * 1000.0) / 1000.0;
    return (rounded >= 0.0 ? "+" : "") + Fixed(rounded == 0.0 ? 0.0 : rounded, 3);
}

StatTable BuildSectorText(const SectorTable& table, const std::vector<std::string>& lapNames,
                          bool markBest, bool miles) {
    const Units u = UnitsOf(miles);
    StatTable text;
    text.headers = Headers(table.gameSplits ? "Split" : "Sector", lapNames);
    const std::size_t laps = table.times.size();
    for (int k = 0; k < table.SectorCount(); ++k) {
        const auto ks = static_cast<std::size_t>(k);
        StatRow row;
        row.label = "S" + std::to_string(k + 1) + " (" +
                    DistanceRange(table.boundaries[ks], table.boundaries[ks + 1], u) + ")";
        for (std::size_t l = 0; l < laps; ++l) {
            std::string cell = SecondsText(table.times[l][ks]);
            if (markBest && table.bestLap[ks] == static_cast<int>(l)) cell += " *";
            row.cells.push_back(cell);
        }
        text.rows.push_back(std::move(row));
    }
    StatRow lap{"Sum of sectors", 1, {}};
    StatRow best{"Theoretical best", 1, {}};
    StatRow gap{"Gap to theoretical best", 1, {}};
    for (std::size_t l = 0; l < laps; ++l) {
        lap.cells.push_back(table.lapTime[l] ? LapTimeText(*table.lapTime[l]) : kNone);
        best.cells.push_back(l == 0 ? (table.theoreticalBest ? LapTimeText(*table.theoreticalBest)
                                                             : std::string(kNone))
                                    : std::string());
        gap.cells.push_back(DeltaText(table.gap[l]));
    }
    text.rows.push_back(std::move(lap));
    text.rows.push_back(std::move(best));
    text.rows.push_back(std::move(gap));
    return text;
}

StatTable BuildCornerText(const CornerTable& table, const std::vector<std::string>& lapNames,
                          bool miles) {
    const Units u = UnitsOf(miles);
    StatTable text;
    text.headers = Headers("Corner", lapNames);
    const std::string speedUnit = std::string(" (") + u.speedName + ")";
    const std::string distanceUnit = std::string(" (") + u.distanceName + ")";
    const std::size_t laps = table.passes.size();
    for (std::size_t c = 0; c < table.corners.size(); ++c) {
        const Corner& corner = table.corners[c];
        text.rows.push_back({"Corner " + std::to_string(c + 1) + " (" +
                                 DistanceRange(corner.start, corner.end, u) + ")",
                             0, std::vector<std::string>(laps)});
        // Each label names its corner, so that every row of the table is told apart.
        const std::string t = "T" + std::to_string(c + 1) + " ";
        StatRow entry{t + "entry speed" + speedUnit, 1, {}};
        StatRow apex{t + "apex speed" + speedUnit, 1, {}};
        StatRow apexAt{t + "apex at" + distanceUnit, 1, {}};
        StatRow exit{t + "exit speed" + speedUnit, 1, {}};
        StatRow time{t + "time (s)", 1, {}};
        StatRow delta{t + "to reference (s)", 1, {}};
        for (std::size_t l = 0; l < laps; ++l) {
            const std::optional<CornerPass>& pass = table.passes[l][c];
            if (!pass) {
                for (StatRow* row : {&entry, &apex, &apexAt, &exit, &time, &delta})
                    row->cells.push_back(kNone);
                continue;
            }
            entry.cells.push_back(Fixed(pass->entrySpeed * u.speed, 1));
            apex.cells.push_back(Fixed(pass->apexSpeed * u.speed, 1));
            apexAt.cells.push_back(Fixed(pass->apexDistance * u.distance, 0));
            exit.cells.push_back(Fixed(pass->exitSpeed * u.speed, 1));
            time.cells.push_back(SecondsText(pass->time));
            delta.cells.push_back(DeltaText(pass->delta));
        }
        for (StatRow* row : {&entry, &apex, &apexAt, &exit, &time, &delta})
            text.rows.push_back(std::move(*row));
    }
    return text;
}

void AppendAnalysisSections(StatTable& table, const std::vector<const morlund::PerfCore*>& laps,
                            int reference, int sectorCount, const std::vector<Corner>& corners,
                            bool miles) {
    if (reference < 0 || reference >= static_cast<int>(laps.size())) return;
    const morlund::PerfCore& lap = *laps[static_cast<std::size_t>(reference)];
    const std::vector<std::string> names(laps.size());
    const StatTable sectors =
        BuildSectorText(BuildSectorTable(laps, ChooseSectorBoundaries(lap, sectorCount, false)),
                        names, true, miles);
    table.rows.push_back(
        {"Mini-sectors against " + lap.InfoGetName(), 0, std::vector<std::string>(laps.size())});
    table.rows.insert(table.rows.end(), sectors.rows.begin(), sectors.rows.end());
    const StatTable cornerText =
        BuildCornerText(MeasureCorners(laps, reference, corners), names, miles);
    table.rows.insert(table.rows.end(), cornerText.rows.begin(), cornerText.rows.end());
}

std::string FormatDelimitedTable(const StatTable& table, const std::string& delimiter) {
    // A text holding the delimiter (labels have blanks) or a quote is quoted, quotes doubled.
    const std::string mark = delimiter.substr(0, delimiter.find_last_not_of(' ') + 1);
    auto field = [&](const std::string& text) {
        const bool plain = text.find('"') == std::string::npos &&
                           (mark.empty() ? text.find(' ') : text.find(mark)) == std::string::npos;
        if (plain) return text;
        std::string quoted = "\"";
        for (const char c : text)
            quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        return quoted + "\"";
    };
    std::string out;
    auto addLine = [&](const std::string& first, const std::vector<std::string>& cells,
                       bool withCells) {
        out += field(first);
        if (withCells)
            for (const std::string& cell : cells)
                out += delimiter + field(cell);
        out += "\n";
    };
    if (!table.headers.empty())
        addLine(table.headers.front(),
                std::vector<std::string>(table.headers.begin() + 1, table.headers.end()), true);
    for (const StatRow& row : table.rows)
        addLine(row.label, row.cells, row.level > 0);
    return out;
}

}  // namespace pellith
