#pragma once

#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <array>
#include <cstdint>

#include "app/shell/AppSettings.h"
#include "app/shell/DocView.h"
#include "app/shell/ViewFrame.h"
#include "app/views/TrackModel.h"
#include "app/views/TrackRenderer.h"

class QAction;
class QMenu;
class QPrinter;

namespace morlund {
class BufManager;
}
namespace pellith {
struct WorkspaceWindow;
}

namespace tarnwick {

class CTarnwickDoc;

// The track map: every enabled lap's line in its colour over the track (GP2 segments
// or LFS meshes), grey outside the selection, with a circle at the cursor. The user
// zooms with the keypad's + and - or the wheel, pans by dragging or with the keypad's
// digits (Ctrl for larger steps, 5 centres), and toggles an overview by double-clicking.
// Position, zoom and layers are kept per track in the settings section "TrackView".
class CTrackView : public QWidget, public DocView {
    Q_OBJECT
public:
    enum Command {
        kZoomIn,
        kZoomOut,
        kFillMode,
        kSync,
        kShowTrack,
        kShowKerbs,
        kShowBestLine,
        kShowPitLane,
        kShowRadius,
        kShowCheckpoints,
        kShowCorners,
        kPrint,
        kPrintPreview,
        kCommandCount
    };

    static constexpr const char* kTitleFormat = "%1 - Track View (%2)";
    static constexpr int kPrintInset = 50;  // screen pixels round the printed map

    // The settings give flicker-free drawing and the turning-circle limit; they are read
    // again at every full update and must outlive the view.
    CTrackView(CTarnwickDoc& doc, const AppSettings& settings, QWidget* parent = nullptr);
    // Writes the layers and the track's position and zoom to the settings.
    ~CTrackView() override;

    void OnUpdate(DocView* sender, const DocUpdate& update) override;

    const TrackState& State() const { return m_state; }
    QAction* Action(Command command) const { return m_actions[command]; }
    std::uint32_t Checksum() const { return m_checksum; }
    // The popup menu, built for the document's track; the caller owns it.
    QMenu* CreateContextMenu(QWidget* parent);

    // Zoom by steps; false when nothing changed (zooming in at the nearest scale).
    bool ZoomIn(int steps = 1);
    void ZoomOut(int steps = 1);
    void ToggleFillMode();
    void ToggleSync();
    void ToggleLayer(TrackLayer layer);
    // How the current lap's line is coloured (a workspace stores and restores it).
    const TrackColouring& Colouring() const { return m_state.colouring; }
    void SetColouring(const TrackColouring& colouring);
    void ToggleOverview();
    // Moves the map by device pixels; the kept picture moves with it.
    void Pan(int dx, int dy);
    // A keypad digit; false when it did nothing.
    bool KeypadDigit(int digit, bool largeStep);

    // Draws the map on one page: the page inset by kPrintInset screen pixels.
    bool PrintTo(QPrinter& printer);
    void Print();
    void PrintPreview();

    // The workspace settings: scale, offsets, layers, fill mode and Synchronize.
    void SaveState(pellith::WorkspaceWindow& window) const;
    void RestoreState(const pellith::WorkspaceWindow& window, std::vector<std::string>& problems);
    // The kept picture, brought up to date (tests and profiling).
    const QImage& Picture();
    const TrackRenderer& Renderer() const { return m_renderer; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void CreateActions();
    void AddColouringMenu(QMenu& menu);
    void RefreshActions();
    TrackScene Scene(bool printing) const;
    bool IsGP2Map() const;
    bool IsLFSMap() const;
    // An update without a sender's position: selection and cursor from the document,
    // title and flicker-free drawing anew.
    void FollowDocument();
    void CentreOnCursor();
    void Retitle();
    void Redraw();

    QPointer<CTarnwickDoc> m_doc;
    const AppSettings& m_settings;
    TrackState m_state;
    TrackRenderer m_renderer;
    QColor m_background = kDefaultTrackBackground;
    std::uint32_t m_checksum = 0;
    const morlund::BufManager* m_manager = nullptr;  // whose laps the renderer keeps
    int m_wheelRest = 0;
    bool m_dragging = false;
    QPoint m_dragPoint;
    std::array<QAction*, kCommandCount> m_actions{};
};

// The window of a track view inside the main window.
class CTrackFrame : public CViewFrame {
    Q_OBJECT
public:
    CTrackFrame(CTarnwickDoc& doc, const AppSettings& settings, QWidget* parent = nullptr);
    ~CTrackFrame() override;

    QAction* ViewAction(ViewCommand command) const override;
    CTrackView* View() const { return m_view; }
    void SaveState(pellith::WorkspaceWindow& window) const override;
    void RestoreState(const pellith::WorkspaceWindow& window,
                      std::vector<std::string>& problems) override;

private:
    CTrackView* m_view;
};

void RegisterTrackView();

}  // namespace tarnwick
