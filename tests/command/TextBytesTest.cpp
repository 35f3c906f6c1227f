#include "command/TextBytes.h"
#include "command/CommandReplies.h"

#include <gtest/gtest.h>

namespace {

QByteArray EveryByteFromOne() {
    QByteArray bytes;
    for (int b = 1; b <= 255; ++b)
        bytes += static_cast<char>(b);
    return bytes;
}

// Bytes to text and back, as a file loaded and saved unchanged.
QByteArray RoundTrip(const QByteArray& bytes) {
    const TextMapping mapping = MappingFor(bytes);
    return TextToBytes(BytesToText(bytes, mapping), mapping);
}

TEST(TextBytes, FilesComeBackAsTheirOwnBytes) {
    // "中文" in Big5 is not UTF-8; in UTF-8 it shows as itself.
    const QByteArray big5("TEXT 10,10,\"TST24.BF2\",0,1,1,\"\xA4\xA4\xA4\xE5\"\r\nPRINT 1\r\n");
    const QByteArray utf8("TEXT 10,10,\"0\",0,1,1,\"\xE4\xB8\xAD\xE6\x96\x87\"\nPRINT 1\r\n");
    const QByteArray every = EveryByteFromOne();
    EXPECT_EQ(MappingFor(big5), TextMapping::Latin1);
    EXPECT_EQ(MappingFor(utf8), TextMapping::Utf8);
    EXPECT_EQ(MappingFor(every), TextMapping::Latin1);
    for (const QByteArray& bytes : {big5, utf8, every, QByteArray("\r\r\n\n\r"), QByteArray()})
        EXPECT_EQ(RoundTrip(bytes), bytes) << bytes.toHex().toStdString();

    const QString shown = BytesToText(utf8, TextMapping::Utf8);
    EXPECT_TRUE(shown.contains(QStringLiteral("中文")));
    // The bare LF stands in the text as a line separator, the CR LF as a line end.
    EXPECT_EQ(shown.count(QChar(kBareLineFeed)), 1);
    EXPECT_TRUE(shown.endsWith(QStringLiteral("PRINT 1\n")));
}

TEST(TextBytes, TextThatWouldNotComeBackIsShownByteForByte) {
    // UTF-8 that holds the editor's own stand-ins, or its separators.
    for (const char* bytes : {"A\xE2\x80\xA8"
                              "B",
                              "A\xE2\x90\x8D", "\xE2\x80\xA9", "\xEF\xB7\x90"}) {
        EXPECT_EQ(MappingFor(bytes), TextMapping::Latin1) << bytes;
        EXPECT_EQ(RoundTrip(bytes), QByteArray(bytes));
    }
    // A UTF-8 byte-order mark is kept.
    EXPECT_EQ(RoundTrip("\xEF\xBB\xBFSPEED 4\r\n"), QByteArray("\xEF\xBB\xBFSPEED 4\r\n"));
}

TEST(TextBytes, EditorLinesBecomeCrLf) {
    const QString typed = QStringLiteral("CLS\nTEXT \"中\"") + QChar(0x2029) + QStringLiteral("é");
    EXPECT_EQ(TextToBytes(typed, TextMapping::Utf8),
              QByteArray("CLS\r\nTEXT \"\xE4\xB8\xAD\"\r\n\xC3\xA9"));
    // In a byte-for-byte text, characters beyond one byte are written as UTF-8.
    EXPECT_EQ(TextToBytes(typed, TextMapping::Latin1),
              QByteArray("CLS\r\nTEXT \"\xE4\xB8\xAD\"\r\n\xE9"));
    EXPECT_EQ(TextToBytes(QStringLiteral("\U0001F600"), TextMapping::Latin1),
              QByteArray("\xF0\x9F\x98\x80"));
}

TEST(TextBytes, LoadTakesTheBytesBeforeTheFirstZero) {
    EXPECT_EQ(UpToFirstZero(QByteArrayView("AB\0CD", 5)).toByteArray(), QByteArray("AB"));
    EXPECT_EQ(UpToFirstZero(QByteArrayView("ABC")).toByteArray(), QByteArray("ABC"));
    EXPECT_TRUE(UpToFirstZero(QByteArrayView("\0A", 2)).isEmpty());
}

TEST(DescribeReplies, FramesRawBytesAndLines) {
    using namespace std::string_view_literals;
    EXPECT_EQ(DescribeReplies("{4|4.00}"sv), QStringList{QStringLiteral("{4.00}")});
    // The status byte, a line answer and frames, as they may come after one send.
    EXPECT_EQ(DescribeReplies("\x04SIM0000001\r\n{3|USB}{0|}\x1b{"sv),
              (QStringList{QStringLiteral("<04>SIM0000001"), QStringLiteral("{USB}"),
                           QStringLiteral("{}"), QStringLiteral("<1B>{")}));
    // Frames that lie about their length or end are shown as the bytes they are.
    EXPECT_EQ(DescribeReplies("{9|abc}"sv), QStringList{QStringLiteral("{9|abc}")});
    EXPECT_EQ(DescribeReplies("{3|abc]"sv), QStringList{QStringLiteral("{3|abc]")});
    EXPECT_EQ(DescribeReplies("{2|\xE4\xB8}\x00"sv),
              (QStringList{QStringLiteral("{\u00E4\u00B8}"), QStringLiteral("<00>")}));
    EXPECT_TRUE(DescribeReplies(""sv).isEmpty());
}

} // namespace
