#pragma once

namespace tarnwick {

// Makes the windows of this folder (statistics, samples, map, histogram) known to the main window.
void RegisterViews();

}  // namespace tarnwick
