#include "link/FixedText.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(FixedText, ReadsStopAtTheTerminatorAndNeverPastTheLastByte) {
    const char unterminated[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(FixedBytes(unterminated), "abc");
    EXPECT_EQ(FixedBytes("ab\0cd", 6), "ab");
    EXPECT_EQ(FixedBytes(nullptr, 10), "");
    EXPECT_EQ(FixedText(unterminated, FixedTextKind::Printer), QStringLiteral("abc"));
}

TEST(FixedText, WritesZeroFillAndReportWhatDidNotFit) {
    char field[6];
    std::memset(field, 'x', sizeof field);
    EXPECT_TRUE(StoreFixedBytes(field, "ab"));
    EXPECT_EQ(std::memcmp(field, "ab\0\0\0\0", sizeof field), 0);
    EXPECT_TRUE(StoreFixedBytes(field, "abcde"));
    EXPECT_FALSE(StoreFixedBytes(field, "abcdef"));
    EXPECT_EQ(FixedBytes(field), "abcde");
    EXPECT_EQ(field[5], '\0');
    EXPECT_FALSE(StoreFixedBytes(field, std::string_view("a\0b", 3)));
    EXPECT_EQ(FixedBytes(field), "a");
}

TEST(FixedText, EachKindKeepsItsEncodingAndCutsWholeCharacters) {
    // A printer's bytes come back unchanged, whatever they are.
    char printer[8];
    ASSERT_TRUE(StoreFixedBytes(printer, "\xE9\xFF\x80"));
    const QString shown = FixedText(printer, FixedTextKind::Printer);
    EXPECT_EQ(shown, QString::fromLatin1("\xE9\xFF\x80"));
    ASSERT_TRUE(StoreFixedText(printer, shown, FixedTextKind::Printer));
    EXPECT_EQ(FixedBytes(printer), "\xE9\xFF\x80");

    // Passwords are UTF-8; a character that does not fit whole is left out.
    char password[6];
    EXPECT_FALSE(
        StoreFixedText(password, QStringLiteral("ab\u00e9\u4e2d"), FixedTextKind::Password));
    EXPECT_EQ(FixedBytes(password), "ab\xC3\xA9");
    EXPECT_EQ(FixedText(password, FixedTextKind::Password), QStringLiteral("ab\u00e9"));
    // A character outside the basic plane (two UTF-16 units) is never split.
    EXPECT_FALSE(StoreFixedText(password, QStringLiteral("a\U0001F600b"), FixedTextKind::Password));
    EXPECT_EQ(FixedBytes(password), "a\xF0\x9F\x98\x80");

    char local[16];
    ASSERT_TRUE(StoreFixedText(local, QStringLiteral("/dev/ttyUSB0"), FixedTextKind::Local));
    EXPECT_EQ(FixedText(local, FixedTextKind::Local), QStringLiteral("/dev/ttyUSB0"));
}
