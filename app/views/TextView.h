#pragma once

#include <QPointer>
#include <QTableView>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/shell/AppSettings.h"
#include "app/shell/DocView.h"
#include "app/shell/ViewFrame.h"
#include "app/views/TextModel.h"

class QAction;
class QItemSelection;
class QMenu;
namespace pellith {
struct WorkspaceWindow;
}

namespace tarnwick {

class CTarnwickDoc;

// The samples of one lap as a table of numbers: one row per sample of the selected
// distance range, one column per chosen channel and wheel. The user picks the lap,
// adds and removes columns and sorts by one or several of them; choosing a single row
// moves the cursor of every synchronised view to that sample. While Synchronize is on
// the view follows the cursor and the range of the others.
class CTxtView : public QTableView, public DocView {
    Q_OBJECT
public:
    enum Command { kSelectBuffer, kAddColumns, kDeleteColumns, kSync, kCommandCount };

    static constexpr const char* kSelectBufferTitle = "Select buffer";
    static constexpr const char* kDefaultBuffer = "<default>";
    static constexpr const char* kAddColumnsTitle = "Select column(s) to add";
    static constexpr const char* kWheelsTitle = "Select wheel(s)";
    static constexpr const char* kDeleteColumnsTitle = "Select column(s) to remove";
    static constexpr int kColumnWidth = 70;

    // Lets the user pick entries of a list: `selection` holds the entries to preselect,
    // and after OK (true) the chosen ones in ascending order. By default the selection
    // list dialog.
    using Chooser = std::function<bool(const std::vector<std::string>& names, const QString& title,
                                       bool single, std::vector<int>& selection)>;

    explicit CTxtView(CTarnwickDoc& doc, QWidget* parent = nullptr);
    ~CTxtView() override;

    const CTxtModel& Model() const { return *m_model; }
    QAction* Action(Command command) const { return m_actions[command]; }
    const SortKeys& Keys() const { return m_keys; }
    // The lap chosen with Select buffer; -1 follows the document's current lap.
    int BufferChoice() const { return m_bufferChoice; }
    int ShownBuffer() const { return m_shownBuffer; }
    int CursorSample() const { return m_cursorSample; }
    double Cursor() const { return m_cursor; }
    bool IsSync() const { return m_sync; }

    void OnUpdate(DocView* sender, const DocUpdate& update) override;
    // A click on the header of list column `column`; with Ctrl it adds a sort key.
    void SortByColumn(int column, bool ctrl);
    // What Copy puts on the clipboard: the selected rows, or every row when none is
    // selected, under a line of column names, in the order the header shows them.
    QString CopyText() const;

    // The workspace settings: the visible columns (short names), the sort keys, Synchronize.
    void SaveState(pellith::WorkspaceWindow& window) const;
    void RestoreState(const pellith::WorkspaceWindow& window, std::vector<std::string>& problems);

    void SetChooser(Chooser chooser) { m_chooser = std::move(chooser); }
    // The popup menu; the caller owns it.
    QMenu* CreateContextMenu(QWidget* parent);

public slots:
    void SelectBuffer();
    void AddColumns();
    void DeleteColumns();
    void ToggleSync();
    void Copy();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void CreateActions();
    // Takes over the lap, cursor and range of another view (hint) or of the document.
    void Update(const ViewHint* hint);
    // Sorts the rows of the range again.
    void Rebuild();
    // Sorts the rows by new keys.
    void Resort();
    // Selects the cursor's row and scrolls it into view.
    void SelectCursorRow();
    void OnSelectionChanged(const QItemSelection& selected);
    void ShowSortKey();
    void Retitle();
    bool Choose(const std::vector<std::string>& names, const QString& title, bool single,
                std::vector<int>& selection);

    QPointer<CTarnwickDoc> m_doc;
    CTxtModel* m_model;
    std::array<QAction*, kCommandCount> m_actions{};
    Chooser m_chooser;

    int m_bufferChoice = -1;
    int m_currentBuffer = -1;  // the document's, as last taken over
    int m_shownBuffer = -1;
    double m_cursor = 0.0;  // metres
    double m_selectionFrom = 0.0;
    double m_selectionTo = -1.0;
    double m_trackLength = 0.0;  // whole metres
    int m_firstRow = 0;          // the samples shown: first .. last - 1
    int m_lastRow = 0;
    int m_cursorSample = -1;
    bool m_sync = true;
    bool m_selecting = false;  // the view selects a row itself
    SortKeys m_keys{0};
};

// The window of a text view inside the main window; the view sets the caption.
class CTxtFrame : public CViewFrame {
    Q_OBJECT
public:
    explicit CTxtFrame(CTarnwickDoc& doc, QWidget* parent = nullptr);
    ~CTxtFrame() override;

    CTxtView* View() const { return m_view; }
    void SaveState(pellith::WorkspaceWindow& window) const override;
    void RestoreState(const pellith::WorkspaceWindow& window,
                      std::vector<std::string>& problems) override;

private:
    CTxtView* m_view;
};

// Makes text windows known to the main window.
void RegisterTextView();

}  // namespace tarnwick
