#include "operations/ClockOperations.h"

#include "operations/CommandText.h"
#include "operations/LinkSession.h"
#include "operations/ReplyReaders.h"

std::string ClockCommands(const PrinterClock& clock) {
    std::string text;
    text += FormatCommand("@YEAR = \"%d\"\r\n", clock.year % 100);
    text += FormatCommand("@MONTH = \"%d\"\r\n", clock.month);
    text += FormatCommand("@DATE = \"%d\"\r\n", clock.date);
    text += FormatCommand("@HOUR = \"%d\"\r\n", clock.hour);
    text += FormatCommand("@MINUTE = \"%d\"\r\n", clock.minute);
    text += FormatCommand("@SECOND = \"%d\"\r\n", clock.second);
    return text;
}

LinkError SetClock(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t) {
    if (!buffer)
        return LinkUnknownError;
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    const std::string text = ClockCommands(*static_cast<const PrinterClock*>(buffer));
    return session.Write(text) ? LinkOk : LinkTransmissionError;
}

LinkError ReadClock(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t) {
    if (!buffer)
        return LinkUnknownError;
    auto* clock = static_cast<PrinterClock*>(buffer);
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    if (const LinkError code = AnnounceInterface(session); code != LinkOk)
        return code;

    struct Query {
        const char* command;
        int32_t PrinterClock::*field;
    };
    static const Query kQueries[] = {
        {"DIAGNOSTIC REPORT YEAR\r\n", &PrinterClock::year},
        {"DIAGNOSTIC REPORT MONTH\r\n", &PrinterClock::month},
        {"DIAGNOSTIC REPORT DATE\r\n", &PrinterClock::date},
        {"DIAGNOSTIC REPORT HOUR\r\n", &PrinterClock::hour},
        {"DIAGNOSTIC REPORT MINUTE\r\n", &PrinterClock::minute},
        {"DIAGNOSTIC REPORT SECOND\r\n", &PrinterClock::second},
    };
    char reply[1024];
    for (const Query& query : kQueries) {
        int length = 0;
        if (const LinkError code = QueryFramed(session, query.command, reply, sizeof reply, &length);
            code != LinkOk)
            return code;
        clock->*query.field = ParseReplyNumber(reply);
    }
    return LinkOk;
}
