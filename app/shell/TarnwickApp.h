#pragma once

#include <QObject>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

#include "app/shell/AppSettings.h"
#include "app/shell/ExportDlg.h"
#include "app/shell/QtMessageSink.h"

namespace pellith {
struct Workspace;
}

namespace tarnwick {

class CMainFrame;
class CTarnwickDoc;

// The program: settings, the main window and the one document of the laps
// opened together. Lives from start-up to exit.
class CTarnwickApp : public QObject {
    Q_OBJECT
public:
    static constexpr int kRecentFileCount = 16;
    static constexpr int kRecentWorkspaceCount = 8;
    static constexpr const char* kWorkspaceFilter = "Tarnwick workspaces (*.tws);;All files (*)";

    // Reads the settings; creates no window yet.
    CTarnwickApp();
    ~CTarnwickApp() override;

    // Messages go to standard error instead of message boxes (unattended runs such as
    // screenshots); set before Start.
    void SetMessagesToStderr(bool on) { m_messagesToStderr = on; }
    // Start-up: main window, custom data items, files from the command line (the first
    // opens the document, the others are added to it). False when start-up fails: the
    // first file did not open (after its message).
    bool Start(const QStringList& files);
    // Writes the settings back; called once at exit.
    void Exit();

    AppSettings& Settings() { return m_settings; }
    const AppSettings& Settings() const { return m_settings; }
    QSettings& Store() { return m_store; }
    CMainFrame* MainFrame() const { return m_frame.get(); }
    // The export dialog's choices, kept from one export to the next.
    ExportDlgState& ExportState() { return m_exportState; }
    CTarnwickDoc* Document() const { return m_doc.get(); }

    // File Open: asks to save changed setups and shows the open dialog; the old document is
    // closed only when the user chose files.
    void OnFileOpen();
    // Opens paths as File Open does after the dialog: the first as a new document, the others
    // as more buffers of it, with one view update. False when the first did not open.
    bool OpenFiles(const QStringList& paths);
    // Closes the open document after the save question; false when the user cancelled.
    bool CloseDocument();
    // A recent-file entry: closes the open document first (unless cancelled), then opens
    // the file; an entry whose file no longer opens leaves the list.
    bool OpenRecentFile(const QString& path);
    // True while the document's windows are being closed with it.
    bool IsDroppingDocument() const { return m_dropping; }
    void OnOptions();
    void OnAbout();
    void OnHomePage();
    // Opens an address or file with the system's application for it; on failure shows
    // "<title> (<reason>)" ("Cannot execute" without a title). True on success.
    static bool OpenWithShell(const QString& target, const QString& title);
    // The reason for a failed shell open, from the shell's result code.
    static QString ShellErrorReason(int code);
    void AdjustStatPrintFont(int step);

    const QStringList& RecentFiles() const { return m_recent; }

    // --- workspaces -------------------------------------------------------------------
    // The open laps (unless `withLaps` is false: a layout) and every window with its
    // place and settings, as a workspace saved at `path`.
    pellith::Workspace CaptureWorkspace(const QString& path, bool withLaps) const;
    // Writes the workspace of the open laps and windows; false after telling the user why.
    bool SaveWorkspace(const QString& path, bool withLaps = true);
    // Opens a workspace: its laps as a new document (after the save question) and its
    // windows with their settings; a workspace without laps (a layout) replaces the
    // windows of the open laps. What cannot be opened is named in one message. False when
    // nothing was opened.
    bool OpenWorkspace(QString path);  // a copy: the path may be an entry of the recent list
    // Opens the windows of a workspace on the open document, then closes the windows that
    // were there before. Problems are added to `problems`; returns the windows opened.
    int OpenWorkspaceWindows(const pellith::Workspace& workspace, std::vector<std::string>& problems);
    // Makes the workspace's reference lap the document's, found among the open laps by its file.
    void ChooseStoredReference(const pellith::Workspace& workspace, const QString& path,
                               std::vector<std::string>& problems);
    // The layout most sessions start from, fitted to the main window: graphs of speed,
    // throttle with brake, gear and steering stacked on the left and synchronised, the map
    // and the statistics on the right.
    pellith::Workspace AnalysisLayout() const;
    void OpenAnalysisLayout();
    // File menu commands with their file dialogs.
    void OnOpenWorkspace();
    void OnSaveWorkspace();
    void OnSaveLayout();
    const QStringList& RecentWorkspaces() const { return m_recentWorkspaces; }

signals:
    void DocumentChanged(tarnwick::CTarnwickDoc* doc);
    void RecentFilesChanged();
    void RecentWorkspacesChanged();

private:
    // Closes the document's windows and the document, without asking.
    void DropDocument();
    // Opens the laps as the document; the start view and the recent-file entry are left
    // to the caller's choice.
    bool OpenLaps(const QStringList& paths, bool startView, bool remember);
    void AddRecentFile(const QString& path);
    void RemoveRecentFile(const QString& path);
    void AddRecentWorkspace(const QString& path);
    void LoadRecentFiles();
    void SaveRecentFiles();

    QSettings m_store;
    AppSettings m_settings;
    QStringList m_recent;
    QStringList m_recentWorkspaces;
    QtMessageSink m_sink;
    ExportDlgState m_exportState;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<CTarnwickDoc> m_doc;
    bool m_dropping = false;
    bool m_messagesToStderr = false;
};

}  // namespace tarnwick
