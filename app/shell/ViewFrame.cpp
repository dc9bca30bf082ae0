#include "app/shell/ViewFrame.h"

#include <array>

#include "app/shell/TarnwickDoc.h"

namespace tarnwick {

namespace {
std::array<ViewFactory, AppSettings::kStartViewCount>& Factories() {
    static std::array<ViewFactory, AppSettings::kStartViewCount> factories;
    return factories;
}
std::size_t Slot(StartView kind) { return static_cast<std::size_t>(kind); }
}  // namespace

QAction* CViewFrame::ViewAction(ViewCommand) const { return nullptr; }

bool CViewFrame::RangeTexts(QString&, QString&) const { return false; }

void CViewFrame::HoldView(QWidget* view, CTarnwickDoc& doc, const QString& name) {
    setObjectName(name);
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(view);
    setWindowTitle(view->windowTitle());
    connect(view, &QWidget::windowTitleChanged, this, &QWidget::setWindowTitle);
    connect(&doc, &CTarnwickDoc::Closed, this, &QWidget::close);
}

void CViewFrame::DropView() {
    disconnect(this, nullptr, this, nullptr);
    delete widget();
}

void CViewFrame::SaveState(pellith::WorkspaceWindow&) const {}

void CViewFrame::RestoreState(const pellith::WorkspaceWindow&, std::vector<std::string>&) {}

void RegisterViewKind(StartView kind, ViewFactory factory) {
    Factories().at(Slot(kind)) = std::move(factory);
}

bool HasViewKind(StartView kind) { return static_cast<bool>(Factories().at(Slot(kind))); }

CViewFrame* CreateViewFrame(StartView kind, CTarnwickDoc& doc, const AppSettings& settings) {
    const ViewFactory& factory = Factories().at(Slot(kind));
    CViewFrame* frame = factory ? factory(doc, settings) : nullptr;
    if (frame != nullptr) frame->SetKind(kind);
    return frame;
}

}  // namespace tarnwick
