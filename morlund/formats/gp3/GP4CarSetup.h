#pragma once

#include "morlund/formats/gp2/GPEnvelope.h"
#include "morlund/formats/gp3/GP3CarSetup.h"

namespace morlund {

// The car setup of GP4: the GP3 record under GP4's file id, with the seventh gear in use.
class GP4CarSetup : public GP3CarSetup {
public:
    GP4CarSetup() : GP3CarSetup(kGPFileIdGP4) {}

    int GetGearCount() const override { return 7; }
};

}  // namespace morlund
