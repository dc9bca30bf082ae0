#include "pellith/export/ExportEngine.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "morlund/platform/File.h"
#include "morlund/platform/Text.h"
#include "pellith/export/Delimiters.h"
#include "pellith/export/FixedFormat.h"
#include "pellith/stats/LapTimeText.h"
#include "tarnwick/Version.h"

namespace pellith {

using morlund::BufManager;
using morlund::DataItem;
using morlund::Format;
using morlund::PerfCore;
using morlund::Wheel;

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr std::size_t kBufferSize = std::size_t{1} << 20;

// Texts from lap files go into comment lines: a line break inside one would
// start a line that is not a comment.
std::string OneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return text;
}

// A column name in double quotes; quotes inside it are doubled, as CSV readers expect.
std::string Quoted(const std::string& name) {
    std::string text = "\"";
    for (const char c : name) {
        if (c == '"') text += '"';
        text += c;
    }
    return text + "\"";
}

// The export's output buffer: whole lines go to the sink in large blocks; the
// line being built stays until it is finished, so a line that fails its range
// test is taken back without ever reaching the sink.
class LineBuffer {
public:
    explicit LineBuffer(ExportSink& sink) : m_sink(sink), m_data(kBufferSize) {}

    // A place for at least `size` more bytes.
    char* Reserve(std::size_t size) {
        if (m_used + size > m_data.size()) MakeRoom(size);
        return m_data.data() + m_used;
    }
    void Commit(char* end) { m_used = static_cast<std::size_t>(end - m_data.data()); }
    void Append(const char* text, std::size_t size) {
        std::memcpy(Reserve(size), text, size);
        m_used += size;
    }
    void Append(const std::string& text) { Append(text.data(), text.size()); }
    void EndLine() {
        Append(kLineEnd, 2);
        m_lineStart = m_used;
    }
    // Text appended since the last finished line counts as finished.
    void FinishText() { m_lineStart = m_used; }
    void DropLine() { m_used = m_lineStart; }
    // Hands every finished line to the sink; false once the sink has refused.
    bool Flush() {
        if (m_ok && m_lineStart > 0) {
            m_ok = m_sink.Write(m_data.data(), m_lineStart);
            std::memmove(m_data.data(), m_data.data() + m_lineStart, m_used - m_lineStart);
            m_used -= m_lineStart;
            m_lineStart = 0;
        }
        return m_ok;
    }
    bool IsOk() const { return m_ok; }

private:
    void MakeRoom(std::size_t size) {
        Flush();
        if (!m_ok) m_used = m_lineStart = 0;  // the export has failed: stop collecting
        if (m_used + size > m_data.size())
            m_data.resize(std::max(m_data.size() * 2, m_used + size));
    }

    ExportSink& m_sink;
    std::vector<char> m_data;
    std::size_t m_used = 0;
    std::size_t m_lineStart = 0;
    bool m_ok = true;
};

// A column made ready for the row loop.
struct PreparedColumn {
    const DataItem* item;
    const Wheel* wheels[4];
    int wheelCount;       // 4 for a per-wheel item with ALL, else 1
    double rangeDivisor;  // per-car items are tested against value / range factor
    bool test;            // has a bound
    bool write;
    const ColumnItem* column;
};

std::vector<PreparedColumn> Prepare(const std::vector<ColumnItem>& columns) {
    std::vector<PreparedColumn> prepared;
    for (const ColumnItem& c : columns) {
        if (c.item == nullptr) continue;
        const Wheel* wheel = c.wheel != nullptr ? c.wheel : Wheel::ALL;
        PreparedColumn p{c.item, {wheel, nullptr, nullptr, nullptr}, 1,
                         1.0,    c.HasMinimum() || c.HasMaximum(),   !c.rangeOnly,
                         &c};
        if (c.IsPerWheel() && wheel == Wheel::ALL) {
            p.wheelCount = 4;
            for (int k = 0; k < 4; ++k)
                p.wheels[k] = Wheel::FromIndex(k);
        } else if (!c.IsPerWheel()) {
            p.rangeDivisor = wheel->GetRangeFactor();
        }
        // A range-only column without a bound has nothing to do.
        if (p.test || p.write) prepared.push_back(p);
    }
    return prepared;
}

// Writes rows first..last of one buffer; lines that fail a range test are dropped.
std::int64_t WriteRows(const PerfCore& buffer, RowRange rows,
                       const std::vector<PreparedColumn>& columns, const std::string& delimiter,
                       LineBuffer& out) {
    std::int64_t written = 0;
    const std::size_t cellRoom = kMaxFixedCell + delimiter.size();
    for (int i = rows.first; i <= rows.last; ++i) {
        bool keep = true;
        bool firstCell = true;
        for (const PreparedColumn& c : columns) {
            for (int k = 0; k < c.wheelCount; ++k) {
                const double v = c.item->GetConvertedValueEx(&buffer, i, c.wheels[k]);
                if (c.test && !c.column->Passes(v / c.rangeDivisor)) {
                    keep = false;
                    break;
                }
                if (!c.write) continue;
                char* p = out.Reserve(cellRoom);
                if (!firstCell) {
                    std::memcpy(p, delimiter.data(), delimiter.size());
                    p += delimiter.size();
                }
                firstCell = false;
                out.Commit(FormatFixed12(v, p));
            }
            if (!keep) break;
        }
        if (!keep) {
            out.DropLine();
            continue;
        }
        out.EndLine();
        ++written;
        if (!out.IsOk()) break;
    }
    return written;
}

class FileSink : public ExportSink {
public:
    explicit FileSink(morlund::File& file) : m_file(file) {}
    bool Write(const char* data, std::size_t size) override { return m_file.Write(data, size); }

private:
    morlund::File& m_file;
};

}  // namespace

std::string ExportChoices::GetVersionText() {
    return std::string(" ") + tarnwick::version::kFileVersion;
}

RowRange SelectRows(const PerfCore& buffer, bool selectedOnly, double distanceFrom,
                    double distanceTo) {
    const int n = buffer.GetSampleCount();
    RowRange rows{0, n - 1};
    if (!selectedOnly || n <= 0) return rows;
    // Laps may pass a distance more than once (the distance restarts at the
    // line): the row range starts at the last pass before the range end.
    bool reached = false;
    double previous = 0.0;
    for (int i = 0; i < n; ++i) {
        const double d = buffer.GetDistance(i);
        if (d >= distanceFrom) {
            reached = true;
            if (distanceFrom > previous) rows.first = i;
        }
        if (d >= distanceTo && distanceTo > previous) {
            rows.last = i;
            break;
        }
        previous = d;
    }
    if (!reached) return {0, -1};
    return rows;
}

std::string FormatExportHeader(const BufManager& manager, const ExportChoices& choices, int rows) {
    if (!choices.header) return {};
    const std::string range =
        choices.selectedOnly ? Format("%.0fm - %.0fm", choices.distanceFrom, choices.distanceTo)
                             : std::string("<all>");
    std::string text = ";Tarnwick" + OneLine(choices.versionText) +
                       " exported telemetry data file" + kLineEnd +
                       ";Track:    " + OneLine(manager.GetTrackString(-1)) + kLineEnd;
    if (choices.buffer == ExportChoices::kAllBuffers) {
        text += Format(";Buffer:   %d buffers", manager.GetBufCount()) + kLineEnd;
    } else if (manager.HasBuffer(choices.buffer)) {
        const PerfCore& buffer = *manager.GetBuffer(choices.buffer);
        text += ";Info:     " + OneLine(buffer.InfoGetInfo()) + kLineEnd;
        text += ";Buffer:   '" + OneLine(buffer.InfoGetName()) + "'" + kLineEnd;
        text += ";Lap time: " + LapTimeText(buffer.InfoGetLapTime()) + kLineEnd;
    }
    text += ";Range:    " + range + kLineEnd;
    if (choices.buffer != ExportChoices::kAllBuffers) {
        text += Format(";#Samples: %d", rows) + kLineEnd;
    }
    return text + kLineEnd;
}

std::string FormatColumnNameLine(const ExportChoices& choices, const std::string& delimiter) {
    if (choices.columnNames == ExportChoices::kNoNames) return {};
    const bool longNames = choices.columnNames == ExportChoices::kLongNames;
    std::vector<std::string> names;
    for (const ColumnItem& c : choices.columns) {
        if (c.item == nullptr || c.rangeOnly) continue;
        const std::string& itemName = longNames ? c.item->GetName() : c.item->GetShortName();
        if (!c.IsPerWheel()) {
            names.push_back(itemName);
            continue;
        }
        auto wheelName = [&](const Wheel* wheel) {
            return itemName + (longNames ? " " + wheel->GetName() : "." + wheel->GetShortName());
        };
        const Wheel* wheel = c.wheel != nullptr ? c.wheel : Wheel::ALL;
        if (wheel == Wheel::ALL) {
            for (int k = 0; k < 4; ++k)
                names.push_back(wheelName(Wheel::FromIndex(k)));
        } else {
            names.push_back(wheelName(wheel));
        }
    }
    std::string line;
    for (std::size_t k = 0; k < names.size(); ++k) {
        if (k > 0) line += delimiter;
        line += Quoted(names[k]);
    }
    return line + kLineEnd;
}

struct ExportWriter::State {
    State(const BufManager& m, ExportChoices c, ExportSink& sink)
        : manager(m), choices(std::move(c)), out(sink) {}

    const BufManager& manager;
    const ExportChoices choices;  // the prepared columns point into these
    LineBuffer out;
    std::string delimiter;
    std::vector<PreparedColumn> columns;
    std::vector<RowRange> rows;  // per buffer, firstBuffer first
    int firstBuffer = 0;
    std::size_t buffer = 0;  // index into rows
    int next = 0;            // the next sample of that buffer
    bool started = false;
    bool done = false;
    std::int64_t written = 0;
    std::int64_t visited = 0;
    std::int64_t total = 0;
};

ExportWriter::ExportWriter(const BufManager& manager, ExportChoices choices, ExportSink& sink)
    : m_state(std::make_unique<State>(manager, std::move(choices), sink)) {
    State& s = *m_state;
    s.delimiter = GetDelimiter(s.choices.delimiterChoice);
    s.columns = Prepare(s.choices.columns);
    int first = s.choices.buffer;
    int last = s.choices.buffer;
    if (s.choices.buffer == ExportChoices::kAllBuffers) {
        first = 0;
        last = manager.GetBufCount() - 1;
    } else if (!manager.HasBuffer(s.choices.buffer)) {
        last = first - 1;  // nothing to write, not even a header
    }
    s.firstBuffer = first;
    for (int b = first; b <= last; ++b) {
        const RowRange rows = SelectRows(*manager.GetBuffer(b), s.choices.selectedOnly,
                                         s.choices.distanceFrom, s.choices.distanceTo);
        s.rows.push_back(rows);
        s.total += rows.GetCount();
    }
    if (!s.rows.empty()) s.next = s.rows.front().first;
}

ExportWriter::~ExportWriter() = default;

bool ExportWriter::Step(std::int64_t rows) {
    State& s = *m_state;
    if (s.done) return false;
    if (!s.started && !s.rows.empty()) {
        s.out.Append(FormatExportHeader(s.manager, s.choices, s.rows.front().GetCount()));
        s.out.Append(FormatColumnNameLine(s.choices, s.delimiter));
        s.out.FinishText();
    }
    s.started = true;
    while (rows > 0 && s.buffer < s.rows.size() && s.out.IsOk()) {
        const RowRange all = s.rows[s.buffer];
        const std::int64_t left = std::int64_t{all.last} - s.next + 1;
        if (left <= 0) {
            if (++s.buffer < s.rows.size()) s.next = s.rows[s.buffer].first;
            continue;
        }
        const int count = static_cast<int>(std::min(left, rows));
        const RowRange piece{s.next, s.next + count - 1};
        const PerfCore& buffer = *s.manager.GetBuffer(s.firstBuffer + static_cast<int>(s.buffer));
        s.written += WriteRows(buffer, piece, s.columns, s.delimiter, s.out);
        s.next += count;
        s.visited += count;
        rows -= count;
    }
    // Past the last sample of the last buffer (the loop above moves on only
    // when asked for more rows), or stopped by the sink.
    const bool more = s.out.IsOk() && s.visited < s.total;
    if (more) return true;
    s.out.Flush();
    s.done = true;
    return false;
}

bool ExportWriter::IsOk() const { return m_state->out.IsOk(); }
std::int64_t ExportWriter::GetRowsWritten() const { return m_state->written; }
std::int64_t ExportWriter::GetRowsVisited() const { return m_state->visited; }
std::int64_t ExportWriter::GetRowCount() const { return m_state->total; }

bool WriteExport(const BufManager& manager, const ExportChoices& choices, ExportSink& sink,
                 std::int64_t* rowsWritten) {
    ExportWriter writer(manager, choices, sink);
    while (writer.Step(std::numeric_limits<std::int64_t>::max())) {
    }
    if (rowsWritten != nullptr) *rowsWritten = writer.GetRowsWritten();
    return writer.IsOk();
}

struct ExportFileJob::Output {
    morlund::File file;
    FileSink sink{file};
    std::unique_ptr<ExportWriter> writer;
};

ExportFileJob::ExportFileJob(const BufManager& manager, ExportChoices choices,
                             std::filesystem::path path)
    : m_manager(manager), m_choices(std::move(choices)), m_path(std::move(path)) {}

// The temporary file goes with the output.
ExportFileJob::~ExportFileJob() = default;

void ExportFileJob::Fail(ExportResult::Status status, const char* message,
                         morlund::MessageIcon icon) {
    m_output.reset();  // discards the temporary file
    m_result.status = status;
    m_result.message = message;
    m_result.icon = icon;
    m_finished = true;
}

bool ExportFileJob::Open() {
    const bool anyColumn = std::any_of(m_choices.columns.begin(), m_choices.columns.end(),
                                       [](const ColumnItem& c) { return c.item != nullptr; });
    if (!anyColumn) {
        Fail(ExportResult::kNoColumns, "Please select one or more columns to export",
             morlund::MessageIcon::Information);
        return false;
    }
    const bool haveBuffer = m_choices.buffer == ExportChoices::kAllBuffers
                                ? m_manager.GetBufCount() > 0
                                : m_manager.HasBuffer(m_choices.buffer);
    if (!haveBuffer) {
        Fail(ExportResult::kNoBuffer, "There is no buffer to export",
             morlund::MessageIcon::Information);
        return false;
    }
    m_output = std::make_unique<Output>();
    if (!m_output->file.Open(m_path, morlund::File::Mode::CreateReplace)) {
        Fail(ExportResult::kOpenError, "Error opening file", morlund::MessageIcon::Error);
        return false;
    }
    m_output->writer = std::make_unique<ExportWriter>(m_manager, m_choices, m_output->sink);
    return true;
}

bool ExportFileJob::Step(std::int64_t rows) {
    if (m_finished) return false;
    if (!m_output && !Open()) return false;
    ExportWriter& writer = *m_output->writer;
    if (writer.Step(rows)) return true;
    m_result.rows = writer.GetRowsWritten();
    // Commit flushes and closes: a full disk shows up here at the latest.
    if (!writer.IsOk() || !m_output->file.Commit()) {
        Fail(ExportResult::kWriteError, "Error writing file", morlund::MessageIcon::Error);
        return false;
    }
    m_output.reset();
    m_result.message = Format("Exported to '%s'", morlund::PathToUtf8(m_path).c_str());
    m_finished = true;
    return false;
}

void ExportFileJob::Cancel() {
    if (m_finished) return;
    const std::int64_t rows = m_output && m_output->writer ? m_output->writer->GetRowsWritten() : 0;
    Fail(ExportResult::kCancelled, "", morlund::MessageIcon::Information);
    m_result.rows = rows;
}

double ExportFileJob::GetProgress() const {
    if (m_finished) return 1.0;
    if (!m_output || !m_output->writer) return 0.0;
    const std::int64_t total = m_output->writer->GetRowCount();
    return total > 0 ? static_cast<double>(m_output->writer->GetRowsVisited()) /
                           static_cast<double>(total)
                     : 0.0;
}

ExportResult ExportToFile(const BufManager& manager, const ExportChoices& choices,
                          const std::filesystem::path& path) {
    ExportFileJob job(manager, choices, path);
    while (job.Step(std::numeric_limits<std::int64_t>::max())) {
    }
    return job.GetResult();
}

std::string ProposeExportFileName(const std::string& bufferName) {
    std::string name = bufferName.substr(0, bufferName.find('.'));
    for (char& c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || std::strchr("/\\:*?\"<>|", c) != nullptr) c = '_';
    }
    return name + ".csv";
}

int DefaultExportBuffer(int bufferCount) {
    return bufferCount > 1 ? ExportChoices::kAllBuffers : 0;
}

std::vector<ColumnItem> MakeAllColumns() {
    std::vector<ColumnItem> columns;
    for (auto it = DataItem::NewIterator(); it->HasNext();) {
        const DataItem* item = it->GetNext();
        if (item->GetLevel() <= DataItem::LEVEL_CUSTOM) {
            columns.push_back(ColumnItem::Make(item, Wheel::ALL));
        }
    }
    return columns;
}

bool RememberSelectedOnly(bool ticked, double distanceFrom, double distanceTo) {
    return ticked && distanceFrom <= distanceTo;
}

}  // namespace pellith
