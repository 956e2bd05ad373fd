#include "updater/updater_startup.h"

#include <gtest/gtest.h>

namespace {

TEST(UpdaterStartup, OnlyTheSingleArgumentSlashSIsSilent) {
    struct Case {
        QStringList args;
        int silent;
    };
    const Case cases[] = {
        {{QStringLiteral("Updater")}, 0},
        {{QStringLiteral("Updater"), QStringLiteral("/s")}, 1},
        {{QStringLiteral("Updater"), QStringLiteral("/S")}, 0},
        {{QStringLiteral("Updater"), QStringLiteral("/s"), QStringLiteral("x")}, 0},
        {{QStringLiteral("Updater"), QStringLiteral("-s")}, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseSilentFlag(c.args), c.silent) << c.args.join(QLatin1Char(' ')).toStdString();
}

TEST(UpdaterStartup, DownloadsGoOnlyToThePrivateFolder) {
    UpdaterPaths paths =
        MakeUpdaterPaths(QStringLiteral("/opt/vistal/"), QStringLiteral("/tmp/vistal-updater-ab12"));
    EXPECT_EQ(paths.iniPath, QStringLiteral("/tmp/vistal-updater-ab12/update.ini"));
    EXPECT_EQ(paths.zipPath, QStringLiteral("/tmp/vistal-updater-ab12/update.zip"));
    // Without a private folder there is nowhere to download to, never the installation folder.
    paths = MakeUpdaterPaths(QStringLiteral("/opt/vistal/"), QString());
    EXPECT_TRUE(paths.iniPath.isEmpty());
    EXPECT_TRUE(paths.zipPath.isEmpty());
}

}  // namespace
