#pragma once

class QPrinter;

namespace tarnwick {

// The program's one printer setting: Print Setup changes it, and Print and Print
// Preview of every view print with it, so a choice made once holds for the run.
QPrinter& SharedPrinter();

}  // namespace tarnwick
