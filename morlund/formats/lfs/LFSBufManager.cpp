#include "morlund/formats/lfs/LFSBufManager.h"

#include <cstring>

#include "morlund/formats/lfs/LFSPerf.h"
#include "morlund/formats/lfs/RafHeader.h"
#include "morlund/platform/File.h"
#include "morlund/platform/MessageSink.h"
#include "morlund/platform/Text.h"
#include "morlund/res/StringTable.h"

namespace morlund {

namespace {
std::string FieldText(const std::vector<std::uint8_t>& image, std::size_t offset,
                      std::size_t size) {
    const char* text = reinterpret_cast<const char*>(image.data() + offset);
    return Latin1ToUtf8(std::string_view(text, strnlen(text, size)));
}
}  // namespace

std::string LFSBufManager::GetTrackString(int) const { return m_trackName; }

int LFSBufManager::GetPerfFilter(std::string& filter, int& count, int) const {
    filter += "LFS Replay Analyser Files (*.raf)|*.raf|";
    ++count;
    return 1;
}

int LFSBufManager::GetSetupFilter(std::string& filter, int& count) const {
    filter += "All LFS Setup Files (*.set)|*.set|";
    ++count;
    return 1;
}

bmErr_t LFSBufManager::ReadPerf(File& file) {
    m_pending.clear();
    m_pending.shrink_to_fit();
    if (!EndsWithNoCase(file.GetFileName(), ".raf")) {
        ShowMessage(IDS_NOT_LFS_FILE);
        return bmReported;
    }
    const std::uint64_t length = file.GetLength();
    if (length == 0 || length > SIZE_MAX) return bmReadError;
    const std::int64_t created = file.GetCreationTime();
    std::vector<std::uint8_t> image;
    if (!file.ReadAll(image) || image.size() != length) return bmReadError;
    if (image.size() < raf::kHeaderSize || std::memcmp(image.data(), "LFSRAF", 6) != 0) {
        ShowMessage(IDS_NOT_LFS_FILE);
        return bmReported;
    }
    const std::uint8_t* h = image.data();
    if (h[raf::kVersion] != 2 || LoadU16(h + raf::kHeaderSizeField) != raf::kHeaderSize) {
        ShowMessage("The version of this file is not supported");
        return bmReported;
    }

    const std::string shortName = FieldText(image, raf::kTrack, raf::kTrackSize);
    const std::string identity = Format("%s %s", shortName.c_str(),
                                        FieldText(image, raf::kLayout, raf::kLayoutSize).c_str());
    if (m_track == -1) {
        m_track = 0;
        m_trackName = identity;
        m_trackShortName = shortName;
    } else if (!EqualsNoCase(identity, m_trackName)) {
        ShowMessage(IDS_NOT_SAME_TRACK);
        return bmReported;
    }

    const std::uint64_t blockSize = LoadU16(h + raf::kBlockSize);
    const std::uint64_t blocks = LoadU32(h + raf::kBlockCount);
    // A block must at least hold the car state; smaller ones cannot be read as samples.
    if (blockSize < LFSPerf::kCarStateSize || length < raf::kHeaderSize + blockSize * blocks) {
        ShowMessage("File is truncated");
        return bmReported;
    }
    if (blocks == 0) {
        ShowMessage("File does not contain any data blocks");
        return bmReported;
    }
    m_pending = std::move(image);
    m_pendingCreated = created;
    return bmOK;
}

std::unique_ptr<PerfCore> LFSBufManager::CreatePerf() const { return std::make_unique<LFSPerf>(); }

std::unique_ptr<PerfCore> LFSBufManager::CreateBuffer(const std::string& fileName) {
    std::vector<std::uint8_t> image = std::move(m_pending);
    m_pending = {};
    std::unique_ptr<PerfCore> buffer = CreatePerf();
    auto* lap = dynamic_cast<LFSPerf*>(buffer.get());
    if (lap == nullptr || !buffer->Init(image.data(), image.size())) return nullptr;
    lap->SetFileName(fileName);
    lap->SetCreationTime(m_pendingCreated);
    if (lap->InfoGetTrackLength() > m_trackLength) m_trackLength = lap->InfoGetTrackLength();
    // Laps of a track of unknown length end on the manager's track length: when a longer lap
    // arrives, the earlier ones are stretched to it again.
    lap->SetScaleLength(GetTrackLen());
    for (auto& earlier : m_buffers) {
        if (auto* other = dynamic_cast<LFSPerf*>(earlier.get()))
            other->SetScaleLength(GetTrackLen());
    }
    return buffer;
}

}  // namespace morlund
