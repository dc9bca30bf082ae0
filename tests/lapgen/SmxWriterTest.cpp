#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "ReadBack.h"
#include "lapgen/SmxWriter.h"

namespace {

using lapgen_test::Bytes;
using lapgen_test::U32At;

const lapgen::Lap& SmallLap() {
    static const lapgen::Lap lap = [] {
        lapgen::LapSpec spec;
        spec.seed = 3;
        spec.sampleCount = 250;
        spec.trackLength = 1200;
        return lapgen::MakeLap(spec);
    }();
    return lap;
}

}  // namespace

TEST(SmxWriter, LayoutAndTruthAgree) {
    const lapgen::SmxMesh mesh = lapgen::BuildSmxMesh(SmallLap());
    const lapgen::SmxTruth truth = lapgen::SmxTruthOf(mesh);
    const Bytes file = lapgen::WriteSmx(mesh);
    EXPECT_EQ(std::memcmp(file.data(), "LFSSMX", 6), 0);
    EXPECT_EQ(file[8], 0);
    EXPECT_NE(file[11], 0);
    EXPECT_EQ(file[48], mesh.background[0]);
    EXPECT_EQ(U32At(file, 60), static_cast<std::uint32_t>(truth.objects));
    // 249 sample steps in strips of 40, six pyramids, four gates
    EXPECT_EQ(truth.objects, 7 + 6 + 4);
    EXPECT_EQ(truth.points, 2 * (249 + 7) + 6 * 4 + 4 * 4);
    EXPECT_EQ(truth.triangles, 2 * 249 + 6 * 4 + 4 * 2);
    const std::size_t expected = 64 + 24 * static_cast<std::size_t>(truth.objects) +
                                 16 * static_cast<std::size_t>(truth.points) +
                                 8 * static_cast<std::size_t>(truth.triangles) + 4 + 4 * 4;
    EXPECT_EQ(file.size(), expected);
    EXPECT_EQ(truth.trailer, (std::vector<std::uint32_t>{13, 14, 15, 16}));
    EXPECT_EQ(truth.trailerPos[15], 2);
    EXPECT_EQ(truth.trailerPos[0], -1);
    EXPECT_EQ(U32At(file, file.size() - 4), 16u);
}

TEST(SmxWriter, GeometryFollowsTheLap) {
    const lapgen::Lap& lap = SmallLap();
    const lapgen::SmxMesh mesh = lapgen::BuildSmxMesh(lap);
    for (const lapgen::SmxObject& o : mesh.objects) {
        for (const lapgen::SmxTriangle& t : o.triangles) {
            EXPECT_LT(std::max({t.a, t.b, t.c}), o.points.size());
        }
        for (const lapgen::SmxPoint& p : o.points) {
            EXPECT_LE(std::hypot(p.x - o.centreX, p.y - o.centreY), o.radius);
        }
    }
    // the first strip's edge points lie half a road width either side of sample 5
    const lapgen::Sample& s = lap.samples[5];
    const lapgen::SmxPoint& left = mesh.objects[0].points[10];
    const lapgen::SmxPoint& right = mesh.objects[0].points[11];
    EXPECT_NEAR(left.x * lapgen::kSmxUnit, s.x - std::sin(s.heading) * 6.0, 1e-4);
    EXPECT_NEAR(right.y * lapgen::kSmxUnit, s.y - std::cos(s.heading) * 6.0, 1e-4);
}

TEST(SmxWriter, BrokenVariants) {
    const lapgen::SmxMesh mesh = lapgen::BuildSmxMesh(SmallLap());
    const Bytes good = lapgen::WriteSmx(mesh);
    lapgen::SmxWriteOptions o;
    o.triangleIndexOutOfRange = true;
    const Bytes badIndex = lapgen::WriteSmx(mesh, o);
    // the second index of object 0's first triangle: after 24 + 16 * points bytes
    const std::size_t at = 64 + 24 + 16 * mesh.objects[0].points.size() + 2;
    EXPECT_EQ(badIndex[at], mesh.objects[0].points.size());
    EXPECT_EQ(badIndex.size(), good.size());
    o = {};
    o.trailerEntryOutOfRange = true;
    const Bytes extra = lapgen::WriteSmx(mesh, o);
    EXPECT_EQ(U32At(extra, extra.size() - 4), mesh.objects.size());
    o = {};
    o.noTrailer = true;
    EXPECT_EQ(lapgen::WriteSmx(mesh, o).size(), good.size() - 20);
    o = {};
    o.objectCountOverride = 99;
    o.badMagic = true;
    o.marker8Set = true;
    o.marker11Clear = true;
    o.truncateBy = 7;
    const Bytes broken = lapgen::WriteSmx(mesh, o);
    EXPECT_EQ(U32At(broken, 60), 99u);
    EXPECT_EQ(broken[5], 'Y');
    EXPECT_EQ(broken[8], 1);
    EXPECT_EQ(broken[11], 0);
    EXPECT_EQ(broken.size(), good.size() - 7);
    o = {};
    o.brokenObject = mesh.objects.size();
    o.pointCountOverride = 1;
    EXPECT_THROW(lapgen::WriteSmx(mesh, o), std::invalid_argument);
    EXPECT_EQ(lapgen::SmxFileName("BL1"), "BL1_3DH.smx");
}
