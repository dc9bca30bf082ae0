#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <functional>

#include "app/shell/AppSettings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarnwick {

// The Options dialog. It edits a working copy of the caller's settings and writes it
// back only on OK; Cancel leaves the caller's settings exactly as they were. Applying
// the new settings (units, views) is the caller's business.
class COptionsDlg : public QDialog {
    Q_OBJECT

public:
    // Control ids; each control carries its id as its objectName.
    static constexpr int kIdPriGame = 1121;
    static constexpr int kIdGameIcon = 1135;
    static constexpr int kIdPath = 1111;
    static constexpr int kIdBrowse = 1118;
    static constexpr int kIdUseDefaultPath = 1112;
    static constexpr int kIdUseAltFileDlg = 1131;
    static constexpr int kIdFlickerFree = 1124;
    static constexpr int kIdUseMetrics = 1125;
    static constexpr int kIdMaxRadius = 1122;
    static constexpr int kIdStartView = 1130;
    static constexpr int kIdStatPrtHdr = 1116;
    static constexpr int kIdCursorMode = 1169;
    static constexpr int kIdDrawLines = 1170;
    static constexpr int kIdShowValues = 1171;

    // Shows a folder picker; returns the chosen folder, or an empty text when cancelled.
    using FolderPicker =
        std::function<QString(QWidget* parent, const QString& title, const QString& start)>;

    explicit COptionsDlg(AppSettings& settings, QWidget* parent = nullptr);

    // Replaces the folder picker behind Browse (QFileDialog::getExistingDirectory).
    void SetFolderPicker(FolderPicker picker) { m_folderPicker = std::move(picker); }

    void accept() override;

private:
    void OnGameChanged(int index);
    void OnStartViewChanged(int index);
    void OnBrowse();
    void ShowGame();

    AppSettings& m_settings;  // written on OK only
    AppSettings m_work;
    // The path of every game as edited so far; the edit shows the selected game's.
    // The path typed for the primary game being shown.
    QString& PathField();

    std::array<QString, AppSettings::kGameCount> m_paths;
    FolderPicker m_folderPicker;

    QComboBox* m_game = nullptr;
    QLabel* m_gameIcon = nullptr;
    QLineEdit* m_path = nullptr;
    QPushButton* m_browse = nullptr;
    QCheckBox* m_useDefaultPath = nullptr;
    QCheckBox* m_useAltFileDlg = nullptr;
    QCheckBox* m_flickerFree = nullptr;
    QCheckBox* m_useMetrics = nullptr;
    QLineEdit* m_maxRadius = nullptr;
    QComboBox* m_startView = nullptr;
    QLineEdit* m_statPrtHdr = nullptr;
    QCheckBox* m_cursorMode = nullptr;
    QCheckBox* m_drawLines = nullptr;
    QCheckBox* m_showValues = nullptr;
};

// A signed decimal number at the start of a text, as a dialog's number field reads it:
// leading blanks, an optional sign, digits up to the first other character. A text
// without digits, or a number outside the int range, reads as 0.
int ReadSignedInt(const QString& text);

}  // namespace tarnwick
