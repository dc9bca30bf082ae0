#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QPointer>
#include <QStringList>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/graph/GraphItem.h"
#include "app/graph/GraphRenderer.h"
#include "app/graph/GraphState.h"
#include "app/shell/AppSettings.h"
#include "app/shell/DocView.h"

class QAction;
class QMenu;
class QPrinter;

namespace morlund {
class Wheel;
}
namespace pellith {
struct WorkspaceWindow;
}

namespace tarnwick {

class CTarnwickDoc;

// A graph of one channel of every lap, over the lap distance or over another channel.
// The view keeps its own items (with their zoom, offsets and overlays) and follows the
// other views of the document while Synchronize is on.
//
// The picture is drawn once into an image and kept until something it shows changes;
// moving the selection band repaints from that image. Repaint requests go through
// QWidget::update, so a burst of updates from other views is painted once.
class CGraphView : public QAbstractScrollArea, public DocView {
    Q_OBJECT
public:
    enum Command {
        kZoomInX,
        kZoomOutX,
        kZoomInY,
        kZoomOutY,
        kZoomSelection,
        kZoomAll,
        kFitY,
        kCursorMode,
        kDrawLines,
        kShowValues,
        kSync,
        kEditItem,
        kAddOverlay,
        kRemoveOverlay,
        kPrint,
        kPrintPreview,
        kCommandCount
    };

    static constexpr const char* kAddOverlayTitle = "Select item(s) to add as overlay";
    static constexpr const char* kRemoveOverlayTitle = "Select overlay(s) to remove";

    // Lets the user pick entries of a list; true on OK with the chosen indices in
    // ascending order. By default the selection list dialog.
    using Chooser = std::function<bool(const std::vector<std::string>& names, const QString& title,
                                       std::vector<int>& chosen)>;

    // The settings give the defaults (cursor mode, lines, values, flicker-free drawing,
    // the radius limit, miles); they are read again at every full update and must
    // outlive the view.
    CGraphView(CTarnwickDoc& doc, const AppSettings& settings, QWidget* parent = nullptr);
    ~CGraphView() override;

    CTarnwickDoc* Document() const { return m_doc; }
    const GraphItemList& Items() const { return m_items; }
    GraphItem& Item(int index) { return *m_items.at(index); }
    const GraphState& State() const { return m_state; }
    int XItem() const { return m_state.xItem; }
    int YItem() const { return m_state.yItem; }
    const morlund::Wheel* GetWheel() const { return m_state.wheel; }
    int GetBuffer() const { return m_state.buffer; }
    // Every buffer's name, in index order.
    QStringList BufferNames() const;
    QAction* Action(Command command) const { return m_actions[command]; }

    // Choices of the selector bar; each redraws (an unchanged choice does nothing).
    void SetX(int index);
    void SetY(int index);
    void SetWheel(const morlund::Wheel* wheel);
    // A new reference buffer: redraws and tells the other views.
    void SetBuffer(int index);
    // The buffer selector's choice; ignored while the view refills the selector.
    void OnBufferSelected(int index);

    // Zoom X or Y in or out by a number of steps.
    void ZoomX(bool in, int steps);
    void ZoomY(bool in, int steps);
    // Places the cursor (cursor mode) at a column, redraws and tells the other views.
    void SetCursorColumn(int x);
    // Sets the selection band to columns (clamped to the plot); repaints the band only.
    void SetSelection(int from, int to);

    // --- enable and check states ------------------------------------------------
    bool IsCursorMode() const { return m_state.cursorMode; }
    bool IsDrawLines() const { return m_state.drawLines; }
    bool IsShowValues() const { return m_state.showValues; }
    bool IsSync() const { return m_state.sync; }
    bool CanZoomSelection() const;
    bool CanZoomAll() const;
    // The Y item's main channel is a formula channel.
    bool CanEditItem() const;
    bool CanAddOverlay() const;
    bool CanRemoveOverlay() const;

    // --- status panes ---------------------------------------------------------------
    // False (texts empty, panes disabled) when the document has no buffer at the
    // view's index.
    bool HasRangeTexts() const;
    QString TimeRangeText() const;
    QString DistanceRangeText() const;

    // --- document -------------------------------------------------------------------
    void OnUpdate(DocView* sender, const DocUpdate& update) override;
    // The frame lost activation: tell the other views where this one stands.
    void Deactivated();

    // Draws the graph on the printer's page: the page inset by 50 device pixels, in
    // screen-sized units scaled to the printer.
    void PrintTo(QPrinter& printer);

    // Shows a distance range (clamped to the lap; an empty one shows the whole lap).
    void SetVisibleRange(double from, double to);
    // The view's workspace settings: X, Y and wheel, the Y item's overlays, both axes'
    // zoom and offset, the visible range and the switches.
    void SaveState(pellith::WorkspaceWindow& window) const;
    void RestoreState(const pellith::WorkspaceWindow& window, std::vector<std::string>& problems);

    void SetChooser(Chooser chooser) { m_chooser = std::move(chooser); }
    // More entries for the popup menu (the frame's selector bar toggle).
    void AddMenuAction(QAction* action) { m_extraMenuActions.push_back(action); }
    // The popup menu; the caller owns it.
    QMenu* CreateContextMenu(QWidget* parent);

    // How often the picture has been drawn from scratch (for tests and profiling).
    int PictureRenders() const { return m_pictureRenders; }
    const QImage& Picture() const { return m_picture; }

public slots:
    void ZoomInX();
    void ZoomOutX();
    void ZoomInY();
    void ZoomOutY();
    void ZoomSelection();
    void ZoomAll();
    // The Y range becomes that of the data shown, with a margin.
    void FitY();
    void ToggleCursorMode();
    void ToggleDrawLines();
    void ToggleShowValues();
    void ToggleSync();
    void EditItem();
    void AddOverlay();
    void RemoveOverlay();
    void Print();
    void PrintPreview();

signals:
    // The status panes' texts changed (both empty: disabled).
    void RangeTextsChanged(const QString& time, const QString& distance);
    // Enable or check states of the commands may have changed.
    void CommandsChanged();
    // The buffer selector's entries (full updates) and its selected entry.
    void BufferListChanged(const QStringList& names, int buffer);
    void BufferSelected(int buffer);
    void SyncChanged(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void CreateActions();
    GraphScene Scene(const GraphState& state, bool printing) const;
    GraphItem& XGraphItem() { return *m_items[m_state.xItem]; }
    GraphItem& YGraphItem() { return *m_items[m_state.yItem]; }
    void SyncXIsDistance();
    void UpdateScrollBars();
    void OnHorizontalAction(int action);
    void OnVerticalAction(int action);
    void ScrollX(int action, int position, bool shift);
    // The picture changed: draw it again at the next paint.
    void Redraw();
    // Only the selection band moved.
    void RepaintSelection();
    void Retitle();
    void Notify(DocUpdate::Kind kind = DocUpdate::Kind::Moved);
    // Enable and check states of the view's commands from its state.
    void RefreshActions();
    void EmitRanges();
    void EnsurePicture();
    void RefillBufferSelector();
    bool Choose(const std::vector<std::string>& names, const QString& title,
                std::vector<int>& chosen);

    QPointer<CTarnwickDoc> m_doc;
    const AppSettings& m_settings;
    GraphItemList m_items;
    GraphState m_state;
    GraphRenderer m_renderer;
    QImage m_picture;
    bool m_pictureValid = false;
    int m_pictureRenders = 0;
    bool m_updatingSelector = false;
    bool m_selecting = false;
    Chooser m_chooser;
    std::array<QAction*, kCommandCount> m_actions{};
    std::vector<QAction*> m_extraMenuActions;
};

}  // namespace tarnwick
