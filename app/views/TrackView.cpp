#include "app/views/TrackView.h"

#include <QAction>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSettings>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "app/graph/GraphRenderer.h"
#include "pellith/workspace/Workspace.h"
#include "app/shell/SharedPrinter.h"
#include "app/shell/TarnwickDoc.h"
#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Formula.h"
#include "pellith/analysis/Sectors.h"
#include "pellith/stats/StatTable.h"

namespace tarnwick {

namespace {

QSettings Store() { return QSettings(QStringLiteral("Ravelle"), QStringLiteral("Tarnwick")); }

}  // namespace

CTrackView::CTrackView(CTarnwickDoc& doc, const AppSettings& settings, QWidget* parent)
    : QWidget(parent), m_doc(&doc), m_settings(settings) {
    setObjectName(QStringLiteral("TrackView"));
    setFocusPolicy(Qt::StrongFocus);
    // The map covers the whole window; nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    CreateActions();

    const morlund::BufManager* manager = doc.Manager();
    m_checksum = manager != nullptr ? static_cast<std::uint32_t>(manager->GetTrackChecksum()) : 0;
    QSettings store = Store();
    ReadTrackSettings(store, m_checksum, m_state);
    m_state.overview = false;
    connect(&doc, &CTarnwickDoc::TitleChanged, this, &CTrackView::Retitle);
    doc.AddView(this);
    FollowDocument();
    Redraw();
}

CTrackView::~CTrackView() {
    if (m_doc) m_doc->RemoveView(this);
    QSettings store = Store();
    WriteTrackSettings(store, m_checksum, m_state);
}

void CTrackView::CreateActions() {
    struct CommandDef {
        Command id;
        const char* text;
        QKeySequence key;
        bool checkable;
        void (CTrackView::*slot)();
    };
    const CommandDef commands[] = {
        {kZoomIn, "Zoom &In", QKeySequence(Qt::KeypadModifier | Qt::Key_Plus), false, nullptr},
        {kZoomOut, "Zoom &Out", QKeySequence(Qt::KeypadModifier | Qt::Key_Minus), false, nullptr},
        {kFillMode, "Fill Mode", QKeySequence(Qt::CTRL | Qt::Key_M), true,
         &CTrackView::ToggleFillMode},
        {kSync, "Synchronize", QKeySequence(Qt::CTRL | Qt::Key_Y), true, &CTrackView::ToggleSync},
        {kShowTrack, "Track", QKeySequence(), true, nullptr},
        {kShowKerbs, "Kerb Stones", QKeySequence(), true, nullptr},
        {kShowBestLine, "Best Line", QKeySequence(), true, nullptr},
        {kShowPitLane, "Pit Lane", QKeySequence(), true, nullptr},
        {kShowRadius, "Radius", QKeySequence(), true, nullptr},
        {kShowCheckpoints, "Checkpoints", QKeySequence(), true, nullptr},
        {kShowCorners, "Corner Numbers", QKeySequence(), true, nullptr},
        {kPrint, "&Print...", QKeySequence(Qt::CTRL | Qt::Key_P), false, &CTrackView::Print},
        {kPrintPreview, "Print Pre&view", QKeySequence(), false, &CTrackView::PrintPreview},
    };
    for (const CommandDef& def : commands) {
        auto* action = new QAction(tr(def.text), this);
        action->setShortcut(def.key);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        action->setCheckable(def.checkable);
        if (def.slot != nullptr) connect(action, &QAction::triggered, this, def.slot);
        addAction(action);
        m_actions[def.id] = action;
    }
    connect(m_actions[kZoomIn], &QAction::triggered, this, [this] { ZoomIn(); });
    connect(m_actions[kZoomOut], &QAction::triggered, this, [this] { ZoomOut(); });
    const std::pair<Command, TrackLayer> layers[] = {
        {kShowTrack, kLayerTrack},       {kShowKerbs, kLayerKerbs},
        {kShowBestLine, kLayerBestLine}, {kShowPitLane, kLayerPitLane},
        {kShowRadius, kLayerRadius},     {kShowCheckpoints, kLayerCheckpoints},
        {kShowCorners, kLayerCorners},
    };
    for (const auto& [command, layer] : layers) {
        connect(m_actions[command], &QAction::triggered, this,
                [this, layer = layer] { ToggleLayer(layer); });
    }
    RefreshActions();
}

void CTrackView::RefreshActions() {
    m_actions[kFillMode]->setChecked(m_state.fillMode);
    m_actions[kSync]->setChecked(m_state.synchronize);
    m_actions[kShowTrack]->setChecked(m_state.Shows(kLayerTrack));
    m_actions[kShowKerbs]->setChecked(m_state.Shows(kLayerKerbs));
    m_actions[kShowBestLine]->setChecked(m_state.Shows(kLayerBestLine));
    m_actions[kShowPitLane]->setChecked(m_state.Shows(kLayerPitLane));
    m_actions[kShowRadius]->setChecked(m_state.Shows(kLayerRadius));
    m_actions[kShowCheckpoints]->setChecked(m_state.Shows(kLayerCheckpoints));
    m_actions[kShowCorners]->setChecked(m_state.Shows(kLayerCorners));
}

void CTrackView::SetColouring(const TrackColouring& colouring) {
    TrackColouring c = colouring;
    c.sectors = std::clamp(c.sectors, 1, pellith::kMaxSectorCount);
    m_state.colouring = c;
    Redraw();
}

QMenu* CTrackView::CreateContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    RefreshActions();
    if (IsGP2Map()) {
        for (Command c : {kShowTrack, kShowPitLane, kShowKerbs, kShowBestLine})
            menu->addAction(m_actions[c]);
    } else if (IsLFSMap()) {
        for (Command c : {kShowTrack, kShowCheckpoints})
            menu->addAction(m_actions[c]);
    }
    menu->addAction(m_actions[kShowRadius]);
    menu->addAction(m_actions[kShowCorners]);
    menu->addSeparator();
    AddColouringMenu(*menu);
    menu->addSeparator();
    menu->addAction(m_actions[kFillMode]);
    menu->addSeparator();
    menu->addAction(m_actions[kSync]);
    return menu;
}

// "Colour Line By": the current lap's line in its lap colour, by a channel of the
// catalogue (formula channels included), by the delta to the reference lap, or by the
// lap fastest in each mini-sector; and the range the ramp spans.
void CTrackView::AddColouringMenu(QMenu& menu) {
    QMenu* by = menu.addMenu(tr("Colour Line &By"));
    auto* group = new QActionGroup(by);
    const TrackColouring now = m_state.colouring;
    auto choice = [&](QMenu* into, const QString& text, int mode, int item) {
        QAction* action = into->addAction(text);
        action->setCheckable(true);
        action->setChecked(now.mode == mode &&
                           (mode != TrackColouring::kChannel || now.item == item));
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, mode, item] {
            TrackColouring c = m_state.colouring;
            c.mode = mode;
            if (mode == TrackColouring::kChannel) c.item = item;
            SetColouring(c);
        });
    };
    choice(by, tr("&Lap Colour"), TrackColouring::kLapColour, -1);
    choice(by, tr("&Delta to Reference"), TrackColouring::kDelta, -1);
    choice(by, tr("&Fastest Lap per Mini-Sector"), TrackColouring::kFastestSector, -1);
    QMenu* channels = by->addMenu(tr("&Channel"));
    auto it = morlund::DataItem::NewIterator();
    while (it->HasNext()) {
        const morlund::DataItem* item = it->GetNext();
        if (item == nullptr || item->GetLevel() > morlund::DataItem::LEVEL_CUSTOM) continue;
        choice(channels, QString::fromStdString(item->GetName()), TrackColouring::kChannel,
               item->GetOrdinal());
    }
    by->addSeparator();
    QAction* stretch = by->addAction(tr("Range of the &Shown Stretch"));
    stretch->setCheckable(true);
    stretch->setChecked(now.stretchRange);
    connect(stretch, &QAction::triggered, this, [this](bool on) {
        TrackColouring c = m_state.colouring;
        c.stretchRange = on;
        SetColouring(c);
    });
}

bool CTrackView::IsGP2Map() const {
    return m_doc && m_doc->Game() == morlund::GameType::GP2 && m_doc->IsGP2TrackLoaded();
}

bool CTrackView::IsLFSMap() const {
    return m_doc && m_doc->Game() == morlund::GameType::LFS && m_doc->IsLFSMeshLoaded();
}

TrackScene CTrackView::Scene(bool printing) const {
    TrackScene scene;
    if (m_doc) {
        scene.manager = m_doc->Manager();
        scene.gp2 = IsGP2Map() ? &m_doc->GP2Outline() : nullptr;
        scene.lfs = IsLFSMap() ? &m_doc->LFSMeshes() : nullptr;
        scene.colouredLap = m_doc->CurrentOrFirstBuffer();
        scene.referenceLap = m_doc->ReferenceLap();
        if (m_state.Shows(kLayerCorners)) scene.corners = &m_doc->ReferenceCorners();
    }
    scene.state = &m_state;
    scene.drawRect = rect();
    scene.background = m_background;
    scene.maxRadius = m_settings.map_max_radius;
    scene.printing = printing;
    scene.lowColour = !printing && depth() <= 8;
    return scene;
}

// --- commands -------------------------------------------------------------------------

bool CTrackView::ZoomIn(int steps) {
    if (!ZoomTrackIn(m_state, steps)) return false;
    Redraw();
    return true;
}

void CTrackView::ZoomOut(int steps) {
    ZoomTrackOut(m_state, steps);
    Redraw();
}

void CTrackView::ToggleFillMode() {
    m_state.fillMode = !m_state.fillMode;
    RefreshActions();
    Redraw();
}

void CTrackView::ToggleSync() {
    m_state.synchronize = !m_state.synchronize;
    RefreshActions();
    if (!m_state.synchronize) return;
    CentreOnCursor();
    Redraw();
}

void CTrackView::ToggleLayer(TrackLayer layer) {
    m_state.drawFlags ^= layer;
    RefreshActions();
    Redraw();
}

namespace {
// The layers' names in a workspace.
constexpr std::pair<TrackLayer, const char*> kLayerNames[] = {
    {kLayerTrack, "track"},       {kLayerKerbs, "kerbs"},   {kLayerBestLine, "bestline"},
    {kLayerPitLane, "pitlane"},   {kLayerRadius, "radius"}, {kLayerCheckpoints, "checkpoints"},
    {kLayerCorners, "corners"},
};
// The line's colourings by TrackColouring::Mode.
constexpr const char* kColouringNames[] = {"lap", "channel", "delta", "sectors"};
}  // namespace

void CTrackView::SaveState(pellith::WorkspaceWindow& window) const {
    window.SetInt("scale", m_state.scale);
    window.SetNumber("offsetx", m_state.offsetX);
    window.SetNumber("offsety", m_state.offsetY);
    std::vector<std::string> layers;
    for (const auto& [layer, name] : kLayerNames) {
        if (m_state.Shows(layer)) layers.emplace_back(name);
    }
    window.SetList("layers", layers);
    window.SetBool("sync", m_state.synchronize);
    const TrackColouring& c = m_state.colouring;
    window.Set("colouring", kColouringNames[std::clamp(c.mode, 0, 3)]);
    if (c.mode == TrackColouring::kChannel && c.item >= 0 &&
        c.item < morlund::DataItem::GetCount())
        window.Set("channel", morlund::DataItem::Get(c.item)->GetShortName());
    window.SetBool("stretch", c.stretchRange);
    window.SetInt("sectors", c.sectors);
}

void CTrackView::RestoreState(const pellith::WorkspaceWindow& window,
                              std::vector<std::string>& problems) {
    if (const auto scale = window.GetNumber("scale"))
        m_state.scale = static_cast<int>(std::clamp(std::round(*scale),
                                                    static_cast<double>(kMinTrackScale),
                                                    static_cast<double>(kMaxTrackScale)));
    // Offsets beyond any track are kept to a sane range.
    constexpr double kFar = 1e7;
    if (const auto x = window.GetNumber("offsetx")) m_state.offsetX = std::clamp(*x, -kFar, kFar);
    if (const auto y = window.GetNumber("offsety")) m_state.offsetY = std::clamp(*y, -kFar, kFar);
    m_state.overview = false;
    if (const auto layers = window.GetList("layers")) {
        int flags = 0;
        for (const std::string& name : *layers) {
            const auto it = std::find_if(std::begin(kLayerNames), std::end(kLayerNames),
                                         [&](const auto& entry) { return name == entry.second; });
            if (it != std::end(kLayerNames))
                flags |= it->first;
            else
                problems.push_back("The map layer \"" + name + "\" is not known.");
        }
        m_state.drawFlags = flags;
    }
    if (const auto sync = window.GetBool("sync")) m_state.synchronize = *sync;
    TrackColouring c = m_state.colouring;
    if (const auto mode = window.Get("colouring")) {
        const auto* named = std::find(std::begin(kColouringNames), std::end(kColouringNames), *mode);
        if (named != std::end(kColouringNames))
            c.mode = static_cast<int>(named - std::begin(kColouringNames));
        else
            problems.push_back("The map colouring \"" + *mode + "\" is not known.");
    }
    if (c.mode == TrackColouring::kChannel) {
        const auto name = window.Get("channel");
        const morlund::DataItem* item =
            name ? morlund::FormulaNames::FromCatalogue().FindItem(*name) : nullptr;
        if (item != nullptr) {
            c.item = item->GetOrdinal();
        } else {
            problems.push_back("The map's colouring channel \"" + name.value_or("") +
                               "\" is not known.");
            c.mode = TrackColouring::kLapColour;
        }
    }
    if (const auto stretch = window.GetBool("stretch")) c.stretchRange = *stretch;
    if (const auto sectors = window.GetInt("sectors")) c.sectors = *sectors;
    SetColouring(c);
    RefreshActions();
    Redraw();
}

void CTrackView::ToggleOverview() {
    tarnwick::ToggleOverview(m_state);
    FollowDocument();
    Redraw();
}

void CTrackView::Pan(int dx, int dy) {
    ScrollTrack(m_state, rect(), dx, dy);
    // Drawn straight to the screen, the window moves what it shows and asks for the
    // uncovered strips; the kept picture moves itself at the next paint.
    if (m_state.flickerFree)
        update();
    else
        scroll(dx, dy);
}

bool CTrackView::KeypadDigit(int digit, bool largeStep) {
    if (!KeypadPan(m_state, rect(), digit, largeStep)) return false;
    const QPoint moved = KeypadScroll(digit, largeStep ? kPanStepLarge : kPanStep);
    if (moved.isNull() || m_state.flickerFree)
        update();
    else
        scroll(moved.x(), moved.y());
    return true;
}

// --- the document ------------------------------------------------------------------------

void CTrackView::OnUpdate(DocView* sender, const DocUpdate& update) {
    if (!m_doc) return;
    if (update.hint) {
        const morlund::BufManager* manager = m_doc->Manager();
        TakeSelection(m_state, update.hint->selectionFrom, update.hint->selectionTo,
                      update.hint->cursorPos, manager != nullptr ? manager->GetTrackLen() : 0.0);
    } else {
        switch (update.kind) {
            case DocUpdate::Kind::Buffers:
                // Laps of another manager may lie where the old ones lay.
                if (m_doc->Manager() != m_manager)
                    m_renderer.DropLaps();
                else
                    m_renderer.KeepOnly(m_doc->Buffers());
                break;
            case DocUpdate::Kind::BufferValues:
                if (const morlund::PerfCore* buffer = m_doc->Buffer(update.buffer))
                    m_renderer.DropLap(buffer);
                else
                    m_renderer.DropLaps();
                break;
            case DocUpdate::Kind::AllValues:
                m_renderer.DropLaps();
                break;
            default:
                break;
        }
        FollowDocument();
    }
    // Synchronised, the map follows where the other views stand.
    if (m_state.synchronize && sender != nullptr) CentreOnCursor();
    Redraw();
}

void CTrackView::FollowDocument() {
    if (!m_doc) return;
    const morlund::BufManager* manager = m_doc->Manager();
    m_manager = manager;
    TakeSelection(m_state, m_doc->SelectionFrom(), m_doc->SelectionTo(), m_doc->CursorPos(),
                  manager != nullptr ? manager->GetTrackLen() : 0.0);
    m_state.flickerFree = m_settings.flicker_free != 0;
    const QColor background = IsLFSMap()
                                  ? GraphRenderer::ToQColor(m_doc->LFSMeshes().GetBackgroundColor())
                                  : kDefaultTrackBackground;
    if (background != m_background) {
        m_background = background;
        m_renderer.DropPicture();
    }
    Retitle();
}

void CTrackView::CentreOnCursor() {
    const morlund::PerfCore* first = m_doc ? m_doc->Buffer(0) : nullptr;
    if (first == nullptr) return;
    if (const auto sample = CursorSample(*first, m_state.cursor))
        CentreOn(m_state, rect(), *first, *sample);
}

void CTrackView::Retitle() {
    if (!m_doc) return;
    QString track;
    if (const morlund::BufManager* manager = m_doc->Manager()) {
        const char* outline = m_doc->IsGP2TrackLoaded() ? m_doc->GP2Outline().GetName() : nullptr;
        track = QString::fromStdString(
            pellith::GetStatTrackName(*manager, outline != nullptr ? outline : ""));
    }
    const QString title = QString::fromLatin1(kTitleFormat).arg(m_doc->Title(), track);
    if (title != windowTitle()) setWindowTitle(title);
}

void CTrackView::Redraw() { update(); }

// --- painting --------------------------------------------------------------------------------

const QImage& CTrackView::Picture() { return m_renderer.Picture(Scene(false)); }

void CTrackView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (m_state.flickerFree)
        painter.drawImage(0, 0, Picture());
    else
        m_renderer.Paint(painter, Scene(false), event->rect());
}

// --- mouse and keys ----------------------------------------------------------------------------

void CTrackView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_dragging = true;
    m_dragPoint = event->position().toPoint();
    setCursor(Qt::ClosedHandCursor);
}

void CTrackView::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging) return;
    const QPoint point = event->position().toPoint();
    const QPoint moved = point - m_dragPoint;
    m_dragPoint = point;
    if (!moved.isNull()) Pan(moved.x(), moved.y());
}

void CTrackView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_dragging) return;
    m_dragging = false;
    unsetCursor();
}

void CTrackView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) ToggleOverview();
}

void CTrackView::wheelEvent(QWheelEvent* event) {
    event->accept();
    const int steps = TakeWheelSteps(m_wheelRest, event->angleDelta().y());
    if (steps > 0)
        ZoomIn(steps);
    else if (steps < 0)
        ZoomOut(-steps);
}

void CTrackView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    // Only the keypad's digits pan; the main keys' digits are left to others.
    if (event->modifiers().testFlag(Qt::KeypadModifier) && key >= Qt::Key_0 && key <= Qt::Key_9) {
        KeypadDigit(key - Qt::Key_0, event->modifiers().testFlag(Qt::ControlModifier));
        return;
    }
    QWidget::keyPressEvent(event);
}

void CTrackView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = CreateContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

// --- printing --------------------------------------------------------------------------------

bool CTrackView::PrintTo(QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const double dpi = static_cast<double>(printer.logicalDpiX()) / std::max(logicalDpiX(), 1);
    const int inset = static_cast<int>(std::lround(kPrintInset * dpi));
    TrackScene scene = Scene(true);
    scene.drawRect =
        QRect(0, 0, printer.width(), printer.height()).adjusted(inset, inset, -inset, -inset);
    m_renderer.Paint(painter, scene, scene.drawRect);
    return painter.end();
}

void CTrackView::Print() {
    QPrintDialog dialog(&SharedPrinter(), this);
    if (dialog.exec() == QDialog::Accepted) PrintTo(SharedPrinter());
}

void CTrackView::PrintPreview() {
    QPrintPreviewDialog preview(&SharedPrinter(), this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { PrintTo(*printer); });
    preview.exec();
}

// --- CTrackFrame --------------------------------------------------------------------------------

CTrackFrame::CTrackFrame(CTarnwickDoc& doc, const AppSettings& settings, QWidget* parent)
    : CViewFrame(parent), m_view(new CTrackView(doc, settings)) {
    HoldView(m_view, doc, QStringLiteral("TrackFrame"));
}

CTrackFrame::~CTrackFrame() {
    // The view goes while this is still a track window (see the graph's frame).
    DropView();
}

QAction* CTrackFrame::ViewAction(ViewCommand command) const {
    switch (command) {
        // The keypad's + and - zoom the map as they zoom a graph's X axis.
        case ViewCommand::ZoomInX:
            return m_view->Action(CTrackView::kZoomIn);
        case ViewCommand::ZoomOutX:
            return m_view->Action(CTrackView::kZoomOut);
        case ViewCommand::Print:
            return m_view->Action(CTrackView::kPrint);
        case ViewCommand::PrintPreview:
            return m_view->Action(CTrackView::kPrintPreview);
        default:
            return nullptr;
    }
}

void RegisterTrackView() {
    RegisterViewKind(StartView::Track, [](CTarnwickDoc& doc, const AppSettings& settings) {
        return new CTrackFrame(doc, settings);
    });
}

void CTrackFrame::SaveState(pellith::WorkspaceWindow& window) const { m_view->SaveState(window); }

void CTrackFrame::RestoreState(const pellith::WorkspaceWindow& window,
                               std::vector<std::string>& problems) {
    m_view->RestoreState(window, problems);
}

}  // namespace tarnwick
