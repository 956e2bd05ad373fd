#pragma once

// Saving a screen's latest picture as a snapshot, for the main window's and the playback dialog's snapshot
// commands, and the texts that tell the operator where it went. Paths are in their stored (Windows) form;
// the texts show where the file is on this system.

#include <QString>

struct ScreenSlot;

// Makes the folders of path and writes the slot's latest picture there as a JPEG, under the slot's
// lastFrameLock. 0 when it was written; 1 when the screen has no picture yet (nothing is written); -1 when
// the folders or the file could not be written.
[[nodiscard]] int SaveSlotSnapshot(ScreenSlot& slot, const QString& path);

// The snapshot notice's text: the file's path where it really is.
[[nodiscard]] QString SnapshotNoticeText(const QString& path);

// The text that tells the operator a snapshot could not be written to path.
[[nodiscard]] QString SnapshotFailedText(const QString& path);
