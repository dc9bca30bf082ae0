#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "morlund/items/Wheel.h"
#include "morlund/items/CustomDataItem.h"
#include "morlund/items/DataItem.h"
#include "pellith/export/ColumnSpec.h"

using morlund::DataItem;
using morlund::Wheel;
using pellith::ColumnItem;
using pellith::ColumnSpecResult;

namespace {

constexpr double kLow = ColumnItem::kNoMinimum;
constexpr double kHigh = ColumnItem::kNoMaximum;

struct Expected {
    const DataItem* item;
    const Wheel* wheel;
    double minimum = kLow;
    double maximum = kHigh;
    bool exclude = false;
    bool rangeOnly = false;
};

}  // namespace

TEST(ColumnSpec, ListsOfGoodSpecsBecomeColumnsAndBadOnesSayWhy) {
    morlund::CustomDataItem::BuildFormulaNames();
    struct Case {
        const char* list;
        ColumnSpecResult::Status status;
        std::vector<Expected> columns;  // when good
        const char* message;            // when bad
    };
    using R = ColumnSpecResult;
    const Case cases[] = {
        {"speed", R::kOk, {{DataItem::SPEED, Wheel::ALL}}, ""},
        {"rh", R::kOk, {{DataItem::RIDEHEIGHT, Wheel::ALL}}, ""},  // all four wheels
        {"rh.lf[30:]", R::kOk, {{DataItem::RIDEHEIGHT, Wheel::LEFT_FRONT, 30.0}}, ""},
        {"wheelspd.sumfr[:500]",
         R::kOk,
         {{DataItem::WHEELSPEED, Wheel::SUM_FRONT, kLow, 500.0}},
         ""},
        {"?throttle[!0:0.5]", R::kOk, {{DataItem::THROTTLE, Wheel::ALL, 0.0, 0.5, true, true}}, ""},
        {"speed[-1.5e1: 2]", R::kOk, {{DataItem::SPEED, Wheel::ALL, -15.0, 2.0}}, ""},
        {"speed[:]", R::kOk, {{DataItem::SPEED, Wheel::ALL}}, ""},
        {"setup.rh.lf", R::kOk, {{DataItem::SETUP_RIDEHEIGHT, Wheel::LEFT_FRONT}}, ""},
        {"dist,?speed,rh.del",
         R::kOk,
         {{DataItem::DISTANCE, Wheel::ALL},
          {DataItem::SPEED, Wheel::ALL, kLow, kHigh, false, true},
          {DataItem::RIDEHEIGHT, Wheel::DELTA}},
         ""},

        {"", R::kEmptyColumn, {}, "the column list has an empty column"},
        {"speed,,rh", R::kEmptyColumn, {}, "the column list has an empty column"},
        {"speed,", R::kEmptyColumn, {}, "the column list has an empty column"},
        {"speed,nosuch", R::kNoChannel, {}, "column 'nosuch': no such channel"},
        {"SPEED", R::kNoChannel, {}, "column 'SPEED': no such channel"},
        {"?", R::kNoChannel, {}, "column '?': no such channel"},
        {"[1:2]", R::kNoChannel, {}, "column '[1:2]': no such channel"},
        {"speed.lf", R::kNotPerWheel, {}, "column 'speed.lf': speed is not a per-wheel channel"},
        {"rh.xx[1:2]", R::kUnknownWheel, {}, "column 'rh.xx[1:2]': unknown wheel 'xx'"},
        {"rh[1:2", R::kBadRange, {}, "column 'rh[1:2': a range is written [MIN:MAX]"},
        {"rh[1-2]", R::kBadRange, {}, "column 'rh[1-2]': a range is written [MIN:MAX]"},
        {"rh[]", R::kBadRange, {}, "column 'rh[]': a range is written [MIN:MAX]"},
        {"speed[a:]", R::kBadRange, {}, "column 'speed[a:]': a range is written [MIN:MAX]"},
        {"speed[1 :2]", R::kBadRange, {}, "column 'speed[1 :2]': a range is written [MIN:MAX]"},
        {"speed[1e999:]", R::kBadRange, {}, "column 'speed[1e999:]': a range is written [MIN:MAX]"},
    };
    for (const Case& c : cases) {
        const ColumnSpecResult result = pellith::ParseColumnList(c.list);
        EXPECT_EQ(result.status, c.status) << c.list;
        EXPECT_EQ(result.message, c.message) << c.list;
        ASSERT_EQ(result.columns.size(), c.columns.size()) << c.list;
        for (std::size_t i = 0; i < c.columns.size(); ++i) {
            const ColumnItem& got = result.columns[i];
            const Expected& want = c.columns[i];
            EXPECT_EQ(got.item, want.item) << c.list << " " << i;
            EXPECT_EQ(got.wheel, want.wheel) << c.list << " " << i;
            EXPECT_EQ(got.minimum, want.minimum) << c.list << " " << i;
            EXPECT_EQ(got.maximum, want.maximum) << c.list << " " << i;
            EXPECT_EQ(got.exclude, want.exclude) << c.list << " " << i;
            EXPECT_EQ(got.rangeOnly, want.rangeOnly) << c.list << " " << i;
        }
    }
}
