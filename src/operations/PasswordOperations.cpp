#include "operations/PasswordOperations.h"

#include "link/FixedText.h"
#include "operations/CommandText.h"
#include "operations/FirmwareEditions.h"
#include "operations/LinkSession.h"
#include "operations/ReplyReaders.h"

#include <cstring>

LinkError ReadPasswordState(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t) {
    char* password = static_cast<char*>(buffer);
    password[0] = '\0';
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    if (const LinkError code = AnnounceInterface(session); code != LinkOk)
        return code;

    char reply[1024];
    int length = 0;
    if (const LinkError code =
            QueryFramed(session, "DIAGNOSTIC REPORT EDITION\r\n", reply, sizeof reply, &length);
        code != LinkOk)
        return code;
    if (ParseReplyNumber(reply) <= kLastEditionWithoutPassword)
        return LinkOk;

    const LinkError code =
        QueryFramed(session, "DIAGNOSTIC REPORT PASSWORD\r\n", reply, sizeof reply, &length);
    // The frame holds at most 1022 bytes, which the caller's 1023 bytes take with the
    // terminator; a zero byte inside the reply ends the text there.
    // Only the text and its terminator are written into the caller's buffer.
    if (code == LinkOk) {
        const std::string text = FixedBytes(reply, sizeof reply);
        StoreFixedBytes(password, text.size() + 1, text);
    }
    return code;
}

LinkError SetPassword(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t) {
    const std::string password =
        FixedBytes(static_cast<const char*>(buffer), kPasswordTextCapacity);
    // A quote or line end would hand the printer a different password than the one typed.
    if (!QuotableText(password))
        return LinkUnknownError;
    const std::string command = FormatCommand("DIAGNOSTIC PASSWORD \"%s\"\r\n", password.c_str());
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    if (!session.Write(command))
        return LinkTransmissionError;
    char reply[1024];
    int length = 0;
    return ReadFramedReply(session, reply, sizeof reply, &length) ? LinkOk : LinkReceivingError;
}
