// The graph window's selector bar: what it lists, how choices reach the view, the
// bar toggle, and the buffer selector's colours.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include "DocFixtures.h"
#include "app/graph/GraphFrame.h"
#include "app/graph/GraphModel.h"
#include "app/graph/GraphRenderer.h"
#include "app/graph/GraphView.h"
#include "morlund/formats/BufManager.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Wheel.h"
#include "morlund/platform/RecordingMessageSink.h"

using doctest::TempDir;
using morlund::DataItem;
using tarnwick::AppSettings;
using tarnwick::CGraphFrame;
using tarnwick::CGraphView;
using tarnwick::CTarnwickDoc;
using tarnwick::GraphSelectorBar;

namespace {

class GraphFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(doc.OpenFiles(doctest::WriteCsvLaps(dir, {"a.csv", "b.csv"}), settings));
    }

    QComboBox* Box(const CGraphFrame& frame, int id) {
        return frame.SelectorBar()->findChild<QComboBox*>(QString::number(id));
    }

    // The entries of a selector whose item's main channel is `item`.
    static std::vector<int> EntriesOf(const QComboBox& box, const CGraphView& view,
                                      const DataItem* item) {
        std::vector<int> entries;
        for (int i = 0; i < box.count(); ++i) {
            const auto& graphItem = *view.Items()[box.itemData(i).toInt()];
            if (!graphItem.dataItems.empty() && graphItem.dataItems.front() == item)
                entries.push_back(i);
        }
        return entries;
    }

    morlund::RecordingMessageSink sink;
    morlund::ScopedMessageSink guard{sink};
    TempDir dir;
    AppSettings settings;
    CTarnwickDoc doc;
};

}  // namespace

TEST_F(GraphFrameTest, SelectorsListTheViewsItemsWheelsAndBuffers) {
    CGraphFrame frame(doc, settings);
    const CGraphView& view = *frame.View();
    QComboBox* x = Box(frame, GraphSelectorBar::kIdX);
    QComboBox* y = Box(frame, GraphSelectorBar::kIdY);
    QComboBox* wheel = Box(frame, GraphSelectorBar::kIdWheel);
    QComboBox* buffer = Box(frame, GraphSelectorBar::kIdBuffer);
    ASSERT_TRUE(x && y && wheel && buffer);
    EXPECT_NE(frame.SelectorBar()->findChild<QPushButton*>("1104"), nullptr);

    // Ride Height twice under Y (the second with its predictions), once under X.
    const auto yRide = EntriesOf(*y, view, DataItem::RIDEHEIGHT);
    ASSERT_EQ(yRide.size(), 2u);
    EXPECT_EQ(y->itemText(yRide[1]), "Ride Height ; Predicted ; Minimum");
    const auto xRide = EntriesOf(*x, view, DataItem::RIDEHEIGHT);
    ASSERT_EQ(xRide.size(), 1u);
    EXPECT_EQ(x->itemText(xRide[0]), "Ride Height");  // X shows main names only
    EXPECT_EQ(x->findText("Time Difference"), -1);
    EXPECT_GE(y->findText("Time Difference"), 0);

    EXPECT_EQ(x->currentData().toInt(), view.XItem());
    EXPECT_EQ(y->currentData().toInt(), view.YItem());
    EXPECT_EQ(wheel->count(), morlund::Wheel::GetCount());
    EXPECT_EQ(wheel->currentText().toStdString(), morlund::Wheel::ALL->GetName());
    EXPECT_EQ(buffer->count(), 2);
    EXPECT_EQ(buffer->itemText(1), view.BufferNames()[1]);
    EXPECT_EQ(buffer->currentIndex(), 0);
    EXPECT_TRUE(frame.SelectorBar()->SyncButton()->isChecked());
    EXPECT_EQ(frame.windowTitle(), view.windowTitle());
}

TEST_F(GraphFrameTest, ChoicesReachTheViewAndRetitleTheFrame) {
    CGraphFrame frame(doc, settings);
    CGraphFrame other(doc, settings);
    CGraphView& view = *frame.View();
    int redraws = 0;
    QObject::connect(&view, &CGraphView::CommandsChanged, [&] { ++redraws; });

    QComboBox* y = Box(frame, GraphSelectorBar::kIdY);
    const int predicted = EntriesOf(*y, view, DataItem::RIDEHEIGHT)[1];
    y->setCurrentIndex(predicted);
    EXPECT_EQ(view.YItem(), y->itemData(predicted).toInt());
    EXPECT_EQ(frame.windowTitle(),
              "Ride Height ; Predicted ; Minimum over Distance; " + doc.Title() + " - Graph View");
    const int afterY = redraws;
    y->setCurrentIndex(predicted);  // the entry already chosen
    EXPECT_EQ(redraws, afterY);

    QComboBox* x = Box(frame, GraphSelectorBar::kIdX);
    x->setCurrentIndex(x->findText("Speed"));
    EXPECT_FALSE(view.State().xIsDistance);
    EXPECT_TRUE(frame.windowTitle().contains(" over Speed; "));

    QComboBox* wheel = Box(frame, GraphSelectorBar::kIdWheel);
    wheel->setCurrentIndex(
        wheel->findText(QString::fromStdString(morlund::Wheel::LEFT_FRONT->GetName())));
    EXPECT_EQ(view.GetWheel(), morlund::Wheel::LEFT_FRONT);

    // The buffer choice is the view's and, synchronised, the other window's.
    Box(frame, GraphSelectorBar::kIdBuffer)->setCurrentIndex(1);
    EXPECT_EQ(view.GetBuffer(), 1);
    EXPECT_EQ(other.View()->GetBuffer(), 1);
    EXPECT_EQ(Box(other, GraphSelectorBar::kIdBuffer)->currentIndex(), 1);

    frame.SelectorBar()->SyncButton()->click();
    EXPECT_FALSE(view.IsSync());
    view.ToggleSync();
    EXPECT_TRUE(frame.SelectorBar()->SyncButton()->isChecked());
}

TEST_F(GraphFrameTest, ToolbarToggleKeepsTheChoicesAndOverlaysShowAfterRefill) {
    CGraphFrame frame(doc, settings);
    CGraphView& view = *frame.View();
    QComboBox* y = Box(frame, GraphSelectorBar::kIdY);
    const int speedEntry = y->currentIndex();

    frame.ToolbarAction()->trigger();
    EXPECT_TRUE(frame.SelectorBar()->isHidden());
    EXPECT_FALSE(frame.ToolbarAction()->isChecked());
    frame.ToolbarAction()->trigger();
    EXPECT_FALSE(frame.SelectorBar()->isHidden());
    EXPECT_TRUE(frame.ToolbarAction()->isChecked());
    EXPECT_EQ(y->currentIndex(), speedEntry);

    view.SetChooser(
        [](const std::vector<std::string>& names, const QString&, std::vector<int>& chosen) {
            const auto at = std::find(names.begin(), names.end(), "Wheel Speed");
            if (at == names.end()) return false;
            chosen = {static_cast<int>(at - names.begin())};
            return true;
        });
    view.AddOverlay();
    EXPECT_EQ(y->currentText(), "Speed");
    frame.RefillSelectors();
    EXPECT_EQ(y->currentText(), "Speed ; Wheel Speed");
    EXPECT_EQ(y->currentIndex(), speedEntry);
}

TEST_F(GraphFrameTest, CommandsStayCurrentAndWorkFromTheSelectorBar) {
    CGraphFrame frame(doc, settings);
    frame.resize(700, 450);
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    CGraphView& view = *frame.View();
    QAction* zoomAll = view.Action(CGraphView::kZoomAll);
    QAction* cursor = view.Action(CGraphView::kCursorMode);

    // Every way of changing the view updates its commands at once, not when a menu opens.
    EXPECT_FALSE(zoomAll->isEnabled());
    view.ZoomX(true, 1);
    EXPECT_TRUE(zoomAll->isEnabled());
    view.ToggleCursorMode();
    EXPECT_TRUE(cursor->isChecked());
    view.ToggleCursorMode();
    EXPECT_FALSE(cursor->isChecked());

    // The view's keys act while a selector has the focus.
    QComboBox* x = Box(frame, GraphSelectorBar::kIdX);
    x->setFocus();
    ASSERT_TRUE(x->hasFocus());
    QTest::keyClick(x, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(view.State().xStart, 0.0);
    EXPECT_FALSE(zoomAll->isEnabled());
    QTest::keyClick(x, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(view.IsCursorMode());
    EXPECT_TRUE(cursor->isChecked());
}

TEST(GraphBufferComboBox, EntriesUseTheLapColours) {
    const QColor colour = tarnwick::GraphRenderer::ToQColor(morlund::BufManager::GetBufColor(3));
    const auto count = [](const QImage& image, const QColor& c) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixelColor(x, y) == c ? 1 : 0;
        return n;
    };
    for (bool selected : {false, true}) {
        SCOPED_TRACE(selected);
        QImage image(160, 24, QImage::Format_RGB32);
        image.fill(Qt::red);
        {
            QPainter painter(&image);
            tarnwick::BufferComboBox::DrawEntry(painter, QRect(0, 0, 160, 24), "lap 3", 3, selected,
                                                Qt::white);
        }
        EXPECT_EQ(count(image, Qt::red), 0);  // the whole entry is filled
        EXPECT_EQ(image.pixelColor(150, 12), QColor(Qt::white));
        const int paper = count(image, selected ? QColor(Qt::black) : colour);
        const int ink = count(image, selected ? colour : QColor(Qt::black));
        EXPECT_GT(paper, ink);  // an opaque box behind the text
        EXPECT_GT(paper, 50);
    }
}
