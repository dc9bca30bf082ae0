#include "morlund/formats/gp2/GP2BufManager.h"

#include "morlund/formats/GameStrings.h"
#include "morlund/formats/gp2/GP2Perf.h"
#include "morlund/formats/gp2/GPEnvelope.h"
#include "morlund/platform/File.h"
#include "morlund/platform/MessageSink.h"
#include "morlund/platform/Text.h"
#include "morlund/res/StringTable.h"

namespace morlund {

std::uint32_t GP2BufManager::GetFileID() const { return kGPFileIdGP2; }

std::string GP2BufManager::GetTrackString(int track) const {
    return GetGameTrackName(GetTrackTable(), track < 0 ? m_track : track);
}

std::uint32_t GP2BufManager::GetTrackChecksum() const {
    if (m_track == -1 || m_buffers.empty()) return 0;
    const auto* gp2 = dynamic_cast<const GP2Perf*>(m_buffers.front().get());
    return gp2 != nullptr ? gp2->GetTrackChecksum() : 0;
}

bool GP2BufManager::HasExtended() const {
    if (m_buffers.empty()) return false;
    const auto* gp2 = dynamic_cast<const GP2Perf*>(m_buffers.front().get());
    return gp2 != nullptr && gp2->HasExtension();
}

TrackGeometryRef GP2BufManager::GetTrackGeometry() const {
    if (!HasExtended()) return {};
    return {TrackGeometry::GP2Segments, Format("%08lx.seg", GetTrackChecksum() & 0xffffffffUL)};
}

int GP2BufManager::GetPerfFilter(std::string& filter, int& count, int track) const {
    const std::string game = GetGameString();
    const int first = track >= 0 ? track : 0;
    const int last = track >= 0 ? track : GetTrackCount() - 1;
    for (int i = first; i <= last; ++i) {
        const std::string pattern = Format("*.pa%c", 'a' + i);
        filter += Format("%s %s (%s)|%s|", game.c_str(), GetTrackString(i).c_str(), pattern.c_str(),
                         pattern.c_str());
        ++count;
    }
    return 1;
}

int GP2BufManager::GetSetupFilter(std::string& filter, int& count) const {
    const std::string game = GetGameString();
    filter += Format("All %s Setup Files (*.cs?)|*.cs?|", game.c_str());
    ++count;
    for (int i = 0; i < GetTrackCount(); ++i) {
        const std::string ext = Format(".cs%c", 'a' + i);
        filter += Format("%s %s (*%s)|*%s|", game.c_str(), GetTrackString(i).c_str(), ext.c_str(),
                         ext.c_str());
        ++count;
    }
    return m_track + 2;
}

bmErr_t GP2BufManager::ReadPerf(File& file) {
    const std::uint64_t length = file.GetLength();
    if (length <= kGPHeaderSize + kGPTrailerSize) return bmReadError;
    std::uint8_t header[kGPHeaderSize];
    if (!file.Seek(0) || file.Read(header, sizeof header) != sizeof header) return bmReadError;
    if (LoadU32(header) != GetFileID()) {
        ShowMessage(IDS_NOT_GPX_FILE);
        return bmReported;
    }
    if ((header[4] & 0x0F) != kGPTypePerf) {
        ShowMessage(IDS_NOT_PERF_FILE);
        return bmReported;
    }
    // A track the game does not have would give file letters beyond the game's
    // and a lap without a name; such a file is not one of this game's laps.
    if (header[5] >= GetTrackCount()) {
        ShowMessage(IDS_NOT_PERF_FILE);
        return bmReported;
    }
    const bool compressed = (header[4] & kGPTypeCompressed) != 0;
    if (m_track == -1) {
        m_track = header[5];
    } else if (header[5] != m_track) {
        ShowMessage(IDS_NOT_SAME_TRACK);
        return bmReported;
    }

    m_pending.clear();
    m_pending.shrink_to_fit();
    std::vector<std::uint8_t> body(
        static_cast<std::size_t>(length - kGPHeaderSize - kGPTrailerSize));
    std::uint8_t words[kGPTrailerSize];
    if (file.Read(body.data(), body.size()) != body.size() ||
        file.Read(words, sizeof words) != sizeof words) {
        return bmReadError;
    }
    GPChecksum sum;
    sum.Add(ByteSpan(header, sizeof header));
    sum.Add(ByteSpan(body.data(), body.size()));
    if (!sum.Matches(LoadU16(words), LoadU16(words + 2))) return bmReadError;

    m_pending = std::move(body);
    m_pendingCompressed = compressed;
    return bmOK;
}

std::unique_ptr<PerfCore> GP2BufManager::CreatePerf() const { return std::make_unique<GP2Perf>(); }

std::unique_ptr<PerfCore> GP2BufManager::CreateBuffer(const std::string&) {
    std::vector<std::uint8_t> body = std::move(m_pending);
    m_pending.clear();
    if (m_pendingCompressed && !GPExpand(ByteSpan(body.data(), body.size()), body)) return nullptr;
    std::unique_ptr<PerfCore> buffer = CreatePerf();
    if (!buffer->Init(body.data(), body.size())) return nullptr;
    return buffer;
}

}  // namespace morlund
