#include "app/shell/ChildFrame.h"

namespace tarnwick {

CChildFrame::CChildFrame(QWidget* parent) : QMdiSubWindow(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
}

}  // namespace tarnwick
