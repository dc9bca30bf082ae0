// The histogram window on generated laps: its panels follow the other views, its numbers
// copy as text and it prints on one page.

#include <gtest/gtest.h>

#include <QPrinter>
#include <QStringList>
#include <filesystem>
#include <functional>

#include "DocFixtures.h"
#include "app/views/HistogramView.h"
#include "morlund/formats/BufManager.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Wheel.h"
#include "morlund/platform/RecordingMessageSink.h"
#include "tests/support/Files.h"

using morlund::DataItem;
using morlund::Wheel;

TEST(HistogramView, FollowsTheOtherViewsCopiesAndPrints) {
    morlund::RecordingMessageSink sink;
    morlund::ScopedMessageSink guard{sink};
    doctest::TempDir dir;
    tarnwick::AppSettings settings;
    tarnwick::CTarnwickDoc doc;
    ASSERT_TRUE(doc.OpenFiles(doctest::WriteCsvLaps(dir, {"a.csv", "b.csv"}), settings));
    tarnwick::CHistogramView view(doc, settings);
    view.resize(800, 500);

    // A new window shows the damper speed of every wheel for every lap.
    ASSERT_EQ(view.Panels().size(), 4u);
    EXPECT_TRUE(view.Panels().front().damper);
    EXPECT_EQ(view.Laps(), (std::vector<int>{0, 1}));

    // What the others do reaches it: a zoomed stretch, a lap switched off, a new channel.
    struct Step {
        const char* name;
        std::function<void()> act;
        double from, to;
        std::vector<int> laps;
        std::size_t panels;
    };
    tarnwick::ViewHint hint;
    hint.selectionFrom = 100;
    hint.selectionTo = 700;
    const Step steps[] = {
        {"stretch", [&] { doc.UpdateAllViews(nullptr, tarnwick::DocUpdate::Moved(hint)); }, 100,
         700, {0, 1}, 4},
        {"lap off",
         [&] {
             doc.Manager()->EnableBuffer(1, false);
             doc.UpdateAllViews(nullptr, tarnwick::DocUpdate::BuffersShown());
         },
         100, 700, {0}, 4},
        {"speed", [&] { view.Apply({DataItem::SPEED, Wheel::ALL, 0, 0, false, true}); }, 100, 700,
         {0}, 1},
        {"not synchronised",
         [&] {
             view.Apply({DataItem::SPEED, Wheel::ALL, 0, 0, false, false});
             hint.selectionFrom = 0;
             doc.UpdateAllViews(nullptr, tarnwick::DocUpdate::Moved(hint));
         },
         100, 700, {0}, 1},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        EXPECT_EQ(view.RangeFrom(), step.from);
        EXPECT_EQ(view.RangeTo(), step.to);
        EXPECT_EQ(view.Laps(), step.laps);
        EXPECT_EQ(view.Panels().size(), step.panels);
    }

    // Copied: a heading, then a row per bin with the lap's share; the shares add up to 100.
    const QStringList lines = view.CopyText().split('\n', Qt::SkipEmptyParts);
    const pellith::Histogram& h = view.Panels().front().histogram;
    ASSERT_EQ(lines.size(), 2 + h.binCount);
    EXPECT_TRUE(lines[1].startsWith("from [km/h]\tto [km/h]\ta.csv")) << lines[1].toStdString();
    double sum = 0.0;
    for (int bin = 0; bin < h.binCount; ++bin)
        sum += lines[2 + bin].split('\t').back().toDouble();
    EXPECT_NEAR(sum, 100.0, 0.01 * h.binCount);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString path = dir / "histogram.pdf";
    printer.setOutputFileName(path);
    ASSERT_TRUE(view.PrintTo(printer));
    const std::string pdf = testsupport::ReadText(path.toStdString());
    std::size_t pages = 0;  // page objects, not the page tree ("/Type /Pages")
    for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos;
         at = pdf.find("/Type /Page", at + 1))
        pages += pdf.compare(at, 12, "/Type /Pages") != 0 ? 1 : 0;
    EXPECT_EQ(pages, 1u);
    EXPECT_TRUE(sink.Messages().empty());
}
