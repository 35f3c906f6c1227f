#pragma once

#include <atomic>

// Set once the program is asked to stop (SIGINT, SIGTERM). Every printer link of the run
// watches it: the waits in flight end, the jobs fail with the code of the step they were
// at, and the summary is printed as after any other failure.
const std::atomic<bool>& CliInterrupted();

// Installs the handlers; a second signal ends the program at once.
void InstallInterruptHandlers();
