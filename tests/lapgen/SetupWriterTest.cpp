#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "ReadBack.h"
#include "lapgen/SetupWriter.h"

namespace {

using lapgen_test::Bytes;
using lapgen_test::FloatAt;
using lapgen_test::U32At;

}  // namespace

TEST(GP3SetupWriter, EnvelopeAndBrokenVariants) {
    const auto record = lapgen::DefaultGP3SetupRecord();
    for (int g = 0; g < 6; ++g) {
        EXPECT_EQ(record[2 + static_cast<std::size_t>(g)] / 64.0,
                  lapgen::kGearRatios[static_cast<std::size_t>(g)]);
    }
    const Bytes gp3 = lapgen::WriteGP3Setup(lapgen::GPSetupGame::GP32K, 5, record);
    ASSERT_EQ(gp3.size(), 92u);
    EXPECT_EQ(U32At(gp3, 0), 0x853da1beu);
    EXPECT_EQ(gp3[4], 3);
    EXPECT_EQ(gp3[5], 5);
    EXPECT_EQ(U32At(gp3, 88), lapgen::GPChecksum(std::span(gp3).first(88)));
    EXPECT_EQ(U32At(lapgen::WriteGP3Setup(lapgen::GPSetupGame::GP4, 5, record), 0), 0xabadfeedu);

    const Bytes longer =
        lapgen::WriteGP3Setup(lapgen::GPSetupGame::GP3, 5, record, {.sizeDelta = 2});
    ASSERT_EQ(longer.size(), 94u);
    EXPECT_EQ(U32At(longer, 90), lapgen::GPChecksum(std::span(longer).first(90)));
    EXPECT_EQ(lapgen::WriteGP3Setup(lapgen::GPSetupGame::GP3, 5, record, {.sizeDelta = -3}),
              Bytes(gp3.begin(), gp3.end() - 3));
    const Bytes bad =
        lapgen::WriteGP3Setup(lapgen::GPSetupGame::GP3, 5, record, {.badChecksum = true});
    EXPECT_NE(U32At(bad, 88), U32At(gp3, 88));
}

TEST(GP3SetupWriter, SeventhGearBitsSpreadOverTheGearBytes) {
    auto record = lapgen::DefaultGP3SetupRecord();
    lapgen::SetSeventhGear(record, 0b100101);
    EXPECT_EQ(record[2] >> 7, 1);
    EXPECT_EQ(record[3] >> 7, 0);
    EXPECT_EQ(record[4] >> 7, 1);
    EXPECT_EQ(record[7] >> 7, 1);
    EXPECT_EQ(record[2] & 0x7f, 28);  // gear 1 keeps its ratio
    EXPECT_THROW(lapgen::SetSeventhGear(record, 64), std::invalid_argument);
}

TEST(ScrambledSetupWriter, BlocksSitInFileOrderUnderTheKeys) {
    lapgen::F1RSSetupValues values;
    values.springRate = {1, 2, 3, 4};  // left rear, right rear, left front, right front
    Bytes file = lapgen::WriteF1RSSetup(values);
    ASSERT_EQ(file.size(), 736u);
    // Word 0 and word 100 show the two keys over the known plain bytes.
    const Bytes plainBlock = lapgen::BuildF1RSSetupBlock(values);
    EXPECT_EQ(U32At(file, 400) ^ U32At(plainBlock, 0), 0x5e81d4c7u);
    lapgen::ScrambleSetup(file);  // its own inverse
    EXPECT_EQ(Bytes(file.begin() + 400, file.begin() + 544), plainBlock);
    EXPECT_EQ(U32At(file, 400 + 0), 4u);    // right front first
    EXPECT_EQ(U32At(file, 400 + 4), 2u);    // right rear
    EXPECT_EQ(U32At(file, 400 + 8), 3u);    // left front
    EXPECT_EQ(U32At(file, 400 + 12), 1u);   // left rear
    EXPECT_EQ(U32At(file, 400 + 72), 22u);  // gear 1: 28/64 * 50 = 21.875

    Bytes first(4, 0);
    lapgen::ScrambleSetup(first);
    EXPECT_EQ(U32At(first, 0), 0x3a3a3a3au);

    EXPECT_EQ(lapgen::WriteMGPSetup({}).size(), 764u);
    EXPECT_EQ(lapgen::WriteMGPSetup({}, {.sizeDelta = 1}).size(), 765u);
    EXPECT_EQ(lapgen::WriteF1RSSetup({}, {.sizeDelta = -1}).size(), 735u);
    EXPECT_EQ(lapgen::ScrambledSetupExtension(12), ".s12");
}

TEST(LFSSetupHeaderBuilder, PlacesWheelBlocksInTheirQuadrants) {
    lapgen::LFSSetupHeader fields;
    fields.blockOfWheel = {2, 0, 3, 1};
    fields.springRate = {10, 20, 30, 40};
    const Bytes h = lapgen::BuildLFSSetupHeader(fields);
    ASSERT_EQ(h.size(), 1024u);
    EXPECT_EQ(std::string(h.begin(), h.begin() + 6), "LFSRAF");
    EXPECT_EQ(FloatAt(h, 204), static_cast<float>(lapgen::kFinalDrive));
    EXPECT_FLOAT_EQ(1.0f / FloatAt(h, 212), static_cast<float>(lapgen::kGearRatios[0]));
    // Block 2 holds the left rear wheel: x < 0, y < 0.
    EXPECT_LT(FloatAt(h, 512 + 256), 0.0f);
    EXPECT_LT(FloatAt(h, 512 + 256 + 4), 0.0f);
    EXPECT_EQ(FloatAt(h, 512 + 256 + 32), 10.0f);
    // Block 1 holds the right front wheel.
    EXPECT_GT(FloatAt(h, 512 + 128), 0.0f);
    EXPECT_GT(FloatAt(h, 512 + 128 + 4), 0.0f);
    EXPECT_EQ(FloatAt(h, 512 + 128 + 32), 40.0f);
    fields.blockOfWheel = {0, 0, 1, 2};
    EXPECT_THROW(lapgen::BuildLFSSetupHeader(fields), std::invalid_argument);
}
