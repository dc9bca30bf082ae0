#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "morlund/platform/MessageSink.h"
#include "pellith/export/ColumnItem.h"

namespace morlund {
class BufManager;
class PerfCore;
}  // namespace morlund

namespace pellith {

// Everything that decides the bytes of an export file.
struct ExportChoices {
    static constexpr int kAllBuffers = -1;
    enum ColumnNames { kNoNames = 0, kShortNames = 1, kLongNames = 2 };

    std::vector<ColumnItem> columns;  // in list order
    int buffer = 0;                   // a buffer index or kAllBuffers
    int delimiterChoice = 0;          // index into the delimiter table
    int columnNames = kShortNames;
    bool header = false;
    bool selectedOnly = false;  // rows limited to the distance range
    double distanceFrom = 0.0;  // metres
    double distanceTo = -1.0;
    std::string versionText = GetVersionText();  // follows "Tarnwick" in the header

    // " <version>" of this build.
    static std::string GetVersionText();
};

// The rows of one buffer that an export writes: first..last, inclusive.
struct RowRange {
    int first = 0;
    int last = -1;
    bool IsEmpty() const { return last < first; }
    int GetCount() const { return IsEmpty() ? 0 : last - first + 1; }
};

// All samples; with selectedOnly the samples from where the lap first passes
// distanceFrom to where it first reaches distanceTo (to the end when it never
// does). A lap that never reaches distanceFrom has no rows.
RowRange SelectRows(const morlund::PerfCore& buffer, bool selectedOnly, double distanceFrom,
                    double distanceTo);

// The comment header (empty when the choices have it off), lines ending in CR LF.
// `rows` is the row count of the one exported buffer.
std::string FormatExportHeader(const morlund::BufManager& manager, const ExportChoices& choices,
                               int rows);
// The line of column names with its CR LF (empty for kNoNames).
std::string FormatColumnNameLine(const ExportChoices& choices, const std::string& delimiter);

// Where export text goes.
class ExportSink {
public:
    virtual ~ExportSink() = default;
    // False when the text could not be written.
    virtual bool Write(const char* data, std::size_t size) = 0;
};

// Writes the export text (header, names, rows) through a large buffer. False
// as soon as the sink refuses text. The rows written are counted in *rows.
bool WriteExport(const morlund::BufManager& manager, const ExportChoices& choices, ExportSink& sink,
                 std::int64_t* rows = nullptr);

// What an export to a file ended with, and what the user is told.
struct ExportResult {
    enum Status { kExported, kNoColumns, kNoBuffer, kOpenError, kWriteError };
    Status status = kExported;
    std::string message;
    morlund::MessageIcon icon = morlund::MessageIcon::Information;
    std::int64_t rows = 0;
    bool IsOk() const { return status == kExported; }
};

// Exports into a file. The text goes to a temporary file beside the target
// that replaces the target only when every byte was written and the file
// closed cleanly, so a failed export never leaves a truncated file behind.
ExportResult ExportToFile(const morlund::BufManager& manager, const ExportChoices& choices,
                          const std::filesystem::path& path);

// The file name proposed for a buffer: its name cut before the first "."
// followed by ".csv". Characters that cannot stand in a file name (folder
// separators among them) become "_".
std::string ProposeExportFileName(const std::string& bufferName);

// The buffer an export starts with, as the dialog opens: all buffers when
// several are loaded, else the first.
int DefaultExportBuffer(int bufferCount);

// One column per item of level <= 2, in catalogue order, each for all wheels.
std::vector<ColumnItem> MakeAllColumns();

// The selected-distance switch as it is remembered: on only when it was
// ticked and the range is not reversed.
bool RememberSelectedOnly(bool ticked, double distanceFrom, double distanceTo);

}  // namespace pellith
