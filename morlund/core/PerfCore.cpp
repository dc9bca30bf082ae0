#include "morlund/core/PerfCore.h"

#include <numbers>

#include "morlund/physics/Physics.h"
#include "morlund/platform/File.h"
#include "morlund/platform/MessageSink.h"
#include "morlund/platform/Text.h"
#include "morlund/res/StringTable.h"
#include "morlund/setup/CarSetup.h"

namespace morlund {

int PerfCore::perf_nr = 0;

PerfCore::PerfCore() : m_number(++perf_nr) {}

PerfCore::~PerfCore() { DeleteItemCache(); }

// --- life cycle ------------------------------------------------------------

bool PerfCore::Init(const std::uint8_t* data, std::size_t size) {
    CreateItemCache();
    return InitData(data, size);
}

void PerfCore::SetBufManager(BufManager* manager, int track) {
    m_bufManager = manager;
    m_physics = CreatePhysics();
    m_setup = CreateSetup();
    m_setup->SetTrack(track);
    m_setupOrg = CreateSetup();
    m_setupOrg->Assign(*m_setup);
}

void PerfCore::InitExtended(const File& file) {
    m_filePath = file.GetFilePath();
    TryLoadSetup();
    if (m_setup && m_setupOrg) m_setupOrg->Assign(*m_setup);
    InitDistanceBuf();
    InitExtraBuf();
}

void PerfCore::InitDistanceBuf() { m_distanceIndex.Build(*this); }

const Physics* PerfCore::GetPhysics() const {
    if (!m_physics) m_physics = CreatePhysics();
    return m_physics.get();
}

// --- setups ------------------------------------------------------------------

void PerfCore::TryLoadSetup() { m_setupRead = false; }

std::string PerfCore::GetSetupPath() const { return m_setupPath; }

std::unique_ptr<CarSetup> PerfCore::ReadSetupRecord(File& file) const {
    std::unique_ptr<CarSetup> record = CreateSetup();
    if (!record->Serialize(file, false)) {
        ShowMessage(IDS_READ_ERROR);
        return nullptr;
    }
    return record;
}

void PerfCore::AcceptSetup(const CarSetup& setup) {
    m_setup->Assign(setup);
    m_setupOrg->Assign(setup);
    FlushCaches();  // cached formula channels were computed with the old setup
}

bool PerfCore::ReadSetup(File& file) {
    // The file is read into a record of its own, so that a file the user did
    // not mean to load leaves the buffer's setup as it was.
    std::unique_ptr<CarSetup> record = ReadSetupRecord(file);
    if (!record) return false;
    if (!record->IsValid(false)) return false;
    AcceptSetup(*record);
    m_setupRead = true;
    return true;
}

void PerfCore::SaveSetup() {
    const std::string path = GetSetupPath();
    if (path.empty()) {
        ShowMessage(IDS_OPEN_ERROR);
        return;
    }
    WriteSetupFile(path);
}

void PerfCore::WriteSetupFile(const std::string& path) {
    File file;
    if (path.empty() || !file.Open(PathFromUtf8(path), File::Mode::CreateReplace)) {
        ShowMessage(IDS_OPEN_ERROR);
        return;
    }
    if (!m_setup->Serialize(file, true) || !file.Commit()) {
        // The old file is still in place; the edits stay marked as unsaved.
        ShowMessage(IDS_OPEN_ERROR);
        return;
    }
    m_setupRead = true;
    m_setupChanged = false;
    SetStatusText(Format("Car setup saved to %s", path.c_str()));
}

void PerfCore::SetupChanged() {
    m_setupChanged = true;
    FlushCaches();
}

void PerfCore::CopySetup(const PerfCore& other) {
    if (m_setup && other.m_setup) m_setup->Assign(*other.m_setup);
    if (m_setupOrg && other.m_setupOrg) m_setupOrg->Assign(*other.m_setupOrg);
    FlushCaches();  // cached formula channels were computed with the old setup
}

void PerfCore::ResetSetupOrg() {
    if (m_setup && m_setupOrg) m_setupOrg->Assign(*m_setup);
    m_setupPath.clear();
}

// --- base channel behaviour ------------------------------------------------------

double PerfCore::GetFrameTime() const {
    const int n = GetSampleCount();
    return n < 2 ? 0.0 : InfoGetLapTime() / (n - 1);
}

double PerfCore::GetMaxDistance() const {
    const int n = GetSampleCount();
    return n > 0 ? GetDistance(n - 1) : 0.0;
}

double PerfCore::GetTime(int sample) const { return GetFrameTime() * sample; }

bool PerfCore::IsUseLatAccForAngleAndPos() const { return false; }
void PerfCore::InfoGetInfoItemNames(std::vector<std::string>&) const {}
void PerfCore::InfoGetInfoItemValues(std::vector<std::string>&) const {}
std::string PerfCore::InfoGetInfo() const { return std::string(); }
std::string PerfCore::InfoGetName() const { return Format("morlund%02d", m_number); }
int PerfCore::InfoGetLapnr() const { return 0; }
std::string PerfCore::InfoGetDateString() const { return "???"; }
double PerfCore::InfoGetLapTime() const { return 600.0; }
double PerfCore::InfoGetTrackLength() const { return 10000.0; }
std::vector<double> PerfCore::GetSplitTimes() const { return {}; }

double PerfCore::GetPosX(int sample) const { return m_extra[static_cast<std::size_t>(sample)].x; }
double PerfCore::GetPosY(int sample) const { return m_extra[static_cast<std::size_t>(sample)].y; }
double PerfCore::GetPosZ(int) const { return 0.0; }
double PerfCore::GetDrivenDistance(int sample) const { return GetDistance(sample); }
Vect PerfCore::GetStartPos() const { return {0.0, 0.0}; }
double PerfCore::GetStartAngle() const { return std::numbers::pi / 2.0; }
double PerfCore::GetLongAccDiff(int) const { return 0.0; }
double PerfCore::GetLongitudalTyreForce(int, int) const { return 0.0; }
double PerfCore::GetLateralTyreForce(int, int) const { return 0.0; }

double PerfCore::GetTime(double distance) const {
    const int count = m_distanceIndex.GetCount();
    if (count == 0) return 0.0;
    const CDistanceArray::Hit hit = m_distanceIndex.Find(distance);
    if (hit.found) return GetTime(m_distanceIndex.GetAt(hit.index).sample);
    if (hit.index == 0) return GetTime(m_distanceIndex.GetAt(0).sample);
    if (hit.index >= count) return GetTime(m_distanceIndex.GetAt(count - 1).sample);
    const int a = m_distanceIndex.GetAt(hit.index - 1).sample;
    const int b = m_distanceIndex.GetAt(hit.index).sample;
    const double ta = GetTime(a);
    const double tb = GetTime(b);
    const double da = m_distanceIndex.GetDistance(*this, a);
    const double db = m_distanceIndex.GetDistance(*this, b);
    if (da == db) return tb;
    return ta + (distance - da) / (db - da) * (tb - ta);
}

// --- item cache -------------------------------------------------------------------

void PerfCore::CreateItemCache() {
    DeleteItemCache();
    m_itemCaches = std::make_unique<ItemCache[]>(4);
}

void PerfCore::ClearItemCache() {
    if (!m_itemCaches) return;
    for (int w = 0; w < 4; ++w)
        m_itemCaches[w].clear();
}

void PerfCore::DeleteItemCache() {
    ClearItemCache();
    m_itemCaches.reset();
}

void PerfCore::FlushCaches() { ClearItemCache(); }

double* PerfCore::GetCachedItem(int wheel, const char* name) const {
    if (!m_itemCaches || wheel < 0 || wheel > 3 || name == nullptr) return nullptr;
    return m_itemCaches[wheel][name].get();
}

void PerfCore::SetCachedItem(int wheel, const char* name, std::unique_ptr<double[]> values) const {
    if (!m_itemCaches || wheel < 0 || wheel > 3 || name == nullptr) return;
    m_itemCaches[wheel][name] = std::move(values);
}

void PerfCore::FlushCachedItem(const char* name) const {
    for (int w = 0; w < 4; ++w)
        SetCachedItem(w, name, nullptr);
}

}  // namespace morlund
