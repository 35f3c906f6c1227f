#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>

// Converts between the byte texts of a Windows code page (1252, 950, 936, 949, 932) and
// Unicode through the system's converter. Undefined codes never turn into look-alikes.
class CodePageConverter {
public:
    explicit CodePageConverter(int windowsCodePage);
    ~CodePageConverter();
    CodePageConverter(const CodePageConverter&) = delete;
    CodePageConverter& operator=(const CodePageConverter&) = delete;

    bool IsValid() const { return valid_; }
    int WindowsCodePage() const { return codePage_; }

    // The one character these bytes stand for; empty when the code page does not define
    // them as exactly one character.
    QString Character(const uint8_t* bytes, size_t length);
    QString Character(uint8_t code) { return Character(&code, 1); }

    // A whole text; an undefined byte becomes U+FFFD and the text goes on after it.
    QString Decode(const QByteArray& bytes);
    // A whole text; characters the code page cannot hold are left out.
    QByteArray Encode(const QString& text);

    // The converter's name of a Windows code page, or null.
    static const char* ConverterName(int windowsCodePage);

private:
    bool ConvertOne(const uint8_t* bytes, size_t length, char32_t* out, size_t* consumed);

    int codePage_;
    bool valid_ = false;
    void* toUnicode_;
    void* fromUnicode_;
    // Windows-1252 leaves five bytes undefined; Windows shows them as the C1 controls of
    // the same value, and so do we.
    std::array<char32_t, 256> singleByte_{};
};
