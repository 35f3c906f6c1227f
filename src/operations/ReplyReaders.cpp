#include "operations/ReplyReaders.h"

#include <chrono>
#include <climits>
#include <cstring>
#include <vector>

namespace {

const char* const kAnnouncements[kInterfaceKindCount] = {
    "\r\nDIAGNOSTIC INTERFACE USB\r\n",
    "\r\nDIAGNOSTIC INTERFACE COM\r\n",
    "\r\nDIAGNOSTIC INTERFACE LPT\r\n",
    "\r\nDIAGNOSTIC INTERFACE NET\r\n",
};

constexpr int kLengthDigits = 32;

using Clock = std::chrono::steady_clock;

Clock::time_point After(int ms) {
    return Clock::now() + std::chrono::milliseconds(ms);
}

} // namespace

bool ReadFramedReply(LinkSession& session, char* buffer, int capacity, int* length) {
    const LinkTimeouts& limits = session.Link().Timeouts();
    const Clock::time_point giveUp = After(limits.frameStartMs);
    uint8_t byte = 0;
    for (int skipped = 0;; ++skipped) {
        if (!session.ReadByte(byte))
            return false;
        if (byte == '{')
            break;
        // Bytes that keep coming without a frame must not hold the reader.
        if (skipped >= limits.replySkipBytes || Clock::now() >= giveUp)
            return false;
    }

    char digits[kLengthDigits + 1] = {};
    int count = 0;
    bool gotByte = session.ReadByte(byte);
    while (gotByte && byte >= '0' && byte <= '9') {
        digits[count++] = static_cast<char>(byte);
        if (count == kLengthDigits)
            break;
        gotByte = session.ReadByte(byte);
    }
    // Thirty-two digits, a failed read or any other character than "|" fail the frame.
    if (!gotByte || count == kLengthDigits || byte != '|')
        return false;

    long long value = 0;
    for (int i = 0; i < count; ++i) {
        value = value * 10 + (digits[i] - '0');
        if (value > INT32_MAX)
            return false;
    }
    if (value >= static_cast<long long>(capacity) - 1)
        return false;

    const int dataLength = static_cast<int>(value);
    if (dataLength > 0 && !session.ReadBytes(reinterpret_cast<uint8_t*>(buffer), dataLength))
        return false;
    if (!session.ReadByte(byte) || byte != '}')
        return false;
    buffer[dataLength] = '\0';
    if (length)
        *length = dataLength;
    return true;
}

bool ReadReplyLine(LinkSession& session, char* buffer, int* length) {
    int count = 0;
    int returns = 0;
    uint8_t byte = 0;
    bool fits = true;
    const int mostReturns = session.Link().Timeouts().replySkipBytes;
    while (session.ReadByte(byte)) {
        if (byte == '\r') {
            // Endless carriage returns would hold the reader as long as they come.
            if (++returns > mostReturns) {
                fits = false;
                break;
            }
            continue;
        }
        if (byte == '\n')
            break;
        if (count == kReplyLineCapacity - 1) {
            fits = false;
            break;
        }
        buffer[count++] = static_cast<char>(byte);
    }
    buffer[count] = '\0';
    if (length)
        *length = count;
    return fits;
}

LinkError QueryFramed(LinkSession& session, const char* command, char* buffer, int capacity,
                      int* length) {
    if (!session.Write(command, std::strlen(command)))
        return LinkTransmissionError;
    if (!ReadFramedReply(session, buffer, capacity, length))
        return LinkReceivingError;
    return LinkOk;
}

LinkError QueryFramedList(LinkSession& session, const char* command, char* buffer, int capacity,
                          int* total) {
    if (!session.Write(command, std::strlen(command)))
        return LinkTransmissionError;
    const LinkTimeouts& limits = session.Link().Timeouts();
    const std::chrono::milliseconds pause(limits.listFramePauseMs);
    const Clock::time_point giveUp = After(limits.listMs);
    int position = 0;
    for (int items = 0;; ++items) {
        // A list that never ends is refused once it passes its bounds.
        if (items > limits.listMostItems || Clock::now() >= giveUp)
            return LinkReceivingError;
        // The pause gives the printer time for the next frame; one that is here already
        // needs none.
        if (!session.HasReceived() && !session.Link().Waits().Pause(pause))
            return LinkReceivingError;
        int frameLength = 0;
        if (!ReadFramedReply(session, buffer + position, capacity - position - 2, &frameLength))
            return LinkReceivingError;
        if (frameLength == 0) {
            if (total)
                *total = position;
            return LinkOk;
        }
        position += frameLength;
        buffer[position] = '\r';
        buffer[position + 1] = '\n';
        buffer[position + 2] = '\0';
        position += 2;
    }
}

LinkError SendCommandText(LinkSession& session, const char* command) {
    return session.Write(command, std::strlen(command)) ? LinkOk : LinkTransmissionError;
}

const char* InterfaceAnnouncement(InterfaceKind kind) {
    if (kind < 0 || kind >= kInterfaceKindCount)
        return kAnnouncements[0];
    return kAnnouncements[kind];
}

LinkError AnnounceInterface(LinkSession& session, int scratchCapacity) {
    std::vector<char> scratch(static_cast<size_t>(scratchCapacity));
    int length = 0;
    return QueryFramed(session, InterfaceAnnouncement(session.Kind()), scratch.data(),
                       scratchCapacity, &length);
}

int32_t ParseReplyNumber(const char* text) {
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n' || *p == '\v' || *p == '\f')
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    long long value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + (*p++ - '0');
        if (value > static_cast<long long>(INT32_MAX) + 1)
            value = static_cast<long long>(INT32_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX)
        value = INT32_MAX;
    return static_cast<int32_t>(value);
}

size_t CollectReplyBytes(LinkSession& session, std::string& bytes, const ReplyWindow& window) {
    if (TraitsOf(session.Kind()).deviceRead == 0)
        return 0;
    // Every device read of the collection waits the quiet time instead of the link's own.
    LinkTimeouts& timeouts = session.Link().Timeouts();
    const LinkTimeouts saved = timeouts;
    timeouts.usbReadMs = window.quietMs;
    timeouts.comReadMs = window.quietMs;
    timeouts.netMs = window.quietMs;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(window.totalMs);
    size_t count = 0;
    uint8_t byte = 0;
    while (count < window.capacity && std::chrono::steady_clock::now() < deadline &&
           session.ReadByte(byte)) {
        bytes += static_cast<char>(byte);
        ++count;
    }
    timeouts = saved;
    return count;
}
