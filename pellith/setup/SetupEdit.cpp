#include "pellith/setup/SetupEdit.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "morlund/core/PerfCore.h"
#include "morlund/platform/Text.h"
#include "morlund/setup/CarSetup.h"

namespace pellith {

namespace setupedit {

using morlund::Format;

namespace {

struct WheelSettingInfo {
    int offset;
    SliderRange front;
    SliderRange rear;
};

constexpr WheelSettingInfo kWheelSettings[kWheelSettingCount] = {
    {16, {0, 40, 1}, {0, 80, 1}},      // packers
    {36, {80, 160, 1}, {60, 140, 1}},  // spring
    {32, {0, 24, 1}, {0, 24, 1}},      // slow rebound
    {24, {0, 8, 1}, {0, 8, 1}},        // fast rebound
    {28, {0, 24, 1}, {0, 24, 1}},      // slow bump
    {20, {0, 8, 1}, {0, 8, 1}},        // fast bump
    {40, {30, 100, 2}, {40, 160, 2}},  // ride height
};

const WheelSettingInfo& Info(WheelSetting setting) {
    return kWheelSettings[static_cast<int>(setting)];
}

constexpr int kRearBar[11] = {0, 50, 100, 150, 200, 300, 400, 550, 750, 1000, 1250};
// Compound of each GP2 track: 0 for A, 1 for B, ...
constexpr int kTrackCompound[16] = {1, 2, 2, 3, 2, 2, 1, 1, 0, 3, 1, 0, 1, 1, 1, 3};

}  // namespace

int WheelOffset(WheelSetting setting, int wheel) { return Info(setting).offset + (wheel & 3); }

SliderRange WheelRange(WheelSetting setting, int wheel) {
    return wheel >= 2 ? Info(setting).front : Info(setting).rear;
}

std::string WheelText(WheelSetting setting, int position) {
    switch (setting) {
        case WheelSetting::Spring:
            return Format("%d", position * 10);
        case WheelSetting::RideHeight:
            return Format("%d.%d", position / 2, position % 2 != 0 ? 5 : 0);
        default:
            return Format("%d", position);
    }
}

int BrakePosition(std::uint8_t byte) {
    const double front = byte * 0.125 + 50.0;
    return static_cast<int>(front * -8.0);
}

double BrakeFrontShare(int position) { return position * -0.125; }

std::uint8_t BrakeByte(int position) {
    const double b = std::trunc((BrakeFrontShare(position) - 50.0) * 8.0);
    return static_cast<std::uint8_t>(std::clamp(b, 0.0, 255.0));
}

std::string ShareText(double percent) { return Format("%6.3f%%", percent); }

int GearPosition(double ratio) {
    if (ratio == 0.0 || !std::isfinite(ratio)) return 0;
    return static_cast<int>(std::clamp(ratio * 64.0 + 0.5, 0.0, 255.0));
}

std::string GearText(int gear, int position) {
    if (position == 0 || (gear == 7 && position < 18)) return "off";
    return Format("%2d : 64", position);
}

std::string AntiRollBarText(bool front, int step) {
    if (step < 0 || step > 10) return "?";
    return Format("%d", kRearBar[step] * (front ? 10 : 1));
}

std::string TyreCompoundText(int setupVersion, int track) {
    if (setupVersion != 2) return {};
    if (track < 0 || track > 15) return "Tyre compound: ?";
    return Format("Tyre compound: %c", 'A' + kTrackCompound[track]);
}

void PitStops::Move(int stop, int value) {
    if (stop < 0 || stop > 2) return;
    auto& p = percent;
    p[static_cast<std::size_t>(stop)] = value;
    // Each later stop lies above the one before it.
    for (std::size_t s = static_cast<std::size_t>(std::max(stop, 1)); s < 3; ++s)
        if (p[s] <= p[s - 1]) p[s] = std::min(p[s - 1] + 1, 100);
}

void PitStops::Reset(int stops) {
    static constexpr std::array<std::array<int, 3>, 4> kSpread = {
        {{0, 0, 0}, {50, 0, 0}, {33, 66, 0}, {25, 50, 75}}};
    count = std::clamp(stops, 0, 3);
    percent = kSpread[static_cast<std::size_t>(count)];
}

}  // namespace setupedit

// --- SetupEditSession --------------------------------------------------------------

SetupEditSession::SetupEditSession(morlund::PerfCore& buffer)
    : m_buffer(buffer),
      m_setup([&]() -> morlund::CarSetup& {
          if (buffer.GetSetup() == nullptr) throw std::invalid_argument("lap without a setup");
          return *buffer.GetSetup();
      }()) {
    int size = 0;
    const std::uint8_t* record = m_setup.GetData(&size);
    m_backup.assign(record, record + std::max(size, 0));
}

std::uint8_t SetupEditSession::Byte(int offset) const {
    int size = 0;
    const std::uint8_t* record = m_setup.GetData(&size);
    return offset >= 0 && offset < size ? record[offset] : 0;
}

bool SetupEditSession::SetByte(int offset, std::uint8_t value) {
    if (!m_setup.SetRecordByte(offset, value)) return false;
    Touched();
    return true;
}

void SetupEditSession::SetGearRatio(int gear, double ratio) {
    m_setup.SetGearRatio(gear, ratio);
    Touched();
}

void SetupEditSession::SetDiffSetting(int which, int part, int value) {
    m_setup.SetDiffSetting(which, part, value);
    Touched();
}

bool SetupEditSession::Changed() const {
    int size = 0;
    const std::uint8_t* record = m_setup.GetData(&size);
    return size != RecordSize() ||
           (size > 0 && std::memcmp(record, m_backup.data(), m_backup.size()) != 0);
}

void SetupEditSession::Restore() {
    for (int i = 0; i < RecordSize(); ++i)
        m_setup.SetRecordByte(i, m_backup[static_cast<std::size_t>(i)]);
    Touched();
}

void SetupEditSession::Touched() { m_buffer.FlushCaches(); }

}  // namespace pellith
