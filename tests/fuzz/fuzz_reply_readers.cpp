// The reply readers fed with any bytes through a scripted link: frames must come back
// terminated and within the buffer, lists likewise, and nothing may be written past the
// capacity the reader was given.

#include "FuzzCheck.h"
#include "link/PrinterLink.h"
#include "operations/ReplyReaders.h"
#include "ScriptedBackend.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr char kGuard = '\x5a';

// The first byte chooses the buffer capacity; the rest is split into device reads of
// varying size.
std::shared_ptr<LinkScript> ScriptOf(const uint8_t* data, size_t size) {
    auto script = std::make_shared<LinkScript>();
    for (size_t at = 0, chunk = 1; at < size; at += chunk, chunk = chunk % 97 + 13)
        script->reads.emplace_back(reinterpret_cast<const char*>(data + at),
                                   std::min(chunk, size - at));
    return script;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const int capacity = 2 + data[0] * 8;
    auto script = ScriptOf(data + 1, size - 1);
    PrinterLink link;
    link.SetBackendFactory(InterfaceEthernet, [script](PrinterLink&) {
        return std::make_unique<ScriptedBackend>(script);
    });
    link.Timeouts().listFramePauseMs = 0;
    {
        LinkSession session(link, InterfaceEthernet);
        std::vector<char> buffer(static_cast<size_t>(capacity) + 16, kGuard);
        int length = -1;
        if (ReadFramedReply(session, buffer.data(), capacity, &length)) {
            Check(length >= 0 && length <= capacity - 2);
            Check(buffer[static_cast<size_t>(length)] == '\0');
        }
        for (size_t i = static_cast<size_t>(capacity); i < buffer.size(); ++i)
            Check(buffer[i] == kGuard);

        char line[kReplyLineCapacity + 8];
        std::memset(line, kGuard, sizeof line);
        ReadReplyLine(session, line, &length);
        Check(length >= 0 && length < kReplyLineCapacity && line[length] == '\0');
        for (size_t i = kReplyLineCapacity; i < sizeof line; ++i)
            Check(line[i] == kGuard);

        std::vector<char> list(static_cast<size_t>(capacity) + 16, kGuard);
        int total = -1;
        if (QueryFramedList(session, "LIST\r\n", list.data(), capacity, &total) == LinkOk) {
            Check(total >= 0 && total < capacity && list[static_cast<size_t>(total)] == '\0');
        }
        for (size_t i = static_cast<size_t>(capacity); i < list.size(); ++i)
            Check(list[i] == kGuard);
        Check(ParseReplyNumber(line) == ParseReplyNumber(line));
    }
    Check(script->opens == 1 && script->closes == 1);
    return 0;
}
