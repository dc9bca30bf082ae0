#include "morlund/formats/generic/GenPerf.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <climits>
#include <cmath>
#include <limits>
#include <new>
#include <system_error>

#include "morlund/formats/generic/GenCarSetup.h"
#include "morlund/physics/GP2Physics.h"
#include "morlund/platform/Text.h"

namespace morlund {

const std::array<std::string_view, GenPerf::kColumnCount> GenPerf::kColumnNames = {
    "time",  "dist",  "speed", "acc_long", "acc_lat", "revs",  "throttle",
    "brake", "steer", "gear",  "rh_lr",    "rh_rr",   "rh_lf", "rh_rf",
    "st_lr", "st_rr", "st_lf", "st_rf",    "ws_lr",   "ws_rr", "ws_lf",
    "ws_rf", "ca_lr", "ca_rr", "ca_lf",    "ca_rf",   "pos_x", "pos_y"};

namespace {

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

// Reads a number from the start of [p, end) the way atof does (leading blanks,
// an optional sign, the longest number prefix), but independent of the locale.
// Anything that is not a finite double (no number, nan, inf, out of range)
// reads as 0, like a missing value. Returns where the number ended.
const char* ParseDouble(const char* p, const char* end, double& value) {
    value = 0.0;
    while (p < end && IsBlank(*p))
        ++p;
    const char* start = p;
    if (p < end && *p == '+' && !(p + 1 < end && (p[1] == '-' || p[1] == '+'))) ++p;
    double v = 0.0;
    const std::from_chars_result r = std::from_chars(p, end, v);
    if (r.ec == std::errc::invalid_argument) return start;
    if (r.ec == std::errc() && std::isfinite(v)) value = v;
    return r.ptr;
}

// Like atoi, clamped into int instead of overflowing.
int ParseInt(std::string_view text) {
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end && IsBlank(*p))
        ++p;
    if (p < end && *p == '+' && !(p + 1 < end && (p[1] == '-' || p[1] == '+'))) ++p;
    long long v = 0;
    const std::from_chars_result r = std::from_chars(p, end, v);
    if (r.ec == std::errc::result_out_of_range) return *p == '-' ? INT_MIN : INT_MAX;
    if (r.ec != std::errc()) return 0;
    if (v < INT_MIN) return INT_MIN;
    if (v > INT_MAX) return INT_MAX;
    return static_cast<int>(v);
}

// Whether text is well-formed UTF-8; other texts are taken as Latin-1.
bool IsUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t more = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
        } else {
            return false;
        }
        if (i + more >= text.size()) return false;
        for (std::size_t k = 1; k <= more; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        i += more + 1;
    }
    return true;
}

std::string ToUtf8(std::string text) { return IsUtf8(text) ? text : Latin1ToUtf8(text); }

// The end of the line that starts at p, and the start of the next one
// (a CR, LF or CR LF counts as one line end).
const char* LineEnd(const char* p, const char* end) {
    while (p < end && !IsLineEnd(*p))
        ++p;
    return p;
}
const char* NextLine(const char* lineEnd, const char* end) {
    if (lineEnd < end && *lineEnd == '\r')
        ++lineEnd;
    else if (lineEnd < end)
        return lineEnd + 1;
    if (lineEnd < end && *lineEnd == '\n') ++lineEnd;
    return lineEnd;
}

// Splits the lap-information line into at most five fields. A double quote
// toggles quoting (so a doubled quote inside quotes keeps quoting on); a comma
// inside quotes belongs to the field. Reading stops at the first empty field.
std::vector<std::string> InfoFields(std::string_view line) {
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        if (i < line.size() && (quoted || line[i] != ',')) {
            if (line[i] == '"') {
                quoted = !quoted;
            } else {
                field += line[i];
            }
            continue;
        }
        if (field.empty()) break;
        fields.push_back(std::move(field));
        field.clear();
        if (fields.size() == 5) break;
    }
    return fields;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (IsBlank(text.front()) || text.front() == '\r'))
        text.remove_prefix(1);
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

}  // namespace

int GenPerf::FindColumn(std::string_view name) {
    for (int c = 0; c < kColumnCount; ++c) {
        if (EqualsNoCase(name, kColumnNames[static_cast<std::size_t>(c)])) return c;
    }
    return -1;
}

bool GenPerf::InitData(const std::uint8_t* data, std::size_t size) {
    try {
        return Parse(data, size);
    } catch (const std::bad_alloc&) {
        return false;  // a file larger than memory allows
    }
}

bool GenPerf::Parse(const std::uint8_t* data, std::size_t size) {
    const char* p = reinterpret_cast<const char*>(data);
    const char* const end = p + size;
    // A byte-order mark some editors put in front of UTF-8 text.
    if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) p += 3;

    // Line 1: lap information.
    const char* lineEnd = LineEnd(p, end);
    const std::vector<std::string> fields = InfoFields(std::string_view(p, lineEnd - p));
    std::string info, date;
    double lapTime = 0.0;
    int track = -1, lapNumber = 0;
    if (fields.size() > 0) info = ToUtf8(fields[0]);
    if (fields.size() > 1) date = ToUtf8(fields[1]);
    if (fields.size() > 2)
        ParseDouble(fields[2].data(), fields[2].data() + fields[2].size(), lapTime);
    // Track numbers are 0-based; anything negative means no track.
    if (fields.size() > 3) track = std::max(ParseInt(fields[3]), -1);
    if (fields.size() > 4) lapNumber = ParseInt(fields[4]);
    if (lineEnd == end) return false;
    p = NextLine(lineEnd, end);

    // Line 2: column names; every name must be known and the row holds at most
    // one value per column of the vocabulary.
    lineEnd = LineEnd(p, end);
    std::vector<int> order;
    std::uint32_t flags = 0;
    std::string_view names(p, static_cast<std::size_t>(lineEnd - p));
    for (;;) {
        const std::size_t comma = names.find(',');
        const int column = FindColumn(TrimBlanks(names.substr(0, comma)));
        if (column < 0 || order.size() == kColumnCount) return false;
        order.push_back(column);
        flags |= 1u << column;
        if (comma == std::string_view::npos) break;
        names.remove_prefix(comma + 1);
    }
    p = NextLine(lineEnd, end);

    // One pass over the sample lines. The columns start at a size guessed from
    // the first sample line, bounded by a small multiple of the file size so
    // that a hostile first line cannot ask for a huge block, and double when
    // the guess was short; the row count never passes INT_MAX.
    const std::size_t named = order.size();
    const std::uint64_t present = static_cast<std::uint64_t>(std::popcount(flags));
    const std::uint64_t remaining = static_cast<std::uint64_t>(end - p);
    const std::uint64_t firstLine = static_cast<std::uint64_t>(LineEnd(p, end) - p) + 1;
    const std::uint64_t byMemory = (4 * remaining + (1u << 20)) / (present * sizeof(double));
    std::uint64_t capacity = std::min({remaining / firstLine + remaining / (8 * firstLine) + 16,
                                       byMemory, static_cast<std::uint64_t>(INT_MAX)});
    std::array<std::vector<double>, kColumnCount> columns;
    std::array<double*, kColumnCount> target{};  // by position in the row
    const auto resizeColumns = [&](std::uint64_t rows) {
        for (int c = 0; c < kColumnCount; ++c) {
            if ((flags >> c) & 1u) columns[static_cast<std::size_t>(c)].resize(rows);
        }
        for (std::size_t k = 0; k < named; ++k)
            target[k] = columns[static_cast<std::size_t>(order[k])].data();
    };
    resizeColumns(capacity);

    std::uint64_t row = 0;
    while (p < end) {
        const char* q = p;
        while (q < end && IsBlank(*q))
            ++q;
        if (q == end || IsLineEnd(*q)) {  // blank lines are no samples
            p = NextLine(q, end);
            continue;
        }
        if (row == capacity) {
            if (capacity >= static_cast<std::uint64_t>(INT_MAX)) return false;
            capacity = std::min(2 * capacity, static_cast<std::uint64_t>(INT_MAX));
            resizeColumns(capacity);
        }
        // Values in the order of the names; surplus values are ignored and a
        // short line leaves its remaining columns 0 (resize zero-fills).
        for (std::size_t k = 0;; ++k) {
            double value;
            q = ParseDouble(q, end, value);
            if (k < named) target[k][row] = value;
            while (q < end && *q != ',' && !IsLineEnd(*q))
                ++q;
            if (q == end || *q != ',') break;
            ++q;
        }
        ++row;
        p = NextLine(q, end);
    }
    if (row == 0) return false;
    const std::size_t count = static_cast<std::size_t>(row);
    for (std::vector<double>& column : columns) {
        if (column.empty()) continue;
        column.resize(count);
        if (column.capacity() - count > count / 8) column.shrink_to_fit();
    }

    m_info = std::move(info);
    m_date = std::move(date);
    m_lapTime = lapTime;
    m_track = track;
    m_lapNumber = lapNumber;
    m_columnFlags = flags;
    m_sampleCount = static_cast<int>(count);
    m_columns = std::move(columns);
    if (HasColumn(kGear)) {
        const std::vector<double>& gears = m_columns[kGear];
        m_gears.resize(gears.size());
        for (std::size_t i = 0; i < gears.size(); ++i) {
            // Rounded: a gear written as 2.9999 is gear 3.
            const double g = std::round(gears[i]);
            m_gears[i] = g > INT_MAX ? INT_MAX : g < INT_MIN ? INT_MIN : static_cast<int>(g);
        }
    }
    if (!HasColumn(kDist) && HasColumn(kSpeed) && (HasColumn(kTime) || m_lapTime > 0.0)) {
        // Distance is the integral of speed over time; speed times time would
        // shrink while the car brakes.
        m_distance.resize(count);
        double d = 0.0;
        for (int i = 1; i < m_sampleCount; ++i) {
            const double next =
                d + 0.5 * (GetSpeed(i - 1) + GetSpeed(i)) * (GetTime(i) - GetTime(i - 1));
            if (std::isfinite(next)) d = next;  // absurd values must not poison the rest
            m_distance[Index(i)] = d;
        }
    }
    Enable(true);
    return true;
}

std::unique_ptr<CarSetup> GenPerf::CreateSetup() const { return std::make_unique<GenCarSetup>(); }

// This game has no car model of its own: the GP2 model stands in.
std::unique_ptr<Physics> GenPerf::CreatePhysics() const { return std::make_unique<GP2Physics>(); }

// Generic laps have no setup files: the record's check tells the user so.
bool GenPerf::ReadSetup(File&) {
    GenCarSetup().IsValid(false);
    return false;
}

void GenPerf::SaveSetup() { GenCarSetup().IsValid(false); }

double GenPerf::GetTime(int sample) const {
    return HasColumn(kTime) ? Value(kTime, sample) : PerfCore::GetTime(sample);
}

bool GenPerf::IsUseLatAccForAngleAndPos() const {
    return HasColumn(kAccLat) && !HasColumn(kPosX) && !HasColumn(kPosY);
}

double GenPerf::GetDistance(int sample) const {
    if (HasColumn(kDist)) return Value(kDist, sample);
    if (!m_distance.empty()) return m_distance[Index(sample)];
    return sample;
}

double GenPerf::GetPosX(int sample) const {
    return HasColumn(kPosX) ? Value(kPosX, sample) : PerfCore::GetPosX(sample);
}

double GenPerf::GetPosY(int sample) const {
    return HasColumn(kPosY) ? Value(kPosY, sample) : PerfCore::GetPosY(sample);
}

double GenPerf::GetLongitudalAcc(int sample) const {
    return HasColumn(kAccLong) ? Value(kAccLong, sample) : PerfCore::GetLongitudalAcc(sample);
}

double GenPerf::GetLateralAcc(int sample) const {
    return HasColumn(kAccLat) ? Value(kAccLat, sample) : PerfCore::GetLateralAcc(sample);
}

}  // namespace morlund
