#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace morlund {
class CarSetup;
class PerfCore;
}  // namespace morlund

namespace pellith {

// What the setup editor's controls show of the GP setup record, and how a control's
// position goes back into it. Offsets are record offsets; wheels 0 left rear,
// 1 right rear, 2 left front, 3 right front.
namespace setupedit {

inline constexpr int kFrontWing = 0;
inline constexpr int kRearWing = 1;
inline constexpr int kBrakeBalance = 9;
inline constexpr int kPitStops = 10;
inline constexpr int kAdvancedMark = 11;  // 128 once the advanced settings were stored
inline constexpr int kPitStopLaps = 12;   // 12, 13, 14
inline constexpr int kRearAntiRollBar = 44;
inline constexpr int kFrontAntiRollBar = 46;
inline constexpr int kDifferential = 48;  // setup version 3

// The per-wheel settings of the advanced editor, in the order it lists them.
enum class WheelSetting { Packers, Spring, SlowRebound, FastRebound, SlowBump, FastBump, RideHeight };
inline constexpr int kWheelSettingCount = 7;

struct SliderRange {
    int minimum;
    int maximum;
    int page;
};

// Offset of a wheel's byte of a setting.
int WheelOffset(WheelSetting setting, int wheel);
// Slider range of a setting on a front (wheels 2, 3) or rear wheel.
SliderRange WheelRange(WheelSetting setting, int wheel);
// The value text of a setting's slider position: springs times ten, ride heights in
// millimetres from half millimetres ("50.5"), the others as they are.
std::string WheelText(WheelSetting setting, int position);
// A wheel's partner under symmetrical editing (left with right on the same axle).
inline int PartnerWheel(int wheel) { return wheel ^ 1; }

// Brake balance: the record holds b, the front share is 50 + b / 8 percent and the
// slider (-600..-400, front share up) stands at trunc(front * -8).
int BrakePosition(std::uint8_t byte);
double BrakeFrontShare(int position);
std::uint8_t BrakeByte(int position);
// "%6.3f%%" of a share.
std::string ShareText(double percent);

// Gear ratios in 64ths on sliders 16..80: the position of a ratio (0 for none), and
// its text: "%2d : 64", "off" for 0 and for a seventh gear below 18.
int GearPosition(double ratio);
std::string GearText(int gear, int position);

// Anti-roll bar steps as the game shows them; "?" for a step outside 0..10.
std::string AntiRollBarText(bool front, int step);
// "Tyre compound: %c" of a GP2 setup's track (setup version 2); empty for other
// versions, "?" for a track without a compound.
std::string TyreCompoundText(int setupVersion, int track);

// Pit-stop strategy: the number of stops and each stop's lap percentage; used
// stops stay strictly increasing.
struct PitStops {
    int count = 0;
    std::array<int, 3> percent{};

    // Stop (0..2) moved to a percentage: the later stops are pushed up.
    void Move(int stop, int value);
    // A new number of stops: evenly spread percentages, 0 for unused stops.
    void Reset(int stops);
};

}  // namespace setupedit

// An editing session on one lap's setup record: a backup taken when it starts, single
// bytes (or gear ratios, differential settings) written as the user moves a control,
// and the record put back byte for byte on Cancel. Nothing is written that the user
// did not touch.
class SetupEditSession {
public:
    explicit SetupEditSession(morlund::PerfCore& buffer);

    morlund::PerfCore& Buffer() const { return m_buffer; }
    morlund::CarSetup& Setup() const { return m_setup; }
    std::uint8_t Byte(int offset) const;
    int RecordSize() const { return static_cast<int>(m_backup.size()); }

    // Each writes the setup and drops the lap's cached values; false when nothing was
    // written (offset outside the record).
    bool SetByte(int offset, std::uint8_t value);
    void SetGearRatio(int gear, double ratio);
    void SetDiffSetting(int which, int part, int value);

    // The record differs from the backup.
    bool Changed() const;
    // Puts the backup back over the record.
    void Restore();

private:
    void Touched();

    morlund::PerfCore& m_buffer;
    morlund::CarSetup& m_setup;
    std::vector<std::uint8_t> m_backup;
};

}  // namespace pellith
