#include <cstdio>
#include <utility>

#include "cli/Commands.h"
#include "cli/Laps.h"
#include "morlund/items/DataItem.h"
#include "morlund/platform/File.h"
#include "pellith/export/ColumnSpec.h"
#include "pellith/export/ExportEngine.h"

using namespace morlund;

namespace cli {

namespace {

// Standard output as an export sink.
class StdoutSink : public pellith::ExportSink {
public:
    bool Write(const char* data, std::size_t size) override {
        return std::fwrite(data, 1, size, stdout) == size;
    }
};

void PrintColumnError(const pellith::ColumnSpecResult& result) {
    switch (result.status) {
        case pellith::ColumnSpecResult::kEmptyColumn:
            std::fprintf(stderr, "tarnwick-cli: -c has an empty column\n");
            break;
        case pellith::ColumnSpecResult::kNoChannel:
            std::fprintf(stderr, "tarnwick-cli: %s (see 'tarnwick-cli items')\n",
                         result.message.c_str());
            break;
        default:
            std::fprintf(stderr, "tarnwick-cli: %s\n", result.message.c_str());
            break;
    }
}

}  // namespace

int RunExport(const Options& options) {
    DataItem::SetDistanceInMiles(options.miles);
    LoadFormulaChannels(options);
    pellith::ExportChoices choices;
    if (options.columnsGiven) {
        pellith::ColumnSpecResult parsed = pellith::ParseColumnList(options.columns);
        if (!parsed.IsOk()) {
            PrintColumnError(parsed);
            return kExitUsage;
        }
        choices.columns = std::move(parsed.columns);
    } else {
        choices.columns = pellith::MakeAllColumns();
    }
    Laps laps;
    if (const int rc = OpenLaps(options, laps); rc != kExitOk) return rc;
    const BufManager& manager = *laps.manager;
    if (options.allBuffers) {
        choices.buffer = pellith::ExportChoices::kAllBuffers;
    } else if (!options.bufferGiven) {
        choices.buffer = pellith::DefaultExportBuffer(manager.GetBufCount());
    } else if (!manager.HasBuffer(options.buffer)) {
        std::fprintf(stderr, "tarnwick-cli: there is no buffer %d (%d loaded)\n", options.buffer,
                     manager.GetBufCount());
        return kExitUsage;
    } else {
        choices.buffer = options.buffer;
    }
    choices.delimiterChoice = options.delimiter;
    choices.columnNames = options.names;
    choices.header = options.header;
    choices.selectedOnly = options.range;
    if (options.range) {
        choices.distanceFrom = options.rangeFrom;
        choices.distanceTo = options.rangeTo;
    }

    if (!options.output.empty()) {
        const pellith::ExportResult result =
            pellith::ExportToFile(manager, choices, morlund::PathFromUtf8(options.output));
        if (!result.IsOk()) {
            std::fprintf(stderr, "%s: %s\n", options.output.c_str(), result.message.c_str());
            return result.status == pellith::ExportResult::kNoColumns ? kExitUsage : kExitLoad;
        }
        return kExitOk;
    }
    StdoutSink sink;
    if (!pellith::WriteExport(manager, choices, sink) || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "tarnwick-cli: Error writing file\n");
        return kExitLoad;
    }
    return kExitOk;
}

}  // namespace cli
