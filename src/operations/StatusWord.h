#pragma once

#include "operations/PrinterStatus.h"

// The one word that sums up a printer status (the main window shows it in its language).
enum class StatusWord {
    Ready,
    HeadOpen,
    PaperJam,
    OutOfPaper,
    OutOfRibbon,
    RibbonEncoderError,
    Paused,
    Printing,
    OtherError,
};

// The word of highest precedence among the flags that are set: head open over other error
// over the two ribbon faults over out of paper over paper jam over paused over printing.
// The kept flag (byte 6) is never shown; a ribbon fault of unknown kind shows no ribbon word.
StatusWord StatusWordFor(const PrinterStatus& status);
