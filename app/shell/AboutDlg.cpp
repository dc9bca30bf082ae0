#include "app/shell/AboutDlg.h"

#include <QDialogButtonBox>
#include <QFont>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/res/Icons.h"
#include "tarnwick/Version.h"

namespace tarnwick {

namespace {

constexpr const char* kDescription =
    "Viewer for GPx Performance Analysis files, F1RS/MGPRS2 Telemetry files, LFS Replay "
    "Analyser files, and generic performance data files.";

constexpr const char* kAcknowledgements =
    "Thanks to everyone in the sim-racing community who recorded laps, shared car setups "
    "and worked out what the games write into their files, and to the Qt and Boost "
    "projects, on which this program is built.";

constexpr const char* kNotice =
    "Tarnwick is not affiliated with the makers of the simulators it reads. Game names are "
    "trademarks of their owners.";

}  // namespace

QString CAboutDlg::BuildDate() {
    // __DATE__ pads a one-digit day with a blank ("Apr  9 2012").
    return QString::fromLatin1(__DATE__).simplified();
}

QString CAboutDlg::VersionLine() {
    return QStringLiteral("%1 Version %2 (%3)")
        .arg(QString::fromUtf8(version::kProductName), QString::fromUtf8(version::kFileVersion),
             BuildDate());
}

QString CAboutDlg::CopyrightLine() {
    const QString copyright = QString::fromUtf8(version::kLegalCopyright);
    const QString company = QString::fromUtf8(version::kCompanyName);
    // A notice that already names the company is not followed by the name again.
    if (company.isEmpty() || copyright.endsWith(company)) return copyright;
    return QStringLiteral("%1 %2").arg(copyright, company);
}

QString CAboutDlg::DescriptionText() {
    return QStringLiteral("%1\n\n%2")
        .arg(QString::fromLatin1(kDescription), QString::fromLatin1(kAcknowledgements));
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Tarnwick"));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(ProgramIconPixmap(48));
    icon->setFixedSize(48, 48);

    auto* versionLine = new QLabel(VersionLine(), this);
    versionLine->setObjectName(QString::number(kIdVersion));
    QFont bold = versionLine->font();
    bold.setBold(true);
    versionLine->setFont(bold);
    auto* copyrightLine = new QLabel(CopyrightLine(), this);
    copyrightLine->setObjectName(QString::number(kIdCopyright));
    for (QLabel* line : {versionLine, copyrightLine})
        line->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* description = new QPlainTextEdit(DescriptionText(), this);
    description->setObjectName(QString::number(kIdDescription));
    description->setReadOnly(true);
    description->setTabChangesFocus(true);
    const QFontMetrics fm(description->font());
    description->setFixedHeight(fm.lineSpacing() * 7 + 12);

    auto* notice = new QLabel(QString::fromLatin1(kNotice), this);
    notice->setObjectName(QStringLiteral("notice"));
    notice->setWordWrap(true);
    notice->setForegroundRole(QPalette::PlaceholderText);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CAboutDlg::accept);

    auto* lines = new QVBoxLayout;
    lines->addWidget(versionLine);
    lines->addWidget(copyrightLine);
    lines->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addSpacing(8);
    top->addLayout(lines, 1);

    auto* main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(description);
    main->addWidget(notice);
    main->addWidget(buttons);
    setFixedWidth(qMax(460, fm.horizontalAdvance(VersionLine()) + 120));
    buttons->button(QDialogButtonBox::Ok)->setFocus();
}

}  // namespace tarnwick
