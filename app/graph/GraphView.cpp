#include "app/graph/GraphView.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "app/graph/GraphModel.h"
#include "morlund/items/Formula.h"
#include "pellith/workspace/Workspace.h"
#include "app/shell/DocController.h"
#include "app/shell/SelectionListDlg.h"
#include "app/shell/SharedPrinter.h"
#include "app/shell/TarnwickDoc.h"
#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "morlund/items/CustomDataItem.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Wheel.h"

namespace tarnwick {

using morlund::DataItem;

namespace {

bool ShiftHeld() { return QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier); }

// A scroll bar action as the view's scroll action; false for none.
bool ToScrollAction(int sliderAction, ScrollAction& action) {
    switch (sliderAction) {
        case QAbstractSlider::SliderSingleStepSub:
            action = ScrollAction::LineBack;
            return true;
        case QAbstractSlider::SliderSingleStepAdd:
            action = ScrollAction::LineForward;
            return true;
        case QAbstractSlider::SliderPageStepSub:
            action = ScrollAction::PageBack;
            return true;
        case QAbstractSlider::SliderPageStepAdd:
            action = ScrollAction::PageForward;
            return true;
        case QAbstractSlider::SliderMove:
            action = ScrollAction::Thumb;
            return true;
        case QAbstractSlider::SliderToMinimum:
            action = ScrollAction::Top;
            return true;
        case QAbstractSlider::SliderToMaximum:
            action = ScrollAction::Bottom;
            return true;
        default:
            return false;
    }
}

void ApplyScrollBar(QScrollBar* bar, const ScrollBarSetup& setup) {
    bar->setRange(setup.minimum, setup.maximum);
    bar->setPageStep(setup.page);
    bar->setValue(setup.position);
}

}  // namespace

CGraphView::CGraphView(CTarnwickDoc& doc, const AppSettings& settings, QWidget* parent)
    : QAbstractScrollArea(parent),
      m_doc(&doc),
      m_settings(settings),
      m_items(BuildGraphItems(settings.map_max_radius)) {
    setObjectName(QStringLiteral("GraphView"));
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The picture covers the whole viewport; nothing to erase first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(false);

    m_state.xItem = std::max(FindItem(m_items, DataItem::DISTANCE), 0);
    m_state.yItem = std::max(FindItem(m_items, DataItem::SPEED), 0);
    m_state.wheel = morlund::Wheel::ALL;
    m_state.cursorMode = settings.default_cursor_mode != 0;
    m_state.drawLines = settings.default_draw_lines != 0;
    m_state.showValues = settings.default_show_values != 0;
    m_state.flickerFree = settings.flicker_free != 0;
    m_state.useMiles = settings.use_miles != 0;
    m_state.leftMargin = m_renderer.LeftMargin(false);
    m_state.plot = viewport()->rect();
    m_state.trackLength = doc.Manager() != nullptr ? doc.Manager()->GetTrackLen() : 0.0;
    m_state.xStart = 0.0;
    m_state.xEnd = m_state.trackLength;
    SyncXIsDistance();

    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
            &CGraphView::OnHorizontalAction);
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            &CGraphView::OnVerticalAction);
    connect(&doc, &CTarnwickDoc::TitleChanged, this, &CGraphView::Retitle);

    CreateActions();
    // Every command's state follows the view's state, so that keys work as the menus show.
    connect(this, &CGraphView::CommandsChanged, this, &CGraphView::RefreshActions);
    doc.AddView(this);
    OnUpdate(nullptr, DocUpdate::AllValues());
}

CGraphView::~CGraphView() {
    if (m_doc) m_doc->RemoveView(this);
}

void CGraphView::CreateActions() {
    struct CommandDef {
        Command id;
        const char* text;
        QKeySequence key;
        bool checkable;
        void (CGraphView::*slot)();
    };
    const CommandDef commands[] = {
        {kZoomInX, "Zoom In &X", QKeySequence(Qt::KeypadModifier | Qt::Key_Plus), false,
         &CGraphView::ZoomInX},
        {kZoomOutX, "Zoom Out X", QKeySequence(Qt::KeypadModifier | Qt::Key_Minus), false,
         &CGraphView::ZoomOutX},
        {kZoomInY, "Zoom In &Y", QKeySequence(Qt::KeypadModifier | Qt::Key_Asterisk), false,
         &CGraphView::ZoomInY},
        {kZoomOutY, "Zoom Out Y", QKeySequence(Qt::KeypadModifier | Qt::Key_Slash), false,
         &CGraphView::ZoomOutY},
        {kZoomSelection, "Zoom &Selection", QKeySequence(Qt::Key_Return), false,
         &CGraphView::ZoomSelection},
        {kZoomAll, "Zoom &All", QKeySequence(Qt::CTRL | Qt::Key_Z), false, &CGraphView::ZoomAll},
        {kFitY, "&Fit Y to Data", QKeySequence(Qt::CTRL | Qt::Key_F), false, &CGraphView::FitY},
        {kCursorMode, "&Cursor Mode", QKeySequence(Qt::CTRL | Qt::Key_C), true,
         &CGraphView::ToggleCursorMode},
        {kDrawLines, "Draw &Lines", QKeySequence(Qt::CTRL | Qt::Key_L), true,
         &CGraphView::ToggleDrawLines},
        {kShowValues, "Show &Values", QKeySequence(Qt::CTRL | Qt::Key_V), true,
         &CGraphView::ToggleShowValues},
        {kSync, "S&ynchronize", QKeySequence(Qt::CTRL | Qt::Key_Y), true, &CGraphView::ToggleSync},
        {kEditItem, "&Edit Item...", QKeySequence(Qt::CTRL | Qt::Key_I), false,
         &CGraphView::EditItem},
        {kAddOverlay, "Add &Overlay...", QKeySequence(Qt::Key_Insert), false,
         &CGraphView::AddOverlay},
        {kRemoveOverlay, "&Remove Overlay...", QKeySequence(Qt::Key_Delete), false,
         &CGraphView::RemoveOverlay},
        {kPrint, "&Print...", QKeySequence(Qt::CTRL | Qt::Key_P), false, &CGraphView::Print},
        {kPrintPreview, "Print Pre&view", QKeySequence(), false, &CGraphView::PrintPreview},
    };
    for (const CommandDef& def : commands) {
        auto* action = new QAction(tr(def.text), this);
        action->setShortcut(def.key);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        action->setCheckable(def.checkable);
        // Checkable actions toggle themselves; the view's flag is the truth.
        connect(action, &QAction::triggered, this, def.slot);
        addAction(action);
        m_actions[def.id] = action;
    }
}

void CGraphView::RefreshActions() {
    m_actions[kCursorMode]->setChecked(IsCursorMode());
    m_actions[kDrawLines]->setChecked(IsDrawLines());
    m_actions[kShowValues]->setChecked(IsShowValues());
    m_actions[kSync]->setChecked(IsSync());
    m_actions[kZoomSelection]->setEnabled(CanZoomSelection());
    m_actions[kZoomAll]->setEnabled(CanZoomAll());
    m_actions[kEditItem]->setEnabled(CanEditItem());
    m_actions[kAddOverlay]->setEnabled(CanAddOverlay());
    m_actions[kRemoveOverlay]->setEnabled(CanRemoveOverlay());
}

QMenu* CGraphView::CreateContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    RefreshActions();
    for (Command c : {kZoomInX, kZoomOutX, kZoomInY, kZoomOutY, kZoomSelection, kZoomAll, kFitY})
        menu->addAction(m_actions[c]);
    menu->addSeparator();
    for (Command c : {kCursorMode, kDrawLines, kShowValues, kSync})
        menu->addAction(m_actions[c]);
    menu->addSeparator();
    for (Command c : {kEditItem, kAddOverlay, kRemoveOverlay})
        menu->addAction(m_actions[c]);
    menu->addSeparator();
    menu->addAction(m_actions[kPrint]);
    menu->addAction(m_actions[kPrintPreview]);
    if (!m_extraMenuActions.empty()) {
        menu->addSeparator();
        for (QAction* action : m_extraMenuActions)
            menu->addAction(action);
    }
    return menu;
}

QStringList CGraphView::BufferNames() const {
    QStringList names;
    const morlund::BufManager* manager = m_doc ? m_doc->Manager() : nullptr;
    if (manager == nullptr) return names;
    for (int i = 0; i < manager->GetBufCount(); ++i)
        names << QString::fromStdString(manager->GetBuffer(i)->InfoGetName());
    return names;
}

GraphScene CGraphView::Scene(const GraphState& state, bool printing) const {
    GraphScene scene;
    scene.manager = m_doc ? m_doc->Manager() : nullptr;
    scene.referenceLap = m_doc ? m_doc->ReferenceLap() : -1;
    scene.corners = m_doc ? &m_doc->ReferenceCorners() : nullptr;
    scene.items = &m_items;
    scene.state = &state;
    scene.printing = printing;
    scene.lowColour = !printing && viewport()->depth() <= 8;
    return scene;
}

void CGraphView::SyncXIsDistance() { m_state.xIsDistance = IsDistanceItem(XGraphItem()); }

// --- choices of the selector bar -------------------------------------------------------

void CGraphView::SetX(int index) {
    if (index < 0 || index >= static_cast<int>(m_items.size()) || index == m_state.xItem) return;
    m_state.xItem = index;
    SyncXIsDistance();
    UpdateScrollBars();
    Retitle();
    Redraw();
}

void CGraphView::SetY(int index) {
    if (index < 0 || index >= static_cast<int>(m_items.size()) || index == m_state.yItem) return;
    m_state.yItem = index;
    UpdateScrollBars();
    Retitle();
    Redraw();
}

void CGraphView::SetWheel(const morlund::Wheel* wheel) {
    if (wheel == nullptr || wheel == m_state.wheel) return;
    m_state.wheel = wheel;
    Redraw();
}

void CGraphView::SetBuffer(int index) {
    if (index == m_state.buffer) return;
    m_state.buffer = index;
    Redraw();
    Notify(DocUpdate::Kind::BufferChosen);
}

void CGraphView::OnBufferSelected(int index) {
    if (m_updatingSelector || index < 0) return;
    SetBuffer(index);
}

// --- zoom ---------------------------------------------------------------------------------

void CGraphView::ZoomX(bool in, int steps) {
    const bool changed =
        in ? ZoomXIn(m_state, XGraphItem(), steps) : ZoomXOut(m_state, XGraphItem(), steps);
    if (!changed) return;
    UpdateScrollBars();
    Redraw();
    if (m_state.xIsDistance) Notify();
}

void CGraphView::ZoomY(bool in, int steps) {
    const bool changed = in ? ZoomYIn(YGraphItem(), steps) : ZoomYOut(YGraphItem(), steps);
    if (changed) Redraw();
}

void CGraphView::ZoomInX() { ZoomX(true, ShiftHeld() ? 2 : 1); }
void CGraphView::ZoomOutX() { ZoomX(false, ShiftHeld() ? 2 : 1); }
void CGraphView::ZoomInY() { ZoomY(true, 1); }
void CGraphView::ZoomOutY() { ZoomY(false, 1); }

void CGraphView::ZoomSelection() {
    if (!CanZoomSelection()) return;
    if (!tarnwick::ZoomSelection(m_state)) {
        RepaintSelection();
        return;
    }
    UpdateScrollBars();
    Redraw();
    Notify();
}

void CGraphView::ZoomAll() {
    tarnwick::ZoomAll(m_state);
    UpdateScrollBars();
    Redraw();
    Notify();
}

void CGraphView::FitY() {
    if (!m_doc || m_doc->Manager() == nullptr) return;
    GraphItem& y = YGraphItem();
    const auto range = ShownValueRange(*m_doc->Manager(), y, m_state.wheel, m_state);
    const auto axis = m_renderer.YAxis(Scene(m_state, false));
    if (!range || !axis) return;
    if (FitYToRange(y, m_state.wheel, *axis, range->first, range->second)) {
        UpdateScrollBars();
        Redraw();
    }
}

void CGraphView::SetVisibleRange(double from, double to) {
    if (!m_doc || m_doc->Manager() == nullptr || !m_state.xIsDistance) return;
    ViewHint hint = MakeViewHint(m_state);
    hint.cursorPos = -1.0;
    hint.selectionFrom = from;
    hint.selectionTo = to;
    FollowHint(m_state, m_state.trackLength, hint);
    UpdateScrollBars();
    Redraw();
}

void CGraphView::SaveState(pellith::WorkspaceWindow& window) const {
    const GraphItem& x = *m_items[m_state.xItem];
    const GraphItem& y = *m_items[m_state.yItem];
    if (!x.dataItems.empty()) window.Set("x", x.dataItems.front()->GetShortName());
    if (!y.dataItems.empty()) window.Set("y", y.dataItems.front()->GetShortName());
    if (m_state.wheel != nullptr) window.Set("wheel", m_state.wheel->GetShortName());
    std::vector<std::string> overlays;
    for (std::size_t i = 1; i < y.dataItems.size(); ++i)
        overlays.push_back(y.dataItems[i]->GetShortName());
    window.SetList("overlays", overlays);
    window.SetInt("xzoom", x.zoomLevel);
    window.SetInt("xoffset", x.offset);
    window.SetInt("yzoom", y.zoomLevel);
    window.SetInt("yoffset", y.offset);
    window.SetNumber("from", m_state.xStart);
    window.SetNumber("to", m_state.xEnd);
    window.SetBool("sync", m_state.sync);
    window.SetBool("cursor", m_state.cursorMode);
    window.SetBool("lines", m_state.drawLines);
    window.SetBool("values", m_state.showValues);
}

void CGraphView::RestoreState(const pellith::WorkspaceWindow& window,
                              std::vector<std::string>& problems) {
    const morlund::FormulaNames names = morlund::FormulaNames::FromCatalogue();
    const auto itemIndex = [&](const char* key) -> int {
        const auto name = window.Get(key);
        if (!name) return -1;
        const DataItem* item = names.FindItem(*name);
        const int index = item != nullptr ? FindItem(m_items, item) : -1;
        if (index < 0) problems.push_back("The graph's channel \"" + *name + "\" is not known.");
        return index;
    };
    const int x = itemIndex("x");
    if (x >= 0 && m_items[x]->CanBeX()) SetX(x);
    const int y = itemIndex("y");
    if (y >= 0 && m_items[y]->CanBeY()) SetY(y);
    if (const auto wheel = window.Get("wheel")) {
        if (const morlund::Wheel* w = names.FindWheel(*wheel))
            SetWheel(w);
        else
            problems.push_back("The graph's wheel \"" + *wheel + "\" is not known.");
    }
    GraphItem& yItem = YGraphItem();
    if (const auto overlays = window.GetList("overlays"); overlays && !yItem.dataItems.empty()) {
        yItem.dataItems.resize(1);
        for (const std::string& name : *overlays) {
            const DataItem* item = names.FindItem(name);
            if (item != nullptr)
                yItem.dataItems.push_back(item);
            else
                problems.push_back("The graph's overlay \"" + name + "\" is not known.");
        }
    }
    const auto clampZoom = [](int v) {
        return std::clamp(v, GraphItem::kMinZoomLevel, GraphItem::kMaxZoomLevel);
    };
    const auto clampOffset = [](int v) {
        return std::clamp(v, -GraphItem::kMaxOffset, GraphItem::kMaxOffset);
    };
    if (const auto v = window.GetInt("xzoom")) XGraphItem().zoomLevel = clampZoom(*v);
    if (const auto v = window.GetInt("xoffset")) XGraphItem().offset = clampOffset(*v);
    if (const auto v = window.GetInt("yzoom")) yItem.zoomLevel = clampZoom(*v);
    if (const auto v = window.GetInt("yoffset")) yItem.offset = clampOffset(*v);
    const auto from = window.GetNumber("from");
    const auto to = window.GetNumber("to");
    if (from && to) SetVisibleRange(*from, *to);
    const std::pair<const char*, bool*> switches[] = {{"sync", &m_state.sync},
                                                      {"cursor", &m_state.cursorMode},
                                                      {"lines", &m_state.drawLines},
                                                      {"values", &m_state.showValues}};
    for (const auto& [key, flag] : switches) {
        if (const auto v = window.GetBool(key)) *flag = *v;
    }
    emit SyncChanged(m_state.sync);
    RefreshActions();
    UpdateScrollBars();
    Retitle();
    Redraw();
    emit CommandsChanged();
}

bool CGraphView::CanZoomSelection() const { return tarnwick::CanZoomSelection(m_state); }
bool CGraphView::CanZoomAll() const { return tarnwick::CanZoomAll(m_state); }

// --- switches -----------------------------------------------------------------------------

void CGraphView::ToggleCursorMode() {
    m_state.cursorMode = !m_state.cursorMode;
    Redraw();
}

void CGraphView::ToggleDrawLines() {
    m_state.drawLines = !m_state.drawLines;
    Redraw();
}

void CGraphView::ToggleShowValues() {
    m_state.showValues = !m_state.showValues;
    Redraw();
}

void CGraphView::ToggleSync() {
    m_state.sync = !m_state.sync;
    m_actions[kSync]->setChecked(m_state.sync);
    emit SyncChanged(m_state.sync);
    emit CommandsChanged();
    if (m_state.sync) Notify();
}

// --- items ----------------------------------------------------------------------------------

bool CGraphView::CanEditItem() const {
    const GraphItem& y = *m_items[m_state.yItem];
    return !y.dataItems.empty() && !y.dataItems.front()->IsStandard();
}

bool CGraphView::CanAddOverlay() const { return !m_items[m_state.yItem]->dataItems.empty(); }

bool CGraphView::CanRemoveOverlay() const { return m_items[m_state.yItem]->dataItems.size() > 1; }

void CGraphView::EditItem() {
    if (!CanEditItem() || !m_doc) return;
    // Formula channels are the only items that are not standard ones.
    auto* item = dynamic_cast<morlund::CustomDataItem*>(
        const_cast<DataItem*>(YGraphItem().dataItems.front()));
    if (item != nullptr) DocController(*m_doc, m_settings, this).EditCustomItem(*item);
}

bool CGraphView::Choose(const std::vector<std::string>& names, const QString& title,
                        std::vector<int>& chosen) {
    if (m_chooser) return m_chooser(names, title, chosen);
    SelectionListDlg dialog(names, title, this);
    if (dialog.exec() != QDialog::Accepted) return false;
    chosen = dialog.selection;
    return true;
}

void CGraphView::AddOverlay() {
    if (!CanAddOverlay()) return;
    GraphItem& item = YGraphItem();
    const std::vector<const DataItem*> candidates = AddOverlayCandidates(item);
    std::vector<std::string> names;
    for (const DataItem* candidate : candidates)
        names.push_back(candidate->GetName());
    std::vector<int> chosen;
    if (!Choose(names, tr(kAddOverlayTitle), chosen)) return;
    bool added = false;
    for (int index : chosen) {
        if (index < 0 || index >= static_cast<int>(candidates.size())) continue;
        item.dataItems.push_back(candidates[index]);
        added = true;
    }
    if (!added) return;
    Retitle();
    Redraw();
}

void CGraphView::RemoveOverlay() {
    if (!CanRemoveOverlay()) return;
    GraphItem& item = YGraphItem();
    const std::vector<int> positions = RemoveOverlayCandidates(item);
    std::vector<std::string> names;
    for (int position : positions)
        names.push_back(item.dataItems[position]->GetName());
    std::vector<int> chosen;
    if (!Choose(names, tr(kRemoveOverlayTitle), chosen)) return;
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    bool removed = false;
    // From the last to the first, so that the positions stay valid.
    for (auto it = chosen.rbegin(); it != chosen.rend(); ++it) {
        if (*it < 0 || *it >= static_cast<int>(positions.size())) continue;
        item.dataItems.erase(item.dataItems.begin() + positions[*it]);
        removed = true;
    }
    if (!removed) return;
    Retitle();
    Redraw();
}

// --- selection and cursor --------------------------------------------------------------

void CGraphView::SetCursorColumn(int x) {
    m_state.cursorX = ClampCursorColumn(m_state, x);
    Redraw();
    Notify();
}

void CGraphView::SetSelection(int from, int to) {
    m_state.selStart = ClampSelectionColumn(m_state, from);
    m_state.selEnd = ClampSelectionColumn(m_state, to);
    if (m_state.selStart == m_state.selEnd) ClearSelection(m_state);
    RepaintSelection();
}

void CGraphView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const int x = event->position().toPoint().x();
    if (m_state.cursorMode) {
        SetCursorColumn(x);
        return;
    }
    m_selecting = true;
    m_state.selStart = m_state.selEnd = ClampSelectionColumn(m_state, x);
    RepaintSelection();
}

void CGraphView::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    const int x = event->position().toPoint().x();
    if (m_state.cursorMode) {
        SetCursorColumn(x);
        return;
    }
    if (!m_selecting) return;
    m_state.selEnd = ClampSelectionColumn(m_state, x);
    RepaintSelection();
}

void CGraphView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_state.cursorMode || !m_selecting) return;
    m_selecting = false;
    m_state.selEnd = ClampSelectionColumn(m_state, event->position().toPoint().x());
    // A click without a drag clears the selection.
    if (!HasSelection(m_state)) ClearSelection(m_state);
    RepaintSelection();
}

void CGraphView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    // The second click of a double click places the cursor like any other click.
    if (m_state.cursorMode)
        SetCursorColumn(event->position().toPoint().x());
    else
        ZoomAll();
}

void CGraphView::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    // Some systems turn Shift+wheel into a horizontal turn.
    const int steps = WheelSteps(delta.y() != 0 ? delta.y() : delta.x());
    event->accept();
    if (steps == 0) return;
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    const bool in = steps > 0;
    const int n = in ? steps : -steps;
    if (shift)
        ZoomY(in, n);
    else
        ZoomX(in, n);
}

void CGraphView::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers();
    // With Ctrl held the keys are commands, never scrolling.
    if (mods.testFlag(Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    const bool shift = mods.testFlag(Qt::ShiftModifier);
    const int steps = shift ? 2 : 1;
    if (mods.testFlag(Qt::KeypadModifier)) {
        switch (event->key()) {
            case Qt::Key_Plus:
                ZoomX(true, steps);
                return;
            case Qt::Key_Minus:
                ZoomX(false, steps);
                return;
            case Qt::Key_Asterisk:
                ZoomY(true, 1);
                return;
            case Qt::Key_Slash:
                ZoomY(false, 1);
                return;
            default:
                break;
        }
    }
    if (event->key() == Qt::Key_Enter || event->key() == Qt::Key_Return) {
        ZoomSelection();
        return;
    }
    const KeyScroll scroll = ScrollForKey(event->key());
    if (scroll.axis == KeyScroll::kY) {
        ScrollAxis(YGraphItem(), scroll.action, 0);
        UpdateScrollBars();
        Redraw();
        return;
    }
    if (scroll.axis == KeyScroll::kX) {
        if (m_state.xIsDistance) {
            ScrollDistance(m_state, scroll.action, 0.0, shift);
            UpdateScrollBars();
            Redraw();
            Notify();
        } else {
            ScrollAxis(XGraphItem(), scroll.action, 0);
            UpdateScrollBars();
            Redraw();
        }
        return;
    }
    // The scroll area's own key handling would move the scroll bars behind the view's back.
    event->ignore();
}

void CGraphView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = CreateContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

// --- scroll bars ---------------------------------------------------------------------------

void CGraphView::UpdateScrollBars() {
    ApplyScrollBar(horizontalScrollBar(),
                   m_state.xIsDistance ? DistanceScrollBar(m_state) : AxisScrollBar(XGraphItem()));
    ApplyScrollBar(verticalScrollBar(), AxisScrollBar(YGraphItem()));
}

// The scroll bars only report what the user asked for; the view decides where they stand.
void CGraphView::scrollContentsBy(int, int) {}

void CGraphView::OnHorizontalAction(int action) {
    ScrollX(action, horizontalScrollBar()->sliderPosition(), ShiftHeld());
}

void CGraphView::ScrollX(int sliderAction, int position, bool shift) {
    ScrollAction action;
    if (!ToScrollAction(sliderAction, action)) return;
    if (m_state.xIsDistance) {
        ScrollDistance(m_state, action, position, shift);
        UpdateScrollBars();
        Redraw();
        Notify();
    } else {
        ScrollAxis(XGraphItem(), action, position);
        UpdateScrollBars();
        Redraw();
    }
}

void CGraphView::OnVerticalAction(int sliderAction) {
    ScrollAction action;
    if (!ToScrollAction(sliderAction, action)) return;
    ScrollAxis(YGraphItem(), action, verticalScrollBar()->sliderPosition());
    UpdateScrollBars();
    Redraw();
}

// --- painting ------------------------------------------------------------------------------

void CGraphView::Redraw() {
    m_pictureValid = false;
    viewport()->update();
    EmitRanges();
    emit CommandsChanged();
}

void CGraphView::RepaintSelection() {
    // In cursor mode the value boxes follow the cursor: the picture itself changes.
    if (m_state.cursorMode) m_pictureValid = false;
    viewport()->update();
    EmitRanges();
    emit CommandsChanged();
}

void CGraphView::EnsurePicture() {
    const QSize size = viewport()->size();
    if (m_pictureValid && m_picture.size() == size) return;
    if (m_picture.size() != size) m_picture = QImage(size, QImage::Format_RGB32);
    if (m_picture.isNull()) return;
    // The band is inverted over the kept picture, so the picture is drawn without it.
    GraphState state = m_state;
    state.plot = QRect(QPoint(0, 0), size);
    if (!state.cursorMode) ClearSelection(state);
    QPainter painter(&m_picture);
    m_renderer.Paint(painter, Scene(state, false));
    ++m_pictureRenders;
    m_pictureValid = true;
}

void CGraphView::paintEvent(QPaintEvent*) {
    m_state.plot = viewport()->rect();
    QPainter painter(viewport());
    if (!m_state.flickerFree) {
        m_renderer.Paint(painter, Scene(m_state, false));
        ++m_pictureRenders;
        return;
    }
    EnsurePicture();
    painter.drawImage(0, 0, m_picture);
    if (!m_state.cursorMode) m_renderer.PaintSelection(painter, Scene(m_state, false));
}

void CGraphView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    m_state.plot = viewport()->rect();
    m_pictureValid = false;
    EmitRanges();
}

// --- printing ------------------------------------------------------------------------------

void CGraphView::PrintTo(QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) return;
    // Screen-sized drawing scaled to the printer's resolution.
    const double scaleX = static_cast<double>(printer.logicalDpiX()) / logicalDpiX();
    const double scaleY = static_cast<double>(printer.logicalDpiY()) / logicalDpiY();
    painter.scale(scaleX, scaleY);
    GraphState state = m_state;
    state.plot = PrintPlotRect(QSize(printer.width(), printer.height()), scaleX, scaleY);
    state.leftMargin = m_renderer.LeftMargin(true);
    // The band and the cursor keep their distances on the page.
    const auto column = [&](int x) { return DistanceToPixel(state, PixelToDistance(m_state, x)); };
    if (state.xIsDistance) {
        state.cursorX = column(m_state.cursorX);
        if (HasSelection(m_state)) {
            state.selStart = column(m_state.selStart);
            state.selEnd = column(m_state.selEnd);
        }
    }
    m_renderer.Paint(painter, Scene(state, true));
}

void CGraphView::Print() {
    QPrinter& printer = SharedPrinter();
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) PrintTo(printer);
}

void CGraphView::PrintPreview() {
    QPrintPreviewDialog preview(&SharedPrinter(), this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* p) { PrintTo(*p); });
    preview.exec();
}

// --- the document ---------------------------------------------------------------------

void CGraphView::Notify(DocUpdate::Kind kind) {
    if (!m_state.sync || !m_doc) return;
    const ViewHint hint = MakeViewHint(m_state);
    m_doc->UpdateAllViews(this, kind == DocUpdate::Kind::BufferChosen
                                    ? DocUpdate::BufferChosen(hint)
                                    : DocUpdate::Moved(hint));
}

void CGraphView::Deactivated() { Notify(); }

void CGraphView::OnUpdate(DocView* sender, const DocUpdate& update) {
    if (!m_doc) return;
    // Other views' positions are followed only while synchronised; changes of
    // what the laps hold reach every view.
    if (update.IsPosition() && sender != nullptr && !m_state.sync) return;
    const morlund::BufManager* manager = m_doc->Manager();
    const double trackLength = manager != nullptr ? manager->GetTrackLen() : 0.0;
    const ViewHint values = update.hint ? *update.hint
                                        : ViewHint{m_doc->CurrentBuffer(), m_doc->CursorPos(),
                                                   m_doc->SelectionFrom(), m_doc->SelectionTo()};
    FollowHint(m_state, trackLength, values);

    if (!update.IsPosition()) {
        m_state.flickerFree = m_settings.flicker_free != 0;
        m_state.useMiles = m_settings.use_miles != 0;
        switch (update.kind) {
            case DocUpdate::Kind::BufferValues:
                // One lap's setup changed: the other laps' curves stay.
                if (manager != nullptr && manager->HasBuffer(update.buffer))
                    m_renderer.Invalidate(manager->GetBuffer(update.buffer));
                else
                    m_renderer.Invalidate();
                break;
            case DocUpdate::Kind::Buffers:
                m_renderer.KeepOnly(m_doc->Buffers());
                break;
            case DocUpdate::Kind::AllValues:
                m_renderer.Invalidate();
                break;
            default:
                break;
        }
        RefillBufferSelector();
    }
    m_state.buffer = CorrectBuffer(m_state.buffer, manager != nullptr ? manager->GetBufCount() : 0);
    m_updatingSelector = true;
    emit BufferSelected(m_state.buffer);
    m_updatingSelector = false;

    UpdateScrollBars();
    Retitle();
    Redraw();
}

void CGraphView::RefillBufferSelector() {
    m_updatingSelector = true;
    emit BufferListChanged(BufferNames(), m_state.buffer);
    m_updatingSelector = false;
}

void CGraphView::Retitle() {
    if (!m_doc) return;
    const QString title =
        GraphFrameTitle(YGraphItem().Name(-1), XGraphItem().Name(0), m_doc->Title());
    if (title != windowTitle()) setWindowTitle(title);
}

// --- status panes ----------------------------------------------------------------------

bool CGraphView::HasRangeTexts() const {
    const morlund::BufManager* manager = m_doc ? m_doc->Manager() : nullptr;
    return manager != nullptr && manager->HasBuffer(m_state.buffer) &&
           ViewDistanceRange(m_state).has_value();
}

QString CGraphView::TimeRangeText() const {
    if (!HasRangeTexts()) return QString();
    const auto range = ViewDistanceRange(m_state);
    return tarnwick::TimeRangeText(*m_doc->Manager(), m_state.buffer, range->first, range->second);
}

QString CGraphView::DistanceRangeText() const {
    if (!HasRangeTexts()) return QString();
    const auto range = ViewDistanceRange(m_state);
    return tarnwick::DistanceRangeText(range->first, range->second, m_state.useMiles);
}

void CGraphView::EmitRanges() { emit RangeTextsChanged(TimeRangeText(), DistanceRangeText()); }

}  // namespace tarnwick
