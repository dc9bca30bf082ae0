#pragma once

#include <string>

#include "morlund/formats/gp2/GP2Perf.h"

namespace morlund {

// A GP3 lap: the GP2 body header with 27-byte samples that add the game's own
// lateral and longitudinal acceleration readings and keep only coarse
// positions. Positions and curve radii are rebuilt from the lateral
// acceleration. GP3-2000 and GP4 laps are this class with another car model.
class GP3Perf : public GP2Perf {
public:
    static constexpr std::size_t kGP3SampleSize = 27;
    static constexpr unsigned kRevsOffset = 100;  // the games store rpm + 100

    GP3Perf();

    // The name shown for the lap (file name up to its first '.'); empty uses the header's.
    void SetBufferName(std::string name) { m_bufferName = std::move(name); }

    std::string InfoGetInfo() const override;
    std::string InfoGetName() const override;

    double GetRevs(int sample) const override;
    double GetPosX(int sample) const override { return PerfCore::GetPosX(sample); }
    double GetPosY(int sample) const override { return PerfCore::GetPosY(sample); }
    bool IsUseLatAccForAngleAndPos() const override { return true; }
    // The stored reading, unscaled.
    double GetLateralAcc(int sample) const override;
    // The stored longitudinal reading minus the acceleration computed from the speeds.
    double GetLongAccDiff(int sample) const override;
    Vect GetStartPos() const override;
    double GetStartAngle() const override;

    // The coarse position bytes of a sample, in metres.
    double GetCoarsePosX(int sample) const;
    double GetCoarsePosY(int sample) const;

protected:
    bool InitData(const std::uint8_t* data, std::size_t size) override;
    std::unique_ptr<Physics> CreatePhysics() const override;
    std::unique_ptr<CarSetup> CreateSetup() const override;
    // GP3 and GP3-2000 point out bodies that look like GP2 laps; GP4's id tells them apart.
    virtual bool RefusesGP2Bodies() const { return true; }
    // Game name for the info line while the buffer has no manager yet.
    virtual const char* DefaultGameString() const { return "GP3"; }

private:
    std::string m_bufferName;
};

}  // namespace morlund
