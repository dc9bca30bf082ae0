#pragma once

#include <QFileDialog>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

#include "app/shell/AppSettings.h"

namespace morlund {
class BufManager;
}

namespace tarnwick {

// A file-dialog filter list: the managers' "description|pattern|" pairs ending
// in "||", the same list as file-dialog name filters, and the entry to select
// first (1-based, as the managers count).
struct FileFilter {
    std::string text;
    QStringList nameFilters;
    int selected = 1;

    // The name filter of `selected`, empty when it names no entry.
    QString SelectedNameFilter() const;
};

// The catch-all entry after every filter list.
inline constexpr const char* kAllFilesFilter = "All Files (*.*)|*.*||";

// "description|pattern|" pairs (patterns separated by ";") as file-dialog name
// filters. Patterns match regardless of case, since game folders come from
// case-insensitive file systems; the description is shown as given. The list
// ends at the first empty description.
QStringList ToNameFilters(const std::string& filter);

// The filters of the perf-file dialogs. Without a manager (File Open): the
// three kinds of perf file, the primary game's files of every track, all files;
// the primary game's kind is selected first. With a manager (Add Buffers): that
// manager's files for its current track, then all files; its own entry first.
FileFilter BuildPerfFileFilter(const AppSettings& settings, const morlund::BufManager* manager);

// The setup-file filters of a manager, then all files; the manager chooses the
// entry to select first.
FileFilter BuildSetupFileFilter(const morlund::BufManager& manager);

// Where a perf-file dialog starts: the given folder when there is one and the
// settings do not insist on the game's default folder, else that default folder.
QString PerfDialogFolder(const AppSettings& settings, const QString& initialFolder);

// Asks for perf files. In open mode several existing files can be chosen, in
// save mode one name. On OK appends the chosen full paths to `list` in the
// dialog's order and returns true.
bool PromptForPerfFiles(QStringList& list, const QString& initialFolder,
                        QFileDialog::Options extraOptions, bool openMode,
                        const morlund::BufManager* manager, const AppSettings& settings,
                        QWidget* parent = nullptr);
// Open mode without extra options: the chosen paths, empty after Cancel.
QStringList PromptForPerfFiles(QWidget* parent, const AppSettings& settings,
                               const QString& initialFolder, const morlund::BufManager* manager);

// The perf files to open (File Open: no manager) or to add to the laps of a
// manager's game and track (Add Buffers): chosen in the perf file browser when
// the settings ask for it, else in the standard dialog. Empty after Cancel.
QStringList ChoosePerfFiles(QWidget* parent, const AppSettings& settings,
                            const QString& initialFolder, const morlund::BufManager* manager,
                            std::optional<morlund::GameType> game);

}  // namespace tarnwick
