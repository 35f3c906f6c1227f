#include "config/ConfigFile.h"
#include "config/ConfigRanges.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

ConfigFileContent Sample() {
    ConfigFileContent c;
    c.UnitIndex = 1;
    SetConfigDefaults(c.Config);
    c.Config.InchUnit = 1;
    c.Status.flags[2] = 1;
    return c;
}

TEST(ConfigFile, ImageHasTheHeaderRecordAndStatusAtTheirOffsets) {
    const ConfigFileContent c = Sample();
    const QByteArray image = EncodeConfigFile(c);
    ASSERT_EQ(image.size(), 683);
    EXPECT_EQ(image.left(12), QByteArray::fromHex("aa550000"
                                                  "01000000"
                                                  "01000000"));
    EXPECT_EQ(std::memcmp(image.constData() + 12, &c.Config, 661), 0);
    EXPECT_EQ(image.mid(673), QByteArray::fromHex("00000100000000000000"));
}

TEST(ConfigFile, DecodeTakesTheFirst683BytesAndIgnoresTheFormatNumber) {
    QByteArray image = EncodeConfigFile(Sample());
    image[4] = 2;
    image.append("trailing bytes");
    const auto decoded = DecodeConfigFile(image);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->UnitIndex, 1);
    EXPECT_EQ(std::memcmp(&decoded->Config, image.constData() + 12, 661), 0);
    EXPECT_EQ(decoded->Status.flags[2], 1);
}

TEST(ConfigFile, RefusesWrongMagicShortFilesAndUnknownUnits) {
    const QByteArray good = EncodeConfigFile(Sample());
    QByteArray magic = good;
    magic[1] = 0x56;
    QByteArray unit = good;
    unit[8] = 2;
    EXPECT_FALSE(DecodeConfigFile(magic));
    EXPECT_FALSE(DecodeConfigFile(good.left(682)));
    EXPECT_FALSE(DecodeConfigFile(QByteArray()));
    EXPECT_FALSE(DecodeConfigFile(unit));

    // A record whose lengths would be sent as "inf mm" is no printer's.
    ConfigFileContent tiny = Sample();
    tiny.Config.Dpi = tiny.Config.DotsPerMm = 1e-38f;
    tiny.Config.PaperWidth.valid = 1;
    tiny.Config.PaperWidth.value = 400.0f;
    EXPECT_FALSE(DecodeConfigFile(EncodeConfigFile(tiny)));
}

// What the page could not hold is refused before anything is sent: values outside a
// choice or a hinted range, flags other than 0 and 1, control characters as Z prefixes.
// Unset settings and free numbers pass.
TEST(ConfigRanges, RefuseWhatThePageCouldNotHold) {
    PrinterConfig c = DefaultPrinterConfig();
    // The defaults leave SensorMode 0 and every flag 0; a free number of any size passes.
    SetItem(c.Offset, -100000);
    c.Density.value = 99; // not set: never sent
    EXPECT_TRUE(CheckConfigRanges(c).empty());
    for (int32_t density : {0, 15}) {
        SetItem(c.Density, density);
        EXPECT_TRUE(CheckConfigRanges(c).empty()) << density;
    }

    struct Case {
        void (*change)(PrinterConfig&);
        const char* text;
    };
    const Case cases[] = {
        {[](PrinterConfig& r) { SetItem(r.Density, 20); }, "Density 20 is outside 0 to 15"},
        {[](PrinterConfig& r) { SetItem(r.Density, -1); }, "Density -1 is outside 0 to 15"},
        {[](PrinterConfig& r) { SetItem(r.SensorMode, 7); }, "SensorMode 7 is outside 0 to 2"},
        {[](PrinterConfig& r) { SetItem(r.CodePage, 36); }, "CodePage 36 is outside 0 to 35"},
        {[](PrinterConfig& r) { SetItem(r.ZPosition, 121); },
         "ZPosition 121 is outside -120 to 120"},
        {[](PrinterConfig& r) { SetItem(r.BaudRate, 0); }, "BaudRate 0 is outside 1 to 8"},
        {[](PrinterConfig& r) { r.Mirror.valid = 7; }, "Mirror flag 7 is neither 0 nor 1"},
        {[](PrinterConfig& r) { r.DSpeed.valid = 2; }, "DSpeed flag 2 is neither 0 nor 1"},
        {[](PrinterConfig& r) { SetItem(r.ZControl, '\r'); },
         "ZControl character 13 is a control character"},
        {[](PrinterConfig& r) { r.InchUnit = 5; }, "InchUnit flag 5 is neither 0 nor 1"},
    };
    for (const Case& k : cases) {
        PrinterConfig bad = DefaultPrinterConfig();
        k.change(bad);
        EXPECT_EQ(ConfigRangeText(CheckConfigRanges(bad)), k.text);
    }
    EXPECT_EQ(ConfigSettingRange("ZLabelShift")->lowest, -9999);
    EXPECT_FALSE(ConfigSettingRange("Offset").has_value());
}

} // namespace
