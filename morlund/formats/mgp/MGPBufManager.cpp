#include "morlund/formats/mgp/MGPBufManager.h"

#include "morlund/formats/GameStrings.h"
#include "morlund/formats/f1rs/F1RSBufManager.h"
#include "morlund/formats/mgp/MGPPerf.h"
#include "morlund/platform/File.h"
#include "morlund/platform/MessageSink.h"
#include "morlund/platform/Text.h"
#include "morlund/res/StringTable.h"

namespace morlund {

std::string MGPBufManager::GetTrackString(int track) const {
    return GetGameTrackName(TrackTable::MGPRS2, track < 0 ? m_track : track);
}

double MGPBufManager::GetTrackLen() const { return LongestBufferPlusOne(m_buffers); }

int MGPBufManager::GetPerfFilter(std::string& filter, int& count, int track) const {
    // A lap is opened by its first part, whatever the track.
    const int first = track >= 0 ? track : 0;
    const int last = track >= 0 ? track : GetTrackCount() - 1;
    for (int i = first; i <= last; ++i) {
        filter += Format("MGPRS2 %s (save1*.tlm)|save1*.tlm|", GetTrackString(i).c_str());
        ++count;
    }
    return 1;
}

int MGPBufManager::GetSetupFilter(std::string& filter, int& count) const {
    filter = "All MGPRS2 Setup Files (*.s*)|*.s*|";
    count = 1;
    for (int i = 0; i < GetTrackCount(); ++i) {
        const std::string ext = Format(".s%d", i + 1);
        filter +=
            Format("MGPRS2 %s (*%s)|*%s|", GetTrackString(i).c_str(), ext.c_str(), ext.c_str());
        ++count;
    }
    return m_track + 2;
}

bmErr_t MGPBufManager::DoReadPerf(int part, File& file) {
    const std::uint64_t length = file.GetLength();
    if (length == 0 || length > SIZE_MAX) return bmReadError;
    std::vector<std::uint8_t> image;
    if (!file.ReadAll(image) || image.size() != length || image.size() < 5) return bmReadError;
    const int track = image[4] - 1;
    if (track < 0 || track >= GetTrackCount()) {
        ShowMessage(IDS_NOT_MGP_FILE);
        return bmReported;
    }
    const int fixed = part == 0 ? m_track : m_pendingTrack;
    if (fixed != -1 && track != fixed) return bmWrongTrack;
    if (part == 0) m_pendingTrack = track;
    m_pending[static_cast<std::size_t>(part)] = std::move(image);
    return bmOK;
}

bmErr_t MGPBufManager::ReadPerf(File& file) {
    const std::string name = file.GetFileName();
    if (name.size() < 10 || !EqualsNoCase(std::string_view(name).substr(0, 5), "save1") ||
        !EndsWithNoCase(name, ".tlm")) {
        ShowMessage(IDS_NOT_MGP_FILE);
        return bmReported;
    }
    for (auto& part : m_pending)
        part.clear();
    bmErr_t result = DoReadPerf(0, file);
    const std::string path = file.GetFilePath();
    const std::size_t digit = path.size() - name.size() + 4;
    for (int part = 1; part < 3 && result == bmOK; ++part) {
        std::string partPath = path;
        partPath[digit] = static_cast<char>('1' + part);
        File partFile;
        if (!partFile.Open(FindFileNoCase(partPath), File::Mode::Read)) {
            result = bmPartsMissing;
            break;
        }
        result = DoReadPerf(part, partFile);
    }
    if (result != bmOK) {
        for (auto& part : m_pending)
            part.clear();
    }
    return result;
}

std::unique_ptr<PerfCore> MGPBufManager::CreatePerf() const { return std::make_unique<MGPPerf>(); }

std::unique_ptr<PerfCore> MGPBufManager::CreateBuffer(const std::string& fileName) {
    std::vector<std::uint8_t> image;
    const std::array<std::size_t, 3> sizes = {m_pending[0].size(), m_pending[1].size(),
                                              m_pending[2].size()};
    image.reserve(sizes[0] + sizes[1] + sizes[2]);
    for (auto& part : m_pending) {
        image.insert(image.end(), part.begin(), part.end());
        part.clear();
        part.shrink_to_fit();
    }
    std::unique_ptr<PerfCore> buffer = CreatePerf();
    if (auto* mgp = dynamic_cast<MGPPerf*>(buffer.get())) {
        mgp->SetPartSizes(sizes);
        mgp->SetName(fileName);
    }
    if (!buffer->Init(image.data(), image.size())) return nullptr;
    m_track = m_pendingTrack;
    return buffer;
}

}  // namespace morlund
