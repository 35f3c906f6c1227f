#pragma once

#include "link/LinkSettings.h"

#include <QString>

// The serial settings as the status bar shows them, "COM1 9600,N,8,1 RTS " with the defaults.
// Indexes outside the lists read as the values the transport uses for them.
QString ComSettingsSummary(const ComSettings& com);
