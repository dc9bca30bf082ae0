#include "app/shell/TarnwickApp.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
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
    morlund::SetMessageSink(&m_sink);
    m_frame->RestorePlacement();
    std::vector<std::filesystem::path> folders;
    if (const auto user = morlund::CustomDataItem::UserFormulaFolder(); !user.empty())
        folders.push_back(user);
    morlund::CustomDataItem::InitCustomDataItems(folders);
    m_frame->show();
    // Without files the program starts without a document.
    if (!files.isEmpty()) OpenFiles(files);
    return true;
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
    if (!m_doc) return;
    // The windows of the laps close with them.
    if (m_frame) m_frame->MdiArea()->closeAllSubWindows();
    m_doc.reset();
    emit DocumentChanged(nullptr);
}

void CTarnwickApp::OnFileOpen() {
    // The question comes first; the open laps stay when the dialog is cancelled.
    if (m_doc && !m_doc->SaveModified()) return;
    const QStringList paths = PromptForPerfFiles(m_frame.get(), m_settings, QString(), nullptr);
    if (paths.isEmpty()) return;
    DropDocument();
    OpenFiles(paths);
}

bool CTarnwickApp::OpenFiles(const QStringList& paths) {
    if (paths.isEmpty()) return false;
    DropDocument();
    auto doc = std::make_unique<CTarnwickDoc>();
    if (!doc->OpenFiles(paths, m_settings)) return false;
    AddRecentFile(QFileInfo(paths.front()).absoluteFilePath());
    m_doc = std::move(doc);
    emit DocumentChanged(m_doc.get());
    // Stat, text and track windows do not exist yet: every start view opens a graph.
    if (m_frame) m_frame->OpenGraphView(m_doc.get());
    return true;
}

void CTarnwickApp::OnOptions() {
    AppSettings copy = m_settings;
    COptionsDlg dialog(copy, m_frame.get());
    if (dialog.exec() != QDialog::Accepted) return;
    m_settings = copy;
    morlund::DataItem::SetDistanceInMiles(m_settings.use_miles != 0);
    if (m_doc) m_doc->UpdateAllViews(nullptr, 0, nullptr);
}

void CTarnwickApp::OnAbout() {
    CAboutDlg dialog(m_frame.get());
    dialog.exec();
}

void CTarnwickApp::OnHomePage() {
    if (!QDesktopServices::openUrl(QUrl(QString::fromLatin1(kHomePage)))) {
        morlund::ShowMessage(
            "Error opening home page (no application associated with this "
            "extension)");
    }
}

void CTarnwickApp::AdjustStatPrintFont(int step) { m_settings.stat_prt_font_size_adjust += step; }

void CTarnwickApp::AddRecentFile(const QString& path) {
    m_recent.removeAll(path);
    m_recent.prepend(path);
    while (m_recent.size() > kRecentFileCount)
        m_recent.removeLast();
    emit RecentFilesChanged();
}

void CTarnwickApp::LoadRecentFiles() {
    m_store.beginGroup(kRecentGroup);
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString path = m_store.value(QStringLiteral("File%1").arg(i)).toString();
        if (!path.isEmpty()) m_recent << path;
    }
    m_store.endGroup();
}

void CTarnwickApp::SaveRecentFiles() {
    m_store.beginGroup(kRecentGroup);
    m_store.remove("");
    for (int i = 0; i < m_recent.size(); ++i)
        m_store.setValue(QStringLiteral("File%1").arg(i + 1), m_recent[i]);
    m_store.endGroup();
}

}  // namespace tarnwick
