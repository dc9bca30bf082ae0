#include "pellith/export/FixedFormat.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace pellith {

namespace {

constexpr int kWidth = 12;

// "00" "01" ... "99": two digits per step when writing integers.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Moves the text [begin, end) right so that it ends at column 12, blanks before it.
char* PadLeft(char* out, char* end) {
    const auto length = static_cast<int>(end - out);
    if (length >= kWidth) return end;
    const int pad = kWidth - length;
    std::memmove(out + pad, out, static_cast<std::size_t>(length));
    std::memset(out, ' ', static_cast<std::size_t>(pad));
    return out + kWidth;
}

char* WriteSpecial(double v, char* out) {
    const bool negative = std::signbit(v);
    const char* text = v != v ? (negative ? "-nan" : "nan") : (negative ? "-inf" : "inf");
    const std::size_t length = std::strlen(text);
    std::memcpy(out, text, length);
    return PadLeft(out, out + length);
}

char* WriteWithToChars(double v, char* out) {
    const std::to_chars_result r =
        std::to_chars(out, out + kMaxFixedCell, v, std::chars_format::fixed, 6);
    return PadLeft(out, r.ptr);
}

#if defined(__SIZEOF_INT128__)
__extension__ using U128 = unsigned __int128;

// |v| = mantissa * 2^exponent < 2^44: v * 10^6 rounded to an integer fits 64
// bits, and the rounding is done exactly on the binary value, as printf does.
char* WriteSmall(bool negative, std::uint64_t mantissa, int exponent, char* out) {
    // Below 2^44 the exponent is always negative (the mantissa has 53 bits).
    const int shift = -exponent;
    const U128 scaled = static_cast<U128>(mantissa) * 1000000u;  // < 2^73
    std::uint64_t n = 0;                                         // |v| * 10^6, rounded half to even
    if (shift <= 100) {  // beyond, |v| is below half a millionth and cannot tie
        U128 q = scaled >> shift;
        const U128 rest = scaled - (q << shift);
        const U128 half = static_cast<U128>(1) << (shift - 1);
        if (rest > half || (rest == half && (q & 1u) != 0)) ++q;
        n = static_cast<std::uint64_t>(q);
    }
    // Written backwards into a scratch area: six decimals, point, integer digits, sign.
    char scratch[32];
    char* p = scratch + sizeof scratch;
    std::uint64_t integer = n / 1000000u;
    auto fraction = static_cast<std::uint32_t>(n % 1000000u);
    for (int k = 0; k < 3; ++k) {
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * (fraction % 100u), 2);
        fraction /= 100u;
    }
    *--p = '.';
    while (integer >= 100u) {
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * (integer % 100u), 2);
        integer /= 100u;
    }
    if (integer >= 10u) {
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * integer, 2);
    } else {
        *--p = static_cast<char>('0' + integer);
    }
    if (negative) *--p = '-';
    const auto length = static_cast<int>(scratch + sizeof scratch - p);
    const int pad = length < kWidth ? kWidth - length : 0;
    std::memset(out, ' ', static_cast<std::size_t>(pad));
    std::memcpy(out + pad, p, static_cast<std::size_t>(length));
    return out + pad + length;
}
#endif

}  // namespace

char* FormatFixed12(double v, char* out) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    const auto biased = static_cast<int>((bits >> 52) & 0x7ffu);
    if (biased == 0x7ff) return WriteSpecial(v, out);
#if defined(__SIZEOF_INT128__)
    if (biased < 1023 + 44) {
        const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
        const bool negative = (bits >> 63) != 0;
        if (biased == 0) return WriteSmall(negative, fraction, -1074, out);
        return WriteSmall(negative, fraction | (std::uint64_t{1} << 52), biased - 1075, out);
    }
#endif
    return WriteWithToChars(v, out);
}

}  // namespace pellith
