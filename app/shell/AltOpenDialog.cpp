#include "app/shell/AltOpenDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tarnwick {

using morlund::PerfFileEntry;

// A scan on a thread of its own. Found files wait here until the dialog takes
// them; the dialog is woken once per batch, not per file.
class PerfScanJob {
public:
    PerfScanJob(std::filesystem::path root, morlund::PerfFileFilter filter,
                std::function<void()> wake)
        : m_wake(std::move(wake)),
          m_thread([this, root = std::move(root), filter] { Run(root, filter); }) {}
    ~PerfScanJob() {
        Stop();
        m_thread.join();
    }
    PerfScanJob(const PerfScanJob&) = delete;
    PerfScanJob& operator=(const PerfScanJob&) = delete;

    void Stop() { m_control.stop = true; }
    // The files found since the last call; `finished` when no more will come.
    std::vector<PerfFileEntry> Take(bool& finished) {
        std::lock_guard lock(m_mutex);
        std::vector<PerfFileEntry> found;
        found.swap(m_found);
        m_woken = false;
        finished = m_finished;
        return found;
    }
    int FilesLookedAt() const { return m_control.files; }
    int FoldersEntered() const { return m_control.folders; }

private:
    void Run(const std::filesystem::path& root, const morlund::PerfFileFilter& filter) {
        morlund::ScanPerfFiles(
            root, filter,
            [this](PerfFileEntry&& entry) {
                bool wake = false;
                {
                    std::lock_guard lock(m_mutex);
                    m_found.push_back(std::move(entry));
                    wake = !m_woken;
                    m_woken = true;
                }
                if (wake) m_wake();
            },
            m_control);
        {
            std::lock_guard lock(m_mutex);
            m_finished = true;
            m_woken = true;
        }
        m_wake();
    }

    std::function<void()> m_wake;
    morlund::PerfScanControl m_control;
    std::mutex m_mutex;
    std::vector<PerfFileEntry> m_found;
    bool m_woken = false;
    bool m_finished = false;
    std::thread m_thread;  // last: starts when everything it uses is there
};

namespace {
// Batches after the first wait this long, so a fast scan updates the list a
// few times a second instead of once per file.
constexpr int kTakeIntervalMs = 60;
}  // namespace

AltOpenDialog::AltOpenDialog(const QString& folder, const morlund::PerfFileFilter& filter,
                             QWidget* parent)
    : QDialog(parent), m_filter(filter) {
    setWindowTitle(QString::fromLatin1(kTitle));
    m_folder = new QLineEdit(this);
    m_folder->setObjectName(QString::number(kIdFolder));
    m_folder->setReadOnly(true);

    m_model = new PerfFileModel(this);
    m_list = new QTreeView(this);
    m_list->setObjectName(QString::number(kIdList));
    m_list->setModel(m_model);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);  // only the rows on screen are asked for
    m_list->setAllColumnsShowFocus(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setIconSize(QSize(16, 16));
    QHeaderView* header = m_list->header();
    header->setStretchLastSection(false);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    for (int c = 0; c < morlund::kPerfFileColumnCount; ++c)
        header->resizeSection(c, PerfFileModel::kColumnWidths[c]);
    connect(header, &QHeaderView::sectionClicked, this, &AltOpenDialog::SortBy);
    connect(m_list, &QTreeView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) accept();
    });

    m_status = new QLabel(this);
    m_busy = new QProgressBar(this);
    m_busy->setRange(0, 0);  // busy: how many files are left is not known
    m_busy->setMaximumWidth(160);
    m_busy->setTextVisible(false);
    m_stop = new QPushButton(QStringLiteral("&Stop"), this);
    m_stop->setObjectName(QStringLiteral("StopScan"));
    m_stop->setAutoDefault(false);
    connect(m_stop, &QPushButton::clicked, this, &AltOpenDialog::StopScan);
    auto* progress = new QHBoxLayout;
    progress->addWidget(m_status, 1);
    progress->addWidget(m_busy);
    progress->addWidget(m_stop);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &AltOpenDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &AltOpenDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_folder);
    layout->addWidget(m_list, 1);
    layout->addLayout(progress);
    layout->addWidget(buttons);
    resize(840, 480);

    m_take.setSingleShot(true);
    connect(&m_take, &QTimer::timeout, this, &AltOpenDialog::TakeFound);
    StartScan(folder);
}

AltOpenDialog::~AltOpenDialog() {
    // The scan thread may still wake this dialog: it ends before the dialog does.
    m_job.reset();
}

QString AltOpenDialog::StartFolder(const AppSettings& settings) {
    return settings.use_default_path != 0 ? settings.GetDefaultPerfDir() : QDir::currentPath();
}

void AltOpenDialog::StartScan(const QString& folder) {
    m_folder->setText(QDir::toNativeSeparators(folder));
    m_model->Clear();
    m_stopped = false;
    setCursor(Qt::BusyCursor);
    m_job = std::make_unique<PerfScanJob>(folder.toStdU16String(), m_filter, [this] {
        // From the scan's thread: the list is the dialog's, so the dialog's thread fills it.
        QMetaObject::invokeMethod(this, &AltOpenDialog::OnFound, Qt::QueuedConnection);
    });
    ShowProgress();
}

void AltOpenDialog::OnFound() {
    if (m_take.isActive()) return;
    // The first files show at once; later ones gather for a moment.
    m_take.start(m_model->rowCount() == 0 ? 0 : kTakeIntervalMs);
}

void AltOpenDialog::TakeFound() {
    if (!m_job) return;
    bool finished = false;
    m_model->Append(m_job->Take(finished));
    ShowProgress();
    if (!finished) return;
    const int files = m_job->FilesLookedAt();
    m_job.reset();
    unsetCursor();
    m_busy->hide();
    m_stop->hide();
    m_status->setText(
        QStringLiteral("%1 perf files%2 (%3 files looked at)")
            .arg(m_model->rowCount())
            .arg(m_stopped ? QStringLiteral(" before the scan was stopped") : QString())
            .arg(files));
    emit ScanFinished();
}

void AltOpenDialog::ShowProgress() {
    if (!m_job) return;
    m_busy->show();
    m_stop->show();
    m_status->setText(QStringLiteral("Scanning: %1 perf files in %2 files of %3 folders")
                          .arg(m_model->rowCount())
                          .arg(m_job->FilesLookedAt())
                          .arg(m_job->FoldersEntered()));
}

void AltOpenDialog::StopScan() {
    if (!m_job) return;
    m_stopped = true;
    m_job->Stop();  // the scan's last wake takes what it found
}

void AltOpenDialog::SortBy(int column) {
    m_sort = m_sort.Clicked(column);
    const Qt::SortOrder order = m_sort.ascending ? Qt::AscendingOrder : Qt::DescendingOrder;
    m_model->sort(column, order);
    m_list->header()->setSortIndicatorShown(true);
    m_list->header()->setSortIndicator(column, order);
}

void AltOpenDialog::accept() {
    QModelIndexList rows = m_list->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    paths.clear();
    for (const QModelIndex& row : rows)
        paths << QString::fromStdU16String(m_model->Entry(row.row()).path.u16string());
    m_job.reset();
    QDialog::accept();
}

}  // namespace tarnwick
