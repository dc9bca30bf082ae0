#include <gtest/gtest.h>

#include <array>
#include <string>

#include "pellith/setup/SetupEdit.h"

namespace se = pellith::setupedit;

TEST(SetupEdit, ControlTextsAndRecordValues) {
    // Brake byte b: front share 50 + b / 8, slider at -8 times the share.
    struct Brake {
        int byte, position;
        const char* front;
    };
    for (const Brake& b : {Brake{80, -480, "60.000%"}, Brake{0, -400, "50.000%"},
                           Brake{200, -600, "75.000%"}, Brake{3, -403, "50.375%"}}) {
        EXPECT_EQ(se::BrakePosition(static_cast<std::uint8_t>(b.byte)), b.position) << b.byte;
        EXPECT_EQ(se::BrakeByte(b.position), b.byte) << b.byte;
        EXPECT_EQ(se::ShareText(se::BrakeFrontShare(b.position)), b.front) << b.byte;
    }
    EXPECT_EQ(se::ShareText(100.0 - se::BrakeFrontShare(-480)), "40.000%");

    EXPECT_EQ(se::GearPosition(0.5), 32);
    EXPECT_EQ(se::GearPosition(33.49 / 64), 33);
    EXPECT_EQ(se::GearPosition(0.0), 0);
    struct Gear {
        int gear, position;
        const char* text;
    };
    for (const Gear& g : {Gear{1, 32, "32 : 64"}, Gear{3, 9, " 9 : 64"}, Gear{2, 0, "off"},
                          Gear{7, 17, "off"}, Gear{7, 18, "18 : 64"}, Gear{6, 17, "17 : 64"}})
        EXPECT_EQ(se::GearText(g.gear, g.position), g.text) << g.gear << " " << g.position;

    using se::WheelSetting;
    EXPECT_EQ(se::WheelText(WheelSetting::RideHeight, 101), "50.5");
    EXPECT_EQ(se::WheelText(WheelSetting::RideHeight, 100), "50.0");
    EXPECT_EQ(se::WheelText(WheelSetting::Spring, 12), "120");
    EXPECT_EQ(se::WheelText(WheelSetting::SlowBump, 7), "7");
    EXPECT_EQ(se::WheelOffset(WheelSetting::Packers, 0), 16);
    EXPECT_EQ(se::WheelOffset(WheelSetting::FastBump, 3), 23);
    EXPECT_EQ(se::WheelOffset(WheelSetting::FastRebound, 1), 25);
    EXPECT_EQ(se::WheelOffset(WheelSetting::SlowBump, 2), 30);
    EXPECT_EQ(se::WheelOffset(WheelSetting::SlowRebound, 0), 32);
    EXPECT_EQ(se::WheelOffset(WheelSetting::Spring, 2), 38);
    EXPECT_EQ(se::WheelOffset(WheelSetting::RideHeight, 3), 43);
    EXPECT_EQ(se::WheelRange(WheelSetting::RideHeight, 2).maximum, 100);  // front
    EXPECT_EQ(se::WheelRange(WheelSetting::RideHeight, 1).maximum, 160);  // rear
    EXPECT_EQ(se::WheelRange(WheelSetting::Spring, 0).minimum, 60);

    EXPECT_EQ(se::AntiRollBarText(false, 5), "300");
    EXPECT_EQ(se::AntiRollBarText(true, 10), "12500");
    EXPECT_EQ(se::AntiRollBarText(true, 11), "?");  // a corrupt step reads no table
    EXPECT_EQ(se::TyreCompoundText(2, 8), "Tyre compound: A");
    EXPECT_EQ(se::TyreCompoundText(2, 15), "Tyre compound: D");
    EXPECT_EQ(se::TyreCompoundText(2, 16), "Tyre compound: ?");
    EXPECT_EQ(se::TyreCompoundText(2, -1), "Tyre compound: ?");
    EXPECT_EQ(se::TyreCompoundText(3, 8), "");
}

TEST(SetupEdit, PitStopsStayInOrder) {
    using Percent = std::array<int, 3>;
    se::PitStops stops{3, {40, 40, 40}};
    stops.Move(0, 100);
    EXPECT_EQ(stops.percent, (Percent{100, 100, 100}));
    stops = {3, {20, 50, 60}};
    stops.Move(1, 10);  // not above stop 1: raised to just after it
    EXPECT_EQ(stops.percent, (Percent{20, 21, 60}));
    stops.Move(1, 70);  // pushes stop 3
    EXPECT_EQ(stops.percent, (Percent{20, 70, 71}));
    stops.Move(2, 5);
    EXPECT_EQ(stops.percent, (Percent{20, 70, 71}));
    stops.Move(0, 30);  // later stops already above: unchanged
    EXPECT_EQ(stops.percent, (Percent{30, 70, 71}));

    const std::array<Percent, 4> spread = {Percent{0, 0, 0}, Percent{50, 0, 0},
                                           Percent{33, 66, 0}, Percent{25, 50, 75}};
    for (int n = 0; n < 4; ++n) {
        stops.Reset(n);
        EXPECT_EQ(stops.count, n);
        EXPECT_EQ(stops.percent, spread[static_cast<std::size_t>(n)]) << n;
    }
}
