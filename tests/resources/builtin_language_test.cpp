#include <gtest/gtest.h>

#include <QString>
#include <QStringDecoder>
#include <algorithm>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "resources/language/builtin_language.h"

namespace {

// The text keys that the client looks up by a literal name, in the order of the built-in files. This table
// is the contract between the code that looks texts up and the built-in files.
const char* const kLiteralKeys[] = {
    // VISTAL
    "VISTAL_TITLE",
    "VISTAL_TITLE_LOCKED",
    // MENU
    "MENU_TRAY_SHOW",
    "MENU_TRAY_EXIT",
    "MENU_LOGOUT_LOCK",
    "MENU_LOGOUT_UNLOCK",
    "MENU_LOGOUT_SWITCH",
    // SYSTEM
    "SYSTEM_MSG_NO_DVR",
    "SYSTEM_MSG_NO_PRIVILEGE",
    "SYSTEM_MSG_CONFIG_SAVED",
    // DLGMAIN
    "DLGMAIN_BUTTON_OPENALL",
    "DLGMAIN_BUTTON_CLOSEALL",
    "DLGMAIN_BUTTON_NEAR",
    "DLGMAIN_BUTTON_FAR",
    "DLGMAIN_BUTTON_IN",
    "DLGMAIN_BUTTON_OUT",
    "DLGMAIN_BUTTON_OPEN",
    "DLGMAIN_BUTTON_CLOSE",
    "DLGMAIN_BUTTON_PRESETSET",
    "DLGMAIN_BUTTON_PRESETCLR",
    "DLGMAIN_BUTTON_PRESETGOTO",
    "DLGMAIN_BUTTON_UP",
    "DLGMAIN_BUTTON_DOWN",
    "DLGMAIN_BUTTON_LEFT",
    "DLGMAIN_BUTTON_RIGHT",
    "DLGMAIN_BUTTON_STOP",
    "DLGMAIN_BUTTON_EXIT",
    "DLGMAIN_BUTTON_MINIMIZE",
    "DLGMAIN_BUTTON_LOGIN",
    "DLGMAIN_BUTTON_LOGOUT",
    "DLGMAIN_BUTTON_SNAPSHOT",
    "DLGMAIN_BUTTON_REPALY",
    "DLGMAIN_BUTTON_SETUP",
    "DLGMAIN_BUTTON_STATUS",
    "DLGMAIN_BUTTON_MUTE",
    "DLGMAIN_BUTTON_SCAN",
    "DLGMAIN_BUTTON_SCROLL",
    "DLGMAIN_BUTTON_NEXT",
    "DLGMAIN_BUTTON_PREV",
    "DLGMAIN_BUTTON_FULLSCREEN",
    "DLGMAIN_COMBO_SCREEN_1",
    "DLGMAIN_COMBO_SCREEN_4",
    "DLGMAIN_COMBO_SCREEN_6",
    "DLGMAIN_COMBO_SCREEN_8",
    "DLGMAIN_COMBO_SCREEN_9",
    "DLGMAIN_COMBO_SCREEN_16",
    "DLGMAIN_COMBO_SCREEN_25",
    "DLGMAIN_COMBO_SCREEN_36",
    "DLGMAIN_COMBO_SCREEN_49",
    "DLGMAIN_COMBO_SCREEN_64",
    "DLGMAIN_EDIT_PRESET",
    "DLGMAIN_MENU_FULLSCREEN",
    "DLGMAIN_MENU_FULLEXIT",
    "DLGMAIN_MENU_STARTRECORD",
    "DLGMAIN_MENU_STOPRECORD",
    "DLGMAIN_MENU_STARTAUTOSCAN",
    "DLGMAIN_MENU_STOPAUTOSCAN",
    "DLGMAIN_MSG_CONFIRMEXIT",
    "DLGMAIN_MSG_DISKFULL",
    // DLGPLAYBACK
    "DLGPLAYBACK_STATIC_CHANNEL",
    "DLGPLAYBACK_STATIC_BEGINTIME",
    "DLGPLAYBACK_STATIC_ENDTIME",
    "DLGPLAYBACK_BUTTON_SEARCH",
    "DLGPLAYBACK_BUTTON_PLAY",
    "DLGPLAYBACK_BUTTON_PAUSE",  // looked up as DLGPLAYBACK_BUTTON_Pause; key names ignore case
    "DLGPLAYBACK_BUTTON_STOP",
    "DLGPLAYBACK_BUTTON_FRAME",
    "DLGPLAYBACK_BUTTON_FAST",
    "DLGPLAYBACK_BUTTON_SLOW",
    "DLGPLAYBACK_BUTTON_FORWARD",
    "DLGPLAYBACK_BUTTON_BACKWARD",
    "DLGPLAYBACK_BUTTON_MUTE",
    "DLGPLAYBACK_BUTTON_FULLSCREEN",
    "DLGPLAYBACK_BUTTON_SNAPSHOT",
    "DLGPLAYBACK_BUTTON_DOWNLOAD",
    "DLGPLAYBACK_BUTTON_EXIT",
    "DLGPLAYBACK_COMBO_CHANNEL_0",
    "DLGPLAYBACK_MSG_SWITCHMODE",
    "DLGPLAYBACK_MSG_INVALID_INTERVAL",
    // DLGLOGIN
    "DLGLOGIN_TITLE_LOGIN",
    "DLGLOGIN_TITLE_LOGOUT",
    "DLGLOGIN_STATIC_USER",
    "DLGLOGIN_STATIC_PASSWORD",
    "DLGLOGIN_STATIC_DEST",
    "DLGLOGIN_COMBO_DEST_0",
    "DLGLOGIN_COMBO_DEST_1",
    "DLGLOGIN_CHECK_PASSWORD",
    "DLGLOGIN_CHECK_AUTOLOGIN",
    "DLGLOGIN_BUTTON_OK",
    "DLGLOGIN_BUTTON_CANCEL",
    "DLGLOGIN_MSG_SERVER_FAILED",
    "DLGLOGIN_MSG_LOGIN_FAILED",
    // DLGCHANNEL
    "DLGCHANNEL_TITLE",
    "DLGCHANNEL_LIST_CHANNELS",
    "DLGCHANNEL_BUTTON_OK",
    "DLGCHANNEL_BUTTON_CANCEL",
    // DLGSETUP
    "DLGSETUP_TITLE",
    // DLGSETUPSYSTEM
    "DLGSETUPSYSTEM_STATIC_RECORD_PARAMS",
    "DLGSETUPSYSTEM_STATIC_DISKS",
    "DLGSETUPSYSTEM_STATIC_RECORD_DIR",
    "DLGSETUPSYSTEM_STATIC_SNAPSHOT_PATH",
    "DLGSETUPSYSTEM_CHECK_FULLACTION",
    "DLGSETUPSYSTEM_CHECK_POPUPMESSAGE",
    "DLGSETUPSYSTEM_STATIC_SYSTEM_PARAMS",
    "DLGSETUPSYSTEM_STATIC_VIDEO_STANDARD",
    "DLGSETUPSYSTEM_STATIC_MUX_MODE",
    "DLGSETUPSYSTEM_STATIC_LANGUAGE",
    "DLGSETUPSYSTEM_STATIC_SCROLL_INTERVAL",
    "DLGSETUPSYSTEM_STATIC_ENABLE_BEEP",
    "DLGSETUPSYSTEM_STATIC_ENABLE_AUTORUN",
    "DLGSETUPSYSTEM_STATIC_ENABLE_UPDATE",
    "DLGSETUPSYSTEM_STATIC_RGBMODE",
    "DLGSETUPSYSTEM_LIST_DISKS_0",
    "DLGSETUPSYSTEM_LIST_DISKS_1",
    "DLGSETUPSYSTEM_LIST_DISKS_2",
    "DLGSETUPSYSTEM_LIST_DISKS_3",
    "DLGSETUPSYSTEM_COMBO_MUXMODE_0",
    "DLGSETUPSYSTEM_COMBO_MUXMODE_1",
    "DLGSETUPSYSTEM_BUTTON_ADD",
    "DLGSETUPSYSTEM_BUTTON_UPDATE",
    "DLGSETUPSYSTEM_BUTTON_OK",
    "DLGSETUPSYSTEM_BUTTON_CANCEL",
    "DLGSETUPSYSTEM_MSG_FILE_INVALID",
    "DLGSETUPSYSTEM_MSG_FILE_FOUND",
    "DLGSETUPSYSTEM_MSG_NEED_RESTART",
    "DLGSETUPSYSTEM_MSG_DISK_INVALID",
    // DLGSETUPUSER
    "DLGSETUPUSER_STATIC_USER_LIST",
    "DLGSETUPUSER_STATIC_USER_INFO",
    "DLGSETUPUSER_STATIC_NAME",
    "DLGSETUPUSER_STATIC_PASSWORD",
    "DLGSETUPUSER_STATIC_DESC",
    "DLGSETUPUSER_STATIC_PRIVILEGES",
    "DLGSETUPUSER_CHECK_VIEW",
    "DLGSETUPUSER_CHECK_PTZ",
    "DLGSETUPUSER_CHECK_RECORD",
    "DLGSETUPUSER_CHECK_ADMIN",
    "DLGSETUPUSER_CHECK_REMOTE",
    "DLGSETUPUSER_CHECK_EXIT",
    "DLGSETUPUSER_LIST_USER_0",
    "DLGSETUPUSER_LIST_USER_1",
    "DLGSETUPUSER_LIST_VCHANNELS",
    "DLGSETUPUSER_LIST_PCHANNELS",
    "DLGSETUPUSER_LIST_RCHANNELS",
    "DLGSETUPUSER_BUTTON_EDIT",
    "DLGSETUPUSER_BUTTON_ADD",
    "DLGSETUPUSER_BUTTON_DEL",
    "DLGSETUPUSER_BUTTON_CHECK",
    "DLGSETUPUSER_BUTTON_OK",
    "DLGSETUPUSER_BUTTON_CANCEL",
    "DLGSETUPUSER_MSG_USER_NULL",
    "DLGSETUPUSER_MSG_DEL_USER",
    "DLGSETUPUSER_MSG_USER_EXIST",
    "DLGSETUPUSER_MSG_MAX_USERNUM",
    "DLGSETUPUSER_MSG_PASSWORD2_FAILED",
    // DLGPASSWORD2
    "DLGPASSWORD2_TITLE_ADD",
    "DLGPASSWORD2_TITLE_EDIT",
    "DLGPASSWORD2_STATIC_USER",
    "DLGPASSWORD2_STATIC_PASSWORD",
    "DLGPASSWORD2_STATIC_PASSWORD2",
    "DLGPASSWORD2_BUTTON_OK",
    "DLGPASSWORD2_BUTTON_CANCEL",
    // DLGSETUPCHANNEL
    "DLGSETUPCHANNEL_STATIC_CHANNEL",
    "DLGSETUPCHANNEL_STATIC_OVERLAY_PARAM",
    "DLGSETUPCHANNEL_STATIC_NAME",
    "DLGSETUPCHANNEL_CHECK_OSDTITLE",
    "DLGSETUPCHANNEL_CHECK_OSDTIME",
    "DLGSETUPCHANNEL_STATIC_POSITION",
    "DLGSETUPCHANNEL_STATIC_OFFSET",
    "DLGSETUPCHANNEL_STATIC_FONT",
    "DLGSETUPCHANNEL_STATIC_COLOR",
    "DLGSETUPCHANNEL_STATIC_COLOR_PARAM",
    "DLGSETUPCHANNEL_STATIC_BRIGHTNESS",
    "DLGSETUPCHANNEL_STATIC_CONTRAST",
    "DLGSETUPCHANNEL_STATIC_HUE",
    "DLGSETUPCHANNEL_STATIC_SATURATION",
    "DLGSETUPCHANNEL_STATIC_NOTE",
    "DLGSETUPCHANNEL_BUTTON_DEFAULT",
    "DLGSETUPCHANNEL_BUTTON_OK",
    "DLGSETUPCHANNEL_BUTTON_SETALL",
    "DLGSETUPCHANNEL_BUTTON_SET_MASK",
    "DLGSETUPCHANNEL_BUTTON_CLEAR_MASK",
    "DLGSETUPCHANNEL_BUTTON_CANCEL",
    // DLGSETUPVIDEO
    "DLGSETUPVIDEO_STATIC_CHANNEL",
    "DLGSETUPVIDEO_STATIC_VIDEO_PARAM",
    "DLGSETUPVIDEO_STATIC_RESOLUTION",
    "DLGSETUPVIDEO_STATIC_VIDEO_QUALITY",
    "DLGSETUPVIDEO_STATIC_FRAMERATE",
    "DLGSETUPVIDEO_STATIC_RESOLUTION2",
    "DLGSETUPVIDEO_STATIC_VIDEO_QUALITY2",
    "DLGSETUPVIDEO_STATIC_FRAMERATE2",
    "DLGSETUPVIDEO_STATIC_AUDIO_PARAM",
    "DLGSETUPVIDEO_STATIC_SAMPLERATE",
    "DLGSETUPVIDEO_STATIC_BITS",
    "DLGSETUPVIDEO_STATIC_AUDIO_QUALITY",
    "DLGSETUPVIDEO_CHECK_AUDIO",
    "DLGSETUPVIDEO_BUTTON_OK",
    "DLGSETUPVIDEO_BUTTON_SETALL",
    "DLGSETUPVIDEO_BUTTON_CANCEL",
    // DLGSETUPCAMERA
    "DLGSETUPCAMERA_STATIC_CHANNEL",
    "DLGSETUPCAMERA_STATIC_CAMERA_PARAM",
    "DLGSETUPCAMERA_STATIC_TYPE",
    "DLGSETUPCAMERA_STATIC_PROTOCOL",
    "DLGSETUPCAMERA_STATIC_ADDRESS",  // looked up as DLGSETUPCAMERA_STATIC_Address
    "DLGSETUPCAMERA_STATIC_COM",
    "DLGSETUPCAMERA_STATIC_BAUDRATE",
    "DLGSETUPCAMERA_STATIC_DATABITS",
    "DLGSETUPCAMERA_STATIC_PARITY",
    "DLGSETUPCAMERA_STATIC_STOPBIT",
    "DLGSETUPCAMERA_STATIC_SPEED",
    "DLGSETUPCAMERA_STATIC_AUTOSCAN_PARAM",
    "DLGSETUPCAMERA_CHECK_LR",
    "DLGSETUPCAMERA_CHECK_UD",
    "DLGSETUPCAMERA_CHECK_IO",
    "DLGSETUPCAMERA_CHECK_NF",
    "DLGSETUPCAMERA_LIST_AUTOSCAN_0",
    "DLGSETUPCAMERA_LIST_AUTOSCAN_1",
    "DLGSETUPCAMERA_BUTTON_OK",
    "DLGSETUPCAMERA_BUTTON_SETALL",
    "DLGSETUPCAMERA_BUTTON_CANCEL",
    // DLGSETUPRECORD
    "DLGSETUPRECORD_STATIC_CHANNEL",
    "DLGSETUPRECORD_STATIC_RECORD_PARAM",
    "DLGSETUPRECORD_STATIC_TIME",
    "DLGSETUPRECORD_STATIC_RECORD_TYPE",
    "DLGSETUPRECORD_LIST_SCHEDULE_0",
    "DLGSETUPRECORD_LIST_SCHEDULE_1",
    "DLGSETUPRECORD_LIST_SCHEDULE_2",
    "DLGSETUPRECORD_LIST_SCHEDULE_3",
    "DLGSETUPRECORD_LIST_SCHEDULE_4",
    "DLGSETUPRECORD_BUTTON_EDIT",
    "DLGSETUPRECORD_BUTTON_OK",
    "DLGSETUPRECORD_BUTTON_SETALL",
    "DLGSETUPRECORD_BUTTON_CANCEL",
    // DLGSETUPALARM
    "DLGSETUPALARM_STATIC_CHANNEL",
    "DLGSETUPALARM_STATIC_ALARM_PARAM",
    "DLGSETUPALARM_STATIC_SENSITIVITY",
    "DLGSETUPALARM_CHECK_EMAIL",
    "DLGSETUPALARM_CHECK_MESSAGE",
    "DLGSETUPALARM_RADIO_MMS",
    "DLGSETUPALARM_RADIO_SMS",
    "DLGSETUPALARM_CHECK_VISTAL",
    "DLGSETUPALARM_STATIC_NOTE",
    "DLGSETUPALARM_BUTTON_CLEAR_MOTION",
    "DLGSETUPALARM_BUTTON_SAVE_MOTION",
    "DLGSETUPALARM_BUTTON_OK",
    "DLGSETUPALARM_BUTTON_SETALL",
    "DLGSETUPALARM_BUTTON_CANCEL",
    // DLGSETUPNETWORK
    "DLGSETUPNETWORK_STATIC_NETWORK_PARAM",
    "DLGSETUPNETWORK_STATIC_HOST_NAME",
    "DLGSETUPNETWORK_STATIC_HTTP_PORT",
    "DLGSETUPNETWORK_STATIC_LISTEN_PORT",
    "DLGSETUPNETWORK_STATIC_MAIL_TO",
    "DLGSETUPNETWORK_CHECK_ENABLE_WAN",
    "DLGSETUPNETWORK_STATIC_WAN_SERVER",
    "DLGSETUPNETWORK_STATIC_WAN_USER",
    "DLGSETUPNETWORK_STATIC_WAN_PASSWORD",
    "DLGSETUPNETWORK_BUTTON_OK",
    "DLGSETUPNETWORK_BUTTON_CANCEL",
    "DLGSETUPNETWORK_MSG_NEED_RESTART",
    // DLGSTATUS
    "DLGSTATUS_TITLE",
    // DLGSTATUSSYSTEM
    "DLGSTATUSSYSTEM_STATIC_SYSTEM_INFO",
    "DLGSTATUSSYSTEM_STATIC_OS_INFO",
    "DLGSTATUSSYSTEM_STATIC_CPU_INFO",
    "DLGSTATUSSYSTEM_STATIC_MEM_INFO",
    "DLGSTATUSSYSTEM_STATIC_MAINBOARD_INFO",
    "DLGSTATUSSYSTEM_STATIC_DISPLAYCARD_INFO",
    "DLGSTATUSSYSTEM_STATIC_NETWORKCARD_INFO",
    "DLGSTATUSSYSTEM_STATIC_SYSTEM_STATUS",
    "DLGSTATUSSYSTEM_STATIC_TIME_STATUS",
    "DLGSTATUSSYSTEM_STATIC_CPU_STATUS",
    "DLGSTATUSSYSTEM_STATIC_MEM_STATUS",
    "DLGSTATUSSYSTEM_STATIC_DISK_STATUS",
    "DLGSTATUSSYSTEM_STATIC_CPU_VALUE",
    "DLGSTATUSSYSTEM_STATIC_MEM_VALUE",
    "DLGSTATUSSYSTEM_STATIC_DISK_VALUE",
    "DLGSTATUSSYSTEM_BUTTON_IDCANCEL",
    // DLGSTATUSSOFTWARE
    "DLGSTATUSSOFTWARE_STATIC_VERSION_INFO",
    "DLGSTATUSSOFTWARE_STATIC_NAME",
    "DLGSTATUSSOFTWARE_STATIC_VERSION",
    "DLGSTATUSSOFTWARE_STATIC_DATE",
    "DLGSTATUSSOFTWARE_BUTTON_EXIT",
    // DLGMESSAGE
    "DLGMESSAGE_CHECK_SHOW",
    "DLGMESSAGE_BUTTON_OK",
    // DLGTREE
    "DLGTREE_STATIC_NODE",
    "DLGTREE_STATIC_ID",
    "DLGTREE_STATIC_NAME",
    "DLGTREE_STATIC_ADDRESS",
    "DLGTREE_STATIC_PORT",
    "DLGTREE_STATIC_USER",
    "DLGTREE_STATIC_PASSWORD",
    "DLGTREE_STATIC_NOTE",
    "DLGTREE_BUTTON_OK",
    "DLGTREE_BUTTON_CANCEL",
    "DLGTREE_MENU_LOAD_CONFIG",
    "DLGTREE_MENU_SAVE_CONFIG",
    "DLGTREE_MENU_SAVEAS",
    "DLGTREE_MENU_ADD",
    "DLGTREE_MENU_ADD_AREA",
    "DLGTREE_MENU_ADD_DVR",
    "DLGTREE_MENU_MODIFY",
    "DLGTREE_MENU_DELETE",
    "DLGTREE_MSG_CONFIG_NOTSAVED",
    // DLGDEVICE
    "DLGDEVICE_TITLE",
    "DLGDEVICE_LIST_DEVICE_0",
    "DLGDEVICE_LIST_DEVICE_1",
    "DLGDEVICE_LIST_DEVICE_2",
    "DLGDEVICE_LIST_DEVICE_3",
    "DLGDEVICE_LIST_DEVICE_4",
    "DLGDEVICE_CHECK_SHOW",
    "DLGDEVICE_BUTTON_SEARCH",
    "DLGDEVICE_BUTTON_ADD",
    "DLGDEVICE_BUTTON_EDIT",
    "DLGDEVICE_BUTTON_DELETE",
    "DLGDEVICE_BUTTON_OK",
    "DLGDEVICE_BUTTON_CANCEL",
    // DLGNODEAREA
    "DLGNODEAREA_TITLE",
    "DLGNODEAREA_STATIC_PARENT",
    "DLGNODEAREA_STATIC_NAME",
    "DLGNODEAREA_BUTTON_OK",
    "DLGNODEAREA_BUTTON_CANCEL",
    // DLGNODEDVR
    "DLGNODEDVR_TITLE",
    "DLGNODEDVR_STATIC_AREA",
    "DLGNODEDVR_STATIC_NAME",
    "DLGNODEDVR_STATIC_ADDRESS",
    "DLGNODEDVR_STATIC_PORT",
    "DLGNODEDVR_STATIC_USER",
    "DLGNODEDVR_STATIC_PASSWORD",
    "DLGNODEDVR_BUTTON_OK",
    "DLGNODEDVR_BUTTON_CANCEL",
    // DLGCONFIG
    "DLGCONFIG_BUTTON_DEVICE",
};

// Keys the client builds at run time from a prefix and a number 0 .. count - 1 (looked up without an
// English default, so each must be in every built-in file).
struct NumberedFamily {
    const char* prefix;
    int count;
};

const NumberedFamily kNumberedFamilies[] = {
    {"DLGSETUP_TAB_", 9},
    {"DLGSTATUS_TAB_", 6},
    {"DLGPLAYBACK_TAB_", 3},
    {"DLGSETUPALARM_COMBO_SENSITIVITY_", 5},
    {"DLGSETUPCAMERA_COMBO_TYPE_", 3},
    {"DLGSETUPCAMERA_COMBO_PROTOCOL_", 3},
    {"DLGSETUPCAMERA_COMBO_PARITY_", 3},
    {"DLGSETUPCHANNEL_COMBO_POSITION_", 4},
    {"DLGSETUPCHANNEL_COMBO_QUALITY_", 5},
    {"DLGSETUPRECORD_COMBO_RANGE_", 12},
    {"DLGSETUPRECORD_COMBO_TYPE_", 3},
};

// The note texts whose pages show every byte 0x08 as a line break.
const char* const kNoteKeys[] = {
    "DLGSETUPALARM_STATIC_NOTE",
    "DLGSETUPCHANNEL_STATIC_NOTE",
    "DLGTREE_STATIC_NOTE",
};

const char* const kLanguageNames[] = {"English", "简体中文", "繁體中文"};
constexpr int kLanguageCount = 3;

// The text lookup returns at most 259 UTF-16 code units.
constexpr qsizetype kMaxTextLength = 259;

struct TextRow {
    std::string key;
    std::string text;
};

struct LanguageFile {
    std::vector<std::string> header;  // the lines before the first text key
    std::vector<TextRow> rows;
};

// Splits a built-in text into its five header lines and its KEY=text rows; a row without "=" or with an
// empty key is kept with an empty key so that the checks report it.
LanguageFile ParseLanguageFile(std::string_view text) {
    LanguageFile file;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string line(text.substr(begin, end - begin));
        begin = end + 1;
        if (file.header.size() < 5) {
            file.header.push_back(line);
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos) {
            file.rows.push_back({"", line});
        } else {
            file.rows.push_back({line.substr(0, equals), line.substr(equals + 1)});
        }
    }
    return file;
}

std::vector<std::string> KeysOf(const LanguageFile& file) {
    std::vector<std::string> keys;
    for (const TextRow& row : file.rows) {
        keys.push_back(row.key);
    }
    return keys;
}

// The printf conversions of a text in order ("%d", "%s", "%%", "%02d", ...).
std::vector<std::string> FormatMarkers(std::string_view text) {
    std::vector<std::string> markers;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            continue;
        }
        size_t end = i + 1;
        while (end < text.size() &&
               std::string_view("-+ #0123456789.hlLqjzt").find(text[end]) != std::string_view::npos) {
            ++end;
        }
        markers.emplace_back(text.substr(i, std::min(end + 1, text.size()) - i));
        i = end;
    }
    return markers;
}

class BuiltinLanguageTest : public testing::Test {
protected:
    void SetUp() override {
        for (int index = 0; index < kLanguageCount; ++index) {
            const char* text = BuiltinLanguageText(index);
            ASSERT_NE(text, nullptr) << "language " << index;
            texts_[index] = text;
            files_[index] = ParseLanguageFile(texts_[index]);
        }
    }

    std::string_view texts_[kLanguageCount];
    LanguageFile files_[kLanguageCount];
};

TEST_F(BuiltinLanguageTest, OnlyTheThreeBuiltInLanguagesExist) {
    EXPECT_EQ(BuiltinLanguageText(-1), nullptr);
    EXPECT_EQ(BuiltinLanguageText(kLanguageCount), nullptr);
}

TEST_F(BuiltinLanguageTest, TextIsPlainUtf8WithHeaderAndLfLines) {
    for (int index = 0; index < kLanguageCount; ++index) {
        SCOPED_TRACE(kLanguageNames[index]);
        const std::string_view text = texts_[index];
        EXPECT_FALSE(text.starts_with("\xEF\xBB\xBF")) << "byte-order mark";
        EXPECT_EQ(text.find('\r'), std::string_view::npos);
        EXPECT_TRUE(text.ends_with('\n'));

        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString decoded = decoder(QByteArrayView(text.data(), qsizetype(text.size())));
        EXPECT_FALSE(decoder.hasError()) << "invalid UTF-8";

        const std::vector<std::string> header = {
            "[TEXT]", "Charset=unicode", std::string("Name=") + kLanguageNames[index], "Version=1.0.0", ""};
        EXPECT_EQ(files_[index].header, header);
    }
}

TEST_F(BuiltinLanguageTest, AllFilesHaveTheSameKeysInTheSameOrder) {
    const std::vector<std::string> english = KeysOf(files_[0]);
    for (int index = 1; index < kLanguageCount; ++index) {
        SCOPED_TRACE(kLanguageNames[index]);
        const std::vector<std::string> keys = KeysOf(files_[index]);
        EXPECT_EQ(keys.size(), english.size());
        const auto [first, other] = std::mismatch(english.begin(), english.end(), keys.begin(), keys.end());
        if (first != english.end() || other != keys.end()) {
            ADD_FAILURE() << "first difference at row " << (first - english.begin()) << ": English \""
                          << (first != english.end() ? *first : "") << "\", translation \""
                          << (other != keys.end() ? *other : "") << "\"";
        }
    }
}

TEST_F(BuiltinLanguageTest, KeysAreTheLookedUpKeysEachOnce) {
    std::map<std::string, int> count;
    for (const TextRow& row : files_[0].rows) {
        ++count[row.key];
    }
    std::vector<std::string> expected(std::begin(kLiteralKeys), std::end(kLiteralKeys));
    for (const NumberedFamily& family : kNumberedFamilies) {
        for (int n = 0; n < family.count; ++n) {
            expected.push_back(family.prefix + std::to_string(n));
        }
    }
    for (const std::string& key : expected) {
        EXPECT_EQ(count[key], 1) << key;
        count.erase(key);
    }
    for (const auto& [key, times] : count) {
        ADD_FAILURE() << "key that no code looks up: \"" << key << "\"";
    }

    // The literal keys keep the order of the table.
    std::vector<std::string> literal;
    const std::vector<std::string> table(std::begin(kLiteralKeys), std::end(kLiteralKeys));
    for (const TextRow& row : files_[0].rows) {
        if (std::find(table.begin(), table.end(), row.key) != table.end()) {
            literal.push_back(row.key);
        }
    }
    EXPECT_EQ(literal, table);
}

TEST_F(BuiltinLanguageTest, TreeRootNameIsLeftToItsDefault) {
    for (int index = 0; index < kLanguageCount; ++index) {
        SCOPED_TRACE(kLanguageNames[index]);
        for (const TextRow& row : files_[index].rows) {
            EXPECT_NE(QString::fromStdString(row.key).compare("SYSTEM_TREE_ROOT_NAME", Qt::CaseInsensitive),
                      0);
        }
    }
}

TEST_F(BuiltinLanguageTest, TranslationsKeepTheFormatMarkersOfEnglish) {
    for (int index = 1; index < kLanguageCount; ++index) {
        SCOPED_TRACE(kLanguageNames[index]);
        std::map<std::string, std::string> translated;
        for (const TextRow& row : files_[index].rows) {
            translated[row.key] = row.text;
        }
        for (const TextRow& row : files_[0].rows) {
            EXPECT_EQ(FormatMarkers(translated[row.key]), FormatMarkers(row.text)) << row.key;
        }
    }
}

TEST_F(BuiltinLanguageTest, OnlyNoteTextsHoldLineBreakBytes) {
    const std::vector<std::string> notes(std::begin(kNoteKeys), std::end(kNoteKeys));
    for (int index = 0; index < kLanguageCount; ++index) {
        SCOPED_TRACE(kLanguageNames[index]);
        for (const TextRow& row : files_[index].rows) {
            const bool note = std::find(notes.begin(), notes.end(), row.key) != notes.end();
            EXPECT_EQ(row.text.find('\b') != std::string::npos, note) << row.key;
            for (const char c : row.text) {
                const bool control = static_cast<unsigned char>(c) < 0x20 && c != '\b';
                EXPECT_FALSE(control) << row.key;
            }
        }
    }
}

TEST_F(BuiltinLanguageTest, TextsSurviveTheLookup) {
    // The lookup drops blanks around a value and cuts it to its buffer, so no text may rely on either.
    for (int index = 0; index < kLanguageCount; ++index) {
        SCOPED_TRACE(kLanguageNames[index]);
        for (const TextRow& row : files_[index].rows) {
            EXPECT_FALSE(row.key.empty()) << "line without a key: \"" << row.text << "\"";
            if (!row.text.empty()) {
                EXPECT_NE(row.text.front(), ' ') << row.key;
                EXPECT_NE(row.text.back(), ' ') << row.key;
            }
            EXPECT_LE(QString::fromStdString(row.text).size(), kMaxTextLength) << row.key;
        }
    }
}

}  // namespace
