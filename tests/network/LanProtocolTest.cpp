#include "network/LanProtocol.h"
#include "network/LanWriteBuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

const MacAddress kMac = {0x00, 0x1B, 0x82, 0x12, 0xAB, 0xCD};

std::vector<uint8_t> ExpectedHeader(uint8_t requestClass, uint8_t command, uint16_t payload,
                                    uint16_t sequence, const MacAddress& mac) {
    std::vector<uint8_t> h = {0x00,
                              0x20,
                              0x00,
                              0x01,
                              0x00,
                              0x01,
                              0x08,
                              requestClass,
                              0x00,
                              command,
                              static_cast<uint8_t>(payload >> 8),
                              static_cast<uint8_t>(payload & 0xFF),
                              static_cast<uint8_t>(sequence >> 8),
                              static_cast<uint8_t>(sequence & 0xFF),
                              0x00,
                              0x00,
                              0x01,
                              0x00,
                              0x00,
                              0x00,
                              0x00,
                              0x00};
    h.insert(h.end(), mac.begin(), mac.end());
    h.insert(h.end(), {0, 0, 0, 0});
    return h;
}

std::vector<uint8_t> Slice(const uint8_t* bytes, size_t from, size_t count) {
    return std::vector<uint8_t>(bytes + from, bytes + from + count);
}

} // namespace

TEST(LanRequests, HeaderOnlyRequestsAreThirtyTwoBigEndianBytes) {
    EXPECT_EQ(BuildDiscoverRequest(0x0102), ExpectedHeader(0, 2, 0, 0x0102, kAnyPrinterMac));
    EXPECT_EQ(BuildFactoryDefaultRequest(7, kMac), ExpectedHeader(2, 1, 0, 7, kMac));
}

TEST(LanRequests, ReadRequestsNameTheirItemAfterTheHeader) {
    std::vector<uint8_t> ip = ExpectedHeader(2, 3, 2, 9, kMac);
    ip.insert(ip.end(), {0x04, 0x00});
    EXPECT_EQ(BuildReadIpSettingsRequest(9, kMac), ip);

    std::vector<uint8_t> mode = ExpectedHeader(2, 3, 2, 0xFFFF, kMac);
    mode.insert(mode.end(), {0x05, 0x00});
    EXPECT_EQ(BuildReadAddressModeRequest(0xFFFF, kMac), mode);
}

TEST(LanWriteBufferTest, EachWriteKeepsTheBytesOfTheEarlierOnes) {
    LanWriteBuffer buffer;
    const auto& name = buffer.WriteName(3, kMac, "LABEL-1");
    ASSERT_EQ(name.size(), 1064u);
    EXPECT_EQ(Slice(name.data(), 0, 32), ExpectedHeader(2, 4, 1032, 3, kMac));
    EXPECT_EQ(Slice(name.data(), 32, 4), (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_STREQ(reinterpret_cast<const char*>(name.data() + 176), "LABEL-1");

    const auto& ip =
        buffer.WriteIpSettings(3, kMac, {192, 168, 5, 20}, {255, 255, 0, 0}, {192, 168, 5, 1});
    EXPECT_EQ(Slice(ip.data(), 32, 4), (std::vector<uint8_t>{0, 0, 4, 0}));
    EXPECT_EQ(Slice(ip.data(), 69, 12),
              (std::vector<uint8_t>{192, 168, 5, 20, 255, 255, 0, 0, 192, 168, 5, 1}));
    EXPECT_STREQ(reinterpret_cast<const char*>(ip.data() + 176), "LABEL-1");

    const auto& dhcp = buffer.WriteAddressMode(3, kMac, true);
    EXPECT_EQ(Slice(dhcp.data(), 32, 4), (std::vector<uint8_t>{0, 0, 5, 0}));
    EXPECT_EQ(dhcp[942], 8);
    EXPECT_EQ(dhcp[948], 4);
    const auto& fixed = buffer.WriteAddressMode(3, kMac, false);
    EXPECT_EQ(fixed[942], 1);
    EXPECT_EQ(fixed[948], 1);

    const auto& commit = buffer.Commit(3, kMac);
    EXPECT_EQ(Slice(commit.data(), 32, 4), (std::vector<uint8_t>{0, 0, 7, 0}));
    EXPECT_EQ(Slice(commit.data(), 69, 4), (std::vector<uint8_t>{192, 168, 5, 20}));
    EXPECT_STREQ(reinterpret_cast<const char*>(commit.data() + 176), "LABEL-1");
    EXPECT_EQ(commit[942], 1);

    // Nothing outside the named fields was touched.
    for (size_t i = 36; i < 1064; ++i) {
        const bool named = (i >= 69 && i < 81) || (i >= 176 && i < 184) || i == 942 || i == 948;
        if (!named) {
            EXPECT_EQ(commit[i], 0) << "byte " << i;
        }
    }

    buffer.Clear();
    EXPECT_EQ(buffer.Data()[176], 0);
}

TEST(LanWriteBufferTest, LongNamesAreCutToSixtyThreeCharacters) {
    LanWriteBuffer buffer;
    const auto& bytes = buffer.WriteName(1, kMac, std::string(200, 'N'));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + 176)), std::string(63, 'N'));
}

TEST(LanAnswers, ShorterThanTheHeaderIsIgnoredAndTheHeaderAloneIsAnAnswer) {
    std::vector<uint8_t> bytes = ExpectedHeader(0, 2, 0, 1, kMac);
    EXPECT_FALSE(ParseDiscoveryAnswer(bytes.data(), 31).has_value());
    const auto answer = ParseDiscoveryAnswer(bytes.data(), 32);
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->mac, kMac);
    EXPECT_FALSE(answer->hasStatus);
    EXPECT_FALSE(answer->hasIp);
    EXPECT_EQ(answer->model, "");
    EXPECT_EQ(answer->printerName, "");
    EXPECT_EQ(LanStatusText(*answer), "");
}

TEST(LanAnswers, FullDiscoveryAnswerFields) {
    std::vector<uint8_t> bytes(148, 0);
    bytes[22] = 0xAA;
    bytes[27] = 0x01;
    bytes[40] = 3;
    bytes[41] = 0x02;
    bytes[44] = 10;
    bytes[45] = 0;
    bytes[46] = 0;
    bytes[47] = 7;
    std::memcpy(bytes.data() + 52, "TV-200", 6);
    std::memcpy(bytes.data() + 84, "Warehouse", 9);
    const auto answer = ParseDiscoveryAnswer(bytes.data(), bytes.size());
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(MacText(answer->mac), "AA:00:00:00:00:01");
    EXPECT_EQ(Ipv4Text(answer->ip), "10.0.0.7");
    EXPECT_EQ(answer->model, "TV-200");
    EXPECT_EQ(answer->printerName, "Warehouse");
    EXPECT_EQ(LanStatusText(*answer), "Paper Jam");
}

// Each buffer is exactly as long as what arrived, so a read past it is caught by the
// address sanitizer.
TEST(LanAnswers, TruncatedAnswersNeverReadPastWhatArrived) {
    for (size_t length = 32; length <= 148; ++length) {
        auto bytes = std::make_unique<uint8_t[]>(length);
        std::memset(bytes.get(), 'x', length);
        const auto answer = ParseDiscoveryAnswer(bytes.get(), length);
        ASSERT_TRUE(answer.has_value());
        EXPECT_EQ(answer->hasStatus, length >= 42) << length;
        EXPECT_EQ(answer->hasIp, length >= 48) << length;
        EXPECT_LE(answer->model.size(), 32u);
        EXPECT_EQ(answer->model.size(), length > 52 ? std::min<size_t>(length, 84) - 52 : 0u);
        EXPECT_EQ(answer->printerName.size(), length > 84 ? length - 84 : 0u);
    }
    for (size_t length = 32; length <= 950; length += 1) {
        auto bytes = std::make_unique<uint8_t[]>(length);
        std::memset(bytes.get(), 8, length);
        const auto ip = ParseIpSettingsAnswer(bytes.get(), length);
        ASSERT_TRUE(ip.has_value());
        EXPECT_EQ(ip->ip.has_value(), length >= 73);
        EXPECT_EQ(ip->mask.has_value(), length >= 77);
        EXPECT_EQ(ip->gateway.has_value(), length >= 81);
        EXPECT_EQ(ParseAddressModeAnswer(bytes.get(), length).has_value(), length >= 943);
    }
    uint8_t shortAnswer[31] = {};
    EXPECT_FALSE(ParseIpSettingsAnswer(shortAnswer, sizeof shortAnswer).has_value());
    EXPECT_FALSE(ParseAddressModeAnswer(shortAnswer, sizeof shortAnswer).has_value());
}

TEST(LanAnswers, IpSettingsAndAddressMode) {
    std::vector<uint8_t> bytes(1064, 0);
    const uint8_t fields[] = {172, 16, 0, 9, 255, 255, 255, 0, 172, 16, 0, 1};
    std::memcpy(bytes.data() + 69, fields, sizeof fields);
    const auto ip = ParseIpSettingsAnswer(bytes.data(), bytes.size());
    ASSERT_TRUE(ip.has_value());
    EXPECT_EQ(Ipv4Text(*ip->ip), "172.16.0.9");
    EXPECT_EQ(Ipv4Text(*ip->mask), "255.255.255.0");
    EXPECT_EQ(Ipv4Text(*ip->gateway), "172.16.0.1");

    bytes[942] = 8;
    EXPECT_EQ(ParseAddressModeAnswer(bytes.data(), bytes.size()), true);
    bytes[942] = 1;
    EXPECT_EQ(ParseAddressModeAnswer(bytes.data(), bytes.size()), false);
    bytes[942] = 4;
    EXPECT_EQ(ParseAddressModeAnswer(bytes.data(), bytes.size()), false);
}

TEST(LanStatus, FirstMatchingRowWins) {
    EXPECT_STREQ(LanStatusText(1, 0xFF), "Printing");
    EXPECT_STREQ(LanStatusText(2, 0xFF), "Pause");
    EXPECT_STREQ(LanStatusText(3, 0x41), "Carriage Open");
    EXPECT_STREQ(LanStatusText(3, 0xC0), "Over Heat");
    EXPECT_STREQ(LanStatusText(3, 0x40), "Over Heat");
    EXPECT_STREQ(LanStatusText(3, 0x80), "Over Heat");
    EXPECT_STREQ(LanStatusText(3, 0x06), "Paper Jam");
    EXPECT_STREQ(LanStatusText(3, 0x04), "Paper Empty");
    EXPECT_STREQ(LanStatusText(3, 0x08), "Ribbon Error");
    EXPECT_STREQ(LanStatusText(3, 0x30), "Ribbon Error");
    EXPECT_STREQ(LanStatusText(3, 0x20), "Cutter Error");
    EXPECT_STREQ(LanStatusText(3, 0x00), "Error");
    EXPECT_STREQ(LanStatusText(0, 0xFF), "Ready");
    EXPECT_STREQ(LanStatusText(4, 0x01), "Ready");
    EXPECT_STREQ(LanStatusText(255, 0), "Ready");
}

TEST(LanTexts, MacTextRoundTripAndRefusals) {
    EXPECT_EQ(MacText(kMac), "00:1B:82:12:AB:CD");
    EXPECT_EQ(ParseMacText("00:1B:82:12:AB:CD"), kMac);
    EXPECT_EQ(ParseMacText("00:1b:82:12:ab:cd"), kMac);
    EXPECT_FALSE(ParseMacText("").has_value());
    EXPECT_FALSE(ParseMacText("00-1B-82-12-AB-CD").has_value());
    EXPECT_FALSE(ParseMacText("00:1B:82:12:AB:CG").has_value());
    EXPECT_FALSE(ParseMacText("00:1B:82:12:AB:CD:").has_value());
}

TEST(LanTexts, DottedAddresses) {
    EXPECT_EQ(Ipv4Text({10, 0, 20, 255}), "10.0.20.255");
    EXPECT_EQ(ReadDottedPrefix("192.168.1.100"), (Ipv4Address{192, 168, 1, 100}));
    EXPECT_EQ(ReadDottedPrefix("010.001.0.0"), (Ipv4Address{10, 1, 0, 0}));
    // What follows the fourth number is not looked at.
    EXPECT_EQ(ReadDottedPrefix("1.2.3.4 tail"), (Ipv4Address{1, 2, 3, 4}));
    EXPECT_EQ(ReadDottedPrefix("1.2.3.45678"), std::nullopt);
    EXPECT_EQ(ReadDottedPrefix("1.2.3.256"), std::nullopt);
    EXPECT_EQ(ReadDottedPrefix("1.2.3"), std::nullopt);
    EXPECT_EQ(ReadDottedPrefix("1..2.3"), std::nullopt);
    EXPECT_EQ(ReadDottedPrefix(""), std::nullopt);
    EXPECT_EQ(ReadDottedPrefix("printer-7"), std::nullopt);
    EXPECT_EQ(ReadDottedPrefix(" 1.2.3.4"), std::nullopt);
    // The whole-text reading of link addresses: nothing after the address, no leading zero.
    EXPECT_EQ(ReadDottedIpv4(QStringView(u"192.168.1.100")), (Ipv4Address{192, 168, 1, 100}));
    EXPECT_EQ(ReadDottedIpv4(QStringView(u"1.2.3.4 tail")), std::nullopt);
    EXPECT_EQ(ReadDottedIpv4(QStringView(u"010.1.0.0")), std::nullopt);
    EXPECT_EQ(ReadDottedIpv4(QStringView(u"1.2.3.4\u00e9")), std::nullopt);
}
