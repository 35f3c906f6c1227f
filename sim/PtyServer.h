#pragma once

#include "ServerLoop.h"

#include <chrono>
#include <string>

namespace sim {

class VirtualPrinter;

// Serves the printer on a pseudo-terminal: the serial link opens SlavePath().
// A hang-up fault makes the printer fall silent (a serial line cannot be closed).
class PtyServer {
public:
    explicit PtyServer(VirtualPrinter& printer);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    bool Start(std::string* error = nullptr);
    void Stop();
    const std::string& SlavePath() const { return slavePath_; }
    // Waits, at most limit, until what was written to the terminal before the call has
    // been read and handed to the printer.
    bool WaitUntilTaken(std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
        return loop_.WaitUntilIdle(limit);
    }

private:
    bool Step(int wakeFd);

    VirtualPrinter& printer_;
    int masterFd_ = -1;
    int slaveFd_ = -1; // held open so the master survives the client closing its side
    long received_ = 0;
    std::string slavePath_;
    ServerLoop loop_;
};

// Serves the printer on a FIFO (or takes a file's bytes) for the parallel link: whatever
// is written there reaches the printer; nothing is answered.
class FifoServer {
public:
    FifoServer(VirtualPrinter& printer, std::string path);
    ~FifoServer();
    FifoServer(const FifoServer&) = delete;
    FifoServer& operator=(const FifoServer&) = delete;

    // Creates the FIFO when the path does not exist yet.
    bool Start(std::string* error = nullptr);
    void Stop();
    const std::string& Path() const { return path_; }
    // Waits, at most limit, until what was written to the FIFO before the call has been
    // read and handed to the printer.
    bool WaitUntilTaken(std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
        return loop_.WaitUntilIdle(limit);
    }

private:
    bool Step(int wakeFd);

    VirtualPrinter& printer_;
    std::string path_;
    bool created_ = false;
    int fd_ = -1;
    ServerLoop loop_;
};

} // namespace sim
