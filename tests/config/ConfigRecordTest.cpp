#include "config/ConfigReplies.h"
#include "config/ConfigTables.h"
#include "config/PrinterConfig.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Bytes(const PrinterConfig& c) {
    const auto* p = reinterpret_cast<const uint8_t*>(&c);
    return std::vector<uint8_t>(p, p + sizeof c);
}

void PutFloat(std::vector<uint8_t>& image, size_t offset, float value) {
    std::memcpy(image.data() + offset, &value, sizeof value);
}

TEST(PrinterConfigDefaults, WriteTheDocumentedBytesAndZeroEverythingElseButTheUnit) {
    PrinterConfig c;
    std::memset(&c, 0xAB, sizeof c);
    c.InchUnit = 1;
    SetConfigDefaults(c);

    // The file image the defaults make: little-endian floats at their offsets, the Z
    // characters, the untouched unit byte, zeros elsewhere.
    std::vector<uint8_t> expected(661, 0);
    PutFloat(expected, 5, 200.0f);
    PutFloat(expected, 9, 11.8f);
    PutFloat(expected, 390, 3.0f);
    expected[549] = 1;
    expected[576] = '~';
    expected[578] = '^';
    expected[580] = ',';
    EXPECT_EQ(Bytes(c), expected);
    EXPECT_EQ(expected[5 + 3], 0x43); // 200.0f is 00 00 48 43

    c.InchUnit = 0;
    const PrinterConfig fresh = DefaultPrinterConfig();
    EXPECT_EQ(Bytes(fresh), Bytes(c));
}

TEST(ConfigTables, IndexesMatchWholeTextsExactly) {
    EXPECT_EQ(ConfigTableIndex(kCodePageTable, "850"), 10);
    EXPECT_EQ(ConfigTableIndex(kCodePageTable, "850 "), 36);
    EXPECT_EQ(ConfigTableIndex(kCodePageTable, "usa"), 36);
    EXPECT_EQ(ConfigTableIndex(kCodePageTable, "8859-15"), 35);
    EXPECT_EQ(ConfigTableIndex(kCodePageTable, "8859-1"), 25);
    EXPECT_EQ(ConfigTableIndex(kCodePageTable, ""), 36);
    EXPECT_EQ(ConfigTableIndex(kCountryCodeTable, "358"), 21);
    EXPECT_EQ(ConfigTableIndex(kCountryCodeTable, "1"), 22);
    EXPECT_EQ(ConfigTableIndex(kBaudRateTable, "9600"), 4);
    EXPECT_EQ(ConfigTableIndex(kBaudRateTable, "96"), 9);
    EXPECT_EQ(ConfigTableIndex(kParityTable, "Even"), 2);
    EXPECT_EQ(ConfigTableIndex(kParityTable, "EVEN"), 3);
    EXPECT_EQ(ConfigTableEntry(kStopBitsTable, 2), nullptr);
    EXPECT_EQ(ConfigTableEntry(kStopBitsTable, -1), nullptr);
}

TEST(ConfigReplies, DotsPerMillimetreToOneDecimal) {
    const struct {
        float dpi;
        float dotsPerMm;
    } cases[] = {
        {203.0f, 8.0f},
        {300.0f, 11.8f},
        {600.0f, 23.6f},
        {200.0f, 7.9f},
        // Integer division rounds negative tenths toward zero.
        {406.0f, 16.0f},
        {-203.0f, -7.9f},
    };
    for (const auto& k : cases) {
        float dotsPerMm = 0.0f;
        ASSERT_TRUE(DotsPerMmForDpi(k.dpi, dotsPerMm)) << k.dpi;
        EXPECT_EQ(dotsPerMm, k.dotsPerMm) << k.dpi;
    }
    // No usable resolution: nothing (0), too little to give a tenth of a dot per
    // millimetre, or too large to compute with.
    for (float dpi : {0.0f, 0.2f, -0.2f, 1.0f, FLT_MAX, -FLT_MAX}) {
        float dotsPerMm = 99.0f;
        EXPECT_FALSE(DotsPerMmForDpi(dpi, dotsPerMm)) << dpi;
        EXPECT_EQ(dotsPerMm, 99.0f);
    }
}

TEST(ConfigReplies, RealsAreReadLenientlyWithAPoint) {
    EXPECT_EQ(ParseReplyReal("203"), 203.0f);
    EXPECT_EQ(ParseReplyReal("  8.5 mm"), 8.5f);
    EXPECT_EQ(ParseReplyReal("-1.25"), -1.25f);
    EXPECT_EQ(ParseReplyReal("+3"), 3.0f);
    EXPECT_EQ(ParseReplyReal(".5"), 0.5f);
    EXPECT_EQ(ParseReplyReal("7."), 7.0f);
    EXPECT_EQ(ParseReplyReal("4,5"), 4.0f);
    EXPECT_EQ(ParseReplyReal("1e3"), 1.0f);
    EXPECT_EQ(ParseReplyReal("abc"), 0.0f);
    EXPECT_EQ(ParseReplyReal(""), 0.0f);
    EXPECT_EQ(ParseReplyReal("-"), 0.0f);
    EXPECT_EQ(ParseReplyReal("."), 0.0f);
    EXPECT_EQ(ParseReplyReal("nan"), 0.0f);
    EXPECT_EQ(ParseReplyReal(std::string(60, '9').c_str()), FLT_MAX);
    EXPECT_EQ(ParseReplyReal(("-" + std::string(400, '9')).c_str()), -FLT_MAX);
}

} // namespace
