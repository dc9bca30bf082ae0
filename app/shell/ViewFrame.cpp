#include "app/shell/ViewFrame.h"

#include <array>

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

void RegisterViewKind(StartView kind, ViewFactory factory) {
    Factories().at(Slot(kind)) = std::move(factory);
}

bool HasViewKind(StartView kind) { return static_cast<bool>(Factories().at(Slot(kind))); }

CViewFrame* CreateViewFrame(StartView kind, CTarnwickDoc& doc, const AppSettings& settings) {
    const ViewFactory& factory = Factories().at(Slot(kind));
    return factory ? factory(doc, settings) : nullptr;
}

}  // namespace tarnwick
