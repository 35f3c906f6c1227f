#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// The fixed text fields of the packed records: a zero-terminated text in a char array of
// fixed capacity. Every field is read up to its first zero byte and never past capacity - 1
// bytes (a field without its terminator is not read beyond its end), and written whole:
// zero-filled, at most capacity - 1 bytes, terminator kept.
//
// What the bytes mean is decided by the kind of field, here and nowhere else:
// - Printer: texts the printer reports or keeps (version, mileage, serial number, network
//   addresses and name, file lists). Latin-1, so every byte shows and goes back unchanged.
// - Local: names the PC itself resolves or that come from its file names (port devices,
//   host names, paths, file names typed for the printer's memory): the platform's local
//   8-bit encoding, which the file, socket and device functions take.
// - Password: UTF-8, the bytes the printer compares.
enum class FixedTextKind { Printer, Local, Password };

// The bytes of a field (empty for a null field).
std::string FixedBytes(const char* field, size_t capacity);
// Replaces a field's bytes; false when they were not stored whole (cut at the capacity or
// at a zero byte inside them).
bool StoreFixedBytes(char* field, size_t capacity, std::string_view bytes);

// What became of a text given to a field.
enum class FixedTextResult {
    Stored,       // the field holds the text, every character as given
    TooLong,      // its bytes do not fit the field; the field is unchanged
    NotEncodable, // a character has no bytes in the field's encoding (or is a zero
                  // character); the field is unchanged
};

QString FixedText(const char* field, size_t capacity, FixedTextKind kind);
// Replaces a field's text when the field can hold it whole; otherwise the field keeps what it
// had and the result says why. Nothing is ever stored cut or with characters replaced.
[[nodiscard]] FixedTextResult StoreFixedText(char* field, size_t capacity, const QString& text,
                                             FixedTextKind kind);
// Copies one field of a record into the same field of another.
template <size_t N> void CopyFixedText(char (&to)[N], const char (&from)[N]) {
    StoreFixedBytes(to, N, FixedBytes(from, N));
}

template <size_t N> std::string FixedBytes(const char (&field)[N]) {
    return FixedBytes(field, N);
}
template <size_t N> bool StoreFixedBytes(char (&field)[N], std::string_view bytes) {
    return StoreFixedBytes(field, N, bytes);
}
template <size_t N> QString FixedText(const char (&field)[N], FixedTextKind kind) {
    return FixedText(field, N, kind);
}
template <size_t N>
[[nodiscard]] FixedTextResult StoreFixedText(char (&field)[N], const QString& text,
                                             FixedTextKind kind) {
    return StoreFixedText(field, N, text, kind);
}
template <size_t N> std::string FixedBytes(const std::array<char, N>& field) {
    return FixedBytes(field.data(), N);
}
template <size_t N> bool StoreFixedBytes(std::array<char, N>& field, std::string_view bytes) {
    return StoreFixedBytes(field.data(), N, bytes);
}
