#include <gtest/gtest.h>

#include <QApplication>
#include <QListView>
#include <QScrollBar>
#include <algorithm>
#include <string>
#include <vector>

#include "app/shell/SelectionListDlg.h"

using tarnwick::SelectionListDlg;

namespace {

std::vector<std::string> Names(int count) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        names.push_back("lap " + std::to_string(i));
    return names;
}

void Select(SelectionListDlg& dlg, int row) {
    QListView* list = dlg.GetList();
    list->selectionModel()->select(list->model()->index(row, 0), QItemSelectionModel::Select);
}

std::vector<int> SelectedRows(const SelectionListDlg& dlg) {
    std::vector<int> rows;
    for (const QModelIndex& index : dlg.GetList()->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

}  // namespace

TEST(SelectionListDlg, PreselectsValidIndicesAndReturnsTheChoiceAscending) {
    const auto names = Names(5);
    SelectionListDlg dlg(names, "Select buffers to delete");
    EXPECT_EQ(dlg.windowTitle(), "Select buffers to delete");
    ASSERT_NE(dlg.findChild<QListView*>("1000"), nullptr);
    dlg.selection = {3, 7, -1, 1};
    dlg.InitList();
    EXPECT_EQ(SelectedRows(dlg), (std::vector<int>{1, 3}));

    Select(dlg, 4);
    Select(dlg, 0);
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.selection, (std::vector<int>{0, 1, 3, 4}));
}

TEST(SelectionListDlg, OkWithNothingAndCancel) {
    const auto names = Names(3);
    SelectionListDlg empty(names, "t");
    empty.selection = {9};
    empty.InitList();
    empty.accept();
    EXPECT_TRUE(empty.selection.empty());

    SelectionListDlg cancelled(names, "t");
    cancelled.selection = {2, 9};
    cancelled.InitList();
    Select(cancelled, 0);
    cancelled.reject();
    EXPECT_EQ(cancelled.result(), QDialog::Rejected);
    EXPECT_EQ(cancelled.selection, (std::vector<int>{2, 9}));  // as it was
}

TEST(SelectionListDlg, SingleSelectionAndDoubleClick) {
    const auto names = Names(4);
    SelectionListDlg dlg(names, "Pick one");
    dlg.single = true;
    dlg.selection = {1, 2};
    dlg.InitList();
    EXPECT_EQ(dlg.GetList()->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(SelectedRows(dlg).size(), 1u);

    dlg.GetList()->selectionModel()->select(dlg.GetList()->model()->index(3, 0),
                                            QItemSelectionModel::ClearAndSelect);
    emit dlg.GetList()->doubleClicked(dlg.GetList()->model()->index(3, 0));
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.selection, std::vector<int>{3});
}

TEST(SelectionListDlg, LongListsProduceOnlyTheVisibleTexts) {
    const auto names = Names(500);
    SelectionListDlg dlg(names, "Many");
    dlg.selection = {250};
    dlg.show();  // runs the preselection
    QApplication::processEvents();
    dlg.grab();  // paints the list
    EXPECT_EQ(SelectedRows(dlg), std::vector<int>{250});
    EXPECT_EQ(dlg.GetModel().rowCount(), 500);
    EXPECT_GT(dlg.GetModel().GetTextRequests(), 0);
    EXPECT_LT(dlg.GetModel().GetTextRequests(), 200);
    EXPECT_TRUE(dlg.GetList()->verticalScrollBar()->isVisible());
    dlg.reject();
}
