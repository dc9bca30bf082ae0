#pragma once

#include <QString>
#include <QTextBrowser>

namespace tarnwick {

// The user guide, shown as it is written (Markdown with its pictures beside it). It is
// found beside the build tree's programs (docs/guide.md, written by `make docs`) or in
// the installed documentation (share/doc/tarnwick/guide/guide.md).
class CGuideWindow : public QTextBrowser {
    Q_OBJECT
public:
    static constexpr const char* kNotInstalledText = "The user guide is not installed.";

    explicit CGuideWindow(const QString& guide, QWidget* parent = nullptr);

    // The guide's file for a program in `programFolder`; empty when there is none.
    static QString Find(const QString& programFolder);
};

}  // namespace tarnwick
