#pragma once

#include "config/PrinterConfig.h"
#include "operations/PrinterStatus.h"

// What the configuration page reads and replaces among the main window's records: the
// stored configuration (what Read, Clear and Load replace and Save writes) and the last
// status, which configuration files carry.
struct ConfigPageRecords {
    PrinterConfig& StoredConfig;
    PrinterStatus& Status;
};
