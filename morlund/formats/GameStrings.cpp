#include "morlund/formats/GameStrings.h"

#include <array>
#include <span>

#include "morlund/platform/Text.h"

namespace morlund {

namespace {
constexpr std::array<const char*, 16> kGP2Tracks = {
    "Interlagos",  "Aida",        "Imola",      "Monte Carlo", "Barcelona",         "Montreal",
    "Magny-Cours", "Silverstone", "Hockenheim", "Hungaroring", "Spa-Francorchamps", "Monza",
    "Estoril",     "Jerez",       "Suzuka",     "Adelaide"};
constexpr std::array<const char*, 16> kGP3Tracks = {
    "Melbourne",         "Interlagos",  "Buenos Aires",       "Imola",
    "Barcelona",         "Monte Carlo", "Montreal",           "Magny-Cours",
    "Silverstone",       "A1-Ring",     "Hockenheim",         "Hungaroring",
    "Spa-Francorchamps", "Monza",       "N\xC3\xBCrburgring", "Suzuka"};
constexpr std::array<const char*, 17> kGP32KTracks = {
    "Albert Park",       "Interlagos", "Imola",        "Silverstone", "Barcelona",  "Nurburgring",
    "Monte-Carlo",       "Montreal",   "Magny-Cours",  "A1 Ring",     "Hockenheim", "Hungaroring",
    "Spa Francorchamps", "Monza",      "Indianapolis", "Suzuka",      "Sepang"};
constexpr std::array<const char*, 17> kGP4Tracks = {"Melbourne",    "Sepang",
                                                    "Interlagos",   "Imola",
                                                    "Barcelona",    "A1-Ring",
                                                    "Monte-Carlo",  "Montreal",
                                                    "Nuerburgring", "Magny-Cours",
                                                    "Silverstone",  "Hockenheim",
                                                    "Hungaroring",  "Spa Francorchamps",
                                                    "Monza",        "Indianapolis",
                                                    "Suzuka"};
constexpr std::array<const char*, 16> kF1RSTracks = {
    "Melbourne", "Interlagos", "Buenos Aires", "Nuerburgring", "Imola",      "Monte-Carlo",
    "Barcelona", "Montreal",   "Magny-Cours",  "Silverstone",  "Hockenheim", "Hungaroring",
    "Spa",       "Monza",      "Estoril",      "Suzuka"};
constexpr std::array<const char*, 17> kMGPTracks = {
    "Australia", "Brazil",  "Argentina",     "San Marino", "Monaco",  "Spain",
    "Canada",    "France",  "Great Britain", "Germany",    "Hungary", "Belgium",
    "Italy",     "Austria", "Luxembourg",    "Japan",      "Europe"};

std::span<const char* const> Table(TrackTable table) {
    switch (table) {
        case TrackTable::GP2:
            return kGP2Tracks;
        case TrackTable::GP3:
            return kGP3Tracks;
        case TrackTable::GP32K:
            return kGP32KTracks;
        case TrackTable::GP4:
            return kGP4Tracks;
        case TrackTable::F1RS:
            return kF1RSTracks;
        case TrackTable::MGPRS2:
            return kMGPTracks;
    }
    return {};
}
}  // namespace

std::string GetGameTrackName(TrackTable table, int track) {
    const auto names = Table(table);
    if (track < 0 || static_cast<std::size_t>(track) >= names.size()) return "???";
    return names[static_cast<std::size_t>(track)];
}

int GetGameTrackCount(TrackTable table) { return static_cast<int>(Table(table).size()); }

std::string FormatLapTime(std::uint32_t t) {
    if (t > 0x0fffffffu) return "-:--.---";
    return Format("%u:%02u.%03u", static_cast<unsigned>(t / 60000),
                  static_cast<unsigned>((t % 60000) / 1000), static_cast<unsigned>(t % 1000));
}

bool SplitMilliseconds(std::uint32_t t, unsigned* hours, unsigned* minutes, unsigned* seconds,
                       unsigned* millis) {
    if (t > 0x0fffffffu) return false;
    std::uint32_t rest = t;
    if (hours != nullptr) {
        *hours = rest / 3600000u;
        rest %= 3600000u;
    }
    if (minutes != nullptr) {
        *minutes = rest / 60000u;
        rest %= 60000u;
    }
    if (seconds != nullptr) {
        *seconds = rest / 1000u;
        rest %= 1000u;
    }
    if (millis != nullptr) *millis = rest;
    return true;
}

}  // namespace morlund
