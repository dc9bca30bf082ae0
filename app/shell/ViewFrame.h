#pragma once

#include <QMdiSubWindow>
#include <QString>
#include <functional>

#include "app/shell/AppSettings.h"

class QAction;

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

signals:
    void RangeTextsChanged(const QString& time, const QString& distance);
    // Enable or check states of the view's commands may have changed.
    void CommandsChanged();
};

using ViewFactory = std::function<CViewFrame*(CTarnwickDoc& doc, const AppSettings& settings)>;

// Registers the window of a kind of view; a later registration replaces an earlier one.
void RegisterViewKind(StartView kind, ViewFactory factory);
bool HasViewKind(StartView kind);
// A new window of the kind on the document; null when no such view is registered.
CViewFrame* CreateViewFrame(StartView kind, CTarnwickDoc& doc, const AppSettings& settings);

}  // namespace tarnwick
