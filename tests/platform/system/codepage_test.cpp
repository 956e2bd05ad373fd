#include "platform/system/codepage.h"

#include <gtest/gtest.h>

namespace {

TEST(CodePage, ConvertsBothWaysInTheCodePageInForce) {
    struct Case {
        const char* codePage;
        const char* text;  // UTF-8
        QByteArray bytes;
    } cases[] = {
        {"CP1252", "admin", QByteArray("admin")},
        {"CP1252", "café", QByteArray("caf\xE9")},
        {"CP936", "管理员", QByteArray("\xB9\xDC\xC0\xED\xD4\xB1")},
        {"CP950", "管理員", QByteArray("\xBA\xDE\xB2\x7A\xAD\xFB")},
    };
    for (const Case& c : cases) {
        qputenv("VISTAL_CODEPAGE", c.codePage);
        EXPECT_EQ(WideToAnsi(QString::fromUtf8(c.text)), c.bytes) << c.codePage;
        EXPECT_EQ(AnsiToWide(c.bytes), QString::fromUtf8(c.text)) << c.codePage;
    }
    qputenv("VISTAL_CODEPAGE", "CP1252");
}

TEST(CodePage, MarksWhatTheCodePageCannotHold) {
    qputenv("VISTAL_CODEPAGE", "CP1252");
    EXPECT_EQ(WideToAnsi(QString::fromUtf8("a管b")), QByteArray("a?b"));
    qputenv("VISTAL_CODEPAGE", "CP936");
    EXPECT_EQ(AnsiToWide(QByteArray("a\xB9")), QString::fromUtf8("a\xEF\xBF\xBD"));
    qputenv("VISTAL_CODEPAGE", "CP1252");
}

TEST(CodePage, FollowsTheFirstLanguageWhenNotNamed) {
    qunsetenv("VISTAL_CODEPAGE");
    SetAnsiCodePageForLanguage(1);
    EXPECT_EQ(AnsiCodePageName(), "CP936");
    SetAnsiCodePageForLanguage(2);
    EXPECT_EQ(AnsiCodePageName(), "CP950");
    SetAnsiCodePageForLanguage(0);
    EXPECT_EQ(AnsiCodePageName(), "CP1252");
    qputenv("VISTAL_CODEPAGE", "CP1252");
}

}  // namespace
