#include "operations/ReplyReaders.h"
#include "link/PrinterLink.h"
#include "ScriptedBackend.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A session over a scripted Ethernet backend whose device reads deliver the given chunks.
struct ScriptedSession {
    explicit ScriptedSession(std::vector<std::string> reads) {
        script->reads = std::move(reads);
        link.SetBackendFactory(InterfaceEthernet, [this](PrinterLink&) {
            return std::make_unique<ScriptedBackend>(script);
        });
        link.Timeouts().listFramePauseMs = 0;
        session = std::make_unique<LinkSession>(link, InterfaceEthernet);
    }
    std::shared_ptr<LinkScript> script = std::make_shared<LinkScript>();
    PrinterLink link;
    std::unique_ptr<LinkSession> session;
};

// The same bytes delivered whole, one byte per device read, and split at every position.
std::vector<std::vector<std::string>> Deliveries(const std::string& bytes) {
    std::vector<std::vector<std::string>> ways;
    ways.push_back({bytes});
    std::vector<std::string> single;
    for (char c : bytes)
        single.emplace_back(1, c);
    ways.push_back(single);
    for (size_t cut = 1; cut < bytes.size(); ++cut)
        ways.push_back({bytes.substr(0, cut), bytes.substr(cut)});
    return ways;
}

std::string ReadFrame(std::vector<std::string> reads, int capacity, bool* ok) {
    ScriptedSession s(std::move(reads));
    std::vector<char> buffer(static_cast<size_t>(capacity), '#');
    int length = -1;
    *ok = ReadFramedReply(*s.session, buffer.data(), capacity, &length);
    return *ok ? std::string(buffer.data(), static_cast<size_t>(length)) : std::string();
}

TEST(ReadFramedReply, DataIsTakenByLengthAndLeadingBytesAreSkippedHoweverTheBytesArrive) {
    const struct {
        std::string bytes;
        std::string data;
    } cases[] = {
        {"{5|ab}cd}", "ab}cd"},
        {"xx\r\n{3|abc}", "abc"},
        {std::string("{4|\0\r\n}}", 8), std::string("\0\r\n}", 4)},
        {"{|}", ""},
        {"{0|}", ""},
        {"{007|1234567}", "1234567"},
    };
    for (const auto& c : cases) {
        for (const auto& way : Deliveries(c.bytes)) {
            bool ok = false;
            EXPECT_EQ(ReadFrame(way, 1024, &ok), c.data) << c.bytes;
            EXPECT_TRUE(ok) << c.bytes;
        }
    }
}

TEST(ReadFramedReply, MalformedOrTruncatedFramesFail) {
    const std::string cases[] = {
        "{3|ab",                           // the data stops short
        "{3|abc]",                         // wrong end byte
        "{3|abc",                          // no end byte
        "{3xabc}",                         // no separator
        "{-1|a}",                          // a sign is no digit
        "nothing at all",                  // no start
        "{" + std::string(32, '0') + "|}", // 32 digits
        "{99999999999|x}",                 // past a 32-bit length
    };
    for (const std::string& bytes : cases) {
        for (const auto& way : Deliveries(bytes)) {
            bool ok = true;
            ReadFrame(way, 1024, &ok);
            EXPECT_FALSE(ok) << bytes;
        }
    }
    bool ok = false;
    EXPECT_EQ(ReadFrame({"{" + std::string(30, '0') + "1|x}"}, 1024, &ok), "x");
    EXPECT_TRUE(ok);
}

TEST(ReadFramedReply, AtMostTheSkipBoundPrecedesTheFrame) {
    bool ok = false;
    EXPECT_EQ(ReadFrame({std::string(4096, 'x') + "{1|A}"}, 1024, &ok), "A");
    EXPECT_TRUE(ok);
    ReadFrame({std::string(4097, 'x') + "{1|A}"}, 1024, &ok);
    EXPECT_FALSE(ok);
}

TEST(ReadFramedReply, TheDataMustLeaveRoomInTheBuffer) {
    bool ok = false;
    const std::string fits(1022, 'f');
    EXPECT_EQ(ReadFrame({"{1022|" + fits + "}"}, 1024, &ok), fits);
    EXPECT_TRUE(ok);

    // Refused before any data byte is read: the data stays in the link's ring.
    ScriptedSession s({"{1023|" + std::string(1023, 'g') + "}"});
    std::vector<char> buffer(1024);
    int length = 0;
    EXPECT_FALSE(ReadFramedReply(*s.session, buffer.data(), 1024, &length));
    uint8_t next = 0;
    ASSERT_TRUE(s.session->ReadByte(next));
    EXPECT_EQ(next, 'g');

    EXPECT_EQ(ReadFrame({"{0|}"}, 2, &ok), "");
    EXPECT_TRUE(ok);
    ReadFrame({"{0|}"}, 1, &ok);
    EXPECT_FALSE(ok);
}

TEST(ReadReplyLine, CarriageReturnsAreDroppedAndATimeOutEndsTheLine) {
    ScriptedSession s({"AB\r\nZ"});
    char line[kReplyLineCapacity];
    int length = -1;
    ASSERT_TRUE(ReadReplyLine(*s.session, line, &length));
    EXPECT_STREQ(line, "AB");
    EXPECT_EQ(length, 2);
    ASSERT_TRUE(ReadReplyLine(*s.session, line, &length));
    EXPECT_STREQ(line, "Z");
    ASSERT_TRUE(ReadReplyLine(*s.session, line, &length));
    EXPECT_STREQ(line, "");
    EXPECT_EQ(length, 0);
}

TEST(ReadReplyLine, ALineLongerThan1024CharactersFailsWithoutOverrunningTheBuffer) {
    ScriptedSession exact({std::string(1024, 'a') + "\n"});
    char line[kReplyLineCapacity + 1];
    line[kReplyLineCapacity] = '!';
    int length = 0;
    ASSERT_TRUE(ReadReplyLine(*exact.session, line, &length));
    EXPECT_EQ(length, 1024);
    EXPECT_EQ(line[kReplyLineCapacity], '!');

    ScriptedSession tooLong({std::string(1025, 'b')});
    EXPECT_FALSE(ReadReplyLine(*tooLong.session, line, &length));
    EXPECT_EQ(line[kReplyLineCapacity], '!');
    EXPECT_EQ(line[1024], '\0');

    // Carriage returns are dropped, but not without end.
    ScriptedSession returns({"ab" + std::string(4096, '\r') + "c\n"});
    EXPECT_TRUE(ReadReplyLine(*returns.session, line, &length));
    EXPECT_STREQ(line, "abc");
    ScriptedSession endless({"ab" + std::string(4097, '\r') + "c\n"});
    EXPECT_FALSE(ReadReplyLine(*endless.session, line, &length));
}

TEST(QueryFramedList, ItemsAreJoinedWithLineEndsUntilTheEmptyFrame) {
    for (const auto& way : Deliveries("{1|A}{2|BX}{0|}")) {
        ScriptedSession s(way);
        char buffer[64];
        int total = -1;
        ASSERT_EQ(QueryFramedList(*s.session, "LIST\r\n", buffer, sizeof buffer, &total), LinkOk);
        EXPECT_EQ(total, 7);
        EXPECT_EQ(std::string(buffer, 7), "A\r\nBX\r\n");
        EXPECT_EQ(s.script->Written(), "LIST\r\n");
    }
    ScriptedSession braces({"{1|A}{|}"});
    char buffer[16];
    int total = -1;
    EXPECT_EQ(QueryFramedList(*braces.session, "L", buffer, sizeof buffer, &total), LinkOk);
    EXPECT_EQ(total, 3);
}

TEST(QueryFramedList, AListThatOutgrowsTheBufferOrStopsFailsWithThree) {
    ScriptedSession full({"{4|AAAA}{4|BBBB}{0|}"});
    char buffer[12];
    int total = -1;
    EXPECT_EQ(QueryFramedList(*full.session, "L", buffer, sizeof buffer, &total),
              LinkReceivingError);
    EXPECT_EQ(total, -1);

    ScriptedSession cut({"{1|A}"});
    EXPECT_EQ(QueryFramedList(*cut.session, "L", buffer, sizeof buffer, &total),
              LinkReceivingError);
}

TEST(QueryReaders, WriteFailuresGiveTwoAndReadFailuresThree) {
    ScriptedSession refused({"{1|A}"});
    refused.script->acceptPieces = 0;
    char buffer[32];
    int length = 0;
    EXPECT_EQ(QueryFramed(*refused.session, "Q\r\n", buffer, 32, &length), LinkTransmissionError);
    EXPECT_EQ(QueryFramedList(*refused.session, "Q\r\n", buffer, 32, &length),
              LinkTransmissionError);
    EXPECT_EQ(SendCommandText(*refused.session, "Q\r\n"), LinkTransmissionError);
    EXPECT_EQ(AnnounceInterface(*refused.session), LinkTransmissionError);

    ScriptedSession silent({});
    EXPECT_EQ(QueryFramed(*silent.session, "Q\r\n", buffer, 32, &length), LinkReceivingError);
    EXPECT_EQ(AnnounceInterface(*silent.session), LinkReceivingError);
    EXPECT_EQ(SendCommandText(*silent.session, "Q\r\n"), LinkOk);
}

TEST(AnnounceInterface, NamesTheLinkKind) {
    const char* expected[] = {
        "\r\nDIAGNOSTIC INTERFACE USB\r\n", "\r\nDIAGNOSTIC INTERFACE COM\r\n",
        "\r\nDIAGNOSTIC INTERFACE LPT\r\n", "\r\nDIAGNOSTIC INTERFACE NET\r\n"};
    for (int kind = 0; kind < kInterfaceKindCount; ++kind) {
        auto script = std::make_shared<LinkScript>();
        script->reads = {"{2|OK}"};
        PrinterLink link;
        link.SetBackendFactory(static_cast<InterfaceKind>(kind), [script](PrinterLink&) {
            return std::make_unique<ScriptedBackend>(script);
        });
        LinkSession session(link, static_cast<InterfaceKind>(kind));
        const LinkError result = AnnounceInterface(session);
        EXPECT_EQ(script->Written(), expected[kind]);
        // Over the parallel port the reply can never be read.
        EXPECT_EQ(result, kind == InterfaceLpt ? LinkReceivingError : LinkOk);
    }
}

TEST(ParseReplyNumber, IsLenientAboutWhatFollowsTheDigits) {
    EXPECT_EQ(ParseReplyNumber("  42 mm"), 42);
    EXPECT_EQ(ParseReplyNumber("-7,3"), -7);
    EXPECT_EQ(ParseReplyNumber("+5"), 5);
    EXPECT_EQ(ParseReplyNumber("x12"), 0);
    EXPECT_EQ(ParseReplyNumber(""), 0);
    EXPECT_EQ(ParseReplyNumber("99999999999"), INT32_MAX);
    EXPECT_EQ(ParseReplyNumber("-99999999999"), INT32_MIN);
}

TEST(LinkErrorText, HoldsTheFixedMessages) {
    EXPECT_STREQ(LinkErrorText(0), "");
    EXPECT_STREQ(LinkErrorText(1), "Port Open Error");
    EXPECT_STREQ(LinkErrorText(2), "Data Transmission Error");
    EXPECT_STREQ(LinkErrorText(3), "Data Receiving Error");
    EXPECT_STREQ(LinkErrorText(4), "File Open Error");
    EXPECT_STREQ(LinkErrorText(5), "Unknow Error");
    EXPECT_STREQ(LinkErrorText(6), "");
}

} // namespace
