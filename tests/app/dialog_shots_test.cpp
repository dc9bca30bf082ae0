// Pictures of the export dialog with several columns and of the perf file browser listing
// the demo laps, for looking at. TARNWICK_DIALOG_SHOTS=DIR saves them there as PNG files.

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QSignalSpy>

#include "DocFixtures.h"
#include "Pictures.h"
#include "app/shell/AltOpenDialog.h"
#include "app/shell/ExportDlg.h"
#include "app/shell/TarnwickDoc.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Wheel.h"
#include "morlund/platform/RecordingMessageSink.h"

using morlund::DataItem;
using morlund::Wheel;
using pellith::ColumnItem;

namespace {

void Save(QWidget& widget, const char* name) {
    const QImage picture = widget.grab().toImage();
    EXPECT_GT(pictures::CountColours(picture), 8u) << name;
    const QString out = qEnvironmentVariable("TARNWICK_DIALOG_SHOTS");
    if (out.isEmpty()) return;
    QDir().mkpath(out);
    picture.save(out + "/" + name + ".png");
}

}  // namespace

TEST(DialogShots, ExportDialogWithColumnsAndTheBrowserOnTheDemoLaps) {
    morlund::RecordingMessageSink sink;
    morlund::ScopedMessageSink guard(sink);
    doctest::TempDir dir;
    const QString demo = doctest::WriteDemoLaps(dir);
    tarnwick::AppSettings settings;
    settings.pri_game = morlund::GameType::GP2;
    tarnwick::CTarnwickDoc doc;
    ASSERT_TRUE(doc.OpenFiles({demo + "/gp2/lap07.pad", demo + "/gp2/lap08.pad"}, settings));

    tarnwick::ExportDlgState state;
    for (const DataItem* item : {DataItem::DISTANCE, DataItem::SPEED, DataItem::THROTTLE,
                                 DataItem::RIDEHEIGHT, DataItem::GEAR})
        state.columns.push_back(ColumnItem::Make(item, Wheel::ALL));
    state.columns.push_back(ColumnItem::Make(DataItem::SUSPTRAVEL, Wheel::LEFT_FRONT));
    state.columns[2].minimum = 0.5;
    state.columns[2].exclude = true;
    state.columns[4].rangeOnly = true;
    state.columns[4].minimum = 3;
    state.columns[4].maximum = 5;
    state.columnSelection = 2;
    state.itemSelection = 8;
    state.delimiterChoice = 1;
    state.header = true;
    state.selectedOnly = true;
    tarnwick::CExportDlg exportDlg(state);
    exportDlg.SetBufManager(doc.Manager());
    exportDlg.SetDistanceRange(500, 1500);
    exportDlg.show();
    Save(exportDlg, "export");

    tarnwick::AltOpenDialog browser(demo, {std::nullopt, -1, morlund::GameType::GP2});
    browser.show();
    if (browser.IsScanning()) Save(browser, "browser-scanning");  // before the first rows
    if (browser.IsScanning()) {
        QSignalSpy done(&browser, &tarnwick::AltOpenDialog::ScanFinished);
        ASSERT_TRUE(done.wait(30000));
    }
    EXPECT_EQ(browser.Model().rowCount(), 11);
    browser.SortBy(0);
    Save(browser, "browser");
}
