#include "app/views/Views.h"

#include "app/views/HistogramView.h"
#include "app/views/StatView.h"
#include "app/views/TextView.h"
#include "app/views/TrackView.h"

namespace tarnwick {

void RegisterViews() {
    RegisterStatView();
    RegisterTextView();
    RegisterTrackView();
    RegisterHistogramView();
}

}  // namespace tarnwick
