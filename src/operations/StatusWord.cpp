#include "operations/StatusWord.h"

namespace {

bool Set(const PrinterStatus& status, PrinterStatusFlag flag) {
    return status.flags[flag] != 0;
}

} // namespace

StatusWord StatusWordFor(const PrinterStatus& status) {
    // Each rule that applies replaces the word before it; the last one wins.
    StatusWord word = StatusWord::Ready;
    if (Set(status, StatusPrinting))
        word = StatusWord::Printing;
    if (Set(status, StatusPaused))
        word = StatusWord::Paused;
    if (Set(status, StatusPaperJam))
        word = StatusWord::PaperJam;
    if (Set(status, StatusOutOfPaper))
        word = StatusWord::OutOfPaper;
    if (Set(status, StatusRibbonFault) && Set(status, StatusRibbonEncoderError))
        word = StatusWord::RibbonEncoderError;
    if (Set(status, StatusRibbonFault) && Set(status, StatusOutOfRibbon))
        word = StatusWord::OutOfRibbon;
    if (Set(status, StatusOtherError))
        word = StatusWord::OtherError;
    if (Set(status, StatusHeadOpen))
        word = StatusWord::HeadOpen;
    return word;
}
