// The track map's pictures, probed pixel by pixel: laps, cursor circle, turning-circle
// centres, GP2 layers, LFS meshes, and the kept picture after pans and cursor moves.

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <functional>
#include <numbers>

#include "GraphLaps.h"
#include "Pictures.h"
#include "app/graph/GraphRenderer.h"
#include "app/views/TrackRenderer.h"
#include "lapgen/SegWriter.h"
#include "lapgen/SmxWriter.h"
#include "morlund/formats/BufManager.h"
#include "morlund/platform/File.h"
#include "morlund/track/GP2Track.h"
#include "morlund/track/LFSTrack.h"

using pictures::CountDiffering;
using tarnwick::TrackRenderer;
using tarnwick::TrackScene;
using tarnwick::TrackState;

namespace {

const QColor kBackground(0, 64, 0);
const QColor kGrey(128, 128, 128);

// A round lap: `length` metres of track on a circle about the origin, starting east.
std::shared_ptr<graphlaps::LapData> RoundLap(int samples, double length) {
    auto data = graphlaps::FlatLap(samples, length, 50.0);
    const double r = length / (2 * std::numbers::pi);
    for (const double d : data->distance) {
        data->x.push_back(r * std::cos(d / r));
        data->y.push_back(r * std::sin(d / r));
    }
    return data;
}

// Where a position lands in a w x h picture centred on the origin.
QPoint Pixel(double x, double y, int scale, QSize size) {
    const double unit = scale * 0.0381;
    const double k = std::min(size.width(), size.height()) / 2048.0;
    return {static_cast<int>(std::floor(size.width() / 2 + std::trunc(x / unit) * k + 0.5)),
            static_cast<int>(std::floor(size.height() / 2 - std::trunc(y / unit) * k + 0.5))};
}

QColor Colour(const QImage& image, const QPoint& p) { return image.pixelColor(p); }

int Count(const QImage& image, const QColor& colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

TrackScene SceneOf(const TrackState& s, int width, int height,
                   const morlund::BufManager* manager = nullptr,
                   const morlund::GP2Track* gp2 = nullptr) {
    TrackScene scene;
    scene.manager = manager;
    scene.gp2 = gp2;
    scene.state = &s;
    scene.drawRect = QRect(0, 0, width, height);
    return scene;
}

QImage Draw(const TrackScene& scene, bool reduce = true) {
    TrackRenderer renderer;
    renderer.SetReduce(reduce);
    return renderer.Picture(scene).copy();
}

QColor LapColour(int b) {
    return tarnwick::GraphRenderer::ToQColor(morlund::BufManager::GetBufColor(b));
}

// A lap whose turning circles all have one centre offset.
class RadiusLap : public graphlaps::LapPerf {
public:
    RadiusLap(std::shared_ptr<const graphlaps::LapData> data, morlund::Vect radius)
        : LapPerf(std::move(data)), m_radius(radius) {}
    morlund::Vect GetRadius(int) const override { return m_radius; }

private:
    morlund::Vect m_radius;
};

// A 1500 m lapgen track with its GP2 segment outline.
struct SegFixture {
    lapgen::LapSpec spec;
    lapgen::SegTrack seg;
    morlund::GP2Track track;

    explicit SegFixture(int samples) {
        spec.seed = 5;
        spec.sampleCount = samples;
        spec.trackLength = 1500;
        seg = lapgen::BuildSegTrack(lapgen::MakeLap(spec), 0x12345678);
        morlund::File file = morlund::File::FromMemory(lapgen::WriteSeg(seg), "12345678.seg");
        track.ReadFile(file);
    }
};

}  // namespace

TEST(TrackRender, LapGreyOutsideTheSelectionWithTheCursorCircle) {
    // 600 m round a circle of 95.5 m, every 10 cm; selection 100..300 m, cursor at 150 m,
    // the top of the circle.
    graphlaps::LapManager manager;
    manager.Add(RoundLap(6001, 600.0));
    const double r = 600.0 / (2 * std::numbers::pi);
    TrackState s;
    s.scale = 4;
    s.drawFlags = 0;
    s.selectionFrom = 100;
    s.selectionTo = 300;
    s.cursor = 150;
    const TrackScene scene = SceneOf(s, 800, 800, &manager);
    const QSize size = scene.drawRect.size();
    auto at = [&](double d) { return Pixel(r * std::cos(d / r), r * std::sin(d / r), 4, size); };

    for (const bool reduce : {true, false}) {
        const QImage image = Draw(scene, reduce);
        EXPECT_EQ(Colour(image, at(50)), kGrey) << reduce;
        EXPECT_EQ(Colour(image, at(98)), kGrey) << reduce;
        EXPECT_EQ(Colour(image, at(200)), LapColour(0)) << reduce;
        EXPECT_EQ(Colour(image, at(400)), kGrey) << reduce;
        EXPECT_EQ(Colour(image, at(599)), kGrey) << reduce;
        // The circle: 15 map units (5.9 pixels) of white round the cursor's sample, the
        // lap's line through it.
        const QPoint cursor = at(150);
        for (const int dy : {-3, 3})
            EXPECT_EQ(Colour(image, cursor + QPoint(0, dy)), QColor(Qt::white)) << reduce << dy;
        for (const int dy : {-9, 9})
            EXPECT_EQ(Colour(image, cursor + QPoint(0, dy)), kBackground) << reduce << dy;
        EXPECT_EQ(Colour(image, at(120)), LapColour(0)) << reduce;
    }
    // Reduced to what the pixels show, the picture is the one of every segment.
    EXPECT_LE(CountDiffering(Draw(scene, true), Draw(scene, false)), 800 * 800 / 1000);
}

TEST(TrackRender, TurningCentresWithinTheRadiusLimit) {
    struct Row {
        morlund::Vect radius;
        bool layer;
        bool drawn;
    };
    const Row rows[] = {
        {{249.9, 0}, true, true},  {{250.0, 0}, true, false},  {{0, -250.1}, true, false},
        {{-249.9, 0}, true, true}, {{249.9, 0}, false, false},
    };
    const double r = 600.0 / (2 * std::numbers::pi);
    for (const Row& row : rows) {
        graphlaps::LapManager manager;
        manager.Add(std::make_unique<RadiusLap>(RoundLap(601, 600.0), row.radius));
        TrackState s;
        s.scale = 16;
        s.drawFlags = row.layer ? tarnwick::kLayerRadius : 0;
        s.selectionTo = 600;
        s.cursor = 300;
        const TrackScene scene = SceneOf(s, 900, 900, &manager);
        const QImage image = Draw(scene);
        // The centre of the turning circle at the sample a quarter round (0, r).
        const QPoint centre = Pixel(row.radius.x, r + row.radius.y, 16, image.size());
        const QColor seen = Colour(image, centre);
        EXPECT_EQ(seen, row.drawn ? LapColour(0) : kBackground)
            << row.radius.x << "," << row.radius.y << " " << row.layer;
        EXPECT_EQ(Colour(Draw(scene, false), centre), seen);
    }
}

TEST(TrackRender, GP2Layers) {
    const SegFixture fixture(600);
    const lapgen::SegTrack& seg = fixture.seg;
    const morlund::GP2Track& track = fixture.track;
    ASSERT_GT(track.GetNumSegs(), 20);
    std::size_t kerb = 0;
    while (kerb < seg.segs.size() && seg.segs[kerb].flags == 0)
        ++kerb;
    ASSERT_LT(kerb, seg.segs.size());

    const QColor asphalt(10, 10, 10), pit(255, 255, 0), best(200, 200, 200);
    // Kerbs: set 0 red or blue and white, set 1 (drawn over it) dark red or navy and
    // silver or light grey; outlined in red or blue.
    const std::vector<QColor> kerbs = {{255, 64, 64}, {0, 0, 160}, {128, 32, 32}, {0, 0, 128}};
    constexpr int kAll = 15;
    constexpr int kNoBest = kAll & ~4;  // the best line's gaps show the asphalt's colour
    struct Row {
        int flags;
        bool fill;
        std::size_t centre;  // segment in the middle of the picture
        std::vector<QColor> colours;
        bool present;
    };
    const Row rows[] = {
        {kNoBest, true, 0, {asphalt}, true},   {kNoBest & ~1, true, 0, {asphalt}, false},
        {kNoBest, false, 0, {asphalt}, false},  // lines only
        {kAll, true, 0, {pit}, true},          {kAll, false, 0, {pit}, true},
        {kAll & ~8, true, 0, {pit}, false},    {kAll & ~1, true, 0, {pit}, false},
        {kAll, true, 0, {best}, true},         {kAll & ~4, true, 0, {best}, false},
        {kAll, true, kerb, kerbs, true},       {kAll & ~2, true, kerb, kerbs, false},
        {kAll, false, kerb, kerbs, true},
    };
    for (const Row& row : rows) {
        TrackState s;
        s.scale = 4;
        s.drawFlags = row.flags;
        s.fillMode = row.fill;
        s.offsetX = seg.segs[row.centre].x / 4;
        s.offsetY = -(seg.segs[row.centre].y / 4);
        s.cursor = -1;
        const TrackScene scene = SceneOf(s, 800, 600, nullptr, &track);
        const QImage image = Draw(scene);
        int n = 0;
        for (const QColor& colour : row.colours)
            n += Count(image, colour);
        EXPECT_EQ(n > 0, row.present) << row.flags << " " << row.fill << " " << n << " "
                                      << row.colours.front().name().toStdString();
    }

    // The cursor marks the segment under it (100 m: segment 20) across the asphalt.
    TrackState s;
    s.scale = 4;
    s.offsetX = seg.segs[0].x / 4;
    s.offsetY = -(seg.segs[0].y / 4);
    const TrackScene scene = SceneOf(s, 800, 600, nullptr, &track);
    const double k = 600 / 2048.0;
    const QPoint middle(
        static_cast<int>(std::floor(400 + (seg.segs[20].x / 4 - s.offsetX) * k + 0.5)),
        static_cast<int>(std::floor(300 - (seg.segs[20].y / 4 + s.offsetY) * k + 0.5)));
    // The mark's pixels pass within a pixel of the segment's centre.
    auto marked = [&](double cursor) {
        s.cursor = cursor;
        const QImage image = Draw(scene);
        int white = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                white += Colour(image, middle + QPoint(dx, dy)) == QColor(Qt::white);
        return white;
    };
    EXPECT_GT(marked(100), 0);
    EXPECT_EQ(marked(300), 0);
}

TEST(TrackRender, MeshShadingVertexLimitAndCheckpoints) {
    auto point = [](double x, double y, std::array<std::uint8_t, 4> colour) {
        return lapgen::SmxPoint{static_cast<std::int32_t>(x * 65536),
                                static_cast<std::int32_t>(y * 65536), 0, colour};
    };
    auto square = [&](double x, double y, std::uint8_t shade) {
        lapgen::SmxObject o;
        o.centreX = static_cast<std::int32_t>((x + 10) * 65536);
        o.centreY = static_cast<std::int32_t>((y + 10) * 65536);
        o.radius = 20 * 65536;
        for (const auto& [dx, dy] : {std::pair{0, 0}, {20, 0}, {20, 20}, {0, 20}})
            o.points.push_back(point(x + dx, y + dy, {shade, shade, shade, 0}));
        o.triangles = {{0, 1, 2}, {0, 2, 3}};
        return o;
    };
    lapgen::SmxMesh mesh;
    mesh.background = {1, 2, 3};
    lapgen::SmxObject big;
    big.radius = 100 * 65536;
    big.points = {point(-20, -20, {255, 0, 0, 0}), point(20, -20, {0, 255, 0, 0}),
                  point(0, 20, {0, 0, 255, 0})};
    while (big.points.size() < 9999)
        big.points.push_back(point(0, 0, {0, 0, 0, 0}));
    // Three corners beyond the first 9999: their triangle is not drawn.
    for (const double x : {40.0, 60.0, 50.0})
        big.points.push_back(point(x, x == 50.0 ? 20.0 : -20.0, {255, 255, 255, 0}));
    big.triangles = {{0, 1, 2}, {9999, 10000, 10001}, {1, 10000, 2}};
    mesh.objects = {big, square(-60, 30, 0x80), square(30, 30, 0x80)};
    mesh.trailer = {1, 2};
    morlund::File file = morlund::File::FromMemory(lapgen::WriteSmx(mesh), "t_3DH.smx");
    morlund::LFSTrack lfs;
    ASSERT_TRUE(lfs.Read(file));

    for (const bool checkpoints : {false, true}) {
        TrackState s;
        s.scale = 2;
        s.drawFlags = 1 | (checkpoints ? tarnwick::kLayerCheckpoints : 0);
        TrackScene scene = SceneOf(s, 600, 600);
        scene.lfs = &lfs;
        scene.background = QColor(1, 2, 3);
        TrackRenderer renderer;
        const QImage image = renderer.Picture(scene).copy();
        const QSize size = image.size();
        // Red, green and blue corners meet in grey at the centroid.
        const QColor middle = Colour(image, Pixel(0, -20.0 / 3, 2, size));
        for (const int c : {middle.red(), middle.green(), middle.blue()})
            EXPECT_NEAR(c, 85, 3);
        EXPECT_GT(Colour(image, Pixel(-17, -18, 2, size)).red(), 200);
        EXPECT_GT(Colour(image, Pixel(17, -18, 2, size)).green(), 200);
        EXPECT_EQ(Colour(image, Pixel(50, -10, 2, size)), QColor(1, 2, 3));
        EXPECT_EQ(Colour(image, Pixel(30, -10, 2, size)), QColor(1, 2, 3)) << "beyond 9999";
        // Checkpoints in their trailer order: even light, odd darker yellow; the two
        // triangles of each square leave no gap.
        const QColor first = checkpoints ? QColor(0xef, 0xef, 0) : QColor(0x80, 0x80, 0x80);
        const QColor second = checkpoints ? QColor(0xd7, 0xd7, 0) : QColor(0x80, 0x80, 0x80);
        for (double d = 1; d < 19; d += 0.5) {
            EXPECT_EQ(Colour(image, Pixel(-60 + d, 30 + d, 2, size)), first) << d;
            EXPECT_EQ(Colour(image, Pixel(-60 + d, 49 - d, 2, size)), first) << d;
            EXPECT_EQ(Colour(image, Pixel(30 + d, 30 + d, 2, size)), second) << d;
        }
    }
}

TEST(TrackRender, KeptPictureFollowsEveryChange) {
    const SegFixture fixture(20000);
    ASSERT_GT(fixture.track.GetNumSegs(), 20);
    morlund::LFSTrack meshes;
    morlund::File smx = morlund::File::FromMemory(
        lapgen::WriteSmx(lapgen::BuildSmxMesh(lapgen::MakeLap(fixture.spec))), "t_3DH.smx");
    ASSERT_TRUE(meshes.Read(smx));
    lapgen::LapSpec spec = fixture.spec;
    graphlaps::LapManager manager;
    for (int b = 0; b < 3; ++b) {
        spec.gripScale = 1.0 - 0.05 * b;
        manager.Add(graphlaps::FromLapgen(lapgen::MakeLap(spec), true));
    }
    for (const bool lfs : {false, true}) {
        manager.EnableBuffer(1, true);
        TrackState s;
        s.scale = 8;
        s.drawFlags = lfs ? 1 | 16 | 32 : 31;
        s.selectionFrom = 200;
        s.selectionTo = 900;
        s.cursor = 400;
        TrackScene scene = SceneOf(s, 640, 480, &manager, lfs ? nullptr : &fixture.track);
        scene.lfs = lfs ? &meshes : nullptr;
        TrackRenderer kept;
        kept.Picture(scene);

        struct Step {
            const char* what;
            std::function<void()> change;
            int TrackRenderer::Counts::*counted;
        };
        const Step steps[] = {
            {"pan", [&] { tarnwick::ScrollTrack(s, scene.drawRect, 7, -3); },
             &TrackRenderer::Counts::scrolls},
            {"pan back", [&] { tarnwick::ScrollTrack(s, scene.drawRect, -40, 25); },
             &TrackRenderer::Counts::scrolls},
            {"cursor", [&] { s.cursor = 130; }, &TrackRenderer::Counts::cursor},
            {"cursor near", [&] { s.cursor = 131; }, &TrackRenderer::Counts::cursor},
            {"selection", [&] { s.selectionTo = 1000; }, &TrackRenderer::Counts::laps},
            {"lap off", [&] { manager.EnableBuffer(1, false); }, &TrackRenderer::Counts::laps},
            {"half a pixel", [&] { tarnwick::ScrollTrack(s, scene.drawRect, 0.5, 0); },
             &TrackRenderer::Counts::full},
            {"zoom", [&] { tarnwick::ZoomTrackIn(s, 1); }, &TrackRenderer::Counts::full},
        };
        for (const Step& step : steps) {
            const int before = kept.GetCounts().*step.counted;
            step.change();
            const QImage picture = kept.Picture(scene).copy();
            EXPECT_EQ(kept.GetCounts().*step.counted, before + 1) << step.what << lfs;
            EXPECT_EQ(CountDiffering(picture, Draw(scene)), 0) << step.what << lfs;
        }
    }
}
