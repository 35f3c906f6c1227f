#pragma once

#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)
// Ten 0/1 flags: bytes 0 to 7 are the bits of the status byte, byte 8 the ribbon
// encoder error and byte 9 out of ribbon from the extended status.
struct PrinterStatus {
    uint8_t flags[10];
};
#pragma pack(pop)
static_assert(sizeof(PrinterStatus) == 10);

enum PrinterStatusFlag : int {
    StatusHeadOpen = 0,
    StatusPaperJam = 1,
    StatusOutOfPaper = 2,
    StatusRibbonFault = 3,
    StatusPaused = 4,
    StatusPrinting = 5,
    StatusKept = 6,
    StatusOtherError = 7,
    StatusRibbonEncoderError = 8,
    StatusOutOfRibbon = 9,
};
