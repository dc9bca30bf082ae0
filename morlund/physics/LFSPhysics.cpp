#include "morlund/physics/LFSPhysics.h"

#include <cmath>

#include "morlund/formats/lfs/RafHeader.h"

namespace morlund {

// The header gives only the unsprung total; the four wheels share it.
double LFSPhysics::GetFrontWheelMass() const {
    return (m_values.mass - m_values.massAboveSprings) / 4.0;
}

double LFSPhysics::GetRearWheelMass() const { return GetFrontWheelMass(); }

double LFSPhysics::GetWheelBase() const {
    return std::fabs(m_values.wheels[2].y - m_values.wheels[0].y);
}

double LFSPhysics::GetFrontWheelTread() const {
    return std::fabs(m_values.wheels[3].x - m_values.wheels[2].x);
}

double LFSPhysics::GetRearWheelTread() const {
    return std::fabs(m_values.wheels[1].x - m_values.wheels[0].x);
}

void LFSPhysics::InitFromRafHdr(ByteSpan header, const std::array<int, 4>& wheelMap) {
    if (!header.Has(0, raf::kHeaderSize)) return;
    for (int block : wheelMap) {
        if (block < 0 || block > 3) return;
    }
    const std::uint8_t* h = header.data();
    Values values;
    values.mass = LoadF32(h + raf::kMass);
    values.massAboveSprings = LoadF32(h + raf::kSprungMass);
    for (std::size_t w = 0; w < 4; ++w) {
        const std::uint8_t* block = h + raf::WheelBlock(wheelMap[w]);
        Wheel& wheel = values.wheels[w];
        wheel.radius = LoadF32(block + raf::kWheelRadius);
        wheel.travel = raf::WheelTravel(header, wheelMap[w]);
        wheel.x = LoadF32(block + raf::kWheelX);
        wheel.y = LoadF32(block + raf::kWheelY);
        wheel.z = LoadF32(block + raf::kWheelZ);
    }
    m_values = values;
}

double LFSPhysics::GetCOGDistanceToRear() const { return std::fabs(m_values.wheels[0].y); }

double LFSPhysics::GetTorque(double revs) const {
    return std::fabs(revs - 837.75) * 0.2122 + 100.0;
}

double LFSPhysics::GetHeightBase() const {
    const auto& w = m_values.wheels;
    return std::fabs(w[0].z + w[1].z + w[2].z + w[3].z) * 0.5;
}

}  // namespace morlund
