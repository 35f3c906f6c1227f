#pragma once

#include "network/LanClient.h"

#include <functional>

class TFormMain;

// Runs the program's one window until it closes: the printer link with the progress window
// and the event pump, the Qt prompter, the main window in the system's language. `prepare`
// runs after start-up, before the window shows. The application object must exist.
int RunMainWindow(const LanClientSettings& lan = {},
                  const std::function<void(TFormMain&)>& prepare = {});
