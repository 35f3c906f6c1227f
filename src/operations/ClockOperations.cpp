#include "operations/ClockOperations.h"

#include "operations/CommandText.h"
#include "operations/LinkSession.h"
#include "operations/ReplyReaders.h"

namespace {

// Each field as soon as its reply has come; the packed record is assigned member by member.
void StoreField(PrinterClock& clock, int field, int32_t value) {
    switch (field) {
    case 0:
        clock.year = value;
        break;
    case 1:
        clock.month = value;
        break;
    case 2:
        clock.date = value;
        break;
    case 3:
        clock.hour = value;
        break;
    case 4:
        clock.minute = value;
        break;
    default:
        clock.second = value;
        break;
    }
}

} // namespace

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
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    const std::string text = ClockCommands(*static_cast<const PrinterClock*>(buffer));
    return session.Write(text) ? LinkOk : LinkTransmissionError;
}

LinkError ReadClock(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t) {
    auto* clock = static_cast<PrinterClock*>(buffer);
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    if (const LinkError code = AnnounceInterface(session); code != LinkOk)
        return code;

    static const char* const kQueries[] = {
        "DIAGNOSTIC REPORT YEAR\r\n",   "DIAGNOSTIC REPORT MONTH\r\n",
        "DIAGNOSTIC REPORT DATE\r\n",   "DIAGNOSTIC REPORT HOUR\r\n",
        "DIAGNOSTIC REPORT MINUTE\r\n", "DIAGNOSTIC REPORT SECOND\r\n",
    };
    char reply[1024];
    for (int field = 0; field < 6; ++field) {
        int length = 0;
        if (const LinkError code =
                QueryFramed(session, kQueries[field], reply, sizeof reply, &length);
            code != LinkOk)
            return code;
        StoreField(*clock, field, ParseReplyNumber(reply));
    }
    return LinkOk;
}

PrinterClock ClockOf(const QDateTime& time) {
    const QDate date = time.date();
    const QTime clock = time.time();
    return {date.year(), date.month(), date.day(), clock.hour(), clock.minute(), clock.second()};
}
