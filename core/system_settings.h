#pragma once

// The settings record: the client's own settings (g_systemSettings, read from system.ini) and each DVR's
// system parameters.

#include <cstddef>
#include <cstdint>

struct SystemSettings {
    char16_t RecordDisks[32];
    char16_t RecordDir[256];
    char16_t SnapshotPath[256];
    int32_t DiskFullAction;
    int32_t PopupMessage;
    int32_t VideoStandard;
    int32_t MuxMode;
    int32_t ScrollInterval;
    int32_t Language;
    int32_t EnableBeep;
    int32_t Autorun;
    int32_t EnableUpdate;
    int32_t reserved[10];
    int32_t EnableRGB;
};
static_assert(sizeof(SystemSettings) == 1168, "SystemSettings layout");
static_assert(offsetof(SystemSettings, DiskFullAction) == 1088, "SystemSettings layout");
static_assert(offsetof(SystemSettings, EnableRGB) == 1164, "SystemSettings layout");

// The client's own settings; UI thread only.
extern SystemSettings g_systemSettings;

// Ends a stored folder path with a backslash when it has room and none is there (an empty path becomes
// "\"; a path of size - 1 characters is kept as it is). size: the characters of the buffer.
void EndPathWithBackslash(char16_t* path, int size);
