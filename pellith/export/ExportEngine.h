#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
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

// The export text (header, names, rows) written a piece at a time, so that a
// long export can show its progress and be stopped between pieces. The bytes
// are the same however the work is cut. Keeps its own copy of the choices; the
// manager and the sink must outlive it.
class ExportWriter {
public:
    ExportWriter(const morlund::BufManager& manager, ExportChoices choices, ExportSink& sink);
    ~ExportWriter();
    ExportWriter(const ExportWriter&) = delete;
    ExportWriter& operator=(const ExportWriter&) = delete;

    // Looks at up to `rows` more samples (the header and the name line come with
    // the first call). True while samples remain and the sink takes the text; the
    // call that returns false has handed every byte to the sink.
    bool Step(std::int64_t rows);
    // The sink has taken every byte given to it so far.
    bool IsOk() const;
    std::int64_t GetRowsWritten() const;
    // Samples looked at so far (written or dropped by a range), and in all.
    std::int64_t GetRowsVisited() const;
    std::int64_t GetRowCount() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// Writes the whole export text through a large buffer. False as soon as the
// sink refuses text. The rows written are counted in *rows.
bool WriteExport(const morlund::BufManager& manager, const ExportChoices& choices, ExportSink& sink,
                 std::int64_t* rows = nullptr);

// What an export to a file ended with, and what the user is told.
struct ExportResult {
    enum Status { kExported, kNoColumns, kNoBuffer, kOpenError, kWriteError, kCancelled };
    Status status = kExported;
    std::string message;  // empty for kCancelled: the user asked for it
    morlund::MessageIcon icon = morlund::MessageIcon::Information;
    std::int64_t rows = 0;
    bool IsOk() const { return status == kExported; }
};

// An export into a file, done a piece at a time. The text goes to a temporary
// file beside the target that replaces the target only when every byte was
// written and the file closed cleanly: a failed or cancelled export never
// leaves a truncated file behind, and the old file stays as it was.
class ExportFileJob {
public:
    ExportFileJob(const morlund::BufManager& manager, ExportChoices choices,
                  std::filesystem::path path);
    // An export that has not finished is discarded.
    ~ExportFileJob();
    ExportFileJob(const ExportFileJob&) = delete;
    ExportFileJob& operator=(const ExportFileJob&) = delete;

    // Looks at up to `rows` more samples; the first call checks the choices and
    // opens the file, the last one puts the file in place. True while work remains.
    bool Step(std::int64_t rows);
    // Stops the export and discards what was written (kCancelled).
    void Cancel();
    bool IsFinished() const { return m_finished; }
    // Share of the samples looked at, 0 to 1.
    double GetProgress() const;
    // The outcome once finished.
    const ExportResult& GetResult() const { return m_result; }

private:
    bool Open();
    void Fail(ExportResult::Status status, const char* message, morlund::MessageIcon icon);

    const morlund::BufManager& m_manager;
    ExportChoices m_choices;
    std::filesystem::path m_path;
    struct Output;
    std::unique_ptr<Output> m_output;
    ExportResult m_result;
    bool m_finished = false;
};

// Exports into a file in one go (see ExportFileJob).
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
