#include "morlund/formats/gp3/GP3BufManager.h"

#include "morlund/formats/gp2/GPEnvelope.h"
#include "morlund/formats/gp3/GP32KBufManager.h"
#include "morlund/formats/gp3/GP32KPerf.h"
#include "morlund/formats/gp3/GP3Perf.h"
#include "morlund/formats/gp3/GP4BufManager.h"
#include "morlund/formats/gp3/GP4Perf.h"

namespace morlund {

std::unique_ptr<PerfCore> GP3BufManager::CreatePerf() const { return std::make_unique<GP3Perf>(); }

std::unique_ptr<PerfCore> GP3BufManager::CreateBuffer(const std::string& fileName) {
    std::unique_ptr<PerfCore> buffer = GP2BufManager::CreateBuffer(fileName);
    if (auto* gp3 = dynamic_cast<GP3Perf*>(buffer.get())) {
        gp3->SetBufferName(fileName.substr(0, fileName.find('.')));
    }
    return buffer;
}

std::unique_ptr<PerfCore> GP32KBufManager::CreatePerf() const {
    return std::make_unique<GP32KPerf>();
}

std::unique_ptr<PerfCore> GP4BufManager::CreatePerf() const { return std::make_unique<GP4Perf>(); }
std::uint32_t GP4BufManager::GetFileID() const { return kGPFileIdGP4; }

}  // namespace morlund
