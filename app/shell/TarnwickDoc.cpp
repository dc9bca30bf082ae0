#include "app/shell/TarnwickDoc.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <filesystem>

#include "app/shell/QtMessageSink.h"
#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "morlund/formats/Games.h"
#include "morlund/items/CustomDataItem.h"
#include "morlund/platform/Errors.h"
#include "morlund/platform/File.h"
#include "morlund/platform/MessageSink.h"
#include "morlund/res/StringTable.h"
#include "pellith/analysis/LapDelta.h"

namespace tarnwick {

namespace {

using morlund::GameType;
namespace fs = std::filesystem;

// UTF-16 both ways: a path built from narrow text would read it in the ANSI code page on Windows.
fs::path ToPath(const QString& path) { return fs::path(path.toStdU16String()); }

// Opens a file for reading; tells the user why when it cannot be opened.
bool OpenForReading(morlund::File& file, const QString& path) {
    std::string reason;
    if (file.Open(ToPath(path), morlund::File::Mode::Read, &reason)) return true;
    QString text = QStringLiteral("Cannot open file %1.").arg(QDir::toNativeSeparators(path));
    if (!reason.empty()) text += QStringLiteral("\n") + QString::fromStdString(reason);
    morlund::ShowMessage(text.toStdString(), morlund::MessageIcon::Error);
    return false;
}

QString BufferName(const morlund::PerfCore& buffer) {
    return QString::fromStdString(buffer.InfoGetName());
}

}  // namespace

CTarnwickDoc::CTarnwickDoc(QObject* parent) : QObject(parent) {}

CTarnwickDoc::~CTarnwickDoc() = default;

// --- state ---------------------------------------------------------------------

int CTarnwickDoc::BufCount() const { return m_manager ? m_manager->GetBufCount() : 0; }

morlund::PerfCore* CTarnwickDoc::Buffer(int index) const {
    return m_manager && m_manager->HasBuffer(index) ? m_manager->GetBuffer(index) : nullptr;
}

std::vector<const morlund::PerfCore*> CTarnwickDoc::Buffers() const {
    std::vector<const morlund::PerfCore*> buffers;
    for (int i = 0; i < BufCount(); ++i)
        buffers.push_back(Buffer(i));
    return buffers;
}

const morlund::PerfCore& CTarnwickDoc::BufferAt(int index) const {
    if (!m_manager) throw morlund::InvalidArgument("CTarnwickDoc: no buffers");
    return *m_manager->GetBuffer(index);  // raises for an index out of range
}

bool CTarnwickDoc::HasTrackGeometry() const {
    return m_manager && m_manager->GetTrackGeometry().kind != morlund::TrackGeometry::None;
}

int CTarnwickDoc::CurrentOrFirstBuffer() const {
    const int count = BufCount();
    if (count == 0) return -1;
    return m_currentBuffer >= 0 && m_currentBuffer < count ? m_currentBuffer : 0;
}

int CTarnwickDoc::ReferenceLapChoice() const {
    for (int b = 0; b < BufCount(); ++b)
        if (m_referenceLap != nullptr && Buffer(b) == m_referenceLap) return b;
    return -1;
}

int CTarnwickDoc::ReferenceLap() const {
    const int chosen = ReferenceLapChoice();
    if (chosen >= 0 && Buffer(chosen)->IsEnabled()) return chosen;
    return m_manager ? pellith::FindFastestLap(*m_manager) : -1;
}

const std::vector<pellith::Corner>& CTarnwickDoc::ReferenceCorners() const {
    const morlund::PerfCore* reference = Buffer(ReferenceLap());
    if (reference != m_cornersOf) {
        m_corners = reference != nullptr ? pellith::FindCorners(*reference)
                                         : std::vector<pellith::Corner>();
        m_cornersOf = reference;
    }
    return m_corners;
}

void CTarnwickDoc::SetReferenceLap(int buffer) {
    m_referenceLap = Buffer(buffer);
    UpdateAllViews(nullptr, DocUpdate::BuffersShown());
}

// --- views ---------------------------------------------------------------------

void CTarnwickDoc::AddView(DocView* view) {
    if (view != nullptr && std::find(m_views.begin(), m_views.end(), view) == m_views.end())
        m_views.push_back(view);
}

void CTarnwickDoc::RemoveView(DocView* view) {
    if (std::erase(m_views, view) > 0 && m_views.empty()) emit LastViewRemoved();
}

void CTarnwickDoc::UpdateAllViews(DocView* sender, const DocUpdate& update) {
    // Summaries go with the values they were computed from. They are of recorded
    // channels only, which a lap's setup (BufferValues) does not touch: a setup slider
    // moving in the editor recomputes no statistics.
    switch (update.kind) {
        case DocUpdate::Kind::AllValues:
            m_summaries.Clear();
            break;
        case DocUpdate::Kind::Buffers:
            m_summaries.KeepOnly(Buffers());
            break;
        default:
            break;
    }
    // Corners are found on recorded positions; a lap that went may leave its address to a
    // new one, so they are found again whenever the laps change.
    if (update.kind == DocUpdate::Kind::Buffers || update.kind == DocUpdate::Kind::AllValues)
        m_cornersOf = nullptr;
    if (update.hint) {
        m_currentBuffer = update.hint->buffer;
        m_cursorPos = update.hint->cursorPos;
        m_selectionFrom = update.hint->selectionFrom;
        m_selectionTo = update.hint->selectionTo;
    }
    // A view may close others (or itself) while it updates: walk a copy and
    // skip views that have left in the meantime.
    const std::vector<DocView*> views = m_views;
    for (DocView* view : views) {
        if (view == sender) continue;
        if (std::find(m_views.begin(), m_views.end(), view) == m_views.end()) continue;
        view->OnUpdate(sender, update);
    }
    emit ViewsUpdated(sender, update);
}

// --- title ---------------------------------------------------------------------

void CTarnwickDoc::SetTitle(const QString& title) {
    if (title == m_title) return;
    m_title = title;
    emit TitleChanged(m_title);
}

// --- opening and closing -----------------------------------------------------------

void CTarnwickDoc::DeleteContents() {
    m_summaries.Clear();
    m_manager.reset();
    m_game.reset();
    m_readOk = false;
    m_gp2Track = morlund::GP2Track();
    m_gp2TrackLoaded = false;
    m_lfsTrack.Kill();
    m_lfsMeshLoaded = false;
    m_lastFolder.clear();
    m_lastFileName.clear();
    // The shared state belonged to the laps that are gone.
    m_currentBuffer = 0;
    m_referenceLap = nullptr;
    m_cornersOf = nullptr;
    m_cursorPos = -1.0;
    m_selectionFrom = 0.0;
    m_selectionTo = 0.0;
}

void CTarnwickDoc::RememberFile(const QString& path) {
    const QFileInfo info(path);
    m_lastFolder = info.absolutePath();
    m_lastFileName = info.fileName();
}

bool CTarnwickDoc::OpenDocument(const QString& path, const AppSettings& settings) {
    DeleteContents();
    const MessageFileScope messagesAbout(QFileInfo(path).fileName());
    morlund::File file;
    if (!OpenForReading(file, path)) return false;

    const GameType game = morlund::RecogniseGame(file.GetFileName(), file, settings.pri_game);
    m_game = game;
    m_manager = morlund::CreateBufManager(game);
    m_readOk = m_manager && m_manager->AddBuffer(file);
    if (!m_readOk) {
        DeleteContents();  // the reader has told the user why
        return false;
    }
    file.Close();
    LoadTrackGeometry(settings);
    RememberFile(path);
    SetTitle(QFileInfo(path).fileName());
    return true;
}

void CTarnwickDoc::TakeLaps(std::unique_ptr<morlund::BufManager> manager, GameType game) {
    DeleteContents();
    m_manager = std::move(manager);
    m_game = game;
    m_readOk = m_manager != nullptr;
    SetTitle(HasBuffers() ? BufferName(*Buffer(0)) : QString::fromLatin1(kNoBuffersTitle));
    UpdateAllViews(nullptr, DocUpdate::BuffersChanged());
}

void CTarnwickDoc::LoadTrackGeometry(const AppSettings& settings) {
    m_gp2TrackLoaded = false;
    m_lfsMeshLoaded = false;
    if (!m_readOk || !m_manager || !m_game) return;
    const morlund::TrackGeometryRef geometry = m_manager->GetTrackGeometry();
    const fs::path folder = ToPath(LocalPath(settings.GetPath(*m_game)));
    switch (geometry.kind) {
        case morlund::TrackGeometry::GP2Segments: {
            // The add-on's folder and file may be named in any case.
            const fs::path segFile = morlund::FindFileNoCase(
                morlund::FindFileNoCase(folder / "strelkod") / geometry.name);
            morlund::File file;
            if (OpenForReading(file, QString::fromStdU16String(segFile.u16string())))
                m_gp2TrackLoaded = m_gp2Track.ReadFile(file);
            break;
        }
        case morlund::TrackGeometry::LFSMeshes:
            m_lfsMeshLoaded = m_lfsTrack.LoadTrackMeshes(folder, geometry.name);
            break;
        case morlund::TrackGeometry::None:
            break;
    }
}

bool CTarnwickDoc::OpenFiles(const QStringList& paths, const AppSettings& settings) {
    if (paths.isEmpty() || !OpenDocument(paths.front(), settings)) return false;
    bool added = false;
    for (qsizetype i = 1; i < paths.size(); ++i)
        added = AddBufferFromFile(paths[i], false) || added;
    if (added) UpdateAllViews(nullptr, DocUpdate::BuffersChanged());
    return true;
}

bool CTarnwickDoc::OfferSetupSave(morlund::PerfCore& buffer) {
    const QString question = QString(kSetupChangedQuestion).arg(BufferName(buffer));
    switch (morlund::ShowMessage(question.toStdString(), morlund::MessageIcon::Question,
                                 morlund::MessageButtons::YesNoCancel)) {
        case morlund::MessageAnswer::Yes:
            buffer.SaveSetup();
            // A save that failed has been reported; the edits must not be thrown away.
            return !buffer.IsSetupChanged();
        case morlund::MessageAnswer::No:
            return true;
        default:
            return false;
    }
}

bool CTarnwickDoc::SaveModified() {
    for (int i = 0; i < BufCount(); ++i) {
        morlund::PerfCore* buffer = Buffer(i);
        if (buffer->IsSetupChanged() && !OfferSetupSave(*buffer)) return false;
    }
    return true;
}

bool CTarnwickDoc::CloseIfAllowed() {
    if (!SaveModified()) return false;
    DeleteContents();
    emit Closed();
    return true;
}

bool CTarnwickDoc::AddBufferFromFile(const QString& path, bool updateViews) {
    if (!m_manager) return false;  // an empty document has no game to add laps of
    const MessageFileScope messagesAbout(QFileInfo(path).fileName());
    morlund::File file;
    if (!OpenForReading(file, path)) return false;
    const bool added = m_manager->AddBuffer(file);
    RememberFile(path);
    if (added && updateViews) UpdateAllViews(nullptr, DocUpdate::BuffersChanged());
    return added;
}

int CTarnwickDoc::AddBuffers(const QStringList& paths) {
    const int before = BufCount();
    int added = 0;
    for (const QString& path : paths)
        added += AddBufferFromFile(path, false) ? 1 : 0;
    // A document emptied by Delete Buffers takes the name of its new first lap.
    if (BufCount() == 1 || (before == 0 && added > 0)) SetTitle(BufferName(*Buffer(0)));
    if (added > 0) UpdateAllViews(nullptr, DocUpdate::BuffersChanged());
    return added;
}

// --- commands ------------------------------------------------------------------

int CTarnwickDoc::DeleteBuffers(const std::vector<int>& indices) {
    const int count = BufCount();
    std::vector<bool> marked(static_cast<std::size_t>(count), false);
    for (const int index : indices) {
        if (index >= 0 && index < count) marked[static_cast<std::size_t>(index)] = true;
    }
    // Edited setups of the laps about to go are offered for saving, as on closing.
    for (int i = 0; i < count; ++i) {
        morlund::PerfCore* buffer = Buffer(i);
        if (marked[static_cast<std::size_t>(i)] && buffer->IsSetupChanged() &&
            !OfferSetupSave(*buffer)) {
            return 0;
        }
    }
    int removed = 0;
    int removedBelowCurrent = 0;
    for (int i = count - 1; i >= 0; --i) {  // from the top, so lower indices stay valid
        if (!marked[static_cast<std::size_t>(i)]) continue;
        m_summaries.Drop(Buffer(i));
        m_manager->RemoveBuffer(i);
        ++removed;
        if (i < m_currentBuffer) ++removedBelowCurrent;
    }
    if (removed == 0) return 0;
    if (m_referenceLap != nullptr && ReferenceLapChoice() < 0) m_referenceLap = nullptr;

    if (marked[0]) {
        SetTitle(HasBuffers() ? BufferName(*Buffer(0)) : QString::fromLatin1(kNoBuffersTitle));
    }
    // The current lap keeps its place in the views when it remains; otherwise the
    // lap that moved up takes over, and no index ever points past the end.
    m_currentBuffer =
        std::clamp(m_currentBuffer - removedBelowCurrent, 0, std::max(BufCount() - 1, 0));
    UpdateAllViews(nullptr, DocUpdate::BuffersChanged());
    return removed;
}

bool CTarnwickDoc::ReadSetupFile(const QString& path) {
    const int index = CurrentOrFirstBuffer();
    if (index < 0) return false;
    morlund::File file;
    if (!file.Open(ToPath(path), morlund::File::Mode::Read)) {
        morlund::ShowMessage(morlund::IDS_OPEN_ERROR);
        return false;
    }
    const MessageFileScope messagesAbout(QFileInfo(path).fileName());
    morlund::PerfCore* buffer = Buffer(index);
    const bool read = buffer->ReadSetup(file);
    file.Close();
    if (!read) return false;
    buffer->FlushCaches();
    UpdateAllViews(nullptr, DocUpdate::ValuesOf(index));
    return true;
}

void CTarnwickDoc::SaveSetups(bool allChanged) {
    if (allChanged) {
        for (int i = 0; i < BufCount(); ++i) {
            morlund::PerfCore* buffer = Buffer(i);
            if (buffer->IsSetupChanged()) buffer->SaveSetup();
        }
        return;
    }
    if (morlund::PerfCore* buffer = Buffer(CurrentOrFirstBuffer())) buffer->SaveSetup();
}

int CTarnwickDoc::SetupEditBuffer() const {
    if (!CanEditSetups()) {
        morlund::ShowMessage(kNoEditorText, morlund::MessageIcon::Information);
        return -1;
    }
    return CurrentOrFirstBuffer();
}

std::pair<double, double> CTarnwickDoc::ExportRange(double from, double to) {
    if (from == 0.0 && to == 0.0) return {from, -1.0};
    return {from, to};
}

void CTarnwickDoc::FormulaChanged(bool renamed) {
    using morlund::DataItem;
    // Formulas find items by short name.
    if (renamed) morlund::CustomDataItem::BuildFormulaNames();
    // Other formula channels may be built on the edited one: drop every cached
    // formula value, not only its own.
    for (int i = 0; i < BufCount(); ++i) {
        const morlund::PerfCore* buffer = Buffer(i);
        for (auto it = DataItem::NewIterator(); it->HasNext();) {
            if (const auto* custom = dynamic_cast<const morlund::CustomDataItem*>(it->GetNext()))
                custom->FlushCache(buffer);
        }
    }
    UpdateAllViews(nullptr, DocUpdate::AllValues());
}

// --- enable rules --------------------------------------------------------------------

bool CTarnwickDoc::CanAddBuffers() const { return m_manager != nullptr; }
bool CTarnwickDoc::CanDeleteBuffers() const { return BufCount() > 1; }
bool CTarnwickDoc::CanExport() const { return HasBuffers(); }
bool CTarnwickDoc::CanSetupOpenSave() const {
    return HasBuffers() && morlund::GetGameInfo(*m_game).setupFiles;
}
bool CTarnwickDoc::CanEditSetups() const {
    return m_game && morlund::GetGameInfo(*m_game).editor != morlund::SetupEditor::None;
}
bool CTarnwickDoc::CanSetupEdit() const { return HasBuffers() && CanEditSetups(); }
bool CTarnwickDoc::CanNewTrackView() const {
    return m_game && morlund::GetGameInfo(*m_game).trackView;
}

// --- summary statistics --------------------------------------------------------------

const pellith::LapSummary& CTarnwickDoc::Summary(int buffer) const {
    return m_summaries.Get(BufferAt(buffer));
}

}  // namespace tarnwick
