// The track window on a document: opening, following the other views, the mouse and
// keys, the context menu, printing and the place it keeps per track.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <memory>

#include "DocFixtures.h"
#include "app/shell/AppSettings.h"
#include "app/shell/TarnwickDoc.h"
#include "app/views/TrackView.h"
#include "lapgen/SegWriter.h"
#include "morlund/formats/BufManager.h"
#include "morlund/platform/RecordingMessageSink.h"

using doctest::TempDir;
using tarnwick::AppSettings;
using tarnwick::CTarnwickDoc;
using tarnwick::CTrackView;

namespace {

QStringList MenuTexts(CTrackView& view) {
    std::unique_ptr<QMenu> menu(view.CreateContextMenu(nullptr));
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("|") : action->text());
    return texts;
}

// A GP2 lap with positions and its track's segment file in the install folder.
struct GP2Folder {
    TempDir dir;
    AppSettings settings;
    std::uint32_t checksum = 0;
    GP2Folder() {
        checksum = doctest::WriteGP2Lap(dir.path() / "lap.pad", 7);
        std::filesystem::create_directories(dir.path() / "GP2" / "strelkod");
        lapgen::WriteFile(dir.path() / "GP2" / "strelkod" / lapgen::SegFileName(checksum),
                          lapgen::WriteSeg(lapgen::BuildSegTrack(doctest::SmallLap(), checksum)));
        settings.pri_game = morlund::GameType::GP2;
        settings.SetPath(morlund::GameType::GP2,
                         QString::fromStdString((dir.path() / "GP2").string()));
    }
};

}  // namespace

TEST(TrackView, OpensFollowsAndKeepsItsPlacePerTrack) {
    morlund::RecordingMessageSink sink;
    morlund::ScopedMessageSink guard(sink);
    GP2Folder folder;
    QSettings store(QStringLiteral("Ravelle"), QStringLiteral("Tarnwick"));
    store.remove(QStringLiteral("TrackView"));
    CTarnwickDoc doc;
    ASSERT_TRUE(doc.OpenDocument(folder.dir / "lap.pad", folder.settings));
    ASSERT_TRUE(doc.IsGP2TrackLoaded());
    EXPECT_TRUE(sink.Messages().empty());

    auto* frame = qobject_cast<tarnwick::CTrackFrame*>(
        tarnwick::CreateViewFrame(tarnwick::StartView::Track, doc, folder.settings));
    ASSERT_NE(frame, nullptr);
    frame->resize(640, 520);
    frame->show();
    CTrackView& view = *frame->View();
    EXPECT_EQ(frame->windowTitle(), "lap.pad - Track View (Tarnwick Park)");
    EXPECT_EQ(view.Checksum(), folder.checksum);
    EXPECT_EQ(view.State().selectionTo, doc.Manager()->GetTrackLen());
    EXPECT_EQ(MenuTexts(view), QStringList({"Track", "Pit Lane", "Kerb Stones", "Best Line",
                                            "Radius", "Corner Numbers", "|", "Colour Line &By", "|",
                                            "Fill Mode", "|", "Synchronize"}));
    EXPECT_EQ(frame->ViewAction(tarnwick::ViewCommand::Print), view.Action(CTrackView::kPrint));

    // Synchronised, the map centres on the lap's first sample at the cursor.
    const lapgen::Lap& lap = doctest::SmallLap();
    std::size_t i = 0;
    while (std::trunc(lap.samples[i].distance) < 700)
        ++i;
    const double unit = 32 * 0.0381;
    doctest::CountingView other;
    doc.AddView(&other);
    doc.UpdateAllViews(&other, tarnwick::DocUpdate::Moved({0, 700.0, 0, 0}));
    EXPECT_EQ(view.State().cursor, 700.0);
    const double pixel = 2048.0 / std::min(view.width(), view.height());  // map units
    EXPECT_NEAR(view.State().offsetX, std::trunc(lap.samples[i].x / unit), pixel / 2 + 1);
    EXPECT_NEAR(view.State().offsetY, -std::trunc(lap.samples[i].y / unit), pixel / 2 + 1);
    // Following a cursor nearby moves the kept picture by whole pixels.
    view.Picture();
    const int scrolls = view.Renderer().GetCounts().scrolls;
    const int full = view.Renderer().GetCounts().full;
    doc.UpdateAllViews(&other, tarnwick::DocUpdate::Moved({0, 730.0, 0, 0}));
    view.Picture();
    EXPECT_EQ(view.Renderer().GetCounts().scrolls, scrolls + 1);
    EXPECT_EQ(view.Renderer().GetCounts().full, full);
    // Not synchronised, it shows the cursor where it is and stays put.
    view.Action(CTrackView::kSync)->trigger();
    const double x = view.State().offsetX;
    doc.UpdateAllViews(&other, tarnwick::DocUpdate::Moved({0, 200.0, 100.0, 300.0}));
    EXPECT_EQ(view.State().cursor, 200.0);
    EXPECT_EQ(view.State().selectionFrom, 100.0);
    EXPECT_EQ(view.State().offsetX, x);
    doc.RemoveView(&other);

    // A wheel turn of two notches, a keypad 8 and Ctrl+keypad 4, a drag, a double click.
    QWheelEvent wheel(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, 240), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &wheel);
    EXPECT_EQ(view.State().scale, 29);  // 32 - 1 - 2
    const double zoomedX = view.State().offsetX;
    const double k = std::min(view.width(), view.height()) / 2048.0;
    const double y = view.State().offsetY;
    QTest::keyClick(&view, Qt::Key_8, Qt::KeypadModifier);
    EXPECT_NEAR(view.State().offsetY, y - 100 / k, 1e-9);
    QTest::keyClick(&view, Qt::Key_4, Qt::KeypadModifier | Qt::ControlModifier);
    EXPECT_NEAR(view.State().offsetX, zoomedX - 250 / k, 1e-9);
    QTest::keyClick(&view, Qt::Key_8);  // the main keys' digits do not pan
    EXPECT_NEAR(view.State().offsetY, y - 100 / k, 1e-9);
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    QTest::mouseMove(&view, QPoint(130, 80));
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(130, 80));
    EXPECT_NEAR(view.State().offsetX, zoomedX - 250 / k - 30 / k, 1e-9);
    EXPECT_NEAR(view.State().offsetY, y - 100 / k + 20 / k, 1e-9);
    const tarnwick::TrackState before = view.State();
    QTest::mouseDClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(130, 80));
    EXPECT_TRUE(view.State().overview);
    EXPECT_EQ(view.State().scale, 32);
    QTest::mouseDClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(130, 80));
    EXPECT_EQ(view.State().scale, before.scale);
    EXPECT_EQ(view.State().offsetX, before.offsetX);
    view.Action(CTrackView::kShowKerbs)->trigger();
    EXPECT_EQ(view.State().drawFlags, 15 & ~2);

    // Closing the window keeps the track's place; the next window opens there.
    delete frame;
    store.sync();
    EXPECT_EQ(store
                  .value(tarnwick::TrackValueName("scale", folder.checksum)
                             .prepend(QStringLiteral("TrackView/")))
                  .toInt(),
              29);
    EXPECT_EQ(store.value(QStringLiteral("TrackView/track_draw_flags")).toInt(), 13);
    CTrackView again(doc, folder.settings);
    EXPECT_EQ(again.State().scale, 29);
    EXPECT_EQ(again.State().offsetX, std::lround(before.offsetX));
    EXPECT_EQ(again.State().drawFlags, 13);
    EXPECT_FALSE(again.State().overview);
}

TEST(TrackView, MenusOfOtherGamesAndPrintingOnOnePage) {
    morlund::RecordingMessageSink sink;
    morlund::ScopedMessageSink guard(sink);
    TempDir dir;
    CTarnwickDoc generic;
    ASSERT_TRUE(generic.OpenFiles({doctest::WriteCsvLap(dir, "a.csv")}, AppSettings()));
    CTrackView plain(generic, AppSettings());
    EXPECT_EQ(MenuTexts(plain), QStringList({"Radius", "Corner Numbers", "|", "Colour Line &By",
                                             "|", "Fill Mode", "|", "Synchronize"}));

    if (QStandardPaths::findExecutable("pdfinfo").isEmpty())
        GTEST_SKIP() << "poppler-utils are not installed";
    GP2Folder folder;
    CTarnwickDoc doc;
    ASSERT_TRUE(doc.OpenDocument(folder.dir / "lap.pad", folder.settings));
    CTrackView view(doc, folder.settings);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.dir / "map.pdf");
    ASSERT_TRUE(view.PrintTo(printer));
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {folder.dir / "map.pdf"});
    ASSERT_TRUE(info.waitForFinished(60000));
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_EQ(text.section("Pages:", 1).trimmed().section('\n', 0, 0).toInt(), 1);
}
