// The track map's arithmetic: zoom steps, panning, the overview, the values kept per
// track in the settings.

#include <gtest/gtest.h>

#include <QSettings>
#include <cmath>

#include "app/views/TrackModel.h"
#include "tests/support/Files.h"

using tarnwick::TrackState;

TEST(TrackModel, ZoomStepsLimitsAndWheel) {
    struct Row {
        int scale;
        bool in;
        int steps;
        int expected;
        bool changed;
    };
    const Row rows[] = {
        {32, true, 1, 30, true},       // 32 - 1 - 1
        {64, true, 2, 60, true},       // a wheel turn of 240: 64 - 2 - 2
        {2, true, 1, 1, true},         // 2 - 0 - 1
        {1, true, 1, 1, false},        // nothing nearer
        {32, false, 1, 34, true},      // 32 + 1 + 1
        {2040, false, 3, 2048, true},  // 2040 + 63 + 3, held at the limit
        {2048, false, 1, 2048, true},  // unchanged, drawn again all the same
    };
    for (const Row& row : rows) {
        TrackState s;
        s.scale = row.scale;
        s.offsetX = 640.0;
        s.offsetY = -320.0;
        s.overview = true;
        const bool changed =
            row.in ? tarnwick::ZoomTrackIn(s, row.steps) : tarnwick::ZoomTrackOut(s, row.steps);
        EXPECT_EQ(changed, row.changed) << row.scale;
        EXPECT_EQ(s.scale, row.expected) << row.scale;
        // The centre stays on the same spot of the track.
        EXPECT_DOUBLE_EQ(s.offsetX * s.scale, 640.0 * row.scale) << row.scale;
        EXPECT_DOUBLE_EQ(s.offsetY * s.scale, -320.0 * row.scale) << row.scale;
        EXPECT_EQ(s.overview, !row.changed) << row.scale;
    }

    // Wheel deltas: whole notches at once, small ones added up, a turn back starts afresh.
    struct Wheel {
        std::vector<int> deltas;
        std::vector<int> steps;
    };
    const Wheel wheels[] = {
        {{240}, {2}},
        {{-360}, {-3}},
        {{40, 40, 40, 40}, {0, 0, 1, 0}},
        {{60, -60, -60}, {0, 0, -1}},
        {{150, 100}, {1, 1}},
    };
    for (const Wheel& wheel : wheels) {
        int rest = 0;
        std::vector<int> steps;
        for (const int delta : wheel.deltas)
            steps.push_back(tarnwick::TakeWheelSteps(rest, delta));
        EXPECT_EQ(steps, wheel.steps) << wheel.deltas.front();
    }
}

TEST(TrackModel, KeypadPanningMovesThePictureByItsStep) {
    // 1024 x 512: the 512 pixels span 2048 map units, so a pixel is 4 map units.
    const QRect view(0, 0, 1024, 512);
    struct Row {
        int digit;
        bool large;
        double dx, dy;  // map units the offsets move
    };
    const Row rows[] = {
        {1, false, -400, 400}, {2, false, 0, 400},    {3, false, 400, 400},
        {4, false, -400, 0},   {6, false, 400, 0},    {7, false, -400, -400},
        {8, false, 0, -400},   {9, false, 400, -400}, {8, true, 0, -1000},
    };
    for (const Row& row : rows) {
        TrackState s;
        s.offsetX = 100;
        s.offsetY = 50;
        s.overview = true;
        const tarnwick::TrackTransform before = tarnwick::MakeTrackTransform(s, view);
        ASSERT_TRUE(tarnwick::KeypadPan(s, view, row.digit, row.large));
        EXPECT_DOUBLE_EQ(s.offsetX, 100 + row.dx) << row.digit;
        EXPECT_DOUBLE_EQ(s.offsetY, 50 + row.dy) << row.digit;
        EXPECT_FALSE(s.overview) << row.digit;
        // Every point of the map moved by the scroll of the digit: 8 moves it down, so
        // that more of the north shows.
        const tarnwick::TrackTransform after = tarnwick::MakeTrackTransform(s, view);
        const QPoint scroll = tarnwick::KeypadScroll(row.digit, row.large ? 250 : 100);
        for (const QPoint p : {QPoint(0, 0), QPoint(-3000, 7000)})
            EXPECT_EQ(after.Device(p), before.Device(p) + scroll) << row.digit;
    }
    EXPECT_EQ(tarnwick::KeypadScroll(8, 100), QPoint(0, 100));

    // 0 does nothing; 5 centres on the origin, but not in the overview.
    TrackState s;
    s.offsetX = 100;
    EXPECT_FALSE(tarnwick::KeypadPan(s, view, 0, false));
    EXPECT_EQ(s.offsetX, 100);
    s.overview = true;
    EXPECT_FALSE(tarnwick::KeypadPan(s, view, 5, false));
    EXPECT_EQ(s.offsetX, 100);
    s.overview = false;
    EXPECT_TRUE(tarnwick::KeypadPan(s, view, 5, false));
    EXPECT_EQ(s.offsetX, 0);

    // The map centre is the point the offsets name (y counted downwards).
    s.offsetX = 300;
    s.offsetY = -200;
    EXPECT_EQ(tarnwick::MakeTrackTransform(s, view).Device(QPoint(300, 200)), QPoint(512, 256));
}

TEST(TrackModel, OverviewTwiceReturnsExactly) {
    TrackState s;
    s.scale = 77;
    s.offsetX = 123.25;
    s.offsetY = -45.5;
    tarnwick::ToggleOverview(s);
    EXPECT_TRUE(s.overview);
    EXPECT_EQ(s.scale, 32);
    EXPECT_EQ(s.offsetX, 0.0);
    EXPECT_EQ(s.offsetY, 0.0);
    tarnwick::ToggleOverview(s);
    EXPECT_FALSE(s.overview);
    EXPECT_EQ(s.scale, 77);
    EXPECT_EQ(s.offsetX, 123.25);
    EXPECT_EQ(s.offsetY, -45.5);

    // Selection and cursor as the map takes them from the other views.
    tarnwick::TakeSelection(s, 1000, 0, -1, 4000);
    EXPECT_EQ(s.selectionTo, 4000);
    EXPECT_EQ(s.cursor, 2500);
    EXPECT_EQ(tarnwick::CursorSegment(100.0), 20);  // 100 m is 20.5 segments of 16 ft
}

TEST(TrackModel, ValuesKeptPerTrack) {
    EXPECT_EQ(tarnwick::TrackValueName("scale", 0x1a2b3c4d), "scale_1a2b3c4d");
    EXPECT_EQ(tarnwick::TrackValueName("offset_x", 0xab), "offset_x_000000ab");
    testsupport::TempDir dir("trackmodel");
    QSettings store(QString::fromStdString((dir.path() / "t.ini").string()), QSettings::IniFormat);

    TrackState written;
    written.scale = 500;
    written.offsetX = -1234.4;
    written.offsetY = 77.6;
    written.fillMode = false;
    written.drawFlags = 16 | 1;
    tarnwick::WriteTrackSettings(store, 0x1a2b3c4d, written);
    EXPECT_EQ(store.value("TrackView/scale_1a2b3c4d").toInt(), 500);
    EXPECT_EQ(store.value("TrackView/offset_x_1a2b3c4d").toInt(), -1234);
    EXPECT_EQ(store.value("TrackView/offset_y_1a2b3c4d").toInt(), 78);
    EXPECT_EQ(store.value("TrackView/use_rgn").toInt(), 0);
    EXPECT_EQ(store.value("TrackView/track_draw_flags").toInt(), 17);

    TrackState read;
    tarnwick::ReadTrackSettings(store, 0x1a2b3c4d, read);
    EXPECT_EQ(read.scale, 500);
    EXPECT_EQ(read.offsetX, -1234);
    EXPECT_EQ(read.offsetY, 78);
    EXPECT_FALSE(read.fillMode);
    EXPECT_EQ(read.drawFlags, 17);
    // Another track keeps its own place: the defaults.
    TrackState other;
    tarnwick::ReadTrackSettings(store, 0x1a2b3c4e, other);
    EXPECT_EQ(other.scale, 32);
    EXPECT_EQ(other.offsetX, 0);

    // Whatever is stored, the scale stays within 1 .. 2048.
    struct Row {
        QVariant stored;
        int scale;
    };
    const Row rows[] = {{0, 1},
                        {-5, 1},
                        {99999, 2048},
                        {QStringLiteral("9e99"), 32},
                        {"7000000000000", 2048},
                        {2048, 2048},
                        {QStringLiteral("x"), 32}};
    for (const Row& row : rows) {
        store.setValue("TrackView/scale_00000001", row.stored);
        TrackState s;
        tarnwick::ReadTrackSettings(store, 1, s);
        EXPECT_EQ(s.scale, row.scale) << row.stored.toString().toStdString();
    }
}
