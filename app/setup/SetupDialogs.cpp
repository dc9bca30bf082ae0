#include <QAction>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/setup/SetupDialogs.h"
#include "app/setup/SetupWidgets.h"
#include "app/shell/DocController.h"
#include "app/shell/TarnwickDoc.h"
#include "morlund/core/PerfCore.h"
#include "morlund/formats/BufManager.h"
#include "morlund/platform/MessageSink.h"
#include "morlund/setup/CarSetup.h"
#include "pellith/setup/SetupSheet.h"

namespace tarnwick {

namespace se = pellith::setupedit;
using setupui::MakeSlider;
using setupui::MakeText;

namespace {

// Control ids.
constexpr int kFrontWingSlider = 3109, kRearWingSlider = 3108;
constexpr int kFrontWingText = 3111, kRearWingText = 3110;
constexpr int kBrakeSlider = 3112, kBrakeFrontText = 3114, kBrakeRearText = 3113;
constexpr int kGearSlider = 3115, kGearText = 3122, kGearSpeed = 3155, kGearLabel = 3170;
constexpr int kStrategyButton = 3129, kStopSlider = 3133, kStopText = 3136;
constexpr int kTopSpeed = 3150, kBestTopGear = 3152, kAdvancedButton = 3154;
constexpr int kGears = 7;

QString Percent(int value) { return QString::asprintf("%3d%%", value); }
QString FromStd(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

// --- SetupEditLink ------------------------------------------------------------------

SetupEditLink::SetupEditLink(CTarnwickDoc& doc, int buffer, QObject* parent)
    : QObject(parent), m_doc(&doc), m_buffer(buffer), m_session(*doc.Buffer(buffer)) {}

CTarnwickDoc* SetupEditLink::Document() const { return m_doc; }

int SetupEditLink::SetupVersion() const {
    return m_doc && m_doc->Manager() != nullptr ? m_doc->Manager()->GetSetupVersion() : 0;
}

QString SetupEditLink::TrackName() const {
    if (!m_doc || m_doc->Manager() == nullptr) return {};
    return FromStd(m_doc->Manager()->GetTrackString(m_session.Setup().GetTrack()));
}

void SetupEditLink::Stored() {
    if (m_pending) return;
    m_pending = true;
    QTimer::singleShot(0, this, &SetupEditLink::Flush);
}

void SetupEditLink::Flush() {
    if (!m_pending) return;
    m_pending = false;
    if (m_doc) m_doc->UpdateAllViews(nullptr, DocUpdate::ValuesOf(m_buffer));
}

// --- CStandardSetupDlg ----------------------------------------------------------------

CStandardSetupDlg::CStandardSetupDlg(CTarnwickDoc& doc, int buffer, QWidget* parent)
    : QDialog(parent), m_link(std::make_unique<SetupEditLink>(doc, buffer)) {
    setObjectName(QStringLiteral("152"));
    const QString name = FromStd(m_link->Session().Buffer().InfoGetName());
    setWindowTitle(QStringLiteral("Standard Car Setup for %1 [%2]").arg(m_link->TrackName(), name));

    auto* wings = new QGroupBox(tr("Wings"), this);
    auto* wingGrid = new QGridLayout(wings);
    const std::pair<bool, const char*> wingRows[] = {{true, "&Front"}, {false, "&Rear"}};
    for (int row = 0; row < 2; ++row) {
        const bool front = wingRows[row].first;
        auto* slider = MakeSlider(front ? kFrontWingSlider : kRearWingSlider, 1, 20, 1,
                                  Qt::Horizontal, wings);
        auto* caption = new QLabel(tr(wingRows[row].second), wings);
        caption->setBuddy(slider);
        wingGrid->addWidget(caption, row, 0);
        wingGrid->addWidget(slider, row, 1);
        wingGrid->addWidget(MakeText(front ? kFrontWingText : kRearWingText, wings, 30), row, 2);
        connect(slider, &QSlider::valueChanged, this,
                [this, front](int p) { OnWing(front, p); });
    }

    auto* brake = new QGroupBox(tr("Brake balance"), this);
    auto* brakeBox = new QVBoxLayout(brake);
    auto* brakeSlider = MakeSlider(kBrakeSlider, -600, -400, 8, Qt::Vertical, brake);
    brakeSlider->setTickInterval(40);
    brakeSlider->setTickPosition(QSlider::TicksBothSides);
    // The front share grows upwards, as the positions fall.
    brakeSlider->setInvertedAppearance(true);
    brakeSlider->setInvertedControls(true);
    brakeBox->addWidget(new QLabel(tr("Front"), brake), 0, Qt::AlignHCenter);
    brakeBox->addWidget(MakeText(kBrakeFrontText, brake), 0, Qt::AlignHCenter);
    brakeBox->addWidget(brakeSlider, 1, Qt::AlignHCenter);
    brakeBox->addWidget(MakeText(kBrakeRearText, brake), 0, Qt::AlignHCenter);
    brakeBox->addWidget(new QLabel(tr("Rear"), brake), 0, Qt::AlignHCenter);
    connect(brakeSlider, &QSlider::valueChanged, this, &CStandardSetupDlg::OnBrake);

    auto* gears = new QGroupBox(tr("Gear ratios"), this);
    auto* gearGrid = new QGridLayout(gears);
    for (int g = 1; g <= kGears; ++g) {
        auto* label = new QLabel(tr("Gear %1").arg(g), gears);
        label->setObjectName(QString::number(kGearLabel + g - 1));
        auto* slider = MakeSlider(kGearSlider + g - 1, 16, 80, 1, Qt::Horizontal, gears);
        gearGrid->addWidget(label, g, 0);
        gearGrid->addWidget(slider, g, 1);
        gearGrid->addWidget(MakeText(kGearText + g - 1, gears), g, 2);
        gearGrid->addWidget(MakeText(kGearSpeed + g - 1, gears, 80), g, 3);
        connect(slider, &QSlider::valueChanged, this, [this, g](int p) { OnGear(g, p); });
    }
    gearGrid->setColumnStretch(1, 1);

    auto* stops = new QGroupBox(tr("Pit stops"), this);
    auto* stopGrid = new QGridLayout(stops);
    m_strategy = new QButtonGroup(this);
    const char* strategies[] = {"&None", "&1 Stop", "&2 Stops", "&3 Stops"};
    auto* buttons = new QHBoxLayout;
    for (int n = 0; n < 4; ++n) {
        auto* button = new QRadioButton(tr(strategies[n]), stops);
        button->setObjectName(QString::number(kStrategyButton + n));
        m_strategy->addButton(button, n);
        buttons->addWidget(button);
    }
    stopGrid->addLayout(buttons, 0, 0, 1, 3);
    for (int s = 0; s < 3; ++s) {
        auto* slider = MakeSlider(kStopSlider + s, 1, 100, 1, Qt::Horizontal, stops);
        m_stopCaptions[static_cast<std::size_t>(s)] = new QLabel(tr("Stop %1").arg(s + 1), stops);
        stopGrid->addWidget(m_stopCaptions[static_cast<std::size_t>(s)], s + 1, 0);
        stopGrid->addWidget(slider, s + 1, 1);
        stopGrid->addWidget(MakeText(kStopText + s, stops, 40), s + 1, 2);
        connect(slider, &QSlider::valueChanged, this, [this, s](int p) { OnStop(s, p); });
    }
    connect(m_strategy, &QButtonGroup::idClicked, this, [this] { ShowStops(!m_initializing); });

    auto* estimates = new QGroupBox(tr("Estimates"), this);
    auto* estimateGrid = new QGridLayout(estimates);
    estimateGrid->addWidget(new QLabel(tr("Top speed:"), estimates), 0, 0);
    estimateGrid->addWidget(MakeText(kTopSpeed, estimates, 90), 0, 1);
    estimateGrid->addWidget(new QLabel(tr("Best top gear:"), estimates), 1, 0);
    estimateGrid->addWidget(MakeText(kBestTopGear, estimates, 90), 1, 1);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
    box->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("2"));
    QPushButton* advanced = box->addButton(tr("&Advanced"), QDialogButtonBox::ActionRole);
    advanced->setObjectName(QString::number(kAdvancedButton));
    advanced->setAutoDefault(false);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(advanced, &QPushButton::clicked, this, &CStandardSetupDlg::OpenAdvanced);

    auto* useAsOriginal = new QAction(this);
    useAsOriginal->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    connect(useAsOriginal, &QAction::triggered, this, &CStandardSetupDlg::UseAsOriginal);
    addAction(useAsOriginal);

    auto* top = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(wings);
    left->addWidget(gears);
    top->addLayout(left, 1);
    top->addWidget(brake);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(stops, 1);
    bottom->addWidget(estimates);
    layout->addLayout(bottom);
    layout->addWidget(box);

    Fill();
}

CStandardSetupDlg::~CStandardSetupDlg() = default;

QString CStandardSetupDlg::Text(int id) const { return setupui::FindText(*this, id); }
QSlider* CStandardSetupDlg::Slider(int id) const { return setupui::FindSlider(*this, id); }

void CStandardSetupDlg::Fill() {
    m_initializing = true;
    const pellith::SetupEditSession& session = m_link->Session();
    const morlund::CarSetup& setup = session.Setup();
    for (bool front : {true, false}) {
        const int value = session.Byte(front ? se::kFrontWing : se::kRearWing);
        Slider(front ? kFrontWingSlider : kRearWingSlider)->setValue(value);
        findChild<QLabel*>(QString::number(front ? kFrontWingText : kRearWingText))
            ->setText(QString::number(value));
    }
    const std::uint8_t b = session.Byte(se::kBrakeBalance);
    Slider(kBrakeSlider)->setValue(se::BrakePosition(b));
    const double front = b * 0.125 + 50.0;
    findChild<QLabel*>(QString::number(kBrakeFrontText))->setText(FromStd(se::ShareText(front)));
    findChild<QLabel*>(QString::number(kBrakeRearText))
        ->setText(FromStd(se::ShareText(100.0 - front)));

    const int count = setup.GetGearCount();
    for (int g = 1; g <= kGears; ++g) {
        QSlider* slider = Slider(kGearSlider + g - 1);
        const bool used = g <= count;
        for (int id : {kGearLabel, kGearText, kGearSpeed})
            findChild<QLabel*>(QString::number(id + g - 1))->setVisible(used);
        slider->setVisible(used);
        if (!used) {
            slider->setRange(0, 0);
            continue;
        }
        const int position = se::GearPosition(setup.GetGearRatio(g));
        slider->setValue(position);
        findChild<QLabel*>(QString::number(kGearText + g - 1))
            ->setText(FromStd(se::GearText(g, position)));
    }

    const int stops = session.Byte(se::kPitStops);
    if (QAbstractButton* button = m_strategy->button(stops)) button->setChecked(true);
    m_stops.count = stops <= 2 ? stops : 3;
    for (int s = 0; s < 3; ++s) {
        const int value = session.Byte(se::kPitStopLaps + s);
        m_stops.percent[static_cast<std::size_t>(s)] = value;
        Slider(kStopSlider + s)->setValue(value);
        findChild<QLabel*>(QString::number(kStopText + s))->setText(Percent(value));
    }
    ShowStops(false);
    ShowEstimates();
    m_initializing = false;
}

void CStandardSetupDlg::ShowEstimates() {
    const CTarnwickDoc* doc = m_link->Document();
    if (doc == nullptr || doc->Manager() == nullptr) return;
    const pellith::SetupSheet sheet =
        pellith::BuildSetupSheet(*doc->Manager(), m_link->Session().Buffer());
    findChild<QLabel*>(QString::number(kTopSpeed))
        ->setText(setupui::SpeedText(setupui::Prediction(sheet, "predicted max speed"), "%.1f kph"));
    const double best = setupui::Prediction(sheet, "best top gear");
    findChild<QLabel*>(QString::number(kBestTopGear))
        ->setText(std::isfinite(best) ? QString::asprintf("%d : 64", static_cast<int>(best * 64 + 0.5))
                                      : QStringLiteral("\u2014"));
    const int count = m_link->Session().Setup().GetGearCount();
    for (int g = 1; g <= std::min(count, kGears); ++g) {
        const double speed = setupui::Prediction(sheet, "max speed in gear " + std::to_string(g));
        findChild<QLabel*>(QString::number(kGearSpeed + g - 1))
            ->setText(setupui::SpeedText(speed, "%.0f km/h"));
    }
}

void CStandardSetupDlg::ShowStops(bool reset) {
    const int checked = m_strategy->checkedId();
    const int count = checked >= 0 && checked <= 2 ? checked : 3;
    if (reset) {
        m_stops.Reset(count);
        for (int s = 0; s < 3; ++s) {
            const QSignalBlocker blocker(Slider(kStopSlider + s));
            Slider(kStopSlider + s)->setValue(m_stops.percent[static_cast<std::size_t>(s)]);
            findChild<QLabel*>(QString::number(kStopText + s))
                ->setText(Percent(m_stops.percent[static_cast<std::size_t>(s)]));
        }
    }
    m_stops.count = count;
    for (int s = 0; s < 3; ++s) {
        const bool used = s < count;
        Slider(kStopSlider + s)->setEnabled(used);
        Slider(kStopSlider + s)->setVisible(used);
        findChild<QLabel*>(QString::number(kStopText + s))->setVisible(used);
        m_stopCaptions[static_cast<std::size_t>(s)]->setVisible(used);
    }
    if (reset) StoreStops();
}

void CStandardSetupDlg::OnWing(bool front, int position) {
    if (m_initializing) return;
    findChild<QLabel*>(QString::number(front ? kFrontWingText : kRearWingText))
        ->setText(QString::number(position));
    m_link->Session().SetByte(front ? se::kFrontWing : se::kRearWing,
                              static_cast<std::uint8_t>(position));
    ShowEstimates();
    m_link->Stored();
}

void CStandardSetupDlg::OnBrake(int position) {
    if (m_initializing) return;
    const double front = se::BrakeFrontShare(position);
    findChild<QLabel*>(QString::number(kBrakeFrontText))->setText(FromStd(se::ShareText(front)));
    findChild<QLabel*>(QString::number(kBrakeRearText))
        ->setText(FromStd(se::ShareText(100.0 - front)));
    m_link->Session().SetByte(se::kBrakeBalance, se::BrakeByte(position));
    m_link->Stored();
}

void CStandardSetupDlg::OnGear(int gear, int position) {
    if (m_initializing) return;
    findChild<QLabel*>(QString::number(kGearText + gear - 1))
        ->setText(FromStd(se::GearText(gear, position)));
    m_link->Session().SetGearRatio(gear, position / 64.0);
    ShowEstimates();
    m_link->Stored();
}

void CStandardSetupDlg::OnStop(int stop, int position) {
    if (m_initializing) return;
    m_stops.Move(stop, position);
    for (int s = 0; s < 3; ++s) {
        const int value = m_stops.percent[static_cast<std::size_t>(s)];
        const QSignalBlocker blocker(Slider(kStopSlider + s));
        Slider(kStopSlider + s)->setValue(value);
        findChild<QLabel*>(QString::number(kStopText + s))->setText(Percent(value));
    }
    StoreStops();
}

void CStandardSetupDlg::StoreStops() {
    pellith::SetupEditSession& session = m_link->Session();
    session.SetByte(se::kPitStops, static_cast<std::uint8_t>(m_stops.count));
    for (int s = 0; s < 3; ++s) {
        const int value = s < m_stops.count ? m_stops.percent[static_cast<std::size_t>(s)] : 0;
        session.SetByte(se::kPitStopLaps + s, static_cast<std::uint8_t>(value));
    }
    m_link->Stored();
}

void CStandardSetupDlg::OpenAdvanced() {
    CAdvancedSetupDlg advanced(*m_link, this);
    advanced.exec();
    ShowEstimates();
}

void CStandardSetupDlg::UseAsOriginal() {
    if (morlund::ShowMessage(kUseAsOriginalQuestion, morlund::MessageIcon::Question,
                             morlund::MessageButtons::YesNo) != morlund::MessageAnswer::Yes)
        return;
    m_link->Session().Buffer().ResetSetupOrg();
    m_link->Stored();
    m_link->Flush();
}

void CStandardSetupDlg::accept() {
    m_link->Flush();
    // Only a record that now differs is a changed setup (asked about when the lap goes).
    if (m_link->Session().Changed()) m_link->Session().Buffer().SetupChanged();
    QDialog::accept();
}

void CStandardSetupDlg::reject() {
    if (m_link->Session().Changed()) {
        m_link->Session().Restore();
        m_link->Stored();
    }
    m_link->Flush();
    QDialog::reject();
}

void RegisterSetupDialogs() {
    RegisterSetupEditor([](CTarnwickDoc& doc, int buffer, QWidget* parent) {
        CStandardSetupDlg dialog(doc, buffer, parent);
        dialog.exec();
    });
}

}  // namespace tarnwick
