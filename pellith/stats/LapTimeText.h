#pragma once

#include <cstdint>
#include <string>

namespace pellith {

// A lap time in seconds as whole milliseconds, truncated. Negative, huge and
// undefined times give 0xffffffff, which the lap-time text shows as unknown.
std::uint32_t LapTimeMilliseconds(double seconds);
// The lap time as "m:ss.mmm", "-:--.---" when it is unknown.
std::string LapTimeText(double seconds);

}  // namespace pellith
