#pragma once

#include <QObject>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <memory>

#include "app/shell/AppSettings.h"
#include "app/shell/ExportDlg.h"
#include "app/shell/QtMessageSink.h"

namespace tarnwick {

class CMainFrame;
class CTarnwickDoc;

// The program: settings, the main window and the one document of the laps
// opened together. Lives from start-up to exit.
class CTarnwickApp : public QObject {
    Q_OBJECT
public:
    static constexpr int kRecentFileCount = 16;

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

signals:
    void DocumentChanged(tarnwick::CTarnwickDoc* doc);
    void RecentFilesChanged();

private:
    // Closes the document's windows and the document, without asking.
    void DropDocument();
    void AddRecentFile(const QString& path);
    void RemoveRecentFile(const QString& path);
    void LoadRecentFiles();
    void SaveRecentFiles();

    QSettings m_store;
    AppSettings m_settings;
    QStringList m_recent;
    QtMessageSink m_sink;
    ExportDlgState m_exportState;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<CTarnwickDoc> m_doc;
    bool m_dropping = false;
    bool m_messagesToStderr = false;
};

}  // namespace tarnwick
