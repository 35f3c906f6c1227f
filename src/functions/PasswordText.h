#pragma once

#include <QByteArray>

#include <array>

// A printer password as operations 2 and 3 exchange it: at most 1 023 bytes and a terminator.
using PasswordText = std::array<char, 1024>;

inline constexpr int kPasswordMaxLength = 1023;

// The text up to its terminator.
QByteArray PasswordBytes(const PasswordText& text);
// Replaces the text; bytes beyond the capacity are dropped.
void StorePassword(PasswordText& text, const QByteArray& bytes);
