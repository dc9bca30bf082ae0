#include "pellith/analysis/AnalysisText.h"

#include <cmath>
#include <cstdio>

#include "morlund/core/PerfCore.h"
#include "morlund/items/DataItem.h"
#include "pellith/stats/LapTimeText.h"

using morlund::DataItem;

namespace pellith {

namespace {

const char* const kNone = "\xe2\x80\x94";  // an em dash

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// A value of a catalogue item in its display unit, without the unit.
std::string Display(const DataItem* item, double metric, int decimals) {
    return Fixed(metric * item->GetUnitConversionFactor(), decimals);
}

std::string DistanceRange(double from, double to) {
    const DataItem* d = DataItem::DISTANCE;
    return Display(d, from, 0) + "-" + Display(d, to, 0) + " " + d->GetShortConvertedQuantityName();
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
                          bool markBest) {
    StatTable text;
    text.headers = Headers(table.gameSplits ? "Split" : "Sector", lapNames);
    const std::size_t laps = table.times.size();
    for (int k = 0; k < table.SectorCount(); ++k) {
        const auto ks = static_cast<std::size_t>(k);
        StatRow row;
        row.label = "S" + std::to_string(k + 1) + "  " +
                    DistanceRange(table.boundaries[ks], table.boundaries[ks + 1]);
        for (std::size_t l = 0; l < laps; ++l) {
            std::string cell = SecondsText(table.times[l][ks]);
            if (markBest && table.bestLap[ks] == static_cast<int>(l)) cell += " *";
            row.cells.push_back(cell);
        }
        text.rows.push_back(std::move(row));
    }
    StatRow lap{"Lap", 1, {}};
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

StatTable BuildCornerText(const CornerTable& table, const std::vector<std::string>& lapNames) {
    StatTable text;
    text.headers = Headers("Corner", lapNames);
    const DataItem* speed = DataItem::SPEED;
    const DataItem* distance = DataItem::DISTANCE;
    const std::string speedUnit = " (" + speed->GetShortConvertedQuantityName() + ")";
    const std::string distanceUnit = " (" + distance->GetShortConvertedQuantityName() + ")";
    const std::size_t laps = table.passes.size();
    for (std::size_t c = 0; c < table.corners.size(); ++c) {
        const Corner& corner = table.corners[c];
        text.rows.push_back(
            {"Corner " + std::to_string(c + 1) + "  " + DistanceRange(corner.start, corner.end), 0,
             std::vector<std::string>(laps)});
        StatRow entry{"Entry speed" + speedUnit, 1, {}};
        StatRow apex{"Apex speed" + speedUnit, 1, {}};
        StatRow apexAt{"Apex at" + distanceUnit, 1, {}};
        StatRow exit{"Exit speed" + speedUnit, 1, {}};
        StatRow time{"Time (s)", 1, {}};
        StatRow delta{"To reference (s)", 1, {}};
        for (std::size_t l = 0; l < laps; ++l) {
            const std::optional<CornerPass>& pass = table.passes[l][c];
            if (!pass) {
                for (StatRow* row : {&entry, &apex, &apexAt, &exit, &time, &delta})
                    row->cells.push_back(kNone);
                continue;
            }
            entry.cells.push_back(Display(speed, pass->entrySpeed, 1));
            apex.cells.push_back(Display(speed, pass->apexSpeed, 1));
            apexAt.cells.push_back(Display(distance, pass->apexDistance, 0));
            exit.cells.push_back(Display(speed, pass->exitSpeed, 1));
            time.cells.push_back(SecondsText(pass->time));
            delta.cells.push_back(DeltaText(pass->delta));
        }
        for (StatRow* row : {&entry, &apex, &apexAt, &exit, &time, &delta})
            text.rows.push_back(std::move(*row));
    }
    return text;
}

void AppendAnalysisSections(StatTable& table, const std::vector<const morlund::PerfCore*>& laps,
                            int reference, int sectorCount, const std::vector<Corner>& corners) {
    if (reference < 0 || reference >= static_cast<int>(laps.size())) return;
    const morlund::PerfCore& lap = *laps[static_cast<std::size_t>(reference)];
    const std::vector<std::string> names(laps.size());
    const StatTable sectors = BuildSectorText(
        BuildSectorTable(laps, ChooseSectorBoundaries(lap, sectorCount, false)), names, true);
    table.rows.push_back(
        {"Mini-sectors against " + lap.InfoGetName(), 0, std::vector<std::string>(laps.size())});
    table.rows.insert(table.rows.end(), sectors.rows.begin(), sectors.rows.end());
    const StatTable cornerText = BuildCornerText(MeasureCorners(laps, reference, corners), names);
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
