#include "morlund/formats/mgp/MGPCarSetup.h"

namespace morlund {

namespace {
constexpr std::size_t kGearBase = 88;
}  // namespace

MGPCarSetup::MGPCarSetup() : F1RSCarSetup(kFileSize, kBlockSize) {}

double MGPCarSetup::GetGearRatio(int gear) const {
    if (gear == -1) return -GetGearRatio(1);
    if (gear < 1 || gear > 6) return 0.0;
    return U32(kGearBase + 4 * static_cast<std::size_t>(gear - 1)) * 0.02;
}

void MGPCarSetup::SetGearRatio(int gear, double ratio) { StoreGearRatio(kGearBase, gear, ratio); }

double MGPCarSetup::GetStaticRideHeight(int wheel) const {
    if (wheel < 0 || wheel > 3) return 0.0;
    return I32(wheel >= 2 ? 136 : 140) / 65536.0;
}

}  // namespace morlund
