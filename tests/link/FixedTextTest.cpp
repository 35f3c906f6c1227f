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

TEST(FixedText, EachKindKeepsItsEncodingAndRefusesWhatItCannotHoldWhole) {
    // A printer's bytes come back unchanged, whatever they are.
    char printer[8];
    ASSERT_TRUE(StoreFixedBytes(printer, "\xE9\xFF\x80"));
    const QString shown = FixedText(printer, FixedTextKind::Printer);
    EXPECT_EQ(shown, QString::fromLatin1("\xE9\xFF\x80"));
    ASSERT_EQ(StoreFixedText(printer, shown, FixedTextKind::Printer), FixedTextResult::Stored);
    EXPECT_EQ(FixedBytes(printer), "\xE9\xFF\x80");
    // Latin-1 has no euro sign and no Chinese: refused, not turned into "?".
    EXPECT_EQ(StoreFixedText(printer, QStringLiteral("Pr\u20ACn"), FixedTextKind::Printer),
              FixedTextResult::NotEncodable);
    EXPECT_EQ(StoreFixedText(printer, QStringLiteral("\u4e2d"), FixedTextKind::Printer),
              FixedTextResult::NotEncodable);
    EXPECT_EQ(StoreFixedText(printer, QStringLiteral("a\0b"), FixedTextKind::Printer),
              FixedTextResult::NotEncodable);
    EXPECT_EQ(FixedBytes(printer), "\xE9\xFF\x80");

    // Passwords are UTF-8; a text whose bytes do not fit is refused whole.
    char password[6];
    ASSERT_EQ(StoreFixedText(password, QStringLiteral("ab\u00e9"), FixedTextKind::Password),
              FixedTextResult::Stored);
    EXPECT_EQ(StoreFixedText(password, QStringLiteral("ab\u00e9\u4e2d"), FixedTextKind::Password),
              FixedTextResult::TooLong);
    EXPECT_EQ(StoreFixedText(password, QStringLiteral("a\U0001F600bc"), FixedTextKind::Password),
              FixedTextResult::TooLong);
    EXPECT_EQ(FixedText(password, FixedTextKind::Password), QStringLiteral("ab\u00e9"));
    // A lone surrogate has no UTF-8 bytes.
    EXPECT_EQ(StoreFixedText(password, QString(QChar(0xD800)), FixedTextKind::Password),
              FixedTextResult::NotEncodable);

    char local[16];
    ASSERT_EQ(StoreFixedText(local, QStringLiteral("/dev/ttyUSB0"), FixedTextKind::Local),
              FixedTextResult::Stored);
    EXPECT_EQ(FixedText(local, FixedTextKind::Local), QStringLiteral("/dev/ttyUSB0"));

    char copy[16];
    CopyFixedText(copy, local);
    EXPECT_EQ(FixedBytes(copy), "/dev/ttyUSB0");
}
