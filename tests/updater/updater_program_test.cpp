// The Updater program as a whole, started silently against an update server: it checks, ends by itself
// on a final result and leaves no downloaded file behind.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/system/process.h"
#include "tests/scoped_env.h"
#include "tools/updsrv/update_server.h"

namespace {

TEST(UpdaterProgram, SilentRunEndsOnFinalResultAndCleansUp) {
    QTemporaryDir home;
    QTemporaryDir temp;
    ASSERT_TRUE(home.isValid() && temp.isValid());
    ASSERT_TRUE(QFile::copy(QStringLiteral(FIXTURE_CLIENT_PATH), home.filePath(QStringLiteral("Vistal"))));
    UpdateServer server;
    ASSERT_EQ(server.Start(), 0);
    ScopedEnv host("VISTAL_UPDATE_HOST", server.HostPort());
    ScopedEnv vistalHome("VISTAL_HOME", QFile::encodeName(home.path()));
    ScopedEnv tmp("TMPDIR", QFile::encodeName(temp.path()));
    ScopedEnv platform("QT_QPA_PLATFORM", "offscreen");

    struct Case {
        const char* what;
        QByteArray description;  // empty: 404
    };
    // The client in the folder carries 4.4.2.0.
    const Case cases[] = {{"check fails", QByteArray()},
                          {"up to date", MakeUpdateDescription("4.4.2", "x", "y")}};
    for (const Case& c : cases) {
        server.Clear();
        if (!c.description.isEmpty())
            server.SetFile(kUpdateDescriptionPath, c.description);
        int exitCode = -1;
        ASSERT_EQ(LaunchProcess(QStringLiteral(UPDATER_PROGRAM_PATH), {QStringLiteral("/s")}, home.path(),
                                true, &exitCode),
                  0)
            << c.what;
        EXPECT_EQ(exitCode, 0) << c.what;
        EXPECT_EQ(server.RequestCount(kUpdateDescriptionPath), 1) << c.what;
        // The private download folder went with the program.
        EXPECT_TRUE(
            QDir(temp.path()).entryList({QStringLiteral("vistal-updater-*")}, QDir::AllEntries).isEmpty())
            << c.what;
        EXPECT_EQ(QDir(home.path()).entryList(QDir::Files), QStringList{QStringLiteral("Vistal")}) << c.what;
    }
}

}  // namespace
