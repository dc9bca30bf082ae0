#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/res/Icons.h"
#include "app/shell/AppSettings.h"
#include "app/shell/OptionsDlg.h"

using tarnwick::AppSettings;
using tarnwick::COptionsDlg;

constexpr morlund::GameType G(int game) { return static_cast<morlund::GameType>(game); }

namespace {

template <class T>
T* Control(COptionsDlg& dlg, int id) {
    T* control = dlg.findChild<T*>(QString::number(id));
    EXPECT_NE(control, nullptr) << "control " << id;
    return control;
}

QLineEdit* Path(COptionsDlg& dlg) { return Control<QLineEdit>(dlg, COptionsDlg::kIdPath); }
QComboBox* Game(COptionsDlg& dlg) { return Control<QComboBox>(dlg, COptionsDlg::kIdPriGame); }
QCheckBox* Check(COptionsDlg& dlg, int id) { return Control<QCheckBox>(dlg, id); }

void ExpectSameSettings(const AppSettings& a, const AppSettings& b) {
    EXPECT_EQ(a.use_miles, b.use_miles);
    EXPECT_EQ(a.flicker_free, b.flicker_free);
    EXPECT_EQ(a.paths, b.paths);
    EXPECT_EQ(a.pri_game, b.pri_game);
    EXPECT_EQ(a.stat_prt_hdr, b.stat_prt_hdr);
    EXPECT_EQ(a.stat_prt_font_size_adjust, b.stat_prt_font_size_adjust);
    EXPECT_EQ(a.use_default_path, b.use_default_path);
    EXPECT_EQ(a.use_alt_filedlg, b.use_alt_filedlg);
    EXPECT_EQ(a.default_cursor_mode, b.default_cursor_mode);
    EXPECT_EQ(a.default_draw_lines, b.default_draw_lines);
    EXPECT_EQ(a.default_show_values, b.default_show_values);
    EXPECT_EQ(a.map_max_radius, b.map_max_radius);
    EXPECT_EQ(a.start_view, b.start_view);
}

}  // namespace

TEST(OptionsDialog, OpeningClampsAndShowsTheSettings) {
    AppSettings settings;
    settings.pri_game = morlund::GameType::LFS;
    settings.start_view = -3;
    settings.use_miles = 1;
    settings.map_max_radius = 300;
    settings.stat_prt_hdr = QStringLiteral("Club night");
    settings.default_draw_lines = 0;
    COptionsDlg dlg(settings);

    EXPECT_EQ(dlg.windowTitle(), "Options");
    ASSERT_EQ(Game(dlg)->count(), 8);
    EXPECT_EQ(Game(dlg)->itemText(2), "GP3-2000");
    EXPECT_EQ(Game(dlg)->currentIndex(), 7);
    EXPECT_EQ(Game(dlg)->currentText(), "LFS");
    EXPECT_EQ(Path(dlg)->text(), "C:\\LFS");
    const QPixmap icon = Control<QLabel>(dlg, COptionsDlg::kIdGameIcon)->pixmap();
    EXPECT_EQ(icon.toImage(), tarnwick::GameIconPixmap(G(7), 32).toImage());
    auto* startView = Control<QComboBox>(dlg, COptionsDlg::kIdStartView);
    ASSERT_EQ(startView->count(), 5);
    EXPECT_EQ(startView->itemText(3), "Track View");
    EXPECT_EQ(startView->itemText(4), "Histogram View");
    EXPECT_EQ(startView->currentIndex(), 0);
    EXPECT_FALSE(Check(dlg, COptionsDlg::kIdUseMetrics)->isChecked());  // miles
    EXPECT_FALSE(Check(dlg, COptionsDlg::kIdDrawLines)->isChecked());
    EXPECT_TRUE(Check(dlg, COptionsDlg::kIdShowValues)->isChecked());
    EXPECT_EQ(Control<QLineEdit>(dlg, COptionsDlg::kIdMaxRadius)->text(), "300");
    EXPECT_EQ(Control<QLineEdit>(dlg, COptionsDlg::kIdStatPrtHdr)->text(), "Club night");

    // Nothing reaches the caller before OK; then the clamped values do.
    EXPECT_EQ(settings.start_view, -3);
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(settings.pri_game, G(7));
    EXPECT_EQ(settings.start_view, 0);
    EXPECT_EQ(settings.use_miles, 1);
    EXPECT_EQ(settings.map_max_radius, 300);
}

TEST(OptionsDialog, MetricsBoxIsTheInverseOfMiles) {
    for (int miles : {0, 1}) {
        AppSettings settings;
        settings.use_miles = miles;
        COptionsDlg dlg(settings);
        QCheckBox* metrics = Check(dlg, COptionsDlg::kIdUseMetrics);
        EXPECT_EQ(metrics->isChecked(), miles == 0);
        metrics->setChecked(!metrics->isChecked());
        dlg.accept();
        EXPECT_EQ(settings.use_miles, 1 - miles);
    }
}

TEST(OptionsDialog, SwitchingGamesKeepsPathsNotYetConfirmed) {
    AppSettings settings;
    settings.pri_game = G(0);
    COptionsDlg dlg(settings);
    EXPECT_EQ(Path(dlg)->text(), "C:\\GP2");

    Path(dlg)->setText(QStringLiteral("D:\\Sims\\GP2\\"));
    Game(dlg)->setCurrentIndex(7);
    EXPECT_EQ(Path(dlg)->text(), "C:\\LFS");
    Path(dlg)->setText(QStringLiteral("/home/racer/lfs//"));
    Game(dlg)->setCurrentIndex(0);
    EXPECT_EQ(Path(dlg)->text(), "D:\\Sims\\GP2\\");
    EXPECT_EQ(Control<QLabel>(dlg, COptionsDlg::kIdGameIcon)->pixmap().toImage(),
              tarnwick::GameIconPixmap(G(0), 32).toImage());
    EXPECT_EQ(settings.GetPath(G(0)), "C:\\GP2");  // not yet confirmed

    // OK takes the edits of every game, each without one trailing separator.
    Game(dlg)->setCurrentIndex(3);
    Path(dlg)->setText(QStringLiteral("E:\\GP4/"));
    dlg.accept();
    EXPECT_EQ(settings.pri_game, G(3));
    EXPECT_EQ(settings.GetPath(G(0)), "D:\\Sims\\GP2");
    EXPECT_EQ(settings.GetPath(G(7)), "/home/racer/lfs/");
    EXPECT_EQ(settings.GetPath(G(3)), "E:\\GP4");
    EXPECT_EQ(settings.GetPath(G(1)), "C:\\Microprose\\Grand Prix 3");
}

TEST(OptionsDialog, GenericHidesTheAlternativeDialogBox) {
    AppSettings settings;
    settings.pri_game = G(4);
    settings.use_alt_filedlg = 1;
    {
        COptionsDlg dlg(settings);
        QCheckBox* alt = Check(dlg, COptionsDlg::kIdUseAltFileDlg);
        EXPECT_FALSE(alt->isHidden());
        EXPECT_TRUE(alt->isChecked());
        Game(dlg)->setCurrentIndex(6);
        EXPECT_TRUE(alt->isHidden());
        Game(dlg)->setCurrentIndex(5);
        EXPECT_FALSE(alt->isHidden());
        EXPECT_TRUE(alt->isChecked());
        dlg.reject();
    }
    // Opened on Generic, the box starts unticked, so OK clears the setting.
    settings.pri_game = G(6);
    COptionsDlg dlg(settings);
    QCheckBox* alt = Check(dlg, COptionsDlg::kIdUseAltFileDlg);
    EXPECT_TRUE(alt->isHidden());
    EXPECT_FALSE(alt->isChecked());
    dlg.accept();
    EXPECT_EQ(settings.use_alt_filedlg, 0);
}

TEST(OptionsDialog, RadiusIsReadAsSignedInteger) {
    const std::pair<const char*, int> cases[] = {
        {"abc", 0}, {"-20", -20}, {"  75 m", 75}, {"", 0}, {"+8", 8}, {"2147483647", 2147483647}};
    for (const auto& [text, expected] : cases) {
        AppSettings settings;
        COptionsDlg dlg(settings);
        Control<QLineEdit>(dlg, COptionsDlg::kIdMaxRadius)->setText(QString::fromLatin1(text));
        dlg.accept();
        EXPECT_EQ(settings.map_max_radius, expected) << '"' << text << '"';
    }
    // Numbers beyond the int range read as nothing at all rather than wrapping around.
    EXPECT_EQ(tarnwick::ReadSignedInt(QStringLiteral("2147483648")), 0);
    EXPECT_EQ(tarnwick::ReadSignedInt(QStringLiteral("-2147483648")), -2147483647 - 1);
    EXPECT_EQ(tarnwick::ReadSignedInt(QStringLiteral("99999999999999999999")), 0);
    EXPECT_EQ(tarnwick::ReadSignedInt(QStringLiteral("- 5")), 0);
}

TEST(OptionsDialog, OkStoresEveryControl) {
    AppSettings settings;
    COptionsDlg dlg(settings);
    Check(dlg, COptionsDlg::kIdFlickerFree)->setChecked(false);
    Check(dlg, COptionsDlg::kIdUseDefaultPath)->setChecked(false);
    Check(dlg, COptionsDlg::kIdUseAltFileDlg)->setChecked(true);
    Check(dlg, COptionsDlg::kIdCursorMode)->setChecked(true);
    Check(dlg, COptionsDlg::kIdDrawLines)->setChecked(false);
    Check(dlg, COptionsDlg::kIdShowValues)->setChecked(false);
    Control<QComboBox>(dlg, COptionsDlg::kIdStartView)->setCurrentIndex(2);
    Control<QLineEdit>(dlg, COptionsDlg::kIdStatPrtHdr)->setText(QStringLiteral("Setup night"));
    dlg.accept();
    EXPECT_EQ(settings.flicker_free, 0);
    EXPECT_EQ(settings.use_default_path, 0);
    EXPECT_EQ(settings.use_alt_filedlg, 1);
    EXPECT_EQ(settings.default_cursor_mode, 1);
    EXPECT_EQ(settings.default_draw_lines, 0);
    EXPECT_EQ(settings.default_show_values, 0);
    EXPECT_EQ(settings.start_view, 2);
    EXPECT_EQ(settings.stat_prt_hdr, "Setup night");
    EXPECT_EQ(settings.stat_prt_font_size_adjust, 0);  // not the dialog's to change
}

TEST(OptionsDialog, CancelLeavesEverySettingUnchanged) {
    AppSettings settings;
    settings.pri_game = G(2);
    settings.stat_prt_font_size_adjust = -2;
    const AppSettings before = settings;
    COptionsDlg dlg(settings);
    Path(dlg)->setText(QStringLiteral("Z:\\elsewhere\\"));
    Game(dlg)->setCurrentIndex(5);
    Path(dlg)->setText(QStringLiteral("Z:\\rs2"));
    Control<QComboBox>(dlg, COptionsDlg::kIdStartView)->setCurrentIndex(3);
    Control<QLineEdit>(dlg, COptionsDlg::kIdMaxRadius)->setText(QStringLiteral("-1"));
    Control<QLineEdit>(dlg, COptionsDlg::kIdStatPrtHdr)->setText(QStringLiteral("x"));
    for (int id :
         {COptionsDlg::kIdFlickerFree, COptionsDlg::kIdUseMetrics, COptionsDlg::kIdUseDefaultPath,
          COptionsDlg::kIdUseAltFileDlg, COptionsDlg::kIdCursorMode, COptionsDlg::kIdDrawLines,
          COptionsDlg::kIdShowValues})
        Check(dlg, id)->toggle();
    dlg.reject();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    ExpectSameSettings(settings, before);
}

TEST(OptionsDialog, BrowsePutsTheChosenFolderIntoThePath) {
    AppSettings settings;
    settings.pri_game = G(1);
    COptionsDlg dlg(settings);
    QString title;
    QString answer = QStringLiteral("/srv/games/gp3");
    dlg.SetFolderPicker([&](QWidget* parent, const QString& t, const QString&) {
        EXPECT_EQ(parent, &dlg);
        title = t;
        return answer;
    });
    Control<QPushButton>(dlg, COptionsDlg::kIdBrowse)->click();
    EXPECT_EQ(title, "Find Path");
    EXPECT_EQ(Path(dlg)->text(), QDir::toNativeSeparators(answer));

    answer.clear();  // the picker was cancelled
    Control<QPushButton>(dlg, COptionsDlg::kIdBrowse)->click();
    EXPECT_EQ(Path(dlg)->text(), QDir::toNativeSeparators(QStringLiteral("/srv/games/gp3")));
    dlg.accept();
    EXPECT_EQ(settings.GetPath(G(1)), QDir::toNativeSeparators(QStringLiteral("/srv/games/gp3")));
}
