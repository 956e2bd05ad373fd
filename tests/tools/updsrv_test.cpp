#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "tools/updsrv/update_server.h"
#include "updater/url_download.h"

namespace {

constexpr DownloadLimits kLimits{1 << 20, 0};

TEST(UpdateServer, ServesFilesAndErrors) {
    UpdateServer server;
    ASSERT_EQ(server.Start(), 0);
    ASSERT_NE(server.Port(), 0);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString target = dir.filePath(QStringLiteral("got"));

    QByteArray big(300000, '\0');
    for (int i = 0; i < big.size(); ++i)
        big[i] = char(i * 7);
    server.SetFile("/update/dvrvistal/update.txt", MakeUpdateDescription("1.2.3", "http://h/p", "ab"));
    server.SetFile("/pkg.zip", big);
    server.SetStatus("/broken", 500);

    ASSERT_EQ(
        DownloadUrlToFile(QString::fromLatin1(server.UrlOf("/update/dvrvistal/update.txt")), target, kLimits),
        0);
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("[UPDATE]\r\nVersion=1.2.3\r\nUrl=http://h/p\r\nHash=ab\r\n"));
    f.close();

    ASSERT_EQ(DownloadUrlToFile(QString::fromLatin1(server.UrlOf("/pkg.zip")), target, kLimits), 0);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), big);
    f.close();

    // Error answers fail the download and leave no file.
    for (const char* path : {"/broken", "/missing"}) {
        EXPECT_EQ(DownloadUrlToFile(QString::fromLatin1(server.UrlOf(path)), target, kLimits), -1) << path;
        EXPECT_FALSE(QFileInfo::exists(target)) << path;
    }
    EXPECT_EQ(server.RequestCount("/pkg.zip"), 1);
    EXPECT_EQ(server.RequestCount("/broken"), 1);

    // Only http and https are fetched.
    EXPECT_EQ(DownloadUrlToFile(QStringLiteral("file:///etc/hostname"), target, kLimits), -1);
    server.Stop();
    EXPECT_EQ(DownloadUrlToFile(QStringLiteral("http://127.0.0.1:%1/x").arg(1), target, kLimits), -1);
}

}  // namespace
