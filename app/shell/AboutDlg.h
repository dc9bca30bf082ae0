#pragma once

#include <QDialog>
#include <QString>

namespace tarnwick {

// The About box: program icon, name, version and build date, the copyright line, a
// short description with acknowledgements, and a notice. The version details are the
// build's own (tarnwick/Version.h).
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    // Control ids; each control carries its id as its objectName.
    static constexpr int kIdVersion = 1126;
    static constexpr int kIdCopyright = 1127;
    static constexpr int kIdDescription = 1133;

    explicit CAboutDlg(QWidget* parent = nullptr);

    // "Tarnwick Version 1.2.3 (May 4 2025)": product, version and the day of the build.
    static QString VersionLine();
    // The copyright notice and the company.
    static QString CopyrightLine();
    // What the program reads, an empty line, and the acknowledgements.
    static QString DescriptionText();
    // The compiler's date of this build, "Mmm d yyyy".
    static QString BuildDate();
};

}  // namespace tarnwick
