#include "ui/snapshot_path.h"

#include "core/safe_path.h"

QString SnapshotFilePath(const QString& snapshotFolder, const QString& dvrName, int channel,
                         const QDateTime& when) {
    if (channel < 0)
        return QString();
    QString path = snapshotFolder + MakeSafePathComponent(dvrName) + QStringLiteral("\\CH") +
                   QStringLiteral("%1").arg(channel + 1, 3, 10, QLatin1Char('0')) + QLatin1Char('_') +
                   when.toString(QStringLiteral("yyyyMMdd_HHmmss")) + QStringLiteral(".jpg");
    return path.size() > SNAPSHOT_PATH_MAX ? QString() : path;
}
