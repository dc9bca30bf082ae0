#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "morlund/platform/MessageSink.h"

class QStatusBar;

namespace tarnwick {

// The program's face of the library's messages: modal message boxes over the
// main window, and texts in its status bar.
class QtMessageSink : public morlund::MessageSink {
public:
    QtMessageSink() = default;
    void SetWindow(QWidget* window) { m_window = window; }
    void SetStatusBar(QStatusBar* bar);

    morlund::MessageAnswer Show(const std::string& text, morlund::MessageIcon icon,
                                morlund::MessageButtons buttons) override;
    void SetStatusText(const std::string& text) override;

    // The title of the message boxes: the file being read, when one is, and the program.
    static QString Title();

private:
    QPointer<QWidget> m_window;
    QPointer<QStatusBar> m_statusBar;
};

// Names the file being read in the title of every message shown meanwhile, so that
// with several files opened at once the user can tell which one a message is about.
class MessageFileScope {
public:
    explicit MessageFileScope(const QString& fileName);
    ~MessageFileScope();
    MessageFileScope(const MessageFileScope&) = delete;
    MessageFileScope& operator=(const MessageFileScope&) = delete;

private:
    QString m_outer;
};

}  // namespace tarnwick
