#include "platform/system/paths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(Paths, ConvertsStoredPathsWhereFilesAreOpened) {
    QTemporaryDir home;
    qputenv("VISTAL_HOME", home.path().toLocal8Bit());
    qputenv("VISTAL_DRIVE_E", "/media/recs");
    struct Case {
        QString stored;
        QString expected;
    } cases[] = {
        {QStringLiteral(".\\language\\language.eng"), home.path() + "/language/language.eng"},
        {QStringLiteral("C:\\Snapshots\\"), QDir::homePath() + "/Snapshots/"},
        {QStringLiteral("c:\\a"), QDir::homePath() + "/a"},
        {QStringLiteral("E:\\Records\\Cam 1"), QStringLiteral("/media/recs/Records/Cam 1")},
        {QStringLiteral("/srv/Data/File.INI"), QStringLiteral("/srv/Data/File.INI")},
        {QStringLiteral("relative\\Name"), QStringLiteral("relative/Name")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToNativePath(c.stored), c.expected) << c.stored.toStdString();
    EXPECT_EQ(ProgramFolder(), home.path() + "/");
    qunsetenv("VISTAL_DRIVE_E");
    qunsetenv("VISTAL_HOME");
}

TEST(Paths, DriveMapFollowsTheMountTable) {
    QTemporaryDir dir;
    QString mounts = dir.filePath("mounts");
    WriteFile(mounts,
              "proc /proc proc rw,nosuid 0 0\n"
              "/dev/sdb1 /mnt/zeta ext4 rw,relatime 0 0\n"
              "/dev/sda1 / ext4 rw,relatime 0 0\n"
              "/dev/sdc1 /media/usb\\040stick vfat rw 0 0\n"
              "/dev/sdd1 /mnt/readonly ext4 ro 0 0\n"
              "tmpfs /tmp tmpfs rw 0 0\n");
    QString sys = dir.filePath("block");
    WriteFile(sys + "/sdc/removable", "1\n");
    // As in sysfs, a partition's entry links into its disk's folder.
    QDir().mkpath(sys + "/sdc/sdc1");
    QFile::link(sys + "/sdc/sdc1", sys + "/sdc1");
    QDir().mkpath(sys + "/sdb1");
    WriteFile(sys + "/sdb/removable", "0\n");

    QList<DriveEntry> drives = ListDrives(mounts, sys);
    ASSERT_EQ(drives.size(), 4);
    EXPECT_EQ(drives[0].letter, QLatin1Char('C'));
    EXPECT_EQ(drives[0].folder, QDir::homePath());
    EXPECT_EQ(drives[1].folder, "/");
    EXPECT_EQ(drives[2].folder, "/media/usb stick");
    EXPECT_TRUE(drives[2].removable);
    EXPECT_EQ(drives[3].letter, QLatin1Char('F'));
    EXPECT_EQ(drives[3].folder, "/mnt/zeta");
    EXPECT_FALSE(drives[3].removable);
}

TEST(Paths, ReadsDiskSpace) {
    uint64_t total = 0, free = 0;
    ASSERT_EQ(GetDiskSpace(QDir::tempPath(), &total, &free), 0);
    EXPECT_GT(total, 0u);
    EXPECT_LE(free, total);
    EXPECT_EQ(GetDiskSpace("/no/such/folder/here", &total, &free), -1);
}

}  // namespace
