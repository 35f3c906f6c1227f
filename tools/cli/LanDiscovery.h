#pragma once

#include "PrinterResult.h"

#include "network/LanClient.h"

#include <optional>
#include <vector>

// One row per discovery answer: its link as "tcp:IP" (ready for --links), MAC, address,
// model, name and status. nullopt with a reason when no socket could be opened.
std::optional<std::vector<PrinterResult>> DiscoverPrinters(const LanClientSettings& settings,
                                                           QString* error);
