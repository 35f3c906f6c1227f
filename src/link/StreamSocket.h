#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class LinkWait;

// The only place the program touches the platform's stream sockets: a TCP client that
// never blocks. Every wait goes through the caller's LinkWait, so the window keeps running
// and a cancel request ends it; a port to another platform replaces this file.
class StreamSocket {
public:
    enum class Io { Done, WouldBlock, Closed };

    StreamSocket() = default;
    ~StreamSocket();
    StreamSocket(const StreamSocket&) = delete;
    StreamSocket& operator=(const StreamSocket&) = delete;

    // Looks the host up and connects to the first address that answers within connectMs.
    bool Connect(const std::string& host, int port, int connectMs, const LinkWait& wait);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    intptr_t Handle() const { return fd_; }

    // One send or recv of what the kernel takes or has now; count receives the bytes moved.
    Io Send(const uint8_t* bytes, size_t length, size_t& count);
    Io Receive(uint8_t* buffer, size_t capacity, size_t& count);

    // Waits, in the caller's slices, until a send or a recv would not block.
    bool WaitWritable(int ms, const LinkWait& wait) const;
    bool WaitReadable(int ms, const LinkWait& wait) const;

private:
    bool ConnectTo(const void* address, unsigned length, int family, int connectMs,
                   const LinkWait& wait);
    bool WaitFor(short events, int ms, const LinkWait& wait) const;

    int fd_ = -1;
};
