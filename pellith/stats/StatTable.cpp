#include "pellith/stats/StatTable.h"

#include <algorithm>

#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "morlund/platform/Text.h"
#include "pellith/stats/LapTimeText.h"
#include "pellith/stats/SummaryStats.h"

namespace pellith {

using morlund::Format;

namespace {

constexpr double kDegreesPerRadian = 180.0 * 0.3183098861837907;

std::string Percentages(const PedalSummary& s) {
    return Format("%d%% / %d%% / %d%%", s.full, 100 - s.full - s.none, s.none);
}

// Characters of UTF-8 text, for lining up columns.
std::size_t TextWidth(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xc0u) != 0x80u;
    }));
}

}  // namespace

std::string GetStatTrackName(const morlund::BufManager& manager, const std::string& outlineName) {
    const bool placeholder =
        outlineName.size() >= 9 &&
        morlund::EqualsNoCase(std::string_view(outlineName).substr(0, 9), "<no track");
    if (!outlineName.empty() && !placeholder) return outlineName;
    return manager.GetTrackString(-1);
}

StatTable BuildStatTable(const morlund::BufManager& manager, const std::string& trackName,
                         bool miles, LapSummaryCache& summaries) {
    const double speedFactor = miles ? kStatMilesFactor * 3.6 : 3.6;
    const double distanceFactor = miles ? 0.001 * kStatMilesFactor : 0.001;
    const char* speedUnit = miles ? " (mph)" : " (kph)";
    const char* distanceUnit = miles ? " (miles)" : " (km)";

    StatTable table;
    std::string title = trackName;
    if (manager.HasBuffer(0)) {
        title +=
            Format(" (%1.3f %s)", manager.GetTrackLen() * distanceFactor, miles ? "miles" : "km");
    }
    table.headers.push_back(title);

    const int count = manager.GetBufCount();
    std::vector<std::string> itemNames;
    if (count > 0) manager.GetBuffer(0)->InfoGetInfoItemNames(itemNames);

    // Rows first, then each buffer's column top to bottom.
    auto addRow = [&](std::string label, int level) {
        table.rows.push_back({std::move(label), level, {}});
    };
    addRow("INFORMATION", 0);
    for (const std::string& name : itemNames)
        addRow(name, 1);
    for (const char* label :
         {"Lap Time", "Lap Nr", "Date", "#Samples", "Sample rate (samples/sec)"})
        addRow(label, 1);
    addRow("STATISTICS", 0);
    addRow(std::string("Avg Speed") + speedUnit, 1);
    addRow(std::string("Min Speed") + speedUnit, 1);
    addRow(std::string("Max Speed") + speedUnit, 1);
    for (const char* label :
         {"Avg Revs (rpm)", "Min Revs (rpm)", "Max Revs (rpm)", "Avg Throttle",
          "Throttling Full/Between/None", "Avg Brake", "Braking Full/Between/None", "Free Roll",
          "Avg Steering (deg)", "Max Steering Left (deg)", "Max Steering Right (deg)",
          "Gear shifts"}) {
        addRow(label, 1);
    }
    addRow("SPECIAL", 0);
    addRow(std::string("Driven distance") + distanceUnit, 1);

    for (int b = 0; b < count; ++b) {
        const morlund::PerfCore& buffer = *manager.GetBuffer(b);
        table.headers.push_back(buffer.InfoGetName());
        std::vector<std::string> cells;
        cells.push_back(buffer.InfoGetInfo());
        std::vector<std::string> values;
        buffer.InfoGetInfoItemValues(values);
        for (std::size_t k = 0; k < itemNames.size(); ++k)
            cells.push_back(k < values.size() ? values[k] : std::string());

        const double lapTime = buffer.InfoGetLapTime();
        const int n = buffer.GetSampleCount();
        cells.push_back(LapTimeText(lapTime));
        const int lap = buffer.InfoGetLapnr();
        cells.push_back(lap < 0 ? std::string("?") : Format("%d", lap));
        cells.push_back(buffer.InfoGetDateString());
        cells.push_back(Format("%d", n));
        // Samples span n - 1 intervals; no interval without a second sample.
        const double rate = lapTime == 0.0 || n < 2 ? 0.0 : (n - 1) / lapTime;
        cells.push_back(Format("%.1f", rate));

        cells.emplace_back();  // STATISTICS
        const LapSummary& summary = summaries.Get(buffer);
        cells.push_back(Format("%.2f", summary.speed.average * speedFactor));
        cells.push_back(Format("%.2f", summary.speed.minimum * speedFactor));
        cells.push_back(Format("%.2f", summary.speed.maximum * speedFactor));
        cells.push_back(Format("%d", summary.revs.average));
        cells.push_back(Format("%d", summary.revs.minimum));
        cells.push_back(Format("%d", summary.revs.maximum));
        cells.push_back(Format("%d%%", summary.throttle.average));
        cells.push_back(Percentages(summary.throttle));
        cells.push_back(Format("%d%%", summary.brake.average));
        cells.push_back(Percentages(summary.brake));
        cells.push_back(Format("%d%%", summary.coasting));
        const SteeringSummary& steering = summary.steering;
        cells.push_back(Format("%.2f (%s)", steering.average * kDegreesPerRadian,
                               steering.average < 0.0 ? "right" : "left"));
        cells.push_back(Format("%.2f", steering.maximum * kDegreesPerRadian));
        // + 0.0: a minimum of 0 shows as 0.00, not -0.00
        cells.push_back(Format("%.2f", -steering.minimum * kDegreesPerRadian + 0.0));
        cells.push_back(Format("%d", summary.gearChanges));

        cells.emplace_back();  // SPECIAL
        const double driven = n > 0 ? buffer.GetDrivenDistance(n - 1) : 0.0;
        cells.push_back(Format("%.3f", driven * distanceFactor));

        for (std::size_t r = 0; r < table.rows.size(); ++r)
            table.rows[r].cells.push_back(r < cells.size() ? cells[r] : std::string());
    }
    return table;
}

std::string FormatStatTable(const StatTable& table) {
    constexpr std::size_t kIndent = 2;
    const std::size_t columns = table.headers.size();
    std::vector<std::size_t> widths(columns, 0);
    auto measure = [&](std::size_t c, const std::string& text, std::size_t extra) {
        if (c < columns) widths[c] = std::max(widths[c], TextWidth(text) + extra);
    };
    for (std::size_t c = 0; c < columns; ++c)
        measure(c, table.headers[c], 0);
    for (const StatRow& row : table.rows) {
        measure(0, row.label, row.level > 0 ? kIndent : 0);
        for (std::size_t c = 0; c < row.cells.size(); ++c)
            measure(c + 1, row.cells[c], 0);
    }

    std::string out;
    auto addLine = [&](const std::vector<std::string>& cells) {
        std::string line;
        for (std::size_t c = 0; c < cells.size() && c < columns; ++c) {
            if (c > 0) line.append(2, ' ');
            line += cells[c];
            if (c + 1 < cells.size()) line.append(widths[c] - TextWidth(cells[c]), ' ');
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out += line + "\n";
    };
    addLine(table.headers);
    for (const StatRow& row : table.rows) {
        std::vector<std::string> cells;
        cells.push_back(std::string(row.level > 0 ? kIndent : 0, ' ') + row.label);
        cells.insert(cells.end(), row.cells.begin(), row.cells.end());
        addLine(cells);
    }
    return out;
}

}  // namespace pellith
