// The graph view on a document of generated laps: defaults, titles, following other
// views, mouse, keys and wheel, overlays, the kept picture and printing.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPrinter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "DocFixtures.h"
#include "app/graph/GraphModel.h"
#include "app/graph/GraphView.h"
#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "morlund/items/DataItem.h"
#include "morlund/platform/RecordingMessageSink.h"
#include "pellith/stats/LapTimeText.h"

using doctest::TempDir;
using morlund::DataItem;
using tarnwick::AppSettings;
using tarnwick::CGraphView;
using tarnwick::CTarnwickDoc;
using tarnwick::ViewHint;

namespace {

class GraphViewTest : public ::testing::Test {
protected:
    void Open(std::initializer_list<const char*> names) {
        ASSERT_TRUE(doc.OpenFiles(doctest::WriteCsvLaps(dir, names), settings));
        trackLength = doc.Manager()->GetTrackLen();
        ASSERT_GT(trackLength, 100.0);
    }

    void Mouse(CGraphView& view, QEvent::Type type, int x, Qt::MouseButton button = Qt::LeftButton,
               Qt::MouseButtons held = Qt::LeftButton) {
        const QPointF pos(x, 50);
        QMouseEvent event(type, pos, view.viewport()->mapToGlobal(pos), button, held,
                          Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &event);
    }

    void Key(CGraphView& view, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent event(QEvent::KeyPress, key, mods);
        QApplication::sendEvent(&view, &event);
    }

    void Wheel(CGraphView& view, int delta, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        const QPointF pos(100, 50);
        QWheelEvent event(pos, view.viewport()->mapToGlobal(pos), QPoint(), QPoint(0, delta),
                          Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.viewport(), &event);
    }

    morlund::RecordingMessageSink sink;
    morlund::ScopedMessageSink guard{sink};
    TempDir dir;
    AppSettings settings;
    CTarnwickDoc doc;
    double trackLength = 0.0;
};

}  // namespace

TEST_F(GraphViewTest, NewViewPlotsSpeedOverDistanceForTheWholeLap) {
    Open({"first.csv"});
    settings.default_cursor_mode = 1;
    settings.default_draw_lines = 0;
    settings.default_show_values = 0;
    CGraphView view(doc, settings);
    view.resize(700, 400);

    EXPECT_EQ(view.Items()[view.XItem()]->dataItems.front(), DataItem::DISTANCE);
    EXPECT_EQ(view.Items()[view.YItem()]->dataItems.front(), DataItem::SPEED);
    EXPECT_EQ(view.windowTitle(), "Speed over Distance; " + doc.Title() + " - Graph View");
    EXPECT_EQ(view.State().xStart, 0.0);
    EXPECT_EQ(view.State().xEnd, trackLength);
    EXPECT_TRUE(view.IsCursorMode());
    EXPECT_FALSE(view.IsDrawLines());
    EXPECT_FALSE(view.IsShowValues());
    EXPECT_TRUE(view.IsSync());
    EXPECT_FALSE(view.CanZoomAll());
    EXPECT_FALSE(view.CanZoomSelection());  // cursor mode

    // Cursor mode: the panes run from the cursor (at the left edge) to the end of the lap.
    view.SetCursorColumn(0);
    ASSERT_TRUE(view.HasRangeTexts());
    const morlund::PerfCore& lap = *doc.Buffer(0);
    EXPECT_EQ(view.DistanceRangeText(), tarnwick::DistanceRangeText(0.0, trackLength, false));
    EXPECT_EQ(view.TimeRangeText().toStdString(),
              pellith::LapTimeText(lap.GetTime(0.0)) + "s - " +
                  pellith::LapTimeText(lap.GetTime(trackLength)) + "s");
}

TEST_F(GraphViewTest, EmptyDocumentGivesNoRangesAndNothingBreaks) {
    CGraphView view(doc, settings);
    view.resize(300, 200);
    EXPECT_FALSE(view.HasRangeTexts());
    EXPECT_TRUE(view.TimeRangeText().isEmpty());
    view.ZoomInX();
    view.ZoomOutX();
    view.ZoomAll();
    view.SetSelection(60, 120);
    view.ZoomSelection();
    EXPECT_EQ(view.GetBuffer(), -1);
    EXPECT_FALSE(view.grab().isNull());
}

TEST_F(GraphViewTest, FollowsOtherViewsOnlyWhileSynchronized) {
    Open({"a.csv", "b.csv", "c.csv"});
    CGraphView a(doc, settings), b(doc, settings);
    a.resize(700, 400);
    b.resize(500, 300);

    a.ZoomX(true, 1);
    EXPECT_DOUBLE_EQ(a.State().xStart, trackLength / 32);
    EXPECT_EQ(b.State().xStart, a.State().xStart);
    EXPECT_EQ(b.State().xEnd, a.State().xEnd);
    EXPECT_EQ(doc.SelectionFrom(), a.State().xStart);

    b.ToggleSync();  // off: other views' moves are ignored ...
    a.ZoomX(true, 1);
    EXPECT_DOUBLE_EQ(b.State().xStart, trackLength / 32);
    a.SetBuffer(2);
    EXPECT_EQ(b.GetBuffer(), 0);
    // ... but changes of the document itself are followed.
    doc.UpdateAllViews(nullptr, tarnwick::DocUpdate::AllValues());
    EXPECT_EQ(b.State().xStart, a.State().xStart);
    EXPECT_EQ(b.GetBuffer(), 2);

    // Turning Synchronize on tells the others where this view stands.
    b.ZoomAll();
    EXPECT_NE(a.State().xStart, 0.0);
    b.ToggleSync();
    EXPECT_EQ(a.State().xStart, 0.0);
    EXPECT_EQ(a.State().xEnd, trackLength);

    b.SetBuffer(1);
    EXPECT_EQ(a.GetBuffer(), 1);
    const ViewHint wrong{7, -1.0, 0.0, 0.0};
    doc.UpdateAllViews(nullptr, tarnwick::DocUpdate::BufferChosen(wrong));
    EXPECT_EQ(a.GetBuffer(), 2);  // the last buffer

    // A cursor placed in one view moves to the same distance in the other.
    a.ToggleCursorMode();
    const int left = a.State().leftMargin;
    a.SetCursorColumn(left + 100);
    const double distance = tarnwick::PixelToDistance(a.State(), a.State().cursorX);
    EXPECT_EQ(doc.CursorPos(), distance);
    EXPECT_EQ(b.State().cursorX, tarnwick::DistanceToPixel(b.State(), distance));
}

TEST_F(GraphViewTest, MouseSelectsEitherWayClicksClearAndDoubleClickShowsAll) {
    Open({"a.csv"});
    CGraphView view(doc, settings);
    view.resize(700, 400);
    const int left = view.State().leftMargin;

    Mouse(view, QEvent::MouseButtonPress, left + 300);
    Mouse(view, QEvent::MouseMove, left + 200, Qt::NoButton);
    Mouse(view, QEvent::MouseButtonRelease, left + 100, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(view.State().selStart, left + 300);
    EXPECT_EQ(view.State().selEnd, left + 100);
    ASSERT_TRUE(view.CanZoomSelection());
    const auto backward = tarnwick::ViewDistanceRange(view.State());
    view.SetSelection(left + 100, left + 300);
    EXPECT_EQ(tarnwick::ViewDistanceRange(view.State()), backward);

    // A click without a drag clears the selection; the margin is not selectable.
    Mouse(view, QEvent::MouseButtonPress, left + 50);
    Mouse(view, QEvent::MouseButtonRelease, left + 50, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(view.CanZoomSelection());
    Mouse(view, QEvent::MouseButtonPress, 2);
    EXPECT_EQ(view.State().selStart, left);
    Mouse(view, QEvent::MouseButtonRelease, left + 200, Qt::LeftButton, Qt::NoButton);

    Key(view, Qt::Key_Enter, Qt::KeypadModifier);  // Zoom Selection
    EXPECT_EQ(view.State().xStart, 0.0);
    EXPECT_DOUBLE_EQ(view.State().xEnd, backward->second - backward->first);
    EXPECT_FALSE(view.CanZoomSelection());

    Mouse(view, QEvent::MouseButtonDblClick, left + 10);
    EXPECT_EQ(view.State().xEnd, trackLength);

    // In cursor mode a drag moves the cursor and stays inside the plot.
    view.ToggleCursorMode();
    Mouse(view, QEvent::MouseButtonPress, left + 40);
    EXPECT_EQ(view.State().cursorX, left + 40);
    Mouse(view, QEvent::MouseMove, 5000, Qt::NoButton);
    EXPECT_EQ(view.State().cursorX, view.State().plot.width() - 1);

    // The second click of a double click places the cursor too, and zooms nothing.
    view.ZoomX(true, 1);
    const double zoomedEnd = view.State().xEnd;
    Mouse(view, QEvent::MouseButtonPress, left + 60);
    Mouse(view, QEvent::MouseButtonRelease, left + 60, Qt::LeftButton, Qt::NoButton);
    Mouse(view, QEvent::MouseButtonDblClick, left + 70);
    EXPECT_EQ(view.State().cursorX, left + 70);
    EXPECT_EQ(view.State().xEnd, zoomedEnd);
}

TEST_F(GraphViewTest, KeysAndWheelZoomAndScroll) {
    Open({"a.csv"});
    CGraphView view(doc, settings);
    view.resize(700, 400);

    Key(view, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_DOUBLE_EQ(view.State().xStart, trackLength / 32);
    Key(view, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_DOUBLE_EQ(view.State().xStart, trackLength / 32 - (trackLength * 30 / 32) / 32);
    view.ZoomAll();
    Key(view, Qt::Key_Plus, Qt::KeypadModifier | Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(view.State().xStart, trackLength / 16);
    const double width = view.State().xEnd - view.State().xStart;

    Key(view, Qt::Key_End);
    EXPECT_EQ(view.State().xEnd, trackLength);
    EXPECT_DOUBLE_EQ(view.State().xStart, trackLength - width);
    Key(view, Qt::Key_Home);
    EXPECT_EQ(view.State().xStart, 0.0);
    Key(view, Qt::Key_Right, Qt::ControlModifier);  // Ctrl: not a scroll key
    EXPECT_EQ(view.State().xStart, 0.0);
    Key(view, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(view.State().xStart, width / 8);

    const tarnwick::GraphItem& y = *view.Items()[view.YItem()];
    Key(view, Qt::Key_PageDown);
    Key(view, Qt::Key_Up);
    EXPECT_EQ(y.offset, 90);
    EXPECT_EQ(view.verticalScrollBar()->value(), 90);
    Key(view, Qt::Key_Asterisk, Qt::KeypadModifier);
    EXPECT_EQ(y.zoomLevel, 34);
    Key(view, Qt::Key_Slash, Qt::KeypadModifier);
    EXPECT_EQ(y.zoomLevel, 35);

    view.ZoomAll();
    Wheel(view, 240);
    EXPECT_DOUBLE_EQ(view.State().xStart, trackLength / 16);
    Wheel(view, 60);  // less than a notch
    EXPECT_DOUBLE_EQ(view.State().xStart, trackLength / 16);
    Wheel(view, -120, Qt::ShiftModifier);
    EXPECT_EQ(y.zoomLevel, 36);
    EXPECT_DOUBLE_EQ(view.State().xStart, trackLength / 16);

    // The scroll bar follows the range and drives it.
    QScrollBar* bar = view.horizontalScrollBar();
    EXPECT_EQ(bar->value(), static_cast<int>(view.State().xStart));
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(view.State().xEnd, trackLength);
    EXPECT_EQ(bar->value(), tarnwick::DistanceScrollBar(view.State()).position);
}

TEST_F(GraphViewTest, OverlaysAreChosenAddedAndRemoved) {
    Open({"a.csv"});
    CGraphView view(doc, settings);
    QString lastTitle;
    std::vector<std::string> offered;
    std::vector<int> answer;
    view.SetChooser(
        [&](const std::vector<std::string>& names, const QString& title, std::vector<int>& chosen) {
            lastTitle = title;
            offered = names;
            chosen = answer;
            return !answer.empty();
        });

    EXPECT_FALSE(view.CanEditItem());  // Speed is a standard channel
    EXPECT_FALSE(view.CanRemoveOverlay());
    view.AddOverlay();
    EXPECT_EQ(lastTitle, CGraphView::kAddOverlayTitle);
    const auto at = std::find(offered.begin(), offered.end(), "Wheel Speed");
    ASSERT_NE(at, offered.end());
    EXPECT_EQ(std::find(offered.begin(), offered.end(), "Speed"), offered.end());
    EXPECT_EQ(view.Items()[view.YItem()]->dataItems.size(), 1u);  // cancelled

    answer = {static_cast<int>(at - offered.begin())};
    view.AddOverlay();
    EXPECT_EQ(view.windowTitle(),
              "Speed ; Wheel Speed over Distance; " + doc.Title() + " - Graph View");
    ASSERT_TRUE(view.CanRemoveOverlay());

    answer = {0};
    view.RemoveOverlay();
    EXPECT_EQ(lastTitle, CGraphView::kRemoveOverlayTitle);
    EXPECT_EQ(offered, std::vector<std::string>{"Wheel Speed"});
    EXPECT_EQ(view.Items()[view.YItem()]->dataItems.size(), 1u);
    EXPECT_EQ(view.windowTitle(), "Speed over Distance; " + doc.Title() + " - Graph View");
}

TEST_F(GraphViewTest, FullUpdateRereadsSettingsAndRefillsTheBufferSelector) {
    Open({"a.csv", "b.csv"});
    CGraphView view(doc, settings);
    view.resize(700, 400);
    QStringList names;
    int selected = -2;
    QObject::connect(&view, &CGraphView::BufferListChanged,
                     [&](const QStringList& n, int) { names = n; });
    QObject::connect(&view, &CGraphView::BufferSelected, [&](int b) { selected = b; });
    QString distanceText;
    QObject::connect(&view, &CGraphView::RangeTextsChanged,
                     [&](const QString&, const QString& d) { distanceText = d; });

    settings.flicker_free = 0;
    settings.use_miles = 1;
    doc.UpdateAllViews(nullptr, tarnwick::DocUpdate::AllValues());
    EXPECT_FALSE(view.State().flickerFree);
    EXPECT_EQ(names, view.BufferNames());
    EXPECT_EQ(names.size(), 2);
    EXPECT_EQ(selected, 0);
    EXPECT_TRUE(distanceText.endsWith("ml"));

    // A hint from another view moves the selection but does not refill the list.
    names.clear();
    const ViewHint hint{1, -1.0, 0.0, 0.0};
    doctest::CountingView sender;
    doc.UpdateAllViews(&sender, tarnwick::DocUpdate::BufferChosen(hint));
    EXPECT_TRUE(names.isEmpty());
    EXPECT_EQ(selected, 1);
}

TEST_F(GraphViewTest, PictureIsKeptWhileOnlyTheSelectionMovesAndBurstsPaintOnce) {
    Open({"a.csv", "b.csv"});
    CGraphView view(doc, settings), other(doc, settings);
    view.resize(600, 300);
    other.resize(600, 300);
    view.show();
    other.show();
    QApplication::processEvents();
    view.viewport()->repaint();
    const int first = view.PictureRenders();
    ASSERT_GE(first, 1);

    view.SetSelection(view.State().leftMargin + 10, view.State().leftMargin + 90);
    view.viewport()->repaint();
    EXPECT_EQ(view.PictureRenders(), first);

    view.ZoomInX();
    view.viewport()->repaint();
    EXPECT_EQ(view.PictureRenders(), first + 1);

    // Five moves of one view reach the other as five updates, painted once.
    QApplication::processEvents();
    const int before = other.PictureRenders();
    for (int i = 0; i < 5; ++i)
        view.ZoomX(i % 2 == 0, 1);
    QApplication::processEvents();
    EXPECT_EQ(other.PictureRenders(), before + 1);
}

TEST_F(GraphViewTest, PrintsOnePage) {
    Open({"a.csv"});
    CGraphView view(doc, settings);
    view.resize(600, 300);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString path = dir / "graph.pdf";
    printer.setOutputFileName(path);
    view.PrintTo(printer);
    EXPECT_GT(std::filesystem::file_size(path.toStdString()), 0u);
}

TEST_F(GraphViewTest, FitYShowsTheLapsSpeedRangeWithAMargin) {
    Open({"a.csv"});
    CGraphView view(doc, settings);
    view.resize(700, 400);
    view.show();
    double low = 1e9, high = -1e9;  // km/h, from the generator's own samples
    for (const lapgen::Sample& s : doctest::SmallLap().samples) {
        low = std::min(low, s.speed * 3.6);
        high = std::max(high, s.speed * 3.6);
    }
    view.Action(CGraphView::kFitY)->trigger();
    const tarnwick::GraphItem& y = *view.Items()[view.YItem()];
    const QRect plot = view.State().plot;
    // Rows as the graph maps them: zero a tenth of the plot above its bottom for a car
    // channel that never goes below zero.
    const auto row = [&](double v, int zoom) {
        const long long extent = std::clamp<long long>(zoom * y.scale / 25, 1, 32768);
        const int zero = plot.top() + plot.height() - 1 - plot.height() / 10 - y.offset;
        return zero - static_cast<int>(std::llround(std::trunc(v * y.ValueScale()) *
                                                    plot.height() / static_cast<double>(extent)));
    };
    EXPECT_NE(y.zoomLevel, tarnwick::GraphItem::kDefaultZoomLevel);
    EXPECT_GE(row(high, y.zoomLevel), plot.top());
    EXPECT_LE(row(low, y.zoomLevel), plot.top() + plot.height() - 1);
    // The closest zoom that holds the range: one level closer would not.
    EXPECT_GT(row(low, y.zoomLevel - 1) - row(high, y.zoomLevel - 1),
              plot.height() / (1 + 2 * tarnwick::kFitMargin) - 2);
    EXPECT_GT(row(low, y.zoomLevel) - row(high, y.zoomLevel), plot.height() / 2);
    // Centred: as much room above as below.
    EXPECT_NEAR(row(high, y.zoomLevel) - plot.top(),
                plot.top() + plot.height() - row(low, y.zoomLevel), plot.height() / 20.0);
}
