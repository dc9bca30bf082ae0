#include "app/shell/PerfFileModel.h"

#include "app/res/Icons.h"

namespace tarnwick {

using morlund::PerfFileColumn;
using morlund::PerfFileEntry;

namespace {
constexpr const char* kColumnNames[morlund::kPerfFileColumnCount] = {"Name", "Time", "Lap", "Track",
                                                                     "Date"};
}  // namespace

PerfFileModel::PerfFileModel(QObject* parent) : QAbstractTableModel(parent) {
    for (const morlund::GameInfo& game : morlund::GetGames())
        m_icons[static_cast<std::size_t>(morlund::GameIndex(game.type))] =
            QIcon(GameIconPixmap(game.type, 16));
}

int PerfFileModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int PerfFileModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : morlund::kPerfFileColumnCount;
}

const PerfFileEntry& PerfFileModel::Entry(int row) const {
    return m_entries[m_rows[static_cast<std::size_t>(row)]];
}

QVariant PerfFileModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const PerfFileEntry& e = Entry(index.row());
    const auto column = static_cast<PerfFileColumn>(index.column());
    if (role == Qt::DecorationRole && column == PerfFileColumn::Name)
        return m_icons[static_cast<std::size_t>(morlund::GameIndex(e.game))];
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    switch (column) {
        case PerfFileColumn::Name:
            return role == Qt::ToolTipRole ? QString::fromStdU16String(e.path.u16string())
                                           : QString::fromStdString(e.name);
        case PerfFileColumn::Time:
            return QString::fromStdString(e.timeText);
        case PerfFileColumn::Lap:
            return e.lap >= 0 ? QString::asprintf("%2d", e.lap) : QStringLiteral("?");
        case PerfFileColumn::Track:
            return QString::fromStdString(e.trackText);
        case PerfFileColumn::Date:
            return QString::fromStdString(e.dateText);
    }
    return {};
}

QVariant PerfFileModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= morlund::kPerfFileColumnCount)
        return {};
    if (role == Qt::DisplayRole) return QString::fromLatin1(kColumnNames[section]);
    if (role == Qt::InitialSortOrderRole) return Qt::AscendingOrder;
    return {};
}

void PerfFileModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= morlund::kPerfFileColumnCount) return;
    m_sortColumn = column;
    m_ascending = order == Qt::AscendingOrder;
    Resort(0);
}

void PerfFileModel::Resort(std::size_t sortedCount) {
    if (!m_sortColumn) return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<std::uint32_t> entryOf;
    entryOf.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before)
        entryOf.push_back(m_rows[static_cast<std::size_t>(index.row())]);
    morlund::SortPerfFiles(m_rows, m_entries, static_cast<PerfFileColumn>(*m_sortColumn),
                           m_ascending, sortedCount);
    // Selections and the current row stay with their files.
    std::vector<int> rowOf(m_entries.size());
    for (std::size_t row = 0; row < m_rows.size(); ++row)
        rowOf[m_rows[row]] = static_cast<int>(row);
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype k = 0; k < before.size(); ++k)
        after << index(rowOf[entryOf[static_cast<std::size_t>(k)]], before[k].column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void PerfFileModel::Append(std::vector<PerfFileEntry> entries) {
    if (entries.empty()) return;
    const std::size_t first = m_rows.size();
    beginInsertRows({}, static_cast<int>(first), static_cast<int>(first + entries.size() - 1));
    for (PerfFileEntry& e : entries) {
        m_rows.push_back(static_cast<std::uint32_t>(m_entries.size()));
        m_entries.push_back(std::move(e));
    }
    endInsertRows();
    // The new rows arrived at the end; a sorted list takes them to their places.
    Resort(first);
}

void PerfFileModel::Clear() {
    beginResetModel();
    m_entries.clear();
    m_rows.clear();
    endResetModel();
}

}  // namespace tarnwick
