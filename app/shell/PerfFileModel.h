#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "morlund/formats/PerfFileScan.h"

namespace tarnwick {

// The perf file browser's list: the files found so far, in the order of the
// column it is sorted by (in the order found until it is sorted). Texts are
// made when the view asks for them. Rows arriving while the list is sorted go
// to their sorted places; selections follow their files.
class PerfFileModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumnCount = morlund::kPerfFileColumnCount;
    static constexpr int kColumnWidths[kColumnCount] = {300, 100, 50, 200, 150};

    explicit PerfFileModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Adds files found by a scan.
    void Append(std::vector<morlund::PerfFileEntry> entries);
    // Forgets every file (a new scan begins).
    void Clear();
    const morlund::PerfFileEntry& Entry(int row) const;

    // The column the list is sorted by, if any, and in which direction.
    std::optional<int> SortColumn() const { return m_sortColumn; }
    bool IsAscending() const { return m_ascending; }

private:
    // Re-sorts the rows; the first `sortedCount` are in order already.
    void Resort(std::size_t sortedCount);

    std::vector<morlund::PerfFileEntry> m_entries;  // in the order found
    std::vector<std::uint32_t> m_rows;              // row -> entry
    std::optional<int> m_sortColumn;
    bool m_ascending = true;
    std::array<QIcon, morlund::kGameCount> m_icons;
};

// How a click on a column header sorts the list: the same column again
// reverses the order, another column starts ascending.
struct PerfFileSort {
    std::optional<int> column;
    bool ascending = true;

    PerfFileSort Clicked(int clicked) const {
        if (column == clicked) return {column, !ascending};
        return {clicked, true};
    }
};

}  // namespace tarnwick
