#pragma once

// The client settings page's plain logic: the values its controls hold, how they become the client's
// settings record (checked and corrected before anything is taken over), and what is written to
// system.ini.

#include <QString>

#include "core/ini_file.h"
#include "core/system_settings.h"

// What the page's controls hold when Set is pressed.
struct ConfigControls {
    QString recordDisks;  // the drive letters of the checked disk rows, in row order
    QString recordDir;
    QString snapshotPath;
    int diskFullAction = 0;
    int popupMessage = 0;
    int videoStandard = 0;
    int muxMode = 0;
    int language = 0;
    QString scrollInterval;  // the interval edit's text
    int enableBeep = 0;
    int autorun = 0;
    int enableUpdate = 0;
    int enableRGB = 0;
};

constexpr int CONFIG_SCROLL_MIN = 1;
constexpr int CONFIG_SCROLL_MAX = 30;
constexpr int CONFIG_RECORD_DISKS_MAX = 31;

// Results of CollectConfigSettings.
constexpr int CONFIG_CHANGED = 0;
constexpr int CONFIG_NO_DISK = -1;
constexpr int CONFIG_UNCHANGED = -2;

struct ConfigChange {
    int restart = 0;   // the video standard, the mux mode or RGB drawing changed
    int language = 0;  // the language changed
};

// The text's leading decimal number after blanks and a sign (0 when none), held within the 32-bit range.
int ParseLeadingInt(const QString& text);
// The interval edit's leading decimal number (0 when none), made 1 at or below 0 and 30 at or above 30.
int ParseScrollInterval(const QString& text);

// Builds a settings record from the controls: record disks (at most 31 letters), folder texts (at most 255
// characters; a non-empty snapshot path ends in a backslash, as the settings loader keeps it), the flags
// and the corrected interval. CONFIG_NO_DISK without a record disk and CONFIG_UNCHANGED when every
// collected value equals *settings (both leave *settings untouched); else CONFIG_CHANGED with the three
// texts and ten integers copied into *settings (the others are left alone) and *change filled.
[[nodiscard]] int CollectConfigSettings(const ConfigControls& controls, SystemSettings* settings,
                                        ConfigChange* change);

// Writes the page's settings to section SYSTEM of ini, in this order: RecordDisks, RecordDir,
// SnapshotPath, DiskFullAction, PopupMessage, Language, ScrollInterval, EnableBeep, Autorun,
// EnableUpdate, EnableRGB.
void SaveConfigSettings(CIniFile& ini, const SystemSettings& settings);
