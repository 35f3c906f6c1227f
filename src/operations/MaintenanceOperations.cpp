#include "operations/MaintenanceOperations.h"

#include "link/FixedText.h"
#include "link/PrinterLink.h"
#include "operations/CommandText.h"
#include "operations/LinkSession.h"

#include <climits>
#include <cmath>
#include <cstring>

namespace {

// Truncation toward zero of a float; values beyond the integer range (and NaN, 0) are
// held at its ends instead of being undefined.
int Truncate(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}

int Clamp(long long value) {
    return static_cast<int>(value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : value);
}

LinkError SendFixed(PrinterLink& link, InterfaceKind kind, const void* bytes, size_t length) {
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    return session.Write(bytes, length) ? LinkOk : LinkTransmissionError;
}

} // namespace

LinkError InitializePrinter(PrinterLink& link, InterfaceKind kind, void*, int32_t) {
    static const char kCommand[] = "INITIALPRINTER\r\n";
    return SendFixed(link, kind, kCommand, sizeof kCommand - 1);
}

LinkError SelfTest(PrinterLink& link, InterfaceKind kind, void*, int32_t) {
    static const char kCommand[] = "SELFTEST\r\n";
    return SendFixed(link, kind, kCommand, sizeof kCommand - 1);
}

LinkError ResetPrinter(PrinterLink& link, InterfaceKind kind, void*, int32_t) {
    static const uint8_t kCommand[] = {0x1B, 0x21, 0x52};
    return SendFixed(link, kind, kCommand, sizeof kCommand);
}

LinkError IgnoreAutoBas(PrinterLink& link, InterfaceKind kind, void*, int32_t) {
    static const uint8_t kCommand[] = {0x1B, 0x21, 0x43};
    return SendFixed(link, kind, kCommand, sizeof kCommand);
}

LinkError SendLineModeExit(PrinterLink& link, InterfaceKind kind, void*, int32_t) {
    static const uint8_t kCommand[] = {0x1B, 0x5A, 0x0D, 0x0A};
    return SendFixed(link, kind, kCommand, sizeof kCommand);
}

std::string DumpTextCommand(const DumpTextRequest& request) {
    if (request.mode == DumpPrint)
        return "DUMP_TEXT PRINT,";
    if (request.mode == DumpSaveToCard) {
        const std::string name = FixedBytes(request.fileName);
        return FormatCommand("DUMP_TEXT SAVE 1000,E,\"%s\",", name.c_str());
    }
    return "DUMP_TEXT SAVE 1000,\"Dump.txt\",";
}

LinkError DumpText(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t) {
    const auto* request = static_cast<const DumpTextRequest*>(buffer);
    // A card file name that cannot be quoted would end the command early or start another.
    if (request->mode == DumpSaveToCard && !QuotableText(FixedBytes(request->fileName)))
        return LinkUnknownError;
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    return session.Write(DumpTextCommand(*request)) ? LinkOk : LinkTransmissionError;
}

LinkError SendData(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t extra) {
    // A negative count cannot be sent; Dispatch refuses a count without bytes.
    if (extra < 0)
        return LinkUnknownError;
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    return session.WriteShowingProgress(buffer, static_cast<size_t>(extra)) ? LinkOk
                                                                            : LinkTransmissionError;
}

std::string TestPatternProgram(const TestPatternRequest& request) {
    // The arithmetic is that of single-precision floats, as the resolution is held.
    const float k = request.dotsPerMm;
    const long long width = Truncate(request.widthMm * k);
    const long long height = Truncate(request.heightMm * k);
    const long long margin = Truncate(k * 2 + 0.5);

    std::string program = "CLS\r\nDIRECTION 0,0\r\n";
    if (2 * margin < width && 2 * margin < height) {
        program += FormatCommand("BOX %d,%d,%d,%d,4\r\n", Clamp(margin), Clamp(margin),
                                 Clamp(width - margin), Clamp(height - margin));
        const long long side = width > height ? height : width;
        const int narrow = k > 8 ? 3 : 2;
        const int wide = k > 8 ? 6 : 4;
        const long long barHeight = side / 8;
        const int barX = Truncate(static_cast<float>(margin + barHeight) + k * 4);
        const int barY = Truncate(static_cast<float>(margin) + k * 2);
        const int textX = Truncate(static_cast<float>(margin + barHeight) + k * 6);
        const int textY = Truncate(static_cast<float>(margin) + k * 2);
        const int magnification = Clamp(((72 * (side - textX)) / narrow / 100) / 4);
        int digits = Truncate((static_cast<float>(side - 2 * margin) - k * 4) /
                                  static_cast<float>(7 * narrow + 3 * wide) -
                              2);
        if (digits < 0)
            digits = 0;
        std::string data = "1234567890";
        if (digits < 10)
            data.resize(static_cast<size_t>(digits));
        program += FormatCommand("BARCODE  %d,%d,\"39\",%d,1,90,%d,%d,\"%s\"\r\n", barX, barY,
                                 Clamp(barHeight), narrow, wide, data.c_str());
        if (static_cast<float>(side) > static_cast<float>(2 * margin) + k * 20)
            program += FormatCommand("TEXT  %d,%d,\"0\",0,%d,%d,\"TEST\"\r\n", textX, textY,
                                     magnification, magnification);
    }
    program += "PRINT 1\r\n";
    return program;
}

LinkError PrintTestPattern(PrinterLink& link, InterfaceKind kind, void* buffer, int32_t) {
    const std::string program = TestPatternProgram(*static_cast<const TestPatternRequest*>(buffer));
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    return session.Write(program) ? LinkOk : LinkTransmissionError;
}
