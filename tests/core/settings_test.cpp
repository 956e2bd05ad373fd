#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>

#include "core/app_version.h"
#include "core/language_list.h"
#include "core/system_settings.h"
#include "core/tarvik_app.h"
#include "core/text_files.h"
#include "resources/language/builtin_language.h"

namespace {

QString Text(const char16_t* s) {
    return QString::fromUtf16(s);
}

class SettingsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    CTarvikApp app;
    QString ini;
    void SetUp() override {
        app.m_strAppDir = dir.path() + "/";
        ini = app.m_strAppDir + "system.ini";
    }
    void WriteSystemIni(const QString& text) {
        QFile::remove(ini);
        ASSERT_TRUE(CreateUtf16FileIfAbsent(ini, text));
    }
    void Load() {
        app.m_iniSystem.SetPath(ini);
        app.LoadSystemSettings();
    }
};

TEST_F(SettingsTest, UpgradesOnlyWhenAComponentOfTheProgramVersionIsGreater) {
    struct Case {
        const char* stored;
        bool upgrades;
    } cases[] = {{"4.4.2", false}, {"5.0.0", true}, {"4.4.3", false}, {"4.5.1", true},
                 {"0.0.1", true},  {"x.y", true},   {"9.9.9", false}};
    for (const Case& c : cases) {
        WriteSystemIni(QStringLiteral("[SYSTEM]\nVersion=%1\nRecordDir=Mine\n").arg(c.stored));
        app.InitSystemIni(ini);
        CIniFile file(ini);
        EXPECT_EQ(file.GetText("SYSTEM", "Version"),
                  c.upgrades ? QString(IDS_APP_VERSION) : QString(c.stored))
            << c.stored;
        EXPECT_EQ(file.GetText("SYSTEM", "RecordDir"), "Mine");
        EXPECT_EQ(file.GetText("SYSTEM", "ShowDevice", "absent"), c.upgrades ? "1" : "absent") << c.stored;
        EXPECT_EQ(file.GetText("USER", "ScreenNum", "absent"), c.upgrades ? "" : "absent") << c.stored;
    }
}

// The upgrade of an 8-bit file keeps the bytes of the values it writes back unchanged, even those the
// code page lacks, so the folders made from the settings keep matching the file.
TEST_F(SettingsTest, UpgradeKeepsTheStoredBytesOfAnEightBitFile) {
    qputenv("VISTAL_CODEPAGE", "CP1252");
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[SYSTEM]\r\nVersion=0.0.1\r\nRecordDir=Rec\x81rds\r\n; caf\xE9 \x8D\r\n");
    file.close();
    app.InitSystemIni(ini);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray after = file.readAll();
    QByteArray expected =
        QByteArray("[SYSTEM]\r\nVersion=") + IDS_APP_VERSION + "\r\nRecordDir=Rec\x81rds\r\n";
    EXPECT_TRUE(after.startsWith(expected)) << after.toStdString();
    EXPECT_TRUE(after.contains("\r\n; caf\xE9 \x8D\r\n")) << after.toStdString();
    EXPECT_EQ(CIniFile(ini).GetText("SYSTEM", "ShowDevice"), "1");
    qunsetenv("VISTAL_CODEPAGE");
}

// system.ini holds passwords: a new file is its owner's alone, and one left readable by others is
// tightened when it is written, with the bytes a write gives either way.
TEST_F(SettingsTest, OnlyItsOwnerMayReadTheFile) {
    const QFileDevice::Permissions ownerOnly =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser | QFileDevice::WriteUser;
    app.InitSystemIni(ini);
    EXPECT_EQ(QFileInfo(ini).permissions(), ownerOnly);
    WriteSystemIni(QStringLiteral("[SYSTEM]\nVersion=0.0.1\n\n[USER]\nPassword=cHc=\n"));
    ASSERT_TRUE(QFile::setPermissions(ini, ownerOnly | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    app.InitSystemIni(ini);  // an upgrade: one write
    EXPECT_EQ(QFileInfo(ini).permissions(), ownerOnly);
    EXPECT_EQ(CIniFile(ini).GetText("USER", "Password"), "cHc=");
    QFile written(ini);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    written.close();
    app.m_iniSystem.SetPath(ini);
    app.m_iniSystem.WriteString("USER", "Password", "cHc=");  // the same value: the same bytes
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), bytes);
    EXPECT_EQ(QFileInfo(ini).permissions(), ownerOnly);
}

TEST_F(SettingsTest, NeverRecreatesAFileThatCannotBeRead) {
    QDir().mkpath(ini);  // there, but no readable file
    app.InitSystemIni(ini);
    EXPECT_TRUE(QFileInfo(ini).isDir());
    Load();  // every value its read default
    EXPECT_EQ(Text(g_systemSettings.RecordDisks), "C");
    EXPECT_EQ(Text(g_systemSettings.SnapshotPath), "C:\\Snapshots\\");
    EXPECT_EQ(g_systemSettings.ScrollInterval, 5);
    EXPECT_EQ(app.m_bShowDevice, 1);
}

TEST_F(SettingsTest, ReadsValuesIntoTheSettings) {
    struct Case {
        const char* lines;
        std::function<void(const CTarvikApp&)> check;
    } cases[] = {
        {"SnapshotPath=D:\\Pics",
         [](const CTarvikApp&) { EXPECT_EQ(Text(g_systemSettings.SnapshotPath), "D:\\Pics\\"); }},
        {"SnapshotPath=", [](const CTarvikApp&) { EXPECT_EQ(Text(g_systemSettings.SnapshotPath), "\\"); }},
        {"SystemUser=\nSystemPassword=",
         [](const CTarvikApp& a) {
             EXPECT_EQ(a.m_strSystemUser, "admin");
             EXPECT_EQ(a.m_strSystemPassword, "");
         }},
        {"SystemUser=b3BlcmF0b3I=\nSystemPassword=c2VjcmV0",
         [](const CTarvikApp& a) {
             EXPECT_EQ(a.m_strSystemUser, "operator");
             EXPECT_EQ(a.m_strSystemPassword, "secret");
         }},
        {"Destination=0", [](const CTarvikApp& a) { EXPECT_EQ(a.m_bLanMode, 1); }},
        {"Destination=-1", [](const CTarvikApp& a) { EXPECT_EQ(a.m_bLanMode, 0); }},
        {"Destination=1", [](const CTarvikApp& a) { EXPECT_EQ(a.m_bLanMode, 0); }},
        {"ShowDevice=2", [](const CTarvikApp& a) { EXPECT_EQ(a.m_bShowDevice, 0); }},
        {"ShowDevice=1", [](const CTarvikApp& a) { EXPECT_EQ(a.m_bShowDevice, 1); }},
        {"RecordDisks=CDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnop",
         [](const CTarvikApp&) { EXPECT_EQ(Text(g_systemSettings.RecordDisks).size(), 31); }},
        {"ScrollInterval=12\nEnableRGB=1\nLanguage=2",
         [](const CTarvikApp&) {
             EXPECT_EQ(g_systemSettings.ScrollInterval, 12);
             EXPECT_EQ(g_systemSettings.EnableRGB, 1);
             EXPECT_EQ(g_systemSettings.Language, 2);
         }},
    };
    for (const Case& c : cases) {
        WriteSystemIni(QStringLiteral("[SYSTEM]\n%1\n[USER]\n").arg(c.lines));
        Load();
        c.check(app);
    }
}

TEST_F(SettingsTest, ReadsTheUserSection) {
    WriteSystemIni(QStringLiteral("[USER]\nRememberPassword=1\nAutoLogin=1\nName=am9obg==\nPassword=\n"
                                  "ScreenNum=16\nPointStart=%1\nPointStop=-1\n")
                       .arg(static_cast<int>(0xFFFE0064)));
    Load();
    EXPECT_EQ(app.m_bRememberPassword, 1);
    EXPECT_EQ(app.m_bAutoLogin, 1);
    EXPECT_EQ(app.m_strUserName, "john");
    EXPECT_EQ(app.m_strUserPassword, "");
    EXPECT_EQ(app.m_nScreenNum, 16);
    EXPECT_EQ(app.m_ptStart.x, 100);
    EXPECT_EQ(app.m_ptStart.y, -2);
    EXPECT_EQ(app.m_ptStop.x, -1);
    EXPECT_EQ(app.m_ptStop.y, -1);
}

class LanguageTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    void SetUp() override {
        theApp.m_strAppDir = dir.path() + "/";
        theApp.m_strLanguageDir = theApp.m_strAppDir + "language\\";
        QDir().mkpath(dir.path() + "/language");
        theApp.InitLanguageIni(theApp.m_strAppDir + "language.ini");
    }
    QString Eng() { return dir.path() + "/language/language.eng"; }
};

TEST_F(LanguageTest, DeploysTheBuiltInFilesWhenTheirVersionDiffers) {
    theApp.DeployLanguageFiles();
    CIniFile eng(Eng());
    EXPECT_EQ(eng.GetText("TEXT", "Version"), IDS_APP_VERSION);
    EXPECT_EQ(eng.GetText("TEXT", "Name"), "English");
    EXPECT_EQ(CIniFile(dir.path() + "/language/language.chs").GetText("TEXT", "Name"),
              QString::fromUtf8("简体中文"));

    // An edit survives while the version matches ...
    eng.WriteString("TEXT", "DLGMAIN_BUTTON_EXIT", "Leave");
    theApp.DeployLanguageFiles();
    EXPECT_EQ(eng.GetText("TEXT", "DLGMAIN_BUTTON_EXIT"), "Leave");
    // ... and is replaced once the version differs.
    eng.WriteString("TEXT", "Version", "4.4.1");
    theApp.DeployLanguageFiles();
    EXPECT_NE(eng.GetText("TEXT", "DLGMAIN_BUTTON_EXIT"), "Leave");
    // A deleted file comes back.
    QFile::remove(Eng());
    theApp.DeployLanguageFiles();
    EXPECT_EQ(CIniFile(Eng()).GetText("TEXT", "Version"), IDS_APP_VERSION);
}

TEST_F(LanguageTest, LooksTextsUpInTheActiveFileWithEnglishDefaults) {
    theApp.DeployLanguageFiles();
    theApp.m_iniLanguage.SetPath(theApp.ResolveLanguageFile(1));
    EXPECT_EQ(GetLanguageText("TEXT_THAT_IS_NOT_THERE", "Fallback"), "Fallback");
    QString first = GetLanguageText("DLGMAIN_BUTTON_EXIT", "Exit");
    QString second = GetLanguageText("DLGMAIN_BUTTON_SETUP", "Setup");
    EXPECT_NE(first, "Exit");  // the simplified Chinese text
    EXPECT_NE(first, second);  // each lookup returns its own copy

    theApp.m_iniLanguage.SetPath(theApp.ResolveLanguageFile(7));  // no such section
    EXPECT_EQ(GetLanguageText("DLGMAIN_BUTTON_EXIT", "Exit"), "Exit");
    EXPECT_EQ(GetLanguageText("DLGSETUP_TAB_0"), "");
}

TEST_F(LanguageTest, AppliesThePathRule) {
    CIniFile ini(theApp.m_strAppDir + "language.ini");
    ini.WriteString("3", "File", "..\\x.lng");
    ini.WriteString("4", "File", "/opt/lang/de.lng");
    EXPECT_EQ(theApp.ResolveLanguageFile(0), theApp.m_strAppDir + "language\\language.eng");
    EXPECT_EQ(theApp.ResolveLanguageFile(3), theApp.m_strAppDir + "\\x.lng");
    EXPECT_EQ(theApp.ResolveLanguageFile(4), "/opt/lang/de.lng");
    EXPECT_EQ(theApp.ResolveLanguageFile(5), "");
}

TEST_F(LanguageTest, BuildsTheListOfRegisteredLanguages) {
    theApp.DeployLanguageFiles();
    CIniFile ini(theApp.m_strAppDir + "language.ini");
    ini.WriteInt("LANGUAGE", "Number", 4);  // index 3 has no file: it still gets a record
    ASSERT_EQ(BuildLanguageList(), 0);
    ASSERT_EQ(g_languageList.count, 4);
    QStringList names;
    for (DVRLanguageInfo* l = g_languageList.head; l != nullptr; l = l->next)
        names << Text(l->name);
    EXPECT_EQ(names,
              (QStringList{"English", QString::fromUtf8("简体中文"), QString::fromUtf8("繁體中文"), ""}));
    // A damaged count builds no more records than a language file list can hold.
    for (int number : {LANGUAGE_LIST_MAX + 1, 2000000000}) {
        ini.WriteInt("LANGUAGE", "Number", number);
        ASSERT_EQ(BuildLanguageList(), 0);
        EXPECT_EQ(g_languageList.count, LANGUAGE_LIST_MAX) << number;
    }
    ini.WriteInt("LANGUAGE", "Number", 0);
    BuildLanguageList();
    EXPECT_EQ(g_languageList.count, 0);
    EXPECT_EQ(g_languageList.head, nullptr);
}

TEST(DefaultLanguage, FollowsTheLocale) {
    struct Case {
        const char* lang;
        int language;
    } cases[] = {{"zh_CN.UTF-8", 1}, {"zh_SG", 1},       {"zh_TW.UTF-8", 2},
                 {"zh_HK.Big5", 2},  {"en_US.UTF-8", 0}, {"C", 0}};
    qunsetenv("LC_ALL");
    qunsetenv("LC_MESSAGES");
    QByteArray saved = qgetenv("LANG");
    for (const Case& c : cases) {
        qputenv("LANG", c.lang);
        EXPECT_EQ(DefaultLanguageFromLocale(), c.language) << c.lang;
    }
    qputenv("LANG", saved);
}

}  // namespace
