#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "lapgen/SmxWriter.h"
#include "morlund/platform/ByteOrder.h"
#include "morlund/platform/File.h"
#include "morlund/platform/RecordingMessageSink.h"
#include "morlund/track/LFSTrack.h"

using namespace morlund;

namespace {

using Bytes = std::vector<std::uint8_t>;

bool Read(LFSTrack& track, Bytes bytes) {
    File f = File::FromMemory(std::move(bytes), "/lfs/data/smx/BL1_3DH.smx");
    return track.Read(f);
}

const lapgen::SmxMesh& LapMesh() {
    static const lapgen::SmxMesh mesh = [] {
        lapgen::LapSpec spec;
        spec.seed = 5;
        spec.sampleCount = 300;
        spec.trackLength = 1500;
        return lapgen::BuildSmxMesh(lapgen::MakeLap(spec));
    }();
    return mesh;
}

// One object worked by hand: three points, one triangle, centre (1, -2, 0.5) m, radius 1 m.
lapgen::SmxMesh HandMesh() {
    lapgen::SmxMesh mesh;
    mesh.background = {0x11, 0x22, 0x33};
    lapgen::SmxObject o;
    o.centreX = 65536;
    o.centreY = -131072;
    o.centreZ = 32768;
    o.radius = 65536;
    o.points = {{0, -131072, 0, {0x12, 0x34, 0x56, 0x78}},
                {131072, -131072, 0, {0xff, 0x00, 0x80, 0x01}},
                {65536, -65536, 65536, {0, 0, 0, 0}}};
    o.triangles = {{0, 1, 2}};
    mesh.objects = {o, o, o};
    mesh.trailer = {2, 0, 2};  // object 2 listed twice: its last entry counts
    return mesh;
}

void ExpectEmpty(const LFSTrack& track) {
    int count = -1;
    EXPECT_EQ(track.GetObjects(count), nullptr);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(track.GetTotalVertexCount(), 0);
    EXPECT_EQ(track.GetTotalTriangleCount(), 0);
    EXPECT_EQ(track.GetFtr(), nullptr);
    EXPECT_FALSE(track.IsLoaded());
}

}  // namespace

TEST(LFSTrack, HandWorkedObjectColoursSquareAndTrailer) {
    LFSTrack track;
    ASSERT_TRUE(Read(track, lapgen::WriteSmx(HandMesh())));
    EXPECT_EQ(track.GetBackgroundColor(), 0x00332211u);
    EXPECT_EQ(track.GetHeader()[48], 0x11);
    int count = 0;
    const LFSObject* objects = track.GetObjects(count);
    ASSERT_EQ(count, 3);
    const LFSObject& o = objects[0];
    EXPECT_EQ(o.centreX, 65536);
    EXPECT_EQ(o.centreZ, 32768);
    EXPECT_EQ(o.square.left, 0);
    EXPECT_EQ(o.square.top, -196608);
    EXPECT_EQ(o.square.right, 131072);
    EXPECT_EQ(o.square.bottom, -65536);
    ASSERT_EQ(o.points.size(), 3u);
    EXPECT_EQ(o.points[1].x, 131072);
    EXPECT_EQ(o.points[2].z, 65536);
    // each colour byte lands in the high byte of its 16-bit component
    EXPECT_EQ(o.points[0].red, 0x1200);
    EXPECT_EQ(o.points[0].green, 0x3400);
    EXPECT_EQ(o.points[0].blue, 0x5600);
    EXPECT_EQ(o.points[0].alpha, 0x7800);
    EXPECT_EQ(o.points[1].red, 0xff00);
    EXPECT_EQ(o.points[1].alpha, 0x0100);
    ASSERT_EQ(o.triangles.size(), 1u);
    EXPECT_EQ(o.triangles[0].c, 2);
    EXPECT_EQ(track.GetTotalVertexCount(), 9);
    EXPECT_EQ(track.GetTotalTriangleCount(), 3);
    ASSERT_NE(track.GetFtr(), nullptr);
    EXPECT_EQ(track.GetFtr()->count, 3);
    EXPECT_EQ(track.GetFtr()->objects, (std::vector<std::uint32_t>{2, 0, 2}));
    EXPECT_EQ(objects[0].trailerPos, 1);
    EXPECT_EQ(objects[1].trailerPos, LFSObject::kNotListed);
    EXPECT_EQ(objects[2].trailerPos, 2);
}

TEST(LFSTrack, ReadsTheMeshOfALap) {
    const lapgen::SmxMesh& mesh = LapMesh();
    const lapgen::SmxTruth truth = lapgen::SmxTruthOf(mesh);
    LFSTrack track;
    ASSERT_TRUE(Read(track, lapgen::WriteSmx(mesh)));
    int count = 0;
    const LFSObject* objects = track.GetObjects(count);
    ASSERT_EQ(count, truth.objects);
    EXPECT_EQ(track.GetTotalVertexCount(), truth.points);
    EXPECT_EQ(track.GetTotalTriangleCount(), truth.triangles);
    ASSERT_NE(track.GetFtr(), nullptr);
    EXPECT_EQ(track.GetFtr()->objects, truth.trailer);
    for (int k = 0; k < count; ++k) {
        const lapgen::SmxObject& want = mesh.objects[static_cast<std::size_t>(k)];
        const LFSObject& got = objects[k];
        EXPECT_EQ(got.trailerPos, truth.trailerPos[static_cast<std::size_t>(k)]) << k;
        EXPECT_EQ(got.square.left, std::int64_t{want.centreX} - want.radius) << k;
        EXPECT_EQ(got.square.bottom, std::int64_t{want.centreY} + want.radius) << k;
        ASSERT_EQ(got.points.size(), want.points.size()) << k;
        ASSERT_EQ(got.triangles.size(), want.triangles.size()) << k;
        for (std::size_t i = 0; i < want.points.size(); ++i) {
            EXPECT_EQ(got.points[i].x, want.points[i].x);
            EXPECT_EQ(got.points[i].y, want.points[i].y);
            EXPECT_EQ(got.points[i].green, want.points[i].colour[1] << 8);
        }
        for (std::size_t i = 0; i < want.triangles.size(); ++i) {
            EXPECT_EQ(got.triangles[i].a, want.triangles[i].a);
            EXPECT_EQ(got.triangles[i].b, want.triangles[i].b);
        }
    }
}

TEST(LFSTrack, TrailerIsOptionalAndUnknownEntriesAreIgnored) {
    LFSTrack track;
    lapgen::SmxWriteOptions options;
    options.noTrailer = true;
    ASSERT_TRUE(Read(track, lapgen::WriteSmx(HandMesh(), options)));
    EXPECT_EQ(track.GetFtr(), nullptr);
    int count = 0;
    const LFSObject* objects = track.GetObjects(count);
    for (int k = 0; k < count; ++k)
        EXPECT_EQ(objects[k].trailerPos, LFSObject::kNotListed);

    options = {};
    options.trailerEntryOutOfRange = true;  // names object 3 of 3
    ASSERT_TRUE(Read(track, lapgen::WriteSmx(HandMesh(), options)));
    ASSERT_NE(track.GetFtr(), nullptr);
    EXPECT_EQ(track.GetFtr()->count, 4);
    EXPECT_EQ(track.GetFtr()->objects.back(), 3u);
    objects = track.GetObjects(count);
    EXPECT_EQ(objects[0].trailerPos, 1);
    EXPECT_EQ(objects[2].trailerPos, 2);

    // no objects at all, but an empty trailer: 68 bytes
    lapgen::SmxMesh empty;
    const Bytes justTrailer = lapgen::WriteSmx(empty);
    ASSERT_EQ(justTrailer.size(), 68u);
    ASSERT_TRUE(Read(track, justTrailer));
    EXPECT_EQ(track.GetObjects(count), nullptr);
    ASSERT_NE(track.GetFtr(), nullptr);
    EXPECT_EQ(track.GetFtr()->count, 0);
}

TEST(LFSTrack, DamagedFilesAreRefusedAndLeaveNothingLoaded) {
    const lapgen::SmxMesh& mesh = LapMesh();
    const std::size_t objectCount = mesh.objects.size();
    auto refused = [&](const lapgen::SmxWriteOptions& options, const char* what) {
        LFSTrack track;
        ASSERT_TRUE(Read(track, lapgen::WriteSmx(mesh)));
        EXPECT_FALSE(Read(track, lapgen::WriteSmx(mesh, options))) << what;
        ExpectEmpty(track);
    };
    lapgen::SmxWriteOptions o;
    o.badMagic = true;
    refused(o, "magic");
    o = {};
    o.marker8Set = true;
    refused(o, "byte 8");
    o = {};
    o.marker11Clear = true;
    refused(o, "byte 11");
    for (std::size_t cut : {1u, 3u, 4u, 5u, 100u}) {
        o = {};
        o.truncateBy = cut;
        refused(o, "truncated");
    }
    o = {};
    o.noTrailer = true;
    o.truncateBy = 1;
    refused(o, "last triangle cut");
    o = {};
    o.objectCountOverride = static_cast<std::uint32_t>(objectCount + 1);
    refused(o, "one object too many");
    o.objectCountOverride = 0xffffffffu;
    refused(o, "object count far beyond the data");
    o = {};
    o.brokenObject = 2;
    o.pointCountOverride = 0x10000000u;
    refused(o, "point count");
    o.pointCountOverride = 0xffffffffu;
    refused(o, "point count at the limit");
    o = {};
    o.brokenObject = objectCount - 1;
    o.triangleCountOverride = static_cast<std::uint32_t>(mesh.objects.back().triangles.size() + 1);
    o.noTrailer = true;
    refused(o, "one triangle too many in the last object");
    o = {};
    o.brokenObject = 1;
    o.triangleIndexOutOfRange = true;  // index == point count
    refused(o, "triangle index");
    o = {};
    o.trailerCountOverride = 0x40000000u;
    refused(o, "trailer count");

    // A file of exactly the header is refused, one with a single byte more gets further.
    LFSTrack track;
    lapgen::SmxWriteOptions bare;
    bare.noTrailer = true;
    const Bytes headerOnly = lapgen::WriteSmx(lapgen::SmxMesh{}, bare);
    ASSERT_EQ(headerOnly.size(), 64u);
    EXPECT_FALSE(Read(track, headerOnly));
    EXPECT_FALSE(Read(track, {}));
    Bytes oneMore = headerOnly;
    oneMore.push_back(0);
    EXPECT_FALSE(Read(track, oneMore));  // a trailer count cut short
}

TEST(LFSTrack, CopiesAreIndependent) {
    LFSTrack track;
    ASSERT_TRUE(Read(track, lapgen::WriteSmx(HandMesh())));
    LFSTrack copy(track);
    LFSTrack assigned;
    assigned = track;
    track.Kill();
    ExpectEmpty(track);
    for (const LFSTrack* t : {&copy, &assigned}) {
        int count = 0;
        const LFSObject* objects = t->GetObjects(count);
        ASSERT_EQ(count, 3);
        EXPECT_EQ(objects[2].points[1].red, 0xff00);
        EXPECT_EQ(t->GetTotalTriangleCount(), 3);
        ASSERT_NE(t->GetFtr(), nullptr);
        EXPECT_EQ(t->GetFtr()->count, 3);
        EXPECT_EQ(t->GetBackgroundColor(), 0x00332211u);
    }
}

TEST(LFSTrack, LoadTrackMeshesFindsTheFileIgnoringCaseAndRefusesPathNames) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    testsupport::TempDir dir;
    const Bytes bytes = lapgen::WriteSmx(HandMesh());
    std::filesystem::create_directories(dir.path() / "Data" / "SMX");
    testsupport::WriteBytes(dir.path() / "Data" / "SMX" / "bl1_3dh.SMX", bytes);

    LFSTrack track;
    EXPECT_TRUE(track.LoadTrackMeshes(dir.path(), "BL1"));
    int count = 0;
    track.GetObjects(count);
    EXPECT_EQ(count, 3);

    EXPECT_FALSE(track.LoadTrackMeshes(dir.path(), "AS1"));  // no such file
    ExpectEmpty(track);
    EXPECT_FALSE(track.LoadTrackMeshes(dir.path() / "nowhere", "BL1"));

    // Files that a crafted name would reach are never opened.
    std::filesystem::create_directories(dir.path() / "data" / "smx");
    testsupport::WriteBytes(dir.path() / "Data" / "x_3DH.smx", bytes);
    testsupport::WriteBytes(dir.path() / "data" / "smx" / "a..b_3DH.smx", bytes);
    testsupport::WriteBytes(dir.path() / "data" / "x_3DH.smx", bytes);
    for (const char* name : {"../x", "..\\x", "SMX/../../x", "a..b", "SMX/bl1", "/tmp/x", ".."}) {
        EXPECT_FALSE(track.LoadTrackMeshes(dir.path(), name)) << name;
    }
    EXPECT_TRUE(sink.Messages().empty());
}

TEST(LFSTrack, RealAutocrossMesh) {
    const auto path = testsupport::RealDataFile("Autocross_3DH.smx");
    if (path.empty()) GTEST_SKIP() << "real mesh file not present";
    File file = testsupport::OpenRead(path);
    LFSTrack track;
    ASSERT_TRUE(track.Read(file));
    int count = 0;
    const LFSObject* objects = track.GetObjects(count);
    ASSERT_EQ(count, 1666);
    ASSERT_NE(track.GetFtr(), nullptr);
    ASSERT_EQ(track.GetFtr()->count, 6);
    long long points = 0, triangles = 0;
    int listed = 0;
    for (int k = 0; k < count; ++k) {
        points += static_cast<long long>(objects[k].points.size());
        triangles += static_cast<long long>(objects[k].triangles.size());
        if (objects[k].trailerPos != LFSObject::kNotListed) ++listed;
    }
    EXPECT_EQ(track.GetTotalVertexCount(), points);
    EXPECT_EQ(track.GetTotalTriangleCount(), triangles);
    EXPECT_GT(triangles, 0);
    EXPECT_EQ(listed, 6);
    for (std::uint32_t entry : track.GetFtr()->objects)
        EXPECT_LT(entry, 1666u);
}
