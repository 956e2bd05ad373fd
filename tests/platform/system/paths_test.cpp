#include "platform/system/paths.h"

#include "platform/system/profile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMap>
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
        // Rooted without a drive letter: on drive C, never at the file-system root.
        {QStringLiteral("\\"), QDir::homePath() + "/"},
        {QStringLiteral("\\Snapshots\\Gate\\CH001.jpg"), QDir::homePath() + "/Snapshots/Gate/CH001.jpg"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToNativePath(c.stored), c.expected) << c.stored.toStdString();
    EXPECT_EQ(ProgramFolder(), home.path() + "/");
    qunsetenv("VISTAL_DRIVE_E");
    qunsetenv("VISTAL_HOME");
}

struct DriveFixture {
    QTemporaryDir dir;
    QMap<QString, uint64_t> ids;  // folder -> device id, as stat would give them
    DriveSources sources;

    DriveFixture() {
        sources.mountsFile = dir.filePath("mounts");
        sources.sysBlockDir = dir.filePath("block");
        sources.homeFolder = "/home/op";
        sources.assignmentFile = dir.filePath("drives.ini");
        sources.deviceId = [this](const QString& folder, uint64_t* id) {
            if (!ids.contains(folder))
                return -1;
            *id = ids.value(folder);
            return 0;
        };
    }
    QString Letters() {
        QString out;
        for (const DriveEntry& d : ListDrives(sources))
            out += QString(d.letter) + "=" + d.folder + (d.removable ? "(r)" : "") + ";";
        return out;
    }
};

TEST(Paths, DriveMapGivesOneStableLetterPerFileSystem) {
    DriveFixture fx;
    fx.ids = {{"/", 1},
              {"/home/op", 1},
              {"/mnt/zeta", 2},
              {"/srv/zeta-bind", 2},
              {"/mnt/readonly", 8},
              {"/media/usb stick", 3},
              {"/net/share", 4},
              {"/run/user/1000", 5},
              {"/ramdisk", 6},
              {"/proc", 9},
              {"/sys/fs/cgroup/cpu", 10}};
    WriteFile(fx.sources.mountsFile,
              "proc /proc proc rw,nosuid 0 0\n"
              "/dev/sdb1 /mnt/zeta ext4 rw,relatime 0 0\n"
              "/dev/vda / ext4 rw,relatime 0 0\n"
              "/dev/sdc1 /media/usb\\040stick vfat rw 0 0\n"
              "/dev/sdd1 /mnt/readonly ext4 ro 0 0\n"
              "/dev/sdb1 /srv/zeta-bind ext4 rw,relatime 0 0\n"
              "server:/export /net/share nfs4 rw,relatime 0 0\n"
              "tmpfs /run/user/1000 tmpfs rw 0 0\n"
              "tmpfs /ramdisk tmpfs rw 0 0\n"
              "cgroup /sys/fs/cgroup/cpu cgroup rw 0 0\n");
    WriteFile(fx.sources.sysBlockDir + "/sdc/removable", "1\n");
    // As in sysfs, a partition's entry links into its disk's folder.
    QDir().mkpath(fx.sources.sysBlockDir + "/sdc/sdc1");
    QFile::link(fx.sources.sysBlockDir + "/sdc/sdc1", fx.sources.sysBlockDir + "/sdc1");

    // The root shares the home folder's device (C); the bind mount shares /mnt/zeta's; the network share
    // counts; memory and system file systems do not.
    const QString first = "C=/home/op;D=/media/usb stick(r);E=/mnt/zeta;F=/net/share;";
    EXPECT_EQ(fx.Letters(), first);
    EXPECT_EQ(fx.Letters(), first);

    // A file system mounted later takes the next free letter, even when its mount point sorts first; one
    // that is gone keeps its letter reserved.
    fx.ids.insert("/a-late", 7);
    WriteFile(fx.sources.mountsFile,
              "/dev/sde1 /a-late ext4 rw 0 0\n"
              "/dev/vda / ext4 rw,relatime 0 0\n"
              "/dev/sdb1 /srv/zeta-bind ext4 rw,relatime 0 0\n"
              "/dev/sdb1 /mnt/zeta ext4 rw,relatime 0 0\n"
              "server:/export /net/share nfs4 rw,relatime 0 0\n");
    EXPECT_EQ(fx.Letters(), "C=/home/op;E=/mnt/zeta;F=/net/share;G=/a-late;");

    // The letters live in the program's INI dialect and an override still adds a RAM disk.
    QString kept;
    ASSERT_TRUE(ReadProfileValue("DRIVES", "g", fx.sources.assignmentFile, &kept));
    EXPECT_EQ(kept, "/a-late");
    qputenv("VISTAL_DRIVE_R", "/ramdisk");
    EXPECT_EQ(fx.Letters(), "C=/home/op;E=/mnt/zeta;F=/net/share;G=/a-late;R=/ramdisk;");
    qunsetenv("VISTAL_DRIVE_R");
}

TEST(Paths, ReadsDiskSpace) {
    uint64_t total = 0, free = 0;
    ASSERT_EQ(GetDiskSpace(QDir::tempPath(), &total, &free), 0);
    EXPECT_GT(total, 0u);
    EXPECT_LE(free, total);
    EXPECT_EQ(GetDiskSpace("/no/such/folder/here", &total, &free), -1);
}

}  // namespace
