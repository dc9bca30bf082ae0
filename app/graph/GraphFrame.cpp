#include "app/graph/GraphFrame.h"

#include <QAbstractItemView>
#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "app/graph/GraphRenderer.h"
#include "app/graph/GraphView.h"
#include "app/shell/TarnwickDoc.h"
#include "morlund/formats/BufManager.h"
#include "morlund/items/Wheel.h"

namespace tarnwick {

namespace {

constexpr int kItemDropWidth = 375;
constexpr int kBufferDropWidth = 250;

// Draws the buffer selector's list entries in the laps' colours.
class BufferItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        BufferComboBox::DrawEntry(*painter, option.rect, index.data().toString(), index.row(),
                                  option.state.testFlag(QStyle::State_Selected),
                                  option.palette.color(QPalette::Base));
    }
};

QComboBox* MakeSelector(const QString& id, int dropWidth, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(id);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(12);
    if (dropWidth > 0) box->view()->setMinimumWidth(dropWidth);
    return box;
}

// A caption with its access key underlined; the frame owns the keys, so that several
// graph windows do not compete for them.
QLabel* MakeCaption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::RichText);
    return label;
}

const morlund::Wheel* WheelOf(const QVariant& data) {
    return reinterpret_cast<const morlund::Wheel*>(data.value<quintptr>());
}

}  // namespace

// --- BufferComboBox ---------------------------------------------------------------------

BufferComboBox::BufferComboBox(QWidget* parent) : QComboBox(parent) {
    setItemDelegate(new BufferItemDelegate(this));
}

void BufferComboBox::DrawEntry(QPainter& painter, const QRect& rect, const QString& text,
                               int buffer, bool selected, const QColor& background) {
    painter.save();
    painter.fillRect(rect, background);
    const QColor colour = GraphRenderer::ToQColor(morlund::BufManager::GetBufColor(buffer));
    const QColor ink = selected ? colour : QColor(Qt::black);
    const QColor paper = selected ? QColor(Qt::black) : colour;
    const QRect textRect = painter.fontMetrics().boundingRect(text);
    QRect box(rect.left() + 2, rect.top() + (rect.height() - textRect.height()) / 2,
              textRect.width() + 1, textRect.height());
    box = box.intersected(rect);
    painter.fillRect(box, paper);
    painter.setPen(ink);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    painter.restore();
}

void BufferComboBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (currentIndex() < 0) return;
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    DrawEntry(painter, field, currentText(), currentIndex(), hasFocus(),
              palette().color(QPalette::Base));
}

// --- GraphSelectorBar -----------------------------------------------------------------

GraphSelectorBar::GraphSelectorBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QString::number(kBarId));
    m_x = MakeSelector(QString::number(kIdX), kItemDropWidth, this);
    m_y = MakeSelector(QString::number(kIdY), kItemDropWidth, this);
    m_buffer = new BufferComboBox(this);
    m_buffer->setObjectName(QString::number(kIdBuffer));
    m_buffer->setMinimumContentsLength(10);
    m_buffer->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_buffer->view()->setMinimumWidth(kBufferDropWidth);
    m_wheel = MakeSelector(QString::number(kIdWheel), 0, this);
    m_wheel->setMinimumContentsLength(8);
    m_sync = new QPushButton(tr("Sync"), this);
    m_sync->setObjectName(QString::number(kIdSync));
    m_sync->setCheckable(true);
    m_sync->setFocusPolicy(Qt::TabFocus);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(MakeCaption(tr("<u>X</u>:"), this));
    layout->addWidget(m_x, 3);
    layout->addWidget(MakeCaption(tr("<u>Y</u>:"), this));
    layout->addWidget(m_y, 4);
    layout->addWidget(MakeCaption(tr("<u>B</u>uffer:"), this));
    layout->addWidget(m_buffer, 2);
    layout->addWidget(MakeCaption(tr("Whee<u>l</u>:"), this));
    layout->addWidget(m_wheel, 1);
    layout->addWidget(m_sync);
}

void GraphSelectorBar::Fill(const CGraphView& view) {
    const QSignalBlocker bx(m_x), by(m_y), bw(m_wheel), bs(m_sync);
    m_x->clear();
    m_y->clear();
    m_wheel->clear();
    const GraphItemList& items = view.Items();
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        if (items[i]->CanBeX()) {
            m_x->addItem(items[i]->Name(0), i);
            if (i == view.XItem()) m_x->setCurrentIndex(m_x->count() - 1);
        }
        if (items[i]->CanBeY()) {
            m_y->addItem(items[i]->Name(-1), i);
            if (i == view.YItem()) m_y->setCurrentIndex(m_y->count() - 1);
        }
    }
    auto it = morlund::Wheel::NewIterator();
    while (it->HasNext()) {
        const morlund::Wheel* wheel = it->GetNext();
        m_wheel->addItem(QString::fromStdString(wheel->GetName()),
                         QVariant::fromValue(reinterpret_cast<quintptr>(wheel)));
        if (wheel == view.GetWheel()) m_wheel->setCurrentIndex(m_wheel->count() - 1);
    }
    m_sync->setChecked(view.IsSync());
}

void GraphSelectorBar::FillBuffers(const QStringList& names, int buffer) {
    const QSignalBlocker blocker(m_buffer);
    m_buffer->clear();
    m_buffer->addItems(names);
    m_buffer->setCurrentIndex(buffer >= 0 && buffer < names.size() ? buffer : -1);
}

void GraphSelectorBar::SelectBuffer(int buffer) {
    const QSignalBlocker blocker(m_buffer);
    m_buffer->setCurrentIndex(buffer >= 0 && buffer < m_buffer->count() ? buffer : -1);
}

// --- CGraphFrame --------------------------------------------------------------------------

CGraphFrame::CGraphFrame(CTarnwickDoc& doc, const AppSettings& settings, QWidget* parent)
    : CViewFrame(parent) {
    setObjectName(QStringLiteral("GraphFrame"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_bar = new GraphSelectorBar(body);
    m_view = new CGraphView(doc, settings, body);
    layout->addWidget(m_bar);
    layout->addWidget(m_view, 1);
    body->setFocusProxy(m_view);
    setWidget(body);
    setWindowTitle(m_view->windowTitle());
    // The view's commands act wherever the focus is in its window.
    for (int c = 0; c < CGraphView::kCommandCount; ++c)
        addAction(m_view->Action(static_cast<CGraphView::Command>(c)));

    m_toolbarAction = new QAction(tr("&Toolbar"), this);
    m_toolbarAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    m_toolbarAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_toolbarAction->setCheckable(true);
    m_toolbarAction->setChecked(true);
    connect(m_toolbarAction, &QAction::triggered, this, &CGraphFrame::ToggleSelectorBar);
    addAction(m_toolbarAction);
    m_view->AddMenuAction(m_toolbarAction);

    AddFocusKey(QKeySequence(Qt::ALT | Qt::Key_X), m_bar->XSelector());
    AddFocusKey(QKeySequence(Qt::ALT | Qt::Key_Y), m_bar->YSelector());
    AddFocusKey(QKeySequence(Qt::ALT | Qt::Key_L), m_bar->WheelSelector());
    AddFocusKey(QKeySequence(Qt::ALT | Qt::Key_B), m_bar->BufferSelector());
    AddFocusKey(QKeySequence(Qt::Key_Escape), m_view);

    connect(m_view, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
    connect(m_view, &CGraphView::BufferListChanged, m_bar, &GraphSelectorBar::FillBuffers);
    connect(m_view, &CGraphView::BufferSelected, m_bar, &GraphSelectorBar::SelectBuffer);
    connect(m_view, &CGraphView::SyncChanged, m_bar->SyncButton(), [this](bool on) {
        const QSignalBlocker blocker(m_bar->SyncButton());
        m_bar->SyncButton()->setChecked(on);
    });
    connect(m_bar->XSelector(), &QComboBox::currentIndexChanged, this, &CGraphFrame::OnXChosen);
    connect(m_bar->YSelector(), &QComboBox::currentIndexChanged, this, &CGraphFrame::OnYChosen);
    connect(m_bar->WheelSelector(), &QComboBox::currentIndexChanged, this,
            &CGraphFrame::OnWheelChosen);
    connect(m_bar->BufferSelector(), &QComboBox::currentIndexChanged, m_view,
            &CGraphView::OnBufferSelected);
    connect(m_bar->SyncButton(), &QPushButton::toggled, this, [this](bool on) {
        if (on != m_view->IsSync()) m_view->ToggleSync();
    });
    connect(this, &QMdiSubWindow::windowStateChanged, this, &CGraphFrame::OnWindowStateChanged);
    connect(&doc, &CTarnwickDoc::Closed, this, &QWidget::close);
    connect(m_view, &CGraphView::RangeTextsChanged, this, &CViewFrame::RangeTextsChanged);
    connect(m_view, &CGraphView::CommandsChanged, this, &CViewFrame::CommandsChanged);

    m_bar->FillBuffers(m_view->BufferNames(), m_view->GetBuffer());
    RefillSelectors();
}

QAction* CGraphFrame::ViewAction(ViewCommand command) const {
    switch (command) {
        case ViewCommand::CursorMode:
            return m_view->Action(CGraphView::kCursorMode);
        case ViewCommand::ZoomSelection:
            return m_view->Action(CGraphView::kZoomSelection);
        case ViewCommand::ZoomInX:
            return m_view->Action(CGraphView::kZoomInX);
        case ViewCommand::ZoomOutX:
            return m_view->Action(CGraphView::kZoomOutX);
        case ViewCommand::ZoomInY:
            return m_view->Action(CGraphView::kZoomInY);
        case ViewCommand::ZoomOutY:
            return m_view->Action(CGraphView::kZoomOutY);
        case ViewCommand::FitY:
            return m_view->Action(CGraphView::kFitY);
        case ViewCommand::Print:
            return m_view->Action(CGraphView::kPrint);
        case ViewCommand::PrintPreview:
            return m_view->Action(CGraphView::kPrintPreview);
    }
    return nullptr;
}

void CGraphFrame::SaveState(pellith::WorkspaceWindow& window) const {
    m_view->SaveState(window);
}

void CGraphFrame::RestoreState(const pellith::WorkspaceWindow& window,
                               std::vector<std::string>& problems) {
    m_view->RestoreState(window, problems);
    RefillSelectors();
}

bool CGraphFrame::RangeTexts(QString& time, QString& distance) const {
    if (!m_view->HasRangeTexts()) return false;
    time = m_view->TimeRangeText();
    distance = m_view->DistanceRangeText();
    return true;
}

CGraphFrame::~CGraphFrame() {
    // The base classes hide the window as they go; by then this is no graph frame any
    // more, so nothing of it may be called back: not its own slots, not the view's
    // forwarded signals.
    disconnect(this, nullptr, this, nullptr);
    delete widget();
}

void CGraphFrame::AddFocusKey(const QKeySequence& key, QWidget* target) {
    auto* action = new QAction(this);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(action, &QAction::triggered, target,
            [target] { target->setFocus(Qt::ShortcutFocusReason); });
    addAction(action);
}

void CGraphFrame::RefillSelectors() { m_bar->Fill(*m_view); }

void CGraphFrame::ToggleSelectorBar() {
    m_bar->setVisible(m_bar->isHidden());
    m_toolbarAction->setChecked(!m_bar->isHidden());
}

void CGraphFrame::OnWindowStateChanged(Qt::WindowStates oldState, Qt::WindowStates newState) {
    const bool was = oldState.testFlag(Qt::WindowActive);
    const bool is = newState.testFlag(Qt::WindowActive);
    if (is && !was) RefillSelectors();
    if (was && !is) m_view->Deactivated();
}

void CGraphFrame::OnXChosen(int entry) {
    if (entry < 0) return;
    bool ok = false;
    const int index = m_bar->XSelector()->itemData(entry).toInt(&ok);
    if (ok && index != m_view->XItem()) m_view->SetX(index);
}

void CGraphFrame::OnYChosen(int entry) {
    if (entry < 0) return;
    bool ok = false;
    const int index = m_bar->YSelector()->itemData(entry).toInt(&ok);
    if (ok && index != m_view->YItem()) m_view->SetY(index);
}

void CGraphFrame::OnWheelChosen(int entry) {
    if (entry < 0) return;
    const morlund::Wheel* wheel = WheelOf(m_bar->WheelSelector()->itemData(entry));
    if (wheel != nullptr && wheel != m_view->GetWheel()) m_view->SetWheel(wheel);
}

void RegisterGraphView() {
    RegisterViewKind(StartView::Graph, [](CTarnwickDoc& doc, const AppSettings& settings) {
        return new CGraphFrame(doc, settings);
    });
}

}  // namespace tarnwick
