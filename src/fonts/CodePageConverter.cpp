#include "fonts/CodePageConverter.h"

#include <QList>

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

iconv_t Handle(void* converter) {
    return static_cast<iconv_t>(converter);
}

} // namespace

const char* CodePageConverter::ConverterName(int windowsCodePage) {
    switch (windowsCodePage) {
    case 1252:
        return "CP1252";
    case 950:
        return "CP950";
    case 936:
        return "CP936";
    case 949:
        return "CP949";
    case 932:
        return "CP932";
    default:
        return nullptr;
    }
}

CodePageConverter::CodePageConverter(int windowsCodePage)
    : codePage_(windowsCodePage), toUnicode_(kNoConverter), fromUnicode_(kNoConverter) {
    const char* name = ConverterName(windowsCodePage);
    if (!name)
        return;
    toUnicode_ = iconv_open("UTF-32LE", name);
    fromUnicode_ = iconv_open(name, "UTF-32LE");
    valid_ = Handle(toUnicode_) != kNoConverter && Handle(fromUnicode_) != kNoConverter;
    if (valid_ && windowsCodePage == 1252) {
        for (int code = 0; code < 256; ++code) {
            const uint8_t byte = static_cast<uint8_t>(code);
            char32_t out = 0;
            size_t consumed = 0;
            singleByte_[code] = ConvertOne(&byte, 1, &out, &consumed) ? out : char32_t(code);
        }
    }
}

CodePageConverter::~CodePageConverter() {
    if (Handle(toUnicode_) != kNoConverter)
        iconv_close(Handle(toUnicode_));
    if (Handle(fromUnicode_) != kNoConverter)
        iconv_close(Handle(fromUnicode_));
}

// Converts the first character of the bytes; true when one was converted.
bool CodePageConverter::ConvertOne(const uint8_t* bytes, size_t length, char32_t* out,
                                   size_t* consumed) {
    iconv(Handle(toUnicode_), nullptr, nullptr, nullptr, nullptr);
    for (size_t take = 1; take <= length && take <= 4; ++take) {
        char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes));
        size_t inLeft = take;
        char32_t buffer[4];
        char* outPointer = reinterpret_cast<char*>(buffer);
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(Handle(toUnicode_), &in, &inLeft, &outPointer, &outLeft);
        const size_t produced = (sizeof buffer - outLeft) / sizeof(char32_t);
        iconv(Handle(toUnicode_), nullptr, nullptr, nullptr, nullptr);
        if (result != static_cast<size_t>(-1) && inLeft == 0 && produced == 1) {
            *out = buffer[0];
            *consumed = take;
            return true;
        }
        if (result == static_cast<size_t>(-1) && errno == EILSEQ)
            return false;
        // EINVAL: an incomplete sequence, so take one more byte.
    }
    return false;
}

QString CodePageConverter::Character(const uint8_t* bytes, size_t length) {
    if (!valid_ || length == 0)
        return {};
    if (codePage_ == 1252) {
        if (length != 1)
            return {};
        const char32_t c = singleByte_[bytes[0]];
        return QString::fromUcs4(&c, 1);
    }
    // All the bytes at once: they must make exactly one character.
    iconv(Handle(toUnicode_), nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes));
    size_t inLeft = length;
    char32_t buffer[4];
    char* out = reinterpret_cast<char*>(buffer);
    size_t outLeft = sizeof buffer;
    const size_t result = iconv(Handle(toUnicode_), &in, &inLeft, &out, &outLeft);
    if (result == static_cast<size_t>(-1) || inLeft != 0 ||
        outLeft != sizeof buffer - sizeof(char32_t))
        return {};
    return QString::fromUcs4(buffer, 1);
}

QString CodePageConverter::Decode(const QByteArray& bytes) {
    QString text;
    if (!valid_)
        return text;
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.constData());
    const size_t size = static_cast<size_t>(bytes.size());
    size_t at = 0;
    while (at < size) {
        char32_t c = 0;
        size_t consumed = 1;
        if (codePage_ == 1252)
            c = singleByte_[data[at]];
        else if (!ConvertOne(data + at, size - at, &c, &consumed))
            c = 0xFFFD;
        text.append(QString::fromUcs4(&c, 1));
        at += consumed;
    }
    return text;
}

QByteArray CodePageConverter::Encode(const QString& text) {
    QByteArray bytes;
    if (!valid_)
        return bytes;
    for (const uint code32 : text.toUcs4()) {
        const char32_t c = code32;
        if (codePage_ == 1252) {
            for (int code = 0; code < 256; ++code) {
                if (singleByte_[code] == c) {
                    bytes.append(static_cast<char>(code));
                    break;
                }
            }
            continue;
        }
        iconv(Handle(fromUnicode_), nullptr, nullptr, nullptr, nullptr);
        char32_t input = c;
        char* in = reinterpret_cast<char*>(&input);
        size_t inLeft = sizeof input;
        char buffer[8];
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        if (iconv(Handle(fromUnicode_), &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1) &&
            inLeft == 0)
            bytes.append(buffer, static_cast<qsizetype>(sizeof buffer - outLeft));
    }
    return bytes;
}
