#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPrinter>
#include <QStandardPaths>
#include <QTest>
#include <cstdlib>
#include <optional>

#include "DocFixtures.h"
#include "app/graph/GraphRenderer.h"
#include "app/shell/AppSettings.h"
#include "app/shell/TarnwickDoc.h"
#include "app/views/StatListCtrl.h"
#include "app/views/StatView.h"
#include "morlund/formats/BufManager.h"
#include "morlund/platform/RecordingMessageSink.h"

using doctest::TempDir;
using tarnwick::AppSettings;
using tarnwick::CStatView;
using tarnwick::CTarnwickDoc;

namespace {

// The demo laps of the primary game.
QStringList DemoLaps(const TempDir& dir) {
    const QString raf = doctest::WriteDemoLaps(dir) + "/lfs/data/raf/";
    return {raf + "lap1.raf", raf + "lap2.raf", raf + "lap3.raf"};
}

// The stat view's grid as rows of cells, headings first.
QList<QStringList> Cells(const tarnwick::CTreeGridCtrl& table) {
    QList<QStringList> rows;
    QStringList headings;
    for (int c = 0; c < table.ColumnCount(); ++c)
        headings << table.HeaderText(c);
    rows << headings;
    for (int r = 0; r < table.RowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table.ColumnCount(); ++c)
            cells << table.CellText(r, c);
        rows << cells;
    }
    return rows;
}

// The command line's aligned table cut into cells where its headings start.
QList<QStringList> CliCells(const QString& text, const QStringList& headings) {
    const QStringList lines = text.split('\n', Qt::SkipEmptyParts);
    QList<int> starts{0};
    for (int c = 1; c < headings.size(); ++c)
        starts << static_cast<int>(lines.front().indexOf(headings[c], starts.back() + 1));
    QList<QStringList> rows;
    for (const QString& line : lines) {
        QStringList cells;
        for (int c = 0; c < starts.size(); ++c) {
            const int end = c + 1 < starts.size() ? starts[c + 1] : static_cast<int>(line.size());
            cells << line.mid(starts[c], end - starts[c]).trimmed();
        }
        rows << cells;
    }
    return rows;
}

}  // namespace

TEST(StatView, PagesAndColumnWidths) {
    using tarnwick::FittedStatColumnWidth;
    using tarnwick::PaginateStatTable;
    struct PageCase {
        int rows, usable, top, height, perPage, last;
    };
    for (const PageCase& c : {
             PageCase{121, 1000, 40, 40, 24, 6},  // the last row gets a page of its own
             PageCase{48, 1000, 40, 40, 24, 2},   // exactly two full pages
             PageCase{1, 1000, 40, 40, 24, 1},
             PageCase{0, 1000, 40, 40, 24, 1},
             PageCase{10, 80, 40, 40, 1, 10},  // one row a page
         }) {
        const auto pages = PaginateStatTable(c.rows, c.usable, c.top, c.height);
        ASSERT_TRUE(pages) << c.rows;
        EXPECT_EQ(pages->rowsPerPage, c.perPage) << c.rows;
        EXPECT_EQ(pages->lastPage, c.last) << c.rows;
    }
    EXPECT_FALSE(PaginateStatTable(10, 79, 40, 40));  // not one row below the headings
    EXPECT_FALSE(PaginateStatTable(10, 1000, 40, 0));

    // available, first column, scroll bar, columns -> width (0: unchanged)
    EXPECT_EQ(FittedStatColumnWidth(400, 240, 16, 3), 72);
    EXPECT_EQ(FittedStatColumnWidth(400, 240, 16, 5), 50);  // 36 is raised to 50
    EXPECT_EQ(FittedStatColumnWidth(300, 240, 16, 3), 0);   // 44 left: too little
    EXPECT_EQ(FittedStatColumnWidth(307, 240, 16, 2), 51);
    EXPECT_EQ(FittedStatColumnWidth(306, 240, 16, 2), 0);
    EXPECT_EQ(FittedStatColumnWidth(4000, 240, 16, 1), 0);  // no lap column
}

TEST(StatView, DotsCutWhatDoesNotFitAndTheCursorWraps) {
    const QFontMetrics fm(QApplication::font());
    const QString text = QStringLiteral("Throttling Full/Between/None 1");  // 30 characters
    for (int width : {50, 80, 120}) {
        const QString cut = tarnwick::ElideWithDots(text, fm, width);
        ASSERT_TRUE(cut.endsWith("...")) << width;
        const QString kept = cut.chopped(3);
        EXPECT_TRUE(text.startsWith(kept));
        EXPECT_LE(fm.horizontalAdvance(cut), width);
        // The longest beginning that fits with its dots.
        EXPECT_GT(fm.horizontalAdvance(text.left(kept.size() + 1) + "..."), width);
    }
    EXPECT_EQ(tarnwick::ElideWithDots(text, fm, 10000), text);

    tarnwick::CTreeGridCtrl grid;
    for (bool allowed : {true, false, true, false})
        grid.InsertColumn(-1, "c", 0, QColor(), allowed, Qt::AlignLeft, 60);
    grid.InsertRow(-1, 0, "row", 0);
    grid.resize(300, 100);
    grid.show();
    grid.setCurrentIndex(grid.model()->index(0, 0));
    EXPECT_EQ(grid.CursorColumn(), 0);
    QList<int> visited;
    for (Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Left, Qt::Key_Left}) {
        QTest::keyClick(&grid, key);
        visited << grid.CursorColumn();
    }
    EXPECT_EQ(visited, (QList<int>{2, 0, 2, 0}));  // skips 1 and 3, wraps both ways
    EXPECT_TRUE(grid.DeleteColumn(0));
    EXPECT_EQ(grid.CursorColumn(), 1);  // the next column that admits it
}

TEST(StatView, MatchesTheCommandLineCellForCell) {
    morlund::RecordingMessageSink sink;
    morlund::ScopedMessageSink guard(sink);
    TempDir dir;
    const QStringList laps = DemoLaps(dir);
    for (bool miles : {false, true}) {
        AppSettings settings;
        settings.use_miles = miles ? 1 : 0;
        CTarnwickDoc doc;
        ASSERT_TRUE(doc.OpenFiles(laps, settings));
        CStatView view(doc, settings);
        const QList<QStringList> shown = Cells(*view.Table());
        QStringList arguments{"stats"};
        if (miles) arguments << "--miles";
        const QString printed = doctest::RunProgram(QStringLiteral(TARNWICK_CLI), arguments + laps);
        const QList<QStringList> expected = CliCells(printed, shown.front());
        ASSERT_EQ(shown.size(), expected.size());
        ASSERT_GT(shown.size(), 30);
        for (int r = 0; r < shown.size(); ++r)
            EXPECT_EQ(shown[r], expected[r]) << "row " << r;
        EXPECT_EQ(shown.front().size(), 4);
        EXPECT_EQ(view.Table()->RowLevel(0), 0);  // INFORMATION
        EXPECT_EQ(view.Table()->RowLevel(1), 1);
    }
    EXPECT_TRUE(sink.Texts().empty());
}

TEST(StatView, TitlesLapSwitchingAndSummariesKeptPerLap) {
    morlund::RecordingMessageSink sink;
    morlund::ScopedMessageSink guard(sink);
    TempDir dir;
    CTarnwickDoc doc;
    AppSettings settings;
    ASSERT_TRUE(doc.OpenFiles({doctest::WriteCsvLap(dir, "a.csv")}, settings));
    CStatView one(doc, settings);
    EXPECT_EQ(one.windowTitle(), "a.csv - Stat View");
    doc.AddBuffers({doctest::WriteCsvLap(dir, "b.csv"), doctest::WriteCsvLap(dir, "c.csv")});
    EXPECT_EQ(one.windowTitle(), "a.csv - Stat View (3)");
    EXPECT_EQ(one.Table()->ColumnCount(), 4);

    // Each lap is summarised once however often the tables are built: a lap's new
    // setup leaves its recorded channels alone; new units summarise every lap again.
    CStatView two(doc, settings);
    EXPECT_EQ(doc.Summaries().Computed(), 3);
    doc.UpdateAllViews(nullptr, tarnwick::DocUpdate::ValuesOf(1));
    EXPECT_EQ(doc.Summaries().Computed(), 3);
    doc.UpdateAllViews(nullptr, tarnwick::DocUpdate::AllValues());
    EXPECT_EQ(doc.Summaries().Computed(), 6);

    // A click on a lap's heading switches the lap off everywhere and greys its heading
    // in every statistics window; a second click brings it back.
    doctest::CountingView other;
    doc.AddView(&other);
    tarnwick::CColorHeaderCtrl& header = *two.Table()->Header();
    two.resize(600, 400);
    two.show();
    const QColor lapColour =
        tarnwick::GraphRenderer::ToQColor(morlund::BufManager::GetBufColor(1));
    auto swatchPixel = [&] {
        const QImage shot = header.grab().toImage();
        const int x = header.sectionViewportPosition(2) + 2 * header.fontMetrics().horizontalAdvance(' ') + 4;
        return shot.pixelColor(x, header.height() / 2);
    };
    EXPECT_EQ(swatchPixel(), lapColour);
    two.OnHeaderClicked(2);
    EXPECT_FALSE(doc.Manager()->IsBufferEnabled(1));
    EXPECT_EQ(other.updates, 1);
    EXPECT_EQ(header.ColumnColour(2), std::nullopt);
    EXPECT_EQ(swatchPixel(), header.palette().color(QPalette::Button));
    EXPECT_EQ(one.Table()->Header()->ColumnColour(2), std::nullopt);
    two.OnHeaderClicked(2);
    EXPECT_TRUE(doc.Manager()->IsBufferEnabled(1));
    EXPECT_EQ(swatchPixel(), lapColour);
    EXPECT_EQ(one.Table()->Header()->ColumnColour(2), lapColour);

    // The first heading only refits the lap columns to the window.
    two.Table()->setColumnWidth(1, 20);
    two.OnHeaderClicked(0);
    EXPECT_GT(two.Table()->columnWidth(1), 50);
    EXPECT_EQ(other.updates, 2);
    EXPECT_EQ(doc.Summaries().Computed(), 6);
    doc.RemoveView(&other);
}

TEST(StatView, PrintsEveryRowOncePagedWithFooters) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty() ||
        QStandardPaths::findExecutable("pdfinfo").isEmpty())
        GTEST_SKIP() << "poppler-utils are not installed";
    morlund::RecordingMessageSink sink;
    morlund::ScopedMessageSink guard(sink);
    TempDir dir;
    CTarnwickDoc doc;
    AppSettings settings;
    settings.stat_prt_hdr = QStringLiteral("Ravelle Test Day");
    ASSERT_TRUE(doc.OpenFiles({doctest::WriteCsvLap(dir, "a.csv")}, settings));
    CStatView view(doc, settings);
    const int rows = view.Table()->RowCount();

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir / "stats.pdf");
    printer.setPageSize(QPageSize(QSizeF(120, 90), QPageSize::Millimeter));
    printer.setPageMargins(QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter);
    ASSERT_TRUE(view.PrintTo(printer));
    const QString info = doctest::RunProgram("pdfinfo", {dir / "stats.pdf"});
    const int pages = info.section("Pages:", 1).trimmed().section('\n', 0, 0).toInt();
    ASSERT_GT(pages, 2);
    const QString text = doctest::RunProgram("pdftotext", {"-layout", dir / "stats.pdf", "-"});
    const QStringList pageTexts = text.split('\f', Qt::SkipEmptyParts);
    ASSERT_EQ(pageTexts.size(), pages);
    for (int p = 0; p < pages; ++p) {
        EXPECT_TRUE(pageTexts[p].contains("Ravelle Test Day")) << p;
        EXPECT_TRUE(pageTexts[p].contains(QStringLiteral("Page %1/%2").arg(p + 1).arg(pages)))
            << p;
        EXPECT_TRUE(pageTexts[p].contains("a.csv")) << p;  // the headings on every page
    }
    // Every row is printed exactly once, the last one included.
    for (int r = 0; r < rows; ++r) {
        const QString label = view.Table()->CellText(r, 0);
        EXPECT_EQ(text.count(label), 1) << label.toStdString();
    }

    // A page shorter than a row prints nothing and says why.
    printer.setOutputFileName(dir / "tiny.pdf");
    printer.setPageSize(QPageSize(QSizeF(40, 20), QPageSize::Millimeter));
    printer.setPageMargins(QMarginsF(1, 1, 1, 1), QPageLayout::Millimeter);
    EXPECT_FALSE(view.PrintTo(printer));
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{CStatView::kPageTooSmallText});
}
