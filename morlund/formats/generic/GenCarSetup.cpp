#include "morlund/formats/generic/GenCarSetup.h"

#include <typeinfo>

#include "morlund/platform/MessageSink.h"

namespace morlund {

void GenCarSetup::Assign(const CarSetup& other) {
    if (&other != this && typeid(other) == typeid(*this)) {
        m_track = static_cast<const GenCarSetup&>(other).m_track;
    }
}

int GenCarSetup::IsValid(int quiet) const {
    if (quiet == 0) ShowMessage("Setups not supported for generic perf type");
    return 0;
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
