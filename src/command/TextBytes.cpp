#include "command/TextBytes.h"

#include <QStringDecoder>

namespace {

// Characters the editor turns into line breaks, or that stand for a byte: a UTF-8 text that
// holds one of them cannot come back as the same bytes.
bool ReservedInEditor(char16_t c) {
    return c == kBareLineFeed || c == kBareCarriageReturn || c == 0x2029 || c == 0xFDD0 ||
           c == 0xFDD1;
}

// The decoded text with CR LF as one LF and bare CR and LF as their stand-ins.
QString MarkLineEnds(QString text) {
    QString result;
    result.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            if (i + 1 < n && text.at(i + 1) == u'\n') {
                result += u'\n';
                ++i;
            } else {
                result += QChar(kBareCarriageReturn);
            }
        } else if (c == u'\n') {
            result += QChar(kBareLineFeed);
        } else {
            result += c;
        }
    }
    return result;
}

bool DecodeUtf8(QByteArrayView bytes, QString& text) {
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom |
                                                       QStringConverter::Flag::Stateless);
    text = decoder.decode(bytes);
    return !decoder.hasError();
}

} // namespace

TextMapping MappingFor(QByteArrayView bytes) {
    QString text;
    if (!DecodeUtf8(bytes, text))
        return TextMapping::Latin1;
    for (const QChar c : text) {
        if (ReservedInEditor(c.unicode()))
            return TextMapping::Latin1;
    }
    return TextMapping::Utf8;
}

QString BytesToText(QByteArrayView bytes, TextMapping mapping) {
    QString text;
    if (mapping == TextMapping::Latin1 || !DecodeUtf8(bytes, text))
        text = QString::fromLatin1(bytes);
    return MarkLineEnds(std::move(text));
}

QByteArray TextToBytes(QStringView text, TextMapping mapping) {
    QByteArray bytes;
    bytes.reserve(text.size() + text.size() / 8);
    const qsizetype n = text.size();
    qsizetype run = 0; // start of the characters not yet written
    auto flush = [&](qsizetype end) {
        if (end <= run)
            return;
        const QStringView part = text.sliced(run, end - run);
        if (mapping == TextMapping::Utf8) {
            bytes += part.toUtf8();
        } else {
            for (qsizetype i = 0; i < part.size(); ++i) {
                const char16_t c = part[i].unicode();
                if (c <= 0xFF) {
                    bytes += static_cast<char>(c);
                } else {
                    // A surrogate pair stays together.
                    const qsizetype length =
                        part[i].isHighSurrogate() && i + 1 < part.size() ? 2 : 1;
                    bytes += part.sliced(i, length).toUtf8();
                    i += length - 1;
                }
            }
        }
        run = end;
    };
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        const char* standIn = nullptr;
        if (c == u'\n' || c == 0x2029)
            standIn = "\r\n";
        else if (c == kBareLineFeed)
            standIn = "\n";
        else if (c == kBareCarriageReturn)
            standIn = "\r";
        if (!standIn)
            continue;
        flush(i);
        bytes += standIn;
        run = i + 1;
    }
    flush(n);
    return bytes;
}

QByteArrayView UpToFirstZero(QByteArrayView bytes) {
    const qsizetype zero = bytes.indexOf('\0');
    return zero < 0 ? bytes : bytes.first(zero);
}

QString DisplayText(QByteArrayView bytes) {
    QString text;
    if (!DecodeUtf8(bytes, text))
        text = QString::fromLatin1(bytes);
    return text;
}
