#pragma once

// The sample table: its column catalogue, cell texts, the rows of a distance range in
// sorted order, and the table model that hands the view one cell text at a time. No
// cell text is stored; each is formatted when the view asks for it.

#include <QAbstractTableModel>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "morlund/items/DataItem.h"

namespace morlund {
class PerfCore;
class Wheel;
}  // namespace morlund

namespace tarnwick {

class CTarnwickDoc;

// A column the table can show: the sample index, or one catalogue item for one wheel
// selector. Columns point into the catalogues and own nothing.
class TextColumn {
public:
    virtual ~TextColumn() = default;
    // "Ride Height (Left Front)"; the column list of Delete columns.
    virtual std::string GetLongName() const = 0;
    // "rh.lf"; the column header.
    virtual std::string GetShortName() const = 0;
    virtual std::string GetItemName() const = 0;
    virtual morlund::DataItem::DataType GetDataType() const = 0;
    virtual int GetQuantity() const = 0;
    // The display value at a sample (0 .. sample count - 1).
    virtual double GetValue(const morlund::PerfCore& buffer, int sample) const = 0;
    // The catalogue item and wheel; null for the sample column.
    virtual const morlund::DataItem* GetItem() const { return nullptr; }
    virtual const morlund::Wheel* GetWheel() const { return nullptr; }

    bool visible = false;
};

class SampleColumn : public TextColumn {
public:
    std::string GetLongName() const override { return "Sample"; }
    std::string GetShortName() const override { return "s"; }
    std::string GetItemName() const override { return "Sample"; }
    morlund::DataItem::DataType GetDataType() const override { return morlund::DataItem::DT_CAR; }
    int GetQuantity() const override { return morlund::DataItem::Q_SELECTION; }
    double GetValue(const morlund::PerfCore&, int sample) const override { return sample; }
};

class ItemColumn : public TextColumn {
public:
    ItemColumn(const morlund::DataItem* item, const morlund::Wheel* wheel)
        : m_item(item), m_wheel(wheel) {}
    std::string GetLongName() const override;
    std::string GetShortName() const override;
    std::string GetItemName() const override { return m_item->GetName(); }
    morlund::DataItem::DataType GetDataType() const override { return m_item->GetDataType(); }
    int GetQuantity() const override { return m_item->GetQuantity(); }
    double GetValue(const morlund::PerfCore& buffer, int sample) const override;
    const morlund::DataItem* GetItem() const override { return m_item; }
    const morlund::Wheel* GetWheel() const override { return m_wheel; }

private:
    const morlund::DataItem* m_item;
    const morlund::Wheel* m_wheel;
};

using TextColumns = std::vector<std::unique_ptr<TextColumn>>;

// The catalogue, built once per view: the sample column (visible), then every item
// below the model level in catalogue order: a car item once (visible when measured),
// a per-wheel item once per wheel selector but ALL (hidden).
TextColumns BuildTextColumns();
// Catalogue indices of the visible columns, in catalogue order.
std::vector<int> VisibleColumns(const TextColumns& columns);

// A cell's text: "%.*f " with 2 decimals for lengths, 3 for times, none for angular
// speeds, counts and quantities beyond them, else max(2 - trunc(log10|v|), 0) (0 for
// 0, at most 15). Values that are not finite read "nan ", "inf " or "-inf ".
std::string FormatValue(int quantity, double value);

// --- rows -----------------------------------------------------------------------------
// The samples a distance range shows, scanned over the buffer's distances d(i) with
// d(-1) = -1: first is the last i with d(i) >= from > d(i-1) (0 for none), last the
// last i with d(i) > to >= d(i-1) (the sample count for none), cursorSample the last i
// with d(i) >= cursor > d(i-1) (unchanged for none). Laps whose distance wraps keep
// these rules.
struct RowRange {
    int first = 0;
    int last = 0;
    int cursorSample = -1;
};
RowRange FindRowRange(const morlund::PerfCore& buffer, double from, double to, double cursor,
                      int cursorSample);

// Sort keys: 0 sorts by sample index, +k / -k by visible column k - 1 ascending /
// descending. The first key that tells two rows apart decides.
using SortKeys = std::vector<int>;

// The keys after a click on the header of visible column `column`: its key keeps its
// sign (flipped when it is the last key) or comes in ascending; without Ctrl it
// becomes the only key, with Ctrl it moves to the end.
SortKeys ClickedSortKeys(const SortKeys& keys, int column, bool ctrl);
// The keys left when the visible columns from `lowestRemoved` on have moved: those on
// earlier columns; [0] (sample order) when none is left.
SortKeys DropSortKeys(const SortKeys& keys, int lowestRemoved);

// The samples first .. last - 1 in display order, and where each sample stands.
struct TextRows {
    int first = 0;
    std::vector<int> order;  // row -> sample
    std::vector<int> rowOf;  // sample - first -> row

    int Count() const { return static_cast<int>(order.size()); }
    // The row of a sample; -1 when it is not shown.
    int RowOf(int sample) const;
};

// Sorts the samples first .. last - 1 by the keys. Each key's values are read once;
// rows equal on every key keep sample order, and values that are not numbers come
// after every number (first when descending). Keys on columns that are not visible
// are passed over.
TextRows SortRows(const TextColumns& columns, const std::vector<int>& visible, const SortKeys& keys,
                  const morlund::PerfCore& buffer, int first, int last);

// --- columns ----------------------------------------------------------------------------
// What Add columns offers: catalogue indices of the hidden or per-wheel columns, a
// per-wheel item once (its first column).
std::vector<int> AddColumnCandidates(const TextColumns& columns);
// The catalogue indices to show for the chosen candidates (indices into `candidates`):
// a car column itself, for a per-wheel one every hidden column of the item whose wheel
// is among `wheels`. Each index appears once.
std::vector<int> ColumnsToAdd(const TextColumns& columns, const std::vector<int>& candidates,
                              const std::vector<int>& chosen,
                              const std::vector<const morlund::Wheel*>& wheels);

// "<document> (<lap>) - Text View", or "<document> - Text View" when no lap is shown.
QString TextViewTitle(const QString& docTitle, const std::optional<QString>& bufferName);

// --- the table model ------------------------------------------------------------------
// The table of one buffer's rows and the visible columns. The shown buffer is looked up
// in the document whenever a cell is asked for, so that a lap deleted before the view
// hears of it is never read.
class CTxtModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CTxtModel(CTarnwickDoc& doc, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    const TextColumns& Columns() const { return m_columns; }
    const std::vector<int>& Visible() const { return m_visible; }
    const TextColumn& VisibleColumn(int position) const { return *m_columns[m_visible[position]]; }
    const TextRows& Rows() const { return m_rows; }
    int BufferIndex() const { return m_buffer; }
    // The shown buffer; null when the document has no buffer at the index.
    const morlund::PerfCore* Buffer() const;

    // New rows of a buffer (-1: none).
    void SetRows(int buffer, TextRows rows);
    // Shows catalogue columns as the last list columns.
    void AppendColumns(const std::vector<int>& catalogueIndices);
    // Hides the visible columns at the positions and takes them out, highest first.
    void RemoveColumns(std::vector<int> positions);

    // A cell's text; empty outside the table or the buffer.
    std::string CellText(int row, int position) const;
    // Tab-separated lines: the columns' short names in `positions` order, then each row's
    // cells without their trailing blanks. Every line ends in "\n".
    std::string CopyText(const std::vector<int>& rows, const std::vector<int>& positions) const;

private:
    QPointer<CTarnwickDoc> m_doc;
    TextColumns m_columns;
    std::vector<int> m_visible;
    TextRows m_rows;
    int m_buffer = -1;
};

}  // namespace tarnwick
