#pragma once

#include <QPointer>
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

private:
    QPointer<QWidget> m_window;
    QPointer<QStatusBar> m_statusBar;
};

}  // namespace tarnwick
