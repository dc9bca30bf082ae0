#pragma once

#include <QComboBox>
#include <QWidget>

#include "app/shell/AppSettings.h"
#include "app/shell/ViewFrame.h"

class QAction;
class QPushButton;

namespace tarnwick {

class CGraphView;
class CTarnwickDoc;

// The buffer selector: every entry in its lap's colour, black text on the colour, or
// the colour on black for the selected entry.
class BufferComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit BufferComboBox(QWidget* parent = nullptr);

    // One entry: the rectangle filled with `background`, then the text on one line,
    // vertically centred, on an opaque box in the buffer's colours.
    static void DrawEntry(QPainter& painter, const QRect& rect, const QString& text, int buffer,
                          bool selected, const QColor& background);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The bar above a graph: X, Y, buffer and wheel selectors and the Sync button. The
// controls carry their resource numbers as object names; every X and Y entry holds its
// item index, every wheel entry its selector (as a quintptr).
class GraphSelectorBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kIdX = 1137;
    static constexpr int kIdY = 1002;
    static constexpr int kIdBuffer = 1110;
    static constexpr int kIdWheel = 1139;
    static constexpr int kIdSync = 1104;
    static constexpr int kBarId = 10000;

    explicit GraphSelectorBar(QWidget* parent = nullptr);

    QComboBox* XSelector() const { return m_x; }
    QComboBox* YSelector() const { return m_y; }
    BufferComboBox* BufferSelector() const { return m_buffer; }
    QComboBox* WheelSelector() const { return m_wheel; }
    QPushButton* SyncButton() const { return m_sync; }

    // Refills X, Y and Wheel from the view and selects its current choices.
    void Fill(const CGraphView& view);
    void FillBuffers(const QStringList& names, int buffer);
    void SelectBuffer(int buffer);

private:
    QComboBox* m_x;
    QComboBox* m_y;
    BufferComboBox* m_buffer;
    QComboBox* m_wheel;
    QPushButton* m_sync;
};

// The window of a graph view inside the main window, with its selector bar. The view
// sets the caption; Ctrl+B shows or hides the bar; Alt+X, Alt+Y, Alt+L and Alt+B move
// to the selectors and Esc back to the graph. The view's keys work from the bar too.
class CGraphFrame : public CViewFrame {
    Q_OBJECT
public:
    CGraphFrame(CTarnwickDoc& doc, const AppSettings& settings, QWidget* parent = nullptr);
    ~CGraphFrame() override;

    QAction* ViewAction(ViewCommand command) const override;
    bool RangeTexts(QString& time, QString& distance) const override;
    void SaveState(pellith::WorkspaceWindow& window) const override;
    void RestoreState(const pellith::WorkspaceWindow& window,
                      std::vector<std::string>& problems) override;

    CGraphView* View() const { return m_view; }
    GraphSelectorBar* SelectorBar() const { return m_bar; }
    // The checkable "Toolbar" command (Ctrl+B).
    QAction* ToolbarAction() const { return m_toolbarAction; }

    // Refills the selectors from the view (done on every activation).
    void RefillSelectors();
    void ToggleSelectorBar();

private:
    void OnWindowStateChanged(Qt::WindowStates oldState, Qt::WindowStates newState);
    void OnXChosen(int entry);
    void OnYChosen(int entry);
    void OnWheelChosen(int entry);
    void AddFocusKey(const QKeySequence& key, QWidget* target);

    CGraphView* m_view;
    GraphSelectorBar* m_bar;
    QAction* m_toolbarAction;
};

// Makes graph windows known to the main window.
void RegisterGraphView();

}  // namespace tarnwick
