#include "app/shell/TarnwickApp.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include "app/shell/AboutDlg.h"
#include "app/shell/MainFrame.h"
#include "app/shell/OptionsDlg.h"
#include "app/shell/PerfFileDialog.h"
#include "app/shell/TarnwickDoc.h"
#include "morlund/items/CustomDataItem.h"
#include "morlund/items/DataItem.h"

namespace tarnwick {

namespace {
constexpr const char* kRecentGroup = "Recent File List";
constexpr const char* kRecentWorkspaceGroup = "Recent Workspace List";

// A recent list: newest first, each entry once, at most `count` entries.
void AddToList(QStringList& list, const QString& path, int count) {
    list.removeAll(path);
    list.prepend(path);
    while (list.size() > count)
        list.removeLast();
}

QStringList LoadList(QSettings& store, const char* group, int count) {
    QStringList list;
    store.beginGroup(group);
    for (int i = 1; i <= count; ++i) {
        const QString path = store.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty()) list << path;
    }
    store.endGroup();
    return list;
}

void SaveList(QSettings& store, const char* group, const QStringList& list) {
    store.beginGroup(group);
    store.remove("");
    for (int i = 0; i < list.size(); ++i)
        store.setValue(QStringLiteral("File%1").arg(i + 1), list[i]);
    store.endGroup();
}
constexpr const char* kHomePage = "https://tarnwick.ravelle.example/";
}  // namespace

CTarnwickApp::CTarnwickApp() : m_store(QStringLiteral("Ravelle"), QStringLiteral("Tarnwick")) {
    m_settings.Load(m_store);
    morlund::DataItem::SetDistanceInMiles(m_settings.use_miles != 0);
    LoadRecentFiles();
}

CTarnwickApp::~CTarnwickApp() {
    // Views go with the main window before the document they show.
    m_frame.reset();
    m_doc.reset();
    morlund::SetMessageSink(nullptr);
}

bool CTarnwickApp::Start(const QStringList& files) {
    m_frame = std::make_unique<CMainFrame>(*this);
    m_sink.SetWindow(m_frame.get());
    m_sink.SetStatusBar(m_frame->statusBar());
    // Without a sink of its own the library writes its messages to standard error.
    morlund::SetMessageSink(m_messagesToStderr ? nullptr : &m_sink);
    m_frame->RestorePlacement();
    std::vector<std::filesystem::path> folders;
    if (const auto user = morlund::CustomDataItem::UserFormulaFolder(); !user.empty())
        folders.push_back(user);
    morlund::CustomDataItem::InitCustomDataItems(folders);
    m_frame->show();
    // Without files the program starts without a document; a file that does not open
    // ends start-up after its message.
    return files.isEmpty() || OpenFiles(files);
}

void CTarnwickApp::Exit() {
    m_settings.Save(m_store);
    SaveRecentFiles();
    m_store.sync();
}

bool CTarnwickApp::CloseDocument() {
    if (!m_doc) return true;
    if (!m_doc->SaveModified()) return false;
    DropDocument();
    return true;
}

void CTarnwickApp::DropDocument() {
    if (!m_doc || m_dropping) return;
    m_dropping = true;
    // The windows of the laps close with them.
    if (m_frame) m_frame->MdiArea()->closeAllSubWindows();
    m_doc.reset();
    m_dropping = false;
    emit DocumentChanged(nullptr);
}

bool CTarnwickApp::OpenRecentFile(const QString& path) {
    if (!CloseDocument()) return false;
    if (OpenFiles({path})) return true;
    RemoveRecentFile(path);
    return false;
}

void CTarnwickApp::OnFileOpen() {
    // The question comes first; the open laps stay when the dialog is cancelled.
    if (m_doc && !m_doc->SaveModified()) return;
    const QStringList paths =
        ChoosePerfFiles(m_frame.get(), m_settings, QString(), nullptr, std::nullopt);
    if (paths.isEmpty()) return;
    DropDocument();
    OpenFiles(paths);
}

bool CTarnwickApp::OpenFiles(const QStringList& paths) { return OpenLaps(paths, true, true); }

bool CTarnwickApp::OpenLaps(const QStringList& paths, bool startView, bool remember) {
    if (paths.isEmpty()) return false;
    DropDocument();
    auto doc = std::make_unique<CTarnwickDoc>();
    if (!doc->OpenFiles(paths, m_settings)) return false;
    if (remember) AddRecentFile(QFileInfo(paths.front()).absoluteFilePath());
    m_doc = std::move(doc);
    // Closing the document's last window closes the document (the window has asked
    // about changed setups); done once the window is gone.
    connect(m_doc.get(), &CTarnwickDoc::LastViewRemoved, this, &CTarnwickApp::DropDocument,
            Qt::QueuedConnection);
    emit DocumentChanged(m_doc.get());
    if (m_frame && startView) {
        // A start view that has no window yet opens as a graph.
        const auto start = static_cast<StartView>(
            ClampTo(m_settings.start_view, 0, AppSettings::kStartViewCount - 1));
        if (m_frame->OpenView(start, m_doc.get()) == nullptr)
            m_frame->OpenView(StartView::Graph, m_doc.get());
    }
    return true;
}

void CTarnwickApp::OnOptions() {
    AppSettings copy = m_settings;
    COptionsDlg dialog(copy, m_frame.get());
    if (dialog.exec() != QDialog::Accepted) return;
    m_settings = copy;
    morlund::DataItem::SetDistanceInMiles(m_settings.use_miles != 0);
    if (m_doc) m_doc->UpdateAllViews(nullptr, DocUpdate::AllValues());
}

void CTarnwickApp::OnAbout() {
    CAboutDlg dialog(m_frame.get());
    dialog.exec();
}

void CTarnwickApp::OnHomePage() {
    OpenWithShell(QString::fromLatin1(kHomePage), QStringLiteral("Error opening home page"));
}

QString CTarnwickApp::ShellErrorReason(int code) {
    switch (code) {
        case 2:
        case 3:
            return QStringLiteral("file not found");
        case 5:
            return QStringLiteral("access denied");
        case 26:
            return QStringLiteral("sharing violation");
        case 31:
            return QStringLiteral("no application associated with this extension");
        default:
            return QStringLiteral("error code %1").arg(code);
    }
}

namespace {

// Opens a target as the system's shell does and returns the shell's result: above 32
// on success, else the reason's code. Elsewhere than on Windows xdg-open stands in for
// the shell, and its exit codes are told as the shell's.
int ShellOpen(const QString& target) {
#if defined(_WIN32)
    return QDesktopServices::openUrl(QUrl::fromUserInput(target)) ? 33 : 31;
#else
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) return 31;  // nothing to open it with
    QProcess process;
    process.start(opener, {target});
    if (!process.waitForFinished(30000)) return 31;
    switch (process.exitCode()) {
        case 0:
            return 33;
        case 2:  // the file does not exist
            return 2;
        case 3:  // no program for the kind of target
            return 31;
        default:
            return process.exitCode();
    }
#endif
}

}  // namespace

bool CTarnwickApp::OpenWithShell(const QString& target, const QString& title) {
    const int result = ShellOpen(target);
    if (result > 32) return true;
    const QString text = QStringLiteral("%1 (%2)").arg(
        title.isEmpty() ? QStringLiteral("Cannot execute") : title, ShellErrorReason(result));
    morlund::ShowMessage(text.toStdString(), morlund::MessageIcon::Error);
    return false;
}

void CTarnwickApp::AdjustStatPrintFont(int step) { m_settings.stat_prt_font_size_adjust += step; }

void CTarnwickApp::AddRecentFile(const QString& path) {
    AddToList(m_recent, path, kRecentFileCount);
    emit RecentFilesChanged();
}

void CTarnwickApp::RemoveRecentFile(const QString& path) {
    if (m_recent.removeAll(path) > 0) emit RecentFilesChanged();
}

void CTarnwickApp::LoadRecentFiles() {
    m_recent = LoadList(m_store, kRecentGroup, kRecentFileCount);
    m_recentWorkspaces = LoadList(m_store, kRecentWorkspaceGroup, kRecentWorkspaceCount);
}

void CTarnwickApp::SaveRecentFiles() {
    SaveList(m_store, kRecentGroup, m_recent);
    SaveList(m_store, kRecentWorkspaceGroup, m_recentWorkspaces);
}

void CTarnwickApp::AddRecentWorkspace(const QString& path) {
    AddToList(m_recentWorkspaces, path, kRecentWorkspaceCount);
    emit RecentWorkspacesChanged();
}

}  // namespace tarnwick
