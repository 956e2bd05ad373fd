#include "core/disk_list.h"

#include <new>

#include "core/record_list.h"

#include "core/text_helpers.h"

DiskList g_diskList;

namespace {

void CopyText(char16_t* field, int size, const QString& text) {
    int n = static_cast<int>(text.size()) < size - 1 ? static_cast<int>(text.size()) : size - 1;
    for (int i = 0; i < n; ++i)
        field[i] = text[i].unicode();
    field[n] = 0;
}

QString ScaledText(uint64_t bytes) {
    uint64_t value = bytes;
    int unit = 0;
    ScaleByteUnit(&value, &unit);
    static const char* const kUnits[] = {nullptr, "B", "KB", "MB", "GB", "TB"};
    if (unit < 1 || unit > 5)
        return QStringLiteral("0 B");
    return QStringLiteral("%1 %2").arg(value).arg(QLatin1String(kUnits[unit]));
}

int UsedPercent(uint64_t total, uint64_t free) {
    return total == 0 ? 100 : static_cast<int>(100 - free * 100 / total);
}

}  // namespace

void FillDiskInfo(DVRDiskInfo* info, QChar letter, uint64_t totalBytes, uint64_t freeBytes) {
    info->letter = letter.unicode();
    CopyText(info->totalText, 16, ScaledText(totalBytes));
    CopyText(info->availableText, 16, ScaledText(freeBytes));
    info->usedPercent = UsedPercent(totalBytes, freeBytes);
}

int BuildDiskList(const QList<DriveEntry>& drives, DiskSpaceFn space) {
    FreeDiskList();
    DVRDiskInfo* tail = nullptr;
    for (const DriveEntry& drive : drives) {
        if (drive.removable)
            continue;
        uint64_t total = 0, free = 0;
        if (space(drive.folder, &total, &free) != 0 || free == 0 || total == 0)
            continue;
        auto* info = new (std::nothrow) DVRDiskInfo();
        if (info == nullptr)
            return -1;
        FillDiskInfo(info, drive.letter, total, free);
        AppendRecord(&g_diskList, &tail, info);
    }
    return 0;
}

int BuildDiskList() {
    return BuildDiskList(ListDrives());
}

void FreeDiskList() {
    FreeRecordList(&g_diskList);
}

int GetRecordDiskUsage(const QString& recordDisks, QString* freeText, DiskSpaceFn space) {
    uint64_t total = 0, free = 0;
    for (QChar letter : recordDisks) {
        QString folder = DriveFolder(letter);
        uint64_t t = 0, f = 0;
        if (folder.isEmpty() || space(folder, &t, &f) != 0)
            continue;
        total += t;
        free += f;
    }
    if (freeText != nullptr) {
        // The largest unit in which the free sum is at least 1.
        static const char* const kUnits[] = {"EB", "PB", "TB", "GB", "MB", "KB"};
        QString text = QStringLiteral("%1 B").arg(free);
        for (int i = 0; i < 6; ++i) {
            int shift = 60 - 10 * i;
            if ((free >> shift) >= 1) {
                text = QStringLiteral("%1 %2").arg(free >> shift).arg(QLatin1String(kUnits[i]));
                break;
            }
        }
        *freeText = text.left(64);
    }
    return UsedPercent(total, free);
}
