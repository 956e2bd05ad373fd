#include "core/base64.h"

#include <gtest/gtest.h>

#include "platform/system/codepage.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string Encode(const std::string& in) {
    std::string out(4 * ((in.size() + 2) / 3) + 1, '\x7F');
    Base64Encode(out.size(), in.size(), out.data(), reinterpret_cast<const unsigned char*>(in.data()));
    return std::string(out.c_str());
}

TEST(Base64, EncodesTheStandardVectors) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {{"", ""},
                 {"f", "Zg=="},
                 {"fo", "Zm8="},
                 {"foo", "Zm9v"},
                 {"foob", "Zm9vYg=="},
                 {"fooba", "Zm9vYmE="},
                 {"foobar", "Zm9vYmFy"},
                 {"admin", "YWRtaW4="}};
    for (const Case& c : cases)
        EXPECT_EQ(Encode(c.in), c.out) << c.in;
}

TEST(Base64, NeverWritesPastTheOutputSize) {
    char out[6];
    std::memset(out, '#', sizeof out);
    Base64Encode(4, 6, out, reinterpret_cast<const unsigned char*>("foobar"));
    EXPECT_EQ(std::string(out, 6), "Zm9v##");
}

TEST(Base64, DecodesUpToTheFirstBadGroup) {
    struct Case {
        const char* in;
        const char* bytes;
        int complete;
    } cases[] = {
        {"Zm9vYmFy", "foobar", 1}, {"Zm9vYg==", "foob", 1},
        {"Zm9vYmE=", "fooba", 1},  {"QUJDRA", "ABCD", 0},  // the last group fails after its first byte
        {"QUJD RA==", "ABC", 0},                           // white space stops decoding
        {"QQ==QUJD", "A", 0},                              // padding only in the last group
        {"QUJ", "AB", 0},          {"Q", "", 0},
    };
    for (const Case& c : cases) {
        unsigned char out[32];
        size_t size = sizeof out;
        int complete =
            Base64Decode(reinterpret_cast<const unsigned char*>(c.in), std::strlen(c.in), out, &size);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(out), size), c.bytes) << c.in;
        EXPECT_EQ(complete, c.complete) << c.in;
    }
}

TEST(Base64, DecodingRespectsTheOutputRoom) {
    unsigned char out[2];
    size_t size = sizeof out;
    Base64Decode(reinterpret_cast<const unsigned char*>("Zm9vYmFy"), 8, out, &size);
    EXPECT_EQ(size, 2u);
    EXPECT_EQ(out[0], 'f');
}

struct CredentialCase {
    const char* codePage;
    const char* text;  // UTF-8
};

class CredentialTest : public ::testing::TestWithParam<CredentialCase> {};

TEST_P(CredentialTest, WideTextSurvivesTheRoundTripInEachCodePage) {
    qputenv("VISTAL_CODEPAGE", GetParam().codePage);
    {
        const QString text = QString::fromUtf8(GetParam().text);
        char16_t* wide = nullptr;
        int wideCap = 0;
        ASSERT_EQ(
            WideToBase64W(reinterpret_cast<const char16_t*>(text.utf16()), text.size(), &wide, &wideCap), 0);
        char* narrow = nullptr;
        int narrowCap = 0;
        ASSERT_EQ(
            WideToBase64A(&narrow, reinterpret_cast<const char16_t*>(text.utf16()), text.size(), &narrowCap),
            0);
        EXPECT_EQ(QString::fromUtf16(wide), QString::fromLatin1(narrow));
        // A double-byte code page gives more bytes than characters: the whole text is still encoded.
        EXPECT_EQ(wideCap, static_cast<int>(4 * ((WideToAnsi(text).size() + 2) / 3)));

        char16_t* back = nullptr;
        int backCap = 0;
        ASSERT_EQ(Base64WToWide(wideCap, wide, &back, &backCap), 0);
        EXPECT_EQ(QString::fromUtf16(back), text);
        char16_t* back2 = nullptr;
        int back2Cap = 0;
        ASSERT_EQ(Base64AToWide(&back2, narrow, narrowCap, &back2Cap), 0);
        EXPECT_EQ(QString::fromUtf16(back2), text);

        QString q;
        ASSERT_TRUE(Base64ToWide(WideToBase64(text), &q));
        EXPECT_EQ(q, text);
        std::free(wide);
        std::free(narrow);
        std::free(back);
        std::free(back2);
    }
    qputenv("VISTAL_CODEPAGE", "CP1252");
}

INSTANTIATE_TEST_SUITE_P(CodePages, CredentialTest,
                         ::testing::Values(CredentialCase{"CP1252", "admin pass"},
                                           CredentialCase{"CP936", "用户 名"},
                                           CredentialCase{"CP950", "密碼 123"}),
                         [](const ::testing::TestParamInfo<CredentialCase>& info) {
                             return std::string(info.param.codePage);
                         });

TEST(Base64, WrappersRefuseEmptyInputAndKeepTheBuffer) {
    char16_t* buffer = nullptr;
    int capacity = 0;
    EXPECT_EQ(Base64WToWide(0, u"", &buffer, &capacity), -1);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(WideToBase64W(u"", 0, &buffer, &capacity), -1);
    EXPECT_EQ(WideToBase64W(nullptr, 3, &buffer, &capacity), -1);
    EXPECT_EQ(WideToBase64W(u"abc", 3, nullptr, &capacity), -1);
    QString kept = QStringLiteral("default");
    EXPECT_FALSE(Base64ToWide(QString(), &kept));
    EXPECT_EQ(kept, "default");
}

TEST(Base64, PlainTextWhereBase64IsExpectedDecodesToItsValidPrefix) {
    QString text;
    ASSERT_TRUE(Base64ToWide(QStringLiteral("admin"), &text));
    EXPECT_EQ(text.size(), 3);  // "admi" decodes to three bytes, "n" alone fails
}

TEST(Base64, DecodedTextEndsAtTheFirstNul) {
    // "ab\0cd" and "\0x": the text is what comes before the NUL, whichever way it is decoded.
    struct Case {
        const char* base64;
        const char16_t* text;
    } cases[] = {{"YWIAY2Q=", u"ab"}, {"AHg=", u""}, {"YWJj", u"abc"}};
    for (const Case& c : cases) {
        QString text;
        ASSERT_TRUE(Base64ToWide(QString::fromLatin1(c.base64), &text));
        EXPECT_EQ(text, QString::fromUtf16(c.text)) << c.base64;
        char16_t* buffer = nullptr;
        int capacity = 0;
        ASSERT_EQ(Base64AToWide(&buffer, c.base64, static_cast<int>(std::strlen(c.base64)), &capacity), 0);
        EXPECT_EQ(QString::fromUtf16(buffer), QString::fromUtf16(c.text)) << c.base64;
        std::free(buffer);
    }
}

}  // namespace
