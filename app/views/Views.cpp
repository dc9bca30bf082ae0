#include "app/views/Views.h"

namespace tarnwick {

void RegisterViews() {}

}  // namespace tarnwick
