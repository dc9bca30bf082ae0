#include "app/views/TextModel.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <tuple>

#include "app/graph/GraphFormat.h"
#include "app/shell/TarnwickDoc.h"
#include "morlund/core/PerfCore.h"
#include "morlund/items/Wheel.h"
#include "morlund/platform/Text.h"

namespace tarnwick {

using morlund::DataItem;
using morlund::PerfCore;
using morlund::Wheel;

// --- columns ----------------------------------------------------------------------------

std::string ItemColumn::GetLongName() const {
    if (m_wheel == Wheel::ALL) return m_item->GetName();
    return morlund::Format("%s (%s)", m_item->GetName().c_str(), m_wheel->GetName().c_str());
}

std::string ItemColumn::GetShortName() const {
    if (m_wheel == Wheel::ALL) return m_item->GetShortName();
    return morlund::Format("%s.%s", m_item->GetShortName().c_str(),
                           m_wheel->GetShortName().c_str());
}

double ItemColumn::GetValue(const PerfCore& buffer, int sample) const {
    return m_item->GetConvertedValueEx(&buffer, sample, m_wheel);
}

TextColumns BuildTextColumns() {
    TextColumns columns;
    columns.push_back(std::make_unique<SampleColumn>());
    columns.back()->visible = true;
    for (auto items = DataItem::NewIterator(); items->HasNext();) {
        const DataItem* item = items->GetNext();
        if (item->GetLevel() >= DataItem::LEVEL_MODEL) continue;
        if (item->GetDataType() != DataItem::DT_WHEEL) {
            columns.push_back(std::make_unique<ItemColumn>(item, Wheel::ALL));
            columns.back()->visible = item->GetLevel() == DataItem::LEVEL_MEASURED;
            continue;
        }
        for (auto wheels = Wheel::NewIterator(); wheels->HasNext();) {
            const Wheel* wheel = wheels->GetNext();
            if (wheel != Wheel::ALL) columns.push_back(std::make_unique<ItemColumn>(item, wheel));
        }
    }
    return columns;
}

std::vector<int> VisibleColumns(const TextColumns& columns) {
    std::vector<int> visible;
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        if (columns[i]->visible) visible.push_back(i);
    }
    return visible;
}

// --- cell texts -------------------------------------------------------------------------

namespace {

int Decimals(int quantity, double value) {
    switch (quantity) {
        case DataItem::Q_LENGTH:
            return 2;
        case DataItem::Q_TIME:
            return 3;
        case DataItem::Q_ANGULAR_VELOCITY:
        case DataItem::Q_SELECTION:
            return 0;
        default:
            break;
    }
    if (quantity > DataItem::Q_SELECTION || value == 0.0) return 0;
    return GraphDecimals(value);  // capped: a subnormal would ask for over 300 decimals
}

}  // namespace

std::string FormatValue(int quantity, double value) {
    if (std::isnan(value)) return "nan ";
    if (std::isinf(value)) return value < 0 ? "-inf " : "inf ";
    // The largest double has 309 integer digits; 15 decimals at most follow.
    std::array<char, 340> text;
    const auto result = std::to_chars(text.data(), text.data() + text.size() - 1, value,
                                      std::chars_format::fixed, Decimals(quantity, value));
    *result.ptr = ' ';
    return std::string(text.data(), result.ptr + 1);
}

// --- rows -------------------------------------------------------------------------------

RowRange FindRowRange(const PerfCore& buffer, double from, double to, double cursor,
                      int cursorSample) {
    const int count = buffer.GetSampleCount();
    RowRange range{0, count, cursorSample};
    double previous = -1.0;
    for (int i = 0; i < count; ++i) {
        const double d = buffer.GetDistance(i);
        if (d >= from && from > previous) range.first = i;
        if (d > to && to >= previous) range.last = i;
        if (d >= cursor && cursor > previous) range.cursorSample = i;
        previous = d;
    }
    return range;
}

SortKeys ClickedSortKeys(const SortKeys& keys, int column, bool ctrl) {
    const int k = column + 1;
    const auto same = [k](int key) { return std::abs(key) == k; };
    const auto at = std::find_if(keys.begin(), keys.end(), same);
    int key = k;
    if (at != keys.end()) key = std::next(at) == keys.end() ? -*at : *at;
    if (!ctrl) return {key};
    SortKeys result;
    std::copy_if(keys.begin(), keys.end(), std::back_inserter(result),
                 [&](int other) { return !same(other); });
    result.push_back(key);
    return result;
}

SortKeys DropSortKeys(const SortKeys& keys, int lowestRemoved) {
    SortKeys result;
    std::copy_if(keys.begin(), keys.end(), std::back_inserter(result),
                 [lowestRemoved](int key) { return std::abs(key) - 1 < lowestRemoved; });
    if (result.empty()) result.push_back(0);
    return result;
}

int TextRows::RowOf(int sample) const {
    const long at = static_cast<long>(sample) - first;
    if (at < 0 || at >= static_cast<long>(rowOf.size())) return -1;
    return rowOf[static_cast<std::size_t>(at)];
}

namespace {

// A double as an unsigned number of the same order: -0 equals 0, and a value that is
// not a number comes after +inf.
std::uint64_t OrderedBits(double value) {
    constexpr std::uint64_t kSign = std::uint64_t{1} << 63;
    if (std::isnan(value)) return std::numeric_limits<std::uint64_t>::max();
    if (value == 0.0) value = 0.0;
    const auto bits = std::bit_cast<std::uint64_t>(value);
    return (bits & kSign) != 0 ? ~bits : bits | kSign;
}

// One key of the sort: a visible column, ascending or descending.
struct SortColumn {
    const TextColumn* column;
    bool descending;
};

std::uint64_t KeyBits(const SortColumn& key, const PerfCore& buffer, int sample) {
    const std::uint64_t bits = OrderedBits(key.column->GetValue(buffer, sample));
    return key.descending ? ~bits : bits;
}

// Sorting whole records keeps each comparison within one cache line; ties fall to the
// sample index, which gives the order of a stable sort of the samples. The records are
// left uninitialised: every field is written before the sort.
template <std::size_t N>
void SortRecords(const std::vector<SortColumn>& keys, const PerfCore& buffer, int first,
                 std::vector<int>& order) {
    struct Record {
        std::array<std::uint64_t, N> key;
        int sample;
    };
    const std::size_t count = order.size();
    const auto records = std::make_unique_for_overwrite<Record[]>(count);
    for (std::size_t i = 0; i < count; ++i) {
        const int sample = first + static_cast<int>(i);
        for (std::size_t k = 0; k < N; ++k)
            records[i].key[k] = KeyBits(keys[k], buffer, sample);
        records[i].sample = sample;
    }
    std::sort(records.get(), records.get() + count, [](const Record& a, const Record& b) {
        return std::tie(a.key, a.sample) < std::tie(b.key, b.sample);
    });
    for (std::size_t i = 0; i < count; ++i)
        order[i] = records[i].sample;
}

// Any number of keys: the samples sorted through a table of their keys.
void SortIndices(const std::vector<SortColumn>& keys, const PerfCore& buffer, int first,
                 std::vector<int>& order) {
    const std::size_t width = keys.size();
    std::vector<std::uint64_t> table(order.size() * width);
    for (std::size_t i = 0; i < order.size(); ++i) {
        for (std::size_t k = 0; k < width; ++k)
            table[i * width + k] = KeyBits(keys[k], buffer, first + static_cast<int>(i));
    }
    const auto keyOf = [&](int sample) {
        return table.begin() +
               static_cast<std::ptrdiff_t>(static_cast<std::size_t>(sample - first) * width);
    };
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const auto ka = keyOf(a), kb = keyOf(b);
        const auto end = ka + static_cast<std::ptrdiff_t>(width);
        const auto [da, db] = std::mismatch(ka, end, kb);
        return da != end ? *da < *db : a < b;
    });
}

}  // namespace

TextRows SortRows(const TextColumns& columns, const std::vector<int>& visible, const SortKeys& keys,
                  const PerfCore& buffer, int first, int last) {
    TextRows rows;
    rows.first = first;
    const int count = std::max(last - first, 0);
    rows.order.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        rows.order[static_cast<std::size_t>(i)] = first + i;

    // The sample index tells every row apart: keys after it change nothing.
    std::vector<SortColumn> sortKeys;
    for (const int key : keys) {
        if (key == 0) break;
        const int position = std::abs(key) - 1;
        if (position < static_cast<int>(visible.size()))
            sortKeys.push_back({columns[visible[position]].get(), key < 0});
    }
    if (!sortKeys.empty() && count > 1) {
        switch (sortKeys.size()) {
            case 1:
                SortRecords<1>(sortKeys, buffer, first, rows.order);
                break;
            case 2:
                SortRecords<2>(sortKeys, buffer, first, rows.order);
                break;
            case 3:
                SortRecords<3>(sortKeys, buffer, first, rows.order);
                break;
            default:
                SortIndices(sortKeys, buffer, first, rows.order);
                break;
        }
    }
    rows.rowOf.resize(rows.order.size());
    for (int row = 0; row < count; ++row)
        rows.rowOf[static_cast<std::size_t>(rows.order[static_cast<std::size_t>(row)] - first)] =
            row;
    return rows;
}

// --- columns ----------------------------------------------------------------------------

std::vector<int> AddColumnCandidates(const TextColumns& columns) {
    std::vector<int> candidates;
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        const TextColumn& column = *columns[i];
        if (column.visible && column.GetDataType() != DataItem::DT_WHEEL) continue;
        if (i > 0 && columns[i - 1]->GetItem() == column.GetItem()) continue;
        candidates.push_back(i);
    }
    return candidates;
}

std::vector<int> ColumnsToAdd(const TextColumns& columns, const std::vector<int>& candidates,
                              const std::vector<int>& chosen,
                              const std::vector<const Wheel*>& wheels) {
    std::vector<int> result;
    std::vector<bool> taken(columns.size(), false);
    const auto take = [&](int index) {
        if (columns[index]->visible || taken[index]) return;
        taken[index] = true;
        result.push_back(index);
    };
    const int candidateCount = static_cast<int>(candidates.size());
    for (const int choice : chosen) {
        if (choice < 0 || choice >= candidateCount) continue;
        const int index = candidates[choice];
        const TextColumn& column = *columns[index];
        if (column.GetDataType() != DataItem::DT_WHEEL) {
            take(index);
            continue;
        }
        const int end =
            choice + 1 < candidateCount ? candidates[choice + 1] : static_cast<int>(columns.size());
        for (int i = index; i < end; ++i) {
            if (columns[i]->GetItem() != column.GetItem()) continue;
            if (std::find(wheels.begin(), wheels.end(), columns[i]->GetWheel()) != wheels.end())
                take(i);
        }
    }
    return result;
}

QString TextViewTitle(const QString& docTitle, const std::optional<QString>& bufferName) {
    if (!bufferName) return docTitle + QStringLiteral(" - Text View");
    return QStringLiteral("%1 (%2) - Text View").arg(docTitle, *bufferName);
}

// --- the table model --------------------------------------------------------------------

CTxtModel::CTxtModel(CTarnwickDoc& doc, QObject* parent)
    : QAbstractTableModel(parent),
      m_doc(&doc),
      m_columns(BuildTextColumns()),
      m_visible(VisibleColumns(m_columns)) {}

int CTxtModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows.Count();
}

int CTxtModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_visible.size());
}

QVariant CTxtModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole) {
        const std::string text = CellText(index.row(), index.column());
        return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    }
    if (role == Qt::TextAlignmentRole) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant CTxtModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(VisibleColumn(section).GetShortName());
        case Qt::ToolTipRole:
            return QString::fromStdString(VisibleColumn(section).GetLongName());
        case Qt::TextAlignmentRole:
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return {};
    }
}

const PerfCore* CTxtModel::Buffer() const { return m_doc ? m_doc->Buffer(m_buffer) : nullptr; }

void CTxtModel::SetRows(int buffer, TextRows rows) {
    beginResetModel();
    m_buffer = buffer;
    m_rows = std::move(rows);
    endResetModel();
}

void CTxtModel::AppendColumns(const std::vector<int>& catalogueIndices) {
    if (catalogueIndices.empty()) return;
    const int at = columnCount();
    beginInsertColumns(QModelIndex(), at, at + static_cast<int>(catalogueIndices.size()) - 1);
    for (const int index : catalogueIndices) {
        m_columns[index]->visible = true;
        m_visible.push_back(index);
    }
    endInsertColumns();
}

void CTxtModel::RemoveColumns(std::vector<int> positions) {
    std::sort(positions.begin(), positions.end(), std::greater<>());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    for (const int position : positions) {
        if (position < 0 || position >= columnCount()) continue;
        beginRemoveColumns(QModelIndex(), position, position);
        m_columns[m_visible[position]]->visible = false;
        m_visible.erase(m_visible.begin() + position);
        endRemoveColumns();
    }
}

std::string CTxtModel::CellText(int row, int position) const {
    const PerfCore* buffer = Buffer();
    if (buffer == nullptr || row < 0 || row >= m_rows.Count() || position < 0 ||
        position >= columnCount())
        return {};
    const int sample = m_rows.order[static_cast<std::size_t>(row)];
    if (sample >= buffer->GetSampleCount()) return {};
    const TextColumn& column = VisibleColumn(position);
    return FormatValue(column.GetQuantity(), column.GetValue(*buffer, sample));
}

std::string CTxtModel::CopyText(const std::vector<int>& rows,
                                const std::vector<int>& positions) const {
    std::string text;
    const auto line = [&](auto cell) {
        for (std::size_t i = 0; i < positions.size(); ++i) {
            if (i > 0) text += '\t';
            std::string value = cell(positions[i]);
            if (!value.empty() && value.back() == ' ') value.pop_back();
            text += value;
        }
        text += '\n';
    };
    line([this](int position) {
        return position >= 0 && position < columnCount() ? VisibleColumn(position).GetShortName()
                                                         : std::string();
    });
    for (const int row : rows)
        line([&](int position) { return CellText(row, position); });
    return text;
}

}  // namespace tarnwick
