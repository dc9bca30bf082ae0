#include <gtest/gtest.h>

#include "morlund/formats/GameStrings.h"

using namespace morlund;

TEST(GameStrings, TrackTablesOfEveryGame) {
    EXPECT_EQ(GetGameTrackName(TrackTable::GP2, 3), "Monte Carlo");
    EXPECT_EQ(GetGameTrackName(TrackTable::GP2, 15), "Adelaide");
    EXPECT_EQ(GetGameTrackName(TrackTable::GP2, 16), "???");
    EXPECT_EQ(GetGameTrackName(TrackTable::GP2, -1), "???");
    EXPECT_EQ(GetGameTrackName(TrackTable::GP3, 14), "N\xC3\xBCrburgring");
    EXPECT_EQ(GetGameTrackName(TrackTable::GP32K, 16), "Sepang");
    EXPECT_EQ(GetGameTrackName(TrackTable::GP4, 1), "Sepang");
    EXPECT_EQ(GetGameTrackName(TrackTable::GP4, 16), "Suzuka");
    EXPECT_EQ(GetGameTrackName(TrackTable::F1RS, 12), "Spa");
    EXPECT_EQ(GetGameTrackName(TrackTable::F1RS, 16), "???");
    EXPECT_EQ(GetGameTrackName(TrackTable::MGPRS2, 16), "Europe");
    EXPECT_EQ(GetGameTrackCount(TrackTable::GP2), 16);
    EXPECT_EQ(GetGameTrackCount(TrackTable::GP32K), 17);
    EXPECT_EQ(GetGameTrackCount(TrackTable::F1RS), 16);
    EXPECT_EQ(GetGameTrackCount(TrackTable::MGPRS2), 17);
}

TEST(GameStrings, LapTimesAndTheirParts) {
    EXPECT_EQ(FormatLapTime(83456), "1:23.456");
    EXPECT_EQ(FormatLapTime(3723004), "62:03.004");
    EXPECT_EQ(FormatLapTime(0), "0:00.000");
    EXPECT_EQ(FormatLapTime(268435455), "4473:55.455");
    EXPECT_EQ(FormatLapTime(268435456), "-:--.---");
    EXPECT_EQ(FormatLapTime(0xffffffffu), "-:--.---");

    unsigned h = 99, m = 99, s = 99, ms = 99;
    EXPECT_TRUE(SplitMilliseconds(3723004, &h, &m, &s, &ms));
    EXPECT_EQ((std::array{h, m, s, ms}), (std::array{1u, 2u, 3u, 4u}));
    EXPECT_TRUE(SplitMilliseconds(3723004, nullptr, &m, &s, nullptr));
    EXPECT_EQ((std::array{m, s}), (std::array{62u, 3u}));
    EXPECT_TRUE(SplitMilliseconds(3723004, nullptr, nullptr, nullptr, &ms));
    EXPECT_EQ(ms, 3723004u);
    h = 7;
    EXPECT_FALSE(SplitMilliseconds(268435456, &h, nullptr, nullptr, nullptr));
    EXPECT_EQ(h, 7u);
}
