#include "morlund/formats/f1rs/F1RSBufManager.h"

#include <algorithm>

#include "morlund/formats/GameStrings.h"
#include "morlund/formats/f1rs/F1RSPerf.h"
#include "morlund/platform/File.h"
#include "morlund/platform/MessageSink.h"
#include "morlund/platform/Text.h"
#include "morlund/res/StringTable.h"

namespace morlund {

double LongestBufferPlusOne(const std::vector<std::unique_ptr<PerfCore>>& buffers) {
    if (buffers.empty()) return 0.0;
    double longest = buffers.front()->InfoGetTrackLength();
    for (const auto& buffer : buffers)
        longest = std::max(longest, buffer->InfoGetTrackLength());
    return longest + 1.0;
}

std::string F1RSBufManager::GetTrackString(int track) const {
    return GetGameTrackName(TrackTable::F1RS, track < 0 ? m_track : track);
}

double F1RSBufManager::GetTrackLen() const { return LongestBufferPlusOne(m_buffers); }

bool F1RSBufManager::HasGhost() const {
    if (m_buffers.empty()) return false;
    const auto* f1rs = dynamic_cast<const F1RSPerf*>(m_buffers.front().get());
    return f1rs != nullptr && f1rs->HasPositions();
}

int F1RSBufManager::GetPerfFilter(std::string& filter, int& count, int track) const {
    // The game keeps every lap as .tlm whatever the track; each entry offers them all.
    const int first = track >= 0 ? track : 0;
    const int last = track >= 0 ? track : GetTrackCount() - 1;
    for (int i = first; i <= last; ++i) {
        filter += Format("F1RS %s (*.tlm)|*.tlm|", GetTrackString(i).c_str());
        ++count;
    }
    return 1;
}

int F1RSBufManager::GetSetupFilter(std::string& filter, int& count) const {
    filter += "All F1RS Setup Files (*.s*)|*.s*|";
    ++count;
    for (int i = 0; i < GetTrackCount(); ++i) {
        const std::string ext = Format(".s%d", i + 1);
        filter += Format("F1RS %s (*%s)|*%s|", GetTrackString(i).c_str(), ext.c_str(), ext.c_str());
        ++count;
    }
    return m_track + 2;
}

bmErr_t F1RSBufManager::ReadPerf(File& file) {
    if (!EndsWithNoCase(file.GetFileName(), ".tlm")) {
        ShowMessage(IDS_NOT_F1RS_FILE);
        return bmReported;
    }
    const std::uint64_t length = file.GetLength();
    if (length == 0 || length > SIZE_MAX) return bmReadError;
    std::vector<std::uint8_t> image;
    if (!file.ReadAll(image) || image.size() != length) return bmReadError;
    const int track = image[0] - 1;
    if (track < 0 || track >= GetTrackCount()) {
        ShowMessage(IDS_NOT_F1RS_FILE);
        return bmReported;
    }
    if (m_track != -1 && track != m_track) {
        ShowMessage(IDS_NOT_SAME_TRACK);
        return bmReported;
    }
    m_pending = std::move(image);
    m_pendingTrack = track;
    return bmOK;
}

std::unique_ptr<PerfCore> F1RSBufManager::CreatePerf() const {
    return std::make_unique<F1RSPerf>();
}

std::unique_ptr<PerfCore> F1RSBufManager::CreateBuffer(const std::string& fileName) {
    std::vector<std::uint8_t> image = std::move(m_pending);
    m_pending.clear();
    std::unique_ptr<PerfCore> buffer = CreatePerf();
    if (!buffer->Init(image.data(), image.size())) return nullptr;
    if (auto* f1rs = dynamic_cast<F1RSPerf*>(buffer.get())) f1rs->SetName(fileName);
    m_track = m_pendingTrack;
    return buffer;
}

}  // namespace morlund
