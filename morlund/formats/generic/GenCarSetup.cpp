#include "morlund/formats/generic/GenCarSetup.h"

#include <typeinfo>

#include "morlund/platform/MessageSink.h"

namespace morlund {

void GenCarSetup::Assign(const CarSetup& other) {
    if (&other != this && typeid(other) == typeid(*this)) {
        m_track = static_cast<const GenCarSetup&>(other).m_track;
    }
}

bool GenCarSetup::IsValid(bool quiet) const {
    if (!quiet) ShowMessage("Setups not supported for generic perf type");
    return false;
}

double GenCarSetup::GetGearRatio(int gear) const {
    if (gear == 1) return 1.0;
    if (gear == -1) return -1.0;
    return 0.0;
}

const std::uint8_t* GenCarSetup::GetData(int* size) const {
    if (size != nullptr) *size = 0;
    return nullptr;
}

}  // namespace morlund
