#include "config/ConfigFile.h"

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

} // namespace
