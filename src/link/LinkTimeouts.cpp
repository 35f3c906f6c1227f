#include "link/LinkTimeouts.h"

#include <algorithm>

// Every member is an int; a new one must be sorted below into the waits or the limits.
static_assert(sizeof(LinkTimeouts) == 16 * sizeof(int));

void LinkTimeouts::FitWithin(int ms) {
    const int bound = std::max(1, ms);
    for (int* wait : {&usbReadMs, &usbWriteMs, &comReadMs, &comWriteConstantMs, &netMs,
                      &netConnectMs, &lptWriteMs, &listFramePauseMs, &fileRequestPauseMs,
                      &fileCommandPauseMs, &frameStartMs, &listMs})
        *wait = std::min(*wait, bound);
    // Not waits: comWritePerByteMs grows a serial write's wait with its length (the
    // constant part above is fitted), netMaxOffers, replySkipBytes and listMostItems count.
}
