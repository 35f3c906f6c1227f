#pragma once

// Every wait of the link layer, in milliseconds. The members hold the product's
// values; tests shorten them on their own link object.
struct LinkTimeouts {
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
    // The pause the list reader makes before each frame of a framed list.
    int listFramePauseMs = 50;
};
