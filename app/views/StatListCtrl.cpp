#include "app/views/StatListCtrl.h"

#include <QAbstractTableModel>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

namespace tarnwick {

namespace {

constexpr int kTextMargin = 3;

QColor GreyText(const QPalette& palette) {
    return palette.color(QPalette::Disabled, QPalette::WindowText);
}

}  // namespace

GridMetrics GridMetrics::For(const QFont& font, const QPaintDevice* device) {
    const QFontMetrics fm = device != nullptr ? QFontMetrics(font, device) : QFontMetrics(font);
    GridMetrics m;
    m.margin = kTextMargin;
    m.rowHeight = fm.height() + 2 * 2 + 1;  // text, padding, the cell's bottom line
    m.headerHeight = fm.height() + 2 * 4;
    m.indentUnit = std::max(fm.height() / 2, 1);
    return m;
}

QString ElideWithDots(const QString& text, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(text) <= width) return text;
    static const QString kDots = QStringLiteral("...");
    QString shorter = text;
    while (!shorter.isEmpty()) {
        shorter.chop(shorter.size() >= 2 && shorter.back().isLowSurrogate() ? 2 : 1);
        if (metrics.horizontalAdvance(shorter + kDots) <= width) break;
    }
    return shorter + kDots;
}

// --- the grid's data ------------------------------------------------------------------

class CTreeGridCtrl::Model : public QAbstractTableModel {
public:
    struct Column {
        QString text;
        int indentFactor = 0;
        QColor background;
        bool cursorAllowed = false;
        Qt::Alignment alignment = Qt::AlignLeft;
    };
    struct Row {
        int level = 0;
        int value = 0;
        QColor textColour;
        std::vector<QString> cells;
    };

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(columns.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        if (role == Qt::DisplayRole) return Cell(index.row(), index.column());
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Col(index.column()).alignment | Qt::AlignVCenter);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
        if (role == Qt::DisplayRole) return Col(section).text;
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Col(section).alignment | Qt::AlignVCenter);
        return {};
    }

    const Column& Col(int c) const { return columns[static_cast<std::size_t>(c)]; }
    const Row& RowAt(int r) const { return rows[static_cast<std::size_t>(r)]; }
    QString Cell(int r, int c) const {
        const std::vector<QString>& cells = RowAt(r).cells;
        return c >= 0 && c < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(c)]
                                                            : QString();
    }

    int InsertColumn(int index, Column column) {
        const int count = columnCount();
        if (index < 0 || index > count) index = count;
        beginInsertColumns({}, index, index);
        columns.insert(columns.begin() + index, std::move(column));
        for (Row& row : rows)
            row.cells.insert(row.cells.begin() + index, QString());
        endInsertColumns();
        return index;
    }
    bool RemoveColumn(int index) {
        if (index < 0 || index >= columnCount()) return false;
        beginRemoveColumns({}, index, index);
        columns.erase(columns.begin() + index);
        for (Row& row : rows)
            row.cells.erase(row.cells.begin() + index);
        endRemoveColumns();
        return true;
    }
    int InsertRow(int index, Row row) {
        const int count = rowCount();
        if (index < 0 || index > count) index = count;
        row.cells.resize(columns.size());
        beginInsertRows({}, index, index);
        rows.insert(rows.begin() + index, std::move(row));
        endInsertRows();
        return index;
    }
    void Clear() {
        beginResetModel();
        rows.clear();
        endResetModel();
    }
    bool SetCell(int r, int c, const QString& text) {
        if (r < 0 || r >= rowCount() || c < 0 || c >= columnCount()) return false;
        rows[static_cast<std::size_t>(r)].cells[static_cast<std::size_t>(c)] = text;
        emit dataChanged(index(r, c), index(r, c), {Qt::DisplayRole});
        return true;
    }

    std::vector<Column> columns;
    std::vector<Row> rows;
};

class CTreeGridCtrl::Delegate : public QStyledItemDelegate {
public:
    explicit Delegate(CTreeGridCtrl* grid) : QStyledItemDelegate(grid), m_grid(grid) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QModelIndex current = m_grid->currentIndex();
        const bool cursor = m_grid->hasFocus() && current.isValid() &&
                            current.row() == index.row() &&
                            index.column() == m_grid->m_cursorColumn;
        m_grid->PaintCell(*painter, option.rect, index.row(), index.column(),
                          option.state.testFlag(QStyle::State_Selected), cursor,
                          m_grid->m_metrics);
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        return {0, m_grid->m_metrics.rowHeight};
    }

private:
    CTreeGridCtrl* m_grid;
};

// --- CColorHeaderCtrl -----------------------------------------------------------------

CColorHeaderCtrl::CColorHeaderCtrl(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(true);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void CColorHeaderCtrl::SetColumnColour(int column, std::optional<QColor> colour) {
    if (column < 0) return;
    if (column >= static_cast<int>(m_swatches.size()))
        m_swatches.resize(static_cast<std::size_t>(column) + 1);
    m_swatches[static_cast<std::size_t>(column)] = {true, colour};
    updateSection(column);
}

void CColorHeaderCtrl::ClearColumnColours() {
    m_swatches.clear();
    viewport()->update();
}

bool CColorHeaderCtrl::HasSwatch(int column) const {
    return column >= 0 && column < static_cast<int>(m_swatches.size()) &&
           m_swatches[static_cast<std::size_t>(column)].shown;
}

std::optional<QColor> CColorHeaderCtrl::ColumnColour(int column) const {
    if (!HasSwatch(column)) return std::nullopt;
    return m_swatches[static_cast<std::size_t>(column)].colour;
}

void CColorHeaderCtrl::paintSection(QPainter* painter, const QRect& rect,
                                    int logicalIndex) const {
    PaintSection(*painter, rect, logicalIndex, logicalIndex == m_pressed);
}

void CColorHeaderCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pressed = logicalIndexAt(event->position().toPoint());
        viewport()->update();
    }
    QHeaderView::mousePressEvent(event);
}

void CColorHeaderCtrl::mouseReleaseEvent(QMouseEvent* event) {
    QHeaderView::mouseReleaseEvent(event);
    if (m_pressed >= 0) {
        m_pressed = -1;
        viewport()->update();
    }
}

void CColorHeaderCtrl::PaintSection(QPainter& painter, const QRect& rect, int column,
                                    bool pressed) const {
    painter.save();
    const QPalette& pal = palette();
    painter.fillRect(rect, pal.color(QPalette::Button));
    painter.setPen(pal.color(QPalette::Dark));
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());

    QRect area = rect.adjusted(0, 0, -1, -1);
    if (pressed) area.translate(1, 2);
    const QFontMetrics fm = painter.fontMetrics();
    const int blank = std::max(fm.horizontalAdvance(QLatin1Char(' ')), 1);
    QColor ink = pal.color(QPalette::WindowText);
    int textLeft = area.left() + kTextMargin;
    if (HasSwatch(column)) {
        const std::optional<QColor> colour = ColumnColour(column);
        const int inset = blank * 2 / 3;
        const int side = std::max(area.height() - 2 * inset, 2);
        const QRect swatch(area.left() + 2 * blank, area.top() + inset, side, side);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(pal.color(QPalette::Dark));
        painter.setBrush(colour ? *colour : pal.color(QPalette::Button));
        painter.drawRoundedRect(QRectF(swatch).adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
        painter.setRenderHint(QPainter::Antialiasing, false);
        textLeft = swatch.right() + 1 + blank;
        if (!colour) ink = GreyText(pal);
    }
    const QRect textRect(textLeft, area.top(), area.right() - kTextMargin - textLeft + 1,
                         area.height());
    const QString text = model() != nullptr
                             ? model()->headerData(column, Qt::Horizontal).toString()
                             : QString();
    const auto alignment =
        model() != nullptr
            ? Qt::Alignment(
                  model()->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole).toInt())
            : Qt::Alignment(Qt::AlignLeft);
    painter.setPen(ink);
    painter.drawText(textRect,
                     static_cast<int>((alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter |
                                      Qt::TextSingleLine),
                     ElideWithDots(text, fm, textRect.width()));
    painter.restore();
}

// --- CTreeGridCtrl ----------------------------------------------------------------------

CTreeGridCtrl::CTreeGridCtrl(QWidget* parent) : QTableView(parent), m_model(new Model(this)) {
    setModel(m_model);
    setItemDelegate(new Delegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setShowGrid(false);  // the cells draw their own lines
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    RecomputeMetrics();
}

CTreeGridCtrl::~CTreeGridCtrl() = default;

int CTreeGridCtrl::InsertColumn(int index, const QString& text, int indentFactor,
                                QColor background, bool cursorAllowed,
                                Qt::Alignment alignment, int width) {
    const int at = m_model->InsertColumn(
        index, {text, std::clamp(indentFactor, 0, 255), background, cursorAllowed, alignment});
    horizontalHeader()->resizeSection(at, width);
    if (m_cursorColumn >= at) ++m_cursorColumn;
    if (m_cursorColumn < 0 && cursorAllowed) m_cursorColumn = at;
    return at;
}

bool CTreeGridCtrl::DeleteColumn(int index) {
    if (!m_model->RemoveColumn(index)) return false;
    if (m_cursorColumn == index) {
        m_cursorColumn = -1;
        for (int c = 0; c < ColumnCount() && m_cursorColumn < 0; ++c)
            if (CursorAllowed(c)) m_cursorColumn = c;
    } else if (m_cursorColumn > index) {
        --m_cursorColumn;
    }
    return true;
}

int CTreeGridCtrl::InsertRow(int index, int value, const QString& text, int level,
                             QColor textColour) {
    const int at = m_model->InsertRow(index, {std::max(level, 0), value, textColour, {}});
    m_model->SetCell(at, 0, text);
    return at;
}

void CTreeGridCtrl::DeleteAllRows() { m_model->Clear(); }

bool CTreeGridCtrl::SetCellText(int row, int column, const QString& text) {
    return m_model->SetCell(row, column, text);
}

QString CTreeGridCtrl::CellText(int row, int column) const {
    return row >= 0 && row < RowCount() ? m_model->Cell(row, column) : QString();
}

int CTreeGridCtrl::RowLevel(int row) const {
    return row >= 0 && row < RowCount() ? m_model->RowAt(row).level : -1;
}

int CTreeGridCtrl::RowCount() const { return m_model->rowCount(); }
int CTreeGridCtrl::ColumnCount() const { return m_model->columnCount(); }

QString CTreeGridCtrl::HeaderText(int column) const {
    return m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

void CTreeGridCtrl::RecomputeMetrics() {
    m_metrics = GridMetrics::For(font());
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(m_metrics.rowHeight);
    horizontalHeader()->setFixedHeight(m_metrics.headerHeight);
    viewport()->update();
}

void CTreeGridCtrl::RedrawRows(int first, int last) {
    first = std::max(first, 0);
    last = std::min(last, RowCount() - 1);
    if (first > last) return;
    QRect area;
    for (int r : {first, last})
        area |= QRect(0, rowViewportPosition(r), viewport()->width(), rowHeight(r));
    viewport()->repaint(area);
}

bool CTreeGridCtrl::CursorAllowed(int column) const {
    return column >= 0 && column < ColumnCount() && m_model->Col(column).cursorAllowed;
}

void CTreeGridCtrl::PaintCell(QPainter& painter, const QRect& rect, int row, int column,
                              bool selected, bool cursor, const GridMetrics& metrics) const {
    const Model::Row& r = m_model->RowAt(row);
    const Model::Column& c = m_model->Col(column);
    const QPalette& pal = palette();
    QColor paper = pal.color(QPalette::Base);
    if (r.value == -1) {
        paper = pal.color(QPalette::Button);
    } else if (m_model->Col(0).background.isValid()) {
        paper = m_model->Col(0).background;
    }
    QColor ink = r.textColour.isValid() ? r.textColour : pal.color(QPalette::WindowText);
    if (selected) {
        paper = pal.color(QPalette::Highlight);
        ink = pal.color(QPalette::HighlightedText);
    }
    painter.save();
    painter.fillRect(rect, paper);
    painter.setPen(pal.color(QPalette::Mid));
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());

    QRect text = rect.adjusted(metrics.margin, 0, -metrics.margin - 1, -1);
    if (column == 0) text.setLeft(text.left() + r.level * c.indentFactor * metrics.indentUnit);
    painter.setPen(ink);
    painter.drawText(text,
                     static_cast<int>((c.alignment & Qt::AlignHorizontal_Mask) |
                                      Qt::AlignVCenter | Qt::TextSingleLine),
                     ElideWithDots(m_model->Cell(row, column), painter.fontMetrics(),
                                   text.width()));
    if (cursor) {
        QPen dots(ink, 1, Qt::DotLine);
        painter.setPen(dots);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(1, 1, -2, -2));
    }
    painter.restore();
}

void CTreeGridCtrl::DrawHeadings(QPainter& painter, const GridMetrics& metrics) const {
    int x = 0;
    for (int c = 0; c < ColumnCount(); ++c) {
        const QRect rect(x, 0, columnWidth(c), metrics.headerHeight);
        if (const CColorHeaderCtrl* header = ColorHeader()) {
            header->PaintSection(painter, rect, c, false);
        } else {
            painter.drawText(rect.adjusted(metrics.margin, 0, -metrics.margin, 0),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                             ElideWithDots(HeaderText(c), painter.fontMetrics(),
                                           rect.width() - 2 * metrics.margin));
        }
        x += columnWidth(c);
    }
}

void CTreeGridCtrl::DrawRows(QPainter& painter, const GridMetrics& metrics, int first,
                             int last) const {
    first = std::max(first, 0);
    last = std::min(last, RowCount() - 1);
    for (int r = first; r <= last; ++r) {
        const int y = metrics.headerHeight + (r - first) * metrics.rowHeight;
        int x = 0;
        for (int c = 0; c < ColumnCount(); ++c) {
            PaintCell(painter, QRect(x, y, columnWidth(c), metrics.rowHeight), r, c, false,
                      false, metrics);
            x += columnWidth(c);
        }
    }
}

void CTreeGridCtrl::MoveCursor(int step) {
    const int count = ColumnCount();
    if (m_cursorColumn < 0 || count == 0) return;
    int c = m_cursorColumn;
    for (int k = 0; k < count; ++k) {
        c = (c + step + count) % count;
        if (CursorAllowed(c)) break;
    }
    m_cursorColumn = c;
    const QModelIndex current = currentIndex();
    if (current.isValid()) {
        selectionModel()->setCurrentIndex(m_model->index(current.row(), c),
                                          QItemSelectionModel::NoUpdate);
        scrollTo(m_model->index(current.row(), c));
    }
    viewport()->update();
}

void CTreeGridCtrl::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) &&
        event->modifiers() == Qt::NoModifier && m_cursorColumn >= 0) {
        MoveCursor(event->key() == Qt::Key_Left ? -1 : +1);
        return;
    }
    QTableView::keyPressEvent(event);
}

void CTreeGridCtrl::mousePressEvent(QMouseEvent* event) {
    const int column = columnAt(event->position().toPoint().x());
    if (CursorAllowed(column)) m_cursorColumn = column;
    QTableView::mousePressEvent(event);
    const QModelIndex current = currentIndex();
    if (current.isValid() && m_cursorColumn >= 0 && current.column() != m_cursorColumn)
        selectionModel()->setCurrentIndex(m_model->index(current.row(), m_cursorColumn),
                                          QItemSelectionModel::NoUpdate);
    viewport()->update();
}

void CTreeGridCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid()) emit CellDoubleClicked(index.row(), index.column());
    QTableView::mouseDoubleClickEvent(event);
}

void CTreeGridCtrl::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Mouse) {
        const QModelIndex index = indexAt(event->pos());
        emit ContextMenuAt(event->globalPos(), index.row(), index.column());
        return;
    }
    // From the keyboard: at the focused cell, else the first row, else the middle.
    QModelIndex index = currentIndex();
    if (!index.isValid() && RowCount() > 0) index = m_model->index(0, std::max(m_cursorColumn, 0));
    const QPoint at = index.isValid() ? visualRect(index).center() : viewport()->rect().center();
    emit ContextMenuAt(viewport()->mapToGlobal(at), index.row(), index.column());
}

void CTreeGridCtrl::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) RecomputeMetrics();
}

// --- CStatListCtrl -----------------------------------------------------------------------

CStatListCtrl::CStatListCtrl(QWidget* parent)
    : CTreeGridCtrl(parent), m_header(new CColorHeaderCtrl(this)) {
    setHorizontalHeader(m_header);
    RecomputeMetrics();
}

}  // namespace tarnwick
