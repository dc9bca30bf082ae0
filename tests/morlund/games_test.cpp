#include <gtest/gtest.h>

#include "morlund/formats/BufManager.h"
#include "morlund/formats/Games.h"
#include "morlund/platform/File.h"

using namespace morlund;

TEST(Games, RecognitionByNameAndFirstBytes) {
    File gp4 = File::FromMemory({0xed, 0xfe, 0xad, 0xab, 0x0d}, "/x/LAP.PAC");
    File gp = File::FromMemory({0xbe, 0xa1, 0x3d, 0x85, 0x0d}, "/x/lap.pac");
    File tiny = File::FromMemory({0xed, 0xfe}, "/x/lap.pac");
    EXPECT_EQ(RecogniseGame("LAP.PAC", gp4, GameType::GP2), GameType::GP4);
    EXPECT_EQ(gp4.GetPosition(), 0u);  // the reader starts at the beginning again
    EXPECT_EQ(RecogniseGame("lap.pac", gp, GameType::GP2), GameType::GP2);
    EXPECT_EQ(RecogniseGame("lap.pac", gp, GameType::GP32K), GameType::GP32K);
    EXPECT_EQ(RecogniseGame("lap.pac", gp, GameType::LFS), GameType::GP3);
    EXPECT_EQ(RecogniseGame("lap.pac", gp, GameType::GP4), GameType::GP3);
    EXPECT_EQ(RecogniseGame("lap.pac", tiny, GameType::GP2), GameType::GP2);
    EXPECT_EQ(RecogniseGame("SAVE1lap.TLM", gp, GameType::GP2), GameType::MGPRS2);
    EXPECT_EQ(RecogniseGame("lap.tlm", gp, GameType::GP2), GameType::F1RS);
    EXPECT_EQ(RecogniseGame("lap1.RAF", gp, GameType::GP2), GameType::LFS);
    EXPECT_EQ(RecogniseGame("lap.csv", gp, GameType::GP2), GameType::Generic);
    EXPECT_EQ(RecogniseGame("pa", gp, GameType::GP2), GameType::Generic);
}

TEST(Games, NamesAndManagers) {
    const char* names[] = {"GP2", "GP3", "GP3-2000", "GP4", "F1RS", "MGPRS2", "Generic", "LFS"};
    for (int g = 0; g < 8; ++g) {
        EXPECT_EQ(GetGameName(static_cast<GameType>(g)), names[g]);
        EXPECT_EQ(ParseGameName(names[g]), static_cast<GameType>(g));
    }
    EXPECT_EQ(ParseGameName("gp3-2000"), GameType::GP32K);
    EXPECT_EQ(ParseGameName("GP5"), std::nullopt);
    const int tracks[] = {16, 16, 17, 17, 16, 17, 1};
    for (int g = 0; g < 7; ++g) {
        const auto manager = CreateBufManager(static_cast<GameType>(g));
        ASSERT_NE(manager, nullptr) << names[g];
        EXPECT_EQ(manager->GetTrackCount(), tracks[g]) << names[g];
        EXPECT_EQ(manager->GetBufCount(), 0);
    }
}
