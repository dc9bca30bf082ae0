#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "TestSupport.h"
#include "lapgen/SetupWriter.h"
#include "morlund/formats/f1rs/F1RSCarSetup.h"
#include "morlund/formats/generic/GenCarSetup.h"
#include "morlund/formats/gp2/GP2CarSetup.h"
#include "morlund/formats/gp3/GP3CarSetup.h"
#include "morlund/formats/gp3/GP4CarSetup.h"
#include "morlund/formats/lfs/LFSCarSetup.h"
#include "morlund/formats/lfs/RafHeader.h"
#include "morlund/formats/mgp/MGPCarSetup.h"
#include "morlund/platform/RecordingMessageSink.h"

using namespace morlund;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr double kLbIn = 4.4497179 * 39.37007874015748;

bool Read(CarSetup& setup, Bytes bytes, const std::string& name = "/setups/car.csd") {
    File f = File::FromMemory(std::move(bytes), name);
    return setup.Serialize(f, false);
}

Bytes DataOf(const CarSetup& setup) {
    int size = 0;
    const std::uint8_t* data = setup.GetData(&size);
    return Bytes(data, data + size);
}

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A setup file image with the block at byte 400, scrambled as the games store it.
Bytes ScrambledFile(const Bytes& block, std::size_t size) {
    Bytes file(size, 0x11);
    std::copy(block.begin(), block.end(), file.begin() + 400);
    lapgen::ScrambleSetup(file);
    return file;
}

}  // namespace

// ---- GP3, GP3-2000, GP4 ------------------------------------------------------------------

TEST(GP3Setup, AccessorsFollowTheRecordBytes) {
    auto r = lapgen::DefaultGP3SetupRecord();
    r[0] = 11;
    r[1] = 13;
    r[2] = 0x80 | 30;  // gear 1 = 30/64, with a seventh-gear bit above it
    r[9] = 80;         // brake balance 0.5 + 0.1
    r[17] = 9;         // packers of wheel 1, mm
    r[23] = 6;         // fast bump of wheel 3
    r[25] = 2;         // fast rebound of wheel 1
    r[30] = 12;        // slow bump of wheel 2
    r[35] = 18;        // slow rebound of wheel 3
    r[39] = 90;        // spring of wheel 3, 10 lb/in
    r[42] = 101;       // ride height of wheel 2, 0.5 mm
    r[44] = 3;         // rear bar step
    r[46] = 200;       // front bar step beyond the table
    GP3CarSetup setup;
    ASSERT_TRUE(Read(setup, lapgen::WriteGP3Setup(lapgen::GPSetupGame::GP3, 6, r)));
    EXPECT_TRUE(setup.IsValid(true));
    EXPECT_TRUE(setup.IsFromFile());
    EXPECT_EQ(setup.GetTrack(), 6);
    EXPECT_EQ(setup.GetFrontWing(), 11);
    EXPECT_EQ(setup.GetRearWing(), 13);
    EXPECT_EQ(setup.GetGearRatio(1), 30 / 64.0);
    EXPECT_EQ(setup.GetGearRatio(-1), -30 / 64.0);
    EXPECT_EQ(setup.GetGearRatio(6), lapgen::kGearRatios[5]);
    EXPECT_EQ(setup.GetGearRatio(7), 18 / 64.0);  // the one top bit: value 1
    EXPECT_EQ(setup.GetGearRatio(0), 0.0);
    EXPECT_EQ(setup.GetGearRatio(8), 0.0);
    EXPECT_DOUBLE_EQ(setup.GetBrakeBalance(), 0.6);
    EXPECT_DOUBLE_EQ(setup.GetPackers(1), 0.009);
    EXPECT_DOUBLE_EQ(setup.GetFastBump(3), 0.25);
    EXPECT_DOUBLE_EQ(setup.GetFastRebound(1), 0.75);
    EXPECT_DOUBLE_EQ(setup.GetSlowBump(2), 0.5);
    EXPECT_DOUBLE_EQ(setup.GetSlowRebound(3), 0.25);
    EXPECT_NEAR(setup.GetSpringRate(3), 900 * kLbIn, 1e-6);
    EXPECT_DOUBLE_EQ(setup.GetStaticRideHeight(2), 0.0505);
    EXPECT_NEAR(setup.GetRearAntiRollBar(), 150 * kLbIn, 1e-6);
    EXPECT_NEAR(setup.GetFrontAntiRollBar(), 12500 * kLbIn, 1e-6);
    EXPECT_EQ(setup.GetDiffRatio(), 0.17097701148835712);
    EXPECT_EQ(setup.GetMaxSuspTravel(0), 0.08);
    EXPECT_EQ(setup.GetMaxSuspTravel(3), 0.04);
    EXPECT_EQ(setup.GetStaticCamber(1), 0.0);
    EXPECT_EQ(setup.GetGearCount(), 6);
    EXPECT_EQ(DataOf(setup), Bytes(r.begin(), r.end()));
    // Wheel numbers outside 0..3 read nothing rather than a neighbouring field.
    EXPECT_EQ(setup.GetPackers(-1), 0.0);
    EXPECT_EQ(setup.GetSpringRate(4), 0.0);
}

TEST(GP3Setup, SeventhGearComesFromTheTopBits) {
    GP3CarSetup setup;
    EXPECT_EQ(setup.GetGearRatio(7), 0.0);  // the new record has none
    auto r = lapgen::DefaultGP3SetupRecord();
    // byte 2 holds bit 0, byte 7 bit 5: 33 = bits 0 and 5
    r[2] |= 0x80;
    r[7] |= 0x80;
    ASSERT_TRUE(Read(setup, lapgen::WriteGP3Setup(lapgen::GPSetupGame::GP3, 2, r)));
    EXPECT_EQ(setup.GetSeventhGearValue(), 33);
    EXPECT_EQ(setup.GetGearRatio(7), 50 / 64.0);
    EXPECT_EQ(setup.GetGearRatio(1), lapgen::kGearRatios[0]);
    EXPECT_EQ(setup.GetGearRatio(6), lapgen::kGearRatios[5]);

    lapgen::SetSeventhGear(r, 63);
    ASSERT_TRUE(Read(setup, lapgen::WriteGP3Setup(lapgen::GPSetupGame::GP3, 2, r)));
    EXPECT_EQ(setup.GetGearRatio(7), 80 / 64.0);
}

TEST(GP3Setup, SettingRatiosKeepsTheOtherGears) {
    GP3CarSetup setup;
    setup.SetGearRatio(7, 40 / 64.0);
    EXPECT_EQ(setup.GetSeventhGearValue(), 23);
    for (int g = 1; g <= 6; ++g)
        setup.SetGearRatio(g, (20 + g) / 64.0);
    EXPECT_EQ(setup.GetGearRatio(7), 40 / 64.0);
    EXPECT_EQ(setup.GetGearRatio(3), 23 / 64.0);

    setup.SetGearRatio(2, 5.0);  // beyond seven bits: 127/64, the seventh gear untouched
    EXPECT_EQ(setup.GetGearRatio(2), 127 / 64.0);
    EXPECT_EQ(setup.GetGearRatio(7), 40 / 64.0);

    setup.SetGearRatio(7, 3.0);  // beyond six bits: value 63
    EXPECT_EQ(setup.GetSeventhGearValue(), 63);
    EXPECT_EQ(setup.GetGearRatio(2), 127 / 64.0);
    setup.SetGearRatio(7, 18 / 64.0);
    EXPECT_EQ(setup.GetGearRatio(7), 18 / 64.0);
    setup.SetGearRatio(7, 17.9 / 64.0);  // below 18/64 there is no seventh gear
    EXPECT_EQ(setup.GetGearRatio(7), 0.0);
    setup.SetGearRatio(7, std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(setup.GetGearRatio(7), 0.0);
    setup.SetGearRatio(1, -1.0);
    EXPECT_EQ(setup.GetGearRatio(1), 0.0);
    int size = 0;
    const std::uint8_t* data = setup.GetData(&size);
    EXPECT_EQ(data[8], 0);  // the byte after the gears is not touched
}

TEST(GP3Setup, DifferentialNibbles) {
    GP3CarSetup setup;  // bytes 45 and 47 are 0: unset, every setting reads 5
    for (int which : {0, 1})
        for (int part : {0, 1})
            EXPECT_EQ(setup.GetDiffSetting(which, part), 5);

    // Setting one half of an unset byte: that half reads back, the other stays 5.
    setup.SetDiffSetting(1, 0, 0);
    EXPECT_EQ(setup.GetDiffSetting(1, 0), 0);
    EXPECT_EQ(setup.GetDiffSetting(1, 1), 5);
    EXPECT_EQ(setup.GetDiffSetting(0, 0), 5);  // byte 45 is apart
    setup.SetDiffSetting(0, 1, 0);
    EXPECT_EQ(setup.GetDiffSetting(0, 1), 0);
    EXPECT_EQ(setup.GetDiffSetting(0, 0), 5);
    setup.SetDiffSetting(0, 0, 10);
    EXPECT_EQ(setup.GetDiffSetting(0, 0), 10);
    EXPECT_EQ(setup.GetDiffSetting(0, 1), 0);
    int size = 0;
    EXPECT_EQ(setup.GetData(&size)[45], 0x1B);  // value + 1 per nibble
    EXPECT_EQ(setup.GetData(&size)[47], 0x61);

    // Read from a file: nibble - 1, and 16 still counts as unset.
    auto r = lapgen::DefaultGP3SetupRecord();
    r[45] = 0x3A;
    r[47] = 0x10;
    ASSERT_TRUE(Read(setup, lapgen::WriteGP3Setup(lapgen::GPSetupGame::GP3, 2, r)));
    EXPECT_EQ(setup.GetDiffSetting(0, 0), 9);
    EXPECT_EQ(setup.GetDiffSetting(0, 1), 2);
    EXPECT_EQ(setup.GetDiffSetting(1, 0), 5);
    EXPECT_EQ(setup.GetDiffSetting(1, 1), 5);

    // A stored low nibble 0 (reads -1) under a high nibble set to 0 would read as unset.
    r[45] = 0x40;
    ASSERT_TRUE(Read(setup, lapgen::WriteGP3Setup(lapgen::GPSetupGame::GP3, 2, r)));
    setup.SetDiffSetting(0, 1, 0);
    EXPECT_EQ(setup.GetDiffSetting(0, 1), 0);
    EXPECT_EQ(setup.GetDiffSetting(0, 0), 0);

    // Values beyond a nibble are limited instead of spilling into the other half.
    setup.SetDiffSetting(1, 0, 40);
    EXPECT_EQ(setup.GetDiffSetting(1, 0), 14);
    EXPECT_EQ(setup.GetDiffSetting(1, 1), 5);
}

TEST(GP3Setup, WritesTheGameFileAndReadsItBack) {
    testsupport::TempDir dir;
    for (auto game : {lapgen::GPSetupGame::GP3, lapgen::GPSetupGame::GP4}) {
        auto make = [game]() -> std::unique_ptr<GP3CarSetup> {
            if (game == lapgen::GPSetupGame::GP4) return std::make_unique<GP4CarSetup>();
            return std::make_unique<GP3CarSetup>();
        };
        std::unique_ptr<GP3CarSetup> setup = make();
        for (int g = 1; g <= 6; ++g)
            setup->SetGearRatio(g, lapgen::kGearRatios[static_cast<std::size_t>(g - 1)]);
        setup->SetTrack(9);
        File out;
        ASSERT_TRUE(out.Open(dir / "car.csj", File::Mode::Create));
        ASSERT_TRUE(setup->Serialize(out, true));
        out.Close();
        EXPECT_TRUE(setup->IsFromFile());

        // The generator's file of the same record, apart from the header bytes neither side
        // interprets.
        const Bytes written = testsupport::ReadBytes(dir / "car.csj");
        const auto record = lapgen::DefaultGP3SetupRecord();
        const Bytes expected = lapgen::WriteGP3Setup(game, 9, record);
        ASSERT_EQ(written.size(), 92u);
        EXPECT_EQ(Bytes(written.begin(), written.begin() + 6),
                  Bytes(expected.begin(), expected.begin() + 6));
        EXPECT_EQ(Bytes(written.begin() + 32, written.begin() + 88),
                  Bytes(record.begin(), record.end()));
        EXPECT_EQ(lapgen::GPChecksum(std::span(written).first(88)),
                  written[88] | written[89] << 8 | written[90] << 16 |
                      static_cast<std::uint32_t>(written[91]) << 24);

        std::unique_ptr<GP3CarSetup> back = make();
        ASSERT_TRUE(Read(*back, written));
        EXPECT_TRUE(back->IsValid(true));
        EXPECT_EQ(DataOf(*back), DataOf(*setup));
        EXPECT_EQ(back->GetTrack(), 9);
    }
}

TEST(GP3Setup, RefusedFilesLeaveTheRecordAsItWas) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    auto r = lapgen::DefaultGP3SetupRecord();
    r[0] = 3;
    GP3CarSetup setup;
    ASSERT_TRUE(Read(setup, lapgen::WriteGP3Setup(lapgen::GPSetupGame::GP3, 4, r)));
    const Bytes before = DataOf(setup);

    auto other = r;
    other[0] = 20;
    using lapgen::GP3SetupOptions;
    for (const GP3SetupOptions& bad :
         {GP3SetupOptions{.badChecksum = true}, GP3SetupOptions{.sizeDelta = 1},
          GP3SetupOptions{.sizeDelta = -1}}) {
        EXPECT_FALSE(Read(setup, lapgen::WriteGP3Setup(lapgen::GPSetupGame::GP3, 7, other, bad)));
        EXPECT_EQ(DataOf(setup), before);
        EXPECT_EQ(setup.GetTrack(), 4);
    }
    // A GP2 file has the right id but the wrong size.
    EXPECT_FALSE(Read(setup, lapgen::WriteGP2Setup(4, lapgen::DefaultSetupRecord())));
    EXPECT_EQ(DataOf(setup), before);

    // Id and type are checked afterwards, with messages unless quiet.
    ASSERT_TRUE(Read(setup, lapgen::WriteGP3Setup(lapgen::GPSetupGame::GP4, 4, r)));
    EXPECT_FALSE(setup.IsValid(true));
    EXPECT_TRUE(sink.Messages().empty());
    EXPECT_FALSE(setup.IsValid(false));
    ASSERT_TRUE(Read(setup, lapgen::WriteGP3Setup(lapgen::GPSetupGame::GP3, 4, r,
                                                  {.fileType = lapgen::kFileTypePerf})));
    EXPECT_FALSE(setup.IsValid(false));
    EXPECT_EQ(sink.Texts(),
              (std::vector<std::string>{"Error reading file: not a GPx file (incorrect id)",
                                        "Error reading file: not a GPx car setup file"}));

    GP4CarSetup gp4;
    ASSERT_TRUE(Read(gp4, lapgen::WriteGP3Setup(lapgen::GPSetupGame::GP3, 4, r)));
    EXPECT_FALSE(gp4.IsValid(true));
    ASSERT_TRUE(Read(gp4, lapgen::WriteGP3Setup(lapgen::GPSetupGame::GP4, 4, r)));
    EXPECT_TRUE(gp4.IsValid(true));
    EXPECT_EQ(gp4.GetGearCount(), 7);
}

TEST(GP3Setup, AssignTakesOnlyRecordsOfTheSameGame) {
    GP3CarSetup gp3;
    GP3CarSetup gp3b;
    GP4CarSetup gp4;
    GP2CarSetup gp2;
    gp4.SetGearRatio(1, 0.25);
    gp2.SetGearRatio(1, 0.75);
    gp3b.SetGearRatio(1, 0.5);
    gp3b.SetTrack(8);
    const Bytes fresh = DataOf(gp3);
    gp3.Assign(gp4);
    gp3.Assign(gp2);
    EXPECT_EQ(DataOf(gp3), fresh);
    gp2.Assign(gp3b);
    EXPECT_EQ(gp2.GetGearRatio(1), 0.75);
    gp3.Assign(gp3b);
    EXPECT_EQ(gp3.GetGearRatio(1), 0.5);
    EXPECT_EQ(gp3.GetTrack(), 8);
}

// ---- F1RS and MGPRS2 ---------------------------------------------------------------------

TEST(F1RSSetup, AccessorsFollowTheDescrambledBlock) {
    Bytes block(144, 0);
    // File wheel positions: 0 right front, 1 right rear, 2 left front, 3 left rear.
    Put32(block, 4 * 3, 101000);  // spring, left rear
    Put32(block, 4 * 0, 104000);  // spring, right front
    Put32(block, 16, 70000);
    Put32(block, 20, 50000);
    Put32(block, 24 + 4 * 1, 1500);  // slow bump, right rear
    Put32(block, 40 + 4 * 2, 4500);  // slow rebound, left front
    Put32(block, 72, 22);            // gear 1
    Put32(block, 72 + 20, 46);       // gear 6
    block[102] = 57;                 // brake balance, percent
    block[110] = 4;
    block[114] = 9;
    Put32(block, 120, 3 * 65536 / 100);  // front ride height
    Put32(block, 124, 0xFFFF0000u);      // rear ride height -1 m: signed
    Put32(block, 128 + 4 * 3, 15);       // packers, left rear
    F1RSCarSetup setup;
    ASSERT_TRUE(Read(setup, ScrambledFile(block, 736), "/f1rs/save/monaco.s7"));
    EXPECT_TRUE(setup.IsFromFile());
    EXPECT_TRUE(setup.IsValid(false));
    EXPECT_EQ(setup.GetTrack(), 7);
    EXPECT_EQ(setup.GetSpringRate(0), 101000);
    EXPECT_EQ(setup.GetSpringRate(3), 104000);
    EXPECT_EQ(setup.GetFrontAntiRollBar(), 70000);
    EXPECT_EQ(setup.GetRearAntiRollBar(), 50000);
    EXPECT_DOUBLE_EQ(setup.GetSlowBump(1), 0.75);
    EXPECT_DOUBLE_EQ(setup.GetSlowRebound(2), 0.25);
    EXPECT_DOUBLE_EQ(setup.GetFastRebound(2), 0.25);
    EXPECT_DOUBLE_EQ(setup.GetGearRatio(1), 0.44);
    EXPECT_DOUBLE_EQ(setup.GetGearRatio(-1), -0.44);
    EXPECT_DOUBLE_EQ(setup.GetGearRatio(6), 0.92);
    EXPECT_EQ(setup.GetGearRatio(7), 0.0);
    EXPECT_DOUBLE_EQ(setup.GetBrakeBalance(), 0.57);
    EXPECT_EQ(setup.GetFrontWing(), 4);
    EXPECT_EQ(setup.GetRearWing(), 9);
    EXPECT_DOUBLE_EQ(setup.GetStaticRideHeight(3), 1966 / 65536.0);
    EXPECT_EQ(setup.GetStaticRideHeight(0), -1.0);
    EXPECT_DOUBLE_EQ(setup.GetPackers(0), 0.015);
    EXPECT_EQ(setup.GetStaticCamber(0), 0.0);
    EXPECT_EQ(setup.GetMaxSuspTravel(2), 0.1);
    EXPECT_EQ(setup.GetGearCount(), 6);
    EXPECT_EQ(setup.GetDiffSetting(1, 1), 5);
    EXPECT_EQ(DataOf(setup), block);
}

TEST(F1RSSetup, GeneratedFileMatchesTheLapModel) {
    F1RSCarSetup setup;
    const lapgen::F1RSSetupValues values;
    ASSERT_TRUE(Read(setup, lapgen::WriteF1RSSetup(values), "x.s1"));
    for (int g = 1; g <= 6; ++g) {
        // Stored in fiftieths: within half a step of the model's ratio.
        EXPECT_NEAR(setup.GetGearRatio(g), lapgen::kGearRatios[static_cast<std::size_t>(g - 1)],
                    0.01 + 1e-12);
    }
    for (int w = 0; w < 4; ++w)
        EXPECT_EQ(setup.GetSpringRate(w), values.springRate[static_cast<std::size_t>(w)]);
    EXPECT_EQ(DataOf(setup), lapgen::BuildF1RSSetupBlock(values));
}

TEST(F1RSSetup, RefusesOtherSizesAndWrites) {
    F1RSCarSetup setup;
    ASSERT_TRUE(Read(setup, lapgen::WriteF1RSSetup({}), "a.s2"));
    const Bytes before = DataOf(setup);
    lapgen::F1RSSetupValues other;
    other.frontWing = 30;
    EXPECT_FALSE(Read(setup, lapgen::WriteF1RSSetup(other, {.sizeDelta = 1}), "b.s3"));
    EXPECT_FALSE(Read(setup, lapgen::WriteF1RSSetup(other, {.sizeDelta = -1}), "b.s3"));
    EXPECT_FALSE(Read(setup, lapgen::WriteMGPSetup({}), "b.s3"));
    EXPECT_EQ(DataOf(setup), before);
    EXPECT_EQ(setup.GetTrack(), 2);

    testsupport::TempDir dir;
    File out;
    ASSERT_TRUE(out.Open(dir / "a.s2", File::Mode::Create));
    EXPECT_FALSE(setup.Serialize(out, true));
    EXPECT_EQ(out.GetLength(), 0u);
}

TEST(F1RSSetup, TrackComesFromTheFileName) {
    const Bytes file = lapgen::WriteF1RSSetup({});
    auto track = [&](const std::string& name) {
        F1RSCarSetup setup;
        setup.SetTrack(-5);
        EXPECT_TRUE(Read(setup, file, "/games/f1rs/" + name)) << name;
        return setup.GetTrack();
    };
    EXPECT_EQ(track("monza.s12"), 12);
    EXPECT_EQ(track("MONZA.S4"), 4);
    EXPECT_EQ(track("monza.s1x"), 1);  // two characters read like atoi
    EXPECT_EQ(track("monza.sx"), 0);
    EXPECT_EQ(track("setup.txt"), -5);  // no number in the name: unchanged
    EXPECT_EQ(track("s1"), -5);
}

TEST(MGPSetup, AccessorsFollowTheDescrambledBlock) {
    Bytes block(160, 0);
    Put32(block, 4 * 1, 88000);  // spring, right rear
    Put32(block, 16, 4550);      // front bar, percent / 100
    Put32(block, 20, 3000);
    Put32(block, 24 + 4 * 3, 3000);         // slow bump, left rear
    Put32(block, 56 + 4 * 2, 0xFFFE0000u);  // camber, left front: -2
    Put32(block, 72 + 4 * 0, 3 * 32768);    // further value, right front: 1.5
    Put32(block, 88, 25);                   // gear 1
    Put32(block, 88 + 8, 35);               // gear 3
    block[118] = 61;                        // brake balance
    Put32(block, 124, 6 * 65536 + 32768);   // front wing 6.5
    Put32(block, 128, 2 * 65536);
    Put32(block, 136, 65536 / 16);  // front ride height
    Put32(block, 140, 65536 / 8);
    Put32(block, 144 + 4 * 2, 7);  // packers, left front
    // The F1RS places of these fields hold other numbers.
    block[102] = 99;
    Put32(block, 72 + 4, 77);
    MGPCarSetup setup;
    ASSERT_TRUE(Read(setup, ScrambledFile(block, 764), "mugello.s3"));
    EXPECT_EQ(setup.GetTrack(), 3);
    EXPECT_EQ(setup.GetSpringRate(1), 88000);
    EXPECT_DOUBLE_EQ(setup.GetFrontAntiRollBar(), 45.5);
    EXPECT_DOUBLE_EQ(setup.GetRearAntiRollBar(), 30.0);
    EXPECT_DOUBLE_EQ(setup.GetSlowBump(0), 0.5);
    EXPECT_EQ(setup.GetStaticCamber(2), -2.0);
    EXPECT_EQ(setup.GetWheelSetupB(3), 1.5);
    EXPECT_DOUBLE_EQ(setup.GetGearRatio(1), 0.5);
    EXPECT_DOUBLE_EQ(setup.GetGearRatio(3), 0.7);
    EXPECT_EQ(setup.GetGearRatio(2), 0.0);
    EXPECT_DOUBLE_EQ(setup.GetBrakeBalance(), 0.61);
    EXPECT_EQ(setup.GetFrontWing(), 6.5);
    EXPECT_EQ(setup.GetRearWing(), 2.0);
    EXPECT_EQ(setup.GetStaticRideHeight(2), 0.0625);
    EXPECT_EQ(setup.GetStaticRideHeight(1), 0.125);
    EXPECT_DOUBLE_EQ(setup.GetPackers(2), 0.007);
    EXPECT_EQ(DataOf(setup), block);

    EXPECT_FALSE(Read(setup, lapgen::WriteF1RSSetup({}), "x.s1"));  // 736 bytes
    EXPECT_EQ(setup.GetTrack(), 3);

    // Setting a ratio stores ratio x 50 where it is read back.
    setup.SetGearRatio(2, 0.6);
    EXPECT_DOUBLE_EQ(setup.GetGearRatio(2), 0.6);
    EXPECT_EQ(DataOf(setup)[92], 30);
}

TEST(ScrambledSetups, AssignKeepsTheGamesApart) {
    F1RSCarSetup f1rs;
    MGPCarSetup mgp;
    ASSERT_TRUE(Read(mgp, lapgen::WriteMGPSetup({}), "a.s5"));
    f1rs.Assign(mgp);
    EXPECT_FALSE(f1rs.IsFromFile());
    EXPECT_EQ(f1rs.GetTrack(), -1);
    MGPCarSetup copy;
    copy.Assign(mgp);
    EXPECT_TRUE(copy.IsFromFile());
    EXPECT_EQ(copy.GetTrack(), 5);
    EXPECT_EQ(DataOf(copy), DataOf(mgp));
}

// ---- LFS ---------------------------------------------------------------------------------

TEST(LFSSetup, BuiltFromTheReplayHeaderThroughTheWheelMap) {
    lapgen::LFSSetupHeader fields;
    // Blocks ordered right front, left front, right rear, left rear.
    fields.blockOfWheel = {3, 2, 1, 0};
    fields.travel = {0.11f, 0.12f, 0.0f, 0.14f};
    fields.springRate = {61000.0f, 62000.0f, 63000.0f, 64000.0f};
    fields.bump = {1.0f, 2.0f, 3.0f, 4.0f};
    fields.rebound = {5.0f, 6.0f, 7.0f, 8.0f};
    fields.tyreType = {4, 4, 5, 5};
    const Bytes header = lapgen::BuildLFSSetupHeader(fields);
    LFSCarSetup setup;
    ASSERT_TRUE(setup.Fill(ByteSpan(header.data(), header.size())));
    EXPECT_EQ(raf::MapWheels(ByteSpan(header.data(), header.size())),
              (std::array<int, 4>{3, 2, 1, 0}));
    for (int w = 0; w < 4; ++w) {
        const auto i = static_cast<std::size_t>(w);
        EXPECT_EQ(setup.GetSpringRate(w), fields.springRate[i]);
        EXPECT_EQ(setup.GetSlowBump(w), fields.bump[i]);
        EXPECT_EQ(setup.GetSlowRebound(w), fields.rebound[i]);
        EXPECT_EQ(setup.GetTyreType(w), fields.tyreType[i]);
    }
    EXPECT_EQ(setup.GetMaxSuspTravel(1), 0.12f);
    EXPECT_EQ(setup.GetStaticRideHeight(3), 0.14f);
    EXPECT_EQ(setup.GetMaxSuspTravel(2), 0.2f);  // a block without travel has the default
    EXPECT_EQ(setup.GetRearAntiRollBar(), 35000.0f);
    EXPECT_EQ(setup.GetFrontAntiRollBar(), 45000.0f);
    EXPECT_DOUBLE_EQ(setup.GetDiffRatio(), 1.0 / static_cast<float>(lapgen::kFinalDrive));
    for (int g = 1; g <= 6; ++g) {
        EXPECT_NEAR(setup.GetGearRatio(g), lapgen::kGearRatios[static_cast<std::size_t>(g - 1)],
                    1e-6);
    }
    EXPECT_EQ(setup.GetGearRatio(-1), -setup.GetGearRatio(1));
    EXPECT_EQ(setup.GetGearRatio(7), 0.0);
    EXPECT_EQ(setup.GetGearCount(), 6);
    EXPECT_EQ(setup.GetFrontWing(), 0.0);
    EXPECT_EQ(setup.GetBrakeBalance(), 0.7);
    EXPECT_FALSE(setup.Serialize(*std::make_unique<File>(), false));
    EXPECT_FALSE(setup.IsFromFile());
    EXPECT_TRUE(setup.IsValid(false));
    EXPECT_EQ(DataOf(setup).size(), 237u);
}

TEST(LFSSetup, HostileHeadersGiveNoRatiosAndNoHalfFilledRecord) {
    lapgen::LFSSetupHeader fields;
    fields.finalDrive = 0.0f;
    fields.gearCount = 200;
    fields.gearReduction = {2.0f, std::numeric_limits<float>::infinity(), 0.0f, 1.0f, 1.0f, 1.0f};
    Bytes header = lapgen::BuildLFSSetupHeader(fields);
    LFSCarSetup setup;
    ASSERT_TRUE(setup.Fill(ByteSpan(header.data(), header.size())));
    EXPECT_EQ(setup.GetDiffRatio(), 0.0);
    EXPECT_EQ(setup.GetGearRatio(1), 0.5);
    EXPECT_EQ(setup.GetGearRatio(2), 0.0);
    EXPECT_EQ(setup.GetGearRatio(3), 0.0);
    EXPECT_EQ(setup.GetGearCount(), 6);  // only six ratios exist

    const Bytes before = DataOf(setup);
    EXPECT_FALSE(setup.Fill(ByteSpan(header.data(), 1023)));
    EXPECT_FALSE(setup.Fill(ByteSpan(header.data(), header.size()), {0, 1, 2, 4}));
    EXPECT_EQ(DataOf(setup), before);
    EXPECT_EQ(setup.GetSpringRate(-1), 0.0);
    EXPECT_EQ(setup.GetMaxSuspTravel(4), 0.0);
}

// ---- Generic -----------------------------------------------------------------------------

TEST(GenSetup, FixedValuesAndNoFiles) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    GenCarSetup setup;
    EXPECT_FALSE(setup.IsValid(true));
    EXPECT_TRUE(sink.Messages().empty());
    EXPECT_FALSE(setup.IsValid(false));
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{"Setups not supported for generic perf type"});
    EXPECT_FALSE(Read(setup, lapgen::WriteF1RSSetup({}), "a.s1"));
    EXPECT_FALSE(setup.IsFromFile());
    EXPECT_EQ(setup.GetFrontWing(), 15);
    EXPECT_EQ(setup.GetGearRatio(1), 1.0);
    EXPECT_EQ(setup.GetGearRatio(2), 0.0);
    EXPECT_EQ(setup.GetDiffRatio(), 0.25);
    EXPECT_EQ(setup.GetBrakeBalance(), 0.625);
    EXPECT_EQ(setup.GetStaticRideHeight(2), 0.065);
    EXPECT_NEAR(setup.GetSpringRate(0), 1000 * kLbIn, 1e-6);
    EXPECT_EQ(setup.GetMaxSuspTravel(1), 0.1);
    EXPECT_EQ(setup.GetGearCount(), 1);
    int size = -1;
    EXPECT_EQ(setup.GetData(&size), nullptr);
    EXPECT_EQ(size, 0);
}
