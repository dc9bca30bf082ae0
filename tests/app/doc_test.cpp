#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "DocFixtures.h"
#include "app/shell/AppSettings.h"
#include "app/shell/CustomItemDlg.h"
#include "app/shell/DocController.h"
#include "app/shell/TarnwickDoc.h"
#include "lapgen/F1RSWriter.h"
#include "lapgen/GP3Writer.h"
#include "lapgen/RafWriter.h"
#include "lapgen/SegWriter.h"
#include "lapgen/SmxWriter.h"
#include "morlund/core/PerfCore.h"
#include "morlund/items/CustomDataItem.h"
#include "morlund/platform/Errors.h"
#include "morlund/platform/RecordingMessageSink.h"
#include "morlund/res/StringTable.h"

using doctest::CountingView;
using doctest::TempDir;
using morlund::MessageAnswer;
using morlund::RecordingMessageSink;
using morlund::ScopedMessageSink;
using tarnwick::AppSettings;
using tarnwick::CTarnwickDoc;

namespace {

using morlund::GameType;
constexpr GameType kGP2 = GameType::GP2, kGP3 = GameType::GP3, kGP32K = GameType::GP32K,
                   kGP4 = GameType::GP4, kF1RS = GameType::F1RS, kMGP = GameType::MGPRS2,
                   kGeneric = GameType::Generic, kLFS = GameType::LFS;

AppSettings Primary(GameType game) {
    AppSettings s;
    s.pri_game = game;
    return s;
}

// A document of generic laps named after their files.
void OpenCsvLaps(CTarnwickDoc& doc, const TempDir& dir, std::initializer_list<const char*> names) {
    ASSERT_TRUE(doc.OpenFiles(doctest::WriteCsvLaps(dir, names), AppSettings()));
}

}  // namespace

TEST(TarnwickDoc, RecognisesTheGameFromNameAndFirstBytes) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    TempDir dir;
    const lapgen::Lap& lap = doctest::SmallLap();
    lapgen::WriteF1RSLap(dir.path() / "race01.TLM", lap);
    const auto mgp = lapgen::WriteMGPLap(dir.path(), lap, "01");  // save101.tlm ...
    const lapgen::GP3Raw gp3 = lapgen::EncodeGP3(lap);
    std::filesystem::create_directories(dir.path() / "gp4");
    std::filesystem::create_directories(dir.path() / "gp3");
    lapgen::WriteFile(dir.path() / "gp4" / "lap.pad",
                      lapgen::WriteGP3Perf(lapgen::GP3Game::GP4, gp3));
    lapgen::WriteFile(dir.path() / "gp3" / "lap.pad",
                      lapgen::WriteGP3Perf(lapgen::GP3Game::GP3, gp3));
    doctest::WriteGP2Lap(dir.path() / "lap.pad");

    struct Case {
        QString path;
        GameType primary;
        GameType game;
    };
    const Case cases[] = {
        {dir / "race01.TLM", kLFS, kF1RS},
        {QString::fromStdString(mgp.string()), kLFS, kMGP},
        {doctest::WriteCsvLap(dir, "data.csv"), kGP2, kGeneric},
        {dir / "gp4/lap.pad", kGP2, kGP4},  // the GP4 id wins over any primary game
        {dir / "gp4/lap.pad", kLFS, kGP4},
        {dir / "lap.pad", kGP2, kGP2},
        {dir / "gp3/lap.pad", kGP32K, kGP32K},
        {dir / "gp3/lap.pad", kGP4, kGP3},  // GP4 as primary game still reads GP3 laps
        {dir / "gp3/lap.pad", kLFS, kGP3},
    };
    for (const Case& c : cases) {
        CTarnwickDoc doc;
        EXPECT_TRUE(doc.OpenDocument(c.path, Primary(c.primary))) << c.path.toStdString();
        EXPECT_EQ(doc.Game(), c.game) << c.path.toStdString();
        EXPECT_EQ(doc.BufCount(), 1);
    }
    EXPECT_TRUE(sink.Messages().empty()) << sink.Texts().front();
}

TEST(TarnwickDoc, AFileNoReaderTakesLeavesAnEmptyDocument) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    TempDir dir;
    lapgen::WriteFile(dir.path() / "notes.txt", std::vector<std::uint8_t>{'h', 'i', '\n'});
    CTarnwickDoc doc;
    EXPECT_FALSE(doc.OpenDocument(dir / "notes.txt", AppSettings()));
    EXPECT_FALSE(doc.Game().has_value());
    EXPECT_EQ(doc.Manager(), nullptr);
    EXPECT_FALSE(doc.IsReadOk());
    EXPECT_FALSE(sink.Messages().empty());  // the generic reader said why

    sink.Clear();
    EXPECT_FALSE(doc.OpenDocument(dir / "missing.csv", AppSettings()));
    ASSERT_EQ(sink.Messages().size(), 1u);
    EXPECT_NE(sink.Texts()[0].find("missing.csv"), std::string::npos);
    EXPECT_FALSE(doc.CanAddBuffers());
    EXPECT_FALSE(doc.CanExport());
    EXPECT_FALSE(doc.CanNewTrackView());
}

TEST(TarnwickDoc, SeveralFilesOpenAsOneDocumentWithOneUpdate) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    TempDir dir;
    CTarnwickDoc doc;
    CountingView view;
    doc.AddView(&view);
    int updates = 0;
    QObject::connect(&doc, &CTarnwickDoc::ViewsUpdated, [&updates] { ++updates; });
    OpenCsvLaps(doc, dir, {"a.csv", "b.csv", "c.csv"});
    EXPECT_EQ(doc.BufCount(), 3);
    EXPECT_EQ(view.updates, 1);
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(doc.Title(), "a.csv");
    EXPECT_EQ(doc.LastFileName(), "c.csv");
    EXPECT_EQ(doc.LastFolder(), QString::fromStdString(dir.path().string()));

    // One file alone: the view that opens with it draws it; no update.
    CTarnwickDoc single;
    CountingView other;
    single.AddView(&other);
    ASSERT_TRUE(single.OpenFiles({dir / "a.csv"}, AppSettings()));
    EXPECT_EQ(other.updates, 0);

    // A further file that fails is reported and costs no update.
    CTarnwickDoc partly;
    CountingView third;
    partly.AddView(&third);
    ASSERT_TRUE(partly.OpenFiles({dir / "a.csv", dir / "gone.csv"}, AppSettings()));
    EXPECT_EQ(partly.BufCount(), 1);
    EXPECT_EQ(third.updates, 0);
    EXPECT_EQ(sink.Messages().size(), 1u);
    doc.RemoveView(&view);
}

TEST(TarnwickDoc, UpdateAllViewsStoresTheHintAndSkipsTheSender) {
    CTarnwickDoc doc;
    CountingView a, b;
    doc.AddView(&a);
    doc.AddView(&b);
    doc.AddView(&a);  // registered once only
    const tarnwick::ViewHint hint{2, 120.5, 100.0, 900.0};
    doc.UpdateAllViews(&a, tarnwick::DocUpdate::Moved(hint));
    EXPECT_EQ(a.updates, 0);
    EXPECT_EQ(b.updates, 1);
    EXPECT_EQ(b.lastSender, &a);
    EXPECT_EQ(b.last.kind, tarnwick::DocUpdate::Kind::Moved);
    EXPECT_TRUE(b.last.hint.has_value());
    EXPECT_EQ(doc.CurrentBuffer(), 2);
    EXPECT_EQ(doc.CursorPos(), 120.5);
    EXPECT_EQ(doc.SelectionFrom(), 100.0);
    EXPECT_EQ(doc.SelectionTo(), 900.0);

    // A view that closes another while updating: the closed one is not called.
    struct Closer : tarnwick::DocView {
        CTarnwickDoc* doc = nullptr;
        tarnwick::DocView* victim = nullptr;
        void OnUpdate(tarnwick::DocView*, const tarnwick::DocUpdate&) override {
            doc->RemoveView(victim);
        }
    } closer;
    CTarnwickDoc doc2;
    CountingView victim;
    closer.doc = &doc2;
    closer.victim = &victim;
    doc2.AddView(&closer);
    doc2.AddView(&victim);
    doc2.UpdateAllViews(nullptr, tarnwick::DocUpdate::AllValues());
    EXPECT_EQ(victim.updates, 0);
    EXPECT_EQ(doc2.Views().size(), 1u);
}

TEST(TarnwickDoc, SaveQuestionCancelKeepsTheDocument) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    TempDir dir;
    doctest::WriteGP2Lap(dir.path() / "one.pad");
    doctest::WriteGP2Lap(dir.path() / "two.pad");
    CTarnwickDoc doc;
    int closed = 0;
    QObject::connect(&doc, &CTarnwickDoc::Closed, [&closed] { ++closed; });
    ASSERT_TRUE(doc.OpenFiles({dir / "one.pad", dir / "two.pad"}, Primary(kGP2)));
    EXPECT_TRUE(doc.SaveModified());  // nothing changed: no question
    EXPECT_TRUE(sink.Messages().empty());

    doc.Buffer(1)->SetupChanged();
    sink.Script(MessageAnswer::Cancel);
    EXPECT_FALSE(doc.CloseIfAllowed());
    EXPECT_EQ(doc.BufCount(), 2);
    EXPECT_EQ(closed, 0);
    ASSERT_EQ(sink.Messages().size(), 1u);
    EXPECT_EQ(sink.Messages()[0].buttons, morlund::MessageButtons::YesNoCancel);
    EXPECT_EQ(sink.Texts()[0],
              "The car setup of buffer 'Tarnwick' has been changed, do you want to save it?");

    // Yes, but the setup cannot be written: the edits are not thrown away.
    std::filesystem::create_directories(dir.path() / "two.csd");
    sink.Clear();
    sink.Script(MessageAnswer::Yes);
    EXPECT_FALSE(doc.CloseIfAllowed());
    EXPECT_EQ(doc.BufCount(), 2);
    EXPECT_TRUE(doc.Buffer(1)->IsSetupChanged());
    std::filesystem::remove(dir.path() / "two.csd");

    // Yes saves; then the document closes.
    sink.Clear();
    sink.Script(MessageAnswer::Yes);
    EXPECT_TRUE(doc.CloseIfAllowed());
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "two.csd"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "one.csd"));
    EXPECT_EQ(doc.BufCount(), 0);
    EXPECT_FALSE(doc.Game().has_value());
    EXPECT_EQ(closed, 1);
}

TEST(TarnwickDoc, SaveQuestionNoClosesWithoutSaving) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    TempDir dir;
    doctest::WriteGP2Lap(dir.path() / "one.pad");
    CTarnwickDoc doc;
    ASSERT_TRUE(doc.OpenDocument(dir / "one.pad", Primary(kGP2)));
    doc.Buffer(0)->SetupChanged();
    sink.Script(MessageAnswer::No);
    EXPECT_TRUE(doc.CloseIfAllowed());
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "one.csd"));
    EXPECT_FALSE(doc.IsReadOk());
}

TEST(TarnwickDoc, DeleteBuffersKeepsTheOthersAndRetitles) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    TempDir dir;
    CTarnwickDoc doc;
    OpenCsvLaps(doc, dir, {"a.csv", "b.csv", "c.csv", "d.csv"});
    CountingView view;
    doc.AddView(&view);
    int titles = 0;
    QObject::connect(&doc, &CTarnwickDoc::TitleChanged, [&titles] { ++titles; });

    EXPECT_EQ(doc.DeleteBuffers({2, 0, 9, -1}), 2);  // indices out of range are ignored
    EXPECT_EQ(doctest::BufferNames(doc), (std::vector<std::string>{"b.csv", "d.csv"}));
    EXPECT_EQ(doc.Title(), "b.csv");
    EXPECT_EQ(titles, 1);
    EXPECT_EQ(view.updates, 1);

    EXPECT_EQ(doc.DeleteBuffers({1}), 1);  // buffer 0 stays: the title too
    EXPECT_EQ(doc.Title(), "b.csv");
    ASSERT_TRUE(doc.AddBufferFromFile(dir / "c.csv", false));

    EXPECT_EQ(doc.DeleteBuffers({0, 1}), 2);
    EXPECT_EQ(doc.BufCount(), 0);
    EXPECT_EQ(doc.Title(), "<no buffers loaded>");
    EXPECT_EQ(doc.CurrentOrFirstBuffer(), -1);
    EXPECT_EQ(doc.Game(), kGeneric);  // the document stays open for its game
    EXPECT_FALSE(doc.CanDeleteBuffers());
    EXPECT_FALSE(doc.CanExport());
    EXPECT_TRUE(doc.CanAddBuffers());
    EXPECT_EQ(doc.DeleteBuffers({0}), 0);

    // New laps in the emptied document give it their name again.
    EXPECT_EQ(doc.AddBuffers({dir / "c.csv", dir / "d.csv"}), 2);
    EXPECT_EQ(doc.Title(), "c.csv");
    EXPECT_TRUE(sink.Messages().empty());
}

TEST(TarnwickDoc, CurrentBufferFollowsItsLapOrIsClamped) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    TempDir dir;
    CTarnwickDoc doc;
    OpenCsvLaps(doc, dir, {"a.csv", "b.csv", "c.csv", "d.csv"});
    auto select = [&doc](int buffer) {
        const tarnwick::ViewHint hint{buffer, -1.0, 0.0, 0.0};
        doc.UpdateAllViews(nullptr, tarnwick::DocUpdate::Moved(hint));
    };
    select(3);
    doc.DeleteBuffers({0});
    EXPECT_EQ(doc.CurrentBuffer(), 2);  // still d.csv
    EXPECT_EQ(doc.Buffer(doc.CurrentBuffer())->InfoGetName(), "d.csv");
    doc.DeleteBuffers({2});  // the current lap itself, the last one
    EXPECT_EQ(doc.CurrentBuffer(), 1);
    select(0);
    doc.DeleteBuffers({0});
    EXPECT_EQ(doc.CurrentBuffer(), 0);
    doc.DeleteBuffers({0});
    EXPECT_EQ(doc.CurrentBuffer(), 0);
    EXPECT_EQ(doc.CurrentOrFirstBuffer(), -1);

    // A stale index handed in by a view never reaches a buffer that is not there.
    OpenCsvLaps(doc, dir, {"a.csv", "b.csv"});
    select(5);
    EXPECT_EQ(doc.CurrentOrFirstBuffer(), 0);
}

TEST(TarnwickDoc, DeletingALapWithAnEditedSetupAsksFirst) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    TempDir dir;
    doctest::WriteGP2Lap(dir.path() / "one.pad");
    doctest::WriteGP2Lap(dir.path() / "two.pad");
    CTarnwickDoc doc;
    ASSERT_TRUE(doc.OpenFiles({dir / "one.pad", dir / "two.pad"}, Primary(kGP2)));
    doc.Buffer(1)->SetupChanged();
    EXPECT_EQ(doc.DeleteBuffers({0}), 1);  // unchanged setup: no question
    EXPECT_TRUE(sink.Messages().empty());
    ASSERT_TRUE(doc.AddBufferFromFile(dir / "one.pad", false));
    sink.Script(MessageAnswer::Cancel);
    EXPECT_EQ(doc.DeleteBuffers({0, 1}), 0);
    EXPECT_EQ(doc.BufCount(), 2);
    sink.Script(MessageAnswer::No);
    EXPECT_EQ(doc.DeleteBuffers({0, 1}), 2);
    EXPECT_EQ(sink.Messages().size(), 2u);
}

TEST(TarnwickDoc, ExportRangeOfTheSelection) {
    EXPECT_EQ(CTarnwickDoc::ExportRange(0.0, 0.0), std::make_pair(0.0, -1.0));
    EXPECT_EQ(CTarnwickDoc::ExportRange(0.0, 1500.0), std::make_pair(0.0, 1500.0));
    EXPECT_EQ(CTarnwickDoc::ExportRange(200.0, 0.0), std::make_pair(200.0, 0.0));
    CTarnwickDoc doc;
    EXPECT_EQ(doc.ExportRangeOfSelection(), std::make_pair(0.0, -1.0));
    const tarnwick::ViewHint hint{0, -1.0, 0.0, 1500.0};
    doc.UpdateAllViews(nullptr, tarnwick::DocUpdate::Moved(hint));
    EXPECT_EQ(doc.ExportRangeOfSelection(), std::make_pair(0.0, 1500.0));
}

TEST(TarnwickDoc, SetupSaveCurrentOrEveryChanged) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    TempDir dir;
    for (const char* name : {"one.pad", "two.pad", "three.pad"})
        doctest::WriteGP2Lap(dir.path() / name);
    CTarnwickDoc doc;
    ASSERT_TRUE(
        doc.OpenFiles({dir / "one.pad", dir / "two.pad", dir / "three.pad"}, Primary(kGP2)));
    ASSERT_TRUE(doc.CanSetupOpenSave());

    doc.SaveSetups(true);  // Shift, nothing changed: nothing written
    for (const char* name : {"one.csd", "two.csd", "three.csd"})
        EXPECT_FALSE(std::filesystem::exists(dir.path() / name)) << name;

    const tarnwick::ViewHint hint{1, -1.0, 0.0, 0.0};
    doc.UpdateAllViews(nullptr, tarnwick::DocUpdate::Moved(hint));
    doc.SaveSetups(false);  // the current buffer, although unchanged
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "two.csd"));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "one.csd"));
    ASSERT_FALSE(sink.StatusTexts().empty());
    EXPECT_NE(sink.StatusTexts().back().find("two.csd"), std::string::npos);

    doc.Buffer(0)->SetupChanged();
    doc.Buffer(2)->SetupChanged();
    doc.SaveSetups(true);
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "one.csd"));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "three.csd"));
    EXPECT_FALSE(doc.Buffer(0)->IsSetupChanged());
    EXPECT_FALSE(doc.Buffer(2)->IsSetupChanged());
}

TEST(TarnwickDoc, SetupFileReadIntoTheCurrentBuffer) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    TempDir dir;
    doctest::WriteGP2Lap(dir.path() / "one.pad");
    lapgen::WriteFile(dir.path() / "race.csd",
                      lapgen::WriteGP2Setup(3, lapgen::DefaultSetupRecord()));
    CTarnwickDoc doc;
    ASSERT_TRUE(doc.OpenDocument(dir / "one.pad", Primary(kGP2)));
    CountingView view;
    doc.AddView(&view);

    EXPECT_FALSE(doc.ReadSetupFile(dir / "none.csd"));
    ASSERT_EQ(sink.Messages().size(), 1u);
    EXPECT_EQ(sink.Texts()[0], morlund::LoadString(morlund::IDS_OPEN_ERROR));
    EXPECT_EQ(view.updates, 0);

    sink.Clear();
    EXPECT_FALSE(doc.ReadSetupFile(dir / "one.pad"));  // not a setup file: nothing changes
    EXPECT_EQ(view.updates, 0);

    sink.Clear();
    EXPECT_TRUE(doc.ReadSetupFile(dir / "race.csd"));
    EXPECT_TRUE(sink.Messages().empty()) << sink.Texts().front();
    EXPECT_TRUE(doc.Buffer(0)->IsSetupRead());
    EXPECT_EQ(view.updates, 1);
}

TEST(TarnwickDoc, EnableRulesFollowTheGameAndTheBuffers) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    TempDir dir;
    CTarnwickDoc empty;
    EXPECT_FALSE(empty.CanAddBuffers());
    EXPECT_FALSE(empty.CanSetupOpenSave());
    EXPECT_FALSE(empty.CanSetupEdit());
    EXPECT_FALSE(empty.CanNewTrackView());

    CTarnwickDoc generic;
    OpenCsvLaps(generic, dir, {"a.csv"});
    EXPECT_TRUE(generic.CanExport());
    EXPECT_FALSE(generic.CanDeleteBuffers());  // one lap is never deleted
    EXPECT_FALSE(generic.CanSetupOpenSave());
    EXPECT_FALSE(generic.CanSetupEdit());
    EXPECT_TRUE(generic.CanNewTrackView());
    EXPECT_FALSE(generic.HasTrackGeometry());
    EXPECT_EQ(generic.SetupEditBuffer(), -1);
    ASSERT_EQ(sink.Messages().size(), 1u);
    EXPECT_EQ(sink.Texts()[0], "Editor not available for this setup type.");

    const auto mgp = lapgen::WriteMGPLap(dir.path(), doctest::SmallLap(), "x");
    CTarnwickDoc mgpDoc;
    ASSERT_TRUE(mgpDoc.OpenDocument(QString::fromStdString(mgp.string()), AppSettings()));
    EXPECT_FALSE(mgpDoc.CanNewTrackView());
    EXPECT_TRUE(mgpDoc.CanSetupOpenSave());
    EXPECT_FALSE(mgpDoc.CanSetupEdit());

    doctest::WriteGP2Lap(dir.path() / "one.pad");
    doctest::WriteGP2Lap(dir.path() / "two.pad");
    CTarnwickDoc gp2;
    ASSERT_TRUE(gp2.OpenFiles({dir / "one.pad", dir / "two.pad"}, Primary(kGP2)));
    EXPECT_TRUE(gp2.CanDeleteBuffers());
    EXPECT_TRUE(gp2.CanSetupEdit());
    EXPECT_EQ(gp2.SetupEditBuffer(), 0);
    gp2.DeleteBuffers({0, 1});
    EXPECT_FALSE(gp2.CanSetupEdit());  // nothing left to edit
    EXPECT_FALSE(gp2.CanSetupOpenSave());
    EXPECT_EQ(gp2.SetupEditBuffer(), -1);
    gp2.SaveSetups(false);  // harmless without buffers
}

TEST(TarnwickDoc, GP2SegmentFileFromTheInstallFolder) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    TempDir dir;
    const std::uint32_t checksum = doctest::WriteGP2Lap(dir.path() / "lap.pad", 7);
    doctest::WriteGP2Lap(dir.path() / "plain.pad");
    AppSettings settings = Primary(kGP2);
    settings.SetPath(kGP2, QString::fromStdString((dir.path() / "GP2").string()));

    CTarnwickDoc doc;
    ASSERT_TRUE(doc.OpenDocument(dir / "lap.pad", settings));
    EXPECT_TRUE(doc.HasTrackGeometry());
    EXPECT_FALSE(doc.IsGP2TrackLoaded());  // no segment file yet: said so, opened anyway
    ASSERT_EQ(sink.Messages().size(), 1u);
    EXPECT_NE(sink.Texts()[0].find(lapgen::SegFileName(checksum)), std::string::npos);

    // The add-on's folder and file names in another case than asked for.
    std::string name = lapgen::SegFileName(checksum);
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::filesystem::create_directories(dir.path() / "GP2" / "StrelkoD");
    lapgen::WriteFile(dir.path() / "GP2" / "StrelkoD" / name,
                      lapgen::WriteSeg(lapgen::BuildSegTrack(doctest::SmallLap(), checksum)));
    sink.Clear();
    ASSERT_TRUE(doc.OpenDocument(dir / "lap.pad", settings));
    EXPECT_TRUE(doc.IsGP2TrackLoaded());
    EXPECT_GT(doc.GP2Outline().GetNumSegs(), 0);
    EXPECT_TRUE(sink.Messages().empty());

    // Laps without position data have no outline and look for none.
    ASSERT_TRUE(doc.OpenDocument(dir / "plain.pad", settings));
    EXPECT_FALSE(doc.IsGP2TrackLoaded());
    EXPECT_FALSE(doc.HasTrackGeometry());
    EXPECT_TRUE(sink.Messages().empty());
}

TEST(TarnwickDoc, LFSMeshesFromTheWineDrive) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    TempDir dir;
    const lapgen::Lap& lap = doctest::SmallLap();
    lapgen::WriteFile(dir.path() / "lap1.raf", lapgen::WriteRaf(lapgen::EncodeRaf(lap)));
    const auto smx = dir.path() / "wine" / "drive_c" / "LFS" / "data" / "smx";
    std::filesystem::create_directories(smx);
    lapgen::WriteFile(smx / lapgen::SmxFileName("SO1"),
                      lapgen::WriteSmx(lapgen::BuildSmxMesh(lap)));

    CTarnwickDoc doc;
    bool opened = false;
    {
        const testsupport::ScopedEnv prefix("WINEPREFIX", (dir.path() / "wine").string());
        opened = doc.OpenDocument(dir / "lap1.raf", AppSettings());  // "C:\LFS"
    }
    ASSERT_TRUE(opened);
    EXPECT_EQ(doc.Game(), kLFS);
    EXPECT_TRUE(doc.IsLFSMeshLoaded());
    EXPECT_TRUE(doc.LFSMeshes().IsLoaded());
    EXPECT_TRUE(doc.HasTrackGeometry());

    // Elsewhere the lap opens without meshes and without a word.
    AppSettings elsewhere;
    elsewhere.SetPath(kLFS, QString::fromStdString((dir.path() / "nolfs").string()));
    ASSERT_TRUE(doc.OpenDocument(dir / "lap1.raf", elsewhere));
    EXPECT_FALSE(doc.IsLFSMeshLoaded());
    EXPECT_TRUE(sink.Messages().empty());
}

TEST(TarnwickDoc, EditedFormulaIsRecomputedOnEveryBuffer) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    TempDir dir;
    CTarnwickDoc doc;
    OpenCsvLaps(doc, dir, {"a.csv", "b.csv"});
    using morlund::DataItem;
    const std::string speed = DataItem::SPEED->GetShortName();
    auto* base = DataItem::Adopt(std::make_unique<morlund::CustomDataItem>(
        "Doubled", "docdbl", DataItem::DT_CAR, DataItem::Q_VELOCITY, 0.0, 100.0, 0.0,
        (speed + " * 2").c_str()));
    auto* derived = DataItem::Adopt(std::make_unique<morlund::CustomDataItem>(
        "Derived", "docderived", DataItem::DT_CAR, DataItem::Q_FACTOR, 0.0, 100.0, 0.0,
        "docdbl + 1"));
    morlund::CustomDataItem::BuildFormulaNames();
    const morlund::PerfCore* b1 = doc.Buffer(1);
    const double v = b1->GetSpeed(10);
    ASSERT_DOUBLE_EQ(base->GetMetricValue(b1, 10, -1), 2 * v);
    ASSERT_DOUBLE_EQ(derived->GetMetricValue(b1, 10, -1), 2 * v + 1);

    tarnwick::CCustomItemDlg dlg;
    tarnwick::DocController::FillCustomItemDlg(dlg, *base);
    EXPECT_EQ(dlg.name, "Doubled");
    EXPECT_EQ(dlg.shortName, "docdbl");
    EXPECT_EQ(dlg.type, 1);
    EXPECT_EQ(dlg.quantity, DataItem::Q_VELOCITY + 1);
    EXPECT_EQ(dlg.formula, QString::fromStdString(speed + " * 2"));

    CountingView view;
    doc.AddView(&view);
    dlg.formula = QString::fromStdString(speed + " * 3");
    dlg.quantity = 0;  // the empty entry
    dlg.type = 0;
    dlg.maximum = 300.0;
    tarnwick::DocController(doc, AppSettings(), nullptr).ApplyCustomItemDlg(dlg, *base);
    EXPECT_EQ(view.updates, 1);
    EXPECT_EQ(view.last.kind, tarnwick::DocUpdate::Kind::AllValues);
    EXPECT_EQ(base->GetQuantity(), DataItem::Q_FACTOR);
    EXPECT_EQ(base->GetDataType(), DataItem::DT_WHEEL);
    EXPECT_EQ(base->GetMaxValue(), 300.0);
    base->SetDataType(DataItem::DT_CAR);
    EXPECT_DOUBLE_EQ(base->GetMetricValue(b1, 10, -1), 3 * v);
    EXPECT_DOUBLE_EQ(derived->GetMetricValue(b1, 10, -1), 3 * v + 1);  // built on it
}

TEST(TarnwickDoc, SummaryStatisticsByBufferIndex) {
    RecordingMessageSink sink;
    ScopedMessageSink guard(sink);
    TempDir dir;
    CTarnwickDoc doc;
    EXPECT_THROW(doc.Summary(0), std::invalid_argument);
    OpenCsvLaps(doc, dir, {"a.csv"});
    const lapgen::Lap& lap = doctest::SmallLap();
    double top = 0.0;
    for (const auto& s : lap.samples)
        top = std::max(top, s.speed);
    EXPECT_NEAR(doc.Summary(0).speed.maximum, top, 1e-6);
    EXPECT_GT(doc.Summary(0).gearChanges, 0);
    EXPECT_THROW(doc.Summary(1), std::invalid_argument);
}
