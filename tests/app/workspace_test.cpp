// Workspaces through the program: saved and opened again with the same windows and
// settings, bad workspaces opening what they can, and the analysis layout.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSettings>
#include <filesystem>
#include <fstream>
#include <optional>

#include "DocFixtures.h"
#include "app/graph/GraphFrame.h"
#include "app/graph/GraphModel.h"
#include "app/graph/GraphView.h"
#include "app/shell/MainFrame.h"
#include "app/shell/TarnwickApp.h"
#include "app/shell/TarnwickDoc.h"
#include "app/views/HistogramView.h"
#include "app/views/TextView.h"
#include "app/views/TrackView.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Wheel.h"
#include "morlund/platform/RecordingMessageSink.h"
#include "pellith/workspace/Workspace.h"
#include "tests/support/Files.h"

using morlund::DataItem;
using tarnwick::CGraphFrame;
using tarnwick::CHistogramFrame;
using tarnwick::CTxtFrame;
using tarnwick::CViewFrame;
using tarnwick::StartView;

namespace {

void Settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

class WorkspaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings store(QStringLiteral("Ravelle"), QStringLiteral("Tarnwick"));
        store.clear();
        store.sync();
        app.emplace();
        ASSERT_TRUE(app->Start({}));
        app->MainFrame()->resize(1200, 900);
        app->MainFrame()->show();
        guard.emplace(sink);
    }
    void TearDown() override { app->MainFrame()->close(); }

    std::vector<CViewFrame*> Windows() const {
        std::vector<CViewFrame*> frames;
        for (QMdiSubWindow* w :
             app->MainFrame()->MdiArea()->subWindowList(QMdiArea::CreationOrder)) {
            if (auto* frame = qobject_cast<CViewFrame*>(w)) frames.push_back(frame);
        }
        return frames;
    }
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(dir.path() / name) << text;
    }

    morlund::RecordingMessageSink sink;
    doctest::TempDir dir;
    std::optional<tarnwick::CTarnwickApp> app;
    std::optional<morlund::ScopedMessageSink> guard;
};

const tarnwick::GraphItem& YOf(const CViewFrame* frame) {
    const auto& view = *static_cast<const CGraphFrame*>(frame)->View();
    return *view.Items()[view.YItem()];
}

}  // namespace

TEST_F(WorkspaceTest, SavedWindowsComeBackWithTheirSettings) {
    ASSERT_TRUE(app->OpenFiles(doctest::WriteCsvLaps(dir, {"a.csv", "b.csv"})));
    tarnwick::CMainFrame& frame = *app->MainFrame();
    auto* graph = static_cast<CGraphFrame*>(frame.OpenView(StartView::Graph));
    tarnwick::CGraphView& view = *graph->View();
    view.SetY(tarnwick::FindItem(view.Items(), DataItem::THROTTLE));
    view.Item(view.YItem()).dataItems.push_back(DataItem::BRAKE);
    view.ZoomY(true, 3);
    view.SetWheel(morlund::Wheel::LEFT_REAR);
    view.SetVisibleRange(100, 600);
    view.ToggleSync();
    graph->setGeometry(10, 20, 400, 300);
    auto* text = static_cast<CTxtFrame*>(frame.OpenView(StartView::Text));
    text->View()->SortByColumn(0, false);
    auto* histogram = static_cast<CHistogramFrame*>(frame.OpenView(StartView::Histogram));
    tarnwick::HistogramSettings wanted;
    wanted.item = DataItem::SUSPTRAVEL;
    wanted.wheel = morlund::Wheel::RIGHT_REAR;
    wanted.binWidth = 2.5;
    wanted.knee = 40;
    wanted.overlaid = true;
    wanted.sync = false;
    histogram->View()->Apply(wanted);

    std::vector<pellith::WorkspaceWindow> before;
    for (const CViewFrame* w : Windows()) {
        before.emplace_back();
        w->SaveState(before.back());
    }
    std::vector<StartView> kinds;
    for (const CViewFrame* w : Windows())
        kinds.push_back(w->Kind());
    const QString path = dir / "session.tws";
    ASSERT_TRUE(app->SaveWorkspace(path));
    const std::string saved = testsupport::ReadText(dir.path() / "session.tws");
    EXPECT_NE(saved.find("path=a.csv"), std::string::npos) << "laps beside it are relative";
    EXPECT_EQ(saved.find(dir.path().string()), std::string::npos);

    ASSERT_TRUE(app->CloseDocument());
    Settle();
    ASSERT_TRUE(app->OpenWorkspace(path));
    Settle();
    EXPECT_TRUE(sink.Messages().empty());
    ASSERT_EQ(app->Document()->BufCount(), 2);
    const std::vector<CViewFrame*> reopened = Windows();
    ASSERT_EQ(reopened.size(), before.size());
    for (std::size_t i = 0; i < reopened.size(); ++i) {
        SCOPED_TRACE(i);
        pellith::WorkspaceWindow after;
        reopened[i]->SaveState(after);
        EXPECT_EQ(reopened[i]->Kind(), kinds[i]);
        EXPECT_EQ(after.settings, before[i].settings);
    }
    // And through the views themselves.
    const auto& graphAgain = *static_cast<CGraphFrame*>(reopened[1])->View();
    EXPECT_EQ(YOf(reopened[1]).dataItems,
              (std::vector<const DataItem*>{DataItem::THROTTLE, DataItem::BRAKE}));
    EXPECT_EQ(YOf(reopened[1]).zoomLevel, tarnwick::GraphItem::kDefaultZoomLevel - 3);
    EXPECT_EQ(graphAgain.GetWheel(), morlund::Wheel::LEFT_REAR);
    EXPECT_FALSE(graphAgain.IsSync());
    EXPECT_DOUBLE_EQ(graphAgain.State().xStart, 100.0);
    EXPECT_EQ(reopened[1]->geometry(), QRect(10, 20, 400, 300));
    const tarnwick::HistogramSettings& got =
        static_cast<CHistogramFrame*>(reopened[3])->View()->Settings();
    EXPECT_EQ(got.item, DataItem::SUSPTRAVEL);
    EXPECT_EQ(got.wheel, morlund::Wheel::RIGHT_REAR);
    EXPECT_EQ(got.binWidth, 2.5);
    EXPECT_TRUE(got.overlaid);
    EXPECT_FALSE(got.sync);
    EXPECT_EQ(app->RecentWorkspaces().front(), path);
}

TEST_F(WorkspaceTest, TheReferenceLapAndTheMapColouringComeBack) {
    const QStringList laps = doctest::WriteGripLaps(dir, doctest::LapFormat::kLfs);
    ASSERT_TRUE(app->OpenFiles(laps));
    auto* map = static_cast<tarnwick::CTrackFrame*>(app->MainFrame()->OpenView(StartView::Track));
    ASSERT_NE(map, nullptr);
    tarnwick::TrackColouring colouring;
    colouring.mode = tarnwick::TrackColouring::kChannel;
    colouring.item = DataItem::SPEED->GetOrdinal();
    colouring.stretchRange = true;
    colouring.sectors = 12;
    map->View()->SetColouring(colouring);
    app->Document()->SetReferenceLap(1);
    const QString path = dir / "map.tws";
    ASSERT_TRUE(app->SaveWorkspace(path));

    // The first lap gone: the reference is still the same file, now the first lap open.
    ASSERT_TRUE(app->CloseDocument());
    Settle();
    std::filesystem::remove(dir.path() / "lap1.raf");
    ASSERT_TRUE(app->OpenWorkspace(path));
    Settle();
    ASSERT_EQ(app->Document()->BufCount(), 2);
    EXPECT_EQ(app->Document()->ReferenceLapChoice(), 0);
    const std::vector<CViewFrame*> reopened = Windows();
    ASSERT_EQ(reopened.size(), 2u);  // the start view and the map
    ASSERT_EQ(reopened[1]->Kind(), StartView::Track);
    EXPECT_EQ(static_cast<tarnwick::CTrackFrame*>(reopened[1])->View()->Colouring(), colouring);
    ASSERT_EQ(sink.Messages().size(), 1u);
    EXPECT_NE(sink.Messages()[0].text.find("lap1.raf\" is missing"), std::string::npos);
}

TEST_F(WorkspaceTest, BadWorkspacesOpenWhatTheyCanInOneMessage) {
    doctest::WriteCsvLaps(dir, {"here.csv"});
    struct Case {
        const char* name;
        std::string text;
        bool opens;
        int windows;
        std::vector<std::string> said;
    };
    const Case cases[] = {
        {"a lap missing", "[workspace]\nlaps=2\nwindows=1\n[lap1]\npath=here.csv\n[lap2]\n"
                          "path=gone.csv\n[window1]\nkind=stat\n",
         true, 1, {"gone.csv\" is missing"}},
        {"every lap missing", "[workspace]\nlaps=1\n[lap1]\npath=/nowhere/gone.csv\n", false, 0,
         {"None of the workspace's laps"}},
        {"unknown kind, channel and layer",
         "[workspace]\nlaps=1\nwindows=3\n[lap1]\npath=here.csv\n[window1]\nkind=radar\n"
         "[window2]\nkind=map\nlayers=track,fog\n[window3]\nkind=graph\ny=nosuch\n",
         true, 2, {"kind this version does not know", "layer \"fog\" is not known",
                   "channel \"nosuch\" is not known"}},
        {"no windows: the start view", "[workspace]\nlaps=1\n[lap1]\npath=here.csv\n", true, 1, {}},
        {"not a workspace", "PK\x03\x04 zip", false, 0, {"not a Tarnwick workspace"}},
    };
    const QStringList recentFiles = app->RecentFiles();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        app->CloseDocument();
        Settle();
        sink.Clear();
        Write("bad.tws", c.text);
        EXPECT_EQ(app->OpenWorkspace(dir / "bad.tws"), c.opens);
        Settle();
        EXPECT_EQ(static_cast<int>(Windows().size()), c.windows);
        ASSERT_EQ(sink.Messages().size(), c.said.empty() ? 0u : 1u);
        for (const std::string& part : c.said)
            EXPECT_NE(sink.Messages().front().text.find(part), std::string::npos) << part;
    }
    EXPECT_EQ(app->RecentFiles(), recentFiles);  // laps from workspaces leave it alone
    // A recent workspace that has gone leaves its list when it is chosen.
    ASSERT_EQ(app->RecentWorkspaces().size(), 1);
    std::filesystem::remove(dir.path() / "bad.tws");
    EXPECT_FALSE(app->OpenWorkspace(app->RecentWorkspaces().front()));
    EXPECT_TRUE(app->RecentWorkspaces().isEmpty());
}

TEST_F(WorkspaceTest, AnalysisLayoutTilesSynchronisedGraphsBesideTheStatistics) {
    ASSERT_TRUE(app->OpenFiles(doctest::WriteCsvLaps(dir, {"a.csv", "b.csv"})));
    app->OpenAnalysisLayout();
    Settle();
    const std::vector<CViewFrame*> frames = Windows();
    // Four graphs, the map and the statistics.
    ASSERT_EQ(frames.size(), 6u);
    const DataItem* const channels[] = {DataItem::SPEED, DataItem::THROTTLE, DataItem::GEAR,
                                        DataItem::STEERING};
    const QRect area = app->MainFrame()->MdiArea()->viewport()->rect();
    int covered = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        ASSERT_EQ(frames[i]->Kind(), StartView::Graph);
        EXPECT_EQ(YOf(frames[i]).dataItems.front(), channels[i]);
        EXPECT_TRUE(static_cast<CGraphFrame*>(frames[i])->View()->IsSync());
        EXPECT_EQ(frames[i]->geometry().left(), 0);
        covered += frames[i]->geometry().height();
    }
    EXPECT_EQ(YOf(frames[1]).dataItems.back(), DataItem::BRAKE);
    EXPECT_GE(covered, area.height() - 4);
    EXPECT_EQ(frames[4]->Kind(), StartView::Track);
    EXPECT_EQ(frames[5]->Kind(), StartView::Stat);
    for (const CViewFrame* side : {frames[4], frames[5]}) {
        EXPECT_EQ(side->geometry().left(), frames[0]->geometry().right() + 1);
        EXPECT_EQ(side->geometry().right(), area.right());
    }
    EXPECT_EQ(frames[5]->geometry().top(), frames[4]->geometry().bottom() + 1);

    // In sync: zooming one graph moves the others.
    static_cast<CGraphFrame*>(frames[0])->View()->ZoomX(true, 2);
    const double start = static_cast<CGraphFrame*>(frames[0])->View()->State().xStart;
    EXPECT_GT(start, 0.0);
    for (std::size_t i = 1; i < 4; ++i)
        EXPECT_EQ(static_cast<CGraphFrame*>(frames[i])->View()->State().xStart, start);
}
