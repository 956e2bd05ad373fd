#include "core/ini_file.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

TEST(CIniFile, ReadsAndWritesThroughItsPath) {
    QTemporaryDir dir;
    CIniFile ini(dir.filePath("a.ini"));
    EXPECT_EQ(ini.GetInt("LANGUAGE", "Number", 0), 0);
    EXPECT_EQ(QString::fromUtf16(ini.GetString("S", "missing")), QString());  // never a null pointer
    ini.WriteInt("S", "n", -458760);
    EXPECT_EQ(ini.GetText("S", "n"), "-458760");
    EXPECT_EQ(ini.GetInt("S", "n", 0), -458760);
    ini.WriteString("S", "t", "text");
    char16_t small[3];
    EXPECT_EQ(ini.CopyString(3, small, "S", "t"), 1);
    EXPECT_EQ(QString::fromUtf16(small), "te");
    EXPECT_EQ(ini.CopyString(3, small, "S", "none"), 0);
}

TEST(CIniFile, GetStringReturnsTheObjectsOwnBuffer) {
    QTemporaryDir dir;
    CIniFile ini(dir.filePath("a.ini"));
    ini.WriteString("S", "a", "first");
    ini.WriteString("S", "b", "second");
    const char16_t* p = ini.GetString("S", "a");
    ini.GetString("S", "b");
    EXPECT_EQ(QString::fromUtf16(p), "second");
}

TEST(CIniFile, DefaultPathKeepsTheLetterCase) {
    CIniFile ini;
    EXPECT_FALSE(ini.GetPath().isEmpty());
    EXPECT_EQ(ini.GetPath(), ini.GetPath().trimmed());
}

}  // namespace
