#pragma once

#include <QDialog>
#include <QPointer>
#include <array>
#include <memory>

#include "pellith/setup/SetupEdit.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;

namespace morlund {
class PerfCore;
}

namespace tarnwick {

class CTarnwickDoc;

// Shared by the three setup dialogs: the session on the lap's record, and the
// document told of every stored change (once per turn of the event loop, however
// fast a slider moves).
class SetupEditLink : public QObject {
    Q_OBJECT
public:
    SetupEditLink(CTarnwickDoc& doc, int buffer, QObject* parent = nullptr);

    CTarnwickDoc* Document() const;
    int BufferIndex() const { return m_buffer; }
    pellith::SetupEditSession& Session() { return m_session; }
    // The game's setup layout version (2 GP2, 3 GP3, 4 GP3-2000, 5 GP4).
    int SetupVersion() const;
    // The manager's name of the setup's track.
    QString TrackName() const;

    // A control wrote the record: the views hear of it soon.
    void Stored();
    // Tells the views now of anything stored since they last heard.
    void Flush();

private:
    QPointer<CTarnwickDoc> m_doc;
    int m_buffer;
    pellith::SetupEditSession m_session;
    bool m_pending = false;
};

// The wings, brake balance, gear ratios and pit-stop strategy of a lap's setup, with
// the top speeds the car model predicts. Every move is written into the lap at once
// (only the moved control's bytes); OK keeps the changes, Cancel puts the record
// back byte for byte. Control ids are the widgets' object names.
class CStandardSetupDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kUseAsOriginalQuestion = "Use this setup as the original setup?";

    CStandardSetupDlg(CTarnwickDoc& doc, int buffer, QWidget* parent = nullptr);
    ~CStandardSetupDlg() override;

    SetupEditLink& Link() { return *m_link; }
    // The text of the label with the given id (for checks and tests).
    QString Text(int id) const;
    QSlider* Slider(int id) const;
    // Opens the advanced dialog (the "&Advanced" button).
    void OpenAdvanced();
    // Ctrl+D: asks, then makes the edited setup the lap's original.
    void UseAsOriginal();

    void accept() override;
    void reject() override;

private:
    void Fill();
    void ShowEstimates();
    void ShowStops(bool reset);
    void OnWing(bool front, int position);
    void OnBrake(int position);
    void OnGear(int gear, int position);
    void OnStop(int stop, int position);
    void StoreStops();

    std::unique_ptr<SetupEditLink> m_link;
    bool m_initializing = true;
    pellith::setupedit::PitStops m_stops;
    QButtonGroup* m_strategy = nullptr;
    std::array<QLabel*, 3> m_stopCaptions{};
};

// Per-wheel packers, springs, dampers and ride heights (in the wheels' colours),
// anti-roll bars, differential and tyre compound; with symmetrical editing on, a
// wheel's partner on the same axle moves with it.
class CAdvancedSetupDlg : public QDialog {
    Q_OBJECT
public:
    CAdvancedSetupDlg(SetupEditLink& link, QWidget* parent = nullptr);

    QString Text(int id) const;
    QSlider* Slider(int id) const;
    QCheckBox* SymmetricalBox() const { return m_symmetrical; }
    void OpenDifferential();

    // Symmetrical editing, one choice for the program run.
    static bool Symmetrical();
    static void SetSymmetrical(bool on);

private:
    void OnWheelSlider(pellith::setupedit::WheelSetting setting, int wheel, int position);
    void OnBar(bool front, int position);
    void ShowEstimates();

    SetupEditLink& m_link;
    QCheckBox* m_symmetrical = nullptr;
    bool m_moving = false;  // a partner is being moved along
};

// How the differential couples the driven wheels under acceleration and deceleration.
class CDiffSetupDlg : public QDialog {
    Q_OBJECT
public:
    CDiffSetupDlg(SetupEditLink& link, QWidget* parent = nullptr);
    QSlider* Slider(int id) const;
    QString Text(int id) const;

private:
    SetupEditLink& m_link;
};

// Makes the setup editor the document's Setup Edit command.
void RegisterSetupDialogs();

}  // namespace tarnwick
