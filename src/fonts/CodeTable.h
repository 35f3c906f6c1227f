#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>

// The code table of the "Encode by Table" choices: one code per byte, or per byte pair for
// two-byte fonts.
class CodeTable {
public:
    // The buffer the main window keeps the table in.
    static constexpr qsizetype kCapacity = 65536;
    // Longest source text or file taken; anything longer gives an empty table.
    static constexpr qsizetype kMaxSource = kCapacity - 1;

    // The codes of a source: empty when the source is too long, otherwise every byte
    // below 32 (line breaks, tabs and other controls) removed, the rest kept in order.
    static QByteArray FromBytes(const QByteArray& source);

    // The whole file, or nothing when it cannot be opened or is longer than kMaxSource.
    static QByteArray ReadFile(const QString& path);

    // The text part of a table file for the memo: the bytes up to the first zero byte.
    static QByteArray TextPart(const QByteArray& file);

    // Number of codes: bytes for single-byte tables, whole byte pairs for two-byte ones.
    static uint32_t EntryCount(const QByteArray& codes, bool twoByte);
};
