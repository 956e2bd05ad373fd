#include "updater/updater_startup.h"

int ParseSilentFlag(const QStringList& arguments) {
    return (arguments.size() == 2 && arguments[1] == QLatin1String("/s")) ? 1 : 0;
}

UpdaterPaths MakeUpdaterPaths(const QString& appDir, const QString& privateTempDir) {
    UpdaterPaths paths;
    paths.appDir = appDir;
    // Without a private folder nothing is downloaded (the check then fails), rather than writing the
    // downloads into the installation folder.
    if (privateTempDir.isEmpty())
        return paths;
    paths.tempDir =
        privateTempDir.endsWith(QLatin1Char('/')) ? privateTempDir : privateTempDir + QLatin1Char('/');
    paths.iniPath = paths.tempDir + QStringLiteral("update.ini");
    paths.zipPath = paths.tempDir + QStringLiteral("update.zip");
    return paths;
}
