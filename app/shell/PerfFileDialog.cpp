#include "app/shell/PerfFileDialog.h"

#include <memory>

#include "app/shell/AltOpenDialog.h"
#include "morlund/formats/BufManager.h"
#include "morlund/formats/Games.h"

namespace tarnwick {

namespace {

// "*.pa?" as "*.[pP][aA]?": the same files whatever the case of their names.
QString CaseFreePattern(const QString& pattern) {
    if (pattern.contains('[')) return pattern;  // already a character class; keep it
    QString out;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper()) {
            out += '[';
            out += c.toLower();
            out += c.toUpper();
            out += ']';
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

QString FileFilter::SelectedNameFilter() const {
    return selected >= 1 && selected <= nameFilters.size() ? nameFilters[selected - 1] : QString();
}

QStringList ToNameFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        if (description.isEmpty()) break;
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
            const QString pattern = p.trimmed();
            if (!pattern.isEmpty()) patterns << CaseFreePattern(pattern);
        }
        if (patterns.isEmpty()) continue;
        // The dialog takes its patterns from the last parentheses and, with
        // HideNameFilterDetails, shows the text before them.
        result << QStringLiteral("%1 (%2)").arg(description, patterns.join(' '));
    }
    return result;
}

FileFilter BuildPerfFileFilter(const AppSettings& settings, const morlund::BufManager* manager) {
    FileFilter result;
    int count = 0;
    if (manager != nullptr) {
        manager->GetPerfFilter(result.text, count, manager->GetTrack());
        result.selected = 1;
    } else {
        result.text = morlund::GetPerfFamilyFilter(count);
        if (const auto temporary = morlund::CreateBufManager(settings.pri_game))
            temporary->GetPerfFilter(result.text, count, -1);
        const int family = morlund::GetGameInfo(settings.pri_game).perfFamilyFilter;
        result.selected = family > 0 ? family : count + 1;  // 0: all files
    }
    result.text += kAllFilesFilter;
    result.nameFilters = ToNameFilters(result.text);
    return result;
}

FileFilter BuildSetupFileFilter(const morlund::BufManager& manager) {
    FileFilter result;
    int count = 0;
    result.selected = manager.GetSetupFilter(result.text, count);
    result.text += kAllFilesFilter;
    result.nameFilters = ToNameFilters(result.text);
    // A manager without setup files leaves only the catch-all entry.
    if (result.selected < 1 || result.selected > result.nameFilters.size())
        result.selected = static_cast<int>(result.nameFilters.size());
    return result;
}

QString PerfDialogFolder(const AppSettings& settings, const QString& initialFolder) {
    if (!initialFolder.isEmpty() && settings.use_default_path == 0) return initialFolder;
    return settings.GetDefaultPerfDir();
}

bool PromptForPerfFiles(QStringList& list, const QString& initialFolder,
                        QFileDialog::Options extraOptions, bool openMode,
                        const morlund::BufManager* manager, const AppSettings& settings,
                        QWidget* parent) {
    const FileFilter filter = BuildPerfFileFilter(settings, manager);
    QFileDialog dialog(parent);
    dialog.setOptions(extraOptions | QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(filter.nameFilters);
    dialog.selectNameFilter(filter.SelectedNameFilter());
    dialog.setDirectory(PerfDialogFolder(settings, initialFolder));
    if (openMode) {
        dialog.setWindowTitle(QStringLiteral("Open"));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFiles);
    } else {
        dialog.setWindowTitle(QStringLiteral("Save As"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    if (dialog.exec() != QDialog::Accepted) return false;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return false;
    list << chosen;
    return true;
}

QStringList PromptForPerfFiles(QWidget* parent, const AppSettings& settings,
                               const QString& initialFolder, const morlund::BufManager* manager) {
    QStringList list;
    PromptForPerfFiles(list, initialFolder, {}, true, manager, settings, parent);
    return list;
}

QStringList ChoosePerfFiles(QWidget* parent, const AppSettings& settings,
                            const QString& initialFolder, const morlund::BufManager* manager,
                            std::optional<morlund::GameType> game) {
    if (!settings.UseAltFileDialog())
        return PromptForPerfFiles(parent, settings, initialFolder, manager);
    morlund::PerfFileFilter filter;
    filter.primary = settings.pri_game;
    if (manager != nullptr) {
        filter.game = game;
        filter.track = manager->GetTrack();
    }
    AltOpenDialog dialog(AltOpenDialog::StartFolder(settings), filter, parent);
    return dialog.exec() == QDialog::Accepted ? dialog.paths : QStringList();
}

}  // namespace tarnwick
