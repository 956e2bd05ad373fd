// The rules of the settings page's and the record dialogs' fields, without windows: the record field
// limits and their order, the port and interval readings, what Set collects (path ending, clamping,
// unchanged entries), language formats falling back to the English default, and the status page's time.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstring>

#include "core/language_format.h"
#include "core/tarvik_app.h"
#include "core/text_files.h"
#include "dvr/device_list_node.h"
#include "tests/scoped_env.h"
#include "ui/dialogs/config_settings.h"
#include "ui/dialogs/dlg_status_pages.h"
#include "ui/dialogs/node_fields.h"

namespace {

TEST(NodeFields, LimitsAndTheirOrder) {
    const QString longName(256, u'n');
    const QString longHost(64, u'h');
    // 189 bytes are the most whose Base64 text (252 characters) fits a 255-character field.
    const QString fitCredential(189, u'u');
    const QString longCredential(190, u'u');
    struct Case {
        const char* title;
        NodeFieldEntry entry;
        bool dvr;
        int fault;
    };
    const Case cases[] = {
        {"area with a name", {"Yard", "", "", "", ""}, false, NODE_FIELDS_OK},
        {"area without a name", {"", "", "", "", ""}, false, NODE_FIELD_NAME_EMPTY},
        {"area name of 255", {QString(255, u'n'), "", "", "", ""}, false, NODE_FIELDS_OK},
        {"area name of 256", {longName, "", "", "", ""}, false, NODE_FIELD_NAME_TOO_LONG},
        {"DVR complete", {"Gate", "127.0.0.2", "9000", "admin", "pw"}, true, NODE_FIELDS_OK},
        {"DVR without credentials", {"Gate", "127.0.0.2", "0", "", ""}, true, NODE_FIELDS_OK},
        {"DVR without address", {"Gate", "", "9000", "", ""}, true, NODE_FIELD_HOST_EMPTY},
        {"name checked before host", {"", "", "", "", ""}, true, NODE_FIELD_NAME_EMPTY},
        {"host of 63", {"Gate", QString(63, u'h'), "", "", ""}, true, NODE_FIELDS_OK},
        {"host of 64", {"Gate", longHost, "", "", ""}, true, NODE_FIELD_HOST_TOO_LONG},
        {"user of 189 bytes", {"Gate", "h", "", fitCredential, fitCredential}, true, NODE_FIELDS_OK},
        {"user of 190 bytes", {"Gate", "h", "", longCredential, ""}, true, NODE_FIELD_USER_TOO_LONG},
        {"password of 190 bytes", {"Gate", "h", "", "", longCredential}, true, NODE_FIELD_PASSWORD_TOO_LONG},
        {"user checked before password",
         {"Gate", "h", "", longCredential, longCredential},
         true,
         NODE_FIELD_USER_TOO_LONG},
    };
    ScopedEnv westernPage("VISTAL_CODEPAGE", "CP1252");
    for (const Case& c : cases)
        EXPECT_EQ(CheckNodeFields(c.entry, c.dvr), c.fault) << c.title;

    // A credential with a character the code page lacks would be stored and sent as '?': refused as the
    // setup pages refuse it, user before password, after the length.
    const QString han = QStringLiteral("\u5f20\u4e09");
    const Case unsendable[] = {
        {"user the code page lacks", {"Gate", "h", "", han, "pw"}, true, NODE_FIELD_USER_NOT_IN_CODE_PAGE},
        {"password the code page lacks",
         {"Gate", "h", "", "admin", han},
         true,
         NODE_FIELD_PASSWORD_NOT_IN_CODE_PAGE},
        {"user before password", {"Gate", "h", "", han, han}, true, NODE_FIELD_USER_NOT_IN_CODE_PAGE},
        {"Latin-1 letters fit",
         {"Gate", "h", "", QStringLiteral("J\u00fcrgen"), QStringLiteral("\u00e9t\u00e9")},
         true,
         NODE_FIELDS_OK},
        {"an area has no credentials", {"Yard", "", "", han, han}, false, NODE_FIELDS_OK},
    };
    for (const Case& c : unsendable)
        EXPECT_EQ(CheckNodeFields(c.entry, c.dvr), c.fault) << c.title;

    // In a double-byte code page the limit counts bytes, not characters.
    ScopedEnv codePage("VISTAL_CODEPAGE", "CP936");
    EXPECT_EQ(CheckNodeFields({"Gate", "h", "", han, han}, true), NODE_FIELDS_OK);
    const QString wide94(94, QChar(0x4e2d));
    const QString wide95(95, QChar(0x4e2d));
    EXPECT_EQ(CheckNodeFields({"Gate", "h", "", wide94, wide94}, true), NODE_FIELDS_OK);
    EXPECT_EQ(CheckNodeFields({"Gate", "h", "", wide95, ""}, true), NODE_FIELD_USER_TOO_LONG);
    EXPECT_EQ(CheckNodeFields({"Gate", "h", "", "", wide95}, true), NODE_FIELD_PASSWORD_TOO_LONG);
}

TEST(NodeFields, PortAndWhatIsWritten) {
    const struct {
        const char* text;
        int port;
    } ports[] = {
        {"9000", 9000},
        {"0", DEFAULT_DVR_PORT},
        {"", DEFAULT_DVR_PORT},
        {"-5", DEFAULT_DVR_PORT},
        {"81abc", 81},
        {" 82", 82},
        {"99999999999999", DEFAULT_DVR_PORT},
    };
    for (const auto& p : ports)
        EXPECT_EQ(ParseNodePort(QString::fromLatin1(p.text)), p.port) << p.text;

    // An area takes only its name; a DVR every field, credentials in plain text.
    DeviceTreeNode node{};
    node.port = 1234;
    const NodeFieldEntry entry{"Gate", "127.0.0.2", "0", "admin", "p w"};
    ApplyNodeFields(entry, false, &node);
    EXPECT_EQ(NodeText(node.name), QStringLiteral("Gate"));
    EXPECT_EQ(node.host[0], 0);
    EXPECT_EQ(node.port, 1234);
    ApplyNodeFields(entry, true, &node);
    EXPECT_EQ(NodeText(node.host), QStringLiteral("127.0.0.2"));
    EXPECT_EQ(node.port, DEFAULT_DVR_PORT);
    EXPECT_EQ(NodeText(node.user), QStringLiteral("admin"));
    EXPECT_EQ(NodeText(node.password), QStringLiteral("p w"));
}

// The settings as a fresh system.ini gives them.
SystemSettings LoadedSettings() {
    SystemSettings s;
    std::memset(&s, 0, sizeof s);
    const QString disks = QStringLiteral("C");
    const QString dir = QStringLiteral("Records");
    const QString snapshots = QStringLiteral("C:\\Snapshots\\");
    std::memcpy(s.RecordDisks, disks.utf16(), disks.size() * 2);
    std::memcpy(s.RecordDir, dir.utf16(), dir.size() * 2);
    std::memcpy(s.SnapshotPath, snapshots.utf16(), snapshots.size() * 2);
    s.DiskFullAction = 1;
    s.PopupMessage = 1;
    s.ScrollInterval = 5;
    s.reserved[3] = 77;  // values between the collected ones are left alone
    return s;
}

ConfigControls ControlsOf(const SystemSettings& s) {
    ConfigControls c;
    c.recordDisks = QString::fromUtf16(s.RecordDisks);
    c.recordDir = QString::fromUtf16(s.RecordDir);
    c.snapshotPath = QString::fromUtf16(s.SnapshotPath);
    c.diskFullAction = s.DiskFullAction;
    c.popupMessage = s.PopupMessage;
    c.language = s.Language;
    c.scrollInterval = QString::number(s.ScrollInterval);
    return c;
}

TEST(ConfigSettings, WhatSetCollects) {
    struct Case {
        const char* title;
        void (*edit)(ConfigControls*);
        int result;
        const char* snapshotPath;  // after the call
        int interval;
        int restart, language;
    };
    const Case cases[] = {
        {"nothing changed", [](ConfigControls*) {}, CONFIG_UNCHANGED, "C:\\Snapshots\\", 5, 0, 0},
        {"no record disk",
         [](ConfigControls* c) {
             c->recordDisks.clear();
             c->scrollInterval = "9";
         },
         CONFIG_NO_DISK, "C:\\Snapshots\\", 5, 0, 0},
        {"interval 0 stores 1", [](ConfigControls* c) { c->scrollInterval = "0"; }, CONFIG_CHANGED,
         "C:\\Snapshots\\", 1, 0, 0},
        {"interval 45 stores 30", [](ConfigControls* c) { c->scrollInterval = "45"; }, CONFIG_CHANGED,
         "C:\\Snapshots\\", 30, 0, 0},
        {"interval 7 and letters stores 7", [](ConfigControls* c) { c->scrollInterval = "7abc"; },
         CONFIG_CHANGED, "C:\\Snapshots\\", 7, 0, 0},
        {"interval of letters stores 1", [](ConfigControls* c) { c->scrollInterval = "x"; }, CONFIG_CHANGED,
         "C:\\Snapshots\\", 1, 0, 0},
        {"huge interval stores 30", [](ConfigControls* c) { c->scrollInterval = "99999999999999999"; },
         CONFIG_CHANGED, "C:\\Snapshots\\", 30, 0, 0},
        {"snapshot path gets its backslash", [](ConfigControls* c) { c->snapshotPath = "D:\\Pictures"; },
         CONFIG_CHANGED, "D:\\Pictures\\", 5, 0, 0},
        {"the same path without backslash is no change",
         [](ConfigControls* c) { c->snapshotPath = "C:\\Snapshots"; }, CONFIG_UNCHANGED, "C:\\Snapshots\\", 5,
         0, 0},
        {"empty snapshot path becomes what the loader makes of it",
         [](ConfigControls* c) { c->snapshotPath.clear(); }, CONFIG_CHANGED, "\\", 5, 0, 0},
        {"language change", [](ConfigControls* c) { c->language = 2; }, CONFIG_CHANGED, "C:\\Snapshots\\", 5,
         0, 1},
        {"RGB needs a restart", [](ConfigControls* c) { c->enableRGB = 1; }, CONFIG_CHANGED,
         "C:\\Snapshots\\", 5, 1, 0},
    };
    for (const Case& c : cases) {
        SystemSettings settings = LoadedSettings();
        ConfigControls controls = ControlsOf(settings);
        c.edit(&controls);
        ConfigChange change;
        EXPECT_EQ(CollectConfigSettings(controls, &settings, &change), c.result) << c.title;
        EXPECT_EQ(QString::fromUtf16(settings.SnapshotPath), QString::fromLatin1(c.snapshotPath)) << c.title;
        EXPECT_EQ(settings.ScrollInterval, c.interval) << c.title;
        EXPECT_EQ(settings.reserved[3], 77) << c.title;
        if (c.result == CONFIG_CHANGED) {
            EXPECT_EQ(change.restart, c.restart) << c.title;
            EXPECT_EQ(change.language, c.language) << c.title;
        }
    }
}

TEST(ConfigSettings, LongTextsAreCutToTheirFields) {
    SystemSettings settings = LoadedSettings();
    ConfigControls controls = ControlsOf(settings);
    controls.recordDisks = QString(40, u'D');
    controls.recordDir = QString(300, u'r');
    controls.snapshotPath = QString(300, u's');
    ConfigChange change;
    ASSERT_EQ(CollectConfigSettings(controls, &settings, &change), CONFIG_CHANGED);
    EXPECT_EQ(QString::fromUtf16(settings.RecordDisks).size(), 31);
    EXPECT_EQ(QString::fromUtf16(settings.RecordDir).size(), 255);
    // No room is left for the backslash: the path is kept as it is, terminated.
    EXPECT_EQ(QString::fromUtf16(settings.SnapshotPath), QString(255, u's'));
}

// What Set keeps in memory is what the next start loads from system.ini.
TEST(ConfigSettings, SnapshotPathInMemoryIsWhatTheNextStartLoads) {
    QTemporaryDir dir;
    theApp.m_iniSystem.SetPath(dir.filePath(QStringLiteral("system.ini")));
    for (const char* typed : {"", "D:\\Pictures", "D:\\Pictures\\", "\\"}) {
        SystemSettings settings = LoadedSettings();
        ConfigControls controls = ControlsOf(settings);
        controls.snapshotPath = QString::fromLatin1(typed);
        ConfigChange change;
        (void)CollectConfigSettings(controls, &settings, &change);
        SaveConfigSettings(theApp.m_iniSystem, settings);
        theApp.LoadSystemSettings();
        EXPECT_EQ(QString::fromUtf16(g_systemSettings.SnapshotPath),
                  QString::fromUtf16(settings.SnapshotPath))
            << typed;
    }
    theApp.m_iniSystem.SetPath(QString());
}

TEST(LanguageFormat, ConversionsAndFallback) {
    const struct {
        const char* format;
        const char* conversions;
    } signatures[] = {
        {"Current used: %d%%", "d "},
        {"Current used: %d%%, free space: %s", "d s "},
        {"%5.2f %ld %-3s", "f ld s "},
        {"%*d", "*d "},
        {"100%", "!"},
        {"%l", "!"},
        {"plain", ""},
        // Width and precision are bound: a translated text never pads by more than a few dozen.
        {"%64d %.64s", "d s "},
        {"%65d", "!"},
        {"%2000000000d", "!"},
        {"%.99999999999s", "!"},
        {"%-0000000000012d", "d "},
    };
    for (const auto& s : signatures)
        EXPECT_EQ(FormatConversions(QString::fromLatin1(s.format)), QString::fromLatin1(s.conversions))
            << s.format;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("language.txt"));
    ASSERT_TRUE(ReplaceUtf16File(path, QStringLiteral("[TEXT]\n"
                                                      "GOOD=Benutzt: %d%%, frei: %s\n"
                                                      "SWAPPED=Frei: %s, benutzt: %d%%\n"
                                                      "EXTRA=%d%% %s %s\n"
                                                      "NONE=kein Wert\n"
                                                      "HUGE=Benutzt: %2000000000d%%, frei: %s\n")));
    theApp.m_iniLanguage.SetPath(path);
    const QString english = QStringLiteral("Current used: %d%%, free space: %s");
    const struct {
        const char* key;
        const char* shown;
    } cases[] = {
        {"GOOD", "Benutzt: 57%, frei: 12 GB"},
        {"SWAPPED", "Current used: 57%, free space: 12 GB"},
        {"EXTRA", "Current used: 57%, free space: 12 GB"},
        {"NONE", "Current used: 57%, free space: 12 GB"},
        {"HUGE", "Current used: 57%, free space: 12 GB"},
        {"MISSING", "Current used: 57%, free space: 12 GB"},
    };
    for (const auto& c : cases) {
        QString format = GetLanguageFormat(QString::fromLatin1(c.key), english);
        EXPECT_EQ(FormatWithIntAndText(format, 57, QStringLiteral("12 GB")), QString::fromUtf8(c.shown))
            << c.key;
    }
    theApp.m_iniLanguage.SetPath(QString());
}

TEST(StatusTime, ZoneOffsetHours) {
    const QDateTime local(QDate(2026, 12, 10), QTime(17, 8, 12));
    const struct {
        long offsetWest;
        const char* text;
    } cases[] = {
        {-28800, "2026/12/10 17:08:12 GMT+08"},
        {18000, "2026/12/10 17:08:12 GMT-05"},
        {0, "2026/12/10 17:08:12 GMT+00"},
        {-19800, "2026/12/10 17:08:12 GMT+05"},  // UTC+05:30: minutes dropped
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatStatusTime(local, c.offsetWest), QString::fromLatin1(c.text)) << c.offsetWest;
}

}  // namespace
