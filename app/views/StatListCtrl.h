#pragma once

#include <QColor>
#include <QHeaderView>
#include <QString>
#include <QTableView>
#include <optional>
#include <vector>

class QPainter;

namespace tarnwick {

// Sizes of a grid drawn in one font: row and heading heights, the indent unit of
// the first column and the text margins.
struct GridMetrics {
    int rowHeight = 0;
    int headerHeight = 0;
    int indentUnit = 0;
    int margin = 0;
    static GridMetrics For(const QFont& font, const QPaintDevice* device = nullptr);
};

// Shortens a text that does not fit: one character at a time until it followed by
// "..." fits (just "..." when nothing does).
QString ElideWithDots(const QString& text, const QFontMetrics& metrics, int width);

// A column header whose sections can carry a swatch in a colour before their text
// (the laps' colours in the statistics table). A switched-off column shows a
// face-coloured swatch and grey text.
class CColorHeaderCtrl : public QHeaderView {
    Q_OBJECT
public:
    explicit CColorHeaderCtrl(QWidget* parent = nullptr);

    // The swatch of section c: a colour, or nullopt for a switched-off column.
    // Sections never given one are plain.
    void SetColumnColour(int column, std::optional<QColor> colour);
    void ClearColumnColours();
    bool HasSwatch(int column) const;
    std::optional<QColor> ColumnColour(int column) const;

    // One section as the header paints it; also used to print the headings.
    void PaintSection(QPainter& painter, const QRect& rect, int column, bool pressed) const;

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Swatch {
        bool shown = false;
        std::optional<QColor> colour;
    };
    std::vector<Swatch> m_swatches;
    int m_pressed = -1;  // the section under the held mouse button
};

// A report grid whose rows form an outline: headings (level 0) and their items,
// indented in the first column. Cell texts too long for their column end in "...".
// One cell of the focused row carries the cell cursor; it stops only in columns
// that admit it, and Left and Right move it among those, wrapping around.
class CTreeGridCtrl : public QTableView {
    Q_OBJECT
public:
    explicit CTreeGridCtrl(QWidget* parent = nullptr);
    ~CTreeGridCtrl() override;

    // Inserts a column before `index` (at the end when out of range); returns its
    // index, or -1 when it cannot be inserted. An invalid background is the
    // grid's own.
    int InsertColumn(int index, const QString& text, int indentFactor, QColor background,
                     bool cursorAllowed, Qt::Alignment alignment, int width);
    bool DeleteColumn(int index);
    // Inserts a row before `index` (at the end for -1); `value` -1 makes it a
    // face-coloured row; an invalid text colour is the window text's. Returns the
    // row's index or -1.
    int InsertRow(int index, int value, const QString& text, int level,
                  QColor textColour = QColor());
    void DeleteAllRows();
    bool SetCellText(int row, int column, const QString& text);
    QString CellText(int row, int column) const;
    int RowLevel(int row) const;
    int RowCount() const;
    int ColumnCount() const;
    QString HeaderText(int column) const;

    // Heights and indents from the current font (also done when the font changes).
    void RecomputeMetrics();
    const GridMetrics& Metrics() const { return m_metrics; }
    // The column of the cell cursor (-1 when no column admits it).
    int CursorColumn() const { return m_cursorColumn; }
    // Repaints rows first..last.
    void RedrawRows(int first, int last);

    // Printing: the headings at the top of the painter's current origin, and rows
    // first..last below them, in the painter's font and its metrics `metrics`.
    void DrawHeadings(QPainter& painter, const GridMetrics& metrics) const;
    void DrawRows(QPainter& painter, const GridMetrics& metrics, int first, int last) const;

signals:
    void CellDoubleClicked(int row, int column);
    // A context menu was asked for at a global position (by the mouse, or by the
    // keyboard at the focused cell).
    void ContextMenuAt(const QPoint& global, int row, int column);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void changeEvent(QEvent* event) override;

    // The header this grid paints its headings with.
    virtual const CColorHeaderCtrl* ColorHeader() const { return nullptr; }

private:
    class Model;
    class Delegate;
    friend class Delegate;

    // Draws one cell (background, its bottom and right lines, indent, text and,
    // on screen, the cell cursor).
    void PaintCell(QPainter& painter, const QRect& rect, int row, int column, bool selected,
                   bool cursor, const GridMetrics& metrics) const;
    void MoveCursor(int step);
    bool CursorAllowed(int column) const;

    Model* m_model;
    GridMetrics m_metrics;
    int m_cursorColumn = -1;
};

// The statistics table: the outline grid with a colour header.
class CStatListCtrl : public CTreeGridCtrl {
    Q_OBJECT
public:
    explicit CStatListCtrl(QWidget* parent = nullptr);
    CColorHeaderCtrl* Header() const { return m_header; }

protected:
    const CColorHeaderCtrl* ColorHeader() const override { return m_header; }

private:
    CColorHeaderCtrl* m_header;
};

}  // namespace tarnwick
