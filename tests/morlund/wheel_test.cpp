#include "morlund/items/Wheel.h"

#include <gtest/gtest.h>

#include "morlund/items/DataItem.h"
#include "morlund/platform/Errors.h"

using namespace morlund;

namespace {
// A per-wheel item whose value is the wheel number plus one: LR 1, RR 2, LF 3, RF 4.
class WheelNumberItem : public DataItem {
public:
    double GetMetricValue(const PerfCore*, int sample, int wheel) const override {
        ++reads;
        return wheel >= 0 && wheel <= 3 ? wheel + 1.0 + sample * 100.0 : 1e9;
    }
    mutable int reads = 0;
};
}  // namespace

TEST(Wheel, SelectorsCombineTheFourWheelValues) {
    WheelNumberItem item;
    struct Case {
        const Wheel* wheel;
        double value;
        double rangeFactor;
        int reads;
    };
    const Case cases[] = {
        {Wheel::ALL, 0.0, 1, 0},       {Wheel::LEFT_REAR, 1, 1, 1},
        {Wheel::RIGHT_REAR, 2, 1, 1},  {Wheel::LEFT_FRONT, 3, 1, 1},
        {Wheel::RIGHT_FRONT, 4, 1, 1}, {Wheel::SUM, 10, 4, 4},
        {Wheel::SUM_REAR, 3, 2, 2},    {Wheel::SUM_FRONT, 7, 2, 2},
        {Wheel::AVG, 2.5, 1, 4},       {Wheel::AVG_REAR, 1.5, 1, 2},
        {Wheel::AVG_FRONT, 3.5, 1, 2}, {Wheel::DELTA, -2, 1, 4},
        {Wheel::DELTA_LEFT, -2, 1, 2}, {Wheel::DELTA_RIGHT, -2, 1, 2},
        {Wheel::DELTA_REAR, -1, 1, 2}, {Wheel::DELTA_FRONT, -1, 1, 2},
    };
    for (const Case& c : cases) {
        item.reads = 0;
        EXPECT_DOUBLE_EQ(c.wheel->GetWheelValue(&item, nullptr, 0), c.value) << c.wheel->GetName();
        EXPECT_EQ(c.wheel->GetRangeFactor(), c.rangeFactor) << c.wheel->GetName();
        EXPECT_EQ(item.reads, c.reads) << c.wheel->GetName();  // each wheel read once
    }
    // the sample reaches the item unchanged
    EXPECT_DOUBLE_EQ(Wheel::SUM->GetWheelValue(&item, nullptr, 2), 810.0);
}

TEST(Wheel, RegistryOrdinalsIndicesAndIterator) {
    ASSERT_EQ(Wheel::GetCount(), 16);
    EXPECT_EQ(Wheel::FromIndex(-1), nullptr);
    EXPECT_EQ(Wheel::FromIndex(4), nullptr);
    EXPECT_EQ(Wheel::FromIndex(2)->GetName(), "Left Front");
    EXPECT_EQ(Wheel::Get(15), Wheel::DELTA_FRONT);
    EXPECT_THROW(Wheel::Get(16), InvalidArgument);
    EXPECT_THROW(Wheel::Get(-1), InvalidArgument);

    const char* shortNames[] = {"all", "lr",    "rr",    "lf",  "rf",    "sum",   "sumrr", "sumfr",
                                "avg", "avgrr", "avgfr", "del", "dellt", "delrt", "delrr", "delfr"};
    auto it = Wheel::NewIterator();
    int ordinal = 0;
    while (it->HasNext()) {
        const Wheel* w = it->GetNext();
        EXPECT_EQ(w->GetOrdinal(), ordinal);
        EXPECT_EQ(w->GetShortName(), shortNames[ordinal]);
        EXPECT_EQ(w->GetIndex(), ordinal <= 4 ? ordinal - 1 : -(ordinal - 3));
        ++ordinal;
    }
    EXPECT_EQ(ordinal, 16);
    EXPECT_THROW(it->GetNext(), InvalidArgument);
    EXPECT_EQ(Wheel::Get(0)->GetName(), "All Wheels");
    EXPECT_EQ(Wheel::DELTA_FRONT->GetName(), "Delta Front");
}
