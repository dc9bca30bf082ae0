#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <vector>

#include "DocFixtures.h"
#include "app/setup/SetupDialogs.h"
#include "app/shell/AppSettings.h"
#include "app/shell/TarnwickDoc.h"
#include "lapgen/GP3Writer.h"
#include "lapgen/SetupWriter.h"
#include "morlund/core/PerfCore.h"
#include "morlund/formats/Games.h"
#include "morlund/platform/RecordingMessageSink.h"
#include "morlund/setup/CarSetup.h"

using doctest::TempDir;
using morlund::GameType;
using tarnwick::CAdvancedSetupDlg;
using tarnwick::CDiffSetupDlg;
using tarnwick::CStandardSetupDlg;
using tarnwick::CTarnwickDoc;

namespace {

using Record = std::vector<std::uint8_t>;

Record RecordOf(const morlund::PerfCore& buffer) {
    int size = 0;
    const std::uint8_t* data = buffer.GetSetup()->GetData(&size);
    return Record(data, data + size);
}

// Bytes no slider can show as they are: a wing of 0, a brake byte above 200, a first
// gear of 100/64, a rear ride height of 200 half millimetres, packers of 90, an
// anti-roll-bar step of 12.
template <class Bytes>
void MakeOdd(Bytes& record) {
    record[0] = 0;
    record[9] = 250;
    record[2] = 100;
    record[40] = 200;
    record[16] = 90;
    record[46] = 12;
}

// A document of `laps` laps of the game, each with the odd setup read into it.
void OpenWithSetup(CTarnwickDoc& doc, const TempDir& dir, GameType game, int laps = 1) {
    tarnwick::AppSettings settings;
    settings.pri_game = game;
    QStringList paths;
    const lapgen::GP3Raw gp3 = lapgen::EncodeGP3(doctest::SmallLap());
    for (int i = 0; i < laps; ++i) {
        const std::string name = "lap" + std::to_string(i) + ".pad";
        if (game == GameType::GP2) {
            doctest::WriteGP2Lap(dir.path() / name);
        } else {
            const auto perfGame = game == GameType::GP4     ? lapgen::GP3Game::GP4
                                  : game == GameType::GP32K ? lapgen::GP3Game::GP32K
                                                            : lapgen::GP3Game::GP3;
            lapgen::WriteFile(dir.path() / name, lapgen::WriteGP3Perf(perfGame, gp3));
        }
        paths << dir / name;
    }
    if (game == GameType::GP2) {
        auto record = lapgen::DefaultSetupRecord();
        MakeOdd(record);
        lapgen::WriteFile(dir.path() / "odd.set", lapgen::WriteGP2Setup(3, record));
    } else {
        auto record = lapgen::DefaultGP3SetupRecord();
        MakeOdd(record);
        const auto setupGame = game == GameType::GP4     ? lapgen::GPSetupGame::GP4
                               : game == GameType::GP32K ? lapgen::GPSetupGame::GP32K
                                                         : lapgen::GPSetupGame::GP3;
        lapgen::WriteFile(dir.path() / "odd.set",
                          lapgen::WriteGP3Setup(setupGame, gp3.track, record));
    }
    ASSERT_TRUE(doc.OpenFiles(paths, settings));
    ASSERT_EQ(doc.Game(), game);
    for (int i = 0; i < laps; ++i) {
        doc.UpdateAllViews(nullptr, tarnwick::DocUpdate::BufferChosen({i, -1, 0, 0}));
        ASSERT_TRUE(doc.ReadSetupFile(dir / "odd.set"));
    }
}

void Move(QSlider* slider, int position) {
    ASSERT_NE(slider, nullptr);
    slider->setValue(position);
}

// Runs a check on a lap of every GP game with the odd setup read into it; the check
// gets the document, the lap and its record as read. Nothing may be said to the user.
template <class Check>
void OnEveryGame(Check check) {
    morlund::RecordingMessageSink sink;
    morlund::ScopedMessageSink guard(sink);
    for (GameType game : {GameType::GP2, GameType::GP3, GameType::GP32K, GameType::GP4}) {
        SCOPED_TRACE(morlund::GetGameName(game));
        TempDir dir;
        CTarnwickDoc doc;
        OpenWithSetup(doc, dir, game);
        morlund::PerfCore& lap = *doc.Buffer(0);
        check(doc, lap, RecordOf(lap));
        EXPECT_TRUE(sink.Texts().empty());
    }
}

}  // namespace

TEST(SetupEditor, OpeningAndOkLeaveTheRecordByteForByte) {
    OnEveryGame([](CTarnwickDoc& doc, morlund::PerfCore& lap, const Record& before) {
        {
            CStandardSetupDlg standard(doc, 0);
            EXPECT_EQ(standard.Text(3111), "0");  // shown as it is, not as the slider clamps it
            EXPECT_EQ(standard.Text(3114), "81.250%");
            EXPECT_EQ(standard.Text(3122), "100 : 64");
            const bool seven = doc.Game() == GameType::GP4;
            EXPECT_EQ(standard.Slider(3121)->isVisibleTo(&standard), seven);
            if (seven) {
                EXPECT_EQ(standard.Text(3128), "off");
            }
            CAdvancedSetupDlg advanced(standard.Link());
            EXPECT_EQ(advanced.Text(3100 + 1), "?");  // front bar step 12
            EXPECT_EQ(advanced.Text(3074), "100.0");
            if (standard.Link().SetupVersion() >= 4) CDiffSetupDlg differential(standard.Link());
            advanced.accept();
            standard.accept();
        }
        EXPECT_EQ(RecordOf(lap), before);
        EXPECT_FALSE(lap.IsSetupChanged());
    });
}

TEST(SetupEditor, CancelPutsBackEveryEditAndOkKeepsThem) {
    OnEveryGame([](CTarnwickDoc& doc, morlund::PerfCore& lap, const Record& before) {
        for (bool keep : {false, true}) {
            CStandardSetupDlg standard(doc, 0);
            Move(standard.Slider(3109), 7);     // front wing
            Move(standard.Slider(3112), -480);  // brake balance 60 %
            EXPECT_EQ(standard.Text(3113), "40.000%");
            Move(standard.Slider(3117), 40);  // third gear
            standard.findChild<QRadioButton*>("3131")->click();  // two stops
            EXPECT_EQ(standard.Text(3137), " 66%");
            EXPECT_FALSE(standard.Slider(3135)->isVisibleTo(&standard));
            {
                CAdvancedSetupDlg::SetSymmetrical(true);
                CAdvancedSetupDlg advanced(standard.Link());
                Move(advanced.Slider(3004 + 2), 100);  // left front spring
                EXPECT_EQ(advanced.Text(3054 + 3), "1000");  // the right front moved along
                Move(advanced.Slider(3103), 4);
                if (standard.Link().SetupVersion() == 3)
                    emit advanced.findChild<QComboBox*>("1159")->activated(2);
                if (standard.Link().SetupVersion() >= 4) {
                    CDiffSetupDlg differential(standard.Link());
                    Move(differential.Slider(1160), 9);
                }
                advanced.accept();
            }
            const Record edited = RecordOf(lap);
            EXPECT_EQ(edited[0], 7);
            EXPECT_EQ(edited[9], 80);
            EXPECT_DOUBLE_EQ(lap.GetSetup()->GetGearRatio(3), 40 / 64.0);
            EXPECT_EQ(Record(edited.begin() + 10, edited.begin() + 15),
                      (Record{2, 128, 33, 66, 0}));
            EXPECT_EQ(edited[38], 100);
            EXPECT_EQ(edited[39], 100);
            EXPECT_EQ(edited[46], 4);
            EXPECT_EQ(edited[1], before[1]);    // untouched controls wrote nothing
            EXPECT_EQ(edited[40], before[40]);  // (200: outside its slider)
            if (keep) {
                standard.accept();
                EXPECT_EQ(RecordOf(lap), edited);
                EXPECT_TRUE(lap.IsSetupChanged());
            } else {
                standard.reject();
                EXPECT_EQ(RecordOf(lap), before);
                EXPECT_FALSE(lap.IsSetupChanged());
            }
        }
    });
}

TEST(SetupEditor, LiveEditsReachTheViewsOncePerTurnForTheEditedLapOnly) {
    morlund::RecordingMessageSink sink;
    morlund::ScopedMessageSink guard(sink);
    TempDir dir;
    CTarnwickDoc doc;
    OpenWithSetup(doc, dir, GameType::GP2, 2);
    doctest::CountingView view;
    doc.AddView(&view);
    morlund::PerfCore& edited = *doc.Buffer(1);
    morlund::PerfCore& other = *doc.Buffer(0);
    const int sample = edited.GetSampleCount() / 2;  // at speed
    auto load = [&](morlund::PerfCore& lap) { return lap.GetTyreLoad(sample, 2, *lap.GetSetup()); };
    const double otherLoad = load(other);
    const double before = load(edited);
    {
        CStandardSetupDlg standard(doc, 1);
        CAdvancedSetupDlg advanced(standard.Link());
        for (int spring = 100; spring <= 120; ++spring)
            Move(advanced.Slider(3004 + 2), spring);  // left front
        EXPECT_EQ(view.updates, 0);  // not yet: the views hear once the slider rests
        QApplication::processEvents();
        EXPECT_EQ(view.updates, 1);
        EXPECT_EQ(view.last.kind, tarnwick::DocUpdate::Kind::BufferValues);
        EXPECT_EQ(view.last.buffer, 1);
        EXPECT_NE(load(edited), before);
        EXPECT_EQ(load(other), otherLoad);
        advanced.accept();
        standard.reject();
        EXPECT_EQ(view.updates, 2);  // Cancel tells the views at once
    }
    EXPECT_DOUBLE_EQ(load(edited), before);
    doc.RemoveView(&view);
}

TEST(SetupEditor, EstimatesAreTheCommandLinesAndUseAsOriginalAsksFirst) {
    morlund::RecordingMessageSink sink;
    morlund::ScopedMessageSink guard(sink);
    TempDir dir;
    const QString lap = doctest::WriteDemoLaps(dir) + "/gp2/lap07.pad";
    tarnwick::AppSettings settings;
    settings.pri_game = GameType::GP2;
    settings.paths[static_cast<std::size_t>(morlund::GameIndex(GameType::GP2))] =
        dir / "demo/gp2";  // where its track outline is
    CTarnwickDoc doc;
    ASSERT_TRUE(doc.OpenFiles({lap}, settings));
    const QString sheet = doctest::RunProgram(QStringLiteral(TARNWICK_CLI),
                                              {"setup", "--primary-game", "GP2", lap});
    auto line = [&](const QString& label) {
        const QRegularExpression pattern("^" + QRegularExpression::escape(label) + ": (.*)$",
                                         QRegularExpression::MultilineOption);
        return pattern.match(sheet).captured(1);
    };
    CStandardSetupDlg standard(doc, 0);
    EXPECT_EQ(standard.windowTitle(), "Standard Car Setup for Monte Carlo [Tarnwick]");
    EXPECT_EQ(standard.Text(3150), line("predicted max speed").replace("km/h", "kph"));
    EXPECT_EQ(standard.Text(3152), line("best top gear"));
    for (int g = 1; g <= 6; ++g)
        EXPECT_EQ(standard.Text(3154 + g), line(QStringLiteral("max speed in gear %1").arg(g)));
    CAdvancedSetupDlg advanced(standard.Link());
    const QStringList packers = line("speed to hit packers (km/h)").split(' ', Qt::SkipEmptyParts);
    const QStringList plank = line("speed to hit plank (km/h)").split(' ', Qt::SkipEmptyParts);
    for (int w = 0; w < 4; ++w) {
        EXPECT_EQ(advanced.Text(3078 + w), packers[2 * w + 1] + " km/h");
        EXPECT_EQ(advanced.Text(3162 + w), plank[2 * w + 1] + " km/h");
    }
    EXPECT_EQ(advanced.Text(3139), "Tyre compound: D");  // Monte Carlo, track 3

    // Ctrl+D: the edited setup becomes the original once the user agrees.
    Move(standard.Slider(3108), 3);
    morlund::PerfCore& buffer = *doc.Buffer(0);
    sink.Script(morlund::MessageAnswer::No);
    standard.UseAsOriginal();
    EXPECT_NE(buffer.GetSetupOrg()->GetRearWing(), 3);
    sink.Script(morlund::MessageAnswer::Yes);
    standard.UseAsOriginal();
    EXPECT_EQ(buffer.GetSetupOrg()->GetRearWing(), 3);
    EXPECT_EQ(sink.Texts(), std::vector<std::string>(2, CStandardSetupDlg::kUseAsOriginalQuestion));
}
