#include "morlund/formats/gp3/GP3Perf.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

#include "morlund/formats/gp2/GP2BufManager.h"
#include "morlund/formats/gp3/GP32KPerf.h"
#include "morlund/formats/gp3/GP3CarSetup.h"
#include "morlund/formats/gp3/GP4CarSetup.h"
#include "morlund/formats/gp3/GP4Perf.h"
#include "morlund/physics/GP32KPhysics.h"
#include "morlund/physics/GP3Physics.h"
#include "morlund/physics/GP4Physics.h"
#include "morlund/platform/ByteOrder.h"
#include "morlund/platform/MessageSink.h"

namespace morlund {

namespace {
constexpr double kRpm = std::numbers::pi / 30.0;
constexpr double kCoarsePosition = 524288.0 * 0.3048 / 16384.0;  // 2^19 / 16384 ft per step
}  // namespace

GP3Perf::GP3Perf() { m_sampleSize = kGP3SampleSize; }

bool GP3Perf::InitData(const std::uint8_t* data, std::size_t size) {
    if (size < kBodyHeaderSize) return false;
    const std::uint64_t n = LoadU32(data);
    // A lap without samples has nothing to show; refused as corrupt, not as a GP2 lap.
    if (n == 0 || n > static_cast<std::uint64_t>(INT_MAX)) return false;
    if (RefusesGP2Bodies() && (LoadU32(data + size - 4) == kExtensionSignature ||
                               size == kBodyHeaderSize + kSampleSize * n)) {
        ShowMessage(
            "Perf file seems to be a GP2 perf file. If that is the case and you want to load it, "
            "set the primary game to GP2 in the options dialog and try again",
            MessageIcon::Error);
        return false;
    }
    // Checks the length in 64 bits and copies the samples; bytes after them are ignored.
    if (!ParseSamples(data, size)) return false;
    Enable(true);
    return true;
}

std::string GP3Perf::InfoGetInfo() const {
    const auto* manager = dynamic_cast<const GP2BufManager*>(GetBufManager());
    const std::string game = manager != nullptr ? manager->GetGameString() : DefaultGameString();
    return game + " Perf File";
}

std::string GP3Perf::InfoGetName() const {
    return m_bufferName.empty() ? GP2Perf::InfoGetName() : m_bufferName;
}

double GP3Perf::GetRevs(int i) const {
    const unsigned raw = LoadU16(Sample(i) + 6);
    return raw <= kRevsOffset ? 0.0 : (raw - kRevsOffset) * kRpm;
}

double GP3Perf::GetLateralAcc(int i) const { return static_cast<std::int8_t>(Sample(i)[23]); }

double GP3Perf::GetLongAccDiff(int i) const {
    return static_cast<std::int8_t>(Sample(i)[24]) - GetLongitudalAcc(i);
}

double GP3Perf::GetCoarsePosX(int i) const { return (Sample(i)[25] - 128) * kCoarsePosition; }
double GP3Perf::GetCoarsePosY(int i) const { return (Sample(i)[26] - 128) * kCoarsePosition; }

Vect GP3Perf::GetStartPos() const {
    if (m_sampleCount <= 0) return {};
    return {GetCoarsePosX(0), GetCoarsePosY(0)};
}

double GP3Perf::GetStartAngle() const {
    if (m_sampleCount <= 0) return PerfCore::GetStartAngle();
    const int q = std::min(m_sampleCount - 1, 3);
    return std::atan2(GetCoarsePosY(q) - GetCoarsePosY(0), GetCoarsePosX(q) - GetCoarsePosX(0));
}

std::unique_ptr<Physics> GP3Perf::CreatePhysics() const { return std::make_unique<GP3Physics>(); }
std::unique_ptr<CarSetup> GP3Perf::CreateSetup() const { return std::make_unique<GP3CarSetup>(); }

std::unique_ptr<Physics> GP32KPerf::CreatePhysics() const {
    return std::make_unique<GP32KPhysics>();
}

std::unique_ptr<Physics> GP4Perf::CreatePhysics() const { return std::make_unique<GP4Physics>(); }
std::unique_ptr<CarSetup> GP4Perf::CreateSetup() const { return std::make_unique<GP4CarSetup>(); }

}  // namespace morlund
