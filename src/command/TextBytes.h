#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstdint>

// How the command tool turns the bytes of files and the printer into editor text and back.
// Lines of the editor stand for CR LF. Bytes the editor cannot hold as themselves have a
// stand-in character: a bare LF is a line separator (U+2028, shown as a line break), a bare
// CR the carriage-return symbol (U+240D). Within these rules text and bytes map one to one,
// so a file loaded and saved or sent unchanged gives its own bytes back.
enum class TextMapping : int32_t {
    // Bytes that are valid UTF-8 show as their characters.
    Utf8 = 0,
    // Any other bytes: each byte one character U+0001 to U+00FF. Characters beyond U+00FF
    // typed into such a text are written as UTF-8.
    Latin1 = 1,
};

inline constexpr char16_t kBareLineFeed = 0x2028;
inline constexpr char16_t kBareCarriageReturn = 0x240D;

// UTF-8 when the bytes are valid UTF-8 and their text holds none of the characters the
// editor keeps for line ends or treats as separators; Latin-1 otherwise.
TextMapping MappingFor(QByteArrayView bytes);

QString BytesToText(QByteArrayView bytes, TextMapping mapping);
// Editor text as bytes: line breaks (LF or U+2029) become CR LF, the stand-ins their byte.
QByteArray TextToBytes(QStringView text, TextMapping mapping);

// What Load takes of a file: the bytes before the first zero byte.
QByteArrayView UpToFirstZero(QByteArrayView bytes);

// A printer name or reply for display: UTF-8 when valid, else Latin-1; nothing converted.
QString DisplayText(QByteArrayView bytes);
