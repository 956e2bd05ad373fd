#include "ui/snapshot_save.h"

#include <mutex>

#include "core/file_helpers.h"
#include "core/tarvik_app.h"
#include "media/screen_slot.h"
#include "media/snapshot_jpeg.h"
#include "platform/system/paths.h"

int SaveSlotSnapshot(ScreenSlot& slot, const QString& path) {
    {
        std::lock_guard<std::mutex> guard(slot.lastFrameLock);
        if (slot.lastFrame == nullptr)
            return 1;
    }
    if (path.isEmpty() || CreateDirectoryPath(path) != 1)
        return -1;
    std::lock_guard<std::mutex> guard(slot.lastFrameLock);
    if (slot.lastFrame == nullptr)
        return 1;
    return SaveSnapshotJpeg(slot.lastFrame, path, slot.lastFrameWidth, slot.lastFrameHeight) == 0 ? 0 : -1;
}

QString SnapshotNoticeText(const QString& path) {
    return ToNativePath(path);
}

QString SnapshotFailedText(const QString& path) {
    return GetLanguageText(QStringLiteral("DLGMAIN_MSG_SNAPSHOTFAIL"),
                           QStringLiteral("The snapshot could not be saved to %1"))
        .arg(ToNativePath(path));
}
