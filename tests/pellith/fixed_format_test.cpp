#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "pellith/export/FixedFormat.h"

namespace {

std::string Cell(double v) {
    char text[pellith::kMaxFixedCell];
    return std::string(text, pellith::FormatFixed12(v, text));
}

std::string Printf(double v) {
    char text[400];
    const int n = std::snprintf(text, sizeof text, "%12.6f", v);
    return std::string(text, static_cast<std::size_t>(n));
}

// Compares with the C library's "%12.6f" and counts mismatches (showing the first few).
int Mismatches(double v, int& shown) {
    const std::string ours = Cell(v);
    // C libraries differ on the sign of a NaN; the cells always show it.
    const std::string theirs =
        std::isnan(v) ? (std::signbit(v) ? "        -nan" : "         nan") : Printf(v);
    if (ours == theirs) return 0;
    if (shown++ < 5)
        ADD_FAILURE() << "value " << std::hexfloat << v << ": '" << ours << "' vs '" << theirs
                      << "'";
    return 1;
}

}  // namespace

TEST(FixedFormat, WidthAndDecimalsOfTheExamples) {
    EXPECT_EQ(Cell(3.5), "    3.500000");
    EXPECT_EQ(Cell(-3.5), "   -3.500000");
    EXPECT_EQ(Cell(0.0), "    0.000000");
    EXPECT_EQ(Cell(-0.0), "   -0.000000");
    EXPECT_EQ(Cell(-1e-9), "   -0.000000");      // the sign of a value that rounds to zero stays
    EXPECT_EQ(Cell(123456.0), "123456.000000");  // wider than 12: never cut
    EXPECT_EQ(Cell(0.0078125), "    0.007812");  // exact tie: to even
    EXPECT_EQ(Cell(0.0234375), "    0.023438");
    EXPECT_EQ(Cell(std::numeric_limits<double>::infinity()), "         inf");
    EXPECT_EQ(Cell(-std::numeric_limits<double>::infinity()), "        -inf");
    EXPECT_EQ(Cell(std::numeric_limits<double>::quiet_NaN()), "         nan");
}

TEST(FixedFormat, EqualsPrintfByteForByte) {
    int shown = 0;
    int bad = 0;
    std::mt19937_64 random(20240611);

    // Specials, the largest and smallest values, both sides of the fast range.
    for (double v : {0.0,
                     -0.0,
                     DBL_MAX,
                     -DBL_MAX,
                     DBL_MIN,
                     -DBL_MIN,
                     DBL_TRUE_MIN,
                     5e-7,
                     -5e-7,
                     4.9999999999999998e-7,
                     5.0000000000000004e-7,
                     0.5,
                     1.5,
                     2.5,
                     999999.9999995,
                     17592186044416.0,
                     std::nextafter(17592186044416.0, 0.0),
                     std::nextafter(17592186044416.0, 1e300),
                     1e15,
                     1e22,
                     1e300,
                     std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::quiet_NaN()}) {
        bad += Mismatches(v, shown);
        bad += Mismatches(-v, shown);
    }
    // Exact ties at the seventh decimal: odd multiples of 2^-k, k = 1..20, and their neighbours.
    for (int k = 1; k <= 20; ++k) {
        for (std::uint64_t odd = 1; odd < 4000; odd += 2) {
            const double v = std::ldexp(static_cast<double>(odd), -k);
            for (double w : {v, std::nextafter(v, 0.0), std::nextafter(v, 1e9)}) {
                bad += Mismatches(w, shown);
                bad += Mismatches(-w, shown);
            }
        }
    }
    // Values next to the rounding points of six decimals.
    std::uniform_int_distribution<std::int64_t> micro(-50000000000, 50000000000);
    for (int n = 0; n < 100000; ++n) {
        const double v = (static_cast<double>(micro(random)) + 0.5) / 1e6;
        bad += Mismatches(v, shown);
        bad += Mismatches(std::nextafter(v, 1e300), shown);
        bad += Mismatches(std::nextafter(v, -1e300), shown);
    }
    // Channel-like magnitudes, and every exponent through random bit patterns.
    std::uniform_real_distribution<double> channel(-20000.0, 20000.0);
    for (int n = 0; n < 200000; ++n)
        bad += Mismatches(channel(random), shown);
    for (int n = 0; n < 200000; ++n)
        bad += Mismatches(std::bit_cast<double>(random()), shown);
    EXPECT_EQ(bad, 0);
}
