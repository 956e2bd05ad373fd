#pragma once

// The usable local disks (g_diskList) that the client settings page offers as record disks, and the
// usage of the record disks that the status page shows.

#include <QString>
#include <cstdint>

#include "platform/system/paths.h"

// One disk: of the client (drive letter of the drive map) or of a DVR.
struct DVRDiskInfo {
    char16_t letter;
    char16_t totalText[16];
    int32_t usedPercent;
    char16_t availableText[16];
    DVRDiskInfo* next;
};

struct DiskList {
    DVRDiskInfo* head = nullptr;
    int32_t count = 0;
};

extern DiskList g_diskList;

// Reads the total and free bytes of a folder's file system; 0 on success.
using DiskSpaceFn = int (*)(const QString& folder, uint64_t* totalBytes, uint64_t* freeBytes);

// Rebuilds g_diskList from the drives: every drive that is not removable and has free space gets a record.
// 0, or -1 when a record cannot be allocated.
int BuildDiskList(const QList<DriveEntry>& drives, DiskSpaceFn space = GetDiskSpace);
int BuildDiskList();
void FreeDiskList();

// Fills the size texts and used percent of a record from byte counts ("465 GB", "200 GB", 57).
void FillDiskInfo(DVRDiskInfo* info, QChar letter, uint64_t totalBytes, uint64_t freeBytes);

// Used percent of the record disks (SystemSettings::RecordDisks: one drive letter each); *freeText gets the
// free space summed over them ("12 GB"). 100 and "0 B" when no record disk can be read.
int GetRecordDiskUsage(const QString& recordDisks, QString* freeText, DiskSpaceFn space = GetDiskSpace);
