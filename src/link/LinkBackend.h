#pragma once

#include <cstddef>
#include <cstdint>

// One kind of link, as the transport sees it: open, write pieces, do device reads, close.
// Everything platform-specific (device names, sockets, endpoints) stays inside a backend.
class LinkBackend {
public:
    virtual ~LinkBackend() = default;

    // Opens the channel; false when it cannot be opened.
    virtual bool Open() = 0;
    virtual void Close() = 0;

    // Writes one piece; true only when every byte of it was accepted.
    virtual bool WritePiece(const uint8_t* bytes, size_t length) = 0;

    // One device read of at most capacity bytes; 0 on time-out, error or a closed channel.
    virtual size_t ReadDevice(uint8_t* buffer, size_t capacity) = 0;

    // Links that can drop on their own (TCP) say whether they still stand.
    virtual bool IsConnected() const { return true; }

    // The value OpenLink hands out for this channel.
    virtual intptr_t Handle() const { return 1; }
};
