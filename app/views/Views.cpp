#include "app/views/Views.h"

#include "app/views/StatView.h"
#include "app/views/TextView.h"

namespace tarnwick {

void RegisterViews() {
    RegisterStatView();
    RegisterTextView();
}

}  // namespace tarnwick
