// The export dialog: its choices kept between openings, the same bytes as the command
// line for the same choices, and a long export cancelled.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>

#include "DocFixtures.h"
#include "app/shell/ExportDlg.h"
#include "app/shell/TarnwickDoc.h"
#include "lapgen/CsvWriter.h"
#include "lapgen/GP2Writer.h"
#include "morlund/formats/BufManager.h"
#include "morlund/items/CustomDataItem.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Wheel.h"
#include "morlund/platform/RecordingMessageSink.h"
#include "tests/support/Files.h"

using morlund::DataItem;
using morlund::Wheel;
using tarnwick::CExportDlg;
using tarnwick::ExportDlgState;

namespace {

namespace fs = std::filesystem;

// Two GP2 laps of one track, a little apart.
QStringList WriteGP2Laps(const doctest::TempDir& dir) {
    QStringList paths;
    for (int k = 0; k < 2; ++k) {
        lapgen::LapSpec spec;
        spec.seed = 5;
        spec.sampleCount = 400;
        spec.trackLength = 1500;
        spec.lapNumber = 7 + k;
        spec.gripScale = 1.0 - 0.03 * k;
        spec.name = "lap0" + std::to_string(7 + k);  // the buffer's name
        const std::string name = spec.name + ".pad";
        lapgen::GP2WriteOptions plain;
        plain.strelkoVersion = 0;  // no positions: no track outline to look for
        lapgen::WriteFile(dir.path() / name,
                          lapgen::WriteGP2Perf(lapgen::EncodeGP2(lapgen::MakeLap(spec)), plain));
        paths << dir / name;
    }
    return paths;
}

tarnwick::AppSettings GP2Primary() {
    tarnwick::AppSettings settings;
    settings.pri_game = morlund::GameType::GP2;
    return settings;
}

// Works the dialog's controls as a user does.
class Driver {
public:
    explicit Driver(CExportDlg& dlg) : m_dlg(dlg) {}

    template <typename W>
    W* Get(int id) const {
        W* w = m_dlg.findChild<W*>(QString::number(id));
        EXPECT_NE(w, nullptr) << id;
        return w;
    }
    void Pick(int list, const std::string& text) const {
        QListWidget* l = Get<QListWidget>(list);
        const auto found = l->findItems(QString::fromStdString(text), Qt::MatchExactly);
        ASSERT_FALSE(found.isEmpty()) << text;
        l->setCurrentItem(found.front());
    }
    void Add(const DataItem* item, const Wheel* wheel = Wheel::ALL) const {
        Pick(CExportDlg::kIdItems, item->GetName());
        Pick(CExportDlg::kIdWheels, wheel->GetName());
        Click(CExportDlg::kIdAdd);
    }
    void Click(int id) const { Get<QAbstractButton>(id)->click(); }
    void Type(int id, const QString& text) const {
        QLineEdit* edit = Get<QLineEdit>(id);
        edit->selectAll();
        QTest::keyClicks(edit, text);
        emit edit->editingFinished();
    }
    void Choose(int combo, int index) const { Get<QComboBox>(combo)->setCurrentIndex(index); }
    void Tick(int id, bool on) const {
        if (Get<QAbstractButton>(id)->isChecked() != on) Click(id);
    }
    QStringList Columns() const {
        QStringList texts;
        const QListWidget* l = Get<QListWidget>(CExportDlg::kIdColumns);
        for (int i = 0; i < l->count(); ++i)
            texts << l->item(i)->text();
        return texts;
    }

private:
    CExportDlg& m_dlg;
};

QString Listed(const DataItem* item, const Wheel* wheel) {
    return QString::fromStdString(item->GetName() + " (" + wheel->GetName() + ")");
}

}  // namespace

TEST(ExportDialog, KeepsItsChoicesFromOneOpeningToTheNext) {
    morlund::RecordingMessageSink sink;
    morlund::ScopedMessageSink guard(sink);
    doctest::TempDir dir;
    tarnwick::CTarnwickDoc doc;
    ASSERT_TRUE(doc.OpenFiles(WriteGP2Laps(dir), GP2Primary()));
    ExportDlgState state;
    const QString target = dir / "out.csv";
    {
        CExportDlg dlg(state);
        dlg.SetBufManager(doc.Manager());
        dlg.SetDistanceRange(100, 900);
        dlg.show();
        const Driver d(dlg);
        EXPECT_EQ(d.Get<QLineEdit>(CExportDlg::kIdFileName)->text(), "lap07.csv");
        EXPECT_EQ(d.Get<QComboBox>(CExportDlg::kIdBuffer)->itemText(0), "<all buffers>");
        d.Add(DataItem::SPEED);
        d.Add(DataItem::RIDEHEIGHT, Wheel::LEFT_FRONT);
        d.Type(CExportDlg::kIdMinimum, "12.5");
        d.Click(CExportDlg::kIdExclude);
        d.Add(DataItem::THROTTLE);
        d.Tick(CExportDlg::kIdRangeOnly, true);
        d.Add(DataItem::REVS);
        d.Get<QListWidget>(CExportDlg::kIdColumns)->setCurrentRow(1);
        d.Choose(CExportDlg::kIdDelimiter, 3);
        d.Choose(CExportDlg::kIdColumnNames, 2);
        d.Tick(CExportDlg::kIdHeader, true);
        d.Tick(CExportDlg::kIdSelectedOnly, true);
        d.Pick(CExportDlg::kIdItems, DataItem::GEAR->GetName());
        d.Click(CExportDlg::kIdClose);
    }
    {
        CExportDlg dlg(state);
        dlg.SetBufManager(doc.Manager());
        dlg.SetDistanceRange(0, -1);  // no selection this time
        dlg.show();
        const Driver d(dlg);
        EXPECT_EQ(d.Columns(), (QStringList{QString::fromStdString(DataItem::SPEED->GetName()),
                                            Listed(DataItem::RIDEHEIGHT, Wheel::LEFT_FRONT),
                                            QString::fromStdString(DataItem::THROTTLE->GetName()),
                                            QString::fromStdString(DataItem::REVS->GetName())}));
        EXPECT_EQ(d.Get<QListWidget>(CExportDlg::kIdColumns)->currentRow(), 1);
        EXPECT_EQ(d.Get<QLineEdit>(CExportDlg::kIdMinimum)->text(), "12.50000");
        EXPECT_EQ(d.Get<QLineEdit>(CExportDlg::kIdMaximum)->text(), "");
        EXPECT_TRUE(d.Get<QRadioButton>(CExportDlg::kIdExclude)->isChecked());
        EXPECT_FALSE(d.Get<QCheckBox>(CExportDlg::kIdRangeOnly)->isChecked());
        EXPECT_EQ(d.Get<QComboBox>(CExportDlg::kIdDelimiter)->currentIndex(), 3);
        EXPECT_EQ(d.Get<QComboBox>(CExportDlg::kIdColumnNames)->currentIndex(), 2);
        EXPECT_TRUE(d.Get<QCheckBox>(CExportDlg::kIdHeader)->isChecked());
        EXPECT_TRUE(d.Get<QCheckBox>(CExportDlg::kIdSelectedOnly)->isChecked());
        EXPECT_EQ(d.Get<QListWidget>(CExportDlg::kIdItems)->currentItem()->text(),
                  QString::fromStdString(DataItem::GEAR->GetName()));
        EXPECT_FALSE(d.Get<QListWidget>(CExportDlg::kIdWheels)->isEnabled());  // gear: per car
        d.Get<QListWidget>(CExportDlg::kIdColumns)->setCurrentRow(2);
        EXPECT_TRUE(d.Get<QCheckBox>(CExportDlg::kIdRangeOnly)->isChecked());

        // Delete keeps the selection in place; at the end it moves up. Moving keeps it on
        // the column moved.
        d.Get<QListWidget>(CExportDlg::kIdColumns)->setCurrentRow(1);
        d.Click(CExportDlg::kIdDelete);
        EXPECT_EQ(d.Get<QListWidget>(CExportDlg::kIdColumns)->currentRow(), 1);
        d.Get<QListWidget>(CExportDlg::kIdColumns)->setCurrentRow(2);
        d.Click(CExportDlg::kIdDelete);
        EXPECT_EQ(d.Get<QListWidget>(CExportDlg::kIdColumns)->currentRow(), 1);
        d.Click(CExportDlg::kIdMoveUp);
        EXPECT_EQ(d.Columns(), (QStringList{QString::fromStdString(DataItem::THROTTLE->GetName()),
                                            QString::fromStdString(DataItem::SPEED->GetName())}));
        EXPECT_EQ(d.Get<QListWidget>(CExportDlg::kIdColumns)->currentRow(), 0);

        d.Type(CExportDlg::kIdFileName, target);
        d.Click(CExportDlg::kIdExport);
        ASSERT_EQ(sink.Texts(),
                  std::vector<std::string>{"Exported to '" + target.toStdString() + "'"});
        d.Click(CExportDlg::kIdClose);
    }
    {
        // Ticked without a selected range, the switch comes back cleared; the file name is
        // the last one exported to.
        CExportDlg dlg(state);
        dlg.SetBufManager(doc.Manager());
        dlg.SetDistanceRange(100, 900);
        dlg.show();
        const Driver d(dlg);
        EXPECT_FALSE(d.Get<QCheckBox>(CExportDlg::kIdSelectedOnly)->isChecked());
        EXPECT_EQ(d.Get<QLineEdit>(CExportDlg::kIdFileName)->text(), target);
        EXPECT_EQ(d.Columns().size(), 2);
        // No file name, no export.
        d.Get<QLineEdit>(CExportDlg::kIdFileName)->clear();
        EXPECT_FALSE(d.Get<QPushButton>(CExportDlg::kIdExport)->isEnabled());
    }
}

TEST(ExportDialog, WritesTheBytesTheCommandLineWritesForTheSameChoices) {
    morlund::RecordingMessageSink sink;
    morlund::ScopedMessageSink guard(sink);
    // The formula channels the command line loads, once, as the program does.
    bool formulas = false;
    for (auto it = DataItem::NewIterator(); it->HasNext();)
        formulas |= it->GetNext()->GetLevel() == DataItem::LEVEL_CUSTOM;
    if (!formulas)
        morlund::CustomDataItem::InitCustomDataItems(
            {morlund::CustomDataItem::UserFormulaFolder()});

    doctest::TempDir dir;
    const QStringList laps = WriteGP2Laps(dir);
    tarnwick::CTarnwickDoc doc;
    ASSERT_TRUE(doc.OpenFiles(laps, GP2Primary()));
    const std::string lf = Wheel::LEFT_FRONT->GetShortName();
    const std::string rr = Wheel::RIGHT_REAR->GetShortName();

    struct Case {
        const char* what;
        double from, to;  // the document's selection
        std::function<void(const Driver&)> choose;
        QStringList cli;
    };
    const Case cases[] = {
        {"one lap, comma, short names, header, a lower bound",
         0,
         -1,
         [](const Driver& d) {
             d.Choose(CExportDlg::kIdBuffer, 1);  // after "<all buffers>"
             d.Add(DataItem::DISTANCE);
             d.Add(DataItem::SPEED);
             d.Add(DataItem::RIDEHEIGHT);
             d.Add(DataItem::THROTTLE);
             d.Type(CExportDlg::kIdMinimum, "0.5");
             d.Choose(CExportDlg::kIdDelimiter, 1);
             d.Choose(CExportDlg::kIdColumnNames, 1);
             d.Tick(CExportDlg::kIdHeader, true);
         },
         {"--buffer", "0", "--delimiter", "comma", "--names", "short", "--header", "-c",
          "dist,speed,rh,throttle[0.5:]"}},
        {"all laps, tab, long names, an excluding range-only column, one wheel",
         0,
         -1,
         [&](const Driver& d) {
             d.Add(DataItem::SPEED);
             d.Add(DataItem::REVS);
             d.Tick(CExportDlg::kIdRangeOnly, true);
             d.Type(CExportDlg::kIdMinimum, "5000");
             d.Type(CExportDlg::kIdMaximum, "9000");
             d.Click(CExportDlg::kIdExclude);
             d.Add(DataItem::RIDEHEIGHT, Wheel::LEFT_FRONT);
             d.Choose(CExportDlg::kIdDelimiter, 3);
             d.Choose(CExportDlg::kIdColumnNames, 2);
         },
         {"--buffer", "all", "--delimiter", "tab", "--names", "long", "-c",
          QString::fromStdString("speed,?revs[!5000:9000],rh." + lf)}},
        {"the second lap's selected distance, semicolon, no names",
         200,
         800,
         [&](const Driver& d) {
             d.Choose(CExportDlg::kIdBuffer, 2);
             d.Tick(CExportDlg::kIdSelectedOnly, true);
             d.Add(DataItem::DISTANCE);
             d.Add(DataItem::SUSPTRAVEL);
             d.Add(DataItem::CAMBER, Wheel::RIGHT_REAR);
             d.Choose(CExportDlg::kIdDelimiter, 2);
             d.Choose(CExportDlg::kIdColumnNames, 0);
             d.Tick(CExportDlg::kIdHeader, true);
         },
         {"--buffer", "1", "--range", "200:800", "--delimiter", "semicolon", "--names", "none",
          "--header", "-c", QString::fromStdString("dist,st,camber." + rr)}},
        {"every channel, the system's delimiter",
         0,
         -1,
         [](const Driver& d) {
             d.Click(CExportDlg::kIdAddAll);
             d.Choose(CExportDlg::kIdDelimiter, 0);
             d.Tick(CExportDlg::kIdHeader, true);
         },
         {"--delimiter", "system", "--header"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sink.Clear();
        ExportDlgState state;
        CExportDlg dlg(state);
        dlg.SetBufManager(doc.Manager());
        dlg.SetDistanceRange(c.from, c.to);
        dlg.show();
        const Driver d(dlg);
        c.choose(d);
        const QString fromDialog = dir / "dialog.csv";
        d.Type(CExportDlg::kIdFileName, fromDialog);
        d.Click(CExportDlg::kIdExport);
        ASSERT_EQ(sink.Texts().size(), 1u);
        EXPECT_EQ(sink.Texts().front(), "Exported to '" + fromDialog.toStdString() + "'");

        const QString fromCli = dir / "cli.csv";
        QStringList arguments = QStringList{"export", "--primary-game", "GP2"} + c.cli;
        arguments << "-o" << fromCli << laps;
        doctest::RunProgram(QStringLiteral(TARNWICK_CLI), arguments);
        const auto dialogBytes = testsupport::ReadBytes(fromDialog.toStdString());
        EXPECT_GT(dialogBytes.size(), 100u);
        EXPECT_EQ(dialogBytes, testsupport::ReadBytes(fromCli.toStdString()));
    }
}

TEST(ExportDialog, CancellingALongExportLeavesTheOldFileAsItWas) {
    morlund::RecordingMessageSink sink;
    morlund::ScopedMessageSink guard(sink);
    doctest::TempDir dir;
    lapgen::LapSpec spec;
    spec.sampleCount = 1000000;
    spec.trackLength = 5000;
    lapgen::CsvOptions csv;
    csv.columns = {0, 1, 2, 5, 10, 11, 12, 13};  // time, dist, speed, revs, ride heights
    lapgen::WriteFile(dir.path() / "long.csv", lapgen::WriteGenericCsv(lapgen::MakeLap(spec), csv));
    tarnwick::CTarnwickDoc doc;
    ASSERT_TRUE(doc.OpenFiles({dir / "long.csv"}, tarnwick::AppSettings()));
    const QString target = dir / "old.csv";
    std::ofstream(target.toStdString()) << "previous export\n";

    ExportDlgState state;
    CExportDlg dlg(state);
    dlg.SetBufManager(doc.Manager());
    dlg.show();
    const Driver d(dlg);
    d.Add(DataItem::DISTANCE);
    d.Add(DataItem::SPEED);
    d.Add(DataItem::RIDEHEIGHT);
    d.Type(CExportDlg::kIdFileName, target);
    // Cancel as soon as the export lets the user interface run.
    bool cancelled = false;
    QTimer::singleShot(0, &dlg, [&] {
        if (auto* progress = dlg.findChild<QProgressDialog*>(CExportDlg::kProgressName)) {
            EXPECT_FALSE(d.Get<QPushButton>(CExportDlg::kIdExport)->isEnabled());
            progress->cancel();
            cancelled = true;
        }
    });
    d.Click(CExportDlg::kIdExport);
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(sink.Texts().empty());
    EXPECT_EQ(testsupport::ReadText(target.toStdString()), "previous export\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2);  // the lap, the old file
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(d.Get<QPushButton>(CExportDlg::kIdExport)->isEnabled());
    EXPECT_EQ(state.lastExportName, "");
}
