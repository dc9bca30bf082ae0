#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <array>
#include <vector>

#include "app/shell/AppSettings.h"
#include "app/shell/ViewFrame.h"

namespace tarnwick {

class CTarnwickApp;
class CTarnwickDoc;

// The main window: menus, tool bar, status bar and the area in which the
// document's windows live. Remembers its placement and bar state.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    // The commands of the menus and the tool bar that other code enables or checks.
    enum Command {
        kFileOpen,
        kAddBuffers,
        kDeleteBuffers,
        kExport,
        kOpenWorkspace,
        kSaveWorkspace,
        kSaveLayout,
        kAnalysisLayout,
        kSetupOpen,
        kSetupSave,
        kSetupEdit,
        kPrint,
        kPrintPreview,
        kPrintSetup,
        kOptions,
        kNewStatView,
        kNewGraphView,
        kNewTextView,
        kNewTrackView,
        kNewHistogramView,
        kCursorMode,
        kZoomSelection,
        kZoomInX,
        kZoomOutX,
        kZoomInY,
        kZoomOutY,
        kFitY,
        kCascade,
        kTileHorizontally,
        kTileVertically,
        kCommandCount
    };

    explicit CMainFrame(CTarnwickApp& app);
    ~CMainFrame() override;

    QMdiArea* MdiArea() const { return m_mdi; }
    QAction* Action(Command command) const { return m_actions[command]; }
    // The two range panes of the status bar (filled by the active graph view).
    void SetRangeTexts(const QString& time, const QString& distance);

    // Reads "window_pos" and "BarState"; the window is not shown yet.
    void RestorePlacement();
    // Writes "window_pos" and "BarState".
    void SavePlacement();

    // Opens a window of a kind of view on the document of the active window (or the
    // given document); null when that kind is not available.
    CViewFrame* OpenView(StartView kind, CTarnwickDoc* doc = nullptr);
    // The active view window, if any.
    CViewFrame* ActiveViewFrame() const;
    // Help > User Guide (F1).
    void ShowGuide();
    // Enables the commands for the current document and active window.
    void UpdateCommands();

    // The text of "window_pos" for a window: ten numbers; flags 2 when maximised.
    static QString FormatWindowPos(const QRect& normal, bool maximised);
    // The normal rectangle of a "window_pos" text; false unless it holds exactly ten numbers.
    static bool ParseWindowPos(const QString& text, QRect& normal);

protected:
    void closeEvent(QCloseEvent* event) override;
    // Closing the last window of the document closes the document, after the
    // question about changed setups; refusing keeps the window.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    // Runs a command of the active view and shows its new state.
    void RunViewCommand(ViewCommand command);
    void RebuildRecentMenu();
    void RebuildRecentWorkspaceMenu();
    void OnDocumentChanged(CTarnwickDoc* doc);
    void OnWindowActivated(QMdiSubWindow* window);
    CTarnwickDoc* ActiveDocument() const;

    CTarnwickApp& m_app;
    QMdiArea* m_mdi = nullptr;
    std::array<QAction*, kCommandCount> m_actions{};
    QMenu* m_recentMenu = nullptr;
    QMenu* m_recentWorkspaceMenu = nullptr;
    QAction* m_toolBarToggle = nullptr;
    QAction* m_statusBarToggle = nullptr;
    std::vector<QAction*> m_recentActions;
    QLabel* m_timePane = nullptr;
    QLabel* m_distancePane = nullptr;
    QLabel* m_numPane = nullptr;
    QMetaObject::Connection m_rangeConnection;
    QMetaObject::Connection m_commandsConnection;
};

}  // namespace tarnwick
