#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMdiSubWindow>
#include <QSettings>

#include "DocFixtures.h"
#include "app/shell/MainFrame.h"
#include "app/shell/TarnwickApp.h"
#include "app/shell/TarnwickDoc.h"
#include "morlund/formats/BufManager.h"
#include "morlund/platform/RecordingMessageSink.h"

using tarnwick::CMainFrame;
using tarnwick::CTarnwickApp;

namespace {

// The program's settings store starts empty for each test.
void ClearStore() {
    QSettings store(QStringLiteral("Ravelle"), QStringLiteral("Tarnwick"));
    store.clear();
    store.sync();
}

}  // namespace

TEST(WindowPos, TenNumbersOrNothing) {
    QRect normal;
    ASSERT_TRUE(CMainFrame::ParseWindowPos("0,1,-1,-1,-1,-1,10,20,810,620", normal));
    EXPECT_EQ(normal, QRect(10, 20, 800, 600));
    EXPECT_FALSE(CMainFrame::ParseWindowPos("0,1,-1,-1,-1,-1,10,20,810", normal));
    EXPECT_FALSE(CMainFrame::ParseWindowPos("0,1,-1,-1,-1,-1,10,20,810,620,5", normal));
    EXPECT_FALSE(CMainFrame::ParseWindowPos("0,1,-1,-1,-1,-1,10,x,810,620", normal));
    EXPECT_EQ(CMainFrame::FormatWindowPos(QRect(10, 20, 800, 600), true),
              "2,3,-1,-1,-1,-1,10,20,810,620");
    EXPECT_EQ(CMainFrame::FormatWindowPos(QRect(10, 20, 800, 600), false).left(4), "0,1,");
}

TEST(MainFrame, PlacementIsStoredAtCloseAndAMaximisedStateIsNotRestored) {
    ClearStore();
    {
        CTarnwickApp app;
        ASSERT_TRUE(app.Start({}));
        CMainFrame& frame = *app.MainFrame();
        frame.setGeometry(30, 40, 700, 500);
        frame.showMaximized();
        QApplication::processEvents();
        ASSERT_TRUE(frame.close());
        app.Exit();
    }
    QSettings store(QStringLiteral("Ravelle"), QStringLiteral("Tarnwick"));
    const QString pos = store.value("Settings/window_pos").toString();
    EXPECT_TRUE(pos.startsWith("2,")) << pos.toStdString();
    EXPECT_FALSE(store.value("Settings/BarState").toByteArray().isEmpty());

    // Nine numbers are ignored: the window keeps its default place.
    store.setValue("Settings/window_pos", "0,1,-1,-1,-1,-1,10,20,810");
    store.sync();
    CTarnwickApp again;
    ASSERT_TRUE(again.Start({}));
    EXPECT_FALSE(again.MainFrame()->isMaximized());
    EXPECT_NE(again.MainFrame()->geometry().topLeft(), QPoint(10, 20));
    again.MainFrame()->close();
}

TEST(MainFrame, CommandsFollowTheDocument) {
    ClearStore();
    morlund::RecordingMessageSink sink;
    doctest::TempDir dir;
    const QString a = doctest::WriteCsvLap(dir, "a.csv");
    const QString b = doctest::WriteCsvLap(dir, "b.csv");
    const QString c = doctest::WriteCsvLap(dir, "c.csv");

    CTarnwickApp app;
    ASSERT_TRUE(app.Start({}));
    morlund::ScopedMessageSink guard(sink);
    CMainFrame& frame = *app.MainFrame();
    // Without a document nothing acts on buffers or windows, and the range panes are empty.
    EXPECT_EQ(app.Document(), nullptr);
    for (auto command :
         {CMainFrame::kAddBuffers, CMainFrame::kDeleteBuffers, CMainFrame::kSetupOpen,
          CMainFrame::kNewStatView, CMainFrame::kNewGraphView, CMainFrame::kNewTextView,
          CMainFrame::kNewTrackView, CMainFrame::kExport})
        EXPECT_FALSE(frame.Action(command)->isEnabled()) << command;
    EXPECT_TRUE(frame.Action(CMainFrame::kFileOpen)->isEnabled());
    EXPECT_FALSE(frame.findChild<QLabel*>("TimeRangePane")->isEnabled());

    // Several files: one document, the others added to it, one window.
    ASSERT_TRUE(app.OpenFiles({a, b, c}));
    ASSERT_NE(app.Document(), nullptr);
    EXPECT_EQ(app.Document()->Manager()->GetBufCount(), 3);
    EXPECT_EQ(frame.MdiArea()->subWindowList().size(), 1);
    EXPECT_TRUE(frame.Action(CMainFrame::kDeleteBuffers)->isEnabled());
    EXPECT_TRUE(frame.Action(CMainFrame::kNewGraphView)->isEnabled());
    // Generic laps have no setups; windows that do not exist yet stay disabled.
    EXPECT_FALSE(frame.Action(CMainFrame::kSetupOpen)->isEnabled());
    EXPECT_FALSE(frame.Action(CMainFrame::kNewStatView)->isEnabled());
    EXPECT_EQ(app.RecentFiles().front(), QFileInfo(a).absoluteFilePath());

    // A file that does not load leaves no document.
    ASSERT_TRUE(app.CloseDocument());
    EXPECT_FALSE(app.OpenFiles({dir / "missing.csv"}));
    EXPECT_EQ(app.Document(), nullptr);
    EXPECT_EQ(frame.MdiArea()->subWindowList().size(), 0);
    frame.close();
}
