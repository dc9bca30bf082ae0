#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "pellith/export/ColumnItem.h"
#include "pellith/export/ExportEngine.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace morlund {
class BufManager;
class DataItem;
class Wheel;
}  // namespace morlund

namespace tarnwick {

// What the export dialog remembers from one opening to the next while the
// program runs; nothing of it is stored on disk.
struct ExportDlgState {
    std::vector<pellith::ColumnItem> columns;
    int itemSelection = 0;
    int wheelSelection = 0;
    int columnSelection = -1;
    int delimiterChoice = 0;
    int columnNames = pellith::ExportChoices::kShortNames;
    bool header = false;
    bool selectedOnly = false;  // on only when it was ticked for a range that is one
    QString fileName;
    QString lastExportName;  // the last file exported to
};

// The export dialog: the user composes the columns (channels, per wheel where
// they have wheels, with value ranges that filter rows), picks a buffer or all,
// the delimiter, the column names and the header, and writes the samples to a
// text file. It is a face on the export engine: the file is exactly the one
// `tarnwick-cli export` writes for the same choices. A long export shows its
// progress and can be cancelled; the old file then stays as it was.
class CExportDlg : public QDialog {
    Q_OBJECT
public:
    // Control ids; each control carries its id as its objectName.
    static constexpr int kIdItems = 2000;
    static constexpr int kIdWheels = 2001;
    static constexpr int kIdFileName = 2002;
    static constexpr int kIdBuffer = 2004;
    static constexpr int kIdColumns = 2005;
    static constexpr int kIdDelimiter = 2006;
    static constexpr int kIdHeader = 2007;
    static constexpr int kIdBrowse = 2008;
    static constexpr int kIdAdd = 2009;
    static constexpr int kIdDelete = 2010;
    static constexpr int kIdAddAll = 2011;
    static constexpr int kIdDeleteAll = 2012;
    static constexpr int kIdSelectedOnly = 2013;
    static constexpr int kIdMinimum = 2014;
    static constexpr int kIdMaximum = 2015;
    static constexpr int kIdClearRanges = 2016;
    static constexpr int kIdInclude = 2018;
    static constexpr int kIdExclude = 2019;
    static constexpr int kIdRangeOnly = 2024;
    static constexpr int kIdColumnNames = 2026;
    static constexpr int kIdMoveUp = 2027;
    static constexpr int kIdMoveDown = 2028;
    static constexpr int kIdExport = 1;  // OK
    static constexpr int kIdClose = 2;   // Cancel
    static constexpr const char* kProgressName = "ExportProgress";

    // Every choice is kept in `state`, which outlives the dialog.
    explicit CExportDlg(ExportDlgState& state, QWidget* parent = nullptr);

    // Set before the dialog opens: the laps, and the distance range that
    // "Selected distance only" keeps (metres; from > to when there is none).
    void SetBufManager(const morlund::BufManager* manager) { m_manager = manager; }
    void SetDistanceRange(double from, double to);

    // Shows the remembered choices; runs when the dialog is first shown.
    void Open();
    // The Export button: stores the choices, writes the file and tells the user
    // how it went. The dialog stays open.
    void Export();
    // The choices as the engine gets them, from what was last stored.
    pellith::ExportChoices Choices() const;

    // Close: stores the choices. While an export runs it cancels the export.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    void StoreChoices();
    void StoreColumn();
    void ShowColumn(int row);
    void ListColumns(int select);
    void EnableWheels();
    void AddColumns(std::vector<pellith::ColumnItem> columns);
    void DeleteColumn();
    void MoveColumn(int step);
    void ClearRanges();
    void Browse();
    // Runs the engine a slice at a time, with a progress dialog after a second.
    pellith::ExportResult Run(const pellith::ExportChoices& choices, const QString& fileName);

    ExportDlgState& m_state;
    const morlund::BufManager* m_manager = nullptr;
    double m_distanceFrom = 0.0;
    double m_distanceTo = -1.0;
    std::vector<const morlund::DataItem*> m_items;  // rows of the item list
    std::vector<const morlund::Wheel*> m_wheels;    // rows of the wheel list
    int m_shownColumn = -1;                         // the column whose fields are shown
    bool m_opened = false;
    bool m_exporting = false;
    bool m_cancel = false;

    QWidget* m_form = nullptr;
    QComboBox* m_buffer = nullptr;
    QCheckBox* m_selectedOnly = nullptr;
    QListWidget* m_itemList = nullptr;
    QListWidget* m_wheelList = nullptr;
    QListWidget* m_columnList = nullptr;
    QCheckBox* m_rangeOnly = nullptr;
    QLineEdit* m_minimum = nullptr;
    QLineEdit* m_maximum = nullptr;
    QRadioButton* m_include = nullptr;
    QRadioButton* m_exclude = nullptr;
    QLineEdit* m_fileName = nullptr;
    QComboBox* m_delimiter = nullptr;
    QComboBox* m_columnNames = nullptr;
    QCheckBox* m_header = nullptr;
    QPushButton* m_export = nullptr;
    std::vector<QWidget*> m_columnFields;  // enabled while a column is selected
};

}  // namespace tarnwick
