// Tarnwick: the desktop program.
//
//   tarnwick [--screenshot FILE] [--workspace FILE] [--analysis-layout] [FILE...]
//
// The first file opens the laps, the others are added to them. --workspace opens a saved
// workspace (after the files); --analysis-layout opens the analysis layout on the laps. --screenshot saves
// the main window as PNG once the files are open and the window is painted, and
// exits; in that mode messages go to standard error, so that no message box waits
// for an answer. TARNWICK_STARTUP_LOG=1 prints the time from process start to the first
// painted main window on stderr.

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <string>

#include "app/graph/GraphFrame.h"
#include "app/res/Icons.h"
#include "app/setup/SetupDialogs.h"
#include "app/shell/MainFrame.h"
#include "app/shell/TarnwickApp.h"
#include "app/views/Views.h"
#include "morlund/platform/Process.h"
#include "tarnwick/Version.h"

namespace {

// Watches the main window's first paint: logs the start-up time and, when asked, saves a
// picture of the window and quits.
class FirstPaint : public QObject {
public:
    FirstPaint(QWidget& window, QElapsedTimer& sinceMain, bool log, QString screenshot)
        : m_window(window),
          m_sinceMain(sinceMain),
          m_log(log),
          m_screenshot(std::move(screenshot)) {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_window && event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // After this paint has been done.
            QTimer::singleShot(0, this, [this] { Done(); });
        }
        return false;
    }

private:
    void Done() {
        if (m_log) {
            const double age = morlund::ProcessAgeSeconds();
            std::fprintf(stderr,
                         "startup: first paint %.1f ms after main, %.0f ms after process start\n",
                         static_cast<double>(m_sinceMain.nsecsElapsed()) / 1e6, age * 1000.0);
        }
        if (m_screenshot.isEmpty()) return;
        // Let the windows lay out and paint once more before the picture is taken.
        QTimer::singleShot(200, this, [this] {
            const bool saved = m_window.grab().save(m_screenshot, "PNG");
            if (!saved)
                std::fprintf(stderr, "tarnwick: cannot write %s\n", qPrintable(m_screenshot));
            QApplication::exit(saved ? 0 : 1);
        });
    }

    QWidget& m_window;
    QElapsedTimer& m_sinceMain;
    bool m_log;
    QString m_screenshot;
    bool m_seen = false;
};

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    QApplication qt(argc, argv);
    QApplication::setOrganizationName(tarnwick::version::kCompanyName);
    QApplication::setApplicationName(tarnwick::version::kProductName);
    QApplication::setApplicationDisplayName(tarnwick::version::kProductName);
    QApplication::setApplicationVersion(tarnwick::version::kFileVersion);
    QApplication::setWindowIcon(tarnwick::ProgramIcon());

    QCommandLineParser parser;
    parser.setApplicationDescription("Racing-simulator telemetry viewer");
    parser.addHelpOption();
    parser.addVersionOption();
    QCommandLineOption screenshot("screenshot", "Save the main window as PNG FILE and exit.",
                                  "FILE");
    parser.addOption(screenshot);
    QCommandLineOption workspace("workspace", "Open the workspace FILE.", "FILE");
    parser.addOption(workspace);
    QCommandLineOption layout("analysis-layout", "Open the analysis layout on the laps.");
    parser.addOption(layout);
    parser.addPositionalArgument(
        "files", "Telemetry files: the first opens the laps, the others are added.", "[FILE...]");
    parser.process(qt);

    // The kinds of view the main window can open.
    tarnwick::RegisterGraphView();
    tarnwick::RegisterViews();
    tarnwick::RegisterSetupDialogs();

    tarnwick::CTarnwickApp app;
    app.SetMessagesToStderr(parser.isSet(screenshot));
    if (!app.Start(parser.positionalArguments())) return 1;
    // Once the main window has its size, so that windows are placed in its area.
    QTimer::singleShot(0, &app, [&] {
        if (parser.isSet(workspace)) app.OpenWorkspace(parser.value(workspace));
        if (parser.isSet(layout)) app.OpenAnalysisLayout();
    });
    FirstPaint watcher(*app.MainFrame(), sinceMain,
                       qEnvironmentVariableIntValue("TARNWICK_STARTUP_LOG") != 0,
                       parser.value(screenshot));
    const int result = QApplication::exec();
    app.Exit();
    return result;
}
