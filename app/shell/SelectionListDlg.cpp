#include "app/shell/SelectionListDlg.h"

#include <QDialogButtonBox>
#include <QItemSelectionModel>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace tarnwick {

SelectionListModel::SelectionListModel(const std::vector<std::string>& names, QObject* parent)
    : QAbstractListModel(parent), m_names(names) {}

int SelectionListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_names.size());
}

QVariant SelectionListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    ++m_textRequests;
    return QString::fromStdString(m_names[static_cast<std::size_t>(index.row())]);
}

SelectionListDlg::SelectionListDlg(const std::vector<std::string>& names, const QString& title,
                                   QWidget* parent)
    : QDialog(parent), m_model(new SelectionListModel(names, this)), m_list(new QListView(this)) {
    setWindowTitle(title);
    m_list->setObjectName(QString::number(kListId));
    // Equal row heights let the view ask only for the rows it shows.
    m_list->setUniformItemSizes(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setModel(m_model);
    connect(m_list, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) accept();
    });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &SelectionListDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SelectionListDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(210, 260);
}

void SelectionListDlg::InitList() {
    m_initialised = true;
    m_list->setSelectionMode(single ? QAbstractItemView::SingleSelection
                                    : QAbstractItemView::ExtendedSelection);
    QItemSelectionModel* model = m_list->selectionModel();
    model->clearSelection();
    const int count = m_model->rowCount();
    for (const int row : selection) {
        if (row < 0 || row >= count) continue;  // stale indices are no error
        const QModelIndex index = m_model->index(row);
        const auto flags =
            single ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::Select;
        model->select(index, flags);
        model->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        m_list->scrollTo(index);
    }
}

void SelectionListDlg::showEvent(QShowEvent* event) {
    if (!m_initialised) InitList();
    QDialog::showEvent(event);
}

void SelectionListDlg::accept() {
    selection.clear();
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows())
        selection.push_back(index.row());
    std::sort(selection.begin(), selection.end());
    QDialog::accept();
}

}  // namespace tarnwick
