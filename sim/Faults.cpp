#include "Faults.h"

#include <cctype>
#include <chrono>
#include <thread>

namespace sim {

void WaitReplyDelay(const Faults& faults) {
    if (faults.replyDelayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(faults.replyDelayMs));
}

std::string ApplyReplyFaults(const Faults& faults, const std::string& reply) {
    if (reply.empty())
        return reply;
    std::string out = faults.garbageBeforeReply;
    if (faults.frameLengthSurplus == 0 && faults.wrongFrameEnd == 0)
        return out + reply;
    // Rewrites every frame "{n|data}" of the answer; other bytes pass unchanged.
    size_t at = 0;
    while (at < reply.size()) {
        if (reply[at] != '{') {
            out.push_back(reply[at++]);
            continue;
        }
        size_t digitsEnd = at + 1;
        while (digitsEnd < reply.size() &&
               std::isdigit(static_cast<unsigned char>(reply[digitsEnd])))
            ++digitsEnd;
        if (digitsEnd >= reply.size() || reply[digitsEnd] != '|') {
            out.push_back(reply[at++]);
            continue;
        }
        // Saturated: a length past the reply's end leaves the rest unchanged below.
        size_t length = 0;
        for (size_t i = at + 1; i < digitsEnd && length <= reply.size(); ++i)
            length = length * 10 + static_cast<size_t>(reply[i] - '0');
        const size_t dataStart = digitsEnd + 1;
        if (dataStart + length >= reply.size()) {
            out.append(reply, at, std::string::npos);
            break;
        }
        out += "{" + std::to_string(length + static_cast<size_t>(faults.frameLengthSurplus)) + "|";
        out.append(reply, dataStart, length);
        out.push_back(faults.wrongFrameEnd ? faults.wrongFrameEnd : reply[dataStart + length]);
        at = dataStart + length + 1;
    }
    return out;
}

} // namespace sim
