#pragma once

#include <QPointer>
#include <QWidget>
#include <string>
#include <vector>

#include "app/shell/AppSettings.h"
#include "app/shell/DocView.h"
#include "app/shell/ViewFrame.h"
#include "pellith/histogram/Histogram.h"

class QAction;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QPainter;
class QPrinter;

namespace morlund {
class DataItem;
class Wheel;
}  // namespace morlund

namespace tarnwick {

class CTarnwickDoc;

// What a histogram window shows: the channel, the wheel (ALL: a panel per wheel), the bin
// width and knee speed in display units, and how the laps' bars stand.
struct HistogramSettings {
    const morlund::DataItem* item = nullptr;
    const morlund::Wheel* wheel = nullptr;
    double binWidth = 0.0;  // <= 0: the channel's default
    double knee = 0.0;      // <= 0: the default knee speed
    bool overlaid = false;  // false: side by side
    bool sync = true;
};

// One panel's figures: the histogram of every enabled lap, with each lap's bump and
// rebound shares when the channel is the damper speed.
struct HistogramPanel {
    const morlund::Wheel* wheel = nullptr;
    pellith::Histogram histogram;
    bool damper = false;
};

// The distribution of a channel for every enabled lap over the selected distance range, in
// the laps' colours. It follows selection and lap switching of the synchronised views,
// prints on one page and copies its numbers to the clipboard.
class CHistogramView : public QWidget, public DocView {
    Q_OBJECT
public:
    CHistogramView(CTarnwickDoc& doc, const AppSettings& settings, QWidget* parent = nullptr);
    ~CHistogramView() override;

    void OnUpdate(DocView* sender, const DocUpdate& update) override;

    const HistogramSettings& Settings() const { return m_settings; }
    // Takes new settings (an unknown item keeps the current one) and recomputes.
    void Apply(const HistogramSettings& settings);
    // The figures are computed when first needed after a change (a window that is opened and
    // then given its settings computes them once).
    const std::vector<HistogramPanel>& Panels() const;
    // The enabled laps' indices, in the order of the panels' laps.
    const std::vector<int>& Laps() const;
    double RangeFrom() const { return m_from; }
    double RangeTo() const { return m_to; }
    // Tab-separated figures: per panel a line of headings, a row per bin, the shares.
    QString CopyText() const;
    void Copy();
    // Draws the panels into the rectangle (the screen and the printed page alike).
    void Paint(QPainter& painter, const QRect& rect, bool printing) const;
    bool PrintTo(QPrinter& printer);
    QAction* PrintAction() const { return m_print; }
    QAction* PrintPreviewAction() const { return m_printPreview; }
    // The workspace settings: channel, wheel, bin width, knee, overlaid, Synchronize.
    void SaveState(pellith::WorkspaceWindow& window) const;
    void RestoreState(const pellith::WorkspaceWindow& window, std::vector<std::string>& problems);
    // The catalogue entries the channel list offers.
    static std::vector<const morlund::DataItem*> ChannelChoices();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    class Plot;
    // The figures are out of date: computed again when next needed.
    void Invalidate();
    void Compute() const;
    void Retitle();
    void FillControls();
    void OnControlsChanged();

    QPointer<CTarnwickDoc> m_doc;
    const AppSettings& m_app;
    HistogramSettings m_settings;
    mutable std::vector<HistogramPanel> m_panels;
    mutable std::vector<int> m_laps;
    mutable bool m_dirty = true;
    double m_from = 0.0;
    double m_to = 0.0;
    bool m_filling = false;
    QComboBox* m_channel;
    QComboBox* m_wheel;
    QDoubleSpinBox* m_bin;
    QDoubleSpinBox* m_knee;
    QCheckBox* m_overlaid;
    QCheckBox* m_sync;
    Plot* m_plot;
    QAction* m_copy;
    QAction* m_print;
    QAction* m_printPreview;
};

class CHistogramFrame : public CViewFrame {
    Q_OBJECT
public:
    CHistogramFrame(CTarnwickDoc& doc, const AppSettings& settings, QWidget* parent = nullptr);
    ~CHistogramFrame() override;

    QAction* ViewAction(ViewCommand command) const override;
    CHistogramView* View() const { return m_view; }
    void SaveState(pellith::WorkspaceWindow& window) const override;
    void RestoreState(const pellith::WorkspaceWindow& window,
                      std::vector<std::string>& problems) override;

private:
    CHistogramView* m_view;
};

void RegisterHistogramView();

}  // namespace tarnwick
