#pragma once

// The file name of a snapshot: <snapshot folder><DVR name>\CH<channel + 1, three digits>_<date>_<time>.jpg.
// The DVR's name becomes one safe folder name (it never leaves the snapshot folder), and a path longer than
// the platform's path limit is refused rather than cut.

#include <QDateTime>
#include <QString>

constexpr int SNAPSHOT_PATH_MAX = 259;  // characters, without the terminator

// The path for channel index `channel` at local time `when`; empty when the path would exceed
// SNAPSHOT_PATH_MAX characters or the channel is negative.
[[nodiscard]] QString SnapshotFilePath(const QString& snapshotFolder, const QString& dvrName, int channel,
                                       const QDateTime& when);
