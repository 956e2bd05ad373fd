// Formatters, field codecs and the session parsers of the command protocol.

#include <gtest/gtest.h>

#include <QString>

#include <cstring>
#include <string>
#include <thread>

#include "core/system_settings.h"
#include "dvr/dvr_fields.h"
#include "dvr/dvr_parsers.h"
#include "dvr/dvr_protocol.h"
#include "tests/dvr/test_device.h"
#include "tests/scoped_env.h"

namespace {

std::u16string U(const char* text) {
    return QString::fromUtf8(text).toStdU16String();
}

int Dispatch(TestDevice& t, const std::string& text) {
    return DispatchDvrMessage(text.data(), t.device, nullptr, static_cast<int>(text.size()));
}

TEST(DvrFormatters, SendExactBytes) {
    TestDevice t;
    t.SetText(t.node.user, 256, u"admin");
    t.device->sessionId = 77;
    struct Case {
        int (*send)(DVRDevice*);
        const char* bytes;
    } cases[] = {
        {SendHello, "65537 67108864 \r\n\r\n"},
        {[](DVRDevice* d) { return SendLogin(d, CONN_COMMAND); }, "65538 77 0 YWRtaW4= (NULL) \r\n\r\n"},
        {SendKeepAlive, "65539 0 \r\n\r\n"},
        {SendGetChannelNames, "65541 \r\n\r\n"},
        {[](DVRDevice* d) { return SendOpenStream(d, 3); }, "65542 3 \r\n\r\n"},
        {[](DVRDevice* d) { return SendCloseStream(d, 12); }, "65543 12 \r\n\r\n"},
        {SendGetSystemParams, "65550 \r\n\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.send(t.device), static_cast<int>(strlen(c.bytes)));
        EXPECT_EQ(t.Sent(), c.bytes);
    }
}

TEST(DvrFormatters, BindGoesOnItsOwnConnectionOnly) {
    TestDevice t;
    int pair[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    t.device->liveSocket = pair[0];
    t.device->sessionId = 5;
    EXPECT_GT(SendLogin(t.device, CONN_LIVE), 0);
    char buffer[64] = {};
    ASSERT_GT(recv(pair[1], buffer, sizeof buffer - 1, MSG_DONTWAIT), 0);
    EXPECT_STREQ(buffer, "65538 5 1 \r\n\r\n");
    EXPECT_EQ(SendLogin(t.device, CONN_PLAYBACK), -1);  // no playback connection
    EXPECT_EQ(SendLogin(t.device, 7), -1);
    EXPECT_EQ(t.Sent(), "");
    t.device->liveSocket = -1;
    close(pair[0]);
    close(pair[1]);
}

TEST(DvrFormatters, NothingIsSentWithoutDeviceOrOnAClosedSocket) {
    EXPECT_EQ(SendHello(nullptr), -1);
    TestDevice t;
    int stale = t.device->commandSocket;
    t.device->commandSocket = -1;
    EXPECT_EQ(SendDvrMessage("x", 1, stale, t.device), -1);
    t.device->commandSocket = stale;
}

TEST(DvrFields, TextFieldEncoding) {
    struct Case {
        const char* text;
        int size;
        const char* field;
    } cases[] = {
        {"", 256, "(NULL)"},
        {"Front door", 256,
         "Front\x08"
         "door"},
        {"a\tb\nc\rd", 256,
         "a\x08"
         "b\x08"
         "c\x08"
         "d"},
        {"caf\xC3\xA9", 256, "caf\xC3\xA9"},
        // Cut at a character boundary: "é" (2 bytes) does not fit after "abcde" in 6 bytes + NUL.
        {"abcde\xC3\xA9", 7, "abcde"},
        {"\xE4\xB8\xAD\xE6\x96\x87", 6, "\xE4\xB8\xAD"},
    };
    for (const Case& c : cases) {
        char out[256];
        std::u16string text = U(c.text);
        EncodeTextField(text.c_str(), out, c.size);
        EXPECT_STREQ(out, c.field) << c.text;
    }
}

TEST(DvrFields, TextFieldRoundTripAndDecode) {
    struct Case {
        const char* token;
        const char* text;
    } cases[] = {
        {"(NULL)", ""},
        {"(null)", "(null)"},
        {"Back\x08yard", "Back yard"},
        {"\xE4\xB8\xAD", "\xE4\xB8\xAD"},
    };
    for (const Case& c : cases) {
        char16_t out[256];
        DecodeTextField(c.token, out, 256);
        EXPECT_EQ(std::u16string(out), U(c.text)) << c.token;
    }
    char16_t shortField[4];
    DecodeTextField("abcdef", shortField, 4);
    EXPECT_EQ(std::u16string(shortField), u"abc");
}

TEST(DvrFields, CredentialField) {
    // Only U+0020 becomes 0x08 before Base64: a tab or a no-break space is part of the password.
    struct Case {
        const char16_t* text;
        const char* field;
    } cases[] = {
        {u"", "(NULL)"},        {u"a b", "YQhi"},  // "a" 0x08 "b"
        {u"a\tb", "YQli"},                         // "a" 0x09 "b"
        {u"a\u00A0b", "YaBi"},                     // "a" 0xA0 "b" in the ANSI code page
        {u"admin", "YWRtaW4="},
    };
    for (const Case& c : cases) {
        char out[256];
        EXPECT_EQ(EncodeCredentialField(c.text, out, 256), 0);
        EXPECT_STREQ(out, c.field);
        char16_t back[256];
        DecodeCredentialField(out, back, 256);
        EXPECT_EQ(std::u16string(back), std::u16string(c.text));
    }
    char16_t back[256];
    DecodeCredentialField("(NULL)", back, 256);
    EXPECT_EQ(std::u16string(back), u"");
}

TEST(DvrFields, TooLongCredentialIsRefusedNotCut) {
    // 191 characters give 256 Base64 characters: one more than the field holds.
    std::u16string fits(189, u'x');  // 252 characters of Base64
    std::u16string tooLong(191, u'x');
    char out[256];
    EXPECT_EQ(EncodeCredentialField(fits.c_str(), out, 256), 0);
    EXPECT_EQ(strlen(out), 252u);
    EXPECT_EQ(EncodeCredentialField(tooLong.c_str(), out, 256), -1);
    EXPECT_STREQ(out, "(NULL)");

    TestDevice t;
    t.SetText(t.node.user, 256, tooLong);
    EXPECT_EQ(SendLogin(t.device, CONN_COMMAND), -1);
    EXPECT_EQ(t.Sent(), "");
}

TEST(DvrFields, ReaderStaysInsideTheMessage) {
    // The buffer holds more digits after the message's length: they must not be read.
    const char buffer[] = "131075 1234567";
    FieldReader reader(buffer, 9);  // "131075 12"
    int32_t id = 0;
    int32_t value = 0;
    ASSERT_TRUE(reader.Int(&id));
    ASSERT_TRUE(reader.Int(&value));
    EXPECT_EQ(value, 12);
    EXPECT_FALSE(reader.Int(&value));
    char token[4];
    FieldReader tokens("abcd ef", 7);
    EXPECT_FALSE(tokens.Token(token, sizeof token));  // longer than the field
    FieldReader numbers("0x1F", 4);
    uint32_t hex = 0;
    ASSERT_TRUE(numbers.Hex(&hex));
    EXPECT_EQ(hex, 0x1Fu);
}

TEST(DvrFields, NumbersReadAsTheirThirtyTwoBitWord) {
    // A flag word printed unsigned keeps its high bits; only what no 32-bit word prints is saturated.
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MIN},
        {"3000000000", static_cast<int32_t>(3000000000u)},
        {"4294967295", -1},
        {"4294967296", INT32_MAX},
        {"99999999999", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN},
        {"+12", 12},
    };
    for (const auto& c : cases) {
        FieldReader reader(c.text, static_cast<int>(std::strlen(c.text)));
        int32_t value = 0;
        ASSERT_TRUE(reader.Int(&value)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(DvrFields, FieldFaultsMatchWhatTheEncodersSend) {
    // Text fields count UTF-8 bytes of what is sent (white space as one byte), credentials the Base64 of
    // their code-page bytes; a character the code page lacks is refused, never sent as '?'.
    ScopedEnv codePage("VISTAL_CODEPAGE", "CP1252");
    const std::u16string chinese85(85, u'\u4e2d');  // 255 bytes
    const std::u16string chinese86(86, u'\u4e2d');
    const struct {
        const char* title;
        std::u16string text;
        int textFault;
        int credentialFault;
    } cases[] = {
        {"empty", u"", FIELD_FITS, FIELD_FITS},
        {"255 ASCII", std::u16string(255, u'a'), FIELD_FITS, FIELD_TOO_LONG},
        {"256 ASCII", std::u16string(256, u'a'), FIELD_TOO_LONG, FIELD_TOO_LONG},
        {"189 ASCII", std::u16string(189, u'a'), FIELD_FITS, FIELD_FITS},
        {"190 ASCII", std::u16string(190, u'a'), FIELD_FITS, FIELD_TOO_LONG},
        {"85 Chinese", chinese85, FIELD_FITS, FIELD_NOT_IN_CODE_PAGE},
        {"86 Chinese", chinese86, FIELD_TOO_LONG, FIELD_NOT_IN_CODE_PAGE},
        {"ideographic spaces", std::u16string(255, u'\u3000'), FIELD_FITS, FIELD_NOT_IN_CODE_PAGE},
        {"Latin-1 letters", u"J\u00fcrgen", FIELD_FITS, FIELD_FITS},
        {"question mark", u"who?", FIELD_FITS, FIELD_FITS},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextFieldFault(c.text.c_str(), TEXT_FIELD_SIZE), c.textFault) << c.title;
        EXPECT_EQ(CredentialFieldFault(c.text.c_str(), TEXT_FIELD_SIZE), c.credentialFault) << c.title;
        char out[TEXT_FIELD_SIZE];
        EXPECT_EQ(EncodeCredentialField(c.text.c_str(), out, sizeof out),
                  c.credentialFault == FIELD_FITS ? 0 : -1)
            << c.title;
        if (c.textFault == FIELD_FITS) {
            EncodeTextFieldRaw(c.text.c_str(), out, sizeof out);
            EXPECT_EQ(static_cast<int>(std::strlen(out)), TextFieldBytes(c.text.c_str())) << c.title;
        }
    }
    // The same characters are held by a double-byte code page: two bytes each.
    ScopedEnv chineseCodePage("VISTAL_CODEPAGE", "CP936");
    EXPECT_EQ(CredentialFieldFault(u"\u7528\u6237", TEXT_FIELD_SIZE), FIELD_FITS);
    EXPECT_EQ(CredentialFieldFault(std::u16string(94, u'\u4e2d').c_str(), TEXT_FIELD_SIZE), FIELD_FITS);
    EXPECT_EQ(CredentialFieldFault(std::u16string(95, u'\u4e2d').c_str(), TEXT_FIELD_SIZE), FIELD_TOO_LONG);
}

TEST(DvrDispatch, HelloReply) {
    struct Case {
        const char* text;
        bool accepted;
    } cases[] = {
        {"131073 67108864 \r\n\r\n", true},
        {"131073 83886080 \r\n\r\n", false},
        {"131073 -1 \r\n\r\n", false},
        {"131073 \r\n\r\n", false},
        {"131073 0 extra fields 1 2\r\n\r\n", true},
    };
    for (const Case& c : cases) {
        TestDevice t;
        t.device->lastRequest = 12345;
        EXPECT_EQ(Dispatch(t, c.text), 0);
        EXPECT_EQ((t.device->flags & DEVICE_FLAG_HELLO) != 0, c.accepted) << c.text;
        EXPECT_EQ(t.device->lastRequest.load(), c.accepted ? 0 : 12345) << c.text;
    }
}

TEST(DvrDispatch, UnreadableIdAndUnknownIds) {
    TestDevice t;
    EXPECT_EQ(Dispatch(t, "hello\r\n\r\n"), -1);
    EXPECT_EQ(Dispatch(t, "131087 1 2 3\r\n\r\n"), 0);  // reply to a set request: ignored
    EXPECT_EQ(t.device->flags.load(), 0u);
    EXPECT_EQ(FindDvrParser(DVR_RSP_KEEPALIVE), ParseKeepAliveReply);
    EXPECT_EQ(FindDvrParser(0x20099), nullptr);
}

TEST(DvrDispatch, LoginAndBindReplies) {
    TestDevice t;
    EXPECT_EQ(ParseLoginReply("131074 9 0 1\r\n\r\n", 15, t.device, nullptr), -1);  // four fields
    Dispatch(t, "131074 9 1 -1 0 \r\n\r\n");
    EXPECT_EQ(t.device->flags.load(), DEVICE_FLAG_LIVE_BOUND);  // result not looked at
    Dispatch(t, "131074 9 2 0 0 \r\n\r\n");
    EXPECT_EQ(t.device->flags.load(), DEVICE_FLAG_LIVE_BOUND | DEVICE_FLAG_PLAYBACK_BOUND);

    TestDevice refused;
    Dispatch(refused, "131074 0 0 -1 0 \r\n\r\n");
    EXPECT_EQ(refused.device->flags.load(), 0u);
    EXPECT_EQ(refused.device->loginResult.load(), -1);

    TestDevice accepted;
    accepted.device->lastRequest = 99;
    Dispatch(accepted, "131074 4242 0 3 21 \r\n\r\n");
    EXPECT_EQ(accepted.device->flags.load(), DEVICE_FLAG_LOGGED_IN);
    EXPECT_EQ(accepted.device->sessionId.load(), 4242);
    EXPECT_EQ(accepted.device->loginResult.load(), 3);
    EXPECT_EQ(accepted.device->rights.load(), 21u);
    EXPECT_EQ(accepted.device->lastRequest.load(), 0);
    // A repeated reply changes nothing that was stored.
    Dispatch(accepted, "131074 1 0 0 1 \r\n\r\n");
    EXPECT_EQ(accepted.device->sessionId.load(), 4242);
    EXPECT_EQ(accepted.device->rights.load(), 21u);
}

TEST(DvrDispatch, KeepAliveReplyStoresAnyInterval) {
    TestDevice t;
    for (int interval : {25, 0, -3}) {
        Dispatch(t, "131075 " + std::to_string(interval) + " \r\n\r\n");
        EXPECT_EQ(t.device->keepAliveSeconds.load(), interval);
    }
    EXPECT_EQ(Dispatch(t, "131075\r\n\r\n"), 0);
    EXPECT_EQ(t.device->keepAliveSeconds.load(), -3);
}

TEST(DvrDispatch, ChannelList) {
    TestDevice t;
    Dispatch(t, "131077 2 0 Early \r\n\r\n");  // entry before LIST_BEGIN
    EXPECT_EQ(t.device->channelCount.load(), 0);
    Dispatch(t, "131077 240 3 \r\n\r\n");
    ASSERT_EQ(t.device->channelCount.load(), 3);
    EXPECT_EQ(t.device->channels[1].flags.load(), CHANNEL_FLAG_STREAM_CLOSED);
    EXPECT_EQ(t.device->channels[1].viewSlots[2], -1);
    Dispatch(t,
             "131077 3 0 Gate\x08"
             "A \r\n\r\n");
    Dispatch(t, "131077 3 1 (NULL) \r\n\r\n");
    Dispatch(t, "131077 9 2 Yard \r\n\r\n");   // its own count is not compared
    Dispatch(t, "131077 3 3 Extra \r\n\r\n");  // index not below the count
    Dispatch(t, "131077 3 -1 Neg \r\n\r\n");
    Dispatch(t, "131077 240 5 \r\n\r\n");  // a second list start keeps the array
    EXPECT_EQ(t.device->channelCount.load(), 3);
    Dispatch(t, "131077 255 \r\n\r\n");
    EXPECT_NE(t.device->flags & DEVICE_FLAG_CHANNELS, 0u);
    EXPECT_EQ(std::u16string(t.device->channels[0].name), u"Gate A");
    EXPECT_EQ(std::u16string(t.device->channels[1].name), u"");
    EXPECT_EQ(std::u16string(t.device->channels[2].name), u"Yard");
    Dispatch(t, "131077 3 2 Late \r\n\r\n");  // after the end: ignored
    EXPECT_EQ(std::u16string(t.device->channels[2].name), u"Yard");
}

TEST(DvrDispatch, ChannelCountsOutOfBoundsAreIgnored) {
    for (const char* text : {"131077 240 -1 \r\n\r\n", "131077 240 257 \r\n\r\n", "131077 240 \r\n\r\n"}) {
        TestDevice t;
        EXPECT_EQ(ParseChannelNames(text, static_cast<int>(strlen(text)), t.device, nullptr), -1) << text;
        EXPECT_EQ(t.device->channels, nullptr);
    }
    TestDevice t;
    EXPECT_EQ(ParseChannelNames("131077 240 256 ", 15, t.device, nullptr), 0);
    EXPECT_EQ(t.device->channelCount.load(), 256);
}

// A list start may arrive on the command connection and in a text frame of a stream connection at once:
// one array is made, the other caller is refused, and nothing is freed twice.
TEST(DvrDispatch, RacingListStartsMakeOneChannelArray) {
    for (int round = 0; round < 20; ++round) {
        TestDevice t;
        auto start = [&](const char* text) {
            EXPECT_EQ(DispatchDvrMessage(text, t.device, nullptr, static_cast<int>(strlen(text))), 0);
        };
        std::thread command(start, "131077 240 4 \r\n\r\n");
        std::thread stream(start, "131077 240 6 \r\n\r\n");
        command.join();
        stream.join();
        int count = t.device->channelCount.load();
        EXPECT_TRUE(count == 4 || count == 6) << count;
        ASSERT_NE(t.device->channels, nullptr);
        EXPECT_EQ(AllocDeviceChannels(t.device, 2), -1);  // the run keeps its first array
    }
}

TEST(DvrDispatch, AlarmEvent) {
    TestDevice t;
    ASSERT_EQ(AllocDeviceChannels(t.device, 4), 0);
    struct Case {
        const char* text;
        int result;
        int channel;  // -1: no flag set
    } cases[] = {
        {"131126 0 131072 \r\n\r\n", 0, 2},
        {"131126 1 196608 \r\n\r\n", 0, -1},   // low half of the event not 0
        {"131126 0 262144 \r\n\r\n", -1, -1},  // channel 4 of 4
        {"131126 0 -65536 \r\n\r\n", -1, -1},  // channel 0xFFFF
        {"131126 0 \r\n\r\n", -1, -1},
    };
    for (const Case& c : cases) {
        for (int i = 0; i < 4; ++i)
            t.device->channels[i].flags = 0;
        EXPECT_EQ(ParseAlarmEvent(c.text, static_cast<int>(strlen(c.text)), t.device, nullptr), c.result)
            << c.text;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(t.device->channels[i].flags.load(), i == c.channel ? CHANNEL_FLAG_ALARM : 0u) << c.text;
    }
}

TEST(DvrDispatch, SystemParams) {
    TestDevice t;
    const std::string text =
        "131086 C Rec\x08"
        "Dir (NULL) 1 1 0 5 0 1 0 \r\n\r\n";
    Dispatch(t, "131086 C Rec (NULL) 1 1 0 5 0 1\r\n\r\n");  // six integers
    EXPECT_EQ(t.device->systemParams, nullptr);
    Dispatch(t, text);
    ASSERT_NE(t.device->systemParams, nullptr);
    EXPECT_NE(t.device->flags & DEVICE_FLAG_SYSTEM_PARAMS, 0u);
    EXPECT_EQ(std::u16string(t.device->systemParams->RecordDisks), u"C");
    EXPECT_EQ(std::u16string(t.device->systemParams->RecordDir), u"Rec Dir");
    EXPECT_EQ(std::u16string(t.device->systemParams->SnapshotPath), u"");
    EXPECT_EQ(t.device->systemParams->ScrollInterval, 5);
    EXPECT_EQ(t.device->systemParams->Autorun, 0);
    EXPECT_EQ(t.device->systemParams->EnableBeep, 1);
}

TEST(DvrDispatch, DispatchStoresArrivalTime) {
    TestDevice t;
    t.device->lastReceived = 0;
    Dispatch(t, "garbage\r\n\r\n");
    EXPECT_NE(t.device->lastReceived.load(), 0);
}

}  // namespace
