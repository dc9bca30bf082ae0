#include "app/views/Views.h"

#include "app/views/StatView.h"

namespace tarnwick {

void RegisterViews() { RegisterStatView(); }

}  // namespace tarnwick
