#include <QFile>
#include <cstdio>

#include "core/app_version.h"
#include "core/base64.h"
#include "core/system_settings.h"
#include "core/tarvik_app.h"
#include "core/text_files.h"

namespace {

// The text of a new system.ini.
const char SYSTEM_INI_DEFAULT_TEXT[] =
    "[SYSTEM]\n"
    "Version=0.0.1\n"
    "\n"
    "Destination=1\n"
    "WanLine=0\n"
    "SystemUser=\n"
    "SystemPassword=\n"
    "Language=0\n"
    "\n"
    "RecordDisks=C\n"
    "RecordDir=Records\n"
    "SnapshotPath=C:\\Snapshots\\\n"
    "DiskFullAction=1\n"
    "PopupMessage=1\n"
    "ScrollInterval=5\n"
    "EnableBeep=0\n"
    "Autorun=0\n"
    "EnableUpdate=0\n"
    "EnableRGB=0\n"
    "ShowDevice=0\n"
    "\n"
    "[USER]\n"
    "RememberPassword=0\n"
    "AutoLogin=0\n"
    "Name=\n"
    "Password=\n"
    "ScreenNum=0\n"
    "PointStart=0\n"
    "PointStop=0\n"
    "\n";
static_assert(sizeof(SYSTEM_INI_DEFAULT_TEXT) - 1 == 352, "system.ini default text");

struct UpgradeKey {
    const char* section;
    const char* key;
    const char* upgradeDefault;
};

// Every key an upgrade writes back, in this order, with the value it gets when it is missing.
constexpr UpgradeKey kUpgradeKeys[] = {
    {"SYSTEM", "Destination", "1"},
    {"SYSTEM", "WanLine", "0"},
    {"SYSTEM", "SystemUser", ""},
    {"SYSTEM", "SystemPassword", ""},
    {"SYSTEM", "Language", "0"},
    {"SYSTEM", "RecordDisks", "C"},
    {"SYSTEM", "RecordDir", "Records"},
    {"SYSTEM", "SnapshotPath", "C:\\Snapshots\\"},
    {"SYSTEM", "DiskFullAction", "1"},
    {"SYSTEM", "PopupMessage", "1"},
    {"SYSTEM", "ScrollInterval", "5"},
    {"SYSTEM", "EnableBeep", "0"},
    {"SYSTEM", "Autorun", "0"},
    {"SYSTEM", "EnableUpdate", "0"},
    {"SYSTEM", "EnableRGB", "0"},
    {"SYSTEM", "ShowDevice", "1"},
    {"USER", "RememberPassword", ""},
    {"USER", "AutoLogin", ""},
    {"USER", "Name", ""},
    {"USER", "Password", ""},
    {"USER", "ScreenNum", ""},
    {"USER", "PointStart", ""},
    {"USER", "PointStop", ""},
};

// Three numbers joined by dots; components that do not parse stay 0.
void ParseVersion(const QString& text, int v[3]) {
    v[0] = v[1] = v[2] = 0;
    std::sscanf(text.toLatin1().constData(), "%d.%d.%d", &v[0], &v[1], &v[2]);
}

PointInt16 PointFromInt(int value) {
    PointInt16 p;
    p.x = static_cast<int16_t>(value & 0xFFFF);
    p.y = static_cast<int16_t>((static_cast<uint32_t>(value) >> 16) & 0xFFFF);
    return p;
}

void DecodeCredential(CIniFile& ini, const char* section, const char* key, QString* member) {
    QString decoded;
    if (Base64ToWide(ini.GetText(section, key), &decoded))
        *member = decoded;
}

}  // namespace

void CTarvikApp::InitSystemIni(const QString& path) {
    const QString programVersion = QString::fromLatin1(IDS_APP_VERSION);
    CIniFile ini(path);
    // The file holds the local account's and the user's passwords (Base64, not encrypted): only its owner
    // may read it. A file left readable by others is tightened when it is next written.
    SetProfileOwnerOnly(path);
    // Created only when no file of that name exists: a file that is there but cannot be read is kept.
    if (!PathExists(path)) {
        if (!CreateUtf16FileIfAbsent(path, QString::fromLatin1(SYSTEM_INI_DEFAULT_TEXT), 0600))
            return;
        ini.WriteInt("SYSTEM", "Language", DefaultLanguageFromLocale());
        return;
    }
    int program[3], stored[3];
    ParseVersion(programVersion, program);
    ParseVersion(ini.GetText("SYSTEM", "Version", "0.0.0"), stored);
    if (program[0] <= stored[0] && program[1] <= stored[1] && program[2] <= stored[2])
        return;

    // One write of the file for the whole upgrade: keys that keep their value keep their lines.
    std::vector<ProfileEntry> entries{{"SYSTEM", "Version", programVersion}};
    for (const UpgradeKey& k : kUpgradeKeys) {
        entries.push_back(ProfileEntry{QString::fromLatin1(k.section), QString::fromLatin1(k.key),
                                       ini.GetText(k.section, k.key, QString::fromLatin1(k.upgradeDefault))});
    }
    ini.WriteStrings(entries);
}

void CTarvikApp::LoadSystemSettings() {
    CIniFile& ini = m_iniSystem;
    SystemSettings& s = g_systemSettings;
    ini.CopyString(32, s.RecordDisks, "SYSTEM", "RecordDisks", "C");
    ini.CopyString(256, s.RecordDir, "SYSTEM", "RecordDir", "Records");
    ini.CopyString(256, s.SnapshotPath, "SYSTEM", "SnapshotPath", "C:\\Snapshots\\");
    // A path of 255 characters has no room for the backslash and is kept as it is.
    EndPathWithBackslash(s.SnapshotPath, 256);
    s.DiskFullAction = ini.GetInt("SYSTEM", "DiskFullAction", 1);
    s.PopupMessage = ini.GetInt("SYSTEM", "PopupMessage", 1);
    s.ScrollInterval = ini.GetInt("SYSTEM", "ScrollInterval", 5);
    s.Language = ini.GetInt("SYSTEM", "Language", 0);
    s.EnableBeep = ini.GetInt("SYSTEM", "EnableBeep", 0);
    s.Autorun = ini.GetInt("SYSTEM", "Autorun", 0);
    s.EnableUpdate = ini.GetInt("SYSTEM", "EnableUpdate", 0);
    s.EnableRGB = ini.GetInt("SYSTEM", "EnableRGB", 0);

    m_bLanMode = ini.GetInt("SYSTEM", "Destination", 1) == 0 ? 1 : 0;
    m_nWanLine = ini.GetInt("SYSTEM", "WanLine", 0);
    m_bShowDevice = ini.GetInt("SYSTEM", "ShowDevice", 1) == 1 ? 1 : 0;
    m_bRememberPassword = ini.GetInt("USER", "RememberPassword", 0);
    m_bAutoLogin = ini.GetInt("USER", "AutoLogin", 0);

    m_strUserName.clear();
    m_strUserPassword.clear();
    m_strSystemUser = QStringLiteral("admin");
    m_strSystemPassword.clear();
    DecodeCredential(ini, "USER", "Name", &m_strUserName);
    DecodeCredential(ini, "USER", "Password", &m_strUserPassword);
    DecodeCredential(ini, "SYSTEM", "SystemUser", &m_strSystemUser);
    DecodeCredential(ini, "SYSTEM", "SystemPassword", &m_strSystemPassword);
    m_strWanUser.clear();
    m_strWanPassword.clear();

    m_nScreenNum = ini.GetInt("USER", "ScreenNum", 0);
    m_ptStart = PointFromInt(ini.GetInt("USER", "PointStart", 0));
    m_ptStop = PointFromInt(ini.GetInt("USER", "PointStop", 0));
}
