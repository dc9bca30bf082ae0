#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPrintPreviewDialog>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <fstream>
#include <optional>

#include "DocFixtures.h"
#include "app/graph/GraphFrame.h"
#include "app/graph/GraphView.h"
#include "app/shell/MainFrame.h"
#include "app/shell/QtMessageSink.h"
#include "app/shell/SharedPrinter.h"
#include "app/shell/TarnwickApp.h"
#include "app/shell/TarnwickDoc.h"
#include "app/views/StatView.h"
#include "morlund/formats/BufManager.h"
#include "morlund/platform/RecordingMessageSink.h"
#include "tests/support/Files.h"

using tarnwick::CMainFrame;
using tarnwick::CTarnwickApp;

namespace {

// The program's settings store starts empty for each test.
// Lets closed windows go (their deletion is posted) and the program react to it.
void Settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

void ClearStore() {
    QSettings store(QStringLiteral("Ravelle"), QStringLiteral("Tarnwick"));
    store.clear();
    store.sync();
}

// The program started without files, its messages recorded.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearStore();
        app.emplace();
        ASSERT_TRUE(app->Start({}));
        guard.emplace(sink);  // after start-up, which installs the program's own
    }
    void TearDown() override { app->MainFrame()->close(); }
    CMainFrame& Frame() { return *app->MainFrame(); }

    morlund::RecordingMessageSink sink;
    doctest::TempDir dir;
    std::optional<CTarnwickApp> app;
    std::optional<morlund::ScopedMessageSink> guard;
};

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
          CMainFrame::kNewTrackView, CMainFrame::kExport, CMainFrame::kPrint})
        EXPECT_FALSE(frame.Action(command)->isEnabled()) << command;
    EXPECT_TRUE(frame.Action(CMainFrame::kFileOpen)->isEnabled());
    EXPECT_FALSE(frame.findChild<QLabel*>("TimeRangePane")->isEnabled());

    // Several files: one document, the others added to it, one window.
    ASSERT_TRUE(app.OpenFiles({a, b, c}));
    ASSERT_NE(app.Document(), nullptr);
    EXPECT_EQ(app.Document()->Manager()->GetBufCount(), 3);
    EXPECT_EQ(frame.MdiArea()->subWindowList().size(), 1);
    EXPECT_TRUE(frame.Action(CMainFrame::kDeleteBuffers)->isEnabled());
    EXPECT_TRUE(frame.Action(CMainFrame::kExport)->isEnabled());
    EXPECT_TRUE(frame.Action(CMainFrame::kNewGraphView)->isEnabled());
    // The start view of the default settings is the statistics; generic laps have no
    // setups.
    EXPECT_NE(qobject_cast<tarnwick::CStatFrame*>(frame.MdiArea()->activeSubWindow()), nullptr);
    EXPECT_TRUE(frame.Action(CMainFrame::kPrint)->isEnabled());  // the window prints
    EXPECT_FALSE(frame.Action(CMainFrame::kSetupOpen)->isEnabled());
    EXPECT_TRUE(frame.Action(CMainFrame::kNewStatView)->isEnabled());
    EXPECT_EQ(app.RecentFiles().front(), QFileInfo(a).absoluteFilePath());

    // A file that does not load leaves no document.
    ASSERT_TRUE(app.CloseDocument());
    EXPECT_FALSE(app.OpenFiles({dir / "missing.csv"}));
    EXPECT_EQ(app.Document(), nullptr);
    EXPECT_EQ(frame.MdiArea()->subWindowList().size(), 0);
    frame.close();
}

TEST_F(ProgramTest, ClosingTheLastWindowClosesTheDocumentAfterTheSetupQuestion) {
    CMainFrame& frame = Frame();
    ASSERT_TRUE(app->OpenFiles({doctest::WriteCsvLap(dir, "a.csv")}));
    QMdiArea& area = *frame.MdiArea();
    ASSERT_NE(frame.OpenView(tarnwick::StartView::Graph), nullptr);
    ASSERT_EQ(area.subWindowList().size(), 2);
    app->Document()->Buffer(0)->SetupChanged();

    // One of two windows closes without a question.
    ASSERT_TRUE(area.subWindowList().back()->close());
    Settle();
    EXPECT_TRUE(sink.Messages().empty());
    ASSERT_NE(app->Document(), nullptr);

    // The last one asks; Cancel keeps window and laps.
    sink.Script(morlund::MessageAnswer::Cancel);
    EXPECT_FALSE(area.subWindowList().front()->close());
    Settle();
    ASSERT_EQ(sink.Messages().size(), 1u);
    EXPECT_NE(sink.Texts()[0].find("a.csv"), std::string::npos);
    ASSERT_NE(app->Document(), nullptr);
    EXPECT_EQ(area.subWindowList().size(), 1);

    // No: the window and the document go, and nothing acts on laps any more.
    sink.Script(morlund::MessageAnswer::No);
    EXPECT_TRUE(area.subWindowList().front()->close());
    Settle();
    EXPECT_EQ(app->Document(), nullptr);
    EXPECT_EQ(frame.windowTitle(), "Tarnwick");
    EXPECT_FALSE(frame.Action(CMainFrame::kAddBuffers)->isEnabled());
    EXPECT_FALSE(frame.Action(CMainFrame::kNewGraphView)->isEnabled());
}

TEST_F(ProgramTest, LooseEndsOfTheShell) {
    CMainFrame& frame = Frame();

    // The message pane says "Ready" whenever no prompt is shown.
    QStatusBar& bar = *frame.statusBar();
    EXPECT_EQ(bar.currentMessage(), "Ready");
    bar.showMessage("Open perf files");
    bar.clearMessage();
    EXPECT_EQ(bar.currentMessage(), "Ready");

    // A recent file that no longer opens leaves the list.
    const QString gone = doctest::WriteCsvLap(dir, "gone.csv");
    const QString kept = doctest::WriteCsvLap(dir, "kept.csv");
    ASSERT_TRUE(app->OpenFiles({gone}));
    ASSERT_TRUE(app->OpenRecentFile(kept));
    std::filesystem::remove(gone.toStdString());
    EXPECT_FALSE(app->OpenRecentFile(QFileInfo(gone).absoluteFilePath()));
    EXPECT_EQ(app->RecentFiles(), QStringList{QFileInfo(kept).absoluteFilePath()});

    // Every print dialog works on the one printer that Print Setup changes.
    ASSERT_TRUE(app->OpenFiles({kept}));
    auto* graph = qobject_cast<tarnwick::CGraphFrame*>(frame.OpenView(tarnwick::StartView::Graph));
    ASSERT_NE(graph, nullptr);
    QPrinter* previewed = nullptr;
    QTimer::singleShot(0, [&previewed] {
        if (auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget())) {
            previewed = preview->printer();
            preview->reject();
        }
    });
    graph->View()->PrintPreview();
    EXPECT_EQ(previewed, &tarnwick::SharedPrinter());
}

TEST(TarnwickApp, AFileOnTheCommandLineThatFailsEndsStartUp) {
    ClearStore();
    doctest::TempDir dir;
    CTarnwickApp app;
    app.SetMessagesToStderr(true);  // no message box to wait for
    EXPECT_FALSE(app.Start({dir / "missing.csv"}));
    EXPECT_EQ(app.Document(), nullptr);
    app.MainFrame()->close();
}

TEST(TarnwickApp, ShellOpenFailuresSayWhy) {
    const std::pair<int, const char*> reasons[] = {
        {2, "file not found"},
        {3, "file not found"},
        {5, "access denied"},
        {26, "sharing violation"},
        {31, "no application associated with this extension"},
        {8, "error code 8"},
    };
    for (const auto& [code, reason] : reasons)
        EXPECT_EQ(CTarnwickApp::ShellErrorReason(code), reason) << code;

#if !defined(_WIN32)
    // The system's opener stands in for the shell: its failures come through.
    morlund::RecordingMessageSink sink;
    morlund::ScopedMessageSink guard(sink);
    doctest::TempDir dir;
    const auto opener = dir.path() / "xdg-open";
    for (const int exitCode : {2, 3}) {
        {
            std::ofstream script(opener);
            script << "#!/bin/sh\nexit " << exitCode << "\n";
        }
        std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
        testsupport::ScopedEnv path("PATH", dir.path().string());
        EXPECT_FALSE(
            CTarnwickApp::OpenWithShell("https://example.invalid/", "Error opening home page"));
    }
    ASSERT_EQ(sink.Texts().size(), 2u);
    EXPECT_EQ(sink.Texts()[0], "Error opening home page (file not found)");
    EXPECT_EQ(sink.Texts()[1],
              "Error opening home page (no application associated with this extension)");
    {
        std::ofstream script(opener);
        script << "#!/bin/sh\nexit 0\n";
    }
    testsupport::ScopedEnv path("PATH", dir.path().string());
    EXPECT_TRUE(CTarnwickApp::OpenWithShell("https://example.invalid/", ""));
#endif
}

TEST(TarnwickDoc, MessagesAboutAFileNameItInTheirTitle) {
    // Records the title the message box would have.
    struct TitleSink : morlund::MessageSink {
        std::vector<QString> titles;
        morlund::MessageAnswer Show(const std::string&, morlund::MessageIcon,
                                    morlund::MessageButtons) override {
            titles.push_back(tarnwick::QtMessageSink::Title());
            return morlund::MessageAnswer::Ok;
        }
        void SetStatusText(const std::string&) override {}
    } sink;
    morlund::ScopedMessageSink guard(sink);
    doctest::TempDir dir;
    lapgen::WriteFile(dir.path() / "broken.raf", std::vector<std::uint8_t>(40, 0));
    tarnwick::CTarnwickDoc doc;
    ASSERT_TRUE(doc.OpenFiles({doctest::WriteCsvLap(dir, "a.csv")}, tarnwick::AppSettings()));
    EXPECT_FALSE(doc.AddBufferFromFile(dir / "b.raf", false));
    EXPECT_FALSE(doc.OpenDocument(dir / "broken.raf", tarnwick::AppSettings()));
    ASSERT_EQ(sink.titles.size(), 2u);
    const QString program = QApplication::applicationDisplayName();
    EXPECT_EQ(sink.titles[0], "b.raf - " + program);
    EXPECT_EQ(sink.titles[1], "broken.raf - " + program);
    EXPECT_EQ(tarnwick::QtMessageSink::Title(), program);
}

TEST_F(ProgramTest, SetupEditOpensTheEditorForGPLapsOnly) {
    CMainFrame& frame = Frame();
    ASSERT_TRUE(app->OpenFiles({doctest::WriteCsvLap(dir, "a.csv")}));
    EXPECT_FALSE(frame.Action(CMainFrame::kSetupEdit)->isEnabled());  // no editor for these
    doctest::WriteGP2Lap(dir.path() / "gp.pad");
    app->Settings().pri_game = morlund::GameType::GP2;
    ASSERT_TRUE(app->OpenFiles({dir / "gp.pad"}));
    ASSERT_TRUE(frame.Action(CMainFrame::kSetupEdit)->isEnabled());
    QString title;
    QTimer::singleShot(0, [&title] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            title = dialog->windowTitle();
            dialog->reject();
        }
    });
    frame.Action(CMainFrame::kSetupEdit)->trigger();
    EXPECT_TRUE(title.startsWith("Standard Car Setup for ")) << title.toStdString();
}
