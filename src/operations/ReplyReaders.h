#pragma once

#include "operations/LinkError.h"
#include "operations/LinkSession.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Readers of the printer's replies, shared by all operations. A framed reply is
// "{" decimal length "|" data "}"; bytes before the "{" are skipped.

constexpr int kReplyLineCapacity = 1025;

// Reads one frame into buffer. The data must leave room to spare: at most capacity - 2
// bytes. A zero byte follows the data.
bool ReadFramedReply(LinkSession& session, char* buffer, int capacity, int* length);

// Reads one line (CR skipped, LF ends it) into a buffer of at least 1025 bytes. False only
// when the line passes 1024 characters; a time-out ends the line.
bool ReadReplyLine(LinkSession& session, char* buffer, int* length);

LinkError QueryFramed(LinkSession& session, const char* command, char* buffer, int capacity,
                      int* length);

// Sends the command and reads frames until an empty one; the items are stored one after
// the other, each followed by CR LF.
LinkError QueryFramedList(LinkSession& session, const char* command, char* buffer, int capacity,
                          int* total);

LinkError SendCommandText(LinkSession& session, const char* command);

// "\r\nDIAGNOSTIC INTERFACE <kind>\r\n", its reply read into a scratch buffer and dropped.
LinkError AnnounceInterface(LinkSession& session, int scratchCapacity = 1024);
const char* InterfaceAnnouncement(InterfaceKind kind);

// A number in a reply: white space skipped, an optional sign, the leading digits; 0 when
// there are none. Saturates at the range of a 32-bit integer.
int32_t ParseReplyNumber(const char* text);

// How long an unasked-for answer is collected: until the printer has been quiet for
// quietMs, totalMs have passed, or capacity bytes came. Each device read waits at most
// quietMs, so the whole collection ends within totalMs + quietMs.
struct ReplyWindow {
    int quietMs = 300;
    int totalMs = 2000;
    size_t capacity = 65536;
};

// Appends whatever the printer sends within the window to `bytes`; returns how many came.
// Links that cannot be read give nothing.
size_t CollectReplyBytes(LinkSession& session, std::string& bytes, const ReplyWindow& window);
