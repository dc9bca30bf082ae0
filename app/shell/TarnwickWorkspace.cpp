// Workspaces: saving the open laps and windows, opening them again, and the analysis
// layout, which is a workspace without laps built here.

#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <filesystem>
#include <iterator>
#include <optional>

#include "app/shell/MainFrame.h"
#include "app/shell/TarnwickApp.h"
#include "app/shell/TarnwickDoc.h"
#include "morlund/core/PerfCore.h"
#include "morlund/items/DataItem.h"
#include "morlund/platform/File.h"
#include "morlund/platform/MessageSink.h"
#include "pellith/workspace/Workspace.h"

namespace tarnwick {

namespace {

static_assert(static_cast<int>(std::size(pellith::kWindowKinds)) == AppSettings::kStartViewCount,
              "every kind of view has its name in a workspace");

// QString is UTF-16 and the library's paths cross as UTF-8 (not the ANSI code page that a
// narrow string means on Windows).
std::filesystem::path ToPath(const QString& path) {
    return morlund::PathFromUtf8(path.toStdString());
}

std::string KindName(StartView kind) {
    return std::string(pellith::kWindowKinds[static_cast<std::size_t>(kind)]);
}

std::optional<StartView> KindOf(const std::string& name) {
    for (std::size_t i = 0; i < std::size(pellith::kWindowKinds); ++i) {
        if (pellith::kWindowKinds[i] == name) return static_cast<StartView>(i);
    }
    return std::nullopt;
}

// Tells the user everything that could not be opened, in one message.
void ReportProblems(const QString& path, const std::vector<std::string>& problems) {
    if (problems.empty()) return;
    std::string text = "Not everything in the workspace \"" +
                       QFileInfo(path).fileName().toStdString() + "\" could be opened:\n";
    for (const std::string& problem : problems)
        text += "\n" + problem;
    morlund::ShowMessage(text, morlund::MessageIcon::Warning);
}

}  // namespace

pellith::Workspace CTarnwickApp::CaptureWorkspace(const QString& path, bool withLaps) const {
    pellith::Workspace workspace;
    if (withLaps && m_doc) {
        for (const morlund::PerfCore* lap : m_doc->Buffers())
            workspace.laps.push_back(
                pellith::StoreLapPath(morlund::PathFromUtf8(lap->GetFilePath()), ToPath(path)));
        workspace.reference = m_doc->ReferenceLapChoice() + 1;  // -1, the fastest: 0
    }
    if (!m_frame) return workspace;
    for (QMdiSubWindow* window : m_frame->MdiArea()->subWindowList(QMdiArea::CreationOrder)) {
        const auto* frame = qobject_cast<const CViewFrame*>(window);
        if (frame == nullptr) continue;
        pellith::WorkspaceWindow saved;
        saved.kind = KindName(frame->Kind());
        saved.maximised = frame->isMaximized();
        const QRect place = frame->isMaximized() ? frame->normalGeometry() : frame->geometry();
        if (place.width() > 0 && place.height() > 0)
            saved.geometry =
                pellith::WorkspaceGeometry{place.x(), place.y(), place.width(), place.height()};
        frame->SaveState(saved);
        workspace.windows.push_back(std::move(saved));
    }
    return workspace;
}

bool CTarnwickApp::SaveWorkspace(const QString& path, bool withLaps) {
    std::string error;
    if (!pellith::SaveWorkspace(ToPath(path), CaptureWorkspace(path, withLaps), error)) {
        morlund::ShowMessage("The workspace could not be saved as \"" + path.toStdString() +
                             "\".\n" + error);
        return false;
    }
    AddRecentWorkspace(QFileInfo(path).absoluteFilePath());
    return true;
}

int CTarnwickApp::OpenWorkspaceWindows(const pellith::Workspace& workspace,
                                       std::vector<std::string>& problems) {
    if (!m_frame || !m_doc) return 0;
    QMdiArea& area = *m_frame->MdiArea();
    const QList<QMdiSubWindow*> before = area.subWindowList();
    const QRect viewport = area.viewport()->rect();
    int opened = 0;
    for (std::size_t i = 0; i < workspace.windows.size(); ++i) {
        const pellith::WorkspaceWindow& saved = workspace.windows[i];
        const std::string name = "Window " + std::to_string(i + 1) + " (" + saved.kind + ")";
        const std::optional<StartView> kind = KindOf(saved.kind);
        // A map needs laps with positions, as New Track View does.
        const bool possible = kind && (*kind != StartView::Track || m_doc->CanNewTrackView());
        CViewFrame* frame = possible ? m_frame->OpenView(*kind, m_doc.get()) : nullptr;
        if (frame == nullptr) {
            problems.push_back(name + " cannot be opened for these laps.");
            continue;
        }
        ++opened;
        if (saved.geometry) {
            QRect place(saved.geometry->x, saved.geometry->y, saved.geometry->width,
                        saved.geometry->height);
            // A window saved beyond this main window's area comes back into sight.
            if (!place.intersects(viewport)) place.moveTopLeft(QPoint(0, 0));
            frame->setGeometry(place);
        }
        frame->RestoreState(saved, problems);
        if (saved.maximised) frame->showMaximized();
    }
    // The windows that were there give way only when the new ones stand, so that the
    // document never loses its last window on the way.
    if (opened > 0) {
        for (QMdiSubWindow* window : before)
            window->close();
    }
    m_frame->UpdateCommands();
    return opened;
}

void CTarnwickApp::ChooseStoredReference(const pellith::Workspace& workspace, const QString& path,
                                         std::vector<std::string>& problems) {
    // Laps missing or unreadable move the others up: the reference is found by its file.
    const std::filesystem::path wanted =
        pellith::ResolveLapPath(workspace.laps[workspace.reference - 1], ToPath(path));
    const auto& buffers = m_doc->Buffers();
    for (std::size_t b = 0; b < buffers.size(); ++b) {
        std::error_code ec;
        if (std::filesystem::equivalent(morlund::PathFromUtf8(buffers[b]->GetFilePath()), wanted,
                                        ec)) {
            m_doc->SetReferenceLap(static_cast<int>(b));
            return;
        }
    }
    problems.push_back("The reference lap \"" + morlund::PathToUtf8(wanted) +
                       "\" is not open; the fastest lap is the reference.");
}

bool CTarnwickApp::OpenWorkspace(QString path) {
    const pellith::WorkspaceReadResult read = pellith::ReadWorkspace(ToPath(path));
    std::vector<std::string> problems = read.problems;
    if (!read.usable) {
        // A recent entry whose file has gone leaves the list, as recent laps do.
        if (!QFileInfo::exists(path) &&
            m_recentWorkspaces.removeAll(QFileInfo(path).absoluteFilePath()) > 0)
            emit RecentWorkspacesChanged();
        ReportProblems(path, problems);
        return false;
    }
    const pellith::Workspace& workspace = read.workspace;
    if (!workspace.laps.empty()) {
        QStringList laps;
        for (const std::string& stored : workspace.laps) {
            const std::filesystem::path lap = pellith::ResolveLapPath(stored, ToPath(path));
            std::error_code ec;
            if (std::filesystem::is_regular_file(lap, ec))
                laps << QString::fromStdU16String(lap.u16string());
            else
                problems.push_back("The lap \"" + morlund::PathToUtf8(lap) + "\" is missing.");
        }
        if (laps.isEmpty()) {
            problems.push_back("None of the workspace's laps could be opened.");
            ReportProblems(path, problems);
            return false;
        }
        if (!CloseDocument()) return false;
        if (!OpenLaps(laps, false, false)) {
            problems.push_back("The workspace's laps could not be opened.");
            ReportProblems(path, problems);
            return false;
        }
        const int loaded = m_doc->BufCount();
        if (loaded < laps.size())
            problems.push_back(std::to_string(laps.size() - loaded) +
                               " of the laps could not be read.");
        if (workspace.reference > 0) ChooseStoredReference(workspace, path, problems);
    } else if (!m_doc) {
        problems.push_back("The workspace holds no laps: open laps first, then the workspace.");
        ReportProblems(path, problems);
        return false;
    }
    const int opened = OpenWorkspaceWindows(workspace, problems);
    // Laps without a window would close with nothing to show them: give them the start view.
    if (opened == 0 && m_frame && !workspace.laps.empty()) {
        const auto start = static_cast<StartView>(
            ClampTo(m_settings.start_view, 0, AppSettings::kStartViewCount - 1));
        if (m_frame->OpenView(start, m_doc.get()) == nullptr)
            m_frame->OpenView(StartView::Graph, m_doc.get());
    }
    AddRecentWorkspace(QFileInfo(path).absoluteFilePath());
    ReportProblems(path, problems);
    return true;
}

pellith::Workspace CTarnwickApp::AnalysisLayout() const {
    pellith::Workspace layout;
    if (!m_frame) return layout;
    const QRect area = m_frame->MdiArea()->viewport()->rect();
    const int left = area.width() * 3 / 5;
    const int right = area.width() - left;
    using morlund::DataItem;
    const std::pair<const DataItem*, const DataItem*> graphs[] = {
        {DataItem::SPEED, nullptr},
        {DataItem::THROTTLE, DataItem::BRAKE},
        {DataItem::GEAR, nullptr},
        {DataItem::STEERING, nullptr},
    };
    const int graphHeight = area.height() / static_cast<int>(std::size(graphs));
    int y = 0;
    for (const auto& [channel, overlay] : graphs) {
        pellith::WorkspaceWindow graph;
        graph.kind = KindName(StartView::Graph);
        graph.geometry = pellith::WorkspaceGeometry{0, y, left, graphHeight};
        graph.Set("x", DataItem::DISTANCE->GetShortName());
        graph.Set("y", channel->GetShortName());
        graph.SetList("overlays", overlay != nullptr
                                      ? std::vector<std::string>{overlay->GetShortName()}
                                      : std::vector<std::string>{});
        graph.SetBool("sync", true);
        layout.windows.push_back(std::move(graph));
        y += graphHeight;
    }
    const bool map = m_doc && m_doc->CanNewTrackView();
    const int statTop = map ? area.height() / 2 : 0;
    if (map) {
        pellith::WorkspaceWindow track;
        track.kind = KindName(StartView::Track);
        track.geometry = pellith::WorkspaceGeometry{left, 0, right, statTop};
        track.SetBool("sync", true);
        layout.windows.push_back(std::move(track));
    }
    pellith::WorkspaceWindow stat;
    stat.kind = KindName(StartView::Stat);
    stat.geometry = pellith::WorkspaceGeometry{left, statTop, right, area.height() - statTop};
    layout.windows.push_back(std::move(stat));
    return layout;
}

void CTarnwickApp::OpenAnalysisLayout() {
    if (!m_doc) return;
    std::vector<std::string> problems;
    OpenWorkspaceWindows(AnalysisLayout(), problems);
    if (!problems.empty()) ReportProblems(QStringLiteral("Analysis Layout"), problems);
}

namespace {
QString WorkspaceFolder(const CTarnwickDoc* doc, const QStringList& recent) {
    if (!recent.isEmpty()) return QFileInfo(recent.front()).absolutePath();
    return doc != nullptr ? doc->LastFolder() : QString();
}

QString WithSuffix(QString path) {
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".tws");
    return path;
}
}  // namespace

void CTarnwickApp::OnOpenWorkspace() {
    const QString path = QFileDialog::getOpenFileName(
        m_frame.get(), tr("Open Workspace"), WorkspaceFolder(m_doc.get(), m_recentWorkspaces),
        tr(kWorkspaceFilter));
    if (!path.isEmpty()) OpenWorkspace(path);
}

void CTarnwickApp::OnSaveWorkspace() {
    const QString path = WithSuffix(QFileDialog::getSaveFileName(
        m_frame.get(), tr("Save Workspace"), WorkspaceFolder(m_doc.get(), m_recentWorkspaces),
        tr(kWorkspaceFilter)));
    if (!path.isEmpty()) SaveWorkspace(path, true);
}

void CTarnwickApp::OnSaveLayout() {
    const QString path = WithSuffix(QFileDialog::getSaveFileName(
        m_frame.get(), tr("Save Layout"), WorkspaceFolder(m_doc.get(), m_recentWorkspaces),
        tr(kWorkspaceFilter)));
    if (!path.isEmpty()) SaveWorkspace(path, false);
}

}  // namespace tarnwick
