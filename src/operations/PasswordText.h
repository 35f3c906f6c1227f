#pragma once

#include <QByteArray>

#include <array>

// Password texts as operations 2 and 3 exchange them: at most 1023 bytes and a zero byte.
constexpr int kPasswordTextCapacity = 1024;
inline constexpr int kPasswordMaxLength = kPasswordTextCapacity - 1;

using PasswordText = std::array<char, kPasswordTextCapacity>;

// The text up to its terminator.
QByteArray PasswordBytes(const PasswordText& text);
// Replaces the text; bytes beyond the capacity are dropped.
void StorePassword(PasswordText& text, const QByteArray& bytes);
