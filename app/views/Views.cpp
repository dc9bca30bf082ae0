#include "app/views/Views.h"

#include "app/views/TextView.h"

namespace tarnwick {

void RegisterViews() { RegisterTextView(); }

}  // namespace tarnwick
