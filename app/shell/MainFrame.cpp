#include "app/shell/MainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QToolBar>
#include <functional>

#include "app/res/Icons.h"
#include "app/shell/DocController.h"
#include "app/shell/GuideWindow.h"
#include "app/shell/SharedPrinter.h"
#include "app/shell/TarnwickApp.h"
#include "app/shell/TarnwickDoc.h"
#include "morlund/core/PerfCore.h"
#include "morlund/platform/MessageSink.h"

namespace tarnwick {

namespace {
constexpr const char* kWindowPos = "Settings/window_pos";
constexpr const char* kBarState = "Settings/BarState";

// The main window's commands that the active view carries out.
constexpr std::pair<CMainFrame::Command, ViewCommand> kViewCommands[] = {
    {CMainFrame::kCursorMode, ViewCommand::CursorMode},
    {CMainFrame::kZoomSelection, ViewCommand::ZoomSelection},
    {CMainFrame::kZoomInX, ViewCommand::ZoomInX},
    {CMainFrame::kZoomOutX, ViewCommand::ZoomOutX},
    {CMainFrame::kZoomInY, ViewCommand::ZoomInY},
    {CMainFrame::kZoomOutY, ViewCommand::ZoomOutY},
    {CMainFrame::kFitY, ViewCommand::FitY},
    {CMainFrame::kPrint, ViewCommand::Print},
    {CMainFrame::kPrintPreview, ViewCommand::PrintPreview},
};
}  // namespace

CMainFrame::CMainFrame(CTarnwickApp& app) : m_app(app) {
    setObjectName("MainFrame");
    setWindowIcon(ProgramIcon());
    setAcceptDrops(true);
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName("MdiArea");
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    resize(1024, 720);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &CMainFrame::OnWindowActivated);
    connect(&m_app, &CTarnwickApp::DocumentChanged, this, &CMainFrame::OnDocumentChanged);
    connect(&m_app, &CTarnwickApp::RecentFilesChanged, this, &CMainFrame::RebuildRecentMenu);
    connect(&m_app, &CTarnwickApp::RecentWorkspacesChanged, this,
            &CMainFrame::RebuildRecentWorkspaceMenu);
    OnDocumentChanged(nullptr);
}

CMainFrame::~CMainFrame() {
    // The windows go while this window can still hear from them: left to the base
    // class, they would be hidden after this object's members are gone and their
    // signals would reach a half-destroyed window.
    for (QMdiSubWindow* window : m_mdi->subWindowList())
        delete window;
}

void CMainFrame::CreateActions() {
    struct Spec {
        Command id;
        const char* text;
        QKeySequence key;
        const char* tip;
    };
    const Spec specs[] = {
        {kFileOpen, "&Open...", QKeySequence(Qt::CTRL | Qt::Key_O), "Open perf files"},
        {kAddBuffers, "&Add Buffers...", QKeySequence(Qt::CTRL | Qt::Key_A),
         "Add perf files to the open laps"},
        {kDeleteBuffers, "&Delete Buffers...", QKeySequence(Qt::CTRL | Qt::Key_X),
         "Remove laps from the document"},
        {kExport, "&Export...", QKeySequence(Qt::CTRL | Qt::Key_E),
         "Export channels to a text file"},
        {kOpenWorkspace, "Open Wor&kspace...", {}, "Open laps and windows saved together"},
        {kSaveWorkspace, "Save &Workspace...", {}, "Save the open laps and windows together"},
        {kSaveLayout, "Save &Layout...", {}, "Save the windows without the laps"},
        {kAnalysisLayout, "&Analysis Layout", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L),
         "Open the graphs, map and statistics most sessions start from"},
        {kSetupOpen, "Setup &Open...", {}, "Read a car setup file into the current lap"},
        {kSetupSave,
         "Setup &Save",
         {},
         "Save the car setup. Hold Shift to save all changed setups"},
        {kSetupEdit, "Setup &Edit...", QKeySequence(Qt::CTRL | Qt::Key_S),
         "Edit the car setup of the current lap"},
        // The views carry the key of Print (the menu only shows it), so that it never
        // competes with theirs.
        {kPrint, "&Print...\tCtrl+P", {}, "Print the active window"},
        {kPrintPreview, "Print Pre&view", {}, "Show the pages the active window prints"},
        {kPrintSetup, "P&rint Setup...", {}, "Choose the printer and page"},
        {kOptions, "&Options...", QKeySequence(Qt::CTRL | Qt::Key_T),
         "Change the program's options"},
        {kNewStatView, "New &Stat View", QKeySequence(Qt::Key_F5), "Open a statistics window"},
        {kNewGraphView, "New &Graph View", QKeySequence(Qt::Key_F6), "Open a graph window"},
        {kNewTextView, "New &Text View", QKeySequence(Qt::Key_F7), "Open a sample table window"},
        {kNewTrackView, "New Trac&k View", QKeySequence(Qt::Key_F8), "Open a track map window"},
        {kNewHistogramView, "New H&istogram View", QKeySequence(Qt::Key_F9),
         "Open a histogram window"},
        {kCursorMode, "&Cursor Mode", {}, "Move a cursor instead of selecting"},
        {kZoomSelection, "Zoom &Selection", {}, "Zoom to the selected range"},
        {kZoomInX, "Zoom In &X", {}, "Zoom in horizontally"},
        {kZoomOutX, "Zoom Out X", {}, "Zoom out horizontally"},
        {kZoomInY, "Zoom In &Y", {}, "Zoom in vertically"},
        {kZoomOutY, "Zoom Out Y", {}, "Zoom out vertically"},
        // The graph carries the key (Ctrl+F); the menu only shows it.
        {kFitY, "&Fit Y to Data\tCtrl+F", {}, "Fit the vertical range to the data shown"},
        {kCascade, "&Cascade", {}, "Arrange the windows overlapped"},
        {kTileHorizontally, "Tile &Horizontally", QKeySequence(Qt::Key_BracketLeft),
         "Arrange the windows one above the other"},
        {kTileVertically, "Tile &Vertically", QKeySequence(Qt::Key_BracketRight),
         "Arrange the windows side by side"},
    };
    for (const Spec& spec : specs) {
        auto* action = new QAction(tr(spec.text), this);
        action->setShortcut(spec.key);
        action->setStatusTip(tr(spec.tip));
        m_actions[spec.id] = action;
    }
    m_actions[kDeleteBuffers]->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    m_actions[kCursorMode]->setCheckable(true);
    const std::pair<Command, CommandIcon> icons[] = {
        {kFileOpen, CommandIcon::FileOpen},
        {kAddBuffers, CommandIcon::AddBuffers},
        {kDeleteBuffers, CommandIcon::DeleteBuffers},
        {kSetupOpen, CommandIcon::SetupOpen},
        {kSetupSave, CommandIcon::SetupSave},
        {kSetupEdit, CommandIcon::SetupEdit},
        {kNewStatView, CommandIcon::NewStatView},
        {kNewGraphView, CommandIcon::NewGraphView},
        {kNewTextView, CommandIcon::NewTextView},
        {kNewTrackView, CommandIcon::NewTrackView},
        {kCursorMode, CommandIcon::CursorMode},
        {kZoomSelection, CommandIcon::ZoomSelection},
        {kZoomInX, CommandIcon::ZoomInX},
        {kZoomOutX, CommandIcon::ZoomOutX},
        {kZoomInY, CommandIcon::ZoomInY},
        {kZoomOutY, CommandIcon::ZoomOutY},
        {kCascade, CommandIcon::Cascade},
        {kTileHorizontally, CommandIcon::TileHorizontally},
        {kTileVertically, CommandIcon::TileVertically},
    };
    for (const auto& [command, icon] : icons)
        m_actions[command]->setIcon(MakeCommandIcon(icon));

    connect(m_actions[kFileOpen], &QAction::triggered, &m_app, &CTarnwickApp::OnFileOpen);
    connect(m_actions[kOptions], &QAction::triggered, &m_app, &CTarnwickApp::OnOptions);
    connect(m_actions[kOpenWorkspace], &QAction::triggered, &m_app,
            &CTarnwickApp::OnOpenWorkspace);
    connect(m_actions[kSaveWorkspace], &QAction::triggered, &m_app,
            &CTarnwickApp::OnSaveWorkspace);
    connect(m_actions[kSaveLayout], &QAction::triggered, &m_app, &CTarnwickApp::OnSaveLayout);
    connect(m_actions[kAnalysisLayout], &QAction::triggered, &m_app,
            &CTarnwickApp::OpenAnalysisLayout);
    connect(m_actions[kPrintSetup], &QAction::triggered, this,
            [this] { QPageSetupDialog(&SharedPrinter(), this).exec(); });
    const auto controller = [this](void (DocController::*command)()) {
        return [this, command] {
            if (CTarnwickDoc* doc = m_app.Document())
                (DocController(*doc, m_app.Settings(), this).*command)();
        };
    };
    connect(m_actions[kAddBuffers], &QAction::triggered, this,
            controller(&DocController::AddBuffers));
    connect(m_actions[kDeleteBuffers], &QAction::triggered, this,
            controller(&DocController::DeleteBuffers));
    connect(m_actions[kExport], &QAction::triggered, this, [this] {
        if (CTarnwickDoc* doc = m_app.Document())
            DocController(*doc, m_app.Settings(), this).Export(m_app.ExportState());
    });
    connect(m_actions[kSetupOpen], &QAction::triggered, this,
            controller(&DocController::OpenSetup));
    connect(m_actions[kSetupEdit], &QAction::triggered, this,
            controller(&DocController::EditSetup));
    connect(m_actions[kSetupSave], &QAction::triggered, this, [this] {
        const bool shift = QApplication::keyboardModifiers() & Qt::ShiftModifier;
        if (CTarnwickDoc* doc = m_app.Document()) doc->SaveSetups(shift);
    });
    const std::pair<Command, StartView> newViews[] = {
        {kNewStatView, StartView::Stat},
        {kNewGraphView, StartView::Graph},
        {kNewTextView, StartView::Text},
        {kNewTrackView, StartView::Track},
        {kNewHistogramView, StartView::Histogram},
    };
    for (const auto& [command, kind] : newViews)
        connect(m_actions[command], &QAction::triggered, this,
                [this, kind = kind] { OpenView(kind); });
    // These commands act on the active view.
    for (const auto& [command, viewCommand] : kViewCommands) {
        connect(m_actions[command], &QAction::triggered, this,
                [this, viewCommand = viewCommand] { RunViewCommand(viewCommand); });
    }
    connect(m_actions[kCascade], &QAction::triggered, m_mdi, &QMdiArea::cascadeSubWindows);
    connect(m_actions[kTileHorizontally], &QAction::triggered, this, [this] {
        // One above the other, each as wide as the area.
        const auto windows = m_mdi->subWindowList();
        if (windows.isEmpty()) return;
        const QRect area = m_mdi->viewport()->rect();
        const int h = area.height() / static_cast<int>(windows.size());
        int y = 0;
        for (QMdiSubWindow* w : windows) {
            w->showNormal();
            w->setGeometry(0, y, area.width(), h);
            y += h;
        }
    });
    connect(m_actions[kTileVertically], &QAction::triggered, this, [this] {
        const auto windows = m_mdi->subWindowList();
        if (windows.isEmpty()) return;
        const QRect area = m_mdi->viewport()->rect();
        const int w = area.width() / static_cast<int>(windows.size());
        int x = 0;
        for (QMdiSubWindow* window : windows) {
            window->showNormal();
            window->setGeometry(x, 0, w, area.height());
            x += w;
        }
    });
}

void CMainFrame::CreateMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(m_actions[kFileOpen]);
    file->addAction(m_actions[kAddBuffers]);
    file->addAction(m_actions[kDeleteBuffers]);
    file->addSeparator();
    file->addAction(m_actions[kExport]);
    file->addSeparator();
    file->addAction(m_actions[kOpenWorkspace]);
    file->addAction(m_actions[kSaveWorkspace]);
    file->addAction(m_actions[kSaveLayout]);
    m_recentWorkspaceMenu = file->addMenu(tr("Recent Wor&kspaces"));
    file->addSeparator();
    file->addAction(m_actions[kSetupOpen]);
    file->addAction(m_actions[kSetupSave]);
    file->addAction(m_actions[kSetupEdit]);
    file->addSeparator();
    file->addAction(m_actions[kPrint]);
    file->addAction(m_actions[kPrintPreview]);
    file->addAction(m_actions[kPrintSetup]);
    file->addSeparator();
    m_recentMenu = file->addMenu(tr("Recent &Files"));
    file->addSeparator();
    QAction* exit = file->addAction(tr("E&xit"));
    exit->setShortcut(QKeySequence::Quit);
    connect(exit, &QAction::triggered, this, &QWidget::close);
    RebuildRecentMenu();
    RebuildRecentWorkspaceMenu();

    QMenu* view = menuBar()->addMenu(tr("&View"));
    m_toolBarToggle = view->addAction(tr("&Toolbar"));
    m_statusBarToggle = view->addAction(tr("&Status Bar"));
    view->addSeparator();
    view->addAction(m_actions[kCursorMode]);
    view->addAction(m_actions[kZoomSelection]);
    view->addAction(m_actions[kZoomInX]);
    view->addAction(m_actions[kZoomOutX]);
    view->addAction(m_actions[kZoomInY]);
    view->addAction(m_actions[kZoomOutY]);
    view->addAction(m_actions[kFitY]);
    view->addSeparator();
    // The lap the deltas, sector and corner tables compare with: the fastest lap, or any
    // loaded lap; filled afresh each time it opens, as the laps come and go.
    QMenu* reference = view->addMenu(tr("&Reference Lap"));
    reference->setObjectName("ReferenceLapMenu");
    connect(reference, &QMenu::aboutToShow, this, [this, reference] {
        reference->clear();
        CTarnwickDoc* doc = m_app.Document();
        auto* group = new QActionGroup(reference);
        const int choice = doc != nullptr ? doc->ReferenceLapChoice() : -1;
        const int count = doc != nullptr ? doc->BufCount() : 0;
        for (int b = -1; b < count; ++b) {
            const QString name = b < 0 ? tr("&Fastest Lap")
                                       : QStringLiteral("&%1 %2").arg(b + 1).arg(
                                             QString::fromStdString(doc->Buffer(b)->InfoGetName()));
            QAction* action = reference->addAction(name);
            action->setCheckable(true);
            action->setChecked(b == choice);
            action->setEnabled(doc != nullptr);
            group->addAction(action);
            connect(action, &QAction::triggered, this, [this, b] {
                if (CTarnwickDoc* d = m_app.Document()) d->SetReferenceLap(b);
            });
        }
    });
    view->addSeparator();
    view->addAction(m_actions[kOptions]);

    QMenu* window = menuBar()->addMenu(tr("&Window"));
    window->addAction(m_actions[kNewStatView]);
    window->addAction(m_actions[kNewGraphView]);
    window->addAction(m_actions[kNewTextView]);
    window->addAction(m_actions[kNewTrackView]);
    window->addAction(m_actions[kNewHistogramView]);
    window->addAction(m_actions[kAnalysisLayout]);
    window->addSeparator();
    window->addAction(m_actions[kCascade]);
    window->addAction(m_actions[kTileHorizontally]);
    window->addAction(m_actions[kTileVertically]);
    QAction* next = window->addAction(tr("Ne&xt Window"));
    next->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F9));
    connect(next, &QAction::triggered, m_mdi, &QMdiArea::activateNextSubWindow);
    QAction* previous = window->addAction(tr("Pre&vious Window"));
    previous->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F9));
    connect(previous, &QAction::triggered, m_mdi, &QMdiArea::activatePreviousSubWindow);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    QAction* guide = help->addAction(tr("&User Guide"));
    guide->setShortcut(QKeySequence::HelpContents);
    guide->setStatusTip(tr("Read how to use Tarnwick"));
    connect(guide, &QAction::triggered, this, &CMainFrame::ShowGuide);
    QAction* home = help->addAction(tr("&Home Page"));
    connect(home, &QAction::triggered, &m_app, &CTarnwickApp::OnHomePage);
    QAction* about = help->addAction(tr("&About Tarnwick..."));
    connect(about, &QAction::triggered, &m_app, &CTarnwickApp::OnAbout);

    // Statistics print font size, without a menu entry.
    auto* larger = new QAction(this);
    larger->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    connect(larger, &QAction::triggered, this, [this] { m_app.AdjustStatPrintFont(+1); });
    auto* smaller = new QAction(this);
    smaller->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
    connect(smaller, &QAction::triggered, this, [this] { m_app.AdjustStatPrintFont(-1); });
    addActions({larger, smaller});
}

void CMainFrame::CreateToolBar() {
    QToolBar* bar = addToolBar(tr("Standard"));
    bar->setObjectName("StandardToolBar");  // the bar state is stored under this name
    bar->setIconSize(QSize(16, 16));
    const std::vector<std::vector<Command>> groups = {
        {kFileOpen, kAddBuffers, kDeleteBuffers},
        {kSetupOpen, kSetupSave, kSetupEdit},
        {kNewStatView, kNewGraphView, kNewTextView, kNewTrackView},
        {kCursorMode, kZoomSelection, kZoomInX, kZoomOutX},
        {kZoomInY, kZoomOutY},
        {kCascade, kTileHorizontally, kTileVertically},
    };
    for (std::size_t g = 0; g < groups.size(); ++g) {
        if (g > 0) bar->addSeparator();
        for (Command c : groups[g])
            bar->addAction(m_actions[c]);
    }
    m_toolBarToggle->setCheckable(true);
    m_toolBarToggle->setChecked(true);
    connect(m_toolBarToggle, &QAction::toggled, bar, &QWidget::setVisible);
    connect(bar, &QToolBar::visibilityChanged, m_toolBarToggle, &QAction::setChecked);
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    const QFontMetrics metrics(bar->font());
    auto pane = [&](const char* name, const QString& sizeText) {
        auto* label = new QLabel(bar);
        label->setObjectName(name);
        label->setMinimumWidth(metrics.horizontalAdvance(sizeText) + 8);
        label->setAlignment(Qt::AlignCenter);
        bar->addPermanentWidget(label);
        return label;
    };
    m_timePane = pane("TimeRangePane", "0:00.000s - 0:00.000s");
    m_distancePane = pane("DistanceRangePane", "00000.000 - 00000.000");
    m_numPane = pane("NumPane", "NUM");
    // The message pane says "Ready" whenever no prompt or message is shown.
    bar->showMessage(tr("Ready"));
    connect(bar, &QStatusBar::messageChanged, bar, [bar](const QString& message) {
        if (message.isEmpty()) bar->showMessage(tr("Ready"));
    });
    m_statusBarToggle->setCheckable(true);
    m_statusBarToggle->setChecked(true);
    connect(m_statusBarToggle, &QAction::toggled, bar, &QWidget::setVisible);
    SetRangeTexts({}, {});
}

void CMainFrame::SetRangeTexts(const QString& time, const QString& distance) {
    m_timePane->setText(time);
    m_distancePane->setText(distance);
    m_timePane->setEnabled(!time.isEmpty());
    m_distancePane->setEnabled(!distance.isEmpty());
}

namespace {
// A recent list's menu: "&1 path" ... in the list's order, disabled when empty.
void FillRecentMenu(QMenu& menu, const QStringList& files, QObject& context,
                    const std::function<void(const QString&)>& open) {
    menu.clear();
    for (int i = 0; i < files.size(); ++i) {
        QAction* action = menu.addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(files[i]));
        const QString path = files[i];
        QObject::connect(action, &QAction::triggered, &context, [open, path] { open(path); });
    }
    menu.setEnabled(!files.isEmpty());
}
}  // namespace

void CMainFrame::RebuildRecentMenu() {
    FillRecentMenu(*m_recentMenu, m_app.RecentFiles(), *this,
                   [this](const QString& path) { m_app.OpenRecentFile(path); });
}

void CMainFrame::RebuildRecentWorkspaceMenu() {
    FillRecentMenu(*m_recentWorkspaceMenu, m_app.RecentWorkspaces(), *this,
                   [this](const QString& path) { m_app.OpenWorkspace(path); });
}

QString CMainFrame::FormatWindowPos(const QRect& normal, bool maximised) {
    // Flags, show command, minimised and maximised positions, normal rectangle.
    return QString::asprintf("%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", maximised ? 2u : 0u,
                             maximised ? 3u : 1u, -1, -1, -1, -1, normal.left(), normal.top(),
                             normal.left() + normal.width(), normal.top() + normal.height());
}

bool CMainFrame::ParseWindowPos(const QString& text, QRect& normal) {
    const QStringList parts = text.split(',');
    if (parts.size() != 10) return false;
    int values[10];
    for (int i = 0; i < 10; ++i) {
        bool ok = false;
        values[i] = parts[i].trimmed().toInt(&ok);
        if (!ok) return false;
    }
    const int left = values[6], top = values[7], right = values[8], bottom = values[9];
    if (right <= left || bottom <= top) return false;
    normal = QRect(left, top, right - left, bottom - top);
    return true;
}

void CMainFrame::RestorePlacement() {
    QSettings& store = m_app.Store();
    QRect normal;
    // A maximised state is not restored: the window opens normally at its normal place.
    if (ParseWindowPos(store.value(kWindowPos).toString(), normal)) setGeometry(normal);
    restoreState(store.value(kBarState).toByteArray());
}

void CMainFrame::SavePlacement() {
    QSettings& store = m_app.Store();
    store.setValue(kBarState, saveState());
    const QRect normal = isMaximized() ? normalGeometry() : geometry();
    store.setValue(kWindowPos, FormatWindowPos(normal, isMaximized()));
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!m_app.CloseDocument()) {
        event->ignore();
        return;
    }
    SavePlacement();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) paths << url.toLocalFile();
    }
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    // Several files open as one document, as File Open does.
    if (m_app.CloseDocument()) m_app.OpenFiles(paths);
}

CTarnwickDoc* CMainFrame::ActiveDocument() const {
    return m_mdi->activeSubWindow() != nullptr ? m_app.Document() : nullptr;
}

void CMainFrame::ShowGuide() {
    const QString guide = CGuideWindow::Find(QCoreApplication::applicationDirPath());
    if (guide.isEmpty()) {
        morlund::ShowMessage(CGuideWindow::kNotInstalledText, morlund::MessageIcon::Information);
        return;
    }
    auto* window = new CGuideWindow(guide, this);
    window->setWindowFlag(Qt::Window);
    window->show();
}

CViewFrame* CMainFrame::ActiveViewFrame() const {
    return qobject_cast<CViewFrame*>(m_mdi->activeSubWindow());
}

void CMainFrame::RunViewCommand(ViewCommand command) {
    const CViewFrame* frame = ActiveViewFrame();
    if (QAction* action = frame != nullptr ? frame->ViewAction(command) : nullptr) {
        if (action->isEnabled()) action->trigger();
    }
    UpdateCommands();
}

CViewFrame* CMainFrame::OpenView(StartView kind, CTarnwickDoc* doc) {
    if (doc == nullptr) doc = ActiveDocument() != nullptr ? ActiveDocument() : m_app.Document();
    if (doc == nullptr) return nullptr;
    CViewFrame* frame = CreateViewFrame(kind, *doc, m_app.Settings());
    if (frame == nullptr) return nullptr;
    frame->installEventFilter(this);
    m_mdi->addSubWindow(frame);
    // A new window takes the active one's size, the first one most of the area.
    const QMdiSubWindow* model = m_mdi->activeSubWindow();
    frame->resize(model != nullptr && model != frame ? model->size()
                                                     : m_mdi->viewport()->size() * 0.9);
    frame->show();
    m_mdi->setActiveSubWindow(frame);
    // Keys go to the view itself, not to the first control of its window.
    if (QWidget* body = frame->widget()) body->setFocus(Qt::OtherFocusReason);
    UpdateCommands();
    return frame;
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Close || m_app.IsDroppingDocument()) return false;
    CTarnwickDoc* doc = m_app.Document();
    if (doc == nullptr || qobject_cast<CViewFrame*>(watched) == nullptr) return false;
    int others = 0;
    for (QMdiSubWindow* window : m_mdi->subWindowList())
        others += window != watched && qobject_cast<CViewFrame*>(window) != nullptr ? 1 : 0;
    if (others == 0 && !doc->SaveModified()) {
        event->ignore();
        return true;
    }
    return false;
}

void CMainFrame::OnWindowActivated(QMdiSubWindow* window) {
    // The range panes and the view commands follow the active view window.
    QObject::disconnect(m_rangeConnection);
    QObject::disconnect(m_commandsConnection);
    auto* frame = qobject_cast<CViewFrame*>(window);
    QString time, distance;
    if (frame != nullptr) {
        m_rangeConnection =
            connect(frame, &CViewFrame::RangeTextsChanged, this, &CMainFrame::SetRangeTexts);
        m_commandsConnection =
            connect(frame, &CViewFrame::CommandsChanged, this, &CMainFrame::UpdateCommands);
        if (!frame->RangeTexts(time, distance)) time = distance = QString();
    }
    SetRangeTexts(time, distance);
    UpdateCommands();
}

void CMainFrame::OnDocumentChanged(CTarnwickDoc* doc) {
    if (doc != nullptr) {
        connect(doc, &CTarnwickDoc::ViewsUpdated, this, &CMainFrame::UpdateCommands);
        connect(doc, &CTarnwickDoc::TitleChanged, this, &CMainFrame::UpdateCommands);
    }
    UpdateCommands();
}

void CMainFrame::UpdateCommands() {
    CTarnwickDoc* doc = m_app.Document();
    const bool active = ActiveDocument() != nullptr;
    m_actions[kAddBuffers]->setEnabled(doc != nullptr);
    m_actions[kDeleteBuffers]->setEnabled(doc != nullptr && doc->CanDeleteBuffers());
    m_actions[kSetupOpen]->setEnabled(doc != nullptr && doc->CanSetupOpenSave());
    m_actions[kSetupSave]->setEnabled(doc != nullptr && doc->CanSetupOpenSave());
    m_actions[kSetupEdit]->setEnabled(doc != nullptr && doc->CanSetupEdit() && HasSetupEditor());
    m_actions[kExport]->setEnabled(doc != nullptr && doc->CanExport());
    m_actions[kSaveWorkspace]->setEnabled(doc != nullptr);
    m_actions[kSaveLayout]->setEnabled(!m_mdi->subWindowList().isEmpty());
    m_actions[kAnalysisLayout]->setEnabled(doc != nullptr && doc->HasBuffers());
    // The view commands mirror the active view's own.
    const CViewFrame* frame = ActiveViewFrame();
    for (const auto& [command, viewCommand] : kViewCommands) {
        const QAction* own = frame != nullptr ? frame->ViewAction(viewCommand) : nullptr;
        m_actions[command]->setEnabled(own != nullptr && own->isEnabled());
        if (m_actions[command]->isCheckable())
            m_actions[command]->setChecked(own != nullptr && own->isChecked());
    }
    m_actions[kNewStatView]->setEnabled(active && HasViewKind(StartView::Stat));
    m_actions[kNewGraphView]->setEnabled(active && HasViewKind(StartView::Graph));
    m_actions[kNewTextView]->setEnabled(active && HasViewKind(StartView::Text));
    m_actions[kNewTrackView]->setEnabled(active && HasViewKind(StartView::Track) &&
                                         doc->CanNewTrackView());
    m_actions[kNewHistogramView]->setEnabled(active && HasViewKind(StartView::Histogram));
    const bool windows = !m_mdi->subWindowList().isEmpty();
    for (Command c : {kCascade, kTileHorizontally, kTileVertically})
        m_actions[c]->setEnabled(windows);
    setWindowTitle(doc != nullptr ? QStringLiteral("%1 - Tarnwick").arg(doc->Title())
                                  : QStringLiteral("Tarnwick"));
}

}  // namespace tarnwick
