#include "platform/system/profile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray Utf16File(const QString& text) {
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return bytes;
}

class ProfileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path;
    void SetUp() override { path = dir.filePath("test.ini"); }
    void Put(const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray Get() {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString Read(const QString& section, const QString& key, const QString& def = QString(), int size = 260) {
        char16_t buffer[300];
        GetPrivateProfileString(section, key, def, buffer, size, path);
        return QString::fromUtf16(buffer);
    }
};

TEST_F(ProfileTest, ReadsValuesByTheFileRules) {
    Put(
        Utf16File(QStringLiteral("[LANGUAGE]\r\nNumber=3\r\n\r\n[0]\nFile = .\\language\\language.eng  \n"
                                 "  Key With Blanks  =  a = b  \n[0]\nFile=second\n[Other]\nNumber=9\n")));
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"LANGUAGE", "Number", "3"},
        {"language", "NUMBER", "3"},
        {"0", "FILE", ".\\language\\language.eng"},
        {"0", "key with blanks", "a = b"},
        {"Other", "Number", "9"},
        {"0", "Missing", "dflt"},
        {"Missing", "Number", "dflt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Read(c.section, c.key, "dflt"), QString::fromUtf8(c.expected)) << c.section << "/" << c.key;
    }
    EXPECT_EQ(Read("0", "Missing"), QString());
}

TEST_F(ProfileTest, MissingFileGivesDefaults) {
    EXPECT_EQ(GetPrivateProfileInt("LANGUAGE", "Number", 0, path), 0);
    EXPECT_EQ(Read("LANGUAGE", "Number", "x"), "x");
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(ProfileTest, ParsesIntegers) {
    Put(Utf16File(QStringLiteral("[S]\na=123\nb=-458760\nc=\nd=abc\ne=12abc\nf= 7 \ng=+5\n")));
    struct Case {
        const char* key;
        int expected;
    } cases[] = {{"a", 123}, {"b", -458760}, {"c", 55}, {"d", 0}, {"e", 12}, {"f", 7}, {"g", 0}, {"missing", 55}};
    for (const Case& c : cases)
        EXPECT_EQ(GetPrivateProfileInt("S", c.key, 55, path), c.expected) << c.key;
}

TEST_F(ProfileTest, CutsStringsToTheBuffer) {
    QString longValue(300, QLatin1Char('x'));
    Put(Utf16File("[S]\nk=" + longValue + "\n"));
    EXPECT_EQ(Read("S", "k").size(), 259);
    EXPECT_EQ(Read("S", "k", QString(), 5), "xxxx");
}

TEST_F(ProfileTest, WritesInPlaceAndLeavesOtherBytesAlone) {
    const QString before = QStringLiteral("[SYSTEM]\nVersion=0.0.1\n\nDestination=1\n\n[USER]\nName=\n\n");
    Put(Utf16File(before));
    struct Case {
        const char* section;
        const char* key;
        const char* value;
        QString after;
    } cases[] = {
        {"SYSTEM", "version", "4.4.2",
         QStringLiteral("[SYSTEM]\nVersion=4.4.2\n\nDestination=1\n\n[USER]\nName=\n\n")},
        {"SYSTEM", "WanLine", "0",
         QStringLiteral("[SYSTEM]\nVersion=0.0.1\n\nDestination=1\nWanLine=0\n\n[USER]\nName=\n\n")},
        {"USER", "Name",
         "YWRtaW4=", QStringLiteral("[SYSTEM]\nVersion=0.0.1\n\nDestination=1\n\n[USER]\nName=YWRtaW4=\n\n")},
        {"NEW", "Key", "v",
         QStringLiteral("[SYSTEM]\nVersion=0.0.1\n\nDestination=1\n\n[USER]\nName=\n\n[NEW]\nKey=v\n")},
    };
    for (const Case& c : cases) {
        Put(Utf16File(before));
        ASSERT_EQ(WritePrivateProfileString(c.section, c.key, c.value, path), 1);
        EXPECT_EQ(Get(), Utf16File(c.after)) << c.key;
        EXPECT_EQ(Read(c.section, c.key), QString::fromUtf8(c.value));
    }
}

TEST_F(ProfileTest, KeepsCrLfLineEnds) {
    Put(Utf16File(QStringLiteral("[A]\r\nx=1\r\n")));
    WritePrivateProfileString("A", "y", "2", path);
    EXPECT_EQ(Get(), Utf16File(QStringLiteral("[A]\r\nx=1\r\ny=2\r\n")));
}

TEST_F(ProfileTest, ReadsAndWritesEightBitFiles) {
    qputenv("VISTAL_CODEPAGE", "CP1252");
    Put(QByteArray("[TEXT]\nName=caf\xE9\n"));
    EXPECT_EQ(Read("TEXT", "Name"), QString::fromUtf8("café"));
    WritePrivateProfileString("TEXT", "Name", QString::fromUtf8("über"), path);
    EXPECT_EQ(Get(), QByteArray("[TEXT]\nName=\xFC"
                                "ber\n"));
}

// Lines a write does not touch keep their bytes: bytes the code page lacks, their own line ends, a
// UTF-16 file's odd last byte; and writing a key its own value changes nothing.
TEST_F(ProfileTest, KeepsTheBytesOfEveryLineAWriteDoesNotTouch) {
    qputenv("VISTAL_CODEPAGE", "CP1252");
    const QByteArray odd = Utf16File(QStringLiteral("[S]\nk=1\nx=\xE9\n")) + QByteArray("\x41", 1);
    struct Case {
        const char* name;
        QByteArray before;
        const char* key;
        QString value;  // null: the value the key reads as
        QByteArray after;
    } cases[] = {
        {"other line lacks a code-page byte", QByteArray("[S]\nDir=Rec\x81rds\nName=a\n"), "Name", "b",
         QByteArray("[S]\nDir=Rec\x81rds\nName=b\n")},
        {"key written its own value", QByteArray("[S]\nDir=Rec\x81rds\nName=a\n"), "Dir", QString(),
         QByteArray("[S]\nDir=Rec\x81rds\nName=a\n")},
        {"new key beside such a line", QByteArray("[S]\nDir=Rec\x8Drds"), "New", "1",
         QByteArray("[S]\nDir=Rec\x8Drds\nNew=1")},
        {"mixed line ends", QByteArray("[S]\r\nA=1\nB=2\r\n"), "A", "3", QByteArray("[S]\r\nA=3\nB=2\r\n")},
        {"UTF-16 odd last byte", odd, "k", "2",
         Utf16File(QStringLiteral("[S]\nk=2\nx=\xE9\n")) + QByteArray("\x41", 1)},
    };
    for (const Case& c : cases) {
        Put(c.before);
        QString value = c.value.isNull() ? Read("S", c.key) : c.value;
        ASSERT_EQ(WritePrivateProfileString("S", c.key, value, path), 1) << c.name;
        EXPECT_EQ(Get(), c.after) << c.name;
        EXPECT_EQ(Read("S", c.key), value) << c.name;
    }
    qunsetenv("VISTAL_CODEPAGE");
}

TEST_F(ProfileTest, SeesChangesMadeByOthers) {
    Put(Utf16File(QStringLiteral("[S]\nk=1\n")));
    EXPECT_EQ(Read("S", "k"), "1");
    Put(Utf16File(QStringLiteral("[S]\nk=22\n")));
    EXPECT_EQ(Read("S", "k"), "22");
    QFile::remove(path);
    EXPECT_EQ(Read("S", "k", "gone"), "gone");
}

TEST_F(ProfileTest, NeverOverwritesAFileItCannotRead) {
    ASSERT_TRUE(QDir().mkpath(path));  // exists, but is no readable file
    EXPECT_EQ(WritePrivateProfileString("S", "k", "v", path), 0);
    EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST_F(ProfileTest, WritesSeveralKeysWithOneWrite) {
    Put(Utf16File(QStringLiteral("[A]\nx=1\n")));
    ASSERT_EQ(WritePrivateProfileStrings({{"A", "x", "2"}, {"A", "y", "3"}, {"B", "z", "4"}}, path), 1);
    EXPECT_EQ(Get(), Utf16File(QStringLiteral("[A]\nx=2\ny=3\n[B]\nz=4\n")));
    // An entry without its key writes nothing at all.
    EXPECT_EQ(WritePrivateProfileStrings({{"A", "x", "5"}, {"A", "", "6"}}, path), 0);
    EXPECT_EQ(Read("A", "x"), "2");
}

}  // namespace
