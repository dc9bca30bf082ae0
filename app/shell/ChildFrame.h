#pragma once

#include <QMdiSubWindow>

namespace tarnwick {

// The frame of the document's stat, text, track and lap windows inside the main window.
class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit CChildFrame(QWidget* parent = nullptr);
};

}  // namespace tarnwick
