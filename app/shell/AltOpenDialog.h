#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <optional>

#include "app/shell/AppSettings.h"
#include "app/shell/PerfFileModel.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTreeView;

namespace tarnwick {

class PerfScanJob;

// The perf file browser ("Open Perf File(s)"): lists the perf files of a folder
// and all its subfolders with lap time, lap number, track and date, sortable by
// column, and lets the user pick several. The folder is scanned in the
// background: rows arrive while the list can already be sorted and chosen
// from, and the scan can be stopped.
class AltOpenDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kIdList = 1117;
    static constexpr int kIdFolder = 1136;
    static constexpr const char* kTitle = "Open Perf File(s)";

    // Scans `folder` for the files the filter lists; the scan starts at once.
    AltOpenDialog(const QString& folder, const morlund::PerfFileFilter& filter,
                  QWidget* parent = nullptr);
    ~AltOpenDialog() override;

    // The folder the browser starts in: the primary game's perf folder when the
    // settings say so, else the current folder.
    static QString StartFolder(const AppSettings& settings);

    // After OK: the full paths of the chosen files, in list order.
    QStringList paths;

    bool IsScanning() const { return m_job != nullptr; }
    // Stops the scan; the files found so far stay listed.
    void StopScan();
    // Sorts as a click on a column header does.
    void SortBy(int column);
    const PerfFileModel& Model() const { return *m_model; }
    QTreeView* List() const { return m_list; }

    void accept() override;

signals:
    // The scan has ended (done or stopped) and every file found is listed.
    void ScanFinished();

private:
    void StartScan(const QString& folder);
    void OnFound();
    void TakeFound();
    void ShowProgress();

    morlund::PerfFileFilter m_filter;
    PerfFileModel* m_model = nullptr;
    QTreeView* m_list = nullptr;
    QLineEdit* m_folder = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_busy = nullptr;
    QPushButton* m_stop = nullptr;
    QTimer m_take;  // batches the files found into few list updates
    PerfFileSort m_sort;
    bool m_stopped = false;
    std::unique_ptr<PerfScanJob> m_job;  // last: stopped first
};

}  // namespace tarnwick
