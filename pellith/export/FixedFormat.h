#pragma once

#include <cstddef>

namespace pellith {

// Room a cell needs in the worst case: the largest double has 309 integer digits.
inline constexpr std::size_t kMaxFixedCell = 330;

// Writes v exactly as printf's "%12.6f" does in the C locale (right-aligned
// in 12 characters, 6 decimals, correctly rounded with ties to even, a minus
// sign for negative zero, "nan"/"inf" spelled as glibc spells them) and
// returns the end of the text. `out` needs kMaxFixedCell bytes. No locale and
// no printf: this runs once per exported cell.
char* FormatFixed12(double v, char* out);

}  // namespace pellith
