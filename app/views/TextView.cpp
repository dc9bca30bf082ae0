#include "app/views/TextView.h"

#include "pellith/workspace/Workspace.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <optional>

#include "app/shell/SelectionListDlg.h"
#include "app/shell/TarnwickDoc.h"
#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "morlund/items/Wheel.h"

namespace tarnwick {

using morlund::DataItem;
using morlund::PerfCore;
using morlund::Wheel;

namespace {

bool IsCopyOrSelectAll(const QKeyEvent& key) {
    return key.matches(QKeySequence::Copy) || key.matches(QKeySequence::SelectAll);
}

}  // namespace

CTxtView::CTxtView(CTarnwickDoc& doc, QWidget* parent)
    : QTableView(parent), m_doc(&doc), m_model(new CTxtModel(doc, this)) {
    setObjectName(QStringLiteral("TextView"));
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    // Rows of one height let the table find any row without asking for the others.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    QHeaderView* header = horizontalHeader();
    header->setDefaultSectionSize(kColumnWidth);
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    // A double click sorts once more, as two clicks would.
    const auto sort = [this](int column) {
        SortByColumn(column, QGuiApplication::keyboardModifiers().testFlag(Qt::ControlModifier));
    };
    connect(header, &QHeaderView::sectionClicked, this, sort);
    connect(header, &QHeaderView::sectionDoubleClicked, this, sort);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) { OnSelectionChanged(selected); });
    connect(&doc, &CTarnwickDoc::TitleChanged, this, &CTxtView::Retitle);

    CreateActions();
    doc.AddView(this);
    OnUpdate(nullptr, DocUpdate::AllValues());
}

CTxtView::~CTxtView() {
    if (m_doc) m_doc->RemoveView(this);
}

void CTxtView::CreateActions() {
    struct CommandDef {
        Command id;
        const char* text;
        QList<QKeySequence> keys;  // the first is the one menus show
        bool checkable;
        void (CTxtView::*slot)();
    };
    const CommandDef commands[] = {
        {kSelectBuffer,
         "Select buffer...",
         {QKeySequence(Qt::Key_B)},
         false,
         &CTxtView::SelectBuffer},
        {kAddColumns,
         "Add columns...",
         {QKeySequence(Qt::Key_Insert), QKeySequence(Qt::CTRL | Qt::Key_D)},
         false,
         &CTxtView::AddColumns},
        {kDeleteColumns,
         "Delete columns...",
         {QKeySequence(Qt::Key_Delete), QKeySequence(Qt::ALT | Qt::Key_B)},
         false,
         &CTxtView::DeleteColumns},
        {kSync, "Synchronize", {QKeySequence(Qt::CTRL | Qt::Key_Y)}, true, &CTxtView::ToggleSync},
    };
    for (const CommandDef& def : commands) {
        auto* action = new QAction(tr(def.text), this);
        action->setShortcuts(def.keys);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        action->setCheckable(def.checkable);
        connect(action, &QAction::triggered, this, def.slot);
        addAction(action);
        m_actions[def.id] = action;
    }
    m_actions[kSync]->setChecked(m_sync);
}

QMenu* CTxtView::CreateContextMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    menu->addAction(m_actions[kSelectBuffer]);
    menu->addSeparator();
    menu->addAction(m_actions[kAddColumns]);
    menu->addAction(m_actions[kDeleteColumns]);
    menu->addSeparator();
    menu->addAction(m_actions[kSync]);
    return menu;
}

void CTxtView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = CreateContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

// Copy and Select All belong to the table while it has the focus, not to the main
// window's commands on the same keys.
bool CTxtView::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride &&
        IsCopyOrSelectAll(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QTableView::event(event);
}

void CTxtView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        Copy();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);  // Select All among the rest
}

// --- the document ---------------------------------------------------------------------

void CTxtView::OnUpdate(DocView*, const DocUpdate& update) {
    if (!m_doc || m_selecting) return;
    // Other views' positions are followed only while synchronised.
    if (update.hint && !m_sync) return;
    Update(update.hint ? &*update.hint : nullptr);
}

void CTxtView::Update(const ViewHint* hint) {
    const morlund::BufManager* manager = m_doc->Manager();
    m_trackLength = manager != nullptr ? std::trunc(manager->GetTrackLen()) : 0.0;
    // A chosen lap that has been deleted gives way to the current one.
    if (m_bufferChoice >= m_doc->BufCount()) m_bufferChoice = -1;
    const int oldBuffer = m_shownBuffer;
    const double oldCursor = m_cursor, oldFrom = m_selectionFrom, oldTo = m_selectionTo;

    const ViewHint values = hint != nullptr
                                ? *hint
                                : ViewHint{m_doc->CurrentBuffer(), m_doc->CursorPos(),
                                           m_doc->SelectionFrom(), m_doc->SelectionTo()};
    m_currentBuffer = values.buffer;
    m_cursor = values.cursorPos;
    m_selectionFrom = values.selectionFrom;
    m_selectionTo = values.selectionTo;
    if (m_cursor < 0.0) m_cursor = m_selectionFrom;
    if (m_selectionTo == 0.0) m_selectionTo = m_trackLength;  // 0 .. 0: the whole lap
    m_shownBuffer = m_bufferChoice >= 0 ? m_bufferChoice : m_currentBuffer;

    const bool bufferChanged = m_shownBuffer != oldBuffer;
    if (hint == nullptr || bufferChanged || m_cursor != oldCursor || m_selectionFrom != oldFrom ||
        m_selectionTo != oldTo) {
        RowRange range{0, 0, m_cursorSample};
        if (const PerfCore* buffer = m_doc->Buffer(m_shownBuffer))
            range = FindRowRange(*buffer, m_selectionFrom, m_selectionTo, m_cursor, m_cursorSample);
        m_cursorSample = range.cursorSample;
        if (hint == nullptr || bufferChanged || range.first != m_firstRow ||
            range.last != m_lastRow) {
            m_firstRow = range.first;
            m_lastRow = range.last;
            Rebuild();
        }
        SelectCursorRow();
    }
    if (hint == nullptr || bufferChanged) Retitle();
}

void CTxtView::Rebuild() {
    const PerfCore* buffer = m_doc ? m_doc->Buffer(m_shownBuffer) : nullptr;
    TextRows rows;
    if (buffer != nullptr) {
        rows = SortRows(m_model->Columns(), m_model->Visible(), m_keys, *buffer, m_firstRow,
                        m_lastRow);
    }
    m_model->SetRows(m_shownBuffer, std::move(rows));
    ShowSortKey();
}

void CTxtView::SelectCursorRow() {
    const int row = m_model->Rows().RowOf(m_cursorSample);
    // The leftmost column on screen, so that the table does not scroll sideways.
    const int column = std::max(columnAt(0), 0);
    const QModelIndex index = m_model->index(row, column);
    if (!index.isValid()) return;
    m_selecting = true;
    selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_selecting = false;
    scrollTo(index);
}

void CTxtView::OnSelectionChanged(const QItemSelection& selected) {
    if (m_selecting || !m_sync || !m_doc || selected.isEmpty()) return;
    // The cursor follows a single row only; a wider selection is for copying.
    int row = -1;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        if (range.top() != range.bottom() || (row >= 0 && range.top() != row)) return;
        row = range.top();
    }
    const PerfCore* buffer = m_model->Buffer();
    if (row < 0 || row >= m_model->Rows().Count() || buffer == nullptr) return;
    const int sample = m_model->Rows().order[static_cast<std::size_t>(row)];
    if (sample >= buffer->GetSampleCount()) return;
    m_cursor = buffer->GetDistance(sample);
    m_cursorSample = sample;
    m_doc->UpdateAllViews(this, DocUpdate::Moved(ViewHint{m_currentBuffer, m_cursor,
                                                          m_selectionFrom, m_selectionTo}));
}

void CTxtView::Retitle() {
    if (!m_doc) return;
    const PerfCore* buffer = m_doc->Buffer(m_shownBuffer);
    std::optional<QString> name;
    if (buffer != nullptr) name = QString::fromStdString(buffer->InfoGetName());
    setWindowTitle(TextViewTitle(m_doc->Title(), name));
}

// --- sorting --------------------------------------------------------------------------

void CTxtView::SortByColumn(int column, bool ctrl) {
    if (column < 0 || column >= m_model->columnCount()) return;
    m_keys = ClickedSortKeys(m_keys, column, ctrl);
    Resort();
}

void CTxtView::Resort() {
    // The table stays where it was scrolled to, so that the top of a new order is in
    // sight; the cursor's sample stays chosen wherever it has moved to.
    const int top = verticalScrollBar()->value();
    Rebuild();
    SelectCursorRow();
    verticalScrollBar()->setValue(top);
}

// The header marks the first key's column.
void CTxtView::ShowSortKey() {
    const int key = m_keys.empty() ? 0 : m_keys.front();
    horizontalHeader()->setSortIndicator(key == 0 ? -1 : std::abs(key) - 1,
                                         key < 0 ? Qt::DescendingOrder : Qt::AscendingOrder);
}

// --- commands -----------------------------------------------------------------------------

bool CTxtView::Choose(const std::vector<std::string>& names, const QString& title, bool single,
                      std::vector<int>& selection) {
    if (m_chooser) return m_chooser(names, title, single, selection);
    SelectionListDlg dialog(names, title, this);
    dialog.single = single;
    dialog.selection = selection;
    if (dialog.exec() != QDialog::Accepted) return false;
    selection = dialog.selection;
    return true;
}

void CTxtView::SelectBuffer() {
    if (!m_doc) return;
    std::vector<std::string> names{kDefaultBuffer};
    for (int i = 0; i < m_doc->BufCount(); ++i)
        names.push_back(m_doc->Buffer(i)->InfoGetName());
    std::vector<int> selection{m_bufferChoice + 1};
    if (!Choose(names, tr(kSelectBufferTitle), true, selection) || selection.empty()) return;
    const int entry = selection.front();
    if (entry < 0 || entry >= static_cast<int>(names.size())) return;
    m_bufferChoice = entry - 1;
    Update(nullptr);
    m_doc->SetCurrentBuffer(m_bufferChoice >= 0 ? m_bufferChoice : m_currentBuffer);
}

void CTxtView::AddColumns() {
    const TextColumns& columns = m_model->Columns();
    const std::vector<int> candidates = AddColumnCandidates(columns);
    std::vector<std::string> names;
    for (const int index : candidates)
        names.push_back(columns[index]->GetItemName());
    std::vector<int> chosen;
    if (!Choose(names, tr(kAddColumnsTitle), false, chosen) || chosen.empty()) return;

    std::vector<const Wheel*> wheels;
    const bool perWheel = std::any_of(chosen.begin(), chosen.end(), [&](int choice) {
        return choice >= 0 && choice < static_cast<int>(candidates.size()) &&
               columns[candidates[choice]]->GetDataType() == DataItem::DT_WHEEL;
    });
    if (perWheel) {
        std::vector<const Wheel*> all;
        std::vector<std::string> wheelNames;
        for (auto it = Wheel::NewIterator(); it->HasNext();) {
            const Wheel* wheel = it->GetNext();
            if (wheel == Wheel::ALL) continue;
            all.push_back(wheel);
            wheelNames.push_back(wheel->GetName());
        }
        std::vector<int> picked;
        // A cancel chooses no wheel.
        if (Choose(wheelNames, tr(kWheelsTitle), false, picked)) {
            for (const int p : picked) {
                if (p >= 0 && p < static_cast<int>(all.size())) wheels.push_back(all[p]);
            }
        }
    }
    m_model->AppendColumns(ColumnsToAdd(columns, candidates, chosen, wheels));
}

void CTxtView::DeleteColumns() {
    std::vector<std::string> names;
    for (int position = 0; position < m_model->columnCount(); ++position)
        names.push_back(m_model->VisibleColumn(position).GetLongName());
    std::vector<int> chosen;
    if (!Choose(names, tr(kDeleteColumnsTitle), false, chosen)) return;
    std::erase_if(chosen, [&](int p) { return p < 0 || p >= static_cast<int>(names.size()); });
    if (chosen.empty()) return;
    m_model->RemoveColumns(chosen);
    // Keys on the columns that moved go; the rows follow the keys that are left.
    const SortKeys keys = DropSortKeys(m_keys, *std::min_element(chosen.begin(), chosen.end()));
    if (keys == m_keys) return;
    m_keys = keys;
    Resort();
}

void CTxtView::SaveState(pellith::WorkspaceWindow& window) const {
    std::vector<std::string> columns;
    for (int position = 0; position < m_model->columnCount(); ++position)
        columns.push_back(m_model->VisibleColumn(position).GetShortName());
    window.SetList("columns", columns);
    window.SetIntList("sort", m_keys);
    window.SetBool("sync", m_sync);
}

void CTxtView::RestoreState(const pellith::WorkspaceWindow& window,
                            std::vector<std::string>& problems) {
    if (const auto names = window.GetList("columns")) {
        const TextColumns& columns = m_model->Columns();
        std::vector<int> shown;
        for (const std::string& name : *names) {
            const auto it = std::find_if(columns.begin(), columns.end(),
                                         [&](const auto& c) { return c->GetShortName() == name; });
            if (it == columns.end()) {
                problems.push_back("The sample table's column \"" + name + "\" is not known.");
                continue;
            }
            const int index = static_cast<int>(it - columns.begin());
            if (std::find(shown.begin(), shown.end(), index) == shown.end()) shown.push_back(index);
        }
        std::vector<int> all(static_cast<std::size_t>(m_model->columnCount()));
        std::iota(all.begin(), all.end(), 0);
        m_model->RemoveColumns(all);
        m_model->AppendColumns(shown);
    }
    if (const auto keys = window.GetIntList("sort")) {
        SortKeys valid;
        for (const int key : *keys) {
            if (key != std::numeric_limits<int>::min() && std::abs(key) <= m_model->columnCount())
                valid.push_back(key);
        }
        if (valid.size() != keys->size())
            problems.push_back("Sort keys on columns the sample table does not show were left out.");
        m_keys = valid.empty() ? SortKeys{0} : valid;
    } else {
        m_keys = DropSortKeys(m_keys, 0);
    }
    if (const auto sync = window.GetBool("sync"); sync && *sync != m_sync) ToggleSync();
    Resort();
}

void CTxtView::ToggleSync() {
    m_sync = !m_sync;
    m_actions[kSync]->setChecked(m_sync);
}

// --- copying ----------------------------------------------------------------------------

QString CTxtView::CopyText() const {
    const int count = m_model->Rows().Count();
    std::vector<char> marked(static_cast<std::size_t>(count), 0);
    bool any = false;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        for (int row = std::max(range.top(), 0); row <= std::min(range.bottom(), count - 1); ++row)
            marked[static_cast<std::size_t>(row)] = 1;
        any = true;
    }
    std::vector<int> rows;
    for (int row = 0; row < count; ++row) {
        if (!any || marked[static_cast<std::size_t>(row)] != 0) rows.push_back(row);
    }
    std::vector<int> positions;
    const QHeaderView* header = horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual)
        positions.push_back(header->logicalIndex(visual));
    return QString::fromStdString(m_model->CopyText(rows, positions));
}

void CTxtView::Copy() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::clipboard()->setText(CopyText());
    QApplication::restoreOverrideCursor();
}

// --- the frame --------------------------------------------------------------------------

CTxtFrame::CTxtFrame(CTarnwickDoc& doc, QWidget* parent)
    : CViewFrame(parent), m_view(new CTxtView(doc)) {
    setObjectName(QStringLiteral("TextFrame"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(m_view);
    setWindowTitle(m_view->windowTitle());
    // The view's commands act wherever the focus is in its window.
    for (int c = 0; c < CTxtView::kCommandCount; ++c)
        addAction(m_view->Action(static_cast<CTxtView::Command>(c)));
    connect(m_view, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
    connect(&doc, &CTarnwickDoc::Closed, this, &QWidget::close);
}

CTxtFrame::~CTxtFrame() {
    // As with the graph window: nothing of this frame may be called back while the base
    // classes take it down.
    disconnect(this, nullptr, this, nullptr);
    delete widget();
}

void RegisterTextView() {
    RegisterViewKind(StartView::Text,
                     [](CTarnwickDoc& doc, const AppSettings&) { return new CTxtFrame(doc); });
}

void CTxtFrame::SaveState(pellith::WorkspaceWindow& window) const { m_view->SaveState(window); }

void CTxtFrame::RestoreState(const pellith::WorkspaceWindow& window,
                             std::vector<std::string>& problems) {
    m_view->RestoreState(window, problems);
}

}  // namespace tarnwick
