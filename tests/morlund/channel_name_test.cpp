#include <gtest/gtest.h>

#include <string>

#include "morlund/items/ChannelName.h"
#include "morlund/items/CustomDataItem.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Wheel.h"

using namespace morlund;

namespace {

// The name tables as start-up builds them, from what is registered now; kept
// local so that items of this test never linger in the program's tables.
FormulaNames CatalogueNames() { return FormulaNames::FromCatalogue(); }

}  // namespace

TEST(ChannelName, ResolvesWholeNamesThenItemDotWheel) {
    // A formula item may repeat a standard short name or carry a dot itself.
    CustomDataItem speedTwin("Twin", "speed", DataItem::DT_WHEEL, DataItem::Q_FACTOR, 0, 1, 0, "1");
    CustomDataItem dotted("Dotted", "my.lf", DataItem::DT_CAR, DataItem::Q_FACTOR, 0, 1, 0, "1");
    CustomDataItem plain("Mine", "my", DataItem::DT_WHEEL, DataItem::Q_FACTOR, 0, 1, 0, "1");
    const FormulaNames names = CatalogueNames();

    using S = ChannelName::Status;
    struct Case {
        const char* name;
        S status;
        const DataItem* item;
        const Wheel* wheel;
        const char* wheelName;
    };
    const Case cases[] = {
        {"speed", S::kFound, DataItem::SPEED, nullptr, ""},  // the standard item wins
        {"rh", S::kFound, DataItem::RIDEHEIGHT, nullptr, ""},
        {"rh.lf", S::kFound, DataItem::RIDEHEIGHT, Wheel::LEFT_FRONT, "lf"},
        {"rh.sumfr", S::kFound, DataItem::RIDEHEIGHT, Wheel::SUM_FRONT, "sumfr"},
        {"setup.fw", S::kFound, DataItem::SETUP_FW, nullptr, ""},
        {"setup.rh.lf", S::kFound, DataItem::SETUP_RIDEHEIGHT, Wheel::LEFT_FRONT, "lf"},
        {"my.lf", S::kFound, &dotted, nullptr, ""},  // whole before split
        {"my.rr", S::kFound, &plain, Wheel::RIGHT_REAR, "rr"},
        {"speed.lf", S::kNotPerWheel, DataItem::SPEED, Wheel::LEFT_FRONT, "lf"},
        {"rh.xx", S::kUnknownWheel, DataItem::RIDEHEIGHT, nullptr, "xx"},
        {"rh.LF", S::kUnknownWheel, DataItem::RIDEHEIGHT, nullptr, "LF"},  // exact case
        {"rh.", S::kUnknownWheel, DataItem::RIDEHEIGHT, nullptr, ""},
        {"SPEED", S::kNoItem, nullptr, nullptr, ""},
        {" speed", S::kNoItem, nullptr, nullptr, ""},
        {"nosuch.lf", S::kNoItem, nullptr, nullptr, ""},
        {".lf", S::kNoItem, nullptr, nullptr, ""},
        {"", S::kNoItem, nullptr, nullptr, ""},
    };
    for (const Case& c : cases) {
        const ChannelName found = ResolveChannelName(c.name, names);
        EXPECT_EQ(found.status, c.status) << c.name;
        EXPECT_EQ(found.item, c.item) << c.name;
        EXPECT_EQ(found.wheel, c.wheel) << c.name;
        EXPECT_EQ(found.wheelName, c.wheelName) << c.name;
    }

    // Every standard item is reached by its own short name.
    for (auto it = DataItem::NewIterator(); it->HasNext();) {
        const DataItem* item = it->GetNext();
        if (!item->IsStandard()) continue;
        EXPECT_EQ(ResolveChannelName(item->GetShortName(), names).item, item)
            << item->GetShortName();
    }
}
