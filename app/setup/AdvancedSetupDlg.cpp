#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/setup/SetupDialogs.h"
#include "app/setup/SetupWidgets.h"
#include "app/shell/TarnwickDoc.h"
#include "morlund/core/PerfCore.h"
#include "morlund/setup/CarSetup.h"
#include "pellith/setup/SetupSheet.h"

namespace tarnwick {

namespace se = pellith::setupedit;
using se::WheelSetting;
using setupui::MakeSlider;
using setupui::MakeText;

namespace {

// Control ids: per wheel w the slider of setting k is kWheelSlider + 4k + w and its
// value text kWheelText + 4k + w.
constexpr int kWheelSlider = 3000, kWheelText = 3050, kWheelCaption = 3104;
constexpr int kPackersSpeed = 3078, kPlankSpeed = 3162, kSpeedLabel = 1147;
constexpr int kRearBarSlider = 3102, kFrontBarSlider = 3103;
constexpr int kRearBarText = 3100, kFrontBarText = 3101;
constexpr int kDiffLabel = 1158, kDiffCombo = 1159, kDiffButton = 1155;
constexpr int kSymmetrical = 3153, kTyreText = 3139;

constexpr const char* kSettingNames[se::kWheelSettingCount] = {
    "Packers", "Spring", "Slow rebound", "Fast rebound", "Slow bump", "Fast bump", "Ride height"};

struct WheelLook {
    const char* name;
    QColor paper;
    QColor ink;
};
const WheelLook kWheels[4] = {
    {"Left rear", QColor(0, 255, 0), QColor()},
    {"Right rear", QColor(255, 255, 0), QColor()},
    {"Left front", QColor(255, 0, 0), QColor(255, 255, 255)},
    {"Right front", QColor(0, 0, 255), QColor(255, 255, 255)},
};

bool g_symmetrical = true;

QString FromStd(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

bool CAdvancedSetupDlg::Symmetrical() { return g_symmetrical; }
void CAdvancedSetupDlg::SetSymmetrical(bool on) { g_symmetrical = on; }

CAdvancedSetupDlg::CAdvancedSetupDlg(SetupEditLink& link, QWidget* parent)
    : QDialog(parent), m_link(link) {
    setObjectName(QStringLiteral("153"));
    setWindowTitle(QStringLiteral("Advanced Car Setup for %1").arg(link.TrackName()));
    pellith::SetupEditSession& session = link.Session();
    const int version = link.SetupVersion();

    // Front wheels above the rear ones, left on the left.
    auto* wheels = new QGridLayout;
    for (int w = 0; w < 4; ++w) {
        auto* group = new QWidget(this);
        auto* grid = new QGridLayout(group);
        grid->setContentsMargins(4, 0, 4, 4);
        auto* caption = new QLabel(tr(kWheels[w].name), group);
        caption->setObjectName(QString::number(kWheelCaption + w));
        caption->setAlignment(Qt::AlignCenter);
        caption->setAutoFillBackground(true);
        QPalette look = caption->palette();
        look.setColor(QPalette::Window, kWheels[w].paper);
        if (kWheels[w].ink.isValid()) look.setColor(QPalette::WindowText, kWheels[w].ink);
        caption->setPalette(look);
        grid->addWidget(caption, 0, 0, 1, 3);
        for (int k = 0; k < se::kWheelSettingCount; ++k) {
            const auto setting = static_cast<WheelSetting>(k);
            const se::SliderRange range = se::WheelRange(setting, w);
            auto* slider = MakeSlider(kWheelSlider + 4 * k + w, range.minimum, range.maximum,
                                      range.page, Qt::Horizontal, group);
            const int value = session.Byte(se::WheelOffset(setting, w));
            slider->setValue(value);
            auto* text = MakeText(kWheelText + 4 * k + w, group, 40);
            text->setText(FromStd(se::WheelText(setting, value)));
            grid->addWidget(new QLabel(tr(kSettingNames[k]), group), k + 1, 0);
            grid->addWidget(slider, k + 1, 1);
            grid->addWidget(text, k + 1, 2);
            connect(slider, &QSlider::valueChanged, this,
                    [this, setting, w](int p) { OnWheelSlider(setting, w, p); });
        }
        const std::pair<int, const char*> speeds[] = {{kPackersSpeed, "Est. speed to hit packers"},
                                                      {kPlankSpeed, "Est. speed to hit plank"}};
        for (int s = 0; s < 2; ++s) {
            auto* label = new QLabel(tr(speeds[s].second), group);
            label->setObjectName(QString::number(kSpeedLabel + 2 * w + s));
            grid->addWidget(label, se::kWheelSettingCount + 1 + s, 0, 1, 2);
            grid->addWidget(MakeText(speeds[s].first + w, group, 80), se::kWheelSettingCount + 1 + s,
                            2);
        }
        grid->setColumnStretch(1, 1);
        wheels->addWidget(group, w >= 2 ? 0 : 1, w % 2);
    }

    auto* car = new QGroupBox(tr("Car"), this);
    auto* carGrid = new QGridLayout(car);
    const std::pair<bool, int> bars[] = {{false, kRearBarSlider}, {true, kFrontBarSlider}};
    for (int row = 0; row < 2; ++row) {
        const bool front = bars[row].first;
        auto* slider = MakeSlider(bars[row].second, 0, 10, 1, Qt::Horizontal, car);
        const int step = session.Byte(front ? se::kFrontAntiRollBar : se::kRearAntiRollBar);
        slider->setValue(step);
        auto* text = MakeText(front ? kFrontBarText : kRearBarText, car, 50);
        text->setText(FromStd(se::AntiRollBarText(front, step)));
        carGrid->addWidget(new QLabel(front ? tr("Front anti-roll bar") : tr("Rear anti-roll bar"), car),
                           row, 0);
        carGrid->addWidget(slider, row, 1);
        carGrid->addWidget(text, row, 2);
        connect(slider, &QSlider::valueChanged, this, [this, front](int p) { OnBar(front, p); });
    }
    auto* diffLabel = new QLabel(tr("Differential:"), car);
    diffLabel->setObjectName(QString::number(kDiffLabel));
    auto* diff = new QComboBox(car);
    diff->setObjectName(QString::number(kDiffCombo));
    diff->addItems({tr("Low"), tr("Medium"), tr("High")});
    carGrid->addWidget(diffLabel, 2, 0);
    carGrid->addWidget(diff, 2, 1);
    if (version == 3) {
        const int setting = session.Byte(se::kDifferential);
        diff->setCurrentIndex(setting <= 2 ? setting : -1);
        connect(diff, &QComboBox::activated, this, [this](int index) {
            m_link.Session().SetByte(se::kDifferential, static_cast<std::uint8_t>(index));
            m_link.Session().SetByte(se::kAdvancedMark, 128);
            m_link.Stored();
        });
    } else {
        for (QWidget* widget : {static_cast<QWidget*>(diffLabel), static_cast<QWidget*>(diff)}) {
            widget->hide();
            widget->setEnabled(false);
        }
    }
    auto* tyre = MakeText(kTyreText, car, 120);
    tyre->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    tyre->setText(FromStd(se::TyreCompoundText(version, session.Setup().GetTrack())));
    carGrid->addWidget(tyre, 3, 0, 1, 3);
    carGrid->setColumnStretch(1, 1);

    m_symmetrical = new QCheckBox(tr("S&ymmetrical Editing"), this);
    m_symmetrical->setObjectName(QString::number(kSymmetrical));
    m_symmetrical->setChecked(g_symmetrical);
    connect(m_symmetrical, &QCheckBox::toggled, this, [](bool on) { g_symmetrical = on; });

    auto* box = new QDialogButtonBox(this);
    QPushButton* close = box->addButton(tr("Close"), QDialogButtonBox::AcceptRole);
    close->setObjectName(QStringLiteral("1"));
    QPushButton* differential = box->addButton(tr("&Differential..."), QDialogButtonBox::ActionRole);
    differential->setObjectName(QString::number(kDiffButton));
    differential->setAutoDefault(false);
    if (version < 4) {
        differential->hide();
        differential->setEnabled(false);
    }
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(differential, &QPushButton::clicked, this, &CAdvancedSetupDlg::OpenDifferential);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(wheels);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(car, 1);
    bottom->addWidget(m_symmetrical, 0, Qt::AlignTop);
    layout->addLayout(bottom);
    layout->addWidget(box);
    ShowEstimates();
}

QString CAdvancedSetupDlg::Text(int id) const { return setupui::FindText(*this, id); }
QSlider* CAdvancedSetupDlg::Slider(int id) const { return setupui::FindSlider(*this, id); }

void CAdvancedSetupDlg::OnWheelSlider(WheelSetting setting, int wheel, int position) {
    const int k = static_cast<int>(setting);
    findChild<QLabel*>(QString::number(kWheelText + 4 * k + wheel))
        ->setText(FromStd(se::WheelText(setting, position)));
    m_link.Session().SetByte(se::WheelOffset(setting, wheel), static_cast<std::uint8_t>(position));
    m_link.Session().SetByte(se::kAdvancedMark, 128);
    if (g_symmetrical && !m_moving) {
        // The partner's own handler writes its byte.
        m_moving = true;
        Slider(kWheelSlider + 4 * k + se::PartnerWheel(wheel))->setValue(position);
        m_moving = false;
    }
    if (m_moving) return;
    ShowEstimates();
    m_link.Stored();
}

void CAdvancedSetupDlg::OnBar(bool front, int position) {
    findChild<QLabel*>(QString::number(front ? kFrontBarText : kRearBarText))
        ->setText(FromStd(se::AntiRollBarText(front, position)));
    m_link.Session().SetByte(front ? se::kFrontAntiRollBar : se::kRearAntiRollBar,
                             static_cast<std::uint8_t>(position));
    m_link.Session().SetByte(se::kAdvancedMark, 128);
    m_link.Stored();
}

void CAdvancedSetupDlg::ShowEstimates() {
    const CTarnwickDoc* doc = m_link.Document();
    if (doc == nullptr || doc->Manager() == nullptr) return;
    const pellith::SetupSheet sheet =
        pellith::BuildSetupSheet(*doc->Manager(), m_link.Session().Buffer());
    for (int w = 0; w < 4; ++w) {
        const auto index = static_cast<std::size_t>(w);
        findChild<QLabel*>(QString::number(kPackersSpeed + w))
            ->setText(setupui::SpeedText(setupui::Prediction(sheet, "speed to hit packers", index),
                                         "%.1f km/h"));
        findChild<QLabel*>(QString::number(kPlankSpeed + w))
            ->setText(setupui::SpeedText(setupui::Prediction(sheet, "speed to hit plank", index),
                                         "%.1f km/h"));
    }
}

void CAdvancedSetupDlg::OpenDifferential() {
    CDiffSetupDlg dialog(m_link, this);
    dialog.exec();
}

// --- CDiffSetupDlg --------------------------------------------------------------------

CDiffSetupDlg::CDiffSetupDlg(SetupEditLink& link, QWidget* parent) : QDialog(parent), m_link(link) {
    setObjectName(QStringLiteral("154"));
    setWindowTitle(tr("Advanced Car Setup: Differential"));
    struct Coupling {
        int slider;
        int which;  // 1 under acceleration, 0 under deceleration
        int part;   // 1 from the shaft speed difference, 0 from the input torque
        const char* caption;
    };
    const Coupling couplings[] = {
        {1156, 1, 1, "Acceleration, from shaft speed difference"},
        {1158, 1, 0, "Acceleration, from input torque"},
        {1160, 0, 1, "Deceleration, from shaft speed difference"},
        {1162, 0, 0, "Deceleration, from input torque"},
    };
    auto* grid = new QGridLayout;
    int row = 0;
    for (const Coupling& c : couplings) {
        auto* slider = MakeSlider(c.slider, 0, 10, 1, Qt::Horizontal, this);
        const int value = link.Session().Setup().GetDiffSetting(c.which, c.part);
        slider->setValue(value);
        auto* text = MakeText(c.slider + 1, this, 30);
        text->setText(QString::number(value));
        grid->addWidget(new QLabel(tr(c.caption), this), row, 0);
        grid->addWidget(slider, row, 1);
        grid->addWidget(text, row, 2);
        ++row;
        connect(slider, &QSlider::valueChanged, this, [this, c, text](int p) {
            text->setText(QString::number(p));
            m_link.Session().SetDiffSetting(c.which, c.part, p);
            m_link.Stored();
        });
    }
    grid->setColumnStretch(1, 1);
    auto* box = new QDialogButtonBox(this);
    box->addButton(tr("Close"), QDialogButtonBox::AcceptRole)->setObjectName(QStringLiteral("1"));
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(box);
}

QSlider* CDiffSetupDlg::Slider(int id) const { return setupui::FindSlider(*this, id); }
QString CDiffSetupDlg::Text(int id) const { return setupui::FindText(*this, id); }

}  // namespace tarnwick
