// The perf file browser on a folder tree of lapgen files of every game, and File
// Open and Add Buffers showing it when the settings ask for it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QItemSelectionModel>
#include <QSettings>
#include <QSignalSpy>
#include <QTimer>
#include <QTreeView>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "DocFixtures.h"
#include "app/res/Icons.h"
#include "app/shell/AltOpenDialog.h"
#include "app/shell/DocController.h"
#include "app/shell/MainFrame.h"
#include "app/shell/TarnwickApp.h"
#include "lapgen/F1RSWriter.h"
#include "lapgen/GP3Writer.h"
#include "lapgen/RafWriter.h"
#include "morlund/formats/BufManager.h"
#include "morlund/platform/RecordingMessageSink.h"

using morlund::GameType;
using tarnwick::AltOpenDialog;
using tarnwick::PerfFileModel;

namespace {

namespace fs = std::filesystem;

constexpr int kName = 0, kTime = 1, kLap = 2, kTrack = 3, kDate = 4;

void Write(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    fs::create_directories(path.parent_path());
    lapgen::WriteFile(path, bytes);
}

lapgen::GP3Raw GP3Lap(int track, int lap, int days, unsigned ms) {
    lapgen::GP3Raw raw = lapgen::EncodeGP3(doctest::SmallLap());
    raw.track = static_cast<std::uint8_t>(track);
    raw.lapNumber = static_cast<std::uint8_t>(lap);
    raw.dateDays = static_cast<std::uint16_t>(days);
    raw.hours = 9, raw.minutes = 8, raw.seconds = 7;
    raw.lapTimeMs = ms;
    return raw;
}

void WriteF1RS(const fs::path& path, int track, const char* date) {
    lapgen::TlmRaw raw = lapgen::EncodeF1RS(doctest::SmallLap());
    raw.track = track;  // stored + 1: -1 gives the byte 0
    raw.lapTime = 95 * 65536;
    raw.date = date;
    Write(path, lapgen::WriteF1RSTelemetry(raw));
}

// Laps of every game in subfolders, and files the browser must pass over.
void WriteTree(const fs::path& root) {
    Write(root / "gp3/lap12.pae",
          lapgen::WriteGP3Perf(lapgen::GP3Game::GP3, GP3Lap(4, 12, 365, 83456)));
    Write(root / "gp3/lap03.pac",
          lapgen::WriteGP3Perf(lapgen::GP3Game::GP3, GP3Lap(2, 3, 0, 61000)));
    lapgen::GP3WriteOptions compressed;
    compressed.compress = true;
    Write(root / "gp4/a/b/lap05.pae",
          lapgen::WriteGP3Perf(lapgen::GP3Game::GP4, GP3Lap(4, 5, 366, 92001), compressed));
    WriteF1RS(root / "f1rs/race1.tlm", 2, "31/12/11 23:59");
    WriteF1RS(root / "f1rs/race2.tlm", 2, "01/01/12 00:01");
    WriteF1RS(root / "f1rs/zero.tlm", -1, "12/06/04 14:25");
    fs::create_directories(root / "mgp");
    lapgen::WriteMGPLap(root / "mgp", doctest::SmallLap(), "lap");  // save1lap.tlm ...
    lapgen::RafOptions raf;
    Write(root / "lfs/lap.raf", lapgen::WriteRaf(lapgen::EncodeRaf(doctest::SmallLap(), raf), raf));

    std::vector<std::uint8_t> cut = lapgen::WriteGP3Perf(lapgen::GP3Game::GP3, GP3Lap(4, 1, 0, 1));
    cut.resize(40);
    Write(root / "bad/short.pae", cut);
    std::vector<std::uint8_t> shortRaf =
        lapgen::WriteRaf(lapgen::EncodeRaf(doctest::SmallLap(), raf), raf);
    shortRaf.resize(600);
    Write(root / "bad/short.raf", shortRaf);
    Write(root / "bad/notes.pae", {'n', 'o', 't', ' ', 'a', ' ', 'l', 'a', 'p', '\n'});
    Write(root / "bad/empty.tlm", {});
    fs::create_directory_symlink(root, root / "loop");  // the tree inside itself
    // A folder the scan cannot read (root reads everything; then it lists it too).
    Write(root / "locked/lap.pae", lapgen::WriteGP3Perf(lapgen::GP3Game::GP3, GP3Lap(4, 9, 0, 1)));
    fs::permissions(root / "locked", fs::perms::none);
}

void Unlock(const fs::path& root) { fs::permissions(root / "locked", fs::perms::owner_all); }

void WaitForScan(AltOpenDialog& dlg) {
    if (!dlg.IsScanning()) return;
    QSignalSpy done(&dlg, &AltOpenDialog::ScanFinished);
    ASSERT_TRUE(done.wait(30000));
}

QString Text(const PerfFileModel& m, int row, int column) {
    return m.data(m.index(row, column)).toString();
}

int RowOf(const PerfFileModel& m, const QString& name) {
    for (int row = 0; row < m.rowCount(); ++row)
        if (Text(m, row, kName) == name) return row;
    return -1;
}

QString Native(const char* path) { return QDir::toNativeSeparators(QString::fromLatin1(path)); }

}  // namespace

TEST(PerfBrowser, ListsTheGameFoldersSortedAsAskedAndReturnsTheChosenFiles) {
    doctest::TempDir dir;
    const fs::path root = dir.path() / "perf";
    WriteTree(root);
    // An administrator reads every folder; then the scan lists this one too.
    std::error_code unreadable;
    fs::directory_iterator(root / "locked", unreadable);
    const bool locked = static_cast<bool>(unreadable);

    morlund::PerfFileFilter everything;  // File Open: every game, every track
    everything.primary = GameType::GP3;
    AltOpenDialog dlg(QString::fromStdString(root.string()), everything);
    WaitForScan(dlg);
    Unlock(root);
    const PerfFileModel& m = dlg.Model();
    EXPECT_EQ(dlg.windowTitle(), "Open Perf File(s)");
    EXPECT_EQ(m.rowCount(), locked ? 8 : 9);

    struct Row {
        const char* name;
        const char* time;
        const char* lap;
        const char* track;
        const char* date;  // null: not checked
        GameType game;
    };
    const Row rows[] = {
        {"gp3/lap12.pae", "1:23.456", "12", "Barcelona", "01-01-1979 09:08:07", GameType::GP3},
        {"gp3/lap03.pac", "1:01.000", " 3", "Buenos Aires", "01-01-1978 09:08:07", GameType::GP3},
        {"gp4/a/b/lap05.pae", "1:32.001", " 5", "Barcelona", "02-01-1979 09:08:07", GameType::GP4},
        {"f1rs/race1.tlm", "1:35.000", " 7", "Buenos Aires", "31/12/11 23:59", GameType::F1RS},
        {"f1rs/zero.tlm", "1:35.000", " 7", "???", "12/06/04 14:25", GameType::F1RS},
        {"mgp/save1lap.tlm", nullptr, " 7", "San Marino", "12/06/04 14:25", GameType::MGPRS2},
        {"lfs/lap.raf (Tarnwick, XRT)", nullptr, "?", "SO1 R", nullptr, GameType::LFS},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const int row = RowOf(m, Native(r.name));
        ASSERT_GE(row, 0);
        if (r.time != nullptr) {
            EXPECT_EQ(Text(m, row, kTime), r.time);
        }
        EXPECT_EQ(Text(m, row, kLap), r.lap);
        EXPECT_EQ(Text(m, row, kTrack), r.track);
        if (r.date != nullptr) {
            EXPECT_EQ(Text(m, row, kDate), r.date);
        }
        const QIcon icon = qvariant_cast<QIcon>(m.data(m.index(row, kName), Qt::DecorationRole));
        EXPECT_EQ(icon.pixmap(16).toImage(), tarnwick::GameIconPixmap(r.game, 16).toImage());
    }
    // Only the first part of an MGPRS2 lap, nothing from the broken, foreign or looped files.
    for (const char* absent : {"mgp/save2lap.tlm", "bad/short.pae", "bad/short.raf",
                               "bad/notes.pae", "bad/empty.tlm", "loop/gp3/lap12.pae"})
        EXPECT_EQ(RowOf(m, Native(absent)), -1) << absent;
    EXPECT_EQ(RowOf(m, Native("locked/lap.pae")) == -1, locked);

    // One click on Date: newest first (the LFS lap was written today), across the turn
    // of the year; a second click: oldest first.
    dlg.SortBy(kDate);
    EXPECT_EQ(Text(m, 0, kName), Native("lfs/lap.raf (Tarnwick, XRT)"));
    EXPECT_LT(RowOf(m, Native("f1rs/race2.tlm")), RowOf(m, Native("f1rs/race1.tlm")));
    dlg.SortBy(kDate);
    EXPECT_EQ(Text(m, 0, kDate), "01-01-1978 09:08:07");
    EXPECT_EQ(Text(m, m.rowCount() - 1, kName), Native("lfs/lap.raf (Tarnwick, XRT)"));
    dlg.SortBy(kLap);  // another column starts ascending
    EXPECT_EQ(Text(m, 0, kLap), " 3");

    // OK returns the chosen files in list order.
    QItemSelectionModel& selection = *dlg.List()->selectionModel();
    for (const char* name : {"gp4/a/b/lap05.pae", "gp3/lap03.pac"})
        selection.select(m.index(RowOf(m, Native(name)), 0),
                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    dlg.accept();
    EXPECT_EQ(dlg.paths,
              (QStringList{QString::fromStdString((root / "gp3/lap03.pac").string()),
                           QString::fromStdString((root / "gp4/a/b/lap05.pae").string())}));
}

TEST(PerfBrowser, AddBuffersListsTheDocumentsGameAndTrackOnly) {
    doctest::TempDir dir;
    const fs::path root = dir.path() / "perf";
    WriteTree(root);
    Unlock(root);
    fs::remove_all(root / "locked");
    AltOpenDialog dlg(QString::fromStdString(root.string()), {GameType::GP3, 4, GameType::LFS});
    WaitForScan(dlg);
    ASSERT_EQ(dlg.Model().rowCount(), 1);
    EXPECT_EQ(Text(dlg.Model(), 0, kName), Native("gp3/lap12.pae"));
}

TEST(PerfBrowser, FileOpenAndAddBuffersShowItWhenTheSettingsAskForIt) {
    QSettings(QStringLiteral("Ravelle"), QStringLiteral("Tarnwick")).clear();
    doctest::TempDir dir;
    const fs::path root = dir.path() / "perf";
    Write(root / "lap12.pae",
          lapgen::WriteGP3Perf(lapgen::GP3Game::GP3, GP3Lap(4, 12, 365, 83456)));
    Write(root / "lap13.pae",
          lapgen::WriteGP3Perf(lapgen::GP3Game::GP3, GP3Lap(4, 13, 365, 83000)));
    Write(root / "lap03.pac", lapgen::WriteGP3Perf(lapgen::GP3Game::GP3, GP3Lap(2, 3, 0, 61000)));
    const QString before = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(root.string()));  // the browser starts here

    tarnwick::CTarnwickApp app;
    ASSERT_TRUE(app.Start({}));
    morlund::RecordingMessageSink sink;
    morlund::ScopedMessageSink guard(sink);
    app.Settings().pri_game = GameType::GP3;
    app.Settings().use_default_path = 0;
    app.Settings().use_alt_filedlg = 1;

    // Picks the first listed file in whatever browser is shown next; how many were listed.
    int listed = -1;
    const auto pickFirst = [&listed] {
        QTimer::singleShot(0, [&listed] {
            auto* dlg = qobject_cast<AltOpenDialog*>(QApplication::activeModalWidget());
            if (dlg == nullptr) return;
            WaitForScan(*dlg);
            dlg->SortBy(kName);
            listed = dlg->Model().rowCount();
            dlg->List()->selectionModel()->select(
                dlg->Model().index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
            dlg->accept();
        });
    };
    pickFirst();
    app.OnFileOpen();
    ASSERT_NE(app.Document(), nullptr);
    EXPECT_EQ(listed, 3);
    EXPECT_EQ(app.Document()->Buffer(0)->InfoGetLapnr(), 3);  // lap03 comes first by name

    pickFirst();  // the document's game and track (2)
    tarnwick::DocController(*app.Document(), app.Settings(), app.MainFrame()).AddBuffers();
    EXPECT_EQ(listed, 1);
    EXPECT_EQ(app.Document()->BufCount(), 2);
    app.MainFrame()->close();
    QDir::setCurrent(before);
}
