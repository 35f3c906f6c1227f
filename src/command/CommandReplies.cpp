#include "command/CommandReplies.h"

#include "command/TextBytes.h"
#include "link/PrinterLink.h"
#include "operations/LinkSession.h"

namespace {

// The length of a whole frame starting at `at` ("{" digits "|" data "}"), or 0.
size_t FrameLength(std::string_view bytes, size_t at, size_t& dataStart, size_t& dataLength) {
    size_t i = at + 1;
    size_t value = 0;
    size_t digits = 0;
    while (i < bytes.size() && bytes[i] >= '0' && bytes[i] <= '9' && digits < 10) {
        value = value * 10 + static_cast<size_t>(bytes[i] - '0');
        ++i;
        ++digits;
    }
    if (digits == 0 || i >= bytes.size() || bytes[i] != '|')
        return 0;
    dataStart = i + 1;
    if (value > bytes.size() - dataStart || dataStart + value >= bytes.size() ||
        bytes[dataStart + value] != '}')
        return 0;
    dataLength = value;
    return dataStart + value + 1 - at;
}

// Printable text stays, control bytes become <XX>; the text is decoded as a whole so that
// UTF-8 characters survive.
QString Readable(std::string_view bytes) {
    const QString text = DisplayText(QByteArrayView(bytes.data(), bytes.size()));
    QString result;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F ||
            (c.unicode() >= 0x80 && c.unicode() < 0xA0))
            result += QStringLiteral("<%1>").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            result += c;
    }
    return result;
}

} // namespace

LinkError SendAndCollectReplies(PrinterLink& link, InterfaceKind kind, const QByteArray& bytes,
                                const ReplyWindow& window, std::string& replies) {
    LinkSession session(link, kind);
    if (!session.IsOpen())
        return LinkPortOpenError;
    if (!session.WriteShowingProgress(bytes.constData(), static_cast<size_t>(bytes.size())))
        return LinkTransmissionError;
    if (kind != InterfaceLpt)
        CollectReplyBytes(session, replies, window);
    return LinkOk;
}

QStringList DescribeReplies(std::string_view bytes) {
    QStringList lines;
    std::string raw; // bytes of the line being collected outside frames
    auto endRaw = [&] {
        if (!raw.empty())
            lines << Readable(raw);
        raw.clear();
    };
    for (size_t at = 0; at < bytes.size();) {
        size_t dataStart = 0;
        size_t dataLength = 0;
        if (bytes[at] == '{') {
            if (const size_t length = FrameLength(bytes, at, dataStart, dataLength)) {
                endRaw();
                lines << QLatin1Char('{') + Readable(bytes.substr(dataStart, dataLength)) +
                             QLatin1Char('}');
                at += length;
                continue;
            }
        }
        if (bytes[at] == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n') {
            // A line answer ends here; an empty line shows as nothing.
            endRaw();
            at += 2;
            continue;
        }
        raw += bytes[at];
        ++at;
    }
    endRaw();
    return lines;
}
