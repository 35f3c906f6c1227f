#pragma once

#include <string>

namespace sim {

// Ways the printer can misbehave, set by tests and by the simulator's options.
struct Faults {
    // Connections are refused (the TCP server stops listening).
    bool refuse = false;
    // Bytes are taken but nothing is ever answered.
    bool silent = false;
    // The printer stops reading what is sent to it (the sender's data piles up).
    bool stopReading = false;
    // The connection is closed once this many bytes have been received; negative: never.
    long closeAfterBytes = -1;
    // Sent before every answer.
    std::string garbageBeforeReply;
    // Frames announce this many bytes more than they carry.
    int frameLengthSurplus = 0;
    // Frames end with this byte instead of "}" (0: the right byte).
    char wrongFrameEnd = 0;
    // Answers go one byte at a time with this pause between bytes.
    int trickleDelayMs = 0;
    // A firmware image stops the printer for good, as a bad image would: it restarts and
    // never comes back.
    bool deadAfterFirmware = false;
    // Every answer waits this long before its first byte, as a printer across a real network.
    int replyDelayMs = 0;
};

// Waits the reply delay of the faults, if any.
void WaitReplyDelay(const Faults& faults);

// Applies the reply faults (garbage, lying length, wrong end byte) to an answer.
std::string ApplyReplyFaults(const Faults& faults, const std::string& reply);

} // namespace sim
