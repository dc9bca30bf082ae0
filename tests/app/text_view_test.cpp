// The sample table: cell texts, its columns, sorting, following other views and moving
// their cursor, its commands and keys, and copying rows.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <numeric>

#include "DocFixtures.h"
#include "app/graph/GraphModel.h"
#include "app/graph/GraphView.h"
#include "app/views/TextModel.h"
#include "app/views/TextView.h"
#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "morlund/items/DataItem.h"
#include "morlund/items/Wheel.h"
#include "morlund/platform/RecordingMessageSink.h"

using doctest::TempDir;
using morlund::DataItem;
using morlund::PerfCore;
using morlund::Wheel;
using tarnwick::CTxtView;
using tarnwick::DocUpdate;
using tarnwick::SortKeys;
using tarnwick::ViewHint;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Answers the view's list dialogs from a script and records what they were asked.
struct ScriptedChooser {
    struct Call {
        std::vector<std::string> names;
        QString title;
        bool single;
        std::vector<int> preselected;
    };
    std::deque<std::vector<int>> answers;  // an empty answer cancels
    std::vector<Call> calls;

    CTxtView::Chooser Get() {
        return [this](const std::vector<std::string>& names, const QString& title, bool single,
                      std::vector<int>& selection) {
            calls.push_back({names, title, single, selection});
            if (answers.empty()) return false;
            selection = answers.front();
            answers.pop_front();
            return !selection.empty();
        };
    }
};

int IndexOf(const std::vector<std::string>& names, const std::string& name) {
    const auto at = std::find(names.begin(), names.end(), name);
    return at == names.end() ? -1 : static_cast<int>(at - names.begin());
}

class TextViewTest : public ::testing::Test {
protected:
    void Open(std::initializer_list<const char*> names) {
        ASSERT_TRUE(doc.OpenFiles(doctest::WriteCsvLaps(dir, names), settings));
    }
    const PerfCore& Lap(int index = 0) const { return *doc.Buffer(index); }
    // The first sample at or after a distance, or past it: laps of lapgen run forward.
    int SampleAt(double distance, bool past = false, int buffer = 0) const {
        const PerfCore& lap = Lap(buffer);
        for (int i = 0; i < lap.GetSampleCount(); ++i) {
            if (past ? lap.GetDistance(i) > distance : lap.GetDistance(i) >= distance) return i;
        }
        return lap.GetSampleCount();
    }
    static int Position(const CTxtView& view, const DataItem* item) {
        for (int p = 0; p < view.Model().columnCount(); ++p) {
            if (view.Model().VisibleColumn(p).GetItem() == item) return p;
        }
        return -1;
    }
    static std::vector<int> SelectedSamples(const CTxtView& view) {
        std::vector<int> samples;
        for (const QModelIndex& index : view.selectionModel()->selectedRows())
            samples.push_back(view.Model().Rows().order[index.row()]);
        return samples;
    }

    morlund::RecordingMessageSink sink;
    morlund::ScopedMessageSink guard{sink};
    TempDir dir;
    tarnwick::AppSettings settings;
    tarnwick::CTarnwickDoc doc;
};

// The samples first .. last - 1, stably sorted by (item, descending) keys read here.
std::vector<int> ReferenceOrder(const PerfCore& lap, int first, int last,
                                const std::vector<std::pair<const DataItem*, bool>>& keys) {
    std::vector<int> order(static_cast<std::size_t>(last - first));
    std::iota(order.begin(), order.end(), first);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (const auto& [item, descending] : keys) {
            const double va = item->GetConvertedValueEx(&lap, a, Wheel::ALL);
            const double vb = item->GetConvertedValueEx(&lap, b, Wheel::ALL);
            if (va != vb) return descending ? va > vb : va < vb;
        }
        return false;
    });
    return order;
}

}  // namespace

TEST(TextFormat, CellTexts) {
    const struct {
        int quantity;
        double value;
        const char* text;
    } cases[] = {
        {DataItem::Q_TIME, 83.456, "83.456 "},
        {DataItem::Q_VELOCITY, 123.4, "123 "},
        {DataItem::Q_VELOCITY, 0.05, "0.050 "},
        {DataItem::Q_VELOCITY, -0.05, "-0.050 "},
        {DataItem::Q_VELOCITY, 0.0, "0 "},
        {DataItem::Q_VELOCITY, 9.996, "10.00 "},  // 2 decimals for 9.996, rounded
        {DataItem::Q_VELOCITY, 1e20, "100000000000000000000 "},
        {DataItem::Q_FACTOR, 5e-324, "0.000000000000000 "},  // 15 decimals, not 326
        {DataItem::Q_LENGTH, 1234.5, "1234.50 "},
        {DataItem::Q_ANGULAR_VELOCITY, 12.7, "13 "},
        {DataItem::Q_SELECTION, 7.0, "7 "},
        {DataItem::Q_SPRING_CONSTANT, 0.25, "0 "},
        {DataItem::Q_ANGLE, kNaN, "nan "},
        {DataItem::Q_ANGLE, -kNaN, "nan "},
        {DataItem::Q_ANGLE, kInf, "inf "},
        {DataItem::Q_LENGTH, -kInf, "-inf "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tarnwick::FormatValue(c.quantity, c.value), c.text)
            << c.quantity << " " << c.value;
}

TEST(TextColumns, CatalogueShowsSampleAndMeasuredCarChannels) {
    const tarnwick::TextColumns columns = tarnwick::BuildTextColumns();
    ASSERT_FALSE(columns.empty());
    EXPECT_EQ(columns[0]->GetShortName(), "s");
    EXPECT_TRUE(columns[0]->visible);
    int rideHeights = 0, shown = 1;
    for (std::size_t i = 1; i < columns.size(); ++i) {
        const tarnwick::TextColumn& c = *columns[i];
        const DataItem& item = *c.GetItem();
        EXPECT_LT(item.GetLevel(), DataItem::LEVEL_MODEL) << item.GetName();
        const bool car = item.GetDataType() == DataItem::DT_CAR;
        EXPECT_EQ(c.GetWheel() == Wheel::ALL, car);
        EXPECT_EQ(c.visible, car && item.GetLevel() == DataItem::LEVEL_MEASURED) << item.GetName();
        shown += c.visible ? 1 : 0;
        if (&item != DataItem::RIDEHEIGHT) continue;
        ++rideHeights;
        if (c.GetWheel() == Wheel::LEFT_FRONT) {
            EXPECT_EQ(c.GetShortName(), item.GetShortName() + ".lf");
            EXPECT_EQ(c.GetLongName(), item.GetName() + " (Left Front)");
        }
    }
    EXPECT_EQ(rideHeights, Wheel::GetCount() - 1);  // every selector but All Wheels
    EXPECT_EQ(static_cast<int>(tarnwick::VisibleColumns(columns).size()), shown);
}

TEST(TextSortKeys, HeaderClicksAndDeletedColumns) {
    const struct {
        SortKeys keys;
        int column;
        bool ctrl;
        SortKeys expected;
    } clicks[] = {
        {{0}, 2, false, {3}},         // a new key sorts ascending
        {{3}, 2, false, {-3}},        // the same column again: descending
        {{-3}, 2, false, {3}},        // and back
        {{3}, 0, true, {3, 1}},       // Ctrl adds a secondary key
        {{3, 1}, 0, true, {3, -1}},   // which flips while it is the last one
        {{3, -1}, 2, true, {-1, 3}},  // an earlier key moves to the end, keeping its sign
        {{3, -1}, 2, false, {3}},     // without Ctrl it becomes the only key, unflipped
        {{0}, 0, true, {0, 1}},       // Ctrl on sample order keeps sample order first
    };
    for (const auto& c : clicks)
        EXPECT_EQ(tarnwick::ClickedSortKeys(c.keys, c.column, c.ctrl), c.expected) << c.column;

    EXPECT_EQ(tarnwick::DropSortKeys({3, -1, 0}, 2), (SortKeys{-1, 0}));
    EXPECT_EQ(tarnwick::DropSortKeys({-4, 2}, 3), (SortKeys{2}));
    EXPECT_EQ(tarnwick::DropSortKeys({3, -5}, 0), (SortKeys{0}));  // none left: sample order
}

TEST_F(TextViewTest, SortRowsPutsNonNumbersLastAndKeepsTiesInSampleOrder) {
    Open({"a.csv"});
    struct ListColumn : tarnwick::TextColumn {
        std::vector<double> values;
        std::string GetLongName() const override { return "list"; }
        std::string GetShortName() const override { return "list"; }
        std::string GetItemName() const override { return "list"; }
        DataItem::DataType GetDataType() const override { return DataItem::DT_CAR; }
        int GetQuantity() const override { return DataItem::Q_FACTOR; }
        double GetValue(const PerfCore&, int sample) const override { return values[sample]; }
    };
    tarnwick::TextColumns columns;
    auto list = std::make_unique<ListColumn>();
    list->values = {2.0, kNaN, -0.0, 0.0, -kInf, 1.0, 2.0};
    columns.push_back(std::move(list));
    const std::vector<int> visible{0};

    const auto ascending = tarnwick::SortRows(columns, visible, {1}, Lap(), 0, 7);
    EXPECT_EQ(ascending.order, (std::vector<int>{4, 2, 3, 5, 0, 6, 1}));
    const auto descending = tarnwick::SortRows(columns, visible, {-1}, Lap(), 0, 7);
    EXPECT_EQ(descending.order, (std::vector<int>{1, 0, 6, 5, 2, 3, 4}));
    // A part of the lap, with the map from samples back to rows.
    const auto part = tarnwick::SortRows(columns, visible, {-1}, Lap(), 2, 6);
    EXPECT_EQ(part.order, (std::vector<int>{5, 2, 3, 4}));
    EXPECT_EQ(part.RowOf(4), 3);
    EXPECT_EQ(part.RowOf(1), -1);
    EXPECT_EQ(part.RowOf(6), -1);
}

TEST_F(TextViewTest, HeaderClicksSortLikeAStableSortOfTheValues) {
    Open({"a.csv"});
    CTxtView view(doc);
    const int gear = Position(view, DataItem::GEAR);
    const int speed = Position(view, DataItem::SPEED);
    ASSERT_GE(gear, 0);
    ASSERT_GE(speed, 0);
    const int n = Lap().GetSampleCount();
    ASSERT_EQ(view.Model().rowCount(), SampleAt(std::trunc(doc.Manager()->GetTrackLen()), true));

    // Put the cursor on a sample in the middle; it stays selected through every sort.
    const int cursor = n / 2;
    view.selectionModel()->select(view.Model().index(cursor, 0),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ASSERT_EQ(view.CursorSample(), cursor);

    const auto G = DataItem::GEAR;
    const auto S = DataItem::SPEED;
    const struct {
        int column;
        bool ctrl;
        SortKeys keys;
        std::vector<std::pair<const DataItem*, bool>> reference;
    } steps[] = {
        {gear, false, {gear + 1}, {{G, false}}},  // many ties: sample order among them
        {gear, false, {-(gear + 1)}, {{G, true}}},
        {speed, true, {-(gear + 1), speed + 1}, {{G, true}, {S, false}}},
        {speed, true, {-(gear + 1), -(speed + 1)}, {{G, true}, {S, true}}},
        {speed, false, {speed + 1}, {{S, false}}},
    };
    for (const auto& step : steps) {
        view.SortByColumn(step.column, step.ctrl);
        EXPECT_EQ(view.Keys(), step.keys);
        const tarnwick::TextRows& rows = view.Model().Rows();
        EXPECT_EQ(rows.order,
                  ReferenceOrder(Lap(), rows.first, rows.first + rows.Count(), step.reference));
        EXPECT_EQ(SelectedSamples(view), std::vector<int>{cursor});
        EXPECT_EQ(view.horizontalHeader()->sortIndicatorSection(), std::abs(step.keys[0]) - 1);
    }
}

TEST_F(TextViewTest, FollowsTheRangeAndCursorOfOtherViews) {
    Open({"a.csv", "b.csv"});
    CTxtView view(doc);
    doctest::CountingView other;
    doc.AddView(&other);
    const auto move = [&](const ViewHint& hint) {
        doc.UpdateAllViews(&other, DocUpdate::Moved(hint));
    };

    move({1, 500.0, 300.0, 700.0});
    EXPECT_EQ(view.ShownBuffer(), 1);
    EXPECT_EQ(view.Model().Rows().first, SampleAt(300.0, false, 1));
    EXPECT_EQ(view.Model().rowCount(), SampleAt(700.0, true, 1) - SampleAt(300.0, false, 1));
    EXPECT_EQ(view.CursorSample(), SampleAt(500.0, false, 1));
    EXPECT_EQ(SelectedSamples(view), std::vector<int>{view.CursorSample()});
    EXPECT_TRUE(view.windowTitle().endsWith(
        QStringLiteral("(%1) - Text View").arg(QString::fromStdString(Lap(1).InfoGetName()))));

    // No cursor: the range's start. A range of 0 .. 0: the whole lap.
    move({0, -1.0, 0.0, 0.0});
    EXPECT_EQ(view.Model().Rows().first, 0);
    EXPECT_EQ(view.Model().rowCount(), SampleAt(std::trunc(doc.Manager()->GetTrackLen()), true));
    EXPECT_EQ(view.CursorSample(), 0);

    // Unsynchronised, other views' moves pass it by; the document's own changes do not.
    view.Action(CTxtView::kSync)->trigger();
    EXPECT_FALSE(view.IsSync());
    move({1, 900.0, 800.0, 1000.0});
    EXPECT_EQ(view.ShownBuffer(), 0);
    EXPECT_EQ(view.Model().Rows().first, 0);
    doc.UpdateAllViews(nullptr, DocUpdate::AllValues());
    EXPECT_EQ(view.ShownBuffer(), 1);
    EXPECT_EQ(view.Model().Rows().first, SampleAt(800.0, false, 1));
    doc.RemoveView(&other);
}

TEST_F(TextViewTest, RowChoiceMovesTheGraphCursorAndTheGraphMovesTheRow) {
    Open({"a.csv"});
    settings.default_cursor_mode = 1;
    tarnwick::CGraphView graph(doc, settings);
    graph.resize(700, 400);
    CTxtView view(doc);
    const auto select = [&](int row, QItemSelectionModel::SelectionFlags flags) {
        view.selectionModel()->select(view.Model().index(row, 0),
                                      flags | QItemSelectionModel::Rows);
    };

    view.SortByColumn(Position(view, DataItem::SPEED), false);
    select(10, QItemSelectionModel::ClearAndSelect);
    const int sample = view.Model().Rows().order[10];
    const double distance = Lap().GetDistance(sample);
    EXPECT_EQ(doc.CursorPos(), distance);
    EXPECT_EQ(graph.State().cursorX, tarnwick::DistanceToPixel(graph.State(), distance));

    // Several rows are for copying: the cursor stays.
    select(20, QItemSelectionModel::Select);
    EXPECT_EQ(doc.CursorPos(), distance);

    graph.SetCursorColumn(tarnwick::DistanceToPixel(graph.State(), 700.0));
    const double graphCursor = tarnwick::PixelToDistance(graph.State(), graph.State().cursorX);
    const int expected = SampleAt(graphCursor);
    EXPECT_EQ(view.CursorSample(), expected);
    EXPECT_EQ(SelectedSamples(view), std::vector<int>{expected});

    // Unsynchronised, a row choice keeps to this view.
    view.ToggleSync();
    select(30, QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(view.CursorSample(), expected);
    EXPECT_EQ(doc.CursorPos(), graphCursor);
}

TEST_F(TextViewTest, SelectBufferKeepsItsLapUntilDefaultOrTheLapGoes) {
    Open({"a.csv", "b.csv", "c.csv"});
    CTxtView view(doc);
    ScriptedChooser chooser;
    view.SetChooser(chooser.Get());
    doctest::CountingView other;
    doc.AddView(&other);

    chooser.answers = {{2}};
    view.SelectBuffer();
    ASSERT_EQ(chooser.calls.size(), 1u);
    std::vector<std::string> names{"<default>"};
    for (const std::string& name : doctest::BufferNames(doc))
        names.push_back(name);
    EXPECT_EQ(chooser.calls[0].names, names);
    EXPECT_EQ(chooser.calls[0].title, "Select buffer");
    EXPECT_TRUE(chooser.calls[0].single);
    EXPECT_EQ(chooser.calls[0].preselected, std::vector<int>{0});
    EXPECT_EQ(view.ShownBuffer(), 1);
    EXPECT_EQ(doc.CurrentBuffer(), 1);
    EXPECT_EQ(view.windowTitle(),
              doc.Title() + " (" + QString::fromStdString(names[2]) + ") - Text View");

    // Another view choosing a lap moves the document, not this view ...
    doc.UpdateAllViews(&other, DocUpdate::BufferChosen({2, 100.0, 0.0, 0.0}));
    EXPECT_EQ(view.ShownBuffer(), 1);
    // ... until "<default>" is chosen again.
    chooser.answers = {{0}};
    view.SelectBuffer();
    EXPECT_EQ(chooser.calls.back().preselected, std::vector<int>{2});
    EXPECT_EQ(view.BufferChoice(), -1);
    EXPECT_EQ(view.ShownBuffer(), 2);

    // A chosen lap that is deleted gives way to the current one.
    chooser.answers = {{3}};
    view.SelectBuffer();
    EXPECT_EQ(view.ShownBuffer(), 2);
    ASSERT_EQ(doc.DeleteBuffers({2}), 1);
    EXPECT_EQ(view.BufferChoice(), -1);
    EXPECT_EQ(view.ShownBuffer(), doc.CurrentBuffer());
    EXPECT_EQ(view.Model().rowCount(), view.Model().Rows().Count());
    doc.RemoveView(&other);
}

TEST_F(TextViewTest, AddAndDeleteColumns) {
    Open({"a.csv"});
    CTxtView view(doc);
    ScriptedChooser chooser;
    view.SetChooser(chooser.Get());
    const int before = view.Model().columnCount();

    // Ride Height is offered once; two wheels give two columns.
    chooser.answers = {{}, {}};
    view.AddColumns();
    ASSERT_EQ(chooser.calls.size(), 1u);  // cancelled: no wheels asked for
    const std::vector<std::string> candidates = chooser.calls[0].names;
    EXPECT_EQ(std::count(candidates.begin(), candidates.end(), DataItem::RIDEHEIGHT->GetName()), 1);
    EXPECT_EQ(IndexOf(candidates, DataItem::SPEED->GetName()), -1);  // shown already
    std::vector<std::string> wheels;
    for (const Wheel* w :
         {Wheel::LEFT_REAR, Wheel::RIGHT_REAR, Wheel::LEFT_FRONT, Wheel::RIGHT_FRONT})
        wheels.push_back(w->GetName());
    chooser.answers = {{IndexOf(candidates, DataItem::RIDEHEIGHT->GetName()),
                        IndexOf(candidates, DataItem::COMBINEDACC->GetName())},
                       {2, 3}};
    view.AddColumns();
    ASSERT_EQ(chooser.calls.size(), 3u);
    EXPECT_EQ(chooser.calls[2].title, "Select wheel(s)");
    EXPECT_EQ(chooser.calls[2].names.size(), static_cast<std::size_t>(Wheel::GetCount() - 1));
    EXPECT_EQ(std::vector<std::string>(chooser.calls[2].names.begin(),
                                       chooser.calls[2].names.begin() + 4),
              wheels);
    ASSERT_EQ(view.Model().columnCount(), before + 3);
    const auto header = [&](int p) {
        return view.Model().headerData(p, Qt::Horizontal).toString().toStdString();
    };
    const std::string rh = DataItem::RIDEHEIGHT->GetShortName();
    EXPECT_EQ(header(before), rh + ".lf");
    EXPECT_EQ(header(before + 1), rh + ".rf");
    EXPECT_EQ(header(before + 2), DataItem::COMBINEDACC->GetShortName());

    // Deleting drops the keys on moved columns; with none left the rows go back to
    // sample order.
    view.SortByColumn(before + 1, false);
    view.SortByColumn(1, true);
    chooser.answers = {{before, before + 2}};
    view.DeleteColumns();
    EXPECT_EQ(chooser.calls.back().title, "Select column(s) to remove");
    EXPECT_EQ(chooser.calls.back().names[before + 1],
              DataItem::RIDEHEIGHT->GetName() + " (Right Front)");
    EXPECT_EQ(view.Keys(), SortKeys{2});
    EXPECT_EQ(view.Model().columnCount(), before + 1);
    EXPECT_EQ(header(before), rh + ".rf");
    chooser.answers = {{0}};
    view.DeleteColumns();
    EXPECT_EQ(view.Keys(), SortKeys{0});
    const std::vector<int>& order = view.Model().Rows().order;
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
    EXPECT_NE(header(0), "s");
}

TEST_F(TextViewTest, KeysMenuAndCopiedRows) {
    Open({"a.csv"});
    tarnwick::CTxtFrame frame(doc);
    CTxtView& view = *frame.View();
    ScriptedChooser chooser;
    view.SetChooser(chooser.Get());
    frame.resize(700, 400);
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    view.setFocus();
    EXPECT_EQ(frame.windowTitle(),
              doc.Title() + " (" + QString::fromStdString(Lap().InfoGetName()) + ") - Text View");

    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        const char* title;
    } keys[] = {
        {Qt::Key_B, Qt::NoModifier, "Select buffer"},
        {Qt::Key_Insert, Qt::NoModifier, "Select column(s) to add"},
        {Qt::Key_D, Qt::ControlModifier, "Select column(s) to add"},
        {Qt::Key_Delete, Qt::NoModifier, "Select column(s) to remove"},
        {Qt::Key_B, Qt::AltModifier, "Select column(s) to remove"},
    };
    for (const auto& k : keys) {
        QTest::keyClick(&view, k.key, k.mods);
        ASSERT_FALSE(chooser.calls.empty());
        EXPECT_EQ(chooser.calls.back().title, k.title);
        chooser.calls.clear();
    }
    QTest::keyClick(&view, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_FALSE(view.IsSync());

    std::unique_ptr<QMenu> menu(view.CreateContextMenu(nullptr));
    QStringList entries;
    for (const QAction* action : menu->actions())
        entries << (action->isSeparator() ? QStringLiteral("|")
                                          : action->text() + "\t" + action->shortcut().toString());
    EXPECT_EQ(entries, QStringList({"Select buffer...\tB", "|", "Add columns...\tIns",
                                    "Delete columns...\tDel", "|", "Synchronize\tCtrl+Y"}));
    EXPECT_FALSE(menu->actions().back()->isChecked());

    // Copy: the chosen rows under the column names, in the header's order.
    const int time = Position(view, DataItem::TIME);
    view.horizontalHeader()->moveSection(time, 0);
    view.selectionModel()->select(view.Model().index(5, 0),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view.selectionModel()->select(view.Model().index(2, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const QStringList lines = view.CopyText().split('\n');
    ASSERT_EQ(lines.size(), 4);  // header, two rows, the empty rest after the last end
    EXPECT_TRUE(
        lines[0].startsWith(QString::fromStdString(DataItem::TIME->GetShortName()) + "\ts\t"));
    for (int i = 0; i < 2; ++i) {
        const int sample = i == 0 ? 2 : 5;
        const QStringList cells = lines[i + 1].split('\t');
        ASSERT_EQ(cells.size(), view.Model().columnCount());
        EXPECT_EQ(cells[0], QString::asprintf("%.3f", Lap().GetTime(sample)));
        EXPECT_EQ(cells[1], QString::number(sample));
    }

    // Ctrl+A takes every row; Ctrl+C puts them on the clipboard.
    QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(view.selectionModel()->selectedRows().size(), view.Model().rowCount());
    QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
    const QString copied = QApplication::clipboard()->text();
    EXPECT_EQ(copied.count('\n'), view.Model().rowCount() + 1);
    view.clearSelection();
    EXPECT_EQ(view.CopyText(), copied);  // nothing chosen: the whole range

    // The window goes with the document.
    EXPECT_TRUE(tarnwick::HasViewKind(tarnwick::StartView::Text));
    frame.setAttribute(Qt::WA_DeleteOnClose, false);
    ASSERT_TRUE(doc.CloseIfAllowed());
    EXPECT_FALSE(frame.isVisible());
    EXPECT_EQ(view.Model().Buffer(), nullptr);
    EXPECT_EQ(view.Model().CellText(0, 0), "");
}
