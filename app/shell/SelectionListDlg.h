#pragma once

#include <QAbstractListModel>
#include <QDialog>
#include <string>
#include <vector>

class QListView;

namespace tarnwick {

// The names of a selection list, handed to the view row by row as it asks for
// them: a long list costs only the rows on screen.
class SelectionListModel : public QAbstractListModel {
    Q_OBJECT
public:
    // The names are not copied; the caller keeps them alive while the model lives.
    explicit SelectionListModel(const std::vector<std::string>& names, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // How many texts the view has asked for so far.
    int GetTextRequests() const { return m_textRequests; }

private:
    const std::vector<std::string>& m_names;
    mutable int m_textRequests = 0;
};

// Picks one or more entries from a list of names: buffers to delete, overlays
// to add or remove. The caller fills `selection` with the entries to preselect;
// after OK it holds the chosen indices in ascending order. Cancel leaves it as
// it was.
class SelectionListDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kListId = 1000;

    // The names are not copied; the caller keeps them alive while the dialog runs.
    SelectionListDlg(const std::vector<std::string>& names, const QString& title,
                     QWidget* parent = nullptr);

    std::vector<int> selection;
    // Only one entry can be chosen; set before the dialog is shown.
    bool single = false;

    QListView* GetList() const { return m_list; }
    const SelectionListModel& GetModel() const { return *m_model; }

    // Applies `single` and the preselection to the list. Runs when the dialog is
    // first shown; callers that drive the dialog without showing it call it themselves.
    void InitList();

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    SelectionListModel* m_model;
    QListView* m_list;
    bool m_initialised = false;
};

}  // namespace tarnwick
