// Pictures of typical graphs of three laps, for looking at: speed over distance, the ride
// heights of all wheels, lateral over longitudinal acceleration, the time difference, and the
// cursor with its value boxes. TARNWICK_GRAPH_SHOTS=DIR saves them there as PNG files.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QSlider>

#include "DocFixtures.h"
#include "Pictures.h"
#include "app/graph/GraphModel.h"
#include "app/graph/GraphView.h"
#include "app/setup/SetupDialogs.h"
#include "app/shell/AppSettings.h"
#include "app/shell/TarnwickDoc.h"
#include "lapgen/GP3Writer.h"
#include "lapgen/RafWriter.h"
#include "morlund/formats/BufManager.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Wheel.h"
#include "morlund/platform/RecordingMessageSink.h"

using namespace tarnwick;
using morlund::DataItem;

using doctest::LapFormat;

TEST(GraphShots, TypicalGraphsOfThreeLaps) {
    morlund::RecordingMessageSink sink;
    morlund::ScopedMessageSink guard(sink);
    doctest::TempDir dir;
    AppSettings settings;
    CTarnwickDoc doc;
    ASSERT_TRUE(doc.OpenFiles(doctest::WriteGripLaps(dir, LapFormat::kLfs), settings));
    ASSERT_EQ(doc.Manager()->GetBufCount(), 3);

    CTarnwickDoc gp2;
    settings.pri_game = morlund::GameType::GP2;
    ASSERT_TRUE(gp2.OpenFiles(doctest::WriteGripLaps(dir, LapFormat::kGP2), settings));

    const QString out = qEnvironmentVariable("TARNWICK_GRAPH_SHOTS");
    auto shootDoc = [&](CTarnwickDoc& laps, const char* name, auto setUp) {
        CGraphView view(laps, settings);
        view.resize(1100, 620);
        view.show();
        laps.UpdateAllViews(nullptr, tarnwick::DocUpdate::AllValues());
        setUp(view);
        const QImage picture = view.grab().toImage();
        EXPECT_GT(pictures::CountColours(picture), 8u) << name;
        if (!out.isEmpty()) {
            QDir().mkpath(out);
            picture.save(out + "/" + name + ".png");
        }
    };
    auto shoot = [&](const char* name, auto setUp) { shootDoc(doc, name, setUp); };
    auto index = [&](const CGraphView& view, const DataItem* item) {
        return FindItem(view.Items(), item);
    };
    shoot("speed", [](CGraphView&) {});
    shootDoc(gp2, "rideheight", [&](CGraphView& view) {
        view.SetY(index(view, DataItem::RIDEHEIGHT));
        view.SetWheel(morlund::Wheel::ALL);
    });
    shoot("xy", [&](CGraphView& view) {
        view.SetX(index(view, DataItem::LONGITUDALACC));
        view.SetY(index(view, DataItem::LATERALACC));
    });
    shoot("timediff", [&](CGraphView& view) {
        for (int i = 0; i < static_cast<int>(view.Items().size()); ++i)
            if (view.Items()[static_cast<std::size_t>(i)]->IsTimeDifference()) view.SetY(i);
    });
    shoot("cursor", [&](CGraphView& view) {
        view.ToggleCursorMode();
        view.SetCursorColumn(520);
    });
}

// The setup editor's dialogs, and the tyre loads of a lap before and after its front
// springs were made softer (TARNWICK_GRAPH_SHOTS=DIR saves them there too).
TEST(GraphShots, SetupDialogsAndATyreLoadGraphFollowingThem) {
    morlund::RecordingMessageSink sink;
    morlund::ScopedMessageSink guard(sink);
    doctest::TempDir dir;
    AppSettings settings;
    settings.pri_game = morlund::GameType::GP2;
    CTarnwickDoc doc;
    ASSERT_TRUE(doc.OpenFiles(doctest::WriteGripLaps(dir, LapFormat::kGP2), settings));
    const QString out = qEnvironmentVariable("TARNWICK_GRAPH_SHOTS");
    auto save = [&](QWidget& widget, const char* name) {
        const QImage picture = widget.grab().toImage();
        EXPECT_GT(pictures::CountColours(picture), 8u) << name;
        if (!out.isEmpty()) {
            QDir().mkpath(out);
            picture.save(out + "/" + name + ".png");
        }
        return picture;
    };
    CGraphView graph(doc, settings);
    graph.resize(1100, 620);
    graph.show();
    graph.SetY(FindItem(graph.Items(), DataItem::TYRELOAD));
    graph.SetWheel(morlund::Wheel::LEFT_FRONT);
    const QImage before = save(graph, "tyreload-before");

    CStandardSetupDlg standard(doc, 0);
    standard.show();
    save(standard, "setup-standard");
    CAdvancedSetupDlg advanced(standard.Link());
    advanced.show();
    advanced.Slider(3004 + 2)->setValue(80);  // the softest front springs
    save(advanced, "setup-advanced");
    QApplication::processEvents();
    EXPECT_NE(save(graph, "tyreload-after"), before);
    advanced.accept();
    standard.reject();

    // The differential has a dialog of its own from GP3-2000 on.
    lapgen::WriteFile(
        dir.path() / "gp4.pad",
        lapgen::WriteGP3Perf(lapgen::GP3Game::GP4, lapgen::EncodeGP3(doctest::SmallLap())));
    settings.pri_game = morlund::GameType::GP4;
    CTarnwickDoc gp4;
    ASSERT_TRUE(gp4.OpenFiles({dir / "gp4.pad"}, settings));
    CStandardSetupDlg gp4Setup(gp4, 0);
    CDiffSetupDlg differential(gp4Setup.Link());
    differential.show();
    save(differential, "setup-differential");
}
