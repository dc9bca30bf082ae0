#pragma once

#include "cli/Options.h"

namespace cli {

// Each command prints to stdout and returns the exit status.
int RunInfo(const Options& options);
int RunExport(const Options& options);
int RunStats(const Options& options);
int RunSetup(const Options& options);
int RunItems(const Options& options);
int RunSectors(const Options& options);
int RunCorners(const Options& options);

}  // namespace cli
