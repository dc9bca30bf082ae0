#include <gtest/gtest.h>

#include "morlund/formats/gp2/GPEnvelope.h"

using namespace morlund;

namespace {
std::vector<std::uint8_t> Expand(const std::vector<std::uint8_t>& stored, bool* ok = nullptr) {
    std::vector<std::uint8_t> out = {0xEE};
    const bool result = GPExpand(ByteSpan(stored.data(), stored.size()), out);
    if (ok != nullptr) *ok = result;
    return out;
}
}  // namespace

TEST(GPChecksum, RotatesTheSecondSumLeftByThreeBits) {
    const std::uint8_t bytes[] = {1, 2, 3};
    GPChecksum sum;
    sum.Add(ByteSpan(bytes, 3));
    EXPECT_EQ(sum.s1, 6);
    EXPECT_EQ(sum.s2, 83);  // ((1 << 3) + 2) << 3 + 3

    GPChecksum wrap;
    wrap.s1 = 0xFFFF;
    wrap.s2 = 0xE001;  // the top three bits come round to the bottom
    const std::uint8_t one[] = {1};
    wrap.Add(ByteSpan(one, 1));
    EXPECT_EQ(wrap.s1, 0);
    EXPECT_EQ(wrap.s2, 0x0010);

    EXPECT_TRUE(sum.Matches(6, 83));
    EXPECT_TRUE(sum.Matches(6 + 0x8065, 83 + 0x8465));
    EXPECT_FALSE(sum.Matches(6 + 0x8065, 83));
    EXPECT_FALSE(sum.MatchesPlain(6 + 0x8065, 83 + 0x8465));
}

TEST(GPExpand, LiteralsAndOverlappingBackReferences) {
    // a group that ends after three literals: the input ends inside the group
    EXPECT_EQ(Expand({0x00, 'a', 'b', 'c'}), (std::vector<std::uint8_t>{'a', 'b', 'c'}));
    // one literal, then ten bytes from one back: a run of eleven
    EXPECT_EQ(Expand({0x02, 'x', 0x00, 0xE0}), std::vector<std::uint8_t>(11, 'x'));
    // 'a' 'b' 'c', then 3 bytes from 3 back, then 4 bytes from 2 back (overlapping)
    const std::vector<std::uint8_t> stored = {0x18, 'a', 'b', 'c', 0x02, 0x00, 0x01, 0x20};
    EXPECT_EQ(Expand(stored),
              (std::vector<std::uint8_t>{'a', 'b', 'c', 'a', 'b', 'c', 'b', 'c', 'b', 'c'}));
    EXPECT_EQ(*GPExpandedSize(ByteSpan(stored.data(), stored.size())), 10u);
    // a second group after eight literals
    std::vector<std::uint8_t> two = {0x00, 1, 2, 3, 4, 5, 6, 7, 8, 0x00, 9};
    EXPECT_EQ(Expand(two), (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    // an empty input expands to nothing; a flag byte alone too
    EXPECT_TRUE(Expand({}).empty());
    EXPECT_TRUE(Expand({0xFF}).empty());
}

TEST(GPExpand, RefusesReferencesOutsideTheOutputAndCutWords) {
    bool ok = true;
    // a reference before anything was written
    EXPECT_EQ(Expand({0x01, 0x00, 0x00}, &ok), std::vector<std::uint8_t>{0xEE});
    EXPECT_FALSE(ok);
    // two bytes written, three back
    Expand({0x04, 'a', 'b', 0x02, 0x00}, &ok);
    EXPECT_FALSE(ok);
    // the reference word cut off by the end of the input
    Expand({0x02, 'x', 0x00}, &ok);
    EXPECT_FALSE(ok);
    const std::vector<std::uint8_t> cut = {0x02, 'x', 0x00};
    EXPECT_FALSE(GPExpandedSize(ByteSpan(cut.data(), cut.size())).has_value());
    // the longest reach, 8192 back, is fine once that much was written
    std::vector<std::uint8_t> far;
    for (int g = 0; g < 1024; ++g) {
        far.push_back(0x00);
        for (int k = 0; k < 8; ++k)
            far.push_back(static_cast<std::uint8_t>(g + k));
    }
    far.insert(far.end(), {0x01, 0xFF, 0x1F});
    const auto out = Expand(far, &ok);
    ASSERT_TRUE(ok);
    ASSERT_EQ(out.size(), 8192u + 3);
    EXPECT_EQ(out[8192], out[0]);
    EXPECT_EQ(out[8194], out[2]);
}
