#pragma once

// Every wait of the link layer, in milliseconds. The members hold the product's
// values; tests shorten them on their own link object.
struct LinkTimeouts {
    // Shortens every wait and pause to at most `ms` (at least 1), so that each single wait
    // of an exchange ends by a deadline that far away: the command line's --timeout and the
    // exporter's probe deadline. Waits already shorter stay; counts and sizes stay.
    void FitWithin(int ms);

    int usbReadMs = 3000;
    // A USB piece that the device does not take within this time fails the block.
    int usbWriteMs = 10000;
    int comReadMs = 3000;
    int comWritePerByteMs = 10;
    int comWriteConstantMs = 3000;
    int netMs = 30000;
    // Bound on the TCP connect, which otherwise waits as long as the platform does.
    int netConnectMs = 10000;
    // How many times one Ethernet piece is offered to a stream that accepts nothing.
    int netMaxOffers = 3;
    // Bound on a parallel-port write that the device stops taking.
    int lptWriteMs = 30000;
    // The pause the list reader makes before a frame of a framed list when nothing of it
    // has arrived yet.
    int listFramePauseMs = 50;
    // ReadPrinterFile's pauses: after its CR LF, and before the file request.
    int fileRequestPauseMs = 500;
    int fileCommandPauseMs = 100;

    // A printer that keeps sending without forming a reply is cut off instead of waited
    // for. A reader skips at most replySkipBytes before a frame's "{" and gives up when no
    // frame has begun within frameStartMs; a framed list takes at most listMostItems items
    // and gives up when it has not ended within listMs of its command. Whatever the printer
    // sends, a frame reader so ends within frameStartMs, and a list within listMs, plus one
    // device read time-out (readMs above) each; a reply line ends after 1024 characters
    // plus replySkipBytes carriage returns.
    int replySkipBytes = 4096;
    int frameStartMs = 30000;
    int listMostItems = 4096;
    int listMs = 120000;
};
