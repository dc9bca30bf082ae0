#pragma once

#include <cstddef>
#include <cstdint>

#include "morlund/formats/gp2/GP2CarSetup.h"

namespace morlund {

// The car setup of GP3 and GP3-2000: the GP2 layout extended to 56 bytes, in a
// 92-byte file with the GP envelope. Bytes 2..7 hold the gear ratios in their
// low seven bits and a seventh gear in their top bits; bytes 45 and 47 hold the
// differential settings as two nibbles each.
class GP3CarSetup : public GP2CarSetup {
public:
    static constexpr std::size_t kRecordSize = 56;
    // The highest value of the seventh gear's six bits.
    static constexpr int kSeventhGearMax = 63;

    GP3CarSetup();

    double GetGearRatio(int gear) const override;
    void SetGearRatio(int gear, double ratio) override;
    int GetDiffSetting(int which, int part) const override;
    void SetDiffSetting(int which, int part, int value) override;

    // The seventh gear's six-bit value: 0 means no ratio, else the ratio is (value + 17) / 64.
    int GetSeventhGearValue() const;

protected:
    explicit GP3CarSetup(std::uint32_t fileId);

private:
    void SetSeventhGearValue(int value);
};

}  // namespace morlund
