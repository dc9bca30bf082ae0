// Where the time goes, as the windows show it: the track map coloured by a channel, by the
// delta to the reference lap or by the fastest lap per mini-sector, with its legend; the
// sector and corner sections of the statistics window following units and the reference.
// TARNWICK_ANALYSIS_SHOTS=DIR saves pictures of the demo laps and, where they are, of the
// real LFS laps.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <numbers>

#include "DocFixtures.h"
#include "GraphLaps.h"
#include "Pictures.h"
#include "app/graph/GraphModel.h"
#include "app/graph/GraphRenderer.h"
#include "app/graph/GraphView.h"
#include "app/shell/AppSettings.h"
#include "app/shell/TarnwickDoc.h"
#include "app/views/StatListCtrl.h"
#include "app/views/StatView.h"
#include "app/views/TrackColours.h"
#include "app/views/TrackRenderer.h"
#include "app/views/TrackView.h"
#include "lapgen/RafWriter.h"
#include "morlund/formats/BufManager.h"
#include "morlund/items/DataItem.h"
#include "morlund/platform/RecordingMessageSink.h"

using namespace tarnwick;
using morlund::DataItem;

namespace {

// A lap round a circle of `length` metres whose speed climbs from 20 to 80 m/s.
std::shared_ptr<graphlaps::LapData> RampLap(int samples, double length) {
    auto data = graphlaps::FlatLap(samples, length, 50.0);
    const double r = length / (2 * std::numbers::pi);
    for (std::size_t i = 0; i < data->distance.size(); ++i) {
        const double d = data->distance[i];
        data->x.push_back(r * std::cos(d / r));
        data->y.push_back(r * std::sin(d / r));
        data->speed[i] = 20.0 + 60.0 * d / length;
    }
    return data;
}

int CountNear(const QImage& image, const QColor& colour, int tolerance) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += std::abs(c.red() - colour.red()) <= tolerance &&
                 std::abs(c.green() - colour.green()) <= tolerance &&
                 std::abs(c.blue() - colour.blue()) <= tolerance;
        }
    return n;
}

// The row whose label starts with the text; -1 without one.
int FindRow(const CStatListCtrl& table, const QString& start) {
    for (int r = 0; r < table.RowCount(); ++r)
        if (table.CellText(r, 0).trimmed().startsWith(start)) return r;
    return -1;
}

}  // namespace

// The ramp runs from the channel's low end to its high end along the lap, the legend
// shows the ramp, and printing (Paint) keeps both; the delta of a lap to itself is level
// everywhere; the lap colour leaves no ramp colour on the map.
TEST(TrackColouring, LineAndLegendOnTheRamp) {
    graphlaps::LapManager manager;
    manager.Add(RampLap(4001, 1200.0));
    TrackState s;
    s.scale = 4;
    s.drawFlags = 0;
    TrackScene scene;
    scene.manager = &manager;
    scene.state = &s;
    scene.drawRect = QRect(0, 0, 900, 700);
    scene.colouredLap = 0;
    scene.referenceLap = 0;
    const QColor low = RampColour(0.0, false), high = RampColour(1.0, false);
    const QColor level = RampColour(0.5, true);
    struct Case {
        int mode;
        bool stretch;
        int lowPixels, highPixels, levelPixels;  // -1: any, 0: none, 1: some
    } const cases[] = {
        {TrackColouring::kLapColour, false, 0, 0, -1},
        {TrackColouring::kChannel, true, 1, 1, -1},
        {TrackColouring::kDelta, false, -1, -1, 1},
    };
    for (const Case& c : cases) {
        s.colouring.mode = c.mode;
        s.colouring.item = DataItem::SPEED->GetOrdinal();
        s.colouring.stretchRange = c.stretch;
        TrackRenderer renderer;
        const QImage picture = renderer.Picture(scene).copy();
        QImage printed(picture.size(), QImage::Format_RGB32);
        printed.fill(Qt::white);
        QPainter p(&printed);
        TrackScene print = scene;
        print.printing = true;
        renderer.Paint(p, print, printed.rect());
        p.end();
        for (const QImage* image : {&picture, static_cast<const QImage*>(&printed)}) {
            auto check = [&](int expected, const QColor& colour, const char* what) {
                const int n = CountNear(*image, colour, 12);
                if (expected == 0) {
                    EXPECT_EQ(n, 0) << c.mode << what;
                } else if (expected == 1) {
                    EXPECT_GT(n, 20) << c.mode << what;
                }
            };
            check(c.lowPixels, low, " low");
            check(c.highPixels, high, " high");
            check(c.levelPixels, level, " level");
        }
        // The legend sits in the lower right corner: its ramp's top is the high colour.
        const QImage corner = picture.copy(picture.width() - 220, picture.height() - 220, 220, 220);
        EXPECT_EQ(CountNear(corner, high, 12) > 20, c.mode == TrackColouring::kChannel) << c.mode;
    }
    // Speeds 20..80 m/s over the channel's own range in km/h: the lap's first metres
    // are coloured at 72 km/h, not at the bottom of the ramp.
    s.colouring = {TrackColouring::kChannel, DataItem::SPEED->GetOrdinal(), false, 20};
    const LapColours colours = ComputeLapColours(s.colouring, manager, 0, 0, 0, 0);
    ASSERT_FALSE(colours.Empty());
    const double f = (72.0 - DataItem::SPEED->GetMinValue()) /
                     (DataItem::SPEED->GetMaxValue() - DataItem::SPEED->GetMinValue());
    EXPECT_NEAR(colours.sampleColour[0], f * (kRampSteps - 1), 1.0);
    EXPECT_NEAR(colours.low, DataItem::SPEED->GetMinValue(), 1e-9);
    // A channel that is not there leaves the lap colour.
    s.colouring.item = 99999;
    EXPECT_TRUE(ComputeLapColours(s.colouring, manager, 0, 0, 0, 0).Empty());
}

// Two laps, the second quicker in the second half: each half of the line takes the
// colour of the lap fastest there.
TEST(TrackColouring, MiniSectorsInTheColourOfTheFastestLap) {
    auto slow = RampLap(4001, 1200.0);
    auto mixed = std::make_shared<graphlaps::LapData>(*slow);
    const double half = slow->time[2000];
    for (std::size_t i = 0; i < mixed->time.size(); ++i)
        if (slow->time[i] > half) mixed->time[i] = half + 0.9 * (slow->time[i] - half);
    for (std::size_t i = 0; i <= 2000; ++i)
        mixed->time[i] *= 1.01;
    graphlaps::LapManager manager;
    manager.Add(slow);
    manager.Add(mixed);
    const TrackColouring colouring{TrackColouring::kFastestSector, -1, false, 10};
    const LapColours colours = ComputeLapColours(colouring, manager, 0, 0, 0, 0);
    ASSERT_EQ(colours.laps.size(), 2u);
    const QColor first = colours.palette[colours.sampleColour[500]];
    const QColor second = colours.palette[colours.sampleColour[3500]];
    EXPECT_EQ(first, GraphRenderer::ToQColor(morlund::BufManager::GetBufColor(0)));
    EXPECT_EQ(second, GraphRenderer::ToQColor(morlund::BufManager::GetBufColor(1)));
}

// The statistics window's sections: a row per mini-sector and per corner figure, in the
// units of the moment, against the reference the document holds.
TEST(AnalysisSections, FollowUnitsAndTheReferenceLap) {
    morlund::RecordingMessageSink sink;
    morlund::ScopedMessageSink guard(sink);
    doctest::TempDir dir;
    AppSettings settings;
    CTarnwickDoc doc;
    ASSERT_TRUE(doc.OpenFiles(doctest::WriteGripLaps(dir, doctest::LapFormat::kLfs), settings));
    EXPECT_EQ(doc.ReferenceLap(), 2);  // the most grip is the fastest
    CStatView view(doc, settings);
    view.resize(900, 700);
    const CStatListCtrl& table = *view.Table();
    const int sectors = FindRow(table, "Mini-sectors against lap3.raf");
    ASSERT_GE(sectors, 0);
    EXPECT_TRUE(table.CellText(sectors + 1, 3).endsWith(" *"));  // lap 3 is best everywhere
    const int entry = FindRow(table, "T1 entry speed (km/h)");
    ASSERT_GE(entry, 0);
    EXPECT_GE(FindRow(table, "Corner 1 ("), 0);
    const double kmh = table.CellText(entry, 1).toDouble();

    for (const bool miles : {true, false}) {
        settings.use_miles = miles ? 1 : 0;
        doc.UpdateAllViews(nullptr, DocUpdate::AllValues());
        const int row = FindRow(table, miles ? "T1 entry speed (mph)" : "T1 entry speed (km/h)");
        ASSERT_GE(row, 0) << miles;
        EXPECT_NEAR(table.CellText(row, 1).toDouble(), miles ? kmh / 1.609 : kmh, 0.11);
    }
    doc.SetReferenceLap(0);
    EXPECT_EQ(doc.ReferenceLapChoice(), 0);
    EXPECT_GE(FindRow(table, "Mini-sectors against lap1.raf"), 0);
    // The chosen lap switched off: the fastest shown lap stands in.
    doc.Buffer(0)->Enable(false);
    doc.UpdateAllViews(nullptr, DocUpdate::BuffersShown());
    EXPECT_EQ(doc.ReferenceLap(), 2);
    EXPECT_GE(FindRow(table, "Mini-sectors against lap3.raf"), 0);
    doc.Buffer(0)->Enable(true);
    // Removing the chosen lap forgets the choice; removing another keeps it.
    doc.SetReferenceLap(1);
    EXPECT_EQ(doc.DeleteBuffers({0}), 1);
    EXPECT_EQ(doc.ReferenceLapChoice(), 0);
    EXPECT_EQ(doc.DeleteBuffers({0}), 1);
    EXPECT_EQ(doc.ReferenceLapChoice(), -1);
}

TEST(AnalysisShots, ColouredMapsTablesAndDelta) {
    const QString out = qEnvironmentVariable("TARNWICK_ANALYSIS_SHOTS");
    auto save = [&](const QImage& picture, const QString& file) {
        if (!out.isEmpty()) picture.save(out + "/" + file + ".png");
    };
    morlund::RecordingMessageSink sink;
    morlund::ScopedMessageSink guard(sink);
    doctest::TempDir dir;
    AppSettings settings;
    if (!out.isEmpty()) QDir().mkpath(out);
    const QString demo = doctest::WriteDemoLaps(dir) + "/lfs";
    settings.SetPath(morlund::GameType::LFS, demo);  // the demo track's meshes
    QStringList demoLaps;
    for (const QFileInfo& info :
         QDir(demo + "/data/raf").entryInfoList({"*.raf"}, QDir::Files, QDir::Name))
        demoLaps << info.filePath();
    const QString real = QStringLiteral(TARNWICK_REALDATA_DIR);
    std::vector<std::pair<QString, QStringList>> sets{{"demo", demoLaps}};
    if (QFileInfo::exists(real + "/lap1.raf"))
        sets.push_back({"real", {real + "/lap1.raf", real + "/lap5.raf"}});
    for (const auto& [name, laps] : sets) {
        CTarnwickDoc doc;
        ASSERT_TRUE(doc.OpenFiles(laps, settings)) << name.toStdString();
        doc.SetCurrentBuffer(doc.ReferenceLap() == 0 ? 1 : 0);  // a lap that is not the reference
        auto map = [&](const char* file, TrackColouring colouring) {
            CTrackView view(doc, settings);
            view.resize(1000, 760);
            view.show();
            // The whole lap across the window (the scale is kept per track from view to view).
            while (view.State().scale > 18 && view.ZoomIn(1)) {
            }
            while (view.State().scale < 18)
                view.ZoomOut(1);
            if (!view.State().Shows(kLayerCorners)) view.ToggleLayer(kLayerCorners);
            view.SetColouring(colouring);
            const QImage picture = view.Picture().copy();
            EXPECT_GT(pictures::CountColours(picture), 8u) << file;
            save(picture, name + "-" + file);
        };
        map("map-speed", {TrackColouring::kChannel, DataItem::SPEED->GetOrdinal(), true, 20});
        map("map-delta", {TrackColouring::kDelta, -1, true, 20});
        map("map-sectors", {TrackColouring::kFastestSector, -1, false, 20});
        CStatView stats(doc, settings);
        stats.resize(900, 2300);
        stats.show();
        save(stats.grab().toImage(), name + "-tables");
        CGraphView graph(doc, settings);
        graph.resize(1100, 620);
        graph.show();
        for (int i = 0; i < static_cast<int>(graph.Items().size()); ++i)
            if (graph.Items()[static_cast<std::size_t>(i)]->IsDeltaToReference()) graph.SetY(i);
        graph.ToggleCursorMode();
        graph.SetCursorColumn(520);
        const QImage delta = graph.grab().toImage();
        EXPECT_GT(pictures::CountColours(delta), 8u);
        save(delta, name + "-graph-delta");
    }
}
