#pragma once

#include <QPointer>
#include <QWidget>
#include <optional>

#include "app/shell/AppSettings.h"
#include "app/shell/DocView.h"
#include "app/shell/ViewFrame.h"

class QAction;
class QPrinter;

namespace tarnwick {

class CStatListCtrl;
class CTarnwickDoc;

// How the statistics table runs over pages: rowsPerPage rows below the headings of
// every page, the last page holding what is left.
struct StatPages {
    int rowsPerPage = 0;
    int lastPage = 0;
};
// Pages for rowCount rows of rowHeight each that start rowTop below the top of a
// usableHeight page; none when not one row fits.
std::optional<StatPages> PaginateStatTable(int rowCount, int usableHeight, int rowTop,
                                           int rowHeight);

// Width of every lap column when the table is fitted to `available` pixels beside a
// first column of `firstWidth` and a vertical scroll bar; 0 when the widths stay as
// they are (fewer than two columns, or too little room).
int FittedStatColumnWidth(int available, int firstWidth, int scrollBarWidth, int columnCount);

// The statistics window: a column per lap (headed in the lap's colour), a row per
// figure, from the table the command line prints. A click on a lap's heading
// switches that lap on or off in every view; a click on the first heading refits the
// columns. It prints across as many pages as the table needs.
class CStatView : public QWidget, public DocView {
    Q_OBJECT
public:
    static constexpr int kTableId = 1000;
    static constexpr const char* kPageTooSmallText = "Page size too small";
    static constexpr int kFirstColumnWidth = 240;
    static constexpr int kLapColumnWidth = 150;

    CStatView(CTarnwickDoc& doc, const AppSettings& settings, QWidget* parent = nullptr);
    ~CStatView() override;

    void OnUpdate(DocView* sender, const DocUpdate& update) override;

    CStatListCtrl* Table() const { return m_table; }
    // Fills the table anew from the document.
    void Rebuild();
    // Fits the lap columns to the given width (the table's, or the page's).
    void FitColumns(int available);
    // Switches a lap on or off from its column's heading (column 0 refits).
    void OnHeaderClicked(int column);

    // Prints the pages of the printer's range (all when none is set); false when the
    // table is empty or the page holds no row (the user is told).
    bool PrintTo(QPrinter& printer);
    QAction* PrintAction() const { return m_print; }
    QAction* PrintPreviewAction() const { return m_printPreview; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Retitle();
    // The table's width inside its frame.
    int ClientWidth() const;
    void SetHeaderColour(int buffer);
    void Print();
    void PrintPreview();

    QPointer<CTarnwickDoc> m_doc;
    const AppSettings& m_settings;
    CStatListCtrl* m_table;
    int m_columnCount = 1;
    int m_reference = -1;  // the reference lap the comparisons were made against
    QAction* m_print;
    QAction* m_printPreview;
};

// The window of a statistics view inside the main window.
class CStatFrame : public CViewFrame {
    Q_OBJECT
public:
    CStatFrame(CTarnwickDoc& doc, const AppSettings& settings, QWidget* parent = nullptr);
    ~CStatFrame() override;

    QAction* ViewAction(ViewCommand command) const override;
    CStatView* View() const { return m_view; }

private:
    CStatView* m_view;
};

void RegisterStatView();

}  // namespace tarnwick
