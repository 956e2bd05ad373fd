#pragma once

// The System page's plain rule: how what its controls hold becomes the DVR's system-settings record.

#include <QString>
#include <optional>

#include "core/system_settings.h"

// What the System page's controls hold when Set is pressed.
struct SetupSystemControls {
    QString recordDisks;  // the drive letters of the checked disk rows, in row order
    QString recordDir;
    QString snapshotPath;
    int diskFullAction = 0;
    // The selected item's data of each value list; empty when nothing is selected.
    std::optional<int> videoStandard;
    std::optional<int> muxMode;
    std::optional<int> language;
    QString scrollInterval;  // the interval edit's text
    int enableBeep = 0;
    int autorun = 0;
    int enableUpdate = 0;
};

// Results of CollectSetupSystem.
constexpr int SETUP_SYSTEM_CHANGED = 0;
constexpr int SETUP_SYSTEM_NO_DISK = -1;
constexpr int SETUP_SYSTEM_UNCHANGED = -2;

// Builds the DVR's settings from the controls: record disks (at most 31 letters), folder texts (at most 255
// characters, as typed), the value lists (a list without a selection keeps the record's value), the
// interval held to 1..30 and the flags. SETUP_SYSTEM_NO_DISK without a record disk and
// SETUP_SYSTEM_UNCHANGED when every collected value equals *record (both leave it untouched); else
// SETUP_SYSTEM_CHANGED with the three texts and eight integers written into *record (its other fields are
// left alone) and *restart set to 1 when the record disks, video standard or mux mode changed, else 0.
[[nodiscard]] int CollectSetupSystem(const SetupSystemControls& controls, SystemSettings* record,
                                     int* restart);
