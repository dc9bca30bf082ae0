#include "app/shell/ExportDlg.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleValidator>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Wheel.h"
#include "morlund/platform/MessageSink.h"
#include "pellith/export/ColumnSpec.h"
#include "pellith/export/Delimiters.h"

namespace tarnwick {

using morlund::DataItem;
using morlund::Wheel;
using pellith::ColumnItem;

namespace {

// An export looks at this many samples between two looks at the clock, and
// gives the user interface its turn after a slice of this many milliseconds.
constexpr std::int64_t kRowsPerStep = 2048;
constexpr qint64 kSliceMs = 30;
constexpr int kProgressSteps = 1000;
constexpr int kProgressDelayMs = 1000;

QString Id(int id) { return QString::number(id); }

template <typename W>
W* Named(W* widget, int id) {
    widget->setObjectName(Id(id));
    return widget;
}

QPushButton* Button(const QString& text, int id, QWidget* parent) {
    auto* button = Named(new QPushButton(text, parent), id);
    button->setAutoDefault(false);
    return button;
}

// A label that gives its control the keyboard shortcut of its text.
QLabel* Label(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

// A bound as typed: empty is no bound; text that is not a number reads as 0.
double ReadBound(const QString& text, double absent) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) return absent;
    return pellith::ParseNumber(trimmed.toStdString()).value_or(0.0);
}

QString BoundText(bool present, double value) {
    return present ? QString::number(value, 'f', 5) : QString();
}

void SelectRow(QListWidget* list, int row) {
    if (row >= 0 && row < list->count()) {
        list->setCurrentRow(row);
        list->scrollToItem(list->item(row));
    } else {
        list->setCurrentRow(-1);
    }
}

class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

CExportDlg::CExportDlg(ExportDlgState& state, QWidget* parent) : QDialog(parent), m_state(state) {
    setWindowTitle(QStringLiteral("Export"));
    BuildControls();
}

void CExportDlg::BuildControls() {
    m_form = new QWidget(this);
    QWidget* f = m_form;

    m_buffer = Named(new QComboBox(f), kIdBuffer);
    m_buffer->setMinimumWidth(220);
    m_selectedOnly =
        Named(new QCheckBox(QStringLiteral("Selected distance onl&y"), f), kIdSelectedOnly);
    auto* top = new QHBoxLayout;
    top->addWidget(Label(QStringLiteral("&Buffer:"), m_buffer, f));
    top->addWidget(m_buffer, 1);
    top->addSpacing(16);
    top->addWidget(m_selectedOnly);

    // The channels, their wheels, and the columns made of them.
    m_itemList = Named(new QListWidget(f), kIdItems);
    m_wheelList = Named(new QListWidget(f), kIdWheels);
    m_columnList = Named(new QListWidget(f), kIdColumns);
    m_itemList->setMinimumWidth(200);
    m_wheelList->setMinimumWidth(120);
    m_columnList->setMinimumWidth(240);
    auto* add = Button(QStringLiteral("&Add"), kIdAdd, f);
    auto* addAll = Button(QStringLiteral("Add a&ll"), kIdAddAll, f);
    auto* remove = Button(QStringLiteral("&Delete"), kIdDelete, f);
    auto* removeAll = Button(QStringLiteral("Delete all"), kIdDeleteAll, f);
    auto* up = Button(QStringLiteral("Move u&p"), kIdMoveUp, f);
    auto* down = Button(QStringLiteral("Move dow&n"), kIdMoveDown, f);
    auto* commands = new QVBoxLayout;
    commands->addSpacing(20);
    for (QPushButton* b : {add, addAll})
        commands->addWidget(b);
    commands->addSpacing(16);
    for (QPushButton* b : {remove, removeAll})
        commands->addWidget(b);
    commands->addSpacing(16);
    for (QPushButton* b : {up, down})
        commands->addWidget(b);
    commands->addStretch(1);

    auto* lists = new QGridLayout;
    lists->addWidget(Label(QStringLiteral("Data i&tem:"), m_itemList, f), 0, 0);
    lists->addWidget(m_itemList, 1, 0);
    lists->addWidget(Label(QStringLiteral("&Wheel:"), m_wheelList, f), 0, 1);
    lists->addWidget(m_wheelList, 1, 1);
    lists->addLayout(commands, 0, 2, 2, 1);
    lists->addWidget(Label(QStringLiteral("&Columns:"), m_columnList, f), 0, 3);
    lists->addWidget(m_columnList, 1, 3);
    lists->setColumnStretch(0, 3);
    lists->setColumnStretch(1, 2);
    lists->setColumnStretch(3, 4);
    lists->setRowStretch(1, 1);

    // The range of the selected column.
    auto* rangeBox = new QGroupBox(QStringLiteral("Range of the selected column"), f);
    m_rangeOnly = Named(new QCheckBox(QStringLiteral("Use column for ran&ge check only"), rangeBox),
                        kIdRangeOnly);
    m_minimum = Named(new QLineEdit(rangeBox), kIdMinimum);
    m_maximum = Named(new QLineEdit(rangeBox), kIdMaximum);
    auto* validator = new QDoubleValidator(this);
    validator->setLocale(QLocale::c());  // bounds are written with a decimal point
    validator->setNotation(QDoubleValidator::ScientificNotation);
    for (QLineEdit* bound : {m_minimum, m_maximum}) {
        bound->setValidator(validator);
        bound->setMaximumWidth(130);
    }
    m_include = Named(new QRadioButton(QStringLiteral("Include"), rangeBox), kIdInclude);
    m_exclude = Named(new QRadioButton(QStringLiteral("Exclude"), rangeBox), kIdExclude);
    auto* includeGroup = new QButtonGroup(rangeBox);
    includeGroup->addButton(m_include);
    includeGroup->addButton(m_exclude);
    auto* clearRanges = Button(QStringLiteral("Clear all ranges"), kIdClearRanges, rangeBox);
    auto* range = new QGridLayout(rangeBox);
    range->addWidget(m_rangeOnly, 0, 0, 1, 4);
    range->addWidget(Label(QStringLiteral("M&inimum:"), m_minimum, rangeBox), 1, 0);
    range->addWidget(m_minimum, 1, 1);
    range->addWidget(Label(QStringLiteral("Ma&ximum:"), m_maximum, rangeBox), 1, 2);
    range->addWidget(m_maximum, 1, 3);
    range->addWidget(m_include, 1, 4);
    range->addWidget(m_exclude, 1, 5);
    range->setColumnStretch(6, 1);
    range->addWidget(clearRanges, 1, 7);
    m_columnFields = {m_rangeOnly, m_minimum, m_maximum, m_include, m_exclude};

    // The file and its form.
    m_fileName = Named(new QLineEdit(f), kIdFileName);
    auto* browse = Button(QStringLiteral("B&rowse..."), kIdBrowse, f);
    m_delimiter = Named(new QComboBox(f), kIdDelimiter);
    m_columnNames = Named(new QComboBox(f), kIdColumnNames);
    m_header = Named(new QCheckBox(QStringLiteral("&Header"), f), kIdHeader);
    auto* file = new QGridLayout;
    file->addWidget(Label(QStringLiteral("File &name:"), m_fileName, f), 0, 0);
    file->addWidget(m_fileName, 0, 1, 1, 5);
    file->addWidget(browse, 0, 6);
    file->addWidget(Label(QStringLiteral("Deli&miter:"), m_delimiter, f), 1, 0);
    file->addWidget(m_delimiter, 1, 1);
    file->addWidget(Label(QStringLiteral("Col&umn names:"), m_columnNames, f), 1, 2);
    file->addWidget(m_columnNames, 1, 3);
    file->addWidget(m_header, 1, 4);
    file->setColumnStretch(5, 1);

    auto* form = new QVBoxLayout(f);
    form->setContentsMargins(0, 0, 0, 0);
    form->addLayout(top);
    form->addLayout(lists, 1);
    form->addWidget(rangeBox);
    form->addLayout(file);

    m_export = Named(new QPushButton(QStringLiteral("&Export"), this), kIdExport);
    m_export->setDefault(true);
    auto* close = Button(QStringLiteral("Close"), kIdClose, this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_export);
    buttons->addWidget(close);
    auto* main = new QVBoxLayout(this);
    main->addWidget(m_form, 1);
    main->addLayout(buttons);
    resize(860, 560);

    connect(m_itemList, &QListWidget::currentRowChanged, this, &CExportDlg::EnableWheels);
    connect(m_itemList, &QListWidget::itemDoubleClicked, this, [add] { add->click(); });
    connect(m_columnList, &QListWidget::currentRowChanged, this, [this](int row) {
        StoreColumn();
        ShowColumn(row);
    });
    // Typing or clicking in the fields keeps the column up to date.
    for (QLineEdit* bound : {m_minimum, m_maximum})
        connect(bound, &QLineEdit::editingFinished, this, &CExportDlg::StoreColumn);
    for (QAbstractButton* box :
         {static_cast<QAbstractButton*>(m_rangeOnly), static_cast<QAbstractButton*>(m_include),
          static_cast<QAbstractButton*>(m_exclude)})
        connect(box, &QAbstractButton::clicked, this, &CExportDlg::StoreColumn);
    connect(add, &QPushButton::clicked, this, [this] {
        const int item = m_itemList->currentRow();
        if (item < 0 || item >= static_cast<int>(m_items.size())) return;
        const int wheel = m_wheelList->currentRow();
        const bool chosen = wheel >= 0 && wheel < static_cast<int>(m_wheels.size());
        AddColumns(
            {ColumnItem::Make(m_items[static_cast<std::size_t>(item)],
                              chosen ? m_wheels[static_cast<std::size_t>(wheel)] : Wheel::ALL)});
    });
    connect(addAll, &QPushButton::clicked, this, [this] {
        std::vector<ColumnItem> all;
        for (const DataItem* item : m_items)
            all.push_back(ColumnItem::Make(item, Wheel::ALL));
        AddColumns(std::move(all));
    });
    connect(remove, &QPushButton::clicked, this, &CExportDlg::DeleteColumn);
    connect(removeAll, &QPushButton::clicked, this, [this] {
        m_state.columns.clear();
        ListColumns(-1);
    });
    connect(up, &QPushButton::clicked, this, [this] { MoveColumn(-1); });
    connect(down, &QPushButton::clicked, this, [this] { MoveColumn(+1); });
    connect(clearRanges, &QPushButton::clicked, this, &CExportDlg::ClearRanges);
    connect(browse, &QPushButton::clicked, this, &CExportDlg::Browse);
    connect(m_fileName, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_export->setEnabled(!text.isEmpty()); });
    connect(m_export, &QPushButton::clicked, this, &CExportDlg::Export);
    connect(close, &QPushButton::clicked, this, &CExportDlg::reject);
}

void CExportDlg::SetDistanceRange(double from, double to) {
    m_distanceFrom = from;
    m_distanceTo = to;
}

void CExportDlg::showEvent(QShowEvent* event) {
    if (!m_opened) Open();
    QDialog::showEvent(event);
}

void CExportDlg::Open() {
    m_opened = true;
    m_itemList->clear();
    m_items.clear();
    for (auto it = DataItem::NewIterator(); it->HasNext();) {
        const DataItem* item = it->GetNext();
        if (item->GetLevel() > DataItem::LEVEL_CUSTOM) continue;
        m_items.push_back(item);
        m_itemList->addItem(QString::fromStdString(item->GetName()));
    }
    m_wheelList->clear();
    m_wheels.clear();
    for (auto it = Wheel::NewIterator(); it->HasNext();) {
        m_wheels.push_back(it->GetNext());
        m_wheelList->addItem(QString::fromStdString(m_wheels.back()->GetName()));
    }
    SelectRow(m_wheelList, m_state.wheelSelection);
    SelectRow(m_itemList, m_state.itemSelection);
    EnableWheels();
    ListColumns(m_state.columnSelection);

    m_delimiter->clear();
    for (int i = 0; i < pellith::kDelimiterCount; ++i)
        m_delimiter->addItem(QString::fromStdString(pellith::GetDelimiterName(i)));
    m_delimiter->setCurrentIndex(std::clamp(m_state.delimiterChoice, 0, m_delimiter->count() - 1));
    m_columnNames->clear();
    m_columnNames->addItems(
        {QStringLiteral("None"), QStringLiteral("Short"), QStringLiteral("Long")});
    m_columnNames->setCurrentIndex(std::clamp(m_state.columnNames, 0, 2));

    m_buffer->clear();
    const int buffers = m_manager != nullptr ? m_manager->GetBufCount() : 0;
    if (buffers > 1) m_buffer->addItem(QStringLiteral("<all buffers>"), -1);
    for (int i = 0; i < buffers; ++i)
        m_buffer->addItem(QString::fromStdString(m_manager->GetBuffer(i)->InfoGetName()), i);
    m_buffer->setCurrentIndex(buffers > 0 ? 0 : -1);

    QString name = m_state.lastExportName;
    if (name.isEmpty() && buffers > 0)
        name = QString::fromStdString(
            pellith::ProposeExportFileName(m_manager->GetBuffer(0)->InfoGetName()));
    m_fileName->setText(name);
    m_export->setEnabled(!name.isEmpty());
    m_header->setChecked(m_state.header);
    m_selectedOnly->setChecked(m_state.selectedOnly);
    m_selectedOnly->setToolTip(
        m_distanceFrom <= m_distanceTo
            ? QString::asprintf("%.0fm - %.0fm", m_distanceFrom, m_distanceTo)
            : QStringLiteral("No distance is selected"));
}

void CExportDlg::EnableWheels() {
    const int row = m_itemList->currentRow();
    const bool perWheel =
        row >= 0 && row < static_cast<int>(m_items.size()) &&
        m_items[static_cast<std::size_t>(row)]->GetDataType() == DataItem::DT_WHEEL;
    m_wheelList->setEnabled(perWheel);
}

void CExportDlg::ListColumns(int select) {
    m_shownColumn = -1;  // nothing to store while the list is refilled
    {
        const QSignalBlocker quiet(m_columnList);
        m_columnList->clear();
        for (const ColumnItem& c : m_state.columns)
            m_columnList->addItem(QString::fromStdString(c.GetListText()));
        SelectRow(m_columnList, select);
    }
    ShowColumn(m_columnList->currentRow());
}

void CExportDlg::ShowColumn(int row) {
    const bool valid = row >= 0 && row < static_cast<int>(m_state.columns.size());
    m_shownColumn = valid ? row : -1;
    for (QWidget* field : m_columnFields)
        field->setEnabled(valid);
    const ColumnItem shown = valid ? m_state.columns[static_cast<std::size_t>(row)] : ColumnItem{};
    m_rangeOnly->setChecked(shown.rangeOnly);
    m_minimum->setText(BoundText(shown.HasMinimum(), shown.minimum));
    m_maximum->setText(BoundText(shown.HasMaximum(), shown.maximum));
    (shown.exclude ? m_exclude : m_include)->setChecked(true);
}

void CExportDlg::StoreColumn() {
    if (m_shownColumn < 0 || m_shownColumn >= static_cast<int>(m_state.columns.size())) return;
    ColumnItem& c = m_state.columns[static_cast<std::size_t>(m_shownColumn)];
    // A bound is read back only once the user has typed in it: the shown text
    // has five decimals, the stored bound may have more.
    if (m_minimum->isModified()) c.minimum = ReadBound(m_minimum->text(), ColumnItem::kNoMinimum);
    if (m_maximum->isModified()) c.maximum = ReadBound(m_maximum->text(), ColumnItem::kNoMaximum);
    m_minimum->setModified(false);
    m_maximum->setModified(false);
    c.rangeOnly = m_rangeOnly->isChecked();
    c.exclude = m_exclude->isChecked();
}

void CExportDlg::AddColumns(std::vector<ColumnItem> columns) {
    if (columns.empty()) return;
    StoreColumn();
    m_state.columns.insert(m_state.columns.end(), columns.begin(), columns.end());
    ListColumns(static_cast<int>(m_state.columns.size()) - 1);
    m_columnList->setFocus();
}

void CExportDlg::DeleteColumn() {
    const int row = m_columnList->currentRow();
    if (row < 0 || row >= static_cast<int>(m_state.columns.size())) return;
    m_state.columns.erase(m_state.columns.begin() + row);
    // The selection stays in place, or moves up when the last column went.
    ListColumns(std::min(row, static_cast<int>(m_state.columns.size()) - 1));
}

void CExportDlg::MoveColumn(int step) {
    const int row = m_columnList->currentRow();
    const int to = row + step;
    const int count = static_cast<int>(m_state.columns.size());
    if (row < 0 || row >= count || to < 0 || to >= count) return;
    StoreColumn();
    std::swap(m_state.columns[static_cast<std::size_t>(row)],
              m_state.columns[static_cast<std::size_t>(to)]);
    ListColumns(to);
}

void CExportDlg::ClearRanges() {
    StoreColumn();
    for (ColumnItem& c : m_state.columns)
        c.ClearRange();
    ShowColumn(m_shownColumn);
}

void CExportDlg::Browse() {
    QFileDialog dialog(this, QStringLiteral("Select Export File Name"), m_fileName->text());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("CSV Files (*.csv)"),
                           QStringLiteral("Text Files (*.txt)"),
                           QStringLiteral("All Files (*.*)")});
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        m_fileName->setText(QDir::toNativeSeparators(dialog.selectedFiles().front()));
}

void CExportDlg::StoreChoices() {
    StoreColumn();
    m_state.itemSelection = m_itemList->currentRow();
    m_state.wheelSelection = m_wheelList->currentRow();
    m_state.columnSelection = m_columnList->currentRow();
    m_state.delimiterChoice = m_delimiter->currentIndex();
    m_state.columnNames = m_columnNames->currentIndex();
    m_state.header = m_header->isChecked();
    m_state.selectedOnly =
        pellith::RememberSelectedOnly(m_selectedOnly->isChecked(), m_distanceFrom, m_distanceTo);
    m_state.fileName = m_fileName->text();
}

pellith::ExportChoices CExportDlg::Choices() const {
    pellith::ExportChoices choices;
    choices.columns = m_state.columns;
    choices.buffer = m_buffer->currentIndex() >= 0 ? m_buffer->currentData().toInt() : 0;
    choices.delimiterChoice = m_state.delimiterChoice;
    choices.columnNames = m_state.columnNames;
    choices.header = m_state.header;
    choices.selectedOnly = m_state.selectedOnly;
    choices.distanceFrom = m_distanceFrom;
    choices.distanceTo = m_distanceTo;
    return choices;
}

void CExportDlg::Export() {
    if (m_exporting || m_manager == nullptr) return;
    StoreChoices();
    const QString name = m_state.fileName;
    const pellith::ExportResult result = Run(Choices(), name);
    if (result.status == pellith::ExportResult::kCancelled) return;
    if (result.IsOk()) m_state.lastExportName = name;
    morlund::ShowMessage(result.message, result.icon);
}

pellith::ExportResult CExportDlg::Run(const pellith::ExportChoices& choices,
                                      const QString& fileName) {
    pellith::ExportFileJob job(*m_manager, choices, fileName.toStdU16String());
    const WaitCursor wait;
    QProgressDialog progress(QStringLiteral("Exporting to '%1'...").arg(fileName),
                             QStringLiteral("Cancel"), 0, kProgressSteps, this);
    progress.setObjectName(kProgressName);
    progress.setWindowTitle(windowTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(kProgressDelayMs);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    m_form->setEnabled(false);
    m_export->setEnabled(false);
    m_exporting = true;
    m_cancel = false;
    QElapsedTimer slice;
    for (bool more = true; more;) {
        slice.start();
        while ((more = job.Step(kRowsPerStep)) && slice.elapsed() < kSliceMs) {
        }
        if (!more) break;
        // The engine stands between two rows: the user interface may run.
        progress.setValue(static_cast<int>(job.GetProgress() * kProgressSteps));
        QCoreApplication::processEvents();
        if (progress.wasCanceled() || m_cancel) job.Cancel();
    }
    m_exporting = false;
    m_form->setEnabled(true);
    m_export->setEnabled(!m_fileName->text().isEmpty());
    return job.GetResult();
}

void CExportDlg::reject() {
    if (m_exporting) {
        m_cancel = true;  // the export loop cancels; the dialog stays
        return;
    }
    StoreChoices();
    QDialog::reject();
}

}  // namespace tarnwick
