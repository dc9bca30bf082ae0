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

}  // namespace morlund
