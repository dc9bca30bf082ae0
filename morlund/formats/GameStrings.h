#pragma once

#include <cstdint>
#include <string>

namespace morlund {

// Track tables of the games that number their tracks.
enum class TrackTable { GP2, GP3, GP32K, GP4, F1RS, MGPRS2 };

// The name of a track; "???" outside the table.
std::string GetGameTrackName(TrackTable table, int track);
int GetGameTrackCount(TrackTable table);

// Milliseconds as "m:ss.mmm" (minutes not wrapped); "-:--.---" for 2^28 ms and more.
std::string FormatLapTime(std::uint32_t milliseconds);

// Splits milliseconds into hours, minutes, seconds and milliseconds. Every
// part is optional (null): a skipped larger part leaves its amount in the next
// one (no hours: minutes count past 59). False, with nothing written, for
// values of 2^28 ms and more.
bool SplitMilliseconds(std::uint32_t milliseconds, unsigned* hours, unsigned* minutes,
                       unsigned* seconds, unsigned* millis);

}  // namespace morlund
