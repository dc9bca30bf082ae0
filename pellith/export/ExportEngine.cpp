#include "pellith/export/ExportEngine.h"

#include <algorithm>
#include <cstring>
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

bool WriteExport(const BufManager& manager, const ExportChoices& choices, ExportSink& sink,
                 std::int64_t* rowsWritten) {
    if (rowsWritten != nullptr) *rowsWritten = 0;
    const std::string delimiter = GetDelimiter(choices.delimiterChoice);
    int firstBuffer = choices.buffer;
    int lastBuffer = choices.buffer;
    if (choices.buffer == ExportChoices::kAllBuffers) {
        firstBuffer = 0;
        lastBuffer = manager.GetBufCount() - 1;
    } else if (!manager.HasBuffer(choices.buffer)) {
        return true;  // nothing to write
    }
    const std::vector<PreparedColumn> columns = Prepare(choices.columns);
    LineBuffer out(sink);
    std::int64_t written = 0;
    for (int b = firstBuffer; b <= lastBuffer; ++b) {
        const PerfCore& buffer = *manager.GetBuffer(b);
        const RowRange rows =
            SelectRows(buffer, choices.selectedOnly, choices.distanceFrom, choices.distanceTo);
        if (b == firstBuffer) {
            out.Append(FormatExportHeader(manager, choices, rows.GetCount()));
            out.Append(FormatColumnNameLine(choices, delimiter));
            out.FinishText();
        }
        written += WriteRows(buffer, rows, columns, delimiter, out);
        if (!out.IsOk()) break;
    }
    if (rowsWritten != nullptr) *rowsWritten = written;
    return out.Flush();
}

ExportResult ExportToFile(const BufManager& manager, const ExportChoices& choices,
                          const std::filesystem::path& path) {
    ExportResult result;
    const bool anyColumn = std::any_of(choices.columns.begin(), choices.columns.end(),
                                       [](const ColumnItem& c) { return c.item != nullptr; });
    if (!anyColumn) {
        result.status = ExportResult::kNoColumns;
        result.message = "Please select one or more columns to export";
        return result;
    }
    const bool haveBuffer = choices.buffer == ExportChoices::kAllBuffers
                                ? manager.GetBufCount() > 0
                                : manager.HasBuffer(choices.buffer);
    if (!haveBuffer) {
        result.status = ExportResult::kNoBuffer;
        result.message = "There is no buffer to export";
        return result;
    }
    morlund::File file;
    if (!file.Open(path, morlund::File::Mode::CreateReplace)) {
        result.status = ExportResult::kOpenError;
        result.message = "Error opening file";
        result.icon = morlund::MessageIcon::Error;
        return result;
    }
    FileSink sink(file);
    const bool written = WriteExport(manager, choices, sink, &result.rows);
    // Commit flushes and closes: a full disk shows up here at the latest.
    if (!written || !file.Commit()) {
        file.Close();  // discards the temporary file
        result.status = ExportResult::kWriteError;
        result.message = "Error writing file";
        result.icon = morlund::MessageIcon::Error;
        return result;
    }
    result.message = Format("Exported to '%s'", path.string().c_str());
    return result;
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
