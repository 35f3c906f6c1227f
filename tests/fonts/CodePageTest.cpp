#include "fonts/AsianLayout.h"
#include "fonts/BitmapFontFile.h"
#include "fonts/CodePageConverter.h"
#include "fonts/CodeTable.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString Pair(CodePageConverter& converter, const char* hex) {
    const QByteArray bytes = QByteArray::fromHex(hex);
    return converter.Character(reinterpret_cast<const uint8_t*>(bytes.constData()),
                               static_cast<size_t>(bytes.size()));
}

TEST(CodePageTest, TwoByteCodesBecomeOneCharacterOrNothing) {
    CodePageConverter big5(950), gbk(936), uhc(949), sjis(932);
    ASSERT_TRUE(big5.IsValid() && gbk.IsValid() && uhc.IsValid() && sjis.IsValid());
    EXPECT_EQ(Pair(big5, "a4a4"), QString::fromUtf8("中"));
    EXPECT_EQ(Pair(gbk, "d6d0"), QString::fromUtf8("中"));
    EXPECT_EQ(Pair(uhc, "c7d1"), QString::fromUtf8("한"));
    EXPECT_EQ(Pair(sjis, "93fa"), QString::fromUtf8("日"));
    // Undefined pairs, and pairs that are two single-byte characters, give nothing.
    EXPECT_TRUE(Pair(gbk, "817f").isEmpty());
    EXPECT_TRUE(Pair(uhc, "c9a0").isEmpty());
    EXPECT_TRUE(Pair(big5, "4142").isEmpty());
    EXPECT_TRUE(Pair(sjis, "81").isEmpty()) << "a lone lead byte";
    // Japanese half-width katakana are single bytes.
    EXPECT_EQ(sjis.Character(0xB1), QString(QChar(0xFF71)));
}

TEST(CodePageTest, WindowsWesternCoversEveryByte) {
    CodePageConverter ansi(1252);
    ASSERT_TRUE(ansi.IsValid());
    EXPECT_EQ(ansi.Character(0x41), QStringLiteral("A"));
    EXPECT_EQ(ansi.Character(0x80), QString(QChar(0x20AC)));
    EXPECT_EQ(ansi.Character(0x81), QString(QChar(0x81)));
    EXPECT_EQ(ansi.Character(0xE9), QString(QChar(0xE9)));
    QByteArray all;
    for (int code = 1; code < 256; ++code)
        all.append(static_cast<char>(code));
    EXPECT_EQ(ansi.Encode(ansi.Decode(all)), all);
}

TEST(CodePageTest, TextsRoundTripAndUnencodableCharactersAreLeftOut) {
    CodePageConverter big5(950);
    const QString text = QString::fromUtf8("中文AB");
    EXPECT_EQ(big5.Encode(text), QByteArray::fromHex("a4a4a4e54142"));
    EXPECT_EQ(big5.Decode(QByteArray::fromHex("a4a4a4e54142")), text);
    EXPECT_EQ(big5.Encode(QString::fromUtf8("中한文")), QByteArray::fromHex("a4a4a4e5"));
    EXPECT_EQ(big5.Decode(QByteArray::fromHex("a4a4ff41")), QString::fromUtf8("中\uFFFDA"));
}

TEST(CodePageTest, AsianLayoutsCountTheirGlyphs) {
    EXPECT_EQ(LayoutOf(AsianTraditionalChinese)->GlyphCount(), 14854);
    EXPECT_EQ(LayoutOf(AsianSimplifiedChinese)->GlyphCount(), 24162);
    EXPECT_EQ(LayoutOf(AsianKorean)->GlyphCount(), 9026);
    EXPECT_EQ(LayoutOf(AsianJapanese)->GlyphCount(), 11500);
    const std::vector<uint8_t> japanese = LayoutOf(AsianJapanese)->SingleByteCodes();
    ASSERT_EQ(japanese.size(), 160u);
    EXPECT_EQ(japanese[95], 0x7F);
    EXPECT_EQ(japanese[96], 0xA0);
    EXPECT_EQ(LayoutOf(4), nullptr);
}

TEST(CodePageTest, SixteenBitFieldsAreLowByteThenQuotient) {
    uint8_t field[2];
    PutField16(field, 14854);
    EXPECT_EQ(field[0], 0x06);
    EXPECT_EQ(field[1], 0x3A);
    PutField16(field, -5);
    EXPECT_EQ(field[0], 0xFB);
    EXPECT_EQ(field[1], 0x00) << "-5 / 256 truncates to 0";
    EXPECT_EQ(PackedBitmapSize(10, 24), 48u);
    EXPECT_EQ(PackedBitmapSize(0, 24), 0u);
}

TEST(CodeTableTest, ControlBytesGoAndLimitsHold) {
    EXPECT_EQ(CodeTable::FromBytes("ABC\r\nD\t"), QByteArray("ABCD"));
    EXPECT_EQ(CodeTable::FromBytes(QByteArray("A\0B", 3)), QByteArray("AB"));
    EXPECT_EQ(CodeTable::FromBytes(QByteArray(65535, 'x')).size(), 65535);
    EXPECT_TRUE(CodeTable::FromBytes(QByteArray(65536, 'x')).isEmpty());
    EXPECT_EQ(CodeTable::EntryCount("ABCDE", true), 2u);
    EXPECT_EQ(CodeTable::EntryCount("ABCDE", false), 5u);
    EXPECT_EQ(CodeTable::TextPart(QByteArray("AB\0CD", 5)), QByteArray("AB"));

    QTemporaryDir directory;
    const QString path = directory.filePath("table.txt");
    for (const qsizetype size : {qsizetype{65535}, qsizetype{65536}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(size, 'x'));
        file.close();
        EXPECT_EQ(CodeTable::ReadFile(path).size(), size == 65535 ? 65535 : 0);
    }
    EXPECT_TRUE(CodeTable::ReadFile(directory.filePath("missing")).isEmpty());
}

} // namespace
