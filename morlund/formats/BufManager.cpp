#include "morlund/formats/BufManager.h"

#include <new>

#include "morlund/core/PerfCore.h"
#include "morlund/platform/Errors.h"
#include "morlund/platform/File.h"
#include "morlund/platform/MessageSink.h"
#include "morlund/res/StringTable.h"
#include "morlund/setup/CarSetup.h"

namespace morlund {

namespace {
constexpr std::uint32_t kBufColors[12] = {
    0xffff00, 0x0000ff, 0x00ff00, 0x00ffff, 0xff0000, 0xff00ff,
    0x808080, 0xffffff, 0xf0fbff, 0x4040ff, 0x40ff40, 0xff4040,
};
constexpr std::uint32_t kWheelColors[4] = {0x0000ff, 0xff0000, 0x00ff00, 0x00ffff};
constexpr const char* kWheelNames[4] = {"Left Rear", "Right Rear", "Left Front", "Right Front"};

void CheckIndex(int index, int count, const char* what) {
    if (index < 0 || index >= count) {
        throw InvalidArgument(std::string(what) + ": buffer index " + std::to_string(index) +
                              " out of range");
    }
}
}  // namespace

BufManager::~BufManager() {
    // First to last, as they were loaded.
    for (auto& buffer : m_buffers)
        buffer.reset();
}

bool BufManager::AddBuffer(File& file) {
    const bmErr_t result = ReadPerf(file);
    switch (result) {
        case bmOK:
            break;
        case bmReadError:
            ShowMessage(IDS_READ_ERROR);
            return false;
        case bmReported:
            return false;
        case bmWrongTrack:
            ShowMessage(IDS_NOT_SAME_TRACK);
            return false;
        case bmPartsMissing:
            ShowMessage(IDS_PARTS_MISSING);
            return false;
    }

    std::unique_ptr<PerfCore> buffer = CreateBuffer(file.GetFileName());
    if (!buffer) {
        ShowMessage(IDS_CORRUPT_DATA);
        return false;
    }
    PerfCore* added = nullptr;
    try {
        m_buffers.push_back(std::move(buffer));
        added = m_buffers.back().get();
    } catch (const std::bad_alloc&) {
        return false;
    }
    added->SetBufManager(this, GetTrack());
    added->InitExtended(file);
    if (m_buffers.size() > 1 && !added->IsSetupRead()) added->CopySetup(*m_buffers.front());
    return true;
}

PerfCore* BufManager::GetBuffer(int index) const {
    CheckIndex(index, GetBufCount(), "GetBuffer");
    return m_buffers[static_cast<std::size_t>(index)].get();
}

bool BufManager::IsBufferEnabled(int index) const {
    return HasBuffer(index) ? m_buffers[static_cast<std::size_t>(index)]->IsEnabled() : false;
}

void BufManager::EnableBuffer(int index, bool enable) {
    CheckIndex(index, GetBufCount(), "EnableBuffer");
    m_buffers[static_cast<std::size_t>(index)]->Enable(enable);
}

void BufManager::RemoveBuffer(int index) {
    CheckIndex(index, GetBufCount(), "RemoveBuffer");
    m_buffers.erase(m_buffers.begin() + index);
}

CarSetup* BufManager::GetSetup(int index) const {
    return HasBuffer(index) ? m_buffers[static_cast<std::size_t>(index)]->GetSetup() : nullptr;
}

std::uint32_t BufManager::GetBufColor(int index) {
    if (index < 0) throw InvalidArgument("negative buffer colour index");
    return kBufColors[index % 12];
}

std::uint32_t BufManager::GetWheelColor(int wheel) {
    if (wheel < 0 || wheel > 3) throw InvalidArgument("wheel number out of range");
    return kWheelColors[wheel];
}

std::string BufManager::GetWheelString(int wheel) {
    if (wheel < 0 || wheel > 3) throw InvalidArgument("wheel number out of range");
    return kWheelNames[wheel];
}

std::uint32_t BufManager::GetTrackChecksum() const { return 0; }

int BufManager::GetSetupFilter(std::string& filter, int& count) const {
    filter.clear();
    count = 0;
    return 1;
}

int BufManager::GetSetupVersion() const { return 1; }

double BufManager::GetTrackLen() const {
    return m_buffers.empty() ? 0.0 : m_buffers.front()->InfoGetTrackLength();
}

}  // namespace morlund
