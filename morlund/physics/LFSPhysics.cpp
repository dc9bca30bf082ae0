#include "morlund/physics/LFSPhysics.h"

#include <cmath>

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

double LFSPhysics::GetCOGDistanceToRear() const { return std::fabs(m_values.wheels[0].y); }

double LFSPhysics::GetTorque(double revs) const {
    return std::fabs(revs - 837.75) * 0.2122 + 100.0;
}

double LFSPhysics::GetHeightBase() const {
    const auto& w = m_values.wheels;
    return std::fabs(w[0].z + w[1].z + w[2].z + w[3].z) * 0.5;
}

}  // namespace morlund
