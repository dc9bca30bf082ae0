#include "morlund/formats/generic/GenBufManager.h"

#include <limits>
#include <new>
#include <utility>

#include "morlund/formats/generic/GenPerf.h"
#include "morlund/platform/File.h"
#include "morlund/platform/Text.h"

namespace morlund {

std::string GenBufManager::GetTrackString(int track) const {
    return Format("Track %d", track < 0 ? m_track : track);
}

int GenBufManager::GetPerfFilter(std::string& filter, int& count, int) const {
    filter += "Generic Perf Files (*.csv)|*.csv|";
    filter += "Text Files (*.txt)|*.txt|";
    count += 2;
    return 1;
}

bmErr_t GenBufManager::ReadPerf(File& file) {
    m_pending.reset();
    m_pendingSize = 0;
    const std::uint64_t length = file.GetLength();
    if (length > std::numeric_limits<std::size_t>::max() || !file.Seek(0)) return bmReadError;
    const auto size = static_cast<std::size_t>(length);
    std::unique_ptr<std::uint8_t[]> bytes;
    try {
        // Not zero-filled first: the read overwrites every byte of a large file.
        bytes = std::make_unique_for_overwrite<std::uint8_t[]>(size);
    } catch (const std::bad_alloc&) {
        return bmReadError;  // larger than memory: the "too long" case of the read error
    }
    AdviseLargeBuffer(bytes.get(), size);
    if (file.Read(bytes.get(), size) != size) return bmReadError;
    m_pending = std::move(bytes);
    m_pendingSize = size;
    return bmOK;
}

std::unique_ptr<PerfCore> GenBufManager::CreatePerf() const { return std::make_unique<GenPerf>(); }

std::unique_ptr<PerfCore> GenBufManager::CreateBuffer(const std::string& fileName) {
    const std::unique_ptr<std::uint8_t[]> data = std::move(m_pending);
    const std::size_t size = std::exchange(m_pendingSize, 0);
    std::unique_ptr<PerfCore> buffer = CreatePerf();
    auto* generic = dynamic_cast<GenPerf*>(buffer.get());
    if (generic == nullptr || !buffer->Init(data.get(), size)) return nullptr;
    generic->SetFileName(fileName);
    m_track = generic->GetTrackNumber();
    return buffer;
}

}  // namespace morlund
