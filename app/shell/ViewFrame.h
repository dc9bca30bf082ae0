#pragma once

#include <QMdiSubWindow>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "app/shell/AppSettings.h"

class QAction;

namespace pellith {
struct WorkspaceWindow;
}

namespace tarnwick {

class CTarnwickDoc;

// Commands of the main window's menus and tool bar that the active view carries out.
enum class ViewCommand {
    CursorMode,
    ZoomSelection,
    ZoomInX,
    ZoomOutX,
    ZoomInY,
    ZoomOutY,
    FitY,
    Print,
    PrintPreview,
};

// The window of one view inside the main window. The main window knows views only
// through this face: each kind of view registers a factory of its window.
class CViewFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    using QMdiSubWindow::QMdiSubWindow;

    // The view's own action for a main-window command (its enabled and checked
    // states kept current); null when the view has no such command.
    virtual QAction* ViewAction(ViewCommand command) const;
    // The texts of the status bar's range panes; false when the panes are disabled.
    virtual bool RangeTexts(QString& time, QString& distance) const;

    // The kind of view, as registered.
    StartView Kind() const { return m_kind; }
    void SetKind(StartView kind) { m_kind = kind; }
    // The view's settings for a workspace (the window's place is the main window's).
    virtual void SaveState(pellith::WorkspaceWindow& window) const;
    // Takes settings back from a workspace; settings that do not fit the laps or the
    // catalogue (a channel that is gone) are named in `problems` and left as they are.
    virtual void RestoreState(const pellith::WorkspaceWindow& window,
                              std::vector<std::string>& problems);

protected:
    // Takes the view as the window's body: the window is named, closes (and is deleted)
    // with the document and carries the view's caption.
    void HoldView(QWidget* view, CTarnwickDoc& doc, const QString& name);
    // Deletes the view while this is still the window of its kind: in a subclass's
    // destructor, so that no signal of the view reaches a half-destroyed window.
    void DropView();

signals:
    void RangeTextsChanged(const QString& time, const QString& distance);
    // Enable or check states of the view's commands may have changed.
    void CommandsChanged();

private:
    StartView m_kind = StartView::Graph;
};

using ViewFactory = std::function<CViewFrame*(CTarnwickDoc& doc, const AppSettings& settings)>;

// Registers the window of a kind of view; a later registration replaces an earlier one.
void RegisterViewKind(StartView kind, ViewFactory factory);
bool HasViewKind(StartView kind);
// A new window of the kind on the document; null when no such view is registered.
CViewFrame* CreateViewFrame(StartView kind, CTarnwickDoc& doc, const AppSettings& settings);

}  // namespace tarnwick
